#include "feature_moments.h"

#include "album.h"
#include "tour_window.h"

#include "app/application.h"
#include "core/exercise/answer_log.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/question_data.h"
#include "ui/answer_colours.h"
#include "ui/exercise/computer_piano.h"
#include "ui/exercise/confusion_list.h"
#include "ui/exercise/progress_chart.h"
#include "ui/exercise/worksheet.h"
#include "ui/dialogs/midi_warning_dialog.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/dialogs/section_end_dialog.h"
#include "ui/home/home_screen.h"
#include "ui/settings/trainer_settings_page.h"

#include <QAccessible>
#include <QApplication>
#include <QTabWidget>
#include <QAccessibleValueInterface>
#include <QDateTime>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QWindow>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

// The question time of the countdown's lesson: long enough that the bar is pictured nearly full
// once the question has faded in, and at half and amber a whole number of seconds apart.
constexpr int CountdownSeconds = 16;
// The questions of 128th lengths the lesson may ask before both the note and the rest came.
constexpr int LengthQuestions = 5;

} // namespace

bool FeatureMoments::Run(const QString& only)
{
    if (only == QLatin1String("insight"))
        return Insight();
    return ShortestLengths() && HearAgain() && QuizSections() && ComputerKeyboard() && Access() && Insight();
}

bool FeatureMoments::ShortestLengths()
{
    using namespace Core;
    // Only the 128th: the note and, with the rests, its rest (a rest cannot be asked alone).
    const auto edit = [](TrainerSettings& s) {
        SymbolTrainerSettings& y = s.symbolTrainer;
        y.lengths.SetAll(false);
        y.lengths[LengthSwitch::HundredTwentyEight] = true;
        y.lengths[LengthSwitch::Rests] = true;
        y.lengths.duration = {CountdownSeconds, LengthQuestions};
        for (DurationSettings* d :
             {&y.keySignatures.duration, &y.tempo.duration, &y.loudness.duration, &y.noteModifiers.duration})
            d->questions = 0;
    };
    album.Place("symbol-128th", "Symbol trainer · learn, 128th lengths only");
    if (!Open(SymbolTrainerIndex, false, edit, 41u))
        return false;
    window.WaitForFades();
    int asked = Lesson().counters.asked;
    const int answered = Lesson().counters.answered;
    const QString first = LengthName();
    album.Shot(QStringLiteral("%1: question, countdown full (%2 s left)").arg(first).arg(SecondsLeft()));
    // The bar at half its length, then in its last three seconds (amber), as it reads them out.
    const struct
    {
        int seconds;
        const char* moment;
    } marks[] = {{CountdownSeconds / 2, "%1: countdown at half (%2 s left)"},
                 {3, "%1: countdown amber (%2 s left)"}};
    for (const auto& mark : marks) {
        if (!WaitFor([&] { return SecondsLeft() >= 0 && SecondsLeft() <= mark.seconds; },
                     (CountdownSeconds + 2) * 1000))
            return window.Fail("the countdown did not run down");
        album.Shot(QString::fromLatin1(mark.moment).arg(first).arg(SecondsLeft()));
    }
    if (!WaitFor([&] { return Lesson().counters.answered > answered; }, 6000))
        return window.Fail("the timed question did not run out of time");
    Pause(600); // the judgement's marks come in
    if (SecondsLeft() != 0)
        Warn(QStringLiteral("the countdown reads %1 s when the question is out of time").arg(SecondsLeft()));
    album.Shot(QStringLiteral("%1: out of time, countdown empty").arg(first));

    // The other picture of the two, answered right when it comes (the others are answered too).
    bool otherShown = false;
    while (!otherShown && asked < LengthQuestions) {
        if (!WaitForQuestion(asked))
            return window.Fail("no further question of 128th lengths");
        asked = Lesson().counters.asked;
        window.WaitForFades();
        const QString name = LengthName();
        otherShown = name != first;
        if (otherShown)
            album.Shot(QStringLiteral("%1: question").arg(name));
        const int judged = Lesson().counters.answered;
        if (!AnswerRight() || !WaitFor([&] { return Lesson().counters.answered > judged; }, 5000))
            return window.Fail("a question of 128th lengths was not judged");
        if (otherShown) {
            Pause(250); // the right answer's marks come in
            album.Shot(QStringLiteral("%1: right answer by button").arg(name));
        }
    }
    if (!otherShown)
        Warn(QStringLiteral("%1 questions of 128th lengths were all the %2").arg(asked).arg(first));
    return Close();
}

bool FeatureMoments::HearAgain()
{
    using namespace Core;
    // Scales: their notes sound for seconds, long enough to be seen sounding again once the
    // speaker has faded in (a single note's question has sounded as soon as its key is struck).
    const auto edit = [](TrainerSettings& s) {
        EarTrainerSettings& e = s.earTrainer;
        e.scales.duration = {30, 2};
        for (DurationSettings* d :
             {&e.singleNotes.duration, &e.intervals.duration, &e.chords.duration, &e.tempo.duration})
            d->questions = 0;
    };
    album.Place("ear-hear-again", "Ear trainer · learn, heard again");
    if (!Open(EarTrainerIndex, false, edit, 42u))
        return false;
    window.WaitForFades();
    QToolButton* hear = HearAgainButton();
    if (!hear || !hear->isVisible())
        return window.Fail("a heard question has no Hear again button");
    if (!hear->isEnabled())
        Warn(QStringLiteral("Hear again is disabled while the answer is awaited"));
    const QString question = QStringLiteral("Heard: %1").arg(SectionName());
    album.Shot(question + QStringLiteral(": Hear again, the answer awaited"));

    ClickOnScreen(hear); // R plays the piano where it answers
    const auto sounding = [&] { return Lesson().state == Exercise::Presenting && !hear->isEnabled(); };
    if (WaitFor(sounding, 1000)) {
        window.WaitForFades(); // the speaker takes the question's place
        if (!sounding())
            Warn(QStringLiteral("the question heard again ended before the speaker had faded in"));
        album.Shot(question + QStringLiteral(": sounding again, Hear again disabled"));
    } else {
        Warn(QStringLiteral("Hear again did not play the question again with the button disabled"));
    }
    if (!WaitFor([&] { return Lesson().state == Exercise::AwaitingAnswer; }, 10000))
        return window.Fail("the question heard again did not end");

    // Settings from the tool bar pause the lesson; the Exercise tab brings it back paused.
    QToolButton* settings = window.console->toolButton("Settings");
    QTest::mouseClick(settings, Qt::LeftButton, Qt::NoModifier, settings->rect().center());
    UI::TrainerSettingsPage* page = window.console->settingsPage(int(EarTrainerIndex));
    if (!page || !window.Settle(page))
        return window.Fail("the settings page did not come up during the lesson");
    QToolButton* exercise = window.console->toolButton("Exercise");
    QTest::mouseClick(exercise, Qt::LeftButton, Qt::NoModifier, exercise->rect().center());
    if (!window.Settle(window.screen) || !window.ViewSettled())
        return false;
    const auto carded = [&] {
        UI::PlayDialog* card = window.screen->playDialog();
        return card && card->isShown() && card->opacity() >= 0.999;
    };
    if (!WaitFor(carded, 3000))
        Warn(QStringLiteral("no play card over the lesson after the settings"));
    if (Lesson().playState != LessonBase::Paused)
        Warn(QStringLiteral("the lesson runs after the settings"));
    album.Shot(QStringLiteral("Back from Settings: paused, the play card over the question"));
    return Close();
}

bool FeatureMoments::QuizSections()
{
    using namespace Core;
    const auto edit = [](TrainerSettings& s) {
        EarTrainerSettings& e = s.earTrainer;
        for (DurationSettings* d : {&e.singleNotes.duration, &e.intervals.duration, &e.chords.duration,
                                    &e.scales.duration, &e.tempo.duration})
            *d = {30, 1};
    };
    album.Place("ear-quiz-sections", "Ear trainer · quiz, sections");
    if (!Open(EarTrainerIndex, true, edit, 43u))
        return false;
    window.WaitForFades();
    auto* slider = window.Child<QSlider>(QStringLiteral("sectionSlider"));
    if (!slider || slider->isEnabled())
        Warn(QStringLiteral("the quiz's slider is enabled"));
    album.Shot(QStringLiteral("Quiz: section buttons shown, slider disabled"));

    // A click on the third section's button, where the student sees it.
    const LessonSnapshot before = Lesson();
    auto* chords = window.Child<QToolButton>(QStringLiteral("section3"));
    if (!chords || !chords->isVisible())
        return window.Fail("the quiz shows no third section button");
    ClickOnScreen(chords);
    Pause(600); // a jump, were there one, would have been reported by now
    const LessonSnapshot after = Lesson();
    if (after.position.segment != before.position.segment || after.counters.asked != before.counters.asked)
        Warn(QStringLiteral("a click on a section button moved the quiz from section %1 to %2")
                 .arg(before.position.segment)
                 .arg(after.position.segment));
    album.Shot(QStringLiteral("Quiz: a click on \"%1\" leaves it in %2")
                   .arg(chords->text().simplified(), SectionName()));

    // The quiz lets a question be heard once more.
    QToolButton* hear = HearAgainButton();
    if (!hear || !hear->isEnabled())
        return window.Fail("the quiz's question cannot be heard again");
    ClickOnScreen(hear); // R plays the piano where it answers
    // (A single note has sounded again as soon as it is struck: its button tells it was used.)
    if (!WaitFor([&] { return !hear->isEnabled() && Lesson().state == Exercise::AwaitingAnswer; }, 10000))
        return window.Fail("the quiz's question was not heard again");
    Pause(150);
    if (hear->isEnabled())
        Warn(QStringLiteral("Hear again stays enabled after the quiz's one replay"));
    album.Shot(QStringLiteral("Quiz: Hear again disabled after its one replay"));
    return Close();
}

bool FeatureMoments::ComputerKeyboard()
{
    using namespace Core;
    album.Place("note-computer-keyboard", "Note trainer · learn, answered on the computer keyboard");
    if (!Open(NoteTrainerIndex, false, [](TrainerSettings&) {}, 44u))
        return false;
    window.WaitForFades();
    album.Shot(QStringLiteral("Computer keyboard: its letters on the piano where the question lies"));
    QTest::keyClick(window.screen, Qt::Key_PageUp);
    album.Shot(QStringLiteral("Computer keyboard: an octave up with Page Up"));

    // A wrong note played by letter: the window from the C below the asked notes, the first of
    // its keys that is no asked note nor an octave of one.
    QVector<int> asked;
    if (const QuestionData* item = Lesson().question.AskedItem())
        for (const MidiEvent& event : *item->stream)
            if (event.message.IsNoteOn())
                asked.append(event.message.byte1);
    if (asked.isEmpty())
        return window.Fail("the note trainer asked no notes");
    const int lowest = *std::min_element(asked.begin(), asked.end());
    for (int n = 0; n < 8; ++n)
        QTest::keyClick(window.screen, Qt::Key_PageDown);
    for (int n = 0; n < (lowest - 12) / 12; ++n)
        QTest::keyClick(window.screen, Qt::Key_PageUp);
    const int start = 12 * ((lowest - 12) / 12 + 1);
    int place = 0;
    while (place < 24 && std::any_of(asked.begin(), asked.end(), [&](int note) {
               return (note - start - place) % 12 == 0;
           }))
        ++place;
    const int judged = Lesson().counters.answered;
    QTest::keyClick(window.screen, Qt::Key(UI::ComputerPiano::letterOf(place).at(0).unicode()));
    if (!WaitFor([&] { return Lesson().counters.answered > judged; }, 5000))
        return window.Fail("a note played on the computer keyboard was not judged");
    Pause(400); // the marks come in
    album.Shot(QStringLiteral("Computer keyboard: a wrong note by letter, marked on the keys"));
    return Close();
}

bool FeatureMoments::Access()
{
    using namespace Core;
    album.Place("access", "Keyboard only, colour-blind palette, keyboard and sound check");
    for (int n = 0; n < 3; ++n)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window.console.get(),
                        Qt::Key_Tab);
    Pause(200);
    album.Shot(QStringLiteral("Home: the focus ring after three Tabs"));

    // Right and wrong in blue and vermilion, with their marks, on a wrong choice.
    GeneralSettings general = app.settings()->generalSettings();
    general.colourBlindColours = true;
    app.setGeneralSettings(general);
    UI::AnswerColours::setPalette(UI::AnswerColours::ColourBlindPalette);
    if (!Open(NoteTrainerIndex, false, [](TrainerSettings&) {}, 45u))
        return false;
    window.WaitForFades();
    const int right = Lesson().question.correctIndex + 1;
    auto* wrong = window.Child<QToolButton>(QStringLiteral("variant%1").arg(right % 6 + 1));
    if (!wrong || !wrong->isVisible())
        return window.Fail("the note trainer shows no choices");
    const int judged = Lesson().counters.answered;
    ClickOnScreen(wrong);
    if (!WaitFor([&] { return Lesson().counters.answered > judged; }, 5000))
        return window.Fail("a wrong choice was not judged");
    Pause(400); // the marks come in
    album.Shot(QStringLiteral("Colour-blind friendly colours: a wrong choice, marked in vermilion and blue"));
    QTest::keyClick(window.screen, Qt::Key_Tab);
    QTest::keyClick(window.screen, Qt::Key_Tab);
    Pause(200);
    album.Shot(QStringLiteral("Lesson: the focus ring after two Tabs"));
    general.colourBlindColours = false;
    app.setGeneralSettings(general);
    UI::AnswerColours::setPalette(UI::AnswerColours::StandardPalette);

    // The check of the General settings tab, over the settings.
    QToolButton* settings = window.console->toolButton("Settings");
    QTest::mouseClick(settings, Qt::LeftButton, Qt::NoModifier, settings->rect().center());
    UI::TrainerSettingsPage* page = window.console->settingsPage(int(NoteTrainerIndex));
    if (!page || !window.Settle(page))
        return window.Fail("the settings page did not come up during the lesson");
    auto* check = page->findChild<QPushButton*>(QStringLiteral("soundCheckButton"));
    if (!check)
        return window.Fail("the General tab has no keyboard and sound check");
    if (auto* tabs = page->findChild<QTabWidget*>())
        tabs->setCurrentIndex(0);
    Pause(300);
    check->click();
    QPointer<QWidget> dialog = page->window()->findChild<QWidget*>(QStringLiteral("soundCheckDialog"));
    if (!dialog || !WaitFor([&] { return dialog->isVisible(); }, 3000))
        return window.Fail("the keyboard and sound check did not open");
    Pause(500); // it fades in
    album.Shot(QStringLiteral("Test my keyboard and sound, with no MIDI keyboard plugged in"));
    QTest::keyClick(dialog, Qt::Key_Escape);
    WaitFor([&] { return !dialog || !dialog->isVisible(); }, 3000);
    return Close();
}

void FeatureMoments::LogEarlierWeeks(size_t trainerId, int section, const std::vector<std::pair<int, int>>& pairs,
                                     const std::vector<int>& rightItems)
{
    const std::shared_ptr<Core::AnswerLog> log = app.exerciseCatalog()->GetAnswerLog();
    if (!log)
        return;
    // Practised days (days before today), with gaps; the oldest lie beyond a month.
    static const int days[] = {300, 210, 120, 75, 40, 29, 27, 23, 20, 16, 15, 12, 9, 8, 5, 4, 2, 1, 0};
    const qint64 run = log->BeginRun();
    const QDate today = QDate::currentDate();
    int mistake = 0;
    // The statistics of the same answers, so that the history's rows agree with the log.
    std::map<qint32, Core::StatisticsRecord> counts;
    for (const int before : days) {
        // From about half right and 4.5 s a year ago to nine in ten and under 2 s now.
        const double progress = 1.0 - before / 300.0;
        const int answers = 12 + (before * 7) % 11;
        const int right = int(answers * (0.5 + 0.4 * progress));
        const int medianMs = int(4500 - 2700 * progress);
        for (int n = 0; n < answers; ++n) {
            Core::LoggedAnswer answer;
            answer.time = QDateTime(today.addDays(-before), QTime(17, 0).addSecs(n * 20)).toSecsSinceEpoch();
            answer.run = run;
            answer.trainer = qint32(trainerId);
            answer.section = section;
            answer.responseMs = medianMs + ((n * 379) % 1400) - 700;
            if (n < right) {
                answer.asked = rightItems[size_t(n) % rightItems.size()];
                answer.answered = answer.asked;
                answer.outcome = Core::LoggedAnswer::Right;
            } else {
                // A pair listed twice comes twice as often.
                const auto& [asked, answered] = pairs[size_t(mistake++) % pairs.size()];
                answer.asked = asked;
                answer.answered = answered;
                answer.outcome = Core::LoggedAnswer::Wrong;
            }
            log->Append(answer);
            Core::StatisticsRecord& count = counts[answer.asked];
            count.id = answer.asked;
            count.exId = qint32(trainerId);
            count.section = section;
            ++(answer.outcome == Core::LoggedAnswer::Right ? count.correct : count.wrong);
        }
    }
    if (const std::shared_ptr<Core::ExerciseStatistics> statistics = app.exerciseCatalog()->GetStatistics())
        for (const auto& [id, count] : counts)
            statistics->Add(count);
    if (!log->Flush())
        Warn(QStringLiteral("the answer log did not take the earlier weeks"));
}

bool FeatureMoments::Insight()
{
    using namespace Core;
    // Notes around the treble staff: G4 read as A4 most often, then B4 as C5, F4 as E4, E5 as D5.
    // A pair listed more than once comes more often; the others fill the worksheet.
    LogEarlierWeeks(NoteTrainerIndex, 0,
                    {{46, 48}, {50, 51}, {44, 43}, {55, 53}, {46, 48}, {50, 51}, {46, 48}, {58, 56}, {60, 58},
                     {41, 39}, {53, 55}, {36, 38}, {62, 60}, {63, 62}, {34, 36}, {46, 48}, {44, 43}, {32, 34}},
                    {39, 41, 43, 44, 46, 48, 50, 51, 53, 55});
    // Loudness: mezzo-piano taken for piano, crescendo for diminuendo, fortissimo for forte.
    LogEarlierWeeks(SymbolTrainerIndex, 3, {{3, 2}, {10, 9}, {3, 2}, {5, 6}, {1, 0}, {3, 2}}, {0, 1, 2, 3, 4, 5, 6, 9, 10});

    album.Place("insight", "Statistics · common mistakes, progress, worksheet");
    if (!Open(NoteTrainerIndex, false, [](TrainerSettings&) {}, 46u))
        return false;
    window.console->showStatistics();
    if (!WaitFor([&] { return window.screen->viewMode() == UI::ExerciseScreen::StatisticsView; }, 5000) ||
        !window.ViewSettled())
        return window.Fail("the statistics view did not come up");
    auto* list = window.Child<UI::ConfusionList>(QStringLiteral("confusionList"));
    auto* chart = window.Child<UI::ProgressChart>(QStringLiteral("progressChart"));
    auto* tabs = window.Child<QTabWidget>(QStringLiteral("statisticsInsight"));
    auto* toggle = window.Child<QPushButton>(QStringLiteral("viewHistory"));
    if (!list || !chart || !tabs || !toggle)
        return window.Fail("the statistics view has no common mistakes or progress");
    WaitFor([&] { return !list->isWaiting(); }, 3000);
    album.Shot(QStringLiteral("Common mistakes of this lesson (none yet)"));
    QTest::mouseClick(toggle, Qt::LeftButton, Qt::NoModifier, toggle->rect().center());
    WaitFor([&] { return !list->isWaiting() && !list->rowTexts().isEmpty(); }, 3000);
    Pause(100);
    album.Shot(QStringLiteral("Common mistakes of every lesson (history)"));
    auto* show = list->findChild<QPushButton*>(QStringLiteral("confusionButton"));
    if (show && show->isVisible()) {
        QTest::mouseClick(show, Qt::LeftButton, Qt::NoModifier, show->rect().center());
        Pause(400);
        album.Shot(QStringLiteral("\"Show\": the asked note first"));
        Pause(UI::ConfusionList::SecondItemDelayMs);
        album.Shot(QStringLiteral("\"Show\": the answer beside it"));
        auto* close = list->findChild<QPushButton*>(QStringLiteral("confusionCardClose"));
        if (close)
            close->click();
    } else {
        Warn(QStringLiteral("the common mistakes of the history have no Show button"));
    }

    tabs->setCurrentWidget(chart);
    for (const int span : UI::ProgressChart::Spans) {
        chart->setSpan(span);
        WaitFor([&] { return !chart->isWaiting(); }, 3000);
        Pause(150);
        if (chart->days().empty())
            Warn(QStringLiteral("the progress chart of %1 days is empty").arg(span));
        album.Shot(QStringLiteral("Progress, last %1 days").arg(span));
        if (span != 30 || chart->days().empty())
            continue;
        // Pointing at the newest day tells its values.
        auto* view = chart->findChild<QtCharts::QChartView*>(QStringLiteral("progressChartView"));
        const Core::DayProgress& newest = chart->days().back();
        const QPointF point = chart->chart()->mapToPosition(
            QPointF(chart->firstDay().daysTo(newest.day), 100.0 * newest.right / newest.answers),
            chart->accuracySeries());
        const QPoint at = view->mapFromScene(chart->chart()->mapToScene(point));
        QWidget* top = window.console.get();
        QTest::mouseMove(top->windowHandle(), view->viewport()->mapTo(top, at));
        WaitFor([&] { return chart->pickedDay() >= 0; }, 1000);
        Pause(100);
        album.Shot(QStringLiteral("Progress, last 30 days: the newest day pointed at"));
    }
    chart->setSpan(30);

    // The worksheet of the section's weakest items, as "Print worksheet" makes it.
    if (const std::shared_ptr<AnswerLog> log = window.screen->session()->answerLog()) {
        AnswerLog::Scope scope;
        scope.trainer = NoteTrainerIndex;
        scope.section = 0;
        const std::vector<qint32> keys =
            log->WeakestItems(scope, UI::Worksheet::ItemCount, QDateTime::currentSecsSinceEpoch());
        const UI::Worksheet sheet(UI::Worksheet::titleFor(SectionName(), QStringLiteral("Note Trainer")),
                                  UI::Worksheet::itemsFor(*window.screen->session(), 0, keys));
        const QImage page = sheet.pagePicture(0, 1240);
        if (page.isNull())
            Warn(QStringLiteral("the worksheet has no first page"));
        else
            album.Save(page, QStringLiteral("Worksheet of the weakest notes, first page (%1 items)")
                                 .arg(sheet.items().size()));
    }
    if (!Close())
        return false;

    // The symbol trainer's sections have the extended page, the column beside its rows.
    if (!Open(SymbolTrainerIndex, false, [](TrainerSettings&) {}, 47u))
        return false;
    window.console->showStatistics();
    if (!WaitFor([&] { return window.screen->viewMode() == UI::ExerciseScreen::StatisticsView; }, 5000) ||
        !window.ViewSettled())
        return window.Fail("the symbol trainer's statistics view did not come up");
    if (auto* loudness = window.Child<QToolButton>(QStringLiteral("section4")); loudness && loudness->isVisible()) {
        ClickOnScreen(loudness);
        window.ViewSettled();
    } else {
        Warn(QStringLiteral("the symbol trainer's statistics show no Loudness button"));
    }
    list = window.Child<UI::ConfusionList>(QStringLiteral("confusionList"));
    tabs = window.Child<QTabWidget>(QStringLiteral("statisticsInsight"));
    tabs->setCurrentWidget(list);
    toggle = window.Child<QPushButton>(QStringLiteral("viewHistory"));
    QTest::mouseClick(toggle, Qt::LeftButton, Qt::NoModifier, toggle->rect().center());
    WaitFor([&] { return !list->isWaiting() && !list->rowTexts().isEmpty(); }, 3000);
    Pause(100);
    album.Shot(QStringLiteral("Music symbols: common mistakes of every lesson (extended page)"));
    show = list->findChild<QPushButton*>(QStringLiteral("confusionButton"));
    if (show && show->isVisible()) {
        QTest::mouseClick(show, Qt::LeftButton, Qt::NoModifier, show->rect().center());
        Pause(UI::ConfusionList::SecondItemDelayMs + 300);
        album.Shot(QStringLiteral("Music symbols: \"Show\", both pictures"));
    }
    return Close();
}

bool FeatureMoments::Open(size_t trainerId, bool quizMode,
                          const std::function<void(Core::TrainerSettings&)>& edit, unsigned seed)
{
    trainer = trainerId;
    quiz = quizMode;
    app.setQuizMode(quiz);
    saved = app.CurrentSettings();
    Core::TrainerSettings block = saved;
    edit(block);
    app.setTrainerSettings(block);
    std::srand(seed);
    window.console->openExercise(trainer, quiz);
    if (!window.screen->session() || !window.Settle(window.screen))
        return window.Fail("a lesson of its own did not open");
    const auto notice = [&] {
        return window.screen->midiWarningDialog() && window.screen->midiWarningDialog()->isVisible();
    };
    // The notice comes before a lesson that wants a MIDI keyboard begins, or not at all.
    const auto asking = [&] { return Lesson().state == Core::Exercise::AwaitingAnswer; };
    if (WaitFor([&] { return notice() || asking(); }, 3000) && notice()) {
        Pause(400); // it fades in
        QTest::mouseClick(window.screen->midiWarningDialog()->okButton(), Qt::LeftButton);
        WaitFor([&] { return !notice(); }, 3000);
    }
    return WaitForQuestion(0) || window.Fail("the lesson of its own asked nothing");
}

bool FeatureMoments::Close()
{
    UI::SectionEndDialog* dialog = window.screen->sectionEndDialog();
    if (Lesson().state == Core::Exercise::LessonEnd && dialog &&
        WaitFor([&] { return ShownStill(dialog); }, 5000)) {
        auto* next = dialog->findChild<QPushButton*>(QStringLiteral("Continue"));
        QTest::mouseClick(next, Qt::LeftButton, Qt::NoModifier, next->rect().center());
    } else {
        window.console->navigateHome();
    }
    const bool home = window.Settle(window.console->homeScreen());
    app.setQuizMode(quiz);
    app.setTrainerSettings(saved);
    app.setQuizMode(false);
    return home;
}

Core::LessonSnapshot FeatureMoments::Lesson() const
{
    return window.screen->session() ? window.screen->session()->snapshot() : Core::LessonSnapshot();
}

bool FeatureMoments::WaitForQuestion(int asked)
{
    const auto ready = [&] {
        const Core::LessonSnapshot lesson = Lesson();
        return lesson.state == Core::Exercise::AwaitingAnswer &&
               lesson.playState == Core::LessonBase::Running && lesson.counters.asked > asked;
    };
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (WaitFor(ready, 15000))
            return true;
        QTest::keyClick(window.screen, Qt::Key_Space);
    }
    return false;
}

int FeatureMoments::SecondsLeft() const
{
    auto* bar = window.Child<QWidget>(QStringLiteral("questionCountdown"));
    if (!bar || !bar->isVisible())
        return -1;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(bar);
    QAccessibleValueInterface* value = face ? face->valueInterface() : nullptr;
    return value ? value->currentValue().toInt() : -1;
}

QToolButton* FeatureMoments::HearAgainButton() const
{
    return window.Child<QToolButton>(QStringLiteral("hearAgainButton"));
}

void FeatureMoments::ClickOnScreen(QWidget* target) const
{
    QWidget* top = window.console.get();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      target->mapTo(top, target->rect().center()));
}

bool FeatureMoments::AnswerRight()
{
    const int id = Lesson().question.correctIndex + 1;
    auto* button = window.Child<QToolButton>(QStringLiteral("variant%1").arg(id));
    if (!button || !button->isVisible())
        return false;
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    return true;
}

QString FeatureMoments::SectionName() const
{
    const Core::LessonSnapshot lesson = Lesson();
    return lesson.section >= 0 && size_t(lesson.section) < lesson.titles.size()
               ? lesson.titles[size_t(lesson.section)].shortName
               : QStringLiteral("section %1").arg(lesson.section + 1);
}

QString FeatureMoments::LengthName() const
{
    const Core::QuestionRecord question = Lesson().question;
    const Core::QuestionData* item = question.AskedItem();
    const QString picture = item ? item->caption : QString();
    if (picture.contains(QLatin1String("hundredtwentyeighthrest")))
        return SectionName() + QStringLiteral(", 128th rest");
    if (picture.contains(QLatin1String("hundredtwentyeighthnote")))
        return SectionName() + QStringLiteral(", 128th note");
    Warn(QStringLiteral("a question of 128th lengths shows %1").arg(picture));
    return SectionName() + QStringLiteral(", ") +
           (item ? item->caption2.simplified() : QStringLiteral("nothing"));
}

void FeatureMoments::Warn(const QString& what) const
{
    std::fprintf(stderr, "tour %s: %s\n", qPrintable(window.pass.name), qPrintable(what));
}

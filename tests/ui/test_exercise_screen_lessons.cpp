// Whole lessons of the three trainers through the exercise screen, answered right, wrong and not
// at all on purpose (clicks on the answer buttons and piano keys, the keys 1 to 6, note-ons from
// a keyboard port on the test JACK server), with sections changed by the section buttons, by
// dragging the slider and by questions left to time out. The test keeps its own tally of the
// answers it gave, per section and item, and checks against it what the student sees: the score
// bar after every answer, "Question n of m" with every question, the section end dialog's score
// and the statistics rows of every section.

#include "core/exercise/question_data.h"
#include "screen_jack_keyboard.h"
#include "test_exercise_screen_fixture.h"
#include "ui/exercise/statistics_rows.h"

#include <QAbstractButton>
#include <QMap>
#include <QMouseEvent>
#include <QStyleOptionSlider>

using Core::Exercise;
using Core::LessonBase;
using Core::QuestionRecord;

namespace {

using Tally = QPair<int, int>; // right, wrong
using Rows = QMap<QString, Tally>;

constexpr int LongTimeout = 30;
constexpr int ShortTimeout = 1;

// The timing of section `section` of `trainer`, in the block the settings pages edit.
Core::DurationSettings& DurationOf(Core::TrainerSettings& s, unsigned trainer, int section)
{
    Core::DurationSettings* const note[] = {&s.noteTrainer.singleNotes.duration,
                                            &s.noteTrainer.intervals.duration,
                                            &s.noteTrainer.chords.duration};
    Core::DurationSettings* const ear[] = {&s.earTrainer.singleNotes.duration,
                                           &s.earTrainer.intervals.duration, &s.earTrainer.chords.duration,
                                           &s.earTrainer.scales.duration, &s.earTrainer.tempo.duration};
    Core::DurationSettings* const symbol[] = {
        &s.symbolTrainer.lengths.duration, &s.symbolTrainer.keySignatures.duration,
        &s.symbolTrainer.tempo.duration, &s.symbolTrainer.loudness.duration,
        &s.symbolTrainer.noteModifiers.duration};
    return *(trainer == 0 ? note : trainer == 1 ? ear : symbol)[section];
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// Drags the slider's handle by hand until the slider stands at `value` or just past it (not
// every value lies on a pixel); returns where it was let go (the screen then moves it to where
// the lesson stands).
int DragSlider(QSlider* slider, int value)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    QPoint at =
        slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
    SendMouse(slider, QEvent::MouseButtonPress, at, Qt::LeftButton);
    for (int tries = 0; tries < 8 && slider->sliderPosition() != value; ++tries) {
        at.rx() += value - slider->sliderPosition();
        SendMouse(slider, QEvent::MouseMove, at, Qt::LeftButton);
    }
    for (int tries = 0; tries < 8 && slider->sliderPosition() < value; ++tries) {
        at.rx() += 1;
        SendMouse(slider, QEvent::MouseMove, at, Qt::LeftButton);
    }
    const int reached = slider->sliderPosition();
    SendMouse(slider, QEvent::MouseButtonRelease, at, Qt::NoButton);
    return reached;
}

// The slider's value under the start of section button `button`: the buttons are laid out along
// the slider's track, half a handle in.
int SectionStartValue(QSlider* slider, QWidget* button)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    const QRect handle =
        slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
    return button->x() - (handle.width() > 0 ? handle.width() : 14) / 2;
}

// The rows of the statistics page in view that hold answers: item name -> right, wrong.
Rows ShownRows(const ScreenRig& rig)
{
    const auto* page = rig.Child<UI::StatisticsRows>(rig.screen->IsExtendedStatistics()
                                                         ? QStringLiteral("extendedStatisticsRows")
                                                         : QStringLiteral("statisticsRows"));
    Rows rows;
    for (int row = 0; row < page->ItemCount(); ++row)
        if (page->Bar(row)->rightCount() + page->Bar(row)->wrongCount() > 0)
            rows[page->NameLabel(row)->text()] = {page->Bar(row)->rightCount(), page->Bar(row)->wrongCount()};
    return rows;
}

QString Percentage(const UI::SectionEndDialog* dialog)
{
    return dialog->findChild<QLabel*>(QStringLiteral("percentage"))->text();
}

// A step of a lesson's plan (see wholeLesson_data) with the section it is taken in, or leads to
// (the section count: the lesson's end), and the questions asked there since it was entered.
struct Step
{
    QString what;
    int section;
    int asked;
};

QVector<Step> Walk(const QString& plan, const QVector<int>& questions)
{
    QVector<Step> steps;
    int section = 0;
    int asked = 0;
    for (const QString& what : plan.split(QLatin1Char(' '))) {
        if (what.size() > 1 || what == QLatin1String("e")) {
            section = what == QLatin1String("e") ? questions.size() : what.mid(1).toInt() - 1;
            asked = 0;
        }
        steps.append({what, section, asked});
        if (what.size() == 1 && what != QLatin1String("e") && ++asked == questions[section]) {
            ++section; // its questions used up: the next one
            asked = 0;
        }
    }
    steps.append({QString(), section, asked});
    return steps;
}

} // namespace

class TestConsoleExerciseControlLessons : public QObject
{
    Q_OBJECT
    std::shared_ptr<Core::MidiBank> bank;

    // Answers the question shown, right or wrong, in the way `method` names (0 a button, 1 a
    // number key, 2 the piano, 3 the MIDI keyboard), or in another way where that one is not
    // offered for the question.
    static void Answer(ScreenRig& rig, JackKeyboard* jack, bool right, int method)
    {
        const QuestionRecord question = rig.Lesson().question;
        const QVector<int> expected = rig.ExpectedKeys();
        if ((method == 2 && !rig.Piano()->isVisible()) ||
            (method == 3 && (!jack || !(question.answerModes & QuestionRecord::NotesMode))))
            method = 0;
        if (method < 2 && !rig.Variant(1)->isVisible())
            method = 2;
        const int id = right ? question.correctIndex + 1 : (question.correctIndex + 1) % 6 + 1;
        const QVector<int> keys = right ? expected : QVector<int>{WrongKey(expected)};
        if (method == 0)
            rig.ClickVariant(id);
        else if (method == 1)
            QTest::keyClick(rig.screen.get(), Qt::Key(Qt::Key_0 + id));
        for (int key : keys) {
            if (method == 2)
                rig.ClickKey(key);
            else if (method == 3)
                jack->Play(key);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        ScreenTestSetUp();
        bank = std::make_shared<Core::MidiBank>();
    }

    // The plan: R, W and L answer the question right, wrong or not at all (it times out); bN
    // clicks section button N, sN drags the slider to the start of section N, e past the last
    // section. A section left before its questions are used up keeps the answers given in it;
    // a question a section change skips counts nowhere; a section entered again adds to them.
    void wholeLesson_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<QString>("plan");
        QTest::addColumn<QVector<int>>("questions"); // per section
        // Ended by the time-out of its last question.
        QTest::newRow("note trainer") << 0u << "R b3 W s2 R L R L" << QVector<int>{2, 2, 2};
        // Ended by the slider dragged past the last section while the tempo question sounds; the
        // scales are never asked.
        QTest::newRow("ear trainer") << 1u << "W b3 R s1 R L R W R b5 e" << QVector<int>{2, 2, 2, 2, 1};
        // Ended by answering its last question.
        QTest::newRow("music symbols") << 2u << "R b4 W s2 R L W b5 R W" << QVector<int>{2, 2, 2, 2, 2};
    }
    void wholeLesson()
    {
        QFETCH(unsigned, trainer);
        QFETCH(QString, plan);
        QFETCH(QVector<int>, questions);
        const int sectionCount = questions.size();
        QVector<Step> steps = Walk(plan, questions);
        QCOMPARE(steps.takeLast().section, sectionCount); // the plan ends the lesson
        std::unique_ptr<JackKeyboard> jack;
        if (HaveJack()) {
            jack = std::make_unique<JackKeyboard>();
            QVERIFY(jack->Ready());
        }
        ScreenRig rig(bank, QSize(1366, 708), jack ? jack->controller : nullptr);
        rig.Settings([&](Core::TrainerSettings& s) {
            WholeLessons(s, 2, LongTimeout, {true, 0});
            for (int i = 0; i < sectionCount; ++i)
                DurationOf(s, trainer, i).questions = questions[i];
            // A short time-out where a question is left to time out, and in the sections the
            // slider leads to: their few ticks are spread over many pixels, so that a hand that
            // stops a pixel or two late still lands on the first question.
            for (const Step& step : steps)
                if (step.what == QLatin1String("L") || step.what[0] == QLatin1Char('s'))
                    DurationOf(s, trainer, step.section).seconds = ShortTimeout;
        });
        QVERIFY(rig.Show());
        rig.screen->LoadExercise(trainer, false, false);
        QVERIFY(rig.screen->GetSession());
        QCOMPARE(int(rig.Lesson().titles.size()), sectionCount);

        Tally lesson;
        QVector<Rows> sections(sectionCount);
        int answers = 0;
        for (const Step& step : steps) {
            if (step.what[0] == QLatin1Char('b')) {
                QTest::mouseClick(rig.SectionButton(step.section), Qt::LeftButton);
                continue;
            }
            if (step.what[0] == QLatin1Char('s') || step.what == QLatin1String("e")) {
                const bool toEnd = step.section == sectionCount;
                const int value =
                    toEnd ? rig.Slider()->maximum()
                          : SectionStartValue(rig.Slider(), rig.SectionButton(step.section));
                const int reached = DragSlider(rig.Slider(), value);
                QVERIFY2(reached >= value && reached <= value + 2, qPrintable(QString::number(reached)));
                continue;
            }
            const QString status =
                QStringLiteral("Question %1 of %2").arg(step.asked + 1).arg(questions[step.section]);
            const bool shown = QTest::qWaitFor(
                [&] {
                    const Core::LessonSnapshot now = rig.Lesson();
                    return now.state == Exercise::AwaitingAnswer && now.playState == LessonBase::Running &&
                           now.section == step.section && rig.Status()->text() == status;
                },
                20000);
            QVERIFY2(shown, qPrintable(QStringLiteral("%1 in section %2, seen \"%3\" in section %4")
                                           .arg(status)
                                           .arg(step.section + 1)
                                           .arg(rig.Status()->text())
                                           .arg(rig.Lesson().section + 1)));
            // The lesson reports its state with its lock held: the report is queued by now.
            QCoreApplication::processEvents();
            QVERIFY(rig.SectionButton(step.section)->isChecked());
            const QuestionRecord question = rig.Lesson().question;
            const QString item =
                rig.screen->GetSession()->questionLabel(step.section, question.AskedItem()->statisticsKey);
            const bool right = step.what == QLatin1String("R");
            if (step.what != QLatin1String("L"))
                Answer(rig, jack.get(), right, answers++ % 4);
            (right ? lesson.first : lesson.second)++;
            (right ? sections[step.section][item].first : sections[step.section][item].second)++;
            QTRY_COMPARE_WITH_TIMEOUT(qMakePair(rig.Bar()->rightCount(), rig.Bar()->wrongCount()), lesson,
                                      ShortTimeout * 1000 + 3000);
        }

        QCOMPARE(rig.FinalScore(), lesson);
        UI::SectionEndDialog* dialog = rig.screen->GetSectionEndDialog();
        QCOMPARE(Percentage(dialog),
                 QStringLiteral("%1%").arg(lesson.first * 100 / (lesson.first + lesson.second)));

        // Review statistics: every section's page holds the answers given in it, item by item.
        QTest::mouseClick(dialog->findChild<QAbstractButton*>(QStringLiteral("ReviewStats")), Qt::LeftButton);
        QTRY_COMPARE(rig.screen->GetViewMode(), int(UI::ExerciseScreen::StatisticsView));
        for (int s = 0; s < sectionCount; ++s) {
            QTest::mouseClick(rig.SectionButton(s), Qt::LeftButton);
            QCOMPARE(ShownRows(rig), sections[s]);
        }
    }

    // An answer played on the MIDI keyboard while the statistics view covers the lesson is judged
    // (the lesson only pauses); the last one ends the lesson, and the score shown on returning
    // holds it.
    void keyPlayedBehindTheStatisticsCountsInTheFinalScore()
    {
        if (!HaveJack())
            QSKIP("needs the test JACK server (run by ctest)");
        JackKeyboard jack;
        QVERIFY(jack.Ready());
        ScreenRig rig(bank, QSize(1366, 708), jack.controller);
        rig.Settings([](Core::TrainerSettings& s) {
            WholeLessons(s, 1, LongTimeout, {true, 0});
            s.noteTrainer.intervals.duration.questions = 0;
            s.noteTrainer.chords.duration.questions = 0;
        });
        QVERIFY(rig.Show());
        rig.screen->LoadExercise(0, false, false);
        QVERIFY(rig.WaitForQuestion());
        rig.screen->ShowStatistics(UI::Quick);
        jack.Play(rig.ExpectedKeys().first());
        QTRY_COMPARE(rig.Lesson().state, Exercise::LessonEnd);
        QCoreApplication::processEvents();
        rig.screen->showExercise(UI::Quick);
        QCOMPARE(rig.Bar()->rightCount(), 1);
        UI::SectionEndDialog* dialog = rig.screen->GetSectionEndDialog();
        QTRY_VERIFY(dialog && dialog->isVisible());
        QTRY_COMPARE(Percentage(dialog), QStringLiteral("100%"));
    }

    // Keys of a MIDI keyboard: a chord's first keys show green on the piano while the rest are
    // awaited, the last key gives "Right"; a wrong key gives "Wrong" at once. With an input
    // device there is no missing-MIDI notice.
    void midiKeyboardAnswers()
    {
        if (!HaveJack())
            QSKIP("needs the test JACK server (run by ctest)");
        JackKeyboard jack;
        QVERIFY(jack.Ready());
        ScreenRig rig(bank, QSize(1366, 708), jack.controller);
        rig.General([](Core::GeneralSettings& g) { g.hideMidiDialog = false; });
        rig.Settings([](Core::TrainerSettings& s) { s.noteTrainer.wrongAnswerPolicy = {true, 60000}; });
        QVERIFY(rig.Show());
        rig.screen->LoadExercise(0, false, false);
        QVERIFY(!rig.screen->GetMidiWarningDialog());
        rig.SectionButton(2)->click(); // chords
        QVERIFY(rig.WaitForQuestion());
        QVector<int> expected = rig.ExpectedKeys();
        QVERIFY(expected.size() >= 3);
        jack.Play(expected[0]);
        QTRY_COMPARE(rig.Piano()->keyState(expected[0]).mark, int(Keyboard::GreenMark));
        QCOMPARE(rig.Lesson().state, Exercise::AwaitingAnswer);
        for (int i = 1; i < expected.size(); ++i)
            jack.Play(expected[i]);
        QVERIFY(rig.WaitForAnswers(1));
        QTRY_COMPARE(rig.Status()->text(), QStringLiteral("Right"));
        for (int key : expected)
            QCOMPARE(rig.Piano()->keyState(key).mark, int(Keyboard::GreenMark));

        QTRY_VERIFY(rig.WaitForQuestion());
        expected = rig.ExpectedKeys();
        jack.Play(WrongKey(expected));
        QVERIFY(rig.WaitForAnswers(2));
        // The counts follow the lesson's state report; the judgement is the report after it.
        QTRY_COMPARE(rig.Status()->text(), QStringLiteral("Wrong"));
        QCOMPARE(rig.Piano()->keyState(WrongKey(expected)).mark, int(Keyboard::RedMark));
        QCOMPARE(rig.Bar()->wrongCount(), 1);
        QCOMPARE(rig.Bar()->rightCount(), 1);
    }
};

QTEST_MAIN(TestConsoleExerciseControlLessons)
#include "test_exercise_screen_lessons.moc"

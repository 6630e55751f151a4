// tour OUTPUT_DIR SHEET.png
// Drives the whole program offscreen, in its real main window, and takes a picture at every
// moment a reviewer should see: the splash, the home screen fresh and with progress, both forms
// of the difficulty dialog, the about, help, news and rating dialogs, the tool bar in every
// navigation state (home, a lesson and its reference, statistics and settings tabs, a quiz, full
// screen), every tab of each trainer's settings page in a learning lesson and in a quiz, and a
// learning and a quiz lesson of each trainer answered as a student answers (on-screen keys,
// answer buttons, the keys 1 to 6, one question left to time out) with each question kind, the
// judgements, the MIDI notice, the pause hint, the play dialog and the section end dialog, and
// after each learning lesson the reference page and the statistics page of every section (the
// ear trainer's tempo section on its extended page), with one history page. It
// does so at 1920x1080, at 1366x768 and at 1920x1080 with device pixel ratio 2, each in a process
// of its own with a fresh configuration and data folder (the ratio-2 pass runs with
// QT_SCALE_FACTOR=2, so every widget paints at ratio 2 and picks its "@2x" pictures). The
// pictures go to OUTPUT_DIR/<size>/, with a labelled contact sheet of all of them in SHEET.png
// (make tour).
//
// Without a sound card the answer sounds are swallowed by a silent server; without a MIDI
// keyboard the lessons show their MIDI notice. No services address is set, so help is the guide
// built into the program and no news is fetched (the news dialog is filled by the tour). Questions
// are drawn from a fixed seed.

#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/question_data.h"
#include "core/midi/au_server.h"
#include "core/midi/midi_event.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/exercise/action_hint.h"
#include "app/application.h"
#include "ui/main_window.h"
#include "ui/exercise/exercise_screen.h"
#include "ui/home/home_screen.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/progress.h"
#include "ui/exercise/reference/reference_book.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "ui/widgets/fader_widget.h"
#include "ui/dialogs/help_dialog.h"
#include "ui/interface_fonts.h"
#include "ui/dialogs/mail_dialog.h"
#include "ui/dialogs/midi_warning_dialog.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/dialogs/rating_dialog.h"
#include "ui/save_warning_bar.h"
#include "ui/dialogs/section_end_dialog.h"
#include "core/settings_store.h"
#include "ui/dialogs/splash_dialog.h"
#include "ui/settings/trainer_settings_page.h"
#include "ui/window_stack_manager.h"

#include <QAbstractAnimation>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSignalSpy>
#include <QStateMachine>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace {

const char* const IndexFile = "index.tsv";

struct Pass
{
    QString name; // folder name
    QString title;
    int width;
    int height;
    int ratio;
};

const std::vector<Pass>& Passes()
{
    static const std::vector<Pass> passes = {
        {QStringLiteral("1920x1080"), QStringLiteral("1920×1080"), 1920, 1080, 1},
        {QStringLiteral("1366x768"), QStringLiteral("1366×768"), 1366, 768, 1},
        {QStringLiteral("1920x1080@2x"), QStringLiteral("1920×1080, ratio 2"), 1920, 1080, 2},
    };
    return passes;
}

// Swallows the answer sounds: the tour runs without a sound card.
class SilentAuServer : public Core::AuServer
{
public:
    void Play(SoundClip&) override {}
    void Stop() override {}
};

// Short lessons that ask every question kind: single notes, intervals and chords of the note
// trainer twice each (the trainer alternates the clefs when both are on and the notes fit both
// staves), chord symbols in the quiz, one question of every other section, and one section with
// a short time-out so that a question runs out of time; edits the learning or the quiz block.
// Not the tests' ShortLessons(): the tour must show every question kind, on both staves.
void TourLessons(Core::TrainerSettings& s, bool quiz)
{
    using namespace Core;
    const int relaxed = 30;
    NoteTrainerSettings& n = s.noteTrainer;
    n.singleNotes.duration = {relaxed, quiz ? 1 : 2};
    n.intervals.duration = {quiz ? relaxed : 4, quiz ? 1 : 2};
    n.chords.duration = {relaxed, quiz ? 1 : 2};
    for (ClefSettings* c : {&n.singleNotes.clefs, &n.intervals.clefs, &n.chords.clefs})
        *c = ClefSettings{true, true};
    for (NotesDiapason* d : {&n.singleNotes.diapason, &n.intervals.diapason, &n.chords.diapason,
                             &s.earTrainer.singleNotes.diapason, &s.earTrainer.intervals.diapason,
                             &s.earTrainer.chords.diapason, &s.earTrainer.scales.diapason})
        *d = NotesDiapason{34, 51, true, true}; // G3 to C5: on either staff
    n.intervals.intervalStart = 3;
    n.intervals.intervalEnd = 7;
    n.chords.SetAll(false);
    n.chords[ChordSwitch::MajorTriad] = true;
    n.chords[ChordSwitch::MinorTriad] = true;
    n.chords[ChordSwitch::ChordNotation] = quiz;
    // Learning pauses after a mistake (the hint then offers the next question), the quiz goes on.
    n.wrongAnswerPolicy = {quiz, 2500};

    EarTrainerSettings& e = s.earTrainer;
    e.singleNotes.duration = {quiz ? relaxed : 8, 1};
    for (DurationSettings* d :
         {&e.intervals.duration, &e.chords.duration, &e.scales.duration, &e.tempo.duration})
        *d = {relaxed, 1};
    e.intervals.intervalStart = 3;
    e.intervals.intervalEnd = 7;
    e.chords.SetAll(false);
    e.chords[ChordSwitch::MajorTriad] = true;
    e.chords[ChordSwitch::MinorTriad] = true;
    e.scales.SetAll(false);
    e.scales[ScaleSwitch::NaturalMaj] = true;
    e.scales[ScaleSwitch::NaturalMin] = true;
    e.scales[ScaleSwitch::Ascending] = true;
    e.tempo.SetAll(false);
    e.tempo[TempoSwitch::Allegro] = true;
    e.tempo[TempoSwitch::Adagio] = true;

    SymbolTrainerSettings& y = s.symbolTrainer;
    y.lengths.duration = {relaxed, 1};
    y.keySignatures.duration = {relaxed, 1};
    y.tempo.duration = {relaxed, 1};
    y.loudness.duration = {quiz ? relaxed : 4, 1};
    y.noteModifiers.duration = {relaxed, 1};
    y.lengths.SetAll(true);
    y.keySignatures.SetAll(true);
    y.tempo.SetAll(true);
    y.loudness.SetAll(true);
    y.noteModifiers.SetAll(true);
}

const char* TrainerName(size_t trainer)
{
    static const char* const names[] = {"Note trainer", "Ear trainer", "Symbol trainer"};
    return names[trainer];
}
const char* TrainerSlug(size_t trainer)
{
    static const char* const names[] = {"note", "ear", "symbol"};
    return names[trainer];
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

void Pause(int ms)
{
    QTest::qWait(ms);
}

bool FadeRunning(const UI::BaseDialog* dialog)
{
    return dialog->fadeAnimation() && dialog->fadeAnimation()->state() == QAbstractAnimation::Running;
}

// A dialog in view with its fade-in over.
bool ShownStill(const UI::BaseDialog* dialog)
{
    return dialog && dialog->isVisible() && !FadeRunning(dialog) && !dialog->isFadingOut();
}

// A news message as the maker's news service sends one: a title and a few paragraphs.
const char* const NewsTitle = "Spring update: chord symbols and a calmer ear trainer";
const char* const NewsText =
    "Dear students and teachers,\n\n"
    "thank you for practising with Cantorela this winter. This update brings chord symbols to the "
    "note trainer's quiz: after a few chords on the staff you are now asked to name them as a "
    "lead sheet writes them (C, Am, G7).\n\n"
    "The ear trainer plays its intervals and chords a little more slowly at the first two levels, "
    "and it repeats a question when you press the space bar before answering.\n\n"
    "Teachers asked us for a way to follow a class: the statistics of every trainer can now be "
    "printed from the Statistics tab, with the notes and symbols that went wrong most often at the "
    "top of the list.\n\n"
    "As always, we would be glad to hear what you think. Happy practising!\n"
    "— The Cantorela team";

// One pass: the program at one size and ratio, from the splash through six lessons to the
// dialogs of the main window.
class Tour
{
public:
    Tour(Application& app, const Pass& pass, const QString& folder) : app(app), pass(pass), folder(folder) {}
    ~Tour()
    {
        if (console) {
            console->exerciseScreen()->closeExercise();
            console.reset();
        }
    }

    bool Run()
    {
        if (!Start())
            return false;
        Place("home", "Main window");
        Shot(QStringLiteral("Home screen of a fresh data folder"));
        AddProgress();
        for (bool quizLesson : {false, true})
            for (size_t t = 0; t < 3; ++t) {
                if (!Lesson(t, quizLesson))
                    return false;
                // The tool bar's tabs are pictured in the first trainer; the reference and
                // statistics pages of every section in each learning lesson.
                if (!(t == 0 || !quizLesson ? TabMoments(t == 0) : SettingsMoments()))
                    return false;
                // Once, the lesson's end is left with the tool bar's Back button instead of
                // "Continue"; the next lesson shows what that leaves behind.
                if (!GoHome(t == 2 && !quizLesson))
                    return false;
            }
        Place("home", "Main window");
        Shot(QStringLiteral("Home screen with progress in all three trainers"));
        SaveWarningMoments();
        return DifficultyMoments() && DialogMoments() && FullScreenMoment() && WriteIndex();
    }

private:
    // ---- start -------------------------------------------------------------------------------

    // The splash while the application prepares itself, then the main window on the home screen.
    bool Start()
    {
        auto splash = std::make_unique<UI::SplashDialog>();
        splash->setStatus(Application::tr("Starting the sound and looking for MIDI keyboards…"));
        splash->show();
        if (!QTest::qWaitForWindowExposed(splash.get()))
            return Fail("the splash is not exposed");
        app.initialize([&splash](const QString& step) { splash->setStatus(step); });
        splash->setStatus(Application::tr("Preparing the trainers…"));
        Place("start", "Start");
        ShotOfDesktop(*splash,
                      QStringLiteral("Splash while the trainers are prepared (centred on the desktop)"));

        Core::SettingsStore* store = app.settings();
        Core::GeneralSettings general = store->generalSettings();
        general.answerWithGraphicalKeyboard = true;
        general.answerWithMultipleChoice = true;
        general.hideMidiDialog = false;
        general.showDifficultyDialog = true;
        app.setGeneralSettings(general);
        // The tour's lessons in both blocks: the exercise block then matches no preset, so the
        // learn form of the difficulty dialog shows its custom row.
        for (bool quizBlock : {true, false}) {
            app.setQuizMode(quizBlock);
            Core::TrainerSettings block = store->currentSettings();
            TourLessons(block, quizBlock);
            app.setTrainerSettings(block);
        }
        app.setQuizMode(false);

        console = std::make_unique<UI::MainWindow>(app.mainWindowServices());
        app.setMainWindow(console.get());
        screen = console->exerciseScreen();
        console->setFixedSize(pass.width, pass.height);
        console->show();
        splash->hide();
        splash.reset();
        console->activateWindow();
        if (!QTest::qWaitForWindowExposed(console.get()))
            return Fail("the main window is not exposed");
        return Settle(console->homeScreen());
    }

    // Statistics of earlier days in the history of all three trainers, on disk before the home
    // screen is next shown.
    void AddProgress()
    {
        const auto statistics = app.exerciseCatalog()->GetStatistics();
        // {trainer, sections with records, items per section, right, wrong per item}
        const int plan[3][4] = {{5, 6, 14, 2}, {3, 5, 6, 3}, {2, 4, 9, 1}};
        for (int trainer = 0; trainer < 3; ++trainer)
            for (int section = 0; section < plan[trainer][0]; ++section)
                for (int item = 0; item < plan[trainer][1]; ++item) {
                    Core::StatisticsRecord record;
                    record.exId = trainer;
                    record.section = section;
                    record.id = trainer == 0 && section == 0 ? 34 + 2 * item : item;
                    record.correct = plan[trainer][2] + (item * 3) % 5;
                    record.wrong = plan[trainer][3] + (item + section) % 3;
                    statistics->Add(record);
                }
        statistics->Save();
    }

    // ---- waiting -----------------------------------------------------------------------------

    bool NothingFades() const
    {
        for (const UI::FaderWidget* fader : console->findChildren<UI::FaderWidget*>())
            if (fader->isFading())
                return false;
        return true;
    }

    // Waits until `front` is the screen in front, shown, with every fade over.
    bool Settle(QWidget* front)
    {
        const bool settled = WaitFor(
            [&] {
                return console->stackManager()->top() == front && front->isVisible() &&
                       console->fader()->content() == front && NothingFades();
            },
            8000);
        if (!settled)
            return Fail(qPrintable(QStringLiteral("the screen %1 did not settle").arg(front->objectName())));
        Pause(150); // the views inside a screen slide for a moment after its fade
        return true;
    }

    bool ShowDialog(UI::BaseDialog* dialog, const char* what)
    {
        if (!WaitFor([&] { return ShownStill(dialog); }, 5000))
            return Fail(qPrintable(QStringLiteral("the %1 did not come up").arg(QLatin1String(what))));
        return true;
    }

    // Closes a dialog with Escape and waits until it has faded out.
    bool CloseDialog(UI::BaseDialog* dialog, const char* what)
    {
        QTest::keyClick(dialog, Qt::Key_Escape);
        if (!WaitFor([&] { return !dialog->isVisible(); }, 5000))
            return Fail(qPrintable(QStringLiteral("the %1 did not close").arg(QLatin1String(what))));
        return true;
    }

    bool Fail(const char* what) const
    {
        std::fprintf(stderr, "tour %s: %s\n", qPrintable(pass.name), what);
        return false;
    }

    // ---- pictures ----------------------------------------------------------------------------

    // The window as it is on screen: the window itself with its dialogs laid over it (each
    // dialog is a window of its own).
    QImage Capture() const
    {
        QPixmap picture = console->grab();
        QPainter painter(&picture);
        const QPoint origin = console->mapToGlobal(QPoint(0, 0));
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top == console.get() || !top->isVisible() || top->parentWidget() == nullptr)
                continue;
            painter.drawPixmap(top->mapToGlobal(QPoint(0, 0)) - origin, top->grab());
        }
        painter.end();
        QImage image = picture.toImage();
        image.setDevicePixelRatio(1.0);
        return image;
    }

    // What the following pictures belong to: a file name part and a label part.
    void Place(const QString& slug, const QString& label)
    {
        placeSlug = slug;
        placeLabel = label;
    }
    void LessonPlace()
    {
        Place(QStringLiteral("%1-%2").arg(QLatin1String(TrainerSlug(trainer)), quiz ? "quiz" : "learn"),
              QStringLiteral("%1 · %2").arg(QLatin1String(TrainerName(trainer)), quiz ? "quiz" : "learn"));
    }

    void Save(const QImage& image, const QString& moment)
    {
        ++count;
        const QString slug = QString(moment).toLower().replace(
            QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("-"));
        const QString file = QStringLiteral("%1-%2-%3.png")
                                 .arg(count, 2, 10, QLatin1Char('0'))
                                 .arg(placeSlug)
                                 .arg(slug.left(60).remove(QRegularExpression(QStringLiteral("-$"))));
        if (!image.save(QDir(folder).filePath(file), "PNG"))
            std::fprintf(stderr, "tour: cannot write %s\n", qPrintable(file));
        index.append(QStringLiteral("%1\t%2 · %3 · %4").arg(file, pass.title, placeLabel, moment));
        std::printf("tour %s: %s\n", qPrintable(pass.name), qPrintable(file));
        std::fflush(stdout);
    }

    void Shot(const QString& moment) { Save(Capture(), moment); }

    // A window without a parent, centred on an empty desktop of the pass's size.
    void ShotOfDesktop(QWidget& window, const QString& moment)
    {
        QImage desktop(pass.width * pass.ratio, pass.height * pass.ratio, QImage::Format_RGB32);
        desktop.fill(QColor(0x3a, 0x3d, 0x42));
        QPixmap picture = window.grab();
        picture.setDevicePixelRatio(1.0);
        QPainter painter(&desktop);
        painter.drawPixmap((desktop.width() - picture.width()) / 2, (desktop.height() - picture.height()) / 2,
                           picture);
        painter.end();
        Save(desktop, moment);
    }

    bool WriteIndex() const
    {
        QFile file(QDir(folder).filePath(QLatin1String(IndexFile)));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        QTextStream out(&file);
        out.setCodec("UTF-8");
        for (const QString& line : index)
            out << line << '\n';
        return true;
    }

    // ---- the main window's own moments ---------------------------------------------------------

    // The tabs of a lesson after it ended: reference (learning only), statistics and settings,
    // each pictured as the tab opens when `toolBarShots` is set. In a learning lesson the
    // reference page and the statistics page of every section follow their tab, and in the first
    // one the history page too. The section end dialog, when it stays over a tab, is pictured
    // once and then put away, so that the tab's own view shows.
    bool TabMoments(bool toolBarShots)
    {
        const auto tab = [&](void (UI::MainWindow::*open)(), int view, const QString& moment) {
            (console.get()->*open)();
            if (!WaitFor([&] { return screen->viewMode() == view; }, 5000))
                return Fail(qPrintable(moment + QStringLiteral(": the view did not come up")));
            if (!Settle(screen) || !ViewSettled())
                return false;
            UI::SectionEndDialog* dialog = screen->sectionEndDialog();
            if (toolBarShots) {
                if (dialog && WaitFor([&] { return ShownStill(dialog); }, 600)) {
                    if (!scoreOverTabShown)
                        Shot(moment + QStringLiteral(" (the lesson's score stays over it)"));
                    scoreOverTabShown = true;
                    dialog->hide();
                    Pause(100);
                }
                Shot(moment);
            } else if (dialog) {
                // No picture of the tab: only the score's fade, in or out, is waited for.
                WaitFor([&] { return !dialog->isVisible() || ShownStill(dialog); }, 1000);
                dialog->hide();
            }
            return true;
        };
        if (!quiz && !tab(&UI::MainWindow::showReference, UI::ExerciseScreen::ReferenceView,
                          QStringLiteral("Tool bar: Reference tab selected")))
            return false;
        if (!quiz && !ReferenceMoments())
            return false;
        if (!tab(&UI::MainWindow::showStatistics, UI::ExerciseScreen::StatisticsView,
                 QStringLiteral("Tool bar: Statistics tab selected")))
            return false;
        if (!quiz && !StatisticsMoments(toolBarShots))
            return false;
        return SettingsMoments();
    }

    // The section buttons the lesson shows (a trainer with fewer sections hides the others),
    // with their index.
    std::vector<std::pair<int, QToolButton*>> SectionButtons() const
    {
        std::vector<std::pair<int, QToolButton*>> buttons;
        for (int s = 0; s < UI::ExerciseScreen::SectionCount; ++s) {
            auto* button = Child<QToolButton>(QStringLiteral("section%1").arg(s + 1));
            if (button && button->isVisible() && button->isEnabled())
                buttons.emplace_back(s, button);
        }
        return buttons;
    }

    // Waits until the view machine rests in the state of the screen's view (the panes glide
    // between views and between the two statistics pages).
    bool ViewSettled()
    {
        QStateMachine* machine = screen->viewMachine();
        if (!machine)
            return true;
        const QString expected =
            screen->viewMode() == UI::ExerciseScreen::ReferenceView ? QStringLiteral("reference")
            : screen->viewMode() != UI::ExerciseScreen::StatisticsView ? QStringLiteral("exercise")
            : screen->isExtendedStatistics() ? QStringLiteral("extendedStatistics")
                                             : QStringLiteral("statistics");
        const auto settled = [&] {
            bool there = false;
            for (const QAbstractState* state : machine->configuration())
                there = there || state->objectName() == expected;
            if (!there)
                return false;
            for (const QAbstractAnimation* animation : machine->findChildren<QAbstractAnimation*>())
                if (animation->state() == QAbstractAnimation::Running)
                    return false;
            return true;
        };
        if (!WaitFor(settled, 3000))
            return Fail(
                qPrintable(QStringLiteral("the view machine did not come to rest in %1").arg(expected)));
        return true;
    }

    void ClickButton(QAbstractButton* button) const
    {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    }

    // Delivers the events a click left posted (the layout of a page just built or filled), as
    // the event loop would before the next frame; nothing is waited for.
    static void Deliver()
    {
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    // The reference page of every section button, chosen with the button.
    bool ReferenceMoments()
    {
        auto* book = Child<UI::ReferenceBook>(QStringLiteral("referencePages"));
        auto* title = Child<QLabel>(QStringLiteral("referenceTitle"));
        if (!book || !title)
            return Fail("the reference view has no pages");
        for (const auto& [section, button] : SectionButtons()) {
            ClickButton(button);
            const QString name = UI::ReferenceBook::pageName(int(trainer), section);
            if (!WaitFor([&] { return book->currentPageName() == name; }, 2000) || !ViewSettled())
                return Fail(qPrintable(QStringLiteral("section button %1 did not show the reference page %2")
                                           .arg(section + 1)
                                           .arg(name)));
            QString subject = UI::ReferenceBook::pageTitle(int(trainer), section);
            if (title->text() != subject)
                std::fprintf(stderr, "tour %s: the reference page %s is titled \"%s\"\n",
                             qPrintable(pass.name), qPrintable(name), qPrintable(title->text()));
            subject.remove(QRegularExpression(QStringLiteral("\\s*Reference$")));
            Deliver();
            Shot(QStringLiteral("Reference: %1").arg(subject.isEmpty() ? button->text() : subject));
        }
        return true;
    }

    // The statistics page of every section button (the ear trainer's tempo section on its
    // extended page, without the keyboard), and with `history` the first section's page of all
    // runs, chosen with "View History".
    bool StatisticsMoments(bool history)
    {
        for (const auto& [section, button] : SectionButtons()) {
            ClickButton(button);
            if (!ViewSettled())
                return false;
            const QString name = button->text();
            Deliver();
            Shot(screen->isExtendedStatistics() ? QStringLiteral("Statistics: %1 (extended page)").arg(name)
                                                : QStringLiteral("Statistics: %1").arg(name));
        }
        if (!history)
            return true;
        const auto buttons = SectionButtons();
        auto* toggle = Child<QPushButton>(QStringLiteral("viewHistory"));
        if (buttons.empty() || !toggle)
            return Fail("the statistics view has no history switch");
        ClickButton(buttons.front().second);
        if (!ViewSettled())
            return false;
        ClickButton(toggle);
        if (!WaitFor([&] { return screen->session()->isShowingHistory(); }, 2000))
            return Fail("\"View History\" did not turn the history on");
        Deliver();
        Shot(QStringLiteral("Statistics history: %1").arg(buttons.front().second->text()));
        ClickButton(toggle);
        return WaitFor([&] { return !screen->session()->isShowingHistory(); }, 2000) ||
               Fail("the history switch did not turn off");
    }

    // Every tab of the trainer's settings page, opened with the tool bar's Settings tab after the
    // lesson: in a learning lesson each tab is chosen with a click on its title; in a quiz the
    // tabs take no clicks (the notice says that nothing may change), so each is opened as the
    // window opens the tab of the lesson's section. The lesson's score, when it is still up,
    // gives way to the page and comes back with the lesson.
    bool SettingsMoments()
    {
        console->showSettings();
        UI::TrainerSettingsPage* page = console->settingsPage(int(trainer));
        if (!page || !Settle(page))
            return Fail("the settings page did not come up");
        UI::SectionEndDialog* dialog = screen->sectionEndDialog();
        if (dialog && !WaitFor([&] { return !dialog->isVisible(); }, 3000))
            return Fail("the lesson's score stayed over the settings page");
        auto* tabs = page->findChild<QTabWidget*>();
        const int count = tabs ? tabs->count() : 1;
        for (int i = 0; i < count; ++i) {
            if (tabs && tabs->currentIndex() != i) {
                QTabBar* bar = tabs->tabBar();
                if (quiz || !bar->isEnabled())
                    tabs->setCurrentIndex(i);
                else
                    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(i).center());
                if (!WaitFor([&] { return tabs->currentIndex() == i; }, 2000))
                    return Fail("a settings tab did not open");
                Pause(80); // the tab lays itself out
            }
            const QString title =
                tabs ? tabs->tabText(i).remove(QLatin1Char('&')) : QStringLiteral("General");
            Shot(quiz ? QStringLiteral("Settings: \"%1\" tab, in a quiz (nothing may change)").arg(title)
                      : QStringLiteral("Settings: \"%1\" tab, in a learning lesson").arg(title));
        }
        console->showExercise();
        return Settle(screen);
    }

    // Leaves a lesson that has ended for the home screen: with "Continue" in the section end
    // dialog, as the dialog offers, or with the tool bar's Back button.
    bool GoHome(bool withBack)
    {
        UI::SectionEndDialog* dialog = screen->sectionEndDialog();
        WaitFor([&] { return dialog && ShownStill(dialog); }, 1500);
        if (withBack) {
            QToolButton* back = console->toolButton("Back");
            QTest::mouseClick(back, Qt::LeftButton, Qt::NoModifier, back->rect().center());
            if (!Settle(console->homeScreen()))
                return false;
            Place("home", "Main window");
            Shot(QStringLiteral("Home after Back was pressed at a lesson's end"));
            leftWithBack = true;
            return true;
        }
        if (dialog && dialog->isVisible()) {
            auto* next = dialog->findChild<QPushButton*>(QStringLiteral("Continue"));
            QTest::mouseClick(next, Qt::LeftButton, Qt::NoModifier, next->rect().center());
        } else {
            console->navigateHome();
        }
        return Settle(console->homeScreen());
    }

    // After a lesson's end was left with Back: the next lesson as it opens, and the section end
    // dialog put away with "Continue" if it came back with it (the lesson is then opened again).
    bool AfterBack()
    {
        leftWithBack = false;
        UI::SectionEndDialog* dialog = screen->sectionEndDialog();
        if (!Settle(screen))
            return false;
        const bool back = WaitFor([&] { return dialog && ShownStill(dialog); }, 1200);
        Shot(back ? QStringLiteral("Lesson opened after Back: the last lesson's score is shown again")
                  : QStringLiteral("Lesson opened after Back"));
        if (!back)
            return true;
        std::fprintf(stderr, "tour %s: the section end dialog of the last lesson came back over %s\n",
                     qPrintable(pass.name), TrainerName(trainer));
        auto* next = dialog->findChild<QPushButton*>(QStringLiteral("Continue"));
        QTest::mouseClick(next, Qt::LeftButton, Qt::NoModifier, next->rect().center());
        if (!Settle(console->homeScreen()))
            return false;
        console->openExercise(trainer, quiz);
        return screen->session() != nullptr;
    }

    // Both forms of the difficulty dialog over the home screen, opened with the blocks' buttons.
    // The band that says the answers could not be saved, as the store's reports set it.
    void SaveWarningMoments()
    {
        UI::SaveWarningBar* bar = console->saveWarning();
        const QString folder = Core::ExerciseCatalog::DataDirectory();
        bar->setSaveState(false, Core::DataFile::Problem::DiskFull, folder, QString());
        Pause(100); // laid out under the tool bar
        Shot(QStringLiteral("Answers not saved: the disk is full"));
        bar->setSaveState(false, Core::DataFile::Problem::NotWritable, folder, QString());
        Pause(100);
        Shot(QStringLiteral("Answers not saved: the data folder cannot be written"));
        bar->setSaveState(true, Core::DataFile::Problem::None, folder, QString());
        Pause(100);
    }

    bool DifficultyMoments()
    {
        UI::HomeScreen* home = console->homeScreen();
        Place("home", "Main window");
        const struct
        {
            const char* button;
            int trainer;
            const char* moment;
        } forms[] = {{"Learn1", 0, "Difficulty dialog, learn form with the custom row (Note trainer)"},
                     {"Quiz2", 1, "Difficulty dialog, quiz form (Ear trainer)"}};
        for (const auto& form : forms) {
            auto* button = home->findChild<QPushButton*>(QLatin1String(form.button));
            if (!button)
                return Fail("a block's button is missing");
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
            UI::DifficultyLevelDialog* dialog = nullptr;
            WaitFor([&] { return (dialog = home->existingDifficultyDialog(form.trainer)) != nullptr; }, 3000);
            if (!dialog || !ShowDialog(dialog, "difficulty dialog"))
                return false;
            Shot(QLatin1String(form.moment));
            if (!CloseDialog(dialog, "difficulty dialog"))
                return false;
        }
        app.setQuizMode(false);
        return true;
    }

    // The about, help, news and rating dialogs over the home screen.
    bool DialogMoments()
    {
        Place("window", "Main window");
        console->showAbout();
        auto* about = console->findChild<UI::AboutDialog*>();
        if (!about || !ShowDialog(about, "about dialog"))
            return Fail("no about dialog");
        Shot(QStringLiteral("About dialog"));
        if (!CloseDialog(about, "about dialog"))
            return false;

        console->showHelp();
        UI::HelpDialog* help = nullptr;
        WaitFor([&] { return (help = console->findChild<UI::HelpDialog*>()) != nullptr; }, 3000);
        if (!help || !ShowDialog(help, "help dialog"))
            return Fail("no help dialog");
        Shot(QStringLiteral("Help dialog (the guide built into the program)"));
        if (!CloseDialog(help, "help dialog"))
            return false;

        auto* mail = new UI::MailDialog(console.get());
        mail->setNews(QString::fromUtf8(NewsTitle), QString::fromUtf8(NewsText));
        mail->show();
        if (!ShowDialog(mail, "news dialog"))
            return false;
        Shot(QStringLiteral("News dialog with a message of four paragraphs"));
        if (!CloseDialog(mail, "news dialog"))
            return false;
        delete mail;

        // On leaving, the window asks for a rating now and then (over itself, as it is seen here).
        auto* rating = new UI::RatingDialog(
            QUrl(), [](const QString&) {}, console.get());
        rating->show();
        if (!ShowDialog(rating, "rating dialog"))
            return false;
        Shot(QStringLiteral("Rating dialog asked on leaving"));
        if (!CloseDialog(rating, "rating dialog"))
            return false;
        delete rating;
        return true;
    }

    // The full-screen button's look in full screen (the window's look is in every other
    // picture). The offscreen platform's screen is smaller than the pass, so the full-screen
    // window is pictured by the right end of its tool bar (the window buttons, laid out from the
    // right) over the window at the pass's size.
    bool FullScreenMoment()
    {
        Place("window", "Main window");
        QWidget* bar = console->findChild<QWidget*>(QStringLiteral("toolBar"));
        console->showFullScreen();
        if (!WaitFor([&] { return console->isFullScreen(); }, 3000) || !Settle(console->homeScreen()))
            return Fail("no full screen");
        console->repaint();
        const QImage full = Capture();
        // The window buttons' part: from the first of them to the right end.
        QToolButton* first = console->toolButton("Help");
        const int from = first ? first->mapTo(console.get(), QPoint(0, 0)).x() - 16 : 0;
        console->showNormal();
        console->setFixedSize(pass.width, pass.height);
        if (!WaitFor([&] { return !console->isFullScreen() && console->width() == pass.width; }, 3000) ||
            !Settle(console->homeScreen()))
            return Fail("the window did not come back from full screen");
        QImage picture = Capture();
        const int ratio = pass.ratio;
        const int width = std::min(full.width(), full.width() - std::max(0, from) * ratio);
        const int height = (bar ? bar->height() : 56) * ratio;
        QPainter painter(&picture);
        painter.drawImage(QPoint(picture.width() - width, 0),
                          full.copy(full.width() - width, 0, width, height));
        painter.end();
        Save(picture, QStringLiteral("Tool bar in full screen (its right end as shown full screen)"));
        return true;
    }

    // ---- lessons -------------------------------------------------------------------------------

    // The open lesson now, as its session gives it.
    Core::LessonSnapshot Exercise() const { return screen->session()->snapshot(); }
    // Ticks per question of a section, 0 without a time limit.
    int TicksPerQuestion(int section) const
    {
        const Core::LessonSnapshot lesson = Exercise();
        if (section < 0 || size_t(section) >= lesson.sections.size())
            return 0;
        return std::max(0, lesson.sections[size_t(section)].msPerQuestion / Core::Exercise::TickMs);
    }
    template <typename T = QWidget> T* Child(const QString& name) const
    {
        return screen->findChild<T*>(name);
    }
    QToolButton* Variant(int id) const { return Child<QToolButton>(QStringLiteral("variant%1").arg(id)); }
    Keyboard* Piano() const { return Child<Keyboard>(QStringLiteral("keyboard")); }
    Progress* Bar() const { return Child<Progress>(QStringLiteral("progress")); }

    bool LessonEnded() const
    {
        return screen->sectionEndDialog() && screen->sectionEndDialog()->isVisible() &&
               Exercise().state == Core::Exercise::LessonEnd;
    }

    // Waits for a question after `asked` questions that waits for its answer, or the lesson's end;
    // presses the space bar when the screen waits for it.
    bool WaitForNextQuestion(int asked)
    {
        auto ready = [&] {
            return LessonEnded() || (Exercise().state == Core::Exercise::AwaitingAnswer &&
                                     Exercise().playState == Core::LessonBase::Running &&
                                     Exercise().counters.asked > asked);
        };
        for (int attempt = 0; attempt < 4; ++attempt) {
            if (WaitFor(ready, 15000))
                return true;
            QTest::keyClick(screen, Qt::Key_Space);
        }
        return false;
    }

    QVector<int> ExpectedKeys() const
    {
        QVector<int> keys;
        const Core::QuestionRecord question = Exercise().question;
        if (const Core::QuestionData* item = question.AskedItem())
            if (item->stream)
                for (const MidiEvent& e : *item->stream)
                    if (e.message.IsNoteOn() && !keys.contains(int(e.message.byte1) - 21))
                        keys.append(int(e.message.byte1) - 21);
        return keys;
    }

    void ClickKey(int key) const
    {
        const QRect area = Piano()->keyRect(key);
        QTest::mouseClick(Piano(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(area.center().x(), area.bottom() - 4));
    }

    // What the question is, for the label.
    QString QuestionName() const
    {
        const Core::QuestionRecord question = Exercise().question;
        const int section = Exercise().section;
        const auto titles = Exercise().titles;
        QString name = section >= 0 && size_t(section) < titles.size()
                           ? titles[size_t(section)].shortName
                           : QStringLiteral("section %1").arg(section);
        if (question.kind == Core::QuestionRecord::ChordSymbolQuestion)
            return QStringLiteral("Chord symbol");
        if (trainer == 0)
            name += question.option1 ? QStringLiteral(", treble clef") : QStringLiteral(", bass clef");
        if (trainer == 1)
            name = QStringLiteral("Heard: ") + name;
        return name;
    }

    enum class Move
    {
        RightOnPiano,
        WrongButton,
        RightKey,
        WrongOnPiano,
        RightButton,
        WrongKey,
        TimeOut,
    };

    // Answers the question as `move` says, falling back to the inputs that show; returns the
    // label of what was done.
    QString Answer(Move move)
    {
        const Core::QuestionRecord question = Exercise().question;
        const bool buttons = Variant(1)->isVisible();
        const bool piano = Piano()->isVisible();
        const int right = question.correctIndex + 1;
        const int wrong = right % 6 + 1;
        const QVector<int> expected = ExpectedKeys();
        const bool onPiano = move == Move::RightOnPiano || move == Move::WrongOnPiano;
        if (move == Move::TimeOut)
            return QStringLiteral("out of time");
        const bool isRight =
            move == Move::RightOnPiano || move == Move::RightKey || move == Move::RightButton;
        if ((onPiano && piano && !expected.isEmpty()) || (!buttons && piano && !expected.isEmpty())) {
            if (isRight) {
                for (int key : expected)
                    ClickKey(key);
            } else {
                int key = expected.first() + 1;
                while (expected.contains(key) || (key - expected.first()) % 12 == 0)
                    ++key;
                ClickKey(key);
            }
            return isRight ? QStringLiteral("right answer on the on-screen piano")
                           : QStringLiteral("wrong answer on the on-screen piano");
        }
        if (!buttons)
            return QString();
        const int id = isRight ? right : wrong;
        if (move == Move::RightKey || move == Move::WrongKey) {
            QTest::keyClick(screen, Qt::Key(Qt::Key_0 + id));
            return isRight ? QStringLiteral("right answer by key %1").arg(id)
                           : QStringLiteral("wrong answer by key %1").arg(id);
        }
        QTest::mouseClick(Variant(id), Qt::LeftButton, Qt::NoModifier, Variant(id)->rect().center());
        return isRight ? QStringLiteral("right answer by button") : QStringLiteral("wrong answer by button");
    }

    // The missing-MIDI notice, when it comes up as a lesson opens: pictured, then closed with OK.
    void CloseMidiNotice()
    {
        auto shown = [&] {
            return screen->midiWarningDialog() && screen->midiWarningDialog()->isVisible();
        };
        if (!WaitFor(shown, 1500))
            return;
        Pause(400); // it fades in
        Shot(noticeShots++ == 0 ? QStringLiteral("MIDI notice: no MIDI input device")
                                : QStringLiteral("MIDI notice again"));
        QTest::mouseClick(screen->midiWarningDialog()->okButton(), Qt::LeftButton);
        WaitFor([&] { return !shown(); }, 3000);
        Pause(200);
    }

    // The play dialog and the pause hint, in the first lesson.
    void PauseMoments()
    {
        QTest::keyClick(screen, Qt::Key_Space);
        WaitFor([&] { return screen->playDialog() && screen->playDialog()->isShown(); }, 3000);
        Pause(400);
        Shot(QStringLiteral("Paused: the play dialog"));
        QTest::keyClick(screen, Qt::Key_Space);
        if (WaitFor([&] { return screen->actionHint()->isVisible(); }, 8000)) {
            Pause(300);
            Shot(QStringLiteral("The pause hint"));
        } else {
            std::fprintf(stderr, "tour: no pause hint came\n");
        }
    }

    bool Lesson(size_t trainerId, bool quizMode)
    {
        trainer = trainerId;
        quiz = quizMode;
        LessonPlace();
        app.setQuizMode(quiz);
        std::srand(14u + unsigned(trainer) + (quiz ? 3u : 0u));
        console->openExercise(trainer, quiz);
        if (leftWithBack && !AfterBack())
            return false;
        if (!screen->session()) {
            std::fprintf(stderr, "tour: no lesson of trainer %zu\n", trainer);
            return false;
        }
        const bool first = trainer == 0 && !quiz;
        CloseMidiNotice();
        int asked = 0;
        bool timedOut = quiz; // one time-out per learning lesson
        bool heardShown = false;
        const Move cycle[] = {Move::RightOnPiano, Move::WrongButton, Move::RightKey,
                              Move::WrongOnPiano, Move::RightButton, Move::WrongKey};
        for (int n = 0; n < 20; ++n) {
            if (trainer == 1 && !heardShown) {
                // A heard question while it sounds: the speaker moves.
                heardShown = true;
                const auto presenting = [&] { return Exercise().state == Core::Exercise::Presenting; };
                if (WaitFor(
                        [&] {
                            return presenting() || Exercise().state == Core::Exercise::AwaitingAnswer;
                        },
                        8000) &&
                    presenting()) {
                    Pause(250);
                    Shot(QStringLiteral("%1: sounding").arg(QuestionName()));
                }
            }
            if (!WaitForNextQuestion(asked)) {
                std::fprintf(stderr, "tour: no question after %d in %s\n", asked, TrainerName(trainer));
                return false;
            }
            if (LessonEnded())
                break;
            if (first && n == 0)
                PauseMoments();
            Pause(700); // the question fades in
            asked = Exercise().counters.asked;
            const int answered = Exercise().counters.answered;
            const QString question = QuestionName();
            Shot(question + QStringLiteral(": question"));
            // The section with the short time-out lets its question run out of time.
            const int section = Exercise().section;
            const bool timeOutHere = !timedOut && TicksPerQuestion(section) > 0 &&
                                     TicksPerQuestion(section) * Core::Exercise::TickMs <= 8000;
            const Move move = timeOutHere ? Move::TimeOut : cycle[size_t(n) % 6];
            const QString what = Answer(move);
            if (what.isEmpty()) {
                std::fprintf(stderr, "tour: no input to answer with in %s\n", TrainerName(trainer));
                return false;
            }
            if (!WaitFor([&] { return Exercise().counters.answered > answered; }, 15000)) {
                std::fprintf(stderr, "tour: the answer (%s) was not judged\n", qPrintable(what));
                return false;
            }
            if (move == Move::TimeOut) {
                timedOut = true;
                Pause(900);
                Shot(question + QStringLiteral(": out of time"));
                Pause(Core::LessonSession::TimeoutSummaryDelayMs);
                // The status goes back to the question count; the judged question stays.
                if (Exercise().counters.asked == asked && !screen->isTimedOut())
                    Shot(question + QStringLiteral(": out of time, 3 s later"));
                else
                    std::fprintf(stderr, "tour: %s moved on before the time-out summary\n",
                                 TrainerName(trainer));
            } else {
                const bool right = what.startsWith(QLatin1String("right"));
                Pause(right ? 250 : 900); // a right answer moves on after half a second
                Shot(question + QStringLiteral(": ") + what);
            }
            // After a mistake in a learning lesson the space bar goes on.
            if (Exercise().playState == Core::LessonBase::Paused &&
                Exercise().counters.asked == asked)
                QTest::keyClick(screen, Qt::Key_Space);
        }
        if (!WaitFor([&] { return LessonEnded(); }, 20000)) {
            std::fprintf(stderr, "tour: the lesson of %s did not end\n", TrainerName(trainer));
            return false;
        }
        UI::SectionEndDialog* dialog = screen->sectionEndDialog();
        QSignalSpy counted(dialog, &UI::SectionEndDialog::sectionEndTimeout);
        counted.wait(3000);
        Pause(300);
        Shot(QStringLiteral("Section end: the lesson's score"));
        if (first) {
            // The looks on either side of the 90 % line.
            for (const auto& score : {std::make_pair(1, 9), std::make_pair(3, 22)}) {
                dialog->setScore(score.first, score.second);
                QSignalSpy again(dialog, &UI::SectionEndDialog::sectionEndTimeout);
                dialog->showForSectionEnd();
                again.wait(3000);
                Pause(300);
                Shot(QStringLiteral("Section end at %1 %")
                         .arg(score.second * 100 / (score.first + score.second)));
            }
        }
        return true;
    }

    Application& app;
    const Pass& pass;
    QString folder;
    std::unique_ptr<UI::MainWindow> console;
    UI::ExerciseScreen* screen = nullptr;
    QString placeSlug;
    QString placeLabel;
    QStringList index;
    int count = 0;
    int noticeShots = 0;
    size_t trainer = 0;
    bool quiz = false;
    bool leftWithBack = false;
    bool scoreOverTabShown = false;
};

// One pass in a process of its own, with a fresh configuration and data folder (set before the
// application reads them).
int RunPass(int& argc, char** argv, const Pass& pass, const QString& folder)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qunsetenv("CANTORELA_SERVICES_URL");
    Application app(argc, argv);
    SilentAuServer sounds;
    if (!QDir(folder).mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "tour: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    for (const QString& old : QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files))
        QFile::remove(QDir(folder).filePath(old));
    Tour tour(app, pass, folder);
    return tour.Run() ? 0 : 1;
}

struct Picture
{
    QString file;
    QString label;
};

QImage Sheet(const QString& outputDir)
{
    constexpr int margin = 24, columns = 4, thumbWidth = 480, labelHeight = 50, gap = 16, headHeight = 44;
    QFont labelFont(UI::InterfaceFonts::familyName());
    labelFont.setPixelSize(12);
    QFont headFont(UI::InterfaceFonts::familyName());
    headFont.setPixelSize(24);
    headFont.setBold(true);

    struct Group
    {
        QString title;
        std::vector<Picture> pictures;
        int thumbHeight;
    };
    std::vector<Group> groups;
    for (const Pass& pass : Passes()) {
        Group group{pass.title, {}, thumbWidth * pass.height / pass.width};
        const QDir folder(QDir(outputDir).filePath(pass.name));
        QFile file(folder.filePath(QLatin1String(IndexFile)));
        if (file.open(QIODevice::ReadOnly)) {
            QTextStream in(&file);
            in.setCodec("UTF-8");
            while (!in.atEnd()) {
                const QStringList fields = in.readLine().split('\t');
                if (fields.size() == 2)
                    group.pictures.push_back({folder.filePath(fields[0]), fields[1]});
            }
        }
        groups.push_back(group);
    }
    int height = margin;
    for (const Group& group : groups) {
        const int rows = int((group.pictures.size() + columns - 1) / columns);
        height += headHeight + rows * (labelHeight + group.thumbHeight + gap);
    }
    const int width = 2 * margin + columns * thumbWidth + (columns - 1) * gap;
    QImage sheet(width, height + margin, QImage::Format_RGB32);
    sheet.fill(QColor(0x2a, 0x2d, 0x33));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    int y = margin;
    for (const Group& group : groups) {
        painter.setFont(headFont);
        painter.setPen(Qt::white);
        painter.drawText(QRect(margin, y, width - 2 * margin, headHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         group.title);
        y += headHeight;
        painter.setFont(labelFont);
        for (size_t i = 0; i < group.pictures.size(); ++i) {
            const int column = int(i % columns);
            const int x = margin + column * (thumbWidth + gap);
            const Picture& picture = group.pictures[i];
            painter.setPen(QColor(0xdd, 0xdd, 0xdd));
            painter.drawText(QRect(x, y, thumbWidth, labelHeight),
                             Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
                             QFileInfo(picture.file).fileName() + QStringLiteral("\n") + picture.label);
            QImage image(picture.file);
            if (!image.isNull())
                painter.drawImage(QRect(x, y + labelHeight, thumbWidth, group.thumbHeight),
                                  image.scaled(thumbWidth, group.thumbHeight, Qt::IgnoreAspectRatio,
                                               Qt::SmoothTransformation));
            if (column == columns - 1 || i + 1 == group.pictures.size())
                y += labelHeight + group.thumbHeight + gap;
        }
    }
    return sheet;
}

// Runs the passes, each in its own process (the ratio must be set before the application starts).
int RunAll(const QString& outputDir, const QString& sheetPath)
{
    const QString program = QCoreApplication::applicationFilePath();
    std::vector<std::unique_ptr<QProcess>> processes;
    for (size_t i = 0; i < Passes().size(); ++i) {
        const Pass& pass = Passes()[i];
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("QT_AUTO_SCREEN_SCALE_FACTOR"));
        environment.remove(QStringLiteral("QT_SCREEN_SCALE_FACTORS"));
        if (pass.ratio != 1)
            environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(pass.ratio));
        else
            environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(program,
                       {QStringLiteral("--pass"), QString::number(i), QDir(outputDir).filePath(pass.name)});
        processes.push_back(std::move(process));
    }
    int failures = 0;
    for (auto& process : processes) {
        process->waitForFinished(-1);
        if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
            ++failures;
    }
    if (!Sheet(outputDir).save(sheetPath, "PNG")) {
        std::fprintf(stderr, "tour: cannot write %s\n", qPrintable(sheetPath));
        return 1;
    }
    std::printf("tour: contact sheet written to %s\n", qPrintable(sheetPath));
    if (failures)
        std::fprintf(stderr, "tour: %d of the passes failed\n", failures);
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--pass") == 0) {
        const size_t pass = size_t(std::strtoul(argv[2], nullptr, 10));
        if (pass >= Passes().size())
            return 2;
        return RunPass(argc, argv, Passes()[pass], QString::fromLocal8Bit(argv[3]));
    }
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: tour OUTPUT_DIR SHEET.png\n", stderr);
        return 2;
    }
    UI::InterfaceFonts::registerFonts();
    return RunAll(arguments.at(1), arguments.at(2));
}

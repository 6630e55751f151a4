// A soak of the exercise screen: 2,000 random user actions from a fixed seed on the real screen
// with the real engine (clicks, on-screen keys, note-ons from a JACK port, the space bar, slider
// seeks, section buttons, view switches, pause and resume, settings re-applied, restarts, other
// trainers loaded, lesson ends with the section end dialog and its choices, time-outs). It ends
// with no crash, no warning about objects touched from another thread, and the statistics files
// on disk holding exactly the answers the screen was told were judged.
//
// CANTORELA_SOAK_SEED overrides the seed. On failure the last actions are printed.

#include "core/exercise/exercise_statistics.h"
#include "core/exercise/statistics_record.h"
#include "screen_jack_keyboard.h"
#include "test_console_exercise_control_fixture.h"
#include "ui/play_dialog.h"
#include "ui/section_end_dialog.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSlider>

#include <array>
#include <atomic>
#include <deque>
#include <random>

using Core::Exercise;

namespace {

constexpr int ActionCount = 2000;
constexpr quint32 DefaultSeed = 0x50A6C0DE;
constexpr int TrainerCount = 3;
// The lessons: two questions a section, one second each, so that time-outs and lesson ends come
// often.
constexpr int QuestionsPerSection = 2;
constexpr int TimeoutSeconds = 1;
// Time-outs waited for on purpose (more come by themselves).
constexpr int ForcedTimeouts = 3;

// Warnings about objects used from the wrong thread, or widgets painted inside a paint.
const char* const threadWarnings[] = {"QObject::",
                                      "Cannot create children",
                                      "Timers cannot be started from another thread",
                                      "Timers cannot be stopped from another thread",
                                      "QWidget::repaint: Recursive repaint",
                                      "QBasicTimer"};
// Harmless notes of the offscreen platform that may contain those words.
const char* const allowedWarnings[] = {"This plugin does not support", "QObject::connect: signal not found"};

std::mutex warningMutex;
QStringList caughtWarnings;
QtMessageHandler previousHandler = nullptr;

// Any thread.
void CatchThreadWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg) {
        bool bad = false;
        for (const char* pattern : threadWarnings)
            bad = bad || message.contains(QLatin1String(pattern));
        for (const char* pattern : allowedWarnings)
            bad = bad && !message.contains(QLatin1String(pattern));
        if (bad) {
            std::lock_guard<std::mutex> guard(warningMutex);
            caughtWarnings.append(message);
        }
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

QStringList CaughtWarnings()
{
    std::lock_guard<std::mutex> guard(warningMutex);
    return caughtWarnings;
}

enum Action
{
    VariantClick,
    NumberKey,
    PianoKeys,
    MidiNotes,
    SpaceBar,
    QuestionClick,
    SliderSeek,
    SectionButton,
    ViewSwitch,
    PauseResume,
    SettingsApplied,
    Restart,
    LoadOther,
    WaitForTimeout,
    DialogChoice,
    ActionKinds
};

const char* const actionNames[ActionKinds] = {
    "variant click",       "number key",  "piano keys",         "MIDI notes",        "space bar",
    "question click",      "slider seek", "section button",     "view switch",       "pause/resume",
    "settings re-applied", "restart",     "load other trainer", "wait for time-out", "dialog choice"};

// Relative frequencies of the random actions (the dialog's choices come when it is shown).
constexpr int weights[ActionKinds] = {18, 10, 14, 12, 4, 2, 5, 5, 4, 3, 3, 1, 2, 1, 0};

// The answers the screen was told about (its AnswerProvided reports), counted on the thread that
// judged them: all of them, and per trainer since that trainer's current run began.
struct JudgedAnswers
{
    std::atomic<int> trainer{-1};
    // Set while the GUI thread is inside a LoadExercise or restart of an open lesson: an answer
    // judged on another thread then may belong to the run closed or to the one begun.
    std::atomic<bool> switching{false};
    std::atomic<int> right{0};
    std::atomic<int> wrong{0};
    std::atomic<int> timeouts{0};
    std::atomic<int> ambiguous{0};
    std::array<std::atomic<int>, TrainerCount> local{};

    void Judged(bool correct, const Core::Answer& answer)
    {
        (correct ? right : wrong)++;
        if (answer.kind == Core::Answer::NoAnswer)
            ++timeouts;
        if (switching && QThread::currentThread() != qApp->thread())
            ++ambiguous;
        const int t = trainer;
        if (t >= 0 && t < TrainerCount)
            ++local[size_t(t)];
    }
};

// What the statistics files hold.
struct FileCounts
{
    int right = 0;
    int wrong = 0;
    std::array<int, TrainerCount> local{};
};

FileCounts ReadFiles(const Core::ExerciseStatistics& live, const QString& scratch)
{
    // Copies, so that the store reading them never touches the live files.
    const QString history = scratch + QStringLiteral("/stats.xml");
    const QString local = scratch + QStringLiteral("/statsLocal.xml");
    QFile::remove(history);
    QFile::remove(local);
    QFile::copy(live.HistoryPath(), history);
    QFile::copy(live.LocalPath(), local);
    Core::ExerciseStatistics store(history, local);
    FileCounts counts;
    for (int t = 0; t < TrainerCount; ++t) {
        for (int section = 0; section < UI::ConsoleExerciseControl::SectionCount; ++section) {
            std::vector<Core::StatisticsRecord> records;
            store.GetHistorySectionRecords(t, section, records);
            for (const Core::StatisticsRecord& r : records) {
                counts.right += r.correct;
                counts.wrong += r.wrong;
            }
        }
        std::vector<Core::StatisticsRecord> records;
        store.GetLocalRecords(t, records);
        for (const Core::StatisticsRecord& r : records)
            counts.local[size_t(t)] += r.correct + r.wrong;
    }
    return counts;
}

// Runs the event loop for `ms` milliseconds: the student's pace between two actions.
void Pace(int ms)
{
    QElapsedTimer clock;
    clock.start();
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, std::max(1, ms - int(clock.elapsed())));
    while (clock.elapsed() < ms);
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// Drags the slider's handle to `x`, as a hand does.
void DragSlider(QSlider* slider, int x)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    const QRect handle =
        slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
    const QPoint from = handle.center();
    const QPoint to(x, from.y());
    SendMouse(slider, QEvent::MouseButtonPress, from, Qt::LeftButton);
    SendMouse(slider, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    SendMouse(slider, QEvent::MouseMove, to, Qt::LeftButton);
    SendMouse(slider, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

} // namespace

class TestExerciseScreenSoak : public QObject
{
    Q_OBJECT
    std::shared_ptr<Core::MidiBank> bank;

private Q_SLOTS:
    void initTestCase()
    {
        ScreenTestSetUp();
        bank = std::make_shared<Core::MidiBank>();
        previousHandler = qInstallMessageHandler(CatchThreadWarnings);
    }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void soak()
    {
        quint32 seed = DefaultSeed;
        if (qEnvironmentVariableIsSet("CANTORELA_SOAK_SEED"))
            seed = qEnvironmentVariable("CANTORELA_SOAK_SEED").toUInt(nullptr, 0);
        qInfo("soak seed 0x%08x (set CANTORELA_SOAK_SEED to repeat another)", seed);
        std::mt19937 random(seed);
        auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; };
        auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };

        std::unique_ptr<JackKeyboard> jack;
        if (HaveJack()) {
            jack = std::make_unique<JackKeyboard>("Cantorela Soak Keyboard");
            QVERIFY(jack->Ready());
        } else {
            qInfo("no test JACK server (run through ctest): no MIDI notes");
        }
        ScreenRig rig(bank, QSize(1366, 708), jack ? jack->controller : nullptr);
        rig.blocks.ChangeBoth([](Core::TrainerSettings& s) {
            WholeLessons(s, QuestionsPerSection, TimeoutSeconds, {true, 200});
        });
        QVERIFY(rig.Show());
        UI::ConsoleExerciseControl* screen = rig.screen.get();

        JudgedAnswers judged;
        connect(
            screen, &UI::ConsoleExerciseControl::AnswerProvided, screen,
            [&judged](bool correct, const Core::Answer& answer) { judged.Judged(correct, answer); },
            Qt::DirectConnection);
        bool atHome = false;
        connect(screen, &UI::ConsoleExerciseControl::ExitSignal, this, [&] {
            // The main window goes back to the home screen.
            atHome = true;
            screen->screenChangeSlot(QStringLiteral("ex_block_view_control"),
                                     QStringLiteral("console_exercise_control"));
        });

        const bool verbose = qEnvironmentVariableIsSet("CANTORELA_SOAK_VERBOSE");
        // The last actions, printed when the test fails.
        std::deque<QString> trail;
        struct TrailPrinter
        {
            std::deque<QString>& trail;
            bool passed = false;
            ~TrailPrinter()
            {
                if (passed)
                    return;
                qWarning("the last %d actions:", int(trail.size()));
                for (const QString& line : trail)
                    qWarning("  %s", qPrintable(line));
            }
        } printer{trail};
        auto note = [&](int n, const QString& what) {
            QString line = QStringLiteral("%1: %2").arg(n).arg(what);
            if (const std::shared_ptr<Exercise> open = screen->GetExercise()) {
                const Exercise::Counters c = open->GetCounters();
                line += QStringLiteral("  [trainer %1, view %2, state %3, play %4, section %5, asked %6, "
                                       "answered %7]")
                            .arg(screen->GetExerciseId())
                            .arg(screen->GetViewMode())
                            .arg(open->GetState())
                            .arg(open->GetPlayState())
                            .arg(open->GetCurrentSection())
                            .arg(c.asked)
                            .arg(c.answered);
            }
            if (verbose)
                qInfo("%s", qPrintable(line));
            trail.push_back(line);
            if (trail.size() > 40)
                trail.pop_front();
        };

        // Opens a lesson of `trainer`: from the home screen (the lesson closed first), or
        // straight from the open one.
        auto load = [&](int trainer, bool quiz, bool fromHome) {
            rig.blocks.SetQuizMode(quiz);
            if (fromHome)
                screen->CloseExercise();
            judged.switching = true;
            judged.trainer = trainer;
            judged.local[size_t(trainer)] = 0;
            screen->LoadExercise(size_t(trainer), quiz, false);
            judged.switching = false;
            screen->screenChangeSlot(QStringLiteral("console_exercise_control"),
                                     QStringLiteral("ex_block_view_control"));
            atHome = false;
        };
        load(0, false, true);
        QVERIFY(screen->GetExercise());

        std::array<int, ActionKinds> counts{};
        std::array<int, 4> dialogChoices{}; // Continue, Escape, Repeat, Review statistics
        int dialogsShown = 0;
        int forcedTimeouts = 0;
        const int totalWeight = [] {
            int sum = 0;
            for (int w : weights)
                sum += w;
            return sum;
        }();
        QElapsedTimer clock;
        clock.start();
        // The pace follows the machine: a slow (sanitized) build gives the engine less time
        // between actions, so that the soak stays within its time.
        int pace = 6;

        for (int n = 0; n < ActionCount; ++n) {
            if (n == 200) {
                const qint64 perAction = clock.elapsed() / 200;
                pace = perAction > 40 ? 2 : perAction > 20 ? 4 : 6;
            }
            UI::SectionEndDialog* dialog = screen->GetSectionEndDialog();
            const bool dialogUp = dialog && dialog->isVisible() && !dialog->IsFadingOut();
            Action action = ActionKinds;
            if (dialogUp) {
                action = chance(0.85) ? DialogChoice : MidiNotes;
            } else if (atHome || !screen->GetExercise()) {
                action = LoadOther;
            } else {
                // A lesson end now and then, to see the dialog and all its choices.
                int r = pick(0, totalWeight - 1);
                for (int a = 0; a < ActionKinds; ++a) {
                    if (r < weights[a]) {
                        action = Action(a);
                        break;
                    }
                    r -= weights[a];
                }
                // A student who paused (or was paused by a mistake) goes on sooner or later.
                const std::shared_ptr<Exercise> open = screen->GetExercise();
                if (screen->GetViewMode() == UI::ConsoleExerciseControl::ExerciseView &&
                    open->GetPlayState() == Core::LessonBase::Paused && chance(0.4))
                    action = SpaceBar;
                // Back to the lesson from the other views now and then.
                if (screen->GetViewMode() != UI::ConsoleExerciseControl::ExerciseView && chance(0.1))
                    action = ViewSwitch;
                if (n % 150 == 149 && dialogsShown < n / 150 + 1 && !screen->IsQuizMode())
                    action = SliderSeek;
            }
            ++counts[size_t(action)];

            std::shared_ptr<Exercise> lesson = screen->GetExercise();
            const bool inExercise = screen->GetViewMode() == UI::ConsoleExerciseControl::ExerciseView;
            const bool awaiting = lesson && lesson->GetState() == Exercise::AwaitingAnswer;
            switch (action) {
            case VariantClick: {
                const bool right = chance(0.6) && lesson;
                const int id = right ? lesson->GetCurrentQuestion().correctIndex + 1 : pick(1, 6);
                note(n, QStringLiteral("click variant %1%2").arg(id).arg(right ? " (right)" : ""));
                if (rig.Variant(id)->isVisible())
                    rig.ClickVariant(id);
                break;
            }
            case NumberKey: {
                const int id =
                    chance(0.6) && lesson ? lesson->GetCurrentQuestion().correctIndex + 1 : pick(1, 6);
                note(n, QStringLiteral("key %1").arg(id));
                QTest::keyClick(screen, Qt::Key(Qt::Key_0 + std::clamp(id, 1, 6)));
                break;
            }
            case PianoKeys:
            case MidiNotes: {
                const bool midi = action == MidiNotes && jack;
                QVector<int> keys = lesson && awaiting && chance(0.6) ? rig.ExpectedKeys() : QVector<int>();
                if (keys.isEmpty())
                    keys = {pick(27, 63)};
                keys.resize(std::min(keys.size(), 6)); // a heard piece has many notes
                note(n, QStringLiteral("%1 %2").arg(midi ? "MIDI notes" : "piano keys").arg([&] {
                    QStringList k;
                    for (int key : keys)
                        k << QString::number(key);
                    return k.join(QLatin1Char(','));
                }()));
                for (int key : keys) {
                    if (midi)
                        jack->Play(key);
                    else if (rig.Piano()->isVisible())
                        rig.ClickKey(key);
                }
                break;
            }
            case SpaceBar:
                note(n, QStringLiteral("space bar"));
                QTest::keyClick(screen, Qt::Key_Space);
                break;
            case QuestionClick:
                note(n, QStringLiteral("click on the question"));
                if (rig.ScorePane()->isVisible())
                    QTest::mouseClick(rig.ScorePane(), Qt::LeftButton, Qt::NoModifier,
                                      rig.ScorePane()->rect().center());
                break;
            case SliderSeek: {
                QSlider* slider = rig.Slider();
                const bool toEnd = chance(0.3) || n % 150 == 149;
                const int x = toEnd ? slider->width() - 1 : pick(0, slider->width() - 1);
                note(n, QStringLiteral("slider seek to x=%1").arg(x));
                if (slider->isVisible())
                    DragSlider(slider, x);
                // At the lesson's end the dialog comes once the last judgement has been seen.
                if (toEnd && screen->GetExercise())
                    (void)QTest::qWaitFor(
                        [&] {
                            const auto* end = screen->GetSectionEndDialog();
                            return (end && end->isVisible()) || !screen->GetExercise() ||
                                   screen->GetExercise()->GetState() != Exercise::LessonEnd;
                        },
                        UI::ConsoleExerciseControl::FeedbackBeforeSectionEndMs + 2000);
                break;
            }
            case SectionButton: {
                const int s = pick(0, UI::ConsoleExerciseControl::SectionCount - 1);
                note(n, QStringLiteral("section button %1").arg(s + 1));
                if (rig.SectionButton(s)->isVisible())
                    QTest::mouseClick(rig.SectionButton(s), Qt::LeftButton, Qt::NoModifier,
                                      rig.SectionButton(s)->rect().center());
                break;
            }
            case ViewSwitch: {
                const UI::Speed speed = chance(0.5) ? UI::Quick : UI::Animated;
                const int view = pick(0, 5);
                note(n,
                     QStringLiteral("view %1 %2").arg(view).arg(speed == UI::Quick ? "quick" : "animated"));
                if (view == 0 || view == 1)
                    screen->showExercise(speed);
                else if (view == 2)
                    screen->ShowStatistics(speed);
                else if (view == 3)
                    screen->showReference(speed);
                else if (view == 4) {
                    QPushButton* history = rig.Child<QPushButton>(QStringLiteral("viewHistory"));
                    if (history && history->isVisible())
                        QTest::mouseClick(history, Qt::LeftButton);
                } else {
                    // Another screen in front and back: hidden, the lesson pauses.
                    rig.window->hide();
                    screen->screenChangeSlot(QStringLiteral("settings_screen"),
                                             QStringLiteral("console_exercise_control"));
                    Pace(pace);
                    rig.window->show();
                    screen->screenChangeSlot(QStringLiteral("console_exercise_control"),
                                             QStringLiteral("settings_screen"));
                }
                break;
            }
            case PauseResume: {
                const int how = pick(0, 2);
                note(n, QStringLiteral("pause/resume %1").arg(how));
                QToolButton* play = rig.Child<QToolButton>(QStringLiteral("playButton"));
                UI::PlayDialog* veil = screen->FindPlayDialog();
                if (how == 0 && play && play->isVisible())
                    QTest::mouseClick(play, Qt::LeftButton);
                else if (how == 1 && veil && veil->IsShown())
                    QTest::mouseClick(veil->PlayButton(), Qt::LeftButton);
                else
                    screen->PauseExercise(chance(0.5), chance(0.5));
                break;
            }
            case SettingsApplied: {
                const bool keyboard = chance(0.7);
                const bool choices = !keyboard || chance(0.7);
                const bool carryOn = chance(0.7);
                const int delay = pick(0, 400);
                const int questions = pick(1, 3);
                note(n, QStringLiteral(
                            "settings: keyboard %1, choices %2, carry on %3 after %4 ms, %5 questions")
                            .arg(keyboard)
                            .arg(choices)
                            .arg(carryOn)
                            .arg(delay)
                            .arg(questions));
                rig.General([&](Core::GeneralSettings& g) {
                    g.answerWithGraphicalKeyboard = keyboard;
                    g.answerWithMultipleChoice = choices;
                    g.showNoteLetters = !g.showNoteLetters;
                });
                rig.Settings([&](Core::TrainerSettings& s) {
                    WholeLessons(s, questions, TimeoutSeconds, {carryOn, delay});
                });
                screen->ApplySettings();
                break;
            }
            case Restart: {
                // Only the screen holds the lesson it closes, as in the application: held here
                // too, the closed lesson would go on hearing the JACK keyboard a while longer.
                lesson.reset();
                const bool fromHome = chance(0.5);
                note(n, QStringLiteral("restart%1").arg(fromHome ? " (closed first)" : ""));
                const int trainer = int(screen->GetExerciseId());
                if (fromHome)
                    screen->CloseExercise();
                judged.switching = true;
                judged.trainer = trainer;
                judged.local[size_t(trainer)] = 0;
                screen->restartExercise();
                judged.switching = false;
                break;
            }
            case LoadOther: {
                // Only the screen holds the lesson it closes, as in the application: held here
                // too, the closed lesson would go on hearing the JACK keyboard a while longer.
                lesson.reset();
                const int current = int(screen->GetExerciseId());
                int trainer = pick(0, TrainerCount - 2);
                if (current >= 0 && current < TrainerCount && trainer >= current)
                    ++trainer;
                const bool quiz = chance(0.25);
                const bool fromHome = atHome || !screen->GetExercise() || chance(0.5);
                note(n, QStringLiteral("load trainer %1%2%3")
                            .arg(trainer)
                            .arg(quiz ? " quiz" : "")
                            .arg(fromHome ? " from home" : ""));
                load(trainer, quiz, fromHome);
                break;
            }
            case WaitForTimeout: {
                note(n, QStringLiteral("wait for a time-out"));
                if (forcedTimeouts < ForcedTimeouts && inExercise && lesson &&
                    lesson->GetPlayState() == Core::LessonBase::Running) {
                    const int before = judged.timeouts;
                    if (QTest::qWaitFor([&] { return judged.timeouts > before; },
                                        TimeoutSeconds * 1000 + 2500))
                        ++forcedTimeouts;
                }
                break;
            }
            case DialogChoice: {
                // Only the screen holds the lesson it closes, as in the application: held here
                // too, the closed lesson would go on hearing the JACK keyboard a while longer.
                lesson.reset();
                const int choice = dialogsShown % 4;
                ++dialogsShown;
                ++dialogChoices[size_t(choice)];
                static const char* const names[4] = {"Continue", "Escape", "Repeat", "Review statistics"};
                note(n, QStringLiteral("section end dialog: %1").arg(names[choice]));
                static const char* const buttons[4] = {"Continue", nullptr, "Repeat", "ReviewStats"};
                if (choice == 1) {
                    QTest::keyClick(dialog, Qt::Key_Escape);
                } else {
                    auto* button = dialog->findChild<QAbstractButton*>(QLatin1String(buttons[choice]));
                    QVERIFY(button);
                    if (choice == 2) {
                        // Repeat begins a new run of the trainer.
                        judged.switching = true;
                        judged.local[size_t(screen->GetExerciseId())] = 0;
                    }
                    QTest::mouseClick(button, Qt::LeftButton);
                    judged.switching = false;
                }
                // Every choice takes the dialog away (Continue a moment later, so that it is seen).
                QVERIFY2(QTest::qWaitFor([&] { return !dialog->isVisible() || dialog->IsFadingOut(); }, 3000),
                         names[choice]);
                break;
            }
            case ActionKinds:
                break;
            }
            Pace(pace);
            const QStringList warnings = CaughtWarnings();
            QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
        }
        const qint64 elapsed = clock.elapsed();

        // The end: nothing more is judged, the statistics reach the disk within two seconds.
        screen->CloseExercise();
        QTemporaryDir scratch;
        FileCounts files;
        const bool saved = QTest::qWaitFor(
            [&] {
                files = ReadFiles(*rig.catalog->GetStatistics(), scratch.path());
                return files.right == judged.right && files.wrong == judged.wrong &&
                       files.local[0] == judged.local[0] && files.local[1] == judged.local[1] &&
                       files.local[2] == judged.local[2];
            },
            4000);

        QStringList summary;
        for (int a = 0; a < ActionKinds; ++a)
            summary << QStringLiteral("%1 %2").arg(actionNames[a]).arg(counts[size_t(a)]);
        qInfo("soak: %d actions in %lld ms (pace %d ms): %s", ActionCount, elapsed, pace,
              qPrintable(summary.join(QStringLiteral(", "))));
        qInfo("judged %d right, %d wrong (%d time-outs, %d while a lesson was switched); section end dialogs "
              "%d "
              "(continue %d, escape %d, repeat %d, review %d)",
              int(judged.right), int(judged.wrong), int(judged.timeouts), int(judged.ambiguous), dialogsShown,
              dialogChoices[0], dialogChoices[1], dialogChoices[2], dialogChoices[3]);
        qInfo("files: history %d right, %d wrong; local %d, %d, %d (judged %d, %d, %d)", files.right,
              files.wrong, files.local[0], files.local[1], files.local[2], int(judged.local[0]),
              int(judged.local[1]), int(judged.local[2]));

        QVERIFY(CaughtWarnings().isEmpty());
        QVERIFY2(dialogsShown >= 4, "every choice of the section end dialog was made");
        QVERIFY(judged.timeouts >= 1);
        QVERIFY(judged.right + judged.wrong > 100);
        // An answer judged on another thread while a lesson was being switched may belong to
        // either run; there were none when the local counts are off.
        QVERIFY2(saved || judged.ambiguous > 0, "the statistics files add up to the answers judged");
        QCOMPARE(files.right, int(judged.right));
        QCOMPARE(files.wrong, int(judged.wrong));
        printer.passed = true;
    }
};

QTEST_MAIN(TestExerciseScreenSoak)
#include "test_exercise_screen_soak.moc"

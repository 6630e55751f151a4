// A soak of the exercise screen: many random user actions from a fixed seed on the real screen
// with the real engine (clicks, on-screen keys, note-ons from a JACK port, the space bar, slider
// seeks, section buttons, view switches, pause and resume, settings re-applied, restarts, other
// trainers loaded, lesson ends with the section end dialog and its choices, time-outs). What only
// a long run finds: a warning about objects touched from another thread, counts that leak from
// one section, lesson or trainer into another (at every lesson end the score bar holds exactly
// the answers judged since that lesson began), and statistics files that, at the end, do not
// hold exactly the answers the screen was told were judged.
//
// CANTORELA_SOAK_SEED overrides the seed. On failure the last actions are printed.

#include "core/exercise/exercise_statistics.h"
#include "core/exercise/statistics_record.h"
#include "screen_jack_keyboard.h"
#include "test_exercise_screen_fixture.h"
#include "ui/dialogs/play_dialog.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <atomic>
#include <deque>
#include <numeric>
#include <random>

using Core::Exercise;
using Core::LessonBase;

namespace {

constexpr int ActionCount = 500;
constexpr quint32 DefaultSeed = 0x50A6C0DE;
constexpr int TrainerCount = 3;
// Two questions a section, one second each, so that time-outs and lesson ends come often.
constexpr int QuestionsPerSection = 2;
constexpr int TimeoutSeconds = 1;
// Every this many actions the slider is dragged past the last section: a lesson end.
constexpr int LessonEndEvery = 80;
constexpr int PaceMs = 4;

// Warnings about objects used from the wrong thread, or widgets painted inside a paint; the
// offscreen platform's own notes are harmless.
const char* const threadWarnings[] = {"QObject::", "Cannot create children", "Timers cannot be",
                                      "QWidget::repaint: Recursive repaint", "QBasicTimer"};
const char* const allowedWarnings[] = {"This plugin does not support", "QObject::connect: signal not found"};

std::mutex warningMutex;
QStringList caughtWarnings;
QtMessageHandler previousHandler = nullptr;

// Any thread.
void CatchThreadWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    bool bad = false;
    for (const char* pattern : threadWarnings)
        bad = bad || message.contains(QLatin1String(pattern));
    for (const char* pattern : allowedWarnings)
        bad = bad && !message.contains(QLatin1String(pattern));
    if (bad && type != QtDebugMsg && type != QtInfoMsg) {
        std::lock_guard<std::mutex> guard(warningMutex);
        caughtWarnings.append(message);
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
    PauseResume,
    SliderSeek,
    SectionButton,
    ViewSwitch,
    SettingsApplied,
    Restart,
    LoadOther,
    WaitForTimeout,
    ActionKinds
};
// Relative frequencies of the random actions (the dialog's choices come when it is shown).
constexpr int weights[ActionKinds] = {18, 10, 14, 12, 9, 5, 5, 4, 3, 1, 2, 1};

// The answers the lessons judged, as their sessions reported them (also those a closed lesson
// reported while it was closed, which its screen no longer hears): all of them, those of the
// lesson open now, and per trainer since that trainer's current run began. GUI thread.
struct JudgedAnswers
{
    int trainer = -1;
    // Set while a lesson is being opened: what the lesson being closed reports then is not the
    // new run's, and, of the same trainer, is cleared with its run.
    bool switching = false;
    int right = 0;
    int wrong = 0;
    int runRight = 0;
    int runWrong = 0;
    int timeouts = 0;
    std::array<int, TrainerCount> local{};

    // A judgement reported by a lesson of trainer `t`.
    void Judged(int t, bool correct, const Core::Answer& answer)
    {
        (correct ? right : wrong)++;
        timeouts += answer.kind == Core::Answer::NoAnswer;
        if (switching && t == trainer)
            return;
        if (!switching)
            (correct ? runRight : runWrong)++;
        if (t >= 0 && t < TrainerCount)
            ++local[size_t(t)];
    }
    // Around opening a lesson of `t` (a new run of it).
    void BeginRun(int t)
    {
        switching = true;
        trainer = t;
        local[size_t(t)] = 0;
        runRight = 0;
        runWrong = 0;
    }
};

// Right and wrong answers of all runs, and each trainer's answers of its current run.
using Counts = std::array<int, 2 + TrainerCount>;

Counts CountsOf(const JudgedAnswers& judged)
{
    return {judged.right, judged.wrong, judged.local[0], judged.local[1], judged.local[2]};
}

// What the statistics files hold.
Counts ReadFiles(const Core::ExerciseStatistics& live, const QString& scratch)
{
    // Copies, so that the store reading them never touches the live files.
    const QString history = scratch + QStringLiteral("/stats.xml");
    const QString local = scratch + QStringLiteral("/statsLocal.xml");
    QFile::remove(history);
    QFile::remove(local);
    QFile::copy(live.HistoryPath(), history);
    QFile::copy(live.LocalPath(), local);
    Core::ExerciseStatistics store(history, local);
    Counts counts{};
    for (int t = 0; t < TrainerCount; ++t) {
        std::vector<Core::StatisticsRecord> records;
        for (int section = 0; section < UI::ExerciseScreen::SectionCount; ++section)
            store.GetHistorySectionRecords(t, section, records);
        for (const Core::StatisticsRecord& r : records) {
            counts[0] += r.correct;
            counts[1] += r.wrong;
        }
        records.clear();
        store.GetLocalRecords(t, records);
        for (const Core::StatisticsRecord& r : records)
            counts[size_t(2 + t)] += r.correct + r.wrong;
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
        }
        ScreenRig rig(bank, QSize(1366, 708), jack ? jack->controller : nullptr);
        rig.blocks.ChangeBoth([](Core::TrainerSettings& s) {
            WholeLessons(s, QuestionsPerSection, TimeoutSeconds, {true, 200});
        });
        QVERIFY(rig.Show());
        UI::ExerciseScreen* screen = rig.screen.get();

        JudgedAnswers judged;
        // Every lesson the screen opens is followed from the moment it is open: it reports only
        // from its own queue, which runs after that.
        QPointer<Core::LessonSession> followed;
        auto follow = [&] {
            Core::LessonSession* session = screen->GetSession();
            if (!session || followed == session)
                return;
            followed = session;
            const int t = int(screen->GetExerciseId());
            connect(session, &Core::LessonSession::answerJudged, this,
                    [&judged, t](const Core::Judgement& j) { judged.Judged(t, j.isRight(), j.answer); });
        };
        bool atHome = false;
        connect(screen, &UI::ExerciseScreen::ExitSignal, this, [&] {
            // The main window goes back to the home screen.
            atHome = true;
            screen->screenChangeSlot(QStringLiteral("ex_block_view_control"),
                                     QStringLiteral("console_exercise_control"));
        });

        // The last actions, printed when the test fails.
        std::deque<QString> trail;
        const auto printTrail = qScopeGuard([&] {
            for (const QString& line : trail)
                if (QTest::currentTestFailed())
                    qWarning("  %s", qPrintable(line));
        });
        auto note = [&](int n, const QString& what) {
            const Core::LessonSession* open = screen->GetSession();
            const Core::LessonSnapshot now = open ? open->snapshot() : Core::LessonSnapshot();
            trail.push_back(QStringLiteral("%1: %2 [trainer %3, view %4, state %5, play %6]")
                                .arg(n)
                                .arg(what)
                                .arg(int(screen->GetExerciseId()))
                                .arg(screen->GetViewMode())
                                .arg(open ? int(now.state) : -1)
                                .arg(open ? int(now.playState) : -1));
            if (trail.size() > 30)
                trail.pop_front();
        };

        // Opens a lesson of `trainer` (or the same again): from the home screen (the lesson
        // closed first), or straight from the open one.
        auto open = [&](int trainer, bool quiz, bool fromHome, bool restart) {
            rig.blocks.SetQuizMode(quiz);
            if (fromHome)
                screen->CloseExercise();
            judged.BeginRun(trainer);
            if (restart)
                screen->restartExercise();
            else
                screen->LoadExercise(size_t(trainer), quiz, false);
            judged.switching = false;
            follow();
            screen->screenChangeSlot(QStringLiteral("console_exercise_control"),
                                     QStringLiteral("ex_block_view_control"));
            atHome = false;
        };
        open(0, false, true, false);

        int dialogsShown = 0;
        for (int n = 0; n < ActionCount; ++n) {
            UI::SectionEndDialog* dialog = screen->GetSectionEndDialog();
            follow();
            const bool hasLesson = screen->GetSession() != nullptr;
            const Core::LessonSnapshot lesson = hasLesson ? screen->GetSession()->snapshot() : Core::LessonSnapshot();
            const bool inExercise = screen->GetViewMode() == UI::ExerciseScreen::ExerciseView;
            Action action = ActionKinds;
            if (dialog && dialog->isVisible() && !dialog->isFadingOut()) {
                if (chance(0.2)) {
                    action = MidiNotes; // heard by a lesson that has ended
                } else {
                    // The lesson's score holds the answers of this lesson alone.
                    QCOMPARE(qMakePair(rig.Bar()->rightCount(), rig.Bar()->wrongCount()),
                             qMakePair(judged.runRight, judged.runWrong));
                    const int choice = dialogsShown++ % 4;
                    static const char* const names[4] = {"Continue", "Escape", "Repeat", "ReviewStats"};
                    note(n, QStringLiteral("section end dialog: %1").arg(names[choice]));
                    if (choice == 1)
                        QTest::keyClick(dialog, Qt::Key_Escape);
                    else if (choice == 2)
                        judged.BeginRun(int(screen->GetExerciseId())); // a new run of the trainer
                    if (choice != 1)
                        QTest::mouseClick(dialog->findChild<QAbstractButton*>(QLatin1String(names[choice])),
                                          Qt::LeftButton);
                    judged.switching = false;
                    follow();
                    // Every choice takes the dialog away (Continue a moment later, so that it is seen).
                    QVERIFY2(
                        QTest::qWaitFor([&] { return !dialog->isVisible() || dialog->isFadingOut(); }, 3000),
                        names[choice]);
                }
            } else if (atHome || !hasLesson) {
                action = LoadOther;
            } else if (!inExercise && (chance(0.3) || n % LessonEndEvery == LessonEndEvery - 1)) {
                action = ViewSwitch;
            } else if (n % LessonEndEvery == LessonEndEvery - 1 && !screen->IsQuizMode()) {
                action = SliderSeek;
            } else if (lesson.playState == LessonBase::Paused && chance(0.4)) {
                action = PauseResume; // a student who paused goes on sooner or later
            } else {
                int r = pick(0, std::accumulate(std::begin(weights), std::end(weights), 0) - 1);
                for (action = Action(0); r >= weights[action]; action = Action(action + 1))
                    r -= weights[action];
            }

            const bool awaiting = hasLesson && lesson.state == Exercise::AwaitingAnswer;
            switch (action) {
            case VariantClick:
            case NumberKey: {
                const int id =
                    chance(0.6) && hasLesson ? lesson.question.correctIndex + 1 : pick(1, 6);
                note(n, QStringLiteral("%1 %2").arg(action == NumberKey ? "key" : "click variant").arg(id));
                if (action == NumberKey)
                    QTest::keyClick(screen, Qt::Key(Qt::Key_0 + std::clamp(id, 1, 6)));
                else if (rig.Variant(id)->isVisible())
                    rig.ClickVariant(id);
                break;
            }
            case PianoKeys:
            case MidiNotes: {
                const bool midi = action == MidiNotes && jack;
                QVector<int> keys = awaiting && chance(0.6) ? rig.ExpectedKeys() : QVector<int>();
                if (keys.isEmpty())
                    keys = {pick(27, 63)};
                keys.resize(std::min(keys.size(), 6)); // a heard piece has many notes
                note(n, QStringLiteral("%1, %2 keys from %3")
                            .arg(midi ? "MIDI" : "piano")
                            .arg(keys.size())
                            .arg(keys[0]));
                for (int key : keys) {
                    if (midi)
                        jack->Play(key);
                    else if (rig.Piano()->isVisible())
                        rig.ClickKey(key);
                }
                break;
            }
            case PauseResume: {
                const int how = pick(0, 3);
                note(n, QStringLiteral("pause/resume %1").arg(how));
                QToolButton* play = rig.Child<QToolButton>(QStringLiteral("playButton"));
                UI::PlayDialog* veil = screen->FindPlayDialog();
                if (how == 0 && play->isVisible())
                    QTest::mouseClick(play, Qt::LeftButton);
                else if (how == 1 && veil && veil->isShown())
                    QTest::mouseClick(veil->playButton(), Qt::LeftButton);
                else if (how == 2 && rig.ScorePane()->isVisible())
                    QTest::mouseClick(rig.ScorePane(), Qt::LeftButton);
                else
                    QTest::keyClick(screen, Qt::Key_Space);
                break;
            }
            case SliderSeek: {
                QSlider* slider = rig.Slider();
                const bool toEnd = chance(0.3) || n % LessonEndEvery == LessonEndEvery - 1;
                const int value = toEnd ? slider->maximum() : pick(0, slider->maximum());
                note(n, QStringLiteral("slider seek to %1").arg(value));
                if (slider->isVisible() && slider->isEnabled()) {
                    slider->setSliderDown(true);
                    slider->setSliderPosition(value);
                    slider->setSliderDown(false);
                }
                // At the lesson's end the dialog comes once the last judgement has been seen.
                if (toEnd && inExercise)
                    (void)QTest::qWaitFor(
                        [&] {
                            const auto* end = screen->GetSectionEndDialog();
                            return (end && end->isVisible()) || !screen->GetSession() ||
                                   screen->GetSession()->snapshot().state != Exercise::LessonEnd;
                        },
                        UI::ExerciseScreen::FeedbackBeforeSectionEndMs + 2000);
                break;
            }
            case SectionButton: {
                const int s = pick(0, UI::ExerciseScreen::SectionCount - 1);
                note(n, QStringLiteral("section button %1").arg(s + 1));
                if (rig.SectionButton(s)->isVisible())
                    QTest::mouseClick(rig.SectionButton(s), Qt::LeftButton);
                break;
            }
            case ViewSwitch: {
                const int view = inExercise ? pick(2, 4) : pick(0, 3);
                const UI::Speed speed = chance(0.5) ? UI::Quick : UI::Animated;
                note(n, QStringLiteral("view %1, speed %2").arg(view).arg(speed));
                if (view <= 1)
                    screen->showExercise(speed);
                else if (view == 2)
                    screen->ShowStatistics(speed);
                else if (view == 3)
                    screen->showReference(speed);
                else {
                    // Another screen in front and back: hidden, the lesson pauses.
                    rig.window->hide();
                    screen->screenChangeSlot(QStringLiteral("settings_screen"),
                                             QStringLiteral("console_exercise_control"));
                    Pace(PaceMs);
                    rig.window->show();
                    screen->screenChangeSlot(QStringLiteral("console_exercise_control"),
                                             QStringLiteral("settings_screen"));
                }
                break;
            }
            case SettingsApplied: {
                const bool keyboard = chance(0.7);
                const bool choices = !keyboard || chance(0.7);
                const int questions = pick(1, 3);
                const Core::WrongAnswerPolicy policy{chance(0.7), pick(0, 400)};
                note(n, QStringLiteral("settings: keyboard %1, choices %2, %3 questions")
                            .arg(keyboard)
                            .arg(choices)
                            .arg(questions));
                rig.General([&](Core::GeneralSettings& g) {
                    g.answerWithGraphicalKeyboard = keyboard;
                    g.answerWithMultipleChoice = choices;
                });
                rig.Settings(
                    [&](Core::TrainerSettings& s) { WholeLessons(s, questions, TimeoutSeconds, policy); });
                screen->ApplySettings();
                break;
            }
            case Restart:
            case LoadOther: {
                const int current = int(screen->GetExerciseId());
                int trainer = action == Restart ? current : pick(0, TrainerCount - 2);
                if (action == LoadOther && current >= 0 && current < TrainerCount && trainer >= current)
                    ++trainer;
                const bool quiz = action == Restart ? screen->IsQuizMode() : chance(0.25);
                const bool fromHome = atHome || !screen->GetSession() || chance(0.5);
                note(n, QStringLiteral("%1 trainer %2%3%4")
                            .arg(action == Restart ? "restart" : "load")
                            .arg(trainer)
                            .arg(quiz ? " quiz" : "")
                            .arg(fromHome ? " from home" : ""));
                open(trainer, quiz, fromHome, action == Restart);
                break;
            }
            case WaitForTimeout: {
                note(n, QStringLiteral("wait for a time-out"));
                const int before = judged.timeouts;
                if (inExercise && lesson.playState == LessonBase::Running)
                    (void)QTest::qWaitFor([&] { return judged.timeouts > before; },
                                          TimeoutSeconds * 1000 + 2500);
                break;
            }
            case ActionKinds:
                break;
            }
            Pace(PaceMs);
            const QStringList warnings = CaughtWarnings();
            QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
        }

        // The end: nothing more is judged, the statistics reach the disk within two seconds.
        screen->CloseExercise();
        QTemporaryDir scratch;
        Counts files{};
        const bool saved = QTest::qWaitFor(
            [&] {
                return (files = ReadFiles(*rig.catalog->GetStatistics(), scratch.path())) == CountsOf(judged);
            },
            4000);
        qInfo("soak: judged %d right, %d wrong, %d time-outs; %d section end dialogs", int(judged.right),
              int(judged.wrong), int(judged.timeouts), dialogsShown);
        QVERIFY2(dialogsShown >= 4, "every choice of the section end dialog was made");
        QVERIFY(judged.timeouts >= 1);
        QVERIFY(judged.right + judged.wrong > 20);
        if (!saved)
            QCOMPARE(files, CountsOf(judged));
    }
};

QTEST_MAIN(TestExerciseScreenSoak)
#include "test_exercise_screen_soak.moc"

// The exercise handler between a real lesson and a screen: reports from the timer thread, the
// MIDI input thread, a plain thread and the GUI thread reach the screen's slots on the GUI thread
// after the engine call that made them has returned; a slot reads the state of its own moment;
// replacing the exercise leaves one handler attached; and a stress run in which slots pause,
// seek, restart and close the exercise while answers come from the GUI thread and from a JACK
// keyboard port never deadlocks and never re-enters the engine.

#include "../core/midi/jack_test_ports.h"
#include "core/midi/sound_controller.h"
#include "test_trainer.h"
#include "ui/exercise_handler.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <random>
#include <thread>

using namespace Core;

namespace {

// Questions that sound (and so pass through the timer thread's playback) or are only shown.
TestTrainer::SectionSpec Section(const QString& name, int questions, int ms, bool heard)
{
    TestTrainer::SectionSpec plan;
    plan.name = name;
    plan.kind = heard ? QuestionRecord::NoteReadingQuestion : QuestionRecord::SymbolQuestion;
    plan.answerModes = QuestionRecord::NotesMode | QuestionRecord::ChoiceMode;
    for (int i = 0; i < 6; ++i)
        plan.items.push_back(Item(i, {60 + 2 * i}, 0.0, 0.05));
    plan.questionCount = questions;
    plan.msPerQuestion = ms;
    return plan;
}

std::shared_ptr<TestTrainer> NewLesson(int msPerQuestion, int questions = 20, bool heard = false)
{
    return std::make_shared<TestTrainer>(std::vector<TestTrainer::SectionSpec>{
        Section(QStringLiteral("First"), questions, msPerQuestion, heard),
        Section(QStringLiteral("Second"), questions, msPerQuestion, false)});
}

Answer Choice(int variant)
{
    Answer answer;
    answer.kind = Answer::Choice;
    answer.variant = variant;
    return answer;
}

} // namespace

// Stands in for the exercise screen: the six signals, the slots they lead to, and the screen's
// way of loading and closing an exercise. Every slot checks that it runs on the GUI thread and
// outside any engine call this thread is making.
class TestScreen : public QObject
{
    Q_OBJECT
public:
    using Handler = UI::ExerciseHandlerOf<TestScreen>;

    TestScreen() { Handler::Connect(this); }
    ~TestScreen() override { Close(); }

    void Load(std::shared_ptr<TestTrainer> next, std::shared_ptr<SoundController> controller = {})
    {
        if (exercise) {
            Call([&] { exercise->Stop(); });
            handler->DetachFrom(*exercise);
        }
        exercise.reset(); // the old lesson goes first: its destructor waits for its threads
        handler = Handler::AttachTo(this, *next);
        if (controller)
            next->SetSoundController(controller);
        exercise = std::move(next);
        ++loads;
        Call([&] {
            exercise->Start();
            exercise->Next();
        });
    }
    void Close()
    {
        if (!exercise)
            return;
        handler->DetachFrom(*exercise);
        Call([&] { exercise->Stop(); });
        exercise.reset();
    }

    // Runs an engine call the way the screen makes one; a slot that runs meanwhile re-entered.
    template <typename F> void Call(F&& call)
    {
        ++insideEngine;
        call();
        --insideEngine;
    }

    std::shared_ptr<TestTrainer> exercise;
    std::shared_ptr<Handler> handler;
    int loads = 0;

    // What the slots saw.
    int slotCalls = 0;
    int foreignThreadSlots = 0;
    int reentrantSlots = 0;
    int answersSeen = 0;
    int timeOutsSeen = 0;
    int ticksSeen = 0;
    int notesSeen = 0;
    QVector<int> statesRead;
    std::function<void(bool, const Answer&)> onAnswer;
    std::function<void()> onStateChange;

Q_SIGNALS:
    void NewTick();
    void StateChanged();
    void PlayStateChanged();
    void AnswerProvided(bool correct, Core::Answer answer);
    void NoteEntered(bool pressed, int note);
    void NextQuestion();

public Q_SLOTS:
    void UpdateSlider() { UpdateSlider(false); }
    void UpdateSlider(bool)
    {
        Check();
        ++ticksSeen;
    }
    void UpdateUI() { Check(); }
    void UpdateUIOnStateChange()
    {
        Check();
        if (exercise)
            statesRead.append(exercise->GetState());
        if (onStateChange)
            onStateChange();
    }
    void UpdateAnswerUI(bool correct, Core::Answer answer)
    {
        Check();
        ++answersSeen;
        if (answer.kind == Answer::NoAnswer)
            ++timeOutsSeen;
        if (onAnswer)
            onAnswer(correct, answer);
    }
    void HighlightNote(bool, int)
    {
        Check();
        ++notesSeen;
    }
    void MoveToNextQuestion()
    {
        Check();
        if (!exercise)
            return;
        Call([&] {
            const int state = exercise->GetState();
            if (state == Exercise::LessonEnd || state == Exercise::NotStarted) {
                exercise->Reset();
                exercise->Start();
            }
            if (exercise->GetPlayState() != LessonBase::Running)
                exercise->Pause(false);
            if (exercise->GetState() == Exercise::BetweenQuestions)
                exercise->Next();
        });
    }

private:
    void Check()
    {
        ++slotCalls;
        if (QThread::currentThread() != thread())
            ++foreignThreadSlots;
        if (insideEngine > 0)
            ++reentrantSlots;
    }

    int insideEngine = 0;
};

class TestExerciseHandler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { UI::RegisterScreenMetaTypes(); }

    // A judged answer reaches UpdateAnswerUI once, on the GUI thread, after the call that
    // judged it has returned, whichever thread judged it.
    void answerReachesScreenOnGuiThread_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("GUI thread") << "gui";
        QTest::newRow("another thread") << "thread";
        QTest::newRow("timer thread (time-out)") << "timer";
    }
    void answerReachesScreenOnGuiThread()
    {
        QFETCH(QString, source);
        TestScreen screen;
        screen.Load(NewLesson(source == QLatin1String("timer") ? 200 : 0));
        QTRY_COMPARE(screen.exercise->GetState(), int(Exercise::AwaitingAnswer));
        const int correct = screen.exercise->GetCurrentQuestion().correctIndex;
        if (source == QLatin1String("gui")) {
            screen.Call([&] { screen.exercise->Judge(Choice(correct)); });
            QCOMPARE(screen.answersSeen, 0); // not inside the judging call
        } else if (source == QLatin1String("thread")) {
            std::thread([&] { screen.exercise->Judge(Choice(correct)); }).join();
        }
        QTRY_COMPARE(screen.answersSeen, 1);
        QCOMPARE(screen.timeOutsSeen, source == QLatin1String("timer") ? 1 : 0);
        QCOMPARE(screen.exercise->GetCounters().answered, 1);
        QTRY_VERIFY(screen.ticksSeen > 0 || source != QLatin1String("timer"));
        QCOMPARE(screen.foreignThreadSlots, 0);
        QCOMPARE(screen.reentrantSlots, 0);
    }

    // Reports queued while the GUI thread is busy run later and read the state current then:
    // several state changes made on another thread all show the last one.
    void slotReadsStateOfItsOwnMoment()
    {
        TestScreen screen;
        screen.Load(NewLesson(0));
        QTRY_COMPARE(screen.exercise->GetState(), int(Exercise::AwaitingAnswer));
        screen.statesRead.clear();
        std::thread([&] {
            for (int i = 0; i < 3; ++i) {
                screen.exercise->Judge(Choice(screen.exercise->GetCurrentQuestion().correctIndex));
                screen.exercise->Next();
            }
        }).join();
        QCOMPARE(screen.statesRead.size(), 0); // nothing ran while this thread was busy
        QTRY_VERIFY(screen.statesRead.size() >= 6);
        QCOMPARE(screen.exercise->GetState(), int(Exercise::AwaitingAnswer));
        QCOMPARE(screen.statesRead, QVector<int>(screen.statesRead.size(), int(Exercise::AwaitingAnswer)));
        QCOMPARE(screen.answersSeen, 3);
    }

    // Loading a second exercise leaves exactly one handler attached, to the new exercise; the
    // old handler is gone and the old exercise, kept alive elsewhere, reports to nobody.
    void loadingAnotherExerciseLeavesOneHandler()
    {
        TestScreen screen;
        auto first = NewLesson(0);
        screen.Load(first);
        std::weak_ptr<TestScreen::Handler> firstHandler = screen.handler;
        screen.Load(NewLesson(0));
        QVERIFY(firstHandler.expired());
        QCOMPARE(first->Subject<LessonBaseObserver>::ObserverCount(), 0);
        QCOMPARE(first->Subject<ExerciseObserver>::ObserverCount(), 0);
        QCOMPARE(screen.exercise->Subject<LessonBaseObserver>::ObserverCount(), 1);
        QCOMPARE(screen.exercise->Subject<ExerciseObserver>::ObserverCount(), 1);

        // The old lesson, still alive here, runs on without reaching the screen.
        QCoreApplication::processEvents(); // the new lesson's first reports
        const int seen = screen.slotCalls;
        first->Start();
        first->Next();
        first->Judge(Choice(first->GetCurrentQuestion().correctIndex));
        QCoreApplication::processEvents();
        QCOMPARE(screen.slotCalls, seen);
    }

    // A real lesson on the real timer with short time limits; answers from this thread and from
    // a keyboard port on the test JACK server; slots that move on, pause, seek, restart the
    // question and close the exercise for a new one. Must finish, every slot on the GUI thread
    // and outside the engine, and the lesson still works afterwards. Run under ThreadSanitizer
    // by the sanitizer build.
    void stressWithSlotsDrivingTheLesson()
    {
        if (qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER"))
            QSKIP("needs the test JACK server (run by ctest)");
        TestKeyboard keyboard("Cantorela Handler Keyboard");
        SoundController::Options options;
        options.builtInSynthesizer = false;
        options.watchDevices = false;
        auto controller = std::make_shared<SoundController>(options);
        controller->RefreshDevices();
        QVERIFY(controller->SelectInputByName(keyboard.name));
        QVERIFY(WaitUntilHeard(keyboard, *controller->CurrentInputDevice()) > 0);

        TestScreen screen;
        std::mt19937 random(2026);
        int pauses = 0, seeks = 0, restarts = 0, closes = 0;
        screen.onAnswer = [&](bool, const Answer&) {
            if (!screen.exercise)
                return;
            switch (random() % 10) {
            case 0:
                screen.Call([&] { screen.exercise->Pause(true); });
                ++pauses;
                break;
            case 1: {
                screen.Call([&] {
                    auto timeline = screen.exercise->GetTimeLine();
                    screen.exercise->BeginSeek();
                    screen.exercise->Seek(int(random() % unsigned(std::max(1, timeline->TotalLength()))));
                    screen.exercise->EndSeek();
                });
                ++seeks;
                break;
            }
            case 2:
                screen.Call([&] { screen.exercise->RestartQuestion(); });
                ++restarts;
                break;
            case 3:
                if (closes < 12) {
                    screen.Load(NewLesson(150, 6, true), controller);
                    ++closes;
                    break;
                }
                Q_FALLTHROUGH();
            default:
                // The next-question timer of the screen.
                QTimer::singleShot(int(random() % 20), &screen, [&] { Q_EMIT screen.NextQuestion(); });
                break;
            }
        };
        screen.onStateChange = [&] {
            if (screen.exercise && screen.exercise->GetState() == Exercise::LessonEnd)
                Q_EMIT screen.NextQuestion();
        };
        screen.Load(NewLesson(150, 6, true), controller);

        std::atomic<bool> playing{true};
        std::atomic<bool> quiet{false}; // nobody answers: questions time out on the timer thread
        std::atomic<int> sent{0};
        std::thread player([&] {
            std::mt19937 keys(7);
            while (playing) {
                if (quiet) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    continue;
                }
                const quint8 note = quint8(58 + keys() % 14);
                keyboard.Send(MidiMessage(0x90, 0, note, 90));
                keyboard.Send(MidiMessage(0x80, 0, note, 0));
                ++sent;
                std::this_thread::sleep_for(std::chrono::milliseconds(2 + keys() % 25));
            }
        });

        QElapsedTimer clock;
        clock.start();
        int guiAnswers = 0;
        while (clock.elapsed() < 6000) {
            QTest::qWait(int(random() % 6));
            if (!screen.exercise)
                continue;
            // Every other 1.5 s nobody answers.
            quiet = (clock.elapsed() / 1500) % 2 == 1;
            if (quiet) {
                screen.Call([&] { screen.exercise->Pause(false); });
                Q_EMIT screen.NextQuestion();
                continue;
            }
            switch (random() % 6) {
            case 0:
                screen.Call([&] { screen.exercise->Judge(Choice(int(random() % 6))); });
                ++guiAnswers;
                break;
            case 1: {
                const quint8 note = quint8(58 + random() % 14);
                screen.Call([&] {
                    screen.exercise->HandleInputEvent({MidiMessage(0x90, 0, note, 100), 0, 0.0});
                    screen.exercise->HandleInputEvent({MidiMessage(0x80, 0, note, 0), 0, 0.0});
                });
                ++guiAnswers;
                break;
            }
            case 2:
                screen.Call([&] { screen.exercise->Pause(false); });
                break;
            default:
                Q_EMIT screen.NextQuestion();
                break;
            }
            const auto counters = screen.exercise->GetCounters();
            QVERIFY(counters.correct <= counters.answered);
            QVERIFY(counters.answered <= counters.asked);
        }
        playing = false;
        player.join();
        QVERIFY(sent > 50);
        QVERIFY(guiAnswers > 50);
        QVERIFY(screen.answersSeen > 50);
        QVERIFY2(screen.timeOutsSeen > 0, "no question timed out on the timer thread");
        QVERIFY(screen.notesSeen > 0);
        QVERIFY(pauses > 0 && seeks > 0 && restarts > 0 && closes > 0);
        QCOMPARE(screen.foreignThreadSlots, 0);
        QCOMPARE(screen.reentrantSlots, 0);
        for (int state : screen.statesRead)
            QVERIFY(state >= Exercise::NotStarted && state <= Exercise::LessonEnd);

        // Still a working lesson: one right answer is judged and shown.
        screen.onAnswer = nullptr;
        screen.onStateChange = nullptr;
        screen.Load(NewLesson(0));
        QTRY_COMPARE(screen.exercise->GetState(), int(Exercise::AwaitingAnswer));
        QCoreApplication::processEvents(); // reports of the closed lessons still queued
        const int seen = screen.answersSeen;
        screen.Call(
            [&] { screen.exercise->Judge(Choice(screen.exercise->GetCurrentQuestion().correctIndex)); });
        QTRY_COMPARE(screen.answersSeen, seen + 1);
        QCOMPARE(screen.exercise->GetCounters().correct, 1);
        screen.Close();
    }
};

QTEST_MAIN(TestExerciseHandler)
#include "test_exercise_handler.moc"

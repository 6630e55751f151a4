// The exercise handler between a real lesson and a screen: a report made on the GUI thread, on
// another thread, on the timer thread (a time-out) or on the MIDI input thread of a keyboard port
// on the test JACK server reaches the screen's slot once, on the GUI thread, after the engine call
// that made it has returned; a slot reads the state of its own moment; and replacing the exercise
// while another thread answers it releases the old handler safely, after which the old lesson
// reaches nobody. Run under ThreadSanitizer by the sanitizer build.

#include "../core/midi/jack_test_ports.h"
#include "core/midi/sound_controller.h"
#include "test_trainer.h"
#include "ui/exercise/exercise_handler.h"

#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace Core;

namespace {

// One section of shown questions on single notes, answered by a choice or a key.
std::shared_ptr<TestTrainer> NewLesson(int msPerQuestion)
{
    TestTrainer::SectionSpec plan;
    plan.name = QStringLiteral("Notes");
    for (int i = 0; i < 6; ++i)
        plan.items.push_back(Item(i, {60 + 2 * i}, 0.0, 0.05));
    plan.questionCount = 1000;
    plan.msPerQuestion = msPerQuestion;
    return std::make_shared<TestTrainer>(std::vector<TestTrainer::SectionSpec>{plan});
}

Answer Choice(int variant)
{
    Answer answer;
    answer.kind = Answer::Choice;
    answer.variant = variant;
    return answer;
}

void AnswerRight(Exercise& exercise)
{
    exercise.Judge(Choice(exercise.GetCurrentQuestion().correctIndex));
}

} // namespace

// Stands in for the exercise screen: the six signals, the slots they lead to, and the screen's
// way of loading and closing an exercise. Every slot counts whether it runs off the GUI thread
// or inside an engine call this thread is making.
class TestScreen : public QObject
{
    Q_OBJECT
public:
    using Handler = UI::ExerciseHandlerOf<TestScreen>;

    TestScreen() { Handler::Connect(this); }
    ~TestScreen() override { Close(); }

    void Load(std::shared_ptr<TestTrainer> next, std::shared_ptr<SoundController> controller = {})
    {
        Close();
        handler = Handler::AttachTo(this, *next);
        if (controller)
            next->SetSoundController(controller);
        exercise = std::move(next);
        Call([&] {
            exercise->Start();
            exercise->Next();
        });
    }
    void Close()
    {
        if (!exercise)
            return;
        Call([&] { exercise->Stop(); });
        handler->DetachFrom(*exercise);
        exercise.reset(); // its destructor waits for its threads
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
    int slotCalls = 0, foreignThreadSlots = 0, reentrantSlots = 0;
    int answersSeen = 0, timeOutsSeen = 0, ticksSeen = 0, notesSeen = 0;
    QVector<int> statesRead;

Q_SIGNALS:
    void NewTick();
    void StateChanged();
    void PlayStateChanged();
    void AnswerProvided(bool correct, Core::Answer answer);
    void NoteEntered(bool pressed, int note);
    void NextQuestion();

public Q_SLOTS:
    void UpdateSlider() { ticksSeen += Check(); }
    void UpdateUI() { Check(); }
    void UpdateUIOnStateChange()
    {
        Check();
        if (exercise)
            statesRead.append(exercise->GetState());
    }
    void UpdateAnswerUI(bool, Core::Answer answer)
    {
        answersSeen += Check();
        timeOutsSeen += answer.kind == Answer::NoAnswer ? 1 : 0;
    }
    void HighlightNote(bool, int) { notesSeen += Check(); }
    void MoveToNextQuestion() { Check(); }

private:
    int Check()
    {
        ++slotCalls;
        foreignThreadSlots += QThread::currentThread() != thread() ? 1 : 0;
        reentrantSlots += insideEngine > 0 ? 1 : 0;
        return 1;
    }

    int insideEngine = 0;
};

class TestExerciseHandler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { UI::RegisterScreenMetaTypes(); }

    void answerReachesScreenOnGuiThread_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("GUI thread") << "gui";
        QTest::newRow("another thread") << "thread";
        QTest::newRow("timer thread (time-out)") << "timer";
        QTest::newRow("MIDI input thread (JACK keyboard)") << "keyboard";
    }
    void answerReachesScreenOnGuiThread()
    {
        QFETCH(QString, source);
        std::unique_ptr<TestKeyboard> keyboard;
        std::shared_ptr<SoundController> controller;
        if (source == QLatin1String("keyboard")) {
            if (qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER"))
                QSKIP("needs the test JACK server (run by ctest)");
            keyboard = std::make_unique<TestKeyboard>("Cantorela Handler Keyboard");
            SoundController::Options options;
            options.builtInSynthesizer = false;
            options.watchDevices = false;
            controller = std::make_shared<SoundController>(options);
            controller->RefreshDevices();
            QVERIFY(controller->SelectInputByName(keyboard->name));
            QVERIFY(WaitUntilHeard(*keyboard, *controller->CurrentInputDevice()) > 0);
        }
        TestScreen screen;
        screen.Load(NewLesson(source == QLatin1String("timer") ? 200 : 0), controller);
        QTRY_COMPARE(screen.exercise->GetState(), int(Exercise::AwaitingAnswer));
        if (source == QLatin1String("gui")) {
            screen.Call([&] { AnswerRight(*screen.exercise); });
            QCOMPARE(screen.answersSeen, 0); // not inside the judging call
        } else if (source == QLatin1String("thread")) {
            std::thread([&] { AnswerRight(*screen.exercise); }).join();
        } else if (keyboard) {
            keyboard->Send(MidiMessage(0x90, 0, 60, 90));
            keyboard->Send(MidiMessage(0x80, 0, 60, 0));
            QTRY_VERIFY(screen.notesSeen > 0);
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
                AnswerRight(*screen.exercise);
                screen.exercise->Next();
            }
        }).join();
        QCOMPARE(screen.statesRead.size(), 0); // nothing ran while this thread was busy
        QTRY_VERIFY(screen.statesRead.size() >= 6);
        QCOMPARE(screen.exercise->GetState(), int(Exercise::AwaitingAnswer));
        QCOMPARE(screen.statesRead, QVector<int>(screen.statesRead.size(), int(Exercise::AwaitingAnswer)));
        QCOMPARE(screen.answersSeen, 3);
    }

    // Another thread answers the first lesson all along, so that its reports are in flight while
    // the screen stops it, detaches and releases its handler for a second lesson. Then exactly one
    // handler is attached, to the second lesson; the first, restarted and still answered, reaches
    // the screen no more.
    void replacingTheExerciseWhileItReportsLeavesOneHandler()
    {
        TestScreen screen;
        auto first = NewLesson(0);
        screen.Load(first);
        std::atomic<bool> answering{true};
        std::thread player([&] {
            while (answering) {
                AnswerRight(*first);
                first->Next();
            }
        });
        QTRY_VERIFY(screen.answersSeen > 20);
        std::weak_ptr<TestScreen::Handler> firstHandler = screen.handler;
        screen.Load(NewLesson(0));
        QVERIFY(firstHandler.expired());
        QCOMPARE(first->Subject<LessonBaseObserver>::ObserverCount(), 0);
        QCOMPARE(first->Subject<ExerciseObserver>::ObserverCount(), 0);
        QCOMPARE(screen.exercise->Subject<LessonBaseObserver>::ObserverCount(), 1);
        QCOMPARE(screen.exercise->Subject<ExerciseObserver>::ObserverCount(), 1);

        QCoreApplication::processEvents(); // what was queued before the handler went
        const int seen = screen.answersSeen;
        first->Reset();
        first->Start();
        first->Next();
        const int answered = first->GetCounters().answered;
        QTRY_VERIFY(first->GetCounters().answered > answered + 20);
        answering = false;
        player.join();
        QCoreApplication::processEvents();
        QCOMPARE(screen.answersSeen, seen);
        QCOMPARE(screen.foreignThreadSlots, 0);
        QCOMPARE(screen.reentrantSlots, 0);

        // The second lesson works: its one right answer reaches the screen.
        QTRY_COMPARE(screen.exercise->GetState(), int(Exercise::AwaitingAnswer));
        screen.Call([&] { AnswerRight(*screen.exercise); });
        QTRY_COMPARE(screen.answersSeen, seen + 1);
        QCOMPARE(screen.exercise->GetCounters().correct, 1);
    }
};

QTEST_MAIN(TestExerciseHandler)
#include "test_exercise_handler.moc"

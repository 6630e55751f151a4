// The lesson loop against a real JACK server: a question's sound reaching an output port with
// the instrument's program change first, answers played on a keyboard port and echoed to the
// output, and a stress run with keys from the MIDI input thread, seeks and pauses from the main
// thread and time-outs from the timer thread at once.

#include "../midi/jack_test_ports.h"
#include "core/exercise/midi_answer_listener.h"
#include "core/midi/instrument_list.h"
#include "core/midi/sound_controller.h"
#include "test_trainer.h"

#include <QElapsedTimer>
#include <QtTest>

#include <random>
#include <thread>

using namespace Core;

namespace {

TestTrainer::SectionSpec SoundSection(int questions, int ms)
{
    TestTrainer::SectionSpec plan;
    plan.name = QStringLiteral("Chords by ear");
    plan.kind = QuestionRecord::NoteReadingQuestion;
    plan.answerModes = QuestionRecord::NotesMode | QuestionRecord::ChoiceMode;
    plan.items = {Item(0, {60, 64, 67}, 0.0, 0.1), Item(1, {62, 65, 69}, 0.0, 0.1),
                  Item(2, {64, 67, 71}, 0.0, 0.1), Item(3, {65, 69, 72}, 0.0, 0.1),
                  Item(4, {67, 71, 74}, 0.0, 0.1), Item(5, {69, 72, 76}, 0.0, 0.1)};
    plan.questionCount = questions;
    plan.msPerQuestion = ms;
    return plan;
}

SoundController::Options PortsOnly()
{
    SoundController::Options options;
    options.builtInSynthesizer = false;
    options.watchDevices = false;
    return options;
}

// A keyboard port, a synthesizer port, a controller that lists them and a trainer reporting to
// a recorder.
struct Rig
{
    explicit Rig(std::vector<TestTrainer::SectionSpec> sections)
        : controller(std::make_shared<SoundController>(PortsOnly())), trainer(std::move(sections))
    {
        controller->RefreshDevices();
        trainer.Attach(static_cast<ExerciseObserver*>(&recorder));
        trainer.Attach(static_cast<LessonBaseObserver*>(&recorder));
    }
    ~Rig()
    {
        trainer.Detach(static_cast<ExerciseObserver*>(&recorder));
        trainer.Detach(static_cast<LessonBaseObserver*>(&recorder));
    }
    // Selects both ports and hands the controller to the trainer.
    bool Connect()
    {
        for (int i = 0; i < controller->OutputCount(); ++i)
            if (controller->GetOutputDevice(i)->GetPortName() == synth.name)
                controller->SetCurrentOutputIndex(i);
        if (!controller->SelectInputByName(keyboard.name) || !controller->CurrentOutputDevice() ||
            controller->CurrentOutputDevice()->GetPortName() != synth.name)
            return false;
        trainer.SetSoundController(controller);
        // In this order: the keyboard's probes are echoed to the synthesizer port, and cleared
        // from it with the output's own.
        return WaitUntilHeard(keyboard, *controller->CurrentInputDevice()) > 0 &&
               WaitUntilConnected(*trainer.GetOutputDevice(), synth);
    }
    void Choose(int variant)
    {
        Core::Answer answer;
        answer.kind = Core::Answer::Choice;
        answer.variant = variant;
        trainer.Judge(answer);
    }
    TestKeyboard keyboard{"Cantorela Exercise Keyboard"};
    TestListener synth{"Cantorela Exercise Synth"};
    std::shared_ptr<SoundController> controller;
    ExerciseRecorder recorder;
    TestTrainer trainer;
};

// What the synthesizer port received apart from the controller changes, with how many of
// those came before the first of the rest. The rig's own probes (active sensing and its
// system-exclusive marker) are left out too: the keyboard's, echoed through the lesson's MIDI
// thru, may reach the port after the output's own probes were cleared from it.
QVector<MidiMessage> NotControls(TestListener& synth, int* controlsBefore = nullptr)
{
    QVector<MidiMessage> rest;
    for (const ReceivedMessage& r : synth.Received()) {
        if (r.message.status == 0xFE || r.message.status == 0xF0)
            continue;
        if (r.message.Type() != 0xB0)
            rest.append(r.message);
        else if (controlsBefore && rest.isEmpty())
            ++*controlsBefore;
    }
    return rest;
}

} // namespace

class TestExerciseMidi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(MidiBackend::Api(), RtMidi::UNIX_JACK);
        QVERIFY2(!qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER"),
                 "run by ctest against the test JACK server");
    }

    // The question sounds at the output port, its program change ahead of its notes; keys
    // played on the keyboard port answer it and are heard at the output after the question was
    // silenced once; a key between questions is heard but not taken.
    void questionSoundsAtThePortAndKeysAnswerIt()
    {
        Rig rig({SoundSection(3, 10000)});
        const int instrument = 9;
        rig.trainer.ApplyDurations(instrument);
        QVERIFY(rig.Connect());
        rig.trainer.Start();
        rig.trainer.Next();
        QTRY_COMPARE_WITH_TIMEOUT(rig.trainer.GetState(), int(Exercise::AwaitingAnswer), 5000);
        QVector<MidiMessage> sounded{InstrumentList::ProgramChange(instrument, 0)};
        QVector<int> asked;
        for (const MidiEvent& e : *rig.trainer.GetCurrentQuestion().AskedItem()->stream) {
            sounded.append(e.message);
            if (e.message.IsNoteOn())
                asked.append(e.message.byte1);
        }
        QCOMPARE(asked.size(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(NotControls(rig.synth), sounded, 5000);

        rig.synth.Clear();
        rig.keyboard.Send(MidiMessage(0x90, 0, quint8(asked[2]), 80));
        rig.keyboard.Send(MidiMessage(0x90, 0, quint8(asked[0]), 80));
        rig.keyboard.Send(MidiMessage(0x80, 0, quint8(asked[2]), 0));
        rig.keyboard.Send(MidiMessage(0x90, 0, quint8(asked[1]), 80));
        QTRY_COMPARE_WITH_TIMEOUT(rig.recorder.JudgedCount(), 1, 3000);
        QVERIFY(rig.recorder.JudgedAnswers().at(0).correct);
        const QVector<int> played{asked[2], asked[0], -asked[2], asked[1]};
        QCOMPARE(rig.recorder.Notes(), played);
        QCOMPARE(rig.trainer.GetState(), int(Exercise::BetweenQuestions));
        QTRY_COMPARE_WITH_TIMEOUT(NotControls(rig.synth).size(), 4, 3000);
        int silencing = 0;
        const QVector<MidiMessage> echoed = NotControls(rig.synth, &silencing);
        QCOMPARE(silencing, 48); // all sound off, controllers reset and volume on 16 channels
        QCOMPARE(rig.synth.Count(), 48 + 4);
        for (int i = 0; i < played.size(); ++i)
            QCOMPARE(int(echoed[i].byte1) * (echoed[i].IsNoteOn() ? 1 : -1), played[i]);

        rig.synth.Clear();
        rig.keyboard.Send(MidiMessage(0x90, 0, 50, 80));
        QTRY_COMPARE_WITH_TIMEOUT(rig.synth.Count(), 1, 3000);
        QCOMPARE(rig.recorder.Notes(), played);
    }

    // The listener follows the selected input; without a selected input, or in the symbol
    // trainer, there is none.
    void answerListenerFollowsTheSelectedKeyboard()
    {
        Rig rig({SoundSection(3, 10000)});
        TestKeyboard other("Cantorela Exercise Other Keyboard");
        rig.controller->RefreshDevices();
        QVERIFY(rig.Connect());
        auto listener = rig.trainer.GetAnswerListener();
        QVERIFY(listener);
        QCOMPARE(listener->Device()->GetPortName(), rig.keyboard.name);
        QVERIFY(rig.controller->SelectInputByName(other.name));
        rig.trainer.ApplyDurations();
        QCOMPARE(rig.trainer.GetAnswerListener(), listener);
        QCOMPARE(listener->Device()->GetPortName(), other.name);
        rig.controller->SetCurrentInputIndex(-1);
        rig.trainer.ApplyDurations();
        QVERIFY(!rig.trainer.GetAnswerListener());
        rig.trainer.Initialize(nullptr, SymbolTrainerIndex);
        QVERIFY(rig.controller->SelectInputByName(other.name));
        rig.trainer.ApplyDurations();
        QVERIFY(!rig.trainer.GetAnswerListener());
    }

    // Keys from the JACK input thread, seeks, pauses, restarts and resets from this thread and
    // time-outs from the timer thread, for several seconds. Must finish (no deadlock) and keep
    // the counters consistent; run under ThreadSanitizer by the sanitizer build.
    void keysSeeksAndTimeOutsFromThreeThreadsAtOnce()
    {
        TestTrainer::SectionSpec shown = SoundSection(400, 1000), unlimited = SoundSection(50, 0);
        shown.kind = QuestionRecord::SymbolQuestion;
        Rig rig({shown, SoundSection(400, 1000), unlimited});
        QVERIFY(rig.Connect());
        TestTrainer& trainer = rig.trainer;
        std::atomic<bool> playing{true};
        std::atomic<bool> quiet{false}; // nobody answers: the timer's time-outs judge
        std::atomic<int> sent{0};
        std::thread player([&] {
            std::mt19937 random(12345);
            while (playing) {
                // Paces the keys like a player; not a synchronisation.
                std::this_thread::sleep_for(std::chrono::milliseconds(quiet ? 5 : 1 + random() % 8));
                if (quiet)
                    continue;
                const quint8 note = quint8(55 + random() % 25);
                rig.keyboard.Send(MidiMessage(0x90, 0, note, quint8(random() % 3 == 0 ? 0 : 90)));
                rig.keyboard.Send(MidiMessage(0x80, 0, note, 0));
                ++sent;
            }
        });
        auto goOn = [&] {
            if (trainer.GetState() == Exercise::LessonEnd || trainer.GetState() == Exercise::NotStarted) {
                trainer.Reset();
                trainer.Start();
            }
            if (trainer.GetPlayState() != LessonBase::Running)
                trainer.Pause(false);
            if (trainer.GetState() == Exercise::BetweenQuestions)
                trainer.Next();
        };

        std::mt19937 random(54321);
        trainer.Start();
        trainer.Next();
        QElapsedTimer clock;
        clock.start();
        int operations = 0;
        while (clock.elapsed() < 6000) {
            QTest::qWait(int(random() % 4));
            // Every other 1.5 s nothing answers, so questions time out on the timer thread.
            const bool wasQuiet = quiet;
            quiet = (clock.elapsed() / 1500) % 2 == 1;
            if (quiet && !wasQuiet)
                trainer.JumpToSection(0); // a section with a time limit
            switch (quiet ? -1 : int(random() % 12)) {
            case 0:
            case 1:
                trainer.Pause(random() % 2 == 0);
                break;
            case 2:
                trainer.BeginSeek();
                trainer.Seek(int(random() % unsigned(trainer.GetTimeLine()->TotalLength())));
                trainer.EndSeek();
                break;
            case 3:
                trainer.RestartQuestion();
                break;
            case 4:
                if (random() % 20 == 0) {
                    trainer.Reset();
                    trainer.Start();
                }
                break;
            case 5:
                rig.Choose(int(random() % 6));
                break;
            case 6:
                trainer.JumpToSection(int(random() % 3));
                break;
            default:
                goOn();
            }
            const auto counters = trainer.GetCounters();
            QVERIFY(counters.correct <= counters.answered && counters.answered <= counters.asked);
            QVERIFY(counters.sectionAsked <= counters.asked);
            ++operations;
        }
        playing = false;
        player.join();
        QVERIFY(WaitUntilHeard(rig.keyboard, *rig.controller->CurrentInputDevice()) > 0); // keys drained
        QVERIFY(sent > 100 && operations > 100);
        int timeOuts = 0;
        for (const auto& judged : rig.recorder.JudgedAnswers())
            timeOuts += judged.answer.kind == Answer::NoAnswer ? 1 : 0;
        QVERIFY2(timeOuts > 0, "no question timed out");
        QVERIFY(rig.recorder.JudgedCount() > timeOuts);
        for (int state : rig.recorder.States())
            QVERIFY(state >= Exercise::NotStarted && state <= Exercise::LessonEnd);

        // Still a working lesson afterwards, counting what it is given.
        trainer.Reset();
        rig.recorder.Clear();
        trainer.Start();
        trainer.Next();
        QCOMPARE(trainer.GetState(), int(Exercise::AwaitingAnswer));
        rig.Choose(trainer.GetCurrentQuestion().correctIndex);
        QCOMPARE(rig.recorder.JudgedCount(), 1);
        QCOMPARE(trainer.GetCounters().correct, 1);
        QCOMPARE(trainer.GetCounters().answered, 1);
    }
};

QTEST_GUILESS_MAIN(TestExerciseMidi)
#include "test_exercise_midi.moc"

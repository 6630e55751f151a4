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

SoundController::Options PortsOnly()
{
    SoundController::Options options;
    options.builtInSynthesizer = false;
    options.watchDevices = false;
    return options;
}

int OutputIndexOf(const SoundController& controller, const QString& name)
{
    for (int i = 0; i < controller.OutputCount(); ++i)
        if (controller.GetOutputDevice(i)->GetPortName() == name)
            return i;
    return -1;
}

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

struct Rig
{
    Rig()
        : keyboard("Cantorela Exercise Keyboard"), synth("Cantorela Exercise Synth"), controller(PortsOnly())
    {
        controller.RefreshDevices();
    }
    bool Select()
    {
        if (!controller.SelectInputByName(keyboard.name))
            return false;
        const int out = OutputIndexOf(controller, synth.name);
        if (out < 0)
            return false;
        controller.SetCurrentOutputIndex(out);
        return true;
    }
    TestKeyboard keyboard;
    TestListener synth;
    SoundController controller;
};

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
    // played on the keyboard port answer it and are heard at the output; only the first key
    // silences the question.
    void soundAndAnswerThroughPorts()
    {
        auto rig = std::make_unique<Rig>();
        QVERIFY(rig->Select());
        auto controller = std::shared_ptr<SoundController>(&rig->controller, [](SoundController*) {});
        ExerciseRecorder recorder;
        TestTrainer trainer({SoundSection(3, 10000)});
        trainer.Attach(static_cast<ExerciseObserver*>(&recorder));
        trainer.Attach(static_cast<LessonBaseObserver*>(&recorder));
        const int instrument = 9; // Percussive Organ
        trainer.ApplyDurations(instrument);
        trainer.SetSoundController(controller);
        QVERIFY(trainer.GetAnswerListener());
        QVERIFY(trainer.GetOutputDevice());
        QVERIFY(WaitUntilConnected(*trainer.GetOutputDevice(), rig->synth));
        QVERIFY(WaitUntilHeard(rig->keyboard, *rig->controller.CurrentInputDevice()) > 0);

        trainer.Start();
        trainer.Next();
        const QuestionRecord question = trainer.GetCurrentQuestion();
        QVector<int> expected;
        for (const MidiEvent& e : *question.AskedItem()->stream)
            if (e.message.IsNoteOn())
                expected.append(e.message.byte1);
        QCOMPARE(expected.size(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(trainer.GetState(), int(Exercise::AwaitingAnswer), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(rig->synth.Count() >= 48 + 1 + 6, 5000);

        QVector<MidiMessage> heard;
        for (const auto& r : rig->synth.Received())
            if (r.message.Type() != 0xB0 && r.message.status != 0xFE)
                heard.append(r.message);
        QVERIFY(heard.size() >= 4);
        QCOMPARE(heard[0], InstrumentList::ProgramChange(instrument, 0));
        QCOMPARE(int(heard[0].byte1), InstrumentList::GeneralMidiProgram(instrument));
        QVector<int> sounded;
        for (int i = 1; i < heard.size(); ++i)
            if (heard[i].IsNoteOn())
                sounded.append(heard[i].byte1);
        QCOMPARE(sounded, expected);

        // Answer key by key on the keyboard port, once the question's last messages are in.
        QTRY_VERIFY_WITH_TIMEOUT(rig->synth.Count() >= 48 + 1 + 6, 5000);
        QTest::qWait(300);
        rig->synth.Clear();
        rig->keyboard.Send(MidiMessage(0x90, 0, quint8(expected[2]), 80));
        QTRY_COMPARE_WITH_TIMEOUT(recorder.Notes().size(), 1, 3000);
        QCOMPARE(recorder.JudgedCount(), 0);
        rig->keyboard.Send(MidiMessage(0x90, 0, quint8(expected[0]), 80));
        rig->keyboard.Send(MidiMessage(0x80, 0, quint8(expected[2]), 0));
        rig->keyboard.Send(MidiMessage(0x90, 0, quint8(expected[1]), 80));
        QTRY_COMPARE_WITH_TIMEOUT(recorder.JudgedCount(), 1, 3000);
        QVERIFY(recorder.JudgedAnswers().at(0).correct);
        QCOMPARE(recorder.Notes(), (QVector<int>{expected[2], expected[0], -expected[2], expected[1]}));
        QCOMPARE(trainer.GetState(), int(Exercise::BetweenQuestions));

        // Every key was echoed; the question was silenced once, before the first echo.
        QTRY_VERIFY_WITH_TIMEOUT(rig->synth.Count() >= 48 + 4, 3000);
        const auto received = rig->synth.Received();
        int resets = 0;
        int firstNote = -1;
        int lastReset = -1;
        QVector<int> echoed;
        for (int i = 0; i < received.size(); ++i) {
            const MidiMessage& m = received[i].message;
            if (m.Type() == 0xB0) {
                ++resets;
                lastReset = i;
            } else if (m.IsNoteOn() || m.IsNoteOff()) {
                if (firstNote < 0)
                    firstNote = i;
                echoed.append(m.IsNoteOn() ? m.byte1 : -m.byte1);
            }
        }
        QCOMPARE(resets, 48);
        QVERIFY(lastReset < firstNote);
        QCOMPARE(echoed, (QVector<int>{expected[2], expected[0], -expected[2], expected[1]}));

        // A key between questions is heard but neither judged nor notified.
        rig->synth.Clear();
        rig->keyboard.Send(MidiMessage(0x90, 0, 50, 80));
        QTRY_COMPARE_WITH_TIMEOUT(rig->synth.Count(), 1, 3000);
        QCOMPARE(recorder.Notes().size(), 4);

        trainer.Detach(static_cast<ExerciseObserver*>(&recorder));
        trainer.Detach(static_cast<LessonBaseObserver*>(&recorder));
    }

    // The listener follows the selected input: rebinding moves it to another keyboard; without a
    // selected input there is none.
    void listenerFollowsSelection()
    {
        auto rig = std::make_unique<Rig>();
        TestKeyboard other("Cantorela Exercise Other Keyboard");
        rig->controller.RefreshDevices();
        QVERIFY(rig->Select());
        auto controller = std::shared_ptr<SoundController>(&rig->controller, [](SoundController*) {});
        TestTrainer trainer({SoundSection(3, 10000)});
        trainer.SetSoundController(controller);
        auto listener = trainer.GetAnswerListener();
        QVERIFY(listener);
        QCOMPARE(listener->Device()->GetPortName(), rig->keyboard.name);
        QVERIFY(rig->controller.SelectInputByName(other.name));
        trainer.ApplyDurations();
        QCOMPARE(trainer.GetAnswerListener(), listener);
        QCOMPARE(listener->Device()->GetPortName(), other.name);
        rig->controller.SetCurrentInputIndex(-1);
        trainer.ApplyDurations();
        QVERIFY(!trainer.GetAnswerListener());
        trainer.Initialize(nullptr, SymbolTrainerIndex);
        QVERIFY(rig->controller.SelectInputByName(other.name));
        trainer.ApplyDurations();
        QVERIFY(!trainer.GetAnswerListener()); // the symbol trainer takes no keys
    }

    // Keys from the JACK input thread, seeks, pauses, restarts and resets from this thread and
    // time-outs from the timer thread, for several seconds. Must finish (no deadlock) and keep
    // the counters consistent; run under ThreadSanitizer by the sanitizer build.
    void stress()
    {
        auto rig = std::make_unique<Rig>();
        QVERIFY(rig->Select());
        auto controller = std::shared_ptr<SoundController>(&rig->controller, [](SoundController*) {});
        ExerciseRecorder recorder;
        TestTrainer::SectionSpec shown = SoundSection(400, 1000);
        shown.name = QStringLiteral("Shown");
        shown.kind = QuestionRecord::SymbolQuestion;
        TestTrainer::SectionSpec unlimited = SoundSection(50, 0);
        unlimited.name = QStringLiteral("Unlimited");
        TestTrainer trainer({shown, SoundSection(400, 1000), unlimited});
        trainer.Attach(static_cast<ExerciseObserver*>(&recorder));
        trainer.Attach(static_cast<LessonBaseObserver*>(&recorder));
        trainer.SetSoundController(controller);
        QVERIFY(WaitUntilHeard(rig->keyboard, *rig->controller.CurrentInputDevice()) > 0);

        std::atomic<bool> playing{true};
        std::atomic<bool> quiet{false}; // nobody answers: the timer's time-outs judge
        std::atomic<int> sent{0};
        std::thread player([&] {
            std::mt19937 random(12345);
            while (playing) {
                if (quiet) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    continue;
                }
                const quint8 note = quint8(55 + random() % 25);
                rig->keyboard.Send(MidiMessage(0x90, 0, note, quint8(random() % 3 == 0 ? 0 : 90)));
                rig->keyboard.Send(MidiMessage(0x80, 0, note, 0));
                ++sent;
                std::this_thread::sleep_for(std::chrono::milliseconds(1 + random() % 8));
            }
        });

        std::mt19937 random(54321);
        trainer.Start();
        trainer.Next();
        QElapsedTimer clock;
        clock.start();
        int operations = 0;
        while (clock.elapsed() < 6000) {
            QTest::qWait(int(random() % 4));
            const int state = trainer.GetState();
            // Every other 1.5 s nothing answers, so questions time out on the timer thread.
            const bool wasQuiet = quiet;
            quiet = (clock.elapsed() / 1500) % 2 == 1;
            if (quiet && !wasQuiet)
                trainer.JumpToSection(0); // a section with a time limit
            if (quiet) {
                if (trainer.GetPlayState() != LessonBase::Running)
                    trainer.Pause(false);
                if (state == Exercise::LessonEnd || state == Exercise::NotStarted) {
                    trainer.Reset();
                    trainer.Start();
                }
                if (trainer.GetState() == Exercise::BetweenQuestions)
                    trainer.Next();
                continue;
            }
            switch (random() % 12) {
            case 0:
                trainer.Pause(true);
                break;
            case 1:
                trainer.Pause(false);
                break;
            case 2: {
                auto timeline = trainer.GetTimeLine();
                trainer.BeginSeek();
                trainer.Seek(int(random() % unsigned(timeline->TotalLength())));
                trainer.EndSeek();
                break;
            }
            case 3:
                trainer.RestartQuestion();
                break;
            case 4:
                if (random() % 20 == 0) {
                    trainer.Reset();
                    trainer.Start();
                }
                break;
            case 5: {
                Answer answer;
                answer.kind = Answer::Choice;
                answer.variant = int(random() % 6);
                trainer.Judge(answer);
                break;
            }
            case 6:
                trainer.JumpToSection(int(random() % 3));
                break;
            default:
                if (state == Exercise::LessonEnd || state == Exercise::NotStarted) {
                    trainer.Reset();
                    trainer.Start();
                }
                if (trainer.GetPlayState() != LessonBase::Running)
                    trainer.Pause(false);
                if (trainer.GetState() == Exercise::BetweenQuestions)
                    trainer.Next();
                break;
            }
            const auto counters = trainer.GetCounters();
            QVERIFY(counters.correct <= counters.answered);
            QVERIFY(counters.answered <= counters.asked);
            QVERIFY(counters.sectionAsked <= counters.asked);
            ++operations;
        }
        playing = false;
        player.join();
        QTest::qWait(200); // keys still on their way through JACK
        QVERIFY(sent > 100);
        QVERIFY(operations > 100);
        QVERIFY(recorder.JudgedCount() > 0);
        int timeOuts = 0;
        for (const auto& judged : recorder.JudgedAnswers())
            if (judged.answer.kind == Answer::NoAnswer)
                ++timeOuts;
        QVERIFY2(timeOuts > 0, "no question timed out");
        for (int state : recorder.States())
            QVERIFY(state >= 0 && state <= 4);

        // Still a working lesson afterwards.
        trainer.Reset();
        recorder.Clear();
        trainer.Start();
        trainer.Next();
        QCOMPARE(trainer.GetState(), int(Exercise::AwaitingAnswer));
        Answer answer;
        answer.kind = Answer::Choice;
        answer.variant = trainer.GetCurrentQuestion().correctIndex;
        trainer.Judge(answer);
        QVERIFY(recorder.JudgedCount() >= 1);
        trainer.Detach(static_cast<ExerciseObserver*>(&recorder));
        trainer.Detach(static_cast<LessonBaseObserver*>(&recorder));
    }
};

QTEST_GUILESS_MAIN(TestExerciseMidi)
#include "test_exercise_midi.moc"

// The lesson loop against a real JACK server: sounding, answering by keys, three threads at once.

#include "../midi/jack_test_ports.h"
#include "core/exercise/answer_log.h"
#include "core/exercise/midi_answer_listener.h"
#include "core/midi/instrument_list.h"
#include "core/midi/sound_controller.h"
#include "test_trainer.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <random>
#include <thread>

using namespace Core;

constexpr int Sounded = QuestionRecord::NoteReadingQuestion;
// Neither the built-in synthesizer nor device watching: the test's own ports only.
const SoundController::Options PortsOnly{false, nullptr, false};

// A keyboard port, a synthesizer port, a controller that lists them, and a trainer.
struct Rig
{
    explicit Rig(std::vector<TestTrainer::SectionSpec> sections)
        : controller(std::make_shared<SoundController>(PortsOnly)), trainer(std::move(sections))
    {
        controller->RefreshDevices();
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
        // In this order: the keyboard's probes echo to the synth port; the output's clear them.
        return WaitUntilHeard(keyboard, *controller->CurrentInputDevice()) > 0 &&
               WaitUntilConnected(*trainer.GetOutputDevice(), synth);
    }
    TestKeyboard keyboard{"Cantorela Exercise Keyboard"};
    TestListener synth{"Cantorela Exercise Synth"};
    std::shared_ptr<SoundController> controller;
    TestTrainer trainer;
};

// What the synth port received but controller changes (counted up to the first of the rest) and
// probes (0xFE, 0xF0), which the lesson's MIDI thru may echo after the output's were cleared.
static QVector<MidiMessage> NotControls(TestListener& synth, int* controlsBefore = nullptr)
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

    // Catches notes before the program change, keys not answering or echoed before the question
    // is silenced, a key taken between questions, a listener with no input or in the symbol trainer.
    void questionSoundsAtThePortAndKeysAnswerIt()
    {
        Rig rig({Section(3, 10000, Sounded, true)});
        rig.trainer.ApplyDurations(9); // the instrument
        QVERIFY(rig.Connect());
        QCOMPARE(rig.trainer.GetAnswerListener()->Device()->GetPortName(), rig.keyboard.name);
        rig.trainer.Begin();
        QTRY_COMPARE_WITH_TIMEOUT(rig.trainer.GetState(), int(Exercise::AwaitingAnswer), 5000);
        QVector<MidiMessage> sounded{InstrumentList::ProgramChange(9, 0)};
        QVector<int> asked;
        for (const MidiEvent& e : *rig.trainer.GetCurrentQuestion().AskedItem()->stream) {
            sounded.append(e.message);
            if (e.message.IsNoteOn())
                asked.append(e.message.byte1);
        }
        QCOMPARE(asked.size(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(NotControls(rig.synth), sounded, 5000);

        rig.synth.Clear();
        const QVector<int> played{asked[2], asked[0], -asked[2], asked[1]}; // -: released
        for (int n : played)
            rig.keyboard.Send(MidiMessage(n > 0 ? 0x90 : 0x80, 0, quint8(std::abs(n)), n > 0 ? 80 : 0));
        QTRY_COMPARE_WITH_TIMEOUT(rig.trainer.recorder.Seen().judged.size(), 1, 3000);
        QVERIFY(rig.trainer.recorder.Seen().judged.at(0).correct);
        QCOMPARE(rig.trainer.recorder.Seen().notes, played);
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
        QCOMPARE(rig.trainer.recorder.Seen().notes, played);

        rig.controller->SetCurrentInputIndex(-1);
        rig.trainer.ApplyDurations();
        QVERIFY(!rig.trainer.GetAnswerListener());
        rig.trainer.Initialize(nullptr, SymbolTrainerIndex);
        QVERIFY(rig.controller->SelectInputByName(rig.keyboard.name));
        rig.trainer.ApplyDurations();
        QVERIFY(!rig.trainer.GetAnswerListener());
    }

    // Keys (JACK thread), seeks and resets (here) and time-outs (timer thread) at once, every
    // judgement appended to the answer log from whichever thread made it: catches a deadlock,
    // inconsistent counters or a lost answer; run under ThreadSanitizer by the sanitizer build.
    void keysSeeksAndTimeOutsFromThreeThreadsAtOnce()
    {
        Rig rig({Section(400, 1000, QuestionRecord::SymbolQuestion), Section(400, 1000, Sounded, true),
                 Section(50, 0, Sounded, true)});
        QVERIFY(rig.Connect());
        TestTrainer& trainer = rig.trainer;
        QTemporaryDir data;
        QVERIFY(data.isValid());
        auto log = std::make_shared<AnswerLog>(data.filePath(QLatin1String(AnswerLog::FileName)));
        trainer.SetAnswerLog(log);
        std::atomic<bool> playing{true}, quiet{false}; // quiet: nobody answers, the timer's time-outs judge
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
        std::mt19937 random(54321);
        trainer.Begin();
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
            const int move = quiet ? -1 : int(random() % 12);
            if (move == 0 || move == 1) {
                trainer.Pause(random() % 2 == 0);
            } else if (move == 2) {
                trainer.BeginSeek();
                trainer.Seek(int(random() % unsigned(trainer.GetTimeLine()->TotalLength())));
                trainer.EndSeek();
            } else if (move == 3) {
                trainer.RestartQuestion();
            } else if (move == 4 && random() % 20 == 0) {
                trainer.Reset(); // started again by the next move on
            } else if (move == 5) {
                trainer.Judge(Choice(int(random() % 6)));
            } else if (move == 6) {
                trainer.JumpToSection(int(random() % 3));
            } else if (move > 6 || move < 0) { // moves on, as the screen does (always when quiet)
                if (trainer.GetState() == Exercise::LessonEnd || trainer.GetState() == Exercise::NotStarted) {
                    trainer.Reset();
                    trainer.Start();
                }
                if (trainer.GetPlayState() != LessonBase::Running)
                    trainer.Pause(false);
                if (trainer.GetState() == Exercise::BetweenQuestions)
                    trainer.Next();
            }
            const auto counters = trainer.GetCounters();
            QVERIFY(counters.correct <= counters.answered && counters.answered <= counters.asked &&
                    counters.sectionAsked <= counters.asked);
            ++operations;
        }
        playing = false;
        player.join();
        QVERIFY(WaitUntilHeard(rig.keyboard, *rig.controller->CurrentInputDevice()) > 0); // keys drained
        QVERIFY(sent > 100 && operations > 100);
        const auto judged = trainer.recorder.Seen().judged;
        const auto timeOuts = std::count_if(judged.begin(), judged.end(),
                                            [](const auto& j) { return j.answer.kind == Answer::NoAnswer; });
        QVERIFY2(timeOuts > 0, "no question timed out");
        QVERIFY(judged.size() > timeOuts);
        QVERIFY(log->Flush());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(log->Path());
            QVERIFY(db.open());
            QSqlQuery rows(QStringLiteral("SELECT count(*), sum(outcome = 2) FROM answers"), db);
            QVERIFY(rows.next());
            QCOMPARE(rows.value(0).toInt(), judged.size());
            QCOMPARE(rows.value(1).toInt(), int(timeOuts));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));

        // Still a working lesson afterwards, counting what it is given.
        trainer.Reset();
        trainer.Begin();
        QCOMPARE(trainer.GetState(), int(Exercise::AwaitingAnswer));
        trainer.Judge(Choice(trainer.GetCurrentQuestion().correctIndex));
        QCOMPARE(trainer.recorder.Seen().judged.size(), judged.size() + 1);
        QCOMPARE(std::make_pair(trainer.GetCounters().correct, trainer.GetCounters().answered),
                 std::make_pair(1, 1));
    }
};

QTEST_GUILESS_MAIN(TestExerciseMidi)
#include "test_exercise_midi.moc"

// MIDI values, input and output devices over real JACK MIDI ports, the device connector and
// timed stream replay.

#include "core/midi/midi_device_connector.h"
#include "core/midi/midi_in_stream_device_auto.h"
#include "jack_test_ports.h"

#include <QtTest>

#include <atomic>
#include <thread>

using namespace Core;

namespace {

class FinishedCounter : public MidiInStreamDeviceObserver
{
public:
    void OnStreamFinished() override { ++count; }
    std::atomic<int> count{0};
};

MidiEvent At(double seconds, const MidiMessage& message)
{
    return MidiEvent{message, qint32(seconds * MidiEvent::TicksPerSecond), seconds};
}

// An input device on a keyboard port of its own, once it hears the port.
struct KeyboardInput
{
    KeyboardInput() : device(unsigned(keyboard.InputIndex())) { base = WaitUntilHeard(keyboard, device); }
    TestKeyboard keyboard{"Cantorela Test Keyboard"};
    MidiInRtDevice device;
    int base; // events in the log before the test's own, -1 when the port was never heard
};

} // namespace

class TestMidiDevices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(MidiBackend::Api(), RtMidi::UNIX_JACK);
        QVERIFY2(!qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER"),
                 "run by ctest against the test JACK server");
    }

    void keyVelocityIsScaledForObserversOnly_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("velocity");
        QTest::addColumn<int>("heard");
        QTest::newRow("unscaled") << 1.0 << 101 << 101;
        QTest::newRow("half truncates") << 0.5 << 101 << 50;
        QTest::newRow("half of 1 is 0") << 0.5 << 1 << 0;
        QTest::newRow("above 1 clamps") << 1.7 << 127 << 127;
        QTest::newRow("below 0 clamps") << -0.2 << 64 << 0;
        QTest::newRow("NaN clamps to 0") << qQNaN() << 64 << 0;
    }
    // The log and the note table keep what the keyboard played; a note-off keeps its velocity.
    void keyVelocityIsScaledForObserversOnly()
    {
        QFETCH(double, scale);
        QFETCH(int, velocity);
        QFETCH(int, heard);
        KeyboardInput input;
        QVERIFY(input.base > 0);
        RecordingObserver observer;
        input.device.Attach(&observer);
        input.device.SetVelocityScale(scale);
        input.keyboard.Send(MidiMessage(0x90, 2, 60, quint8(velocity)));
        input.keyboard.Send(MidiMessage(0x80, 2, 61, quint8(velocity)));
        QTRY_COMPARE(observer.Count(), 2);
        QCOMPARE(observer.Events().at(0).message, MidiMessage(0x90, 2, 60, quint8(heard)));
        QCOMPARE(observer.Events().at(1).message, MidiMessage(0x80, 2, 61, quint8(velocity)));
        QCOMPARE(int(input.device.GetEventLog().at(input.base).message.byte2), velocity);
        quint8 row[MidiInDevice::Notes];
        input.device.GetNoteState(2, row);
        QCOMPARE(int(row[60]), velocity);
        input.device.Detach(&observer);
    }

    // Readers on another thread while messages arrive on channel 1: the note table and the log stay
    // whole. Then what the note table of channels 0 and 15 holds, until the device is reopened.
    void noteTableHoldsSoundingKeysUntilReopened()
    {
        KeyboardInput input;
        QVERIFY(input.base > 0);
        std::atomic<bool> done{false};
        std::thread reader([&] {
            quint8 row[MidiInDevice::Notes];
            while (!done) {
                input.device.GetNoteState(1, row);
                (void)input.device.GetEventLog().size();
                std::this_thread::yield();
            }
        });
        // In bursts, each waited for: a JACK period carries a bounded amount of MIDI.
        bool arrived = true;
        for (int burst = 0; burst < 20 && arrived; ++burst) {
            for (int n = burst * 10; n < burst * 10 + 10; ++n)
                input.keyboard.Send(MidiMessage(0x90, 1, quint8(40 + n % 40), quint8(1 + n % 120)));
            arrived = QTest::qWaitFor(
                [&] { return input.device.GetEventLog().size() == input.base + (burst + 1) * 10; }, 5000);
        }
        done = true;
        reader.join();
        QVERIFY(arrived);
        QVector<MidiEvent> log = input.device.GetEventLog();
        for (int n = 0; n < 200; ++n)
            QCOMPARE(int(log[input.base + n].message.byte2), 1 + n % 120);

        input.base += 200;
        const QVector<MidiMessage> played = {
            MidiMessage(0x90, 0, 60, 100), MidiMessage(0x90, 0, 62, 90), MidiMessage(0x80, 0, 60, 64), // off
            MidiMessage(0x90, 0, 62, 0),   // on with velocity 0: off as well
            MidiMessage(0xA0, 0, 64, 33),  // poly pressure is stored
            MidiMessage(0x90, 0, 125, 70), // beyond the table: logged, not stored
            MidiMessage(0xB0, 0, 65, 99),  // other types leave the table alone
            MidiMessage(0x90, 15, 21, 11)};
        for (const MidiMessage& m : played)
            input.keyboard.Send(m);
        const unsigned char sysex[] = {0xf0, 0x7e, 0x7f, 0x09, 0x01, 0xf7}; // logged by its first three bytes
        input.keyboard.out.sendMessage(sysex, sizeof sysex);
        QTRY_COMPARE(input.device.GetEventLog().size(), input.base + played.size() + 1);
        quint8 row[MidiInDevice::Notes];
        input.device.GetNoteState(0, row);
        QCOMPARE((QVector<int>{row[60], row[62], row[64], row[65]}), (QVector<int>{0, 0, 33, 0}));
        input.device.GetNoteState(15, row);
        QCOMPARE(int(row[21]), 11);
        input.device.GetNoteState(16, row); // no such channel
        QCOMPARE(int(row[21]), 0);
        log = input.device.GetEventLog();
        for (int i = 0; i < played.size(); ++i)
            QCOMPARE(log[input.base + i].message, played[i]);
        QCOMPARE(log.last().message, MidiMessage(sysex, 3));
        for (int i = 1; i < log.size(); ++i)
            QVERIFY(log[i].seconds >= log[i - 1].seconds && log[i].tick >= log[i - 1].tick);

        input.device.Close();
        QVERIFY(!input.device.IsOpen());
        input.device.Open();
        QVERIFY(input.device.IsOpen());
        input.device.GetNoteState(15, row);
        QCOMPARE(int(row[21]), 0);
    }

    // Once the ports of earlier tests are gone, only the test's own port is listed.
    void portIndexPastTheLastDoesNotOpen()
    {
        TestKeyboard keyboard("Cantorela Test Keyboard");
        TestListener listener("Cantorela Test Listener");
        QTRY_COMPARE(MidiInRtDevice::GetPortNames(), QStringList{keyboard.name});
        QVERIFY(MidiInRtDevice(0).IsOpen());
        QVERIFY(!MidiInRtDevice(1).IsOpen());
        QTRY_COMPARE(MidiOutRtDevice::GetPortNames(), QStringList{listener.name});
        QVERIFY(MidiOutRtDevice(0).IsOpen());
        MidiOutRtDevice missing(1);
        QVERIFY(!missing.IsOpen());
        missing.Send(MidiMessage(0x90, 0, 60, 100)); // goes nowhere, without failing
    }

    // Two notes 0.5 s apart leave about 500 ms apart, note-ons at the device's velocity scale;
    // the finish is told once; Play replays.
    void streamReplaysOnTimeAndFinishesOnce()
    {
        TestListener listener("Cantorela Test Listener");
        auto output = std::make_shared<MidiOutRtDevice>(unsigned(listener.OutputIndex()));
        QVERIFY(WaitUntilConnected(*output, listener));
        auto stream = std::make_shared<MidiStream>(
            MidiStream{At(-1.0, MidiMessage(0xC0, 0, 0)), At(0.0, MidiMessage(0x90, 0, 60, 96)),
                       At(0.5, MidiMessage(0x90, 0, 64, 97)), At(0.5, MidiMessage(0x80, 0, 60, 96))});
        auto device = std::make_shared<MidiInStreamDeviceAuto>(stream);
        device->SetVelocityScale(0.5);
        MidiDeviceConnector connector(device, output);
        FinishedCounter finished;
        device->Attach(&finished);
        for (int round = 1; round <= 2; ++round) {
            listener.Clear();
            device->Play();
            QTRY_COMPARE_WITH_TIMEOUT(listener.Count(), 4, 5000);
            QTRY_COMPARE(finished.count.load(), round);
            const QVector<ReceivedMessage> got = listener.Received();
            QCOMPARE(got[0].message, MidiMessage(0xC0, 0, 0));
            QCOMPARE(got[1].message, MidiMessage(0x90, 0, 60, 48));
            QCOMPARE(got[2].message, MidiMessage(0x90, 0, 64, 48));
            QCOMPARE(got[3].message, MidiMessage(0x80, 0, 60, 96));
            const double gapMs = double(got[2].arrivalNs - got[1].arrivalNs) / 1e6;
            // Wide for loaded machines and sanitizer builds; bench/playback_timing measures timing.
            QVERIFY2(gapMs > 400 && gapMs < 900, qPrintable(QString::number(gapMs)));
            QVERIFY(!device->IsPlaying() && device->IsAtEnd());
        }
        device->Detach(&finished);
    }

    // An empty stream plays alongside and never releases or finishes anything.
    void seekAndOpenDecideWherePlayGoesOn()
    {
        auto stream = std::make_shared<MidiStream>();
        for (int i = 0; i < 4; ++i)
            stream->append(At(0.05 * i, MidiMessage(0x90, 0, quint8(60 + i), 80)));
        RecordingObserver observer, silent;
        FinishedCounter finished, emptyFinished;
        MidiInStreamDeviceAuto device(stream), empty(std::make_shared<MidiStream>()); // gone first
        device.Attach(&observer);
        device.Attach(&finished);
        empty.Attach(&silent);
        empty.Attach(&emptyFinished);
        empty.Play();

        device.Seek(100000); // past the last event: Play starts from the first
        QVERIFY(device.IsAtEnd());
        device.Play();
        QTRY_COMPARE(finished.count.load(), 1);
        QCOMPARE(observer.Count(), 4);
        QCOMPARE(int(observer.Events().at(0).message.byte1), 60);

        device.Seek(stream->at(2).tick); // into the middle: Play goes on from there
        QVERIFY(!device.IsAtEnd());
        device.Play();
        QTRY_COMPARE(finished.count.load(), 2);
        QCOMPARE(observer.Count(), 6);
        QCOMPARE(int(observer.Events().at(4).message.byte1), 62);

        // Open stops at once, without a finish.
        device.SetStream(std::make_shared<MidiStream>(
            MidiStream{At(0.0, MidiMessage(0x90, 0, 70, 80)), At(10.0, MidiMessage(0x90, 0, 71, 80))}));
        device.Play();
        QTRY_COMPARE(observer.Count(), 7);
        device.Open();
        QVERIFY(!device.IsPlaying() && device.IsAtEnd());
        QCOMPARE(device.PlayTime(), 0.0);
        QCOMPARE(finished.count.load(), 2);
        QCOMPARE(silent.Count(), 0);
        QCOMPARE(emptyFinished.count.load(), 0);
    }

    // Connectors made and destroyed while the stream device releases events on the timer
    // thread: nothing reaches the output once the last one is gone.
    void connectorDestroyedDuringReplaySendsNothingAfter()
    {
        auto stream = std::make_shared<MidiStream>();
        for (int i = 0; i < 8000; ++i)
            stream->append(At(0.0005 * i, MidiMessage(0x90, 0, quint8(i % 100), 80)));
        auto device = std::make_shared<MidiInStreamDeviceAuto>(stream);
        class CountingOutput : public MidiOutDevice
        {
        public:
            QString GetPortName() override { return QStringLiteral("counting"); }
            void Open() override {}
            void Send(const MidiMessage&) override { ++sent; }
            std::atomic<int> sent{0};
        };
        auto output = std::make_shared<CountingOutput>();
        device->Play();
        for (int i = 0; i < 30; ++i) {
            const int before = output->sent;
            auto connector = std::make_unique<MidiDeviceConnector>(device, output);
            QVERIFY(QTest::qWaitFor([&] { return output->sent > before; }, 2000));
        }
        const int sent = output->sent;
        const int released = device->GetEventLog().size();
        QVERIFY(QTest::qWaitFor([&] { return device->GetEventLog().size() > released + 20; }, 2000));
        QCOMPARE(output->sent.load(), sent);
    }
};

QTEST_GUILESS_MAIN(TestMidiDevices)
#include "test_midi_devices.moc"

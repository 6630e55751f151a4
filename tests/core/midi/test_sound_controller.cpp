// The sound controller over a real JACK server: ports the test opens and closes as keyboards
// come and go, selection by name, the outputs with the built-in synthesizer first, our own
// ports kept out, and the device-change callback when a port appears.

#include "core/error.h"
#include "core/midi/midi_out_rt_device.h"
#include "core/midi/midi_out_synth_device.h"
#include "core/midi/sound_controller.h"
#include "jack_test_ports.h"

#include <QtTest>

#include <atomic>

using namespace Core;

namespace {

std::atomic<int> deviceChanges{0};
std::atomic<bool> changeOnGuiThread{true};

void OnDeviceChange()
{
    if (QThread::currentThread() != QCoreApplication::instance()->thread())
        changeOnGuiThread = false;
    ++deviceChanges;
}

std::shared_ptr<Synthesizer> OfflineSynth()
{
    Synthesizer::Options options;
    options.audioOutput = false;
    return std::make_shared<Synthesizer>(options);
}

SoundController::Options Quiet()
{
    SoundController::Options options;
    options.synthesizer = OfflineSynth();
    options.watchDevices = false;
    return options;
}

} // namespace

class TestSoundController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyboardsComeAndGo()
    {
        SoundController controller(Quiet());
        QCOMPARE(controller.InputCount(), 0);
        QCOMPARE(controller.CurrentInputIndex(), -1);
        QVERIFY(!controller.CurrentInputDevice());
        QVERIFY(!controller.SelectInputByName(QStringLiteral("anything")));
        QVERIFY(!controller.RefreshDevices()); // nothing before, nothing now

        auto first = std::make_unique<TestKeyboard>("Cantorela Test Piano");
        auto second = std::make_unique<TestKeyboard>("Cantorela Test Organ");
        QVERIFY(controller.RefreshDevices());
        QCOMPARE(controller.InputCount(), 2);
        QCOMPARE(controller.CurrentInputIndex(), 1);
        QStringList names;
        for (int i = 0; i < controller.InputCount(); ++i)
            names << controller.GetInputDevice(i)->GetPortName();
        QVERIFY(names.contains(first->name));
        QVERIFY(names.contains(second->name));

        // Selection by name.
        QVERIFY(controller.SelectInputByName(names[0]));
        QCOMPARE(controller.CurrentInputIndex(), 0);
        QVERIFY(!controller.SelectInputByName(QStringLiteral("No Such Keyboard")));
        QCOMPARE(controller.CurrentInputIndex(), 0);

        // The selected device hears its keyboard.
        RecordingObserver observer;
        auto device = controller.GetInputDevice(names.indexOf(first->name));
        QVERIFY(WaitUntilHeard(*first, *device) > 0);
        device->Attach(&observer);
        first->Send(MidiMessage(0x90, 0, 60, 100));
        QTRY_COMPARE(observer.Count(), 1);
        device->Detach(&observer);

        // Every refresh makes new device objects.
        QVERIFY(controller.RefreshDevices());
        QVERIFY(controller.GetInputDevice(0) != device || controller.GetInputDevice(1) != device);
        QCOMPARE(controller.CurrentInputIndex(), 1);

        // Unplugging.
        second.reset();
        QVERIFY(controller.RefreshDevices());
        QCOMPARE(controller.InputCount(), 1);
        QCOMPARE(controller.GetInputDevice(0)->GetPortName(), first->name);
        first.reset();
        QVERIFY(controller.RefreshDevices()); // the list was not empty
        QCOMPARE(controller.InputCount(), 0);
        QCOMPARE(controller.CurrentInputIndex(), -1);
        QVERIFY(!controller.RefreshDevices());
        QVERIFY(!controller.GetInputDevice(5));
    }

    // Output 0 is the built-in synthesizer, then the system's ports; our own ports (each device
    // is a client of its own) are never offered, in either direction.
    void outputsAndOwnPorts()
    {
        TestListener listener("Cantorela Test Synth");
        TestKeyboard keyboard("Cantorela Test Piano");
        SoundController controller(Quiet());
        QCOMPARE(controller.OutputCount(), 2);
        QCOMPARE(controller.CurrentOutputIndex(), 0);
        QCOMPARE(controller.CurrentOutputDevice()->GetPortName(), MidiOutSynthDevice::Name());
        QVERIFY(std::dynamic_pointer_cast<MidiOutSynthDevice>(controller.GetOutputDevice(0)));
        QCOMPARE(controller.GetOutputDevice(1)->GetPortName(), listener.name);
        QVERIFY(!controller.GetOutputDevice(2));
        QCOMPARE(controller.InputCount(), 1);

        // Our own devices' ports exist on the server but are not offered.
        const QStringList inputPorts = MidiInRtDevice::GetPortNames();
        const QStringList outputPorts = MidiOutRtDevice::GetPortNames();
        QVERIFY(std::any_of(outputPorts.begin(), outputPorts.end(), MidiBackend::IsOwnPort));
        QVERIFY(std::any_of(inputPorts.begin(), inputPorts.end(), MidiBackend::IsOwnPort));
        QVERIFY(controller.RefreshDevices());
        QCOMPARE(controller.InputCount(), 1);
        QCOMPARE(controller.OutputCount(), 2); // the output list is made once

        // Sending to the chosen output reaches the port.
        controller.SetCurrentOutputIndex(1);
        QVERIFY(WaitUntilConnected(*controller.CurrentOutputDevice(), listener));
        controller.CurrentOutputDevice()->Send(MidiMessage(0x90, 0, 60, 100));
        QTRY_COMPARE(listener.Count(), 1);
        controller.SetCurrentOutputIndex(-1);
        QVERIFY(!controller.CurrentOutputDevice());
    }

    void ownPortNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("own");
        QTest::newRow("input client") << "RtMidi Input Client:RtMidi Input" << true;
        QTest::newRow("renamed output client") << "RtMidi Output Client-03:RtMidi Output" << true;
        QTest::newRow("keyboard") << "Cantorela Test Piano:keys" << false;
        QTest::newRow("other program") << "a2j:Midi Through [14] (capture): Midi Through Port-0" << false;
        QTest::newRow("lookalike") << "RtMidi Input Client:keys" << false;
    }
    void ownPortNames()
    {
        QFETCH(QString, name);
        QTEST(MidiBackend::IsOwnPort(name), "own");
    }

    void deviceChangeCallbackWhenAPortAppears()
    {
        SoundController::Options options = Quiet();
        options.watchDevices = true;
        SoundController controller(options);
        SoundController::SetDeviceChangeCallback(OnDeviceChange);
        // Our own device objects coming and going are no change.
        QTest::qWait(300);
        deviceChanges = 0;
        controller.RefreshDevices();
        QTest::qWait(300);
        QCOMPARE(deviceChanges.load(), 0);

        auto keyboard = std::make_unique<TestKeyboard>("Cantorela Test Piano");
        QTRY_VERIFY(deviceChanges.load() >= 1);
        QVERIFY(changeOnGuiThread.load());
        const int afterPlug = deviceChanges.load();
        keyboard.reset();
        QTRY_VERIFY(deviceChanges.load() > afterPlug);
        SoundController::SetDeviceChangeCallback(nullptr);
    }

    // The ALSA sequencer asked for where there is none: counting throws, the controller carries
    // on without ports and the built-in synthesizer remains.
    void unreachableMidiSystem()
    {
        if (MidiBackend::IsAlsaSequencerAvailable())
            QSKIP("this machine has an ALSA sequencer");
        qputenv("CANTORELA_MIDI_API", "alsa");
        try {
            MidiInRtDevice::GetPortCount();
            QFAIL("counting ports without a sequencer succeeded");
        } catch (const Error& e) {
            QVERIFY(e.Code() > 0x300 && e.Code() <= 0x30A);
            QCOMPARE(QString::fromLatin1(e.Function()), QStringLiteral("Core::MidiInRtDevice::GetPortCount"));
            QCOMPARE(QString::fromLatin1(e.File()), QStringLiteral("src/core/midi/midi_device_rt"));
            QVERIFY(!e.Message().isEmpty());
        }
        QCOMPARE(MidiOutRtDevice::GetPortCount(), 0u);
        {
            SoundController controller(Quiet());
            QCOMPARE(controller.InputCount(), 0);
            QCOMPARE(controller.OutputCount(), 1);
            QVERIFY(!controller.RefreshDevices());
            QVERIFY(!controller.RefreshDevices());
        }
        qputenv("CANTORELA_MIDI_API", "jack");
    }
};

QTEST_GUILESS_MAIN(TestSoundController)
#include "test_sound_controller.moc"

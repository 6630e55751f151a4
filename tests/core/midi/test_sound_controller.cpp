// The sound controller over a real JACK server: ports the test opens and closes as keyboards
// come and go, selection by name, the outputs with the built-in synthesizer first, our own
// ports kept out, and the device-change callback when a port appears.

#include "core/midi/midi_out_rt_device.h"
#include "core/midi/midi_out_synth_device.h"
#include "core/midi/midi_in_rt_device.h"
#include "core/midi/sound_controller.h"
#include "jack_test_ports.h"

#include <QtTest>

#include <atomic>

using namespace Core;

namespace {

std::atomic<int> deviceChanges{0};
std::atomic<bool> changeOnGuiThread{true};
QStringList portsAtLastChange;

void OnDeviceChange()
{
    if (QThread::currentThread() != QCoreApplication::instance()->thread())
        changeOnGuiThread = false;
    portsAtLastChange = MidiInRtDevice::GetPortNames();
    ++deviceChanges;
}

SoundController::Options Quiet()
{
    Synthesizer::Options offline;
    offline.audioOutput = false;
    SoundController::Options options;
    options.synthesizer = std::make_shared<Synthesizer>(offline);
    options.watchDevices = false;
    options.microphones = false; // the dummy driver's capture ports are not keyboards
    return options;
}

} // namespace

class TestSoundController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The last keyboard found is the current one; a refresh tells whether anything changed.
    void keyboardsComeAndGo()
    {
        SoundController controller(Quiet());
        QCOMPARE(controller.InputCount(), 0);
        QVERIFY(!controller.CurrentInputDevice());
        QVERIFY(!controller.RefreshDevices()); // nothing before, nothing now

        auto first = std::make_unique<TestKeyboard>("Cantorela Test Piano");
        auto second = std::make_unique<TestKeyboard>("Cantorela Test Organ");
        QVERIFY(controller.RefreshDevices());
        QCOMPARE(controller.InputCount(), 2);
        QCOMPARE(controller.CurrentInputIndex(), 1);
        QVERIFY(controller.SelectInputByName(first->name));
        QCOMPARE(controller.CurrentInputDevice()->GetPortName(), first->name);
        QVERIFY(controller.SelectInputByName(second->name));
        QCOMPARE(controller.CurrentInputDevice()->GetPortName(), second->name);
        QVERIFY(!controller.SelectInputByName(QStringLiteral("No Such Keyboard")));
        QCOMPARE(controller.CurrentInputDevice()->GetPortName(), second->name);

        second.reset();
        QVERIFY(controller.RefreshDevices());
        QCOMPARE(controller.InputCount(), 1);
        QCOMPARE(controller.CurrentInputDevice()->GetPortName(), first->name);
        first.reset();
        QVERIFY(controller.RefreshDevices()); // the list was not empty
        QCOMPARE(controller.InputCount(), 0);
        QCOMPARE(controller.CurrentInputIndex(), -1);
        QVERIFY(!controller.RefreshDevices());
    }

    // Output 0 is the built-in synthesizer, then the system's ports (that a chosen one hears what
    // is sent: test_exercise_midi's Rig); our own ports (each device is a client of its own) exist
    // on the server but are never offered, in either direction.
    void outputsAfterTheSynthesizerWithoutOurOwnPorts()
    {
        TestListener listener("Cantorela Test Synth");
        TestKeyboard keyboard("Cantorela Test Piano");
        SoundController controller(Quiet());
        QCOMPARE(controller.OutputCount(), 2);
        QCOMPARE(controller.CurrentOutputIndex(), 0);
        QVERIFY(std::dynamic_pointer_cast<MidiOutSynthDevice>(controller.CurrentOutputDevice()));
        QCOMPARE(controller.GetOutputDevice(1)->GetPortName(), listener.name);
        QVERIFY(!controller.GetOutputDevice(2));
        QCOMPARE(controller.InputCount(), 1);
        const QStringList inputPorts = MidiInRtDevice::GetPortNames();
        const QStringList outputPorts = MidiOutRtDevice::GetPortNames();
        QVERIFY(std::any_of(outputPorts.begin(), outputPorts.end(), MidiBackend::IsOwnPort));
        QVERIFY(std::any_of(inputPorts.begin(), inputPorts.end(), MidiBackend::IsOwnPort));
        QVERIFY(controller.RefreshDevices());
        QCOMPARE(controller.InputCount(), 1);
        QCOMPARE(controller.OutputCount(), 2); // the output list is made once
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

    // A keyboard plugged in or out is a change, told on the GUI thread; our own device objects
    // coming and going with every refresh are none.
    void deviceChangeIsToldForOtherProgramsPortsOnly()
    {
        SoundController::Options options = Quiet();
        options.watchDevices = true;
        SoundController controller(options);
        SoundController::SetDeviceChangeCallback(OnDeviceChange);
        // Keyboards plugged in until the watcher, which connects in the background, tells one;
        // then until it has seen the last.
        std::unique_ptr<TestKeyboard> keyboard;
        QVERIFY(QTest::qWaitFor(
            [&] {
                if (deviceChanges == 0)
                    keyboard = std::make_unique<TestKeyboard>("Cantorela Test Piano");
                return portsAtLastChange.contains(keyboard->name);
            },
            5000));
        const int before = deviceChanges;
        for (int i = 0; i < 5; ++i)
            controller.RefreshDevices(); // ten of our own ports go and come
        const QString name = keyboard->name;
        keyboard.reset();
        QTRY_VERIFY(!portsAtLastChange.contains(name));
        QVERIFY(changeOnGuiThread);
        // The unplugging, and a few pluggings of the wait above still on their way on a loaded
        // machine: our own ports would add ten.
        QVERIFY2(deviceChanges - before <= 5, qPrintable(QString::number(deviceChanges - before)));
        SoundController::SetDeviceChangeCallback(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestSoundController)
#include "test_sound_controller.moc"

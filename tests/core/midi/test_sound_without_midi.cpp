// A process with neither an ALSA sequencer nor a JACK server: whichever of the two it asks, the
// sound controller starts with no ports, the built-in synthesizer is its output and still sounds.

#include "audio_probe.h"
#include "core/error.h"
#include "core/midi/midi_out_rt_device.h"
#include "core/midi/midi_in_rt_device.h"
#include "core/midi/sound_controller.h"

#include <QtTest>

using namespace Core;

class TestSoundWithoutMidi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithNoPortsAndStillSounds_data()
    {
        QTest::addColumn<QByteArray>("api");
        QTest::newRow("ALSA, no sequencer") << QByteArray("alsa");
        QTest::newRow("JACK, no server") << QByteArray("jack"); // JACK_DEFAULT_SERVER names none
    }
    void startsWithNoPortsAndStillSounds()
    {
        QFETCH(QByteArray, api);
        if (api == "alsa" && MidiBackend::IsAlsaSequencerAvailable())
            QSKIP("this machine has an ALSA sequencer");
        qputenv("CANTORELA_MIDI_API", api);
        try {
            QCOMPARE(MidiInRtDevice::GetPortCount(), 0u);
            QCOMPARE(api, QByteArray("jack")); // counting without a sequencer throws
        } catch (const Error& e) {
            QVERIFY(api == "alsa" && e.Code() > 0x300 && e.Code() <= 0x30A && !e.Message().isEmpty());
        }
        QCOMPARE(MidiOutRtDevice::GetPortCount(), 0u);
        Synthesizer::Options offline;
        offline.audioOutput = false;
        auto synth = std::make_shared<Synthesizer>(offline);
        SoundController::Options options;
        options.synthesizer = synth;
        SoundController controller(options);
        QCOMPARE(controller.InputCount(), 0);
        QCOMPARE(controller.OutputCount(), 1);
        QVERIFY(!controller.RefreshDevices());

        QVERIFY(synth->WaitForSoundFont(60000));
        auto output = controller.CurrentOutputDevice();
        QVERIFY(output);
        output->Send(MidiMessage(0x90, 0, 69, 100));
        QVERIFY(AudioProbe::Peak(AudioProbe::Render(*synth, 0.2)) > 0.01);
    }
};

QTEST_GUILESS_MAIN(TestSoundWithoutMidi)
#include "test_sound_without_midi.moc"

// A process with neither an ALSA sequencer nor a JACK server: the sound controller starts with
// no ports, the built-in synthesizer is its output and still sounds.

#include "core/midi/midi_out_synth_device.h"
#include "core/midi/sound_controller.h"

#include <QtTest>

#include <cmath>

using namespace Core;

class TestSoundWithoutMidi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithNoPortsAndStillSounds()
    {
        if (MidiBackend::IsAlsaSequencerAvailable())
            qputenv("CANTORELA_MIDI_API", "jack"); // and JACK_DEFAULT_SERVER names no server
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
        std::vector<float> left(9600), right(9600);
        synth->Render(left.data(), right.data(), int(left.size()));
        float peak = 0;
        for (float v : left)
            peak = std::max(peak, std::fabs(v));
        QVERIFY(peak > 0.01f);
    }

    // The process's own synthesizer, with audio output where there is none: silent, no failure.
    void sharedSynthesizerComesUp()
    {
        SoundController controller;
        QCOMPARE(controller.OutputCount(), 1);
        controller.CurrentOutputDevice()->Send(MidiMessage(0x90, 0, 60, 100));
        controller.CurrentOutputDevice()->Reset();
        auto synth = std::static_pointer_cast<MidiOutSynthDevice>(controller.GetOutputDevice(0))->GetSynthesizer();
        QVERIFY(synth->BufferMs() <= 10.0);
        QVERIFY(synth->WaitForSoundFont(60000));
    }
};

QTEST_GUILESS_MAIN(TestSoundWithoutMidi)
#include "test_sound_without_midi.moc"

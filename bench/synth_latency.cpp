// The built-in synthesizer's latency and start-up cost:
//   - the audio buffer between synthesizer and device at the configured period (64 frames x 2);
//   - from a note-on to its first audible sample inside the synthesizer (offline render);
//   - how long constructing the synthesizer blocks its caller (the GUI thread at start-up) and
//     how long the soundfont takes to load on its own thread (median of 5).
// The last line is
//   synth_latency buffer_ms=... load_ms=...

#include "bench_support.h"
#include "core/midi/synthesizer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cmath>
#include <cstdio>

using namespace Core;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Synthesizer::Options options;
    options.audioOutput = false;

    std::vector<double> blocked, load;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        Synthesizer synth(options);
        blocked.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (!synth.WaitForSoundFont(60000)) {
            std::fprintf(stderr, "synth_latency: no soundfont\n");
            return 1;
        }
        load.push_back(synth.SoundFontLoadMs());
    }

    Synthesizer synth(options);
    synth.WaitForSoundFont(60000);
    std::vector<double> noteToSound;
    std::vector<float> left(64), right(64);
    for (int round = 0; round < 20; ++round) {
        synth.Send(MidiMessage(0xB0, 0, 0x78, 0));
        for (int i = 0; i < 20; ++i)
            synth.Render(left.data(), right.data(), 64);
        synth.Send(MidiMessage(0x90, 0, quint8(48 + round), 100));
        for (int frame = 0; frame < synth.SampleRate(); frame += 64) {
            synth.Render(left.data(), right.data(), 64);
            int first = -1;
            for (int k = 0; k < 64 && first < 0; ++k)
                if (std::fabs(left[size_t(k)]) > 1e-3f) // -60 dBFS
                    first = k;
            if (first >= 0) {
                noteToSound.push_back(1000.0 * (frame + first) / synth.SampleRate());
                break;
            }
        }
        synth.Send(MidiMessage(0x80, 0, quint8(48 + round), 0));
    }

    // A program change to an instrument not used yet loads its samples in the sending thread.
    std::vector<double> programChange;
    for (int program : {40, 56, 16, 24, 65}) {
        QElapsedTimer clock;
        clock.start();
        synth.Send(MidiMessage(0xC0, 0, quint8(program)));
        programChange.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("synth_latency: first program change to a new instrument p50_ms=%.2f max_ms=%.2f\n",
                Bench::Percentile(programChange, 0.5), Bench::Percentile(programChange, 1.0));
    std::printf("synth_latency: sample rate %d, period 64 frames x 2, start-up blocked p50_ms=%.2f max_ms=%.2f, "
                "note to first audible sample p50_ms=%.2f max_ms=%.2f\n",
                synth.SampleRate(), Bench::Percentile(blocked, 0.5), Bench::Percentile(blocked, 1.0),
                Bench::Percentile(noteToSound, 0.5), Bench::Percentile(noteToSound, 1.0));
    std::printf("synth_latency buffer_ms=%.2f load_ms=%.1f\n", synth.BufferMs(), Bench::Percentile(load, 0.5));
    return 0;
}

// Key to sound over JACK: a key sent on a JACK MIDI port reaches MidiInRtDevice's callback, goes
// through the MidiDeviceConnector (the sound check's MIDI thru) into the built-in synthesizer,
// and is found in the first non-silent sample the synthesizer renders. A thread of ours stands
// for the audio driver: it renders one configured period (64 frames at 48 kHz) per period, on
// absolute deadlines. A key sounds when its first sample above -60 dBFS is rendered, plus the
// audio buffer (periods x period) the sample then waits in before it plays.
// Our own share: the input callback's entry to the synthesizer's note-on, as the synthesizer's
// note-on timing reports it.
// The last line is
//   key_to_sound p50_ms=... p99_ms=... buffer_ms=... ours_p50_ms=... ours_p99_ms=...

#include "bench_support.h"
#include "core/midi/midi_device_connector.h"
#include "core/midi/midi_in_rt_device.h"
#include "core/midi/midi_out_synth_device.h"
#include "core/timing/timer.h"

#include <QCoreApplication>
#include <QStringList>

#include <RtMidi.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <mutex>

using namespace Core;

namespace {

struct Sounded
{
    std::mutex mutex;
    std::condition_variable wake;
    bool waiting = false; // a key was sent and has not sounded yet
    quint64 soundNs = 0;  // its first audible sample, rendered
    int keys = 0;         // keys that sounded
};

class OurShare : public NoteOnObserver
{
public:
    void OnNoteOn(const NoteOnTiming& timing) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        if (shares.size() < shares.capacity())
            shares.push_back(timing.CallbackToNoteOnMs());
    }
    std::mutex mutex;
    std::vector<double> shares;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Bench::JackServer server;
    setenv("CANTORELA_MIDI_API", "jack", 1);

    Synthesizer::Options options;
    options.audioOutput = false;
    auto synth = std::make_shared<Synthesizer>(options);
    if (!synth->WaitForSoundFont(60000)) {
        std::fprintf(stderr, "key_to_sound: no soundfont\n");
        return 1;
    }
    const int rate = synth->SampleRate();
    const int period = options.periodFrames;

    RtMidiOut keyboard(RtMidi::UNIX_JACK, "Bench Keyboard");
    keyboard.openVirtualPort("keys");
    const int in = MidiInRtDevice::GetPortNames().indexOf(QStringLiteral("Bench Keyboard:keys"));
    if (in < 0) {
        std::fprintf(stderr, "key_to_sound: no JACK server with our port\n");
        return 1;
    }
    auto input = std::make_shared<MidiInRtDevice>(unsigned(in));
    MidiDeviceConnector thru(input, std::make_shared<MidiOutSynthDevice>(synth));
    OurShare ours;
    ours.shares.reserve(10000);
    synth->AttachNoteOnObserver(&ours);

    // The audio driver: one period rendered per period.
    Sounded sounded;
    std::atomic<bool> stop{false};
    std::thread driver([&] {
        std::vector<float> left(static_cast<size_t>(period)), right(static_cast<size_t>(period));
        const auto step = std::chrono::nanoseconds(qint64(1e9 * period / rate));
        auto deadline = std::chrono::steady_clock::now();
        while (!stop.load()) {
            const quint64 blockNs = Timer::NowNs();
            synth->Render(left.data(), right.data(), period);
            int first = -1;
            for (int k = 0; k < period && first < 0; ++k)
                if (std::fabs(left[size_t(k)]) > 1e-3f || std::fabs(right[size_t(k)]) > 1e-3f)
                    first = k;
            if (first >= 0) {
                std::lock_guard<std::mutex> guard(sounded.mutex);
                if (sounded.waiting) {
                    sounded.waiting = false;
                    sounded.soundNs = blockNs + quint64(1e9 * first / rate);
                    ++sounded.keys;
                    sounded.wake.notify_all();
                }
            }
            deadline += step;
            std::this_thread::sleep_until(deadline);
        }
    });

    // Until the port is heard: JACK connections take effect from a later period.
    const unsigned char sensing[1] = {0xFE};
    for (int i = 0; i < 500 && input->GetEventLog().isEmpty(); ++i) {
        keyboard.sendMessage(sensing, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    std::vector<double> keyToSound;
    const int keys = 500;
    for (int i = 0; i < keys; ++i) {
        const unsigned char note = (unsigned char)(48 + i % 24);
        const unsigned char on[3] = {0x90, note, 100}, off[3] = {0x80, note, 0};
        std::unique_lock<std::mutex> lock(sounded.mutex);
        sounded.waiting = true;
        const quint64 sent = Timer::NowNs();
        keyboard.sendMessage(on, 3);
        if (!sounded.wake.wait_for(lock, std::chrono::seconds(2), [&] { return !sounded.waiting; })) {
            std::fprintf(stderr, "key_to_sound: key %d did not sound\n", i);
            sounded.waiting = false;
            continue;
        }
        keyToSound.push_back(double(sounded.soundNs - sent) / 1e6 + synth->BufferMs());
        lock.unlock();
        keyboard.sendMessage(off, 3);
        synth->Send(MidiMessage(0xB0, 0, 120, 0)); // all sound off: the next key starts from silence
        // Keys at irregular moments against the JACK period and the render period.
        std::this_thread::sleep_for(std::chrono::microseconds(8000 + (i * 337) % 3000));
    }
    stop = true;
    driver.join();
    synth->DetachNoteOnObserver(&ours);

    std::vector<double> shares;
    {
        std::lock_guard<std::mutex> guard(ours.mutex);
        shares = ours.shares;
    }
    std::printf("key_to_sound: %d keys, JACK period 64 frames, render period %d frames x %d at %d Hz\n",
                int(keyToSound.size()), period, options.periods, rate);
    std::printf("key_to_sound: our share (input callback to note-on) p50_ms=%.4f p99_ms=%.4f max_ms=%.4f\n",
                Bench::Percentile(shares, 0.5), Bench::Percentile(shares, 0.99), Bench::Percentile(shares, 1.0));
    std::printf("key_to_sound p50_ms=%.2f p99_ms=%.2f buffer_ms=%.2f ours_p50_ms=%.4f ours_p99_ms=%.4f\n",
                Bench::Percentile(keyToSound, 0.5), Bench::Percentile(keyToSound, 0.99), synth->BufferMs(),
                Bench::Percentile(shares, 0.5), Bench::Percentile(shares, 0.99));
    return keyToSound.empty() ? 1 : 0;
}

// MIDI thru over JACK: key events from a JACK port through MidiInRtDevice and the
// MidiDeviceConnector to MidiOutRtDevice, out to a JACK port and back into this program.
// Round trip: the key's send to its arrival back. Added: the time our code takes, from the
// input callback's entry to the return of the output's send. The last line is
//   midi_thru p50_ms=... p99_ms=... added_p99_ms=...

#include "bench_support.h"
#include "core/midi/midi_device_connector.h"
#include "core/midi/midi_in_rt_device.h"
#include "core/midi/midi_out_rt_device.h"
#include "core/timing/timer.h"

#include <QCoreApplication>
#include <QStringList>

#include <RtMidi.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>

using namespace Core;

namespace {

// Wraps the port's output device to note when each send returns.
class TimedOutput : public MidiOutDevice
{
public:
    TimedOutput(std::shared_ptr<MidiOutRtDevice> port, std::shared_ptr<MidiInRtDevice> input)
        : port(std::move(port)), input(std::move(input))
    {
        added.reserve(10000);
    }
    QString GetPortName() override { return port->GetPortName(); }
    void Open() override {}
    void Send(const MidiMessage& message) override
    {
        port->Send(message);
        const quint64 done = Timer::NowNs();
        if (added.size() < added.capacity())
            added.push_back(double(done - input->LastCallbackEntryNs()) / 1e6);
    }
    std::shared_ptr<MidiOutRtDevice> port;
    std::shared_ptr<MidiInRtDevice> input;
    std::vector<double> added;
};

struct Back
{
    std::mutex mutex;
    std::condition_variable wake;
    quint64 arrivalNs = 0;
    int count = 0;
};

void OnBack(double, std::vector<unsigned char>*, void* data)
{
    auto* back = static_cast<Back*>(data);
    const quint64 now = Timer::NowNs();
    std::lock_guard<std::mutex> guard(back->mutex);
    back->arrivalNs = now;
    ++back->count;
    back->wake.notify_all();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Bench::JackServer server;
    setenv("CANTORELA_MIDI_API", "jack", 1);

    RtMidiOut keyboard(RtMidi::UNIX_JACK, "Bench Keyboard");
    keyboard.openVirtualPort("keys");
    Back back;
    RtMidiIn listener(RtMidi::UNIX_JACK, "Bench Listener");
    listener.setCallback(OnBack, &back);
    listener.openVirtualPort("in");

    const int in = MidiInRtDevice::GetPortNames().indexOf(QStringLiteral("Bench Keyboard:keys"));
    const int out = MidiOutRtDevice::GetPortNames().indexOf(QStringLiteral("Bench Listener:in"));
    if (in < 0 || out < 0) {
        std::fprintf(stderr, "midi_thru: no JACK server with our ports\n");
        return 1;
    }
    auto input = std::make_shared<MidiInRtDevice>(unsigned(in));
    auto port = std::make_shared<MidiOutRtDevice>(unsigned(out));
    auto output = std::make_shared<TimedOutput>(port, input);
    MidiDeviceConnector connector(input, output);

    std::vector<double> roundTrips;
    const int keys = 1000;
    for (int i = 0; i < keys; ++i) {
        const unsigned char note[3] = {0x90, (unsigned char)(40 + i % 40), (unsigned char)(i % 2 ? 0 : 90)};
        std::unique_lock<std::mutex> lock(back.mutex);
        const int before = back.count;
        const quint64 sent = Timer::NowNs();
        keyboard.sendMessage(note, 3);
        if (!back.wake.wait_for(lock, std::chrono::seconds(2), [&] { return back.count > before; })) {
            std::fprintf(stderr, "midi_thru: key %d did not come back\n", i);
            continue;
        }
        roundTrips.push_back(double(back.arrivalNs - sent) / 1e6);
        lock.unlock();
        // Keys at irregular moments against the JACK period.
        std::this_thread::sleep_for(std::chrono::microseconds(1500 + (i * 337) % 2000));
    }
    std::printf("midi_thru: %d keys, JACK period 64 frames at 48 kHz (1.33 ms)\n", int(roundTrips.size()));
    std::printf("midi_thru p50_ms=%.3f p99_ms=%.3f added_p99_ms=%.4f\n", Bench::Percentile(roundTrips, 0.5),
                Bench::Percentile(roundTrips, 0.99), Bench::Percentile(output->added, 0.99));
    return 0;
}

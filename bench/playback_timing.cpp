// How exactly the stream device releases a stream's events: a 400-event stream replayed through
// MidiInStreamDeviceAuto to an output device that notes when each message arrives. The onset
// error of an event is its arrival time minus its stream time, both counted from the first
// event. Measured idle, then with both cores kept busy. The last line (idle) is
//   playback_timing p50_ms=... p99_ms=... max_ms=...

#include "bench_support.h"
#include "core/midi/midi_device_connector.h"
#include "core/midi/midi_in_stream_device_auto.h"
#include "core/timing/timer.h"

#include <QCoreApplication>

#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <random>

using namespace Core;

namespace {

class RecordingOutput : public MidiOutDevice
{
public:
    QString GetPortName() override { return QStringLiteral("recording"); }
    void Open() override {}
    void Send(const MidiMessage&) override
    {
        if (arrivals.size() < arrivals.capacity())
            arrivals.push_back(Timer::NowNs());
    }
    std::vector<quint64> arrivals;
};

class Finished : public MidiInStreamDeviceObserver
{
public:
    void OnStreamFinished() override
    {
        std::lock_guard<std::mutex> guard(mutex);
        done = true;
        wake.notify_all();
    }
    void Wait()
    {
        std::unique_lock<std::mutex> lock(mutex);
        wake.wait(lock, [this] { return done; });
        done = false;
    }

private:
    std::mutex mutex;
    std::condition_variable wake;
    bool done = false;
};

std::vector<double> Run(const std::shared_ptr<MidiStream>& stream)
{
    auto device = std::make_shared<MidiInStreamDeviceAuto>(stream);
    auto output = std::make_shared<RecordingOutput>();
    output->arrivals.reserve(size_t(stream->size()));
    MidiDeviceConnector connector(device, output);
    Finished finished;
    device->Attach(&finished);
    device->Play();
    finished.Wait();
    device->Detach(&finished);

    std::vector<double> errors;
    const quint64 first = output->arrivals.front();
    const double firstSeconds = stream->front().seconds;
    for (size_t i = 0; i < output->arrivals.size(); ++i) {
        const double actualMs = double(output->arrivals[i] - first) / 1e6;
        const double plannedMs = (stream->at(int(i)).seconds - firstSeconds) * 1000.0;
        errors.push_back(std::fabs(actualMs - plannedMs));
    }
    return errors;
}

void Print(const char* label, const std::vector<double>& errors)
{
    std::printf("%s p50_ms=%.3f p99_ms=%.3f max_ms=%.3f\n", label, Bench::Percentile(errors, 0.5),
                Bench::Percentile(errors, 0.99), Bench::Percentile(errors, 1.0));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // 400 events at irregular times, 5 to 40 ms apart (about 9 s), chords included.
    auto stream = std::make_shared<MidiStream>();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> gap(0.005, 0.040);
    double t = 0;
    for (int i = 0; i < 400; ++i) {
        if (i % 10 != 3) // every tenth event sounds together with the one before
            t += gap(random);
        stream->append(MidiEvent{MidiMessage(0x90, 0, quint8(40 + i % 40), 80), qint32(t * 768), t});
    }
    std::printf("playback_timing: %d events over %.1f s, timer thread real-time: %s\n", int(stream->size()), t,
                Timer::IsRealTime() ? "yes" : "no");

    std::vector<double> busy;
    {
        Bench::BusyCores load(int(std::thread::hardware_concurrency()));
        busy = Run(stream);
    }
    Print("playback_timing_busy", busy);
    const std::vector<double> idle = Run(stream);
    Print("playback_timing", idle);
    return 0;
}

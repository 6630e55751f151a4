#include "core/audio/microphone_in_device.h"

#include "core/audio/own_playback.h"
#include "core/midi/midi_backend.h"
#include "core/midi/sound_controller.h"
#include "core/timing/timer.h"

#include "listen/note_detector.h"
#include "listen/sung_note_tracker.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <utility>

namespace Core {
namespace {
// The velocity of a key heard: a microphone does not tell how hard it was struck.
constexpr quint8 HeardVelocity = 80;
constexpr std::size_t BlockFrames = 512;
} // namespace

QString MicrophoneInDevice::NameFor(const AudioInputDevice& device)
{
    // Kept as the chosen input's name in the settings: the same in every language.
    return QStringLiteral("Microphone: ") + device.displayName;
}

MicrophoneInDevice::MicrophoneInDevice(const AudioInputDevice& device) : device(device)
{
    capture.SetErrorSink([this](AudioCapture::Problem problem, const QString& reason) {
        if (problem == AudioCapture::Problem::StreamError)
            qCWarning(midiLog, "microphone %s: %s", qPrintable(this->device.displayName), qPrintable(reason));
        if (problem != AudioCapture::Problem::DeviceGone || gone)
            return;
        qCWarning(midiLog, "microphone %s is gone: %s", qPrintable(this->device.displayName), qPrintable(reason));
        gone = true;
        lastError = reason;
        SoundController::NotifyDeviceChange();
    });
}

MicrophoneInDevice::~MicrophoneInDevice()
{
    Close();
}

void MicrophoneInDevice::Open()
{
    if (capture.IsOpen())
        return;
    Close(); // a listener left from a stream that ended by itself
    written.store(0);
    consumed.store(0);
    dropped.store(0);
    stopping.store(false);
    const bool opened = capture.Open(
        device.id,
        [this](const float* samples, std::size_t count, double) {
            const std::size_t at = written.load(std::memory_order_relaxed);
            if (at + count - consumed.load(std::memory_order_acquire) > ring.size()) {
                dropped.fetch_add(count, std::memory_order_relaxed);
                return;
            }
            for (std::size_t i = 0; i < count; ++i)
                ring[(at + i) % ring.size()] = samples[i];
            writtenAtNs.store(Timer::NowNs(), std::memory_order_relaxed);
            written.store(at + count, std::memory_order_release);
        },
        &lastError);
    if (!opened) {
        qCWarning(midiLog, "microphone %s does not open: %s", qPrintable(device.displayName), qPrintable(lastError));
        return;
    }
    lastError.clear();
    gone = false;
    const double rate = capture.SampleRate();
    const double inputDelayMs = 1000.0 * capture.BufferFrames() / rate;
    listener = std::thread([this, rate, inputDelayMs] { RunListener(rate, inputDelayMs); });
}

void MicrophoneInDevice::Close()
{
    capture.Close(); // no sample arrives after this
    {
        std::lock_guard<std::mutex> guard(wakeMutex);
        stopping.store(true);
    }
    wake.notify_all();
    if (listener.joinable())
        listener.join();
}

void MicrophoneInDevice::Take(const MidiMessage& message, double streamMs, quint64 heardNs)
{
    const double seconds = streamMs / 1000.0;
    Receive(MidiEvent{message, qint32(seconds * MidiEvent::TicksPerSecond), seconds, heardNs});
}

void MicrophoneInDevice::RunListener(double sampleRate, double inputDelayMs)
{
    ::Listen::NoteDetector detector(sampleRate);
    ::Listen::SungNoteTracker voice(sampleRate);
    bool sung = false;
    std::array<bool, 128> sounding{};
    std::vector<float> block(BlockFrames);
    std::size_t readAt = 0;
    std::size_t streamStart = 0; // the ring position of the detector's stream time 0

    struct Heard
    {
        double ms;
        bool on;
        int key;
    };
    std::vector<Heard> heard;

    // The time of an event on the stream, from the detector's time since it (re)started; samples
    // dropped when the listener fell behind are left out, which keeps the times in order.
    const auto streamMs = [&](double detectorMs) { return 1000.0 * double(streamStart) / sampleRate + detectorMs; };
    // Keys still sounding are let go when the listener starts afresh and when it ends.
    const auto releaseAll = [&] {
        const double streamNowMs = 1000.0 * double(readAt) / sampleRate;
        for (int key = 0; key < 128; ++key)
            if (std::exchange(sounding[std::size_t(key)], false))
                Take(MidiMessage(0x80, 0, quint8(key), 0), streamNowMs, Timer::NowNs());
    };
    quint64 droppedSeen = 0;
    while (!stopping.load()) {
        const std::size_t end = written.load(std::memory_order_acquire);
        if (const quint64 lost = dropped.load(std::memory_order_relaxed); lost != droppedSeen) {
            qCWarning(midiLog, "microphone %s: the listener fell behind; %llu samples lost",
                      qPrintable(device.displayName), static_cast<unsigned long long>(lost - droppedSeen));
            droppedSeen = lost;
            releaseAll();
            readAt = end;
            consumed.store(readAt, std::memory_order_release);
            detector.reset();
            voice.reset();
            streamStart = readAt;
            continue;
        }
        if (singing.load(std::memory_order_relaxed) != sung) {
            sung = !sung;
            releaseAll();
            detector.reset();
            voice.reset();
            streamStart = readAt;
        }
        const std::size_t count = std::min(end - readAt, block.size());
        if (count == 0) {
            // A block of the capture is a few milliseconds: polling at that pace adds no more.
            // (The audio thread never signals: it must not block. Close does, to end at once.)
            std::unique_lock<std::mutex> lock(wakeMutex);
            wake.wait_for(lock, std::chrono::milliseconds(4), [this] { return stopping.load(); });
            continue;
        }
        for (std::size_t i = 0; i < count; ++i)
            block[i] = ring[(readAt + i) % ring.size()];
        readAt += count;
        consumed.store(readAt, std::memory_order_release);
        if (sung)
            voice.feed(block.data(), count);
        else
            detector.feed(block.data(), count);

        ::Listen::DetectorEvents events = sung ? voice.takeEvents() : detector.takeEvents();
        if (events.empty())
            continue;
        // When a sound began, on the clock: the capture notes when it delivered its newest
        // sample, which left the microphone about a capture buffer before.
        const quint64 nowNs = Timer::NowNs();
        const quint64 newestNs = writtenAtNs.load(std::memory_order_relaxed);
        const std::size_t newest = written.load(std::memory_order_acquire);
        heard.clear();
        for (const ::Listen::HeardOnset& onset : events.onsets) {
            const double at = double(streamStart) + onset.onsetMs * sampleRate / 1000.0;
            const double agoMs = 1000.0 * (double(newest) - at) / sampleRate + inputDelayMs;
            const quint64 startedNs = newestNs - std::min<quint64>(newestNs, quint64(std::max(0.0, agoMs) * 1e6));
            if (OwnPlayback::CouldBeOurs(startedNs))
                continue; // the question, a replay or an answer sound coming back through the room
            for (int key : onset.keys)
                heard.push_back({onset.onsetMs, true, key});
        }
        for (const ::Listen::HeardRelease& release : events.releases)
            heard.push_back({release.timeMs, false, release.key});
        // In time order; a key let go before it is struck again at the same moment.
        std::stable_sort(heard.begin(), heard.end(), [](const Heard& a, const Heard& b) {
            return a.ms < b.ms || (a.ms == b.ms && !a.on && b.on);
        });
        for (const Heard& h : heard) {
            if (h.key < 0 || h.key > 127)
                continue;
            const quint8 key = quint8(h.key);
            if (sounding[key])
                Take(MidiMessage(0x80, 0, key, 0), streamMs(h.ms), nowNs);
            sounding[key] = h.on;
            if (h.on)
                Take(MidiMessage(0x90, 0, key, HeardVelocity), streamMs(h.ms), nowNs);
        }
    }
    releaseAll();
}

} // namespace Core

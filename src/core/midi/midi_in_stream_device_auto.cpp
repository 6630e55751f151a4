#include "core/midi/midi_in_stream_device_auto.h"

#include "core/timing/timer.h"

namespace Core {
namespace {
// Events due within this much of the current call go now (half the timer period).
constexpr double EarlyRelease = 0.0005;
} // namespace

MidiInStreamDeviceAuto::MidiInStreamDeviceAuto(std::shared_ptr<MidiStream> stream)
    : MidiInStreamDeviceBase(std::move(stream))
{
    Open();
    lastNs = Timer::NowNs();
    Timer::Attach(this);
}

MidiInStreamDeviceAuto::~MidiInStreamDeviceAuto()
{
    // Returns once a timer call in progress for this device has finished.
    Timer::Detach(this);
}

void MidiInStreamDeviceAuto::SetStream(std::shared_ptr<MidiStream> events)
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    stream = events ? std::move(events) : std::make_shared<MidiStream>();
    Open();
}

void MidiInStreamDeviceAuto::Open()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    MidiInStreamDeviceBase::Open();
    playing = false;
    playTime = 0;
}

void MidiInStreamDeviceAuto::Play()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    MidiInStreamDeviceBase::Play();
    playing = true;
}

bool MidiInStreamDeviceAuto::IsPlaying()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    return playing;
}

double MidiInStreamDeviceAuto::PlayTime()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    return playTime;
}

void MidiInStreamDeviceAuto::OnTimer(quint64)
{
    bool finished = false;
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        const quint64 nowNs = Timer::NowNs();
        if (!playing || AtEndLocked()) {
            lastNs = nowNs;
            return;
        }
        playTime += double(nowNs - lastNs) / 1e9;
        lastNs = nowNs;
        // The stream is not replaced while `lock` is held; observers that call back into this
        // device (Open, SetStream) on this thread are seen through the checks below.
        while (playing && !AtEndLocked() && playTime + EarlyRelease >= stream->at(cursor).seconds) {
            const MidiEvent event = stream->at(cursor);
            ++cursor;
            Receive(event);
            if (playing && AtEndLocked()) {
                Open();
                finished = true;
                break;
            }
        }
    }
    if (finished)
        Subject<MidiInStreamDeviceObserver>::Notify(&MidiInStreamDeviceObserver::OnStreamFinished);
}

} // namespace Core

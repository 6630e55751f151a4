#pragma once
// Replays a MidiStream in real time on the 1 ms timer: each timer call adds the wall-clock time
// since the previous call to the play time and releases every event that is due, in stream
// order, to the observers (normally a MidiDeviceConnector to an output port). When the last
// event has gone it stops and tells its MidiInStreamDeviceObservers once. The exercise builds
// one per lesson and loads each question's stream into it.
//
// Timing follows the monotonic clock, not the number of timer calls: after a late call the
// events due are released together. An event due less than half a timer period ahead is
// released now rather than a whole period late, so onsets land within about half a
// millisecond of their times.
//
// Threads: OnTimer, hence the observers and OnStreamFinished, run on the timer thread;
// the other operations come from the GUI thread. The base's recursive `lock` serialises them.

#include "core/midi/midi_in_stream_device_base.h"
#include "core/timing/multimedia_timer_observer.h"

namespace Core {

class MidiInStreamDeviceAuto : public MidiInStreamDeviceBase, public MultimediaTimerObserver
{
public:
    explicit MidiInStreamDeviceAuto(std::shared_ptr<MidiStream> stream = nullptr);
    ~MidiInStreamDeviceAuto() override;
    MidiInStreamDeviceAuto(const MidiInStreamDeviceAuto&) = delete;
    MidiInStreamDeviceAuto& operator=(const MidiInStreamDeviceAuto&) = delete;

    // Replaces the stream and stops; a following Play() starts at its first event.
    void SetStream(std::shared_ptr<MidiStream> stream);

    // Stops at once (no OnStreamFinished), cursor to the end, play time 0.
    void Open() override;
    void Play() override;

    bool IsPlaying();
    double PlayTime();

    void OnTimer(quint64 nowMs) override;

private:
    quint64 lastNs = 0;   // clock time of the previous timer call
    double playTime = 0;  // seconds of stream time played
    bool playing = false;
};

} // namespace Core

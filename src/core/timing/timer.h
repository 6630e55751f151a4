#pragma once
// The process-wide 1 ms periodic timer that paces the timeline and MIDI stream replay.
//
// A dedicated thread sleeps to absolute deadlines on the monotonic clock, one millisecond apart,
// and calls every attached observer with NowMs(). It runs exactly while observers are attached:
// the first Attach starts it, the Detach that empties the list stops it. A late tick is delivered
// when the thread wakes and the next deadline stays on the grid; missed deadlines are skipped,
// never delivered in a burst.
//
// Locking: the timer's own mutex is held only to read or change the observer list, never while
// an observer runs. Attach and Detach may therefore be called from any thread, while holding any
// lock, also from inside OnTimer, without deadlocking against a callback in progress. After
// Detach(o) returns, o is not called again; when o's own callback is running on the timer thread
// at that moment, Detach waits for it to return (unless Detach is called from that callback), so
// an observer may detach in its destructor. The one thing a caller must not do is detach o while
// holding a lock that o's own OnTimer is waiting for.

#include "core/timing/multimedia_timer_observer.h"

#include <QtGlobal>

namespace Core {

class Timer
{
public:
    Timer() = delete;

    // Most observers the timer serves at once; the callback copies the list into a fixed array.
    static constexpr int MaxObservers = 64;

    // Appends the observer (the same observer may be attached more than once) and starts the
    // timer if it is not running. Returns NowMs(). Throws Error 0x401 when the timer thread
    // cannot be started; the observer is then not attached (its owner is failing to be built)
    // and the next Attach tries again.
    static quint64 Attach(MultimediaTimerObserver* observer);

    // Removes the first occurrence; stops the timer when the list becomes empty.
    static void Detach(MultimediaTimerObserver* observer);

    // Milliseconds on the monotonic clock the timer's deadlines use.
    static quint64 NowMs();
    static quint64 NowNs();

    // Identifier of the running timer; 0 when none runs. A restarted timer gets a new one.
    static quint32 TimerId();
    static int ObserverCount();

    // Deadline, on the NowNs() clock, of the tick being delivered. Meaningful inside OnTimer only;
    // used to measure how late callbacks run.
    static quint64 CurrentDeadlineNs();

    // Whether the timer thread got a real-time scheduling class from the system.
    static bool IsRealTime();

private:
    static void Start();
};

} // namespace Core

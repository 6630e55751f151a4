#pragma once
// A tick counter divided into named segments, advanced by Core::Timer every `interval`
// milliseconds while running. Lessons lay their sections and answer windows out as segments
// and follow the ticks (OnTick), the state (OnStateChanged) and the segment boundaries
// (OnSegmentChanged).
//
// Every operation takes the timeline's recursive lock, so an observer notified on the same
// thread may call back in. Ticks are at least `interval` apart: a late timer call delays the
// tick and the following ticks count from it. Running off the end stops the timeline and puts
// the position back to 0. Held by shared ownership.

#include "core/timing/multimedia_timer_observer.h"
#include "core/subject.h"
#include "core/timing/time_line_observer.h"

#include <QString>

#include <mutex>
#include <vector>

namespace Core {

class TimeLine : public MultimediaTimerObserver, public Subject<TimeLineObserver>
{
public:
    TimeLine();
    ~TimeLine() override;
    TimeLine(const TimeLine&) = delete;
    TimeLine& operator=(const TimeLine&) = delete;

    int AddSegment(const QString& name, int duration);
    int SegmentCount() const;
    QString SegmentName(int i) const;
    int SegmentDuration(int i) const;
    int SegmentStart(int i) const;
    int TotalLength() const;

    int Position() const;
    int CurrentSegment() const;
    int SegmentAt(int position) const;
    int OffsetInSegment() const;
    int State() const;
    quint32 Interval() const;

    void SetInterval(quint32 ms);
    // Moves to pos (0 when pos is past the end) without notifying; a segment boundary reached
    // this way is not reported again by the next tick.
    void SetPosition(int pos);
    // Changes one segment's length; the position keeps its place relative to later segments,
    // and a change of the current segment restarts it.
    void SetSegmentDuration(int i, int duration);

    void Start();
    void Stop();
    void SetPaused(bool pause);

    void OnTimer(quint64 nowMs) override;

private:
    struct Segment
    {
        QString name;
        int duration;
    };

    int SegmentAtLocked(int position) const;
    int SegmentStartLocked(int i) const;
    void SetPositionLocked(int pos);

    mutable std::recursive_mutex lock; // guards every field below
    std::vector<Segment> segments;
    int state = TimeLineStopped;
    quint32 interval = 167;
    int position = 0;
    int total = 0;
    int seekMark = 0;
    quint64 lastTickMs = 0;
};

} // namespace Core

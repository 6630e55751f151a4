#pragma once
// What a Core::TimeLine reports. Called on the thread that advanced or changed the timeline:
// the timer thread for ticks and running off the end, the caller's thread for Start, Stop and
// SetPaused. Observers that touch widgets hand the event over to the GUI thread themselves.

namespace Core {

enum TimeLineState
{
    TimeLineStopped = 0,
    TimeLinePaused = 1,
    TimeLineRunning = 2,
};

class TimeLineObserver
{
public:
    virtual void OnTick(int position) = 0;
    virtual void OnStateChanged(int oldState, int newState) = 0;
    // newSegment is -1 when the timeline ran off its end.
    virtual void OnSegmentChanged(int previousSegment, int newSegment) = 0;
    virtual ~TimeLineObserver() = default;
};

} // namespace Core

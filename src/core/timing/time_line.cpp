#include "core/timing/time_line.h"

#include "core/timing/timer.h"

namespace Core {

using Guard = std::lock_guard<std::recursive_mutex>;

TimeLine::TimeLine()
{
    Guard guard(lock);
    lastTickMs = Timer::Attach(this);
}

TimeLine::~TimeLine()
{
    Stop();
    Timer::Detach(this);
}

int TimeLine::AddSegment(const QString& name, int duration)
{
    Guard guard(lock);
    segments.push_back({name, duration});
    total += duration;
    return int(segments.size()) - 1;
}

int TimeLine::SegmentCount() const
{
    Guard guard(lock);
    return int(segments.size());
}

QString TimeLine::SegmentName(int i) const
{
    Guard guard(lock);
    Q_ASSERT(i >= 0 && i < int(segments.size()));
    return i >= 0 && i < int(segments.size()) ? segments[size_t(i)].name : QString();
}

int TimeLine::SegmentDuration(int i) const
{
    Guard guard(lock);
    Q_ASSERT(i >= 0 && i < int(segments.size()));
    return i >= 0 && i < int(segments.size()) ? segments[size_t(i)].duration : 0;
}

int TimeLine::SegmentStartLocked(int i) const
{
    int start = 0;
    for (int k = 0; k < i && k < int(segments.size()); ++k)
        start += segments[size_t(k)].duration;
    return start;
}

int TimeLine::SegmentStart(int i) const
{
    Guard guard(lock);
    return SegmentStartLocked(i);
}

int TimeLine::TotalLength() const
{
    Guard guard(lock);
    return SegmentStartLocked(int(segments.size()));
}

int TimeLine::Position() const
{
    Guard guard(lock);
    return position;
}

int TimeLine::SegmentAtLocked(int pos) const
{
    int end = 0;
    for (size_t i = 0; i < segments.size(); ++i) {
        end += segments[i].duration;
        if (end > pos)
            return int(i);
    }
    return 0;
}

int TimeLine::CurrentSegment() const
{
    Guard guard(lock);
    return SegmentAtLocked(position);
}

int TimeLine::SegmentAt(int pos) const
{
    Guard guard(lock);
    return SegmentAtLocked(pos);
}

int TimeLine::OffsetInSegment() const
{
    Guard guard(lock);
    const int i = SegmentAtLocked(position);
    const int start = SegmentStartLocked(i);
    if (i < int(segments.size()) && position >= start && position < start + segments[size_t(i)].duration)
        return position - start;
    return position;
}

int TimeLine::State() const
{
    Guard guard(lock);
    return state;
}

quint32 TimeLine::Interval() const
{
    Guard guard(lock);
    return interval;
}

void TimeLine::SetInterval(quint32 ms)
{
    Guard guard(lock);
    interval = ms;
}

void TimeLine::SetPositionLocked(int pos)
{
    if (pos > total || pos < 0)
        pos = 0;
    if (pos != position) {
        position = pos;
        seekMark = pos;
    }
}

void TimeLine::SetPosition(int pos)
{
    Guard guard(lock);
    SetPositionLocked(pos);
}

void TimeLine::SetSegmentDuration(int i, int duration)
{
    Guard guard(lock);
    if (i < 0 || i >= int(segments.size()))
        return;
    const int current = SegmentAtLocked(position);
    const int delta = duration - segments[size_t(i)].duration;
    total += delta;
    segments[size_t(i)].duration = duration;
    if (current > i)
        SetPositionLocked(position + delta);
    else if (current == i)
        SetPositionLocked(SegmentStartLocked(i));
}

void TimeLine::Start()
{
    Guard guard(lock);
    if (state != TimeLineStopped)
        Stop();
    // The first tick comes one interval after the start, however long the timeline sat idle.
    lastTickMs = Timer::NowMs();
    const int old = state;
    state = TimeLineRunning;
    Notify(&TimeLineObserver::OnStateChanged, old, int(TimeLineRunning));
}

void TimeLine::Stop()
{
    Guard guard(lock);
    if (state == TimeLineStopped)
        return;
    const int old = state;
    state = TimeLineStopped;
    Notify(&TimeLineObserver::OnStateChanged, old, int(TimeLineStopped));
}

void TimeLine::SetPaused(bool pause)
{
    Guard guard(lock);
    if (state == TimeLineStopped || (state == TimeLinePaused) == pause)
        return;
    const int old = state;
    state = pause ? TimeLinePaused : TimeLineRunning;
    Notify(&TimeLineObserver::OnStateChanged, old, state);
}

// Timer thread. Cheap when nothing is due: one lock, one state test, one subtraction.
void TimeLine::OnTimer(quint64 nowMs)
{
    int tickPosition = 0;
    int lastSegment = -1;
    bool ranOffEnd = false;
    {
        Guard guard(lock);
        if (state != TimeLineRunning)
            return;
        if (qint64(nowMs - lastTickMs) < qint64(interval))
            return;
        position += 1;
        lastTickMs = nowMs;
        if (position == total) {
            position = 0;
            state = TimeLineStopped;
            ranOffEnd = true;
            lastSegment = int(segments.size()) - 1;
        } else {
            tickPosition = position;
        }
    }

    if (ranOffEnd) {
        // Ran off the end. Told without the lock: observers take their own locks here (a lesson
        // takes its lock and then calls back in), and a thread holding such a lock may be
        // waiting for ours.
        Notify(&TimeLineObserver::OnStateChanged, int(TimeLineRunning), int(TimeLineStopped));
        Notify(&TimeLineObserver::OnSegmentChanged, lastSegment, -1);
        return;
    }

    // Observers run without the lock; the GUI thread may change the timeline in between.
    Notify(&TimeLineObserver::OnTick, tickPosition);

    int segment = 0;
    {
        Guard guard(lock);
        if (OffsetInSegment() != 0)
            return;
        if (position == seekMark) {
            // An observer moved us onto this boundary during OnTick: it already knows.
            seekMark = 0;
            return;
        }
        segment = SegmentAtLocked(position);
    }
    Notify(&TimeLineObserver::OnSegmentChanged, segment - 1, segment);
}

} // namespace Core

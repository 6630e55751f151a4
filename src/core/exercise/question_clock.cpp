#include "core/exercise/question_clock.h"

#include "core/timing/time_line.h"

namespace Core {

void QuestionClock::Reset()
{
    mark = 0;
    running = false;
}

void QuestionClock::Start(TimeLine& timeline, bool paused)
{
    timeline.Start();
    if (paused)
        timeline.SetPaused(true);
    running = true;
    mark = timeline.Position();
}

void QuestionClock::Stop(TimeLine& timeline)
{
    timeline.Stop();
    running = false;
    mark = timeline.Position();
}

void QuestionClock::MoveTo(TimeLine& timeline, int position)
{
    timeline.SetPosition(position);
    mark = timeline.Position();
}

void QuestionClock::Halt(const TimeLine& timeline)
{
    running = false;
    mark = timeline.Position();
}

void QuestionClock::Resync(const TimeLine& timeline)
{
    mark = timeline.Position();
}

bool QuestionClock::TakeTick(const TimeLine& timeline, int position)
{
    if (position != timeline.Position() || position <= mark)
        return false;
    mark = position;
    return true;
}

bool QuestionClock::TakeEnd(const TimeLine& timeline)
{
    if (!running || timeline.State() != TimeLineStopped || timeline.Position() != 0)
        return false;
    running = false;
    mark = 0;
    return true;
}

int QuestionClock::TicksToNextQuestion(const TimeLine& timeline, int ticks, bool forward, bool asking)
{
    const int r = timeline.OffsetInSegment() % ticks;
    int skip = r != 0 ? (forward ? ticks : 0) - r : 0;
    if (r == 0 && forward && asking && askedAt >= 0 && timeline.Position() == askedAt)
        skip = ticks;
    askedAt = -1;
    return skip;
}

} // namespace Core

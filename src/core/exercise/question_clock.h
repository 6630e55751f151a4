#pragma once
// The question clock: the lesson's timeline run question by question. It keeps the exercise
// clear of ticks that were already on their way on the timer thread when the exercise moved or
// stopped the timeline: a tick is taken only when it is the timeline's current position and lies
// past the last position set or taken. It also keeps where a shown question was asked, so that an
// answer before the question's first tick still uses up the question's ticks.
//
// Part of an Exercise, which holds its lock around every call; the timeline is the lesson's.

namespace Core {

class TimeLine;

class QuestionClock
{
public:
    // A new timeline, not running yet.
    void Reset();
    void Start(TimeLine& timeline, bool paused);
    void Stop(TimeLine& timeline);
    void MoveTo(TimeLine& timeline, int position);
    // The lesson stopped the timeline itself.
    void Halt(const TimeLine& timeline);
    // The lesson changed the timeline's segments; ticks up to its position are stale.
    void Resync(const TimeLine& timeline);

    // Whether the tick at `position` is the timeline's current one and new; then it is taken.
    bool TakeTick(const TimeLine& timeline, int position);
    // Whether the running timeline ran off its end and has not been stopped or moved by the
    // lesson since; then the clock stops.
    bool TakeEnd(const TimeLine& timeline);

    // A shown question was asked at `position` (-1: none waits for its first tick).
    void MarkAsked(int position) { askedAt = position; }
    // The ticks to move the timeline by: on to the next question's start when `forward`, else
    // back to the current question's start. None on a question's boundary, except a whole
    // question's `ticks` (above 0) moving on from a question being asked (`asking`) that was
    // asked at this very tick. Forgets where the question was asked.
    int TicksToNextQuestion(const TimeLine& timeline, int ticks, bool forward, bool asking);

private:
    int mark = 0;
    bool running = false;
    int askedAt = -1;
};

} // namespace Core

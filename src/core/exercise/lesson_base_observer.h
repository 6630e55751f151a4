#pragma once
// What a lesson reports: its exercise state, its ticks and its play state. The lesson session
// implements it. Called on the thread that caused the change (the GUI thread, the timer thread
// or the MIDI input thread), with the lesson's lock held: an observer must never wait for the
// GUI thread; it hands the event over (queued signals) and returns.

namespace Core {

class LessonBaseObserver
{
public:
    virtual void OnExerciseStateChanged(int state) = 0;
    virtual void OnLessonTick(int position) = 0;
    virtual void OnPlayStateChanged(int playState) = 0;
    virtual ~LessonBaseObserver() = default;
};

} // namespace Core

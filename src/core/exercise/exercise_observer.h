#pragma once
// What an exercise reports beyond its lesson: judged answers, section changes and keys played
// while an answer is awaited. Same threads and rules as LessonBaseObserver: called with the
// lesson's lock held, never to wait for the GUI thread.

#include "core/exercise/answer.h"

namespace Core {

class ExerciseObserver
{
public:
    virtual ~ExerciseObserver() = default;
    virtual void OnAnswerJudged(bool correct, const Core::Answer& answer) = 0;
    virtual void OnSectionChanged(unsigned section) = 0;
    virtual void OnNoteFromDevice(bool pressed, int note) = 0;
};

} // namespace Core

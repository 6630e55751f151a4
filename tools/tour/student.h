#pragma once
// Answers the lesson open on the exercise screen as a student answers: on the on-screen keys,
// with the answer buttons and with the keys 1 to 6, right and wrong in turn, letting one
// question of a learning lesson run out of time. Pictures each question, each judgement, the
// MIDI notice, in the first lesson the play dialog and the pause hint, and the section end
// dialog.

#include "core/exercise/lesson_session.h"

#include <QString>
#include <QVector>

#include <cstddef>

class Album;
class Keyboard;
class QToolButton;
class TourWindow;

class Student
{
public:
    Student(TourWindow& window, Album& album) : window(window), album(album) {}

    // Answers the lesson of trainer `trainerId` just opened, a learning lesson or a quiz
    // (`quizMode`), to its end.
    bool Lesson(size_t trainerId, bool quizMode);

private:
    enum class Move
    {
        RightOnPiano,
        WrongButton,
        RightKey,
        WrongOnPiano,
        RightButton,
        WrongKey,
        TimeOut,
    };

    // The open lesson now, as its session gives it.
    Core::LessonSnapshot Exercise() const;
    // Ticks per question of a section, 0 without a time limit.
    int TicksPerQuestion(int section) const;
    QToolButton* Variant(int id) const;
    Keyboard* Piano() const;

    bool LessonEnded() const;
    // Waits for a question after `asked` questions that waits for its answer, or the lesson's end;
    // presses the space bar when the screen waits for it.
    bool WaitForNextQuestion(int asked);
    QVector<int> ExpectedKeys() const;
    void ClickKey(int key) const;
    // What the question is, for the label.
    QString QuestionName() const;
    // Answers the question as `move` says, falling back to the inputs that show; returns the
    // label of what was done.
    QString Answer(Move move);
    // The missing-MIDI notice, when it comes up as a lesson opens: pictured, then closed with OK.
    void CloseMidiNotice();
    // The play dialog and the pause hint, in the first lesson.
    void PauseMoments();

    TourWindow& window;
    Album& album;
    size_t trainer = 0;
    bool quiz = false;
    int noticeShots = 0;
};

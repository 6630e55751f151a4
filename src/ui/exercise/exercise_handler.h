#pragma once
// The adaptor between a running exercise and the exercise screen. The exercise reports what
// happens on whatever thread caused it (the timer thread, the MIDI input thread or the GUI
// thread) with its lesson lock held; the handler turns each report into a signal of the screen
// and does nothing else. The screen reads the state back from the exercise when the slot runs,
// so a slot always shows the state of that moment, never a stale copy.
//
// Every report reaches the screen's slots through the GUI thread's event queue, also a report
// made on the GUI thread itself: a slot runs after the engine call that caused it has returned
// and let go of the lesson lock. Run inside the report, a slot that moves on to the next
// question, seeks, restarts or closes the exercise would re-enter the exercise in the middle of
// judging an answer, or destroy it while its own call is still on the stack.
//
// The screen type provides the six signals NewTick(), StateChanged(), PlayStateChanged(),
// AnswerProvided(bool, Core::Answer), NoteEntered(bool, int) and NextQuestion(), and the slots
// they lead to (see Connect).

#include "core/exercise/exercise.h"
#include "core/exercise/exercise_observer.h"
#include "core/exercise/lesson_base_observer.h"
#include "ui/speed.h"

#include <QObject>

#include <memory>

namespace UI {

template <typename Screen>
class ExerciseHandlerOf final : public Core::ExerciseObserver, public Core::LessonBaseObserver
{
public:
    explicit ExerciseHandlerOf(Screen* owner) : screen(owner) {}
    ExerciseHandlerOf(const ExerciseHandlerOf&) = delete;
    ExerciseHandlerOf& operator=(const ExerciseHandlerOf&) = delete;

    // Core::ExerciseObserver; any thread, lesson lock held.
    void OnAnswerJudged(bool correct, const Core::Answer& answer) override
    {
        Q_EMIT screen->AnswerProvided(correct, answer);
    }
    void OnSectionChanged(unsigned) override { Q_EMIT screen->NewTick(); }
    void OnNoteFromDevice(bool pressed, int note) override { Q_EMIT screen->NoteEntered(pressed, note); }

    // Core::LessonBaseObserver; any thread, lesson lock held.
    void OnExerciseStateChanged(int) override { Q_EMIT screen->StateChanged(); }
    void OnLessonTick(int) override { Q_EMIT screen->NewTick(); }
    void OnPlayStateChanged(int) override { Q_EMIT screen->PlayStateChanged(); }

    // The screen's six connections, made once in its constructor, after the meta-types are
    // registered. Queued from every thread (see the comment at the top).
    static void Connect(Screen* screen)
    {
        RegisterScreenMetaTypes();
        const auto queued = Qt::QueuedConnection;
        QObject::connect(screen, &Screen::NewTick, screen, qOverload<>(&Screen::UpdateSlider), queued);
        QObject::connect(screen, &Screen::StateChanged, screen, &Screen::UpdateUIOnStateChange, queued);
        QObject::connect(screen, &Screen::PlayStateChanged, screen, &Screen::UpdateUI, queued);
        QObject::connect(screen, &Screen::AnswerProvided, screen, &Screen::UpdateAnswerUI, queued);
        QObject::connect(screen, &Screen::NoteEntered, screen, &Screen::HighlightNote, queued);
        QObject::connect(screen, &Screen::NextQuestion, screen, &Screen::MoveToNextQuestion, queued);
    }

    // A new handler for `screen`, observing `exercise`: attached to its lesson subject, then to
    // its exercise subject. GUI thread.
    static std::shared_ptr<ExerciseHandlerOf> AttachTo(Screen* screen, Core::Exercise& exercise)
    {
        auto handler = std::make_shared<ExerciseHandlerOf>(screen);
        exercise.Attach(static_cast<Core::LessonBaseObserver*>(handler.get()));
        exercise.Attach(static_cast<Core::ExerciseObserver*>(handler.get()));
        return handler;
    }

    // Detaches from both subjects of `exercise`. When it returns, no report of that exercise is
    // in progress in this handler on any thread, so the handler may be released. Every report
    // is made with the lesson lock held, from before the observer list is copied until the last
    // observer has been called: taking that lock once after detaching waits for a report that
    // copied the list before. GUI thread, no lesson lock held.
    void DetachFrom(Core::Exercise& exercise)
    {
        exercise.Detach(static_cast<Core::LessonBaseObserver*>(this));
        exercise.Detach(static_cast<Core::ExerciseObserver*>(this));
        exercise.GetPlayState();
    }

private:
    Screen* const screen;
};

class ExerciseScreen;
using ExerciseHandler = ExerciseHandlerOf<ExerciseScreen>;

} // namespace UI

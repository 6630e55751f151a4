#pragma once
// A lesson paced by a timeline: its play state (0 stopped, 1 running, 2 paused), seeking, and the
// timeline it lays its sections out on. Core::Exercise builds the question loop on it; the
// screen drives it (Start, Pause, Seek) and observes it through LessonBaseObserver.
//
// Threads and locks. Three threads enter a lesson: the GUI thread (screen calls), the timer
// thread (ticks, end of playback) and the MIDI input thread (answers by key). Every field of the
// lesson and of the exercise is guarded by `lock`, a recursive mutex. Lock order, outermost
// first; a thread holding one of these never waits for an earlier one:
//   1. the lesson's `lock`
//   2. the timeline's lock (its Start/Stop/SetPaused notify OnStateChanged while holding it;
//      the lesson's OnStateChanged therefore never takes `lock`)
//   3. the stream device's lock, then that device's delivery mutex, then the output device's
//      mutex (stream replay and the connector's forwarding)
//   4. leaf mutexes: subjects' observer lists, the statistics store, the answer listener's
//      rebind mutex (taken only outside `lock`, see below)
// Objects whose destruction or detachment waits for a callback of another thread (a timeline or
// stream device waits for its timer call, a connector or answer listener for a MIDI delivery)
// are never destroyed or rebound while `lock` is held: they are handed to ReleaseLater or
// AfterUnlock and dealt with when the outermost Locker lets go. Notifications are made with
// `lock` held; observers must not block (least of all on the GUI thread).

#include "core/exercise/lesson_base_observer.h"
#include "core/subject.h"
#include "core/timing/time_line.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace Core {

class SoundController;

class LessonBase : public TimeLineObserver, public Subject<LessonBaseObserver>
{
public:
    enum PlayState
    {
        Stopped = 0,
        Running = 1,
        Paused = 2,
    };

    LessonBase();
    ~LessonBase() override;
    LessonBase(const LessonBase&) = delete;
    LessonBase& operator=(const LessonBase&) = delete;

    // TimeLineObserver, called by the timeline on the timer thread or the caller's thread.
    void OnTick(int position) override;
    void OnStateChanged(int oldState, int newState) override;
    void OnSegmentChanged(int previousSegment, int nextSegment) override;

    virtual void Reset();
    virtual void SetSoundController(std::shared_ptr<SoundController> controller);
    virtual void Seek(int position);
    virtual void Start();
    virtual void Stop();
    // Returns true when the call changed between paused and not paused.
    virtual bool Pause(bool pause);
    virtual void Stop(bool finished);
    virtual void OnSeek(int section, int offset) = 0;
    virtual void SetSection(int section) = 0;

    int GetPlayState() const;
    std::shared_ptr<TimeLine> GetTimeLine() const;
    void SetPlayState(int state);
    void BeginSeek();
    void EndSeek();

protected:
    // Holds `lock`; when the outermost Locker of a thread lets go, the objects handed to
    // ReleaseLater are destroyed and the AfterUnlock actions run, with no lesson lock held.
    class Locker
    {
    public:
        explicit Locker(const LessonBase& lesson);
        ~Locker();
        Locker(const Locker&) = delete;
        Locker& operator=(const Locker&) = delete;

    private:
        const LessonBase& lesson;
    };

    // Call with `lock` held.
    void ReleaseLater(std::shared_ptr<void> object);
    void AfterUnlock(std::function<void()> action);

    // Replaces the timeline by a new one the lesson observes; the old one is released later.
    void ResetBase();
    // For destructors of derived classes, with no lock held: after it returns no timeline call
    // reaches this lesson any more.
    void DisconnectTimeLine();

    mutable std::recursive_mutex lock;
    int playState = Stopped;
    bool suspended = false;
    bool resumeAfterSeek = false;
    std::shared_ptr<TimeLine> timeline;
    std::shared_ptr<SoundController> soundController;

private:
    class TimeLineLink;

    std::shared_ptr<TimeLineLink> link; // what the timeline calls; forwards to this lesson
    mutable int lockDepth = 0;          // owning thread's recursion depth; guarded by lock
    mutable std::vector<std::shared_ptr<void>> releasePending;
    mutable std::vector<std::function<void()>> afterUnlock;
};

} // namespace Core

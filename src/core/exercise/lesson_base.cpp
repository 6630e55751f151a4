#include "core/exercise/lesson_base.h"

namespace Core {

// The timeline's observer on behalf of the lesson. Deactivating it waits for a tick or segment
// call being forwarded on the timer thread, so that no call reaches a lesson being destroyed or
// reset. OnStateChanged is not forwarded: the timeline makes it with its own lock held, and the
// lesson has nothing to do for it.
class LessonBase::TimeLineLink : public TimeLineObserver
{
public:
    explicit TimeLineLink(LessonBase* owner) : lesson(owner) {}

    void OnTick(int position) override
    {
        std::lock_guard<std::recursive_mutex> guard(mutex);
        if (lesson)
            lesson->OnTick(position);
    }
    void OnStateChanged(int, int) override {}
    void OnSegmentChanged(int previousSegment, int nextSegment) override
    {
        std::lock_guard<std::recursive_mutex> guard(mutex);
        if (lesson)
            lesson->OnSegmentChanged(previousSegment, nextSegment);
    }
    // Never with the lesson's lock held: a forward in progress may be waiting for it.
    void Deactivate()
    {
        std::lock_guard<std::recursive_mutex> guard(mutex);
        lesson = nullptr;
    }

private:
    std::recursive_mutex mutex; // held while forwarding; recursive for calls back on that thread
    LessonBase* lesson;
};

LessonBase::Locker::Locker(const LessonBase& owner) : lesson(owner)
{
    lesson.lock.lock();
    ++lesson.lockDepth;
}

LessonBase::Locker::~Locker()
{
    if (--lesson.lockDepth > 0) {
        lesson.lock.unlock();
        return;
    }
    std::vector<std::shared_ptr<void>> objects;
    std::vector<std::function<void()>> actions;
    objects.swap(lesson.releasePending);
    actions.swap(lesson.afterUnlock);
    lesson.lock.unlock();
    for (auto& action : actions)
        action();
    actions.clear();
    objects.clear(); // destructors may wait for the timer or MIDI thread, which may need `lock`
}

void LessonBase::ReleaseLater(std::shared_ptr<void> object)
{
    if (object)
        releasePending.push_back(std::move(object));
}

void LessonBase::AfterUnlock(std::function<void()> action)
{
    afterUnlock.push_back(std::move(action));
}

LessonBase::LessonBase() = default;

LessonBase::~LessonBase()
{
    DisconnectTimeLine();
}

void LessonBase::DisconnectTimeLine()
{
    std::shared_ptr<TimeLineLink> oldLink;
    std::shared_ptr<TimeLine> oldTimeLine;
    {
        Locker guard(*this);
        oldLink = std::move(link);
        oldTimeLine = std::move(timeline);
        if (oldTimeLine) {
            oldTimeLine->Detach(oldLink.get());
            oldTimeLine->Stop();
        }
    }
    if (oldLink)
        oldLink->Deactivate();
}

void LessonBase::OnTick(int position)
{
    Subject<LessonBaseObserver>::Notify(&LessonBaseObserver::OnLessonTick, position);
}

void LessonBase::OnStateChanged(int, int)
{
    // Called with the timeline's lock held: must not take `lock`.
}

void LessonBase::OnSegmentChanged(int, int) {}

void LessonBase::ResetBase()
{
    SetPlayState(Stopped);
    suspended = false;
    resumeAfterSeek = false;
    if (timeline) {
        timeline->Detach(link.get());
        timeline->Stop();
        ReleaseLater(std::move(timeline));
    }
    if (link) {
        std::shared_ptr<TimeLineLink> old = std::move(link);
        AfterUnlock([old] { old->Deactivate(); });
    }
    link = std::make_shared<TimeLineLink>(this);
    timeline = std::make_shared<TimeLine>();
    timeline->Attach(link.get());
}

void LessonBase::Reset()
{
    Locker guard(*this);
    ResetBase();
}

void LessonBase::SetSoundController(std::shared_ptr<SoundController> controller)
{
    Locker guard(*this);
    soundController = std::move(controller);
}

void LessonBase::Seek(int position)
{
    Locker guard(*this);
    if (!timeline)
        return;
    const int target = timeline->SegmentAt(position);
    const int wasPlaying = playState;
    const int current = timeline->CurrentSegment();
    if (target != current) {
        Stop(false);
        SetSection(target);
    }
    timeline->SetPosition(position);
    OnSeek(target, timeline->OffsetInSegment());
    if (target != current && (wasPlaying == Running || (suspended && resumeAfterSeek)))
        Start();
}

void LessonBase::Start()
{
    Locker guard(*this);
    if (timeline)
        timeline->Start();
    SetPlayState(Running);
}

void LessonBase::Stop()
{
    Stop(false);
}

bool LessonBase::Pause(bool pause)
{
    Locker guard(*this);
    const bool wasPaused = playState == Paused;
    if (timeline)
        timeline->SetPaused(pause);
    SetPlayState(pause ? Paused : Running);
    return wasPaused != pause;
}

void LessonBase::Stop(bool)
{
    Locker guard(*this);
    if (timeline)
        timeline->Stop();
    SetPlayState(Stopped);
}

int LessonBase::GetPlayState() const
{
    Locker guard(*this);
    return playState;
}

std::shared_ptr<TimeLine> LessonBase::GetTimeLine() const
{
    Locker guard(*this);
    return timeline;
}

void LessonBase::SetPlayState(int state)
{
    Locker guard(*this);
    if (state == playState)
        return;
    playState = state;
    Subject<LessonBaseObserver>::Notify(&LessonBaseObserver::OnPlayStateChanged, state);
}

void LessonBase::BeginSeek()
{
    Locker guard(*this);
    suspended = true;
    resumeAfterSeek = playState == Running;
    if (resumeAfterSeek)
        Pause(true);
}

void LessonBase::EndSeek()
{
    Locker guard(*this);
    suspended = false;
    if (resumeAfterSeek)
        Pause(false);
}

} // namespace Core

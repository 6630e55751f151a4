#include "core/timing/timer.h"

#include "core/error.h"

#include <QLoggingCategory>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <pthread.h>
#include <sched.h>
#include <time.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

Q_LOGGING_CATEGORY(timerLog, "cantorela.timer")

namespace Core {
namespace {

constexpr quint64 PeriodNs = 1000000;

struct TimerState
{
    std::mutex mutex; // guards every field below except the atomics
    std::condition_variable callbackReturned;
    std::vector<MultimediaTimerObserver*> observers;
    quint32 timerId = 0;                        // 0: stopped, or stopping once the thread next wakes
    quint32 lastTimerId = 0;                    // ids are never reused within a run of the program
    bool threadAlive = false;                   // a timer thread exists (it may be on its way out)
    MultimediaTimerObserver* calling = nullptr; // observer whose OnTimer runs right now
    std::thread::id timerThread;
    int waiters = 0; // threads in Detach waiting for `calling` to return

    std::atomic<quint64> deadlineNs{0};
    std::atomic<bool> realTime{false};
};

// Never destroyed: the timer thread may still be finishing its last round while the process
// runs its static destructors.
TimerState& State()
{
    static TimerState* state = [] {
        auto* s = new TimerState;
        s->observers.reserve(Timer::MaxObservers);
        return s;
    }();
    return *state;
}

quint64 ToNs(const timespec& t)
{
    return quint64(t.tv_sec) * 1000000000ull + quint64(t.tv_nsec);
}

timespec FromNs(quint64 ns)
{
    timespec t;
    t.tv_sec = time_t(ns / 1000000000ull);
    t.tv_nsec = long(ns % 1000000000ull);
    return t;
}

// Lowest timer slack, and a real-time class when the system grants one; silently ordinary
// scheduling otherwise (an unprivileged desktop user usually gets no SCHED_FIFO).
void ConfigureTimerThread(TimerState& state)
{
#if defined(__linux__)
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    pthread_setname_np(pthread_self(), "cantorela-timer");
#endif
    // CANTORELA_TIMER_NO_REALTIME=1 keeps ordinary scheduling (for measuring what users without
    // real-time rights get).
    if (qEnvironmentVariableIntValue("CANTORELA_TIMER_NO_REALTIME") == 1) {
        state.realTime = false;
        return;
    }
    sched_param param{};
    param.sched_priority =
        std::min(sched_get_priority_min(SCHED_FIFO) + 9, sched_get_priority_max(SCHED_FIFO));
    state.realTime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

void RunTimerThread()
{
    TimerState& state = State();
    ConfigureTimerThread(state);

    std::array<MultimediaTimerObserver*, Timer::MaxObservers> snapshot;
    quint64 deadline = Timer::NowNs() + PeriodNs;

    for (;;) {
        const timespec wake = FromNs(deadline);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) {
        }
        state.deadlineNs.store(deadline, std::memory_order_relaxed);

        size_t count = 0;
        {
            std::lock_guard<std::mutex> guard(state.mutex);
            if (state.timerId == 0) {
                state.threadAlive = false;
                return;
            }
            count = std::min(state.observers.size(), snapshot.size());
            std::copy_n(state.observers.begin(), count, snapshot.begin());
        }

        for (size_t i = 0; i < count; ++i) {
            MultimediaTimerObserver* observer = snapshot[i];
            {
                // Skip observers detached since the snapshot was taken.
                std::lock_guard<std::mutex> guard(state.mutex);
                if (state.timerId == 0)
                    break;
                if (std::find(state.observers.begin(), state.observers.end(), observer) ==
                    state.observers.end())
                    continue;
                state.calling = observer;
            }
            try {
                observer->OnTimer(Timer::NowMs());
            } catch (const std::exception& e) {
                qCWarning(timerLog, "timer observer threw: %s", e.what());
            } catch (...) {
                qCWarning(timerLog, "timer observer threw an unknown exception");
            }
            {
                std::lock_guard<std::mutex> guard(state.mutex);
                state.calling = nullptr;
                if (state.waiters > 0)
                    state.callbackReturned.notify_all();
            }
        }

        // Next deadline on the 1 ms grid; deadlines already past are skipped, not caught up.
        deadline += PeriodNs;
        const quint64 now = Timer::NowNs();
        if (deadline <= now)
            deadline += ((now - deadline) / PeriodNs + 1) * PeriodNs;
    }
}

} // namespace

quint64 Timer::Attach(MultimediaTimerObserver* observer)
{
    TimerState& state = State();
    {
        std::lock_guard<std::mutex> guard(state.mutex);
        bool added = false;
        if (state.observers.size() >= size_t(MaxObservers)) {
            Q_ASSERT_X(false, "Core::Timer::Attach", "too many timer observers");
            qCCritical(timerLog, "Core::Timer::Attach: refusing observer beyond the limit of %d",
                       MaxObservers);
        } else {
            state.observers.push_back(observer);
            added = true;
        }
        if (state.timerId == 0) {
            try {
                Start();
            } catch (...) {
                // The observer is about to go (its constructor fails): it must not stay behind to
                // be called once a later start succeeds.
                if (added)
                    state.observers.pop_back();
                throw;
            }
        }
    }
    return NowMs();
}

void Timer::Detach(MultimediaTimerObserver* observer)
{
    TimerState& state = State();
    std::unique_lock<std::mutex> lock(state.mutex);
    auto it = std::find(state.observers.begin(), state.observers.end(), observer);
    if (it == state.observers.end())
        return;
    state.observers.erase(it);
    const bool stillAttached =
        std::find(state.observers.begin(), state.observers.end(), observer) != state.observers.end();

    // Wait for this observer's own callback, unless we are that callback.
    if (!stillAttached && state.calling == observer && std::this_thread::get_id() != state.timerThread) {
        ++state.waiters;
        state.callbackReturned.wait(lock, [&] { return state.calling != observer; });
        --state.waiters;
    }

    // The thread sees timerId 0 when it next wakes and ends itself; nobody waits for it.
    if (state.observers.empty() && state.timerId != 0)
        state.timerId = 0;
}

// Called with the state mutex held.
void Timer::Start()
{
    TimerState& state = State();
    if (!state.threadAlive) {
        try {
            std::thread thread(RunTimerThread);
            state.timerThread = thread.get_id();
            thread.detach();
        } catch (const std::system_error& e) {
            qCCritical(timerLog, "cannot start the timer thread: %s", e.what());
            throw Error("src/core/timer", "Core::Timer::Start", __LINE__, 0x401,
                        QStringLiteral("Error starting timer"));
        }
        state.threadAlive = true;
    }
    // A thread on its way out keeps running when it finds a new id at its next wake.
    state.timerId = ++state.lastTimerId;
    if (state.timerId == 0)
        state.timerId = ++state.lastTimerId;
}

quint64 Timer::NowNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return ToNs(now);
}

quint64 Timer::NowMs()
{
    return NowNs() / 1000000ull;
}

quint32 Timer::TimerId()
{
    TimerState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return state.timerId;
}

int Timer::ObserverCount()
{
    TimerState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return int(state.observers.size());
}

quint64 Timer::CurrentDeadlineNs()
{
    return State().deadlineNs.load(std::memory_order_relaxed);
}

bool Timer::IsRealTime()
{
    return State().realTime.load();
}

} // namespace Core

// The 1 ms timer: start and stop with the observer count, delivery rules, and detaching from
// other threads while callbacks run, including the lock-order case that used to deadlock.

#include "core/time_line.h"
#include "core/timer.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

namespace {

class CountingObserver : public Core::MultimediaTimerObserver
{
public:
    void OnTimer(quint64 nowMs) override
    {
        lastNowMs = nowMs;
        ++calls;
        if (hook)
            hook();
    }
    std::atomic<int> calls{0};
    std::atomic<quint64> lastNowMs{0};
    std::function<void()> hook;
};

// Runs `work` on its own thread and reports whether it finished within `limit`. A deadlock
// leaves the thread stuck: the process then ends with a clear message instead of hanging ctest.
bool FinishesWithin(std::function<void()> work, std::chrono::milliseconds limit)
{
    auto done = std::make_shared<std::promise<void>>();
    auto future = done->get_future();
    std::thread([work, done] {
        work();
        done->set_value();
    }).detach();
    if (future.wait_for(limit) == std::future_status::ready)
        return true;
    qFatal("deadlock: the operation did not finish within %lld ms", (long long)limit.count());
    return false;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = 5000ms)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(1ms);
    }
    return condition();
}

} // namespace

class TestTimer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { QCOMPARE(Core::Timer::ObserverCount(), 0); }

    void runsExactlyWhileObserversAreAttached()
    {
        QCOMPARE(Core::Timer::TimerId(), quint32(0));
        CountingObserver a;
        const quint64 before = Core::Timer::NowMs();
        const quint64 attachedAt = Core::Timer::Attach(&a);
        QVERIFY(attachedAt >= before);
        const quint32 firstId = Core::Timer::TimerId();
        QVERIFY(firstId != 0);
        QVERIFY(WaitUntil([&] { return a.calls >= 20; }));
        QVERIFY(a.lastNowMs >= attachedAt);

        Core::Timer::Detach(&a);
        QCOMPARE(Core::Timer::TimerId(), quint32(0));
        const int callsAtDetach = a.calls;
        std::this_thread::sleep_for(20ms);
        QCOMPARE(a.calls.load(), callsAtDetach);

        Core::Timer::Attach(&a);
        const quint32 secondId = Core::Timer::TimerId();
        QVERIFY(secondId != 0);
        QVERIFY(secondId != firstId);
        QVERIFY(WaitUntil([&] { return a.calls >= callsAtDetach + 5; }));
        Core::Timer::Detach(&a);
    }

    void sameObserverTwiceIsCalledTwiceAndDetachedOnceAtATime()
    {
        CountingObserver a, pacer;
        std::atomic<int> rounds{0};
        pacer.hook = [&] { ++rounds; };
        Core::Timer::Attach(&a);
        Core::Timer::Attach(&a);
        Core::Timer::Attach(&pacer);
        QCOMPARE(Core::Timer::ObserverCount(), 3);
        QVERIFY(WaitUntil([&] { return rounds >= 10; }));
        Core::Timer::Detach(&pacer);
        // Each round calls `a` twice before the pacer.
        const int calls = a.calls;
        QVERIFY2(calls >= 20, qPrintable(QString::number(calls)));

        Core::Timer::Detach(&a);
        QCOMPARE(Core::Timer::ObserverCount(), 1);
        QVERIFY(Core::Timer::TimerId() != 0);
        const int afterOne = a.calls;
        QVERIFY(WaitUntil([&] { return a.calls >= afterOne + 5; }));
        Core::Timer::Detach(&a);
        QCOMPARE(Core::Timer::TimerId(), quint32(0));
    }

    void detachWaitsForTheObserversCallInProgress()
    {
        CountingObserver slow;
        std::atomic<bool> inCallback{false};
        std::atomic<bool> entered{false};
        slow.hook = [&] {
            inCallback = true;
            entered = true;
            std::this_thread::sleep_for(30ms);
            inCallback = false;
        };
        Core::Timer::Attach(&slow);
        QVERIFY(WaitUntil([&] { return entered.load(); }));
        QVERIFY(WaitUntil([&] { return inCallback.load(); }));
        Core::Timer::Detach(&slow);
        QVERIFY(!inCallback);
        const int calls = slow.calls;
        std::this_thread::sleep_for(40ms);
        QCOMPARE(slow.calls.load(), calls);
    }

    // A callback takes a lock that another thread holds while it attaches and detaches other
    // observers (creating and destroying a timeline, as a lesson does under its own lock).
    void attachAndDetachUnderALockTheCallbackWaitsFor()
    {
        std::mutex lessonLock;
        CountingObserver lesson;
        lesson.hook = [&] { std::lock_guard<std::mutex> guard(lessonLock); };
        Core::Timer::Attach(&lesson);
        QVERIFY(WaitUntil([&] { return lesson.calls >= 3; }));

        FinishesWithin(
            [&] {
                for (int i = 0; i < 50; ++i) {
                    std::lock_guard<std::mutex> guard(lessonLock);
                    // Give the timer thread time to block on lessonLock inside its callback.
                    std::this_thread::sleep_for(2ms);
                    auto timeLine = std::make_unique<Core::TimeLine>();
                    CountingObserver other;
                    Core::Timer::Attach(&other);
                    Core::Timer::Detach(&other);
                    timeLine.reset();
                }
            },
            10s);
        Core::Timer::Detach(&lesson);
        QCOMPARE(Core::Timer::TimerId(), quint32(0));
    }

    void observerMayDetachItselfAndAttachOthersFromItsCallback()
    {
        CountingObserver self, newcomer;
        self.hook = [&] {
            Core::Timer::Detach(&self);
            Core::Timer::Attach(&newcomer);
        };
        Core::Timer::Attach(&self);
        QVERIFY(WaitUntil([&] { return newcomer.calls >= 5; }));
        QCOMPARE(self.calls.load(), 1);
        Core::Timer::Detach(&newcomer);
    }

    void lastObserverDetachingItselfStopsTheTimer()
    {
        CountingObserver self;
        self.hook = [&] { Core::Timer::Detach(&self); };
        Core::Timer::Attach(&self);
        QVERIFY(WaitUntil([&] { return self.calls >= 1; }));
        QVERIFY(WaitUntil([&] { return Core::Timer::TimerId() == 0; }));
        std::this_thread::sleep_for(10ms);
        QCOMPARE(self.calls.load(), 1);
    }

    void throwingObserverDoesNotStopTheOthers()
    {
        CountingObserver thrower, steady;
        thrower.hook = [] { throw std::runtime_error("boom"); };
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("threw"));
        Core::Timer::Attach(&thrower);
        QVERIFY(WaitUntil([&] { return thrower.calls >= 1; }));
        Core::Timer::Detach(&thrower);
        Core::Timer::Attach(&steady);
        QVERIFY(WaitUntil([&] { return steady.calls >= 3; }));
        Core::Timer::Detach(&steady);
    }

    // Many threads attach and detach while callbacks run; run under ThreadSanitizer in CI.
    void concurrentAttachAndDetach()
    {
        constexpr int Threads = 4;
        std::vector<std::thread> threads;
        std::atomic<int> totalCalls{0};
        for (int t = 0; t < Threads; ++t) {
            threads.emplace_back([&] {
                for (int i = 0; i < 200; ++i) {
                    CountingObserver o;
                    o.hook = [&] { ++totalCalls; };
                    Core::Timer::Attach(&o);
                    if (i % 10 == 0)
                        std::this_thread::sleep_for(2ms);
                    Core::Timer::Detach(&o);
                }
            });
        }
        for (auto& t : threads)
            t.join();
        QCOMPARE(Core::Timer::ObserverCount(), 0);
        QVERIFY(WaitUntil([] { return Core::Timer::TimerId() == 0; }));
        QVERIFY(totalCalls > 0);
    }

    void clockIsMonotonicMilliseconds()
    {
        const quint64 a = Core::Timer::NowMs();
        std::this_thread::sleep_for(25ms);
        const quint64 b = Core::Timer::NowMs();
        QVERIFY(b >= a + 24);
        QVERIFY(b < a + 2000);
        QVERIFY(Core::Timer::NowNs() / 1000000 >= b);
    }
};

QTEST_APPLESS_MAIN(TestTimer)
#include "test_timer.moc"

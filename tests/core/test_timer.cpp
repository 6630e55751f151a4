// The 1 ms timer: start and stop, the observer limit, delivery, and detaching from other threads
// while callbacks run (with the lock order that used to deadlock). Waits are for observers' calls.

#include "core/timing/time_line.h"
#include "core/timing/timer.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using Core::Timer;

namespace {

// Counts its calls after running its hook, so that a wait for n calls also waits for the hook.
struct Observer : Core::MultimediaTimerObserver
{
    void OnTimer(quint64) override
    {
        if (hook)
            hook();
        std::lock_guard<std::mutex> lock(mutex);
        ++calls;
        called.notify_all();
    }
    bool WaitForCalls(int count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return called.wait_for(lock, 5s, [&] { return calls >= count; });
    }
    int Calls()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return calls;
    }
    std::function<void()> hook;
    std::mutex mutex;
    std::condition_variable called;
    int calls = 0;
};

// Whether `observer` stays uncalled while a fresh observer is called five times.
bool NotCalledAnyMore(Observer& observer)
{
    const int calls = observer.Calls();
    Observer pacer;
    Timer::Attach(&pacer);
    const bool paced = pacer.WaitForCalls(5);
    Timer::Detach(&pacer);
    return paced && observer.Calls() == calls;
}

} // namespace

class TestTimer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { QCOMPARE(Timer::ObserverCount(), 0); }

    void runsExactlyWhileObserversAreAttached()
    {
        QCOMPARE(Timer::TimerId(), quint32(0));
        Observer a;
        const auto start = std::chrono::steady_clock::now();
        const quint64 startMs = Timer::NowMs();
        Timer::Attach(&a);
        const quint32 firstId = Timer::TimerId();
        QVERIFY(firstId != 0);
        QVERIFY(a.WaitForCalls(20));
        // Twenty ticks on the 1 ms grid take 19 ms at least, as the timer's own clock agrees.
        using std::chrono::steady_clock;
        const qint64 elapsedMs = (steady_clock::now() - start) / 1ms, clockMs = Timer::NowMs() - startMs;
        QVERIFY2(elapsedMs >= 19 && std::abs(clockMs - elapsedMs) <= 2, qPrintable(QString::number(clockMs)));
        Timer::Detach(&a);
        QCOMPARE(Timer::TimerId(), quint32(0));
        // A restarted timer has a new identity and calls only what is attached now.
        Observer b;
        Timer::Attach(&b);
        QVERIFY(Timer::TimerId() != 0 && Timer::TimerId() != firstId);
        QVERIFY(NotCalledAnyMore(a));
        // The same observer attached twice is called twice a round and detached once at a time.
        const int once = b.Calls();
        Timer::Attach(&b);
        Observer pacer; // called after both of b's calls in every round
        Timer::Attach(&pacer);
        QCOMPARE(Timer::ObserverCount(), 3);
        QVERIFY(pacer.WaitForCalls(10));
        Timer::Detach(&pacer);
        QVERIFY2(b.Calls() - once >= 20, qPrintable(QString::number(b.Calls() - once)));
        Timer::Detach(&b);
        QCOMPARE(Timer::ObserverCount(), 1);
        QVERIFY(b.WaitForCalls(b.Calls() + 5));
        Timer::Detach(&b);
        QCOMPARE(Timer::TimerId(), quint32(0));
    }

    // One past the limit: the first MaxObservers are all served, the one beyond is refused.
    void observersUpToTheLimitAreServed()
    {
#ifndef QT_NO_DEBUG
        QSKIP("Attach asserts on an observer beyond the limit in a debug build");
#endif
        const int attached = Timer::MaxObservers + 1;
        std::vector<Observer> observers(static_cast<size_t>(attached));
        for (int i = 0; i < attached; ++i) {
            if (i == Timer::MaxObservers)
                QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("refusing observer beyond the limit"));
            Timer::Attach(&observers[size_t(i)]);
        }
        QCOMPARE(Timer::ObserverCount(), Timer::MaxObservers);
        QVERIFY(observers[size_t(Timer::MaxObservers - 1)].WaitForCalls(3));
        for (int i = 0; i < attached; ++i)
            QCOMPARE(observers[size_t(i)].Calls() > 0, i < Timer::MaxObservers);
        for (Observer& observer : observers)
            Timer::Detach(&observer); // the refused one is not in the list: no effect
        QCOMPARE(Timer::TimerId(), quint32(0));
    }

    void detachWaitsForTheObserversCallInProgress()
    {
        Observer slow;
        std::atomic<bool> inCallback{false}, entered{false};
        std::promise<void> firstCall;
        slow.hook = [&] {
            inCallback = true;
            if (!entered.exchange(true))
                firstCall.set_value();
            std::this_thread::sleep_for(30ms); // a long callback, for Detach to wait for
            inCallback = false;
        };
        Timer::Attach(&slow);
        firstCall.get_future().wait();
        Timer::Detach(&slow);
        QVERIFY(!inCallback);
        QVERIFY(NotCalledAnyMore(slow));
    }

    // A callback takes a lock another thread holds while it attaches and detaches observers (as a
    // lesson makes a timeline under its lock). A deadlock ends the process instead of hanging ctest.
    void attachAndDetachUnderALockTheCallbackWaitsFor()
    {
        std::mutex lessonLock;
        Observer lesson;
        lesson.hook = [&] { std::lock_guard<std::mutex> guard(lessonLock); };
        Timer::Attach(&lesson);
        QVERIFY(lesson.WaitForCalls(3));
        auto done = std::make_shared<std::promise<void>>();
        std::thread([&lessonLock, done] {
            for (int i = 0; i < 50; ++i) {
                std::lock_guard<std::mutex> guard(lessonLock);
                std::this_thread::sleep_for(2ms); // lets the callback block on lessonLock
                auto timeLine = std::make_unique<Core::TimeLine>();
                Observer other;
                Timer::Attach(&other);
                Timer::Detach(&other);
            }
            done->set_value();
        }).detach();
        if (done->get_future().wait_for(10s) != std::future_status::ready)
            qFatal("deadlock: attaching and detaching under the lesson's lock did not finish");
        Timer::Detach(&lesson);
        QCOMPARE(Timer::TimerId(), quint32(0));
    }

    // An observer detaching itself from its callback, attaching another, and throwing then.
    void observerMayDetachItselfFromItsCallback_data()
    {
        QTest::addColumn<bool>("attachAnother");
        QTest::addColumn<bool>("throws");
        QTest::newRow("the last one: the timer stops") << false << false;
        QTest::newRow("attaching another: the timer goes on") << true << false;
        QTest::newRow("throwing: the others are still served") << true << true;
    }
    void observerMayDetachItselfFromItsCallback()
    {
        QFETCH(bool, attachAnother);
        QFETCH(bool, throws);
        Observer self, newcomer;
        self.hook = [&] {
            Timer::Detach(&self);
            if (attachAnother)
                Timer::Attach(&newcomer);
            if (throws)
                throw std::runtime_error("boom");
        };
        if (throws)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("threw"));
        Timer::Attach(&self);
        QVERIFY(throws ? newcomer.WaitForCalls(50) : self.WaitForCalls(1));
        QCOMPARE(Timer::TimerId() != 0, attachAnother);
        QVERIFY(NotCalledAnyMore(self));
        QCOMPARE(newcomer.Calls() > 0, attachAnother);
        Timer::Detach(&newcomer);
    }

    // Many threads attach and detach while callbacks run; run under ThreadSanitizer in CI.
    void concurrentAttachAndDetach()
    {
        std::vector<std::thread> threads;
        std::atomic<int> totalCalls{0};
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&] {
                for (int i = 0; i < 200; ++i) {
                    Observer o;
                    o.hook = [&] { ++totalCalls; };
                    Timer::Attach(&o);
                    if (i % 10 == 0)
                        std::this_thread::sleep_for(2ms); // lets callbacks run between the calls
                    Timer::Detach(&o);
                }
            });
        }
        for (auto& t : threads)
            t.join();
        QCOMPARE(Timer::ObserverCount(), 0);
        QCOMPARE(Timer::TimerId(), quint32(0));
        QVERIFY(totalCalls > 0);
    }
};

QTEST_APPLESS_MAIN(TestTimer)
#include "test_timer.moc"

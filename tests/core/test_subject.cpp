// Observer lists: attachment rules, snapshot delivery, changes made during a notification.

#include "core/subject.h"

#include <QtTest>

#include <functional>
#include <vector>

namespace {

class Listener
{
public:
    virtual ~Listener() = default;
    virtual void OnEvent(int value) = 0;
};

class Notifier : public Core::Subject<Listener>
{
public:
    void Fire(int value) { Notify(&Listener::OnEvent, value); }
};

// Logs id * 100 + value for each notification, then runs `onEvent`.
class Recorder : public Listener
{
public:
    Recorder(std::vector<int>* log, int id) : log(log), id(id) {}
    void OnEvent(int value) override
    {
        log->push_back(id * 100 + value);
        if (onEvent)
            onEvent();
    }
    std::vector<int>* log;
    int id;
    std::function<void()> onEvent;
};

} // namespace

class TestSubject : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void attachKeepsOrderRefusesDuplicatesAndDetachIgnoresStrangers()
    {
        std::vector<int> log;
        Recorder a(&log, 1), b(&log, 2), c(&log, 3), stranger(&log, 9);
        Notifier n;
        for (Recorder* r : {&a, &b, &a, &c})
            n.Attach(r);
        n.Fire(7);
        n.Detach(&stranger);
        n.Detach(&b);
        n.Fire(1);
        QCOMPARE(log, (std::vector<int>{107, 207, 307, 101, 301}));
    }

    // a detaches itself and b, and attaches a newcomer, while being notified: b is still told
    // this time, the newcomer from the next time on.
    void changesDuringNotificationTakeEffectNextTime()
    {
        std::vector<int> log;
        Recorder a(&log, 1), b(&log, 2), late(&log, 3);
        Notifier n;
        n.Attach(&a);
        n.Attach(&b);
        a.onEvent = [&] {
            n.Detach(&a);
            n.Detach(&b);
            n.Attach(&late);
        };
        n.Fire(1);
        n.Fire(2);
        QCOMPARE(log, (std::vector<int>{101, 201, 302}));
    }

    void observersBeyondTheLimitAreRefused()
    {
#ifndef QT_NO_DEBUG
        QSKIP("debug builds stop at the assertion that refuses the observer");
#else
        std::vector<int> log;
        std::vector<std::unique_ptr<Recorder>> recorders;
        Notifier n;
        for (int i = 0; i <= Notifier::MaxObservers; ++i) {
            recorders.push_back(std::make_unique<Recorder>(&log, i));
            if (i == Notifier::MaxObservers)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refusing observer"));
            n.Attach(recorders.back().get());
        }
        n.Fire(0);
        QCOMPARE(int(log.size()), Notifier::MaxObservers);
        QCOMPARE(log.back(), (Notifier::MaxObservers - 1) * 100);
#endif
    }
};

QTEST_APPLESS_MAIN(TestSubject)
#include "test_subject.moc"

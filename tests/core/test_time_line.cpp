// The segmented timeline on the real 1 ms timer: ticks, segment changes, running off the end,
// seeking, changing segment lengths, pause and stop.

#include "core/time_line.h"
#include "core/timer.h"

#include <QtTest>

#include <functional>
#include <mutex>
#include <vector>

namespace {

struct Event
{
    char kind; // 'T' tick, 'S' state, 'G' segment
    int a;
    int b;
    bool operator==(const Event& o) const { return kind == o.kind && a == o.a && b == o.b; }
};

QString Describe(const std::vector<Event>& events)
{
    QStringList parts;
    for (const Event& e : events)
        parts << (e.kind == 'T' ? QStringLiteral("T%1").arg(e.a) : QStringLiteral("%1(%2,%3)").arg(e.kind).arg(e.a).arg(e.b));
    return parts.join(' ');
}

// Records what the timeline reports, from whichever thread reports it.
class Recorder : public Core::TimeLineObserver
{
public:
    void OnTick(int position) override
    {
        Add({'T', position, 0});
        if (onTick)
            onTick(position);
    }
    void OnStateChanged(int oldState, int newState) override { Add({'S', oldState, newState}); }
    void OnSegmentChanged(int previous, int next) override { Add({'G', previous, next}); }

    std::vector<Event> Events() const
    {
        std::lock_guard<std::mutex> guard(mutex);
        return events;
    }
    bool Has(const Event& e) const
    {
        const auto all = Events();
        return std::find(all.begin(), all.end(), e) != all.end();
    }
    void Clear()
    {
        std::lock_guard<std::mutex> guard(mutex);
        events.clear();
    }
    qint64 firstTickAfterMs = -1;
    quint64 startedAtMs = 0;
    std::function<void(int)> onTick;

private:
    void Add(const Event& e)
    {
        std::lock_guard<std::mutex> guard(mutex);
        if (e.kind == 'T' && firstTickAfterMs < 0)
            firstTickAfterMs = qint64(Core::Timer::NowMs() - startedAtMs);
        events.push_back(e);
    }
    mutable std::mutex mutex;
    std::vector<Event> events;
};

} // namespace

class TestTimeLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void oneSegmentRunsOffTheEnd()
    {
        Recorder r; // outlives the timeline, which notifies it when destroyed
        Core::TimeLine line;
        line.Attach(&r);
        line.SetInterval(50);
        line.AddSegment("only", 3);
        r.startedAtMs = Core::Timer::NowMs();
        line.Start();
        QTRY_VERIFY_WITH_TIMEOUT(r.Has({'G', 0, -1}), 5000);
        const std::vector<Event> expected{{'S', 0, 2}, {'T', 1, 0}, {'T', 2, 0}, {'S', 2, 0}, {'G', 0, -1}};
        QVERIFY2(r.Events() == expected, qPrintable(Describe(r.Events())));
        QVERIFY2(r.firstTickAfterMs >= 49, qPrintable(QString::number(r.firstTickAfterMs)));
        QCOMPARE(line.Position(), 0);
        QCOMPARE(line.State(), int(Core::TimeLineStopped));
    }

    void segmentChangeFollowsTheTick()
    {
        Recorder r; // outlives the timeline, which notifies it when destroyed
        Core::TimeLine line;
        line.Attach(&r);
        line.SetInterval(5);
        line.AddSegment("first", 2);
        line.AddSegment("second", 2);
        line.Start();
        QTRY_VERIFY_WITH_TIMEOUT(r.Has({'G', 1, -1}), 5000);
        const std::vector<Event> expected{{'S', 0, 2}, {'T', 1, 0}, {'T', 2, 0}, {'G', 0, 1},
                                          {'T', 3, 0}, {'S', 2, 0}, {'G', 1, -1}};
        QVERIFY2(r.Events() == expected, qPrintable(Describe(r.Events())));
    }

    void withoutSegmentsThePositionCountsOnUntilStopped()
    {
        Core::TimeLine line;
        line.SetInterval(2);
        line.Start();
        QTRY_VERIFY_WITH_TIMEOUT(line.Position() >= 5, 5000);
        line.Stop();
        const int stoppedAt = line.Position();
        QTest::qWait(20);
        QCOMPARE(line.Position(), stoppedAt);
        QCOMPARE(line.TotalLength(), 0);
    }

    void segmentArithmetic()
    {
        Core::TimeLine line;
        QCOMPARE(line.AddSegment("a", 3), 0);
        QCOMPARE(line.AddSegment("b", 0), 1);
        QCOMPARE(line.AddSegment("c", 4), 2);
        QCOMPARE(line.SegmentCount(), 3);
        QCOMPARE(line.SegmentName(2), QStringLiteral("c"));
        QCOMPARE(line.SegmentStart(2), 3);
        QCOMPARE(line.TotalLength(), 7);
        QCOMPARE(line.SegmentAt(0), 0);
        QCOMPARE(line.SegmentAt(2), 0);
        QCOMPARE(line.SegmentAt(3), 2); // the empty segment b is never current
        QCOMPARE(line.SegmentAt(6), 2);
        QCOMPARE(line.SegmentAt(7), 0); // past the end
        line.SetPosition(5);
        QCOMPARE(line.CurrentSegment(), 2);
        QCOMPARE(line.OffsetInSegment(), 2);
    }

    void setPositionBounds()
    {
        Core::TimeLine line;
        line.AddSegment("a", 4);
        line.SetPosition(4); // the end itself is allowed
        QCOMPARE(line.Position(), 4);
        line.SetPosition(5); // past the end
        QCOMPARE(line.Position(), 0);
        line.SetPosition(3);
        line.SetPosition(-2);
        QCOMPARE(line.Position(), 0);
    }

    // An observer that seeks onto a segment start during OnTick is not told of that boundary.
    void seekOntoABoundaryDuringATickIsNotReported()
    {
        Recorder r; // outlives the timeline, which notifies it when destroyed
        Core::TimeLine line;
        line.Attach(&r);
        line.SetInterval(5);
        line.AddSegment("a", 2);
        line.AddSegment("b", 2);
        line.AddSegment("c", 2);
        r.onTick = [&](int position) {
            if (position == 1)
                line.SetPosition(4);
        };
        line.Start();
        QTRY_VERIFY_WITH_TIMEOUT(r.Has({'G', 2, -1}), 5000);
        const std::vector<Event> expected{{'S', 0, 2}, {'T', 1, 0}, {'T', 5, 0}, {'S', 2, 0}, {'G', 2, -1}};
        QVERIFY2(r.Events() == expected, qPrintable(Describe(r.Events())));
    }

    void setSegmentDuration_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("segment");
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("expectedPosition");
        QTest::addColumn<int>("expectedTotal");
        // Segments of 4, 4, 4.
        QTest::newRow("later segment grows: position moves with it") << 9 << 0 << 6 << 11 << 14;
        QTest::newRow("later segment shrinks") << 9 << 1 << 1 << 6 << 9;
        QTest::newRow("current segment restarts") << 6 << 1 << 10 << 4 << 18;
        QTest::newRow("segment ahead changes nothing") << 2 << 2 << 1 << 2 << 9;
    }
    void setSegmentDuration()
    {
        QFETCH(int, position);
        QFETCH(int, segment);
        QFETCH(int, duration);
        QFETCH(int, expectedPosition);
        QFETCH(int, expectedTotal);
        Core::TimeLine line;
        for (int i = 0; i < 3; ++i)
            line.AddSegment(QString::number(i), 4);
        line.SetPosition(position);
        line.SetSegmentDuration(segment, duration);
        QCOMPARE(line.Position(), expectedPosition);
        QCOMPARE(line.TotalLength(), expectedTotal);
        QCOMPARE(line.SegmentDuration(segment), duration);
    }

    void pauseAndStopSemantics()
    {
        Recorder r; // outlives the timeline, which notifies it when destroyed
        Core::TimeLine line;
        line.Attach(&r);
        line.SetInterval(1000000); // no ticks during this test
        line.AddSegment("a", 10);

        line.SetPaused(true); // stopped: nothing happens
        line.Stop();
        QVERIFY(r.Events().empty());

        line.Start();
        line.SetPaused(false); // already running
        line.SetPaused(true);
        line.SetPaused(true);
        line.Start(); // from paused: through stopped
        line.SetPosition(3);
        line.Stop();
        line.Start(); // the position survives stop and start
        QCOMPARE(line.Position(), 3);
        const std::vector<Event> expected{{'S', 0, 2}, {'S', 2, 1}, {'S', 1, 0}, {'S', 0, 2}, {'S', 2, 0}, {'S', 0, 2}};
        QVERIFY2(r.Events() == expected, qPrintable(Describe(r.Events())));
    }

    void pausedTimelineDoesNotTick()
    {
        Core::TimeLine line;
        line.SetInterval(2);
        line.AddSegment("a", 100000);
        line.Start();
        QTRY_VERIFY_WITH_TIMEOUT(line.Position() >= 2, 5000);
        line.SetPaused(true);
        const int pausedAt = line.Position();
        QTest::qWait(30);
        QCOMPARE(line.Position(), pausedAt);
        line.SetPaused(false);
        QTRY_VERIFY_WITH_TIMEOUT(line.Position() > pausedAt, 5000);
    }

    void destroyingARunningTimelineStopsIt()
    {
        Recorder r;
        {
            Core::TimeLine line;
            line.Attach(&r);
            line.SetInterval(1);
            line.AddSegment("a", 1000000);
            line.Start();
            QTRY_VERIFY_WITH_TIMEOUT(line.Position() > 3, 5000);
        }
        const auto events = r.Events();
        // A tick being delivered while the destructor runs may land after the stop.
        auto lastState = std::find_if(events.rbegin(), events.rend(), [](const Event& e) { return e.kind == 'S'; });
        QVERIFY(lastState != events.rend());
        QVERIFY(*lastState == (Event{'S', 2, 0}));
        QTRY_COMPARE(Core::Timer::TimerId(), quint32(0));
    }
};

QTEST_GUILESS_MAIN(TestTimeLine)
#include "test_time_line.moc"

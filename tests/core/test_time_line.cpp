// The segmented timeline on the real 1 ms timer: ticks, segment changes, running off the end,
// seeking, changing segment lengths, pause and stop.

#include "core/timing/time_line.h"
#include "core/timing/timer.h"

#include <QtTest>

#include <functional>
#include <mutex>

namespace {

// Records what the timeline reports, from whichever thread reports it: "T<position>" for a tick,
// "S(old,new)" for a state and "G(previous,next)" for a segment change.
class Recorder : public Core::TimeLineObserver
{
public:
    void OnTick(int position) override
    {
        Add(QStringLiteral("T%1").arg(position));
        if (onTick)
            onTick(position);
    }
    void OnStateChanged(int from, int to) override { Add(QString::asprintf("S(%d,%d)", from, to)); }
    void OnSegmentChanged(int from, int to) override { Add(QString::asprintf("G(%d,%d)", from, to)); }
    QString Events()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return events.join(' ');
    }
    std::function<void(int)> onTick;
    quint64 firstTickMs = 0;

private:
    void Add(const QString& event)
    {
        std::lock_guard<std::mutex> guard(mutex);
        if (event.startsWith('T') && firstTickMs == 0)
            firstTickMs = Core::Timer::NowMs();
        events << event;
    }
    std::mutex mutex;
    QStringList events;
};

// Waits until the timer has served another timeline `ticks` times: long enough for a stopped
// or paused timeline to have moved if it were still running.
bool TimerRanFor(int ticks)
{
    Core::TimeLine clock;
    clock.SetInterval(1);
    clock.Start();
    return QTest::qWaitFor([&] { return clock.Position() >= ticks; }, 5000);
}

} // namespace

class TestTimeLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // `seekAt` > 0: an observer moves the timeline to `seekTo` during that tick, and is not told
    // of the boundary it moved onto.
    void reportsTicksAndSegmentsInOrder_data()
    {
        QTest::addColumn<QList<int>>("segments");
        QTest::addColumn<int>("seekAt");
        QTest::addColumn<int>("seekTo");
        QTest::addColumn<QString>("events");
        QTest::newRow("one segment runs off the end")
            << QList<int>{3} << 0 << 0 << "S(0,2) T1 T2 S(2,0) G(0,-1)";
        QTest::newRow("segment change follows the tick")
            << QList<int>{2, 2} << 0 << 0 << "S(0,2) T1 T2 G(0,1) T3 S(2,0) G(1,-1)";
        QTest::newRow("seek onto a boundary during a tick")
            << QList<int>{2, 2, 2} << 1 << 4 << "S(0,2) T1 T5 S(2,0) G(2,-1)";
    }
    void reportsTicksAndSegmentsInOrder()
    {
        QFETCH(QList<int>, segments);
        QFETCH(int, seekAt);
        QFETCH(int, seekTo);
        Recorder r; // outlives the timeline, which notifies it when destroyed
        Core::TimeLine line;
        line.Attach(&r);
        line.SetInterval(20);
        for (int duration : segments)
            line.AddSegment(QStringLiteral("s"), duration);
        r.onTick = [&](int position) {
            if (position == seekAt)
                line.SetPosition(seekTo);
        };
        const quint64 startMs = Core::Timer::NowMs();
        line.Start();
        QTRY_VERIFY_WITH_TIMEOUT(r.Events().endsWith(QStringLiteral(",-1)")), 5000);
        QTEST(r.Events(), "events");
        QVERIFY2(r.firstTickMs - startMs >= 19, qPrintable(QString::number(r.firstTickMs - startMs)));
        QCOMPARE(line.Position(), 0);
        QCOMPARE(line.State(), int(Core::TimeLineStopped));
    }

    // Segments of 3, 0 and 4: the empty one is never current; the end itself is a position,
    // one past it or below 0 puts the timeline back to 0.
    void segmentsPositionsAndStatesAtTheirLimits()
    {
        Recorder r; // outlives the timeline, which notifies it when destroyed
        Core::TimeLine line;
        const QVector<int> added{line.AddSegment("a", 3), line.AddSegment("b", 0), line.AddSegment("c", 4)};
        QCOMPARE(added, (QVector<int>{0, 1, 2}));
        QCOMPARE(std::make_pair(line.SegmentStart(2), line.TotalLength()), std::make_pair(3, 7));
        const QVector<int> segmentAt{line.SegmentAt(0), line.SegmentAt(2), line.SegmentAt(3),
                                     line.SegmentAt(6), line.SegmentAt(7)};
        QCOMPARE(segmentAt, (QVector<int>{0, 0, 2, 2, 0}));
        line.SetPosition(5);
        QCOMPARE(std::make_pair(line.CurrentSegment(), line.OffsetInSegment()), std::make_pair(2, 2));
        QVector<int> positions; // after moving to 7, 8, 3 and -1
        for (int to : {7, 8, 3, -1}) {
            line.SetPosition(to);
            positions << line.Position();
        }
        QCOMPARE(positions, (QVector<int>{7, 0, 3, 0}));

        // Only real state changes are reported; Start from paused goes through stopped; the
        // position survives stop and start.
        line.Attach(&r);
        line.SetInterval(1000000); // no ticks from here on
        line.SetPaused(true);
        line.Stop();
        line.Start();
        line.SetPaused(false);
        line.SetPaused(true);
        line.SetPaused(true);
        line.Start();
        line.SetPosition(2);
        line.Stop();
        line.Start();
        QCOMPARE(line.Position(), 2);
        QCOMPARE(r.Events(), QStringLiteral("S(0,2) S(2,1) S(1,0) S(0,2) S(2,0) S(0,2)"));
    }

    void segmentDurationChangeKeepsThePlace_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("segment");
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("expectedPosition");
        QTest::addColumn<int>("expectedTotal");
        // Segments of 4, 4, 4.
        QTest::newRow("earlier segment grows: position moves with it") << 9 << 0 << 6 << 11 << 14;
        QTest::newRow("earlier segment shrinks") << 9 << 1 << 1 << 6 << 9;
        QTest::newRow("current segment restarts") << 6 << 1 << 10 << 4 << 18;
        QTest::newRow("segment ahead changes nothing") << 2 << 2 << 1 << 2 << 9;
        QTest::newRow("no such segment") << 2 << 3 << 1 << 2 << 12;
    }
    void segmentDurationChangeKeepsThePlace()
    {
        QFETCH(int, position);
        QFETCH(int, segment);
        QFETCH(int, duration);
        Core::TimeLine line;
        for (int i = 0; i < 3; ++i)
            line.AddSegment(QString::number(i), 4);
        line.SetPosition(position);
        line.SetSegmentDuration(segment, duration);
        QTEST(line.Position(), "expectedPosition");
        QTEST(line.TotalLength(), "expectedTotal");
    }

    // Without segments the position counts on until paused or stopped; destroying a running
    // timeline stops it and the timer with it.
    void pausedStoppedOrDestroyedTimelineDoesNotTick()
    {
        Recorder r;
        {
            Core::TimeLine line;
            line.Attach(&r);
            line.SetInterval(2);
            line.Start();
            QTRY_VERIFY_WITH_TIMEOUT(line.Position() >= 3, 5000);
            line.SetPaused(true);
            int at = line.Position();
            QVERIFY(TimerRanFor(20));
            QCOMPARE(line.Position(), at);
            line.SetPaused(false);
            QTRY_VERIFY_WITH_TIMEOUT(line.Position() > at, 5000);
            line.Stop();
            at = line.Position();
            QVERIFY(TimerRanFor(20));
            QCOMPARE(line.Position(), at);
            line.Start();
            QTRY_VERIFY_WITH_TIMEOUT(line.Position() > at, 5000);
        }
        // A tick being delivered while the destructor runs may land after the stop.
        const QString events = r.Events();
        QVERIFY2(events.mid(events.lastIndexOf('S')).startsWith(QStringLiteral("S(2,0)")),
                 qPrintable(events));
        QTRY_COMPARE(Core::Timer::TimerId(), quint32(0));
    }
};

QTEST_GUILESS_MAIN(TestTimeLine)
#include "test_time_line.moc"

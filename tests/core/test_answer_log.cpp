// The answer log on real SQLite files: answers from several threads, damaged and foreign files
// kept aside, a folder or disk that refuses writing, the migration from version 1, and what the
// queries make of a log of known contents.

#include "../common/file_bytes.h"
#include "../common/full_disk.h"
#include "core/exercise/answer_log.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

using Core::AnswerLog;
using Core::LoggedAnswer;
using Outcome = LoggedAnswer::Outcome;
using ItemAnswers = std::vector<AnswerLog::ItemAnswer>;

namespace {

constexpr qint64 Day = 24 * 60 * 60;
constexpr qint32 NoItem = LoggedAnswer::NoItem;
const QString OurId = QString::number(0x434E544C); // the application id of our files

// Runs the statements, split at ';', through a connection of the test's own; the first column of
// the last one's first row.
QVariant Sql(const QString& path, const QString& statements)
{
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test");
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        for (const QString& statement : statements.split(';'))
            if (!query.exec(statement))
                qWarning() << statement << query.lastError().text();
        if (query.next())
            result = query.value(0);
    }
    QSqlDatabase::removeDatabase("test");
    return result;
}

int Rows(const QString& path, const QString& where = "1")
{
    return Sql(path, "SELECT count(*) FROM answers WHERE " + where).toInt();
}

} // namespace

class TestAnswerLog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString path;
    const qint64 now = QDateTime::currentSecsSinceEpoch();

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        path = dir->filePath(AnswerLog::FileName);
    }

    // Every answer of four threads arrives whole, NoItem and an unknown time as NULL; a reopened
    // log hands out runs above the file's.
    void answersFromThreads()
    {
        constexpr int Threads = 4, Each = 500;
        const qint64 futureRun = QDateTime::currentMSecsSinceEpoch() + 1000000000;
        {
            AnswerLog log(path);
            std::vector<std::thread> threads;
            for (int t = 0; t < Threads; ++t)
                threads.emplace_back([&log, t, futureRun] {
                    for (int n = 0; n < Each; ++n)
                        log.Append({1000 + n, t == 0 ? futureRun : log.BeginRun(), 0, t, false, n,
                                    n % 2 ? NoItem : n + 1, Outcome(n % 3), n % 5 ? n : -1});
                });
            for (std::thread& thread : threads)
                thread.join();
            QVERIFY(log.Flush());
            for (int t = 0; t < Threads; ++t)
                QCOMPARE(Rows(path, QString("section = %1").arg(t)), Each);
            QCOMPARE(Rows(path, "asked = 7 AND answered IS NULL AND outcome = 1 AND response_ms = 7"
                                " AND time = 1007"),
                     Threads);
            QCOMPARE(Rows(path, "asked = 10 AND answered = 11 AND response_ms IS NULL"), Threads);
        }
        QVERIFY(AnswerLog(path).BeginRun() > futureRun);
    }

    // Whatever the log cannot read as its own is kept aside whole, a write-ahead log with it.
    void unreadableFileKeptAside_data()
    {
        QTest::addColumn<QString>("how"); // statements (%1 our application id), or a way to spoil it
        QTest::newRow("garbage bytes") << "garbage";
        QTest::newRow("cut-off database") << "cut off";
        QTest::newRow("another program's database")
            << "CREATE TABLE answers(x); PRAGMA application_id = 1234";
        QTest::newRow("another program's database, rows in its write-ahead log") << "wal";
        QTest::newRow("another program's tables under our id")
            << "CREATE TABLE notes(x); PRAGMA application_id = %1; PRAGMA user_version = 2";
        QTest::newRow("a newer log")
            << "CREATE TABLE answers(x); PRAGMA application_id = %1; PRAGMA user_version = 3";
        QTest::newRow("a folder in its place") << "folder";
    }
    void unreadableFileKeptAside()
    {
        QFETCH(QString, how);
        if (how == "garbage") {
            QVERIFY(WriteAll(path, QByteArray(8192, 'Z')));
        } else if (how == "cut off") {
            {
                AnswerLog log(path);
                for (int n = 0; n < 3000; ++n)
                    log.Append({now, 1, 0, n % 4, false, n % 50, n % 49, Outcome(n % 2)});
            } // closed, its write-ahead log folded in
            QVERIFY(!QFileInfo::exists(path + "-wal"));
            QVERIFY(WriteAll(path, ReadAll(path).left(int(QFileInfo(path).size() / 2))));
        } else if (how == "wal") {
            // Copied while its program has it open: the last rows are only in the -wal file.
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "elsewhere");
                db.setDatabaseName(dir->filePath("elsewhere.sqlite"));
                QVERIFY(db.open());
                QSqlQuery query(db);
                for (const char* statement :
                     {"PRAGMA journal_mode = WAL", "CREATE TABLE notes(x)", "INSERT INTO notes VALUES(1)"})
                    QVERIFY(query.exec(statement));
                QVERIFY(QFile::copy(db.databaseName(), path) &&
                        QFile::copy(db.databaseName() + "-wal", path + "-wal"));
            }
            QSqlDatabase::removeDatabase("elsewhere");
        } else if (how == "folder") {
            QVERIFY(QDir().mkdir(path));
        } else {
            Sql(path, how.contains("%1") ? how.arg(OurId) : how);
        }
        const QByteArray old = ReadAll(path), oldLog = ReadAll(path + "-wal");

        AnswerLog log(path);
        log.Append({now, log.BeginRun(), 0, 0, false, 1, 2});
        QVERIFY(log.Flush());
        QCOMPARE(Rows(path), 1);
        const QStringList aside =
            QDir(dir->path()).entryList({QString(AnswerLog::FileName) + ".unreadable-*[0-9]"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(ReadAll(dir->filePath(aside.first())), old);
        QCOMPARE(ReadAll(dir->filePath(aside.first()) + "-wal"), oldLog);
    }

    // The listener hears the failure once, installed before it or after, and the recovery once;
    // the answers wait in memory meanwhile. A folder that is a file stops even root.
    void writeFailureToldOnce_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("folder is a file") << false;
        QTest::newRow("full disk") << true;
    }
    void writeFailureToldOnce()
    {
        QFETCH(bool, fullDisk);
        std::unique_ptr<FullDisk> disk;
        const QString folder = dir->filePath("data");
        if (fullDisk) {
            disk = std::make_unique<FullDisk>(4096);
            if (!disk->IsMounted())
                QSKIP(qPrintable(disk->Why()));
            path = disk->Path() + "/" + AnswerLog::FileName;
        } else {
            QVERIFY(WriteAll(folder, "not a folder"));
            path = folder + "/" + AnswerLog::FileName;
        }
        std::atomic<int> failures{0}, recoveries{0}, problem{-1};
        AnswerLog log(path);
        const qint64 run = log.BeginRun();
        log.Append({now, run, 0, 0, false, 1, 1, Outcome::Right});
        QCOMPARE(log.Flush(), fullDisk);
        if (fullDisk)
            QVERIFY(disk->Fill());
        log.SetProblemListener([&](const AnswerLog::WriteState& state) {
            problem = int(state.problem);
            ++(state.writing ? recoveries : failures);
        });
        for (int batch = 0; batch < 3; ++batch) {
            for (int n = 0; n < 2000; ++n)
                log.Append({now, run, 0, 0, false, n, n, Outcome::Right});
            QVERIFY(!log.Flush());
        }
        QCOMPARE(failures, 1);
        QCOMPARE(recoveries, 0);
        QCOMPARE(problem,
                 int(fullDisk ? Core::DataFile::Problem::DiskFull : Core::DataFile::Problem::NotWritable));

        if (fullDisk)
            disk->Free();
        else
            QVERIFY(QFile::remove(folder));
        QVERIFY(log.Flush());
        QCOMPARE(failures, 1);
        QCOMPARE(recoveries, 1);
        QCOMPARE(Rows(path), 1 + 3 * 2000);
    }

    void migratesVersionOne()
    {
        Sql(path, QString("CREATE TABLE answers(id INTEGER PRIMARY KEY, time INTEGER, trainer INTEGER,"
                          " section INTEGER, quiz INTEGER, asked INTEGER, answered INTEGER, outcome INTEGER,"
                          " response_ms INTEGER); INSERT INTO answers VALUES(1, %1, 1, 2, 0, 5, 6, 0, 900),"
                          " (2, %1, 1, 2, 1, 5, 6, 0, NULL), (3, %1, 1, 2, 0, 7, NULL, 1, 400);"
                          " PRAGMA application_id = %2; PRAGMA user_version = 1")
                      .arg(now * 1000 + 789)
                      .arg(OurId));
        {
            AnswerLog log(path);
            const auto confusions = log.Confusions({1, 2, 0}, 10);
            QCOMPARE(confusions.size(), size_t(1));
            QCOMPARE(confusions[0].count, 2);
            QVERIFY(log.BeginRun() > 1); // the largest run of the migrated file read
        }
        QCOMPARE(Sql(path, "PRAGMA user_version").toInt(), AnswerLog::SchemaVersion);
        QCOMPARE(Rows(path, QString("time = %1 AND trainer = 1 AND section = 2").arg(now)), 3);
        QCOMPARE(Rows(path, "quiz = 1 AND response_ms IS NULL AND answered = 6"), 1);
    }

    // The most frequent pairs first, ties the more recent first, of the history or one run; not
    // right answers, ones naming nothing, out of time or of another section or trainer.
    void confusions()
    {
        AnswerLog log(path);
        const qint64 earlier = log.BeginRun(), current = log.BeginRun();
        qint64 t = now - Day;
        for (auto [run, asked] : {std::pair{earlier, std::vector<qint32>{5, 5, 5, 7}},
                                  std::pair{current, std::vector<qint32>{7, 9, 7, 9, 5}}})
            for (qint32 item : asked)
                log.Append({++t, run, 0, 0, false, item, item + 1, Outcome::Wrong});
        for (const LoggedAnswer& other :
             std::vector<LoggedAnswer>{{t, current, 0, 0, false, 11, 11, Outcome::Right},
                                       {t, current, 0, 0, false, 12, NoItem, Outcome::Wrong},
                                       {t, current, 0, 0, false, 12, NoItem, Outcome::OutOfTime},
                                       {t, current, 0, 1, false, 12, 13, Outcome::Wrong},
                                       {t, current, 1, 0, false, 12, 13, Outcome::Wrong}})
            log.Append(other);
        using Pairs = std::vector<std::tuple<qint32, qint32, int>>;
        const auto found = [&](qint64 run, int limit) {
            Pairs pairs;
            for (const Core::Confusion& c : log.Confusions({0, 0, run}, limit))
                pairs.emplace_back(c.asked, c.answered, c.count);
            return pairs;
        };
        QCOMPARE(found(0, 10), (Pairs{{5, 6, 4}, {7, 8, 3}, {9, 10, 2}}));
        QCOMPARE(found(0, 2), (Pairs{{5, 6, 4}, {7, 8, 3}}));
        QCOMPARE(found(current, 10), (Pairs{{9, 10, 2}, {7, 8, 2}, {5, 6, 1}}));
    }

    // Days counted back from today, days without answers left out, the first and last second of
    // a local day in it; the median of an even count is the mean of the middle two.
    void progress()
    {
        constexpr Outcome R = Outcome::Right, W = Outcome::Wrong, L = Outcome::OutOfTime;
        struct PractisedDay
        {
            int daysBack;
            std::vector<std::pair<Outcome, int>> answers; // with their response times
            int right, median;
        };
        const std::vector<PractisedDay> practised = {{30, {{R, 100}}, 1, 100},
                                                   {29, {{R, 900}, {W, 100}, {R, 500}}, 2, 500},
                                                   {12, {{W, 400}, {R, 200}, {L, -1}, {R, 301}}, 2, 301},
                                                   {6, {{L, -1}}, 0, -1},
                                                   {1, {{R, 700}, {R, 300}, {W, 800}, {R, 600}}, 3, 650},
                                                   {0, {{R, 1000}, {R, 2000}}, 2, 1500}};
        const QDate today = QDate::currentDate();
        AnswerLog log(path);
        const qint64 run = log.BeginRun();
        for (const PractisedDay& entry : practised) {
            const QDate day = today.addDays(-entry.daysBack);
            const qint64 first = day.startOfDay().toSecsSinceEpoch(),
                         last = day.endOfDay().toSecsSinceEpoch();
            for (int n = 0; n < int(entry.answers.size()); ++n) {
                const auto [outcome, ms] = entry.answers[size_t(n)];
                log.Append({n % 2 ? last - n : first + n, run, 0, 0, false, 1, 1, outcome, ms});
            }
        }
        log.Append({now, run, 0, 1, false, 1, 1, Outcome::Right}); // another section

        const auto line = [](const QDate& day, size_t answers, int right, int median) {
            return day.toString() +
                   QString::asprintf(": %zu answers, %d right, median %d ms", answers, right, median);
        };
        for (int days : {7, 30}) {
            QStringList expected, found;
            for (const PractisedDay& s : practised)
                if (s.daysBack < days)
                    expected << line(today.addDays(-s.daysBack), s.answers.size(), s.right, s.median);
            for (const Core::DayProgress& d : log.Progress(0, 0, days, today))
                found << line(d.day, size_t(d.answers), d.right, d.medianResponseMs);
            QCOMPARE(found, expected);
        }
    }

    // Mistakes, out of time among them, fade with age; right answers since the last one scale
    // them down until a streak brings the item back.
    void weakSpotFactor()
    {
        const auto at = [this](Outcome outcome, int daysAgo) {
            return AnswerLog::ItemAnswer{outcome, now - daysAgo * Day};
        };
        const auto right = at(Outcome::Right, 0), wrong = at(Outcome::Wrong, 0);
        ItemAnswers recovered(size_t(AnswerLog::RightStreakToRecover), right);
        recovered.push_back(wrong);
        const std::vector<std::pair<ItemAnswers, double>> cases = {
            {{}, 1.0},
            {{right, at(Outcome::Right, 3)}, 1.0},
            {{at(Outcome::OutOfTime, 0), at(Outcome::Wrong, 14)}, 2.25},
            {{right, right, at(Outcome::Wrong, 7)}, 1.0 + 0.5 / 3.0},
            {{wrong, at(Outcome::Right, 1), at(Outcome::Right, 2)}, 2.0}, // right before the mistake
            {recovered, 1.0}};
        for (const auto& [newestFirst, expected] : cases)
            QCOMPARE(AnswerLog::WeakSpotFactor(newestFirst, now), expected);
    }

    // Weak spots from earlier runs only, per section, none older than the log reads back; the
    // weakest items rank by factor. The answers handed to a context arrive on its thread through
    // its event queue; a context destroyed first hears nothing.
    void weakSpotsAndWeakestItems()
    {
        AnswerLog log(path);
        const qint64 earlier = log.BeginRun(), current = log.BeginRun();
        using Wrong = std::tuple<int, qint64, qint32, qint32>; // days ago, run, section, asked
        const std::vector<Wrong> wrong = {{7, earlier, 0, 4},   {0, earlier, 0, 3}, {0, earlier, 0, 3},
                                          {200, earlier, 0, 8}, {0, earlier, 1, 9}, {0, current, 0, 6}};
        for (auto [daysAgo, run, section, asked] : wrong)
            log.Append({now - daysAgo * Day, run, 0, section, false, asked, 5, Outcome::Wrong});
        log.Append({now, earlier, 0, 0, false, 5, 5, Outcome::Right});
        const auto spots = log.WeakSpots(0, current, now);
        QCOMPARE(spots.size(), size_t(2));
        QCOMPARE(spots.at(0), (Core::WeakSpotFactors{{3, 3.0}, {4, 1.5}}));
        QCOMPARE(spots.at(1), (Core::WeakSpotFactors{{9, 2.0}}));
        QCOMPARE(log.WeakestItems({0, 0, 0}, 3, now), (std::vector<qint32>{3, 6, 4}));
        QCOMPARE(log.WeakestItems({0, 0, current}, 10, now), (std::vector<qint32>{6}));

        QObject context;
        QThread* heardOn = nullptr;
        size_t confusions = 0;
        std::vector<qint32> weakest;
        bool called = false;
        log.Confusions({0, 0, 0}, 10, &context, [&](std::vector<Core::Confusion> found) {
            heardOn = QThread::currentThread();
            confusions = found.size();
        });
        auto gone = std::make_unique<QObject>();
        log.Progress(0, 0, 7, QDate::currentDate(), gone.get(), [&](auto) { called = true; });
        gone.reset();
        log.WeakestItems({0, 0, 0}, 3, now, &context, [&](std::vector<qint32> found) { weakest = found; });
        QTRY_COMPARE(weakest, (std::vector<qint32>{3, 6, 4}));
        QCOMPARE(confusions, size_t(4));
        QCOMPARE(heardOn, QThread::currentThread());
        QVERIFY(!called);
    }

    // Clear History takes the section's rows queued before it, not those after it nor another
    // trainer's.
    void clearSectionRemovesOnlyIt()
    {
        AnswerLog log(path);
        const qint64 run = log.BeginRun();
        for (qint32 trainer : {0, 1})
            for (qint32 section : {0, 1})
                log.Append({now, run, trainer, section, false, 1, 2});
        QVERIFY(log.Flush());
        log.Append({now, run, 0, 1, false, 3, 4});
        log.ClearSection(0, 1);
        log.Append({now, run, 0, 1, false, 5, 6});
        QVERIFY(log.Flush());
        QCOMPARE(Rows(path, "trainer = 0 AND section = 1"), 1);
        QCOMPARE(Rows(path, "trainer = 0 AND section = 1 AND asked = 5"), 1);
        QCOMPARE(Rows(path), 4);
    }
};

QTEST_GUILESS_MAIN(TestAnswerLog)
#include "test_answer_log.moc"

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

#include <memory>
#include <mutex>
#include <thread>

using Core::AnswerLog;
using Core::LoggedAnswer;
using Outcome = LoggedAnswer::Outcome;
using Pairs = std::vector<std::tuple<qint32, qint32, int>>;
using ItemAnswers = std::vector<AnswerLog::ItemAnswer>;

Q_DECLARE_METATYPE(Pairs)
Q_DECLARE_METATYPE(ItemAnswers)

namespace {

enum class Unreadable
{
    Garbage,
    CutOff,
    Foreign,
    ForeignWithLog,
    ForeignTables,
    Newer,
    Folder
};

constexpr qint64 Day = 24 * 60 * 60;

LoggedAnswer Answer(qint64 time, qint64 run, qint32 section, qint32 asked, qint32 answered, Outcome outcome,
                    qint32 responseMs = 1000, qint32 trainer = 0)
{
    LoggedAnswer answer;
    answer.time = time;
    answer.run = run;
    answer.trainer = trainer;
    answer.section = section;
    answer.asked = asked;
    answer.answered = answered;
    answer.outcome = outcome;
    answer.responseMs = responseMs;
    return answer;
}

// Runs statements on the file through a connection of the test's own; the first row's first
// column of the last one.
QVariant Sql(const QString& path, const QStringList& statements)
{
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            for (const QString& statement : statements)
                if (!query.exec(statement))
                    qWarning() << statement << query.lastError().text();
            if (query.isSelect() && query.next())
                result = query.value(0);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test"));
    return result;
}

int Rows(const QString& path, const QString& where = QStringLiteral("1"))
{
    return Sql(path, {QStringLiteral("SELECT count(*) FROM answers WHERE ") + where}).toInt();
}

} // namespace

Q_DECLARE_METATYPE(Unreadable)

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
        path = dir->filePath(QString::fromLatin1(AnswerLog::FileName));
    }

    // Every answer of four threads arrives whole; a reopened log hands out runs above the file's.
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
                        log.Append(Answer(1000 + n, t == 0 ? futureRun : log.BeginRun(), t, n,
                                          n % 2 ? LoggedAnswer::NoItem : n + 1, Outcome(n % 3),
                                          n % 5 ? n : -1));
                });
            for (std::thread& thread : threads)
                thread.join();
            QVERIFY(log.Flush());
            for (int t = 0; t < Threads; ++t)
                QCOMPARE(Rows(path, QStringLiteral("section = %1").arg(t)), Each);
            QCOMPARE(
                Sql(path, {"SELECT count(*) FROM answers WHERE asked = 7 AND answered IS NULL AND outcome = 1"
                           " AND response_ms = 7 AND time = 1007"})
                    .toInt(),
                Threads);
            QCOMPARE(Rows(path, QStringLiteral("asked = 10 AND answered = 11 AND response_ms IS NULL")),
                     Threads);
        }
        AnswerLog reopened(path);
        QVERIFY(reopened.BeginRun() > futureRun);
    }

    void unreadableFileKeptAside_data()
    {
        QTest::addColumn<Unreadable>("kind");
        QTest::newRow("garbage bytes") << Unreadable::Garbage;
        QTest::newRow("cut-off database") << Unreadable::CutOff;
        QTest::newRow("another program's database") << Unreadable::Foreign;
        QTest::newRow("another program's database, rows in its write-ahead log")
            << Unreadable::ForeignWithLog;
        QTest::newRow("another program's tables under our id") << Unreadable::ForeignTables;
        QTest::newRow("a newer log") << Unreadable::Newer;
        QTest::newRow("a folder in its place") << Unreadable::Folder;
    }
    void unreadableFileKeptAside()
    {
        QFETCH(Unreadable, kind);
        const QString ourId = QString::number(0x434E544C);
        switch (kind) {
        case Unreadable::Garbage: {
            QByteArray garbage(8192, '\0');
            for (int i = 0; i < garbage.size(); ++i)
                garbage[i] = char((i * 7919) % 251);
            QVERIFY(WriteAll(path, garbage));
            break;
        }
        case Unreadable::CutOff: {
            auto log = std::make_unique<AnswerLog>(path);
            for (int n = 0; n < 3000; ++n)
                log->Append(Answer(now, 1, n % 4, n % 50, n % 49, Outcome(n % 2)));
            log.reset(); // closed, its write-ahead log folded in
            QVERIFY(!QFileInfo::exists(path + "-wal"));
            QVERIFY(WriteAll(path, ReadAll(path).left(int(QFileInfo(path).size() / 2))));
            break;
        }
        case Unreadable::Foreign:
            Sql(path, {"CREATE TABLE answers(x)", "PRAGMA application_id = 1234"});
            break;
        case Unreadable::ForeignWithLog: {
            // Copied while its program has it open: the last rows are only in the -wal file.
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "open elsewhere");
            db.setDatabaseName(dir->filePath("elsewhere.sqlite"));
            QVERIFY(db.open());
            QSqlQuery query(db);
            for (const char* statement :
                 {"PRAGMA journal_mode = WAL", "CREATE TABLE notes(x)", "INSERT INTO notes VALUES(1)"})
                QVERIFY(query.exec(statement));
            QVERIFY(QFile::copy(db.databaseName(), path) &&
                    QFile::copy(db.databaseName() + "-wal", path + "-wal"));
            query = QSqlQuery();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase("open elsewhere");
            break;
        }
        case Unreadable::ForeignTables:
            Sql(path,
                {"CREATE TABLE notes(x)", "PRAGMA application_id = " + ourId, "PRAGMA user_version = 2"});
            break;
        case Unreadable::Newer:
            Sql(path,
                {"CREATE TABLE answers(x)", "PRAGMA application_id = " + ourId, "PRAGMA user_version = 3"});
            break;
        case Unreadable::Folder:
            QVERIFY(QDir().mkdir(path));
            break;
        }
        const QByteArray old = ReadAll(path), oldLog = ReadAll(path + "-wal");

        AnswerLog log(path);
        log.Append(Answer(now, log.BeginRun(), 0, 1, 2, Outcome::Wrong));
        QVERIFY(log.Flush());
        QCOMPARE(Rows(path), 1);
        const QStringList aside =
            QDir(dir->path()).entryList({QString::fromLatin1(AnswerLog::FileName) + ".unreadable-*[0-9]"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(ReadAll(dir->filePath(aside.first())), old);
        QCOMPARE(ReadAll(dir->filePath(aside.first()) + "-wal"), oldLog);
    }

    // The listener hears the failure once, whenever it is installed, and the recovery once; the
    // answers wait in memory meanwhile and all reach the file. A folder that is a file cannot be
    // made or opened, even by root.
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

        std::mutex mutex;
        std::vector<AnswerLog::WriteState> told;
        AnswerLog log(path);
        const qint64 run = log.BeginRun();
        log.Append(Answer(now, run, 0, 1, 1, Outcome::Right));
        QCOMPARE(log.Flush(), fullDisk);
        if (fullDisk)
            QVERIFY(disk->Fill());
        log.SetProblemListener([&](const AnswerLog::WriteState& state) {
            std::lock_guard<std::mutex> lock(mutex);
            told.push_back(state);
        });
        for (int batch = 0; batch < 3; ++batch) {
            for (int n = 0; n < 2000; ++n)
                log.Append(Answer(now, run, 0, n, n, Outcome::Right));
            QVERIFY(!log.Flush());
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            QCOMPARE(told.size(), size_t(1));
            QVERIFY(!told[0].writing);
            QCOMPARE(told[0].problem,
                     fullDisk ? Core::DataFile::Problem::DiskFull : Core::DataFile::Problem::NotWritable);
            QCOMPARE(told[0].path, path);
        }

        if (fullDisk)
            disk->Free();
        else
            QVERIFY(QFile::remove(folder));
        QVERIFY(log.Flush());
        {
            std::lock_guard<std::mutex> lock(mutex);
            QCOMPARE(told.size(), size_t(2));
            QVERIFY(told[1].writing);
        }
        QCOMPARE(Rows(path), 1 + 3 * 2000);
        log.SetProblemListener({});
    }

    void migratesVersionOne()
    {
        const qint64 ms = qint64(now) * 1000 + 789;
        Sql(path,
            {"CREATE TABLE answers(id INTEGER PRIMARY KEY, time INTEGER, trainer INTEGER, section INTEGER,"
             " quiz INTEGER, asked INTEGER, answered INTEGER, outcome INTEGER, response_ms INTEGER)",
             QString("INSERT INTO answers VALUES(1, %1, 1, 2, 0, 5, 6, 0, 900),"
                     " (2, %1, 1, 2, 1, 5, 6, 0, NULL), (3, %1, 1, 2, 0, 7, NULL, 1, 400)")
                 .arg(ms),
             "PRAGMA application_id = " + QString::number(0x434E544C), "PRAGMA user_version = 1"});
        {
            AnswerLog log(path);
            const auto confusions = log.Confusions({1, 2, 0}, 10);
            QCOMPARE(confusions.size(), size_t(1));
            QCOMPARE(confusions[0].count, 2);
            QVERIFY(log.BeginRun() > 1);
        }
        QCOMPARE(Sql(path, {"PRAGMA user_version"}).toInt(), AnswerLog::SchemaVersion);
        QCOMPARE(Rows(path, QString("time = %1 AND trainer = 1 AND section = 2").arg(now)), 3);
        QCOMPARE(Rows(path, "quiz = 1 AND response_ms IS NULL AND answered = 6"), 1);
    }

    void confusions_data()
    {
        QTest::addColumn<bool>("currentRun");
        QTest::addColumn<int>("limit");
        QTest::addColumn<Pairs>("expected");
        QTest::newRow("history") << false << 10 << Pairs{{5, 6, 4}, {7, 8, 3}, {9, 10, 2}};
        QTest::newRow("history, limited") << false << 2 << Pairs{{5, 6, 4}, {7, 8, 3}};
        QTest::newRow("current run, ties the more recent first")
            << true << 10 << Pairs{{9, 10, 2}, {7, 8, 2}, {5, 6, 1}};
    }
    void confusions()
    {
        QFETCH(bool, currentRun);
        QFETCH(int, limit);
        QFETCH(Pairs, expected);
        AnswerLog log(path);
        const qint64 earlier = log.BeginRun(), current = log.BeginRun();
        const qint64 t = now - Day;
        const std::vector<LoggedAnswer> answers = {
            Answer(t, earlier, 0, 5, 6, Outcome::Wrong), Answer(t + 1, earlier, 0, 5, 6, Outcome::Wrong),
            Answer(t + 2, earlier, 0, 5, 6, Outcome::Wrong), Answer(t + 3, earlier, 0, 7, 8, Outcome::Wrong),
            Answer(t + 10, current, 0, 7, 8, Outcome::Wrong),
            Answer(t + 11, current, 0, 9, 10, Outcome::Wrong),
            Answer(t + 12, current, 0, 7, 8, Outcome::Wrong),
            Answer(t + 13, current, 0, 9, 10, Outcome::Wrong),
            Answer(t + 14, current, 0, 5, 6, Outcome::Wrong),
            // Not confusions of the section: right, naming nothing, out of time, elsewhere.
            Answer(t + 15, current, 0, 11, 11, Outcome::Right),
            Answer(t + 16, current, 0, 12, LoggedAnswer::NoItem, Outcome::Wrong),
            Answer(t + 17, current, 0, 12, LoggedAnswer::NoItem, Outcome::OutOfTime),
            Answer(t + 18, current, 1, 12, 13, Outcome::Wrong),
            Answer(t + 19, current, 0, 12, 13, Outcome::Wrong, 1000, 1)};
        for (const LoggedAnswer& answer : answers)
            log.Append(answer);
        Pairs found;
        for (const Core::Confusion& c : log.Confusions({0, 0, currentRun ? current : 0}, limit))
            found.emplace_back(c.asked, c.answered, c.count);
        QCOMPARE(found, expected);
    }

    // Days counted back from today; days without answers are left out; the first and last
    // second of a local day belong to it.
    void progress_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<QList<int>>("daysBack");
        QTest::newRow("a week") << 7 << QList<int>{3, 1, 0};
        QTest::newRow("a month") << 30 << QList<int>{29, 12, 3, 1, 0};
    }
    void progress()
    {
        QFETCH(int, days);
        QFETCH(QList<int>, daysBack);
        const QDate today = QDate::currentDate();
        struct Spec
        {
            int daysBack;
            std::vector<std::pair<Outcome, int>> answers;
            int right, median;
        };
        const std::vector<Spec> specs = {
            {30, {{Outcome::Right, 100}}, 1, 100},
            {29, {{Outcome::Right, 900}, {Outcome::Wrong, 100}, {Outcome::Right, 500}}, 2, 500},
            {12,
             {{Outcome::Wrong, 400}, {Outcome::Right, 200}, {Outcome::OutOfTime, -1}, {Outcome::Right, 301}},
             2,
             301},
            {3, {{Outcome::OutOfTime, -1}}, 0, -1},
            {1,
             {{Outcome::Right, 700}, {Outcome::Right, 300}, {Outcome::Wrong, 800}, {Outcome::Right, 600}},
             3,
             650},
            {0, {{Outcome::Right, 1000}, {Outcome::Right, 2000}}, 2, 1500}};
        AnswerLog log(path);
        const qint64 run = log.BeginRun();
        for (const Spec& spec : specs) {
            const QDate day = today.addDays(-spec.daysBack);
            const qint64 first = day.startOfDay().toSecsSinceEpoch();
            const qint64 last = day.endOfDay().toSecsSinceEpoch();
            for (size_t n = 0; n < spec.answers.size(); ++n)
                log.Append(Answer(n % 2 ? last - qint64(n) : first + qint64(n), run, 0, 1, 1,
                                  spec.answers[n].first, spec.answers[n].second));
        }
        log.Append(Answer(now, run, 1, 1, 1, Outcome::Right));

        const std::vector<Core::DayProgress> found = log.Progress(0, 0, days, today);
        QCOMPARE(int(found.size()), daysBack.size());
        for (size_t i = 0; i < found.size(); ++i) {
            const auto spec = std::find_if(specs.begin(), specs.end(),
                                           [&](const Spec& s) { return s.daysBack == daysBack[int(i)]; });
            QCOMPARE(found[i].day, today.addDays(-spec->daysBack));
            QCOMPARE(found[i].answers, int(spec->answers.size()));
            QCOMPARE(found[i].right, spec->right);
            QCOMPARE(found[i].medianResponseMs, spec->median);
        }
    }

    void weakSpotFactor_data()
    {
        QTest::addColumn<ItemAnswers>("newestFirst");
        QTest::addColumn<double>("expected");
        const auto right = [this](int daysAgo) {
            return AnswerLog::ItemAnswer{Outcome::Right, now - daysAgo * Day};
        };
        const auto wrong = [this](int daysAgo) {
            return AnswerLog::ItemAnswer{Outcome::Wrong, now - daysAgo * Day};
        };
        const AnswerLog::ItemAnswer late{Outcome::OutOfTime, now};
        ItemAnswers recovered(size_t(AnswerLog::RightStreakToRecover), right(0));
        recovered.push_back(wrong(0));
        QTest::newRow("never answered") << ItemAnswers{} << 1.0;
        QTest::newRow("no mistakes") << ItemAnswers{right(0), right(3)} << 1.0;
        QTest::newRow("a mistake now") << ItemAnswers{wrong(0)} << 2.0;
        QTest::newRow("out of time now") << ItemAnswers{late} << 2.0;
        QTest::newRow("a mistake a week ago") << ItemAnswers{wrong(7)} << 1.5;
        QTest::newRow("two mistakes") << ItemAnswers{wrong(0), wrong(14)} << 2.25;
        QTest::newRow("right once since") << ItemAnswers{right(0), wrong(0)} << 1.0 + 2.0 / 3.0;
        QTest::newRow("right twice since") << ItemAnswers{right(0), right(0), wrong(7)} << 1.0 + 0.5 / 3.0;
        QTest::newRow("right before the mistake") << ItemAnswers{wrong(0), right(1), right(2)} << 2.0;
        QTest::newRow("streak recovers") << recovered << 1.0;
    }
    void weakSpotFactor()
    {
        QFETCH(ItemAnswers, newestFirst);
        QFETCH(double, expected);
        QVERIFY(qAbs(AnswerLog::WeakSpotFactor(newestFirst, now) - expected) < 1e-9);
    }

    // Weak spots from earlier runs only, per section; the weakest items rank by factor.
    void weakSpotsAndWeakestItems()
    {
        AnswerLog log(path);
        const qint64 earlier = log.BeginRun(), current = log.BeginRun();
        for (const LoggedAnswer& answer :
             {Answer(now - 7 * Day, earlier, 0, 4, 5, Outcome::Wrong),
              Answer(now, earlier, 0, 3, 5, Outcome::Wrong), Answer(now, earlier, 0, 3, 5, Outcome::Wrong),
              Answer(now, earlier, 0, 5, 5, Outcome::Right),
              Answer(now - 200 * Day, earlier, 0, 8, 5, Outcome::Wrong),
              Answer(now, earlier, 1, 9, 5, Outcome::Wrong), Answer(now, current, 0, 6, 5, Outcome::Wrong)})
            log.Append(answer);
        const auto spots = log.WeakSpots(0, current, now);
        QCOMPARE(spots.size(), size_t(2));
        QCOMPARE(spots.at(0), (Core::WeakSpotFactors{{3, 3.0}, {4, 1.5}}));
        QCOMPARE(spots.at(1), (Core::WeakSpotFactors{{9, 2.0}}));
        QCOMPARE(log.WeakestItems({0, 0, 0}, 3, now), (std::vector<qint32>{3, 6, 4}));
        QCOMPARE(log.WeakestItems({0, 0, current}, 10, now), (std::vector<qint32>{6}));
    }

    void clearSectionRemovesOnlyIt()
    {
        AnswerLog log(path);
        const qint64 run = log.BeginRun();
        for (qint32 trainer : {0, 1})
            for (qint32 section : {0, 1})
                log.Append(Answer(now, run, section, 1, 2, Outcome::Wrong, 1000, trainer));
        QVERIFY(log.Flush());
        log.Append(Answer(now, run, 1, 3, 4, Outcome::Wrong, 1000, 0));
        log.ClearSection(0, 1);
        log.Append(Answer(now, run, 1, 5, 6, Outcome::Wrong, 1000, 0));
        QVERIFY(log.Flush());
        QCOMPARE(Rows(path, "trainer = 0 AND section = 1"), 1);
        QCOMPARE(Rows(path, "trainer = 0 AND section = 1 AND asked = 5"), 1);
        QCOMPARE(Rows(path), 4);
    }

    // The answer arrives on the context's thread through its event queue; a context destroyed
    // first hears nothing.
    void asynchronousAnswers()
    {
        AnswerLog log(path);
        log.Append(Answer(now, log.BeginRun(), 0, 1, 2, Outcome::Wrong));
        QObject context;
        QThread* heardOn = nullptr;
        std::vector<Core::Confusion> heard;
        log.Confusions({0, 0, 0}, 5, &context, [&](std::vector<Core::Confusion> confusions) {
            heardOn = QThread::currentThread();
            heard = std::move(confusions);
        });
        QTRY_COMPARE(heard.size(), size_t(1));
        QCOMPARE(heardOn, QThread::currentThread());

        bool called = false;
        auto gone = std::make_unique<QObject>();
        log.Progress(0, 0, 7, QDate::currentDate(), gone.get(),
                     [&](std::vector<Core::DayProgress>) { called = true; });
        gone.reset();
        int done = 0;
        log.WeakestItems({0, 0, 0}, 5, now, &context, [&](std::vector<qint32>) { ++done; });
        QTRY_COMPARE(done, 1);
        QVERIFY(!called);
    }
};

QTEST_GUILESS_MAIN(TestAnswerLog)
#include "test_answer_log.moc"

// The statistics store against real files in a temporary directory: the exact file text, merging
// of answers, reading damaged and foreign files, keeping unreadable files, atomic replacement,
// and Add racing saves (also the store's background saves) and lookups on several threads.

#include "core/error.h"
#include "core/exercise/exercise_statistics.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <sys/resource.h>
#include <thread>
#include <vector>

using Core::ExerciseStatistics;
using Core::StatisticsRecord;

Q_DECLARE_METATYPE(std::vector<StatisticsRecord>)

namespace {

const QByteArray EmptyFile = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ex_stat version=\"1.0\"/>\n";

StatisticsRecord Rec(int id, int exId, int section, int correct, int wrong)
{
    return StatisticsRecord{id, exId, section, correct, wrong};
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

std::vector<StatisticsRecord> Local(const ExerciseStatistics& s, int exId)
{
    std::vector<StatisticsRecord> out;
    s.GetLocalRecords(exId, out);
    return out;
}

std::vector<StatisticsRecord> HistorySection(const ExerciseStatistics& s, int exId, int section)
{
    std::vector<StatisticsRecord> out;
    s.GetHistorySectionRecords(exId, section, out);
    return out;
}

QStringList KeptFiles(const QDir& dir, const QString& name)
{
    return dir.entryList({name + QStringLiteral(".unreadable-*")}, QDir::Files);
}

} // namespace

namespace QTest {
template <> char* toString(const StatisticsRecord& r)
{
    return toString(std::make_tuple(r.id, r.exId, r.section, r.correct, r.wrong));
}
} // namespace QTest

class TestExerciseStatistics : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString historyPath;
    QString localPath;

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        QDir d(dir.path());
        for (const QString& name : d.entryList(QDir::Files | QDir::Hidden))
            QVERIFY(d.remove(name));
        historyPath = d.absoluteFilePath(QStringLiteral("stats.xml"));
        localPath = d.absoluteFilePath(QStringLiteral("statsLocal.xml"));
    }

    // A missing file is created empty; the other file is left as it was.
    void missingFilesAreCreatedEmpty()
    {
        {
            ExerciseStatistics store(historyPath, localPath);
            QCOMPARE(ReadAll(historyPath), EmptyFile);
            QCOMPARE(ReadAll(localPath), EmptyFile);
        }
        const QByteArray history =
            "<?xml version=\"1.0\"?><ex_stat version=\"1.0\">"
            "<entry id=\"4\" exId=\"1\" section=\"0\" correct=\"2\" wrong=\"5\"/></ex_stat>";
        WriteAll(historyPath, history);
        QVERIFY(QFile::remove(localPath));
        ExerciseStatistics store(historyPath, localPath);
        QCOMPARE(HistorySection(store, 1, 0), (std::vector<StatisticsRecord>{Rec(4, 1, 0, 2, 5)}));
        QCOMPARE(ReadAll(localPath), EmptyFile);
        QCOMPARE(ReadAll(historyPath), history);
    }

    // Answers to one item add up to one entry; numbers are written in full at the ends of their
    // range.
    void exactFileText()
    {
        {
            ExerciseStatistics store(historyPath, localPath);
            for (const StatisticsRecord& r :
                 {Rec(12, 0, 1, 1, 0), Rec(12, 0, 1, 1, 0), Rec(12, 0, 1, 0, 1), Rec(12, 0, 1, 1, 0),
                  Rec(-1, 2147483647, -3, 2147483647, 0), Rec(-1, 2147483647, -3, 0, -2147483647 - 1)})
                store.Add(r);
            store.Save();
        }
        const QByteArray expected =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<ex_stat version=\"1.0\">\n"
            "    <entry id=\"12\" exId=\"0\" section=\"1\" correct=\"3\" wrong=\"1\"/>\n"
            "    <entry id=\"-1\" exId=\"2147483647\" section=\"-3\" correct=\"2147483647\" "
            "wrong=\"-2147483648\"/>\n"
            "</ex_stat>\n";
        QCOMPARE(ReadAll(historyPath), expected);
        QCOMPARE(ReadAll(localPath), expected);
    }

    void accumulation_data()
    {
        QTest::addColumn<std::vector<StatisticsRecord>>("added");
        QTest::addColumn<std::vector<StatisticsRecord>>("expected"); // trainer 0, in order

        QTest::newRow("two wrong one right")
            << std::vector<StatisticsRecord>{Rec(7, 0, 2, 0, 1), Rec(7, 0, 2, 1, 0), Rec(7, 0, 2, 0, 1)}
            << std::vector<StatisticsRecord>{Rec(7, 0, 2, 1, 2)};
        QTest::newRow("same item two sections")
            << std::vector<StatisticsRecord>{Rec(7, 0, 1, 1, 0), Rec(7, 0, 2, 0, 1), Rec(7, 0, 1, 0, 1)}
            << std::vector<StatisticsRecord>{Rec(7, 0, 1, 1, 1), Rec(7, 0, 2, 0, 1)};
        QTest::newRow("same item two trainers")
            << std::vector<StatisticsRecord>{Rec(7, 0, 1, 1, 0), Rec(7, 1, 1, 0, 1)}
            << std::vector<StatisticsRecord>{Rec(7, 0, 1, 1, 0)};
        QTest::newRow("negative statistics key")
            << std::vector<StatisticsRecord>{Rec(-1, 0, 0, 1, 0), Rec(0, 0, 0, 0, 1), Rec(-1, 0, 0, 1, 0)}
            << std::vector<StatisticsRecord>{Rec(-1, 0, 0, 2, 0), Rec(0, 0, 0, 0, 1)};
    }

    void accumulation()
    {
        QFETCH(std::vector<StatisticsRecord>, added);
        QFETCH(std::vector<StatisticsRecord>, expected);
        {
            ExerciseStatistics store(historyPath, localPath);
            for (const auto& r : added)
                store.Add(r);
            QCOMPARE(Local(store, 0), expected);
            std::vector<StatisticsRecord> history;
            for (int section = 0; section < 3; ++section)
                store.GetHistorySectionRecords(0, section, history);
            QCOMPARE(history, expected);
            store.Save();
        }
        // What was written reads back the same.
        ExerciseStatistics reloaded(historyPath, localPath);
        QCOMPARE(Local(reloaded, 0), expected);
    }

    // Files written by other tools read alike; a file that cannot be read whole keeps what was
    // read before the fault and is kept aside at the first write.
    void readingFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<std::vector<StatisticsRecord>>("expected"); // history of trainer 0, section 0
        QTest::addColumn<bool>("readable");

        const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ex_stat version=\"1.0\">\n";
        const QByteArray a = "    <entry id=\"1\" exId=\"0\" section=\"0\" correct=\"3\" wrong=\"0\"/>\n";
        const QByteArray b = "    <entry id=\"-5\" exId=\"0\" section=\"0\" correct=\"2147483647\" "
                             "wrong=\"-2147483648\"/>\n";
        const QByteArray whole = head + a + b + "</ex_stat>\n";
        const std::vector<StatisticsRecord> both{Rec(1, 0, 0, 3, 0),
                                                 Rec(-5, 0, 0, 2147483647, -2147483647 - 1)};
        const std::vector<StatisticsRecord> none;
        QTest::newRow("well formed") << whole << both << true;
        QTest::newRow("windows line ends") << QByteArray(whole).replace("\n", "\r\n") << both << true;
        QTest::newRow("single quotes") << QByteArray(whole).replace('"', '\'') << both << true;
        QTest::newRow("byte order mark") << "\xef\xbb\xbf" + whole << both << true;
        QTest::newRow("leading zeros") << QByteArray(whole).replace("id=\"1\"", "id=\"001\"") << both << true;
        QTest::newRow("no declaration, one line, any attribute order")
            << QByteArray(
                   "<ex_stat version=\"1.0\"><entry wrong=\"0\" correct=\"3\" section=\"0\" exId=\"0\" "
                   "id=\"1\"></entry><entry  id = \"-5\" exId=\"0\" section=\"0\" correct=\"2147483647\" "
                   "wrong=\"2147483648\" /></ex_stat>")
            << both << true;
        QTest::newRow("odd attributes")
            << head + "<entry id=\"x\" exId=\"0\" section=\"0\" correct=\"-2\"/>\n"
                      "<entry id=\"4294967295\" exId=\"0\" section=\"0\" correct=\" 5 \" "
                      "wrong=\"1.5\"/>\n</ex_stat>"
            << std::vector<StatisticsRecord>{Rec(0, 0, 0, -2, 0), Rec(-1, 0, 0, 5, 0)} << true;
        QTest::newRow("duplicates kept, other elements ignored")
            << head + a + "<note id=\"9\" exId=\"0\" section=\"0\"/>" + a + "</ex_stat>"
            << std::vector<StatisticsRecord>{Rec(1, 0, 0, 3, 0), Rec(1, 0, 0, 3, 0)} << true;
        QTest::newRow("version 2.0") << QByteArray(whole).replace("version=\"1.0\">", "version=\"2.0\">")
                                     << none << false;
        QTest::newRow("no version") << QByteArray("<ex_stat>") + a + "</ex_stat>" << none << false;
        QTest::newRow("cut off mid entry")
            << head + a + b.left(30) << std::vector<StatisticsRecord>{Rec(1, 0, 0, 3, 0)} << false;
        QTest::newRow("cut off after entries") << head + a + b << both << false;
        QTest::newRow("mismatched end tag")
            << head + a + "</ex_sta>" << std::vector<StatisticsRecord>{Rec(1, 0, 0, 3, 0)} << false;
        QTest::newRow("empty file") << QByteArray() << none << false;
        QTest::newRow("not xml") << QByteArray("stats, but not as we know them") << none << false;
    }

    void readingFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(std::vector<StatisticsRecord>, expected);
        QFETCH(bool, readable);
        WriteAll(historyPath, text);
        WriteAll(localPath, EmptyFile);

        ExerciseStatistics store(historyPath, localPath);
        QCOMPARE(HistorySection(store, 0, 0), expected);
        // Whatever could or could not be read, start-up leaves the file as it was.
        QCOMPARE(ReadAll(historyPath), text);
        QVERIFY(KeptFiles(QDir(dir.path()), QStringLiteral("stats.xml")).isEmpty());

        // The first write of a file that could not be read keeps the original next to it.
        store.Add(Rec(1, 0, 0, 1, 0));
        store.Save();
        const QStringList kept = KeptFiles(QDir(dir.path()), QStringLiteral("stats.xml"));
        QCOMPARE(kept.size(), readable ? 0 : 1);
        if (!readable) {
            QCOMPARE(ReadAll(QDir(dir.path()).absoluteFilePath(kept.first())), text);
            // Only once: the file now on disk is the store's own.
            store.Save();
            QCOMPARE(KeptFiles(QDir(dir.path()), QStringLiteral("stats.xml")).size(), 1);
        }
        ExerciseStatistics reloaded(historyPath, localPath);
        QCOMPARE(HistorySection(reloaded, 0, 0), HistorySection(store, 0, 0));
    }

    void badHistoryDoesNotCostLocalRecords()
    {
        WriteAll(historyPath, "<ex_stat version=\"1.0\"><entry id=\"1\"");
        WriteAll(localPath, "<ex_stat version=\"1.0\"><entry id=\"5\" exId=\"2\" section=\"1\" correct=\"1\" "
                            "wrong=\"1\"/></ex_stat>");
        ExerciseStatistics store(historyPath, localPath);
        QCOMPARE(Local(store, 2), (std::vector<StatisticsRecord>{Rec(5, 2, 1, 1, 1)}));
        store.Save();
        ExerciseStatistics reloaded(historyPath, localPath);
        QCOMPARE(Local(reloaded, 2), (std::vector<StatisticsRecord>{Rec(5, 2, 1, 1, 1)}));
    }

    void presentButUnopenableFileIsKept()
    {
        // A directory in the file's place cannot be opened as a file, even by root.
        QDir d(dir.path());
        QVERIFY(d.mkdir(QStringLiteral("stats.xml")));
        WriteAll(d.absoluteFilePath(QStringLiteral("stats.xml/inside")), "keep me");
        ExerciseStatistics store(historyPath, localPath);
        QCOMPARE(ReadAll(historyPath), EmptyFile);
        const QStringList kept = d.entryList({QStringLiteral("stats.xml.unreadable-*")}, QDir::Dirs);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(ReadAll(d.absoluteFilePath(kept.first() + QStringLiteral("/inside"))),
                 QByteArray("keep me"));
        QVERIFY(QDir(d.absoluteFilePath(kept.first())).removeRecursively());
    }

    // Clearing one trainer leaves the others; the local records are cleared on disk at once, the
    // history with its own call, and a cleared item counts from zero again.
    void clearOneTrainer()
    {
        ExerciseStatistics store(historyPath, localPath);
        for (const StatisticsRecord& r : {Rec(1, 0, 0, 1, 0), Rec(2, 1, 0, 1, 0), Rec(3, 1, 1, 0, 1)})
            store.Add(r);
        store.Save();

        store.ClearLocal(1);
        QVERIFY(Local(store, 1).empty());
        QCOMPARE(Local(store, 0).size(), size_t(1));
        QCOMPARE(HistorySection(ExerciseStatistics(historyPath, localPath), 1, 1).size(), size_t(1));
        QVERIFY(Local(ExerciseStatistics(historyPath, localPath), 1).empty());

        store.ClearHistory(1);
        QVERIFY(HistorySection(store, 1, 0).empty());
        const ExerciseStatistics onDisk(historyPath, localPath);
        QVERIFY(HistorySection(onDisk, 1, 1).empty());
        QCOMPARE(HistorySection(onDisk, 0, 0).size(), size_t(1));

        store.Add(Rec(2, 1, 0, 0, 1));
        QCOMPARE(HistorySection(store, 1, 0), (std::vector<StatisticsRecord>{Rec(2, 1, 0, 0, 1)}));
    }

    void reloadLocal()
    {
        ExerciseStatistics store(historyPath, localPath);
        store.Add(Rec(1, 0, 0, 1, 0));
        store.Save();
        store.Add(Rec(2, 0, 0, 1, 0)); // not saved: a reload drops it
        store.ReloadLocal();
        QCOMPARE(Local(store, 0), (std::vector<StatisticsRecord>{Rec(1, 0, 0, 1, 0)}));

        QVERIFY(QFile::remove(localPath)); // no file: memory stays as it is
        store.ReloadLocal();
        QCOMPARE(Local(store, 0), (std::vector<StatisticsRecord>{Rec(1, 0, 0, 1, 0)}));

        const QByteArray damaged =
            "<ex_stat version=\"1.0\"><entry id=\"8\" exId=\"0\" section=\"0\" correct=\"1\" "
            "wrong=\"0\"/><entry id=";
        WriteAll(localPath, damaged);
        store.ReloadLocal();
        QCOMPARE(Local(store, 0), (std::vector<StatisticsRecord>{Rec(8, 0, 0, 1, 0)}));
        store.ClearLocal(0);
        const QStringList kept = KeptFiles(QDir(dir.path()), QStringLiteral("statsLocal.xml"));
        QCOMPARE(kept.size(), 1);
        QCOMPARE(ReadAll(QDir(dir.path()).absoluteFilePath(kept.first())), damaged);
        QCOMPARE(ReadAll(localPath), EmptyFile);
    }

    // Saving or clearing where nothing can be written is reported; the answers stay in memory
    // until cleared.
    void unwritableDirectoryKeepsWorkingInMemory()
    {
        // A path below a regular file can be neither created nor written, even by root.
        const QString blocker = QDir(dir.path()).absoluteFilePath(QStringLiteral("not-a-directory"));
        WriteAll(blocker, "x");
        ExerciseStatistics store(blocker + QStringLiteral("/stats.xml"),
                                 blocker + QStringLiteral("/statsLocal.xml"));
        store.Add(Rec(1, 2, 3, 1, 0));
        try {
            store.Save();
            QFAIL("Save into a non-directory succeeded");
        } catch (const Error& error) {
            QCOMPARE(error.Code(), 0x624);
        }
        QCOMPARE(Local(store, 2), (std::vector<StatisticsRecord>{Rec(1, 2, 3, 1, 0)}));
        QVERIFY_EXCEPTION_THROWN(store.ClearLocal(2), Error);
        QVERIFY(Local(store, 2).empty());
    }

    void failedSaveLeavesPreviousFile()
    {
        ExerciseStatistics store(historyPath, localPath);
        store.Add(Rec(1, 0, 0, 1, 0));
        store.Save();
        const QByteArray before = ReadAll(historyPath);
        for (int i = 0; i < 500; ++i)
            store.Add(Rec(i + 100, 0, 0, 1, 0)); // about 32 KiB of text

        // Files may grow to 4 KiB only: the write stops part-way, as on a full disk.
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit oldLimit{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
        rlimit small = oldLimit;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        bool threw = false;
        try {
            store.Save();
        } catch (const Error& error) {
            threw = error.Code() == 0x624;
        }
        setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(threw);
        QCOMPARE(ReadAll(historyPath), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left over
        store.Save();
        ExerciseStatistics reloaded(historyPath, localPath);
        QCOMPARE(Local(reloaded, 0).size(), size_t(501));
    }

    void concurrentAddsDuringSavesAndLookups()
    {
        ExerciseStatistics store(historyPath, localPath);
        constexpr int Threads = 4;
        constexpr int PerThread = 3000;
        std::atomic<int> running{Threads};
        std::vector<std::thread> adders;
        for (int t = 0; t < Threads; ++t)
            adders.emplace_back([&store, &running, t] {
                for (int i = 0; i < PerThread; ++i) {
                    store.Add(Rec(i % 50, t % 3, i % 4, i % 2, 1 - i % 2));
                    // As the exercises ask after each answer: the saver thread writes meanwhile.
                    if (i % 500 == 499)
                        store.SaveNow();
                    else
                        store.SaveSoon();
                }
                running.fetch_sub(1);
            });

        int rounds = 0;
        while (running.load() > 0 || rounds < 3) {
            std::vector<StatisticsRecord> out;
            store.GetLocalRecords(rounds % 3, out);
            store.GetLocalSectionRecords(0, rounds % 4, out);
            store.GetHistorySectionRecords(1, rounds % 4, out);
            store.Save();
            if (rounds % 5 == 4)
                store.ReloadLocal();
            ++rounds;
        }
        for (auto& thread : adders)
            thread.join();
        store.Save();

        // The history saw every answer exactly once; each trainer/section/item is one record.
        qint64 answers = 0;
        size_t records = 0;
        for (int exId = 0; exId < 3; ++exId)
            for (int section = 0; section < 4; ++section) {
                const auto history = HistorySection(store, exId, section);
                records += history.size();
                for (const auto& r : history)
                    answers += r.correct + r.wrong;
            }
        QCOMPARE(answers, qint64(Threads) * PerThread);
        QCOMPARE(records, size_t(3 * 4 * 50 / 2)); // i%50 and i%4 share parity: 25 items per section
        ExerciseStatistics reloaded(historyPath, localPath);
        QCOMPARE(HistorySection(reloaded, 0, 0), HistorySection(store, 0, 0));
    }
};

QTEST_GUILESS_MAIN(TestExerciseStatistics)
#include "test_exercise_statistics.moc"

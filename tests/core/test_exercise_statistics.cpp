// The statistics store against real files: merging answers, reading damaged, cut-off and foreign
// files, numbers at the ends of their range, atomic replacement, and Add racing saves on threads.

#include "../common/file_bytes.h"
#include "core/error.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/statistics_database.h"
#include "core/exercise/xml_serializer.h"

#include <QtTest>

#include <atomic>
#include <csignal>
#include <limits>
#include <memory>
#include <sys/resource.h>
#include <thread>

using Core::ExerciseStatistics;
using Core::StatisticsRecord;
using Records = std::vector<StatisticsRecord>;

Q_DECLARE_METATYPE(Records)

namespace {

const QByteArray Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
const QByteArray EmptyFile = Declaration + "<ex_stat version=\"1.0\"/>\n";
constexpr qint32 Min = std::numeric_limits<qint32>::min();
constexpr qint32 Max = std::numeric_limits<qint32>::max();

Records Local(const ExerciseStatistics& s, int exId)
{
    Records out;
    s.GetLocalRecords(exId, out);
    return out;
}

Records HistorySection(const ExerciseStatistics& s, int exId, int section)
{
    Records out;
    s.GetHistorySectionRecords(exId, section, out);
    return out;
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

    std::unique_ptr<QTemporaryDir> dir;
    QString historyPath;
    QString localPath;

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        historyPath = dir->filePath(QStringLiteral("stats.xml"));
        localPath = dir->filePath(QStringLiteral("statsLocal.xml"));
    }

    // A missing file is created empty and the other is left as it was; a directory in the file's
    // place (which cannot be opened as a file, even by root) is first kept aside.
    void missingUnopenableOrUnwritableFiles()
    {
        const QByteArray history = "<ex_stat version=\"1.0\"/>";
        QVERIFY(WriteAll(historyPath, history));
        ExerciseStatistics{historyPath, localPath};
        QCOMPARE(std::make_pair(ReadAll(historyPath), ReadAll(localPath)),
                 std::make_pair(history, EmptyFile));
        QVERIFY(QFile::remove(historyPath) && QDir(dir->path()).mkdir(QStringLiteral("stats.xml")));
        QVERIFY(WriteAll(historyPath + QStringLiteral("/inside"), "keep me"));
        ExerciseStatistics{historyPath, localPath};
        QCOMPARE(ReadAll(historyPath), EmptyFile);
        const QStringList kept =
            QDir(dir->path()).entryList({QStringLiteral("stats.xml.unreadable-*")}, QDir::Dirs);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(ReadAll(dir->filePath(kept.first() + QStringLiteral("/inside"))), QByteArray("keep me"));

        // Below a regular file (unwritable even for root) Save reports it; clearing (which opens
        // every lesson) never throws. The answers stay in memory.
        ExerciseStatistics store(historyPath + QStringLiteral("/h"), localPath + QStringLiteral("/l"));
        store.Add({1, 2, 3, 1, 0});
        QVERIFY_EXCEPTION_THROWN(store.Save(), Error); // its code: failedSaveLeavesPreviousFile
        QCOMPARE(Local(store, 2), (Records{{1, 2, 3, 1, 0}}));
        store.ClearLocal(2);
        QVERIFY(Local(store, 2).empty());
    }

    void accumulation_data()
    {
        QTest::addColumn<Records>("added");
        QTest::addColumn<Records>("expected"); // trainer 0, in order

        QTest::newRow("two wrong one right")
            << Records{{7, 0, 2, 0, 1}, {7, 0, 2, 1, 0}, {7, 0, 2, 0, 1}} << Records{{7, 0, 2, 1, 2}};
        QTest::newRow("same item in another section or trainer")
            << Records{{7, 0, 1, 1, 0}, {7, 0, 2, 0, 1}, {7, 1, 1, 0, 1}, {7, 0, 1, 0, 1}}
            << Records{{7, 0, 1, 1, 1}, {7, 0, 2, 0, 1}};
        QTest::newRow("negative statistics key")
            << Records{{-1, 0, 0, 1, 0}, {0, 0, 0, 0, 1}, {-1, 0, 0, 1, 0}}
            << Records{{-1, 0, 0, 2, 0}, {0, 0, 0, 0, 1}};
        QTest::newRow("counter wraps at its end")
            << Records{{1, 0, 0, Max, 0}, {1, 0, 0, 1, 0}} << Records{{1, 0, 0, Min, 0}};
    }

    void accumulation()
    {
        QFETCH(Records, added);
        QFETCH(Records, expected);
        {
            ExerciseStatistics store(historyPath, localPath);
            for (const auto& r : added)
                store.Add(r);
            QCOMPARE(Local(store, 0), expected);
            Records history;
            for (int section = 0; section < 3; ++section)
                store.GetHistorySectionRecords(0, section, history);
            QCOMPARE(history, expected);
            store.Save();
        }
        QCOMPARE(Local(ExerciseStatistics(historyPath, localPath), 0), expected);
    }

    // Files written by other tools read alike; a file that cannot be read whole keeps what was
    // read before the fault and is kept aside at the first write.
    void readingFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Records>("expected"); // history of trainer 0, section 0
        QTest::addColumn<bool>("readable");

        const QByteArray head = Declaration + "<ex_stat version=\"1.0\">\n";
        const QByteArray a = "    <entry id=\"1\" exId=\"0\" section=\"0\" correct=\"3\" wrong=\"0\"/>\n";
        const QByteArray b = "    <entry id=\"-5\" exId=\"0\" section=\"0\" correct=\"2147483647\" "
                             "wrong=\"-2147483648\"/>\n";
        const QByteArray whole = head + a + b + "</ex_stat>\n";
        const Records both{{1, 0, 0, 3, 0}, {-5, 0, 0, Max, Min}};
        QTest::newRow("well formed") << whole << both << true;
        QTest::newRow("byte order mark, windows line ends, single quotes")
            << "\xef\xbb\xbf" + QByteArray(whole).replace("\n", "\r\n").replace('"', '\'') << both << true;
        QTest::newRow("no declaration, one line, any attribute order")
            << QByteArray(
                   "<ex_stat version=\"1.0\"><entry wrong=\"0\" correct=\"3\" section=\"0\" exId=\"0\" "
                   "id=\"1\"></entry><entry  id = \"-5\" exId=\"0\" section=\"0\" correct=\"2147483647\" "
                   "wrong=\"2147483648\" /></ex_stat>")
            << both << true;
        QTest::newRow("odd attributes")
            << head + "<entry id=\"x\" exId=\"0\" section=\"0\" correct=\"-2\"/>\n"
                      "<entry id=\"+7\" exId=\"0\" section=\"0\" correct=\" 5 \" "
                      "wrong=\"1.5\"/>\n</ex_stat>"
            << Records{{0, 0, 0, -2, 0}, {7, 0, 0, 5, 0}} << true;
        // A number at the end of the range the reader takes and one past it: past the signed range
        // it wraps as the 32-bit field would, past the unsigned range it reads as 0.
        const std::pair<const char*, qint32> numbers[] = {
            {"2147483647", Max},  {"2147483648", Min}, {"4294967295", -1}, {"4294967296", 0},
            {"-2147483648", Min}, {"-2147483649", 0},  {"0000000007", 7},  {"00000000007", 7}};
        for (const auto& [number, value] : numbers)
            QTest::addRow("number %s", number)
                << head + QByteArray(a).replace("\"1\"", QByteArray("\"") + number + "\"") + "</ex_stat>\n"
                << Records{{value, 0, 0, 3, 0}} << true;
        QTest::newRow("duplicates kept, other elements ignored")
            << head + a + "<note id=\"9\" exId=\"0\" section=\"0\"/>" + a + "</ex_stat>"
            << Records{{1, 0, 0, 3, 0}, {1, 0, 0, 3, 0}} << true;
        QTest::newRow("version 2.0") << QByteArray(whole).replace("version=\"1.0\">", "version=\"2.0\">")
                                     << Records{} << false;
        QTest::newRow("no version") << "<ex_stat>" + a + "</ex_stat>" << Records{} << false;
        QTest::newRow("no ex_stat root") << "<entries>" + a + "</entries>" << Records{} << false;
        QTest::newRow("a byte after the root") << whole + "x" << both << false;
        QTest::newRow("mismatched end tag") << head + a + "</ex_sta>" << Records{{1, 0, 0, 3, 0}} << false;
        QTest::newRow("not xml") << QByteArray("stats, but not as we know them") << Records{} << false;
        QByteArray bomb = "<!DOCTYPE ex_stat [<!ENTITY e0 \"1234567890\">";
        for (int level = 1; level < 9; ++level) // a thousand million characters if expanded
            bomb += "<!ENTITY e" + QByteArray::number(level) + " \"" +
                    ("&e" + QByteArray::number(level - 1) + ";").repeated(10) + "\">";
        QTest::newRow("entity expansion bomb")
            << bomb + "]><ex_stat version=\"1.0\"><entry id=\"&e8;\"/></ex_stat>" << Records{} << false;
    }

    void readingFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, readable);
        const Records local{{5, 2, 1, 1, 1}};
        QVERIFY(WriteAll(historyPath, text));
        QVERIFY(WriteAll(localPath, Core::ExDbDetail::XMLSerializer::WriteXML(local)));
        const auto kept = [this] {
            return QDir(dir->path()).entryList({QStringLiteral("stats.xml.unreadable-*")});
        };

        ExerciseStatistics store(historyPath, localPath);
        QTEST(HistorySection(store, 0, 0), "expected");
        // Whatever could or could not be read, start-up leaves the file as it was.
        QCOMPARE(ReadAll(historyPath), text);
        QVERIFY(kept().isEmpty());

        // The first write of a file that could not be read keeps the original next to it, once;
        // the local records are written back whatever became of the history.
        store.Add({1, 0, 0, 1, 0});
        store.Save();
        store.Save();
        QCOMPARE(kept().size(), readable ? 0 : 1);
        if (!kept().isEmpty())
            QCOMPARE(ReadAll(QDir(dir->path()).absoluteFilePath(kept().first())), text);
        const ExerciseStatistics reloaded(historyPath, localPath);
        QCOMPARE(HistorySection(reloaded, 0, 0), HistorySection(store, 0, 0));
        QCOMPARE(Local(reloaded, 2), local);
    }

    // The file as written, every field at both ends of its range, cut after any byte: it gives the
    // entries complete before the cut and is unreadable unless only the last line end is missing.
    void everyCutKeepsTheEntriesBeforeIt()
    {
        const Records records{{Max, Min, Max, Min, Max}, {Min, Max, Min, Max, Min}, {12, 1, 3, 0, 4}};
        const QByteArray text = Core::ExDbDetail::XMLSerializer::WriteXML(records);
        for (int size = 0; size <= text.size(); ++size) {
            QByteArray cut = text.left(size);
            QBuffer device(&cut);
            QVERIFY(device.open(QIODevice::ReadOnly));
            Core::ExDbDetail::StatisticsDatabase database;
            bool readable = true;
            try {
                Core::ExDbDetail::XMLSerializer(&database).ReadXML(device);
            } catch (const Error& error) {
                QCOMPARE(error.Code(), 0x623);
                readable = false;
            }
            const int complete = cut.count("/>\n") + (cut.endsWith("/>") ? 1 : 0);
            QCOMPARE(database.Records(), Records(records.begin(), records.begin() + complete));
            QVERIFY2(readable == (size >= text.size() - 1), cut.constData());
        }
    }

    // Clearing one trainer leaves the others and reaches the local file at once; an item left behind
    // still merges into its own record (the records after it moved). Reloads: see each step.
    void clearAndReloadLocal()
    {
        ExerciseStatistics store(historyPath, localPath);
        for (const StatisticsRecord& r : Records{{2, 1, 0, 1, 0}, {3, 1, 1, 0, 1}, {1, 0, 0, 1, 0}})
            store.Add(r);
        store.Save();
        store.ClearLocal(1);
        {
            const ExerciseStatistics onDisk(historyPath, localPath);
            QCOMPARE(Local(onDisk, 1), (Records{}));
            QCOMPARE(Local(onDisk, 0), (Records{{1, 0, 0, 1, 0}}));
            QCOMPARE(HistorySection(onDisk, 1, 1), (Records{{3, 1, 1, 0, 1}}));
        }
        store.ClearHistory(1);
        store.Add({1, 0, 0, 0, 1});
        store.Add({2, 1, 0, 0, 1});
        QCOMPARE(HistorySection(store, 0, 0), (Records{{1, 0, 0, 1, 1}}));
        QCOMPARE(HistorySection(store, 1, 0), (Records{{2, 1, 0, 0, 1}}));
        QCOMPARE(Local(store, 0), (Records{{1, 0, 0, 1, 1}}));

        store.Save();
        store.Add({2, 0, 0, 1, 0}); // not saved yet: a reload keeps it
        store.ReloadLocal();
        QCOMPARE(Local(store, 0), (Records{{1, 0, 0, 1, 1}, {2, 0, 0, 1, 0}}));
        QVERIFY(QFile::remove(localPath)); // no file: memory stays as it is
        store.ReloadLocal();
        QCOMPARE(Local(store, 0), (Records{{1, 0, 0, 1, 1}, {2, 0, 0, 1, 0}}));
        QVERIFY(WriteAll(localPath, "<ex_stat version=\"1.0\"><entry id=\"8\" exId=\"0\" section=\"0\" "
                                    "correct=\"1\" wrong=\"0\"/><entry id="));
        store.ReloadLocal(); // a damaged file: what was read before the fault, and what is unsaved
        QCOMPARE(Local(store, 0), (Records{{8, 0, 0, 1, 0}, {2, 0, 0, 1, 0}}));
    }

    void failedSaveLeavesPreviousFile()
    {
        ExerciseStatistics store(historyPath, localPath);
        store.Add({1, 0, 0, 1, 0});
        store.Save();
        const QByteArray before = ReadAll(historyPath);
        for (int i = 0; i < 500; ++i)
            store.Add({i + 100, 0, 0, 1, 0}); // about 32 KiB of text

        // Files may grow to 4 KiB only: the write stops part-way, as on a full disk.
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit oldLimit{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
        const rlimit small{4096, oldLimit.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        int code = 0;
        try {
            store.Save();
        } catch (const Error& error) {
            code = error.Code();
        }
        setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(code, 0x624);
        QCOMPARE(ReadAll(historyPath), before);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files).size(), 2); // no temporary file left over
        store.Save();
        QCOMPARE(Local(ExerciseStatistics(historyPath, localPath), 0).size(), size_t(501));
    }

    void concurrentAddsDuringSavesAndLookups()
    {
        ExerciseStatistics store(historyPath, localPath);
        constexpr int Threads = 4, PerThread = 3000;
        std::atomic<int> running{Threads};
        std::vector<std::thread> adders;
        for (int t = 0; t < Threads; ++t)
            adders.emplace_back([&store, &running, t] {
                for (int i = 0; i < PerThread; ++i) {
                    store.Add({i % 50, t % 3, i % 4, i % 2, 1 - i % 2});
                    // As the exercises ask after each answer: the saver thread writes meanwhile.
                    if (i % 500 == 499)
                        store.SaveNow();
                    else
                        store.SaveSoon();
                }
                running.fetch_sub(1);
            });
        for (int rounds = 0; running.load() > 0 || rounds < 3; ++rounds) {
            Records out;
            store.GetLocalRecords(rounds % 3, out);
            store.GetLocalSectionRecords(0, rounds % 4, out);
            store.GetHistorySectionRecords(1, rounds % 4, out);
            store.Save();
            if (rounds % 5 == 4)
                store.ReloadLocal();
        }
        for (auto& thread : adders)
            thread.join();
        store.Save();

        // The history saw every answer exactly once; each trainer/section/item is one record.
        qint64 answers = 0, records = 0;
        for (int exId = 0; exId < 3; ++exId)
            for (int section = 0; section < 4; ++section)
                for (const auto& r : HistorySection(store, exId, section))
                    answers += r.correct + r.wrong, ++records;
        QCOMPARE(answers, qint64(Threads) * PerThread);
        QCOMPARE(records, qint64(3 * 4 * 50 / 2)); // i%50 and i%4 share parity: 25 items per section
        QCOMPARE(HistorySection(ExerciseStatistics(historyPath, localPath), 0, 0),
                 HistorySection(store, 0, 0));
    }
};

QTEST_GUILESS_MAIN(TestExerciseStatistics)
#include "test_exercise_statistics.moc"

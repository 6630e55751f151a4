// The statistics files kept up to date by the real saver thread, also when the program is killed.

#include "../../common/file_bytes.h"
#include "../../common/full_disk.h"
#include "core/exercise/exercise_statistics.h"
#include "test_trainer.h"

#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>

using namespace Core;

// Answers of the trainer in the history and in the local file, as a store loading them sees them.
static std::pair<int, int> OnDisk(const QString& historyPath, const QString& localPath, int exId)
{
    const ExerciseStatistics store(historyPath, localPath);
    std::vector<StatisticsRecord> history, local;
    for (int section = 0; section < 8; ++section)
        store.GetHistorySectionRecords(exId, section, history);
    store.GetLocalRecords(exId, local);
    std::pair<int, int> answers;
    for (const StatisticsRecord& r : history)
        answers.first += r.correct + r.wrong;
    for (const StatisticsRecord& r : local)
        answers.second += r.correct + r.wrong;
    return answers;
}

static bool HoldsAnswers(const QString& historyPath, const QString& localPath, int exId, int count)
{
    return OnDisk(historyPath, localPath, exId) == std::make_pair(count, count);
}

// Counts the store's "not saved" warnings from the saver thread; passes the rest on.
static std::atomic<int> notSavedWarnings{0};
static QtMessageHandler testHandler = nullptr;
static void CountNotSaved(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && qstrcmp(context.category, "cantorela.statistics") == 0 &&
        text.contains(QLatin1String("not saved")))
        ++notSavedWarnings;
    else
        testHandler(type, context, text);
}

class TestStatisticsSaving : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString historyPath;
    QString localPath;

    static void AnswerNext(TestTrainer& trainer, bool right)
    {
        trainer.Next();
        QCOMPARE(trainer.GetState(), int(Exercise::AwaitingAnswer));
        const int correct = trainer.GetCurrentQuestion().correctIndex;
        trainer.Judge(Choice(right ? correct : (correct + 1) % Exercise::CandidateCount));
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).removeRecursively());
        QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/data")));
        historyPath = dir.path() + QStringLiteral("/data/stats.xml");
        localPath = dir.path() + QStringLiteral("/data/statsLocal.xml");
    }

    // The last answer of a section is written at once: well before a coalesced save could be.
    void sectionEndWrittenAtOnce_data()
    {
        QTest::addColumn<int>("sections");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("timeOut"); // the last question is left to time out (1 s a question)
        QTest::newRow("last answer of a section") << 2 << 2 << false;
        QTest::newRow("last answer of the lesson") << 1 << 2 << false;
        QTest::newRow("only question of the lesson timed out") << 1 << 1 << true;
    }

    void sectionEndWrittenAtOnce()
    {
        QFETCH(int, sections);
        QFETCH(int, questions);
        QFETCH(bool, timeOut);
        auto store = std::make_shared<ExerciseStatistics>(historyPath, localPath);
        TestTrainer trainer(std::vector<TestTrainer::SectionSpec>(
            size_t(sections), Section(questions, timeOut ? 1000 : 30000)));
        trainer.Initialize(store, 0);
        trainer.Start();
        // The answers before the last one are waiting for a coalesced save.
        for (int n = 0; n < questions - 1; ++n)
            AnswerNext(trainer, true);
        if (timeOut) {
            trainer.Next();
            QTRY_COMPARE_WITH_TIMEOUT(trainer.GetCounters().answered, questions, 5000);
        } else {
            AnswerNext(trainer, true);
        }
        // A coalesced save could not start before StatisticsSaver::CoalesceDelay (1 s).
        QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(historyPath, localPath, 0, questions), 700);
        if (timeOut) // and the last question's time-out ends the lesson
            QTRY_COMPARE(trainer.GetState(), int(Exercise::LessonEnd));
    }

    // A hundred answers, one every 10 ms or so (longer than a save takes), share a few writes;
    // the last of them is on disk within two seconds.
    void burstOfAnswersCoalesced()
    {
        constexpr int Answers = 100;
        auto store = std::make_shared<ExerciseStatistics>(historyPath, localPath);
        TestTrainer trainer({Section(Answers + 10)});
        trainer.Initialize(store, 1);
        trainer.Start();
        const int savesBefore = store->SaveCount();
        QElapsedTimer burst;
        burst.start();
        for (int n = 0; n < Answers; ++n) {
            AnswerNext(trainer, n % 3 != 0);
            QTest::qWait(10); // the student's pace, not a synchronisation
        }
        const qint64 burstMs = burst.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(historyPath, localPath, 1, Answers), 2000);
        const int saves = store->SaveCount() - savesBefore;
        QVERIFY2(saves >= 1 && saves <= 2 + int(burstMs / 1000) && saves * 10 < Answers,
                 qPrintable(QStringLiteral("%1 saves in %2 ms").arg(saves).arg(burstMs)));
    }

    // A failed write (folder replaced by a file: root ignores permissions; a filled tmpfs) must
    // warn, tell the listener, keep the files' bytes and save the missed answers next time.
    void failedWriteMadeUpFor_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<int>("problem");
        QTest::newRow("folder replaced by a file") << false << int(DataFile::Problem::NotWritable);
        QTest::newRow("full disk") << true << int(DataFile::Problem::DiskFull);
    }
    void failedWriteMadeUpFor()
    {
        QFETCH(bool, fullDisk);
        FullDisk disk;
        if (fullDisk && !disk.IsMounted())
            QSKIP(qPrintable(disk.Why()));
        const QString history = fullDisk ? disk.Path() + QStringLiteral("/stats.xml") : historyPath;
        const QString local = fullDisk ? disk.Path() + QStringLiteral("/statsLocal.xml") : localPath;
        const QString folder = QFileInfo(history).path(), away = dir.path() + QStringLiteral("/away");
        auto store = std::make_shared<ExerciseStatistics>(history, local);
        std::mutex toldMutex;
        std::vector<ExerciseStatistics::SaveState> told;
        store->SetSaveListener([&](const ExerciseStatistics::SaveState& state) {
            std::lock_guard<std::mutex> lock(toldMutex);
            told.push_back(state);
        });
        const auto lastTold = [&] {
            std::lock_guard<std::mutex> lock(toldMutex);
            return told.empty() ? ExerciseStatistics::SaveState{} : told.back();
        };
        TestTrainer trainer({Section(10)});
        trainer.Initialize(store, 0);
        trainer.Start();
        AnswerNext(trainer, true);
        QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(history, local, 0, 1), 2000);
        const QByteArray historyBefore = ReadAll(history), localBefore = ReadAll(local);

        if (fullDisk) {
            QVERIFY(disk.Fill());
        } else {
            QVERIFY(QDir().rename(folder, away));
            QFile inTheWay(folder);
            QVERIFY(inTheWay.open(QIODevice::WriteOnly));
        }
        notSavedWarnings = 0;
        testHandler = qInstallMessageHandler(CountNotSaved);
        AnswerNext(trainer, false);
        const bool warned = QTest::qWaitFor([] { return notSavedWarnings > 0; }, 3000);
        qInstallMessageHandler(testHandler);
        QVERIFY(warned);
        QTRY_VERIFY_WITH_TIMEOUT(!lastTold().saving, 3000);
        QTEST(int(lastTold().problem), "problem");
        if (fullDisk)
            disk.Free();
        else
            QVERIFY(QFile::remove(folder) && QDir().rename(away, folder));
        QCOMPARE(ReadAll(history), historyBefore);
        QCOMPARE(ReadAll(local), localBefore);

        AnswerNext(trainer, true);
        QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(history, local, 0, 3), 3000);
        QTRY_VERIFY(lastTold().saving);
        QCOMPARE(told.size(), size_t(2)); // once failing, once saving again
        QCOMPARE(QDir(folder).entryList(QDir::Files), (QStringList{"stats.xml", "statsLocal.xml"}));
    }

    // A store going away writes what it added at once (save asked 0 no, 1 soon, 2 now); two writers
    // of one file (two program copies) lose no answer and keep a clear made by the other.
    void storesOfTheirOwn()
    {
        for (int request = 0; request < 3; ++request) {
            QElapsedTimer clock;
            {
                ExerciseStatistics store(historyPath, localPath);
                store.Add(StatisticsRecord{4, 2, request, 1, 0});
                store.Add(StatisticsRecord{4, 2, request, 0, 1});
                if (request == 1)
                    store.SaveSoon();
                else if (request == 2)
                    store.SaveNow();
                clock.start();
            }
            QVERIFY2(clock.elapsed() < StatisticsSaver::CoalesceDelay.count(),
                     "the store waited for the delay");
            QVERIFY2(HoldsAnswers(historyPath, localPath, 2, 2 * (request + 1)),
                     qPrintable(QString::number(request)));
        }

        ExerciseStatistics first(historyPath, localPath), second(historyPath, localPath);
        for (int i = 0; i < 5; ++i) {
            first.Add({i % 3, 0, 0, 1, 0});
            first.SaveNow();
            second.Add({i % 2, 0, 0, 0, 1});
            second.Save();
        }
        first.Save(); // after whatever its saver thread still had to write
        QCOMPARE(OnDisk(historyPath, localPath, 0), std::make_pair(10, 10));

        first.Add({7, 1, 0, 1, 0});
        first.ClearLocal(0);
        second.Add({7, 1, 0, 0, 1});
        second.Save();
        QCOMPARE(OnDisk(historyPath, localPath, 0), std::make_pair(10, 0));
        // The clear wrote the first's local answer of trainer 1. (Its history answer may be on
        // disk already: a SaveNow of the loop can still be waiting on the saver thread.)
        QCOMPARE(OnDisk(historyPath, localPath, 1).second, 2);
        first.Save();
        QCOMPARE(OnDisk(historyPath, localPath, 1), std::make_pair(2, 2));
    }

    // The program killed with SIGKILL in the middle of a lesson: every answer given more than two
    // seconds before the kill is in both files, and the files are whole.
    void killedMidLesson()
    {
        QProcess driver;
        driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        driver.start(QStringLiteral(STATS_KILL_DRIVER), {historyPath, localPath, QStringLiteral("60")});
        QVERIFY2(driver.waitForStarted(), qPrintable(driver.errorString()));
        std::vector<qint64> answeredAt; // steady clock ms of each answer the driver reported
        const auto readLines = [&] {
            while (driver.canReadLine())
                answeredAt.push_back(
                    QString::fromUtf8(driver.readLine()).section(QLatin1Char(' '), 2).toLongLong());
            return int(answeredAt.size());
        };
        QTRY_VERIFY_WITH_TIMEOUT(readLines() >= 60, 60000);
        const qint64 killedAt = std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count();
        driver.kill(); // SIGKILL
        QVERIFY(driver.waitForFinished(10000));
        QCOMPARE(driver.exitStatus(), QProcess::CrashExit);
        readLines();

        const int due = int(std::count_if(answeredAt.begin(), answeredAt.end(),
                                          [killedAt](qint64 at) { return at < killedAt - 2000; }));
        QVERIFY2(due >= 10,
                 qPrintable(QStringLiteral("only %1 answers before the last two seconds").arg(due)));
        const auto [history, local] = OnDisk(historyPath, localPath, 2);
        // One more answer may have been judged (and written) after its line was last printed.
        const int given = int(answeredAt.size());
        const QString counts = QStringLiteral("%1 and %2 on disk, %3 due, %4 given");
        for (int count : {history, local})
            QVERIFY2(count >= due && count <= given + 1,
                     qPrintable(counts.arg(history).arg(local).arg(due).arg(given)));
        // Whole files: a store that could not read one would keep it aside on its first write.
        ExerciseStatistics(historyPath, localPath).Save();
        QVERIFY(QDir(QFileInfo(historyPath).path()).entryList({QStringLiteral("*.unreadable-*")}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStatisticsSaving)
#include "test_statistics_saving.moc"

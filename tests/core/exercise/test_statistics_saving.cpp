// The statistics files kept up to date while a lesson runs, against the real saver thread: an
// answer on disk within two seconds, a section's last answer at once, a burst sharing a few writes,
// a failed write logged and made up for, the store writing what is left when it goes, and a
// lesson killed with SIGKILL leaving whole files with every answer older than two seconds.

#include "../../common/file_bytes.h"
#include "../../common/full_disk.h"
#include "core/exercise/exercise_statistics.h"
#include "test_trainer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>

using namespace Core;

namespace {

TestTrainer::SectionSpec Section(int questions, int msPerQuestion = 30000)
{
    TestTrainer::SectionSpec plan;
    plan.name = QStringLiteral("Symbols");
    for (int key = 0; key < 6; ++key)
        plan.items.push_back(Item(key, {60 + key}));
    plan.questionCount = questions;
    plan.msPerQuestion = msPerQuestion;
    return plan;
}

// Answers of the trainer in the history and in the local file, as a store loading them sees them.
std::pair<int, int> OnDisk(const QString& historyPath, const QString& localPath, int exId)
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

bool HoldsAnswers(const QString& historyPath, const QString& localPath, int exId, int count)
{
    return OnDisk(historyPath, localPath, exId) == std::make_pair(count, count);
}

// Warnings of the store that it could not save, caught from the saver thread; the rest goes on
// to the test framework's handler.
std::atomic<int> notSavedWarnings{0};
QtMessageHandler testHandler = nullptr;
void CountNotSaved(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && qstrcmp(context.category, "cantorela.statistics") == 0 &&
        text.contains(QLatin1String("not saved")))
        ++notSavedWarnings;
    else
        testHandler(type, context, text);
}

} // namespace

class TestStatisticsSaving : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString historyPath;
    QString localPath;

    // Asks the next question and answers it, right or wrong.
    static void AnswerNext(TestTrainer& trainer, bool right)
    {
        trainer.Next();
        QCOMPARE(trainer.GetState(), int(Exercise::AwaitingAnswer));
        const int correct = trainer.GetCurrentQuestion().correctIndex;
        const int before = trainer.GetCounters().answered;
        Answer answer;
        answer.kind = Answer::Choice;
        answer.variant = right ? correct : (correct + 1) % Exercise::CandidateCount;
        trainer.Judge(answer);
        QCOMPARE(trainer.GetCounters().answered, before + 1);
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

    // An answer that does not end its section reaches both files within two seconds while the
    // exercise goes on; so does the first answer after a background save.
    void answerOnDiskWithinTwoSeconds()
    {
        auto store = std::make_shared<ExerciseStatistics>(historyPath, localPath);
        TestTrainer trainer({Section(10)});
        trainer.Initialize(store, 2);
        trainer.Start();
        for (int n = 1; n <= 2; ++n) {
            AnswerNext(trainer, n == 2);
            QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(historyPath, localPath, 2, n), 2000);
        }
        QCOMPARE(trainer.GetState(), int(Exercise::BetweenQuestions));
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
    }

    // Answers given in quick succession (a hundred, one every 10 ms or so: longer than a save
    // takes) share a few writes, and the last of them is on disk within two seconds.
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
        QVERIFY2(
            saves >= 1 && saves <= 2 + int(burstMs / 1000) && saves * 10 < Answers,
            qPrintable(
                QStringLiteral("%1 saves for %2 answers in %3 ms").arg(saves).arg(Answers).arg(burstMs)));
    }

    // When the store goes, what it added is written, whether a save was asked for (0 no, 1 soon,
    // 2 at once) or not, and without waiting for the coalescing delay.
    void storeGoingWritesWhatIsLeft()
    {
        for (int request = 0; request < 3; ++request) {
            QElapsedTimer clock;
            {
                ExerciseStatistics store(historyPath, localPath);
                store.Add(StatisticsRecord{4, request, 1, 1, 0});
                store.Add(StatisticsRecord{4, request, 1, 0, 1});
                if (request == 1)
                    store.SaveSoon();
                else if (request == 2)
                    store.SaveNow();
                clock.start();
            }
            QVERIFY2(clock.elapsed() < StatisticsSaver::CoalesceDelay.count(),
                     "the store waited for the delay");
            QVERIFY2(HoldsAnswers(historyPath, localPath, request, 2), qPrintable(QString::number(request)));
        }
    }

    // A write that fails (the data folder replaced by a file, as an unplugged drive mounted
    // over: permissions do not stop root) is logged on the store's category and thrown to nobody;
    // the next answer writes everything once the folder is back. The previous files are left as
    // they were.
    void failedWriteLoggedAndMadeUpFor()
    {
        auto store = std::make_shared<ExerciseStatistics>(historyPath, localPath);
        TestTrainer trainer({Section(10)});
        trainer.Initialize(store, 0);
        trainer.Start();
        AnswerNext(trainer, true);
        QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(historyPath, localPath, 0, 1), 2000);

        const QString data = dir.path() + QStringLiteral("/data");
        const QString away = dir.path() + QStringLiteral("/away");
        QVERIFY(QDir().rename(data, away));
        QFile inTheWay(data);
        QVERIFY(inTheWay.open(QIODevice::WriteOnly));
        inTheWay.close();
        notSavedWarnings = 0;
        testHandler = qInstallMessageHandler(CountNotSaved);
        AnswerNext(trainer, false);
        const bool warned = QTest::qWaitFor([] { return notSavedWarnings > 0; }, 3000);
        qInstallMessageHandler(testHandler);
        QVERIFY(warned);
        QVERIFY(QFile::remove(data));
        QVERIFY(QDir().rename(away, data));
        QVERIFY(HoldsAnswers(historyPath, localPath, 0, 1));

        AnswerNext(trainer, true);
        QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(historyPath, localPath, 0, 3), 2000);
        QCOMPARE(QDir(data).entryList(QDir::Files).size(), 2); // no temporary file left over
    }

    // A full disk (a real one: a small tmpfs filled to the last byte) with a history far smaller
    // than the write buffer: the files keep every byte they had, the store says the disk is full,
    // and the answers given meanwhile reach the files once there is room again.
    void fullDiskKeepsFilesAndAnswers()
    {
        FullDisk disk;
        if (!disk.IsMounted())
            QSKIP(qPrintable(disk.Why()));
        const QString history = disk.Path() + QStringLiteral("/stats.xml");
        const QString local = disk.Path() + QStringLiteral("/statsLocal.xml");
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
        const QByteArray historyBefore = ReadAll(history);
        const QByteArray localBefore = ReadAll(local);

        QVERIFY(disk.Fill());
        AnswerNext(trainer, false);
        QTRY_VERIFY_WITH_TIMEOUT(!lastTold().saving, 3000);
        QCOMPARE(lastTold().problem, DataFile::Problem::DiskFull);
        QCOMPARE(ReadAll(history), historyBefore);
        QCOMPARE(ReadAll(local), localBefore);
        QCOMPARE(QDir(disk.Path()).entryList(QDir::Files), (QStringList{"stats.xml", "statsLocal.xml"}));

        disk.Free();
        AnswerNext(trainer, true);
        QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(history, local, 0, 3), 3000);
        QTRY_VERIFY(lastTold().saving);
        QCOMPARE(told.size(), size_t(2)); // once failing, once saving again
    }

    // Two writers of the same files (two copies of the program): every answer of both is in the
    // files, whoever saves last; a trainer cleared by one stays cleared for the other.
    void twoWritersKeepEveryAnswer()
    {
        ExerciseStatistics first(historyPath, localPath);
        ExerciseStatistics second(historyPath, localPath);
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
        // The clear wrote the first's local answer of trainer 1; its history answer waits.
        QCOMPARE(OnDisk(historyPath, localPath, 1), std::make_pair(1, 2));
        first.Save();
        QCOMPARE(OnDisk(historyPath, localPath, 1), std::make_pair(2, 2));
    }

    // The program killed with SIGKILL in the middle of a lesson: every answer given more than two
    // seconds before the kill is in both files, and the files are whole.
    void killedMidLesson()
    {
        QProcess driver;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.path());
        driver.setProcessEnvironment(environment);
        driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        driver.start(QStringLiteral(STATS_KILL_DRIVER), {QStringLiteral("0"), QStringLiteral("60")});
        QVERIFY2(driver.waitForStarted(), qPrintable(driver.errorString()));

        QString history, local;
        std::vector<qint64> answeredAt; // steady clock ms of each answer the driver reported
        const auto readLines = [&] {
            while (driver.canReadLine()) {
                const QStringList words =
                    QString::fromUtf8(driver.readLine()).trimmed().split(QLatin1Char(' '));
                if (words.size() == 2)
                    (words[0] == QLatin1String("history") ? history : local) = words[1];
                else if (words.size() == 3 && words[0] == QLatin1String("answered"))
                    answeredAt.push_back(words[2].toLongLong());
            }
            return int(answeredAt.size());
        };
        QTRY_VERIFY_WITH_TIMEOUT(readLines() >= 60, 60000);
        QVERIFY(history.startsWith(dir.path()) && local.startsWith(dir.path()));
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
        const std::pair<int, int> found = OnDisk(history, local, 2);
        // One more answer may have been judged (and written) after its line was last printed.
        const int given = int(answeredAt.size());
        for (int count : {found.first, found.second})
            QVERIFY2(
                count >= due && count <= given + 1,
                qPrintable(
                    QStringLiteral("%1 answers on disk, %2 due, %3 given").arg(count).arg(due).arg(given)));
        // Whole files: a store that could not read one would keep it aside on its first write.
        ExerciseStatistics(history, local).Save();
        QVERIFY(QDir(QFileInfo(history).path()).entryList({QStringLiteral("*.unreadable-*")}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStatisticsSaving)
#include "test_statistics_saving.moc"

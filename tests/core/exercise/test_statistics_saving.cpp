// The statistics files kept up to date while a lesson runs: an answer reaches "stats.xml" and
// "statsLocal.xml" within two seconds without the exercise going away, the last answer of a
// section at once, a burst of answers shares a few writes, a failed write is logged and made up
// for later, the store writes what is left when it goes, and a lesson killed with SIGKILL leaves
// readable files holding every answer given more than two seconds before the kill.

#include "core/error.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/statistics_database.h"
#include "core/exercise/xml_serializer.h"
#include "test_trainer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <mutex>

using namespace Core;

namespace {

Answer Choice(int variant)
{
    Answer answer;
    answer.kind = Answer::Choice;
    answer.variant = variant;
    return answer;
}

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

// Answers judged so far, as a store freshly loaded from the files sees them.
struct OnDisk
{
    int history = 0;
    int local = 0;
};

OnDisk ReadBack(const QString& historyPath, const QString& localPath, int exId)
{
    ExerciseStatistics store(historyPath, localPath);
    OnDisk answers;
    std::vector<StatisticsRecord> records;
    for (int section = 0; section < 8; ++section)
        store.GetHistorySectionRecords(exId, section, records);
    for (const StatisticsRecord& r : records)
        answers.history += r.correct + r.wrong;
    records.clear();
    store.GetLocalRecords(exId, records);
    for (const StatisticsRecord& r : records)
        answers.local += r.correct + r.wrong;
    return answers;
}

bool HoldsAnswers(const QString& historyPath, const QString& localPath, int exId, int count)
{
    const OnDisk answers = ReadBack(historyPath, localPath, exId);
    return answers.history == count && answers.local == count;
}

// Parses a file as the store's own reader does; false when it is damaged or cut off.
bool Readable(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    ExDbDetail::StatisticsDatabase database;
    try {
        ExDbDetail::XMLSerializer(&database).ReadXML(file);
    } catch (const Error&) {
        return false;
    }
    return true;
}

qint64 MonotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Warnings of the statistics store, caught from any thread, passed on to the test's own handler.
class StoreWarnings
{
public:
    StoreWarnings()
    {
        std::lock_guard<std::mutex> guard(mutex);
        seen.clear();
        previous = qInstallMessageHandler(&StoreWarnings::Handle);
    }
    ~StoreWarnings()
    {
        std::lock_guard<std::mutex> guard(mutex);
        qInstallMessageHandler(previous);
    }

    QStringList Seen() const
    {
        std::lock_guard<std::mutex> guard(mutex);
        return seen;
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        QtMessageHandler next = nullptr;
        {
            std::lock_guard<std::mutex> guard(mutex);
            if (type == QtWarningMsg && qstrcmp(context.category, "cantorela.statistics") == 0) {
                seen.append(text);
                return;
            }
            next = previous;
        }
        if (next)
            next(type, context, text);
    }

    static std::mutex mutex;
    static QStringList seen;
    static QtMessageHandler previous;
};

std::mutex StoreWarnings::mutex;
QStringList StoreWarnings::seen;
QtMessageHandler StoreWarnings::previous = nullptr;

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
        trainer.Judge(Choice(right ? correct : (correct + 1) % Exercise::CandidateCount));
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
    // exercise goes on; also the first answer after a background save.
    void answerOnDiskWithinTwoSeconds_data()
    {
        QTest::addColumn<int>("earlierAnswers");
        QTest::newRow("first answer") << 0;
        QTest::newRow("answer after a background save") << 1;
    }

    void answerOnDiskWithinTwoSeconds()
    {
        QFETCH(int, earlierAnswers);
        auto store = std::make_shared<ExerciseStatistics>(historyPath, localPath);
        TestTrainer trainer({Section(10)});
        trainer.Initialize(store, 2);
        trainer.Start();
        for (int n = 0; n < earlierAnswers; ++n) {
            AnswerNext(trainer, true);
            QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(historyPath, localPath, 2, n + 1), 2000);
        }
        AnswerNext(trainer, false);
        QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(historyPath, localPath, 2, earlierAnswers + 1), 2000);
        QCOMPARE(trainer.GetState(), int(Exercise::BetweenQuestions));
    }

    // The last answer of a section is written at once: well before a coalesced save could be.
    void sectionEndWrittenAtOnce_data()
    {
        QTest::addColumn<int>("sections");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("msPerQuestion");
        QTest::addColumn<bool>("timeOut"); // the last question is left to time out
        QTest::newRow("last answer of a section") << 2 << 2 << 30000 << false;
        QTest::newRow("last answer of the lesson") << 1 << 2 << 30000 << false;
        QTest::newRow("only question of the lesson timed out") << 1 << 1 << 1000 << true;
    }

    void sectionEndWrittenAtOnce()
    {
        QFETCH(int, sections);
        QFETCH(int, questions);
        QFETCH(int, msPerQuestion);
        QFETCH(bool, timeOut);
        auto store = std::make_shared<ExerciseStatistics>(historyPath, localPath);
        TestTrainer trainer(
            std::vector<TestTrainer::SectionSpec>(size_t(sections), Section(questions, msPerQuestion)));
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

    // When the store goes, what it added is written, whether a save was asked for or not, and
    // without waiting for the coalescing delay.
    void storeGoingWritesWhatIsLeft_data()
    {
        QTest::addColumn<int>("request"); // 0 none, 1 SaveSoon, 2 SaveNow
        QTest::newRow("no save asked for") << 0;
        QTest::newRow("save asked for soon") << 1;
        QTest::newRow("save asked for at once") << 2;
    }

    void storeGoingWritesWhatIsLeft()
    {
        QFETCH(int, request);
        QElapsedTimer clock;
        {
            ExerciseStatistics store(historyPath, localPath);
            store.Add(StatisticsRecord{4, 0, 1, 1, 0});
            store.Add(StatisticsRecord{4, 0, 1, 0, 1});
            if (request == 1)
                store.SaveSoon();
            else if (request == 2)
                store.SaveNow();
            clock.start();
        }
        QVERIFY2(clock.elapsed() < StatisticsSaver::CoalesceDelay.count(), "the store waited for the delay");
        QVERIFY(HoldsAnswers(historyPath, localPath, 0, 2));
    }

    // A write that fails (the data folder gone, as an unplugged drive: permissions do not stop
    // root) is logged on the store's category and thrown to nobody; the next answer writes
    // everything once the folder is back. The previous files are left as they were.
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
        {
            StoreWarnings warnings;
            AnswerNext(trainer, false);
            QTRY_VERIFY_WITH_TIMEOUT(!warnings.Seen().isEmpty(), 3000);
            QVERIFY2(warnings.Seen().first().contains(QStringLiteral("not saved")),
                     qPrintable(warnings.Seen().first()));
        }
        QVERIFY(!QFileInfo::exists(data));
        QVERIFY(QDir().rename(away, data));
        QVERIFY(HoldsAnswers(historyPath, localPath, 0, 1));

        AnswerNext(trainer, true);
        QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(historyPath, localPath, 0, 3), 2000);
        QCOMPARE(QDir(data).entryList(QDir::Files).size(), 2); // no temporary file left over
    }

    // The program killed with SIGKILL in the middle of a lesson: every answer given more than two
    // seconds before the kill is in both files, and the files are whole.
    void killedMidLesson_data()
    {
        QTest::addColumn<int>("answers");   // the driver's answers; 0: until killed
        QTest::addColumn<int>("paceMs");    // between answers
        QTest::addColumn<int>("killAfter"); // answers printed before the kill
        QTest::newRow("idle after its answers") << 6 << 150 << 6;
        QTest::newRow("killed while answering") << 0 << 60 << 60;
    }

    void killedMidLesson()
    {
        QFETCH(int, answers);
        QFETCH(int, paceMs);
        QFETCH(int, killAfter);

        QProcess driver;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.path());
        driver.setProcessEnvironment(environment);
        driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        driver.start(QStringLiteral(STATS_KILL_DRIVER), {QString::number(answers), QString::number(paceMs)});
        QVERIFY2(driver.waitForStarted(), qPrintable(driver.errorString()));

        QString history, local;
        std::vector<qint64> answeredAt; // monotonic ms of each answer the driver reported
        const auto readLines = [&] {
            while (driver.canReadLine()) {
                const QStringList words =
                    QString::fromUtf8(driver.readLine()).trimmed().split(QLatin1Char(' '));
                if (words.size() == 2 && words[0] == QLatin1String("history"))
                    history = words[1];
                else if (words.size() == 2 && words[0] == QLatin1String("local"))
                    local = words[1];
                else if (words.size() == 3 && words[0] == QLatin1String("answered"))
                    answeredAt.push_back(words[2].toLongLong());
            }
            return int(answeredAt.size());
        };
        QTRY_VERIFY_WITH_TIMEOUT(readLines() >= killAfter, 60000);
        QVERIFY(history.startsWith(dir.path()) && local.startsWith(dir.path()));
        // Idle after the last answer: the files hold every answer within two seconds of it;
        // the kill follows as soon as they do.
        if (answers > 0)
            QTRY_VERIFY_WITH_TIMEOUT(HoldsAnswers(history, local, 2, answers), 2500);

        const qint64 killedAt = MonotonicMs();
        driver.kill(); // SIGKILL
        QVERIFY(driver.waitForFinished(10000));
        QCOMPARE(driver.exitStatus(), QProcess::CrashExit);
        readLines();

        int due = 0; // answers given more than two seconds before the kill
        for (qint64 at : answeredAt)
            due += at < killedAt - 2000 ? 1 : 0;
        if (answers > 0)
            due = answers; // all of them were seen on disk before the kill
        else
            QVERIFY2(due >= 10,
                     qPrintable(QStringLiteral("only %1 answers before the last two seconds").arg(due)));

        QVERIFY(Readable(history));
        QVERIFY(Readable(local));
        const OnDisk found = ReadBack(history, local, 2);
        // One more answer may have been judged (and written) after its line was last printed.
        const int given = int(answeredAt.size());
        for (int count : {found.history, found.local})
            QVERIFY2(
                count >= due && count <= given + 1,
                qPrintable(
                    QStringLiteral("%1 answers on disk, %2 due, %3 given").arg(count).arg(due).arg(given)));
        const QDir data(QFileInfo(history).path());
        QVERIFY(data.entryList({QStringLiteral("*.unreadable-*")}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStatisticsSaving)
#include "test_statistics_saving.moc"

// Usage counters against real files and a local HTTP service on 127.0.0.1: first run, running
// means and score histories up to their limits, the file and its reader, the services address,
// the upload, and a shutdown that waits for the upload no longer than its time limit.

#include "../common/temp_settings.h"
#include "core/error.h"
#include "core/services_address.h"
#include "core/telemetry.h"
#include "local_http_server.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

#include <limits>
#include <memory>
#include <numeric>
#include <thread>

using Core::ServicesAddress;
using Core::Telemetry;
using Core::TelemetryCounters;
using Core::TrainerUsage;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The last `count` entries of a score history, newest last.
std::vector<double> Last(const std::array<double, TrainerUsage::HistoryLength>& history, int count)
{
    return std::vector<double>(history.end() - count, history.end());
}

// A clock the test moves by hand.
struct ManualClock
{
    std::shared_ptr<qint64> now = std::make_shared<qint64>(1000);
    Telemetry::Clock Function() const
    {
        return [shared = now] { return *shared; };
    }
    void Advance(qint64 ms) { *now += ms; }
};

} // namespace

class TestTelemetry : public QObject
{
    Q_OBJECT

    TempSettings settings;
    std::unique_ptr<QTemporaryDir> dir;
    QString path;

private slots:
    void init()
    {
        qunsetenv(ServicesAddress::EnvironmentVariable);
        dir = std::make_unique<QTemporaryDir>();
        path = dir->filePath(QStringLiteral("tstats.xml"));
    }

    // The first run makes an identity and an install date; the next run keeps them and counts
    // the launch. Without a services address nothing is sent.
    void firstRunMakesAnIdentityTheNextKeepsIt()
    {
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        TelemetryCounters first;
        {
            Telemetry telemetry(path, QUrl());
            first = telemetry.Counters();
            QVERIFY(!first.uid.isNull() && !first.os.isEmpty());
            QVERIFY(first.installDate >= before && first.installDate <= QDateTime::currentMSecsSinceEpoch());
            QCOMPARE(first.appLaunchCount, 0);
            telemetry.ApplicationFinished();
            QVERIFY(!telemetry.UploadStarted());
        }
        const TelemetryCounters c = Telemetry(path, QUrl()).Counters();
        QCOMPARE(std::make_tuple(c.appLaunchCount, c.uid, c.installDate),
                 std::make_tuple(1, first.uid, first.installDate));
    }

    // Launch counts, mean visit lengths and mean scores per trainer; a finish without a start, a
    // second finish or a second close counts nothing.
    void runningMeans()
    {
        ManualClock clock;
        Telemetry telemetry(path, QUrl(), clock.Function());
        telemetry.ExerciseFinished(1.0);
        telemetry.ExerciseStarted(1, false);
        clock.Advance(1000);
        telemetry.ExerciseFinished(0.5);
        telemetry.ExerciseFinished(1.0);
        telemetry.ExerciseStarted(1, false);
        clock.Advance(2001);
        telemetry.ExerciseFinished(1.0);
        telemetry.ExerciseStarted(1, true);
        clock.Advance(700);
        telemetry.ExerciseFinished(0.25);
        // A reference visit counts for the trainer of the last exercise; opening the settings
        // closes a reference visit still open.
        telemetry.ReferenceOpened();
        clock.Advance(300);
        telemetry.ReferenceClosed();
        telemetry.ReferenceClosed();
        telemetry.ReferenceOpened();
        clock.Advance(101);
        telemetry.SettingsOpened();
        clock.Advance(50);
        telemetry.SettingsClosed();
        telemetry.SettingsClosed();

        const TelemetryCounters c = telemetry.Counters();
        const TrainerUsage& t = c.trainers[1];
        // Exercise, quiz, reference, settings; means truncated: (1000 + 2001) / 2, (300 + 101) / 2.
        QCOMPARE(std::make_tuple(t.exLaunchCount, t.quizLaunchCount, t.refLaunchCount, t.settingsLaunchCount),
                 std::make_tuple(2, 1, 2, 1));
        QCOMPARE(std::make_tuple(t.exTimeAverage, t.quizTimeAverage, t.refTimeAverage, t.settingsTimeAverage),
                 std::make_tuple(1500, 700, 200, 50));
        QCOMPARE(std::make_tuple(t.exScoreAverage, t.quizScoreAverage), std::make_tuple(0.75, 0.25));
        QCOMPARE(Last(t.exScore, 3), (std::vector<double>{0, 0.5, 1}));
        QCOMPARE(Last(t.quizScore, 2), (std::vector<double>{0, 0.25}));
        QCOMPARE(c.trainers[0].exLaunchCount + c.trainers[2].exLaunchCount, 0);
    }

    // Counts and mean lengths stop at the largest value the file holds instead of wrapping, a
    // stored count beyond it reads as none, and a trainer index outside the three counts for the
    // nearest trainer.
    void countersStayInRange_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("stored"); // the trainer's exercise count and mean
        QTest::addColumn<qint64>("visitMs");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("mean");
        const int largest = std::numeric_limits<qint32>::max();
        const QByteArray seven = "\" exTimeAverage=\"7";
        QTest::newRow("count reaching the largest") << 2 << "2147483646" + seven << 7ll << largest << 7;
        QTest::newRow("count at the largest stays") << 2 << "2147483647" + seven << 7ll << largest << 7;
        QTest::newRow("stored count one past the largest") << 2 << QByteArray("2147483648") << 7ll << 1 << 7;
        QTest::newRow("visit of the largest length")
            << 2 << QByteArray("0") << qint64(largest) << 1 << largest;
        QTest::newRow("visit one past the largest length")
            << 2 << QByteArray("0") << largest + 1ll << 1 << largest;
        QTest::newRow("mean whose sum needs 64 bits")
            << 2 << QByteArray("2\" exTimeAverage=\"2000000000") << 2000000000ll << 3 << 2000000000;
        QTest::newRow("trainer index one past the last") << 3 << "1" + seven << 7ll << 2 << 7;
        QTest::newRow("trainer index one before the first") << -1 << "1" + seven << 7ll << 2 << 7;
    }
    void countersStayInRange()
    {
        QFETCH(int, index);
        QFETCH(QByteArray, stored);
        QFETCH(qint64, visitMs);
        const int trainer = std::clamp(index, 0, TelemetryCounters::TrainerCount - 1);
        QVERIFY(WriteAll(path, "<telemetry version=\"1.0\"><exercise id=\"" + QByteArray::number(trainer) +
                                   "\" exLaunchCount=\"" + stored + "\"/></telemetry>"));
        ManualClock clock;
        Telemetry telemetry(path, QUrl(), clock.Function());
        telemetry.ExerciseStarted(index, false);
        clock.Advance(visitMs);
        telemetry.ExerciseFinished(1.0);
        const TelemetryCounters c = telemetry.Counters();
        QTEST(c.trainers[size_t(trainer)].exLaunchCount, "count");
        QTEST(c.trainers[size_t(trainer)].exTimeAverage, "mean");
        QCOMPARE(c.trainers[0].exLaunchCount + c.trainers[1].exLaunchCount + c.trainers[2].exLaunchCount,
                 c.trainers[size_t(trainer)].exLaunchCount);
    }

    // Ten scores fill the history; the eleventh pushes the oldest out, and the file keeps them.
    void scoreHistoryKeepsLastTen()
    {
        Telemetry telemetry(path, QUrl());
        std::vector<double> given;
        for (int i = 1; i <= TrainerUsage::HistoryLength + 1; ++i) {
            telemetry.ExerciseStarted(0, true);
            telemetry.ExerciseFinished(i / 100.0);
            given.push_back(i / 100.0);
            if (i >= 10)
                QCOMPARE(Last(telemetry.Counters().trainers[0].quizScore, 10),
                         std::vector<double>(given.end() - 10, given.end()));
        }
        telemetry.Save();
        const TrainerUsage saved = telemetry.Counters().trainers[0];
        const TrainerUsage read = Telemetry(path, QUrl()).Counters().trainers[0];
        QCOMPARE(std::make_tuple(read.quizLaunchCount, read.quizScoreAverage),
                 std::make_tuple(11, saved.quizScoreAverage));
        QCOMPARE(Last(read.quizScore, 10), Last(saved.quizScore, 10));
    }

    // The document as the service reads it: the run's attributes, then each trainer's counters
    // and both score histories, oldest first.
    void fileFormat()
    {
        Telemetry telemetry(path, QUrl());
        telemetry.ExerciseStarted(2, false);
        telemetry.ExerciseFinished(0.5);
        telemetry.Save();
        const QByteArray text = ReadAll(path);
        QCOMPARE(text, telemetry.Document());
        const TelemetryCounters c = telemetry.Counters();
        const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<telemetry version=\"1.0\" "
                                "appLaunchCount=\"0\" appTimeAverage=\"0\" uid=\"" +
                                c.uid.toString(QUuid::WithBraces).toUtf8() + "\" installDate=\"" +
                                QByteArray::number(c.installDate) + "\" os=\"";
        QVERIFY2(text.startsWith(head), text.left(300).constData());
        QVERIFY(text.contains("\" tz=\"" + QByteArray::number(c.tz) + "\">\n"));
        QByteArray symbols =
            "    <exercise id=\"2\" exLaunchCount=\"1\" quizLaunchCount=\"0\" refLaunchCount=\"0\" "
            "settingsLaunchCount=\"0\" exTimeAverage=\"0\" quizTimeAverage=\"0\" refTimeAverage=\"0\" "
            "settingsTimeAverage=\"0\" exScoreAverage=\"0.5\" quizScoreAverage=\"0\">\n";
        for (int i = 0; i < 20; ++i)
            symbols += QStringLiteral("        <%1 index=\"%2\" value=\"%3\"/>\n")
                           .arg(i < 10 ? "exScore" : "quizScore")
                           .arg(i % 10)
                           .arg(i == 9 ? "0.5" : "0")
                           .toUtf8();
        QVERIFY2(text.endsWith(symbols + "    </exercise>\n</telemetry>\n"), text.right(1500).constData());
        QCOMPARE(text.count("<exercise "), 3);
    }

    void readingFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("appLaunchCount");
        QTest::addColumn<qint64>("installDate"); // 0: the construction time stands
        QTest::addColumn<bool>("storedUid");
        QTest::addColumn<int>("earLaunches"); // with it, the ear trainer's last score: 0.75
        QTest::addColumn<bool>("keptAside");

        // History indexes at both ends and one past each; only the last in range is read.
        const QByteArray ear =
            "<exercise id=\"1\" exLaunchCount=\"4\"><exScore index=\"9\" value=\"0.75\"/>"
            "<exScore index=\"10\" value=\"9\"/><exScore index=\"-1\" value=\"9\"/></exercise>";
        const QByteArray whole =
            "<telemetry version=\"1.0\" appLaunchCount=\"5\" "
            "uid=\"{6f1d2a4e-0b7c-4c1a-9a57-3e2b1c0d9f88}\" installDate=\"1733480000123\">" +
            ear + "</telemetry>";
        QTest::newRow("64-bit install date, history ends")
            << whole << 5 << 1733480000123ll << true << 4 << false;
        QTest::newRow("broken install date")
            << QByteArray("<telemetry version=\"1.0\" appLaunchCount=\"3\" installDate=\"soon\"/>") << 3
            << 0ll << false << 0 << false;
        QTest::newRow("version 2.0") << QByteArray(whole).replace("\"1.0\"", "\"2.0\"") << 0 << 0ll << false
                                     << 0 << true;
        QTest::newRow("cut off") << whole.left(whole.indexOf("<exScore index=\"10\"")) << 5 << 1733480000123ll
                                 << true << 4 << true;
        QTest::newRow("trainer one past the last")
            << "<telemetry version=\"1.0\"><exercise id=\"3\" exLaunchCount=\"9\"><exScore index=\"9\" "
               "value=\"1\"/></exercise>" +
                   ear + "</telemetry>"
            << 0 << 0ll << false << 4 << false;
    }
    void readingFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, appLaunchCount);
        QFETCH(qint64, installDate);
        QFETCH(int, earLaunches);
        QFETCH(bool, keptAside);
        QVERIFY(WriteAll(path, text));
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        for (int run = 0; run < 2; ++run) { // the second reads what the first saved at its end
            const TelemetryCounters c = Telemetry(path, QUrl()).Counters();
            QCOMPARE(c.appLaunchCount, appLaunchCount);
            QVERIFY(installDate ? c.installDate == installDate : c.installDate >= before);
            QTEST(c.uid == QUuid(QStringLiteral("{6f1d2a4e-0b7c-4c1a-9a57-3e2b1c0d9f88}")), "storedUid");
            QVERIFY(!c.uid.isNull());
            const auto& history = c.trainers[1].exScore;
            QCOMPARE(c.trainers[1].exLaunchCount, earLaunches);
            QCOMPARE(std::make_pair(std::accumulate(history.begin(), history.end(), 0.0), history.back()),
                     earLaunches ? std::make_pair(0.75, 0.75) : std::make_pair(0.0, 0.0));
            QCOMPARE(c.trainers[0].exLaunchCount + c.trainers[2].exLaunchCount, 0);
        }
        // A file that could not be read was kept aside before the first save replaced it.
        const QStringList kept = QDir(dir->path()).entryList({QStringLiteral("tstats.xml.unreadable-*")});
        QCOMPARE(kept.size(), int(keptAside));
        QVERIFY(!keptAside || ReadAll(dir->filePath(kept.first())) == text);
    }

    void unwritableFileIsReported()
    {
        QVERIFY(WriteAll(dir->filePath(QStringLiteral("file")), "x"));
        Telemetry telemetry(dir->filePath(QStringLiteral("file/tstats.xml")), QUrl());
        try {
            telemetry.Save();
            QFAIL("saving below a regular file succeeded");
        } catch (const Error& error) {
            QCOMPARE(error.Code(), 1572);
        }
    } // the destructor's save fails too, and is only logged

    void reportsFromSeveralThreads()
    {
        Telemetry telemetry(path, QUrl());
        std::thread reporter([&telemetry] {
            for (int i = 0; i < 2000; ++i) {
                telemetry.ExerciseStarted(i % 3, i % 2 == 1);
                telemetry.ReferenceOpened();
                telemetry.ExerciseFinished(0.5);
            }
        });
        std::thread settings([&telemetry] {
            for (int i = 0; i < 2000; ++i) {
                telemetry.SettingsOpened();
                telemetry.SettingsClosed();
            }
        });
        for (int i = 0; i < 20; ++i) {
            QVERIFY(!telemetry.Document().isEmpty());
            telemetry.Save();
        }
        reporter.join();
        settings.join();
        int exercises = 0, settingsVisits = 0;
        for (const auto& t : telemetry.Counters().trainers) {
            exercises += t.exLaunchCount + t.quizLaunchCount;
            settingsVisits += t.settingsLaunchCount;
            QCOMPARE(t.exScoreAverage, t.exLaunchCount ? 0.5 : 0.0);
        }
        QCOMPARE(std::make_pair(exercises, settingsVisits), std::make_pair(2000, 2000));
    }

    // The address from the environment comes before the one in the settings; only an absolute
    // http or https address with a host counts, and the service path goes below its path.
    void servicesAddress_data()
    {
        QTest::addColumn<QString>("environment"); // null: unset
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("serviceUrl");
        const QString tstats = QStringLiteral("/Services/Tstats.ashx");
        QTest::newRow("environment before the settings")
            << "http://127.0.0.1:8080"
            << "http://b.test" << QStringLiteral("http://127.0.0.1:8080") + tstats;
        QTest::newRow("settings without environment")
            << QString() << "https://services.example.test/api/"
            << QStringLiteral("https://services.example.test/api") + tstats;
        QTest::newRow("query dropped") << "http://localhost/x?y=1"
                                       << "" << QStringLiteral("http://localhost/x") + tstats;
        QTest::newRow("blank") << "   "
                               << "" << QString();
        QTest::newRow("other scheme") << "ftp://127.0.0.1/"
                                      << "" << QString();
        QTest::newRow("no host") << "http:///path"
                                 << "" << QString();
        QTest::newRow("relative") << "Services"
                                  << "" << QString();
    }
    void servicesAddress()
    {
        QFETCH(QString, environment);
        QFETCH(QString, setting);
        if (!environment.isNull())
            qputenv(ServicesAddress::EnvironmentVariable, environment.toUtf8());
        QSettings().setValue(QStringLiteral("GlobalSetting/Settings.ServicesUrl"), setting);
        const QUrl base = ServicesAddress::Configured();
        QSettings().clear();
        QTEST(ServicesAddress::ServiceUrl(base, QStringLiteral("/Services/Tstats.ashx")).toString(),
              "serviceUrl");
    }

    // One upload a run, to the configured address, of the document the file holds, with the
    // installation's identity.
    void uploadRequest()
    {
        LocalHttpServer server;
        qputenv(ServicesAddress::EnvironmentVariable, server.BaseUrl().toString().toUtf8() + "/base/");
        QByteArray document;
        QUuid uid;
        {
            Telemetry telemetry(path);
            telemetry.ExerciseStarted(0, false);
            telemetry.ExerciseFinished(1.0);
            telemetry.ApplicationFinished();
            QVERIFY(telemetry.UploadStarted());
            QVERIFY(telemetry.WaitForUpload(10000));
            document = telemetry.Document();
            uid = telemetry.Counters().uid;
            telemetry.ApplicationFinished();
        }
        QCOMPARE(server.RequestCount(), 1);
        const HttpRequest request = server.Requests().first();
        QCOMPARE(std::make_tuple(request.method, request.path, request.Header("uid")),
                 std::make_tuple(QByteArray("POST"), QByteArray("/base/Services/Tstats.ashx"),
                                 uid.toString(QUuid::WithBraces).toLatin1()));
        QCOMPARE(request.body, document);
        QCOMPARE(ReadAll(path), document);
        QVERIFY(document.contains("appLaunchCount=\"1\""));
    }

    // Closing waits for an upload to a service that never answers only until the upload's time
    // limit has passed on the telemetry's clock, then cancels it.
    void closingWaitsNoLongerThanTheUploadLimit_data()
    {
        QTest::addColumn<int>("sinceUploadMs");
        QTest::addColumn<int>("waitMs");
        QTest::newRow("300 ms before the limit") << Telemetry::UploadTimeLimitMs - 300 << 300;
        QTest::newRow("at the limit") << Telemetry::UploadTimeLimitMs << 0;
        QTest::newRow("past the limit") << Telemetry::UploadTimeLimitMs + 1 << 0;
    }
    void closingWaitsNoLongerThanTheUploadLimit()
    {
        QFETCH(int, sinceUploadMs);
        QFETCH(int, waitMs);
        LocalHttpServer server;
        HttpReply silent;
        silent.respond = false;
        server.SetReply(silent);
        ManualClock clock;
        QElapsedTimer elapsed;
        {
            Telemetry telemetry(path, server.BaseUrl(), clock.Function());
            telemetry.ApplicationFinished();
            QTRY_COMPARE(server.RequestCount(), 1);
            clock.Advance(sinceUploadMs);
            elapsed.start();
        }
        QVERIFY2(elapsed.elapsed() >= waitMs && elapsed.elapsed() < waitMs + 1000,
                 qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(Telemetry(path, QUrl()).Counters().appLaunchCount, 1);
    }
};

QTEST_GUILESS_MAIN(TestTelemetry)
#include "test_telemetry.moc"

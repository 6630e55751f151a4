// Usage counters against real files and a local HTTP service on 127.0.0.1: first run, running
// means and score histories, the file and its reader, the upload request, and a shutdown that
// must not hang on a service that never answers.

#include "core/error.h"
#include "core/services_address.h"
#include "core/telemetry.h"
#include "local_http_server.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

using Core::Telemetry;
using Core::TelemetryCounters;
using Core::TrainerUsage;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
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
        auto shared = now;
        return [shared] { return *shared; };
    }
    void Advance(qint64 ms) { *now += ms; }
};

} // namespace

class TestTelemetry : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString path;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("CantorelaTests"));
        QCoreApplication::setApplicationName(QStringLiteral("test_telemetry"));
        qunsetenv(Core::ServicesAddress::EnvironmentVariable);
        QSettings().clear();
    }

    void init()
    {
        QVERIFY(dir.isValid());
        QDir d(dir.path());
        for (const QString& name : d.entryList(QDir::Files))
            QVERIFY(d.remove(name));
        path = d.absoluteFilePath(QStringLiteral("tstats.xml"));
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

    void longVisitsDoNotOverflow()
    {
        ManualClock clock;
        Telemetry telemetry(path, QUrl(), clock.Function());
        for (int i = 0; i < 3; ++i) {
            telemetry.ExerciseStarted(2, false);
            clock.Advance(2000000000); // 23 days each; sums exceed 32 bits
            telemetry.ExerciseFinished(1.0);
        }
        QCOMPARE(telemetry.Counters().trainers[2].exTimeAverage, 2000000000);
    }

    // Ten scores fill the history; the eleventh pushes the oldest out, and the file keeps them.
    void scoreHistoryKeepsLastTen()
    {
        Telemetry telemetry(path, QUrl());
        std::vector<double> given;
        for (int i = 1; i <= 11; ++i) {
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
        for (const char* name : {"exScore", "quizScore"})
            for (int i = 0; i < 10; ++i)
                symbols += QStringLiteral("        <%1 index=\"%2\" value=\"%3\"/>\n")
                               .arg(QLatin1String(name))
                               .arg(i)
                               .arg(i == 9 && name[0] == 'e' ? QStringLiteral("0.5") : QStringLiteral("0"))
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
        QTest::addColumn<int>("earExLaunchCount");
        QTest::addColumn<double>("earExScore3");
        QTest::addColumn<bool>("keptAside");

        const QByteArray uid = "{6f1d2a4e-0b7c-4c1a-9a57-3e2b1c0d9f88}";
        const QByteArray ear = "<exercise id=\"1\" exLaunchCount=\"4\"><exScore index=\"3\" value=\"0.75\"/>"
                               "<exScore index=\"10\" value=\"9\"/></exercise>";
        const QByteArray whole = "<telemetry version=\"1.0\" appLaunchCount=\"5\" uid=\"" + uid +
                                 "\" installDate=\"1733480000123\">" + ear + "</telemetry>";
        QTest::newRow("64-bit install date, score index past the history")
            << whole << 5 << qint64(1733480000123) << true << 4 << 0.75 << false;
        QTest::newRow("empty install date")
            << QByteArray("<telemetry version=\"1.0\" appLaunchCount=\"2\" installDate=\"\"/>") << 2
            << qint64(0) << false << 0 << 0.0 << false;
        QTest::newRow("broken install date")
            << QByteArray("<telemetry version=\"1.0\" appLaunchCount=\"3\" installDate=\"soon\"/>") << 3
            << qint64(0) << false << 0 << 0.0 << false;
        QTest::newRow("version 2.0") << QByteArray(whole).replace("version=\"1.0\"", "version=\"2.0\"") << 0
                                     << qint64(0) << false << 0 << 0.0 << true;
        QTest::newRow("cut off") << whole.left(whole.indexOf("<exScore index=\"10\"")) << 5
                                 << qint64(1733480000123) << true << 4 << 0.75 << true;
        QTest::newRow("trainer out of range") << "<telemetry version=\"1.0\"><exercise id=\"3\" "
                                                 "exLaunchCount=\"9\"><exScore index=\"3\" value=\"1\"/>"
                                                 "</exercise>" +
                                                     ear + "</telemetry>"
                                              << 0 << qint64(0) << false << 4 << 0.75 << false;
    }

    void readingFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, appLaunchCount);
        QFETCH(qint64, installDate);
        QFETCH(bool, keptAside);
        WriteAll(path, text);
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        {
            const TelemetryCounters c = Telemetry(path, QUrl()).Counters();
            QCOMPARE(c.appLaunchCount, appLaunchCount);
            QVERIFY(installDate ? c.installDate == installDate : c.installDate >= before);
            QTEST(c.uid == QUuid(QStringLiteral("{6f1d2a4e-0b7c-4c1a-9a57-3e2b1c0d9f88}")), "storedUid");
            QVERIFY(!c.uid.isNull());
            QTEST(c.trainers[1].exLaunchCount, "earExLaunchCount");
            QTEST(c.trainers[1].exScore[3], "earExScore3");
            QCOMPARE(c.trainers[0].exLaunchCount + c.trainers[2].exLaunchCount, 0);
        }
        // Saved at destruction; a file that could not be read was kept aside first.
        const QStringList kept = QDir(dir.path()).entryList({QStringLiteral("tstats.xml.unreadable-*")});
        QCOMPARE(kept.size(), keptAside ? 1 : 0);
        if (keptAside)
            QCOMPARE(ReadAll(QDir(dir.path()).absoluteFilePath(kept.first())), text);
        const TelemetryCounters reread = Telemetry(path, QUrl()).Counters();
        QCOMPARE(reread.appLaunchCount, appLaunchCount);
        QVERIFY(!installDate || reread.installDate == installDate);
    }

    void unwritableFileIsReported()
    {
        const QString blocker = QDir(dir.path()).absoluteFilePath(QStringLiteral("file"));
        WriteAll(blocker, "x");
        Telemetry telemetry(blocker + QStringLiteral("/tstats.xml"), QUrl());
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
        std::atomic<bool> stop{false};
        std::thread reporter([&telemetry] {
            for (int i = 0; i < 2000; ++i) {
                telemetry.ExerciseStarted(i % 3, i % 2 == 1);
                telemetry.ReferenceOpened();
                telemetry.ExerciseFinished(0.5);
            }
        });
        std::thread settings([&telemetry, &stop] {
            while (!stop.load()) {
                telemetry.SettingsOpened();
                telemetry.SettingsClosed();
            }
        });
        for (int i = 0; i < 20; ++i) {
            QVERIFY(!telemetry.Document().isEmpty());
            telemetry.Save();
        }
        reporter.join();
        stop = true;
        settings.join();
        int exercises = 0;
        for (const auto& t : telemetry.Counters().trainers) {
            exercises += t.exLaunchCount + t.quizLaunchCount;
            QCOMPARE(t.exScoreAverage, t.exLaunchCount ? 0.5 : 0.0);
        }
        QCOMPARE(exercises, 2000);
    }

    // One upload a run, of the document the file holds, with the installation's identity.
    void uploadRequest()
    {
        LocalHttpServer server;
        QByteArray document;
        QUuid uid;
        {
            Telemetry telemetry(path, server.BaseUrl());
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
                 std::make_tuple(QByteArray("POST"), QByteArray("/Services/Tstats.ashx"),
                                 uid.toString(QUuid::WithBraces).toLatin1()));
        QCOMPARE(request.body, document);
        QCOMPARE(ReadAll(path), document);
        QVERIFY(document.contains("appLaunchCount=\"1\""));
    }

    // The address from the environment comes before the one in the settings; the upload goes
    // below its path.
    void uploadToConfiguredAddress()
    {
        using Core::ServicesAddress;
        QVERIFY(ServicesAddress::Configured().isEmpty());
        LocalHttpServer server;
        QSettings().setValue(QStringLiteral("GlobalSetting/Settings.ServicesUrl"),
                             server.BaseUrl().toString() + QStringLiteral("/base/"));
        qputenv(ServicesAddress::EnvironmentVariable, "http://127.0.0.1:10");
        QCOMPARE(ServicesAddress::Configured(), QUrl(QStringLiteral("http://127.0.0.1:10")));
        qunsetenv(ServicesAddress::EnvironmentVariable);
        {
            Telemetry telemetry(path);
            telemetry.ApplicationFinished();
            QVERIFY(telemetry.WaitForUpload(10000));
        }
        QSettings().clear();
        QCOMPARE(server.RequestCount(), 1);
        QCOMPARE(server.Requests().first().path, QByteArray("/base/Services/Tstats.ashx"));
    }

    void shutdownWithUnresponsiveService()
    {
        LocalHttpServer server;
        HttpReply silent;
        silent.respond = false;
        server.SetReply(silent);
        QElapsedTimer elapsed;
        {
            Telemetry telemetry(path, server.BaseUrl());
            telemetry.ApplicationFinished();
            elapsed.start();
        }
        // The upload gives up at its limit and the destructor never waits longer.
        QVERIFY2(elapsed.elapsed() < Telemetry::UploadTimeLimitMs + 1500,
                 qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(server.RequestCount(), 1);
        QCOMPARE(Telemetry(path, QUrl()).Counters().appLaunchCount, 1);
    }

    void servicesAddress_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("serviceUrl");
        const QString tstats = QStringLiteral("/Services/Tstats.ashx");
        QTest::newRow("http") << "http://127.0.0.1:8080" << QStringLiteral("http://127.0.0.1:8080") + tstats;
        QTest::newRow("https with path") << "https://services.example.test/api/"
                                         << QStringLiteral("https://services.example.test/api") + tstats;
        QTest::newRow("query dropped")
            << "http://localhost/x?y=1" << QStringLiteral("http://localhost/x") + tstats;
        QTest::newRow("blank") << "   " << QString();
        QTest::newRow("other scheme") << "ftp://127.0.0.1/" << QString();
        QTest::newRow("no host") << "http:///path" << QString();
        QTest::newRow("relative") << "Services" << QString();
    }

    void servicesAddress()
    {
        QFETCH(QString, configured);
        qputenv(Core::ServicesAddress::EnvironmentVariable, configured.toUtf8());
        const QUrl base = Core::ServicesAddress::Configured();
        qunsetenv(Core::ServicesAddress::EnvironmentVariable);
        QTEST(Core::ServicesAddress::ServiceUrl(base, QStringLiteral("/Services/Tstats.ashx")).toString(),
              "serviceUrl");
    }
};

QTEST_GUILESS_MAIN(TestTelemetry)
#include "test_telemetry.moc"

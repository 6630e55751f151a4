// Usage counters against real files and a local HTTP service on 127.0.0.1: first run, running
// means and score histories, the file and its reader, the upload request, and a shutdown that
// must not hang on a service that never answers.

#include "core/error.h"
#include "core/services_address.h"
#include "core/telemetry.h"
#include "core/telemetry_xml_serializer.h"
#include "local_http_server.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

using Core::Telemetry;
using Core::TelemetryCounters;

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

    void firstRun()
    {
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        QUuid uid;
        qint64 installDate = 0;
        {
            Telemetry telemetry(path, QUrl());
            const TelemetryCounters c = telemetry.Counters();
            QVERIFY(!c.uid.isNull());
            QVERIFY(c.installDate >= before && c.installDate <= QDateTime::currentMSecsSinceEpoch());
            QCOMPARE(c.appLaunchCount, 0);
            QCOMPARE(c.trainers[1].exLaunchCount, 0);
            QCOMPARE(c.trainers[2].quizScore[9], 0.0);
            QCOMPARE(c.os, Telemetry::OperatingSystemName());
            QVERIFY(!c.os.isEmpty());
            uid = c.uid;
            installDate = c.installDate;
            telemetry.ApplicationFinished();
            QVERIFY(!telemetry.UploadStarted()); // no services address: nothing is sent
        }
        QVERIFY(QFile::exists(path));
        Telemetry second(path, QUrl());
        const TelemetryCounters c = second.Counters();
        QCOMPARE(c.appLaunchCount, 1);
        QCOMPARE(c.uid, uid);
        QCOMPARE(c.installDate, installDate);
    }

    void runningMeans()
    {
        ManualClock clock;
        Telemetry telemetry(path, QUrl(), clock.Function());

        telemetry.ExerciseStarted(1, false);
        clock.Advance(1000);
        telemetry.ExerciseFinished(0.5);
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
        telemetry.ReferenceClosed(); // a second close counts nothing
        telemetry.ReferenceOpened();
        clock.Advance(101);
        telemetry.SettingsOpened();
        clock.Advance(50);
        telemetry.SettingsClosed();
        telemetry.SettingsClosed();

        const TelemetryCounters c = telemetry.Counters();
        const Core::TrainerUsage& t = c.trainers[1];
        QCOMPARE(t.exLaunchCount, 2);
        QCOMPARE(t.exTimeAverage, 1500); // (1000 + 2001) / 2, truncated
        QCOMPARE(t.exScoreAverage, 0.75);
        QCOMPARE(t.quizLaunchCount, 1);
        QCOMPARE(t.quizTimeAverage, 700);
        QCOMPARE(t.quizScoreAverage, 0.25);
        QCOMPARE(t.refLaunchCount, 2);
        QCOMPARE(t.refTimeAverage, 200); // (300 + 101) / 2
        QCOMPARE(t.settingsLaunchCount, 1);
        QCOMPARE(t.settingsTimeAverage, 50);
        QCOMPARE(t.exScore[8], 0.5);
        QCOMPARE(t.exScore[9], 1.0);
        QCOMPARE(t.quizScore[9], 0.25);
        QCOMPARE(c.trainers[0].exLaunchCount, 0);
    }

    void finishWithoutStartChangesNothing()
    {
        ManualClock clock;
        Telemetry telemetry(path, QUrl(), clock.Function());
        telemetry.ExerciseFinished(1.0);
        telemetry.ExerciseStarted(0, false);
        clock.Advance(10);
        telemetry.ExerciseFinished(0.5);
        telemetry.ExerciseFinished(1.0); // the exercise already ended
        const Core::TrainerUsage t = telemetry.Counters().trainers[0];
        QCOMPARE(t.exLaunchCount, 1);
        QCOMPARE(t.exScoreAverage, 0.5);
        QCOMPARE(t.exScore[9], 0.5);
        QCOMPARE(t.exScore[8], 0.0);
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

    void scoreHistoryKeepsLastTen()
    {
        Telemetry telemetry(path, QUrl());
        for (int i = 1; i <= 11; ++i) {
            telemetry.ExerciseStarted(0, true);
            telemetry.ExerciseFinished(i / 100.0);
        }
        {
            const Core::TrainerUsage t = telemetry.Counters().trainers[0];
            QCOMPARE(t.quizLaunchCount, 11);
            for (int k = 0; k < 10; ++k)
                QCOMPARE(t.quizScore[size_t(k)], (k + 2) / 100.0);
        }
        telemetry.Save();
        Telemetry reloaded(path, QUrl());
        const Core::TrainerUsage t = reloaded.Counters().trainers[0];
        for (int k = 0; k < 10; ++k)
            QCOMPARE(t.quizScore[size_t(k)], (k + 2) / 100.0);
        QCOMPARE(t.quizScoreAverage, telemetry.Counters().trainers[0].quizScoreAverage);
    }

    void fileFormat()
    {
        ManualClock clock;
        Telemetry telemetry(path, QUrl(), clock.Function());
        telemetry.ExerciseStarted(2, false);
        telemetry.ExerciseFinished(0.5);
        telemetry.Save();
        const QByteArray text = ReadAll(path);
        const TelemetryCounters c = telemetry.Counters();
        QCOMPARE(text, telemetry.Document());

        const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<telemetry version=\"1.0\" "
                                "appLaunchCount=\"0\" appTimeAverage=\"0\" uid=\"" +
                                c.uid.toString(QUuid::WithBraces).toUtf8() + "\" installDate=\"" +
                                QByteArray::number(c.installDate) + "\" os=\"";
        QVERIFY2(text.startsWith(head), text.left(300).constData());
        QVERIFY(text.contains("\" tz=\"" + QByteArray::number(c.tz) + "\">\n"));
        const QByteArray exercise2 =
            "    <exercise id=\"2\" exLaunchCount=\"1\" quizLaunchCount=\"0\" refLaunchCount=\"0\" "
            "settingsLaunchCount=\"0\" exTimeAverage=\"0\" quizTimeAverage=\"0\" refTimeAverage=\"0\" "
            "settingsTimeAverage=\"0\" exScoreAverage=\"0.5\" quizScoreAverage=\"0\">\n"
            "        <exScore index=\"0\" value=\"0\"/>\n";
        QVERIFY(text.contains(exercise2));
        QVERIFY(text.contains("        <exScore index=\"9\" value=\"0.5\"/>\n"
                              "        <quizScore index=\"0\" value=\"0\"/>\n"));
        QVERIFY(
            text.endsWith("        <quizScore index=\"9\" value=\"0\"/>\n    </exercise>\n</telemetry>\n"));
        QCOMPARE(text.count("<exercise "), 3);
        QCOMPARE(text.count("<exScore "), 30);
        QCOMPARE(text.count("<quizScore "), 30);
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
        QTest::newRow("64-bit install date")
            << "<telemetry version=\"1.0\" appLaunchCount=\"5\" uid=\"" + uid +
                   "\" installDate=\"1733480000123\">" + ear + "</telemetry>"
            << 5 << qint64(1733480000123) << true << 4 << 0.75 << false;
        QTest::newRow("empty install date")
            << QByteArray("<telemetry version=\"1.0\" appLaunchCount=\"2\" installDate=\"\"/>") << 2
            << qint64(0) << false << 0 << 0.0 << false;
        QTest::newRow("broken install date")
            << QByteArray("<telemetry version=\"1.0\" appLaunchCount=\"3\" installDate=\"soon\"/>") << 3
            << qint64(0) << false << 0 << 0.0 << false;
        QTest::newRow("version 2.0") << "<telemetry version=\"2.0\" appLaunchCount=\"5\" uid=\"" + uid +
                                            "\" installDate=\"1733480000123\">" + ear + "</telemetry>"
                                     << 0 << qint64(0) << false << 0 << 0.0 << true;
        QTest::newRow("cut off") << "<telemetry version=\"1.0\" appLaunchCount=\"5\" uid=\"" + uid + "\">" +
                                        ear.left(ear.indexOf("<exScore index=\"10\""))
                                 << 5 << qint64(0) << true << 4 << 0.75 << true;
        QTest::newRow("trainer out of range")
            << "<telemetry version=\"1.0\"><exercise id=\"3\" exLaunchCount=\"9\">"
               "<exScore index=\"3\" value=\"1\"/></exercise>" +
                   ear + "</telemetry>"
            << 0 << qint64(0) << false << 4 << 0.75 << false;
    }

    void readingFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, appLaunchCount);
        QFETCH(qint64, installDate);
        QFETCH(bool, storedUid);
        QFETCH(int, earExLaunchCount);
        QFETCH(double, earExScore3);
        QFETCH(bool, keptAside);
        WriteAll(path, text);

        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        {
            Telemetry telemetry(path, QUrl());
            const TelemetryCounters c = telemetry.Counters();
            QCOMPARE(c.appLaunchCount, appLaunchCount);
            if (installDate)
                QCOMPARE(c.installDate, installDate);
            else
                QVERIFY(c.installDate >= before);
            QCOMPARE(c.uid == QUuid(QStringLiteral("{6f1d2a4e-0b7c-4c1a-9a57-3e2b1c0d9f88}")), storedUid);
            QVERIFY(!c.uid.isNull());
            QCOMPARE(c.trainers[1].exLaunchCount, earExLaunchCount);
            QCOMPARE(c.trainers[1].exScore[3], earExScore3);
            QCOMPARE(c.trainers[0].exLaunchCount, 0);
            QCOMPARE(c.trainers[2].exLaunchCount, 0);
        }
        // Saved at destruction; a file that could not be read was kept aside first.
        const QStringList kept = QDir(dir.path()).entryList({QStringLiteral("tstats.xml.unreadable-*")});
        QCOMPARE(kept.size(), keptAside ? 1 : 0);
        if (keptAside)
            QCOMPARE(ReadAll(QDir(dir.path()).absoluteFilePath(kept.first())), text);
        Telemetry reloaded(path, QUrl());
        QCOMPARE(reloaded.Counters().appLaunchCount, appLaunchCount);
        if (installDate)
            QCOMPARE(reloaded.Counters().installDate, installDate);
    }

    void serializerErrors()
    {
        TelemetryCounters counters;
        QByteArray bytes = "<telemetry version=\"1.0\"><exercise";
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        try {
            Core::TelemetryXMLSerializer(&counters).ReadXML(buffer);
            QFAIL("a cut-off document was accepted");
        } catch (const Error& error) {
            QCOMPARE(error.Code(), 1571);
            QVERIFY2(error.Message().startsWith(QStringLiteral("TelemetryDb XML error 1:")),
                     qPrintable(error.Message()));
        }
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
        const TelemetryCounters c = telemetry.Counters();
        int exercises = 0;
        for (const auto& t : c.trainers) {
            exercises += t.exLaunchCount + t.quizLaunchCount;
            QCOMPARE(t.exScoreAverage, t.exLaunchCount ? 0.5 : 0.0);
        }
        QCOMPARE(exercises, 2000);
    }

    void uploadRequest()
    {
        LocalHttpServer server;
        HttpReply reply;
        reply.body = "thanks";
        server.SetReply(reply);
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
            telemetry.ApplicationFinished(); // only once per run
        }
        const QList<HttpRequest> requests = server.Requests();
        QCOMPARE(requests.size(), 1);
        const HttpRequest& request = requests.first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.path, QByteArray("/Services/Tstats.ashx"));
        QCOMPARE(request.Header("uid"), uid.toString(QUuid::WithBraces).toLatin1());
        QCOMPARE(request.body, document);
        QCOMPARE(ReadAll(path), document); // the file holds what was sent
        QXmlStreamReader reader(request.body);
        reader.readNextStartElement();
        QCOMPARE(reader.attributes().value(QLatin1String("appLaunchCount")).toString(), QStringLiteral("1"));
    }

    void uploadToConfiguredAddress()
    {
        LocalHttpServer server;
        qputenv(Core::ServicesAddress::EnvironmentVariable, server.BaseUrl().toString().toUtf8() + "/base/");
        {
            Telemetry telemetry(path);
            telemetry.ApplicationFinished();
            QVERIFY(telemetry.WaitForUpload(10000));
        }
        qunsetenv(Core::ServicesAddress::EnvironmentVariable);
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
        Telemetry reloaded(path, QUrl());
        QCOMPARE(reloaded.Counters().appLaunchCount, 1);
    }

    void servicesAddress_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("serviceUrl");
        QTest::newRow("http") << "http://127.0.0.1:8080"
                              << "http://127.0.0.1:8080/Services/Tstats.ashx";
        QTest::newRow("https with path") << "https://services.example.test/api/"
                                         << "https://services.example.test/api/Services/Tstats.ashx";
        QTest::newRow("query dropped") << "http://localhost/x?y=1"
                                       << "http://localhost/x/Services/Tstats.ashx";
        QTest::newRow("blank") << "   "
                               << "";
        QTest::newRow("other scheme") << "ftp://127.0.0.1/"
                                      << "";
        QTest::newRow("no host") << "http:///path"
                                 << "";
        QTest::newRow("relative") << "Services"
                                  << "";
    }

    void servicesAddress()
    {
        QFETCH(QString, configured);
        QFETCH(QString, serviceUrl);
        qputenv(Core::ServicesAddress::EnvironmentVariable, configured.toUtf8());
        const QUrl base = Core::ServicesAddress::Configured();
        qunsetenv(Core::ServicesAddress::EnvironmentVariable);
        QCOMPARE(Core::ServicesAddress::ServiceUrl(base, QStringLiteral("/Services/Tstats.ashx")).toString(),
                 serviceUrl);
    }

    void servicesAddressFromSettings()
    {
        QVERIFY(Core::ServicesAddress::Configured().isEmpty());
        {
            QSettings settings;
            settings.setValue(QStringLiteral("GlobalSetting/Settings.ServicesUrl"),
                              QStringLiteral("http://127.0.0.1:9"));
        }
        QCOMPARE(Core::ServicesAddress::Configured(), QUrl(QStringLiteral("http://127.0.0.1:9")));
        qputenv(Core::ServicesAddress::EnvironmentVariable, "http://127.0.0.1:10");
        QCOMPARE(Core::ServicesAddress::Configured(), QUrl(QStringLiteral("http://127.0.0.1:10")));
        qunsetenv(Core::ServicesAddress::EnvironmentVariable);
        QSettings().clear();
        QVERIFY(Core::ServicesAddress::Configured().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTelemetry)
#include "test_telemetry.moc"

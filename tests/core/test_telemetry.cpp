// Usage counters against real files and a local HTTP service: running means and histories at
// their limits, the file and its reader, the services address, the upload and its time limit.

#include "../common/file_bytes.h"
#include "../common/full_disk.h"
#include "../common/temp_settings.h"
#include "core/error.h"
#include "core/services/services_address.h"
#include "core/services/telemetry.h"
#include "local_http_server.h"

#include <QtTest>

#include <numeric>
#include <thread>

using Core::ServicesAddress;
using Core::Telemetry;
using Core::TelemetryCounters;
using Core::TrainerUsage;

namespace {

std::vector<double> Last(const std::array<double, TrainerUsage::HistoryLength>& history, int count)
{
    return std::vector<double>(history.end() - count, history.end());
}

} // namespace

class TestTelemetry : public QObject
{
    Q_OBJECT

    TempSettings settings;
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
    qint64 now = 0; // the telemetry's clock, moved by hand
    const Telemetry::Clock clock = [this] { return now; };

private slots:
    void init()
    {
        qunsetenv(ServicesAddress::EnvironmentVariable);
        dir = std::make_unique<QTemporaryDir>();
        path = dir->filePath(QStringLiteral("tstats.xml"));
        now = 1000;
    }

    // Launch counts, mean visit lengths and mean scores per trainer; a finish without a start, a
    // second finish or a second close counts nothing. The score histories, and the file.
    void runningMeansCountOnlyCompleteVisitsAndTheFileKeepsThem()
    {
        Telemetry telemetry(path, QUrl(), clock);
        const auto visit = [&](int trainer, bool quiz, qint64 ms, double score) {
            telemetry.ExerciseStarted(trainer, quiz);
            now += ms;
            telemetry.ExerciseFinished(score);
        };
        telemetry.ExerciseFinished(1.0);
        visit(1, false, 1000, 0.5);
        telemetry.ExerciseFinished(1.0);
        visit(1, false, 2001, 1.0);
        visit(1, true, 700, 0.25);
        // A reference visit counts for the trainer of the last exercise; opening the settings
        // closes a reference visit still open.
        telemetry.ReferenceOpened();
        now += 300;
        telemetry.ReferenceClosed();
        telemetry.ReferenceClosed();
        telemetry.ReferenceOpened();
        now += 101;
        telemetry.SettingsOpened();
        now += 50;
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

        // Ten scores fill the history; the eleventh pushes the oldest out. The file gives back
        // every counter of every trainer as it was saved.
        std::vector<double> given;
        for (int i = 1; i <= TrainerUsage::HistoryLength + 1; ++i) {
            visit(0, true, i, i / 100.0);
            given.push_back(i / 100.0);
            if (i >= 10)
                QCOMPARE(Last(telemetry.Counters().trainers[0].quizScore, 10),
                         std::vector<double>(given.end() - 10, given.end()));
        }
        visit(2, false, 70, 0.5);
        telemetry.ReferenceOpened();
        now += 300;
        telemetry.SettingsOpened();
        now += 50;
        telemetry.SettingsClosed();
        telemetry.ApplicationFinished();
        telemetry.Save();
        const QByteArray saved = ReadAll(path);
        QCOMPARE(saved, telemetry.Document());
        QCOMPARE(Telemetry(path, QUrl()).Document(), saved);
        QCOMPARE(Telemetry(path, QUrl()).Counters().trainers[0].quizLaunchCount, 11);
    }

    // Counts and means stop at the largest value instead of wrapping, a stored count beyond it reads
    // as none, and a trainer index outside the three counts for the nearest trainer.
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
        Telemetry telemetry(path, QUrl(), clock);
        telemetry.ExerciseStarted(index, false);
        now += visitMs;
        telemetry.ExerciseFinished(1.0);
        const TelemetryCounters c = telemetry.Counters();
        QTEST(c.trainers[size_t(trainer)].exLaunchCount, "count");
        QTEST(c.trainers[size_t(trainer)].exTimeAverage, "mean");
        QCOMPARE(c.trainers[0].exLaunchCount + c.trainers[1].exLaunchCount + c.trainers[2].exLaunchCount,
                 c.trainers[size_t(trainer)].exLaunchCount);
    }

    // A run reads the file: its identity and install date (made afresh without a readable file)
    // and its counters. Without a services address nothing is sent.
    void readingFiles_data()
    {
        QTest::addColumn<QByteArray>("text"); // null: no file
        QTest::addColumn<int>("appLaunchCount");
        QTest::addColumn<qint64>("installDate"); // 0: the construction time and a fresh uid stand
        QTest::addColumn<int>("earLaunches");    // with it, the ear trainer's last score: 0.75
        QTest::addColumn<bool>("keptAside");

        // History indexes at both ends and one past each; only the last in range is read.
        const QByteArray ear =
            "<exercise id=\"1\" exLaunchCount=\"4\"><exScore index=\"9\" value=\"0.75\"/>"
            "<exScore index=\"10\" value=\"9\"/><exScore index=\"-1\" value=\"9\"/></exercise>";
        const QByteArray whole =
            "<telemetry version=\"1.0\" appLaunchCount=\"5\" "
            "uid=\"{6f1d2a4e-0b7c-4c1a-9a57-3e2b1c0d9f88}\" installDate=\"1733480000123\">" +
            ear + "</telemetry>";
        QTest::newRow("no file") << QByteArray() << 0 << 0ll << 0 << false;
        QTest::newRow("64-bit install date, history ends") << whole << 5 << 1733480000123ll << 4 << false;
        QTest::newRow("broken install date")
            << QByteArray("<telemetry version=\"1.0\" appLaunchCount=\"3\" installDate=\"soon\"/>") << 3
            << 0ll << 0 << false;
        QTest::newRow("version 2.0") << QByteArray(whole).replace("\"1.0\"", "\"2.0\"") << 0 << 0ll << 0
                                     << true;
        QTest::newRow("cut off") << whole.left(whole.indexOf("<exScore index=\"10\"")) << 5 << 1733480000123ll
                                 << 4 << true;
        QTest::newRow("trainer one past the last")
            << "<telemetry version=\"1.0\"><exercise id=\"3\" exLaunchCount=\"9\"><exScore index=\"9\" "
               "value=\"1\"/></exercise>" +
                   ear + "</telemetry>"
            << 0 << 0ll << 4 << false;
    }
    void readingFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(qint64, installDate);
        QFETCH(int, earLaunches);
        QFETCH(bool, keptAside);
        QVERIFY(text.isNull() || WriteAll(path, text));
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        {
            Telemetry telemetry(path, QUrl());
            const TelemetryCounters c = telemetry.Counters();
            telemetry.ApplicationFinished();
            QVERIFY(!telemetry.UploadStarted());
            QTEST(c.appLaunchCount, "appLaunchCount");
            QVERIFY(installDate
                        ? c.installDate == installDate
                        : c.installDate >= before && c.installDate <= QDateTime::currentMSecsSinceEpoch());
            QCOMPARE(c.uid == QUuid(QStringLiteral("{6f1d2a4e-0b7c-4c1a-9a57-3e2b1c0d9f88}")),
                     installDate != 0);
            QVERIFY(!c.uid.isNull() && !c.os.isEmpty());
            const auto& history = c.trainers[1].exScore;
            QCOMPARE(c.trainers[1].exLaunchCount, earLaunches);
            QCOMPARE(std::make_pair(std::accumulate(history.begin(), history.end(), 0.0), history.back()),
                     earLaunches ? std::make_pair(0.75, 0.75) : std::make_pair(0.0, 0.0));
            QCOMPARE(c.trainers[0].exLaunchCount + c.trainers[2].exLaunchCount, 0);
        } // saved as it goes; read back in runningMeansCountOnlyCompleteVisitsAndTheFileKeepsThem
        // A file that could not be read was kept aside before the first save replaced it.
        const QStringList kept = QDir(dir->path()).entryList({QStringLiteral("tstats.xml.unreadable-*")});
        QCOMPARE(kept.size(), int(keptAside));
        QVERIFY(!keptAside || ReadAll(dir->filePath(kept.first())) == text);
    }

    // Saving below a regular file is reported with its code. On a real full disk the save fails and
    // the file keeps its bytes: a small file's failure once showed only after it had been emptied.
    void failedSaveIsReportedAndLeavesTheFile()
    {
        QVERIFY(WriteAll(dir->filePath(QStringLiteral("file")), "x"));
        try {
            Telemetry(dir->filePath(QStringLiteral("file/tstats.xml")), QUrl()).Save();
            QFAIL("saving below a regular file succeeded");
        } catch (const Error& error) {
            QCOMPARE(error.Code(), 1572);
        }
        FullDisk disk;
        if (!disk.IsMounted())
            QSKIP(qPrintable(disk.Why()));
        const QString onDisk = disk.Path() + QStringLiteral("/tstats.xml");
        Telemetry telemetry(onDisk, QUrl(), clock);
        telemetry.Save();
        const QByteArray before = ReadAll(onDisk);
        QVERIFY(!before.isEmpty());
        QVERIFY(disk.Fill());
        telemetry.ExerciseStarted(1, false);
        telemetry.ExerciseFinished(0.5);
        QVERIFY_EXCEPTION_THROWN(telemetry.Save(), Error);
        QCOMPARE(ReadAll(onDisk), before);
        disk.Free();
        telemetry.Save();
        QVERIFY(ReadAll(onDisk) != before);
    }

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
        const char* rows[][4] = {
            {"environment before the settings", "http://127.0.0.1:8080", "http://b.test",
             "http://127.0.0.1:8080/Services/Tstats.ashx"},
            {"settings without environment", nullptr, "https://services.example.test/api/",
             "https://services.example.test/api/Services/Tstats.ashx"},
            {"query dropped", "http://localhost/x?y=1", "", "http://localhost/x/Services/Tstats.ashx"},
            {"blank", "   ", "", ""},
            {"other scheme", "ftp://127.0.0.1/", "", ""},
            {"no host", "http:///path", "", ""},
            {"relative", "Services", "", ""}};
        for (const auto& row : rows)
            QTest::newRow(row[0]) << row[1] << row[2] << row[3];
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

    // One upload a run of the saved document with the installation's identity; closing waits for a
    // silent service only until the upload's time limit has passed on the telemetry's clock.
    void uploadOnceAndCloseWithinItsLimit_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::addColumn<int>("sinceUploadMs");
        QTest::addColumn<int>("waitMs");
        QTest::newRow("service answers") << true << 0 << 0;
        QTest::newRow("silent, 300 ms before the limit")
            << false << Telemetry::UploadTimeLimitMs - 300 << 300;
        QTest::newRow("silent, at the limit") << false << Telemetry::UploadTimeLimitMs << 0;
        QTest::newRow("silent, past the limit") << false << Telemetry::UploadTimeLimitMs + 1 << 0;
    }
    void uploadOnceAndCloseWithinItsLimit()
    {
        QFETCH(bool, answers);
        QFETCH(int, sinceUploadMs);
        QFETCH(int, waitMs);
        LocalHttpServer server;
        server.SetReply(HttpReply{200, {}, {}, answers});
        qputenv(ServicesAddress::EnvironmentVariable, server.BaseUrl().toString().toUtf8() + "/base/");
        QByteArray document;
        QUuid uid;
        QElapsedTimer elapsed;
        {
            Telemetry telemetry(path, ServicesAddress::Configured(), clock);
            telemetry.ExerciseStarted(0, false);
            telemetry.ExerciseFinished(1.0);
            telemetry.ApplicationFinished();
            QVERIFY(telemetry.UploadStarted());
            QTRY_COMPARE(server.RequestCount(), 1);
            QVERIFY(!answers || telemetry.WaitForUpload(10000));
            telemetry.ApplicationFinished();
            document = telemetry.Document();
            uid = telemetry.Counters().uid;
            now += sinceUploadMs;
            elapsed.start();
        }
        QVERIFY2(elapsed.elapsed() >= waitMs && elapsed.elapsed() < waitMs + 3000,
                 qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(server.RequestCount(), 1);
        const HttpRequest request = server.Requests().first();
        QCOMPARE(std::make_tuple(request.method, request.path, request.Header("uid")),
                 std::make_tuple(QByteArray("POST"), QByteArray("/base/Services/Tstats.ashx"),
                                 uid.toString(QUuid::WithBraces).toLatin1()));
        QCOMPARE(std::make_pair(request.body, ReadAll(path)), std::make_pair(document, document));
    }
};

QTEST_GUILESS_MAIN(TestTelemetry)
#include "test_telemetry.moc"

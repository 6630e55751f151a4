// The application object and the program as a whole: identity, start-up with no MIDI or sound
// hardware, the quiz-mode flag, and the real executable reaching its event loop.

#include "core/midi/midi_bank.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "core/news_client.h"
#include "ui/application.h"
#include "ui/window_stack_manager.h"

#include <QFileInfo>
#include <QtTest>

class TestApplication : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    std::unique_ptr<Application> app;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
        static int argc = 2;
        static QByteArray a0("cantorela"), a1("-nofs");
        static char* argv[] = {a0.data(), a1.data(), nullptr};
        app = std::make_unique<Application>(argc, argv, QStringList{"cantorela", "-nofs", "-display", "1"});
        app->Initialize();
    }

    void cleanupTestCase() { app.reset(); }

    void identity()
    {
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Vantorix"));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Cantorela"));
        QCOMPARE(Application::Instance(), app.get());
        QVERIFY(app->GetWindowStackManager() != nullptr);
        QVERIFY(app->GetSettings() != nullptr);
        QVERIFY(app->GetSettings()->FileName().startsWith(home.path()));
        QVERIFY(app->styleSheet().contains("global.css"));
        QFile css(":/css/global.css");
        QVERIFY(css.open(QIODevice::ReadOnly));
        QVERIFY(css.readAll().contains("checkbox_full_hover.png"));
    }

    void tempoPiecesFromTheResources()
    {
        const std::shared_ptr<Core::MidiBank> bank = app->GetMidiBank();
        QVERIFY(bank);
        QList<Core::MidiBank::PieceEntry> largo;
        bank->GetPieces(3, largo);
        QCOMPARE(largo.size(), 5);
        QVERIFY(largo.first().stream && !largo.first().stream->isEmpty());
    }

    void engineObjectsOfTheRun()
    {
        const auto catalog = app->GetExerciseCatalog();
        QVERIFY(catalog);
        QVERIFY(catalog->GetStatistics()->HistoryPath().startsWith(home.filePath("data/Vantorix/Cantorela/")));
        QVERIFY(QFileInfo::exists(catalog->GetStatistics()->LocalPath()));
        QVERIFY(app->GetNewsClient());
        // No services address is configured here: nothing is fetched.
        QVERIFY(!app->GetNewsClient()->FetchStarted());
        // Exercises read the application's settings, through the block the quiz flag selects.
        const auto exercise = catalog->CreateExercise(Core::NoteTrainerIndex);
        QCOMPARE(exercise->GetSettingsSource(), static_cast<const Core::TrainerSettingsSource*>(app.get()));
        app->SetQuizMode(true);
        exercise->SetUpSections();
        QCOMPARE(exercise->GetSections()[0].msPerQuestion, app->CurrentSettings().noteTrainer.singleNotes.duration.seconds * 1000);
        app->SetQuizMode(false);
        exercise->SetUpSections();
        QCOMPARE(exercise->GetSections()[0].questionCount, app->CurrentSettings().noteTrainer.singleNotes.duration.questions);
    }

    void commandLineAsTheUserGaveIt()
    {
        QVERIFY(!Application::IsFullScreenRequested());
        QCOMPARE(Application::GetDisplayIndex(), 1);
    }

    void quizModeSelectsTheBlockInForce()
    {
        QVERIFY(!app->IsQuizMode());
        const Core::TrainerSettings exercise = app->CurrentSettings();
        app->SetQuizMode(true);
        const Core::TrainerSettings quiz = app->CurrentSettings();
        QVERIFY(quiz != exercise);
        QCOMPARE(quiz.noteTrainer.singleNotes.duration.seconds, 30);
        // The engine sees the same through its interface.
        const Core::TrainerSettingsSource& source = *app;
        QVERIFY(source.IsQuizMode());
        QVERIFY(source.CurrentSettings() == quiz);
        app->SetQuizMode(false);
        QVERIFY(app->CurrentSettings() == exercise);
    }

    void noMidiDeviceMatchesTheStoredName()
    {
        Core::GeneralSettings general = app->GetSettings()->GetGeneralSettings();
        general.inputDevice = QStringLiteral("Keyboard that is not there");
        app->SetGeneralSettings(general);
        QVERIFY(!app->SelectStoredInputDevice());
        QCOMPARE(app->GetSettings()->GetGeneralSettings().inputDevice, general.inputDevice);
    }

    void eventLoopRunsAndReturns()
    {
        QTimer::singleShot(10, app.get(), &QCoreApplication::quit);
        QCOMPARE(app->exec(), 0);
    }

    void programReachesItsEventLoop()
    {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", home.filePath("program-config"));
        env.insert("XDG_DATA_HOME", home.filePath("program-data"));
        program.setProcessEnvironment(env);
        program.start(CANTORELA_BINARY, {"-nofs", "-display", "3"});
        QVERIFY(program.waitForStarted(10000));
        // Still alive after start-up: it reached the event loop and waits there.
        QVERIFY(!program.waitForFinished(3000));
        QCOMPARE(program.state(), QProcess::Running);
        // The data directory and the statistics files are there from the start.
        const QString data = home.filePath("program-data/Vantorix/Cantorela/");
        QVERIFY(QFileInfo::exists(data + "stats.xml"));
        QVERIFY(QFileInfo::exists(data + "statsLocal.xml"));
        // Asked to stop (as by logging out), it closes like its window does and writes the
        // usage counters on the way.
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(QFileInfo::exists(data + "tstats.xml"));
    }

    void versionAndHelpExitAtOnce()
    {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        program.setProcessEnvironment(env);
        program.start(CANTORELA_BINARY, {"--version"});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).trimmed(),
                 QStringLiteral("cantorela " CANTORELA_VERSION));

        program.start(CANTORELA_BINARY, {"-nofs", "--help"});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().contains("-display N"));

        // Without any display the program says so instead of crashing.
        program.start(CANTORELA_BINARY, QStringList());
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(program.readAllStandardError().contains("no display found"));
    }
};

QTEST_APPLESS_MAIN(TestApplication)
#include "test_application.moc"

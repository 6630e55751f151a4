// The application object and the program as a whole: start-up with no MIDI or sound hardware
// into folders of the test's own, the engine objects of the run reading the block the quiz flag
// selects, and the real executable's early exits (the texts: test_command_line). The program
// painting its home screen, ending on SIGTERM and writing its files: test_program_drive.py.

#include "app/application.h"
#include "core/exercise/difficulty_presets.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "core/midi/midi_bank.h"
#include "core/services/news_client.h"

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
        app->initialize();
    }

    void cleanupTestCase() { app.reset(); }

    // The run's files in the user's folders, its settings through the block the quiz flag selects,
    // and a stored MIDI input that is not there.
    void startsWithItsFilesAndSettings()
    {
        QVERIFY(app->settings()->fileName().startsWith(home.filePath("config/Vantorix/")));
        QVERIFY(app->styleSheet().contains("global.css"));
        const auto statistics = app->exerciseCatalog()->GetStatistics();
        QVERIFY(statistics->HistoryPath().startsWith(home.filePath("data/Vantorix/Cantorela/")));
        QVERIFY(QFileInfo::exists(statistics->LocalPath()));
        QList<Core::MidiBank::PieceEntry> largo;
        app->midiBank()->GetPieces(3, largo);
        QVERIFY(!largo.isEmpty() && largo.first().stream && !largo.first().stream->isEmpty());
        // No services address is configured here: nothing is fetched.
        QVERIFY(!app->newsClient()->FetchStarted());
        // The command line as the user gave it, not as QApplication saw it.
        QVERIFY(!Application::isFullScreenRequested());
        QCOMPARE(Application::displayIndex(), 1);

        // Exercises read the application's settings through the block that the quiz flag selects.
        const Core::TrainerSettings exercise = app->settings()->exerciseSettings();
        const Core::TrainerSettings quiz = Core::BuiltInQuizSettings();
        QVERIFY(exercise.noteTrainer.singleNotes.duration.seconds !=
                quiz.noteTrainer.singleNotes.duration.seconds);
        const auto lesson = app->exerciseCatalog()->CreateExercise(Core::NoteTrainerIndex);
        for (bool quizMode : {true, false}) {
            app->setQuizMode(quizMode);
            lesson->SetUpSections();
            QCOMPARE(lesson->GetSections()[0].msPerQuestion,
                     (quizMode ? quiz : exercise).noteTrainer.singleNotes.duration.seconds * 1000);
        }

        // No MIDI input is selected, and the stored name stays for a later start.
        Core::GeneralSettings general = app->settings()->generalSettings();
        general.inputDevice = QStringLiteral("Keyboard that is not there");
        app->setGeneralSettings(general);
        QVERIFY(!app->selectStoredInputDevice());
        QCOMPARE(app->settings()->generalSettings().inputDevice, general.inputDevice);
    }

    void versionAndNoDisplayExitAtOnce_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("onError");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("version") << QStringList{"--version"} << 0 << false
                                 << "^cantorela " CANTORELA_VERSION "\n$";
        QTest::newRow("no display") << QStringList() << 1 << true << "no display found";
    }

    void versionAndNoDisplayExitAtOnce()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(bool, onError);
        QFETCH(QString, pattern);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        program.setProcessEnvironment(env);
        program.start(CANTORELA_BINARY, arguments);
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), exitCode);
        const QString printed =
            QString::fromUtf8(onError ? program.readAllStandardError() : program.readAllStandardOutput());
        QVERIFY2(printed.contains(QRegularExpression(pattern)), qPrintable(printed));
    }
};

QTEST_APPLESS_MAIN(TestApplication)
#include "test_application.moc"

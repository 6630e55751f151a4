// The screens at 1366x768 in the language the test runs in (ctest runs it once per language, the
// language taken from the system's locale): no text cut off on the home screen, in a lesson of
// each trainer with its statistics, reference and every settings tab, nor in the dialogs.

#include "../common/cut_off_texts.h"
#include "../common/main_window_fixture.h"
#include "core/settings_store.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "ui/dialogs/section_end_dialog.h"
#include "ui/dialogs/sound_check_dialog.h"
#include "ui/settings/trainer_settings_page.h"

#include <QTabWidget>

class TestLayoutLanguages : public QObject
{
    Q_OBJECT

    Application& app = *Application::instance();
    std::unique_ptr<UI::MainWindow> console;

    void OpenConsole()
    {
        app.setLastState(Core::LastState());
        Core::GeneralSettings general = app.settings()->generalSettings();
        general.showDifficultyDialog = false;
        general.hideMidiDialog = true;
        general.answerWithMultipleChoice = true;
        app.setGeneralSettings(general);
        console = OpenMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
    }

    static QString Report(const QStringList& cut)
    {
        return QStringLiteral("%1 cut off (%2): %3")
            .arg(cut.size())
            .arg(QLocale().name(), cut.join(QStringLiteral("; ")));
    }

private Q_SLOTS:
    // The program speaks the language of the system's locale (ctest sets it), else the run
    // would check the English texts again.
    void initTestCase()
    {
        QCOMPARE(QLocale().name().left(2), qEnvironmentVariable("LANGUAGE").left(2));
    }

    void cleanup()
    {
        if (console) {
            console->endSession();
            console.reset();
        }
    }

    void screensHoldTheirTexts_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<int>("trainer");
        QTest::newRow("home") << "home" << 0;
        for (const char* place : {"lesson", "statistics", "reference", "settings"})
            for (int trainer = 0; trainer < 3; ++trainer)
                QTest::addRow("%s %d", place, trainer) << QString(place) << trainer;
    }

    void screensHoldTheirTexts()
    {
        QFETCH(QString, place);
        QFETCH(int, trainer);
        OpenConsole();
        if (place != "home") {
            app.setQuizMode(false);
            console->openExercise(size_t(trainer), false);
            QVERIFY2(WaitForQuestion(*console), "no question was asked");
            if (place == "statistics")
                console->showStatistics();
            else if (place == "reference")
                console->showReference();
            else if (place == "settings")
                console->showSettings();
        }
        QTRY_VERIFY(WindowSettled(*console));
        QStringList cut = CutOffTexts::In(console.get());
        if (place == "settings") {
            auto* tabs = console->settingsPage(trainer)->findChild<QTabWidget*>();
            QVERIFY(tabs);
            for (int i = 1; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QTRY_VERIFY(tabs->currentWidget()->isVisible());
                cut << CutOffTexts::In(console.get());
            }
        }
        cut.removeDuplicates();
        QVERIFY2(cut.isEmpty(), qPrintable(Report(cut)));
    }

    void dialogsHoldTheirTexts()
    {
        OpenConsole();
        std::vector<std::unique_ptr<QWidget>> dialogs;
        auto* score = new UI::SectionEndDialog(console.get());
        score->setScore(9, 11);
        dialogs.emplace_back(score);
        dialogs.emplace_back(new UI::AboutDialog(console.get()));
        dialogs.emplace_back(new UI::DifficultyLevelDialog(app.settings(), console.get()));
        dialogs.emplace_back(new UI::SoundCheckDialog(app.soundController(), console.get()));
        QStringList cut;
        for (auto& dialog : dialogs) {
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            cut << CutOffTexts::In(dialog.get());
            dialog->hide();
        }
        QVERIFY2(cut.isEmpty(), qPrintable(Report(cut)));
    }
};

MAIN_WINDOW_TEST_MAIN(TestLayoutLanguages)
#include "test_layout_languages.moc"

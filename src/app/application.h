#pragma once
// The GUI application object: the root of ownership of the long-lived engine objects and of the
// window stack manager. main() hands them to the main window through mainWindowServices().
// Start-up is two-phase: the constructor sets identity, font and resources and installs the
// language of the settings (UI::Translation); initialize() applies the style sheet and creates the
// engine objects. GUI thread only.

#include "core/exercise/trainer_settings_source.h"
#include "core/settings_store.h"
#include "ui/main_window_services.h"

#include <QApplication>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

namespace Core {
class AuServer;
class ExerciseCatalog;
class MidiBank;
class NewsClient;
class SoundController;
} // namespace Core

namespace UI {
class MainWindow;
class HelpDialog;
class WindowStackManager;
} // namespace UI

class Application : public QApplication, public Core::TrainerSettingsSource
{
    Q_OBJECT
public:
    // commandLine: the arguments as the user gave them (main removes "-display N" from what
    // QApplication sees); empty means QCoreApplication::arguments().
    Application(int& argc, char** argv, const QStringList& commandLine = QStringList());
    ~Application() override;

    static Application* instance();
    // The organisation and program names that place the settings file and the data folder; the
    // same in every language. The constructor sets them; main() too, for what it prints before.
    static void setIdentity();

    // `progress`, when given, hears what is being prepared (for the splash).
    void initialize(const std::function<void(const QString&)>& progress = {});

    void openUrl(const QString& url, bool minimize);

    Core::SettingsStore* settings() const { return m_settingsStore.get(); }
    std::shared_ptr<Core::SoundController> soundController() const { return m_soundController; }
    std::shared_ptr<Core::MidiBank> midiBank() const { return m_midiBank; }
    std::shared_ptr<Core::ExerciseCatalog> exerciseCatalog() const { return m_exerciseCatalog; }
    std::shared_ptr<Core::NewsClient> newsClient() const { return m_newsClient; }

    // The engine objects of this run and the application's actions, for a main window made
    // after initialize().
    UI::MainWindowServices mainWindowServices();

    // The window help and minimising refer to.
    void setMainWindow(UI::MainWindow* window) { m_mainWindow = window; }

    bool IsQuizMode() const override { return m_quizMode; }
    void setQuizMode(bool quiz) { m_quizMode = quiz; }
    Core::TrainerSettings CurrentSettings() const override;
    int CurrentInstrument() const override;
    bool PractisesWeakSpots() const override;

    void setTrainerSettings(const Core::TrainerSettings& block);
    void setLastState(const Core::LastState& state);
    void setGeneralSettings(const Core::GeneralSettings& settings);
    bool selectStoredInputDevice();

    static bool isFullScreenRequested();
    static int displayIndex();

public Q_SLOTS:
    // The maker's help page ("/Home/Help" of the services address) when one is configured;
    // otherwise the guide built into the program, over the main window.
    void showHelp();

private:
    static QStringList commandLineArguments();

    std::shared_ptr<Core::SoundController> m_soundController;
    std::shared_ptr<Core::ExerciseCatalog> m_exerciseCatalog;
    std::unique_ptr<Core::SettingsStore> m_settingsStore;
    std::shared_ptr<Core::NewsClient> m_newsClient;
    std::shared_ptr<Core::MidiBank> m_midiBank;
    // The answer sounds, played by the built-in synthesizer; owned here so that the synthesizer
    // and its threads end with the application.
    std::unique_ptr<Core::AuServer> m_answerSounds;
    UI::WindowStackManager* m_windowStackManager = nullptr;
    UI::MainWindow* m_mainWindow = nullptr;
    QPointer<UI::HelpDialog> m_helpDialog;
    bool m_quizMode = false;
};

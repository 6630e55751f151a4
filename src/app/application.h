#pragma once
// The GUI application object: the root of ownership of the long-lived engine objects and of the
// window stack manager. Every other part reaches them through Application::Instance().
// Start-up is two-phase: the constructor sets identity, font and resources; Initialize()
// applies the style sheet and creates the engine objects. GUI thread only.

#include "core/exercise/trainer_settings_source.h"
#include "core/settings_store.h"

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

    static Application* Instance();

    // `progress`, when given, hears what is being prepared (for the splash).
    void Initialize(const std::function<void(const QString&)>& progress = {});

    void OpenUrl(const QString& url, bool minimize);

    Core::SettingsStore* GetSettings() const { return settingsStore.get(); }
    std::shared_ptr<Core::SoundController> GetSoundController() const { return soundController; }
    std::shared_ptr<Core::MidiBank> GetMidiBank() const { return midiBank; }
    std::shared_ptr<Core::ExerciseCatalog> GetExerciseCatalog() const { return exerciseCatalog; }
    std::shared_ptr<Core::NewsClient> GetNewsClient() const { return newsClient; }
    UI::WindowStackManager* GetWindowStackManager() const { return windowStackManager; }

    UI::MainWindow* MainWindow() const { return mainWindow; }
    void SetMainWindow(UI::MainWindow* window) { mainWindow = window; }

    bool IsQuizMode() const override { return quizMode; }
    void SetQuizMode(bool quiz) { quizMode = quiz; }
    Core::TrainerSettings CurrentSettings() const override;
    int CurrentInstrument() const override;

    void SetTrainerSettings(const Core::TrainerSettings& block);
    void SetLastState(const Core::LastState& state);
    void SetGeneralSettings(const Core::GeneralSettings& settings);
    bool SelectStoredInputDevice();

    static bool IsFullScreenRequested();
    static int GetDisplayIndex();

public Q_SLOTS:
    // The maker's help page ("/Home/Help" of the services address) when one is configured;
    // otherwise the guide built into the program, over the main window.
    void showHelp();

private:
    static QStringList CommandLineArguments();

    std::shared_ptr<Core::SoundController> soundController;
    std::shared_ptr<Core::ExerciseCatalog> exerciseCatalog;
    std::unique_ptr<Core::SettingsStore> settingsStore;
    std::shared_ptr<Core::NewsClient> newsClient;
    std::shared_ptr<Core::MidiBank> midiBank;
    // The answer sounds, played by the built-in synthesizer; owned here so that the synthesizer
    // and its threads end with the application.
    std::unique_ptr<Core::AuServer> answerSounds;
    UI::WindowStackManager* windowStackManager = nullptr;
    UI::MainWindow* mainWindow = nullptr;
    QPointer<UI::HelpDialog> helpDialog;
    bool quizMode = false;
};

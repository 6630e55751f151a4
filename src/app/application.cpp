#include "app/application.h"

#include "core/exercise/exercise_catalog.h"
#include "core/midi/au_server_synth.h"
#include "core/midi/midi_backend.h"
#include "core/midi/midi_bank.h"
#include "core/midi/sound_controller.h"
#include "core/midi/synthesizer.h"
#include "core/services/news_client.h"
#include "core/services/services_address.h"
#include "core/settings_file_format.h"
#include "app/command_line.h"
#include "ui/main_window.h"
#include "ui/dialogs/help_dialog.h"
#include "ui/interface_fonts.h"
#include "ui/window_stack_manager.h"

#include "notation/music_font.h"

#include <QDesktopServices>
#include <QFont>
#include <QFontDatabase>
#include <QLoggingCategory>
#include <QSettings>
#include <QUrl>

Q_LOGGING_CATEGORY(appLog, "cantorela.app")

namespace {
QStringList givenCommandLine;
}

static void InitializeResources()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(midi_pieces);
    Q_INIT_RESOURCE(assets);
}

Application::Application(int& argc, char** argv, const QStringList& commandLine) : QApplication(argc, argv)
{
    givenCommandLine = commandLine;
    InitializeResources();
    // Before the first QSettings: every one made with the default constructor (the settings
    // store, the rating dialog, the services address) writes the settings file only whole.
    Core::SettingsFileFormat::Install();

    QFont::insertSubstitution(QStringLiteral(".Guido2"), QStringLiteral("Guido2"));
    QCoreApplication::setOrganizationName(tr("Vantorix"));
    QCoreApplication::setOrganizationDomain(tr("vantorix.com"));
    QCoreApplication::setApplicationName(tr("Cantorela"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CANTORELA_VERSION));
    // The music font the notation is engraved with; a failure is reported and start-up goes on.
    Notation::MusicFont::RegisterApplicationFont();
    UI::InterfaceFonts::Register(); // Lato in place of the forms' "Tahoma" and "MS Shell Dlg 2"

    windowStackManager = new UI::WindowStackManager(this);
    quizMode = false;
}

Application::~Application()
{
    // The settings store is saved as it changes, so nothing is written here. The catalogue's
    // telemetry store writes "tstats.xml" as it goes; its exercises have gone with the window.
    if (exerciseCatalog)
        exerciseCatalog->SetMidiBank(nullptr);
    answerSounds.reset();
    midiBank.reset();
    newsClient.reset();
    settingsStore.reset();
    exerciseCatalog.reset();
    soundController.reset();
}

Application* Application::Instance()
{
    return qobject_cast<Application*>(QCoreApplication::instance());
}

void Application::Initialize(const std::function<void(const QString&)>& progress)
{
    const auto say = [&progress](const QString& step) {
        if (progress)
            progress(step);
    };
    setStyleSheet(QStringLiteral("file:///:css/global.css"));
    settingsStore = std::make_unique<Core::SettingsStore>([this] { return quizMode; });

    // Optional sound settings: "Settings.MidiApi" ("alsa" or "jack"; the environment variable
    // CANTORELA_MIDI_API wins) and "Settings.SoundFont" (a General MIDI soundfont tried before the
    // system's). The synthesizer loads its soundfont on a thread of its own: start-up never waits.
    {
        QSettings sound;
        sound.beginGroup(QStringLiteral("GlobalSetting"));
        Core::MidiBackend::SetPreferredApi(sound.value(QStringLiteral("Settings.MidiApi")).toString());
        Core::Synthesizer::SetPreferredSoundFont(
            sound.value(QStringLiteral("Settings.SoundFont")).toString());
    }
    soundController = std::make_shared<Core::SoundController>();
    answerSounds.reset();
    answerSounds = std::make_unique<Core::AuServerSynth>(Core::Synthesizer::Shared());
    if (soundController->InputCount() > 0)
        soundController->SetCurrentInputIndex(0);
    if (soundController->OutputCount() > 0)
        soundController->SetCurrentOutputIndex(0);
    // The trainers, the statistics and the telemetry with their files in the data directory.
    say(tr("Reading your progress…"));
    exerciseCatalog = std::make_shared<Core::ExerciseCatalog>(this);
    // Catalogues the compiled-in tempo pieces; each is read on its first request.
    midiBank = std::make_shared<Core::MidiBank>();
    exerciseCatalog->SetMidiBank(midiBank);
    // Fetches nothing unless a services address is configured.
    newsClient = std::make_shared<Core::NewsClient>(settingsStore->GetGeneralSettings().newsId,
                                                    QStringLiteral("en-us"));
    SelectStoredInputDevice();
}

Core::TrainerSettings Application::CurrentSettings() const
{
    return settingsStore ? settingsStore->CurrentSettings() : Core::TrainerSettings{};
}

int Application::CurrentInstrument() const
{
    return settingsStore ? int(settingsStore->GetGeneralSettings().instrument) : 0;
}

void Application::SetTrainerSettings(const Core::TrainerSettings& block)
{
    if (settingsStore)
        settingsStore->SetTrainerSettings(block);
}

void Application::SetLastState(const Core::LastState& state)
{
    if (settingsStore)
        settingsStore->SetLastState(state);
}

void Application::SetGeneralSettings(const Core::GeneralSettings& settings)
{
    if (!settingsStore)
        return;
    settingsStore->SetGeneralSettings(settings);
    SelectStoredInputDevice();
}

// Selects the input whose port name is the stored one; else input 0 when there is one.
bool Application::SelectStoredInputDevice()
{
    if (!soundController || !settingsStore)
        return false;
    if (soundController->SelectInputByName(settingsStore->GetGeneralSettings().inputDevice))
        return true;
    if (soundController->InputCount() > 0)
        soundController->SetCurrentInputIndex(0);
    return false;
}

QStringList Application::CommandLineArguments()
{
    return givenCommandLine.isEmpty() ? QCoreApplication::arguments() : givenCommandLine;
}

bool Application::IsFullScreenRequested()
{
    return UI::CommandLine::IsFullScreenRequested(CommandLineArguments());
}

int Application::GetDisplayIndex()
{
    return UI::CommandLine::GetDisplayIndex(CommandLineArguments());
}

void Application::OpenUrl(const QString& url, bool minimize)
{
    if (minimize && mainWindow)
        mainWindow->showMinimized();
    if (!QDesktopServices::openUrl(QUrl(url)))
        qCWarning(appLog) << "could not open" << url;
}

void Application::showHelp()
{
    const QUrl services = Core::ServicesAddress::Configured();
    if (!services.isEmpty()) {
        OpenUrl(Core::ServicesAddress::ServiceUrl(services, QStringLiteral("/Home/Help")).toString(), true);
        return;
    }
    if (!helpDialog)
        helpDialog = new UI::HelpDialog(mainWindow);
    helpDialog->show();
    helpDialog->raise();
    helpDialog->activateWindow();
}

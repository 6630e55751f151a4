#include "app/application.h"

#include "app/command_line.h"
#include "core/exercise/exercise_catalog.h"
#include "core/midi/au_server_synth.h"
#include "core/midi/midi_backend.h"
#include "core/midi/midi_bank.h"
#include "core/midi/sound_controller.h"
#include "core/midi/synthesizer.h"
#include "core/services/news_client.h"
#include "core/services/services_address.h"
#include "core/settings_file_format.h"
#include "ui/dialogs/help_dialog.h"
#include "ui/interface_fonts.h"
#include "ui/main_window.h"
#include "ui/translation.h"
#include "ui/window_stack_manager.h"

#include "notation/music_font.h"

#include <QDesktopServices>
#include <QFont>
#include <QFontDatabase>
#include <QLocale>
#include <QLoggingCategory>
#include <QSettings>
#include <QUrl>

Q_LOGGING_CATEGORY(appLog, "cantorela.app")

namespace {
QStringList givenCommandLine;
}

static void initializeResources()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(midi_pieces);
    Q_INIT_RESOURCE(assets);
}

Application::Application(int& argc, char** argv, const QStringList& commandLine) : QApplication(argc, argv)
{
    givenCommandLine = commandLine;
    initializeResources();
    // Before the first QSettings: every one made with the default constructor (the settings
    // store, the rating dialog, the services address) writes the settings file only whole.
    Core::SettingsFileFormat::Install();

    QFont::insertSubstitution(QStringLiteral(".Guido2"), QStringLiteral("Guido2"));
    setIdentity();
    // The language of the setting (the system's by default), before any window, dialog or
    // question pool builds a text: those built keep their language for the whole run.
    UI::Translation::install(Core::SettingsStore::storedLanguage());
    // The music font the notation is engraved with; a failure is reported and start-up goes on.
    Notation::MusicFont::RegisterApplicationFont();
    UI::InterfaceFonts::registerFonts(); // Lato in place of the forms' "Tahoma" and "MS Shell Dlg 2"

    m_windowStackManager = new UI::WindowStackManager(this);
    m_quizMode = false;
}

Application::~Application()
{
    // The settings store is saved as it changes, so nothing is written here. The catalogue's
    // telemetry store writes "tstats.xml" as it goes; its exercises have gone with the window.
    if (m_exerciseCatalog)
        m_exerciseCatalog->SetMidiBank(nullptr);
    m_answerSounds.reset();
    m_midiBank.reset();
    m_newsClient.reset();
    m_settingsStore.reset();
    m_exerciseCatalog.reset();
    m_soundController.reset();
}

void Application::setIdentity()
{
    // The identity names the settings file and the data folder: it is the same in every language
    // (a translated one would move the student's data), so it is never translated and is set
    // before the translation is installed.
    QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("vantorix.com"));
    QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CANTORELA_VERSION));
}

Application* Application::instance()
{
    return qobject_cast<Application*>(QCoreApplication::instance());
}

void Application::initialize(const std::function<void(const QString&)>& progress)
{
    const auto say = [&progress](const QString& step) {
        if (progress)
            progress(step);
    };
    setStyleSheet(QStringLiteral("file:///:css/global.css"));
    m_settingsStore = std::make_unique<Core::SettingsStore>([this] { return m_quizMode; });

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
    m_soundController = std::make_shared<Core::SoundController>();
    m_answerSounds.reset();
    m_answerSounds = std::make_unique<Core::AuServerSynth>(Core::Synthesizer::Shared());
    if (m_soundController->MidiInputCount() > 0)
        m_soundController->SetCurrentInputIndex(0);
    if (m_soundController->OutputCount() > 0)
        m_soundController->SetCurrentOutputIndex(0);
    // The trainers, the statistics and the telemetry with their files in the data directory.
    say(tr("Reading your progress…"));
    m_exerciseCatalog = std::make_shared<Core::ExerciseCatalog>(this);
    // Catalogues the compiled-in tempo pieces; each is read on its first request.
    m_midiBank = std::make_shared<Core::MidiBank>();
    m_exerciseCatalog->SetMidiBank(m_midiBank);
    // Fetches nothing unless a services address is configured; asks for the news in the
    // language in force, named as the service names it ("en-us", "de-de").
    const QString localization = QLocale().name().toLower().replace(QLatin1Char('_'), QLatin1Char('-'));
    m_newsClient =
        std::make_shared<Core::NewsClient>(m_settingsStore->generalSettings().newsId, localization);
    selectStoredInputDevice();
}

Core::TrainerSettings Application::CurrentSettings() const
{
    return m_settingsStore ? m_settingsStore->currentSettings() : Core::TrainerSettings{};
}

int Application::CurrentInstrument() const
{
    return m_settingsStore ? int(m_settingsStore->generalSettings().instrument) : 0;
}

bool Application::PractisesWeakSpots() const
{
    return m_settingsStore && m_settingsStore->generalSettings().practiseWeakSpots;
}

void Application::setTrainerSettings(const Core::TrainerSettings& block)
{
    if (m_settingsStore)
        m_settingsStore->setTrainerSettings(block);
}

void Application::setLastState(const Core::LastState& state)
{
    if (m_settingsStore)
        m_settingsStore->setLastState(state);
}

void Application::setGeneralSettings(const Core::GeneralSettings& settings)
{
    if (!m_settingsStore)
        return;
    m_settingsStore->setGeneralSettings(settings);
    selectStoredInputDevice();
}

// Selects the input whose port name is the stored one; else the first MIDI port when there is
// one (a microphone listens only when chosen).
bool Application::selectStoredInputDevice()
{
    if (!m_soundController || !m_settingsStore)
        return false;
    if (m_soundController->SelectInputByName(m_settingsStore->generalSettings().inputDevice))
        return true;
    if (m_soundController->MidiInputCount() > 0)
        m_soundController->SetCurrentInputIndex(0);
    return false;
}

QStringList Application::commandLineArguments()
{
    return givenCommandLine.isEmpty() ? QCoreApplication::arguments() : givenCommandLine;
}

bool Application::isFullScreenRequested()
{
    return App::CommandLine::isFullScreenRequested(commandLineArguments());
}

int Application::displayIndex()
{
    return App::CommandLine::displayIndex(commandLineArguments());
}

void Application::openUrl(const QString& url, bool minimize)
{
    if (minimize && m_mainWindow)
        m_mainWindow->showMinimized();
    if (!QDesktopServices::openUrl(QUrl(url)))
        qCWarning(appLog) << "could not open" << url;
}

UI::MainWindowServices Application::mainWindowServices()
{
    UI::MainWindowServices services;
    services.catalog = m_exerciseCatalog;
    services.settings = m_settingsStore.get();
    services.sound = m_soundController;
    services.news = m_newsClient;
    services.stack = m_windowStackManager;
    services.setQuizMode = [this](bool quiz) { setQuizMode(quiz); };
    services.applyGeneralSettings = [this](const Core::GeneralSettings& general) {
        setGeneralSettings(general);
    };
    services.selectStoredInputDevice = [this] { return selectStoredInputDevice(); };
    services.openUrl = [this](const QString& url, bool minimize) { openUrl(url, minimize); };
    services.showHelp = [this] { showHelp(); };
    return services;
}

void Application::showHelp()
{
    const QUrl services = Core::ServicesAddress::Configured();
    if (!services.isEmpty()) {
        openUrl(Core::ServicesAddress::ServiceUrl(services, QStringLiteral("/Home/Help")).toString(), true);
        return;
    }
    if (!m_helpDialog)
        m_helpDialog = new UI::HelpDialog(m_mainWindow);
    m_helpDialog->show();
    m_helpDialog->raise();
    m_helpDialog->activateWindow();
}

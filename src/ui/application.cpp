#include "ui/application.h"

#include "ui/command_line.h"
#include "ui/console.h"
#include "ui/window_stack_manager.h"

#include "notation/music_font.h"

#include <QDesktopServices>
#include <QFont>
#include <QFontDatabase>
#include <QLoggingCategory>
#include <QUrl>

Q_LOGGING_CATEGORY(appLog, "cantorela.app")

namespace {
QStringList givenCommandLine;
}

static void InitializeResources()
{
    Q_INIT_RESOURCE(resources);
}

Application::Application(int& argc, char** argv, const QStringList& commandLine) : QApplication(argc, argv)
{
    givenCommandLine = commandLine;
    InitializeResources();

    QFont::insertSubstitution(QStringLiteral(".Guido2"), QStringLiteral("Guido2"));
    QCoreApplication::setOrganizationName(tr("Vantorix"));
    QCoreApplication::setOrganizationDomain(tr("vantorix.com"));
    QCoreApplication::setApplicationName(tr("Cantorela"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CANTORELA_VERSION));
    // The music font the notation is engraved with; a failure is reported and start-up goes on.
    Notation::MusicFont::RegisterApplicationFont();

    windowStackManager = new UI::WindowStackManager(this);
    quizMode = false;
}

Application::~Application()
{
    // Engine objects go in the reverse order of their creation; the settings store is saved as
    // it changes, so nothing is written here.
    settingsStore.reset();
}

Application* Application::Instance()
{
    return qobject_cast<Application*>(QCoreApplication::instance());
}

void Application::Initialize()
{
    setStyleSheet(QStringLiteral("file:///:css/global.css"));
    settingsStore = std::make_unique<Core::SettingsStore>([this] { return quizMode; });
    SelectStoredInputDevice();
}

Core::TrainerSettings Application::CurrentSettings() const
{
    return settingsStore ? settingsStore->CurrentSettings() : Core::TrainerSettings{};
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

// No MIDI devices are known yet: nothing matches and nothing is selected.
bool Application::SelectStoredInputDevice()
{
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

QString Application::WebSite()
{
    return QStringLiteral("https://www.vantorix.com");
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
    OpenUrl(WebSite() + QStringLiteral("/Home/Help"), true);
}

// Cantorela: wires the application together and runs the event loop.

#include "app/application.h"
#include "app/command_line.h"
#include "app/single_instance.h"
#include "app/startup_trace.h"
#include "app/termination_signals.h"
#include "core/exercise/exercise_catalog.h"
#include "core/settings_store.h"
#include "ui/dialogs/splash_dialog.h"
#include "ui/main_window.h"
#include "ui/translation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QIcon>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// Lets the window system show the splash before the slow part of start-up, without waiting
// for long if it never says the window is visible.
void showAtOnce(QWidget& window)
{
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    window.repaint();
    QCoreApplication::processEvents();
}

// The icon of the installed icon theme; from the build folder, the sizes compiled in.
QIcon applicationIcon()
{
    QIcon builtIn;
    const QDir sizes(QStringLiteral(":/window-icon"));
    for (const QString& file : sizes.entryList(QDir::Files))
        builtIn.addFile(sizes.filePath(file));
    return QIcon::fromTheme(QStringLiteral("com.vantorix.Cantorela"), builtIn);
}

} // namespace

int main(int argc, char** argv)
{
    const QStringList commandLine = App::CommandLine::fromArgv(argc, argv);
    if (App::CommandLine::earlyExitText(commandLine) || App::CommandLine::missingDisplayReason(commandLine)) {
        // Printed before any window, in the language the window would speak.
        QCoreApplication terminal(argc, argv);
        Application::setIdentity();
        UI::Translation::install(Core::SettingsStore::storedLanguage());
        if (const auto text = App::CommandLine::earlyExitText(commandLine)) {
            std::fputs(text->toLocal8Bit().constData(), stdout);
            return 0;
        }
        std::fputs(App::CommandLine::missingDisplayReason(commandLine)->toLocal8Bit().constData(), stderr);
        return 1;
    }

    std::srand(unsigned(std::time(nullptr)));

    // Every screen is drawn by the raster engine: without OpenGL the window system's GL driver
    // (tens of megabytes) is never loaded.
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    std::vector<char*> qtArguments = App::CommandLine::qtArguments(argc, argv);
    int qtArgc = int(qtArguments.size()) - 1;
    Application application(qtArgc, qtArguments.data(), commandLine);

    // One copy per data folder: a second start brings the running copy's window to the front.
    App::SingleInstance instance(Core::ExerciseCatalog::DataDirectory());
    if (instance.claim() == App::SingleInstance::Outcome::Handed)
        return 0;
    // The desktop entry's name tells Wayland desktops which menu entry and icon the windows
    // belong to.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.vantorix.Cantorela"));
    QGuiApplication::setWindowIcon(applicationIcon());

    // The splash comes first, so that the student sees the program start at once; it says
    // what is being prepared while the sound, the records and the screens are made ready.
    UI::SplashDialog splash;
    splash.setStatus(Application::tr("Starting the sound and looking for MIDI keyboards…"));
    showAtOnce(splash);
    App::StartupTrace::mark("splash-painted");
    application.initialize([&splash](const QString& step) { splash.setStatus(step); });

    splash.setStatus(Application::tr("Preparing the trainers…"));
    UI::MainWindow window(application.mainWindowServices());
    QObject::connect(&window, &UI::MainWindow::homeScreenPainted,
                     [] { App::StartupTrace::mark("home-painted"); });
    splash.hide();
    application.setMainWindow(&window);
    window.showOnScreen(Application::isFullScreenRequested(), Application::displayIndex());
    QObject::connect(&instance, &App::SingleInstance::raiseRequested, &window, &UI::MainWindow::bringToFront);

    // Logging out, a terminal closing or Ctrl+C: the program ends without asking anything, after
    // the resume record and the statistics are saved.
    App::TerminationSignals stopRequests;
    QObject::connect(&stopRequests, &App::TerminationSignals::stopRequested, &window,
                     &UI::MainWindow::endSession);
    application.exec();
    return 0;
}

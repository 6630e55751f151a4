// Cantorela: wires the application together and runs the event loop.

#include "core/exercise/exercise_catalog.h"
#include "app/application.h"
#include "app/command_line.h"
#include "ui/main_window.h"
#include "app/single_instance.h"
#include "ui/dialogs/splash_dialog.h"
#include "app/startup_trace.h"
#include "app/termination_signals.h"

#include <QElapsedTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// Lets the window system show the splash before the slow part of start-up, without waiting
// for long if it never says the window is visible.
void ShowAtOnce(QWidget& window)
{
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    window.repaint();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    const QStringList commandLine = UI::CommandLine::FromArgv(argc, argv);
    if (const auto text = UI::CommandLine::EarlyExitText(commandLine)) {
        std::fputs(text->toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (const auto reason = UI::CommandLine::MissingDisplayReason(commandLine)) {
        std::fputs(reason->toLocal8Bit().constData(), stderr);
        return 1;
    }

    std::srand(unsigned(std::time(nullptr)));

    // Every screen is drawn by the raster engine: without OpenGL the window system's GL driver
    // (tens of megabytes) is never loaded.
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    std::vector<char*> qtArguments = UI::CommandLine::QtArguments(argc, argv);
    int qtArgc = int(qtArguments.size()) - 1;
    Application application(qtArgc, qtArguments.data(), commandLine);

    // One copy per data folder: a second start brings the running copy's window to the front.
    UI::SingleInstance instance(Core::ExerciseCatalog::DataDirectory());
    if (instance.Claim() == UI::SingleInstance::Outcome::Handed)
        return 0;

    // The splash comes first, so that the student sees the program start at once; it says
    // what is being prepared while the sound, the records and the screens are made ready.
    UI::SplashDialog splash;
    splash.SetStatus(Application::tr("Starting the sound and looking for MIDI keyboards…"));
    ShowAtOnce(splash);
    UI::StartupTrace::Mark("splash-painted");
    application.Initialize([&splash](const QString& step) { splash.SetStatus(step); });

    splash.SetStatus(Application::tr("Preparing the trainers…"));
    UI::MainWindow console(application);
    splash.hide();
    application.SetMainWindow(&console);
    console.ShowOnScreen(Application::IsFullScreenRequested(), Application::GetDisplayIndex());
    QObject::connect(&instance, &UI::SingleInstance::RaiseRequested, &console, &UI::MainWindow::BringToFront);

    // Logging out, a terminal closing or Ctrl+C: the program ends without asking anything, after
    // the resume record and the statistics are saved.
    UI::TerminationSignals stopRequests;
    QObject::connect(&stopRequests, &UI::TerminationSignals::StopRequested, &console,
                     &UI::MainWindow::EndSession);
    application.exec();
    return 0;
}

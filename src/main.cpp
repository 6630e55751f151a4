// Cantorela: wires the application together and runs the event loop.

#include "ui/application.h"
#include "ui/command_line.h"
#include "ui/console.h"
#include "ui/splash_dialog.h"
#include "ui/termination_signals.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

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

    std::vector<char*> qtArguments = UI::CommandLine::QtArguments(argc, argv);
    int qtArgc = int(qtArguments.size()) - 1;
    Application application(qtArgc, qtArguments.data(), commandLine);
    application.Initialize();

    UI::SplashDialog splash;
    splash.show();
    QCoreApplication::processEvents();

    UI::Console console;
    splash.hide();
    application.SetMainWindow(&console);
    console.ShowOnScreen(Application::IsFullScreenRequested(), Application::GetDisplayIndex());

    // Logging out or Ctrl+C closes the program the way its window does.
    UI::TerminationSignals stopRequests;
    application.exec();
    return 0;
}

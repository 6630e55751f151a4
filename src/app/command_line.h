#pragma once
// The program's own command-line options, read from the arguments as the user gave them:
//   -nofs         show the main window in a normal window instead of full screen
//   -display N    place the main window on screen N (0 when N is missing or not a number)
//   --help, -h    print the options and exit
//   --version     print the version and exit
// On X11 Qt itself would take "-display" as the name of an X server, so qtArguments() removes
// it, with its value, from what QApplication gets.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace App {

class CommandLine
{
public:
    // True unless one argument is exactly "-nofs".
    static bool isFullScreenRequested(const QStringList& arguments);
    // The argument after the first "-display", as a base-10 integer; 0 when absent, last or
    // not a number.
    static int displayIndex(const QStringList& arguments);

    // Text to print and exit with for --help and --version; nothing otherwise. The texts printed
    // go through the translator: main() installs the student's language before it prints them.
    static std::optional<QString> earlyExitText(const QStringList& arguments);

    // A plain-language reason why no window can be shown (no display server), or nothing.
    static std::optional<QString> missingDisplayReason(const QStringList& arguments);

    // argv without "-display N", null-terminated; the pointers are those of argv.
    static std::vector<char*> qtArguments(int argc, char** argv);

    static QStringList fromArgv(int argc, char** argv);
};

} // namespace App

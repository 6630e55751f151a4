#include "app/command_line.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <cstring>

namespace App {

bool CommandLine::isFullScreenRequested(const QStringList& arguments)
{
    return !arguments.contains(QStringLiteral("-nofs"), Qt::CaseSensitive);
}

int CommandLine::displayIndex(const QStringList& arguments)
{
    const int at = arguments.indexOf(QStringLiteral("-display"));
    if (at < 0 || at + 1 >= arguments.size())
        return 0;
    bool ok = false;
    const int index = arguments.at(at + 1).toInt(&ok, 10);
    return ok ? index : 0;
}

std::optional<QString> CommandLine::earlyExitText(const QStringList& arguments)
{
    const QStringList rest = arguments.mid(1);
    if (rest.contains(QStringLiteral("--help")) || rest.contains(QStringLiteral("-h"))) {
        return QCoreApplication::translate("App::CommandLine",
            "Usage: cantorela [options]\n"
            "Cantorela, a trainer of music reading and ear skills for piano students.\n"
            "\n"
            "Options:\n"
            "  -nofs          show the main window in a normal window instead of full screen\n"
            "  -display N     place the main window on screen N (counted from 0)\n"
            "  -h, --help     print this help and exit\n"
            "  --version      print the version and exit\n"
            "\n"
            "Qt's own options (-platform, -style, ...) are accepted too; choose the X server with\n"
            "the DISPLAY environment variable.\n");
    }
    if (rest.contains(QStringLiteral("--version")))
        return QStringLiteral("cantorela %1\n").arg(QStringLiteral(CANTORELA_VERSION));
    return std::nullopt;
}

std::optional<QString> CommandLine::missingDisplayReason(const QStringList& arguments)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (arguments.contains(QStringLiteral("-platform")) || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return std::nullopt;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return QCoreApplication::translate("App::CommandLine",
                                           "cantorela: no display found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                                           "Start it from a desktop session, or use 'make run', which starts a "
                                           "virtual display when there is none.\n");
    }
#else
    Q_UNUSED(arguments);
#endif
    return std::nullopt;
}

std::vector<char*> CommandLine::qtArguments(int argc, char** argv)
{
    std::vector<char*> kept;
    kept.reserve(size_t(argc) + 1);
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strcmp(argv[i], "-display") == 0) {
            ++i; // and its value
            continue;
        }
        kept.push_back(argv[i]);
    }
    kept.push_back(nullptr);
    return kept;
}

QStringList CommandLine::fromArgv(int argc, char** argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

} // namespace App

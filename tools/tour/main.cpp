// tour OUTPUT_DIR SHEET.png
// Drives the whole program offscreen, in its real main window, and takes a picture at every
// moment a reviewer should see: the splash, the home screen fresh and with progress, both forms
// of the difficulty dialog, the about, help, news and rating dialogs, the tool bar in every
// navigation state (home, a lesson and its reference, statistics and settings tabs, a quiz, full
// screen), every tab of each trainer's settings page in a learning lesson and in a quiz, and a
// learning and a quiz lesson of each trainer answered as a student answers (on-screen keys,
// answer buttons, the keys 1 to 6, one question left to time out) with each question kind, the
// judgements, the MIDI notice, the pause hint, the play dialog and the section end dialog, and
// after each learning lesson the reference page and the statistics page of every section (the
// ear trainer's tempo section on its extended page), with one history page. Lessons of their own
// follow for what those leave to chance: the symbol trainer's 128th note and rest, the countdown
// of a timed question full, at half, amber and empty, Hear again before and after R, the play
// card over a lesson left for the settings, a quiz's section bar that takes no click, and the
// statistics view's common mistakes, progress chart and worksheet over answers of earlier weeks. It
// does so at 1920x1080, at 1366x768 and at 1920x1080 with device pixel ratio 2, and at 1366x768 in
// German and in Spanish (the languages found in the system's locale), each in a process of its
// own with a fresh configuration and data folder (the ratio-2 pass runs with QT_SCALE_FACTOR=2, so
// every widget paints at ratio 2 and picks its "@2x" pictures). The pictures go to
// OUTPUT_DIR/<pass>/, with a labelled contact sheet of all of them in SHEET.png (make tour). A
// text cut off in a picture is reported with the picture's name.
//
// Without a sound card the answer sounds are swallowed by a silent server; without a MIDI
// keyboard the lessons show their MIDI notice. No services address is set, so help is the guide
// built into the program and no news is fetched (the news dialog is filled by the tour). Questions
// are drawn from a fixed seed.
//
// The parts: Tour runs one pass in its TourWindow, taking its pictures into an Album; the Student
// answers the lessons, LessonTabs pictures the tabs after each lesson, WindowMoments the main
// window's own dialogs and FeatureMoments the lessons of their own; ContactSheet puts the passes'
// pictures together.
//
// While working on the lessons of their own, CANTORELA_TOUR_ONLY=insight runs only that group
// after the start (the statistics view's common mistakes, progress chart and worksheet).

#include "contact_sheet.h"
#include "pass.h"
#include "tour.h"

#include "app/application.h"
#include "core/midi/au_server.h"
#include "ui/interface_fonts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Swallows the answer sounds: the tour runs without a sound card.
class SilentAuServer : public Core::AuServer
{
public:
    void Play(SoundClip&) override {}
    void Stop() override {}
};

// One pass in a process of its own, with a fresh configuration and data folder (set before the
// application reads them).
int RunPass(int& argc, char** argv, const Pass& pass, const QString& folder)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qunsetenv("CANTORELA_SERVICES_URL");
    Application app(argc, argv);
    SilentAuServer sounds;
    if (!QDir(folder).mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "tour: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    for (const QString& old : QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files))
        QFile::remove(QDir(folder).filePath(old));
    Tour tour(app, pass, folder);
    return tour.Run() ? 0 : 1;
}

// Runs the passes, each in its own process (the ratio must be set before the application starts).
int RunAll(const QString& outputDir, const QString& sheetPath)
{
    const QString program = QCoreApplication::applicationFilePath();
    std::vector<std::unique_ptr<QProcess>> processes;
    for (size_t i = 0; i < Passes().size(); ++i) {
        const Pass& pass = Passes()[i];
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("QT_AUTO_SCREEN_SCALE_FACTOR"));
        environment.remove(QStringLiteral("QT_SCREEN_SCALE_FACTORS"));
        environment.insert(QStringLiteral("LANGUAGE"), pass.locale.left(2));
        environment.insert(QStringLiteral("LC_ALL"), pass.locale + QStringLiteral(".UTF-8"));
        if (pass.ratio != 1)
            environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(pass.ratio));
        else
            environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(program,
                       {QStringLiteral("--pass"), QString::number(i), QDir(outputDir).filePath(pass.name)});
        processes.push_back(std::move(process));
    }
    int failures = 0;
    for (auto& process : processes) {
        process->waitForFinished(-1);
        if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
            ++failures;
    }
    // One sheet for the sizes, and one for each other language beside it ("tour-de.png").
    std::vector<std::pair<QString, std::vector<Pass>>> sheets{{sheetPath, {}}};
    for (const Pass& pass : Passes()) {
        if (pass.locale.startsWith(QLatin1String("en"))) {
            sheets.front().second.push_back(pass);
            continue;
        }
        const QFileInfo sheet(sheetPath);
        sheets.push_back({sheet.dir().filePath(QStringLiteral("%1-%2.%3")
                                                  .arg(sheet.completeBaseName(), pass.locale.left(2), sheet.suffix())),
                          {pass}});
    }
    for (const auto& [path, passes] : sheets) {
        if (!ContactSheet(outputDir, passes).save(path, "PNG")) {
            std::fprintf(stderr, "tour: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("tour: contact sheet written to %s\n", qPrintable(path));
    }
    if (failures)
        std::fprintf(stderr, "tour: %d of the passes failed\n", failures);
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--pass") == 0) {
        const size_t pass = size_t(std::strtoul(argv[2], nullptr, 10));
        if (pass >= Passes().size())
            return 2;
        return RunPass(argc, argv, Passes()[pass], QString::fromLocal8Bit(argv[3]));
    }
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: tour OUTPUT_DIR SHEET.png\n", stderr);
        return 2;
    }
    UI::InterfaceFonts::registerFonts();
    return RunAll(arguments.at(1), arguments.at(2));
}

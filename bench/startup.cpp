// Start-up of the real program, ten fresh first starts under an X server of the bench's own
// (Xvfb, 1366 × 768 × 24, no window manager). Each start gets an empty home folder of its own,
// no services address and no JACK server started on its behalf. For each start it takes:
//   splash    the program's "splash-painted" stamp (CLOCK_MONOTONIC, logged by the category
//             cantorela.startup at info level), from the bench's clock just before the spawn;
//   home      the same for the "home-painted" stamp;
//   X         from outside, on the X server: the first MapNotify of a window on the root (the
//             splash) and the first of a window of at least 1000 × 600 (the main window), and
//             for each the moment its pixels are no longer all black (the root is black, the
//             program's windows have no background, so that is the program's first drawing);
//   rss       VmRSS of the process 3 s after the spawn, and its anonymous and file-backed parts;
//   idle      the process's CPU time over 10 s on the home screen (from 3 s after the spawn, or
//             1 s after the home screen painted if that is later), as a percentage of one core:
//             utime + stime of /proc/<pid>/stat (10 ms ticks) and, finer, the run times of all
//             its threads in /proc/<pid>/task/*/schedstat;
//   peak      VmHWM of the process just before SIGTERM: the most memory it ever held;
//   quit      from SIGTERM (the program saves and quits) to its exit.
// A stamp that does not come within 10 s is missing (nan). Prints every start, the medians and
// the 99th percentiles (of ten starts that is the slowest), and as the last line
//   startup first_window_p50_ms=<splash> home_painted_p50_ms=<home> rss_mb=<MiB> idle_cpu_pct=<%>
// the idle figure from the threads' run times (the 10 ms ticks of /proc/<pid>/stat miss most
// of the short wake-ups of an idle program), or from /proc/<pid>/stat where those are missing.
//
//   startup [--runs N] [--idle-seconds S] [--program PATH] [--verbose]
//           [--history-records N [--reordered]]
//
// --verbose echoes the program's standard error. --history-records starts every run with a
// history ("stats.xml") of N records (3,000,000 make about 200 MB: a hundred years of daily
// practice), in the store's attribute order or, with --reordered, another.
//
// The bench's X server is an XServer, the X map watch a MapWatch; each start is a ProgramStart,
// its memory and CPU time read from /proc (process_figures.h).

#include "bench_support.h"
#include "map_watch.h"
#include "process_figures.h"
#include "program_start.h"
#include "startup_support.h"
#include "x_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

using Bench::missing;
using Bench::msNs;
using Bench::NowNs;
using Bench::secondNs;

constexpr qint64 stampTimeoutNs = 10 * secondNs;
constexpr qint64 rssAfterNs = 3 * secondNs;
constexpr qint64 quitTimeoutNs = 10 * secondNs;

double Ms(qint64 from, qint64 to)
{
    return from > 0 && to > 0 ? double(to - from) / double(msNs) : missing;
}

struct Run
{
    double splashMs = missing, homeMs = missing, firstMapMs = missing, mainMapMs = missing;
    double firstPixelsMs = missing, mainPixelsMs = missing;
    double rssMiB = missing, anonymousMiB = missing, fileMiB = missing, idleStatPct = missing,
           idleSchedPct = missing, quitMs = missing, peakMiB = missing;
};

// A history to start with ("stats.xml" in each fresh home), or none.
std::string seedHistory;

// Writes a history of `records` answers' records in the store's layout, or with each entry's
// attributes in another order (as another writer of the format may put them).
bool WriteHistory(const std::string& path, long records, bool reordered)
{
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ex_stat version=\"1.0\">\n", file);
    for (long n = 0; n < records; ++n) {
        const long id = n / 15, exId = n % 3, section = (n / 3) % 5, correct = n % 97, wrong = n % 13;
        if (reordered)
            std::fprintf(
                file, "    <entry wrong=\"%ld\" correct=\"%ld\" section=\"%ld\" exId=\"%ld\" id=\"%ld\"/>\n",
                wrong, correct, section, exId, id);
        else
            std::fprintf(
                file, "    <entry id=\"%ld\" exId=\"%ld\" section=\"%ld\" correct=\"%ld\" wrong=\"%ld\"/>\n",
                id, exId, section, correct, wrong);
    }
    std::fputs("</ex_stat>\n", file);
    return std::fclose(file) == 0;
}

Run StartOnce(const std::string& path, const std::string& display, Bench::MapWatch& watch, double idleSeconds,
              bool verbose)
{
    Run run;
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/cantorela-startup-XXXXXX"));
    if (!home.isValid()) {
        std::fprintf(stderr, "startup: no temporary home folder\n");
        return run;
    }
    if (!seedHistory.empty()) {
        const QString data = home.path() + QStringLiteral("/.local/share/Vantorix/Cantorela");
        if (!QDir().mkpath(data) ||
            !QFile::copy(QString::fromStdString(seedHistory), data + QStringLiteral("/stats.xml"))) {
            std::fprintf(stderr, "startup: cannot lay the history in the home folder\n");
            return run;
        }
    }
    watch.Read();
    watch.Reset();
    Bench::ProgramStart program(path, display, home.path().toStdString(), verbose);
    if (program.pid <= 0)
        return run;
    const qint64 start = program.spawnNs;

    program.Pump(watch, start + stampTimeoutNs, [&] {
        return program.splashNs && program.homeNs &&
               (!watch.IsWatching() || (watch.first.pixelsNs && watch.main.pixelsNs));
    });
    program.Pump(watch, start + rssAfterNs, [] { return false; });
    if (program.IsRunning()) {
        run.rssMiB = Bench::StatusMiB(program.pid, "VmRSS:");
        run.anonymousMiB = Bench::StatusMiB(program.pid, "RssAnon:");
        run.fileMiB = Bench::StatusMiB(program.pid, "RssFile:");
    }

    const qint64 idleFrom = std::max(start + rssAfterNs, program.homeNs ? program.homeNs + secondNs : 0);
    program.Pump(watch, idleFrom, [] { return false; });
    if (program.IsRunning()) {
        const qint64 from = NowNs();
        const double statFrom = Bench::CpuSecondsFromStat(program.pid);
        const double schedFrom = Bench::CpuSecondsFromSchedstat(program.pid);
        program.Pump(watch, from + qint64(idleSeconds * double(secondNs)), [] { return false; });
        if (program.IsRunning()) {
            const double statTo = Bench::CpuSecondsFromStat(program.pid);
            const double schedTo = Bench::CpuSecondsFromSchedstat(program.pid);
            const double wall = double(NowNs() - from) / double(secondNs);
            run.idleStatPct = 100.0 * (statTo - statFrom) / wall;
            run.idleSchedPct = 100.0 * (schedTo - schedFrom) / wall;
        }
    }

    if (program.IsRunning()) {
        run.peakMiB = Bench::StatusMiB(program.pid, "VmHWM:");
        const qint64 asked = NowNs();
        kill(program.pid, SIGTERM);
        program.Pump(watch, asked + quitTimeoutNs, [&] { return !program.IsRunning(); });
        if (!program.IsRunning())
            run.quitMs = Ms(asked, program.exitNs);
    } else {
        std::printf("  the program ended by itself after %.0f ms (status %d); its last output:\n%s",
                    Ms(start, program.exitNs), program.exitStatus, program.lastLines.c_str());
    }
    if (program.IsRunning())
        std::printf("  the program did not quit within 10 s of SIGTERM: killed\n");
    else if (!WIFEXITED(program.exitStatus) || WEXITSTATUS(program.exitStatus) != 0)
        std::printf("  exit status %d (signal %d)\n",
                    WIFEXITED(program.exitStatus) ? WEXITSTATUS(program.exitStatus) : -1,
                    WIFSIGNALED(program.exitStatus) ? WTERMSIG(program.exitStatus) : 0);

    run.splashMs = program.splashNs ? Ms(start, program.splashNs) : missing;
    run.homeMs = program.homeNs ? Ms(start, program.homeNs) : missing;
    run.firstMapMs = watch.firstMapNs ? Ms(start, watch.firstMapNs) : missing;
    run.mainMapMs = watch.bigMapNs ? Ms(start, watch.bigMapNs) : missing;
    run.firstPixelsMs = watch.first.pixelsNs ? Ms(start, watch.first.pixelsNs) : missing;
    run.mainPixelsMs = watch.main.pixelsNs ? Ms(start, watch.main.pixelsNs) : missing;
    return run;
}

struct Summary
{
    double p50 = missing, p99 = missing;
    int missed = 0;
};

Summary Summarise(const std::vector<Run>& runs, double Run::*figure)
{
    std::vector<double> values;
    Summary summary;
    for (const Run& run : runs) {
        if (std::isnan(run.*figure))
            ++summary.missed;
        else
            values.push_back(run.*figure);
    }
    if (!values.empty()) {
        summary.p50 = Bench::Percentile(values, 0.5);
        summary.p99 = Bench::Percentile(values, 0.99);
    }
    return summary;
}

} // namespace
int main(int argc, char** argv)
{
    int runs = 10;
    double idleSeconds = 10;
    std::string program = CANTORELA_BINARY;
    bool verbose = false;
    long historyRecords = 0;
    bool reordered = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--idle-seconds" && i + 1 < argc)
            idleSeconds = std::max(1.0, std::atof(argv[++i]));
        else if (arg == "--program" && i + 1 < argc)
            program = argv[++i];
        else if (arg == "--verbose")
            verbose = true;
        else if (arg == "--history-records" && i + 1 < argc)
            historyRecords = std::max(0L, std::atol(argv[++i]));
        else if (arg == "--reordered")
            reordered = true;
        else {
            std::fprintf(stderr, "usage: startup [--runs N] [--idle-seconds S] [--program PATH] [--verbose] "
                                 "[--history-records N [--reordered]]\n");
            return 2;
        }
    }
    QTemporaryDir seedFolder;
    if (historyRecords > 0) {
        seedHistory = (seedFolder.path() + QStringLiteral("/stats.xml")).toStdString();
        if (!WriteHistory(seedHistory, historyRecords, reordered)) {
            std::fprintf(stderr, "startup: cannot write the history\n");
            return 1;
        }
        std::printf("starting with a history of %ld records (%.0f MB)%s\n", historyRecords,
                    double(QFileInfo(QString::fromStdString(seedHistory)).size()) / 1e6,
                    reordered ? ", attributes in another order" : "");
    }
    std::signal(SIGPIPE, SIG_IGN);

    Bench::XServer server;
    if (server.display.empty()) {
        std::fprintf(stderr, "startup: Xvfb did not start\n");
        return 1;
    }
    Bench::MapWatch watch(server.display);
    std::printf("%s on Xvfb %s (1366x768x24), %d fresh starts, idle CPU over %.0f s; X map watch %s\n",
                program.c_str(), server.display.c_str(), runs, idleSeconds,
                watch.IsWatching() ? "on" : "unavailable");

    std::vector<Run> results;
    for (int i = 0; i < runs; ++i) {
        const Run run = StartOnce(program, server.display, watch, idleSeconds, verbose);
        std::printf(
            "run %2d: splash-painted %.1f ms (X: mapped %.1f, drawn %.1f), home-painted %.1f ms (X: main "
            "window mapped %.1f, drawn %.1f), rss %.1f MiB (anonymous %.1f, files %.1f), idle cpu %.3f %% "
            "(stat) %.3f %% (schedstat), "
            "quit %.0f ms\n",
            i + 1, run.splashMs, run.firstMapMs, run.firstPixelsMs, run.homeMs, run.mainMapMs,
            run.mainPixelsMs, run.rssMiB, run.anonymousMiB, run.fileMiB, run.idleStatPct, run.idleSchedPct,
            run.quitMs);
        std::fflush(stdout);
        results.push_back(run);
    }

    std::printf("over %d starts (p99 of so few is the largest):\n", runs);
    const struct
    {
        const char* name;
        double Run::*figure;
        const char* unit;
    } rows[] = {{"splash-painted", &Run::splashMs, "ms"},
                {"first window mapped (X)", &Run::firstMapMs, "ms"},
                {"first window drawn (X)", &Run::firstPixelsMs, "ms"},
                {"home-painted", &Run::homeMs, "ms"},
                {"main window mapped (X)", &Run::mainMapMs, "ms"},
                {"main window drawn (X)", &Run::mainPixelsMs, "ms"},
                {"rss at 3 s", &Run::rssMiB, "MiB"},
                {"  of it anonymous", &Run::anonymousMiB, "MiB"},
                {"  of it files", &Run::fileMiB, "MiB"},
                {"idle cpu (stat)", &Run::idleStatPct, "%"},
                {"idle cpu (schedstat)", &Run::idleSchedPct, "%"},
                {"peak rss", &Run::peakMiB, "MiB"},
                {"quit after SIGTERM", &Run::quitMs, "ms"}};
    for (const auto& row : rows) {
        const Summary s = Summarise(results, row.figure);
        std::printf("  %-22s p50 %.3f %s, p99 %.3f %s, missing %d\n", row.name, s.p50, row.unit, s.p99,
                    row.unit, s.missed);
    }
    const Summary precise = Summarise(results, &Run::idleSchedPct);
    const double idle = precise.missed < runs ? precise.p50 : Summarise(results, &Run::idleStatPct).p50;
    std::printf("startup first_window_p50_ms=%.1f home_painted_p50_ms=%.1f rss_mb=%.1f idle_cpu_pct=%.3f\n",
                Summarise(results, &Run::splashMs).p50, Summarise(results, &Run::homeMs).p50,
                Summarise(results, &Run::rssMiB).p50, idle);
    return 0;
}

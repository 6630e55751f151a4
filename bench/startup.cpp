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

#include "bench_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#ifdef CANTORELA_BENCH_XCB
#include <xcb/xcb.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr double missing = std::numeric_limits<double>::quiet_NaN();
constexpr qint64 msNs = 1000000;
constexpr qint64 secondNs = 1000 * msNs;
constexpr qint64 stampTimeoutNs = 10 * secondNs;
constexpr qint64 rssAfterNs = 3 * secondNs;
constexpr qint64 quitTimeoutNs = 10 * secondNs;

qint64 NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * secondNs + now.tv_nsec;
}

double Ms(qint64 from, qint64 to)
{
    return from > 0 && to > 0 ? double(to - from) / double(msNs) : missing;
}

std::string ReadFile(const std::string& path)
{
    std::string text;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return text;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(got));
    close(fd);
    return text;
}

// A field of /proc/<pid>/status given in kB ("VmRSS:"), in MiB, or nan.
double StatusMiB(pid_t pid, const char* field)
{
    const std::string status = ReadFile("/proc/" + std::to_string(pid) + "/status");
    const size_t at = status.find(field);
    if (at == std::string::npos)
        return missing;
    return std::strtod(status.c_str() + at + std::strlen(field), nullptr) / 1024.0;
}

// utime + stime of `pid` (all its threads, living and ended) in seconds, or nan.
double CpuSecondsFromStat(pid_t pid)
{
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return missing;
    // After the command name: state is field 3; utime and stime are fields 14 and 15.
    const char* p = stat.c_str() + close + 2;
    unsigned long long utime = 0, stime = 0;
    for (int field = 3; field <= 15 && *p; ++field) {
        char* end = nullptr;
        if (field == 14)
            utime = std::strtoull(p, &end, 10);
        else if (field == 15)
            stime = std::strtoull(p, &end, 10);
        const char* space = std::strchr(p, ' ');
        if (!space)
            break;
        p = space + 1;
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

// The summed run times of the living threads of `pid` in seconds, or nan.
double CpuSecondsFromSchedstat(pid_t pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    if (!tasks.exists())
        return missing;
    double seconds = 0;
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const std::string text = ReadFile(tasks.filePath(task).toStdString() + "/schedstat");
        seconds += std::strtod(text.c_str(), nullptr) / 1e9;
    }
    return seconds;
}

std::vector<char*> CStrings(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(&s[0]);
    pointers.push_back(nullptr);
    return pointers;
}

// An X server of the bench's own, ready when the constructor returns with a display name.
class XServer
{
public:
    XServer()
    {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        fcntl(ready[0], F_SETFD, FD_CLOEXEC);
        std::vector<std::string> args = {"Xvfb",      "-displayfd", std::to_string(ready[1]),
                                         "-screen",   "0",          "1366x768x24",
                                         "-nolisten", "tcp",        "-noreset",
                                         "-br"};
        std::vector<char*> argv = CStrings(args);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int failed = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(ready[1]);
        if (failed != 0) {
            pid = 0;
            close(ready[0]);
            return;
        }
        // Xvfb writes its display number and a newline once it accepts clients.
        std::string number;
        const qint64 deadline = NowNs() + stampTimeoutNs;
        while (NowNs() < deadline && number.find('\n') == std::string::npos) {
            pollfd fd{ready[0], POLLIN, 0};
            if (poll(&fd, 1, 100) <= 0)
                continue;
            char buffer[32];
            const ssize_t got = read(ready[0], buffer, sizeof buffer);
            if (got <= 0)
                break;
            number.append(buffer, size_t(got));
        }
        close(ready[0]);
        if (number.find('\n') != std::string::npos)
            display = ":" + number.substr(0, number.find('\n'));
    }
    ~XServer()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    // Empty when the server did not start.
    std::string display;

private:
    pid_t pid = 0;
};

// Watches the root window of the display for windows being created, resized and mapped.
class MapWatch
{
public:
    explicit MapWatch(const std::string& display)
    {
#ifdef CANTORELA_BENCH_XCB
        connection = xcb_connect(display.c_str(), nullptr);
        if (xcb_connection_has_error(connection)) {
            xcb_disconnect(connection);
            connection = nullptr;
            return;
        }
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_void_cookie_t cookie =
            xcb_change_window_attributes_checked(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            free(error);
            xcb_disconnect(connection);
            connection = nullptr;
        }
#else
        (void)display;
#endif
    }
    ~MapWatch()
    {
#ifdef CANTORELA_BENCH_XCB
        if (connection)
            xcb_disconnect(connection);
#endif
    }
    bool IsWatching() const
    {
        return FileDescriptor() >= 0;
    }
    int FileDescriptor() const
    {
#ifdef CANTORELA_BENCH_XCB
        return connection ? xcb_get_file_descriptor(connection) : -1;
#else
        return -1;
#endif
    }
    void Reset()
    {
        sizes.clear();
        firstMapNs = bigMapNs = 0;
        first = main = Shown();
    }
    // Whether a mapped window is waiting for its first pixels: then CheckPixels() wants calling
    // every millisecond or two.
    bool IsWaitingForPixels() const
    {
        return first.IsWaiting() || main.IsWaiting();
    }
    // Looks whether the mapped windows show anything yet: the root is black and the program's
    // windows have no background of their own, so a window shows black until the program has
    // drawn into it. A few small patches spread over the window are enough to tell.
    void CheckPixels()
    {
        CheckPixels(first);
        CheckPixels(main);
    }
    // Reads whatever events have arrived, stamping maps with the time they are read.
    void Read()
    {
#ifdef CANTORELA_BENCH_XCB
        if (!connection)
            return;
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const qint64 now = NowNs();
            switch (event->response_type & ~0x80) {
            case XCB_CREATE_NOTIFY: {
                const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
                sizes[created->window] = {created->width, created->height};
                break;
            }
            case XCB_CONFIGURE_NOTIFY: {
                const auto* configured = reinterpret_cast<xcb_configure_notify_event_t*>(event);
                sizes[configured->window] = {configured->width, configured->height};
                break;
            }
            case XCB_MAP_NOTIFY: {
                const auto* mapped = reinterpret_cast<xcb_map_notify_event_t*>(event);
                const auto size = sizes.find(mapped->window);
                const std::pair<int, int> extent = size != sizes.end() ? size->second : std::make_pair(0, 0);
                if (firstMapNs == 0) {
                    firstMapNs = now;
                    first = {mapped->window, extent.first, extent.second, 0};
                }
                if (bigMapNs == 0 && extent.first >= 1000 && extent.second >= 600) {
                    bigMapNs = now;
                    main = {mapped->window, extent.first, extent.second, 0};
                }
                break;
            }
            default:
                break;
            }
            free(event);
        }
#endif
    }

    // A mapped window and when its first non-black pixels were seen.
    struct Shown
    {
        uint32_t window = 0;
        int width = 0, height = 0;
        qint64 pixelsNs = 0;
        bool IsWaiting() const { return window != 0 && pixelsNs == 0; }
    };

    qint64 firstMapNs = 0;
    qint64 bigMapNs = 0;
    // The first window mapped (the splash) and the first large one (the main window).
    Shown first, main;

private:
    void CheckPixels(Shown& shown)
    {
#ifdef CANTORELA_BENCH_XCB
        if (!connection || !shown.IsWaiting() || shown.width < 8 || shown.height < 8)
            return;
        constexpr int patch = 8;
        xcb_get_image_cookie_t cookies[9];
        for (int i = 0; i < 9; ++i) {
            const int x = (shown.width - patch) * (1 + 2 * (i % 3)) / 6;
            const int y = (shown.height - patch) * (1 + 2 * (i / 3)) / 6;
            cookies[i] = xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, shown.window, int16_t(x),
                                       int16_t(y), patch, patch, ~0u);
        }
        bool drawn = false;
        for (xcb_get_image_cookie_t cookie : cookies) {
            xcb_generic_error_t* error = nullptr;
            xcb_get_image_reply_t* reply = xcb_get_image_reply(connection, cookie, &error);
            free(error);
            if (!reply)
                continue;
            // 24-bit pixels in 32-bit units; the top byte is padding.
            const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply));
            const int count = xcb_get_image_data_length(reply) / 4;
            for (int p = 0; p < count && !drawn; ++p)
                drawn = (pixels[p] & 0xffffffu) != 0;
            free(reply);
        }
        if (drawn)
            shown.pixelsNs = NowNs();
#else
        (void)shown;
#endif
    }

#ifdef CANTORELA_BENCH_XCB
    xcb_connection_t* connection = nullptr;
#endif
    std::map<uint32_t, std::pair<int, int>> sizes;
};

// One start of the program: its process, its standard error read line by line for the stamps.
class Program
{
public:
    Program(const std::string& path, const std::string& display, const std::string& home, bool echo)
        : echo(echo)
    {
        int err[2];
        if (pipe2(err, O_CLOEXEC) != 0)
            return;
        std::vector<std::string> env;
        const char* replaced[] = {"HOME=",
                                  "XDG_CONFIG_HOME=",
                                  "XDG_DATA_HOME=",
                                  "XDG_CACHE_HOME=",
                                  "XDG_STATE_HOME=",
                                  "DISPLAY=",
                                  "WAYLAND_DISPLAY=",
                                  "QT_QPA_PLATFORM=",
                                  "QT_SCALE_FACTOR=",
                                  "QT_LOGGING_RULES=",
                                  "CANTORELA_SERVICES_URL=",
                                  "JACK_NO_START_SERVER="};
        for (char** variable = environ; *variable; ++variable) {
            const bool replace =
                std::any_of(std::begin(replaced), std::end(replaced), [&](const char* prefix) {
                    return std::strncmp(*variable, prefix, std::strlen(prefix)) == 0;
                });
            if (!replace)
                env.emplace_back(*variable);
        }
        env.push_back("HOME=" + home);
        env.push_back("DISPLAY=" + display);
        env.push_back("QT_QPA_PLATFORM=xcb");
        env.push_back("QT_LOGGING_RULES=cantorela.startup.info=true");
        env.push_back("CANTORELA_SERVICES_URL=");
        env.push_back("JACK_NO_START_SERVER=1");
        std::vector<std::string> args = {path};
        std::vector<char*> argv = CStrings(args);
        std::vector<char*> envp = CStrings(env);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addchdir_np(&actions, home.c_str());
        spawnNs = NowNs();
        const int failed = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        close(err[1]);
        if (failed != 0) {
            std::fprintf(stderr, "startup: cannot start %s: %s\n", path.c_str(), std::strerror(failed));
            pid = 0;
            close(err[0]);
            return;
        }
        errorOutput = err[0];
    }
    ~Program()
    {
        if (IsRunning()) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (errorOutput >= 0)
            close(errorOutput);
    }
    bool IsRunning() const { return pid > 0 && exitNs == 0; }

    // Serves the program's standard error and the map watch until `done` holds, the time
    // `untilNs` comes or the program has ended. Returns `done()`.
    bool Pump(MapWatch& watch, qint64 untilNs, const std::function<bool()>& done)
    {
        while (!done()) {
            watch.Read();
            watch.CheckPixels();
            CheckExit();
            if (done())
                return true;
            const qint64 now = NowNs();
            if (now >= untilNs || (!IsRunning() && errorOutput < 0))
                return done();
            pollfd fds[2];
            nfds_t count = 0;
            if (errorOutput >= 0)
                fds[count++] = {errorOutput, POLLIN, 0};
            if (watch.IsWatching())
                fds[count++] = {watch.FileDescriptor(), POLLIN, 0};
            // Wakes at least every 20 ms to notice the program's end, every millisecond while
            // a window waits for its first pixels.
            const qint64 wakeMs = watch.IsWaitingForPixels() ? 1 : 20;
            const int timeoutMs = int(std::min<qint64>(wakeMs, (untilNs - now + msNs - 1) / msNs));
            if (poll(fds, count, timeoutMs) > 0 && errorOutput >= 0 && (fds[0].revents & (POLLIN | POLLHUP)))
                ReadErrorOutput();
        }
        return true;
    }

    pid_t pid = 0;
    qint64 spawnNs = 0;
    qint64 splashNs = 0;
    qint64 homeNs = 0;
    qint64 exitNs = 0;
    int exitStatus = 0;
    int lines = 0;
    std::string lastLines;

private:
    void CheckExit()
    {
        if (!IsRunning())
            return;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exitNs = NowNs();
            exitStatus = status;
        }
    }

    void ReadErrorOutput()
    {
        char buffer[4096];
        const ssize_t got = read(errorOutput, buffer, sizeof buffer);
        if (got <= 0) {
            close(errorOutput);
            errorOutput = -1;
            return;
        }
        pending.append(buffer, size_t(got));
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            Line(pending.substr(0, end));
            pending.erase(0, end + 1);
        }
    }

    void Line(const std::string& line)
    {
        ++lines;
        if (echo)
            std::fprintf(stderr, "    | %s\n", line.c_str());
        lastLines += line + "\n";
        if (lastLines.size() > 2000)
            lastLines.erase(0, lastLines.size() - 2000);
        Stamp(line, "splash-painted monotonic_ns=", splashNs);
        Stamp(line, "home-painted monotonic_ns=", homeNs);
    }

    static void Stamp(const std::string& line, const char* key, qint64& ns)
    {
        const size_t at = line.find(key);
        if (at != std::string::npos && ns == 0)
            ns = qint64(std::strtoull(line.c_str() + at + std::strlen(key), nullptr, 10));
    }

    bool echo;
    int errorOutput = -1;
    std::string pending;
};

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

Run StartOnce(const std::string& path, const std::string& display, MapWatch& watch, double idleSeconds,
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
    Program program(path, display, home.path().toStdString(), verbose);
    if (program.pid <= 0)
        return run;
    const qint64 start = program.spawnNs;

    program.Pump(watch, start + stampTimeoutNs, [&] {
        return program.splashNs && program.homeNs &&
               (!watch.IsWatching() || (watch.first.pixelsNs && watch.main.pixelsNs));
    });
    program.Pump(watch, start + rssAfterNs, [] { return false; });
    if (program.IsRunning()) {
        run.rssMiB = StatusMiB(program.pid, "VmRSS:");
        run.anonymousMiB = StatusMiB(program.pid, "RssAnon:");
        run.fileMiB = StatusMiB(program.pid, "RssFile:");
    }

    const qint64 idleFrom = std::max(start + rssAfterNs, program.homeNs ? program.homeNs + secondNs : 0);
    program.Pump(watch, idleFrom, [] { return false; });
    if (program.IsRunning()) {
        const qint64 from = NowNs();
        const double statFrom = CpuSecondsFromStat(program.pid);
        const double schedFrom = CpuSecondsFromSchedstat(program.pid);
        program.Pump(watch, from + qint64(idleSeconds * double(secondNs)), [] { return false; });
        if (program.IsRunning()) {
            const double statTo = CpuSecondsFromStat(program.pid);
            const double schedTo = CpuSecondsFromSchedstat(program.pid);
            const double wall = double(NowNs() - from) / double(secondNs);
            run.idleStatPct = 100.0 * (statTo - statFrom) / wall;
            run.idleSchedPct = 100.0 * (schedTo - schedFrom) / wall;
        }
    }

    if (program.IsRunning()) {
        run.peakMiB = StatusMiB(program.pid, "VmHWM:");
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

    XServer server;
    if (server.display.empty()) {
        std::fprintf(stderr, "startup: Xvfb did not start\n");
        return 1;
    }
    MapWatch watch(server.display);
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

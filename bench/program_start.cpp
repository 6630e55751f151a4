#include "program_start.h"

#include "map_watch.h"
#include "startup_support.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace Bench {

ProgramStart::ProgramStart(const std::string& path, const std::string& display, const std::string& home,
                           bool echo)
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
        const bool replace = std::any_of(std::begin(replaced), std::end(replaced), [&](const char* prefix) {
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

ProgramStart::~ProgramStart()
{
    if (IsRunning()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (errorOutput >= 0)
        close(errorOutput);
}

bool ProgramStart::Pump(MapWatch& watch, qint64 untilNs, const std::function<bool()>& done)
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

void ProgramStart::CheckExit()
{
    if (!IsRunning())
        return;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
        exitNs = NowNs();
        exitStatus = status;
    }
}

void ProgramStart::ReadErrorOutput()
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

void ProgramStart::Line(const std::string& line)
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

void ProgramStart::Stamp(const std::string& line, const char* key, qint64& ns)
{
    const size_t at = line.find(key);
    if (at != std::string::npos && ns == 0)
        ns = qint64(std::strtoull(line.c_str() + at + std::strlen(key), nullptr, 10));
}

} // namespace Bench

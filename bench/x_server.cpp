#include "x_server.h"

#include "startup_support.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace Bench {

namespace {

// How long Xvfb may take to accept clients.
constexpr qint64 readyTimeoutNs = 10 * secondNs;

} // namespace

XServer::XServer()
{
    int ready[2];
    if (pipe(ready) != 0)
        return;
    fcntl(ready[0], F_SETFD, FD_CLOEXEC);
    std::vector<std::string> args = {
        "Xvfb",     "-displayfd", std::to_string(ready[1]), "-screen", "0", "1366x768x24", "-nolisten", "tcp",
        "-noreset", "-br"};
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
    const qint64 deadline = NowNs() + readyTimeoutNs;
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

XServer::~XServer()
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

} // namespace Bench

#include "process_figures.h"

#include "startup_support.h"

#include <QDir>
#include <QString>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace Bench {

namespace {

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

} // namespace

double StatusMiB(pid_t pid, const char* field)
{
    const std::string status = ReadFile("/proc/" + std::to_string(pid) + "/status");
    const size_t at = status.find(field);
    if (at == std::string::npos)
        return missing;
    return std::strtod(status.c_str() + at + std::strlen(field), nullptr) / 1024.0;
}

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

} // namespace Bench

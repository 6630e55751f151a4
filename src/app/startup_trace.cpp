#include "app/startup_trace.h"

#include <QLoggingCategory>

#include <ctime>

Q_LOGGING_CATEGORY(startupLog, "cantorela.startup", QtWarningMsg)

namespace App {
namespace StartupTrace {

void mark(const char* moment)
{
    if (!startupLog().isInfoEnabled())
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long ns = (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
    qCInfo(startupLog, "%s monotonic_ns=%lld", moment, ns);
}

} // namespace StartupTrace
} // namespace App

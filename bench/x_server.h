#pragma once
// An X server of the bench's own (Xvfb, 1366 × 768 × 24, no window manager), ready when the
// constructor returns with a display name; stopped again on destruction.

#include <string>
#include <sys/types.h>

namespace Bench {

class XServer
{
public:
    XServer();
    ~XServer();
    // Empty when the server did not start.
    std::string display;

private:
    pid_t pid = 0;
};

} // namespace Bench

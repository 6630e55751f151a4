#pragma once
// What the parts of the start-up benchmark share: its clock (CLOCK_MONOTONIC in nanoseconds, the
// clock of the program's own stamps), the figure of a missing measurement, and the argument and
// environment lists posix_spawn takes.

#include <QtGlobal>

#include <ctime>
#include <limits>
#include <string>
#include <vector>

namespace Bench {

constexpr double missing = std::numeric_limits<double>::quiet_NaN();
constexpr qint64 msNs = 1000000;
constexpr qint64 secondNs = 1000 * msNs;

inline qint64 NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * secondNs + now.tv_nsec;
}

// Pointers to the strings, ending in a null pointer; valid while `strings` is unchanged.
inline std::vector<char*> CStrings(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(&s[0]);
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace Bench

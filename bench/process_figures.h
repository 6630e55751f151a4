#pragma once
// What /proc tells of a running process: its memory and the CPU time it used.

#include <sys/types.h>

namespace Bench {

// A field of /proc/<pid>/status given in kB ("VmRSS:"), in MiB, or nan.
double StatusMiB(pid_t pid, const char* field);
// utime + stime of `pid` (all its threads, living and ended) in seconds, or nan.
double CpuSecondsFromStat(pid_t pid);
// The summed run times of the living threads of `pid` in seconds, or nan.
double CpuSecondsFromSchedstat(pid_t pid);

} // namespace Bench

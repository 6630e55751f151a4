#pragma once
// Marks the moments of start-up that a person waits for (the splash painted, the home screen
// painted) on the logging category "cantorela.startup", off unless enabled with
// QT_LOGGING_RULES="cantorela.startup.info=true". Each line carries the monotonic clock, so
// that a benchmark that started the program can tell how long each moment took:
//   cantorela.startup: home-painted monotonic_ns=123456789

namespace App {
namespace StartupTrace {

void mark(const char* moment);

} // namespace StartupTrace
} // namespace App

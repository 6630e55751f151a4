#pragma once
// One start of the program under test: its process, spawned with a home folder of its own on the
// bench's X server, and its standard error read line by line for the stamps it logs.

#include <QtGlobal>

#include <functional>
#include <string>
#include <sys/types.h>

namespace Bench {

class MapWatch;

class ProgramStart
{
public:
    ProgramStart(const std::string& path, const std::string& display, const std::string& home, bool echo);
    // Kills the program if it still runs.
    ~ProgramStart();
    bool IsRunning() const { return pid > 0 && exitNs == 0; }

    // Serves the program's standard error and the map watch until `done` holds, the time
    // `untilNs` comes or the program has ended. Returns `done()`.
    bool Pump(MapWatch& watch, qint64 untilNs, const std::function<bool()>& done);

    pid_t pid = 0;
    qint64 spawnNs = 0;
    qint64 splashNs = 0;
    qint64 homeNs = 0;
    qint64 exitNs = 0;
    int exitStatus = 0;
    int lines = 0;
    std::string lastLines;

private:
    void CheckExit();
    void ReadErrorOutput();
    void Line(const std::string& line);
    static void Stamp(const std::string& line, const char* key, qint64& ns);

    bool echo;
    int errorOutput = -1;
    std::string pending;
};

} // namespace Bench

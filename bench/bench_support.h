#pragma once
// Small helpers shared by the MIDI and sound benchmarks: percentiles, busy cores, and a JACK
// server of their own when none is named in the environment.

#include <QProcess>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <unistd.h>
#include <vector>

namespace Bench {

inline double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

// Keeps `count` threads spinning while alive.
class BusyCores
{
public:
    explicit BusyCores(int count)
    {
        for (int i = 0; i < count; ++i)
            threads.emplace_back([this] {
                volatile unsigned long sink = 0;
                while (!stop.load(std::memory_order_relaxed))
                    sink = sink + 1;
            });
    }
    ~BusyCores()
    {
        stop = true;
        for (auto& t : threads)
            t.join();
    }

private:
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
};

// Starts scripts/jack-test-server.sh under a name of this process unless JACK_DEFAULT_SERVER is
// set already; stops it again on destruction. 64-frame periods (1.3 ms), as a student's
// low-latency set-up has them: the figures are measured on a quiet machine. The script also
// watches this process and stops the server once it is gone: an uncaught RtMidiError, a signal,
// qFatal or std::exit never reach the destructor.
class JackServer
{
public:
    JackServer()
    {
        setenv("JACK_NO_START_SERVER", "1", 1);
        if (getenv("JACK_DEFAULT_SERVER"))
            return;
        name = QStringLiteral("cantorela-bench-%1").arg(getpid());
        state = QStringLiteral("/tmp/%1/jackd.pid").arg(name);
        if (QProcess::execute(
                QStringLiteral(CANTORELA_SOURCE_DIR "/scripts/jack-test-server.sh"),
                {QStringLiteral("start"), name, state, QStringLiteral("64"), QString::number(getpid())}) != 0)
            return;
        setenv("JACK_DEFAULT_SERVER", name.toUtf8().constData(), 1);
        started = true;
    }
    ~JackServer()
    {
        if (started)
            QProcess::execute(QStringLiteral(CANTORELA_SOURCE_DIR "/scripts/jack-test-server.sh"),
                              {QStringLiteral("stop"), name, state});
    }

private:
    QString name, state;
    bool started = false;
};

} // namespace Bench

// How late the 1 ms timer calls its observers, and what its thread costs.
//
//   timer_jitter [--load] [--seconds N]
//
// Lateness is measured at callback entry against the deadline of the tick on the ideal 1 ms
// grid. --load keeps every core busy with spinning threads while measuring. The last line is
//   timer_jitter p50_ms=... p99_ms=... max_ms=... cpu_pct=...

#include "core/timing/timer.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include <pthread.h>
#include <time.h>

namespace {

quint64 CpuNs(clockid_t clock)
{
    timespec t;
    clock_gettime(clock, &t);
    return quint64(t.tv_sec) * 1000000000ull + quint64(t.tv_nsec);
}

class LatenessProbe : public Core::MultimediaTimerObserver
{
public:
    explicit LatenessProbe(size_t capacity) { lateNs.reserve(capacity); }

    void OnTimer(quint64) override
    {
        const quint64 now = Core::Timer::NowNs();
        const quint64 deadline = Core::Timer::CurrentDeadlineNs();
        if (lateNs.size() < lateNs.capacity())
            lateNs.push_back(now >= deadline ? now - deadline : 0);
        if (!haveClock.load(std::memory_order_relaxed)) {
            // The timer thread's CPU clock, read from the main thread: no extra system call per tick.
            pthread_getcpuclockid(pthread_self(), &timerThreadClock);
            haveClock.store(true, std::memory_order_release);
        }
    }

    std::vector<quint64> lateNs;
    clockid_t timerThreadClock{};
    std::atomic<bool> haveClock{false};
};

double Percentile(std::vector<quint64> sorted, double p)
{
    if (sorted.empty())
        return 0;
    std::sort(sorted.begin(), sorted.end());
    const size_t index = std::min(sorted.size() - 1, size_t(p * double(sorted.size() - 1) + 0.5));
    return double(sorted[index]) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool load = args.contains("--load");
    int seconds = 10;
    const int at = args.indexOf("--seconds");
    if (at >= 0 && at + 1 < args.size())
        seconds = std::max(1, args[at + 1].toInt());

    std::atomic<bool> stop{false};
    std::vector<std::thread> spinners;
    if (load) {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < cores; ++i)
            spinners.emplace_back([&] {
                volatile quint64 x = 0;
                while (!stop.load(std::memory_order_relaxed))
                    x = x + 1;
            });
    }

    LatenessProbe probe(size_t(seconds) * 1000 + 1000);
    Core::Timer::Attach(&probe);
    while (!probe.haveClock.load(std::memory_order_acquire))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const quint64 cpuStart = CpuNs(probe.timerThreadClock);
    const quint64 wallStart = Core::Timer::NowNs();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const quint64 cpuEnd = CpuNs(probe.timerThreadClock);
    const quint64 wallEnd = Core::Timer::NowNs();
    Core::Timer::Detach(&probe);
    stop = true;
    for (auto& t : spinners)
        t.join();

    const double cpuPct = 100.0 * double(cpuEnd - cpuStart) / double(wallEnd - wallStart);
    std::printf("mode=%s ticks=%zu realtime=%s seconds=%d\n", load ? "loaded" : "idle", probe.lateNs.size(),
                Core::Timer::IsRealTime() ? "yes" : "no", seconds);
    std::printf("timer_jitter p50_ms=%.3f p99_ms=%.3f max_ms=%.3f cpu_pct=%.2f\n", Percentile(probe.lateNs, 0.50),
                Percentile(probe.lateNs, 0.99), Percentile(probe.lateNs, 1.0), cpuPct);
    return 0;
}

#include "core/exercise/statistics_saver.h"

#include <QLoggingCategory>

#include <system_error>

// The statistics store's category (exercise_statistics.cpp): the saver is part of that module.
Q_DECLARE_LOGGING_CATEGORY(statisticsLog)

namespace Core {

StatisticsSaver::StatisticsSaver(std::function<void()> saveFunction) : save(std::move(saveFunction)) {}

StatisticsSaver::~StatisticsSaver()
{
    Stop();
}

void StatisticsSaver::SaveSoon()
{
    Request(false);
}

void StatisticsSaver::SaveNow()
{
    Request(true);
}

void StatisticsSaver::Request(bool now)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (stopping)
        return;
    // The worker needs waking only when this request changes what it waits for; answers in a
    // burst after the first cost no system call.
    bool wakeWorker = false;
    if (!pending) {
        pending = true;
        due = Clock::now() + CoalesceDelay;
        wakeWorker = true;
    }
    if (now && !urgent) {
        urgent = true;
        wakeWorker = true;
    }
    if (!wakeWorker && worker.joinable())
        return;
    if (!worker.joinable()) {
        try {
            worker = std::thread([this] { Run(); });
        } catch (const std::system_error& error) {
            // The request stays pending: the next one tries again, and the owner writes what is
            // left when it goes.
            qCWarning(statisticsLog) << "statistics saver thread not started:" << error.what();
            return;
        }
    }
    wake.notify_one();
}

void StatisticsSaver::Stop()
{
    std::thread finished;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        pending = false;
        urgent = false;
        finished = std::move(worker);
    }
    wake.notify_one();
    if (finished.joinable())
        finished.join();
}

// Worker thread.
void StatisticsSaver::Run()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        if (stopping)
            return;
        if (!pending) {
            wake.wait(lock);
            continue;
        }
        if (!urgent && Clock::now() < due) {
            wake.wait_until(lock, due);
            continue;
        }
        pending = false;
        urgent = false;
        lock.unlock();
        save();
        lock.lock();
    }
}

} // namespace Core

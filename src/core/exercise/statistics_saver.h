#pragma once
// Runs the statistics store's save on a thread of its own, so that an answer never waits for the
// disk and a crash loses at most the last moments of a lesson. Owned by Core::ExerciseStatistics:
// the exercise asks for a save after every judged answer (SaveSoon) and at the end of a section
// (SaveNow); the store's destructor stops the saver and writes what is left itself.
//
// Timing: a save starts CoalesceDelay after the first request that found none waiting, so the
// answers of a burst share one save and saves follow each other at most about once a second;
// SaveNow starts one at once. Saves never overlap: a request made during a save starts the next
// one after it (the save function decides whether anything is left to write).
//
// Threads: SaveSoon and SaveNow may be called from any thread, with any lock held (the lesson's
// lock among them): they take only the saver's own mutex, a leaf held for a few instructions,
// set a flag and wake the worker. The save function runs on the worker thread, never under that
// mutex. The worker starts with the first request; Stop (and the destructor) joins it.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace Core {

class StatisticsSaver
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds CoalesceDelay{1000};

    // save: writes the store's files; runs on the worker thread and must not throw.
    explicit StatisticsSaver(std::function<void()> save);
    ~StatisticsSaver();

    StatisticsSaver(const StatisticsSaver&) = delete;
    StatisticsSaver& operator=(const StatisticsSaver&) = delete;

    // A save within CoalesceDelay of the first unserved request. Never blocks on a save.
    void SaveSoon();
    // A save as soon as the worker is free. Never blocks on a save.
    void SaveNow();
    // Waits for a save in progress, then ends the worker; requests not yet served are dropped
    // (the owner writes what is left) and later ones are ignored. Any thread but the worker.
    void Stop();

private:
    void Request(bool urgent);
    void Run();

    const std::function<void()> save;

    std::mutex mutex; // guards everything below; never held while saving
    std::condition_variable wake;
    std::thread worker;
    bool pending = false;  // a save was asked for and has not started yet
    bool urgent = false;   // ... and should start at once
    Clock::time_point due; // when a pending save that is not urgent starts
    bool stopping = false;
};

} // namespace Core

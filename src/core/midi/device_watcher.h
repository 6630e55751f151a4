#pragma once
// Tells the sound controller when MIDI ports come or go (a USB keyboard plugged in or out, a
// program opening a port): through the ALSA sequencer's announce port when the devices use
// ALSA, through JACK's port registration when they use JACK. Our own MIDI clients are ignored.
// Each change calls SoundController::NotifyDeviceChange, which runs the device-change callback
// on the GUI thread. Owned by the sound controller.
//
// A thread of its own waits for the announcements; on JACK it also connects, and reconnects,
// to the server while there is none: after two seconds, then less often, up to every 16 seconds
// (a server that appears is a change).

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace Core {

class DeviceWatcher
{
public:
    DeviceWatcher();
    ~DeviceWatcher();
    DeviceWatcher(const DeviceWatcher&) = delete;
    DeviceWatcher& operator=(const DeviceWatcher&) = delete;

private:
    void WatchAlsa();
    void WatchJack();

    std::mutex mutex; // with `wake`, for stopping the thread
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};

} // namespace Core

#pragma once
// Follows MIDI devices being plugged in and out for the main window. The sound controller's
// device-change callback (brought to the GUI thread before it gets here) starts a re-scan one
// second later; re-scans follow one second apart until the device list changes, at most
// retryCount - 1 of them, and a change is announced with devicesChanged(). A notification while
// a re-scan is under way is left to it. One watcher per process hears the callback: the one
// made last. GUI thread only.

#include <QObject>

#include <memory>

namespace Core {
class SoundController;
}

namespace UI {

class DeviceRescanner : public QObject
{
    Q_OBJECT
public:
    static constexpr int retryCount = 10;
    static constexpr int rescanIntervalMs = 1000;

    explicit DeviceRescanner(std::shared_ptr<Core::SoundController> sound, QObject* parent = nullptr);
    ~DeviceRescanner() override;

    // The sound controller's device-change callback (GUI thread): starts a re-scan unless one
    // is under way.
    static void deviceChangeHandler();

Q_SIGNALS:
    // The device list changed: the stored input may be selected again.
    void devicesChanged();

private:
    void rescan();

    std::shared_ptr<Core::SoundController> m_sound;
    int m_retriesLeft = 0;
};

} // namespace UI

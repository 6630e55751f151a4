#include "ui/device_rescanner.h"

#include "core/midi/sound_controller.h"

#include <QPointer>
#include <QTimer>

namespace UI {
namespace {

// The watcher that hears of device changes (there is one per process).
QPointer<DeviceRescanner> deviceListener;

} // namespace

DeviceRescanner::DeviceRescanner(std::shared_ptr<Core::SoundController> sound, QObject* parent)
    : QObject(parent), m_sound(std::move(sound))
{
    deviceListener = this;
    Core::SoundController::SetDeviceChangeCallback(&DeviceRescanner::deviceChangeHandler);
}

DeviceRescanner::~DeviceRescanner()
{
    if (deviceListener == this) {
        Core::SoundController::SetDeviceChangeCallback(nullptr);
        deviceListener = nullptr;
    }
}

void DeviceRescanner::deviceChangeHandler()
{
    DeviceRescanner* watcher = deviceListener;
    if (!watcher || watcher->m_retriesLeft > 0)
        return; // a re-scan is under way and will see this change too
    watcher->m_retriesLeft = retryCount;
    QTimer::singleShot(rescanIntervalMs, watcher, &DeviceRescanner::rescan);
}

void DeviceRescanner::rescan()
{
    if (m_retriesLeft > 0)
        --m_retriesLeft;
    if (m_retriesLeft == 0)
        return;
    if (m_sound && m_sound->RefreshDevices()) {
        m_retriesLeft = 0;
        Q_EMIT devicesChanged();
        return;
    }
    QTimer::singleShot(rescanIntervalMs, this, &DeviceRescanner::rescan);
}

} // namespace UI

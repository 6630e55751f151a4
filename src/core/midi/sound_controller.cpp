#include "core/midi/sound_controller.h"

#include "core/error.h"
#include "core/midi/device_watcher.h"
#include "core/midi/midi_out_rt_device.h"
#include "core/midi/midi_out_synth_device.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QStringList>

#include <atomic>

namespace Core {
namespace {
std::atomic<void (*)()> deviceChangeCallback{nullptr};
} // namespace

SoundController::SoundController() : SoundController(Options()) {}

SoundController::SoundController(const Options& options)
{
    if (options.builtInSynthesizer) {
        std::shared_ptr<Synthesizer> synthesizer = options.synthesizer ? options.synthesizer : Synthesizer::Shared();
        outputs.append(std::make_shared<MidiOutSynthDevice>(synthesizer));
    }
    RefreshDevices();
    if (options.watchDevices)
        watcher = std::make_unique<DeviceWatcher>();
}

SoundController::~SoundController()
{
    watcher.reset();
}

bool SoundController::RefreshDevices()
{
    bool changed = false;

    unsigned int count = 0;
    QStringList names;
    try {
        count = MidiInRtDevice::GetPortCount();
        countErrorLogged = false;
        names = MidiInRtDevice::GetPortNames();
    } catch (const Error& e) {
        // No MIDI system (no ALSA sequencer, no JACK server): carry on without ports.
        if (!countErrorLogged)
            qCWarning(midiLog, "no MIDI input ports: %s", qPrintable(e.Describe()));
        countErrorLogged = true;
        count = 0;
    }

    // Our own ports are listed too (each device is a client of its own); they do not count.
    QVector<unsigned int> ports;
    for (unsigned int port = 0; port < count; ++port) {
        if (int(port) >= names.size() || !MidiBackend::IsOwnPort(names[int(port)]))
            ports.append(port);
    }

    if (!inputs.isEmpty()) {
        inputs.clear(); // closes the ports
        changed = true;
    }
    if (!ports.isEmpty()) {
        for (unsigned int port : qAsConst(ports)) {
            // A port held by another program does not open and is left out.
            auto device = std::make_shared<MidiInRtDevice>(port);
            if (device->IsOpen() && !MidiBackend::IsOwnPort(device->GetPortName()))
                inputs.append(device);
        }
        changed = true;
    }

    if (!outputPortsListed) {
        outputPortsListed = true;
        const QStringList outNames = MidiOutRtDevice::GetPortNames();
        for (int port = 0; port < outNames.size(); ++port) {
            if (MidiBackend::IsOwnPort(outNames[port]))
                continue;
            outputs.append(std::make_shared<MidiOutRtDevice>(unsigned(port)));
        }
        changed = true;
    }

    currentInput = inputs.size() - 1;
    currentOutput = outputs.isEmpty() ? -1 : 0;
    return changed;
}

int SoundController::InputCount() const
{
    return inputs.size();
}

std::shared_ptr<MidiInRtDevice> SoundController::GetInputDevice(int i) const
{
    return i >= 0 && i < inputs.size() ? inputs[i] : nullptr;
}

std::shared_ptr<MidiInRtDevice> SoundController::CurrentInputDevice() const
{
    return GetInputDevice(currentInput);
}

bool SoundController::SelectInputByName(const QString& name)
{
    for (int i = 0; i < inputs.size(); ++i) {
        if (inputs[i]->GetPortName() == name) {
            currentInput = i;
            return true;
        }
    }
    return false;
}

int SoundController::OutputCount() const
{
    return outputs.size();
}

std::shared_ptr<MidiOutDevice> SoundController::GetOutputDevice(int i) const
{
    return i >= 0 && i < outputs.size() ? outputs[i] : nullptr;
}

std::shared_ptr<MidiOutDevice> SoundController::CurrentOutputDevice() const
{
    return GetOutputDevice(currentOutput);
}

void SoundController::SetDeviceChangeCallback(void (*callback)())
{
    deviceChangeCallback.store(callback);
}

void SoundController::NotifyDeviceChange()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) {
        if (auto callback = deviceChangeCallback.load())
            callback();
        return;
    }
    QMetaObject::invokeMethod(
        application,
        [] {
            if (auto callback = deviceChangeCallback.load())
                callback();
        },
        Qt::QueuedConnection);
}

} // namespace Core

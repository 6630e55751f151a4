#include "core/midi/sound_controller.h"

#include "core/audio/microphone_in_device.h"
#include "core/error.h"
#include "core/midi/device_watcher.h"
#include "core/midi/midi_in_rt_device.h"
#include "core/midi/midi_out_rt_device.h"
#include "core/midi/midi_out_synth_device.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QStringList>

#include <algorithm>
#include <atomic>

namespace Core {
namespace {
std::atomic<void (*)()> deviceChangeCallback{nullptr};
} // namespace

SoundController::SoundController() : SoundController(Options()) {}

SoundController::SoundController(const Options& options) : listMicrophones(options.microphones)
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

    QVector<std::shared_ptr<MicrophoneInDevice>> microphones;
    for (int i = midiInputs; i < inputs.size(); ++i)
        microphones.append(std::static_pointer_cast<MicrophoneInDevice>(inputs[i]));
    if (midiInputs > 0)
        changed = true;
    inputs.clear(); // closes the ports
    if (!ports.isEmpty()) {
        for (unsigned int port : qAsConst(ports)) {
            // A port held by another program does not open and is left out.
            auto device = std::make_shared<MidiInRtDevice>(port);
            if (device->IsOpen() && !MidiBackend::IsOwnPort(device->GetPortName()))
                inputs.append(device);
        }
        changed = true;
    }
    midiInputs = inputs.size();

    // The microphones: one still there keeps its device (and its stream, when it listens).
    const QVector<AudioInputDevice> capture = listMicrophones ? AudioCapture::InputDevices() : QVector<AudioInputDevice>();
    for (const AudioInputDevice& found : capture) {
        auto kept = std::find_if(microphones.begin(), microphones.end(), [&](const auto& m) {
            return m->Device().id == found.id && m->Device().displayName == found.displayName && !m->IsGone();
        });
        if (kept != microphones.end()) {
            inputs.append(*kept);
            microphones.erase(kept);
        } else {
            inputs.append(std::make_shared<MicrophoneInDevice>(found));
            changed = true;
        }
    }
    if (!microphones.isEmpty())
        changed = true; // gone, and closed once nothing listens to them any more

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

    currentInput = midiInputs - 1;
    currentOutput = outputs.isEmpty() ? -1 : 0;
    OpenCurrentMicrophoneOnly();
    return changed;
}

void SoundController::SetCurrentInputIndex(int i)
{
    currentInput = i;
    OpenCurrentMicrophoneOnly();
}

void SoundController::OpenCurrentMicrophoneOnly()
{
    for (int i = midiInputs; i < inputs.size(); ++i) {
        if (i == currentInput)
            inputs[i]->Open();
        else
            inputs[i]->Close();
    }
}

int SoundController::InputCount() const
{
    return inputs.size();
}

std::shared_ptr<MidiInDeviceBase> SoundController::GetInputDevice(int i) const
{
    return i >= 0 && i < inputs.size() ? inputs[i] : nullptr;
}

std::shared_ptr<MidiInDeviceBase> SoundController::CurrentInputDevice() const
{
    return GetInputDevice(currentInput);
}

bool SoundController::SelectInputByName(const QString& name)
{
    for (int i = 0; i < inputs.size(); ++i) {
        if (inputs[i]->GetPortName() == name) {
            SetCurrentInputIndex(i);
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

#include "core/midi/midi_in_rt_device.h"

#include "core/error.h"
#include "core/timing/timer.h"

#include <QStringList>

namespace Core {
namespace {
const char* const ErrorFile = "src/core/midi/midi_device_rt";
const char* const ClientName = "RtMidi Input Client";
const char* const PortName = "RtMidi Input";
constexpr unsigned int QueueSizeLimit = 100;
} // namespace

MidiInRtDevice::MidiInRtDevice(unsigned int port) : port(port)
{
    Open();
}

MidiInRtDevice::~MidiInRtDevice()
{
    Close();
}

unsigned int MidiInRtDevice::GetPortCount()
{
    if (MidiBackend::Api() == RtMidi::UNIX_JACK && !MidiBackend::IsJackServerRunning())
        return 0;
    try {
        RtMidiIn counter(MidiBackend::Api(), ClientName, QueueSizeLimit);
        MidiBackend::ErrorRecord errors;
        MidiBackend::RouteErrors(counter, &errors);
        const unsigned int count = counter.getPortCount();
        errors.ThrowIfFailed();
        return count;
    } catch (const RtMidiError& e) {
        throw Error(ErrorFile, "Core::MidiInRtDevice::GetPortCount", __LINE__, 0x300 + int(e.getType()),
                    QString::fromStdString(e.getMessage()));
    }
}

QStringList MidiInRtDevice::GetPortNames()
{
    QStringList names;
    if (MidiBackend::Api() == RtMidi::UNIX_JACK && !MidiBackend::IsJackServerRunning())
        return names;
    try {
        RtMidiIn lister(MidiBackend::Api(), ClientName, QueueSizeLimit);
        MidiBackend::ErrorRecord errors;
        MidiBackend::RouteErrors(lister, &errors);
        const unsigned int count = lister.getPortCount();
        for (unsigned int i = 0; i < count; ++i)
            names.append(QString::fromStdString(lister.getPortName(i)));
    } catch (const RtMidiError& e) {
        qCDebug(midiLog, "cannot list input ports: %s", e.what());
    }
    return names;
}

void MidiInRtDevice::Open()
{
    Close();
    MidiInDeviceBase::Open(); // clears the note table
    elapsed.store(0.0, std::memory_order_relaxed);

    std::lock_guard<std::mutex> guard(deviceMutex);
    try {
        auto in = std::make_shared<RtMidiIn>(MidiBackend::Api(), ClientName, QueueSizeLimit);
        MidiBackend::RouteErrors(*in, &errors);
        in->setCallback(&MidiInRtDevice::Callback, this);
        in->ignoreTypes(false, false, false);
        // RtMidi's JACK layer "opens" a port number that does not exist, connected to nothing.
        if (port >= in->getPortCount())
            throw RtMidiError("no such input port", RtMidiError::INVALID_DEVICE);
        in->openPort(port, PortName);
        errors.ThrowIfFailed();
        if (!in->isPortOpen())
            throw RtMidiError("the port did not open", RtMidiError::INVALID_DEVICE);
        portName = QString::fromStdString(in->getPortName(port));
        midiIn = std::move(in);
    } catch (const RtMidiError& e) {
        qCDebug(midiLog, "input port %u does not open: %s", port, e.what());
        midiIn.reset();
    } catch (const std::exception& e) {
        qCWarning(midiLog, "input port %u does not open: %s", port, e.what());
        midiIn.reset();
    }
}

void MidiInRtDevice::Close()
{
    std::shared_ptr<RtMidiIn> in;
    {
        std::lock_guard<std::mutex> guard(deviceMutex);
        in = std::move(midiIn);
        midiIn.reset();
    }
    if (!in)
        return;
    try {
        in->cancelCallback();
        in->closePort();
    } catch (const RtMidiError& e) {
        qCDebug(midiLog, "closing input port %u: %s", port, e.what());
    }
    // Destroying the RtMidi object stops its input thread; no callback runs after this.
    in.reset();
}

bool MidiInRtDevice::IsOpen()
{
    std::lock_guard<std::mutex> guard(deviceMutex);
    return midiIn != nullptr;
}

QString MidiInRtDevice::GetPortName()
{
    std::lock_guard<std::mutex> guard(deviceMutex);
    return portName;
}

void MidiInRtDevice::Callback(double deltaSeconds, std::vector<unsigned char>* bytes, void* self)
{
    auto* device = static_cast<MidiInRtDevice*>(self);
    const quint64 entry = Timer::NowNs();
    device->callbackEntryNs.store(entry, std::memory_order_relaxed);
    if (!bytes || bytes->empty())
        return;
    const double before = device->elapsed.load(std::memory_order_relaxed);
    const auto tick = qint32(before * MidiEvent::TicksPerSecond);
    const double now = before + deltaSeconds;
    device->elapsed.store(now, std::memory_order_relaxed);
    const MidiMessage message(bytes->data(), int(bytes->size()));
    device->Receive(MidiEvent{message, tick, now, entry});
}

} // namespace Core

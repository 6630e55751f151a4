#include "core/midi/midi_out_rt_device.h"

#include <QStringList>

namespace Core {
namespace {
const char* const ClientName = "RtMidi Output Client";
const char* const PortName = "RtMidi Output";
} // namespace

MidiOutRtDevice::MidiOutRtDevice(unsigned int port) : port(port)
{
    Open();
}

MidiOutRtDevice::~MidiOutRtDevice()
{
    std::lock_guard<std::mutex> guard(deviceMutex);
    CloseLocked();
}

unsigned int MidiOutRtDevice::GetPortCount()
{
    if (MidiBackend::Api() == RtMidi::UNIX_JACK && !MidiBackend::IsJackServerRunning())
        return 0;
    try {
        RtMidiOut counter(MidiBackend::Api(), ClientName);
        MidiBackend::ErrorRecord errors;
        MidiBackend::RouteErrors(counter, &errors);
        const unsigned int count = counter.getPortCount();
        return errors.failed ? 0 : count;
    } catch (const std::exception& e) {
        qCDebug(midiLog, "cannot count output ports: %s", e.what());
        return 0;
    }
}

QStringList MidiOutRtDevice::GetPortNames()
{
    QStringList names;
    if (MidiBackend::Api() == RtMidi::UNIX_JACK && !MidiBackend::IsJackServerRunning())
        return names;
    try {
        RtMidiOut lister(MidiBackend::Api(), ClientName);
        MidiBackend::ErrorRecord errors;
        MidiBackend::RouteErrors(lister, &errors);
        const unsigned int count = lister.getPortCount();
        for (unsigned int i = 0; i < count; ++i)
            names.append(QString::fromStdString(lister.getPortName(i)));
    } catch (const std::exception& e) {
        qCDebug(midiLog, "cannot list output ports: %s", e.what());
    }
    return names;
}

void MidiOutRtDevice::CloseLocked()
{
    if (!midiOut)
        return;
    try {
        midiOut->closePort();
    } catch (const std::exception& e) {
        qCDebug(midiLog, "closing output port %u: %s", port, e.what());
    }
    midiOut.reset();
}

void MidiOutRtDevice::Open()
{
    std::lock_guard<std::mutex> guard(deviceMutex);
    CloseLocked();
    try {
        auto out = std::make_shared<RtMidiOut>(MidiBackend::Api(), ClientName);
        MidiBackend::RouteErrors(*out, &errors);
        midiOut = out; // kept even when the port does not open (sending then does nothing)
        if (port >= out->getPortCount())
            throw RtMidiError("no such output port", RtMidiError::INVALID_DEVICE);
        out->openPort(port, PortName);
        errors.ThrowIfFailed();
        portName = QString::fromStdString(out->getPortName(port));
    } catch (const std::exception& e) {
        qCDebug(midiLog, "output port %u does not open: %s", port, e.what());
    }
}

bool MidiOutRtDevice::IsOpen()
{
    std::lock_guard<std::mutex> guard(deviceMutex);
    return midiOut && midiOut->isPortOpen();
}

QString MidiOutRtDevice::GetPortName()
{
    std::lock_guard<std::mutex> guard(deviceMutex);
    return portName;
}

void MidiOutRtDevice::Send(const MidiMessage& message)
{
    if (message.length == 0)
        return;
    const unsigned char bytes[3] = {message.status, message.byte1, message.byte2};
    std::lock_guard<std::mutex> guard(deviceMutex);
    if (!midiOut || !midiOut->isPortOpen())
        return;
    try {
        midiOut->sendMessage(bytes, message.length);
        errors.failed = false;
    } catch (const std::exception& e) {
        qCDebug(midiLog, "sending to output port %u: %s", port, e.what());
    }
}

} // namespace Core

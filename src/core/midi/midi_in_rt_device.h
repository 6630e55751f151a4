#pragma once
// One MIDI input port (a USB keyboard the student plays answers on) through RtMidi. The sound
// controller creates one per usable port; the answer listener and connectors observe it.
//
// Threads: RtMidi calls Callback on its own input thread (for JACK, the JACK process thread),
// which runs the receive step and the observers there. Open, Close and GetPortName come from
// the GUI thread; `deviceMutex` guards the RtMidi object. Close destroys the RtMidi object, and
// with it RtMidi's thread, so no callback runs after Close returns.

#include "core/midi/midi_backend.h"
#include "core/midi/midi_in_device_base.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace Core {

class MidiInRtDevice : public MidiInDeviceBase
{
public:
    explicit MidiInRtDevice(unsigned int port);
    ~MidiInRtDevice() override;
    MidiInRtDevice(const MidiInRtDevice&) = delete;
    MidiInRtDevice& operator=(const MidiInRtDevice&) = delete;

    // Number of input ports, our own ports included. Throws Error 0x300 + RtMidi error type
    // when the MIDI system cannot be reached.
    static unsigned int GetPortCount();
    // Names of the input ports, our own included, in port order; empty when none can be read.
    static QStringList GetPortNames();

    QString GetPortName() override;
    void Open() override;
    void Close() override;
    bool IsOpen() override;

    unsigned int Port() const { return port; }

    // Clock time (Timer::NowNs) at which the last message entered the input callback; lets a
    // measurement tell our own share of the latency from the MIDI system's.
    quint64 LastCallbackEntryNs() const { return callbackEntryNs.load(std::memory_order_relaxed); }

private:
    static void Callback(double deltaSeconds, std::vector<unsigned char>* bytes, void* self);

    const unsigned int port;
    std::mutex deviceMutex; // guards midiIn, portName
    std::shared_ptr<RtMidiIn> midiIn; // empty while closed
    QString portName;                 // read when the port opened
    MidiBackend::ErrorRecord errors;
    std::atomic<double> elapsed{0.0}; // seconds since Open; written by the input thread only
    std::atomic<quint64> callbackEntryNs{0};
};

} // namespace Core

#pragma once
// One MIDI output port through RtMidi: a hardware synthesizer, a software synthesizer's port or
// any other program's input. The sound controller creates one per port; the exercise's
// connector and the on-screen keyboard send to it.
//
// Threads: Send may come from several threads at once (timer thread, GUI thread, RtMidi's input
// thread for MIDI thru); `deviceMutex` serialises them, as RtMidi's output objects are not
// safe for concurrent use. Open failures are swallowed: sending to a port that did not open
// does nothing.

#include "core/midi/midi_backend.h"
#include "core/midi/midi_device_observer.h"
#include "core/midi/midi_out_device.h"
#include "core/subject.h"

#include <memory>
#include <mutex>

namespace Core {

class MidiOutRtDevice : public MidiOutDevice, public Subject<MidiDeviceObserver>
{
public:
    explicit MidiOutRtDevice(unsigned int port);
    ~MidiOutRtDevice() override;
    MidiOutRtDevice(const MidiOutRtDevice&) = delete;
    MidiOutRtDevice& operator=(const MidiOutRtDevice&) = delete;

    // Number of output ports, our own included; 0 on any error.
    static unsigned int GetPortCount();
    static QStringList GetPortNames();

    QString GetPortName() override;
    void Open() override;
    void Send(const MidiMessage& message) override;

    bool IsOpen();
    unsigned int Port() const { return port; }

private:
    void CloseLocked();

    const unsigned int port;
    std::mutex deviceMutex; // guards midiOut, portName, errors
    std::shared_ptr<RtMidiOut> midiOut;
    QString portName;
    MidiBackend::ErrorRecord errors;
};

} // namespace Core

#pragma once
// The interface of a MIDI output: a hardware or software port (MidiOutRtDevice) or the built-in
// synthesizer (MidiOutSynthDevice). Send may be called from any thread (the timer thread during
// replay, the GUI thread for on-screen keys, RtMidi's input thread for MIDI thru).

#include "core/midi/midi_message.h"

#include <QString>

namespace Core {

class MidiOutDevice
{
public:
    virtual ~MidiOutDevice() = default;
    virtual QString GetPortName() = 0;
    virtual void Open() = 0;
    // All sound off, reset all controllers and full channel volume on each of the 16 channels.
    virtual void Reset();
    virtual void Send(const MidiMessage& message) = 0;
    // Send for a message played on an input port, with the moment it entered our input callback
    // (MidiEvent::receivedNs); an output that can time its note-ons uses it.
    virtual void SendFromInput(const MidiMessage& message, quint64 receivedNs)
    {
        Q_UNUSED(receivedNs)
        Send(message);
    }
    virtual double GetVelocityScale() { return 0.0; }
    virtual void SetVelocityScale(double) {}
};

} // namespace Core

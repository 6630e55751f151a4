#pragma once
// Listener of an input device: the answer listener and the device connector implement it.
// OnMidiEvent runs on the thread that received the message (RtMidi's input thread, or the
// timer thread for stream replay); implementations hand GUI work over to the GUI thread.

#include "core/midi/midi_event.h"

namespace Core {

class MidiDeviceObserver
{
public:
    virtual ~MidiDeviceObserver() = default;
    virtual void OnMidiEvent(const MidiEvent& event) = 0;
};

} // namespace Core

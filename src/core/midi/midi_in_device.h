#pragma once
// The interface of a MIDI input: a hardware port (MidiInRtDevice), a microphone that hears notes
// (MicrophoneInDevice) or a replayed stream (MidiInStreamDeviceAuto). Readers on any thread may
// ask for the note table and the event log.

#include "core/midi/midi_event.h"

#include <QString>
#include <QVector>

namespace Core {

class MidiInDevice
{
public:
    static constexpr int Channels = 16;
    static constexpr int Notes = 120; // notes 120-127 are not recorded

    virtual ~MidiInDevice() = default;
    virtual QString GetPortName() = 0;
    // Copies one channel's row of the note table: last note-on velocity or polyphonic pressure,
    // 0 after a note-off. Channels outside 0-15 give all zeros.
    virtual void GetNoteState(int channel, quint8 out[Notes]) = 0;
    virtual void Open() = 0;
    virtual void Close() = 0;
    virtual QVector<MidiEvent> GetEventLog() = 0;
    virtual double GetVelocityScale() = 0;
    virtual void SetVelocityScale(double scale) = 0;
    virtual bool IsOpen() = 0;
    // Whether the keys are sent on to the output so that the player hears them: not for a
    // microphone, whose player hears the instrument itself.
    virtual bool EchoesKeys() const { return true; }
    // Whether the notes are heard from a singing voice, which sings in its own octave.
    virtual bool HearsVoice() const { return false; }
};

} // namespace Core

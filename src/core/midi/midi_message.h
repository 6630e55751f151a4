#pragma once
// One MIDI message of at most three bytes, copied by value. Used by every MIDI device, the
// stream replay, MIDI files and the exercises that build question streams.

#include <QtGlobal>

struct MidiMessage
{
    quint8 status = 0; // type in the high nibble, channel in the low nibble
    quint8 byte1 = 0;
    quint8 byte2 = 0;
    quint8 length = 0; // meaningful bytes, 1-3 (0 only for a default-constructed message)

    MidiMessage() = default;
    // The first up to three bytes; length = min(count, 3).
    MidiMessage(const quint8* bytes, int count);
    // Two-byte message, e.g. a program change.
    MidiMessage(quint8 type, quint8 channel, quint8 data1);
    // Three-byte message: note on/off, control change.
    MidiMessage(quint8 type, quint8 channel, quint8 data1, quint8 data2);

    int Channel() const { return status & 0x0F; }
    int Type() const { return status & 0xF0; }
    bool IsNoteOnType() const { return Type() == 0x90; }
    bool IsNoteOn() const { return Type() == 0x90 && byte2 > 0; }
    bool IsNoteOff() const { return Type() == 0x80; }
    bool IsPolyPressure() const { return Type() == 0xA0; }
    int Pressure() const;

    bool operator==(const MidiMessage& other) const;
    bool operator!=(const MidiMessage& other) const { return !(*this == other); }
};

// True for the black keys among the piano notes 21-108.
bool IsBlackKey(int note);

#include "core/midi/midi_message.h"

#include <algorithm>

MidiMessage::MidiMessage(const quint8* bytes, int count) : length(quint8(std::clamp(count, 0, 3)))
{
    if (length > 0)
        status = bytes[0];
    if (length > 1)
        byte1 = bytes[1];
    if (length > 2)
        byte2 = bytes[2];
}

MidiMessage::MidiMessage(quint8 type, quint8 channel, quint8 data1)
    : status(quint8((type & 0xF0) | (channel & 0x0F))), byte1(data1), length(2)
{
}

MidiMessage::MidiMessage(quint8 type, quint8 channel, quint8 data1, quint8 data2)
    : status(quint8((type & 0xF0) | (channel & 0x0F))), byte1(data1), byte2(data2), length(3)
{
}

int MidiMessage::Pressure() const
{
    switch (Type()) {
    case 0xA0:
        return byte2;
    case 0xD0:
        return byte1;
    default:
        return 0;
    }
}

bool MidiMessage::operator==(const MidiMessage& other) const
{
    return status == other.status && byte1 == other.byte1 && byte2 == other.byte2 && length == other.length;
}

bool IsBlackKey(int note)
{
    switch (note % 12) {
    case 1:
    case 3:
    case 6:
    case 8:
    case 10:
        return true;
    default:
        return false;
    }
}

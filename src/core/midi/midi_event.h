#pragma once
// A MIDI message with its time: ticks at 384 per quarter note and 120 beats per minute (768 per
// second) and seconds from the start of the recording or stream. Event lists are QVector<MidiEvent>.

#include "core/midi/midi_message.h"

#include <QMetaType>
#include <QVector>

struct MidiEvent
{
    MidiMessage message;
    qint32 tick = 0;
    double seconds = 0.0;

    static constexpr int TicksPerSecond = 384 * 2;
};

Q_DECLARE_METATYPE(MidiEvent)

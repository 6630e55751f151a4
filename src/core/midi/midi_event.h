#pragma once
// A MIDI message with its time: ticks at 384 per quarter note and 120 beats per minute (768 per
// second) and seconds from the start of the recording or stream. Event lists are QVector<MidiEvent>.
// A message from an input port also carries the moment it entered our input callback, which the
// built-in synthesizer compares with its note-on to tell how long our own path took.

#include "core/midi/midi_message.h"

#include <QMetaType>
#include <QVector>

struct MidiEvent
{
    MidiMessage message;
    qint32 tick = 0;
    double seconds = 0.0;
    quint64 receivedNs = 0; // Timer::NowNs() at the input callback; 0 for replayed events

    static constexpr int TicksPerSecond = 384 * 2;
};

Q_DECLARE_METATYPE(MidiEvent)

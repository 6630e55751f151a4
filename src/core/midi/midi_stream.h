#pragma once
// A timed list of MIDI events ordered by their seconds: a question's notes, a chord, a scale, a
// tempo piece. Replayed by MidiInStreamDeviceAuto; built by the exercises and the MIDI file reader.
// Held by shared ownership.

#include "core/midi/midi_event.h"

#include <QVector>

namespace Core {

class MidiStream : public QVector<MidiEvent>
{
public:
    using QVector<MidiEvent>::QVector;
    MidiStream() = default;
    MidiStream(const QVector<MidiEvent>& events) : QVector<MidiEvent>(events) {}

    // Orders the events by seconds, ascending; events at equal times keep no particular order.
    void Sort();
};

} // namespace Core

#pragma once
// One answer as it travels between the engine and the screen: nothing (the time ran out), notes
// played on a keyboard, an interval picked on the screen, or a multiple-choice button. The
// exercise judges it and hands it back with OnAnswerJudged; the lesson session carries it in
// queued signals, so it is registered with Qt's meta-type system as "Core::Answer".

#include "core/midi/midi_event.h"

#include <QMetaType>
#include <QVector>

namespace Core {

struct Answer
{
    enum Kind
    {
        NoAnswer = 0, // the question's time ran out: always wrong
        Notes = 1,    // note events from a MIDI or on-screen keyboard
        Interval = 2, // an interval in semitones picked on the screen
        Choice = 4,   // a multiple-choice button
    };

    qint32 kind = NoAnswer;
    QVector<MidiEvent> notes; // the note events played, in arrival order (kind 1)
    qint32 value = 0;         // the interval in semitones (kind 2)
    qint32 variant = 0;       // index of the chosen button (kind 4)
    // The notes were sung: they match by pitch class, in any octave (kind 1).
    bool sung = false;

    // Registers the type under the name "Core::Answer" once per process; any thread.
    static int RegisterMetaType();
};

} // namespace Core

Q_DECLARE_METATYPE(Core::Answer)

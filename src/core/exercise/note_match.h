#pragma once
// The rule by which played notes are compared with the notes a question expects. Used by the
// exercise's judge for note answers and by its answer view.

#include "core/midi/midi_event.h"

#include <QVector>

namespace Core {

enum NoteMatch
{
    NoteMatchWrong = 0,
    NoteMatchRight = 1,
    NoteMatchIncomplete = -1,
};

// Compares the note-ons (velocity > 0) of `played` with those of `expected`: a played note that
// matches no expected one left makes the answer wrong at once; each expected note matches once.
// With `ordered` only the first expected note still unmatched is tried; with `pitchClass` the
// octave does not matter. Returns NoteMatchIncomplete while expected notes are still unplayed.
int MatchNotes(const QVector<MidiEvent>& expected, const QVector<MidiEvent>& played, bool ordered,
               bool pitchClass);

// Position among the `count` expected notes still unmatched in `left` of the one that the played
// `note` matches, or -1. With `ordered` only the first of them is tried.
int FindMatchingNote(const int* left, int count, int note, bool ordered, bool pitchClass);

} // namespace Core

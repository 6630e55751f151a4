#include "core/exercise/note_match.h"

#include <QVarLengthArray>

namespace Core {
namespace {

// Lowest key of an 88-key keyboard; pitch classes are counted from it.
constexpr int LowestKey = 21;

int PitchClassOf(int note)
{
    return ((note - LowestKey) % 12 + 12) % 12;
}

} // namespace

int MatchNotes(const QVector<MidiEvent>& expected, const QVector<MidiEvent>& played, bool ordered,
               bool pitchClass)
{
    // Chords and scales have at most a few dozen notes: a small fixed list avoids allocating on
    // the MIDI input thread for ordinary questions.
    QVarLengthArray<int, 32> left;
    for (const MidiEvent& e : expected)
        if (e.message.IsNoteOn())
            left.append(e.message.byte1);
    int playedCount = 0;
    for (const MidiEvent& p : played)
        if (p.message.IsNoteOn())
            ++playedCount;
    if (playedCount > left.size())
        return NoteMatchWrong;
    const int expectedCount = left.size();

    for (const MidiEvent& p : played) {
        if (!p.message.IsNoteOn())
            continue;
        const int note = p.message.byte1;
        const int found = FindMatchingNote(left.constData(), left.size(), note, ordered, pitchClass);
        if (found < 0)
            return NoteMatchWrong;
        left.remove(found);
    }
    return expectedCount > playedCount ? NoteMatchIncomplete : NoteMatchRight;
}

int FindMatchingNote(const int* left, int count, int note, bool ordered, bool pitchClass)
{
    const int tries = ordered ? qMin(1, count) : count;
    for (int i = 0; i < tries; ++i)
        if (left[i] == note || (pitchClass && PitchClassOf(left[i]) == PitchClassOf(note)))
            return i;
    return -1;
}

} // namespace Core

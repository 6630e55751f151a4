#include "core/score_builder.h"

#include "core/exercise/music_tables.h"
#include "core/exercise/note_spelling.h"

#include <vector>

namespace Core {

namespace {

const char* const opening = "{ ";
const char* const staffHeader = "[ \\staff<1> ";
const char* const trebleClefTag = "\\clef<\"g2\"> ";
const char* const bassClefTag = "\\clef<\"f4\"> ";
const char* const stemsAuto = " \\stemsAuto ";
const char* const noteSeparator = " ";
const char* const chordOpening = " { ";
const char* const chordSeparator = " , ";
const char* const chordClosing = " } ";
const char* const voiceEnd = " ]";
const char* const voiceSeparator = ", ";
const char* const scoreEndAfterEmptyVoice = " ] }";
const char* const answerEnd = " }";
const char* const colourBlack = "  \\noteFormat<color=\"black\"> ";
// The colours of ScoreBuilder::RightNoteColour, WrongNoteColour and MissedNoteColour.
const char* const colourRed = "  \\noteFormat<color=\"0xdc4040\"> ";
const char* const colourGreen = "  \\noteFormat<color=\"0x00996c\"> ";
const char* const colourBlue = "  \\noteFormat<color=\"0x2789dd\"> ";

constexpr int lowestWritableKey = 0;
constexpr int highestWritableKey = 98; // B in the last octave the notation's octave numbers reach
// The notation numbers octaves from the one of middle C, 1; note names from A0's, 0.
constexpr int notationOctaveOffset = -3;

// The keys of the chord or answer group being written; the writers fill it for the length of
// one call. One per thread, so writers on different threads cannot disturb each other.
thread_local std::vector<int> currentChord;

struct ChordScope
{
    ~ChordScope() { currentChord.clear(); }
};

bool Writable(int key)
{
    return key >= lowestWritableKey && key <= highestWritableKey;
}

QByteArray Header(bool treble)
{
    return QByteArray(staffHeader) + (treble ? trebleClefTag : bassClefTag) + stemsAuto;
}

const char* ColourTag(int colour)
{
    switch (colour) {
    case 0:
        return colourGreen;
    case 1:
        return colourRed;
    case 2:
        return colourBlue;
    default:
        return colourBlack;
    }
}

} // namespace

void ScoreBuilder::WriteNote(QByteArray& out, int key, bool flat)
{
    if (!Writable(key))
        return;
    if (MusicTables::IsBlackKey(key)) {
        // A black key next to a natural of the chord is spelled away from it.
        for (int other : currentChord) {
            if (other == key - 1 && !flat) {
                flat = true;
                break;
            }
            if (other == key + 1 && flat) {
                flat = false;
                break;
            }
        }
    }
    out += NoteSpelling::notationName(NoteSpelling::spellPitchClass(MusicTables::PitchClass(key), flat));
    out += QByteArray::number(NoteSpelling::octave(key) + notationOctaveOffset);
}

QByteArray ScoreBuilder::WriteQuestion(const QVector<int>& keys, bool treble, bool flat, int mode)
{
    ChordScope scope;
    QVector<int> written;
    for (int key : keys) {
        if (Writable(key))
            written.append(key);
    }
    const QByteArray header = Header(treble);
    QByteArray out = opening + header;
    if (!written.isEmpty()) {
        if (mode == 3) {
            currentChord.assign(written.begin(), written.end());
            out += chordOpening;
            WriteNote(out, written.first(), flat);
            for (int i = 1; i < written.size(); ++i) {
                out += chordSeparator;
                WriteNote(out, written.at(i), flat);
            }
            out += chordClosing;
            currentChord.clear();
        } else {
            for (int key : written) {
                out += noteSeparator;
                WriteNote(out, key, flat);
            }
        }
    }
    out += voiceEnd;
    out += voiceSeparator;
    out += header;
    out += scoreEndAfterEmptyVoice;
    return out;
}

QByteArray ScoreBuilder::WriteAnswer(const QVector<AnswerNote>& notes, bool treble, bool flat)
{
    ChordScope scope;
    auto shownRed = [treble](int key) { return treble ? key >= 25 && key <= 88 : key >= 0 && key <= 54; };
    std::vector<int> redGroup, otherGroup;
    for (const AnswerNote& note : notes) {
        if (!Writable(note.first))
            continue;
        if (note.second == 1) {
            if (shownRed(note.first))
                redGroup.push_back(note.first);
        } else {
            otherGroup.push_back(note.first);
        }
    }
    QByteArray out = opening + Header(treble);
    QByteArray red, other;
    const char* redSeparator = "";
    const char* otherSeparator = "";
    for (const AnswerNote& note : notes) {
        if (!Writable(note.first))
            continue;
        if (note.second == 1) {
            if (!shownRed(note.first))
                continue;
            currentChord = redGroup;
            red += redSeparator;
            WriteNote(red, note.first, flat);
            redSeparator = chordSeparator;
        } else {
            currentChord = otherGroup;
            other += otherSeparator;
            other += ColourTag(note.second);
            WriteNote(other, note.first, flat);
            otherSeparator = chordSeparator;
        }
    }
    if (!red.isEmpty())
        out += chordOpening + QByteArray(colourRed) + red + chordClosing;
    out += chordOpening + other + chordClosing;
    out += voiceEnd;
    out += answerEnd;
    return out;
}

} // namespace Core

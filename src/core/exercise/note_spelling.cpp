#include "core/exercise/note_spelling.h"

#include "core/exercise/music_tables.h"

#include <QChar>

#include <algorithm>
#include <cstdlib>

namespace Core {
namespace NoteSpelling {
namespace {

const char letters[] = "CDEFGAB";
constexpr char16_t sharpSign = 0x266F;
constexpr char16_t flatSign = 0x266D;

// The letters of a key signature's sharps, in the order they are written; the flats come in
// the reverse order.
const int sharpOrder[7] = {3, 0, 4, 1, 5, 2, 6}; // F C G D A E B

} // namespace

int naturalSemitones(int step)
{
    // The major scale on C has the natural notes for its steps.
    return MusicTables::ScaleAt(0).ascending[size_t(std::clamp(step, 0, 6))];
}

int semitones(const SpelledNote& note)
{
    return naturalSemitones(note.step) + note.alter;
}

SpelledNote spellPitchClass(int pitchClass, bool flat)
{
    const int pc = ((pitchClass % 12) + 12) % 12;
    SpelledNote note;
    // A natural is its own letter; a black key is the letter below raised, or above lowered.
    for (int step = 0; step < 7; ++step) {
        if (naturalSemitones(step) == pc) {
            note.step = step;
            return note;
        }
    }
    note.alter = flat ? -1 : 1;
    for (int step = 0; step < 7; ++step) {
        if (naturalSemitones(step) == pc - note.alter)
            note.step = step;
    }
    return note;
}

SpelledNote spellDegree(const QByteArray& degree)
{
    SpelledNote note;
    int at = 0;
    for (; at < degree.size() && (degree[at] == 'b' || degree[at] == '#'); ++at)
        note.alter += degree[at] == '#' ? 1 : -1;
    note.step = std::clamp(degree.mid(at).toInt() - 1, 0, 6);
    return note;
}

std::vector<SpelledNote> spellFormula(const char* formula)
{
    std::vector<SpelledNote> notes;
    for (const QByteArray& degree : QByteArray(formula).split(' '))
        notes.push_back(spellDegree(degree));
    return notes;
}

std::vector<SpelledNote> chordSpelling(int type)
{
    return spellFormula(MusicTables::Chord(type).formula);
}

std::vector<SpelledNote> signatureAccidentals(int count)
{
    std::vector<SpelledNote> notes;
    for (int i = 0; i < std::min(std::abs(count), 7); ++i) {
        SpelledNote note;
        note.step = count > 0 ? sharpOrder[i] : sharpOrder[6 - i];
        note.alter = count > 0 ? 1 : -1;
        notes.push_back(note);
    }
    return notes;
}

SignatureKeys signatureKeys(int count)
{
    // Each sharp moves the key a fifth up, each flat a fifth down; the names follow the signs.
    const int major = ((7 * count) % 12 + 12) % 12;
    return {spellPitchClass(major, count < 0), spellPitchClass(major + 9, count < 0)};
}

int octave(int key)
{
    return key < 3 ? 0 : (key - 3) / 12 + 1;
}

QString displayName(const SpelledNote& note)
{
    return QString(QLatin1Char(letters[std::clamp(note.step, 0, 6)])) +
           QString(std::abs(note.alter), QChar(note.alter > 0 ? sharpSign : flatSign));
}

QByteArray notationName(const SpelledNote& note)
{
    return QByteArray(1, char(letters[std::clamp(note.step, 0, 6)] - 'A' + 'a')) +
           QByteArray(std::abs(note.alter), note.alter > 0 ? '#' : '&');
}

QString formulaText(const char* formula)
{
    QString text = QString::fromLatin1(formula);
    text.replace(QLatin1Char('b'), QChar(flatSign));
    text.replace(QLatin1Char('#'), QChar(sharpSign));
    return text;
}

} // namespace NoteSpelling
} // namespace Core

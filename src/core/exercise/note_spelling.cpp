#include "core/exercise/note_spelling.h"

#include "core/exercise/music_tables.h"

#include <QChar>
#include <QCoreApplication>

#include <algorithm>
#include <atomic>
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

const char* const solfegeSyllables[7] = {"Do", "Re", "Mi", "Fa", "Sol", "La", "Si"};

std::atomic<NoteNaming> currentNaming{NoteNaming::Letters};

QString signs(int alter)
{
    return QString(std::abs(alter), QChar(alter > 0 ? sharpSign : flatSign));
}

// German names: H is B natural and B is B flat; each sharp adds "is", each flat "es", which
// after the vowels E and A is only "s" (Es, As, Eses, Ases). B double flat is Heses.
QString germanName(int step, int alter)
{
    if (step == 6 && alter == -1)
        return QStringLiteral("B");
    QString name(QLatin1Char(step == 6 ? 'H' : letters[step]));
    for (int i = 0; i < alter; ++i)
        name += QLatin1String("is");
    for (int i = 0; i < -alter; ++i)
        name += i == 0 && (step == 2 || step == 5) ? QLatin1String("s") : QLatin1String("es");
    return name;
}

} // namespace

void setNoteNaming(NoteNaming naming)
{
    currentNaming.store(naming, std::memory_order_relaxed);
}

NoteNaming noteNaming()
{
    return currentNaming.load(std::memory_order_relaxed);
}

NoteNaming translatedNoteNaming()
{
    //: Not shown: which note names this language uses. Answer "letters" for C D E F G A B
    //: (C♯, B♭), "german" for C D E F G A H (Cis, Es, B for B flat) or "solfege" for
    //: Do Re Mi Fa Sol La Si (Do♯, Si♭).
    const QString naming = QCoreApplication::translate("Core::NoteSpelling", "letters").trimmed().toLower();
    if (naming == QLatin1String("german"))
        return NoteNaming::German;
    if (naming == QLatin1String("solfege") || naming == QStringLiteral("solf\u00E8ge"))
        return NoteNaming::Solfege;
    return NoteNaming::Letters;
}

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
    const int step = std::clamp(note.step, 0, 6);
    switch (noteNaming()) {
    case NoteNaming::German:
        return germanName(step, note.alter);
    case NoteNaming::Solfege:
        return QLatin1String(solfegeSyllables[step]) + signs(note.alter);
    case NoteNaming::Letters:
        break;
    }
    return QString(QLatin1Char(letters[step])) + signs(note.alter);
}

QString keyName(const SpelledNote& tonic, bool minor)
{
    const QString name = displayName(tonic);
    return minor && noteNaming() == NoteNaming::German ? name.toLower() : name;
}

QString signatureCaption(const SignatureKeys& keys)
{
    // Syllables keep their capital: their case tells nothing of the key.
    const QString minor = displayName(keys.minor);
    //: The answer of a key signature: %1 its major key, %2 its relative minor ("F♯ / d♯"; the
    //: letters of a minor key come in lower case, syllables do not). A language that does not
    //: mark minor keys by lower case adds its words here ("%1 M / %2 m").
    return QCoreApplication::translate("Core::NoteSpelling", "%1 / %2")
        .arg(displayName(keys.major), noteNaming() == NoteNaming::Solfege ? minor : minor.toLower());
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

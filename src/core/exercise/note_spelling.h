#pragma once
// How notes are spelled: a letter (C to B) and its sharps or flats, for a pitch class, for a
// degree of a chord formula ("b3": the minor third above the root) and for the accidentals of
// a key signature; and how such a note is written for the screen ("E♭", German "Es", Spanish
// "Mi♭") and in the notation text ("e&"). The letters' semitones are the major scale of
// Core::MusicTables, the chord formulas are its chord types' own. The score builder, the labels
// of the question pools and the reference pages all spell through here.
//
// Keys count the 88 piano keys from A0 (0); the notation can write them up to 98.

#include <QByteArray>
#include <QString>

#include <vector>

namespace Core {
namespace NoteSpelling {

// The names notes are shown with: English letters (C D E F G A B, "C♯", "B♭"), German names
// (C D E F G A H, "Cis", "Es", "B" for B flat) or the syllables of solfège ("Do♯", "Si♭").
enum class NoteNaming
{
    Letters,
    German,
    Solfege
};
// Set once at start-up, from the installed translation, before the engine's threads run;
// read from any thread.
void setNoteNaming(NoteNaming naming);
NoteNaming noteNaming();
// The naming the installed translation asks for: its translation of "letters" (context
// "Core::NoteSpelling") is "letters", "german" or "solfege"; anything else gives Letters.
NoteNaming translatedNoteNaming();

struct SpelledNote
{
    int step = 0;  // the letter: 0 C, 1 D, ... 6 B
    int alter = 0; // sharps (positive) or flats (negative)
};

// Semitones of the natural `step` (0-6) above C.
int naturalSemitones(int step);
// Semitones of a spelled note above the C of its octave (E♭: 3; B♯: 12).
int semitones(const SpelledNote& note);

// A pitch class (0 C to 11 B) spelled with a sharp or with a flat where it is a black key.
SpelledNote spellPitchClass(int pitchClass, bool flat);
// A degree of a chord formula, counted in steps of the major scale from a root on C: its letter
// from the number, its accidentals from the signs before it ("bb7": B double flat).
SpelledNote spellDegree(const QByteArray& degree);
// The degrees of a formula ("1 b3 5"), in its order.
std::vector<SpelledNote> spellFormula(const char* formula);
// The notes of chord type `type` (Core::MusicTables) on C, from its formula, root position.
std::vector<SpelledNote> chordSpelling(int type);
// The accidentals of a key signature, in the order they are written: `count` sharps (positive,
// F C G D A E B) or flats (negative, B E A D G C F).
std::vector<SpelledNote> signatureAccidentals(int count);

// The major key of a signature with `count` sharps (positive) or flats (negative), up to six,
// and its relative minor, a minor third below.
struct SignatureKeys
{
    SpelledNote major;
    SpelledNote minor;
};
SignatureKeys signatureKeys(int count);

// The octave number of a key as note names carry it (middle C, key 39, is C4; A0 to B0 are 0).
int octave(int key);

// The note as the naming in force shows it: "E♭", "F♯", "B♭♭" (the letter and its accidental
// signs); German "Es", "Fis", "Heses", "H" for B and "B" for B flat; solfège "Mi♭", "Fa♯".
QString displayName(const SpelledNote& note);
// The tonic's name in a key's name, before "major" or "minor": German writes a minor key's
// tonic in lower case ("dis-Moll"), English and solfège as the note ("D♯ minor", "Re♯ menor").
QString keyName(const SpelledNote& tonic, bool minor);
// The answer caption of a key signature: its major key, then its relative minor, in lower case
// where letters mark the minor so ("F♯ / d♯", German "Fis / dis"; solfège "Fa♯ / Re♯"), in the
// pattern the translation gives (Spanish may add its words: "Fa♯ M / Re♯ m").
QString signatureCaption(const SignatureKeys& keys);
// "e&", "f#": the note as the notation text writes it, without the octave.
QByteArray notationName(const SpelledNote& note);
// A chord formula as it is printed: "1 ♭3 5" for "1 b3 5".
QString formulaText(const char* formula);

} // namespace NoteSpelling
} // namespace Core

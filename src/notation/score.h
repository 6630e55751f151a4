#pragma once
// The parsed score: voices of notes, chords, rests and the few signs (clef, key, metre, bar
// line, stem direction) the notation text can hold. Built by GmnParser, read by LayoutEngine;
// plain values with no layout in them.

#include <QColor>
#include <QString>

#include <vector>

namespace Notation {

// Diatonic step within the octave, C = 0 … B = 6.
struct Pitch
{
    int step = 0;
    int alter = 0;  // -2 … 2 semitones
    int octave = 1; // octave 1 begins at middle C

    // Diatonic position counted from C in octave -4 (middle C = 35).
    int Diatonic() const { return (octave + 4) * 7 + step; }
    // MIDI note number (middle C = 60).
    int Midi() const;
};

struct Duration
{
    int numerator = 1;
    int denominator = 4;
    int dots = 0;

    // Length in whole notes, dots included.
    double Whole() const;
};

enum class ClefKind
{
    G,
    F,
    C
};

struct Clef
{
    ClefKind kind = ClefKind::G;
    int line = 2; // staff line of the clef's pitch, 1 = bottom line

    bool operator==(const Clef& other) const { return kind == other.kind && line == other.line; }
};

enum class StemDirection
{
    Auto,
    Up,
    Down
};

struct Meter
{
    int numerator = 4;
    int denominator = 4;
    enum class Symbol
    {
        None,
        Common,
        Cut
    } symbol = Symbol::None;
};

struct Note
{
    Pitch pitch;
    bool coloured = false; // false: drawn in the default ink
    QColor colour;
    int index = 0;        // order of the note in the text, from 0
    int sourceOffset = 0; // byte offset of the note name in the text
};

struct VoiceItem
{
    enum class Kind
    {
        Chord, // one note or several sounding together
        Rest,
        Clef,
        Key,
        Meter,
        Bar
    } kind = Kind::Chord;

    std::vector<Note> notes; // Chord only, at least one
    Duration duration;       // Chord and Rest
    StemDirection stems = StemDirection::Auto;
    Clef clef;            // Clef only
    int fifths = 0;       // Key only: sharps (positive) or flats (negative), -7 … 7
    Meter meter;          // Meter only
    int sourceOffset = 0; // Rest: byte offset in the text
    bool restColoured = false;
    QColor restColour;
    // Chord only: room, in staff spaces, kept free right of the chord for marks drawn beside
    // its notes after the layout (the score board's ticks and crosses).
    double roomAfter = 0.0;
};

struct Voice
{
    int staff = 1; // staff number, from 1
    std::vector<VoiceItem> items;
};

struct Score
{
    std::vector<Voice> voices;
    int noteCount = 0;
};

} // namespace Notation

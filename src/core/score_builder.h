#pragma once
// Writes the GUIDO Music Notation text of questions and answer views. The trainers call the
// writers; the screens and tools draw the text with the notation layer (a page picture with
// the boxes of its notes: Notation::ScorePictureBuilder). Any thread: a writer keeps the chord
// it spells against for the length of one call, per thread.

#include <QByteArray>
#include <QPair>
#include <QVector>

namespace Core {

class ScoreBuilder
{
public:
    // (key, colour index): 0 green, 1 red, 2 blue, any other black.
    using AnswerNote = QPair<int, int>;
    // The colours (0xRRGGBB) WriteAnswer gives right (green), wrong (red) and missed (blue)
    // notes; the screens know the notes' judgement by them.
    static constexpr unsigned RightNoteColour = 0x00996c;
    static constexpr unsigned WrongNoteColour = 0xdc4040;
    static constexpr unsigned MissedNoteColour = 0x2789dd;

    ScoreBuilder() = delete;

    // Keys count piano keys from A0 (0) to C8 (87). Mode 3 writes a chord, any other mode the
    // notes in sequence. Keys the notation cannot name (below 0 or above 98) are left out.
    static QByteArray WriteQuestion(const QVector<int>& keys, bool trebleClef, bool flatSpelling, int mode);
    static QByteArray WriteAnswer(const QVector<AnswerNote>& notes, bool trebleClef, bool flatSpelling);
    // Appends the note name of a key, spelled against the chord being written; nothing for a
    // key the notation cannot name.
    static void WriteNote(QByteArray& out, int key, bool flatSpelling);
};

} // namespace Core

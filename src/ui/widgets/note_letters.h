#pragma once
// The note letter names the score board can write under the notes: each note's letter (or
// syllable, in the naming of Core::NoteSpelling) in the text font and its accidental, if any,
// from the music font, so that it looks like the accidentals on the staff; German names carry
// their accidentals in the name ("Fis", "B"). A chord's letters stack in rows under its staff,
// highest note first; letters of another voice at the same time move down to rows where they
// touch nothing.
//
// A NoteLetters holds the sizes for one staff space in pixels: its font, the room the rows take
// below a staff, and how the letters are drawn.

#include "notation/score.h"
#include "notation/score_document.h"
#include "notation/smufl_glyph.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

class QPainter;

namespace UI {

class NoteLetters
{
public:
    // One note's letter, placed on the board.
    struct Letter
    {
        QPointF baseline; // left end of the letter's baseline, widget coordinates
        QString text;
        bool hasAccidental = false;
        Notation::SmuflGlyph accidental = Notation::SmuflGlyph::accidentalSharp;
        QPointF accidentalOrigin; // widget coordinates
        QColor colour;
    };

    NoteLetters() = default;
    // Letters for a staff space of `staffSpace` pixels.
    explicit NoteLetters(double staffSpace);

    // The room `rows` rows of letters take under the lowest sign of a staff, in pixels.
    double roomBelowStaff(int rows) const;

    // The letters of the notes on `page` of `document` drawn into `target`, whose staff space
    // is `staffSpace` pixels; a note without a colour of its own has its letter in `ink`.
    std::vector<Letter> place(const Notation::ScoreDocument& document, int page, const QRectF& target,
                              double staffSpace, const QColor& ink) const;
    void draw(QPainter* painter, const std::vector<Letter>& letters) const;

    // The most notes that start together on one staff of `score`: the rows of letters it needs.
    static int mostRows(const Notation::Score& score);

private:
    QFont m_font;
    double m_capHeight = 0.0;
    double m_accidentalScale = 0.0; // pixels per staff space of the accidental glyphs
    double m_gap = 0.0;             // from the lowest sign of the staff to the top of the first row
    double m_rowHeight = 0.0;       // from one row's top to the next
    double m_ascent = 0.0;          // from a row's top to its baseline
};

} // namespace UI

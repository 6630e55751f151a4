#pragma once
// The laid-out score: every glyph and line to draw, in staff spaces on the page (origin at the
// page's top-left corner, y downwards), grouped in systems and pages. Made by LayoutEngine,
// drawn by ScorePainter; tests read it to check where things land.

#include "notation/smufl_glyph.h"

#include <QColor>
#include <QPointF>
#include <QSizeF>

#include <vector>

namespace Notation {

struct LayoutItem
{
    enum class Role
    {
        StaffLine,
        Clef,
        KeySignature,
        TimeSignature,
        Barline,
        Notehead,
        Accidental,
        Dot,
        Stem,
        Flag,
        LedgerLine,
        Rest,
        Brace
    };

    // The staff index of what belongs to the whole system: the brace and the bar lines that
    // join the staves of a grand staff.
    static constexpr int wholeSystem = -1;

    Role role = Role::Notehead;
    bool isGlyph = true;
    SmuflGlyph glyph = SmuflGlyph::noteheadBlack;
    QPointF origin; // glyph origin, or the start of a line
    QPointF end;    // end of a line (lines are horizontal or vertical)
    double thickness = 0.0;
    double scale = 1.0;    // glyphs: times their size on the staff (the brace grows with its system)
    bool coloured = false; // false: the default ink
    QColor colour;
    int staff = 0;            // index of the staff in its system, or wholeSystem
    int noteIndex = -1;       // Notehead, Accidental, Dot, LedgerLine: the note (order in the text)
    int order = -1;           // Notehead and Rest: byte offset in the text, for the graphic map
    int step = 0;             // Notehead: staff step, 0 = bottom line, 8 = top line
    bool measureRest = false; // Rest: a whole rest alone in its measure, centred between its bar lines
};

struct LayoutStaff
{
    double top = 0.0; // y of the top line
    double left = 0.0;
    double right = 0.0;
};

struct LayoutSystem
{
    int page = 0;
    std::vector<LayoutStaff> staves;
    std::vector<LayoutItem> items;
};

struct ScoreLayout
{
    QSizeF pageSize; // in staff spaces
    int pageCount = 1;
    std::vector<LayoutSystem> systems;
};

} // namespace Notation

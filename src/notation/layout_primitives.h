#pragma once
// What every layouter of the layout engine shares: the staff geometry (staff steps, the clef's
// bottom line), note values, the making and measuring of layout items, and the state of a staff
// as the score is read. Items are in staff spaces relative to their staff's top line until the
// system layouter puts them on the page.

#include "notation/font_metadata.h"
#include "notation/score.h"
#include "notation/score_layout.h"

#include <map>

namespace Notation::Layout {

using Role = LayoutItem::Role;

const FontMetadata& fontMetadata();

// Diatonic position of the bottom staff line under a clef.
int bottomLineDiatonic(const Clef& clef);

// Staff step (0 = bottom line, 8 = top line) to y below the top line.
double stepY(int step);

// A length as a plain value 2^-level (level -1 breve … 7 128th) with dots.
struct NoteValue
{
    int level = 2;
    int dots = 0;
};
NoteValue noteValue(double whole);

LayoutItem glyphItem(Role role, SmuflGlyph glyph, QPointF origin, int staff);
LayoutItem lineItem(Role role, QPointF from, QPointF to, double thickness, int staff);
void setColour(LayoutItem* item, bool coloured, const QColor& colour);

// The extent of an item as drawn: glyphs by the font's bounding box, lines by their thickness.
double itemLeft(const LayoutItem& item);
double itemRight(const LayoutItem& item);
double itemTop(const LayoutItem& item);
double itemBottom(const LayoutItem& item);

struct StaffState
{
    Clef clef;
    int fifths = 0;
    bool hasMeter = false;
    Meter meter;
    std::map<int, int> measureAlterations; // diatonic position → alteration in force in this measure
};

} // namespace Notation::Layout

// Staff geometry, note values and the making and measuring of layout items, for every layouter.

#include "notation/layout_primitives.h"

#include <algorithm>
#include <cmath>

namespace Notation::Layout {

const FontMetadata& fontMetadata()
{
    return FontMetadata::Instance();
}

int bottomLineDiatonic(const Clef& clef)
{
    const int reference = clef.kind == ClefKind::G   ? Pitch{4, 0, 1}.Diatonic()  // G4
                          : clef.kind == ClefKind::F ? Pitch{3, 0, 0}.Diatonic()  // F3
                                                     : Pitch{0, 0, 1}.Diatonic(); // C4
    return reference - 2 * (clef.line - 1);
}

double stepY(int step)
{
    return 4.0 - step / 2.0;
}

NoteValue noteValue(double whole)
{
    for (int level = -1; level <= 7; ++level) {
        const double plain = std::ldexp(1.0, -level);
        double dotted = plain, added = plain;
        for (int dots = 0; dots <= 3; ++dots) {
            if (std::fabs(dotted - whole) < 1e-9)
                return NoteValue{level, dots};
            added /= 2.0;
            dotted += added;
        }
    }
    return NoteValue{};
}

LayoutItem glyphItem(Role role, SmuflGlyph glyph, QPointF origin, int staff)
{
    LayoutItem item;
    item.role = role;
    item.isGlyph = true;
    item.glyph = glyph;
    item.origin = origin;
    item.staff = staff;
    return item;
}

LayoutItem lineItem(Role role, QPointF from, QPointF to, double thickness, int staff)
{
    LayoutItem item;
    item.role = role;
    item.isGlyph = false;
    item.origin = from;
    item.end = to;
    item.thickness = thickness;
    item.staff = staff;
    return item;
}

void setColour(LayoutItem* item, bool coloured, const QColor& colour)
{
    item->coloured = coloured;
    item->colour = colour;
}

double itemLeft(const LayoutItem& item)
{
    if (item.isGlyph)
        return item.origin.x() + fontMetadata().BoundingBox(item.glyph).left() * item.scale;
    return std::min(item.origin.x(), item.end.x()) -
           (item.origin.x() == item.end.x() ? item.thickness / 2 : 0);
}

double itemRight(const LayoutItem& item)
{
    if (item.isGlyph)
        return item.origin.x() + fontMetadata().BoundingBox(item.glyph).right() * item.scale;
    return std::max(item.origin.x(), item.end.x()) +
           (item.origin.x() == item.end.x() ? item.thickness / 2 : 0);
}

double itemTop(const LayoutItem& item)
{
    if (item.isGlyph)
        return item.origin.y() + fontMetadata().BoundingBox(item.glyph).top() * item.scale;
    return std::min(item.origin.y(), item.end.y()) -
           (item.origin.y() == item.end.y() ? item.thickness / 2 : 0);
}

double itemBottom(const LayoutItem& item)
{
    if (item.isGlyph)
        return item.origin.y() + fontMetadata().BoundingBox(item.glyph).bottom() * item.scale;
    return std::max(item.origin.y(), item.end.y()) +
           (item.origin.y() == item.end.y() ? item.thickness / 2 : 0);
}

} // namespace Notation::Layout

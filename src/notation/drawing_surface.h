#pragma once
// What ScorePainter draws on: glyphs and lines in device coordinates, grouped into the
// elements of the graphic map. One implementation only measures (BoundingBoxSurface), the other
// also paints with a QPainter (PainterSurface), so the map always matches the picture.

#include "notation/smufl_glyph.h"

#include <QColor>
#include <QPointF>

namespace Notation {

class DrawingSurface
{
public:
    virtual ~DrawingSurface() = default;

    // Elements nest: everything drawn between Begin and End belongs to the element.
    virtual void BeginElement(int type, int subtype, int order) = 0;
    virtual void EndElement() = 0;

    // A glyph with its origin at `origin`, at the size where one staff space is `staffSpace`.
    virtual void DrawGlyph(SmuflGlyph glyph, QPointF origin, double staffSpace, const QColor& colour) = 0;
    // A horizontal or vertical line of the given thickness, centred on from–to.
    virtual void DrawLine(QPointF from, QPointF to, double thickness, const QColor& colour) = 0;
};

} // namespace Notation

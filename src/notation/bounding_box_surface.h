#pragma once
// A drawing surface that paints nothing and records the box of every element from the font's
// glyph boxes; the result is the page's graphic map. PainterSurface builds on it.

#include "notation/drawing_surface.h"
#include "notation/graphic_map.h"

#include <QRectF>

#include <vector>

namespace Notation {

class BoundingBoxSurface : public DrawingSurface
{
public:
    void BeginElement(int type, int subtype, int order) override;
    void EndElement() override;
    void DrawGlyph(SmuflGlyph glyph, QPointF origin, double staffSpace, const QColor& colour) override;
    void DrawLine(QPointF from, QPointF to, double thickness, const QColor& colour) override;

    // The map of what was drawn, events sorted into text order.
    GraphicMap TakeMap();

    static QRectF GlyphBox(SmuflGlyph glyph, QPointF origin, double staffSpace);
    static QRectF LineBox(QPointF from, QPointF to, double thickness);

protected:
    void Add(const QRectF& box);

private:
    std::vector<MapElement> elements;
    std::vector<size_t> open;
};

} // namespace Notation

#include "notation/bounding_box_surface.h"

#include "notation/font_metadata.h"

#include <algorithm>

namespace Notation {

const MapElement* GraphicMap::FindNth(int type, int n) const
{
    if (n < 1)
        return nullptr;
    for (const MapElement& element : elements) {
        if (element.type == type && --n == 0)
            return &element;
    }
    return nullptr;
}

void BoundingBoxSurface::BeginElement(int type, int subtype, int order)
{
    MapElement element;
    element.type = type;
    element.subtype = subtype;
    element.order = order;
    elements.push_back(element);
    open.push_back(elements.size() - 1);
}

void BoundingBoxSurface::EndElement()
{
    if (!open.empty())
        open.pop_back();
}

QRectF BoundingBoxSurface::GlyphBox(SmuflGlyph glyph, QPointF origin, double staffSpace)
{
    const QRectF box = FontMetadata::Instance().BoundingBox(glyph);
    return QRectF(origin.x() + box.left() * staffSpace, origin.y() + box.top() * staffSpace,
                  box.width() * staffSpace, box.height() * staffSpace);
}

QRectF BoundingBoxSurface::LineBox(QPointF from, QPointF to, double thickness)
{
    const double half = thickness / 2;
    if (from.y() == to.y())
        return QRectF(QPointF(std::min(from.x(), to.x()), from.y() - half),
                      QPointF(std::max(from.x(), to.x()), from.y() + half));
    if (from.x() == to.x())
        return QRectF(QPointF(from.x() - half, std::min(from.y(), to.y())),
                      QPointF(from.x() + half, std::max(from.y(), to.y())));
    return QRectF(from, to).normalized().adjusted(-half, -half, half, half);
}

void BoundingBoxSurface::Add(const QRectF& box)
{
    for (size_t index : open) {
        QRectF& target = elements[index].box;
        target = target.isNull() ? box : target.united(box);
    }
}

void BoundingBoxSurface::DrawGlyph(SmuflGlyph glyph, QPointF origin, double staffSpace, const QColor&)
{
    Add(GlyphBox(glyph, origin, staffSpace));
}

void BoundingBoxSurface::DrawLine(QPointF from, QPointF to, double thickness, const QColor&)
{
    Add(LineBox(from, to, thickness));
}

GraphicMap BoundingBoxSurface::TakeMap()
{
    GraphicMap map;
    map.elements = std::move(elements);
    elements.clear();
    open.clear();
    // Events in the order of the text; staves and systems after them in drawing order.
    std::stable_sort(map.elements.begin(), map.elements.end(), [](const MapElement& a, const MapElement& b) {
        const bool aEvent = a.type == MapElement::eventType, bEvent = b.type == MapElement::eventType;
        if (aEvent != bEvent)
            return aEvent;
        return aEvent && a.order < b.order;
    });
    return map;
}

} // namespace Notation

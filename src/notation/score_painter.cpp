#include "notation/score_painter.h"

#include "notation/graphic_map.h"

#include <algorithm>

namespace Notation {

double ScorePainter::StaffSpace(const ScoreLayout& layout, const QRectF& target)
{
    if (layout.pageSize.isEmpty())
        return 0.0;
    return std::min(target.width() / layout.pageSize.width(), target.height() / layout.pageSize.height());
}

void ScorePainter::PaintPage(const ScoreLayout& layout, int page, const QRectF& target, const QColor& ink,
                             DrawingSurface* surface)
{
    const double space = StaffSpace(layout, target);
    if (space <= 0.0)
        return;
    auto toDevice = [&](QPointF point) { return target.topLeft() + point * space; };
    int systemNumber = 0, staffNumber = 0, braceNumber = 0;
    for (const LayoutSystem& system : layout.systems) {
        if (system.page != page)
            continue;
        surface->BeginElement(MapElement::systemType, 0, systemNumber++);
        // The staff lines first, each staff as one element.
        for (int s = 0; s < int(system.staves.size()); ++s) {
            surface->BeginElement(MapElement::staffType, 0, staffNumber++);
            for (const LayoutItem& item : system.items) {
                if (item.role == LayoutItem::Role::StaffLine && item.staff == s)
                    surface->DrawLine(toDevice(item.origin), toDevice(item.end), item.thickness * space, ink);
            }
            surface->EndElement();
        }
        for (const LayoutItem& item : system.items) {
            if (item.role == LayoutItem::Role::StaffLine)
                continue;
            const QColor& colour = item.coloured ? item.colour : ink;
            const bool event = item.role == LayoutItem::Role::Notehead || item.role == LayoutItem::Role::Rest;
            const bool brace = item.role == LayoutItem::Role::Brace;
            if (event)
                surface->BeginElement(MapElement::eventType,
                                      item.role == LayoutItem::Role::Notehead ? MapElement::noteSubtype
                                                                              : MapElement::restSubtype,
                                      item.order);
            else if (brace)
                surface->BeginElement(MapElement::braceType, 0, braceNumber++);
            if (item.isGlyph)
                surface->DrawGlyph(item.glyph, toDevice(item.origin), space * item.scale, colour);
            else
                surface->DrawLine(toDevice(item.origin), toDevice(item.end), item.thickness * space, colour);
            if (event || brace)
                surface->EndElement();
        }
        surface->EndElement();
    }
}

} // namespace Notation

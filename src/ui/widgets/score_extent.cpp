#include "ui/widgets/score_extent.h"

#include "notation/bounding_box_surface.h"

#include <algorithm>
#include <limits>

namespace UI::ScoreExtent {

QRectF itemBox(const Notation::LayoutItem& item)
{
    if (item.isGlyph)
        return Notation::BoundingBoxSurface::GlyphBox(item.glyph, item.origin, item.scale);
    return Notation::BoundingBoxSurface::LineBox(item.origin, item.end, item.thickness);
}

QSizeF largestSystem(const Notation::ScoreLayout& layout, double roomBelowStaff)
{
    QSizeF largest;
    for (const Notation::LayoutSystem& system : layout.systems) {
        if (system.staves.empty())
            continue;
        const int lastStaff = int(system.staves.size()) - 1;
        double top = system.staves.front().top, bottom = system.staves.back().top + 4.0;
        double left = system.staves.front().left, right = system.staves.front().right;
        double lastStaffBottom = bottom;
        for (const Notation::LayoutItem& item : system.items) {
            const QRectF box = itemBox(item);
            top = std::min(top, box.top());
            bottom = std::max(bottom, box.bottom());
            left = std::min(left, box.left());
            right = std::max(right, box.right());
            if (item.staff == lastStaff)
                lastStaffBottom = std::max(lastStaffBottom, box.bottom());
        }
        largest = largest.expandedTo(
            QSizeF(right - left, std::max(bottom, lastStaffBottom + roomBelowStaff) - top));
    }
    return largest;
}

std::pair<double, double> pageSpan(const Notation::ScoreLayout& layout, int page)
{
    double left = std::numeric_limits<double>::max(), right = std::numeric_limits<double>::lowest();
    for (const Notation::LayoutSystem& system : layout.systems) {
        if (system.page != page)
            continue;
        for (const Notation::LayoutStaff& staff : system.staves) {
            left = std::min(left, staff.left);
            right = std::max(right, staff.right);
        }
        // The brace of a grand staff stands left of its staves and belongs to the music.
        for (const Notation::LayoutItem& item : system.items) {
            if (item.role == Notation::LayoutItem::Role::Brace)
                left = std::min(left, itemBox(item).left());
        }
    }
    return {left, right};
}

} // namespace UI::ScoreExtent

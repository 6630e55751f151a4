#include "notation/layout_engine.h"

#include "notation/layout_columns.h"
#include "notation/layout_systems.h"

#include <algorithm>

// The engine hands the score to one layouter per kind of element, in the manner of an
// engraver's workshop: the column layouter reads the voices in time order and calls the note,
// ledger-line, stem, accidental and sign layouters for what starts at each time; the system
// layouter breaks the columns into systems and joins the staves of a grand staff; the systems
// are then stacked on pages here.

namespace Notation {

namespace {

using Layout::itemBottom;
using Layout::itemTop;

constexpr double systemGap = 2.0; // between systems stacked on one page

// Pages: systems stacked from the top margin; a page with one system centres its staves.
void stackOnPages(ScoreLayout* layout, double marginTop, double availableHeight, double roomBelowStaff)
{
    struct Extent
    {
        double top, bottom;
    };
    std::vector<Extent> extents;
    for (const LayoutSystem& system : layout->systems) {
        const int lastStaff = int(system.staves.size()) - 1;
        Extent extent{0.0, system.staves.back().top + 4.0};
        double lastStaffBottom = extent.bottom;
        for (const LayoutItem& item : system.items) {
            extent.top = std::min(extent.top, itemTop(item));
            extent.bottom = std::max(extent.bottom, itemBottom(item));
            if (item.staff == lastStaff)
                lastStaffBottom = std::max(lastStaffBottom, itemBottom(item));
        }
        // The room under the last staff belongs to the system (the room under the others lies
        // between the staves already).
        extent.bottom = std::max(extent.bottom, lastStaffBottom + roomBelowStaff);
        extents.push_back(extent);
    }
    std::vector<std::vector<int>> pages(1);
    double used = 0.0;
    for (size_t s = 0; s < layout->systems.size(); ++s) {
        const double height = extents[s].bottom - extents[s].top;
        if (!pages.back().empty() && used + systemGap + height > availableHeight) {
            pages.emplace_back();
            used = 0.0;
        }
        used += (pages.back().empty() ? 0.0 : systemGap) + height;
        pages.back().push_back(int(s));
    }
    const double pageHeight = layout->pageSize.height();
    for (size_t p = 0; p < pages.size(); ++p) {
        std::vector<double> offsets;
        if (pages[p].size() == 1) {
            const int s = pages[p].front();
            const double blockHeight = layout->systems[s].staves.back().top + 4.0;
            double offset = (pageHeight - blockHeight) / 2.0;
            const double contentTop = offset + extents[s].top, contentBottom = offset + extents[s].bottom;
            const double areaTop = marginTop, areaBottom = marginTop + availableHeight;
            if (extents[s].bottom - extents[s].top > availableHeight)
                offset = (pageHeight - (extents[s].bottom + extents[s].top)) / 2.0;
            else if (contentTop < areaTop)
                offset += areaTop - contentTop;
            else if (contentBottom > areaBottom)
                offset -= contentBottom - areaBottom;
            offsets.push_back(offset);
        } else {
            double y = marginTop;
            for (int s : pages[p]) {
                offsets.push_back(y - extents[s].top);
                y += extents[s].bottom - extents[s].top + systemGap;
            }
        }
        for (size_t k = 0; k < pages[p].size(); ++k) {
            LayoutSystem& system = layout->systems[pages[p][k]];
            system.page = int(p);
            for (LayoutStaff& staff : system.staves)
                staff.top += offsets[k];
            for (LayoutItem& item : system.items) {
                item.origin.ry() += offsets[k];
                item.end.ry() += offsets[k];
            }
        }
    }
    layout->pageCount = int(pages.size());
}

} // namespace

ScoreLayout LayoutEngine::Lay(const Score& score, const PageFormat& format)
{
    const double unit = PageFormat::unitsPerStaffSpace;
    ScoreLayout layout;
    layout.pageSize = QSizeF(format.width / unit, format.height / unit);
    const double marginLeft = format.marginLeft / unit, marginTop = format.marginTop / unit;
    const double availableWidth =
        std::max(10.0, (format.width - format.marginLeft - format.marginRight) / unit);
    const double availableHeight =
        std::max(4.0, (format.height - format.marginTop - format.marginBottom) / unit);
    const double roomBelowStaff = std::max(0.0, format.roomBelowStaff / unit);

    if (score.voices.empty())
        return layout;

    const Layout::ScoreColumns columns = Layout::ColumnLayouter(score).layColumns();
    layout.systems = Layout::SystemLayouter(columns, marginLeft, availableWidth, roomBelowStaff).laySystems();
    stackOnPages(&layout, marginTop, availableHeight, roomBelowStaff);
    return layout;
}

} // namespace Notation

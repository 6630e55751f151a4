// Places the ledger lines a chord's heads need (layout_ledger_lines.h).

#include "notation/layout_ledger_lines.h"

#include <algorithm>
#include <map>

namespace Notation::Layout {

LedgerLineLayouter::LedgerLineLayouter(int staff) : m_staff(staff) {}

void LedgerLineLayouter::layLedgerLines(const ChordShape& chord, std::vector<LayoutItem>* out) const
{
    const EngravingDefaults& defaults = fontMetadata().Defaults();
    struct Extent
    {
        double left;
        double right;
        int noteIndex; // the first note that needs the line
    };
    std::map<int, Extent> lines; // step → extent
    for (const PlacedHead& head : chord.heads) {
        auto add = [&](int step) {
            const double left = head.x - defaults.legerLineExtension;
            const double right = head.x + chord.headWidth + defaults.legerLineExtension;
            auto found = lines.find(step);
            if (found == lines.end()) {
                lines[step] = Extent{left, right, head.note->index};
            } else {
                found->second.left = std::min(found->second.left, left);
                found->second.right = std::max(found->second.right, right);
            }
        };
        for (int step = -2; step >= head.step; step -= 2)
            add(step);
        for (int step = 10; step <= head.step; step += 2)
            add(step);
    }
    for (const auto& line : lines) {
        const double y = stepY(line.first);
        LayoutItem item = lineItem(Role::LedgerLine, QPointF(line.second.left, y),
                                   QPointF(line.second.right, y), defaults.legerLineThickness, m_staff);
        item.noteIndex = line.second.noteIndex;
        out->push_back(item);
    }
}

} // namespace Notation::Layout

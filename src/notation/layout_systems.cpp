// Breaks columns into systems, stacks their staves and joins a grand staff (layout_systems.h).

#include "notation/layout_systems.h"

#include "notation/layout_signs.h"

#include <algorithm>
#include <cmath>

namespace Notation::Layout {

namespace {

constexpr double clefIndent = 0.8;     // from the start of the staff lines to the clef
constexpr double signGap = 0.8;        // between clef, key and metre
constexpr double firstNoteGap = 1.5;   // from the last sign of a system to the first note
constexpr double minimumNoteGap = 0.5; // between the right of one column and the left of the next
constexpr double endGap = 1.2;         // after the last note of a system
// Between the top lines of two staves, at least: the distance of the two staves of printed piano
// music, which leaves room for a ledger line or two of either hand between them.
constexpr double staffDistance = 10.5;
constexpr double staffPadding = 1.0; // between what hangs below one staff and what rises above the next
constexpr double braceGap = 0.3;     // between the brace and the bar line at the start of the system

double durationSpace(double duration)
{
    if (duration <= 0.0)
        return 2.0;
    return std::max(2.0, 3.5 + 1.2 * std::log2(4.0 * duration));
}

} // namespace

SystemLayouter::SystemLayouter(const ScoreColumns& score, double left, double width, double roomBelowStaff)
    : m_score(score), m_left(left), m_width(width), m_roomBelowStaff(roomBelowStaff),
      m_braceBox(fontMetadata().BoundingBox(SmuflGlyph::brace))
{
}

std::vector<LayoutSystem> SystemLayouter::laySystems() const
{
    const bool joined = m_score.staffCount > 1;
    std::vector<LayoutSystem> systems;
    size_t next = 0;
    bool firstSystem = true;
    do {
        // The brace's room follows the system's height, which the music on it decides: a system
        // taller than the usual grand staff is laid again with a wider brace before it.
        double room = joined ? braceRoom(staffDistance * (m_score.staffCount - 1) + 4.0) : 0.0;
        LayoutSystem system;
        size_t after = next;
        for (int attempt = 0;; ++attempt) {
            system = laySystem(m_left + room, next, firstSystem, &after);
            if (!joined)
                break;
            const double needed = braceRoom(system.staves.back().top - system.staves.front().top + 4.0);
            if (needed <= room + 1e-9 || attempt == 2)
                break;
            room = needed;
        }
        if (joined)
            joinStaves(&system);
        systems.push_back(std::move(system));
        next = after;
        firstSystem = false;
    } while (next < m_score.columns.size());
    return systems;
}

LayoutSystem SystemLayouter::laySystem(double left, size_t first, bool withMeter, size_t* after) const
{
    LayoutSystem system;
    system.staves.resize(m_score.staffCount);
    const std::vector<StaffState>& startStates =
        first == 0 ? m_score.initialStates : m_score.columns[first - 1].statesAfter;
    std::vector<LayoutItem> items;
    const double signsRight = layStartSigns(startStates, left, withMeter, &items);
    double end = 0.0;
    *after = placeColumns(first, signsRight, &items, &end);
    centreMeasureRests(signsRight, end, &items);
    stackStaves(left, end, &items, &system);
    system.items = std::move(items);
    return system;
}

// Clefs, then keys, then the metre, each kind lined up across the staves.
double SystemLayouter::layStartSigns(const std::vector<StaffState>& states, double left, bool withMeter,
                                     std::vector<LayoutItem>* items) const
{
    const int staffCount = m_score.staffCount;
    double clefRight = left;
    for (int s = 0; s < staffCount; ++s)
        clefRight = std::max(clefRight, SignLayouter(s).layClef(states[s].clef, left + clefIndent, items));
    double keyRight = clefRight;
    for (int s = 0; s < staffCount; ++s) {
        if (states[s].fifths == 0)
            continue;
        keyRight = std::max(keyRight, SignLayouter(s).layKeySignature(states[s].fifths, states[s].clef,
                                                                      clefRight + signGap, items));
    }
    double meterRight = keyRight;
    if (withMeter) {
        for (int s = 0; s < staffCount; ++s) {
            if (!states[s].hasMeter)
                continue;
            meterRight = std::max(
                meterRight, SignLayouter(s).layTimeSignature(states[s].meter, keyRight + signGap, items));
        }
    }
    return meterRight;
}

size_t SystemLayouter::placeColumns(size_t first, double signsRight, std::vector<LayoutItem>* items,
                                    double* end) const
{
    const std::vector<Column>& columns = m_score.columns;
    double cursor = signsRight + firstNoteGap;
    *end = cursor;
    const double limit = m_left + m_width;
    size_t c = first;
    bool placedAny = false;
    double previousRight = 0.0, previousSpace = 0.0;
    for (; c < columns.size(); ++c) {
        const Column& column = columns[c];
        double x;
        if (!placedAny) {
            x = cursor - column.left;
        } else {
            const double touching = previousRight + minimumNoteGap - column.left;
            x = std::max(cursor + previousSpace, cursor + touching);
            if (!column.holdsNotes())
                x = std::max(cursor + std::max(previousRight + minimumNoteGap, previousSpace * 0.8) -
                                 column.left,
                             cursor + touching);
        }
        const double columnEnd =
            x + (column.holdsNotes() ? std::max(column.right + endGap, durationSpace(column.duration))
                                     : column.right);
        if (placedAny && columnEnd > limit)
            break;
        for (LayoutItem item : column.items) {
            item.origin.rx() += x;
            item.end.rx() += x;
            items->push_back(item);
        }
        cursor = x;
        previousRight = column.right;
        previousSpace = column.holdsNotes() ? durationSpace(column.duration) : column.right + 1.0;
        *end = columnEnd;
        placedAny = true;
    }
    if (!placedAny)
        *end = signsRight + 2.0;
    return c;
}

// A whole-measure rest moves to the middle of its measure: between its bar lines, or the signs
// and the end of the staff.
void SystemLayouter::centreMeasureRests(double signsRight, double end, std::vector<LayoutItem>* items) const
{
    const double signsEnd = signsRight + signGap;
    for (LayoutItem& rest : *items) {
        if (rest.role != Role::Rest || !rest.measureRest)
            continue;
        double from = signsEnd, to = end;
        for (const LayoutItem& bar : *items) {
            if (bar.role != Role::Barline || bar.staff != rest.staff)
                continue;
            if (bar.origin.x() < rest.origin.x())
                from = std::max(from, bar.origin.x());
            else
                to = std::min(to, bar.origin.x());
        }
        const double centred = (from + to) / 2 - fontMetadata().Width(rest.glyph) / 2;
        if (centred > rest.origin.x())
            rest.origin.rx() = centred;
    }
}

// Staff lines and vertical placement of the staves: at least the usual distance, more where what
// hangs below one staff would come near what rises above the next.
void SystemLayouter::stackStaves(double left, double end, std::vector<LayoutItem>* items,
                                 LayoutSystem* system) const
{
    const int staffCount = m_score.staffCount;
    double staffTop = 0.0;
    double previousBelow = 0.0;
    for (int s = 0; s < staffCount; ++s) {
        double above = 0.0, below = 4.0;
        for (const LayoutItem& item : *items) {
            if (item.staff == s) {
                above = std::min(above, itemTop(item));
                below = std::max(below, itemBottom(item));
            }
        }
        if (s > 0)
            staffTop += std::max(staffDistance, previousBelow + staffPadding - above);
        system->staves[s].top = staffTop;
        system->staves[s].left = left;
        system->staves[s].right = end;
        previousBelow = below + m_roomBelowStaff;
    }
    for (LayoutItem& item : *items) {
        item.origin.ry() += system->staves[item.staff].top;
        item.end.ry() += system->staves[item.staff].top;
    }
    const double lineThickness = fontMetadata().Defaults().staffLineThickness;
    for (int s = 0; s < staffCount; ++s) {
        for (int line = 0; line < 5; ++line) {
            const double y = system->staves[s].top + line;
            items->insert(items->begin() + s * 5 + line,
                          lineItem(Role::StaffLine, QPointF(left, y), QPointF(end, y), lineThickness, s));
        }
    }
}

// The grand staff: every bar line runs down through all the staves, one more stands at their
// start, and the brace before it joins them.
void SystemLayouter::joinStaves(LayoutSystem* system) const
{
    const double left = system->staves.front().left;
    const double top = system->staves.front().top, bottom = system->staves.back().top + 4.0;
    const double thickness = fontMetadata().Defaults().thinBarlineThickness;
    std::vector<double> bars;
    std::vector<LayoutItem>& items = system->items;
    for (const LayoutItem& item : items) {
        if (item.role == Role::Barline && std::none_of(bars.begin(), bars.end(), [&](double x) {
                return std::fabs(x - item.origin.x()) < 1e-9;
            }))
            bars.push_back(item.origin.x());
    }
    items.erase(std::remove_if(items.begin(), items.end(),
                               [](const LayoutItem& item) { return item.role == Role::Barline; }),
                items.end());
    // The system's own bar line stands on the start of the staff lines.
    items.push_back(lineItem(Role::Barline, QPointF(left + thickness / 2, top),
                             QPointF(left + thickness / 2, bottom), thickness, LayoutItem::wholeSystem));
    for (double x : bars)
        items.push_back(
            lineItem(Role::Barline, QPointF(x, top), QPointF(x, bottom), thickness, LayoutItem::wholeSystem));
    const double scale = braceScale(bottom - top);
    LayoutItem brace =
        glyphItem(Role::Brace, SmuflGlyph::brace,
                  QPointF(left - braceGap - m_braceBox.right() * scale, bottom - m_braceBox.bottom() * scale),
                  LayoutItem::wholeSystem);
    brace.scale = scale;
    items.push_back(brace);
}

// The brace is the font's, scaled evenly to the height of the system from the top line of its
// first staff to the bottom line of its last.
double SystemLayouter::braceScale(double height) const
{
    return m_braceBox.height() > 0.0 ? height / m_braceBox.height() : 1.0;
}

double SystemLayouter::braceRoom(double height) const
{
    return m_braceBox.right() * braceScale(height) + braceGap;
}

} // namespace Notation::Layout

#pragma once
// The system layouter: breaks the columns into systems as wide as the page allows. Each system
// starts with clef, key and (on the first) metre, aligned across its staves; then come its
// columns, spaced by duration; whole-measure rests are centred in their measures and the staves
// are stacked as far apart as what hangs between them needs. Several staves make a grand staff,
// joined by a brace and by bar lines running through all of them. Hands on the systems with
// their items in staff spaces, the first staff's top line at y = 0, for stacking on pages.

#include "notation/layout_columns.h"

#include <QRectF>

namespace Notation::Layout {

class SystemLayouter
{
public:
    // `left` and `width`: the page's writing area across; `roomBelowStaff`: kept free under
    // every staff for text written under the notes.
    SystemLayouter(const ScoreColumns& score, double left, double width, double roomBelowStaff);

    std::vector<LayoutSystem> laySystems() const;

private:
    // The system whose staff lines start at `left`, from column `first` on; `after` receives the
    // first column left for the next system.
    LayoutSystem laySystem(double left, size_t first, bool withMeter, size_t* after) const;
    // Returns the right edge of the signs.
    double layStartSigns(const std::vector<StaffState>& states, double left, bool withMeter,
                         std::vector<LayoutItem>* items) const;
    // Places columns from `first` after the signs while they fit; returns the first that did not
    // and the end of the staff lines in `end`.
    size_t placeColumns(size_t first, double signsRight, std::vector<LayoutItem>* items, double* end) const;
    void centreMeasureRests(double signsRight, double end, std::vector<LayoutItem>* items) const;
    void stackStaves(double left, double end, std::vector<LayoutItem>* items, LayoutSystem* system) const;
    void joinStaves(LayoutSystem* system) const;
    double braceScale(double height) const;
    double braceRoom(double height) const;

    const ScoreColumns& m_score;
    double m_left;
    double m_width;
    double m_roomBelowStaff;
    QRectF m_braceBox;
};

} // namespace Notation::Layout

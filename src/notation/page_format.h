#pragma once
// The page a score is laid out on, in notation units where one staff space is 50 units (a page
// of 3000 × 1000 units is 60 × 20 staff spaces). Used by LayoutEngine and ScoreDocument.

namespace Notation {

struct PageFormat
{
    static constexpr double unitsPerStaffSpace = 50.0;

    double width = 3000.0;
    double height = 1000.0;
    double marginLeft = 20.0;
    double marginTop = 70.0;
    double marginRight = 20.0;
    double marginBottom = 70.0;
    // Kept free under the lowest sign of every staff, for text written under the notes (the
    // score board's note letters): staves, systems and the page's bottom margin keep clear of it.
    double roomBelowStaff = 0.0;
};

} // namespace Notation

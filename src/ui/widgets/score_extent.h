#pragma once
// How far the music of a laid-out score reaches as it is drawn, in staff spaces on the page: the
// box of one item, the largest system, and the span of a page's music across the page. The score
// board sizes its pages from these and its note letters go below the staves by them.

#include "notation/score_layout.h"

#include <QRectF>
#include <QSizeF>

#include <utility>

namespace UI::ScoreExtent {

// An item's box as drawn: a glyph by the font's bounding box, a line by its thickness.
QRectF itemBox(const Notation::LayoutItem& item);

// The size of the largest system, with `roomBelowStaff` kept under its last staff.
QSizeF largestSystem(const Notation::ScoreLayout& layout, double roomBelowStaff);

// The left and right ends of the music on `page`: its staves and the braces left of them. Left
// is greater than right when the page holds no staff.
std::pair<double, double> pageSpan(const Notation::ScoreLayout& layout, int page);

} // namespace UI::ScoreExtent

#pragma once
// Draws one page of a laid-out score on a drawing surface, scaled from staff spaces into a
// target rectangle, and groups what it draws into the elements of the graphic map (systems,
// staves, notes and rests). The same code serves the measuring and the painting surface.

#include "notation/drawing_surface.h"
#include "notation/score_layout.h"

#include <QColor>
#include <QRectF>

namespace Notation {

class ScorePainter
{
public:
    // The page is scaled uniformly to fit the target and placed at its top-left corner.
    static double StaffSpace(const ScoreLayout& layout, const QRectF& target);

    // `ink` colours everything that has no colour of its own.
    static void PaintPage(const ScoreLayout& layout, int page, const QRectF& target, const QColor& ink,
                          DrawingSurface* surface);
};

} // namespace Notation

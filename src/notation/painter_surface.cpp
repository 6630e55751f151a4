#include "notation/painter_surface.h"

#include "notation/music_font.h"

#include <QPainter>

namespace Notation {

PainterSurface::PainterSurface(QPainter* painter) : painter(painter), baseTransform(painter->transform()) {}

PainterSurface::~PainterSurface()
{
    painter->setTransform(baseTransform);
}

void PainterSurface::DrawGlyph(SmuflGlyph glyph, QPointF origin, double staffSpace, const QColor& colour)
{
    BoundingBoxSurface::DrawGlyph(glyph, origin, staffSpace, colour);
    const QTransform placement(staffSpace, 0, 0, staffSpace, origin.x(), origin.y());
    painter->setTransform(placement * baseTransform);
    painter->fillPath(MusicFont::GlyphPath(glyph), colour);
}

void PainterSurface::DrawLine(QPointF from, QPointF to, double thickness, const QColor& colour)
{
    BoundingBoxSurface::DrawLine(from, to, thickness, colour);
    painter->setTransform(baseTransform);
    painter->fillRect(LineBox(from, to, thickness), colour);
}

} // namespace Notation

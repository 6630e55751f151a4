#pragma once
// A drawing surface that paints glyph outlines and lines with a QPainter and records the same
// boxes as BoundingBoxSurface. GUI thread, or any thread painting on a QImage.

#include "notation/bounding_box_surface.h"

#include <QTransform>

class QPainter;

namespace Notation {

class PainterSurface : public BoundingBoxSurface
{
public:
    // The painter stays owned by the caller and is left with its transform unchanged.
    explicit PainterSurface(QPainter* painter);
    ~PainterSurface() override;

    void DrawGlyph(SmuflGlyph glyph, QPointF origin, double staffSpace, const QColor& colour) override;
    void DrawLine(QPointF from, QPointF to, double thickness, const QColor& colour) override;

private:
    QPainter* painter;
    QTransform baseTransform;
};

} // namespace Notation

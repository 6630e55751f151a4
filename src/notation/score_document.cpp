#include "notation/score_document.h"

#include "notation/bounding_box_surface.h"
#include "notation/layout_engine.h"
#include "notation/painter_surface.h"
#include "notation/score_painter.h"

#include <QPainter>

namespace Notation {

void ScoreDocument::SetPageFormat(const PageFormat& newFormat)
{
    format = newFormat;
    if (valid)
        layout = LayoutEngine::Lay(score, format);
}

bool ScoreDocument::SetGmnCode(const QByteArray& text)
{
    Score parsed;
    if (!GmnParser::Parse(text, &parsed, &error)) {
        valid = false;
        score = Score{};
        layout = ScoreLayout{};
        return false;
    }
    error = ParseError{};
    score = std::move(parsed);
    layout = LayoutEngine::Lay(score, format);
    valid = true;
    return true;
}

void ScoreDocument::SetScore(Score parsed)
{
    error = ParseError{};
    score = std::move(parsed);
    layout = LayoutEngine::Lay(score, format);
    valid = true;
}

int ScoreDocument::PageCount() const
{
    return valid ? layout.pageCount : 0;
}

GraphicMap ScoreDocument::DrawPage(QPainter* painter, int page, const QRectF& target) const
{
    PainterSurface surface(painter);
    ScorePainter::PaintPage(layout, page, target, painter->pen().color(), &surface);
    return surface.TakeMap();
}

GraphicMap ScoreDocument::MapPage(int page, const QRectF& target) const
{
    BoundingBoxSurface surface;
    ScorePainter::PaintPage(layout, page, target, Qt::black, &surface);
    return surface.TakeMap();
}

} // namespace Notation

// libFuzzer entry point: any bytes through the notation parser and, when they parse, through
// layout and the measuring drawing pass. Built only with -DCANTORELA_FUZZ=ON (make fuzz).

#include "notation/bounding_box_surface.h"
#include "notation/gmn_parser.h"
#include "notation/layout_engine.h"
#include "notation/score_painter.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), int(size));
    Notation::Score score;
    Notation::ParseError error;
    if (!Notation::GmnParser::Parse(text, &score, &error))
        return 0;
    const Notation::ScoreLayout layout = Notation::LayoutEngine::Lay(score, Notation::PageFormat{});
    for (int page = 0; page < layout.pageCount; ++page) {
        Notation::BoundingBoxSurface surface;
        Notation::ScorePainter::PaintPage(layout, page, QRectF(0, 0, 1050, 350), Qt::black, &surface);
        surface.TakeMap();
    }
    return 0;
}

#pragma once
// One notation text made ready to draw: parsed, laid out on the page format, and drawn page by
// page with its graphic map. The page pictures (score_pictures) and the gmn2png tool use it; it
// plays the part a notation engine's painter plays for the rest of the program. Not shared
// between threads.

#include "notation/gmn_parser.h"
#include "notation/graphic_map.h"
#include "notation/page_format.h"
#include "notation/score.h"
#include "notation/score_layout.h"

#include <QByteArray>
#include <QRectF>

class QPainter;

namespace Notation {

class ScoreDocument
{
public:
    // Changing the format lays the current score out again.
    void SetPageFormat(const PageFormat& format);
    const PageFormat& Format() const { return format; }

    // False when the text is not notation this engraver reads; LastError() tells why and the
    // previous score is dropped.
    bool SetGmnCode(const QByteArray& text);
    const ParseError& LastError() const { return error; }
    // Lays out a score parsed earlier, for example one whose voices were filtered after
    // SetGmnCode; the source offsets of its notes keep pointing into the original text.
    void SetScore(Score parsed);

    int PageCount() const;

    // Paints page `page` (from 0) into `target` with the painter's pen colour as default ink and
    // returns the map of what was painted, in the painter's coordinates.
    GraphicMap DrawPage(QPainter* painter, int page, const QRectF& target) const;
    // The same map, measured without painting.
    GraphicMap MapPage(int page, const QRectF& target) const;

    const Score& ParsedScore() const { return score; }
    const ScoreLayout& Layout() const { return layout; }

private:
    PageFormat format;
    Score score;
    ScoreLayout layout;
    ParseError error;
    bool valid = false;
};

} // namespace Notation

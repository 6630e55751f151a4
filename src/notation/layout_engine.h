#pragma once
// Lays a parsed score out on pages by the usual rules of engraving: staff, clef, key and metre
// at the start of each system, noteheads on their staff steps with ledger lines, stems by the
// middle-line rule, seconds of a chord on the other side of the stem, accidentals stacked
// without collisions, dots, flags, rests and spacing by duration. Several staves are laid out
// as a piano's grand staff: notes of one time aligned across the staves, the staves as far apart
// as piano music prints them (farther where ledger lines need it), a brace and bar lines joining
// them. Pure computation from the score and the font metadata; used by ScoreDocument.

#include "notation/page_format.h"
#include "notation/score.h"
#include "notation/score_layout.h"

namespace Notation {

class LayoutEngine
{
public:
    static ScoreLayout Lay(const Score& score, const PageFormat& format);
};

} // namespace Notation

#pragma once
// The ledger-line layouter: the short lines above and below the staff that a chord's heads
// need, one per line position, as wide as the heads on it. Takes the chord's shape from the
// note layouter; hands on only its lines, which go before the heads so that a coloured head is
// not crossed by a line in the default ink.

#include "notation/layout_notes.h"

namespace Notation::Layout {

class LedgerLineLayouter
{
public:
    explicit LedgerLineLayouter(int staff);

    void layLedgerLines(const ChordShape& chord, std::vector<LayoutItem>* out) const;

private:
    int m_staff;
};

} // namespace Notation::Layout

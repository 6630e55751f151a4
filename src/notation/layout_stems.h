#pragma once
// The stem layouter: chooses a chord's stem direction (forced by the voice, or by the
// middle-line rule) and places its stem and flag. Takes the chord's shape from the note
// layouter; hands on the direction, which the note layouter needs to put seconds on the right
// side of the stem.

#include "notation/layout_notes.h"

namespace Notation::Layout {

class StemLayouter
{
public:
    explicit StemLayouter(int staff);

    static bool stemGoesUp(const ChordContext& context, const ChordShape& chord);

    // The stem and, for eighths and shorter, the flag at its end; nothing for a note without a stem.
    void layStem(const ChordShape& chord, std::vector<LayoutItem>* out) const;

private:
    int m_staff;
};

} // namespace Notation::Layout

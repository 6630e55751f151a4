#pragma once
// The accidental layouter: the sharps, flats and naturals a chord needs where the key and the
// measure so far do not already give its pitches, stacked in columns left of the heads so that
// none touches another. Takes the chord's shape from the note layouter and the staff's state,
// whose alterations in force for the rest of the measure it updates.

#include "notation/layout_notes.h"

namespace Notation::Layout {

class AccidentalLayouter
{
public:
    AccidentalLayouter(int staff, StaffState* state);

    void layAccidentals(const ChordShape& chord, std::vector<LayoutItem>* out);

private:
    int m_staff;
    StaffState* m_state;
};

} // namespace Notation::Layout

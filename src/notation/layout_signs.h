#pragma once
// The sign layouter: clefs, key signatures and time signatures on one staff, at the start of a
// system or where the score changes them. Each placing hands on the right edge of what it
// placed, so the system layouter can line the next sign up after it.

#include "notation/layout_primitives.h"

#include <vector>

namespace Notation::Layout {

class SignLayouter
{
public:
    explicit SignLayouter(int staff);

    double layClef(const Clef& clef, double x, std::vector<LayoutItem>* out) const;
    // The key's sharps or flats on the steps the clef puts them; nothing for C major.
    double layKeySignature(int fifths, const Clef& clef, double x, std::vector<LayoutItem>* out) const;
    double layTimeSignature(const Meter& meter, double x, std::vector<LayoutItem>* out) const;

private:
    int m_staff;
};

} // namespace Notation::Layout

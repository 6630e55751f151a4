// Places clefs, key signatures and time signatures, handing on their right edge (layout_signs.h).

#include "notation/layout_signs.h"

#include <algorithm>
#include <cstdlib>

namespace Notation::Layout {

namespace {

const int sharpSteps[7] = {8, 5, 9, 6, 3, 7, 4}; // on the treble staff: F C G D A E B
const int flatSteps[7] = {4, 7, 3, 6, 2, 5, 1};  // B E A D G C F

SmuflGlyph clefGlyph(ClefKind kind)
{
    return kind == ClefKind::G   ? SmuflGlyph::gClef
           : kind == ClefKind::F ? SmuflGlyph::fClef
                                 : SmuflGlyph::cClef;
}

// The staff steps of a key signature's accidentals for a clef: the treble positions moved by
// the clef's distance from the treble clef, folded into a fourth either way.
int keyShift(const Clef& clef)
{
    int shift = ((bottomLineDiatonic(Clef{}) - bottomLineDiatonic(clef)) % 7 + 7) % 7;
    if (shift > 3)
        shift -= 7;
    return shift;
}

std::vector<SmuflGlyph> digitGlyphs(int value)
{
    std::vector<SmuflGlyph> glyphs;
    const QByteArray text = QByteArray::number(value);
    for (char c : text)
        glyphs.push_back(static_cast<SmuflGlyph>(static_cast<int>(SmuflGlyph::timeSig0) + (c - '0')));
    return glyphs;
}

double glyphsWidth(const std::vector<SmuflGlyph>& glyphs)
{
    double width = 0.0;
    for (SmuflGlyph glyph : glyphs)
        width += fontMetadata().Width(glyph);
    return width;
}

} // namespace

SignLayouter::SignLayouter(int staff) : m_staff(staff) {}

double SignLayouter::layClef(const Clef& clef, double x, std::vector<LayoutItem>* out) const
{
    const SmuflGlyph glyph = clefGlyph(clef.kind);
    out->push_back(glyphItem(Role::Clef, glyph, QPointF(x, 4.0 - (clef.line - 1)), m_staff));
    return x + fontMetadata().Width(glyph);
}

double SignLayouter::layKeySignature(int fifths, const Clef& clef, double x,
                                     std::vector<LayoutItem>* out) const
{
    double right = x;
    const int shift = keyShift(clef);
    for (int i = 0; i < std::abs(fifths) && i < 7; ++i) {
        const SmuflGlyph glyph = fifths > 0 ? SmuflGlyph::accidentalSharp : SmuflGlyph::accidentalFlat;
        int step = (fifths > 0 ? sharpSteps[i] : flatSteps[i]) + shift;
        // Tenor-clef sharps climb by fourths from the second line instead of leaping above the
        // staff; any clef keeps its signature within a space of the staff.
        if (fifths > 0 && shift == 1 && step > 8)
            step -= 7;
        while (step > 9)
            step -= 7;
        while (step < -1)
            step += 7;
        out->push_back(glyphItem(Role::KeySignature, glyph, QPointF(right, stepY(step)), m_staff));
        right += fontMetadata().Width(glyph) + 0.12;
    }
    return right;
}

double SignLayouter::layTimeSignature(const Meter& meter, double x, std::vector<LayoutItem>* out) const
{
    if (meter.symbol != Meter::Symbol::None) {
        const SmuflGlyph glyph =
            meter.symbol == Meter::Symbol::Common ? SmuflGlyph::timeSigCommon : SmuflGlyph::timeSigCutCommon;
        out->push_back(glyphItem(Role::TimeSignature, glyph, QPointF(x, 2.0), m_staff));
        return x + fontMetadata().Width(glyph);
    }
    // Numerator over denominator, each centred on the wider.
    const std::vector<SmuflGlyph> top = digitGlyphs(meter.numerator), bottom = digitGlyphs(meter.denominator);
    const double total = std::max(glyphsWidth(top), glyphsWidth(bottom));
    auto place = [&](const std::vector<SmuflGlyph>& glyphs, double y) {
        double cursor = x + (total - glyphsWidth(glyphs)) / 2;
        for (SmuflGlyph glyph : glyphs) {
            out->push_back(glyphItem(Role::TimeSignature, glyph, QPointF(cursor, y), m_staff));
            cursor += fontMetadata().Width(glyph);
        }
    };
    place(top, 1.0);
    place(bottom, 3.0);
    return x + total;
}

} // namespace Notation::Layout

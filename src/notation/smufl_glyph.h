#pragma once
// The music-font glyphs the engraver draws, named as the Standard Music Font Layout names them.
// Their code points sit in one table (smufl_glyph.cpp); the font metadata and both drawing
// surfaces look glyphs up through these names.

#include <cstdint>

namespace Notation {

enum class SmuflGlyph : std::uint8_t
{
    gClef,
    fClef,
    cClef,
    noteheadDoubleWhole,
    noteheadWhole,
    noteheadHalf,
    noteheadBlack,
    accidentalDoubleFlat,
    accidentalFlat,
    accidentalNatural,
    accidentalSharp,
    accidentalDoubleSharp,
    augmentationDot,
    flag8thUp,
    flag8thDown,
    flag16thUp,
    flag16thDown,
    flag32ndUp,
    flag32ndDown,
    flag64thUp,
    flag64thDown,
    flag128thUp,
    flag128thDown,
    restDoubleWhole,
    restWhole,
    restHalf,
    restQuarter,
    rest8th,
    rest16th,
    rest32nd,
    rest64th,
    rest128th,
    timeSig0,
    timeSig1,
    timeSig2,
    timeSig3,
    timeSig4,
    timeSig5,
    timeSig6,
    timeSig7,
    timeSig8,
    timeSig9,
    timeSigCommon,
    timeSigCutCommon,
    brace,
    Count
};

constexpr int SmuflGlyphCount = static_cast<int>(SmuflGlyph::Count);

// The SMuFL glyph name, e.g. "noteheadBlack".
const char* SmuflName(SmuflGlyph glyph);
// The code point of the glyph in a SMuFL font, e.g. U+E0A4 for noteheadBlack.
char32_t SmuflCodePoint(SmuflGlyph glyph);

} // namespace Notation

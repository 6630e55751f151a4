#include "notation/smufl_glyph.h"

namespace Notation {

namespace {

struct GlyphEntry
{
    SmuflGlyph glyph;
    const char* name;
    char32_t codePoint;
};

// Indexed by SmuflGlyph; the glyph column lets a test check that the order holds.
constexpr GlyphEntry glyphTable[] = {
    {SmuflGlyph::gClef, "gClef", 0xE050},
    {SmuflGlyph::fClef, "fClef", 0xE062},
    {SmuflGlyph::cClef, "cClef", 0xE05C},
    {SmuflGlyph::noteheadDoubleWhole, "noteheadDoubleWhole", 0xE0A0},
    {SmuflGlyph::noteheadWhole, "noteheadWhole", 0xE0A2},
    {SmuflGlyph::noteheadHalf, "noteheadHalf", 0xE0A3},
    {SmuflGlyph::noteheadBlack, "noteheadBlack", 0xE0A4},
    {SmuflGlyph::accidentalDoubleFlat, "accidentalDoubleFlat", 0xE264},
    {SmuflGlyph::accidentalFlat, "accidentalFlat", 0xE260},
    {SmuflGlyph::accidentalNatural, "accidentalNatural", 0xE261},
    {SmuflGlyph::accidentalSharp, "accidentalSharp", 0xE262},
    {SmuflGlyph::accidentalDoubleSharp, "accidentalDoubleSharp", 0xE263},
    {SmuflGlyph::augmentationDot, "augmentationDot", 0xE1E7},
    {SmuflGlyph::flag8thUp, "flag8thUp", 0xE240},
    {SmuflGlyph::flag8thDown, "flag8thDown", 0xE241},
    {SmuflGlyph::flag16thUp, "flag16thUp", 0xE242},
    {SmuflGlyph::flag16thDown, "flag16thDown", 0xE243},
    {SmuflGlyph::flag32ndUp, "flag32ndUp", 0xE244},
    {SmuflGlyph::flag32ndDown, "flag32ndDown", 0xE245},
    {SmuflGlyph::flag64thUp, "flag64thUp", 0xE246},
    {SmuflGlyph::flag64thDown, "flag64thDown", 0xE247},
    {SmuflGlyph::flag128thUp, "flag128thUp", 0xE248},
    {SmuflGlyph::flag128thDown, "flag128thDown", 0xE249},
    {SmuflGlyph::restDoubleWhole, "restDoubleWhole", 0xE4E2},
    {SmuflGlyph::restWhole, "restWhole", 0xE4E3},
    {SmuflGlyph::restHalf, "restHalf", 0xE4E4},
    {SmuflGlyph::restQuarter, "restQuarter", 0xE4E5},
    {SmuflGlyph::rest8th, "rest8th", 0xE4E6},
    {SmuflGlyph::rest16th, "rest16th", 0xE4E7},
    {SmuflGlyph::rest32nd, "rest32nd", 0xE4E8},
    {SmuflGlyph::rest64th, "rest64th", 0xE4E9},
    {SmuflGlyph::rest128th, "rest128th", 0xE4EA},
    {SmuflGlyph::timeSig0, "timeSig0", 0xE080},
    {SmuflGlyph::timeSig1, "timeSig1", 0xE081},
    {SmuflGlyph::timeSig2, "timeSig2", 0xE082},
    {SmuflGlyph::timeSig3, "timeSig3", 0xE083},
    {SmuflGlyph::timeSig4, "timeSig4", 0xE084},
    {SmuflGlyph::timeSig5, "timeSig5", 0xE085},
    {SmuflGlyph::timeSig6, "timeSig6", 0xE086},
    {SmuflGlyph::timeSig7, "timeSig7", 0xE087},
    {SmuflGlyph::timeSig8, "timeSig8", 0xE088},
    {SmuflGlyph::timeSig9, "timeSig9", 0xE089},
    {SmuflGlyph::timeSigCommon, "timeSigCommon", 0xE08A},
    {SmuflGlyph::timeSigCutCommon, "timeSigCutCommon", 0xE08B},
    {SmuflGlyph::brace, "brace", 0xE000},
};

static_assert(sizeof(glyphTable) / sizeof(glyphTable[0]) == SmuflGlyphCount, "one entry per glyph");

} // namespace

const char* SmuflName(SmuflGlyph glyph)
{
    return glyphTable[static_cast<int>(glyph)].name;
}

char32_t SmuflCodePoint(SmuflGlyph glyph)
{
    return glyphTable[static_cast<int>(glyph)].codePoint;
}

} // namespace Notation

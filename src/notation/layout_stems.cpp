// Chooses the stem direction and places stems and flags (layout_stems.h).

#include "notation/layout_stems.h"

#include <algorithm>

namespace Notation::Layout {

namespace {

constexpr double stemLength = 3.5; // from the notehead centre, for a note in the staff

} // namespace

StemLayouter::StemLayouter(int staff) : m_staff(staff) {}

bool StemLayouter::stemGoesUp(const ChordContext& context, const ChordShape& chord)
{
    if (context.stemUpForced)
        return true;
    if (context.stemDownForced)
        return false;
    // The note farthest from the middle line decides; a tie goes down.
    return (4 - chord.lowestStep()) > (chord.highestStep() - 4);
}

void StemLayouter::layStem(const ChordShape& chord, std::vector<LayoutItem>* out) const
{
    if (!chord.hasStem)
        return;
    const FontMetadata& metadata = fontMetadata();
    const double stemThickness = metadata.Defaults().stemThickness;
    const SmuflGlyph head = chord.headGlyph;
    const int level = chord.value.level;
    const int lowest = chord.lowestStep(), highest = chord.highestStep();

    double stemX, stemStart, stemEnd;
    const double extra = level >= 5 ? 0.5 * (level - 4) : 0.0; // room for the flags of short notes
    if (chord.stemUp) {
        const QPointF anchor = metadata.HasAnchor(head, GlyphAnchor::stemUpSE)
                                   ? metadata.Anchor(head, GlyphAnchor::stemUpSE)
                                   : QPointF(chord.headWidth, -0.168);
        stemX = anchor.x() - stemThickness / 2;
        stemStart = stepY(lowest) + anchor.y();
        stemEnd = std::min(stepY(highest) - stemLength - extra, 2.0);
    } else {
        const QPointF anchor = metadata.HasAnchor(head, GlyphAnchor::stemDownNW)
                                   ? metadata.Anchor(head, GlyphAnchor::stemDownNW)
                                   : QPointF(0.0, 0.168);
        stemX = anchor.x() + stemThickness / 2;
        stemStart = stepY(highest) + anchor.y();
        stemEnd = std::max(stepY(lowest) + stemLength + extra, 2.0);
    }
    LayoutItem stem =
        lineItem(Role::Stem, QPointF(stemX, stemStart), QPointF(stemX, stemEnd), stemThickness, m_staff);
    setColour(&stem, chord.sharedColoured, chord.sharedColour);
    out->push_back(stem);
    if (level < 3)
        return;

    static const SmuflGlyph upFlags[] = {SmuflGlyph::flag8thUp, SmuflGlyph::flag16thUp,
                                         SmuflGlyph::flag32ndUp, SmuflGlyph::flag64thUp,
                                         SmuflGlyph::flag128thUp};
    static const SmuflGlyph downFlags[] = {SmuflGlyph::flag8thDown, SmuflGlyph::flag16thDown,
                                           SmuflGlyph::flag32ndDown, SmuflGlyph::flag64thDown,
                                           SmuflGlyph::flag128thDown};
    const int index = std::min(level - 3, 4);
    const SmuflGlyph flag = chord.stemUp ? upFlags[index] : downFlags[index];
    const double stemLeft = stemX - stemThickness / 2;
    const QPointF anchor =
        metadata.Anchor(flag, chord.stemUp ? GlyphAnchor::stemUpNW : GlyphAnchor::stemDownSW);
    LayoutItem item =
        glyphItem(Role::Flag, flag, QPointF(stemLeft - anchor.x(), stemEnd - anchor.y()), m_staff);
    setColour(&item, chord.sharedColoured, chord.sharedColour);
    out->push_back(item);
}

} // namespace Notation::Layout

#pragma once
// The note layouter: places the noteheads of a chord on their staff steps (seconds on the other
// side of the stem), its augmentation dots, and rests. It hands on the chord's shape — heads,
// note value, stem direction, extent, shared colour — from which the ledger-line, stem and
// accidental layouters place their parts.

#include "notation/layout_primitives.h"

#include <vector>

namespace Notation::Layout {

struct ChordContext
{
    int staff = 0;
    bool stemUpForced = false;
    bool stemDownForced = false;
};

struct PlacedHead
{
    const Note* note = nullptr;
    int step = 0;   // staff step
    double x = 0.0; // relative to the chord's column
    bool displaced = false;
};

struct ChordShape
{
    SmuflGlyph headGlyph = SmuflGlyph::noteheadBlack;
    NoteValue value;
    bool hasStem = false;
    double headWidth = 0.0;
    std::vector<PlacedHead> heads; // lowest step first
    bool stemUp = true;
    double headsLeft = 0.0;
    double headsRight = 0.0;
    // The colour of the parts the notes share (stem, flag): theirs when they all agree.
    bool sharedColoured = false;
    QColor sharedColour;

    int lowestStep() const { return heads.front().step; }
    int highestStep() const { return heads.back().step; }
};

class NoteLayouter
{
public:
    explicit NoteLayouter(int staff);

    // The heads of a chord on their steps under the clef, not yet moved sideways.
    ChordShape stackHeads(const VoiceItem& chord, const Clef& clef) const;
    // Moves the head of a second nearer the stem's end to the other side of the stem; needs the
    // stem direction.
    void displaceSeconds(ChordShape* chord) const;

    void layNoteheads(const ChordShape& chord, std::vector<LayoutItem>* out) const;
    void layDots(const ChordShape& chord, std::vector<LayoutItem>* out) const;
    // `shift` moves the rest up (negative) or down, out of the way of another voice on the staff.
    void layRest(const VoiceItem& rest, double shift, std::vector<LayoutItem>* out) const;

private:
    int m_staff;
};

} // namespace Notation::Layout

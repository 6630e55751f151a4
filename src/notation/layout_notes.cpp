// Places noteheads, augmentation dots and rests; hands the chord's shape on (layout_notes.h).

#include "notation/layout_notes.h"

#include <algorithm>

namespace Notation::Layout {

namespace {

constexpr double dotGap = 0.3;
constexpr double dotSpacing = 0.5;

} // namespace

NoteLayouter::NoteLayouter(int staff) : m_staff(staff) {}

ChordShape NoteLayouter::stackHeads(const VoiceItem& chord, const Clef& clef) const
{
    const FontMetadata& metadata = fontMetadata();
    ChordShape shape;
    shape.value = noteValue(chord.duration.Whole());
    const int level = shape.value.level;
    shape.headGlyph = level <= -1  ? SmuflGlyph::noteheadDoubleWhole
                      : level == 0 ? SmuflGlyph::noteheadWhole
                      : level == 1 ? SmuflGlyph::noteheadHalf
                                   : SmuflGlyph::noteheadBlack;
    shape.hasStem = level >= 1;
    shape.headWidth = metadata.Width(shape.headGlyph);

    const int bottom = bottomLineDiatonic(clef);
    for (const Note& note : chord.notes)
        shape.heads.push_back(PlacedHead{&note, note.pitch.Diatonic() - bottom});
    std::stable_sort(shape.heads.begin(), shape.heads.end(),
                     [](const PlacedHead& a, const PlacedHead& b) { return a.step < b.step; });

    shape.sharedColoured = shape.heads.front().note->coloured;
    shape.sharedColour = shape.heads.front().note->colour;
    for (const PlacedHead& head : shape.heads) {
        if (head.note->coloured != shape.sharedColoured ||
            (head.note->coloured && head.note->colour != shape.sharedColour)) {
            shape.sharedColoured = false;
            break;
        }
    }
    shape.headsLeft = 0.0;
    shape.headsRight = shape.headWidth;
    return shape;
}

void NoteLayouter::displaceSeconds(ChordShape* chord) const
{
    std::vector<PlacedHead>& heads = chord->heads;
    const double stemThickness = fontMetadata().Defaults().stemThickness;
    const double displacement = chord->hasStem ? chord->headWidth - stemThickness : chord->headWidth;
    if (chord->stemUp || !chord->hasStem) {
        for (size_t i = 1; i < heads.size(); ++i) {
            if (heads[i].step - heads[i - 1].step <= 1 && !heads[i - 1].displaced) {
                heads[i].displaced = true;
                heads[i].x = displacement;
            }
        }
    } else {
        for (size_t i = heads.size() - 1; i-- > 0;) {
            if (heads[i + 1].step - heads[i].step <= 1 && !heads[i + 1].displaced) {
                heads[i].displaced = true;
                heads[i].x = -displacement;
            }
        }
    }
    for (const PlacedHead& head : heads) {
        chord->headsLeft = std::min(chord->headsLeft, head.x);
        chord->headsRight = std::max(chord->headsRight, head.x + chord->headWidth);
    }
}

void NoteLayouter::layNoteheads(const ChordShape& chord, std::vector<LayoutItem>* out) const
{
    for (const PlacedHead& head : chord.heads) {
        LayoutItem item =
            glyphItem(Role::Notehead, chord.headGlyph, QPointF(head.x, stepY(head.step)), m_staff);
        setColour(&item, head.note->coloured, head.note->colour);
        item.noteIndex = head.note->index;
        item.order = head.note->sourceOffset;
        item.step = head.step;
        out->push_back(item);
    }
}

void NoteLayouter::layDots(const ChordShape& chord, std::vector<LayoutItem>* out) const
{
    if (chord.value.dots <= 0)
        return;
    // Each in the space of its head: a head on a line has its dot in the space above.
    std::vector<double> used;
    for (const PlacedHead& head : chord.heads) {
        double y = stepY(head.step);
        if (head.step % 2 == 0)
            y -= 0.5;
        if (std::find(used.begin(), used.end(), y) != used.end())
            continue;
        used.push_back(y);
        for (int dot = 0; dot < chord.value.dots; ++dot) {
            LayoutItem item = glyphItem(Role::Dot, SmuflGlyph::augmentationDot,
                                        QPointF(chord.headsRight + dotGap + dot * dotSpacing, y), m_staff);
            setColour(&item, head.note->coloured, head.note->colour);
            item.noteIndex = head.note->index;
            out->push_back(item);
        }
    }
}

void NoteLayouter::layRest(const VoiceItem& rest, double shift, std::vector<LayoutItem>* out) const
{
    const NoteValue value = noteValue(rest.duration.Whole());
    static const SmuflGlyph glyphs[] = {
        SmuflGlyph::restDoubleWhole, SmuflGlyph::restWhole, SmuflGlyph::restHalf,
        SmuflGlyph::restQuarter,     SmuflGlyph::rest8th,   SmuflGlyph::rest16th,
        SmuflGlyph::rest32nd,        SmuflGlyph::rest64th,  SmuflGlyph::rest128th};
    const SmuflGlyph glyph = glyphs[std::clamp(value.level + 1, 0, 8)];
    // The whole rest hangs from the fourth line; the others sit on or round the middle line.
    const double y = (value.level <= 0 ? 1.0 : 2.0) + shift;
    LayoutItem item = glyphItem(Role::Rest, glyph, QPointF(0.0, y), m_staff);
    setColour(&item, rest.restColoured, rest.restColour);
    item.order = rest.sourceOffset;
    out->push_back(item);
    const double right = fontMetadata().Width(glyph);
    for (int dot = 0; dot < value.dots; ++dot) {
        LayoutItem dotItem = glyphItem(Role::Dot, SmuflGlyph::augmentationDot,
                                       QPointF(right + dotGap + dot * dotSpacing, 1.5 + shift), m_staff);
        setColour(&dotItem, rest.restColoured, rest.restColour);
        out->push_back(dotItem);
    }
}

} // namespace Notation::Layout

// Places a chord's accidentals in columns and keeps the measure's alterations (layout_accidentals.h).

#include "notation/layout_accidentals.h"

#include <algorithm>
#include <cstdlib>

namespace Notation::Layout {

namespace {

constexpr double accidentalGap = 0.22; // between an accidental and its notehead
constexpr double accidentalColumnGap = 0.1;

const int sharpLetters[7] = {3, 0, 4, 1, 5, 2, 6}; // F C G D A E B
const int flatLetters[7] = {6, 2, 5, 1, 4, 0, 3};  // B E A D G C F

// The alteration the key signature gives a letter (C = 0 … B = 6).
int keyAlteration(int fifths, int letter)
{
    for (int i = 0; i < std::abs(fifths) && i < 7; ++i) {
        if ((fifths > 0 ? sharpLetters[i] : flatLetters[i]) == letter)
            return fifths > 0 ? 1 : -1;
    }
    return 0;
}

SmuflGlyph accidentalGlyph(int alter)
{
    switch (alter) {
    case -2:
        return SmuflGlyph::accidentalDoubleFlat;
    case -1:
        return SmuflGlyph::accidentalFlat;
    case 1:
        return SmuflGlyph::accidentalSharp;
    case 2:
        return SmuflGlyph::accidentalDoubleSharp;
    default:
        return SmuflGlyph::accidentalNatural;
    }
}

} // namespace

AccidentalLayouter::AccidentalLayouter(int staff, StaffState* state) : m_staff(staff), m_state(state) {}

void AccidentalLayouter::layAccidentals(const ChordShape& chord, std::vector<LayoutItem>* out)
{
    const FontMetadata& metadata = fontMetadata();
    struct Sign
    {
        const PlacedHead* head;
        SmuflGlyph glyph;
        double top, bottom;
        int column = 0;
    };
    std::vector<Sign> signs;
    std::map<int, int> changes; // applied after the whole chord: its own notes do not cancel each other
    for (const PlacedHead& head : chord.heads) {
        const int diatonic = head.note->pitch.Diatonic();
        auto inForce = m_state->measureAlterations.find(diatonic);
        const int current = inForce != m_state->measureAlterations.end()
                                ? inForce->second
                                : keyAlteration(m_state->fifths, head.note->pitch.step);
        if (head.note->pitch.alter != current) {
            const SmuflGlyph glyph = accidentalGlyph(head.note->pitch.alter);
            const QRectF box = metadata.BoundingBox(glyph);
            const double y = stepY(head.step);
            if (std::none_of(signs.begin(), signs.end(), [&](const Sign& sign) {
                    return sign.head->step == head.step && sign.glyph == glyph;
                }))
                signs.push_back(Sign{&head, glyph, y + box.top(), y + box.bottom()});
        }
        changes[diatonic] = head.note->pitch.alter;
    }
    for (const auto& change : changes)
        m_state->measureAlterations[change.first] = change.second;
    if (signs.empty())
        return;

    // Placed from the outside in (highest, lowest, next highest, …), each in the column nearest
    // the heads where it touches no accidental already placed.
    std::vector<int> orderOfPlacing;
    int low = 0, high = int(signs.size()) - 1;
    bool fromTop = true;
    while (low <= high) {
        orderOfPlacing.push_back(fromTop ? high-- : low++);
        fromTop = !fromTop;
    }
    std::vector<std::vector<int>> columns;
    for (int index : orderOfPlacing) {
        Sign& sign = signs[index];
        size_t column = 0;
        for (; column < columns.size(); ++column) {
            const bool clash = std::any_of(columns[column].begin(), columns[column].end(), [&](int other) {
                return sign.top < signs[other].bottom - 0.05 && signs[other].top < sign.bottom - 0.05;
            });
            if (!clash)
                break;
        }
        if (column == columns.size())
            columns.emplace_back();
        columns[column].push_back(index);
        sign.column = int(column);
    }
    double columnRight = chord.headsLeft - accidentalGap;
    for (const std::vector<int>& column : columns) {
        double width = 0.0;
        for (int index : column)
            width = std::max(width, metadata.Width(signs[index].glyph));
        for (int index : column) {
            const Sign& sign = signs[index];
            LayoutItem item =
                glyphItem(Role::Accidental, sign.glyph,
                          QPointF(columnRight - metadata.Width(sign.glyph), stepY(sign.head->step)), m_staff);
            setColour(&item, sign.head->note->coloured, sign.head->note->colour);
            item.noteIndex = sign.head->note->index;
            out->push_back(item);
        }
        columnRight -= width + accidentalColumnGap;
    }
}

} // namespace Notation::Layout

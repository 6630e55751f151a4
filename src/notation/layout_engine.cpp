#include "notation/layout_engine.h"

#include "notation/font_metadata.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace Notation {

namespace {

using Role = LayoutItem::Role;

constexpr double stemLength = 3.5;     // from the notehead centre, for a note in the staff
constexpr double clefIndent = 0.8;     // from the start of the staff lines to the clef
constexpr double signGap = 0.8;        // between clef, key and metre
constexpr double firstNoteGap = 1.5;   // from the last sign of a system to the first note
constexpr double accidentalGap = 0.22; // between an accidental and its notehead
constexpr double accidentalColumnGap = 0.1;
constexpr double dotGap = 0.3;
constexpr double dotSpacing = 0.5;
constexpr double minimumNoteGap = 0.5; // between the right of one column and the left of the next
constexpr double endGap = 1.2;         // after the last note of a system
// Between the top lines of two staves, at least: the distance of the two staves of printed piano
// music, which leaves room for a ledger line or two of either hand between them.
constexpr double staffDistance = 10.5;
constexpr double staffPadding = 1.0; // between what hangs below one staff and what rises above the next
constexpr double braceGap = 0.3;     // between the brace and the bar line at the start of the system
constexpr double systemGap = 2.0;    // between systems stacked on one page

const int sharpSteps[7] = {8, 5, 9, 6, 3, 7, 4}; // on the treble staff: F C G D A E B
const int flatSteps[7] = {4, 7, 3, 6, 2, 5, 1};  // B E A D G C F
const int sharpLetters[7] = {3, 0, 4, 1, 5, 2, 6};
const int flatLetters[7] = {6, 2, 5, 1, 4, 0, 3};

const FontMetadata& Metadata()
{
    return FontMetadata::Instance();
}

int BottomLineDiatonic(const Clef& clef)
{
    const int reference = clef.kind == ClefKind::G   ? Pitch{4, 0, 1}.Diatonic()  // G4
                          : clef.kind == ClefKind::F ? Pitch{3, 0, 0}.Diatonic()  // F3
                                                     : Pitch{0, 0, 1}.Diatonic(); // C4
    return reference - 2 * (clef.line - 1);
}

double StepY(int step)
{
    return 4.0 - step / 2.0;
}

SmuflGlyph ClefGlyph(ClefKind kind)
{
    return kind == ClefKind::G   ? SmuflGlyph::gClef
           : kind == ClefKind::F ? SmuflGlyph::fClef
                                 : SmuflGlyph::cClef;
}

int KeyAlter(int fifths, int letter)
{
    for (int i = 0; i < std::abs(fifths) && i < 7; ++i) {
        if ((fifths > 0 ? sharpLetters[i] : flatLetters[i]) == letter)
            return fifths > 0 ? 1 : -1;
    }
    return 0;
}

// The staff steps of a key signature's accidentals for a clef: the treble positions moved by
// the clef's distance from the treble clef, folded into a fourth either way.
int KeyShift(const Clef& clef)
{
    int shift = ((BottomLineDiatonic(Clef{}) - BottomLineDiatonic(clef)) % 7 + 7) % 7;
    if (shift > 3)
        shift -= 7;
    return shift;
}

SmuflGlyph AccidentalGlyph(int alter)
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

// A length as a plain value 2^-level (level -1 breve … 7 128th) with dots.
void Decompose(double whole, int* level, int* dots)
{
    for (int l = -1; l <= 7; ++l) {
        const double plain = std::ldexp(1.0, -l);
        double dotted = plain, add = plain;
        for (int d = 0; d <= 3; ++d) {
            if (std::fabs(dotted - whole) < 1e-9) {
                *level = l;
                *dots = d;
                return;
            }
            add /= 2.0;
            dotted += add;
        }
    }
    *level = 2;
    *dots = 0;
}

LayoutItem Glyph(Role role, SmuflGlyph glyph, QPointF origin, int staff)
{
    LayoutItem item;
    item.role = role;
    item.isGlyph = true;
    item.glyph = glyph;
    item.origin = origin;
    item.staff = staff;
    return item;
}

LayoutItem Line(Role role, QPointF from, QPointF to, double thickness, int staff)
{
    LayoutItem item;
    item.role = role;
    item.isGlyph = false;
    item.origin = from;
    item.end = to;
    item.thickness = thickness;
    item.staff = staff;
    return item;
}

void Colour(LayoutItem* item, bool coloured, const QColor& colour)
{
    item->coloured = coloured;
    item->colour = colour;
}

double ItemLeft(const LayoutItem& item)
{
    if (item.isGlyph)
        return item.origin.x() + Metadata().BoundingBox(item.glyph).left() * item.scale;
    return std::min(item.origin.x(), item.end.x()) -
           (item.origin.x() == item.end.x() ? item.thickness / 2 : 0);
}

double ItemRight(const LayoutItem& item)
{
    if (item.isGlyph)
        return item.origin.x() + Metadata().BoundingBox(item.glyph).right() * item.scale;
    return std::max(item.origin.x(), item.end.x()) +
           (item.origin.x() == item.end.x() ? item.thickness / 2 : 0);
}

double ItemTop(const LayoutItem& item)
{
    if (item.isGlyph)
        return item.origin.y() + Metadata().BoundingBox(item.glyph).top() * item.scale;
    return std::min(item.origin.y(), item.end.y()) -
           (item.origin.y() == item.end.y() ? item.thickness / 2 : 0);
}

double ItemBottom(const LayoutItem& item)
{
    if (item.isGlyph)
        return item.origin.y() + Metadata().BoundingBox(item.glyph).bottom() * item.scale;
    return std::max(item.origin.y(), item.end.y()) +
           (item.origin.y() == item.end.y() ? item.thickness / 2 : 0);
}

struct StaffState
{
    Clef clef;
    int fifths = 0;
    bool hasMeter = false;
    Meter meter;
    std::map<int, int> measureAlters; // diatonic position → alteration in force in this measure
};

// One column of the score: everything that starts at one time, either notes and rests or one
// kind of sign. Items are relative to the column's x and to their staff's top line.
struct Column
{
    double time = 0.0;
    int rank = 0; // 0 bar, 1 clef, 2 key, 3 metre, 4 notes and rests
    std::vector<LayoutItem> items;
    double left = 0.0;
    double right = 0.0;
    double duration = 0.0;               // notes: time to the next note column
    double shortest = 0.0;               // notes: shortest event starting here
    std::vector<StaffState> statesAfter; // staff states after the column, for system starts
};

struct ChordContext
{
    int staff = 0;
    bool stemUpForced = false;
    bool stemDownForced = false;
};

void LayChord(const VoiceItem& chord, const ChordContext& context, StaffState* state,
              std::vector<LayoutItem>* out)
{
    const FontMetadata& metadata = Metadata();
    const EngravingDefaults& defaults = metadata.Defaults();
    int level = 2, dots = 0;
    Decompose(chord.duration.Whole(), &level, &dots);
    const SmuflGlyph head = level <= -1  ? SmuflGlyph::noteheadDoubleWhole
                            : level == 0 ? SmuflGlyph::noteheadWhole
                            : level == 1 ? SmuflGlyph::noteheadHalf
                                         : SmuflGlyph::noteheadBlack;
    const bool hasStem = level >= 1;
    const double headWidth = metadata.Width(head);
    const int bottom = BottomLineDiatonic(state->clef);

    struct Head
    {
        const Note* note;
        int step;
        double x = 0.0;
        bool displaced = false;
    };
    std::vector<Head> heads;
    for (const Note& note : chord.notes)
        heads.push_back(Head{&note, note.pitch.Diatonic() - bottom});
    std::stable_sort(heads.begin(), heads.end(),
                     [](const Head& a, const Head& b) { return a.step < b.step; });
    const int lowest = heads.front().step, highest = heads.back().step;

    bool stemUp;
    if (context.stemUpForced)
        stemUp = true;
    else if (context.stemDownForced)
        stemUp = false;
    else
        stemUp =
            (4 - lowest) > (highest - 4); // the note farthest from the middle line decides; a tie goes down

    // Seconds: the head nearer the stem's end moves to the other side of the stem.
    const double stemThickness = defaults.stemThickness;
    const QPointF upAnchor = metadata.HasAnchor(head, GlyphAnchor::stemUpSE)
                                 ? metadata.Anchor(head, GlyphAnchor::stemUpSE)
                                 : QPointF(headWidth, -0.168);
    const QPointF downAnchor = metadata.HasAnchor(head, GlyphAnchor::stemDownNW)
                                   ? metadata.Anchor(head, GlyphAnchor::stemDownNW)
                                   : QPointF(0.0, 0.168);
    const double displacement = hasStem ? headWidth - stemThickness : headWidth;
    if (stemUp || !hasStem) {
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

    // Colour of the parts shared by the chord: that of its notes when they all agree.
    bool sharedColoured = heads.front().note->coloured;
    QColor sharedColour = heads.front().note->colour;
    for (const Head& h : heads) {
        if (h.note->coloured != sharedColoured || (h.note->coloured && h.note->colour != sharedColour)) {
            sharedColoured = false;
            break;
        }
    }

    // Ledger lines, one per line position, as wide as the heads that need it; drawn before
    // the heads so that a coloured head is not crossed by a line in the default ink.
    std::map<int, std::pair<double, double>> ledgers; // step → (left, right)
    std::map<int, int> ledgerNote;
    for (const Head& h : heads) {
        auto add = [&](int step) {
            const double left = h.x - defaults.legerLineExtension;
            const double right = h.x + headWidth + defaults.legerLineExtension;
            auto found = ledgers.find(step);
            if (found == ledgers.end()) {
                ledgers[step] = {left, right};
                ledgerNote[step] = h.note->index;
            } else {
                found->second.first = std::min(found->second.first, left);
                found->second.second = std::max(found->second.second, right);
            }
        };
        for (int step = -2; step >= h.step; step -= 2)
            add(step);
        for (int step = 10; step <= h.step; step += 2)
            add(step);
    }
    for (const auto& ledger : ledgers) {
        const double y = StepY(ledger.first);
        LayoutItem item = Line(Role::LedgerLine, QPointF(ledger.second.first, y),
                               QPointF(ledger.second.second, y), defaults.legerLineThickness, context.staff);
        item.noteIndex = ledgerNote[ledger.first];
        out->push_back(item);
    }

    double headsLeft = 0.0, headsRight = headWidth;
    for (const Head& h : heads) {
        headsLeft = std::min(headsLeft, h.x);
        headsRight = std::max(headsRight, h.x + headWidth);
        LayoutItem item = Glyph(Role::Notehead, head, QPointF(h.x, StepY(h.step)), context.staff);
        Colour(&item, h.note->coloured, h.note->colour);
        item.noteIndex = h.note->index;
        item.order = h.note->sourceOffset;
        item.step = h.step;
        out->push_back(item);
    }

    // Stem and flags.
    if (hasStem) {
        double stemX, stemStart, stemEnd;
        const double extra = level >= 5 ? 0.5 * (level - 4) : 0.0;
        if (stemUp) {
            stemX = upAnchor.x() - stemThickness / 2;
            stemStart = StepY(lowest) + upAnchor.y();
            stemEnd = std::min(StepY(highest) - stemLength - extra, 2.0);
        } else {
            stemX = downAnchor.x() + stemThickness / 2;
            stemStart = StepY(highest) + downAnchor.y();
            stemEnd = std::max(StepY(lowest) + stemLength + extra, 2.0);
        }
        LayoutItem stem = Line(Role::Stem, QPointF(stemX, stemStart), QPointF(stemX, stemEnd), stemThickness,
                               context.staff);
        Colour(&stem, sharedColoured, sharedColour);
        out->push_back(stem);
        if (level >= 3) {
            static const SmuflGlyph upFlags[] = {SmuflGlyph::flag8thUp, SmuflGlyph::flag16thUp,
                                                 SmuflGlyph::flag32ndUp, SmuflGlyph::flag64thUp,
                                                 SmuflGlyph::flag128thUp};
            static const SmuflGlyph downFlags[] = {SmuflGlyph::flag8thDown, SmuflGlyph::flag16thDown,
                                                   SmuflGlyph::flag32ndDown, SmuflGlyph::flag64thDown,
                                                   SmuflGlyph::flag128thDown};
            const int index = std::min(level - 3, 4);
            const SmuflGlyph flag = stemUp ? upFlags[index] : downFlags[index];
            const double stemLeft = stemX - stemThickness / 2;
            QPointF origin;
            if (stemUp) {
                const QPointF anchor = metadata.Anchor(flag, GlyphAnchor::stemUpNW);
                origin = QPointF(stemLeft - anchor.x(), stemEnd - anchor.y());
            } else {
                const QPointF anchor = metadata.Anchor(flag, GlyphAnchor::stemDownSW);
                origin = QPointF(stemLeft - anchor.x(), stemEnd - anchor.y());
            }
            LayoutItem item = Glyph(Role::Flag, flag, origin, context.staff);
            Colour(&item, sharedColoured, sharedColour);
            out->push_back(item);
        }
    }

    // Dots, in the space of each head (a head on a line has its dot in the space above).
    if (dots > 0) {
        std::vector<double> used;
        for (const Head& h : heads) {
            double y = StepY(h.step);
            if (h.step % 2 == 0)
                y -= 0.5;
            if (std::find(used.begin(), used.end(), y) != used.end())
                continue;
            used.push_back(y);
            for (int d = 0; d < dots; ++d) {
                LayoutItem item = Glyph(Role::Dot, SmuflGlyph::augmentationDot,
                                        QPointF(headsRight + dotGap + d * dotSpacing, y), context.staff);
                Colour(&item, h.note->coloured, h.note->colour);
                item.noteIndex = h.note->index;
                out->push_back(item);
            }
        }
    }

    // Accidentals: shown where the key and the measure so far do not already give the pitch.
    struct Sign
    {
        const Head* head;
        SmuflGlyph glyph;
        double top, bottom;
        int column = 0;
    };
    std::vector<Sign> signs;
    std::map<int, int> changes;
    for (const Head& h : heads) {
        const int diatonic = h.note->pitch.Diatonic();
        auto inForce = state->measureAlters.find(diatonic);
        const int current = inForce != state->measureAlters.end()
                                ? inForce->second
                                : KeyAlter(state->fifths, h.note->pitch.step);
        if (h.note->pitch.alter != current) {
            const SmuflGlyph glyph = AccidentalGlyph(h.note->pitch.alter);
            const QRectF box = metadata.BoundingBox(glyph);
            const double y = StepY(h.step);
            if (std::none_of(signs.begin(), signs.end(),
                             [&](const Sign& s) { return s.head->step == h.step && s.glyph == glyph; }))
                signs.push_back(Sign{&h, glyph, y + box.top(), y + box.bottom()});
        }
        changes[diatonic] = h.note->pitch.alter;
    }
    for (const auto& change : changes)
        state->measureAlters[change.first] = change.second;
    if (!signs.empty()) {
        // Placed from the outside in (highest, lowest, next highest, …), each in the column
        // nearest the heads where it touches no accidental already placed.
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
                const bool clash =
                    std::any_of(columns[column].begin(), columns[column].end(), [&](int other) {
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
        double columnRight = headsLeft - accidentalGap;
        for (const std::vector<int>& column : columns) {
            double width = 0.0;
            for (int index : column)
                width = std::max(width, metadata.Width(signs[index].glyph));
            for (int index : column) {
                const Sign& sign = signs[index];
                LayoutItem item = Glyph(
                    Role::Accidental, sign.glyph,
                    QPointF(columnRight - metadata.Width(sign.glyph), StepY(sign.head->step)), context.staff);
                Colour(&item, sign.head->note->coloured, sign.head->note->colour);
                item.noteIndex = sign.head->note->index;
                out->push_back(item);
            }
            columnRight -= width + accidentalColumnGap;
        }
    }
}

// `shift` moves the rest up (negative) or down, out of the way of another voice on the staff.
void LayRest(const VoiceItem& rest, int staff, double shift, std::vector<LayoutItem>* out)
{
    int level = 2, dots = 0;
    Decompose(rest.duration.Whole(), &level, &dots);
    static const SmuflGlyph glyphs[] = {
        SmuflGlyph::restDoubleWhole, SmuflGlyph::restWhole, SmuflGlyph::restHalf,
        SmuflGlyph::restQuarter,     SmuflGlyph::rest8th,   SmuflGlyph::rest16th,
        SmuflGlyph::rest32nd,        SmuflGlyph::rest64th,  SmuflGlyph::rest128th};
    const SmuflGlyph glyph = glyphs[std::clamp(level + 1, 0, 8)];
    // The whole rest hangs from the fourth line; the others sit on or round the middle line.
    const double y = (level <= 0 ? 1.0 : 2.0) + shift;
    LayoutItem item = Glyph(Role::Rest, glyph, QPointF(0.0, y), staff);
    Colour(&item, rest.restColoured, rest.restColour);
    item.order = rest.sourceOffset;
    out->push_back(item);
    const double right = Metadata().Width(glyph);
    for (int d = 0; d < dots; ++d) {
        LayoutItem dot = Glyph(Role::Dot, SmuflGlyph::augmentationDot,
                               QPointF(right + dotGap + d * dotSpacing, 1.5 + shift), staff);
        Colour(&dot, rest.restColoured, rest.restColour);
        out->push_back(dot);
    }
}

void LayKey(int fifths, const Clef& clef, double x, int staff, std::vector<LayoutItem>* out, double* right)
{
    *right = x;
    const int shift = KeyShift(clef);
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
        out->push_back(Glyph(Role::KeySignature, glyph, QPointF(*right, StepY(step)), staff));
        *right += Metadata().Width(glyph) + 0.12;
    }
}

void LayMeter(const Meter& meter, double x, int staff, std::vector<LayoutItem>* out, double* right)
{
    const FontMetadata& metadata = Metadata();
    if (meter.symbol != Meter::Symbol::None) {
        const SmuflGlyph glyph =
            meter.symbol == Meter::Symbol::Common ? SmuflGlyph::timeSigCommon : SmuflGlyph::timeSigCutCommon;
        out->push_back(Glyph(Role::TimeSignature, glyph, QPointF(x, 2.0), staff));
        *right = x + metadata.Width(glyph);
        return;
    }
    auto digits = [](int value) {
        std::vector<SmuflGlyph> glyphs;
        const QByteArray text = QByteArray::number(value);
        for (char c : text)
            glyphs.push_back(static_cast<SmuflGlyph>(static_cast<int>(SmuflGlyph::timeSig0) + (c - '0')));
        return glyphs;
    };
    auto width = [&](const std::vector<SmuflGlyph>& glyphs) {
        double w = 0.0;
        for (SmuflGlyph g : glyphs)
            w += metadata.Width(g);
        return w;
    };
    const std::vector<SmuflGlyph> top = digits(meter.numerator), bottom = digits(meter.denominator);
    const double total = std::max(width(top), width(bottom));
    auto place = [&](const std::vector<SmuflGlyph>& glyphs, double y) {
        double cursor = x + (total - width(glyphs)) / 2;
        for (SmuflGlyph g : glyphs) {
            out->push_back(Glyph(Role::TimeSignature, g, QPointF(cursor, y), staff));
            cursor += metadata.Width(g);
        }
    };
    place(top, 1.0);
    place(bottom, 3.0);
    *right = x + total;
}

// A whole rest with nothing else between its bar lines (or the start and end of the voice).
bool IsMeasureRest(const Voice& voice, int index)
{
    const VoiceItem& rest = voice.items[index];
    if (rest.duration.numerator != 1 || rest.duration.denominator != 1 || rest.duration.dots != 0)
        return false;
    const auto isSign = [](const VoiceItem& item) {
        return item.kind == VoiceItem::Kind::Clef || item.kind == VoiceItem::Kind::Key ||
               item.kind == VoiceItem::Kind::Meter;
    };
    for (int i = index - 1; i >= 0 && voice.items[i].kind != VoiceItem::Kind::Bar; --i) {
        if (!isSign(voice.items[i]))
            return false;
    }
    for (int i = index + 1; i < int(voice.items.size()) && voice.items[i].kind != VoiceItem::Kind::Bar; ++i) {
        if (!isSign(voice.items[i]))
            return false;
    }
    return true;
}

double DurationSpace(double duration)
{
    if (duration <= 0.0)
        return 2.0;
    return std::max(2.0, 3.5 + 1.2 * std::log2(4.0 * duration));
}

} // namespace

ScoreLayout LayoutEngine::Lay(const Score& score, const PageFormat& format)
{
    const FontMetadata& metadata = Metadata();
    const EngravingDefaults& defaults = metadata.Defaults();
    const double unit = PageFormat::unitsPerStaffSpace;
    ScoreLayout layout;
    layout.pageSize = QSizeF(format.width / unit, format.height / unit);
    const double marginLeft = format.marginLeft / unit, marginTop = format.marginTop / unit;
    const double availableWidth =
        std::max(10.0, (format.width - format.marginLeft - format.marginRight) / unit);
    const double availableHeight =
        std::max(4.0, (format.height - format.marginTop - format.marginBottom) / unit);
    const double roomBelowStaff = std::max(0.0, format.roomBelowStaff / unit);

    if (score.voices.empty())
        return layout;

    // Staves in the order of their numbers.
    std::vector<int> staffNumbers;
    for (const Voice& voice : score.voices)
        staffNumbers.push_back(voice.staff);
    std::sort(staffNumbers.begin(), staffNumbers.end());
    staffNumbers.erase(std::unique(staffNumbers.begin(), staffNumbers.end()), staffNumbers.end());
    auto staffIndex = [&](int number) {
        return int(std::lower_bound(staffNumbers.begin(), staffNumbers.end(), number) - staffNumbers.begin());
    };
    const int staffCount = int(staffNumbers.size());

    // Several voices with notes on one staff: the first has its stems up, the others down.
    std::vector<int> voiceRank(score.voices.size(), 0);
    std::vector<int> voicesWithNotes(staffCount, 0);
    for (size_t v = 0; v < score.voices.size(); ++v) {
        const Voice& voice = score.voices[v];
        const bool hasNotes = std::any_of(voice.items.begin(), voice.items.end(), [](const VoiceItem& item) {
            return item.kind == VoiceItem::Kind::Chord;
        });
        if (hasNotes)
            voiceRank[v] = voicesWithNotes[staffIndex(voice.staff)]++;
    }

    // The signs before the first note of each voice set the staff's starting state.
    std::vector<StaffState> states(staffCount);
    struct TimedEvent
    {
        double time;
        int rank;
        int voice;
        int item;
    };
    std::vector<TimedEvent> events;
    for (size_t v = 0; v < score.voices.size(); ++v) {
        const Voice& voice = score.voices[v];
        StaffState& state = states[staffIndex(voice.staff)];
        double time = 0.0;
        bool started = false;
        for (size_t i = 0; i < voice.items.size(); ++i) {
            const VoiceItem& item = voice.items[i];
            int rank = 4;
            switch (item.kind) {
            case VoiceItem::Kind::Bar:
                rank = 0;
                started = true;
                break;
            case VoiceItem::Kind::Clef:
                rank = 1;
                if (!started) {
                    state.clef = item.clef;
                    continue;
                }
                break;
            case VoiceItem::Kind::Key:
                rank = 2;
                if (!started) {
                    state.fifths = item.fifths;
                    continue;
                }
                break;
            case VoiceItem::Kind::Meter:
                rank = 3;
                if (!started) {
                    state.hasMeter = true;
                    state.meter = item.meter;
                    continue;
                }
                break;
            case VoiceItem::Kind::Chord:
            case VoiceItem::Kind::Rest:
                started = true;
                break;
            }
            events.push_back(TimedEvent{time, rank, int(v), int(i)});
            if (rank == 4)
                time += item.duration.Whole();
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
        if (std::fabs(a.time - b.time) > 1e-9)
            return a.time < b.time;
        return a.rank < b.rank;
    });
    // The metre is the whole score's: a staff whose voices give none takes another staff's.
    const auto metered =
        std::find_if(states.begin(), states.end(), [](const StaffState& state) { return state.hasMeter; });
    if (metered != states.end()) {
        const Meter meter = metered->meter;
        for (StaffState& state : states) {
            if (!state.hasMeter) {
                state.hasMeter = true;
                state.meter = meter;
            }
        }
    }
    const std::vector<StaffState> initialStates = states;

    // Columns, with their items relative to the column.
    std::vector<Column> columns;
    for (size_t e = 0; e < events.size();) {
        Column column;
        column.time = events[e].time;
        column.rank = events[e].rank;
        column.shortest = 1e9;
        std::vector<bool> barDone(staffCount, false), signDone(staffCount, false);
        const Meter* columnMeter = nullptr;
        size_t end = e;
        while (end < events.size() && std::fabs(events[end].time - column.time) <= 1e-9 &&
               events[end].rank == column.rank)
            ++end;
        for (size_t k = e; k < end; ++k) {
            const Voice& voice = score.voices[events[k].voice];
            const VoiceItem& item = voice.items[events[k].item];
            const int staff = staffIndex(voice.staff);
            StaffState& state = states[staff];
            switch (item.kind) {
            case VoiceItem::Kind::Bar:
                // A bar line runs through every staff of the system, so it ends the measure of
                // each of them.
                for (int s = 0; s < staffCount; ++s) {
                    states[s].measureAlters.clear();
                    if (!barDone[s]) {
                        barDone[s] = true;
                        column.items.push_back(Line(Role::Barline, QPointF(0.0, 0.0), QPointF(0.0, 4.0),
                                                    defaults.thinBarlineThickness, s));
                    }
                }
                break;
            case VoiceItem::Kind::Clef:
                if (!signDone[staff] && !(state.clef == item.clef)) {
                    signDone[staff] = true;
                    column.items.push_back(Glyph(Role::Clef, ClefGlyph(item.clef.kind),
                                                 QPointF(0.0, 4.0 - (item.clef.line - 1)), staff));
                }
                state.clef = item.clef;
                break;
            case VoiceItem::Kind::Key:
                if (!signDone[staff] && state.fifths != item.fifths) {
                    signDone[staff] = true;
                    double right = 0.0;
                    LayKey(item.fifths, state.clef, 0.0, staff, &column.items, &right);
                }
                state.fifths = item.fifths;
                state.measureAlters.clear();
                break;
            case VoiceItem::Kind::Meter:
                if (!signDone[staff]) {
                    signDone[staff] = true;
                    double right = 0.0;
                    LayMeter(item.meter, 0.0, staff, &column.items, &right);
                }
                state.hasMeter = true;
                state.meter = item.meter;
                columnMeter = &item.meter;
                break;
            case VoiceItem::Kind::Chord: {
                ChordContext context;
                context.staff = staff;
                if (item.stems == StemDirection::Up)
                    context.stemUpForced = true;
                else if (item.stems == StemDirection::Down)
                    context.stemDownForced = true;
                else if (voicesWithNotes[staff] > 1)
                    (voiceRank[events[k].voice] == 0 ? context.stemUpForced : context.stemDownForced) = true;
                LayChord(item, context, &state, &column.items);
                column.shortest = std::min(column.shortest, item.duration.Whole());
                break;
            }
            case VoiceItem::Kind::Rest:
                // With several voices on the staff, the first voice's rests go up, the others' down.
                LayRest(item, staff,
                        voicesWithNotes[staff] > 1 ? (voiceRank[events[k].voice] == 0 ? -2.0 : 2.0) : 0.0,
                        &column.items);
                if (IsMeasureRest(voice, events[k].item))
                    column.items.back().measureRest = true;
                column.shortest = std::min(column.shortest, item.duration.Whole());
                break;
            }
        }
        // A change of metre shows on every staff, whichever voice wrote it.
        if (columnMeter) {
            for (int s = 0; s < staffCount; ++s) {
                if (signDone[s])
                    continue;
                double right = 0.0;
                LayMeter(*columnMeter, 0.0, s, &column.items, &right);
                states[s].hasMeter = true;
                states[s].meter = *columnMeter;
            }
        }
        e = end;
        if (column.items.empty() && column.rank != 4)
            continue;
        column.left = 0.0;
        column.right = 0.0;
        for (const LayoutItem& item : column.items) {
            column.left = std::min(column.left, ItemLeft(item));
            column.right = std::max(column.right, ItemRight(item));
        }
        column.statesAfter = states;
        columns.push_back(std::move(column));
    }
    for (size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].rank != 4)
            continue;
        columns[c].duration = columns[c].shortest;
        for (size_t n = c + 1; n < columns.size(); ++n) {
            if (columns[n].rank == 4 && columns[n].time > columns[c].time + 1e-9) {
                columns[c].duration = std::min(columns[c].duration, columns[n].time - columns[c].time);
                break;
            }
        }
    }

    // Systems: the start signs, then as many columns as fit the width. Several staves make a
    // grand staff: a brace and a bar line at the start join them, and every bar line runs down
    // through all of them, so the staff lines start after the room the brace takes.
    const bool joined = staffCount > 1;
    auto laySystem = [&](double left, size_t first, bool withMeter, size_t* after) {
        LayoutSystem system;
        system.staves.resize(staffCount);
        const std::vector<StaffState>& startStates =
            first == 0 ? initialStates : columns[first - 1].statesAfter;
        // Start signs, aligned across the staves: clefs, then keys, then the metre.
        double clefRight = left, keyRight = left, meterRight = left;
        std::vector<LayoutItem> items;
        for (int s = 0; s < staffCount; ++s) {
            const Clef& clef = startStates[s].clef;
            items.push_back(Glyph(Role::Clef, ClefGlyph(clef.kind),
                                  QPointF(left + clefIndent, 4.0 - (clef.line - 1)), s));
            clefRight = std::max(clefRight, left + clefIndent + metadata.Width(ClefGlyph(clef.kind)));
        }
        keyRight = clefRight;
        for (int s = 0; s < staffCount; ++s) {
            if (startStates[s].fifths == 0)
                continue;
            double right = 0.0;
            LayKey(startStates[s].fifths, startStates[s].clef, clefRight + signGap, s, &items, &right);
            keyRight = std::max(keyRight, right);
        }
        meterRight = keyRight;
        if (withMeter) {
            for (int s = 0; s < staffCount; ++s) {
                if (!startStates[s].hasMeter)
                    continue;
                double right = 0.0;
                LayMeter(startStates[s].meter, keyRight + signGap, s, &items, &right);
                meterRight = std::max(meterRight, right);
            }
        }
        double cursor = meterRight + firstNoteGap;
        double end = cursor;
        const double limit = marginLeft + availableWidth;
        size_t c = first;
        bool placedAny = false;
        double previousRight = 0.0, previousSpace = 0.0;
        for (; c < columns.size(); ++c) {
            const Column& column = columns[c];
            double x;
            if (!placedAny) {
                x = cursor - column.left;
            } else {
                const double touching = previousRight + minimumNoteGap - column.left;
                x = std::max(cursor + previousSpace, cursor + touching);
                if (column.rank != 4)
                    x = std::max(cursor + std::max(previousRight + minimumNoteGap, previousSpace * 0.8) -
                                     column.left,
                                 cursor + touching);
            }
            const double columnEnd =
                x + (column.rank == 4 ? std::max(column.right + endGap, DurationSpace(column.duration))
                                      : column.right);
            if (placedAny && columnEnd > limit)
                break;
            for (LayoutItem item : column.items) {
                item.origin.rx() += x;
                item.end.rx() += x;
                items.push_back(item);
            }
            cursor = x;
            previousRight = column.right;
            previousSpace = column.rank == 4 ? DurationSpace(column.duration) : column.right + 1.0;
            end = columnEnd;
            placedAny = true;
        }
        if (!placedAny)
            end = meterRight + 2.0;
        *after = c;
        // Whole-measure rests move to the middle of their measure.
        const double signsEnd = meterRight + signGap;
        for (LayoutItem& rest : items) {
            if (rest.role != Role::Rest || !rest.measureRest)
                continue;
            double from = signsEnd, to = end;
            for (const LayoutItem& bar : items) {
                if (bar.role != Role::Barline || bar.staff != rest.staff)
                    continue;
                if (bar.origin.x() < rest.origin.x())
                    from = std::max(from, bar.origin.x());
                else
                    to = std::min(to, bar.origin.x());
            }
            const double centred = (from + to) / 2 - metadata.Width(rest.glyph) / 2;
            if (centred > rest.origin.x())
                rest.origin.rx() = centred;
        }
        // Staff lines and vertical placement of the staves: at least the usual distance, more
        // where what hangs below one staff would come near what rises above the next.
        double staffTop = 0.0;
        double previousBelow = 0.0;
        for (int s = 0; s < staffCount; ++s) {
            double above = 0.0, below = 4.0;
            for (const LayoutItem& item : items) {
                if (item.staff == s) {
                    above = std::min(above, ItemTop(item));
                    below = std::max(below, ItemBottom(item));
                }
            }
            if (s > 0)
                staffTop += std::max(staffDistance, previousBelow + staffPadding - above);
            system.staves[s].top = staffTop;
            system.staves[s].left = left;
            system.staves[s].right = end;
            previousBelow = below + roomBelowStaff;
        }
        for (LayoutItem& item : items) {
            item.origin.ry() += system.staves[item.staff].top;
            item.end.ry() += system.staves[item.staff].top;
        }
        for (int s = 0; s < staffCount; ++s) {
            for (int line = 0; line < 5; ++line) {
                const double y = system.staves[s].top + line;
                items.insert(
                    items.begin() + s * 5 + line,
                    Line(Role::StaffLine, QPointF(left, y), QPointF(end, y), defaults.staffLineThickness, s));
            }
        }
        system.items = std::move(items);
        return system;
    };

    // The brace is the font's, scaled evenly to the height of the system from the top line of
    // its first staff to the bottom line of its last.
    const QRectF braceBox = metadata.BoundingBox(SmuflGlyph::brace);
    auto braceScale = [&](double height) {
        return braceBox.height() > 0.0 ? height / braceBox.height() : 1.0;
    };
    auto braceRoom = [&](double height) { return braceBox.right() * braceScale(height) + braceGap; };
    auto joinStaves = [&](LayoutSystem* system) {
        const double left = system->staves.front().left;
        const double top = system->staves.front().top, bottom = system->staves.back().top + 4.0;
        const double thickness = defaults.thinBarlineThickness;
        std::vector<double> bars;
        std::vector<LayoutItem>& items = system->items;
        for (const LayoutItem& item : items) {
            if (item.role == Role::Barline && std::none_of(bars.begin(), bars.end(), [&](double x) {
                    return std::fabs(x - item.origin.x()) < 1e-9;
                }))
                bars.push_back(item.origin.x());
        }
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [](const LayoutItem& item) { return item.role == Role::Barline; }),
                    items.end());
        // The system's own bar line stands on the start of the staff lines.
        items.push_back(Line(Role::Barline, QPointF(left + thickness / 2, top),
                             QPointF(left + thickness / 2, bottom), thickness, LayoutItem::wholeSystem));
        for (double x : bars)
            items.push_back(
                Line(Role::Barline, QPointF(x, top), QPointF(x, bottom), thickness, LayoutItem::wholeSystem));
        const double scale = braceScale(bottom - top);
        LayoutItem brace =
            Glyph(Role::Brace, SmuflGlyph::brace,
                  QPointF(left - braceGap - braceBox.right() * scale, bottom - braceBox.bottom() * scale),
                  LayoutItem::wholeSystem);
        brace.scale = scale;
        items.push_back(brace);
    };

    size_t next = 0;
    bool firstSystem = true;
    do {
        // The brace's room follows the system's height, which the music on it decides: a system
        // taller than the usual grand staff is laid again with a wider brace before it.
        double room = joined ? braceRoom(staffDistance * (staffCount - 1) + 4.0) : 0.0;
        LayoutSystem system;
        size_t after = next;
        for (int attempt = 0;; ++attempt) {
            system = laySystem(marginLeft + room, next, firstSystem, &after);
            if (!joined)
                break;
            const double needed = braceRoom(system.staves.back().top - system.staves.front().top + 4.0);
            if (needed <= room + 1e-9 || attempt == 2)
                break;
            room = needed;
        }
        if (joined)
            joinStaves(&system);
        layout.systems.push_back(std::move(system));
        next = after;
        firstSystem = false;
    } while (next < columns.size());

    // Pages: systems stacked from the top margin; a page with one system centres its staves.
    struct Extent
    {
        double top, bottom;
    };
    std::vector<Extent> extents;
    for (const LayoutSystem& system : layout.systems) {
        const int lastStaff = int(system.staves.size()) - 1;
        Extent extent{0.0, system.staves.back().top + 4.0};
        double lastStaffBottom = extent.bottom;
        for (const LayoutItem& item : system.items) {
            extent.top = std::min(extent.top, ItemTop(item));
            extent.bottom = std::max(extent.bottom, ItemBottom(item));
            if (item.staff == lastStaff)
                lastStaffBottom = std::max(lastStaffBottom, ItemBottom(item));
        }
        // The room under the last staff belongs to the system (the room under the others lies
        // between the staves already).
        extent.bottom = std::max(extent.bottom, lastStaffBottom + roomBelowStaff);
        extents.push_back(extent);
    }
    std::vector<std::vector<int>> pages(1);
    double used = 0.0;
    for (size_t s = 0; s < layout.systems.size(); ++s) {
        const double height = extents[s].bottom - extents[s].top;
        if (!pages.back().empty() && used + systemGap + height > availableHeight) {
            pages.emplace_back();
            used = 0.0;
        }
        used += (pages.back().empty() ? 0.0 : systemGap) + height;
        pages.back().push_back(int(s));
    }
    const double pageHeight = layout.pageSize.height();
    for (size_t p = 0; p < pages.size(); ++p) {
        std::vector<double> offsets;
        if (pages[p].size() == 1) {
            const int s = pages[p].front();
            const double blockHeight = layout.systems[s].staves.back().top + 4.0;
            double offset = (pageHeight - blockHeight) / 2.0;
            const double contentTop = offset + extents[s].top, contentBottom = offset + extents[s].bottom;
            const double areaTop = marginTop, areaBottom = marginTop + availableHeight;
            if (extents[s].bottom - extents[s].top > availableHeight)
                offset = (pageHeight - (extents[s].bottom + extents[s].top)) / 2.0;
            else if (contentTop < areaTop)
                offset += areaTop - contentTop;
            else if (contentBottom > areaBottom)
                offset -= contentBottom - areaBottom;
            offsets.push_back(offset);
        } else {
            double y = marginTop;
            for (int s : pages[p]) {
                offsets.push_back(y - extents[s].top);
                y += extents[s].bottom - extents[s].top + systemGap;
            }
        }
        for (size_t k = 0; k < pages[p].size(); ++k) {
            LayoutSystem& system = layout.systems[pages[p][k]];
            system.page = int(p);
            for (LayoutStaff& staff : system.staves)
                staff.top += offsets[k];
            for (LayoutItem& item : system.items) {
                item.origin.ry() += offsets[k];
                item.end.ry() += offsets[k];
            }
        }
    }
    layout.pageCount = int(pages.size());
    return layout;
}

} // namespace Notation

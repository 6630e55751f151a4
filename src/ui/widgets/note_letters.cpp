#include "ui/widgets/note_letters.h"

#include "core/exercise/note_spelling.h"
#include "ui/interface_fonts.h"
#include "ui/widgets/score_extent.h"

#include "notation/font_metadata.h"
#include "notation/graphic_map.h"
#include "notation/music_font.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>
#include <utility>

namespace UI {

namespace {

// In staff spaces unless said otherwise.
constexpr double letterSize = 1.1;         // pixel size of the font
constexpr double letterGap = 0.5;          // from the lowest sign of the staff to the first row
constexpr double letterRowSpacing = 0.3;   // between the rows of a chord's letters
constexpr double letterSidePadding = 0.15; // kept free between letters side by side
constexpr int smallestLetterPixelSize = 6;
constexpr double accidentalPerCapHeight = 0.46; // glyph staff space per cap height of the letters
constexpr double accidentalGap = 0.06;          // between letter and accidental, in cap heights

// The note's name as the naming in force writes it. German names carry their accidentals
// ("Fis", "B"), so nothing follows them; the letters and the syllables of solfège are written
// bare, their accidental drawn from the music font after them.
QString nameOf(const Notation::Pitch& pitch, int* shownAlter)
{
    Core::NoteSpelling::SpelledNote note;
    note.step = std::clamp(pitch.step, 0, 6);
    if (Core::NoteSpelling::noteNaming() == Core::NoteSpelling::NoteNaming::German) {
        note.alter = pitch.alter;
        *shownAlter = 0;
    } else {
        *shownAlter = pitch.alter;
    }
    return Core::NoteSpelling::displayName(note);
}

bool accidentalOf(int alter, Notation::SmuflGlyph* glyph)
{
    switch (alter) {
    case -2:
        *glyph = Notation::SmuflGlyph::accidentalDoubleFlat;
        return true;
    case -1:
        *glyph = Notation::SmuflGlyph::accidentalFlat;
        return true;
    case 1:
        *glyph = Notation::SmuflGlyph::accidentalSharp;
        return true;
    case 2:
        *glyph = Notation::SmuflGlyph::accidentalDoubleSharp;
        return true;
    default:
        return false;
    }
}

// The accidental's origin relative to the start of the letter's baseline, for a letter
// `letterWidth` wide: flats stand on the baseline, the other signs are centred on the capitals.
QPointF accidentalOffset(Notation::SmuflGlyph glyph, double letterWidth, double capHeight, double scale)
{
    const QRectF box = Notation::FontMetadata::Instance().BoundingBox(glyph);
    const bool flat =
        glyph == Notation::SmuflGlyph::accidentalFlat || glyph == Notation::SmuflGlyph::accidentalDoubleFlat;
    const double y = flat ? -box.bottom() * scale : -capHeight / 2 - box.center().y() * scale;
    return QPointF(letterWidth + accidentalGap * capHeight - box.left() * scale, y);
}

} // namespace

NoteLetters::NoteLetters(double staffSpace)
{
    m_font = QFont(InterfaceFonts::familyName());
    m_font.setWeight(QFont::Medium);
    m_font.setPixelSize(std::max(smallestLetterPixelSize, int(std::lround(staffSpace * letterSize))));
    const QFontMetricsF metrics(m_font);
    m_capHeight = metrics.capHeight();
    m_accidentalScale = accidentalPerCapHeight * m_capHeight;
    // Rows as high as the capitals with the tallest and the lowest accidental.
    double above = m_capHeight, below = 0.0;
    for (int alter = -2; alter <= 2; ++alter) {
        Notation::SmuflGlyph glyph;
        if (!accidentalOf(alter, &glyph))
            continue;
        const QRectF box = Notation::FontMetadata::Instance().BoundingBox(glyph);
        const QPointF origin = accidentalOffset(glyph, 0.0, m_capHeight, m_accidentalScale);
        above = std::max(above, -(origin.y() + box.top() * m_accidentalScale));
        below = std::max(below, origin.y() + box.bottom() * m_accidentalScale);
    }
    m_gap = letterGap * staffSpace;
    m_ascent = above;
    m_rowHeight = above + below + letterRowSpacing * staffSpace;
}

double NoteLetters::roomBelowStaff(int rows) const
{
    return m_gap + rows * m_rowHeight;
}

std::vector<NoteLetters::Letter> NoteLetters::place(const Notation::ScoreDocument& document, int page,
                                                    const QRectF& target, double staffSpace,
                                                    const QColor& ink) const
{
    // The shown notes by their byte offset in the text, with the chord each belongs to.
    struct ShownNote
    {
        const Notation::Note* note;
        int chord;
    };
    std::unordered_map<int, ShownNote> notes;
    int chordNumber = 0;
    for (const Notation::Voice& voice : document.ParsedScore().voices) {
        for (const Notation::VoiceItem& item : voice.items) {
            if (item.kind != Notation::VoiceItem::Kind::Chord)
                continue;
            for (const Notation::Note& note : item.notes)
                notes.emplace(note.sourceOffset, ShownNote{&note, chordNumber});
            ++chordNumber;
        }
    }

    // The system and staff of every notehead on the page, and how far down each staff's signs
    // reach (in staff spaces on the page): the letters go below that, in rows.
    const Notation::ScoreLayout& layout = document.Layout();
    std::unordered_map<int, std::pair<int, int>> headPlace;
    std::map<std::pair<int, int>, double> staffBottom;
    for (int s = 0; s < int(layout.systems.size()); ++s) {
        const Notation::LayoutSystem& system = layout.systems[size_t(s)];
        if (system.page != page)
            continue;
        for (const Notation::LayoutItem& item : system.items) {
            double& bottom = staffBottom[{s, item.staff}];
            bottom = std::max(bottom, ScoreExtent::itemBox(item).bottom());
            if (item.role == Notation::LayoutItem::Role::Notehead)
                headPlace[item.order] = {s, item.staff};
        }
    }

    // Where the noteheads are drawn, from the map of the page as it will be painted.
    struct Pending
    {
        std::pair<int, int> place;
        int chord;
        const Notation::Note* note;
        double centre;
    };
    std::vector<Pending> pending;
    const Notation::GraphicMap map = document.MapPage(page, target);
    for (const Notation::MapElement& element : map.elements) {
        if (element.type != Notation::MapElement::eventType ||
            element.subtype != Notation::MapElement::noteSubtype)
            continue;
        const auto note = notes.find(element.order);
        const auto place = headPlace.find(element.order);
        if (note == notes.end() || place == headPlace.end())
            continue;
        pending.push_back(
            Pending{place->second, note->second.chord, note->second.note, element.box.center().x()});
    }
    // Staff by staff, chord by chord, each chord's letters from its highest note down.
    std::stable_sort(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) {
        if (a.place != b.place)
            return a.place < b.place;
        if (a.chord != b.chord)
            return a.chord < b.chord;
        const Notation::Pitch& p = a.note->pitch;
        const Notation::Pitch& q = b.note->pitch;
        return p.Diatonic() != q.Diatonic() ? p.Diatonic() > q.Diatonic() : p.alter > q.alter;
    });

    // A chord's letters take consecutive rows; a chord whose letters would touch letters
    // already placed (another voice at the same time) moves down to the first free rows.
    const QFontMetricsF metrics(m_font);
    const double padding = letterSidePadding * staffSpace;
    std::vector<Letter> letters;
    std::vector<std::vector<std::pair<double, double>>> rows; // occupied spans of the current staff
    for (size_t first = 0; first < pending.size();) {
        if (first == 0 || pending[first].place != pending[first - 1].place)
            rows.clear();
        size_t end = first;
        while (end < pending.size() && pending[end].place == pending[first].place &&
               pending[end].chord == pending[first].chord)
            ++end;
        struct Span
        {
            Letter letter;
            double left, width;
        };
        std::vector<Span> spans;
        for (size_t k = first; k < end; ++k) {
            const Notation::Note& note = *pending[k].note;
            Span span;
            int shownAlter = 0;
            span.letter.text = nameOf(note.pitch, &shownAlter);
            span.letter.colour = note.coloured ? note.colour : ink;
            const double letterWidth = metrics.horizontalAdvance(span.letter.text);
            span.width = letterWidth;
            span.letter.hasAccidental = accidentalOf(shownAlter, &span.letter.accidental);
            if (span.letter.hasAccidental) {
                span.letter.accidentalOrigin =
                    accidentalOffset(span.letter.accidental, letterWidth, m_capHeight, m_accidentalScale);
                const QRectF box = Notation::FontMetadata::Instance().BoundingBox(span.letter.accidental);
                span.width = span.letter.accidentalOrigin.x() + box.right() * m_accidentalScale;
            }
            span.left = pending[k].centre - span.width / 2;
            spans.push_back(span);
        }
        auto clashes = [&](size_t row, const Span& span) {
            if (row >= rows.size())
                return false;
            return std::any_of(
                rows[row].begin(), rows[row].end(), [&](const std::pair<double, double>& used) {
                    return span.left - padding < used.second && used.first < span.left + span.width + padding;
                });
        };
        size_t base = 0;
        for (;; ++base) {
            bool free = true;
            for (size_t k = 0; k < spans.size() && free; ++k)
                free = !clashes(base + k, spans[k]);
            if (free)
                break;
        }
        const std::pair<int, int> place = pending[first].place;
        const double top = target.top() + staffBottom[place] * staffSpace + m_gap;
        for (size_t k = 0; k < spans.size(); ++k) {
            const size_t row = base + k;
            if (rows.size() <= row)
                rows.resize(row + 1);
            rows[row].emplace_back(spans[k].left, spans[k].left + spans[k].width);
            Letter letter = spans[k].letter;
            letter.baseline = QPointF(spans[k].left, top + double(row) * m_rowHeight + m_ascent);
            letter.accidentalOrigin += letter.baseline;
            letters.push_back(letter);
        }
        first = end;
    }
    return letters;
}

void NoteLetters::draw(QPainter* painter, const std::vector<Letter>& letters) const
{
    painter->setFont(m_font);
    const QTransform base = painter->transform();
    for (const Letter& letter : letters) {
        painter->setPen(letter.colour);
        painter->drawText(letter.baseline, letter.text);
        if (!letter.hasAccidental)
            continue;
        painter->setTransform(QTransform(m_accidentalScale, 0, 0, m_accidentalScale,
                                         letter.accidentalOrigin.x(), letter.accidentalOrigin.y()) *
                              base);
        painter->fillPath(Notation::MusicFont::GlyphPath(letter.accidental), letter.colour);
        painter->setTransform(base);
    }
}

int NoteLetters::mostRows(const Notation::Score& score)
{
    // The most notes that start together on one staff: every voice's chord at that moment
    // stacks its letters there.
    struct Onset
    {
        int staff;
        double time;
        int notes;
    };
    std::vector<Onset> onsets;
    for (const Notation::Voice& voice : score.voices) {
        double time = 0.0;
        for (const Notation::VoiceItem& item : voice.items) {
            if (item.kind == Notation::VoiceItem::Kind::Chord)
                onsets.push_back(Onset{voice.staff, time, int(item.notes.size())});
            if (item.kind == Notation::VoiceItem::Kind::Chord || item.kind == Notation::VoiceItem::Kind::Rest)
                time += item.duration.Whole();
        }
    }
    std::sort(onsets.begin(), onsets.end(), [](const Onset& a, const Onset& b) {
        return a.staff != b.staff ? a.staff < b.staff : a.time < b.time;
    });
    int most = 0;
    for (size_t i = 0; i < onsets.size();) {
        int together = 0;
        size_t j = i;
        for (; j < onsets.size() && onsets[j].staff == onsets[i].staff &&
               std::fabs(onsets[j].time - onsets[i].time) < 1e-9;
             ++j)
            together += onsets[j].notes;
        most = std::max(most, together);
        i = j;
    }
    return most;
}

} // namespace UI

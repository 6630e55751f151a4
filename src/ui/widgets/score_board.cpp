#include "ui/widgets/score_board.h"

#include "ui/interface_fonts.h"

#include "notation/bounding_box_surface.h"
#include "notation/font_metadata.h"
#include "notation/gmn_parser.h"
#include "notation/music_font.h"
#include "notation/page_format.h"
#include "notation/score_painter.h"

#include <QFontMetricsF>
#include <QImage>
#include <QMutexLocker>
#include <QPaintEngine>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <unordered_map>
#include <utility>

namespace UI {

namespace {

const QColor ink(0x00, 0x00, 0x20);
const QColor groundGrey(144, 144, 144);

// The page is 1000 units high, as the score builder's 3000 × 1000 page drawn 350 pixels high:
// one staff space is a twentieth of the board's height. Its width follows the board's shape,
// so a wide board puts more music on a line. Margins as the score builder's.
constexpr double pageHeightUnits = 1000.0;
// A system taller than the page (two staves with many ledger lines), or wider than a narrow
// board (a line holds at least one chord), makes the page larger in units, so everything is
// drawn smaller: this many tries, with this much to spare.
constexpr int fittingPasses = 4;
constexpr double fittingSlack = 1.02;
constexpr double marginSideUnits = 20.0;
constexpr double marginTopBottomUnits = 70.0;

// Note letters, in staff spaces unless said otherwise.
constexpr double letterSize = 1.1;         // pixel size of the font
constexpr double letterGap = 0.5;          // from the lowest sign of the staff to the first row
constexpr double letterRowSpacing = 0.3;   // between the rows of a chord's letters
constexpr double letterSidePadding = 0.15; // kept free between letters side by side
constexpr int smallestLetterPixelSize = 6;
constexpr double accidentalPerCapHeight = 0.46; // glyph staff space per cap height of the letters
constexpr double accidentalGap = 0.06;          // between letter and accidental, in cap heights

// A staff's clef at the start of a voice; a voice without one is in the treble clef, as the
// layout engine draws it.
Notation::Clef startingClef(const Notation::Voice& voice)
{
    for (const Notation::VoiceItem& item : voice.items) {
        if (item.kind == Notation::VoiceItem::Kind::Clef)
            return item.clef;
        if (item.kind == Notation::VoiceItem::Kind::Chord || item.kind == Notation::VoiceItem::Kind::Rest)
            break;
    }
    return Notation::Clef{};
}

QRectF layoutBox(const Notation::LayoutItem& item)
{
    if (item.isGlyph)
        return Notation::BoundingBoxSurface::GlyphBox(item.glyph, item.origin, item.scale);
    return Notation::BoundingBoxSurface::LineBox(item.origin, item.end, item.thickness);
}

// The size of the largest system, in staff spaces, with the room kept under its last staff.
QSizeF largestSystem(const Notation::ScoreLayout& layout, double roomBelowStaff)
{
    QSizeF largest;
    for (const Notation::LayoutSystem& system : layout.systems) {
        if (system.staves.empty())
            continue;
        const int lastStaff = int(system.staves.size()) - 1;
        double top = system.staves.front().top, bottom = system.staves.back().top + 4.0;
        double left = system.staves.front().left, right = system.staves.front().right;
        double lastStaffBottom = bottom;
        for (const Notation::LayoutItem& item : system.items) {
            const QRectF box = layoutBox(item);
            top = std::min(top, box.top());
            bottom = std::max(bottom, box.bottom());
            left = std::min(left, box.left());
            right = std::max(right, box.right());
            if (item.staff == lastStaff)
                lastStaffBottom = std::max(lastStaffBottom, box.bottom());
        }
        largest = largest.expandedTo(
            QSizeF(right - left, std::max(bottom, lastStaffBottom + roomBelowStaff) - top));
    }
    return largest;
}

QString letterOf(const Notation::Pitch& pitch)
{
    static const char letters[] = "CDEFGAB";
    return QString(QLatin1Char(letters[std::clamp(pitch.step, 0, 6)]));
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

ScoreBoard::ScoreBoard(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(tr("Score"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

ScoreBoard::~ScoreBoard() = default;

void ScoreBoard::setDrawingMode(int mode)
{
    {
        QMutexLocker locker(&m_mutex);
        if (m_drawingMode == mode)
            return;
        m_drawingMode = mode;
        m_engravedCurrent = false;
    }
    // In mode 2 every pixel is painted, so nothing behind the board needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent, mode == 2);
    update();
}

bool ScoreBoard::event(QEvent* event)
{
    const bool result = QWidget::event(event);
    // A style sheet with a transparent background (the exercise screen gives the board one)
    // takes the opaque flag away whenever the board is polished again; mode 2 still paints
    // every pixel.
    if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange)
        setAttribute(Qt::WA_OpaquePaintEvent, drawingMode() == 2);
    return result;
}

int ScoreBoard::drawingMode() const
{
    QMutexLocker locker(&m_mutex);
    return m_drawingMode;
}

bool ScoreBoard::setScore(const QByteArray& gmn)
{
    Notation::Score parsed;
    Notation::ParseError error;
    const bool accepted = !gmn.isEmpty() && Notation::GmnParser::Parse(gmn, &parsed, &error);
    {
        QMutexLocker locker(&m_mutex);
        m_hasScore = accepted;
        m_parsedScore = accepted ? std::move(parsed) : Notation::Score{};
        m_currentPage = 0;
        layOut();
        updateAccessibleDescription();
    }
    update();
    return accepted || gmn.isEmpty();
}

void ScoreBoard::clearScore()
{
    setScore(QByteArray());
}

int ScoreBoard::pageCount() const
{
    QMutexLocker locker(&m_mutex);
    return int(m_pages.size());
}

int ScoreBoard::currentPage() const
{
    QMutexLocker locker(&m_mutex);
    return m_currentPage;
}

Notation::GraphicMap ScoreBoard::lastMap() const
{
    QMutexLocker locker(&m_mutex);
    return m_lastMap;
}

QSize ScoreBoard::sizeHint() const
{
    return QSize(1050, 350);
}

QSize ScoreBoard::minimumSizeHint() const
{
    return QSize(120, 60);
}

void ScoreBoard::nextPage()
{
    QMutexLocker locker(&m_mutex);
    turnTo(m_currentPage + 1);
}

void ScoreBoard::previousPage()
{
    QMutexLocker locker(&m_mutex);
    turnTo(m_currentPage - 1);
}

void ScoreBoard::updateScores()
{
    {
        QMutexLocker locker(&m_mutex);
        layOut();
        updateAccessibleDescription();
    }
    update();
}

void ScoreBoard::showBassClef()
{
    QMutexLocker locker(&m_mutex);
    setFilter(ClefFilter::Bass);
}

void ScoreBoard::showTrebleClef()
{
    QMutexLocker locker(&m_mutex);
    setFilter(ClefFilter::Treble);
}

void ScoreBoard::showBothClefs()
{
    QMutexLocker locker(&m_mutex);
    setFilter(ClefFilter::Both);
}

void ScoreBoard::changeLettersMode(bool on)
{
    QMutexLocker locker(&m_mutex);
    if (m_lettersShown == on)
        return;
    m_lettersShown = on;
    // The letters need room under the staves, so the music is laid out again.
    layOut();
    updateAccessibleDescription();
    update();
}

void ScoreBoard::changeFingersMode(bool on)
{
    QMutexLocker locker(&m_mutex);
    m_fingersShown = on;
}

void ScoreBoard::refresh()
{
    update();
}

void ScoreBoard::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    QMutexLocker locker(&m_mutex);
    if (event->size() == m_laidOutSize)
        return;
    layOut();
    updateAccessibleDescription();
}

void ScoreBoard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QMutexLocker locker(&m_mutex);
    if (m_pages.empty()) {
        if (m_drawingMode == 2)
            painter.fillRect(rect(), groundGrey);
        m_lastMap = Notation::GraphicMap{};
        return;
    }
    // The ratio of the device painted on: the window's backing store, or a picture being
    // rendered (whose painter is redirected from the widget).
    const QPaintDevice* device = painter.paintEngine() && painter.paintEngine()->paintDevice()
                                     ? painter.paintEngine()->paintDevice()
                                     : painter.device();
    const qreal ratio = device->devicePixelRatioF();
    if (!m_engravedCurrent || m_engraved.devicePixelRatio() != ratio || m_engravedSize != size())
        engrave(ratio);
    painter.drawImage(QPointF(0, 0), m_engraved);
    m_lastMap = m_engravedMap;
}

void ScoreBoard::engrave(qreal ratio)
{
    // An opaque ground makes a picture without alpha, which is copied rather than blended. The
    // buffer of the last picture is reused when it fits.
    const QImage::Format format =
        m_drawingMode == 2 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
    const QSize pixels = size() * ratio;
    if (m_engraved.size() != pixels || m_engraved.format() != format)
        m_engraved = QImage(pixels, format);
    m_engraved.setDevicePixelRatio(ratio);
    m_engraved.fill(m_drawingMode == 2 ? groundGrey : QColor(Qt::transparent));
    m_engravedSize = size();
    m_engravedCurrent = true;
    QPainter painter(&m_engraved);
    const LaidOutPage& page = m_pages[size_t(m_currentPage)];
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // The glyphs are filled outlines and the letters text, both drawn through the painter, so
    // they come out at the paint device's own resolution.
    painter.setPen(ink);
    m_engravedMap = m_document.DrawPage(&painter, m_currentPage, page.target);
    if (!page.letters.empty()) {
        painter.setFont(m_letterFont);
        const QTransform base = painter.transform();
        for (const Letter& letter : page.letters) {
            painter.setPen(letter.colour);
            painter.drawText(letter.baseline, letter.text);
            if (!letter.hasAccidental)
                continue;
            painter.setTransform(QTransform(m_accidentalScale, 0, 0, m_accidentalScale,
                                            letter.accidentalOrigin.x(), letter.accidentalOrigin.y()) *
                                 base);
            painter.fillPath(Notation::MusicFont::GlyphPath(letter.accidental), letter.colour);
            painter.setTransform(base);
        }
    }
}

void ScoreBoard::setFilter(ClefFilter newFilter)
{
    if (m_filter == newFilter)
        return;
    m_filter = newFilter;
    layOut();
    updateAccessibleDescription();
    update();
}

void ScoreBoard::turnTo(int page)
{
    const int clamped = std::clamp(page, 0, std::max(0, int(m_pages.size()) - 1));
    if (clamped == m_currentPage)
        return;
    m_currentPage = clamped;
    m_engravedCurrent = false;
    updateAccessibleDescription();
    update();
}

void ScoreBoard::updateAccessibleDescription()
{
    setAccessibleDescription(
        m_pages.size() > 1 ? tr("Page %1 of %2").arg(m_currentPage + 1).arg(m_pages.size()) : QString());
}

void ScoreBoard::layOut()
{
    m_laidOutSize = size();
    m_pages.clear();
    m_engravedCurrent = false;
    m_document = Notation::ScoreDocument{};
    Notation::Score shown = m_hasScore ? filtered(m_parsedScore, m_filter) : Notation::Score{};
    if (shown.voices.empty() || width() <= 0 || height() <= 0) {
        m_currentPage = 0;
        return;
    }

    // The staff follows the board's height; a system larger than the page holds gets a larger
    // page (in units), which draws the whole score smaller, until the largest system fits.
    const int letterRows = m_lettersShown ? mostLetterRows(shown) : 0;
    double pageHeight = pageHeightUnits;
    LetterStyle style;
    for (int pass = 0; pass < fittingPasses; ++pass) {
        const double unitsPerPixel = pageHeight / height();
        Notation::PageFormat format;
        format.width = width() * unitsPerPixel;
        format.height = pageHeight;
        format.marginLeft = marginSideUnits;
        format.marginRight = marginSideUnits;
        format.marginTop = marginTopBottomUnits;
        format.marginBottom = marginTopBottomUnits;
        style = makeLetterStyle(Notation::PageFormat::unitsPerStaffSpace / unitsPerPixel);
        if (letterRows > 0)
            format.roomBelowStaff = (style.gap + letterRows * style.rowHeight) * unitsPerPixel;
        m_document.SetPageFormat(format);
        if (pass == 0)
            m_document.SetScore(std::move(shown));
        const double unit = Notation::PageFormat::unitsPerStaffSpace;
        const QSizeF largest = largestSystem(m_document.Layout(), format.roomBelowStaff / unit) * unit;
        const double growth =
            std::max((largest.height() + format.marginTop + format.marginBottom) / format.height,
                     (largest.width() + format.marginLeft + format.marginRight) / format.width);
        if (growth <= 1.0)
            break;
        pageHeight *= growth * fittingSlack;
    }

    // The page fills the board's height; a board narrower than the shortest line the layout
    // allows shows the page smaller, centred. Each page's music is centred across the board.
    const Notation::ScoreLayout& layout = m_document.Layout();
    const double space = Notation::ScorePainter::StaffSpace(layout, QRectF(rect()));
    if (space <= 0.0) {
        m_currentPage = 0;
        return;
    }
    const QSizeF pageSize = layout.pageSize * space;
    for (int p = 0; p < layout.pageCount; ++p) {
        double left = std::numeric_limits<double>::max(), right = std::numeric_limits<double>::lowest();
        for (const Notation::LayoutSystem& system : layout.systems) {
            if (system.page != p)
                continue;
            for (const Notation::LayoutStaff& staff : system.staves) {
                left = std::min(left, staff.left);
                right = std::max(right, staff.right);
            }
            // The brace of a grand staff stands left of its staves and belongs to the music.
            for (const Notation::LayoutItem& item : system.items) {
                if (item.role == Notation::LayoutItem::Role::Brace)
                    left = std::min(left, layoutBox(item).left());
            }
        }
        LaidOutPage page;
        const double x = left <= right ? (width() - (right - left) * space) / 2 - left * space : 0.0;
        page.target = QRectF(QPointF(x, (height() - pageSize.height()) / 2), pageSize);
        if (m_lettersShown)
            page.letters = placeLetters(p, page.target, space, style);
        m_pages.push_back(std::move(page));
    }
    m_letterFont = style.font;
    m_accidentalScale = style.accidentalScale;
    m_currentPage = std::clamp(m_currentPage, 0, int(m_pages.size()) - 1);
}

ScoreBoard::LetterStyle ScoreBoard::makeLetterStyle(double staffSpace)
{
    LetterStyle style;
    style.font = QFont(InterfaceFonts::familyName());
    style.font.setWeight(QFont::Medium);
    style.font.setPixelSize(std::max(smallestLetterPixelSize, int(std::lround(staffSpace * letterSize))));
    const QFontMetricsF metrics(style.font);
    style.capHeight = metrics.capHeight();
    style.accidentalScale = accidentalPerCapHeight * style.capHeight;
    // Rows as high as the capitals with the tallest and the lowest accidental.
    double above = style.capHeight, below = 0.0;
    for (int alter = -2; alter <= 2; ++alter) {
        Notation::SmuflGlyph glyph;
        if (!accidentalOf(alter, &glyph))
            continue;
        const QRectF box = Notation::FontMetadata::Instance().BoundingBox(glyph);
        const QPointF origin = accidentalOffset(glyph, 0.0, style.capHeight, style.accidentalScale);
        above = std::max(above, -(origin.y() + box.top() * style.accidentalScale));
        below = std::max(below, origin.y() + box.bottom() * style.accidentalScale);
    }
    style.gap = letterGap * staffSpace;
    style.ascent = above;
    style.rowHeight = above + below + letterRowSpacing * staffSpace;
    return style;
}

std::vector<ScoreBoard::Letter> ScoreBoard::placeLetters(int page, const QRectF& target, double staffSpace,
                                                         const LetterStyle& style) const
{
    // The shown notes by their byte offset in the text, with the chord each belongs to.
    struct ShownNote
    {
        const Notation::Note* note;
        int chord;
    };
    std::unordered_map<int, ShownNote> notes;
    int chordNumber = 0;
    for (const Notation::Voice& voice : m_document.ParsedScore().voices) {
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
    const Notation::ScoreLayout& layout = m_document.Layout();
    std::unordered_map<int, std::pair<int, int>> headPlace;
    std::map<std::pair<int, int>, double> staffBottom;
    for (int s = 0; s < int(layout.systems.size()); ++s) {
        const Notation::LayoutSystem& system = layout.systems[size_t(s)];
        if (system.page != page)
            continue;
        for (const Notation::LayoutItem& item : system.items) {
            double& bottom = staffBottom[{s, item.staff}];
            bottom = std::max(bottom, layoutBox(item).bottom());
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
    const Notation::GraphicMap map = m_document.MapPage(page, target);
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
    const QFontMetricsF metrics(style.font);
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
            span.letter.text = letterOf(note.pitch);
            span.letter.colour = note.coloured ? note.colour : ink;
            const double letterWidth = metrics.horizontalAdvance(span.letter.text);
            span.width = letterWidth;
            span.letter.hasAccidental = accidentalOf(note.pitch.alter, &span.letter.accidental);
            if (span.letter.hasAccidental) {
                span.letter.accidentalOrigin = accidentalOffset(span.letter.accidental, letterWidth,
                                                                style.capHeight, style.accidentalScale);
                const QRectF box = Notation::FontMetadata::Instance().BoundingBox(span.letter.accidental);
                span.width = span.letter.accidentalOrigin.x() + box.right() * style.accidentalScale;
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
        const double top = target.top() + staffBottom[place] * staffSpace + style.gap;
        for (size_t k = 0; k < spans.size(); ++k) {
            const size_t row = base + k;
            if (rows.size() <= row)
                rows.resize(row + 1);
            rows[row].emplace_back(spans[k].left, spans[k].left + spans[k].width);
            Letter letter = spans[k].letter;
            letter.baseline = QPointF(spans[k].left, top + double(row) * style.rowHeight + style.ascent);
            letter.accidentalOrigin += letter.baseline;
            letters.push_back(letter);
        }
        first = end;
    }
    return letters;
}

Notation::Score ScoreBoard::filtered(const Notation::Score& score, ClefFilter filter)
{
    if (filter == ClefFilter::Both)
        return score;
    const Notation::ClefKind kept =
        filter == ClefFilter::Bass ? Notation::ClefKind::F : Notation::ClefKind::G;
    Notation::Score shown;
    for (const Notation::Voice& voice : score.voices) {
        if (startingClef(voice).kind != kept)
            continue;
        shown.voices.push_back(voice);
        for (const Notation::VoiceItem& item : voice.items)
            shown.noteCount += int(item.notes.size());
    }
    return shown;
}

int ScoreBoard::mostLetterRows(const Notation::Score& score)
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

#include "ui/widgets/score_board.h"

#include "ui/widgets/score_extent.h"

#include "core/score_builder.h"
#include "ui/answer_colours.h"

#include "notation/gmn_parser.h"
#include "notation/page_format.h"
#include "notation/score_painter.h"

#include <QImage>
#include <QMutexLocker>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
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
// The marks beside answer notes: their size and their gap from the heads, as parts of a head's
// height, and the room (staff spaces) one column of them takes.
constexpr double markSize = 0.85;
constexpr double markGap = 0.3;
constexpr double markRoom = 1.4;

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

// The answer kind (AnswerColours::Kind) of a note the score builder coloured; -1 for others.
int answerKind(const Notation::Note& note)
{
    if (!note.coloured)
        return -1;
    switch (note.colour.rgb() & 0xffffffu) {
    case Core::ScoreBuilder::RightNoteColour:
        return AnswerColours::Right;
    case Core::ScoreBuilder::WrongNoteColour:
        return AnswerColours::Wrong;
    case Core::ScoreBuilder::MissedNoteColour:
        return AnswerColours::Missed;
    default:
        return -1;
    }
}

// A tick (right) or a cross (wrong) filling `box`, in `colour`.
void drawAnswerMark(QPainter& painter, const QRectF& box, bool right, const QColor& colour)
{
    QPainterPath mark;
    if (right) {
        mark.moveTo(box.left(), box.top() + box.height() * 0.55);
        mark.lineTo(box.left() + box.width() * 0.38, box.bottom());
        mark.lineTo(box.right(), box.top());
    } else {
        mark.moveTo(box.topLeft());
        mark.lineTo(box.bottomRight());
        mark.moveTo(box.topRight());
        mark.lineTo(box.bottomLeft());
    }
    painter.save();
    painter.setPen(QPen(colour, box.width() * 0.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(mark);
    painter.restore();
}

} // namespace

ScoreBoard::ScoreBoard(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(tr("Score"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Answer notes are drawn in the answer palette in force.
    connect(AnswerColours::notifier(), &AnswerColours::paletteChanged, this, &ScoreBoard::updateScores);
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
    if (!page.letters.empty())
        m_letters.draw(&painter, page.letters);
    drawAnswerMarks(painter);
}

void ScoreBoard::drawAnswerMarks(QPainter& painter) const
{
    // A tick beside each right note and a cross beside each wrong one, so that the judgement
    // does not rest on colour alone: right of the heads of its chord, a little smaller than a
    // head is high, moved further right while it would cover an earlier mark.
    std::vector<const Notation::MapElement*> heads;
    for (const Notation::MapElement& element : m_engravedMap.elements)
        if (element.type == Notation::MapElement::eventType && element.subtype == Notation::MapElement::noteSubtype)
            heads.push_back(&element);
    std::vector<QRectF> placed;
    for (const Notation::MapElement* head : heads) {
        const auto found = m_answerKinds.find(head->order);
        if (found == m_answerKinds.end() || found->second == AnswerColours::Missed)
            continue;
        const double size = head->box.height() * markSize;
        double right = head->box.right();
        for (const Notation::MapElement* other : heads)
            if (std::abs(other->box.center().x() - head->box.center().x()) < head->box.width() * 1.5)
                right = std::max(right, other->box.right());
        QRectF box(right + head->box.height() * markGap, head->box.center().y() - size / 2, size, size);
        while (std::any_of(placed.begin(), placed.end(), [&](const QRectF& mark) { return mark.intersects(box); }))
            box.translate(size * 1.25, 0);
        placed.push_back(box);
        const auto kind = AnswerColours::Kind(found->second);
        drawAnswerMark(painter, box, kind == AnswerColours::Right, AnswerColours::colour(kind));
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
    // Answer notes: their judgement, their colour in the answer palette in force, and room for
    // the marks beside them (a second column of marks when several notes of a chord carry one).
    m_answerKinds.clear();
    for (Notation::Voice& voice : shown.voices)
        for (Notation::VoiceItem& item : voice.items) {
            int marks = 0;
            for (Notation::Note& note : item.notes)
                if (const int kind = answerKind(note); kind >= 0) {
                    m_answerKinds[note.sourceOffset] = kind;
                    note.colour = AnswerColours::colour(AnswerColours::Kind(kind));
                    marks += kind == AnswerColours::Missed ? 0 : 1;
                }
            item.roomAfter = marks == 0 ? 0.0 : marks == 1 ? markRoom : 2 * markRoom;
        }
    if (shown.voices.empty() || width() <= 0 || height() <= 0) {
        m_currentPage = 0;
        return;
    }

    // The staff follows the board's height; a system larger than the page holds gets a larger
    // page (in units), which draws the whole score smaller, until the largest system fits.
    const int letterRows = m_lettersShown ? NoteLetters::mostRows(shown) : 0;
    double pageHeight = pageHeightUnits;
    NoteLetters letters;
    for (int pass = 0; pass < fittingPasses; ++pass) {
        const double unitsPerPixel = pageHeight / height();
        Notation::PageFormat format;
        format.width = width() * unitsPerPixel;
        format.height = pageHeight;
        format.marginLeft = marginSideUnits;
        format.marginRight = marginSideUnits;
        format.marginTop = marginTopBottomUnits;
        format.marginBottom = marginTopBottomUnits;
        letters = NoteLetters(Notation::PageFormat::unitsPerStaffSpace / unitsPerPixel);
        if (letterRows > 0)
            format.roomBelowStaff = letters.roomBelowStaff(letterRows) * unitsPerPixel;
        m_document.SetPageFormat(format);
        if (pass == 0)
            m_document.SetScore(std::move(shown));
        const double unit = Notation::PageFormat::unitsPerStaffSpace;
        const QSizeF largest =
            ScoreExtent::largestSystem(m_document.Layout(), format.roomBelowStaff / unit) * unit;
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
        const auto [left, right] = ScoreExtent::pageSpan(layout, p);
        LaidOutPage page;
        const double x = left <= right ? (width() - (right - left) * space) / 2 - left * space : 0.0;
        page.target = QRectF(QPointF(x, (height() - pageSize.height()) / 2), pageSize);
        if (m_lettersShown)
            page.letters = letters.place(m_document, p, page.target, space, ink);
        m_pages.push_back(std::move(page));
    }
    m_letters = letters;
    m_currentPage = std::clamp(m_currentPage, 0, int(m_pages.size()) - 1);
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

} // namespace UI

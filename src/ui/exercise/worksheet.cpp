#include "ui/exercise/worksheet.h"

#include "ui/exercise/reference/reference_printer.h"
#include "ui/interface_fonts.h"
#include "ui/widgets/score_extent.h"

#include "core/exercise/lesson_session.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_data.h"
#include "core/exercise/question_note_data.h"
#include "core/exercise/question_tempo_data.h"
#include "core/exercise/trainer_settings.h"
#include "core/exercise/trainer_support.h"
#include "core/score_builder.h"

#include "notation/painter_surface.h"
#include "notation/score_document.h"
#include "notation/score_painter.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QLoggingCategory>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <limits>

Q_LOGGING_CATEGORY(worksheetLog, "cantorela.worksheet")

namespace UI {

namespace {

using Role = Notation::LayoutItem::Role;

// The sheet's measures, in millimetres. A staff of 8 mm reads as easily as a printed piano
// part; an item that needs more room than its cell (many ledger lines, a long scale) is drawn
// smaller rather than cut.
constexpr double staffSpaceMm = 2.0;
constexpr double cellGapMm = 3.0;
constexpr double cellInsetMm = 5.5; // music from either side of its cell: room for the number
constexpr double cellTopMm = 2.0;   // above the music
constexpr double answerBoxHeightMm = 8.5;
constexpr double answerBoxInsetMm = 4.0;
constexpr double answerBoxBottomMm = 3.0;
constexpr double answerBoxGapMm = 2.0; // between the music and its box
constexpr double footerHeightMm = 7.0;
constexpr double lineWidthMm = 0.3;
constexpr double frameWidthMm = 0.2;
constexpr double cornerMm = 1.5;
constexpr double keyLineMm = 9.0; // one answer of the key
constexpr double a4WidthMm = 210.0;
constexpr double a4HeightMm = 297.0;

// Point sizes of the texts.
constexpr double titlePoints = 17.0;
constexpr double namePoints = 11.0;
constexpr double notePoints = 9.5;
constexpr double numberPoints = 9.5;
constexpr double answerPoints = 12.0;
constexpr double footerPoints = 8.0;

const QColor ink(Qt::black);
const QColor frameGrey(0x9a, 0x9a, 0x9a);
const QColor quietInk(0x40, 0x40, 0x40);

// Symbol pictures go on paper with at most this many pixels a millimetre (600 dpi), taken
// from their largest file: sharp in print without making the PDF file heavy.
constexpr double pictureDotsPerMm = 600.0 / 25.4;
// The edge of the symbol pictures' card, a share of their width and height.
constexpr double pictureCropShare = 0.03;
// Grey at least this light is paper.
constexpr uchar pictureWhite = 245;

QFont TextFont(double points, bool bold = false)
{
    QFont font(InterfaceFonts::familyName());
    font.setPointSizeF(points);
    font.setBold(bold);
    // No ligatures: the PDF's text is read back (searched, copied, read aloud) letter by letter.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The picture at `path` in its largest file ("@4x", "@2x", then the file itself), laid on
// white and made grey: the page is printed black on white.
QImage LoadPicture(const QString& path)
{
    QImage picture;
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    for (const char* suffix : {"@4x", "@2x"}) {
        if (dot <= 0)
            break;
        const QString large = QString(path).insert(dot, QLatin1String(suffix));
        if (QFileInfo::exists(large) && picture.load(large))
            break;
    }
    if (picture.isNull())
        picture.load(path);
    if (picture.isNull())
        return picture;
    // Every pixel counts: a file named "@4x" is read as a picture for a denser screen.
    picture.setDevicePixelRatio(1.0);
    // The symbol sits on a card with a grey edge, which the cell's frame replaces: the same
    // share of every picture is cut away, so that the symbols keep their sizes to each other.
    const QRect inner = picture.rect().adjusted(
        qRound(picture.width() * pictureCropShare), qRound(picture.height() * pictureCropShare),
        -qRound(picture.width() * pictureCropShare), -qRound(picture.height() * pictureCropShare));
    QImage onWhite(inner.size(), QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    QPainter painter(&onWhite);
    painter.drawImage(QPoint(0, 0), picture, inner);
    painter.end();
    // The card's faint tint goes: nothing but the symbol is printed.
    QImage grey = onWhite.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        uchar* row = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            if (row[x] >= pictureWhite)
                row[x] = 255;
    }
    return grey;
}

// How the notes of a pool entry are written: as the trainers write their question (one note,
// an interval or a scale in sequence, a chord).
int GmnModeOf(const Core::QuestionData* item)
{
    using Pool = Core::TrainerSupport::PitchedPool;
    if (dynamic_cast<const Core::QuestionNoteData*>(item))
        return Core::TrainerSupport::GmnMode(Pool::Notes);
    if (Core::TrainerSupport::IsScale(item))
        return Core::TrainerSupport::GmnMode(Pool::Scales);
    if (Core::TrainerSupport::IsInterval(item))
        return Core::TrainerSupport::GmnMode(Pool::Intervals);
    return Core::TrainerSupport::GmnMode(Pool::Chords);
}

// A button text on one line: its mnemonic escapes undone, its line breaks made blanks.
QString PlainText(const QString& text)
{
    return Core::TrainerSupport::OneLine(text)
        .replace(QStringLiteral("&&"), QStringLiteral("&"))
        .simplified();
}

// Draws `text` in `box` with the painter's font, cut with an ellipsis where it is too wide.
void DrawFitted(QPainter& painter, const QRectF& box, int flags, const QString& text)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.drawText(box, flags, metrics.elidedText(text, Qt::ElideRight, box.width()));
}

} // namespace

// An item made ready to draw: its notation laid out on one long line, with where its staff,
// its signs (clef, key) and its notes are, in staff spaces; or its picture.
struct Worksheet::Prepared
{
    bool engraved = false;
    Notation::ScoreLayout layout;
    double staffLeft = 0.0;
    double staffRight = 0.0;
    double staffTop = 0.0;
    double signsRight = 0.0;
    double musicLeft = 0.0;
    double musicRight = 0.0;
    double top = 0.0; // of everything drawn
    double bottom = 0.0;
    QImage picture;

    static std::shared_ptr<const Prepared> Make(const WorksheetItem& item);
    // Draws the music into `area` (device pixels): the staff across its whole width, the notes
    // in the middle of the staff after the clef, the staff's middle line at the area's middle
    // unless the notes reach out of the area; smaller than staffSpaceMm where it does not fit.
    void PaintMusic(QPainter& painter, const QRectF& area, double pixelsPerMm) const;
    void PaintPicture(QPainter& painter, const QRectF& area) const;
};

std::shared_ptr<const Worksheet::Prepared> Worksheet::Prepared::Make(const WorksheetItem& item)
{
    auto prepared = std::make_shared<Prepared>();
    if (!item.gmn.isEmpty()) {
        // A page far wider and taller than any one item, so that it lies on a single line.
        Notation::PageFormat format;
        format.width = 200.0 * Notation::PageFormat::unitsPerStaffSpace;
        format.height = 60.0 * Notation::PageFormat::unitsPerStaffSpace;
        Notation::ScoreDocument document;
        document.SetPageFormat(format);
        if (!document.SetGmnCode(item.gmn)) {
            qCWarning(worksheetLog) << "item not engraved:" << document.LastError().Describe();
        } else if (!document.Layout().systems.empty() && !document.Layout().systems.front().staves.empty()) {
            prepared->layout = document.Layout();
            // Only the first line is drawn.
            prepared->layout.systems.resize(1);
            prepared->layout.pageCount = 1;
            const Notation::LayoutSystem& system = prepared->layout.systems.front();
            prepared->staffLeft = system.staves.front().left;
            prepared->staffRight = system.staves.front().right;
            prepared->staffTop = system.staves.front().top;
            prepared->top = prepared->staffTop;
            prepared->bottom = system.staves.back().top + 4.0;
            prepared->signsRight = prepared->staffLeft;
            double left = std::numeric_limits<double>::max();
            double right = std::numeric_limits<double>::lowest();
            for (const Notation::LayoutItem& layoutItem : system.items) {
                if (layoutItem.role == Role::StaffLine)
                    continue;
                const QRectF box = ScoreExtent::itemBox(layoutItem);
                prepared->top = std::min(prepared->top, box.top());
                prepared->bottom = std::max(prepared->bottom, box.bottom());
                if (layoutItem.role == Role::Clef || layoutItem.role == Role::KeySignature ||
                    layoutItem.role == Role::TimeSignature || layoutItem.role == Role::Brace) {
                    prepared->signsRight = std::max(prepared->signsRight, box.right());
                } else {
                    left = std::min(left, box.left());
                    right = std::max(right, box.right());
                }
            }
            prepared->musicLeft = left <= right ? left : prepared->signsRight;
            prepared->musicRight = left <= right ? right : prepared->signsRight;
            prepared->engraved = true;
        }
    }
    if (!prepared->engraved && !item.picture.isEmpty()) {
        prepared->picture = LoadPicture(item.picture);
        if (prepared->picture.isNull())
            qCWarning(worksheetLog) << "item picture not found:" << item.picture;
    }
    return prepared;
}

void Worksheet::Prepared::PaintMusic(QPainter& painter, const QRectF& area, double pixelsPerMm) const
{
    const double natural = staffRight - staffLeft;
    if (natural <= 0.0 || bottom <= top || area.width() <= 0.0 || area.height() <= 0.0)
        return;
    const double space =
        std::min({staffSpaceMm * pixelsPerMm, area.width() / natural, area.height() / (bottom - top)});
    const double length = std::max(natural, area.width() / space);
    // The notes move right to the middle of the staff after the signs, never left of where the
    // layout put them.
    const double shift =
        std::max(0.0, (signsRight + staffLeft + length) / 2.0 - (musicLeft + musicRight) / 2.0);

    Notation::ScoreLayout shown = layout;
    for (Notation::LayoutItem& item : shown.systems.front().items) {
        if (item.role == Role::StaffLine) {
            item.origin.setX(staffLeft);
            item.end.setX(staffLeft + length);
        } else if (item.role != Role::Clef && item.role != Role::KeySignature &&
                   item.role != Role::TimeSignature && item.role != Role::Brace) {
            item.origin.rx() += shift;
            item.end.rx() += shift;
        }
    }

    double originY = area.center().y() - (staffTop + 2.0) * space;
    if (originY + top * space < area.top())
        originY = area.top() - top * space;
    else if (originY + bottom * space > area.bottom())
        originY = area.bottom() - bottom * space;
    const QRectF target(QPointF(area.left() - staffLeft * space, originY), shown.pageSize * space);

    Notation::PainterSurface surface(&painter);
    Notation::ScorePainter::PaintPage(shown, 0, target, ink, &surface);
}

void Worksheet::Prepared::PaintPicture(QPainter& painter, const QRectF& area) const
{
    if (picture.isNull() || area.isEmpty())
        return;
    QSizeF size = picture.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    const QRectF target(area.center() - QPointF(size.width(), size.height()) / 2.0, size);
    // The file gets no more pixels than the paper can show, nor more than the picture has.
    const QSize pixels = (size / painter.device()->logicalDpiX() * 25.4 * pictureDotsPerMm).toSize();
    const QImage drawn = pixels.width() < picture.width()
                             ? picture.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             : picture;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, drawn);
    painter.restore();
}

Worksheet::Worksheet(const QString& title, std::vector<WorksheetItem> items)
    : m_title(title), m_items(std::move(items))
{
    m_prepared.reserve(m_items.size());
    for (const WorksheetItem& item : m_items)
        m_prepared.push_back(Prepared::Make(item));
}

Worksheet::~Worksheet() = default;
Worksheet::Worksheet(const Worksheet&) = default;
Worksheet& Worksheet::operator=(const Worksheet&) = default;

QString Worksheet::titleFor(const QString& sectionName, const QString& trainerName)
{
    return tr("Worksheet: %1 — %2").arg(sectionName, trainerName);
}

std::vector<WorksheetItem> Worksheet::itemsFor(const Core::LessonSession& session, int section,
                                               const std::vector<qint32>& keys)
{
    std::vector<WorksheetItem> items;
    for (const qint32 key : keys) {
        if (int(items.size()) >= ItemCount)
            break;
        const std::shared_ptr<const Core::QuestionData> item = session.itemOf(section, key);
        if (!item)
            continue;
        WorksheetItem entry;
        entry.answer = session.questionLabel(section, key);
        if (entry.answer.isEmpty())
            entry.answer = PlainText(item->caption2);
        if (const auto* tempo = dynamic_cast<const Core::QuestionTempoData*>(item.get())) {
            // A tempo is put on paper as the symbol trainer shows it, its marking, and answered
            // with what the marking means; the ear trainer's pieces are only heard.
            if (session.trainerIndex() != Core::SymbolTrainerIndex)
                continue;
            entry.answer = PlainText(tempo->description);
        }
        entry.gmn = item->gmn;
        if (entry.gmn.isEmpty()) {
            // The pools keep keys, not notation: the notes are written as a question of the item
            // would be, on the staff its sound calls for.
            const QVector<int> notes = Core::TrainerSupport::EntryKeys(item.get());
            if (!notes.isEmpty())
                entry.gmn = Core::ScoreBuilder::WriteQuestion(
                    notes, Core::TrainerSupport::TrebleForSound(item->stream.get()), false,
                    GmnModeOf(item.get()));
        }
        if (entry.gmn.isEmpty() && !item->caption.isEmpty() && QFileInfo::exists(item->caption))
            entry.picture = item->caption;
        // A piece that is only heard has nothing to put on paper.
        if (entry.gmn.isEmpty() && entry.picture.isEmpty())
            continue;
        items.push_back(std::move(entry));
    }
    return items;
}

int Worksheet::itemPageCount() const
{
    constexpr int perPage = Columns * Rows;
    return std::max(1, (int(m_items.size()) + perPage - 1) / perPage);
}

int Worksheet::pageCount() const
{
    return itemPageCount() + 1;
}

bool Worksheet::print(QPagedPaintDevice* device, QString* error) const
{
    auto fail = [error](const QString& why) {
        qCWarning(worksheetLog).noquote() << why;
        if (error)
            *error = why;
        return false;
    };
    if (!device)
        return fail(tr("There is no printer to print the worksheet on."));
    InterfaceFonts::registerFonts();
    // The paper stays the one the printer is set up for; the sheet is laid out on it upright.
    device->setPageOrientation(QPageLayout::Portrait);
    device->setPageMargins(QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm), QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(device))
        return fail(tr("The worksheet could not be printed: printing could not begin."));
    const double pixelsPerMm = device->logicalDpiX() / 25.4;
    const QRect paintRect = device->pageLayout().paintRectPixels(device->logicalDpiX());
    const QSizeF area = paintRect.size();
    for (int page = 0; page < pageCount(); ++page) {
        if (page > 0 && !device->newPage()) {
            painter.end();
            return fail(
                tr("The worksheet could not be printed: page %1 could not be started.").arg(page + 1));
        }
        paintPage(painter, page, area, pixelsPerMm);
    }
    if (!painter.end())
        return fail(tr("The worksheet could not be printed."));
    return true;
}

bool Worksheet::writePdf(const QString& fileName, QString* error) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        const QString why =
            tr("The worksheet could not be saved as %1: %2").arg(fileName, file.errorString());
        qCWarning(worksheetLog).noquote() << why;
        if (error)
            *error = why;
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(PdfResolution);
        writer.setTitle(m_title);
        writer.setCreator(ReferencePrinter::footer(QString(), QString()));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm),
                                         QPageLayout::Millimeter));
        if (!print(&writer, error)) {
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        const QString why =
            tr("The worksheet could not be saved as %1: %2").arg(fileName, file.errorString());
        qCWarning(worksheetLog).noquote() << why;
        if (error)
            *error = why;
        return false;
    }
    return true;
}

QImage Worksheet::pagePicture(int page, int widthPixels) const
{
    if (page < 0 || page >= pageCount() || widthPixels <= 0)
        return QImage();
    InterfaceFonts::registerFonts();
    const double pixelsPerMm = widthPixels / a4WidthMm;
    QImage picture(widthPixels, qRound(a4HeightMm * pixelsPerMm), QImage::Format_RGB32);
    // The texts' point sizes follow the picture's resolution, as they follow a printer's.
    picture.setDotsPerMeterX(qRound(pixelsPerMm * 1000.0));
    picture.setDotsPerMeterY(qRound(pixelsPerMm * 1000.0));
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(MarginMm * pixelsPerMm, MarginMm * pixelsPerMm);
    const QSizeF area((a4WidthMm - 2 * MarginMm) * pixelsPerMm, (a4HeightMm - 2 * MarginMm) * pixelsPerMm);
    paintPage(painter, page, area, pixelsPerMm);
    return picture;
}

void Worksheet::paintPage(QPainter& painter, int page, const QSizeF& area, double pixelsPerMm) const
{
    painter.save();
    if (page < itemPageCount())
        paintItemPage(painter, page, area, pixelsPerMm);
    else
        paintAnswerKey(painter, area, pixelsPerMm);
    paintFooter(painter, page, area, pixelsPerMm);
    painter.restore();
}

void Worksheet::paintItemPage(QPainter& painter, int page, const QSizeF& area, double pixelsPerMm) const
{
    const double width = area.width();
    double y = 0.0;

    // The title, the student's name and the date to fill in, what to do.
    painter.setPen(ink);
    painter.setFont(TextFont(titlePoints, true));
    const double titleHeight = QFontMetricsF(painter.font(), painter.device()).height();
    DrawFitted(painter, QRectF(0, y, width, titleHeight), Qt::AlignLeft | Qt::AlignVCenter, m_title);
    y += titleHeight + 3.0 * pixelsPerMm;

    painter.setFont(TextFont(namePoints));
    const QFontMetricsF nameMetrics(painter.font(), painter.device());
    const double nameHeight = nameMetrics.height();
    const double baseline = y + nameMetrics.ascent();
    const QString name = tr("Name:");
    const QString date = tr("Date:");
    const double dateLeft = width * 0.66;
    painter.drawText(QPointF(0, baseline), name);
    painter.drawText(QPointF(dateLeft, baseline), date);
    painter.setPen(QPen(ink, lineWidthMm * 0.8 * pixelsPerMm));
    const double gap = 2.0 * pixelsPerMm;
    const double underline = baseline + nameMetrics.descent();
    painter.drawLine(QPointF(nameMetrics.horizontalAdvance(name) + gap, underline),
                     QPointF(dateLeft - 2.5 * gap, underline));
    painter.drawLine(QPointF(dateLeft + nameMetrics.horizontalAdvance(date) + gap, underline),
                     QPointF(width, underline));
    y += nameHeight + 4.0 * pixelsPerMm;

    painter.setPen(quietInk);
    painter.setFont(TextFont(notePoints));
    const double noteHeight = QFontMetricsF(painter.font(), painter.device()).height();
    DrawFitted(painter, QRectF(0, y, width, noteHeight), Qt::AlignLeft | Qt::AlignVCenter,
               tr("Write the name of each item in the box under it."));
    y += noteHeight + 3.0 * pixelsPerMm;

    // The grid, down to the footer.
    const double gapPx = cellGapMm * pixelsPerMm;
    const double bottom = area.height() - (footerHeightMm + 2.0) * pixelsPerMm;
    const double cellWidth = (width + gapPx) / Columns - gapPx;
    const double cellHeight = (bottom - y + gapPx) / Rows - gapPx;
    const int first = page * Columns * Rows;
    for (int row = 0; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column) {
            const int index = first + row * Columns + column;
            if (index >= int(m_items.size()))
                return;
            const QRectF cell(column * (cellWidth + gapPx), y + row * (cellHeight + gapPx), cellWidth,
                              cellHeight);
            paintCell(painter, index, cell, pixelsPerMm);
        }
    }
}

void Worksheet::paintCell(QPainter& painter, int index, const QRectF& cell, double pixelsPerMm) const
{
    painter.setPen(QPen(frameGrey, frameWidthMm * pixelsPerMm));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(cell, cornerMm * pixelsPerMm, cornerMm * pixelsPerMm);

    painter.setPen(ink);
    painter.setFont(TextFont(numberPoints, true));
    const QRectF numberBox(cell.left() + 1.6 * pixelsPerMm, cell.top() + 1.2 * pixelsPerMm,
                           cellInsetMm * pixelsPerMm,
                           QFontMetricsF(painter.font(), painter.device()).height());
    painter.drawText(numberBox, Qt::AlignLeft | Qt::AlignTop, QString::number(index + 1));

    const QRectF box(cell.left() + answerBoxInsetMm * pixelsPerMm,
                     cell.bottom() - (answerBoxBottomMm + answerBoxHeightMm) * pixelsPerMm,
                     cell.width() - 2 * answerBoxInsetMm * pixelsPerMm, answerBoxHeightMm * pixelsPerMm);
    painter.setPen(QPen(ink, lineWidthMm * pixelsPerMm));
    painter.drawRoundedRect(box, cornerMm * 0.6 * pixelsPerMm, cornerMm * 0.6 * pixelsPerMm);

    const QRectF music(cell.left() + cellInsetMm * pixelsPerMm, cell.top() + cellTopMm * pixelsPerMm,
                       cell.width() - 2 * cellInsetMm * pixelsPerMm,
                       box.top() - answerBoxGapMm * pixelsPerMm - (cell.top() + cellTopMm * pixelsPerMm));
    const Prepared& prepared = *m_prepared[size_t(index)];
    if (prepared.engraved)
        prepared.PaintMusic(painter, music, pixelsPerMm);
    else
        prepared.PaintPicture(painter, music);
}

void Worksheet::paintAnswerKey(QPainter& painter, const QSizeF& area, double pixelsPerMm) const
{
    const double width = area.width();
    double y = 0.0;
    painter.setPen(ink);
    painter.setFont(TextFont(titlePoints, true));
    const double titleHeight = QFontMetricsF(painter.font(), painter.device()).height();
    DrawFitted(painter, QRectF(0, y, width, titleHeight), Qt::AlignLeft | Qt::AlignVCenter, tr("Answer Key"));
    y += titleHeight + 1.0 * pixelsPerMm;
    painter.setFont(TextFont(namePoints));
    const double subtitleHeight = QFontMetricsF(painter.font(), painter.device()).height();
    DrawFitted(painter, QRectF(0, y, width, subtitleHeight), Qt::AlignLeft | Qt::AlignVCenter, m_title);
    y += subtitleHeight + 6.0 * pixelsPerMm;

    // Two columns, numbered down the first and on down the second; lines closer together when
    // there are more answers than the page holds at the usual spacing.
    const int count = int(m_items.size());
    const int perColumn = std::max(1, (count + 1) / 2);
    const double bottom = area.height() - (footerHeightMm + 2.0) * pixelsPerMm;
    const double line = std::min(keyLineMm * pixelsPerMm, (bottom - y) / perColumn);
    painter.setFont(TextFont(answerPoints));
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double numberWidth = metrics.horizontalAdvance(QStringLiteral("00.")) + 2.0 * pixelsPerMm;
    const double columnWidth = width / 2.0;
    painter.setPen(QPen(frameGrey, frameWidthMm * pixelsPerMm));
    for (int index = 0; index < count; ++index) {
        const double left = (index / perColumn) * columnWidth;
        const double top = y + (index % perColumn) * line;
        // A faint rule under each answer, as on ruled paper.
        painter.setPen(QPen(frameGrey, frameWidthMm * pixelsPerMm));
        painter.drawLine(QPointF(left, top + line),
                         QPointF(left + columnWidth - 6.0 * pixelsPerMm, top + line));
        painter.setPen(ink);
        painter.setFont(TextFont(answerPoints, true));
        painter.drawText(QRectF(left, top, numberWidth - 2.0 * pixelsPerMm, line),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1.").arg(index + 1));
        painter.setFont(TextFont(answerPoints));
        DrawFitted(painter,
                   QRectF(left + numberWidth, top, columnWidth - numberWidth - 6.0 * pixelsPerMm, line),
                   Qt::AlignLeft | Qt::AlignVCenter, m_items[size_t(index)].answer);
    }
}

void Worksheet::paintFooter(QPainter& painter, int page, const QSizeF& area, double pixelsPerMm) const
{
    const double top = area.height() - footerHeightMm * pixelsPerMm;
    painter.setPen(QPen(frameGrey, frameWidthMm * pixelsPerMm));
    painter.drawLine(QPointF(0, top), QPointF(area.width(), top));
    painter.setPen(quietInk);
    painter.setFont(TextFont(footerPoints));
    const QRectF band(0, top, area.width(), footerHeightMm * pixelsPerMm);
    painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, ReferencePrinter::footer(QString(), QString()));
    painter.drawText(band, Qt::AlignRight | Qt::AlignVCenter,
                     tr("Page %1 of %2").arg(page + 1).arg(pageCount()));
}

} // namespace UI

#include "ui/exercise/reference/reference_sheet.h"

#include "ui/exercise/reference/example_engraver.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QIcon>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace UI {
namespace Reference {

Q_LOGGING_CATEGORY(referenceLog, "cantorela.reference")

const char* const sheetStyle = R"(
QScrollArea { background: white; border: none; }
QWidget#referenceSheet { background: white; }
QLabel { color: rgb(29, 30, 36); font: 14px "Tahoma"; background: transparent; }
QLabel[cell="header"] { font: bold 16px "Tahoma"; }
QLabel[cell="name"] { font: bold 14px "Tahoma"; }
QLabel[cell="term"] { font: bold italic 14px "Tahoma"; }
QLabel[cell="group"] { font: bold 16px "Tahoma"; color: rgb(29, 30, 36); }
QLabel[cell="note"] { color: rgb(84, 88, 100); }
QToolButton#referencePlay { color: white; font: 600 14px "Tahoma"; border: 1px solid rgb(98, 104, 118);
    border-radius: 6px; background-color: rgb(75, 80, 92); padding: 4px 12px 4px 8px; }
QToolButton#referencePlay:hover { background-color: rgb(96, 102, 117); }
QToolButton#referencePlay:pressed { background-color: rgb(52, 55, 64); }
QToolButton#referencePlay:focus { border: 2px solid rgb(40, 137, 221); }
)";

const char* const screenOnly = "screenOnly";
const QColor ink(29, 30, 36);
const QString pictureFolder = QStringLiteral(":/pixmap/exercise/");

namespace {

const QString playButtonName = QStringLiteral("referencePlay");

const QColor ruleColour(218, 221, 228);
const QColor headerBand(236, 238, 243);
const QColor cardBorder(214, 216, 222);

// The pixel ratio of what a painter really paints on: the window's backing store on screen, the
// picture when the sheet is rendered into one (the widget's own ratio would be the screen's).
qreal paintRatio(QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    return device ? std::max<qreal>(1.0, device->devicePixelRatioF()) : 1.0;
}

// A picture of the resources, the "@2x" one for a ratio above 1.
QPixmap resourcePicture(const QString& path, qreal ratio)
{
    QString chosen = path;
    if (ratio > 1.0 && path.endsWith(QLatin1String(".png")))
        chosen.insert(chosen.size() - 4, QLatin1String("@2x"));
    QPixmap picture;
    if (QPixmapCache::find(chosen, &picture))
        return picture;
    if (!picture.load(chosen) && !picture.load(path)) {
        qCWarning(referenceLog) << "missing picture" << path;
        return picture;
    }
    QPixmapCache::insert(chosen, picture);
    return picture;
}

void drawCard(QPainter& painter, const QRectF& rect)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(cardBorder, 1.0));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
}

QIcon makePlayIcon()
{
    QIcon icon;
    for (qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap(QSize(12, 12) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPolygon(QPolygonF({QPointF(2, 1), QPointF(11, 6), QPointF(2, 11)}));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const QIcon& playIcon()
{
    static const QIcon icon = makePlayIcon();
    return icon;
}

} // namespace

// ---- Picture cells -----------------------------------------------------------------------------

PictureCell::PictureCell(const QSize& size, const QString& accessibleName) : QWidget(nullptr)
{
    setFixedSize(size);
    setAccessibleName(accessibleName);
}

PictureCell* PictureCell::resource(const QString& path, const QSize& size, const QString& name)
{
    auto* cell = new PictureCell(size, name);
    cell->m_picturePath = path;
    return cell;
}

PictureCell* PictureCell::engraved(const ExampleEngraver* engraver, const QByteArray& gmn, const QSize& size,
                                   const QString& name, int staffHeight, bool isolated)
{
    auto* cell = new PictureCell(size, name);
    cell->m_engraver = engraver;
    cell->m_gmn = gmn;
    cell->m_staffHeight = staffHeight;
    cell->m_isolated = isolated;
    return cell;
}

PictureCell* PictureCell::marking(const QString& text, const QSize& size)
{
    auto* cell = new PictureCell(size, text);
    cell->m_marking = text;
    return cell;
}

void PictureCell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const qreal ratio = paintRatio(painter);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (!m_picturePath.isEmpty()) {
        painter.drawPixmap(rect(), resourcePicture(m_picturePath, ratio));
        return;
    }
    drawCard(painter, rect());
    if (m_engraver) {
        painter.drawImage(QPointF(0, 0),
                          m_engraver->engrave(m_gmn, size(), ratio, m_staffHeight, m_isolated));
    } else {
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(20);
        font.setBold(true);
        font.setItalic(true);
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(rect(), Qt::AlignCenter, m_marking);
    }
}

// ---- The table ---------------------------------------------------------------------------------

SheetTable::SheetTable(const QString& name) : m_grid(new QGridLayout(this))
{
    setAccessibleName(name);
    m_grid->setContentsMargins(cellSpacing, cellSpacing / 2, cellSpacing, cellSpacing / 2);
    m_grid->setHorizontalSpacing(cellSpacing);
    m_grid->setVerticalSpacing(cellSpacing);
}

void SheetTable::header(const QStringList& titles, bool playColumn)
{
    QVector<QWidget*> cells;
    for (int column = 0; column < titles.size(); ++column) {
        QLabel* label = text(titles.at(column), QStringLiteral("header"));
        if (playColumn && column == titles.size() - 1) {
            label->setProperty(screenOnly, true);
            label->setAlignment(Qt::AlignCenter);
        }
        m_grid->addWidget(label, 0, column);
        cells.append(label);
    }
    m_columns = titles.size();
    m_rowCells = {cells};
}

void SheetTable::row(const QList<QWidget*>& cells)
{
    const int index = m_rowCells.size();
    for (int column = 0; column < cells.size(); ++column) {
        QWidget* cell = cells.at(column);
        const bool isText = !dynamic_cast<PictureCell*>(cell) && !qobject_cast<QAbstractButton*>(cell);
        m_grid->addWidget(cell, index, column, isText ? Qt::Alignment{} : Qt::AlignCenter);
    }
    m_rowCells.append(cells.toVector());
}

void SheetTable::span(QWidget* cell)
{
    m_groupRows.append(m_rowCells.size());
    m_grid->addWidget(cell, m_rowCells.size(), 0, 1, m_columns);
    m_rowCells.append({cell});
}

void SheetTable::stretch(std::initializer_list<int> stretched)
{
    for (int column : stretched)
        m_grid->setColumnStretch(column, 1);
}

QLabel* SheetTable::name(const QString& text)
{
    return SheetTable::text(text, QStringLiteral("name"));
}

QLabel* SheetTable::text(const QString& text, const QString& kind)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (!kind.isEmpty())
        label->setProperty("cell", kind);
    return label;
}

QLabel* SheetTable::twoLines(const QString& first, const QString& second, bool firstBold)
{
    auto* label = new QLabel(
        QStringLiteral("%1<br><span style='color:rgb(84,88,100);'>%2</span>")
            .arg(firstBold ? QStringLiteral("<b>%1</b>").arg(first.toHtmlEscaped()) : first.toHtmlEscaped(),
                 second.toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLabel* SheetTable::paragraph(const QString& text, Qt::TextFormat format, const QString& kind)
{
    QLabel* label = SheetTable::text(text, kind);
    label->setTextFormat(format);
    label->setWordWrap(true);
    return label;
}

void SheetTable::paintEvent(QPaintEvent*)
{
    // Rows are found from their cells' geometry: the grid's own cell rectangles follow the
    // last height-for-width question asked, which need not be this layout's.
    QVector<QPair<int, int>> spans; // top and bottom of each row
    for (const QVector<QWidget*>& cells : m_rowCells) {
        int top = std::numeric_limits<int>::max(), bottom = std::numeric_limits<int>::min();
        for (QWidget* cell : cells) {
            if (cell->isHidden())
                continue;
            top = std::min(top, cell->geometry().top());
            bottom = std::max(bottom, cell->geometry().bottom());
        }
        spans.append({top, bottom});
    }
    if (spans.isEmpty() || spans.first().first > spans.first().second)
        return;
    QPainter painter(this);
    const int left = cellSpacing / 2;
    const int right = width() - cellSpacing / 2;
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(headerBand);
    const QPair<int, int> headerSpan = spans.first();
    painter.drawRoundedRect(QRectF(left, headerSpan.first - cellSpacing / 2.0, right - left,
                                   headerSpan.second - headerSpan.first + 1 + cellSpacing),
                            4, 4);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int index = 2; index < spans.size(); ++index) {
        const int above = spans.at(index - 1).second;
        const int below = spans.at(index).first;
        if (above > below)
            continue;
        const int y = (above + below + 1) / 2;
        painter.setPen(QPen(m_groupRows.contains(index) ? ink : ruleColour, 1));
        painter.drawLine(left, y, right, y);
    }
}

// ---- Play buttons ------------------------------------------------------------------------------

QToolButton* playButton(const QString& itemName, const std::function<void()>& play, QObject* receiver)
{
    auto* button = new QToolButton;
    button->setObjectName(playButtonName);
    button->setText(bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Play")));
    button->setIcon(playIcon());
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAccessibleName(bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Play %1")).arg(itemName));
    button->setToolTip(button->accessibleName());
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setProperty(screenOnly, true);
    QObject::connect(button, &QToolButton::clicked, receiver, play);
    return button;
}

} // namespace Reference
} // namespace UI

#include "ui/dialogs/card_dialog.h"

#include "ui/interface_fonts.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int bandHeight = 60;
constexpr int accentLine = 3;
constexpr int cornerRadius = 12;
constexpr int screenMargin = 24;
constexpr int contentMargin = 28;

const QColor bandTop(0x34, 0x37, 0x40);
const QColor bandBottom(0x1e, 0x20, 0x26);
const QColor accent(0xf5, 0x9a, 0x23);
const QColor cardColour(0xff, 0xff, 0xff);
const QColor cardEdge(0xd6, 0xd2, 0xcd);
const QColor dim(12, 14, 20, 175);
const QColor backdropTop(0x1f, 0x2f, 0x4a);
const QColor backdropBottom(0x12, 0x18, 0x26);

// The white card with its dark title band and the orange line under it.
class CardFrame : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF outline = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath shape;
        shape.addRoundedRect(outline, cornerRadius, cornerRadius);
        painter.fillPath(shape, cardColour);
        painter.save();
        painter.setClipPath(shape);
        QLinearGradient band(0, 0, 0, bandHeight);
        band.setColorAt(0, bandTop);
        band.setColorAt(1, bandBottom);
        painter.fillRect(QRectF(0, 0, width(), bandHeight), band);
        painter.fillRect(QRectF(0, bandHeight, width(), accentLine), accent);
        painter.restore();
        painter.setPen(QPen(cardEdge, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(shape);
    }
};

const char* cardStyle =
    "QLabel { color: #1d1e24; background: transparent; }"
    "QLabel#cardTitle { color: white; }"
    "QLabel[muted=\"true\"] { color: #5b606c; }"
    "QPushButton { min-height: 36px; min-width: 96px; padding: 0 20px; border-radius: 6px; }"
    "QPushButton[kind=\"primary\"] { color: white; background-color: #d87010; border: 2px solid #d87010; }"
    "QPushButton[kind=\"primary\"]:hover { background-color: #f59a23; border-color: #f59a23; }"
    "QPushButton[kind=\"primary\"]:pressed { background-color: #b05808; border-color: #b05808; }"
    "QPushButton[kind=\"primary\"]:focus { border-color: #1d1e24; }"
    "QPushButton[kind=\"secondary\"] { color: #1d1e24; background-color: white; border: 1px solid #b9b4ad; }"
    "QPushButton[kind=\"secondary\"]:hover { background-color: #f4f2ee; border-color: #9e9a92; }"
    "QPushButton[kind=\"secondary\"]:pressed { background-color: #e6e3dc; }"
    "QPushButton[kind=\"secondary\"]:focus { border: 2px solid #d87010; }"
    "QTextBrowser, QPlainTextEdit { color: #1d1e24; background-color: #fdfcf8; border: 1px solid #e6e3dc;"
    " border-radius: 6px; selection-background-color: #ffc15e; selection-color: #1d1e24; }"
    "QTextBrowser:focus, QPlainTextEdit:focus { border: 1px solid #f59a23; }"
    "QScrollBar:vertical { background: transparent; width: 12px; margin: 3px 2px 3px 0; }"
    "QScrollBar::handle:vertical { background: #c9c5bf; border-radius: 3px; min-height: 32px; }"
    "QScrollBar::handle:vertical:hover { background: #9e9a92; }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }";

} // namespace

namespace UI {

CardDialog::CardDialog(const QString& titleText, QSize cardSize, QWidget* parent)
    : BaseDialog(parent), m_preferredCardSize(cardSize)
{
    InterfaceFonts::registerFonts();
    setAccessibleName(titleText);
    setWindowTitle(titleText);
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_card = new CardFrame(this);
    m_card->setObjectName(QStringLiteral("card"));
    m_card->setStyleSheet(QLatin1String(cardStyle));
    auto* cardLayout = new QVBoxLayout(m_card);
    cardLayout->setContentsMargins(0, 0, 0, 0);
    cardLayout->setSpacing(0);

    m_title = new QLabel(titleText, m_card);
    m_title->setObjectName(QStringLiteral("cardTitle"));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setFont(textFont(20, QFont::Bold));
    m_title->setFixedHeight(bandHeight);
    m_title->setContentsMargins(contentMargin, 0, contentMargin, 0);
    cardLayout->addWidget(m_title);
    cardLayout->addSpacing(accentLine);

    m_body = new QVBoxLayout;
    m_body->setContentsMargins(contentMargin, 20, contentMargin, 8);
    m_body->setSpacing(12);
    cardLayout->addLayout(m_body, 1);

    m_buttonRow = new QHBoxLayout;
    m_buttonRow->setContentsMargins(contentMargin, 12, contentMargin, 22);
    m_buttonRow->setSpacing(12);
    m_buttonRow->addStretch(1);
    cardLayout->addLayout(m_buttonRow);
}

QFont CardDialog::textFont(int pixelSize, int weight)
{
    QFont font(InterfaceFonts::familyName());
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QPushButton* CardDialog::addButton(const QString& text, ButtonKind kind)
{
    auto* button = new QPushButton(text, m_card);
    button->setProperty("kind", kind == ButtonKind::Primary ? "primary" : "secondary");
    button->setFont(textFont(15, QFont::Bold));
    button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    button->setCursor(Qt::PointingHandCursor);
    button->setAutoDefault(false);
    m_buttonRow->addWidget(button);
    return button;
}

void CardDialog::addToButtonRowStart(QWidget* widget)
{
    m_buttonRow->insertWidget(0, widget);
}

void CardDialog::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        auto* button = qobject_cast<QAbstractButton*>(focusWidget());
        if (button && !button->isCheckable() && button->isEnabled() && m_card->isAncestorOf(button)) {
            event->accept();
            button->click();
            return;
        }
    }
    BaseDialog::keyPressEvent(event);
}

void CardDialog::placeCard()
{
    const int margin = std::min(screenMargin, std::min(width(), height()) / 20);
    const QRect available = rect().adjusted(margin, margin, -margin, -margin);
    const int cardWidth = std::min(m_preferredCardSize.width(), available.width());
    int cardHeight = m_preferredCardSize.height();
    if (cardHeight <= 0) {
        QLayout* layout = m_card->layout();
        cardHeight = layout->hasHeightForWidth() ? layout->totalHeightForWidth(cardWidth)
                                                 : layout->totalSizeHint().height();
    }
    cardHeight = std::min(cardHeight, available.height());
    QRect place(0, 0, cardWidth, cardHeight);
    place.moveCenter(available.center());
    m_card->setGeometry(place);
}

void CardDialog::takeCover()
{
    m_cover = QPixmap();
    QWidget* parent = parentWidget();
    if (!parent || !parent->isVisible())
        return;
    QWidget* window = parent->window();
    m_cover = window->grab(QRect(parent->mapTo(window, QPoint(0, 0)), parent->size()));
}

void CardDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        takeCover();
    BaseDialog::showEvent(event);
    placeCard();
    // Texts laid out before the card had its size may have scrolled; each showing starts at the top.
    if (!event->spontaneous())
        for (QAbstractScrollArea* area : m_card->findChildren<QAbstractScrollArea*>())
            area->verticalScrollBar()->setValue(0);
}

void CardDialog::resizeEvent(QResizeEvent* event)
{
    BaseDialog::resizeEvent(event);
    if (isVisible() && !m_cover.isNull() && m_cover.size() / m_cover.devicePixelRatio() != size())
        takeCover();
    placeCard();
}

void CardDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_cover.isNull() && m_cover.size() / m_cover.devicePixelRatio() == size()) {
        painter.drawPixmap(0, 0, m_cover);
    } else {
        QLinearGradient backdrop(0, 0, 0, height());
        backdrop.setColorAt(0, backdropTop);
        backdrop.setColorAt(1, backdropBottom);
        painter.fillRect(rect(), backdrop);
    }
    painter.fillRect(rect(), dim);

    // A soft shadow under the card: rounded rectangles growing outward, fainter each step.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF shadow = QRectF(m_card->geometry()).translated(0, 6);
    for (int step = 1; step <= 12; ++step) {
        painter.setBrush(QColor(0, 0, 0, 14 - step));
        painter.drawRoundedRect(shadow.adjusted(-step, -step, step, step), cornerRadius + step,
                                cornerRadius + step);
    }
}

} // namespace UI

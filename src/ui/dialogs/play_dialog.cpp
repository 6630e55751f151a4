#include "ui/dialogs/play_dialog.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVariantAnimation>

#include <algorithm>

namespace {

constexpr int buttonSide = 84;

// A round orange button with a white play triangle, drawn at the device's resolution.
class RoundPlayButton : public QToolButton
{
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF circle = QRectF(rect()).adjusted(3, 3, -3, -3);
        const bool down = isDown();
        const bool hot = underMouse();
        QRadialGradient gradient(circle.center() - QPointF(circle.width() * 0.2, circle.height() * 0.25),
                                 circle.width() * 0.8);
        gradient.setColorAt(0, hot ? QColor(0xff, 0xd0, 0x80) : QColor(0xff, 0xc1, 0x5e));
        gradient.setColorAt(1, down ? QColor(0xb0, 0x58, 0x08) : QColor(0xd8, 0x70, 0x10));
        painter.setPen(QPen(QColor(0, 0, 0, 90), 1.5));
        painter.setBrush(gradient);
        painter.drawEllipse(circle);
        const double r = circle.width() / 2;
        const QPointF c = circle.center() + QPointF(r * 0.1, down ? 1 : 0);
        QPainterPath triangle;
        triangle.moveTo(c + QPointF(-r * 0.3, -r * 0.42));
        triangle.lineTo(c + QPointF(r * 0.45, 0));
        triangle.lineTo(c + QPointF(-r * 0.3, r * 0.42));
        triangle.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPath(triangle);
    }
};

} // namespace

namespace UI {

PlayDialog::PlayDialog(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("playDialog"));
    setAccessibleName(tr("Paused"));
    setAccessibleDescription(tr("Paused: press space or Play to go on"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_NoSystemBackground);

    m_button = new RoundPlayButton(this);
    m_button->setObjectName(QStringLiteral("playDialogButton"));
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setFixedSize(buttonSide, buttonSide);
    m_button->setCursor(Qt::PointingHandCursor);
    m_button->setToolTip(tr("Continue"));
    m_button->setAccessibleName(tr("Continue"));
    connect(m_button, &QToolButton::clicked, this, &PlayDialog::playRequested);

    m_title = new QLabel(tr("Paused"), this);
    m_title->setObjectName(QStringLiteral("playDialogTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setStyleSheet(
        QStringLiteral("color: white; font: 600 22px \"Tahoma\"; background: transparent;"));
    m_hint = new QLabel(tr("Press space or Play to go on"), this);
    m_hint->setObjectName(QStringLiteral("playDialogHint"));
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setStyleSheet(
        QStringLiteral("color: rgb(230, 232, 238); font: 15px \"Tahoma\"; background: transparent;"));

    m_fade = new QVariantAnimation(this);
    m_fade->setDuration(FadeMs);
    connect(m_fade, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { setOpacity(v.toDouble()); });
    connect(m_fade, &QVariantAnimation::finished, this, [this] {
        if (m_fadingOut) {
            m_fadingOut = false;
            hide();
        }
    });
    if (parent)
        parent->installEventFilter(this);
    hide();
}

void PlayDialog::showOver()
{
    if (QWidget* parent = parentWidget())
        setGeometry(parent->rect());
    if (isVisible() && !m_fadingOut)
        return;
    const bool wasVisible = isVisible();
    m_fadingOut = false;
    m_fade->stop();
    if (!wasVisible)
        setOpacity(0.0);
    raise();
    show();
    m_fade->setStartValue(m_opacity);
    m_fade->setEndValue(1.0);
    m_fade->start();
}

void PlayDialog::fadeOut()
{
    if (!isVisible() || m_fadingOut)
        return;
    m_fadingOut = true;
    m_fade->stop();
    m_fade->setStartValue(m_opacity);
    m_fade->setEndValue(0.0);
    m_fade->start();
}

void PlayDialog::setOpacity(double value)
{
    m_opacity = value;
    // The child labels and button show once the veil is mostly there.
    const bool children = value > 0.5;
    m_button->setVisible(children);
    m_title->setVisible(children);
    m_hint->setVisible(children);
    update();
}

void PlayDialog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

bool PlayDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void PlayDialog::layOut()
{
    const int titleHeight = m_title->sizeHint().height();
    const int hintHeight = m_hint->sizeHint().height();
    const int total = buttonSide + 12 + titleHeight + 4 + hintHeight;
    int y = (height() - total) / 2;
    m_button->move((width() - buttonSide) / 2, y);
    y += buttonSide + 12;
    m_title->setGeometry(0, y, width(), titleHeight);
    y += titleHeight + 4;
    m_hint->setGeometry(0, y, width(), hintHeight);
}

void PlayDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(20, 22, 28, int(150 * m_opacity)));
    // A card under the words and the button, so that the music under the veil does not run
    // through the text.
    const int textWidth = std::max(m_title->sizeHint().width(), m_hint->sizeHint().width());
    const QRect words(QPoint((width() - textWidth) / 2, m_button->y()),
                      QPoint((width() + textWidth) / 2, m_hint->geometry().bottom()));
    const QRect card = words.united(m_button->geometry()).adjusted(-28, -20, 28, 20).intersected(rect());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(28, 30, 38, int(255 * m_opacity)));
    painter.drawRoundedRect(card, 14, 14);
}

void PlayDialog::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && !m_fadingOut)
        Q_EMIT playRequested();
}

} // namespace UI

#include "ui/exercise/speaker_widget.h"

#include <QAccessible>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace {

const QColor ink(0x2a, 0x2d, 0x34);
const QColor accent(0xd8, 0x70, 0x10);

} // namespace

namespace UI {

SpeakerWidget::SpeakerWidget(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(tr("Listen"));
    setAccessibleDescription(tr("The question is heard, not shown."));
    m_pulse = new QVariantAnimation(this);
    m_pulse->setStartValue(0.0);
    m_pulse->setEndValue(1.0);
    m_pulse->setDuration(CycleMs);
    m_pulse->setLoopCount(-1);
    connect(m_pulse, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_phase = value.toDouble();
        update();
    });
}

void SpeakerWidget::start()
{
    if (m_pulse->state() != QAbstractAnimation::Running)
        m_pulse->start();
    setAccessibleDescription(tr("The question is playing."));
}

void SpeakerWidget::stop()
{
    m_pulse->stop();
    m_phase = 0.0;
    setAccessibleDescription(tr("The question is heard, not shown."));
    update();
}

bool SpeakerWidget::isAnimating() const
{
    return m_pulse->state() == QAbstractAnimation::Running;
}

QSize SpeakerWidget::sizeHint() const
{
    return QSize(240, 160);
}

void SpeakerWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A square drawing area of 100 units in the middle of the widget.
    const double side = std::min(width() * 0.6, height() * 0.7);
    if (side <= 0)
        return;
    const double unit = side / 100.0;
    painter.translate(width() / 2.0 - 40 * unit, height() / 2.0);
    painter.scale(unit, unit);

    // The speaker: a box and its cone.
    QPainterPath body;
    body.addRoundedRect(QRectF(-10, -14, 18, 28), 3, 3);
    QPainterPath cone;
    cone.moveTo(8, -14);
    cone.lineTo(30, -34);
    cone.lineTo(30, 34);
    cone.lineTo(8, 14);
    cone.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(body.united(cone));

    // Three waves; while playing, a bright crest travels outwards through them.
    const bool playing = isAnimating();
    for (int i = 0; i < 3; ++i) {
        const double radius = 44 + i * 16;
        QColor colour = ink;
        if (playing) {
            const double distance = std::fabs(m_phase * 3.0 - i - 0.5);
            const double strength = std::max(0.0, 1.0 - distance);
            colour = QColor::fromRgbF(ink.redF() + (accent.redF() - ink.redF()) * strength,
                                      ink.greenF() + (accent.greenF() - ink.greenF()) * strength,
                                      ink.blueF() + (accent.blueF() - ink.blueF()) * strength);
        }
        painter.setPen(QPen(colour, 7, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        const QRectF arc(30 - radius, -radius, 2 * radius, 2 * radius);
        painter.drawArc(arc, -40 * 16, 80 * 16);
    }
}

} // namespace UI

#include "ui/widgets/shadow_frame.h"

#include <QChildEvent>
#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {

// The shadow's darkness from the pane's edge outwards: alpha 120 at the edge, 90 a third of the
// way, 20 at two thirds and nothing at the margin's end.
QGradientStops shadowStops()
{
    return {{0.0, QColor(0, 0, 0, 120)},
            {0.33, QColor(0, 0, 0, 90)},
            {0.66, QColor(0, 0, 0, 20)},
            {1.0, QColor(0, 0, 0, 0)}};
}

} // namespace

namespace UI {

ShadowFrame::ShadowFrame(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void ShadowFrame::setPane(QWidget* newPane)
{
    if (m_pane == newPane)
        return;
    if (m_pane)
        m_pane->removeEventFilter(this);
    m_pane = newPane;
    if (m_pane) {
        m_pane->installEventFilter(this);
        placePane();
    }
    update();
}

QWidget* ShadowFrame::pane() const
{
    return m_pane;
}

QRect ShadowFrame::restingRect() const
{
    return rect().adjusted(Margin, Margin / 2, -Margin, -Margin - Margin / 2);
}

void ShadowFrame::setPaneFree(bool free)
{
    m_paneFree = free;
    if (!free)
        placePane();
}

void ShadowFrame::placePane()
{
    if (m_pane && !m_paneFree)
        m_pane->setGeometry(restingRect());
}

void ShadowFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePane();
}

void ShadowFrame::childEvent(QChildEvent* event)
{
    QWidget::childEvent(event);
    if (event->type() == QEvent::ChildPolished && !m_pane)
        if (auto* child = qobject_cast<QWidget*>(event->child()))
            if (!child->isWindow())
                setPane(child);
}

bool ShadowFrame::eventFilter(QObject* watched, QEvent* event)
{
    // The shadow follows the pane, wherever an animation takes it.
    if (watched == m_pane && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        update();
    return QWidget::eventFilter(watched, event);
}

void ShadowFrame::paintEvent(QPaintEvent*)
{
    if (!m_pane || !m_pane->isVisible())
        return;
    const QRectF inner = QRectF(m_pane->geometry());
    const double m = Margin;
    QPainter painter(this);
    painter.setPen(Qt::NoPen);

    // The four sides, each a linear fade outwards; the shadow lies a little lower than the pane.
    const QPointF drop(0, 3);
    const QRectF r = inner.translated(drop);
    struct Side
    {
        QRectF area;
        QPointF from, to;
    };
    const Side sides[] = {
        {QRectF(r.left(), r.top() - m, r.width(), m), {0, r.top()}, {0, r.top() - m}},
        {QRectF(r.left(), r.bottom(), r.width(), m), {0, r.bottom()}, {0, r.bottom() + m}},
        {QRectF(r.left() - m, r.top(), m, r.height()), {r.left(), 0}, {r.left() - m, 0}},
        {QRectF(r.right(), r.top(), m, r.height()), {r.right(), 0}, {r.right() + m, 0}},
    };
    for (const Side& side : sides) {
        QLinearGradient gradient(side.from, side.to);
        gradient.setStops(shadowStops());
        painter.fillRect(side.area, gradient);
    }
    // The four corners, radial fades around the pane's corners.
    const QPointF corners[] = {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()};
    for (const QPointF& corner : corners) {
        QRadialGradient gradient(corner, m);
        gradient.setStops(shadowStops());
        const QRectF area(corner.x() < r.center().x() ? corner.x() - m : corner.x(),
                          corner.y() < r.center().y() ? corner.y() - m : corner.y(), m, m);
        painter.fillRect(area, gradient);
    }
}

} // namespace UI

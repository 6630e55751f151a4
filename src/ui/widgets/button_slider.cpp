#include "ui/widgets/button_slider.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

ButtonSlider::ButtonSlider(QWidget* parent) : QSlider(parent) {}

ButtonSlider::ButtonSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {}

bool ButtonSlider::hitsHandle(const QPoint& position) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->hitTestComplexControl(QStyle::CC_Slider, &option, position, this) ==
           QStyle::SC_SliderHandle;
}

QWidget* ButtonSlider::topChildAt(const QPoint& position) const
{
    // Children are kept in stacking order, the topmost last.
    const QObjectList& objects = children();
    for (auto it = objects.crbegin(); it != objects.crend(); ++it) {
        auto* child = qobject_cast<QWidget*>(*it);
        if (child && !child->isWindow() && child->isVisible() && child->geometry().contains(position))
            return child;
    }
    return nullptr;
}

void ButtonSlider::forward(QWidget* child, QMouseEvent* event)
{
    const QPointF local = child->mapFrom(this, event->pos()) + (event->localPos() - event->pos());
    QMouseEvent copy(event->type(), local, event->windowPos(), event->screenPos(), event->button(),
                     event->buttons(), event->modifiers(), event->source());
    copy.setTimestamp(event->timestamp());
    m_lastReceiver = child;
    QCoreApplication::sendEvent(child, &copy);
}

void ButtonSlider::mousePressEvent(QMouseEvent* event)
{
    m_pressReceiver = nullptr;
    if (!hitsHandle(event->pos()))
        if (QWidget* child = topChildAt(event->pos())) {
            m_pressReceiver = child;
            forward(child, event);
        }
    QSlider::mousePressEvent(event);
}

void ButtonSlider::mouseReleaseEvent(QMouseEvent* event)
{
    // A drag of the handle ends on the handle's own terms, wherever the cursor is.
    const bool handle = isSliderDown() || hitsHandle(event->pos());
    QWidget* child = handle ? nullptr : topChildAt(event->pos());
    if (!child)
        child = m_pressReceiver;
    m_pressReceiver = nullptr;
    if (child)
        forward(child, event);
    QSlider::mouseReleaseEvent(event);
}

void ButtonSlider::leaveEvent(QEvent* event)
{
    if (m_lastReceiver) {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(m_lastReceiver, &leave);
    }
    QSlider::leaveEvent(event);
}

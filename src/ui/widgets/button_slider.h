#pragma once
// A slider with child widgets lying on it, such as the buttons on the exercise screen's lesson
// slider. The children may be transparent for mouse events, so that hovering and dragging stay
// with the slider; the slider hands them the presses and releases that land on them (but not on
// its handle) and then handles the click itself. GUI thread only.

#include <QPointer>
#include <QSlider>

class ButtonSlider : public QSlider
{
    Q_OBJECT
public:
    explicit ButtonSlider(QWidget* parent = nullptr);
    explicit ButtonSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool hitsHandle(const QPoint& position) const;
    // The topmost visible child under `position`, also one transparent for mouse events.
    QWidget* topChildAt(const QPoint& position) const;
    void forward(QWidget* child, QMouseEvent* event);

    // The child that received the last forwarded event; it gets the leave event.
    QPointer<QWidget> m_lastReceiver;
    // The child that received the press: it also gets the release, wherever that happens, so
    // that a button pressed down is always let up again.
    QPointer<QWidget> m_pressReceiver;
};

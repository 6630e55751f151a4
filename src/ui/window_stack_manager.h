#pragma once
// The stack of screens of the main window: the home screen, the exercise screen and the
// settings pages are pushed onto it as the student moves between them, and the one pushed last
// is the one in front. Each push fades the new screen in over the old one and announces the
// change with screenChange(), which the exercise screen and its section end dialog follow.
// Created by the application, used by the main window. GUI thread only.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QVector>

class QWidget;

namespace UI {

class FaderWidget;

class WindowStackManager : public QObject
{
    Q_OBJECT
public:
    explicit WindowStackManager(QObject* parent = nullptr);

    // Brings `widget` to the front: announces the change (when something was in front before),
    // fades it in with `fader` (the first screen shows at once; without a fader it is just
    // shown) and appends it to the stack. A
    // widget may be pushed many times; the stack keeps every push.
    void push(QWidget* widget, FaderWidget* fader);
    // The widget pushed last, or null.
    QWidget* top() const;
    int count() const { return int(m_stack.size()); }

    // The size the screens are laid out for (0 × 0 until set).
    QRect screenGeometry() const { return m_geometry; }
    void setScreenSize(int height, int width);

Q_SIGNALS:
    // `currentWin` and `previousWin` are the object names of the new and the previous screen.
    void screenChange(QString currentWin, QString previousWin);

private:
    QVector<QPointer<QWidget>> m_stack;
    QRect m_geometry;
};

} // namespace UI

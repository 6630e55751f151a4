#include "ui/window_stack_manager.h"

#include "ui/widgets/fader_widget.h"

#include <QWidget>

namespace UI {

WindowStackManager::WindowStackManager(QObject* parent) : QObject(parent) {}

void WindowStackManager::push(QWidget* widget, FaderWidget* fader)
{
    if (!widget)
        return;
    QWidget* previous = top();
    if (previous)
        Q_EMIT screenChange(widget->objectName(), previous->objectName());
    // The first screen has nothing to fade from: it shows at once.
    if (fader && previous)
        fader->fadeIn(widget);
    else if (fader)
        fader->reset(widget);
    else
        widget->show();
    // Screens live as long as the window; a destroyed one simply drops out of top().
    m_stack.push_back(widget);
}

QWidget* WindowStackManager::top() const
{
    for (int i = m_stack.size() - 1; i >= 0; --i)
        if (m_stack[i])
            return m_stack[i];
    return nullptr;
}

void WindowStackManager::setScreenSize(int height, int width)
{
    m_geometry = QRect(0, 0, width, height);
}

} // namespace UI

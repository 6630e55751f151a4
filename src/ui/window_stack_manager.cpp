#include "ui/window_stack_manager.h"

#include "ui/widgets/fader_widget.h"

#include <QWidget>

namespace UI {

WindowStackManager::WindowStackManager(QObject* parent) : QObject(parent) {}

void WindowStackManager::Push(QWidget* widget, FaderWidget* fader)
{
    if (!widget)
        return;
    QWidget* top = Top();
    if (top)
        Q_EMIT screenChange(widget->objectName(), top->objectName());
    // The first screen has nothing to fade from: it shows at once.
    if (fader && top)
        fader->FadeIn(widget);
    else if (fader)
        fader->Reset(widget);
    else
        widget->show();
    // Screens live as long as the window; a destroyed one simply drops out of Top().
    stack.push_back(widget);
}

QWidget* WindowStackManager::Top() const
{
    for (int i = stack.size() - 1; i >= 0; --i)
        if (stack[i])
            return stack[i];
    return nullptr;
}

void WindowStackManager::SetSize(int height, int width)
{
    geometry = QRect(0, 0, width, height);
}

} // namespace UI

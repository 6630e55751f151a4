#include "ui/window_stack_manager.h"

namespace UI {

WindowStackManager::WindowStackManager(QObject* parent) : QObject(parent) {}

void WindowStackManager::Push(QWidget* window)
{
    Remove(window);
    windows.push_back(window);
}

void WindowStackManager::Remove(QWidget* window)
{
    windows.removeAll(QPointer<QWidget>(window));
    windows.removeAll(QPointer<QWidget>());
}

QWidget* WindowStackManager::Top() const
{
    for (int i = windows.size() - 1; i >= 0; --i)
        if (windows[i])
            return windows[i];
    return nullptr;
}

int WindowStackManager::Count() const
{
    int count = 0;
    for (const auto& w : windows)
        count += w ? 1 : 0;
    return count;
}

} // namespace UI

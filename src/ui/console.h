#pragma once
// The main window. For now a plain window with the program's name; it is placed full screen or
// in a normal window, on the screen the command line asks for.

#include <QWidget>

namespace UI {

class Console : public QWidget
{
    Q_OBJECT
public:
    explicit Console(QWidget* parent = nullptr);

    // Shows the window full screen or normally, on screen `displayIndex` when it exists.
    void ShowOnScreen(bool fullScreen, int displayIndex);
};

} // namespace UI

#pragma once
// The main window a pass drives, and the waits that let it come to rest before a picture: the
// screen in front with its fades over, a dialog faded in or out, the exercise screen's views
// done gliding.

#include "pass.h"

#include "ui/exercise/exercise_screen.h"
#include "ui/main_window.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace UI {
class BaseDialog;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs);
void Pause(int ms);
// A dialog in view with its fade-in over.
bool ShownStill(const UI::BaseDialog* dialog);

class TourWindow
{
public:
    explicit TourWindow(const Pass& pass) : pass(pass) {}
    // Closes the lesson that is open, then the window.
    ~TourWindow();

    // Waits until `front` is the screen in front, shown, with every fade over.
    bool Settle(QWidget* front);
    // Waits until the view machine rests in the state of the screen's view (the panes glide
    // between views and between the two statistics pages).
    bool ViewSettled();
    // Waits until what the screen has just been told to show has faded in (a question over the
    // last one, a screen over another).
    void WaitForFades() const;
    // Waits until a dialog is in view with its fade-in over.
    bool ShowDialog(UI::BaseDialog* dialog, const char* what);
    // Closes a dialog with Escape and waits until it has faded out.
    bool CloseDialog(UI::BaseDialog* dialog, const char* what);
    // Reports what went wrong in the pass; false.
    bool Fail(const char* what) const;

    // A widget of the exercise screen by its object name.
    template <typename T = QWidget> T* Child(const QString& name) const
    {
        return screen->findChild<T*>(name);
    }

    const Pass& pass;
    std::unique_ptr<UI::MainWindow> console;
    UI::ExerciseScreen* screen = nullptr;

private:
    bool NothingFades() const;
};

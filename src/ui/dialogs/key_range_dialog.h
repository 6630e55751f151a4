#pragma once
// The dialog in which a teacher picks the range of notes a lesson may ask on the drawn piano:
// two keys (the lowest and the highest, in either order) or one octave, C to B. The range
// picker of the trainer settings pages opens it over the window; it is a fading card
// (UI::CardDialog) that is accepted once the range is complete, and rejected by Escape or
// "Cancel", leaving the range it started with.
//
// The keyboard shows what is under the mouse in its pick-a-key or pick-an-octave mode but takes
// no presses there, so the dialog watches the keyboard for the mouse release and picks what the
// keyboard last reported under the pointer. The arrow keys move the same pointer: the dialog
// moves the mouse over the keyboard's key with a synthetic move event, so the keyboard draws
// the highlight and reports the key exactly as for the real mouse, and Enter picks. The first
// arrow press puts the pointer on the lowest key of the range shown (or its octave); Left and
// Right then move it by a key (an octave), Down and Up by an octave. While keys are picked, the
// key under the pointer is marked blue and the first key picked green. GUI thread.

#include "ui/dialogs/card_dialog.h"

#include <memory>

class Keyboard;
class QPushButton;

namespace Ui {
class KeyRangeDialog;
}

namespace UI {

class KeyRangeDialog : public CardDialog
{
    Q_OBJECT
public:
    // `mode` is Keyboard::PickKeyMode (two keys) or Keyboard::PickOctaveMode (one octave); any
    // other mode picks keys. `minimum` and `maximum` are the range shown before anything is
    // picked (keys 0-87, maximum excluded); the arrow keys start from its lowest key.
    KeyRangeDialog(int mode, int minimum, int maximum, QWidget* parent = nullptr);
    ~KeyRangeDialog() override;

    int mode() const { return m_mode; }
    // The range picked (the starting one until the dialog is accepted): keys 0-87, maximum
    // excluded, so a range of one key has maximum() == minimum() + 1.
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // The key (pick-a-key mode) or the first key of the octave (pick-an-octave mode) under the
    // pointer, -1 when nothing would be picked.
    int pointedKey() const { return m_pointedKey; }
    // The key picked first in pick-a-key mode, -1 before the first click.
    int firstKey() const { return m_firstKey; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void onHover(int key);
    // Picks what the pointer is on: the first or second key, or the octave.
    void pick();
    // Moves the pointer by `steps` keys (pick-a-key mode) or octaves (pick-an-octave mode).
    void movePointer(int steps);
    // Sends the keyboard a mouse move to a point inside `key`.
    void pointAt(int key);
    void showPointed();
    // The keyboard's marks: the first key picked green, the key under the pointer blue.
    void showMarks();
    void finish(int lowest, int highest);

    std::unique_ptr<Ui::KeyRangeDialog> m_ui;
    Keyboard* m_keyboard = nullptr;
    QPushButton* m_cancel = nullptr;
    int m_mode;
    int m_minimum;
    int m_maximum;
    int m_pointedKey = -1;
    int m_firstKey = -1;
    bool m_finished = false;
};

} // namespace UI

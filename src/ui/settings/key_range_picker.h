#pragma once
// The compact editor of one range of notes on a trainer settings page ("only C4 to G5"): the
// range as text and on a small staff, the lowest and highest note in two lists (for the keyboard
// and screen readers), and two buttons that open UI::KeyRangeDialog over the window to pick two
// keys or one octave on the drawn piano. It shows and announces a range; whether the range may
// be stored is the page's decision, which may put the previous range back with setRange().
// Drawn for the dark settings pages (light text, the staff on its own paper). GUI thread only.
//
// Ranges are in the settings' form: keys 0-87 counted from A0 (39 is middle C), the maximum
// excluded, so 39-52 is C4 up to and including C5 and 88 takes C8 in.

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace UI {

class ScoreBoard;

class KeyRangePicker : public QWidget
{
    Q_OBJECT
public:
    explicit KeyRangePicker(QWidget* parent = nullptr);

    // Shows a range without announcing it. The minimum is kept within 0-87 and the maximum
    // within minimum + 1 to 88.
    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    // "C4 – G5": the lowest and the highest key included (maximum - 1), joined by an en dash;
    // one name for a range of one key.
    static QString rangeText(int minimum, int maximum);
    // The staff the picker shows for a range: the lowest and highest note as whole notes, each
    // in the bass clef below middle C and in the treble clef from middle C up.
    static QByteArray staffText(int minimum, int maximum);

Q_SIGNALS:
    // The user chose a new range (in the lists or in the dialog); it is shown already. The owner
    // may refuse it and call setRange() with the previous one.
    void rangePicked(int minimum, int maximum);

private:
    void showRange();
    // A range chosen by the user: shown, and announced when it differs from the one shown.
    void choose(int lowest, int highestExcluded);
    void onLowestActivated(int index);
    void onHighestActivated(int index);
    // Opens the dialog in Keyboard::PickKeyMode or Keyboard::PickOctaveMode over the window.
    void openDialog(int mode);

    int m_minimum = 39;
    int m_maximum = 52;
    QLabel* m_rangeText = nullptr;
    ScoreBoard* m_staff = nullptr;
    QComboBox* m_lowest = nullptr;
    QComboBox* m_highest = nullptr;
    QPushButton* m_pickKeys = nullptr;
    QPushButton* m_pickOctave = nullptr;
};

} // namespace UI

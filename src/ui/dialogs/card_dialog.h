#pragma once
// The look the main window's small dialogs share (about, help, news, rating): a rounded white
// card centred over a dimmed picture of the window under the dialog, with a dark title band, a
// body the subclass fills and a row of buttons at the bottom. The card keeps a preferred size
// and shrinks, never overflows, when the window is smaller. A fading dialog (UI::BaseDialog)
// that covers its parent; Escape closes it, Enter presses the focused button or the default one.
// GUI thread only.

#include "ui/dialogs/base_dialog.h"

#include <QPixmap>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace UI {

class CardDialog : public BaseDialog
{
    Q_OBJECT
public:
    enum class ButtonKind
    {
        Primary,  // orange, the usual choice
        Secondary // outlined
    };

    // `cardSize` is the card's preferred size in logical pixels; a height of 0 lets the card be
    // as tall as its content asks.
    CardDialog(const QString& title, QSize cardSize, QWidget* parent = nullptr);

    QWidget* card() const { return m_card; }
    QLabel* titleLabel() const { return m_title; }

    // Lato at a pixel size, as the dialogs' texts use it.
    static QFont textFont(int pixelSize, int weight = 50 /* QFont::Normal */);

protected:
    // Where the subclass lays out its content, between the title band and the buttons.
    QVBoxLayout* body() const { return m_body; }
    // Appends a button to the bottom row, right-aligned in the order added.
    QPushButton* addButton(const QString& text, ButtonKind kind);
    // A widget at the left end of the bottom row.
    void addToButtonRowStart(QWidget* widget);

    // Enter presses the button the keyboard is on, else the dialog's default button.
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void placeCard();
    // A picture of what the dialog covers, taken when it is shown or resized.
    void takeCover();

    QWidget* m_card = nullptr;
    QLabel* m_title = nullptr;
    QVBoxLayout* m_body = nullptr;
    QHBoxLayout* m_buttonRow = nullptr;
    QSize m_preferredCardSize;
    QPixmap m_cover;
};

} // namespace UI

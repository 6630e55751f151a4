#pragma once
// The keyboard focus made plain on every screen and dialog: a ring in the accent colour, with a
// dark edge so that it shows on the dark tool bar and on the white cards alike, drawn around the
// control that has the focus (around the current tab of a tab bar). Many controls are drawn from
// pictures whose style has no room for a focus mark; the ring lies over them instead, as a
// widget just above the control among its siblings. A control that Tab reaches on a scrolled
// page is scrolled into view.
//
// The ring shows while the keyboard is in use: a key press brings it, a mouse click takes it
// away until the next key. One ring serves the whole application; install() once, on the GUI
// thread, after the QApplication exists.

#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;

namespace UI {

class FocusRing : public QObject
{
    Q_OBJECT
public:
    // Follows the application's focus from now on; later calls do nothing.
    static void install();

    // The ring's width and the room it takes outside the control.
    static constexpr int Width = 2;
    static constexpr int Outset = 3;

    ~FocusRing() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FocusRing(QObject* parent);
    void follow(QWidget* target);
    void place();
    QRect ringGeometry() const;
    // The ring's widget, made again when it went with the window it lay in.
    QWidget* ring();

    QPointer<QWidget> m_target;
    QPointer<QWidget> m_ring;
    bool m_keyboardInUse = false;
};

} // namespace UI

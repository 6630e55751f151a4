#pragma once
// The common base of the fading dialogs laid over a screen (the section end dialog, the
// difficulty level dialog): a frameless dialog that covers its parent's rectangle, fades in when
// shown and fades out before it closes, whatever asks it to close (Escape, accept(), reject(),
// close(), postponedFadeSlot()). The fade blends the dialog with a picture of what lies under
// it, so it needs neither a compositing window system nor window opacity. GUI thread only.

#include <QDialog>

class QPropertyAnimation;

namespace UI {

class BaseDialog : public QDialog
{
    Q_OBJECT
public:
    explicit BaseDialog(QWidget* parent = nullptr);
    ~BaseDialog() override;

    // Starts the fade-out and closes the dialog with result `result` when it ends. A request
    // while the dialog fades out, or while it is hidden, does nothing.
    void done(int result) override;

    bool isFadingOut() const { return m_fadingOut; }
    // How much of the dialog shows over what lies under it: 0 to 1, 1 when no fade runs.
    double opacity() const;
    // The fade in (200 ms) and out.
    QPropertyAnimation* fadeAnimation() const { return m_fade; }

Q_SIGNALS:
    // The dialog has faded out and closed (not sent when it is merely hidden or destroyed).
    void dialogClosed();

public Q_SLOTS:
    // Fades out, then closes; for closing the dialog some time after a choice was made.
    void postponedFadeSlot();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void coverParent();
    void startFade(double from, double to);
    void fadeFinished();

    class Effect;
    Effect* m_effect = nullptr;
    QPropertyAnimation* m_fade = nullptr;
    bool m_fadingOut = false;
    int m_pendingResult = Rejected;
};

} // namespace UI

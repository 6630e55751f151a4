#pragma once
// The small hint that floats over the exercise screen above the on-screen keyboard and tells the
// student what the space bar does now. In its pause mode it says "Press spacebar to pause", and
// only after the lesson has run for a while (DelayMs), for DisplayMs; in its next-question mode,
// after a mistake that paused the lesson, it says at once that the space bar goes on, and stays
// until it is dismissed; in its piano-keys mode, the first time the computer keyboard can play
// the on-screen piano, it shows which keys do what, at once and for PianoDisplayMs. In its
// muted-microphone mode it asks, at once and until dismissed, whether the microphone answered on
// is muted (UI::MicrophoneSilenceNotice). A click on it is reported (clicked()): the space bar
// for the screen's own hint. A child widget of the screen, so it never takes the keyboard focus.
// GUI thread.

#include <QLabel>

class QTimer;

namespace UI {

class ActionHint : public QLabel
{
    Q_OBJECT
public:
    enum Mode
    {
        PauseMode,
        NextQuestionMode,
        PianoKeysMode,
        MutedMicrophoneMode,
    };

    static constexpr int DelayMs = 3500;
    static constexpr int DisplayMs = 3500;
    static constexpr int PianoDisplayMs = 9000;

    explicit ActionHint(QWidget* parent = nullptr);

    void setMode(Mode mode);
    // The piano-keys mode with its words: which keys play the piano, and which keys that mean
    // something else on this screen play it instead.
    void setPianoKeysText(const QString& text);
    Mode mode() const { return m_mode; }
    static QString textOf(Mode mode);

    // Shows the hint with its bottom centre at `anchor` (parent coordinates): at once in the
    // next-question mode, after DelayMs in the pause mode.
    void showAt(const QPoint& anchor);
    // Hides the hint and forgets a pending show.
    void dismiss();
    // The hint is on screen or will come up.
    bool isPending() const;

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void appear();

    Mode m_mode = PauseMode;
    QPoint m_anchor;
    QTimer* m_delay = nullptr;
    QTimer* m_display = nullptr;
};

} // namespace UI

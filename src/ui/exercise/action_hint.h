#pragma once
// The small hint that floats over the exercise screen above the on-screen keyboard and tells the
// student what the space bar does now. In its pause mode it says "Press spacebar to pause", and
// only after the lesson has run for a while (DelayMs), for DisplayMs; in its next-question mode,
// after a mistake that paused the lesson, it says at once that the space bar goes on, and stays
// until it is dismissed. A click on it counts as the space bar (Clicked()). A child widget of the
// screen, so it never takes the keyboard focus. Used by UI::ExerciseScreen. GUI thread.

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
    };

    static constexpr int DelayMs = 3500;
    static constexpr int DisplayMs = 3500;

    explicit ActionHint(QWidget* parent = nullptr);

    void SetMode(Mode mode);
    Mode GetMode() const { return mode; }
    static QString TextOf(Mode mode);

    // Shows the hint with its bottom centre at `anchor` (parent coordinates): at once in the
    // next-question mode, after DelayMs in the pause mode.
    void ShowAt(const QPoint& anchor);
    // Hides the hint and forgets a pending show.
    void Dismiss();
    // The hint is on screen or will come up.
    bool IsPending() const;

Q_SIGNALS:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Appear();

    Mode mode = PauseMode;
    QPoint anchor;
    QTimer* delay = nullptr;
    QTimer* display = nullptr;
};

} // namespace UI

#pragma once
// The feedback movement of the exercise screen's score pane: a short hop after a right answer and
// a horizontal shake after a wrong one. A "geometry" animation of the pane that takes the pane
// from its frame's placing while it runs (UI::ShadowFrame) and repaints the frame on every step,
// so that the drop shadow follows. Created on first use by UI::ExerciseScreen and reused.
// GUI thread.

#include <QPointer>
#include <QPropertyAnimation>

namespace UI {

class ShadowFrame;

class WrongRightAnswerAnimation : public QPropertyAnimation
{
    Q_OBJECT
public:
    enum Kind
    {
        RightAnswerHop,
        WrongAnswerShake,
    };

    static constexpr int DurationMs = 800;
    static constexpr int HopPixels = 5;
    static constexpr int ShakePixels = 15;

    WrongRightAnswerAnimation(Kind kind, QWidget* pane, ShadowFrame* frame, QObject* parent = nullptr);

    // Starts again from the pane's resting place; a run in progress is cut short.
    void run();

protected:
    void updateCurrentValue(const QVariant& value) override;
    void updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState) override;

private:
    const Kind m_kind;
    QPointer<ShadowFrame> m_frame;
};

} // namespace UI

#include "ui/exercise/wrong_right_answer_animation.h"

#include "ui/widgets/shadow_frame.h"

#include <QWidget>

namespace UI {

WrongRightAnswerAnimation::WrongRightAnswerAnimation(Kind animationKind, QWidget* pane,
                                                     ShadowFrame* shadowFrame, QObject* parent)
    : QPropertyAnimation(pane, "geometry", parent), kind(animationKind), frame(shadowFrame)
{
    setDuration(DurationMs);
    setEasingCurve(kind == RightAnswerHop ? QEasingCurve::OutBounce : QEasingCurve::InOutElastic);
}

void WrongRightAnswerAnimation::Run()
{
    stop();
    auto* pane = qobject_cast<QWidget*>(targetObject());
    if (!pane)
        return;
    const QRect rest = frame ? frame->restingRect() : pane->geometry();
    setKeyValues({});
    if (kind == RightAnswerHop) {
        setKeyValueAt(0.0, rest);
        setKeyValueAt(0.5, rest.translated(0, -HopPixels));
        setKeyValueAt(1.0, rest);
    } else {
        const int x = ShakePixels;
        setKeyValueAt(0.0, rest);
        setKeyValueAt(0.2, rest.translated(x, 0));
        setKeyValueAt(0.4, rest.translated(-x, 0));
        setKeyValueAt(0.6, rest.translated(x, 0));
        setKeyValueAt(0.8, rest.translated(-x, 0));
        setKeyValueAt(1.0, rest);
    }
    start();
}

void WrongRightAnswerAnimation::updateCurrentValue(const QVariant& value)
{
    QPropertyAnimation::updateCurrentValue(value);
    if (frame)
        frame->update();
}

void WrongRightAnswerAnimation::updateState(QAbstractAnimation::State newState,
                                            QAbstractAnimation::State oldState)
{
    // The pane is out of the frame's placing while the animation runs, and back in it after.
    if (frame)
        frame->setPaneFree(newState == Running);
    QPropertyAnimation::updateState(newState, oldState);
}

} // namespace UI

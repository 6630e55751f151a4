#include "ui/exercise/wrong_right_answer_animation.h"

#include "ui/widgets/shadow_frame.h"

#include <QWidget>

namespace UI {

WrongRightAnswerAnimation::WrongRightAnswerAnimation(Kind animationKind, QWidget* pane,
                                                     ShadowFrame* shadowFrame, QObject* parent)
    : QPropertyAnimation(pane, "geometry", parent), m_kind(animationKind), m_frame(shadowFrame)
{
    setDuration(DurationMs);
    setEasingCurve(m_kind == RightAnswerHop ? QEasingCurve::OutBounce : QEasingCurve::InOutElastic);
}

void WrongRightAnswerAnimation::run()
{
    stop();
    auto* pane = qobject_cast<QWidget*>(targetObject());
    if (!pane)
        return;
    const QRect rest = m_frame ? m_frame->restingRect() : pane->geometry();
    setKeyValues({});
    if (m_kind == RightAnswerHop) {
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
    if (m_frame)
        m_frame->update();
}

void WrongRightAnswerAnimation::updateState(QAbstractAnimation::State newState,
                                            QAbstractAnimation::State oldState)
{
    // The pane is out of the frame's placing while the animation runs, and back in it after.
    if (m_frame)
        m_frame->setPaneFree(newState == Running);
    QPropertyAnimation::updateState(newState, oldState);
}

} // namespace UI

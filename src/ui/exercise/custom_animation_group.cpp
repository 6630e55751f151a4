#include "ui/exercise/custom_animation_group.h"

#include <QPropertyAnimation>

namespace UI {

CustomAnimationGroup::CustomAnimationGroup(std::initializer_list<QWidget*> panes, QObject* parent)
    : QParallelAnimationGroup(parent)
{
    for (QWidget* pane : panes) {
        auto* glide = new QPropertyAnimation(pane, "geometry", this);
        glide->setDuration(DurationMs);
        glide->setEasingCurve(QEasingCurve::OutCubic);
        addAnimation(glide);
    }
}

} // namespace UI

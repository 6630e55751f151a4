#pragma once
// The animation of one animated view change of the exercise screen: the panes of the view being
// left and of the view being entered glide to their places together, one 220 ms "geometry"
// animation per pane. A transition of the screen's view machine carries it; the machine gives
// each animation its end value from the target state. GUI thread.

#include <QParallelAnimationGroup>
#include <QWidget>

#include <initializer_list>

namespace UI {

class CustomAnimationGroup : public QParallelAnimationGroup
{
    Q_OBJECT
public:
    static constexpr int DurationMs = 220;

    CustomAnimationGroup(std::initializer_list<QWidget*> panes, QObject* parent = nullptr);
};

} // namespace UI

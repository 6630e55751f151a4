#pragma once
// The exercise screen's views: the exercise, statistics, extended statistics and reference panes
// lie side by side on one strip inside the view area, and a state machine of four states moves
// them. switchTo() asks for a view; the move glides the panes into place (Animated) or puts them
// there at once (Quick). Before the machine runs (the screen was never shown) the panes are put
// in place directly. GUI thread.

#include "ui/speed.h"

#include <QObject>
#include <QRect>

#include <array>

class QState;
class QStateMachine;
class QWidget;

namespace UI {

class ViewSwitcher : public QObject
{
    Q_OBJECT
public:
    enum View
    {
        ExerciseView = 0,
        StatisticsView = 1,
        ExtendedStatisticsView = 2,
        ReferenceView = 3,
    };
    static constexpr int ViewCount = 4;

    // The widgets the views move: the area the panes fill, the four panes, and the parts whose
    // look depends on the view (the rows of the two statistics pages, the piano).
    struct Widgets
    {
        QWidget* area = nullptr;
        QWidget* exercisePane = nullptr;
        QWidget* statisticsPane = nullptr;
        QWidget* extendedStatisticsPane = nullptr;
        QWidget* referencePane = nullptr;
        QWidget* statisticsRows = nullptr;
        QWidget* extendedStatisticsRows = nullptr;
        QWidget* keyboard = nullptr;
    };

    explicit ViewSwitcher(const Widgets& widgets, QObject* parent = nullptr);
    ~ViewSwitcher() override;

    // Builds and starts the machine in the view last asked for; once.
    void start();
    // Moves to `view`; nothing when the machine is in it already.
    void switchTo(View view, UI::Speed speed);
    // The view area changed its size: the states' pane places follow, and the panes too unless a
    // move is under way.
    void updateGeometry();
    bool isAnimating() const;
    // The machine, once started, else null.
    QStateMachine* machine() const { return m_machine; }

Q_SIGNALS:
    // An animated move has brought its panes to their places.
    void animationFinished();
    // The machine's only trigger: the view asked for and the speed (UI::Speed), as ints.
    void switchRequested(int view, int speed);

private:
    QRect paneRect(int pane, View state) const;
    QWidget* paneWidget(int pane) const;
    void placePanes(View state);
    void assignPaneGeometry();
    View machineView() const;

    Widgets m_widgets;
    View m_view = ExerciseView;
    QStateMachine* m_machine = nullptr;
    std::array<QState*, ViewCount> m_states{};
};

} // namespace UI

#include "ui/exercise/view_switcher.h"

#include "ui/exercise/custom_animation_group.h"

#include <QSignalTransition>
#include <QState>
#include <QStateMachine>
#include <QWidget>

namespace UI {

namespace {

// Where each pane lies on the strip: reference, exercise, statistics, extended statistics. The
// panes are numbered as the views that show them.
constexpr int stripPosition[ViewSwitcher::ViewCount] = {1, 2, 3, 0};

// A move of the view machine to one view at one speed: taken on the switcher's switchRequested
// when the signal names that view and speed.
class ViewTransition : public QSignalTransition
{
public:
    ViewTransition(ViewSwitcher* switcher, ViewSwitcher::View target, UI::Speed speed, QState* source)
        : QSignalTransition(switcher, SIGNAL(switchRequested(int, int)), source), m_target(target),
          m_speed(speed)
    {
    }

protected:
    bool eventTest(QEvent* event) override
    {
        if (!QSignalTransition::eventTest(event))
            return false;
        const QList<QVariant> arguments = static_cast<QStateMachine::SignalEvent*>(event)->arguments();
        return arguments.size() == 2 && arguments.at(0).toInt() == m_target &&
               arguments.at(1).toInt() == m_speed;
    }

private:
    ViewSwitcher::View m_target;
    UI::Speed m_speed;
};

} // namespace

ViewSwitcher::ViewSwitcher(const Widgets& widgets, QObject* parent) : QObject(parent), m_widgets(widgets) {}

ViewSwitcher::~ViewSwitcher()
{
    // Before the panes it assigns properties to go.
    delete m_machine;
}

void ViewSwitcher::switchTo(View view, UI::Speed speed)
{
    m_view = view;
    if (m_machine)
        Q_EMIT switchRequested(view, speed);
    else
        placePanes(view);
}

QRect ViewSwitcher::paneRect(int pane, View state) const
{
    const QSize area = m_widgets.area->size();
    const int offset = stripPosition[pane] - stripPosition[state];
    return QRect(QPoint(offset * area.width(), 0), area);
}

QWidget* ViewSwitcher::paneWidget(int pane) const
{
    switch (pane) {
    case StatisticsView:
        return m_widgets.statisticsPane;
    case ExtendedStatisticsView:
        return m_widgets.extendedStatisticsPane;
    case ReferenceView:
        return m_widgets.referencePane;
    default:
        return m_widgets.exercisePane;
    }
}

void ViewSwitcher::placePanes(View state)
{
    for (int pane = 0; pane < ViewCount; ++pane) {
        QWidget* widget = paneWidget(pane);
        widget->setGeometry(paneRect(pane, state));
        widget->setVisible(pane == state);
    }
}

void ViewSwitcher::assignPaneGeometry()
{
    if (!m_machine)
        return;
    for (int state = 0; state < ViewCount; ++state)
        for (int pane = 0; pane < ViewCount; ++pane)
            m_states[size_t(state)]->assignProperty(paneWidget(pane), "geometry",
                                                    paneRect(pane, View(state)));
}

void ViewSwitcher::updateGeometry()
{
    assignPaneGeometry();
    if (!isAnimating())
        placePanes(machineView());
}

void ViewSwitcher::start()
{
    if (m_machine)
        return;
    m_machine = new QStateMachine(this);
    m_machine->setObjectName(QStringLiteral("viewMachine"));
    static const char* const names[ViewCount] = {"exercise", "statistics", "extendedStatistics", "reference"};
    for (int s = 0; s < ViewCount; ++s) {
        QState* state = new QState(m_machine);
        m_states[size_t(s)] = state;
        state->setObjectName(QLatin1String(names[s]));
        state->assignProperty(paneWidget(s), "visible", true);
        // Once the panes are in place (for the view's size now: the piano may have come or gone
        // meanwhile), those outside the view are hidden from screen readers.
        connect(state, &QState::propertiesAssigned, this, [this, s] { placePanes(View(s)); });
    }
    m_states[StatisticsView]->assignProperty(m_widgets.statisticsRows, "maximumWidth", 750);
    m_states[ExtendedStatisticsView]->assignProperty(m_widgets.extendedStatisticsRows, "maximumWidth", 800);
    m_states[StatisticsView]->assignProperty(m_widgets.keyboard, "visible", true);
    m_states[ExtendedStatisticsView]->assignProperty(m_widgets.keyboard, "visible", false);
    m_states[ReferenceView]->assignProperty(m_widgets.keyboard, "visible", false);
    assignPaneGeometry();

    // From every view to every other: a move that glides the panes and one that puts them there.
    for (int from = 0; from < ViewCount; ++from) {
        for (int to = 0; to < ViewCount; ++to) {
            if (from == to)
                continue;
            QState* source = m_states[size_t(from)];
            QState* target = m_states[size_t(to)];
            auto* animated = new ViewTransition(this, View(to), Animated, source);
            animated->setTargetState(target);
            auto* group =
                new CustomAnimationGroup({m_widgets.exercisePane, m_widgets.statisticsPane,
                                          m_widgets.extendedStatisticsPane, m_widgets.referencePane},
                                         animated);
            connect(group, &QAbstractAnimation::finished, this, &ViewSwitcher::animationFinished);
            animated->addAnimation(group);
            auto* quick = new ViewTransition(this, View(to), Quick, source);
            quick->setTargetState(target);
        }
    }
    m_machine->setInitialState(m_states[size_t(m_view)]);
    placePanes(m_view);
    // The machine runs from the next turn of the event loop: a view asked for before then finds
    // no transition listening, and is put in place as soon as the machine runs.
    connect(m_machine, &QStateMachine::started, this, [this] {
        if (machineView() != m_view)
            Q_EMIT switchRequested(m_view, Quick);
    });
    m_machine->start();
}

ViewSwitcher::View ViewSwitcher::machineView() const
{
    if (m_machine)
        for (int s = 0; s < ViewCount; ++s)
            if (m_machine->configuration().contains(m_states[size_t(s)]))
                return View(s);
    return m_view;
}

bool ViewSwitcher::isAnimating() const
{
    if (!m_machine)
        return false;
    for (QAbstractAnimation* animation : m_machine->findChildren<QAbstractAnimation*>())
        if (animation->state() == QAbstractAnimation::Running)
            return true;
    return false;
}

} // namespace UI

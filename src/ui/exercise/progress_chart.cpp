#include "ui/exercise/progress_chart.h"

#include "ui/answer_colours.h"

#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QEvent>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <set>

using namespace QtCharts;

namespace {

// The median time's line: the slate of the screen's buttons, dashed, apart from the accuracy's
// answer colour in either palette.
const QColor timeColour(75, 80, 92);
const QColor plotGround(246, 245, 243);
const QColor gridColour(214, 212, 210);
const QColor labelColour(40, 42, 48);

// Room a day label needs on the axis, in pixels.
constexpr int dayLabelRoom = 56;
// How far from a day's point the pointer may be for it to be picked, in pixels.
constexpr double pickDistance = 24.0;
// Grid intervals of both value axes, so that their lines coincide.
constexpr int valueIntervals = 5;

QFont ChartFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("MS Shell Dlg 2"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// How many day labels fit along a plot this wide.
int LabelRoom(double plotWidth)
{
    return std::max(2, int(plotWidth / dayLabelRoom));
}

int Percent(const Core::DayProgress& day)
{
    return day.answers > 0 ? int(std::lround(100.0 * day.right / day.answers)) : 0;
}

// The chart's view is read out as a chart (a plain graphics view has no role), its name and the
// picked day's values as its description.
QAccessibleInterface* ChartAccessibleFactory(const QString&, QObject* object)
{
    auto* view = qobject_cast<QChartView*>(object);
    if (view && view->objectName() == QLatin1String("progressChartView"))
        return new QAccessibleWidget(view, QAccessible::Chart);
    return nullptr;
}

} // namespace

namespace UI {

ProgressChart::ProgressChart(QWidget* parent) : QWidget(parent)
{
    // Before the view is made, so that its interface is the chart's.
    static const bool accessibleFactoryInstalled = [] {
        QAccessible::installFactory(ChartAccessibleFactory);
        return true;
    }();
    Q_UNUSED(accessibleFactoryInstalled)
    setObjectName(QStringLiteral("progressChart"));
    setAccessibleName(tr("Progress"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(4);

    auto* spans = new QHBoxLayout;
    spans->setSpacing(0);
    spans->addStretch(1);
    auto* group = new QButtonGroup(this);
    for (const int days : Spans) {
        auto* button = new QPushButton(tr("%n days", nullptr, days), this);
        button->setObjectName(QStringLiteral("progressSpan"));
        button->setProperty("days", days);
        button->setAccessibleName(tr("Show the last %n days", nullptr, days));
        button->setCheckable(true);
        button->setChecked(days == m_span);
        button->setFocusPolicy(Qt::TabFocus);
        group->addButton(button);
        spans->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, days] { setSpan(days); });
        m_spanButtons.push_back(button);
    }
    layout->addLayout(spans);

    m_chart = new QChart;
    m_chart->setBackgroundVisible(false);
    m_chart->setBackgroundRoundness(0);
    m_chart->setMargins(QMargins(2, 2, 2, 2));
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_chart->setPlotAreaBackgroundBrush(plotGround);
    m_chart->setPlotAreaBackgroundVisible(true);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->legend()->setFont(ChartFont(13));
    m_chart->legend()->setLabelColor(labelColour);

    m_accuracy = new QLineSeries;
    m_accuracy->setName(tr("Right answers (%)"));
    m_accuracy->setPointsVisible(true);
    m_time = new QLineSeries;
    m_time->setName(tr("Median answer time"));
    m_time->setPointsVisible(true);
    m_marker = new QScatterSeries;
    m_marker->setMarkerSize(14.0);
    m_marker->setColor(Qt::transparent);
    m_chart->addSeries(m_accuracy);
    m_chart->addSeries(m_time);
    m_chart->addSeries(m_marker);
    for (QLegendMarker* marker : m_chart->legend()->markers(m_marker))
        marker->setVisible(false);

    m_dayAxis = new QCategoryAxis;
    m_dayAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_accuracyAxis = new QValueAxis;
    m_accuracyAxis->setRange(0.0, 100.0);
    m_accuracyAxis->setTickCount(valueIntervals + 1);
    m_accuracyAxis->setLabelFormat(QStringLiteral("%d%%"));
    m_timeAxis = new QValueAxis;
    m_timeAxis->setTickCount(valueIntervals + 1);
    for (QAbstractAxis* axis :
         {static_cast<QAbstractAxis*>(m_dayAxis), static_cast<QAbstractAxis*>(m_accuracyAxis),
          static_cast<QAbstractAxis*>(m_timeAxis)}) {
        axis->setLabelsFont(ChartFont(12));
        axis->setLabelsColor(labelColour);
        axis->setGridLineColor(gridColour);
        axis->setLinePenColor(gridColour);
    }
    m_timeAxis->setGridLineVisible(false);
    m_chart->addAxis(m_dayAxis, Qt::AlignBottom);
    m_chart->addAxis(m_accuracyAxis, Qt::AlignLeft);
    m_chart->addAxis(m_timeAxis, Qt::AlignRight);
    for (QLineSeries* series : {m_accuracy, m_time, static_cast<QLineSeries*>(nullptr)}) {
        QXYSeries* attached = series ? static_cast<QXYSeries*>(series) : m_marker;
        attached->attachAxis(m_dayAxis);
        attached->attachAxis(series == m_time ? m_timeAxis : m_accuracyAxis);
    }

    m_view = new QChartView(m_chart);
    m_view->setObjectName(QStringLiteral("progressChartView"));
    m_view->setAccessibleName(tr("Progress chart"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setBackgroundBrush(Qt::NoBrush);
    m_view->viewport()->setAutoFillBackground(false);
    m_view->setStyleSheet(QStringLiteral("background: transparent;"));
    m_view->setFocusPolicy(Qt::TabFocus);
    m_view->setMouseTracking(true);
    m_view->viewport()->setMouseTracking(true);
    m_view->setMinimumHeight(160);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);

    m_empty = new QLabel(tr("No practice in these days."), this);
    m_empty->setObjectName(QStringLiteral("progressEmpty"));
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setWordWrap(true);
    auto* chartArea = new QWidget(this);
    m_stack = new QStackedLayout(chartArea);
    m_stack->addWidget(m_view);
    m_stack->addWidget(m_empty);
    m_stack->setCurrentWidget(m_empty);
    layout->addWidget(chartArea, 1);

    m_values = new QLabel(this);
    m_values->setObjectName(QStringLiteral("progressValues"));
    m_values->setWordWrap(true);
    m_values->setAccessibleName(tr("Values of the day"));
    layout->addWidget(m_values);

    // The day labels are spaced for the plot's width, known once the chart is laid out.
    connect(m_chart, &QChart::plotAreaChanged, this, [this](const QRectF& plot) {
        if (LabelRoom(plot.width()) != m_labelRoom)
            placeDayLabels();
    });
    applyColours();
    connect(AnswerColours::notifier(), &AnswerColours::paletteChanged, this, &ProgressChart::applyColours);
    draw({}, QDate::currentDate().addDays(1 - m_span), m_span);
}

ProgressChart::~ProgressChart() = default;

void ProgressChart::showSection(std::shared_ptr<Core::AnswerLog> log, qint32 trainer, qint32 section)
{
    m_log = std::move(log);
    m_trainer = trainer;
    m_section = section;
    refresh();
}

void ProgressChart::setSpan(int days)
{
    for (QPushButton* button : m_spanButtons)
        button->setChecked(button->property("days").toInt() == days);
    if (days == m_span)
        return;
    m_span = days;
    refresh();
}

void ProgressChart::refresh()
{
    const quint64 request = ++m_request;
    const QDate today = m_today.isValid() ? m_today : QDate::currentDate();
    const int span = m_span;
    const QDate first = today.addDays(1 - span);
    if (!m_log) {
        m_waiting = false;
        draw({}, first, span);
        return;
    }
    m_waiting = true;
    m_log->Progress(m_trainer, m_section, span, today, this,
                    [this, request, first, span](std::vector<Core::DayProgress> days) {
                        if (request != m_request)
                            return; // a newer request is on its way
                        m_waiting = false;
                        draw(days, first, span);
                    });
}

void ProgressChart::draw(const std::vector<Core::DayProgress>& days, const QDate& firstDay, int span)
{
    m_days.clear();
    for (const Core::DayProgress& day : days)
        if (day.answers > 0 && day.day >= firstDay && firstDay.daysTo(day.day) < span)
            m_days.push_back(day);
    m_firstDay = firstDay;
    m_drawnSpan = span;
    m_picked = -1;

    QVector<QPointF> accuracy, time;
    double slowest = 0.0;
    for (const Core::DayProgress& day : m_days) {
        const double x = double(firstDay.daysTo(day.day));
        accuracy.append(QPointF(x, 100.0 * day.right / day.answers));
        if (day.medianResponseMs >= 0) {
            time.append(QPointF(x, day.medianResponseMs / 1000.0));
            slowest = std::max(slowest, day.medianResponseMs / 1000.0);
        }
    }
    m_accuracy->replace(accuracy);
    m_time->replace(time);
    m_marker->clear();

    // The time axis ends on a round number of seconds a little above the slowest day.
    static const double steps[] = {0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 30.0, 60.0, 120.0};
    double step = steps[std::size(steps) - 1];
    for (const double candidate : steps)
        if (candidate * valueIntervals >= slowest * 1.1) {
            step = candidate;
            break;
        }
    m_timeAxis->setRange(0.0, step * valueIntervals);
    m_timeAxis->setLabelFormat(step < 1.0 ? tr("%.1f s") : tr("%d s"));
    m_dayAxis->setRange(-0.5, span - 0.5);
    placeDayLabels();

    m_stack->setCurrentWidget(m_days.empty() ? static_cast<QWidget*>(m_empty) : m_view);
    m_values->setVisible(!m_days.empty());
    m_values->setText(valuesText());
    m_view->setAccessibleDescription(
        m_days.empty() ? m_empty->text()
                       : tr("%n practised days. Use the arrow keys for the values of each day.", nullptr,
                            int(m_days.size())));
    Q_EMIT updated();
}

void ProgressChart::placeDayLabels()
{
    for (const QString& label : m_dayAxis->categoriesLabels())
        m_dayAxis->remove(label);
    const int span = m_drawnSpan;
    if (span <= 0)
        return;
    const double plotWidth =
        m_chart->plotArea().width() > 0 ? m_chart->plotArea().width() : m_view->width() - 100;
    const int room = LabelRoom(plotWidth);
    m_labelRoom = room;
    const QLocale locale;
    std::vector<std::pair<int, QString>> labels; // day index, text
    if (span <= 31) {
        // Every so many days, counted back from today so that today is named.
        int step = 1;
        for (const int candidate : {1, 2, 5, 7, 10, 15}) {
            step = candidate;
            if ((span + candidate - 1) / candidate <= room)
                break;
        }
        for (int index = span - 1; index >= 0; index -= step)
            labels.push_back({index, locale.toString(m_firstDay.addDays(index), QStringLiteral("d MMM"))});
    } else {
        // The first days of the months, every so many months counted back from the newest.
        std::vector<int> months;
        for (int index = 0; index < span; ++index)
            if (m_firstDay.addDays(index).day() == 1)
                months.push_back(index);
        int step = 1;
        for (const int candidate : {1, 2, 3, 6}) {
            step = candidate;
            if ((int(months.size()) + candidate - 1) / candidate <= room)
                break;
        }
        for (int i = int(months.size()) - 1; i >= 0; i -= step) {
            const QDate date = m_firstDay.addDays(months[size_t(i)]);
            labels.push_back(
                {months[size_t(i)], locale.toString(date, date.month() == 1 ? QStringLiteral("MMM yyyy")
                                                                            : QStringLiteral("MMM"))});
        }
    }
    std::sort(labels.begin(), labels.end());
    std::set<QString> used; // the axis takes each label once
    for (const auto& [index, text] : labels)
        if (used.insert(text).second)
            m_dayAxis->append(text, index);
    m_dayAxis->setStartValue(-0.5);
    m_dayAxis->setRange(-0.5, span - 0.5);
}

void ProgressChart::applyColours()
{
    QPen accuracyPen(AnswerColours::colour(AnswerColours::Right));
    accuracyPen.setWidthF(2.5);
    m_accuracy->setPen(accuracyPen);
    m_accuracy->setBrush(AnswerColours::colour(AnswerColours::Right));
    m_accuracyAxis->setLabelsColor(AnswerColours::textColour(AnswerColours::Right));
    QPen timePen(timeColour);
    timePen.setWidthF(2.0);
    timePen.setStyle(Qt::DashLine);
    m_time->setPen(timePen);
    m_time->setBrush(timeColour);
    QPen ring(labelColour);
    ring.setWidthF(2.0);
    m_marker->setPen(ring);
}

QString ProgressChart::dayText(const Core::DayProgress& day) const
{
    const QLocale locale;
    const QString date = locale.toString(day.day, QStringLiteral("ddd d MMM yyyy"));
    const QString time =
        day.medianResponseMs >= 0
            ? tr("median time %1 s").arg(locale.toString(day.medianResponseMs / 1000.0, 'f', 1))
            : tr("no answer time");
    const QString answers = day.answers == 1 ? tr("1 answer") : tr("%n answers", nullptr, day.answers);
    //: %1 the date, %2 the share of right answers, %3 the median time, %4 the number of answers.
    return tr("%1: %2% right, %3, %4").arg(date).arg(Percent(day)).arg(time, answers);
}

QString ProgressChart::valuesText() const
{
    if (m_picked >= 0 && size_t(m_picked) < m_days.size())
        return dayText(m_days[size_t(m_picked)]);
    return tr("Point at a day for its values.");
}

void ProgressChart::pickDay(int index)
{
    if (index < -1 || index >= int(m_days.size()))
        index = -1;
    m_picked = index;
    m_marker->clear();
    if (index >= 0) {
        const Core::DayProgress& day = m_days[size_t(index)];
        m_marker->append(double(m_firstDay.daysTo(day.day)), 100.0 * day.right / day.answers);
    }
    m_values->setText(valuesText());
    m_view->setAccessibleDescription(valuesText());
}

void ProgressChart::pickNearest(const QPoint& viewPosition)
{
    const QPointF at = m_chart->mapFromScene(m_view->mapToScene(viewPosition));
    const QRectF plot =
        m_chart->plotArea().adjusted(-pickDistance, -pickDistance, pickDistance, pickDistance);
    int nearest = -1;
    double distance = pickDistance;
    if (plot.contains(at)) {
        for (size_t i = 0; i < m_days.size(); ++i) {
            const QPointF point =
                m_chart->mapToPosition(QPointF(double(m_firstDay.daysTo(m_days[i].day)), 0.0), m_accuracy);
            const double away = std::abs(point.x() - at.x());
            if (away <= distance) {
                distance = away;
                nearest = int(i);
            }
        }
    }
    if (nearest == m_picked)
        return;
    pickDay(nearest);
}

bool ProgressChart::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view->viewport()) {
        if (event->type() == QEvent::MouseMove)
            pickNearest(static_cast<QMouseEvent*>(event)->pos());
        else if (event->type() == QEvent::Leave)
            pickDay(-1);
    } else if (watched == m_view) {
        if (event->type() == QEvent::KeyPress && !m_days.empty()) {
            const int last = int(m_days.size()) - 1;
            switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Left:
                pickDay(m_picked < 0 ? last : std::max(0, m_picked - 1));
                return true;
            case Qt::Key_Right:
                pickDay(m_picked < 0 ? 0 : std::min(last, m_picked + 1));
                return true;
            case Qt::Key_Home:
                pickDay(0);
                return true;
            case Qt::Key_End:
                pickDay(last);
                return true;
            default:
                break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace UI

#pragma once
// The statistics view's chart of a section's progress over time: per practised day of the last
// 7, 30 or 365 days, the share of right answers (left axis, in the right-answer colour of the
// palette in force) and the median answer time (right axis). Days without practice have no point:
// the lines run from one practised day to the next. Hovering near a day, or stepping through the
// days with the arrow keys, tells its date, accuracy, median time and number of answers.
//
// The chart asks the answer log with its asynchronous query and draws when the answer comes; an
// answer to a request that a newer one replaced (another section or span) is dropped. GUI thread.

#include "core/exercise/answer_log.h"

#include <QDate>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QStackedLayout;

namespace QtCharts {
class QCategoryAxis;
class QChart;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
} // namespace QtCharts

namespace UI {

class ProgressChart : public QWidget
{
    Q_OBJECT

public:
    // The spans offered, in days up to today.
    static constexpr int Spans[] = {7, 30, 365};

    explicit ProgressChart(QWidget* parent = nullptr);
    ~ProgressChart() override;

    // Asks `log` (null: there is none, and the chart is empty) for the days of a section.
    void showSection(std::shared_ptr<Core::AnswerLog> log, qint32 trainer, qint32 section);
    // The span in days (one of Spans); asks again when it changes.
    void setSpan(int days);
    int span() const { return m_span; }
    // The last day of the span; a null date (the default) is the current date at each request.
    void setToday(const QDate& today) { m_today = today; }
    // Asks again for what is shown (after Clear History, after more answers).
    void refresh();

    QtCharts::QChart* chart() const { return m_chart; }
    QtCharts::QLineSeries* accuracySeries() const { return m_accuracy; }
    QtCharts::QLineSeries* timeSeries() const { return m_time; }
    // The practised days drawn, oldest first.
    const std::vector<Core::DayProgress>& days() const { return m_days; }
    // The first day of the span drawn: a point's x is its day's distance from it.
    QDate firstDay() const { return m_firstDay; }
    // Picks practised day `index` of days() as hovering it does (-1: none).
    void pickDay(int index);
    int pickedDay() const { return m_picked; }
    // What the line under the chart says.
    QString valuesText() const;
    bool isWaiting() const { return m_waiting; }

Q_SIGNALS:
    // The chart was drawn from an answer of the log.
    void updated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void draw(const std::vector<Core::DayProgress>& days, const QDate& firstDay, int span);
    void placeDayLabels();
    void applyColours();
    void pickNearest(const QPoint& viewPosition);
    QString dayText(const Core::DayProgress& day) const;

    std::shared_ptr<Core::AnswerLog> m_log;
    qint32 m_trainer = 0;
    qint32 m_section = 0;
    int m_span = 30;
    QDate m_today;
    // Counts the requests: an answer carrying an older number is dropped.
    quint64 m_request = 0;
    bool m_waiting = false;

    std::vector<Core::DayProgress> m_days;
    QDate m_firstDay;
    int m_drawnSpan = 0;
    int m_picked = -1;
    int m_labelRoom = 0; // the day labels the axis was last given room for

    std::vector<QPushButton*> m_spanButtons;
    QStackedLayout* m_stack = nullptr;
    QtCharts::QChartView* m_view = nullptr;
    QtCharts::QChart* m_chart = nullptr;
    QtCharts::QLineSeries* m_accuracy = nullptr;
    QtCharts::QLineSeries* m_time = nullptr;
    QtCharts::QScatterSeries* m_marker = nullptr;
    QtCharts::QCategoryAxis* m_dayAxis = nullptr;
    QtCharts::QValueAxis* m_accuracyAxis = nullptr;
    QtCharts::QValueAxis* m_timeAxis = nullptr;
    QLabel* m_empty = nullptr;
    QLabel* m_values = nullptr;
};

} // namespace UI

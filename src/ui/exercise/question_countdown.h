#pragma once
// The time left of a timed question, as the exercise screen shows it beside "Question n of m": a
// thin rounded bar, full when the question appears and empty when its time is up, calm green
// until the last three seconds and amber in them. Painted with vector shapes at the device's
// resolution. A screen reader finds it as a progress bar named "Time left" whose value reads
// "4 seconds left" (also its description, which reaches AT-SPI clients as words), announced once
// per whole second. Hidden while the question has no time limit. The screen sets the limit for
// each question and the time left as it runs. GUI thread only.

#include <QWidget>

namespace UI {

class QuestionCountdown : public QWidget
{
    Q_OBJECT
public:
    explicit QuestionCountdown(QWidget* parent = nullptr);

    // A new question with `limitMs` to answer: the bar is shown full. A limit of 0 or less is an
    // untimed question and hides the bar.
    void setTimeLimit(int limitMs);
    // The time left, taken within 0 and the limit.
    void setRemaining(int remainingMs);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class QuestionCountdownAccessible;

    // The time left and the limit in whole seconds, a started second counting whole, so that a
    // screen reader reads "0 seconds left" only when the time is up.
    int secondsLeft() const;
    int secondsLimit() const;
    // "4 seconds left": the bar's value as a screen reader reads it.
    QString text() const;
    // Tells a screen reader the time left when its whole seconds have changed.
    void announceSeconds();

    int m_limit = 0;
    int m_remaining = 0;
    int m_announcedSeconds = -1;
};

} // namespace UI

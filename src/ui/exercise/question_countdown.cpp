#include "ui/exercise/question_countdown.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double barHeight = 6.0;
constexpr int warningMs = 3000; // the last seconds, drawn amber

const QColor trackColour(232, 230, 227);  // lighter than the score pane the bar sits on
const QColor calmColour(7, 153, 93);      // the screen's green
const QColor warningColour(216, 112, 16); // the program's deep amber, legible on the light track

// The ratio of what is really painted on: a widget's backing store, or the pixmap that
// QWidget::render() redirects the painting to.
double targetRatio(QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = engine && engine->paintDevice() ? engine->paintDevice() : painter.device();
    return device->devicePixelRatioF();
}

int wholeSeconds(int ms)
{
    return (std::max(ms, 0) + 999) / 1000;
}

} // namespace

namespace UI {

// What a screen reader is told of the bar: "Time left", "4 seconds left" as its value, and the
// seconds left as a value out of the question's seconds.
class QuestionCountdownAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit QuestionCountdownAccessible(QuestionCountdown* bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The value's words are also the description: the AT-SPI bridge passes a value on only as a
    // number, which a screen reader reads as a percentage.
    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value || type == QAccessible::Description)
            return bar()->text();
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return bar()->secondsLeft(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return bar()->secondsLimit(); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    QuestionCountdown* bar() const { return static_cast<QuestionCountdown*>(widget()); }
};

} // namespace UI

namespace {

QAccessibleInterface* countdownAccessibleFactory(const QString&, QObject* object)
{
    if (auto* bar = qobject_cast<UI::QuestionCountdown*>(object))
        return new UI::QuestionCountdownAccessible(bar);
    return nullptr;
}

} // namespace

namespace UI {

QuestionCountdown::QuestionCountdown(QWidget* parent) : QWidget(parent)
{
    // Before the first value: a value change has Qt make (and cache) the bar's accessible
    // interface, which must be the bar's own.
    static const bool accessibleFactoryInstalled = [] {
        QAccessible::installFactory(countdownAccessibleFactory);
        return true;
    }();
    Q_UNUSED(accessibleFactoryInstalled)
    setAccessibleName(tr("Time left"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    hide();
}

void QuestionCountdown::setTimeLimit(int limitMs)
{
    if (limitMs <= 0) {
        m_limit = 0;
        m_remaining = 0;
        m_announcedSeconds = -1;
        hide();
        return;
    }
    m_limit = limitMs;
    m_remaining = limitMs;
    show();
    update();
    announceSeconds();
}

void QuestionCountdown::setRemaining(int remainingMs)
{
    remainingMs = std::clamp(remainingMs, 0, m_limit);
    if (remainingMs == m_remaining)
        return;
    m_remaining = remainingMs;
    update();
    announceSeconds();
}

int QuestionCountdown::secondsLeft() const
{
    return wholeSeconds(m_remaining);
}

int QuestionCountdown::secondsLimit() const
{
    return wholeSeconds(m_limit);
}

QString QuestionCountdown::text() const
{
    const int seconds = secondsLeft();
    return seconds == 1 ? tr("1 second left") : tr("%1 seconds left").arg(seconds);
}

void QuestionCountdown::announceSeconds()
{
    const int seconds = secondsLeft();
    if (seconds == m_announcedSeconds)
        return;
    m_announcedSeconds = seconds;
    QAccessibleValueChangeEvent changed(this, seconds);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

QSize QuestionCountdown::sizeHint() const
{
    return QSize(96, 10);
}

QSize QuestionCountdown::minimumSizeHint() const
{
    return QSize(24, 10);
}

void QuestionCountdown::paintEvent(QPaintEvent*)
{
    if (m_limit <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // On a whole pixel, so that the bar's long edges are sharp.
    const double top = std::round((height() - barHeight) / 2);
    QPainterPath capsule;
    capsule.addRoundedRect(QRectF(0, top, width(), barHeight), barHeight / 2, barHeight / 2);
    painter.fillPath(capsule, trackColour);
    if (m_remaining <= 0)
        return;

    // The fill is the capsule cut off where the time left ends, on a whole device pixel, so that
    // its moving end is sharp and its leading end keeps the capsule's round.
    const double ratio = targetRatio(painter);
    const double length = std::round(width() * ratio * m_remaining / m_limit) / ratio;
    painter.setClipRect(QRectF(isRightToLeft() ? width() - length : 0, 0, length, height()));
    painter.fillPath(capsule, m_remaining <= warningMs ? warningColour : calmColour);
}

} // namespace UI

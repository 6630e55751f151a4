#include "ui/exercise/section_bar.h"

#include "core/exercise/lesson_session.h"

#include <QButtonGroup>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTimerEvent>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace UI {

SectionBar::SectionBar(QWidget* buttons, QSlider* slider, QObject* parent)
    : QObject(parent), m_buttons(buttons), m_slider(slider), m_group(new QButtonGroup(this))
{
    // Not exclusive: the screen checks the lesson's section itself, and no button at all while
    // the lesson has none.
    m_group->setExclusive(false);
    for (int s = 0; s < SectionCount; ++s)
        m_group->addButton(m_buttons->findChild<QToolButton*>(QStringLiteral("section%1").arg(s + 1)), s);
    connect(m_group, &QButtonGroup::idClicked, this, &SectionBar::sectionChosen);
    connect(m_slider, &QSlider::sliderPressed, this, &SectionBar::seekStarted);
    connect(m_slider, &QSlider::sliderReleased, this, [this] {
        m_glideTarget = 0;
        updateGlideTimer();
        Q_EMIT seekEnded(std::max(0, positionAt(m_slider->value())));
    });
}

QToolButton* SectionBar::button(int section) const
{
    return static_cast<QToolButton*>(m_group->button(section));
}

int SectionBar::sliderHandleLength() const
{
    QStyleOptionSlider option;
    option.initFrom(m_slider);
    option.orientation = Qt::Horizontal;
    option.minimum = m_slider->minimum();
    option.maximum = m_slider->maximum();
    option.sliderPosition = m_slider->minimum();
    const QRect handle =
        m_slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, m_slider);
    return handle.width() > 0 ? handle.width() : 14;
}

void SectionBar::layOut(const std::vector<Core::LessonSegment>& segments)
{
    const int handle = sliderHandleLength();
    const int usable = std::max(0, m_buttons->width() - handle);
    m_slider->setMaximum(usable);
    m_slider->setTickPosition(QSlider::NoTicks);

    int total = 0;
    for (const Core::LessonSegment& segment : segments)
        total += segment.duration;
    const int count = int(segments.size());
    std::array<double, SectionCount> weights{};
    double sum = 0;
    for (int i = 0; i < SectionCount; ++i) {
        QToolButton* sectionButton = button(i);
        const int length = i < count ? segments[size_t(i)].duration : 0;
        if (length > 0 && total > 0) {
            sectionButton->setEnabled(true);
            sectionButton->show();
            const QString name = segments[size_t(i)].name;
            sectionButton->setText(name);
            sectionButton->setToolTip(name);
            sectionButton->setAccessibleName(name);
            const int product = int(qint64(length) * usable / total);
            weights[size_t(i)] = std::max(2.0, product > 0 ? std::log(double(product)) : 0.0);
            sum += weights[size_t(i)];
            m_records[size_t(i)] = Record{i, 0, 0, length};
        } else {
            m_records[size_t(i)] = Record{};
            sectionButton->hide();
        }
    }
    const double scale = sum > 0 ? usable / sum : 0.0;
    int x = handle / 2;
    for (int i = 0; i < std::min(count, int(SectionCount)); ++i) {
        Record& record = m_records[size_t(i)];
        if (record.index < 0)
            continue;
        const int width = int(weights[size_t(i)] * scale);
        record.start = x - handle / 2;
        record.span = width;
        QToolButton* sectionButton = button(i);
        sectionButton->setFixedWidth(width);
        sectionButton->setFixedHeight(m_buttons->height());
        sectionButton->move(x, 0);
        x += width;
    }
}

bool SectionBar::hasSection(int section) const
{
    return section >= 0 && section < SectionCount && m_records[size_t(section)].index >= 0;
}

void SectionBar::setCheckable(bool checkable)
{
    for (QAbstractButton* sectionButton : m_group->buttons())
        sectionButton->setCheckable(checkable);
}

void SectionBar::setNavigable(bool navigable)
{
    for (QAbstractButton* sectionButton : m_group->buttons())
        sectionButton->setAttribute(Qt::WA_TransparentForMouseEvents, !navigable);
}

void SectionBar::setCurrent(int section)
{
    for (int i = 0; i < SectionCount; ++i)
        button(i)->setChecked(i == section);
}

void SectionBar::highlight(int section)
{
    const QString exerciseLook = m_buttons->property("sectionExerciseMode").toString();
    const QString statisticsLook = m_buttons->property("sectionStatisticsMode").toString();
    for (int i = 0; i < SectionCount; ++i)
        button(i)->setStyleSheet(i == section ? statisticsLook : exerciseLook);
}

int SectionBar::sliderValue(int segment, int offset) const
{
    const Record* found = nullptr;
    for (const Record& record : m_records)
        if (record.index >= 0 && record.index == segment)
            found = &record;
    if (!found || found->length <= 0)
        return -1;
    return int(found->start + double(found->span) * offset / found->length);
}

int SectionBar::positionAt(int value) const
{
    int before = 0;
    for (const Record& record : m_records) {
        if (record.index >= 0 && record.span > 0 && record.start <= value &&
            value < record.start + record.span)
            return before + int(qint64(value - record.start) * record.length / record.span);
        before += record.length;
    }
    return before - 1;
}

void SectionBar::showPosition(int segment, int offset, bool jump)
{
    const int value = sliderValue(segment, offset);
    if (value < 0 || m_slider->isSliderDown())
        return;
    if (!jump && value > m_slider->value() + 2) {
        m_glideTarget = value;
    } else {
        m_slider->setValue(value);
        m_glideTarget = 0;
    }
    updateGlideTimer();
}

void SectionBar::setRunning(bool running)
{
    m_running = running;
    updateGlideTimer();
}

void SectionBar::updateGlideTimer()
{
    if (m_running && m_glideTarget != 0) {
        if (!m_glideTimer.isActive())
            m_glideTimer.start(GlideIntervalMs, Qt::CoarseTimer, this);
    } else {
        m_glideTimer.stop();
    }
}

void SectionBar::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_glideTimer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    if (m_slider->isSliderDown())
        return;
    // A tenth of the way each step, at least one value.
    const int value = m_slider->value();
    const int next = std::min(m_glideTarget, value + std::max(1, (m_glideTarget - value) / 10));
    m_slider->setValue(next);
    if (next >= m_glideTarget) {
        m_glideTarget = 0;
        m_glideTimer.stop();
    }
}

} // namespace UI

// The screen's section bar: one button per section, sized by the section's length, and the
// slider that glides along them and seeks through the lesson.
#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/exercise/exercise.h"

#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

namespace {

using Core::Exercise;
using Core::LessonBase;

} // namespace

namespace UI {

// ---- the section bar ---------------------------------------------------------------------------

int ExerciseScreen::SliderHandleLength() const
{
    QStyleOptionSlider option;
    option.initFrom(m_ui->sectionSlider);
    option.orientation = Qt::Horizontal;
    option.minimum = m_ui->sectionSlider->minimum();
    option.maximum = m_ui->sectionSlider->maximum();
    option.sliderPosition = m_ui->sectionSlider->minimum();
    const QRect handle = m_ui->sectionSlider->style()->subControlRect(
        QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, m_ui->sectionSlider);
    return handle.width() > 0 ? handle.width() : 14;
}

QToolButton* ExerciseScreen::SectionButton(int s) const
{
    return m_ui->sectionButtons->findChild<QToolButton*>(QStringLiteral("section%1").arg(s + 1));
}

void ExerciseScreen::UpdateSectionBar()
{
    if (!m_session)
        return;
    const std::vector<Core::LessonSegment>& segments = m_lesson.segments;
    QSlider* slider = m_ui->sectionSlider;
    const int handle = SliderHandleLength();
    const int usable = std::max(0, m_ui->sectionButtons->width() - handle);
    slider->setMaximum(usable);
    slider->setTickPosition(QSlider::NoTicks);

    int total = 0;
    for (const Core::LessonSegment& segment : segments)
        total += segment.duration;
    const int count = int(segments.size());
    std::array<double, SectionCount> weights{};
    double sum = 0;
    for (int i = 0; i < SectionCount; ++i) {
        QToolButton* button = SectionButton(i);
        const int length = i < count ? segments[size_t(i)].duration : 0;
        if (length > 0 && total > 0) {
            button->setEnabled(true);
            button->show();
            const QString name = segments[size_t(i)].name;
            button->setText(name);
            button->setToolTip(name);
            button->setAccessibleName(name);
            const int product = int(qint64(length) * usable / total);
            weights[size_t(i)] = std::max(2.0, product > 0 ? std::log(double(product)) : 0.0);
            sum += weights[size_t(i)];
            sectionTable[size_t(i)] = SectionRecord{i, 0, 0, length};
        } else {
            sectionTable[size_t(i)] = SectionRecord{};
            button->hide();
        }
    }
    const double scale = sum > 0 ? usable / sum : 0.0;
    int x = handle / 2;
    for (int i = 0; i < std::min(count, int(SectionCount)); ++i) {
        SectionRecord& record = sectionTable[size_t(i)];
        if (record.index < 0)
            continue;
        const int width = int(weights[size_t(i)] * scale);
        record.start = x - handle / 2;
        record.span = width;
        QToolButton* button = SectionButton(i);
        button->setFixedWidth(width);
        button->setFixedHeight(m_ui->sectionButtons->height());
        button->move(x, 0);
        x += width;
    }
    UpdateSlider(true);
}

void ExerciseScreen::UpdateSlider(bool force)
{
    if (!m_session)
        return;
    // After a seek the slider stands at once where the lesson went.
    force = force || m_sliderJumps;
    m_sliderJumps = false;
    QSlider* slider = m_ui->sectionSlider;
    slider->setEnabled(!quizMode);
    const int segment = m_position.segment;
    // The button of the section whose question is shown, also while the timeline already
    // stands at the start of the next one.
    if (viewMode == ExerciseView) {
        const int shown = m_lesson.section;
        for (int i = 0; i < SectionCount; ++i)
            SectionButton(i)->setChecked(i == shown);
    }
    const SectionRecord* record = nullptr;
    for (const SectionRecord& r : sectionTable)
        if (r.index >= 0 && r.index == segment)
            record = &r;
    if (!record || record->length <= 0 || slider->isSliderDown())
        return;
    const int offset = m_position.offset;
    const int value = int(record->start + double(record->span) * offset / record->length);
    if (!force && value > slider->value() + 2) {
        glideTarget = value;
    } else {
        slider->setValue(value);
        glideTarget = 0;
    }
}

void ExerciseScreen::BeginSeekSlider()
{
    if (m_session)
        m_session->beginSeek();
}

void ExerciseScreen::EndSeekSlider()
{
    if (!m_session)
        return;
    // A seek to the end brings the section end dialog at once: the last judgement is not
    // what the student is looking at any more.
    feedbackClock.invalidate();
    const int v = m_ui->sectionSlider->value();
    int position = 0;
    bool found = false;
    int before = 0;
    for (const SectionRecord& record : sectionTable) {
        if (record.index >= 0 && record.span > 0 && record.start <= v && v < record.start + record.span) {
            position = before + int(qint64(v - record.start) * record.length / record.span);
            found = true;
            break;
        }
        before += record.length;
    }
    if (!found)
        position = before - 1;
    // The lesson goes on from there (with the next question, when it was between questions).
    m_ui->sectionSlider->setValue(v);
    glideTarget = 0;
    m_session->endSeek(std::max(0, position));
}

void ExerciseScreen::SwitchToSection(int s)
{
    if (!m_session || s < 0 || s >= SectionCount || sectionTable[size_t(s)].index < 0)
        return;
    feedbackClock.invalidate();
    m_session->jumpToSection(s);
    m_sliderJumps = true;
}

void ExerciseScreen::ResumeAt(int position)
{
    if (!m_session)
        return;
    feedbackClock.invalidate();
    m_session->seek(std::max(0, position));
    m_sliderJumps = true;
}

void ExerciseScreen::HighlightSectionButton(int s)
{
    const QString exerciseLook = m_ui->sectionButtons->property("sectionExerciseMode").toString();
    const QString statisticsLook = m_ui->sectionButtons->property("sectionStatisticsMode").toString();
    for (int i = 0; i < SectionCount; ++i)
        SectionButton(i)->setStyleSheet(i == s ? statisticsLook : exerciseLook);
}

void ExerciseScreen::ConnectSectionButtons(int view)
{
    using Slot = void (ExerciseScreen::*)();
    static const Slot exerciseSlots[SectionCount] = {
        &ExerciseScreen::SwitchToSection1, &ExerciseScreen::SwitchToSection2,
        &ExerciseScreen::SwitchToSection3, &ExerciseScreen::SwitchToSection4,
        &ExerciseScreen::SwitchToSection5};
    static const Slot statisticsSlots[SectionCount] = {
        &ExerciseScreen::SwitchToStatSection1, &ExerciseScreen::SwitchToStatSection2,
        &ExerciseScreen::SwitchToStatSection3, &ExerciseScreen::SwitchToStatSection4,
        &ExerciseScreen::SwitchToStatSection5};
    static const Slot referenceSlots[SectionCount] = {&ExerciseScreen::SwitchToReferenceSection1,
                                                      &ExerciseScreen::SwitchToReferenceSection2,
                                                      &ExerciseScreen::SwitchToReferenceSection3,
                                                      &ExerciseScreen::SwitchToReferenceSection4,
                                                      &ExerciseScreen::SwitchToReferenceSection5};
    const Slot* chosen = view == StatisticsView  ? statisticsSlots
                         : view == ReferenceView ? referenceSlots
                                                 : exerciseSlots;
    for (int i = 0; i < SectionCount; ++i) {
        QToolButton* button = SectionButton(i);
        disconnect(sectionConnections[size_t(i)]);
        sectionConnections[size_t(i)] = connect(button, &QToolButton::clicked, this, chosen[i]);
        button->setCheckable(view == ExerciseView);
    }
}

int ExerciseScreen::CurrentSectionIndex() const
{
    if (!m_session)
        return 0;
    int section = m_lesson.section;
    if (m_lesson.state == Exercise::LessonEnd)
        section = int(m_lesson.segments.size()) - 1;
    return std::clamp(section, 0, SectionCount - 1);
}

} // namespace UI

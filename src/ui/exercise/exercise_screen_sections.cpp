// The screen's side of the section bar: the slider that glides along the sections and seeks
// through the lesson, and what a section button means in each view.
#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/exercise/exercise.h"
#include "ui/exercise/answer_feedback.h"
#include "ui/exercise/section_bar.h"

#include <algorithm>

namespace {

using Core::Exercise;

} // namespace

static_assert(UI::ExerciseScreen::SectionCount == UI::SectionBar::SectionCount,
              "the screen has one section button per section");

namespace UI {

// ---- the section bar ---------------------------------------------------------------------------

void ExerciseScreen::updateSectionBar()
{
    if (!m_session)
        return;
    m_sectionBar->layOut(m_lesson.segments);
    updateSlider(true);
}

void ExerciseScreen::updateSlider(bool force)
{
    if (!m_session)
        return;
    // After a seek the slider stands at once where the lesson went.
    force = force || m_sliderJumps;
    m_sliderJumps = false;
    QSlider* slider = m_ui->sectionSlider;
    slider->setEnabled(!m_quizMode);
    // The button of the section whose question is shown, also while the timeline already
    // stands at the start of the next one.
    if (m_viewMode == ExerciseView)
        m_sectionBar->setCurrent(m_lesson.section);
    const int value = m_sectionBar->sliderValue(m_position.segment, m_position.offset);
    if (value < 0 || slider->isSliderDown())
        return;
    if (!force && value > slider->value() + 2) {
        m_glideTarget = value;
    } else {
        slider->setValue(value);
        m_glideTarget = 0;
    }
}

void ExerciseScreen::beginSeek()
{
    if (m_session)
        m_session->beginSeek();
}

void ExerciseScreen::endSeek()
{
    if (!m_session)
        return;
    // A seek to the end brings the section end dialog at once: the last judgement is not
    // what the student is looking at any more.
    m_answerFeedback->forgetJudgement();
    const int v = m_ui->sectionSlider->value();
    const int position = m_sectionBar->positionAt(v);
    // The lesson goes on from there (with the next question, when it was between questions).
    m_ui->sectionSlider->setValue(v);
    m_glideTarget = 0;
    m_session->endSeek(std::max(0, position));
}

void ExerciseScreen::onSectionChosen(int section)
{
    if (m_viewMode == StatisticsView)
        switchToStatisticsSection(section);
    else if (m_viewMode == ReferenceView)
        showReferenceSection(section);
    else
        jumpToSection(section);
}

void ExerciseScreen::jumpToSection(int s)
{
    if (!m_session || !m_sectionBar->hasSection(s))
        return;
    m_answerFeedback->forgetJudgement();
    m_session->jumpToSection(s);
    m_sliderJumps = true;
}

void ExerciseScreen::resumeAt(int position)
{
    if (!m_session)
        return;
    m_answerFeedback->forgetJudgement();
    m_session->seek(std::max(0, position));
    m_sliderJumps = true;
}

int ExerciseScreen::currentSectionIndex() const
{
    if (!m_session)
        return 0;
    int section = m_lesson.section;
    if (m_lesson.state == Exercise::LessonEnd)
        section = int(m_lesson.segments.size()) - 1;
    return std::clamp(section, 0, SectionCount - 1);
}

} // namespace UI

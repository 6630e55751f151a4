// The screen's views: what the screen does when it enters the exercise, statistics or reference
// view; the view switcher moves the panes.
#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/trainer_settings.h"
#include "core/services/telemetry.h"
#include "ui/exercise/action_hint.h"
#include "ui/exercise/answer_feedback.h"
#include "ui/exercise/microphone_silence_notice.h"
#include "ui/exercise/question_view.h"
#include "ui/exercise/reference/reference_book.h"
#include "ui/exercise/section_bar.h"
#include "ui/exercise/statistics_pane.h"
#include "ui/exercise/view_switcher.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/exercise/reference/reference_printer.h"
#include "ui/dialogs/section_end_dialog.h"

namespace {

using Core::Exercise;

} // namespace

namespace UI {

int ExerciseScreen::s_lastHandledExerciseState = -1;
bool ExerciseScreen::s_pianoKeysIntroduced = false;

// ---- views -------------------------------------------------------------------------------------

QStateMachine* ExerciseScreen::viewMachine() const
{
    return m_viewSwitcher->machine();
}

void ExerciseScreen::showExercise(UI::Speed speed)
{
    if (m_viewMode == ExerciseView)
        return;
    if (m_viewMode == ReferenceView && m_catalog)
        if (auto telemetry = m_catalog->GetTelemetry())
            telemetry->ReferenceClosed();
    m_ui->sectionSlider->setEnabled(!m_quizMode);
    m_referenceBook->stopExample();
    m_questionView->keepInputRoom(true);
    m_viewMode = ExerciseView;
    m_extendedStatistics = false;
    m_answerFeedback->setBorder("RegularBorderStyle");
    const int state = m_session ? int(m_lesson.state) : int(Exercise::NotStarted);
    if (state == Exercise::LessonEnd) {
        SectionEndDialog* dialog = ensureSectionEndDialog();
        if (s_lastHandledExerciseState == Exercise::LessonEnd && dialog->scoreShown()) {
            dialog->show(); // back from the statistics the dialog offered
        } else if (m_session) {
            // The lesson's own counts: the score bar is behind while another view is shown.
            const Exercise::Counters& counters = m_lesson.counters;
            dialog->setScore(counters.answered - counters.correct, counters.correct);
            // The lesson ended behind another view (a key answered the last question there):
            // its score is counted up now. Otherwise the end is still to be handled, after the
            // last answer's judgement has been seen.
            if (s_lastHandledExerciseState == Exercise::LessonEnd)
                Q_EMIT sectionEndDialogRequested();
        }
    } else {
        if (m_sectionEndDialog)
            m_sectionEndDialog->hide();
        if (m_session)
            ensurePlayDialog()->showOver();
    }
    s_lastHandledExerciseState = state;
    m_viewSwitcher->switchTo(ViewSwitcher::ExerciseView, speed);

    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOn").toString());
    m_sectionBar->highlight(-1);
    m_sectionBar->setCheckable(true);
    m_sectionBar->setNavigable(!m_quizMode);
    m_ui->keyboard->setMode(Keyboard::PlayMode);
    disconnect(m_ui->keyboard, &Keyboard::hover, this, &ExerciseScreen::onStatisticsKeyHovered);
    m_answerFeedback->restoreBorder();
    showExerciseStatistics();
    m_ui->scorePaneLabel->show();
    m_ui->statusLabel->show();
    if (m_session && m_lesson.isAsking())
        updateAnswerInputs(m_lesson.question);
    else
        m_ui->keyboard->show();
    if (m_questionPending)
        showQuestion();
    updateView();
    updateSlider(true);
}

void ExerciseScreen::showStatistics(UI::Speed speed)
{
    if (m_viewMode == StatisticsView)
        return;
    // The lesson's score gives way to the view the student asked for.
    if (m_sectionEndDialog)
        m_sectionEndDialog->dismiss(true);
    if (m_viewMode == ReferenceView && m_catalog)
        if (auto telemetry = m_catalog->GetTelemetry())
            telemetry->ReferenceClosed();
    if (m_sectionEndDialog)
        m_sectionEndDialog->hide();
    pauseExercise(true);
    m_referenceBook->stopExample();
    m_answerFeedback->setBorder("RegularBorderStyle");
    ensurePlayDialog()->hide();
    m_actionHint->dismiss();
    m_silenceNotice->setWaiting(false);
    m_ui->playButton->hide();
    // The view opens on the current run's results of the section the lesson is in (the last one
    // at the lesson's end); a section without keys has the extended page.
    if (m_session)
        m_session->setShowHistory(false);
    m_viewMode = StatisticsView;
    const int statisticsSection = currentSectionIndex();
    m_extendedStatistics = m_statisticsPane->isExtendedSection(statisticsSection);
    m_questionView->keepInputRoom(!m_extendedStatistics);
    // The keys show octaves here, not the last answer.
    m_ui->keyboard->resetKeys();
    m_ui->keyboard->update();
    m_sectionBar->highlight(statisticsSection);
    showStatisticsSection(statisticsSection);
    m_statisticsPane->placeHistoryBar(m_extendedStatistics);
    m_sectionBar->setCheckable(false);
    m_sectionBar->setNavigable(true);
    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOff").toString());
    // Hovering a key shades its octave and shows the octave's page (onStatisticsKeyHovered).
    m_ui->keyboard->setMode(Keyboard::PickKeyMode);
    connect(m_ui->keyboard, &Keyboard::hover, this, &ExerciseScreen::onStatisticsKeyHovered,
            Qt::UniqueConnection);
    m_answerFeedback->setStatus(QString(), "RegularStyle");
    m_viewSwitcher->switchTo(
        m_extendedStatistics ? ViewSwitcher::ExtendedStatisticsView : ViewSwitcher::StatisticsView, speed);
}

void ExerciseScreen::reviewStatistics()
{
    showStatistics(Animated);
}

void ExerciseScreen::showReference(UI::Speed speed)
{
    if (m_viewMode == ReferenceView)
        return;
    // The lesson's score gives way to the view the student asked for.
    if (m_sectionEndDialog)
        m_sectionEndDialog->dismiss(true);
    if (m_viewMode == ExerciseView)
        pauseExercise(true);
    if (m_catalog)
        if (auto telemetry = m_catalog->GetTelemetry())
            telemetry->ReferenceOpened();
    if (m_sectionEndDialog)
        m_sectionEndDialog->hide();
    if (m_playDialog)
        m_playDialog->hide();
    m_actionHint->dismiss();
    m_silenceNotice->setWaiting(false);
    m_ui->playButton->hide();
    const int section = currentSectionIndex();
    m_viewMode = ReferenceView;
    m_extendedStatistics = false;
    m_questionView->keepInputRoom(false);
    showReferenceSection(section);
    m_sectionBar->setCheckable(false);
    m_sectionBar->setNavigable(true);
    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOff").toString());
    m_ui->scorePaneLabel->hide();
    m_ui->statusLabel->hide();
    m_ui->keyboard->hide();
    m_ui->variantBar->hide();
    m_viewSwitcher->switchTo(ViewSwitcher::ReferenceView, speed);
}

void ExerciseScreen::showReferenceSection(int s)
{
    if (s < 0 || s >= SectionCount)
        return;
    m_sectionBar->highlight(s);
    showSectionTitle(s);
    m_ui->referenceTitle->setText(m_referenceBook->showPage(int(m_exerciseId), s));
}

void ExerciseScreen::printReference()
{
    if (m_viewMode != ReferenceView || m_referenceBook->currentPageName().isEmpty())
        return;
    // The page at the width of a printed sheet at screen resolution, so that it is sliced into
    // pages without being squeezed.
    const QImage page = m_referenceBook->pageImage(ReferencePrintWidth, devicePixelRatioF());
    ReferencePrinter::printWithDialog(window(), page, ReferencePrinter::configuredFooter());
}

void ExerciseScreen::repaintProgress()
{
    m_ui->progress->update();
}

} // namespace UI

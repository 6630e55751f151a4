// The screen's views: what the screen does when it enters the exercise, statistics or reference
// view; the view switcher moves the panes.
#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/trainer_settings.h"
#include "core/services/telemetry.h"
#include "ui/exercise/action_hint.h"
#include "ui/exercise/reference/reference_book.h"
#include "ui/exercise/section_bar.h"
#include "ui/exercise/view_switcher.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/exercise/reference/reference_printer.h"
#include "ui/dialogs/section_end_dialog.h"

namespace {

using Core::Exercise;

} // namespace

namespace UI {

int ExerciseScreen::lastHandledExerciseState = -1;

// ---- views -------------------------------------------------------------------------------------

QStateMachine* ExerciseScreen::GetViewMachine() const
{
    return m_viewSwitcher->machine();
}

void ExerciseScreen::showExercise(UI::Speed speed)
{
    if (viewMode == ExerciseView)
        return;
    if (viewMode == ReferenceView && catalog)
        if (auto telemetry = catalog->GetTelemetry())
            telemetry->ReferenceClosed();
    m_ui->sectionSlider->setEnabled(!quizMode);
    referenceBook->stopExample();
    KeepInputRoom(true);
    viewMode = ExerciseView;
    extendedStatistics = false;
    ApplyScorePaneStyle("RegularBorderStyle");
    const int state = m_session ? int(m_lesson.state) : int(Exercise::NotStarted);
    if (state == Exercise::LessonEnd) {
        SectionEndDialog* dialog = EnsureSectionEndDialog();
        if (lastHandledExerciseState == Exercise::LessonEnd && dialog->scoreShown()) {
            dialog->show(); // back from the statistics the dialog offered
        } else if (m_session) {
            // The lesson's own counts: the score bar is behind while another view is shown.
            const Exercise::Counters& counters = m_lesson.counters;
            dialog->setScore(counters.answered - counters.correct, counters.correct);
            // The lesson ended behind another view (a key answered the last question there):
            // its score is counted up now. Otherwise the end is still to be handled, after the
            // last answer's judgement has been seen.
            if (lastHandledExerciseState == Exercise::LessonEnd)
                Q_EMIT ShowSectionEndDialogSignal();
        }
    } else {
        if (sectionEndDialog)
            sectionEndDialog->hide();
        if (m_session)
            GetPlayDialog()->showOver();
    }
    lastHandledExerciseState = state;
    m_viewSwitcher->switchTo(ViewSwitcher::ExerciseView, speed);

    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOn").toString());
    HighlightSectionButton(-1);
    m_sectionBar->setCheckable(true);
    m_ui->keyboard->setMode(Keyboard::PlayMode);
    disconnect(m_ui->keyboard, &Keyboard::hover, this, &ExerciseScreen::onStatisticsKeyHovered);
    restoreAnswerBorder();
    showExerciseStatistics();
    m_ui->scorePaneLabel->show();
    m_ui->statusLabel->show();
    if (m_session && m_lesson.isAsking())
        UpdateAnswerInputs(m_lesson.question);
    else
        m_ui->keyboard->show();
    if (questionPending)
        ShowQuestion();
    UpdateUI();
    UpdateSlider(true);
}

void ExerciseScreen::ShowStatistics(UI::Speed speed)
{
    if (viewMode == StatisticsView)
        return;
    // The lesson's score gives way to the view the student asked for.
    if (sectionEndDialog)
        sectionEndDialog->dismiss(true);
    if (viewMode == ReferenceView && catalog)
        if (auto telemetry = catalog->GetTelemetry())
            telemetry->ReferenceClosed();
    if (sectionEndDialog)
        sectionEndDialog->hide();
    PauseExercise(true);
    referenceBook->stopExample();
    ApplyScorePaneStyle("RegularBorderStyle");
    GetPlayDialog()->hide();
    actionHint->Dismiss();
    m_ui->playButton->hide();
    // The view opens on the current run's results of the section the lesson is in (the last one
    // at the lesson's end); the ear trainer's tempo section has the extended page.
    if (m_session)
        m_session->setShowHistory(false);
    viewMode = StatisticsView;
    const int statisticsSection = CurrentSectionIndex();
    extendedStatistics = IsExtendedStatisticsSection(statisticsSection);
    KeepInputRoom(!extendedStatistics);
    // The keys show octaves here, not the last answer.
    m_ui->keyboard->resetKeys();
    m_ui->keyboard->update();
    HighlightSectionButton(statisticsSection);
    showStatisticsSection(statisticsSection);
    PlaceHistoryBar(extendedStatistics);
    m_sectionBar->setCheckable(false);
    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOff").toString());
    // Hovering a key shades its octave and shows the octave's page (onStatisticsKeyHovered).
    m_ui->keyboard->setMode(Keyboard::PickKeyMode);
    connect(m_ui->keyboard, &Keyboard::hover, this, &ExerciseScreen::onStatisticsKeyHovered,
            Qt::UniqueConnection);
    SetStatus(QString(), "RegularStyle");
    m_viewSwitcher->switchTo(
        extendedStatistics ? ViewSwitcher::ExtendedStatisticsView : ViewSwitcher::StatisticsView, speed);
}

void ExerciseScreen::ReviewStats()
{
    ShowStatistics(Animated);
}

void ExerciseScreen::showReference(UI::Speed speed)
{
    if (viewMode == ReferenceView)
        return;
    // The lesson's score gives way to the view the student asked for.
    if (sectionEndDialog)
        sectionEndDialog->dismiss(true);
    if (viewMode == ExerciseView)
        PauseExercise(true);
    if (catalog)
        if (auto telemetry = catalog->GetTelemetry())
            telemetry->ReferenceOpened();
    if (sectionEndDialog)
        sectionEndDialog->hide();
    if (playDialog)
        playDialog->hide();
    actionHint->Dismiss();
    m_ui->playButton->hide();
    const int section = CurrentSectionIndex();
    viewMode = ReferenceView;
    extendedStatistics = false;
    KeepInputRoom(false);
    showReferenceSection(section);
    m_sectionBar->setCheckable(false);
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
    HighlightSectionButton(s);
    ShowSectionTitle(s);
    m_ui->referenceTitle->setText(referenceBook->showPage(int(exerciseId), s));
}

void ExerciseScreen::PrintSlot()
{
    if (viewMode != ReferenceView || referenceBook->currentPageName().isEmpty())
        return;
    // The page at the width of a printed sheet at screen resolution, so that it is sliced into
    // pages without being squeezed.
    const QImage page = referenceBook->pageImage(referencePrintWidth, devicePixelRatioF());
    ReferencePrinter::printWithDialog(window(), page, ReferencePrinter::configuredFooter());
}

void ExerciseScreen::repaintProgress()
{
    m_ui->progress->update();
}

} // namespace UI

// The screen's views: the exercise, statistics, extended statistics and reference panes on one
// strip, and the view machine that glides between them.
#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/trainer_settings.h"
#include "core/services/telemetry.h"
#include "ui/exercise/action_hint.h"
#include "ui/exercise/reference/reference_book.h"
#include "ui/exercise/custom_animation_group.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/exercise/reference/reference_printer.h"
#include "ui/dialogs/section_end_dialog.h"

#include <QSignalTransition>
#include <QState>
#include <QStateMachine>

namespace {

using Core::Exercise;

// The view machine's states and the panes' order on the strip they glide along.
enum MachineState
{
    ExerciseState = 0,
    StatisticsState = 1,
    ExtendedStatisticsState = 2,
    ReferenceState = 3,
};
enum Pane
{
    ExercisePane = 0,
    StatisticsPane = 1,
    ExtendedStatisticsPane = 2,
    ReferencePane = 3,
};
// Where each pane lies on the strip: reference, exercise, statistics, extended statistics.
constexpr int stripPosition[4] = {1, 2, 3, 0};
// The pane each state shows.
constexpr int paneOfState[4] = {ExercisePane, StatisticsPane, ExtendedStatisticsPane, ReferencePane};

} // namespace

namespace UI {

int ExerciseScreen::lastHandledExerciseState = -1;

// ---- views -------------------------------------------------------------------------------------

int ExerciseScreen::MachineStateIndex() const
{
    if (viewMode == StatisticsView)
        return extendedStatistics ? ExtendedStatisticsState : StatisticsState;
    if (viewMode == ReferenceView)
        return ReferenceState;
    return ExerciseState;
}

void ExerciseScreen::showExercise(UI::Speed speed)
{
    if (viewMode == ExerciseView)
        return;
    const bool quick = speed == Quick;
    const int from = MachineStateIndex();
    if (from == ReferenceState && catalog)
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
        if (lastHandledExerciseState == Exercise::LessonEnd && dialog->ScoreShown()) {
            dialog->show(); // back from the statistics the dialog offered
        } else if (m_session) {
            // The lesson's own counts: the score bar is behind while another view is shown.
            const Exercise::Counters& counters = m_lesson.counters;
            dialog->setScore(counters.answered - counters.correct, counters.correct);
            // The lesson ended behind another view (a key answered the last question there):
            // its score is counted up now. Otherwise the end is still to be handled, after the
            // last answer's judgement has been seen.
            if (lastHandledExerciseState == Exercise::LessonEnd)
                emit ShowSectionEndDialogSignal();
        }
    } else {
        if (sectionEndDialog)
            sectionEndDialog->hide();
        if (m_session)
            GetPlayDialog()->ShowOver();
    }
    lastHandledExerciseState = state;
    if (from == ReferenceState)
        emit quick ? quickReferenceToExerciseTrans() : referenceToExerciseTrans();
    else if (from == ExtendedStatisticsState)
        emit quick ? quickExtendedStatisticsToExerciseTrans() : extendedStatisticsToExerciseTrans();
    else
        emit quick ? quickStatisticsToExerciseTrans() : statisticsToExerciseTrans();
    if (!viewMachine)
        PlacePanesForView();

    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOn").toString());
    HighlightSectionButton(-1);
    ConnectSectionButtons(ExerciseView);
    m_ui->keyboard->SetMode(Keyboard::PlayMode);
    disconnect(m_ui->keyboard, &Keyboard::hover, this, &ExerciseScreen::onStatisticsGkcHover);
    if (answerMark != RegularMark)
        ApplyScorePaneStyle(answerMark == CorrectMark ? "CorrectAnswerBorderStyle"
                                                      : "WrongAnswerBorderStyle");
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
        sectionEndDialog->Dismiss(true);
    const bool quick = speed == Quick;
    const int from = MachineStateIndex();
    if (from == ReferenceState && catalog)
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
    statisticsSection = CurrentSectionIndex();
    statisticsOctave = -1;
    extendedStatistics = IsExtendedStatisticsSection(statisticsSection);
    KeepInputRoom(!extendedStatistics);
    // The keys show octaves here, not the last answer.
    m_ui->keyboard->ResetKeys();
    m_ui->keyboard->update();
    HighlightSectionButton(statisticsSection);
    ShowStatisticsPage();
    PlaceHistoryBar(extendedStatistics);
    ConnectSectionButtons(StatisticsView);
    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOff").toString());
    // Hovering a key shades its octave and shows the octave's page (onStatisticsGkcHover).
    m_ui->keyboard->SetMode(Keyboard::PickKeyMode);
    connect(m_ui->keyboard, &Keyboard::hover, this, &ExerciseScreen::onStatisticsGkcHover,
            Qt::UniqueConnection);
    SetStatus(QString(), "RegularStyle");
    if (from == ReferenceState) {
        if (extendedStatistics)
            emit quick ? quickReferenceToExtendedStatisticsTrans() : referenceToExtendedStatisticsTrans();
        else
            emit quick ? quickReferenceToStatisticsTrans() : referenceToStatisticsTrans();
    } else {
        if (extendedStatistics)
            emit quick ? quickExerciseToExtendedStatisticsTrans() : exerciseToExtendedStatisticsTrans();
        else
            emit quick ? quickExerciseToStatisticsTrans() : exerciseToStatisticsTrans();
    }
    if (!viewMachine)
        PlacePanesForView();
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
        sectionEndDialog->Dismiss(true);
    const bool quick = speed == Quick;
    const int from = MachineStateIndex();
    if (from == ExerciseState)
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
    SwitchToReferenceSection(section);
    ConnectSectionButtons(ReferenceView);
    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOff").toString());
    m_ui->scorePaneLabel->hide();
    m_ui->statusLabel->hide();
    m_ui->keyboard->hide();
    m_ui->variantBar->hide();
    if (from == ExtendedStatisticsState)
        emit quick ? quickExtendedStatisticsToReferenceTrans() : extendedStatisticsToReferenceTrans();
    else if (from == StatisticsState)
        emit quick ? quickStatisticsToReferenceTrans() : statisticsToReferenceTrans();
    else
        emit quick ? quickExerciseToReferenceTrans() : exerciseToReferenceTrans();
    if (!viewMachine)
        PlacePanesForView();
}

void ExerciseScreen::SwitchToReferenceSection(int s)
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

QRect ExerciseScreen::PaneRect(int pane, int state) const
{
    const QSize area = m_ui->viewArea->size();
    const int offset = stripPosition[pane] - stripPosition[paneOfState[state]];
    return QRect(QPoint(offset * area.width(), 0), area);
}

QWidget* ExerciseScreen::PaneWidget(int pane) const
{
    switch (pane) {
    case StatisticsPane:
        return m_ui->statisticsPane;
    case ExtendedStatisticsPane:
        return m_ui->extendedStatisticsPane;
    case ReferencePane:
        return m_ui->referencePane;
    default:
        return m_ui->exercisePane;
    }
}

void ExerciseScreen::PlacePanesForView()
{
    PlacePanesForState(MachineStateIndex());
}

void ExerciseScreen::PlacePanesForState(int state)
{
    for (int pane = 0; pane < 4; ++pane) {
        QWidget* widget = PaneWidget(pane);
        widget->setGeometry(PaneRect(pane, state));
        widget->setVisible(pane == paneOfState[state]);
    }
}

void ExerciseScreen::AssignPaneGeometry()
{
    if (!viewMachine)
        return;
    for (int state = 0; state < 4; ++state)
        for (int pane = 0; pane < 4; ++pane)
            viewStates[size_t(state)]->assignProperty(PaneWidget(pane), "geometry", PaneRect(pane, state));
}

void ExerciseScreen::BuildViewMachine()
{
    if (viewMachine)
        return;
    viewMachine = new QStateMachine(this);
    viewMachine->setObjectName(QStringLiteral("viewMachine"));
    static const char* const names[4] = {"exercise", "statistics", "extendedStatistics", "reference"};
    for (int s = 0; s < 4; ++s) {
        viewStates[size_t(s)] = new QState(viewMachine);
        viewStates[size_t(s)]->setObjectName(QLatin1String(names[s]));
        viewStates[size_t(s)]->assignProperty(PaneWidget(paneOfState[s]), "visible", true);
        // Once the panes are in place (for the view's size now: the piano may have come or gone
        // meanwhile), those outside the view are hidden from screen readers.
        connect(viewStates[size_t(s)], &QState::propertiesAssigned, this,
                [this, s] { PlacePanesForState(s); });
    }
    viewStates[StatisticsState]->assignProperty(m_ui->statisticsRows, "maximumWidth", 750);
    viewStates[ExtendedStatisticsState]->assignProperty(m_ui->extendedStatisticsRows, "maximumWidth", 800);
    viewStates[StatisticsState]->assignProperty(m_ui->keyboard, "visible", true);
    viewStates[ExtendedStatisticsState]->assignProperty(m_ui->keyboard, "visible", false);
    viewStates[ReferenceState]->assignProperty(m_ui->keyboard, "visible", false);
    AssignPaneGeometry();

    // Each move between two views has an animated signal and, but for the two moves within the
    // statistics view, a quick one.
    using Signal = void (ExerciseScreen::*)();
    using C = ExerciseScreen;
    struct Transition
    {
        Signal animated, quick;
        int from, to;
    };
    const Transition transitions[] = {
        {&C::exerciseToStatisticsTrans, &C::quickExerciseToStatisticsTrans, ExerciseState, StatisticsState},
        {&C::exerciseToExtendedStatisticsTrans, &C::quickExerciseToExtendedStatisticsTrans, ExerciseState,
         ExtendedStatisticsState},
        {&C::exerciseToReferenceTrans, &C::quickExerciseToReferenceTrans, ExerciseState, ReferenceState},
        {&C::referenceToExerciseTrans, &C::quickReferenceToExerciseTrans, ReferenceState, ExerciseState},
        {&C::referenceToStatisticsTrans, &C::quickReferenceToStatisticsTrans, ReferenceState,
         StatisticsState},
        {&C::referenceToExtendedStatisticsTrans, &C::quickReferenceToExtendedStatisticsTrans, ReferenceState,
         ExtendedStatisticsState},
        {&C::statisticsToReferenceTrans, &C::quickStatisticsToReferenceTrans, StatisticsState,
         ReferenceState},
        {&C::statisticsToExerciseTrans, &C::quickStatisticsToExerciseTrans, StatisticsState, ExerciseState},
        {&C::statisticsToExtendedStatisticsTrans, nullptr, StatisticsState, ExtendedStatisticsState},
        {&C::extendedStatisticsToExerciseTrans, &C::quickExtendedStatisticsToExerciseTrans,
         ExtendedStatisticsState, ExerciseState},
        {&C::extendedStatisticsToReferenceTrans, &C::quickExtendedStatisticsToReferenceTrans,
         ExtendedStatisticsState, ReferenceState},
        {&C::extendedStatisticsToStatisticsTrans, nullptr, ExtendedStatisticsState, StatisticsState},
    };
    for (const Transition& t : transitions) {
        QState* from = viewStates[size_t(t.from)];
        QState* to = viewStates[size_t(t.to)];
        QSignalTransition* transition = from->addTransition(this, t.animated, to);
        auto* group = new CustomAnimationGroup(
            {m_ui->exercisePane, m_ui->statisticsPane, m_ui->extendedStatisticsPane, m_ui->referencePane},
            transition);
        connect(group, &QAbstractAnimation::finished, this, &ExerciseScreen::repaintProgress);
        transition->addAnimation(group);
        if (t.quick)
            from->addTransition(this, t.quick, to);
    }
    viewMachine->setInitialState(viewStates[size_t(MachineStateIndex())]);
    PlacePanesForView();
    viewMachine->start();
}

int ExerciseScreen::MachineConfigurationIndex() const
{
    if (viewMachine)
        for (int s = 0; s < 4; ++s)
            if (viewMachine->configuration().contains(viewStates[size_t(s)]))
                return s;
    return MachineStateIndex();
}

bool ExerciseScreen::IsViewAnimating() const
{
    if (!viewMachine)
        return false;
    for (QAbstractAnimation* animation : viewMachine->findChildren<QAbstractAnimation*>())
        if (animation->state() == QAbstractAnimation::Running)
            return true;
    return false;
}

} // namespace UI

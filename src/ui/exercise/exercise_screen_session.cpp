// The screen's side of the lesson session: its reports routed to the question view, the answer
// feedback, the section bar and the statistics pane; the answers the inputs give, the seeks and
// the sections chosen handed to it; the section end.
#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/audio/microphone_in_device.h"
#include "core/exercise/exercise.h"
#include "core/exercise/lesson_session.h"
#include "core/exercise/trainer_settings.h"
#include "core/midi/sound_controller.h"
#include "core/settings_store.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/dialogs/section_end_dialog.h"
#include "ui/exercise/action_hint.h"
#include "ui/exercise/answer_feedback.h"
#include "ui/exercise/microphone_silence_notice.h"
#include "ui/exercise/question_countdown.h"
#include "ui/exercise/question_view.h"
#include "ui/exercise/section_bar.h"
#include "ui/exercise/statistics_pane.h"
#include "ui/exercise/view_switcher.h"

#include <QCheckBox>
#include <QTimer>

#include <algorithm>

namespace {

using Core::Exercise;
using Core::LessonBase;

} // namespace

static_assert(UI::ExerciseScreen::SectionCount == UI::SectionBar::SectionCount,
              "the screen has one section button per section");

namespace UI {

void ExerciseScreen::createParts()
{
    QuestionView::Widgets question;
    question.taskLabel = m_ui->scorePaneLabel;
    question.fader = m_ui->questionFader;
    question.scoreBoard = m_ui->scoreBoard;
    question.speaker = m_ui->speaker;
    question.picture = m_ui->questionPicture;
    question.questionText = m_ui->questionText;
    question.keyboard = m_ui->keyboard;
    question.choiceBar = m_ui->variantBar;
    question.choices = {m_ui->variant1, m_ui->variant2, m_ui->variant3,
                        m_ui->variant4, m_ui->variant5, m_ui->variant6};
    m_questionView = new QuestionView(question, m_settings, this);
    AnswerFeedback::Widgets feedback;
    feedback.scorePane = m_ui->scorePane;
    feedback.scoreFrame = m_ui->scoreFrame;
    feedback.statusLabel = m_ui->statusLabel;
    feedback.keyboard = m_ui->keyboard;
    feedback.fader = m_ui->questionFader;
    feedback.scoreBoard = m_ui->scoreBoard;
    feedback.speaker = m_ui->speaker;
    m_answerFeedback = new AnswerFeedback(feedback, m_questionView, this);
    m_answerFeedback->setBorder("RegularBorderStyle");
    // The time left, beside "Question n of m".
    m_countdown = new QuestionCountdown(m_ui->scorePane);
    m_countdown->setObjectName(QStringLiteral("questionCountdown"));
    m_ui->paneTopLayout->insertWidget(m_ui->paneTopLayout->indexOf(m_ui->statusLabel), m_countdown, 0,
                                      Qt::AlignVCenter);
    m_countdown->setTimeLimit(0);
    m_ui->hearAgainButton->hide();
    // Where a sung note may answer and the student answers on a microphone.
    m_singingBox = new QCheckBox(tr("I answer by singing"), m_ui->scorePane);
    m_singingBox->setObjectName(QStringLiteral("singingBox"));
    m_singingBox->setAccessibleName(tr("I answer by singing"));
    m_singingBox->setToolTip(tr("Sing the note you hear, in any octave, and hold it for a moment"));
    m_singingBox->setStyleSheet(
        QStringLiteral("QCheckBox { color: rgb(29, 30, 36); font: 600 13px \"Tahoma\"; "
                       "margin-left: 8px; background: transparent; }"));
    m_singingBox->setFocusPolicy(Qt::TabFocus);
    m_singingBox->setChecked(m_settings && m_settings->generalSettings().answerBySinging);
    m_ui->paneTopLayout->insertWidget(m_ui->paneTopLayout->indexOf(m_ui->hearAgainButton) + 1, m_singingBox,
                                      0, Qt::AlignVCenter);
    m_singingBox->hide();
    connect(m_singingBox, &QCheckBox::toggled, this, [this](bool singing) {
        if (m_settings && m_settings->generalSettings().answerBySinging != singing) {
            Core::GeneralSettings general = m_settings->generalSettings();
            general.answerBySinging = singing;
            m_settings->setGeneralSettings(general);
        }
        updateView();
    });
    StatisticsPane::Widgets statistics;
    statistics.rows = m_ui->statisticsRows;
    statistics.caption = m_ui->statisticsCaption;
    statistics.layout = m_ui->statisticsPaneLayout;
    statistics.extendedRows = m_ui->extendedStatisticsRows;
    statistics.extendedCaption = m_ui->extendedStatisticsCaption;
    statistics.extendedLayout = m_ui->extendedStatisticsPaneLayout;
    statistics.historyBar = m_ui->historyBar;
    statistics.viewHistory = m_ui->viewHistory;
    statistics.clearHistory = m_ui->clearHistory;
    m_statisticsPane = new StatisticsPane(statistics, this);
    connect(m_statisticsPane, &StatisticsPane::pageChanged, this,
            [this] { showSectionTitle(m_statisticsPane->section()); });
    m_sectionBar = new SectionBar(m_ui->sectionButtons, m_ui->sectionSlider, this);
    m_sectionBar->setCheckable(true);
    connect(m_sectionBar, &SectionBar::sectionChosen, this, &ExerciseScreen::onSectionChosen);
    connect(m_sectionBar, &SectionBar::seekStarted, this, &ExerciseScreen::beginSeek);
    connect(m_sectionBar, &SectionBar::seekEnded, this, &ExerciseScreen::endSeek);
    ViewSwitcher::Widgets views;
    views.area = m_ui->viewArea;
    views.exercisePane = m_ui->exercisePane;
    views.statisticsPane = m_ui->statisticsPane;
    views.extendedStatisticsPane = m_ui->extendedStatisticsPane;
    views.referencePane = m_ui->referencePane;
    views.statisticsRows = m_ui->statisticsRows;
    views.extendedStatisticsRows = m_ui->extendedStatisticsRows;
    views.keyboard = m_ui->keyboard;
    m_viewSwitcher = new ViewSwitcher(views, this);
    connect(m_viewSwitcher, &ViewSwitcher::animationFinished, this, &ExerciseScreen::repaintProgress);
}

bool ExerciseScreen::isTimedOut() const
{
    return m_answerFeedback->isTimedOut();
}

void ExerciseScreen::showExerciseStatistics()
{
    m_answerFeedback->clearTimedOut();
    if (!m_session) {
        m_ui->sectionTitle->setText(QString());
        m_answerFeedback->setStatus(QString(), "RegularStyle");
        return;
    }
    showSectionTitle(m_lesson.section);
    const Exercise::Counters& counters = m_lesson.counters;
    // The answer log's problem, once, in the place of the count.
    if (!m_pendingLogProblem.isEmpty()) {
        m_answerFeedback->setStatus(m_pendingLogProblem, "RegularStyle");
        m_pendingLogProblem.clear();
        return;
    }
    // The question's place in its section, by where the lesson stands (also after a seek).
    if (counters.sectionQuestionCount > 0 && m_lesson.questionNumber > 0)
        m_answerFeedback->setStatus(
            tr("Question %1 of %2").arg(m_lesson.questionNumber).arg(counters.sectionQuestionCount),
            "RegularStyle");
    else
        m_answerFeedback->setStatus(QString(), "RegularStyle");
}

void ExerciseScreen::showSectionTitle(int section)
{
    if (!m_session)
        return;
    const std::vector<Core::Exercise::SectionTitle>& titles = m_lesson.titles;
    if (section >= 0 && size_t(section) < titles.size())
        m_ui->sectionTitle->setText(titles[size_t(section)].title);
}

// ---- questions -------------------------------------------------------------------------------

void ExerciseScreen::onAboutToAskNext()
{
    // The last judgement goes out of view with the question it judged.
    m_askingNext = true;
    m_waitingAfterMistake = false;
    if (m_actionHint->mode() == ActionHint::NextQuestionMode)
        m_actionHint->dismiss();
    m_actionHint->setMode(ActionHint::PauseMode);
    m_answerFeedback->clear();
}

void ExerciseScreen::onQuestionAsked(const Core::Question& question)
{
    m_askingNext = false;
    m_lesson = question.lesson;
    m_position = question.lesson.position;
    // A question asked behind another view is shown when the exercise comes back into view.
    if (m_viewMode != ExerciseView) {
        m_questionPending = true;
        return;
    }
    showQuestion();
}

void ExerciseScreen::showQuestion()
{
    m_questionPending = false;
    if (!m_session)
        return;
    updateSlider(false);
    m_questionView->resetInputs();
    if (!m_lesson.isAsking()) {
        m_questionView->clearQuestion();
        return;
    }
    m_questionView->showQuestion(m_lesson.question, m_lesson.counters.asked, m_lesson.state,
                                 m_lesson.answerInputMode, inputRoomKept(), m_viewMode != ReferenceView);
    showExerciseStatistics();
    // The window of computer-keyboard keys goes to each new question, and stays where the
    // student moved it while the question is shown again.
    if (m_lesson.counters.asked != m_pianoPlacedFor) {
        m_pianoPlacedFor = m_lesson.counters.asked;
        placePianoWindow();
    }
    m_timeRunning = m_lesson.questionTicks > 0;
    m_countdown->setTimeLimit(m_lesson.questionTicks * Exercise::TickMs);
    showTimeLeft();
    updateView();
}

void ExerciseScreen::showTimeLeft()
{
    const int ticks = m_lesson.questionTicks;
    // A tick on a question's boundary is the end of its time: the judgement says so.
    if (!m_timeRunning || ticks <= 0 || m_position.segment != m_lesson.section || !m_lesson.isAsking())
        return;
    const int used = m_position.offset % ticks;
    m_countdown->setRemaining((ticks - used) * Exercise::TickMs);
}

void ExerciseScreen::hearAgain()
{
    if (m_session && m_viewMode == ExerciseView && m_lesson.canHearAgain)
        m_session->hearAgain();
}

bool ExerciseScreen::inputRoomKept() const
{
    return m_viewMode == ExerciseView || (m_viewMode == StatisticsView && !m_extendedStatistics);
}

void ExerciseScreen::updateAnswerInputs(const Core::QuestionRecord& question)
{
    if (m_session)
        m_questionView->updateAnswerInputs(question, m_lesson.answerInputMode, inputRoomKept(),
                                           m_viewMode != ReferenceView);
}

// ---- answers ---------------------------------------------------------------------------------

void ExerciseScreen::onChoiceClicked(int index)
{
    if (m_session)
        m_session->answerWithChoice(index);
}

void ExerciseScreen::onKeyboardKeyPressed(int key)
{
    if (m_session)
        m_session->answerWithKey(key, true);
}

void ExerciseScreen::onKeyboardKeyReleased(int key)
{
    if (m_session)
        m_session->answerWithKey(key, false);
}

void ExerciseScreen::onKeyEntered(int key, bool down)
{
    if (!m_session || !down || m_lesson.state != Exercise::AwaitingAnswer)
        return;
    m_answerFeedback->markEnteredKey(key);
}

void ExerciseScreen::onAnswerJudged(const Core::Judgement& judgement)
{
    if (m_viewMode != ExerciseView || !m_session)
        return;
    // The count with this answer, before the report of the state after it comes.
    m_lesson.counters = judgement.counters;
    m_timeRunning = false;
    if (judgement.verdict == Core::Judgement::OutOfTime)
        m_countdown->setRemaining(0);
    m_answerFeedback->showJudgement(judgement);
    // The session moves on by itself, or has paused the lesson after a mistake.
    if (!judgement.isRight() && judgement.next == Core::Judgement::PauseLesson) {
        m_waitingAfterMistake = true;
        m_actionHint->setMode(ActionHint::NextQuestionMode);
        showActionHint();
    }
    updateView();
}

void ExerciseScreen::onAnswerLogProblem(const QString& message)
{
    // A judgement in view keeps its words; the problem then takes the next count's place.
    const QElapsedTimer& judgementAge = m_answerFeedback->judgementAge();
    m_pendingLogProblem = message;
    if (m_viewMode == ExerciseView && m_session &&
        !(judgementAge.isValid() && !judgementAge.hasExpired(FeedbackBeforeSectionEndMs)))
        showExerciseStatistics();
}

void ExerciseScreen::onSummaryDue()
{
    // The out-of-time judgement gives way to the count of the section.
    if (m_answerFeedback->isTimedOut())
        showExerciseStatistics();
}

// ---- the session's reports ---------------------------------------------------------------------

void ExerciseScreen::onLessonChanged(const Core::LessonSnapshot& lesson)
{
    const bool sectionsChanged = !(lesson.segments == m_lesson.segments);
    // A lesson that has just paused says so: the play card covers the question, whoever paused
    // it (after a mistake the hint tells how to go on, and the answer stays in view).
    if (lesson.playState == LessonBase::Paused && m_lesson.playState != LessonBase::Paused &&
        m_viewMode == ExerciseView && !lesson.ended && !m_waitingAfterMistake)
        ensurePlayDialog()->showOver();
    m_lesson = lesson;
    m_position = lesson.position;
    m_sectionBar->setRunning(lesson.playState == LessonBase::Running);
    if (sectionsChanged)
        updateSectionBar();
    // The lesson ran out of questions when asked for the next one: the last answer's marks go.
    if (m_askingNext && lesson.ended && m_viewMode == ExerciseView) {
        m_askingNext = false;
        showQuestion();
    }
    updateView();
    updateSlider(false);
}

void ExerciseScreen::onPositionChanged(const Core::LessonPosition& position)
{
    m_position = position;
    updateSlider(false);
    showTimeLeft();
}

void ExerciseScreen::onSectionEnded(const Core::SectionScore&)
{
    handleLessonEnd();
}

void ExerciseScreen::updateView()
{
    QSlider* slider = m_ui->sectionSlider;
    if (!m_session) {
        slider->setEnabled(!m_quizMode);
        m_ui->playButton->hide();
        m_silenceNotice->setWaiting(false);
        m_singingBox->hide();
        if (auto microphone = std::dynamic_pointer_cast<Core::MicrophoneInDevice>(
                m_soundController ? m_soundController->CurrentInputDevice() : nullptr))
            microphone->SetSinging(false);
        return;
    }
    slider->setEnabled(!m_quizMode);
    const int play = m_lesson.playState;
    const int state = m_lesson.state;

    // The ear trainer takes no answer while its question still sounds.
    const bool locked = m_exerciseId == size_t(Core::EarTrainerIndex) && play == LessonBase::Running &&
                        state == Exercise::Presenting;
    m_ui->keyboard->setDimmed(locked);
    m_ui->keyboard->setEnabled(!locked);
    m_questionView->setChoicesEnabled(!locked);

    if (m_viewMode == ExerciseView) {
        const Exercise::Counters& counters = m_lesson.counters;
        m_ui->progress->setValues(counters.answered - counters.correct, counters.correct);
    }
    const bool acceptsKeys = state == Exercise::AwaitingAnswer && play != LessonBase::Paused;
    m_ui->keyboard->setInteractive(acceptsKeys);

    m_questionView->followState(m_lesson.question, m_lesson.counters.asked, state);
    showPianoLetters();
    if (acceptsKeys && m_viewMode == ExerciseView)
        introducePianoKeys();
    const auto microphone = std::dynamic_pointer_cast<Core::MicrophoneInDevice>(
        m_soundController ? m_soundController->CurrentInputDevice() : nullptr);
    const bool singable = microphone && m_lesson.canBeSung && m_viewMode == ExerciseView;
    m_singingBox->setVisible(singable);
    const bool singing = singable && m_singingBox->isChecked();
    m_session->setSungAnswers(singing);
    m_questionView->setSinging(singing);
    if (microphone)
        microphone->SetSinging(singing);
    m_silenceNotice->setMicrophone(microphone);
    m_silenceNotice->setWaiting(acceptsKeys && play == LessonBase::Running && m_viewMode == ExerciseView);

    const bool stopped = play == LessonBase::Stopped;
    m_ui->playButton->setVisible(!stopped && m_viewMode == ExerciseView);
    const QString playText = play == LessonBase::Running ? tr("Pause") : tr("Play");
    if (m_ui->playButton->text() != playText) {
        m_ui->playButton->setText(playText);
        m_ui->playButton->setAccessibleName(playText);
    }
    if (stopped)
        updateSlider(false);

    // A heard question may be heard again while its answer is awaited.
    const bool heard = m_viewMode == ExerciseView && m_lesson.isAsking() && m_lesson.question.IsSounded();
    m_ui->hearAgainButton->setVisible(heard);
    m_ui->hearAgainButton->setEnabled(heard && m_lesson.canHearAgain);
}

void ExerciseScreen::handleLessonEnd()
{
    // The end of the lesson: its timeline ran out, or no section after the last one asked had
    // anything left to ask.
    if (!m_session || !m_lesson.ended || (m_sectionEndDialog && m_sectionEndDialog->isVisible()))
        return;
    // The judgement of the last answer stays in view a moment before the dialog covers it.
    const QElapsedTimer& judgementAge = m_answerFeedback->judgementAge();
    if (judgementAge.isValid() && !judgementAge.hasExpired(FeedbackBeforeSectionEndMs)) {
        m_sectionEndDelay->start(int(FeedbackBeforeSectionEndMs - judgementAge.elapsed()));
        return;
    }
    s_lastHandledExerciseState = m_lesson.state;
    SectionEndDialog* dialog = ensureSectionEndDialog();
    // From the lesson's own counts: the score bar is brought up to date only in the exercise
    // view, and a key may have answered the last question behind the statistics.
    const Exercise::Counters& counters = m_lesson.counters;
    dialog->setScore(counters.answered - counters.correct, counters.correct);
    if (m_viewMode == ExerciseView)
        Q_EMIT sectionEndDialogRequested();
}

SectionEndDialog* ExerciseScreen::ensureSectionEndDialog()
{
    if (!m_sectionEndDialog) {
        m_sectionEndDialog = new SectionEndDialog(this);
        m_sectionEndDialog->setGeometry(QRect(mapToGlobal(QPoint(0, 0)), size()));
        connect(m_sectionEndDialog, &SectionEndDialog::continueRequested, this, &ExerciseScreen::exitRequested);
        connect(m_sectionEndDialog, &SectionEndDialog::repeatRequested, this, &ExerciseScreen::restartExercise);
        connect(m_sectionEndDialog, &SectionEndDialog::reviewStatsRequested, this, &ExerciseScreen::reviewStatistics);
    }
    return m_sectionEndDialog;
}

void ExerciseScreen::showSectionEndDialog()
{
    m_actionHint->dismiss();
    if (m_playDialog)
        m_playDialog->hide();
    ensureSectionEndDialog()->showForSectionEnd();
}

void ExerciseScreen::onScreenChanged(QString current, QString previous)
{
    if (m_sectionEndDialog)
        m_sectionEndDialog->screenChangeSlot(current, previous);
}

// ---- statistics --------------------------------------------------------------------------------

void ExerciseScreen::showStatisticsPage()
{
    QStringList names;
    for (const Core::Exercise::SectionTitle& title : m_lesson.titles)
        names.append(title.shortName);
    m_statisticsPane->setSectionNames(names);
    m_statisticsPane->refresh();
    showSectionTitle(m_statisticsPane->section());
}

void ExerciseScreen::showStatisticsSection(int section)
{
    m_statisticsPane->showSection(section);
    showStatisticsPage();
}

void ExerciseScreen::switchToStatisticsSection(int s)
{
    if (m_viewMode != StatisticsView || s < 0 || s >= SectionCount)
        return;
    m_sectionBar->highlight(s);
    showStatisticsSection(s);
    // A section without keys (the tempo pieces, the symbols) has the extended page, without the
    // keyboard.
    const bool extended = m_statisticsPane->isExtendedSection(s);
    m_statisticsPane->placeHistoryBar(extended);
    m_questionView->keepInputRoom(!extended);
    if (extended != m_extendedStatistics) {
        m_viewSwitcher->switchTo(extended ? ViewSwitcher::ExtendedStatisticsView : ViewSwitcher::StatisticsView,
                                 Animated);
        m_extendedStatistics = extended;
    }
}

void ExerciseScreen::onStatisticsKeyHovered(int key)
{
    // Only the plain page has octave pages.
    if (m_viewMode != StatisticsView || m_extendedStatistics)
        return;
    m_statisticsPane->showOctaveOfKey(key);
}

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
    m_ui->sectionSlider->setEnabled(!m_quizMode);
    // The button of the section whose question is shown, also while the timeline already
    // stands at the start of the next one.
    if (m_viewMode == ExerciseView)
        m_sectionBar->setCurrent(m_lesson.section);
    // After a seek the slider stands at once where the lesson went.
    m_sectionBar->showPosition(m_position.segment, m_position.offset, force || m_sliderJumps);
    m_sliderJumps = false;
}

void ExerciseScreen::beginSeek()
{
    if (m_session)
        m_session->beginSeek();
}

void ExerciseScreen::endSeek(int position)
{
    if (!m_session)
        return;
    // A seek to the end brings the section end dialog at once: the last judgement is not
    // what the student is looking at any more. The lesson goes on from there (with the next
    // question, when it was between questions).
    m_answerFeedback->forgetJudgement();
    m_session->endSeek(position);
}

void ExerciseScreen::onSectionChosen(int section)
{
    if (m_viewMode == StatisticsView)
        switchToStatisticsSection(section);
    else if (m_viewMode == ReferenceView)
        showReferenceSection(section);
    else if (!m_quizMode)
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

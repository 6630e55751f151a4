// The screen's answers and feedback: the three answer inputs, the judgement shown in colours,
// words, marks, motion and sound, and the lesson session's reports.
#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/exercise/exercise.h"
#include "core/exercise/lesson_session.h"
#include "core/exercise/trainer_settings.h"
#include "core/midi/sound_clip.h"
#include "ui/exercise/action_hint.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/dialogs/section_end_dialog.h"
#include "core/settings_store.h"
#include "ui/exercise/wrong_right_answer_animation.h"

#include <QAccessible>
#include <QTimer>
#include <QTimerEvent>

namespace {

using Core::Exercise;
using Core::LessonBase;
using Core::QuestionRecord;

bool IsHeard(int kind)
{
    return kind == QuestionRecord::EarQuestion || kind == QuestionRecord::TempoQuestion;
}

} // namespace

namespace UI {

void ExerciseScreen::showExerciseStatistics()
{
    timedOut = false;
    if (!m_session) {
        m_ui->sectionTitle->setText(QString());
        SetStatus(QString(), "RegularStyle");
        return;
    }
    ShowSectionTitle(m_lesson.section);
    const Exercise::Counters& counters = m_lesson.counters;
    if (counters.sectionQuestionCount > 0 && counters.sectionAsked > 0)
        SetStatus(tr("Question %1 of %2")
                      .arg(std::min(counters.sectionAsked, counters.sectionQuestionCount))
                      .arg(counters.sectionQuestionCount),
                  "RegularStyle");
    else
        SetStatus(QString(), "RegularStyle");
}

// ---- answers ---------------------------------------------------------------------------------

void ExerciseScreen::VariantClicked()
{
    auto* button = qobject_cast<QToolButton*>(sender());
    if (!button || !m_session)
        return;
    m_session->answerWithChoice(button->property("Id").toInt() - 1);
}

void ExerciseScreen::AnswerWithVariant(int id)
{
    QToolButton* button = VariantButton(id);
    // The same path as a click: only a button that is shown and enabled answers.
    if (button && variantsShown && button->isVisible() && button->isEnabled())
        button->click();
}

void ExerciseScreen::IntervalClicked(int interval)
{
    if (m_session)
        m_session->answerWithInterval(interval);
}

void ExerciseScreen::GKCNotePressed(int key)
{
    if (m_session)
        m_session->answerWithKey(key, true);
}

void ExerciseScreen::GKCNoteReleased(int key)
{
    if (m_session)
        m_session->answerWithKey(key, false);
}

void ExerciseScreen::onKeyEntered(int key, bool down)
{
    // A key played so far in a chord not yet complete was right: it shows green until the
    // judgement marks the whole answer.
    if (!m_session || !down || m_lesson.state != Exercise::AwaitingAnswer)
        return;
    if (key < 0 || key >= Keyboard::KeyCount)
        return;
    KeysStateMap keys;
    for (int k = 0; k < Keyboard::KeyCount; ++k) {
        const KeyStateRecord record = m_ui->keyboard->KeyState(k);
        if (record.mark != Keyboard::NoMark || record.played || k == key)
            keys.insert(k, record);
    }
    keys[key].mark = Keyboard::GreenMark;
    m_ui->keyboard->updateKeysState(keys);
}

void ExerciseScreen::onAnswerJudged(const Core::Judgement& judgement)
{
    if (viewMode != ExerciseView || !m_session)
        return;
    feedbackClock.start();
    // The count with this answer, before the report of the state after it comes.
    m_lesson.counters = judgement.counters;

    const QuestionRecord& question = judgement.question;
    const Core::Answer& answer = judgement.answer;
    const bool correct = judgement.isRight();
    const int right = question.correctIndex + 1;
    // 1. The buttons: the right one green with a tick, a wrong choice red with a cross.
    if (right >= 1 && right <= VariantCount) {
        ApplyVariantStyle(right, "MultichoiceCorrectStyle");
        variantMarks[size_t(right - 1)] = RightMarkText();
        SetVariantText(right);
    }
    if (answer.kind == Core::Answer::Choice && !correct) {
        const int chosen = answer.variant + 1;
        if (chosen >= 1 && chosen <= VariantCount && chosen != right) {
            ApplyVariantStyle(chosen, "MultichoiceIncorrectStyle");
            variantMarks[size_t(chosen - 1)] = WrongMarkText();
            SetVariantText(chosen);
        }
    }
    // 2. and 3. The answer view, and a heard question's answer revealed.
    const Core::QuestionData* item = question.AskedItem();
    const bool hasScore = item && !item->gmn.isEmpty();
    if (judgement.hasAnswerView)
        ShowAnswerView(judgement);
    if (IsHeard(question.kind) || question.kind == QuestionRecord::ChordSymbolQuestion) {
        m_ui->speaker->Stop();
        if (hasScore && m_ui->questionFader->Content() != m_ui->scoreBoard)
            m_ui->questionFader->FadeIn(m_ui->scoreBoard);
    }
    // 4. The border and the words.
    lastAnswerCorrect = correct;
    answerMark = correct ? CorrectMark : WrongMark;
    ApplyScorePaneStyle(correct ? "CorrectAnswerBorderStyle" : "WrongAnswerBorderStyle");
    if (answer.kind != Core::Answer::NoAnswer)
        SetStatus(correct ? tr("Right") : tr("Wrong"), correct ? "RightStyle" : "WrongStyle");

    // 5. and 6. The session moves on by itself, or has paused the lesson after a mistake.
    if (correct) {
        doRightAnswerAnimation();
    } else {
        doWrongAnswerAnimation(judgement.verdict == Core::Judgement::OutOfTime);
        if (judgement.next == Core::Judgement::PauseLesson) {
            actionHint->SetMode(ActionHint::NextQuestionMode);
            ShowActionHintDialog();
        }
    }
    // 7.
    if (exerciseId == size_t(Core::SymbolTrainerIndex))
        (correct ? rightSound : wrongSound)->Play();
    UpdateUI();
}

void ExerciseScreen::ShowAnswerView(const Core::Judgement& judgement)
{
    const QVector<QPair<int, int>>& keys = judgement.keyMarks;
    const QByteArray& view = judgement.answerView;
    if (!view.isEmpty())
        m_ui->scoreBoard->SetScore(view);
    // Flag 2 (missed) shows blue, 0 (right) green, any other (wrong) red; a key entered twice
    // keeps the strongest mark.
    KeysStateMap marks;
    for (const QPair<int, int>& entry : keys) {
        const int key = entry.first;
        if (key < 0 || key >= Keyboard::KeyCount)
            continue;
        const int mark = entry.second == 2   ? Keyboard::BlueMark
                         : entry.second == 0 ? Keyboard::GreenMark
                                             : Keyboard::RedMark;
        KeyStateRecord record = m_ui->keyboard->KeyState(key);
        if (marks.contains(key))
            record = marks.value(key);
        record.mark = std::max(int(record.mark), mark);
        marks.insert(key, record);
    }
    m_ui->keyboard->SetMode(Keyboard::DisplayMode);
    m_ui->keyboard->updateKeysState(marks);
}

void ExerciseScreen::doRightAnswerAnimation()
{
    if (!rightAnimation)
        rightAnimation = new WrongRightAnswerAnimation(WrongRightAnswerAnimation::RightAnswerHop,
                                                       m_ui->scorePane, m_ui->scoreFrame, this);
    if (wrongAnimation)
        wrongAnimation->stop();
    rightAnimation->Run();
}

void ExerciseScreen::doWrongAnswerAnimation(bool isTimeout)
{
    if (viewMode != ExerciseView)
        return;
    if (isTimeout) {
        timedOut = true;
        SetStatus(tr("Out of time."), "TimeoutStyle");
    }
    if (!wrongAnimation)
        wrongAnimation = new WrongRightAnswerAnimation(WrongRightAnswerAnimation::WrongAnswerShake,
                                                       m_ui->scorePane, m_ui->scoreFrame, this);
    if (rightAnimation)
        rightAnimation->stop();
    wrongAnimation->Run();
}

void ExerciseScreen::onSummaryDue()
{
    // The out-of-time judgement gives way to the count of the section.
    if (timedOut)
        showExerciseStatistics();
}

void ExerciseScreen::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == glideTimer.timerId()) {
        if (!m_session || glideTarget == 0 || m_lesson.playState != LessonBase::Running)
            return;
        QSlider* slider = m_ui->sectionSlider;
        if (slider->isSliderDown())
            return;
        const int value = slider->value();
        const int step = std::max(1, (glideTarget - value) / 10);
        const int next = std::min(glideTarget, value + step);
        slider->setValue(next);
        if (next >= glideTarget)
            glideTarget = 0;
        return;
    }
    QWidget::timerEvent(event);
}

// ---- the session's reports ---------------------------------------------------------------------

void ExerciseScreen::onLessonChanged(const Core::LessonSnapshot& lesson)
{
    const bool sectionsChanged = !(lesson.segments == m_lesson.segments);
    m_lesson = lesson;
    m_position = lesson.position;
    if (sectionsChanged)
        UpdateSectionBar();
    // The lesson ran out of questions when asked for the next one: the last answer's marks go.
    if (askingNext && lesson.ended && viewMode == ExerciseView) {
        askingNext = false;
        ShowQuestion();
    }
    UpdateUI();
    UpdateSlider(false);
}

void ExerciseScreen::onPositionChanged(const Core::LessonPosition& position)
{
    m_position = position;
    UpdateSlider(false);
}

void ExerciseScreen::onSectionEnded(const Core::SectionScore&)
{
    handleLessonEnd();
}

void ExerciseScreen::UpdateUI()
{
    QSlider* slider = m_ui->sectionSlider;
    if (!m_session) {
        slider->setEnabled(!quizMode);
        m_ui->playButton->hide();
        return;
    }
    slider->setEnabled(!quizMode);
    const int play = m_lesson.playState;
    const int state = m_lesson.state;

    // The ear trainer takes no answer while its question still sounds.
    const bool locked = exerciseId == size_t(Core::EarTrainerIndex) && play == LessonBase::Running &&
                        state == Exercise::Presenting;
    m_ui->keyboard->SetDimmed(locked);
    m_ui->keyboard->setEnabled(!locked);
    for (int id = 1; id <= VariantCount; ++id)
        if (QToolButton* button = VariantButton(id))
            button->setEnabled(!locked);

    if (viewMode == ExerciseView) {
        const Exercise::Counters& counters = m_lesson.counters;
        m_ui->progress->SetValues(counters.answered - counters.correct, counters.correct);
    }
    const bool acceptsKeys = state == Exercise::AwaitingAnswer && play != LessonBase::Paused;
    m_ui->keyboard->SetInteractive(acceptsKeys);

    // A heard question's overlay follows its state: the speaker while it sounds, the question
    // picture while the answer is awaited.
    if ((state == Exercise::Presenting || state == Exercise::AwaitingAnswer) && state != overlayState &&
        shownQuestionSerial == m_lesson.counters.asked) {
        if (IsHeard(m_lesson.question.kind))
            ShowOverlayFor(m_lesson.question, state);
    }

    const bool stopped = play == LessonBase::Stopped;
    m_ui->playButton->setVisible(!stopped && viewMode == ExerciseView);
    const QString playText = play == LessonBase::Running ? tr("Pause") : tr("Play");
    if (m_ui->playButton->text() != playText) {
        m_ui->playButton->setText(playText);
        m_ui->playButton->setAccessibleName(playText);
    }
    if (stopped)
        UpdateSlider(false);
}

void ExerciseScreen::handleLessonEnd()
{
    // The end of the lesson: its timeline ran out, or no section after the last one asked had
    // anything left to ask.
    if (!m_session || !m_lesson.ended || (sectionEndDialog && sectionEndDialog->isVisible()))
        return;
    // The judgement of the last answer stays in view a moment before the dialog covers it.
    if (feedbackClock.isValid() && !feedbackClock.hasExpired(FeedbackBeforeSectionEndMs)) {
        sectionEndDelay->start(int(FeedbackBeforeSectionEndMs - feedbackClock.elapsed()));
        return;
    }
    lastHandledExerciseState = m_lesson.state;
    SectionEndDialog* dialog = EnsureSectionEndDialog();
    // From the lesson's own counts: the score bar is brought up to date only in the exercise
    // view, and a key may have answered the last question behind the statistics.
    const Exercise::Counters& counters = m_lesson.counters;
    dialog->setScore(counters.answered - counters.correct, counters.correct);
    if (viewMode == ExerciseView)
        emit ShowSectionEndDialogSignal();
}

SectionEndDialog* ExerciseScreen::EnsureSectionEndDialog()
{
    if (!sectionEndDialog) {
        sectionEndDialog = new SectionEndDialog(this);
        sectionEndDialog->setGeometry(QRect(mapToGlobal(QPoint(0, 0)), size()));
        connect(sectionEndDialog, &SectionEndDialog::Continue, this, &ExerciseScreen::Exit);
        connect(sectionEndDialog, &SectionEndDialog::Repeat, this, &ExerciseScreen::restartExercise);
        connect(sectionEndDialog, &SectionEndDialog::ReviewStats, this, &ExerciseScreen::ReviewStats);
    }
    return sectionEndDialog;
}

void ExerciseScreen::ShowSectionEndDialog()
{
    actionHint->Dismiss();
    if (playDialog)
        playDialog->hide();
    EnsureSectionEndDialog()->ShowForSectionEnd();
}

void ExerciseScreen::screenChangeSlot(QString current, QString previous)
{
    if (sectionEndDialog)
        sectionEndDialog->screenChangeSlot(current, previous);
}

} // namespace UI

// The screen's answers and feedback: the three answer inputs, the judgement shown in colours,
// words, marks, motion and sound, the next-question timer and the engine's reports.
#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/exercise/exercise.h"
#include "core/exercise/trainer_settings.h"
#include "core/exercise/trainer_settings_source.h"
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

constexpr int lowestNote = 21; // MIDI note of key 0 (A0)

bool IsHeard(int kind)
{
    return kind == QuestionRecord::EarQuestion || kind == QuestionRecord::TempoQuestion;
}

} // namespace

namespace UI {

void ExerciseScreen::showExerciseStatistics()
{
    timedOut = false;
    if (!exercise) {
        m_ui->sectionTitle->setText(QString());
        SetStatus(QString(), "RegularStyle");
        return;
    }
    ShowSectionTitle(exercise->GetCurrentSection());
    const Exercise::Counters counters = exercise->GetCounters();
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
    if (!button || !exercise)
        return;
    const int state = exercise->GetState();
    if (state != Exercise::Presenting && state != Exercise::AwaitingAnswer)
        return;
    Core::Answer answer;
    answer.kind = Core::Answer::Choice;
    answer.variant = button->property("Id").toInt() - 1;
    exercise->Judge(answer);
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
    if (!exercise)
        return;
    const int state = exercise->GetState();
    if (state != Exercise::Presenting && state != Exercise::AwaitingAnswer)
        return;
    Core::Answer answer;
    answer.kind = Core::Answer::Interval;
    answer.value = interval;
    exercise->Judge(answer);
}

void ExerciseScreen::GKCNotePressed(int key)
{
    // Judged and heard only while an answer is awaited; the exercise sounds the key on its output.
    if (!exercise || exercise->GetState() != Exercise::AwaitingAnswer)
        return;
    exercise->HandleInputEvent(MidiEvent{MidiMessage(0x90, 0, quint8(key + lowestNote), 100), 0, -1.0});
}

void ExerciseScreen::GKCNoteReleased(int key)
{
    if (!exercise)
        return;
    exercise->HandleInputEvent(MidiEvent{MidiMessage(0x80, 0, quint8(key + lowestNote), 100), 0, -1.0});
}

void ExerciseScreen::HighlightNote(bool pressed, int note)
{
    // A key played so far in a chord not yet complete was right: it shows green until the
    // judgement marks the whole answer.
    if (!exercise || !pressed || exercise->GetState() != Exercise::AwaitingAnswer)
        return;
    const int key = note - lowestNote;
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

void ExerciseScreen::UpdateAnswerUI(bool correct, Core::Answer answer)
{
    if (viewMode != ExerciseView || !exercise)
        return;
    // One judgement, one showing: a report that comes twice, or one of an answer already shown,
    // changes nothing.
    const Exercise::Counters counters = exercise->GetCounters();
    if (counters.answered <= answersShown)
        return;
    answersShown = counters.answered;
    feedbackClock.start();

    const QuestionRecord question = exercise->GetCurrentQuestion();
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
    if (hasScore && (question.IsSounded()))
        ShowAnswerView(question, answer);
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

    if (correct) {
        // 5.
        StartNextQuestionTimer(RightAnswerDelayMs);
        doRightAnswerAnimation();
    } else {
        // 6.
        doWrongAnswerAnimation(answer.kind == Core::Answer::NoAnswer);
        Core::WrongAnswerPolicy policy;
        if (const Core::TrainerSettingsSource* source = exercise->GetSettingsSource())
            policy = source->CurrentSettings().noteTrainer.wrongAnswerPolicy;
        else if (settings)
            policy = settings->CurrentSettings().noteTrainer.wrongAnswerPolicy;
        if (policy.continueAfterMistake) {
            StartNextQuestionTimer(std::max(0, policy.delay));
        } else {
            exercise->Pause(true);
            actionHint->SetMode(ActionHint::NextQuestionMode);
            ShowActionHintDialog();
        }
    }
    // 7.
    if (exerciseId == size_t(Core::SymbolTrainerIndex))
        (correct ? rightSound : wrongSound)->Play();
    UpdateUI();
}

void ExerciseScreen::ShowAnswerView(const QuestionRecord& question, const Core::Answer& answer)
{
    QVector<QPair<int, int>> keys;
    const QByteArray view = exercise->DrawAnswerView(question, answer, keys);
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
        timeoutSummary->start();
    }
    if (!wrongAnimation)
        wrongAnimation = new WrongRightAnswerAnimation(WrongRightAnswerAnimation::WrongAnswerShake,
                                                       m_ui->scorePane, m_ui->scoreFrame, this);
    if (rightAnimation)
        rightAnimation->stop();
    wrongAnimation->Run();
}

void ExerciseScreen::StartNextQuestionTimer(int ms)
{
    nextQuestionTimer.stop();
    nextQuestionTimer.start(ms, Qt::PreciseTimer, this);
}

void ExerciseScreen::KillNextQuestionTimer()
{
    nextQuestionTimer.stop();
}

void ExerciseScreen::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == nextQuestionTimer.timerId()) {
        // While paused or stopped the timer keeps firing and waits for the lesson to run.
        if (exercise && exercise->GetPlayState() == LessonBase::Running) {
            nextQuestionTimer.stop();
            emit NextQuestion();
        }
        return;
    }
    if (event->timerId() == glideTimer.timerId()) {
        if (!exercise || glideTarget == 0 || exercise->GetPlayState() != LessonBase::Running)
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

// ---- the engine's reports ----------------------------------------------------------------------

void ExerciseScreen::OnTick()
{
    emit NewTick();
}

void ExerciseScreen::OnStateChanged()
{
    emit StateChanged();
}

void ExerciseScreen::OnPlayStateChanged()
{
    emit PlayStateChanged();
}

void ExerciseScreen::OnSectionChanged(uint)
{
    emit NewTick();
}

void ExerciseScreen::OnNoteFromDevice(bool pressed, int note)
{
    emit NoteEntered(pressed, note);
}

void ExerciseScreen::UpdateUI()
{
    QSlider* slider = m_ui->sectionSlider;
    if (!exercise) {
        slider->setEnabled(!quizMode);
        m_ui->playButton->hide();
        return;
    }
    slider->setEnabled(!quizMode);
    const int play = exercise->GetPlayState();
    const int state = exercise->GetState();

    // The ear trainer takes no answer while its question still sounds.
    const bool locked = exerciseId == size_t(Core::EarTrainerIndex) && play == LessonBase::Running &&
                        state == Exercise::Presenting;
    m_ui->keyboard->SetDimmed(locked);
    m_ui->keyboard->setEnabled(!locked);
    for (int id = 1; id <= VariantCount; ++id)
        if (QToolButton* button = VariantButton(id))
            button->setEnabled(!locked);

    if (viewMode == ExerciseView) {
        const Exercise::Counters counters = exercise->GetCounters();
        m_ui->progress->SetValues(counters.answered - counters.correct, counters.correct);
    }
    const bool acceptsKeys = state == Exercise::AwaitingAnswer && play != LessonBase::Paused;
    m_ui->keyboard->SetInteractive(acceptsKeys);

    // A heard question's overlay follows its state: the speaker while it sounds, the question
    // picture while the answer is awaited.
    if ((state == Exercise::Presenting || state == Exercise::AwaitingAnswer) && state != overlayState &&
        shownQuestionSerial == exercise->GetCounters().asked) {
        const QuestionRecord question = exercise->GetCurrentQuestion();
        if (IsHeard(question.kind))
            ShowOverlayFor(question, state);
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

void ExerciseScreen::UpdateUIOnStateChange()
{
    UpdateUI();
    if (!exercise)
        return;
    const int state = exercise->GetState();
    // The end of the lesson: its timeline ran out, or no section after the last one asked had
    // anything left to ask.
    const bool ended = state == Exercise::LessonEnd ||
                       (state == Exercise::NotStarted && exercise->GetPlayState() == LessonBase::Stopped &&
                        exercise->GetCounters().asked > 0);
    if (!ended || (sectionEndDialog && sectionEndDialog->isVisible()))
        return;
    // The judgement of the last answer stays in view a moment before the dialog covers it.
    if (feedbackClock.isValid() && !feedbackClock.hasExpired(FeedbackBeforeSectionEndMs)) {
        sectionEndDelay->start(int(FeedbackBeforeSectionEndMs - feedbackClock.elapsed()));
        return;
    }
    lastHandledExerciseState = state;
    SectionEndDialog* dialog = EnsureSectionEndDialog();
    // From the lesson's own counts: the score bar is brought up to date only in the exercise
    // view, and a key may have answered the last question behind the statistics.
    const Exercise::Counters counters = exercise->GetCounters();
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

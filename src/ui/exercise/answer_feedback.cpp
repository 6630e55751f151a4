#include "ui/exercise/answer_feedback.h"

#include "core/exercise/lesson_session.h"
#include "core/midi/sound_clip.h"
#include "ui/exercise/lesson_speech.h"
#include "ui/exercise/question_view.h"
#include "ui/exercise/speaker_widget.h"
#include "ui/exercise/wrong_right_answer_animation.h"
#include "ui/widgets/fader_widget.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/score_board.h"
#include "ui/widgets/shadow_frame.h"

#include <QLabel>
#include <QVariant>

#include <algorithm>

namespace UI {

using Core::QuestionRecord;

AnswerFeedback::AnswerFeedback(const Widgets& widgets, QuestionView* questions, QObject* parent)
    : QObject(parent), m_widgets(widgets), m_questions(questions)
{
    // Wrong first, right second: the order the sounds are made in.
    m_wrongSound = std::make_unique<SoundClip>(QStringLiteral(":/wav/wrong.wav"));
    m_rightSound = std::make_unique<SoundClip>(QStringLiteral(":/wav/right.wav"));
}

AnswerFeedback::~AnswerFeedback() = default;

void AnswerFeedback::showJudgement(const Core::Judgement& judgement)
{
    m_clock.start();
    const QuestionRecord& question = judgement.question;
    const Core::Answer& answer = judgement.answer;
    const bool correct = judgement.isRight();
    // The buttons: the right one green with a tick, a wrong choice red with a cross.
    const int right = question.correctIndex + 1;
    if (right >= 1 && right <= QuestionView::ChoiceCount)
        m_questions->markChoice(right, true);
    if (answer.kind == Core::Answer::Choice && !correct) {
        const int chosen = answer.variant + 1;
        if (chosen >= 1 && chosen <= QuestionView::ChoiceCount && chosen != right)
            m_questions->markChoice(chosen, false);
    }
    // The answer view, and a heard question's answer revealed.
    const Core::QuestionData* item = question.AskedItem();
    const bool hasScore = item && !item->gmn.isEmpty();
    if (judgement.hasAnswerView)
        showAnswerView(judgement);
    if (QuestionView::isHeard(question.kind) || question.kind == QuestionRecord::ChordSymbolQuestion) {
        m_widgets.speaker->stop();
        if (hasScore && m_widgets.fader->content() != m_widgets.scoreBoard)
            m_widgets.fader->fadeIn(m_widgets.scoreBoard);
    }
    // The border and the words.
    m_mark = correct ? RightMark : WrongMark;
    setBorder(correct ? "CorrectAnswerBorderStyle" : "WrongAnswerBorderStyle");
    if (answer.kind != Core::Answer::NoAnswer)
        setStatus(correct ? tr("Right") : tr("Wrong"), correct ? "RightStyle" : "WrongStyle");
    // The pane that named the question now says how it was answered.
    m_widgets.fader->setAccessibleName(LessonSpeech::judgement(judgement));
    if (correct)
        hop();
    else
        shake(judgement.verdict == Core::Judgement::OutOfTime);
    if (m_answerSounds)
        (correct ? m_rightSound : m_wrongSound)->Play();
}

void AnswerFeedback::showAnswerView(const Core::Judgement& judgement)
{
    Keyboard* keyboard = m_widgets.keyboard;
    if (!judgement.answerView.isEmpty())
        m_widgets.scoreBoard->setScore(judgement.answerView);
    // Flag 2 (missed) shows blue, 0 (right) green, any other (wrong) red; a key entered twice
    // keeps the strongest mark.
    KeysStateMap marks;
    for (const QPair<int, int>& entry : judgement.keyMarks) {
        const int key = entry.first;
        if (key < 0 || key >= Keyboard::KeyCount)
            continue;
        const int mark = entry.second == 2   ? Keyboard::BlueMark
                         : entry.second == 0 ? Keyboard::GreenMark
                                             : Keyboard::RedMark;
        KeyStateRecord record = keyboard->keyState(key);
        if (marks.contains(key))
            record = marks.value(key);
        record.mark = std::max(int(record.mark), mark);
        marks.insert(key, record);
    }
    keyboard->setMode(Keyboard::DisplayMode);
    keyboard->updateKeysState(marks);
}

void AnswerFeedback::markEnteredKey(int key)
{
    if (key < 0 || key >= Keyboard::KeyCount)
        return;
    Keyboard* keyboard = m_widgets.keyboard;
    KeysStateMap keys;
    for (int k = 0; k < Keyboard::KeyCount; ++k) {
        const KeyStateRecord record = keyboard->keyState(k);
        if (record.mark != Keyboard::NoMark || record.played || k == key)
            keys.insert(k, record);
    }
    keys[key].mark = Keyboard::GreenMark;
    keyboard->updateKeysState(keys);
}

void AnswerFeedback::hop()
{
    if (!m_hop)
        m_hop = new WrongRightAnswerAnimation(WrongRightAnswerAnimation::RightAnswerHop, m_widgets.scorePane,
                                              m_widgets.scoreFrame, this);
    if (m_shake)
        m_shake->stop();
    m_hop->run();
}

void AnswerFeedback::shake(bool outOfTime)
{
    if (outOfTime) {
        m_timedOut = true;
        setStatus(tr("Out of time."), "TimeoutStyle");
    }
    if (!m_shake)
        m_shake = new WrongRightAnswerAnimation(WrongRightAnswerAnimation::WrongAnswerShake, m_widgets.scorePane,
                                                m_widgets.scoreFrame, this);
    if (m_hop)
        m_hop->stop();
    m_shake->run();
}

void AnswerFeedback::clear()
{
    setBorder("RegularBorderStyle");
    m_mark = NoMark;
    m_timedOut = false;
}

void AnswerFeedback::restoreBorder()
{
    if (m_mark != NoMark)
        setBorder(m_mark == RightMark ? "CorrectAnswerBorderStyle" : "WrongAnswerBorderStyle");
}

void AnswerFeedback::setBorder(const char* property)
{
    setStyleSheetIfChanged(m_widgets.scorePane, m_widgets.scorePane->property(property).toString());
    m_widgets.scoreFrame->update();
}

void AnswerFeedback::setStatus(const QString& text, const char* styleProperty)
{
    QLabel* label = m_widgets.statusLabel;
    setStyleSheetIfChanged(label, label->property(styleProperty).toString());
    label->setText(text);
    // Screen readers hear the judgement as the label's new name (a new name is announced by
    // setAccessibleName itself, once).
    label->setAccessibleName(text.isEmpty() ? tr("Answer status") : text);
}

} // namespace UI

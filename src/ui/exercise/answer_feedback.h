#pragma once
// The judgement of an answer as the exercise screen shows it: the score pane's border, the
// buttons' colours and marks, "Right" / "Wrong" / "Out of time." in the status label, the answer
// and the verdict in the pane's name for screen readers, the hop of
// a right answer and the shake of a wrong one, the answer view with its key marks, and the
// answer sounds of the symbol trainer. The widgets are the screen's (its form); the feedback is
// given the Judgement the lesson reported. GUI thread only.

#include <QElapsedTimer>
#include <QObject>

#include <memory>

class Keyboard;
class QLabel;
class QWidget;
class SoundClip;

namespace Core {
struct Judgement;
}

namespace UI {

class FaderWidget;
class QuestionView;
class ScoreBoard;
class ShadowFrame;
class SpeakerWidget;
class WrongRightAnswerAnimation;

class AnswerFeedback : public QObject
{
    Q_OBJECT

public:
    struct Widgets
    {
        // The pane whose border shows the judgement (it keeps the border styles as properties),
        // and the frame that draws its shadow and moves with it.
        QWidget* scorePane = nullptr;
        ShadowFrame* scoreFrame = nullptr;
        QLabel* statusLabel = nullptr;
        Keyboard* keyboard = nullptr;
        FaderWidget* fader = nullptr;
        ScoreBoard* scoreBoard = nullptr;
        SpeakerWidget* speaker = nullptr;
    };

    // questions: the buttons the judgement marks.
    AnswerFeedback(const Widgets& widgets, QuestionView* questions, QObject* parent = nullptr);
    ~AnswerFeedback() override;

    // Whether judgements are also heard (the symbol trainer's answer sounds).
    void setAnswerSounds(bool on) { m_answerSounds = on; }

    // Shows `judgement`, and starts the clock of judgementAge().
    void showJudgement(const Core::Judgement& judgement);
    // A key played so far in a chord not yet complete was right: it shows green until the
    // judgement marks the whole answer.
    void markEnteredKey(int key);
    // The judgement goes out of view: the plain border, no time-out.
    void clear();
    // Forgets when the last judgement was shown.
    void forgetJudgement() { m_clock.invalidate(); }
    // Back in the exercise view: the border of the judgement still in view, if any.
    void restoreBorder();
    // The border style the pane keeps in `property`.
    void setBorder(const char* property);
    // The status label's words, in the style the label keeps in `styleProperty`.
    void setStatus(const QString& text, const char* styleProperty);
    // The last answer ran out of time, and its words are still shown.
    bool isTimedOut() const { return m_timedOut; }
    void clearTimedOut() { m_timedOut = false; }
    // Since the last judgement was shown; invalid when none is in view.
    const QElapsedTimer& judgementAge() const { return m_clock; }

private:
    enum Mark
    {
        RightMark,
        WrongMark,
        NoMark,
    };

    void showAnswerView(const Core::Judgement& judgement);
    void hop();
    void shake(bool outOfTime);

    Widgets m_widgets;
    QuestionView* m_questions = nullptr;
    Mark m_mark = NoMark;
    bool m_timedOut = false;
    bool m_answerSounds = false;
    QElapsedTimer m_clock;
    WrongRightAnswerAnimation* m_hop = nullptr;
    WrongRightAnswerAnimation* m_shake = nullptr;
    std::unique_ptr<SoundClip> m_wrongSound;
    std::unique_ptr<SoundClip> m_rightSound;
};

} // namespace UI

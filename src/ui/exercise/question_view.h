#pragma once
// The question side of the exercise screen: the asked question shown in the score pane (the
// engraved music, a picture, the animated speaker of a heard question, a chord symbol, the task's
// words, and its name for screen readers) and the answer inputs that go with it (the on-screen piano, the six multiple-choice
// buttons with their texts and marks). The widgets are the screen's (its form); the view is given
// the question the lesson reported and never asks the lesson itself. GUI thread only.

#include <QObject>
#include <QString>

#include <array>

class Keyboard;
class QLabel;
class QToolButton;
class QWidget;

namespace Core {
struct QuestionRecord;
class SettingsStore;
} // namespace Core

namespace UI {

class FaderWidget;
class QuestionPicture;
class ScoreBoard;
class SpeakerWidget;

// Sets a style sheet (for the screen's resolution) only when it differs: setting one polishes
// the widget and all its children again, which on every question and answer is worth skipping.
void setStyleSheetIfChanged(QWidget* widget, const QString& styleSheet);

class QuestionView : public QObject
{
    Q_OBJECT

public:
    static constexpr int ChoiceCount = 6;

    struct Widgets
    {
        QLabel* taskLabel = nullptr;
        FaderWidget* fader = nullptr;
        ScoreBoard* scoreBoard = nullptr;
        SpeakerWidget* speaker = nullptr;
        QuestionPicture* picture = nullptr;
        QLabel* questionText = nullptr;
        Keyboard* keyboard = nullptr;
        // The bar of the buttons; it carries their style sheets as properties.
        QWidget* choiceBar = nullptr;
        std::array<QToolButton*, ChoiceCount> choices{};
    };

    // settings: the general settings (which answer inputs the student wants); may be null.
    QuestionView(const Widgets& widgets, const Core::SettingsStore* settings, QObject* parent = nullptr);

    // The trainer the questions come from (0 note, 1 ear, 2 symbol trainer).
    void setExerciseId(size_t exerciseId) { m_exerciseId = exerciseId; }

    // Puts the piano back to playing and the buttons to their plain look.
    void resetInputs();
    // No question: the buttons answer no more.
    void clearQuestion() { m_choicesShown = false; }
    // Shows `question` (counted `serial` by the lesson) in exercise state `state`, with the
    // inputs for the trainer's input mode `answerInputMode`. keepInputRoom and keyboardAllowed
    // as for updateAnswerInputs.
    void showQuestion(const Core::QuestionRecord& question, int serial, int state, int answerInputMode,
                      bool keepInputRoom, bool keyboardAllowed);
    // The student answers by singing: the task of a heard note says so.
    void setSinging(bool singing);
    // A heard question's overlay follows its state: the speaker while it sounds, the picture
    // while the answer is awaited.
    void followState(const Core::QuestionRecord& question, int serial, int state);
    // Shows the inputs the question takes. keepInputRoom: the hidden inputs keep their room.
    // keyboardAllowed: the view in front has room for the piano.
    void updateAnswerInputs(const Core::QuestionRecord& question, int answerInputMode, bool keepInputRoom,
                            bool keyboardAllowed = true);
    // Whether the hidden keyboard and answer buttons keep their room (in a lesson) or give it to
    // the view in front (the reference, the tempo page).
    void keepInputRoom(bool keep);

    // The buttons' texts back to "--", unmarked.
    void clearChoices();
    // Marks button `id` (1 to 6) as the right answer or as a wrong choice.
    void markChoice(int id, bool right);
    // Sets button `id`'s look to the style sheet the bar keeps in `property`.
    void setChoiceStyle(int id, const char* property);
    // Writes the buttons' texts again for their present width.
    void relayChoiceTexts();
    // Whether the keys 1-6 and the buttons answer now.
    bool choicesShown() const { return m_choicesShown; }
    // Answers with button `id` as a click would, if it is shown and enabled.
    void clickChoice(int id);
    void setChoicesEnabled(bool enabled);
    QToolButton* choiceButton(int id) const;

    // Whether `kind` of question is heard (the ear and tempo questions).
    static bool isHeard(int kind);

Q_SIGNALS:
    // The student chose button `index` (0 to 5).
    void choiceClicked(int index);

private:
    QString taskText(int questionKind) const;
    void showOverlayFor(const Core::QuestionRecord& question, int state);
    void setChoiceTexts(const Core::QuestionRecord& question);
    // Writes button `id`'s text and accessible name from its label and mark.
    void setChoiceText(int id);
    bool settingsShowKeyboard() const;
    bool settingsShowChoices() const;

    Widgets m_widgets;
    const Core::SettingsStore* m_settings = nullptr;
    size_t m_exerciseId = size_t(-1);
    bool m_choicesShown = false;
    bool m_singing = false;
    int m_shownKind = -1;
    // The question shown (by the lesson's count of questions asked) and the exercise state its
    // overlay was chosen for.
    int m_shownSerial = -1;
    int m_overlayState = -1;
    std::array<QString, ChoiceCount> m_labels;
    std::array<QString, ChoiceCount> m_marks;
};

} // namespace UI

#pragma once
// Lessons of their own for what the other lessons leave to chance, after the main window's
// dialogs: the note-length section of the symbol trainer asking only the 128th note and rest,
// with its first question let run out of time so that the countdown is seen full, at half, in
// its last seconds and empty; an ear-trainer lesson heard again and left for the settings,
// whose play card waits over the question when the Exercise tab brings it back; and an ear-trainer
// quiz of several sections, whose section buttons take no click and whose one replay is used up;
// a note-trainer lesson answered on the computer keyboard; and the statistics view's insight over
// an answer log of earlier weeks: the common mistakes and a pair of them shown, the progress
// chart over each span with a day's values, the symbol trainer's extended page with its column,
// and the first page of a note-trainer worksheet.
// Each lesson has the settings it needs for as long as it runs; the block is put back after it.

#include "core/exercise/lesson_session.h"
#include "core/exercise/trainer_settings.h"

#include <QString>

#include <cstddef>
#include <functional>

class Album;
class Application;
class QToolButton;
class QWidget;
class TourWindow;

class FeatureMoments
{
public:
    FeatureMoments(Application& app, TourWindow& window, Album& album)
        : app(app), window(window), album(album)
    {
    }

    // Every moment; with `only` (CANTORELA_TOUR_ONLY), only the one of that name ("insight").
    bool Run(const QString& only = QString());

private:
    // The symbol trainer's 128th note and rest, and the countdown of a timed question.
    bool ShortestLengths();
    // The ear trainer's Hear again button, and the play card after a visit to the settings.
    bool HearAgain();
    // The section bar of an ear-trainer quiz and its Hear again button after the one replay.
    bool QuizSections();
    // The computer keyboard as a piano: its letters on the keys, the window an octave up with
    // Page Up, and a wrong answer played by letter with its marks on the keys.
    bool ComputerKeyboard();
    // The focus ring moved by Tab over the home screen and a lesson, the colour-blind palette on
    // a judged answer, and the keyboard and sound check of the General settings tab.
    bool Access();
    // The statistics view's common mistakes, progress chart and worksheet, over answers logged on
    // earlier days.
    bool Insight();
    // Answers of earlier runs in the log: a few weeks of a section, mistakes in `pairs` (asked,
    // answered), accuracy rising and answer times falling towards today.
    void LogEarlierWeeks(size_t trainer, int section, const std::vector<std::pair<int, int>>& pairs,
                         const std::vector<int>& rightItems);

    // Opens a lesson of `trainer` with the block of `quiz` as `edit` leaves it (the block in
    // force is kept to be put back), puts the MIDI notice away and waits for the first question.
    bool Open(size_t trainer, bool quiz, const std::function<void(Core::TrainerSettings&)>& edit,
              unsigned seed);
    // Leaves the lesson for the home screen and puts the block back.
    bool Close();

    Core::LessonSnapshot Lesson() const;
    // A question after `asked` questions awaits its answer with the lesson running; the space bar
    // goes on when the lesson waits for it (after a mistake).
    bool WaitForQuestion(int asked);
    // What the countdown tells a screen reader: the whole seconds left; -1 without it.
    int SecondsLeft() const;
    QToolButton* HearAgainButton() const;
    // A click where the student sees `target`, delivered to the window as a mouse click is, so
    // that it reaches whatever takes the pointer there.
    void ClickOnScreen(QWidget* target) const;
    // Answers the question right with its choice button.
    bool AnswerRight();
    // The short name of the question's section ("Single Notes").
    QString SectionName() const;
    // "Note Lengths, 128th note" or "..., 128th rest", from the question's picture.
    QString LengthName() const;
    void Warn(const QString& what) const;

    Application& app;
    TourWindow& window;
    Album& album;
    size_t trainer = 0;
    bool quiz = false;
    // The block in force before the lesson's own, put back when it closes.
    Core::TrainerSettings saved;
};

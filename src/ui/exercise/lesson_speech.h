#pragma once
// What a screen reader hears of the question in the score pane and of the judgement of its
// answer. The question is named without giving it away: its staff and how many notes it shows
// ("Treble clef, one note", "Grand staff, chord of three notes"), or what is heard ("Listen: a
// chord"), or the task ("Music symbol"). The judgement says the answer, the verdict and, after a
// mistake, what was asked ("Your answer: G4, wrong. Asked: A4"; "Your answer: C4 E4 G4, right.";
// "No answer, out of time. Asked: A4"). Notes are named as the piano's keys are (middle C is
// C4), with flats where the question is spelled with flats; a choice is named by its button's
// text. Any thread.

#include <QCoreApplication>
#include <QString>

namespace Core {
struct Judgement;
struct QuestionRecord;
} // namespace Core

namespace UI {

class LessonSpeech
{
    Q_DECLARE_TR_FUNCTIONS(UI::LessonSpeech)

public:
    LessonSpeech() = delete;

    static QString question(const Core::QuestionRecord& question);
    static QString judgement(const Core::Judgement& judgement);
};

} // namespace UI

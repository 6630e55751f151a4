#pragma once
// The note-reading trainer: a note, an interval or a chord shown on a staff (and sounded), named
// on the keyboard or with six answer buttons. Three sections over the note, interval and chord
// pools; each draw follows the settings in force and picks the staff: with both clefs allowed
// the staves alternate from question to question across exercises, unless the notes are too low
// for the treble staff or too high for the bass staff.

#include "core/exercise/exercise.h"

namespace Core {

class ExerciseNoteTrainer : public Exercise
{
public:
    enum SectionIndex
    {
        SingleNotesSection = 0,
        IntervalsSection = 1,
        ChordsSection = 2,
    };
    // Keys below this go to the bass staff; keys above HighestBassKey to the treble staff.
    static constexpr int LowestTrebleKey = 25; // A#2
    static constexpr int HighestBassKey = 54;  // D#5

    explicit ExerciseNoteTrainer(const TrainerSettingsSource* settings = nullptr);
    ~ExerciseNoteTrainer() override;

    int AnswerInputMode(const QuestionRecord& question) override;
    int QuestionKey(int section, int id) override;
    QString QuestionLabel(int section, int id) override;
    std::shared_ptr<const QuestionData> ItemOf(int section, qint32 key) const override;
    bool IsSameAnswer(int section, int a, int b) override;
    QString AnswerText(int section, int id) override;
    void ChoiceIds(int section, std::vector<int>& out) override;
    QByteArray DrawAnswerView(const QuestionRecord& question, const Answer& answer,
                              QVector<QPair<int, int>>& keys) override;
    void SetUpSections() override;

    // The staff of a question whose lowest key is `key` (true: treble) under the clef switches,
    // given the staff of the previous question; used for the draw and its tests.
    static bool ChooseTrebleClef(bool gClef, bool fClef, int key, bool previousTreble);

protected:
    void RegisterSections(std::vector<SectionTitle>& out) override;
    void InitQuestionRecord(int section, std::vector<QuestionRecord>& pool) override;
    bool DrawQuestion(int section, QuestionRecord& question) override;
};

} // namespace Core

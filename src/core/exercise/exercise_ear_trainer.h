#pragma once
// The ear trainer: a note, an interval, a chord, a scale or a tempo piece is played and named on
// the keyboard (notes) or with six answer buttons. Five sections over the note, interval, chord
// and scale pools and the tempo pieces of the piece bank; each draw follows the settings in
// force. The score of the asked item (revealed after the answer) stands on the treble staff
// unless its notes lie below middle C on average.

#include "core/exercise/exercise.h"
#include "core/exercise/trainer_support.h"

#include <QCoreApplication>

#include <memory>

namespace Core {

class MidiBank;

class ExerciseEarTrainer : public Exercise
{
    Q_DECLARE_TR_FUNCTIONS(Core::ExerciseEarTrainer)
public:
    enum SectionIndex
    {
        SingleNotesSection = 0,
        IntervalsSection = 1,
        ChordsSection = 2,
        ScalesSection = 3,
        TempoSection = 4,
    };

    // Without a bank every tempo gets one made-up run of notes instead of pieces.
    explicit ExerciseEarTrainer(const TrainerSettingsSource* settings = nullptr,
                                std::shared_ptr<MidiBank> bank = nullptr);
    ~ExerciseEarTrainer() override;

    int AnswerInputMode(const QuestionRecord& question) override;
    bool CanBeSung(int section) const override { return section == SingleNotesSection; }
    int QuestionKey(int section, int id) override;
    QString QuestionLabel(int section, int id) override;
    std::shared_ptr<const QuestionData> ItemOf(int section, qint32 key) const override;
    bool IsSameAnswer(int section, int a, int b) override;
    QString AnswerText(int section, int id) override;
    void ChoiceIds(int section, std::vector<int>& out) override;
    QByteArray DrawAnswerView(const QuestionRecord& question, const Answer& answer,
                              QVector<QPair<int, int>>& keys) override;
    void SetUpSections() override;

    const TrainerSupport::TempoPieces& GetTempoPieces() const { return tempoPieces; }

protected:
    void RegisterSections(std::vector<SectionTitle>& out) override;
    void InitQuestionRecord(int section, std::vector<QuestionRecord>& pool) override;
    bool DrawQuestion(int section, QuestionRecord& question) override;

private:
    TrainerSupport::TempoPieces tempoPieces; // read once at construction, read-only afterwards
};

} // namespace Core

#pragma once
// The music-symbol trainer: the picture of a note or rest length, a key signature, a tempo
// marking, a loudness mark or a note modifier is shown and named with six answer buttons. The
// item tables are built once per process; the tempo markings come with the pieces of the piece
// bank, and their buttons read the tempo's description ("Very slow\n (40-60 bpm)").

#include "core/exercise/exercise.h"
#include "core/exercise/question_pools.h"
#include "core/exercise/trainer_support.h"

#include <QCoreApplication>

#include <memory>

namespace Core {

class MidiBank;

class ExerciseSymbolTrainer : public Exercise
{
    Q_DECLARE_TR_FUNCTIONS(Core::ExerciseSymbolTrainer)
public:
    enum SectionIndex
    {
        LengthsSection = 0,
        SignaturesSection = 1,
        TempoSection = 2,
        LoudnessSection = 3,
        ModifiersSection = 4,
    };

    explicit ExerciseSymbolTrainer(const TrainerSettingsSource* settings = nullptr,
                                   std::shared_ptr<MidiBank> bank = nullptr);
    ~ExerciseSymbolTrainer() override;

    // The item table of a picture section (caption: picture, caption2: label; the id is the
    // row); empty for the tempo section and unknown sections.
    static const QuestionPool& ItemTable(int section);
    // The two pictures of a key signature row.
    static QString SignaturePicture(int row, bool treble);
    // The sharps (positive) or flats (negative) of a key signature row; 0 outside the table.
    static int SignatureAccidentals(int row);

    int AnswerInputMode(const QuestionRecord& question) override;
    bool AcceptsKeyAnswers() override;
    QString QuestionLabel(int section, int id) override;
    // A tempo marking's item names what it means (its description), as its answer button does.
    std::shared_ptr<const QuestionData> ItemOf(int section, qint32 key) const override;
    bool IsSameAnswer(int section, int a, int b) override;
    QString AnswerText(int section, int id) override;
    void ChoiceIds(int section, std::vector<int>& out) override;
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

#include "core/exercise/exercise_ear_trainer.h"

#include "core/exercise/music_tables.h"
#include "core/exercise/question_scale_data.h"
#include "core/exercise/tempo_provider.h"
#include "core/midi/midi_bank.h"
#include "core/score_builder.h"

#include <QCoreApplication>

#include <cstdlib>

namespace Core {
namespace {

bool IsPitched(int section)
{
    return section >= ExerciseEarTrainer::SingleNotesSection && section <= ExerciseEarTrainer::ScalesSection;
}

TrainerSupport::PitchedPool PoolKind(int section)
{
    static const TrainerSupport::PitchedPool kinds[] = {
        TrainerSupport::PitchedPool::Notes, TrainerSupport::PitchedPool::Intervals,
        TrainerSupport::PitchedPool::Chords, TrainerSupport::PitchedPool::Scales};
    return kinds[section];
}

} // namespace

ExerciseEarTrainer::ExerciseEarTrainer(const TrainerSettingsSource* settings, std::shared_ptr<MidiBank> pieceBank)
{
    // The pieces are read once; a piece that failed to load stays out of this exercise.
    tempoPieces.Build(pieceBank);
    SetSettingsSource(settings);
    Initialize(nullptr, EarTrainerIndex);
    Reset();
}

ExerciseEarTrainer::~ExerciseEarTrainer()
{
    Shutdown();
}

void ExerciseEarTrainer::RegisterSections(std::vector<SectionTitle>& out)
{
    out.push_back({tr("Single Notes"), tr("Train Single Notes")});
    out.push_back({tr("Intervals"), tr("Train Intervals")});
    out.push_back({tr("Chords"), tr("Train Chords")});
    out.push_back({tr("Scales"), tr("Train Scales")});
    out.push_back({tr("Tempo"), tr("Train Tempo")});
    GetNotePool();
    GetIntervalPool();
    GetChordPool();
    GetScalePool();
}

void ExerciseEarTrainer::InitQuestionRecord(int, std::vector<QuestionRecord>& pool)
{
    QuestionRecord record;
    record.kind = QuestionRecord::EarQuestion;
    record.answerModes = QuestionRecord::NotesMode;
    pool.push_back(record);
}

void ExerciseEarTrainer::SetUpSections()
{
    TrainerSettings settings;
    if (!ReadSettings(settings))
        return;
    const EarTrainerSettings& s = settings.earTrainer;
    ApplyDurations({&s.singleNotes.duration, &s.intervals.duration, &s.chords.duration, &s.scales.duration,
                    &s.tempo.duration});
}

bool ExerciseEarTrainer::DrawQuestion(int section, QuestionRecord& question)
{
    TrainerSettings settings;
    if (!ReadSettings(settings))
        return false;
    const EarTrainerSettings& s = settings.earTrainer;
    question.kind = QuestionRecord::EarQuestion;
    question.answerModes = QuestionRecord::NotesMode | QuestionRecord::ChoiceMode;
    question.option2 = (std::rand() & 1) != 0;

    if (section == TempoSection) {
        TrainerSupport::TempoPieceValidator validator(&s.tempo, tempoPieces);
        std::vector<unsigned> ids;
        const int position = DrawCandidates(TrainerSupport::TempoPieces::IdBound(), &validator,
                                            &TempoProvider::Instance(), ids);
        if (position < 0)
            return false;
        question.kind = QuestionRecord::TempoQuestion;
        question.answerModes = QuestionRecord::ChoiceMode;
        question.correctIndex = position;
        question.candidates.clear();
        for (unsigned id : ids) {
            std::shared_ptr<const QuestionData> entry = tempoPieces.Entry(id);
            if (!entry)
                return false;
            question.candidates.push_back(std::move(entry));
        }
        return true;
    }

    if (!IsPitched(section))
        return false;
    const TrainerSupport::PitchedPool kind = PoolKind(section);
    const TrainerSupport::PitchedSettings records{&s.singleNotes.diapason, &s.intervals, &s.chords, &s.scales};
    if (!TrainerSupport::DrawPitched(*this, kind, records, question))
        return false;

    bool descending = false;
    if (section == ScalesSection) {
        const bool up = s.scales[ScaleSwitch::Ascending];
        const bool down = s.scales[ScaleSwitch::Descending];
        descending = up && down ? (std::rand() & 1) != 0 : !up;
        if (descending) {
            // Every candidate is heard the way the question is.
            for (auto& candidate : question.candidates) {
                auto scale = std::dynamic_pointer_cast<const QuestionScaleData>(candidate);
                auto descending = std::make_shared<QuestionScaleData>(*scale);
                descending->stream = scale->descendingStream;
                candidate = std::move(descending);
            }
        }
    }

    std::shared_ptr<QuestionData> asked = TrainerSupport::CopyItem(question.AskedItem());
    QVector<int> keys = TrainerSupport::EntryKeys(asked.get());
    if (TrainerSupport::SoundsTogether(kind, records) && asked->stream)
        asked->stream = TrainerSupport::TogetherStream(*asked->stream);
    if (descending) {
        const auto* scale = static_cast<const QuestionScaleData*>(asked.get());
        keys = QVector<int>(scale->descendingKeys.begin(), scale->descendingKeys.end());
    }
    question.option1 = TrainerSupport::TrebleForSound(asked->stream.get());
    asked->gmn = ScoreBuilder::WriteQuestion(keys, question.option1, question.option2, TrainerSupport::GmnMode(kind));
    question.candidates[size_t(question.correctIndex)] = std::move(asked);
    return true;
}

int ExerciseEarTrainer::AnswerInputMode(const QuestionRecord&)
{
    return GetCurrentSection() == TempoSection ? 1 : 2;
}

int ExerciseEarTrainer::QuestionKey(int section, int id)
{
    return IsPitched(section) ? TrainerSupport::PitchedKey(PoolKind(section), id) : -1;
}

QString ExerciseEarTrainer::QuestionLabel(int section, int id)
{
    if (section == TempoSection)
        return TrainerSupport::TempoLabel(id);
    return IsPitched(section) ? TrainerSupport::PitchedLabel(PoolKind(section), id)
                              : Exercise::QuestionLabel(section, id);
}

std::shared_ptr<const QuestionData> ExerciseEarTrainer::ItemOf(int section, qint32 key) const
{
    if (section == TempoSection)
        return key >= 0 ? tempoPieces.Find(unsigned(key)) : nullptr;
    return IsPitched(section) ? TrainerSupport::PitchedItem(PoolKind(section), key) : nullptr;
}

bool ExerciseEarTrainer::IsSameAnswer(int section, int a, int b)
{
    if (section == TempoSection)
        return TrainerSupport::SameTempo(a, b);
    return IsPitched(section) ? TrainerSupport::PitchedSameAnswer(PoolKind(section), a, b) : a == b;
}

QString ExerciseEarTrainer::AnswerText(int section, int id)
{
    if (section == TempoSection)
        return TrainerSupport::TempoLabel(id);
    return IsPitched(section) ? TrainerSupport::PitchedAnswerText(PoolKind(section), id) : QString();
}

void ExerciseEarTrainer::ChoiceIds(int section, std::vector<int>& out)
{
    if (section == TempoSection)
        TrainerSupport::TempoChoiceIds(out);
    else if (IsPitched(section))
        TrainerSupport::PitchedChoiceIds(PoolKind(section), out);
}

QByteArray ExerciseEarTrainer::DrawAnswerView(const QuestionRecord& question, const Answer& answer,
                                              QVector<QPair<int, int>>& keys)
{
    if (question.kind == QuestionRecord::TempoQuestion) {
        keys.clear();
        return QByteArray();
    }
    // The keys played are marked as they were judged; an interval or a scale answered on the
    // screen shows the first note heard.
    const QuestionData* item = question.AskedItem();
    const bool firstNote = TrainerSupport::IsInterval(item) || TrainerSupport::IsScale(item);
    return AnswerView(question, answer, question.option1, question.option2, firstNote, keys);
}

} // namespace Core

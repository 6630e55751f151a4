#include "core/exercise/exercise_ear_trainer.h"

#include "core/exercise/chord_provider.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_pools.h"
#include "core/exercise/question_scale_data.h"
#include "core/exercise/question_validators.h"
#include "core/exercise/root_note_provider.h"
#include "core/exercise/tempo_provider.h"
#include "core/midi/midi_bank.h"
#include "core/score_builder.h"

#include <QCoreApplication>

#include <cstdlib>

namespace Core {
namespace {

const QuestionPool& SectionPool(int section)
{
    switch (section) {
    case ExerciseEarTrainer::IntervalsSection:
        return GetIntervalPool();
    case ExerciseEarTrainer::ChordsSection:
        return GetChordPool();
    case ExerciseEarTrainer::ScalesSection:
        return GetScalePool();
    default:
        return GetNotePool();
    }
}

QString Tr(const char* text)
{
    return QCoreApplication::translate("Core::ExerciseEarTrainer", text);
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
    out.push_back({Tr("Single Notes"), Tr("Train Single Notes")});
    out.push_back({Tr("Intervals"), Tr("Train Intervals")});
    out.push_back({Tr("Chords"), Tr("Train Chords")});
    out.push_back({Tr("Scales"), Tr("Train Scales")});
    out.push_back({Tr("Tempo"), Tr("Train Tempo")});
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
    std::vector<Section> table;
    for (const DurationSettings* d : {&s.singleNotes.duration, &s.intervals.duration, &s.chords.duration,
                                      &s.scales.duration, &s.tempo.duration})
        table.push_back({d->questions, d->seconds * 1000});
    ApplySettings(table, SettingsInstrument());
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

    std::vector<unsigned> ids;
    int position = -1;
    switch (section) {
    case SingleNotesSection: {
        NoteValidator validator(&s.singleNotes.diapason);
        position = DrawCandidates(unsigned(GetNotePool().size()), &validator, nullptr, ids);
        break;
    }
    case IntervalsSection: {
        IntervalValidator validator(&s.intervals);
        position = DrawCandidates(unsigned(GetIntervalPool().size()), &validator, &RootNoteProvider::Intervals(),
                                  ids);
        break;
    }
    case ChordsSection: {
        ChordValidator validator(&s.chords);
        position = DrawCandidates(unsigned(GetChordPool().size()), &validator, &ChordProvider::Instance(), ids);
        break;
    }
    case ScalesSection: {
        ScaleValidator validator(&s.scales);
        position = DrawCandidates(unsigned(GetScalePool().size()), &validator, &RootNoteProvider::Scales(), ids);
        break;
    }
    case TempoSection: {
        TrainerSupport::TempoPieceValidator validator(&s.tempo, tempoPieces);
        position = DrawCandidates(TrainerSupport::TempoPieces::IdBound(), &validator, &TempoProvider::Instance(),
                                  ids);
        break;
    }
    default:
        return false;
    }
    if (position < 0)
        return false;
    question.correctIndex = position;
    question.candidates.clear();

    if (section == TempoSection) {
        question.kind = QuestionRecord::TempoQuestion;
        question.answerModes = QuestionRecord::ChoiceMode;
        for (unsigned id : ids) {
            std::shared_ptr<const QuestionData> entry = tempoPieces.Entry(id);
            if (!entry)
                return false;
            question.candidates.push_back(std::move(entry));
        }
        return true;
    }

    const QuestionPool& pool = SectionPool(section);
    bool descending = false;
    if (section == ScalesSection) {
        const bool up = s.scales[ScaleSwitch::Ascending];
        const bool down = s.scales[ScaleSwitch::Descending];
        descending = up && down ? (std::rand() & 1) != 0 : !up;
    }
    for (unsigned id : ids) {
        if (!descending) {
            question.candidates.push_back(pool[id]);
            continue;
        }
        // Every candidate is heard the way the question is.
        auto scale = std::dynamic_pointer_cast<const QuestionScaleData>(pool[id]);
        auto down = std::make_shared<QuestionScaleData>(*scale);
        down->stream = scale->descendingStream;
        question.candidates.push_back(std::move(down));
    }

    std::shared_ptr<QuestionData> asked = TrainerSupport::CopyItem(question.AskedItem());
    QVector<int> keys = TrainerSupport::EntryKeys(asked.get());
    int gmnMode = 1;
    switch (section) {
    case IntervalsSection:
        gmnMode = 2;
        if (!s.intervals.arpeggiated && asked->stream)
            asked->stream = TrainerSupport::TogetherStream(*asked->stream);
        break;
    case ChordsSection:
        gmnMode = 3;
        if (!s.chords[ChordSwitch::Arpeggiated] && asked->stream)
            asked->stream = TrainerSupport::TogetherStream(*asked->stream);
        break;
    case ScalesSection:
        gmnMode = 0;
        if (descending) {
            const auto* scale = static_cast<const QuestionScaleData*>(asked.get());
            keys = QVector<int>(scale->descendingKeys.begin(), scale->descendingKeys.end());
        }
        break;
    default:
        break;
    }
    question.option1 = TrainerSupport::TrebleForSound(asked->stream.get());
    asked->gmn = ScoreBuilder::WriteQuestion(keys, question.option1, question.option2, gmnMode);
    question.candidates[size_t(position)] = std::move(asked);
    return true;
}

int ExerciseEarTrainer::AnswerInputMode(const QuestionRecord&)
{
    return GetCurrentSection() == TempoSection ? 1 : 2;
}

int ExerciseEarTrainer::QuestionKey(int section, int id)
{
    switch (section) {
    case SingleNotesSection:
        return id >= 0 && id < MusicTables::KeyCount ? id : -1;
    case IntervalsSection:
    case ChordsSection:
    case ScalesSection:
        return TrainerSupport::EntryRootKey(SectionPool(section), id);
    default:
        return -1;
    }
}

QString ExerciseEarTrainer::QuestionLabel(int section, int id)
{
    switch (section) {
    case SingleNotesSection:
        return MusicTables::NoteLabel(id, false);
    case IntervalsSection:
    case ChordsSection:
    case ScalesSection: {
        const QuestionPool& pool = SectionPool(section);
        if (id >= 0 && size_t(id) < pool.size())
            return TrainerSupport::OneLine(pool[size_t(id)]->caption2);
        if (section == IntervalsSection)
            return MusicTables::IntervalName(-1);
        return section == ChordsSection ? MusicTables::ChordSuffix(-1) : MusicTables::ScaleName(-1);
    }
    case TempoSection:
        if (id < 0 || unsigned(id) >= TrainerSupport::TempoPieces::IdBound())
            return QString();
        return TrainerSupport::OneLine(MusicTables::TempoName(id / MusicTables::PiecesPerTempo));
    default:
        return Exercise::QuestionLabel(section, id);
    }
}

bool ExerciseEarTrainer::IsSameAnswer(int section, int a, int b)
{
    switch (section) {
    case SingleNotesSection:
        return MusicTables::PitchClass(a) == MusicTables::PitchClass(b);
    case IntervalsSection:
    case ChordsSection: {
        const int typeA = TrainerSupport::ChordEntryType(SectionPool(section), a);
        return typeA >= 0 && typeA == TrainerSupport::ChordEntryType(SectionPool(section), b);
    }
    case ScalesSection:
        return a / MusicTables::ScaleRootCount == b / MusicTables::ScaleRootCount;
    case TempoSection:
        return a / MusicTables::PiecesPerTempo == b / MusicTables::PiecesPerTempo;
    default:
        return a == b;
    }
}

QString ExerciseEarTrainer::AnswerText(int section, int id)
{
    switch (section) {
    case SingleNotesSection:
        return MusicTables::NoteName(id >= 0 && id < MusicTables::KeyCount ? MusicTables::PitchClass(id) : -1, false);
    case IntervalsSection:
        return MusicTables::IntervalName(TrainerSupport::ChordEntryType(GetIntervalPool(), id));
    case ChordsSection:
        return MusicTables::ChordSuffix(TrainerSupport::ChordEntryType(GetChordPool(), id));
    case ScalesSection:
        return MusicTables::ScaleName(id >= 0 ? id / MusicTables::ScaleRootCount : -1);
    case TempoSection:
        return QuestionLabel(section, id);
    default:
        return QString();
    }
}

void ExerciseEarTrainer::ChoiceIds(int section, std::vector<int>& out)
{
    switch (section) {
    case SingleNotesSection:
        for (int key = 3; key <= 14; ++key)
            out.push_back(key);
        break;
    case IntervalsSection:
        for (int id : TrainerSupport::IntervalChoiceIds())
            out.push_back(id);
        break;
    case ChordsSection:
        for (int id : TrainerSupport::ChordChoiceIds())
            out.push_back(id);
        break;
    case ScalesSection:
        // Scale s on root 2s: one button a scale.
        for (int scale = 0; scale < MusicTables::ScaleCount; ++scale)
            out.push_back(scale * (MusicTables::ScaleRootCount + 2));
        break;
    case TempoSection:
        for (int id : TrainerSupport::TempoChoiceIds())
            out.push_back(id);
        break;
    default:
        break;
    }
}

QByteArray ExerciseEarTrainer::DrawAnswerView(const QuestionRecord& question, const Answer& answer,
                                              QVector<QPair<int, int>>& keys)
{
    if (question.kind == QuestionRecord::TempoQuestion) {
        keys.clear();
        return QByteArray();
    }
    // Of an interval or a scale only the first note played is compared, with the first heard.
    const QuestionData* item = question.AskedItem();
    const auto* chord = dynamic_cast<const QuestionChordData*>(item);
    const bool firstNote = (chord && chord->keys.size() == 2) || dynamic_cast<const QuestionScaleData*>(item);
    return AnswerView(question, answer, question.option1, question.option2, firstNote, keys);
}

} // namespace Core

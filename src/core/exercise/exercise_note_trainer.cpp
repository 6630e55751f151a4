#include "core/exercise/exercise_note_trainer.h"

#include "core/exercise/music_tables.h"
#include "core/exercise/question_note_data.h"
#include "core/exercise/trainer_support.h"
#include "core/score_builder.h"

#include <QCoreApplication>

#include <atomic>
#include <cstdlib>

namespace Core {
namespace {

// The staff of the last question drawn by any note trainer of this process; bass at first.
std::atomic<bool> previousTrebleClef{false};

bool IsPitched(int section)
{
    return section >= ExerciseNoteTrainer::SingleNotesSection && section <= ExerciseNoteTrainer::ChordsSection;
}

TrainerSupport::PitchedPool PoolKind(int section)
{
    static const TrainerSupport::PitchedPool kinds[] = {
        TrainerSupport::PitchedPool::Notes, TrainerSupport::PitchedPool::Intervals,
        TrainerSupport::PitchedPool::Chords};
    return kinds[section];
}

} // namespace

ExerciseNoteTrainer::ExerciseNoteTrainer(const TrainerSettingsSource* settings)
{
    SetSettingsSource(settings);
    Initialize(nullptr, NoteTrainerIndex);
    Reset();
}

ExerciseNoteTrainer::~ExerciseNoteTrainer()
{
    Shutdown();
}

void ExerciseNoteTrainer::RegisterSections(std::vector<SectionTitle>& out)
{
    out.push_back({QCoreApplication::translate("Core::ExerciseNoteTrainer", "Single Notes"),
                   QCoreApplication::translate("Core::ExerciseNoteTrainer", "Train Single Notes")});
    out.push_back({QCoreApplication::translate("Core::ExerciseNoteTrainer", "Intervals"),
                   QCoreApplication::translate("Core::ExerciseNoteTrainer", "Train Intervals")});
    out.push_back({QCoreApplication::translate("Core::ExerciseNoteTrainer", "Chords"),
                   QCoreApplication::translate("Core::ExerciseNoteTrainer", "Train Chords")});
    // The pools are built once per process; building them here keeps the first draw quick.
    GetNotePool();
    GetIntervalPool();
    GetChordPool();
}

void ExerciseNoteTrainer::InitQuestionRecord(int, std::vector<QuestionRecord>& pool)
{
    QuestionRecord record;
    record.kind = QuestionRecord::NoteReadingQuestion;
    record.answerModes = QuestionRecord::NotesMode;
    pool.push_back(record);
}

void ExerciseNoteTrainer::SetUpSections()
{
    TrainerSettings settings;
    if (!ReadSettings(settings))
        return;
    const NoteTrainerSettings& s = settings.noteTrainer;
    ApplyDurations({&s.singleNotes.duration, &s.intervals.duration, &s.chords.duration});
}

bool ExerciseNoteTrainer::ChooseTrebleClef(bool gClef, bool fClef, int key, bool previousTreble)
{
    if (gClef && fClef) {
        const bool treble = !previousTreble;
        if (treble && key < LowestTrebleKey)
            return false;
        if (!treble && key > HighestBassKey)
            return true;
        return treble;
    }
    if (fClef)
        return key > HighestBassKey;
    return key >= LowestTrebleKey;
}

bool ExerciseNoteTrainer::DrawQuestion(int section, QuestionRecord& question)
{
    TrainerSettings settings;
    if (!ReadSettings(settings))
        return false;
    const NoteTrainerSettings& s = settings.noteTrainer;
    question.kind = QuestionRecord::NoteReadingQuestion;
    question.answerModes = QuestionRecord::NotesMode | QuestionRecord::ChoiceMode;
    question.option2 = (std::rand() & 1) != 0;

    if (!IsPitched(section))
        return false;
    const TrainerSupport::PitchedPool kind = PoolKind(section);
    const TrainerSupport::PitchedSettings records{&s.singleNotes.diapason, &s.intervals, &s.chords};
    if (!TrainerSupport::DrawPitched(*this, kind, records, question))
        return false;

    const QVector<int> keys = TrainerSupport::EntryKeys(question.AskedItem());
    if (keys.isEmpty())
        return false;
    const ClefSettings& clefs = section == IntervalsSection ? s.intervals.clefs
                                : section == ChordsSection  ? s.chords.clefs
                                                            : s.singleNotes.clefs;
    question.option1 = ChooseTrebleClef(clefs.gClef, clefs.fClef, keys.first(), previousTrebleClef.load());
    previousTrebleClef.store(question.option1);

    if (section == ChordsSection && s.chords[ChordSwitch::ChordNotation]) {
        question.kind = QuestionRecord::ChordSymbolQuestion;
        question.answerModes = QuestionRecord::NotesMode;
    }
    // The asked item carries the question's own score (its staff and spelling) and, unless the
    // notes are to be heard one after another, sounds them together.
    std::shared_ptr<QuestionData> asked = TrainerSupport::CopyItem(question.AskedItem());
    if (TrainerSupport::SoundsTogether(kind, records) && asked->stream)
        asked->stream = TrainerSupport::TogetherStream(*asked->stream);
    asked->gmn = ScoreBuilder::WriteQuestion(keys, question.option1, question.option2, TrainerSupport::GmnMode(kind));
    question.candidates[size_t(question.correctIndex)] = std::move(asked);
    return true;
}

int ExerciseNoteTrainer::AnswerInputMode(const QuestionRecord& question)
{
    return question.kind == QuestionRecord::ChordSymbolQuestion ? 0 : 2;
}

int ExerciseNoteTrainer::QuestionKey(int section, int id)
{
    return IsPitched(section) ? TrainerSupport::PitchedKey(PoolKind(section), id) : -1;
}

QString ExerciseNoteTrainer::QuestionLabel(int section, int id)
{
    return IsPitched(section) ? TrainerSupport::PitchedLabel(PoolKind(section), id)
                              : Exercise::QuestionLabel(section, id);
}

std::shared_ptr<const QuestionData> ExerciseNoteTrainer::ItemOf(int section, qint32 key) const
{
    return IsPitched(section) ? TrainerSupport::PitchedItem(PoolKind(section), key) : nullptr;
}

bool ExerciseNoteTrainer::IsSameAnswer(int section, int a, int b)
{
    return IsPitched(section) ? TrainerSupport::PitchedSameAnswer(PoolKind(section), a, b) : a == b;
}

QString ExerciseNoteTrainer::AnswerText(int section, int id)
{
    return IsPitched(section) ? TrainerSupport::PitchedAnswerText(PoolKind(section), id) : QString();
}

void ExerciseNoteTrainer::ChoiceIds(int section, std::vector<int>& out)
{
    if (IsPitched(section))
        TrainerSupport::PitchedChoiceIds(PoolKind(section), out);
}

QByteArray ExerciseNoteTrainer::DrawAnswerView(const QuestionRecord& question, const Answer& answer,
                                               QVector<QPair<int, int>>& keys)
{
    // The keys played are marked as they were judged; an interval answered on the screen shows
    // its lower note.
    return AnswerView(question, answer, question.option1, question.option2,
                      TrainerSupport::IsInterval(question.AskedItem()), keys);
}

} // namespace Core

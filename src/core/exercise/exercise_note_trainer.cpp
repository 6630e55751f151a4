#include "core/exercise/exercise_note_trainer.h"

#include "core/exercise/chord_provider.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_note_data.h"
#include "core/exercise/question_pools.h"
#include "core/exercise/question_validators.h"
#include "core/exercise/root_note_provider.h"
#include "core/exercise/trainer_support.h"
#include "core/score_builder.h"

#include <QCoreApplication>

#include <atomic>
#include <cstdlib>

namespace Core {
namespace {

// The staff of the last question drawn by any note trainer of this process; bass at first.
std::atomic<bool> previousTrebleClef{false};

const QuestionPool& SectionPool(int section)
{
    switch (section) {
    case ExerciseNoteTrainer::IntervalsSection:
        return GetIntervalPool();
    case ExerciseNoteTrainer::ChordsSection:
        return GetChordPool();
    default:
        return GetNotePool();
    }
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
    std::vector<Section> table;
    for (const DurationSettings* d : {&s.singleNotes.duration, &s.intervals.duration, &s.chords.duration})
        table.push_back({d->questions, d->seconds * 1000});
    ApplySettings(table, SettingsInstrument());
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

    const QuestionPool& pool = SectionPool(section);
    std::vector<unsigned> ids;
    int position = -1;
    const ClefSettings* clefs = &s.singleNotes.clefs;
    bool arpeggiated = true;
    int gmnMode = 1;
    switch (section) {
    case SingleNotesSection: {
        NoteValidator validator(&s.singleNotes.diapason);
        position = DrawCandidates(unsigned(pool.size()), &validator, nullptr, ids);
        break;
    }
    case IntervalsSection: {
        IntervalValidator validator(&s.intervals);
        position = DrawCandidates(unsigned(pool.size()), &validator, &RootNoteProvider::Intervals(), ids);
        clefs = &s.intervals.clefs;
        arpeggiated = s.intervals.arpeggiated;
        gmnMode = 2;
        break;
    }
    case ChordsSection: {
        ChordValidator validator(&s.chords);
        position = DrawCandidates(unsigned(pool.size()), &validator, &ChordProvider::Instance(), ids);
        clefs = &s.chords.clefs;
        arpeggiated = s.chords[ChordSwitch::Arpeggiated];
        gmnMode = 3;
        break;
    }
    default:
        return false;
    }
    if (position < 0)
        return false;

    question.candidates.clear();
    for (unsigned id : ids)
        question.candidates.push_back(pool[id]);
    question.correctIndex = position;

    const QVector<int> keys = TrainerSupport::EntryKeys(question.AskedItem());
    if (keys.isEmpty())
        return false;
    question.option1 = ChooseTrebleClef(clefs->gClef, clefs->fClef, keys.first(), previousTrebleClef.load());
    previousTrebleClef.store(question.option1);

    if (section == ChordsSection && s.chords[ChordSwitch::ChordNotation]) {
        question.kind = QuestionRecord::ChordSymbolQuestion;
        question.answerModes = QuestionRecord::NotesMode;
    }
    // The asked item carries the question's own score (its staff and spelling) and, unless the
    // notes are to be heard one after another, sounds them together.
    std::shared_ptr<QuestionData> asked = TrainerSupport::CopyItem(question.AskedItem());
    if (section != SingleNotesSection && !arpeggiated && asked->stream)
        asked->stream = TrainerSupport::TogetherStream(*asked->stream);
    asked->gmn = ScoreBuilder::WriteQuestion(keys, question.option1, question.option2, gmnMode);
    question.candidates[size_t(position)] = std::move(asked);
    return true;
}

int ExerciseNoteTrainer::AnswerInputMode(const QuestionRecord& question)
{
    return question.kind == QuestionRecord::ChordSymbolQuestion ? 0 : 2;
}

int ExerciseNoteTrainer::QuestionKey(int section, int id)
{
    switch (section) {
    case SingleNotesSection:
        return id >= 0 && id < MusicTables::KeyCount ? id : -1;
    case IntervalsSection:
    case ChordsSection:
        return TrainerSupport::EntryRootKey(SectionPool(section), id);
    default:
        return -1;
    }
}

QString ExerciseNoteTrainer::QuestionLabel(int section, int id)
{
    switch (section) {
    case SingleNotesSection:
        return MusicTables::NoteLabel(id, false);
    case IntervalsSection:
    case ChordsSection: {
        const QuestionPool& pool = SectionPool(section);
        if (id < 0 || size_t(id) >= pool.size())
            return section == IntervalsSection ? MusicTables::IntervalName(-1) : MusicTables::ChordSuffix(-1);
        return TrainerSupport::OneLine(pool[size_t(id)]->caption2);
    }
    default:
        return Exercise::QuestionLabel(section, id);
    }
}

bool ExerciseNoteTrainer::IsSameAnswer(int section, int a, int b)
{
    switch (section) {
    case SingleNotesSection:
        return MusicTables::PitchClass(a) == MusicTables::PitchClass(b);
    case IntervalsSection:
    case ChordsSection: {
        const int typeA = TrainerSupport::ChordEntryType(SectionPool(section), a);
        return typeA >= 0 && typeA == TrainerSupport::ChordEntryType(SectionPool(section), b);
    }
    default:
        return a == b;
    }
}

QString ExerciseNoteTrainer::AnswerText(int section, int id)
{
    switch (section) {
    case SingleNotesSection:
        return MusicTables::NoteName(id >= 0 && id < MusicTables::KeyCount ? MusicTables::PitchClass(id) : -1, false);
    case IntervalsSection:
        return MusicTables::IntervalName(TrainerSupport::ChordEntryType(GetIntervalPool(), id));
    case ChordsSection:
        return MusicTables::ChordSuffix(TrainerSupport::ChordEntryType(GetChordPool(), id));
    default:
        return QString();
    }
}

void ExerciseNoteTrainer::ChoiceIds(int section, std::vector<int>& out)
{
    switch (section) {
    case SingleNotesSection:
        for (int key = 3; key <= 14; ++key) // C1 to B1: one button a pitch class
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
    default:
        break;
    }
}

QByteArray ExerciseNoteTrainer::DrawAnswerView(const QuestionRecord& question, const Answer& answer,
                                               QVector<QPair<int, int>>& keys)
{
    // Of an interval only the first note played is compared, with its lower note.
    const auto* chord = dynamic_cast<const QuestionChordData*>(question.AskedItem());
    const bool interval = chord && chord->keys.size() == 2;
    return AnswerView(question, answer, question.option1, question.option2, interval, keys);
}

} // namespace Core

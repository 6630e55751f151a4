#include "core/exercise/settings_check.h"

#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_validators.h"

namespace Core {
namespace {

const DurationSettings* DurationOf(const TrainerSettings& s, int trainer, int section)
{
    if (trainer == NoteTrainerIndex) {
        const DurationSettings* d[] = {&s.noteTrainer.singleNotes.duration, &s.noteTrainer.intervals.duration,
                                       &s.noteTrainer.chords.duration};
        return d[section];
    }
    if (trainer == EarTrainerIndex) {
        const DurationSettings* d[] = {&s.earTrainer.singleNotes.duration, &s.earTrainer.intervals.duration,
                                       &s.earTrainer.chords.duration, &s.earTrainer.scales.duration,
                                       &s.earTrainer.tempo.duration};
        return d[section];
    }
    const DurationSettings* d[] = {&s.symbolTrainer.lengths.duration, &s.symbolTrainer.keySignatures.duration,
                                   &s.symbolTrainer.tempo.duration, &s.symbolTrainer.loudness.duration,
                                   &s.symbolTrainer.noteModifiers.duration};
    return d[section];
}

// Entries below `size` that the validator permits.
int Count(QuestionValidator&& validator, int size)
{
    int count = 0;
    for (int id = 0; id < size; ++id)
        if (validator.Validate(unsigned(id)))
            ++count;
    return count;
}

int SymbolTableSize(int section)
{
    return int(ExerciseSymbolTrainer::ItemTable(section).size());
}

} // namespace

int TrainerSectionCount(int trainer)
{
    switch (trainer) {
    case NoteTrainerIndex:
        return 3;
    case EarTrainerIndex:
    case SymbolTrainerIndex:
        return 5;
    default:
        return 0;
    }
}

SectionKind KindOfSection(int trainer, int section)
{
    static const SectionKind pitched[] = {SectionKind::Notes, SectionKind::Intervals, SectionKind::Chords,
                                          SectionKind::Scales, SectionKind::Tempo};
    static const SectionKind symbols[] = {SectionKind::Lengths, SectionKind::Signatures, SectionKind::Tempo,
                                          SectionKind::Loudness, SectionKind::Modifiers};
    if (section < 0 || section >= TrainerSectionCount(trainer))
        return SectionKind::None;
    return trainer == SymbolTrainerIndex ? symbols[section] : pitched[section];
}

int SectionQuestions(const TrainerSettings& settings, int trainer, int section)
{
    if (KindOfSection(trainer, section) == SectionKind::None)
        return 0;
    return DurationOf(settings, trainer, section)->questions;
}

int AskableCount(const TrainerSettings& s, int trainer, int section)
{
    const bool ear = trainer == EarTrainerIndex;
    switch (KindOfSection(trainer, section)) {
    case SectionKind::Notes: {
        const NotesDiapason& d = ear ? s.earTrainer.singleNotes.diapason : s.noteTrainer.singleNotes.diapason;
        return Count(NoteValidator(&d), MusicTables::KeyCount);
    }
    case SectionKind::Intervals: {
        const IntervalSettings& r = ear ? s.earTrainer.intervals : s.noteTrainer.intervals;
        return Count(IntervalValidator(&r), MusicTables::IntervalFirstId(MusicTables::IntervalCount));
    }
    case SectionKind::Chords: {
        const ChordSettings& r = ear ? s.earTrainer.chords : s.noteTrainer.chords;
        return Count(ChordValidator(&r), MusicTables::ChordPoolSize());
    }
    case SectionKind::Scales: {
        const ScalesSettings& r = s.earTrainer.scales;
        return Count(ScaleValidator(&r), MusicTables::ScaleCount * MusicTables::ScaleRootCount);
    }
    case SectionKind::Tempo: {
        const TempoSettings& r = ear ? s.earTrainer.tempo : s.symbolTrainer.tempo;
        TempoValidator validator(&r);
        int count = 0;
        for (int tempo = 0; tempo < MusicTables::TempoCount; ++tempo)
            if (validator.Validate(unsigned(tempo * MusicTables::PiecesPerTempo)))
                ++count;
        return count;
    }
    case SectionKind::Lengths: {
        const LengthSettings& r = s.symbolTrainer.lengths;
        return Count(LengthValidator(&r), SymbolTableSize(section));
    }
    case SectionKind::Signatures: {
        const KeySignaturesSettings& r = s.symbolTrainer.keySignatures;
        return Count(SignatureValidator(&r), SymbolTableSize(section));
    }
    case SectionKind::Loudness: {
        const LoudnessSettings& r = s.symbolTrainer.loudness;
        return Count(LoudnessValidator(&r), SymbolTableSize(section));
    }
    case SectionKind::Modifiers: {
        const NoteModifiersSettings& r = s.symbolTrainer.noteModifiers;
        return Count(ModifiersValidator(&r), SymbolTableSize(section));
    }
    case SectionKind::None:
        break;
    }
    return 0;
}

SettingsCheck CheckTrainerSettings(const TrainerSettings& settings, int trainer)
{
    SettingsCheck check;
    bool anyQuestions = false;
    for (int section = 0; section < TrainerSectionCount(trainer); ++section) {
        if (SectionQuestions(settings, trainer, section) <= 0)
            continue;
        anyQuestions = true;
        if (AskableCount(settings, trainer, section) == 0) {
            check.outcome = SettingsCheck::EmptySection;
            check.section = section;
            return check;
        }
    }
    if (!anyQuestions)
        check.outcome = SettingsCheck::NoQuestions;
    return check;
}

} // namespace Core

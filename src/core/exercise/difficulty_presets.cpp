#include "core/exercise/difficulty_presets.h"

#include <initializer_list>

namespace Core {
namespace {

NotesDiapason Diapason(int minimum, int maximum)
{
    return NotesDiapason{minimum, maximum, true, true};
}

template <typename Set, typename Switch>
void TurnOn(Set& set, std::initializer_list<Switch> on)
{
    for (Switch s : on)
        set[s] = true;
}

struct LevelTable
{
    int singleMin, singleMax;
    int noteIntervalEnd, noteIntervalMin, noteIntervalMax, noteChordMin, noteChordMax;
    int earIntervalEnd, earIntervalMin, earIntervalMax, earChordMin, earChordMax, earScalesMin, earScalesMax;
};

constexpr LevelTable Levels[DifficultyLevelCount] = {
    {39, 52, 4, 39, 40, 39, 40, 4, 39, 40, 39, 40, 39, 40},
    {34, 54, 7, 39, 52, 39, 52, 10, 39, 52, 39, 52, 39, 52},
    {27, 52, 12, 27, 52, 27, 52, 12, 27, 52, 34, 47, 34, 47},
    {17, 59, 12, 17, 59, 17, 59, 12, 17, 59, 27, 52, 27, 52},
    {5, 75, 12, 5, 63, 5, 63, 12, 5, 63, 5, 63, 5, 63},
};

void ChordTypesForLevel(ChordSettings& chords, int level)
{
    using C = ChordSwitch;
    TurnOn(chords, {C::MajorTriad, C::MinorTriad});
    if (level >= 1)
        TurnOn(chords, {C::MajorSixth, C::MinorSixth});
    if (level >= 2)
        TurnOn(chords, {C::MajorSeventh, C::MinorSeventh});
    if (level >= 3)
        TurnOn(chords, {C::DominantSeventh, C::Suspended2, C::Suspended4, C::SuspendedSixth2, C::SuspendedSixth4,
                        C::SuspendedSeventh2, C::SuspendedSeventh4});
    if (level >= 4)
        for (int i = 0; i < ChordTypeCount; ++i)
            chords.switches[std::size_t(i)] = true;
    TurnOn(chords, {C::FirstInversion, C::SecondInversion});
}

ChordSettings PresetChords(int level, int minimum, int maximum)
{
    ChordSettings chords;
    ChordTypesForLevel(chords, level);
    chords.diapason = Diapason(minimum, maximum);
    chords.duration = DurationSettings{10, 20};
    chords.clefs = ClefSettings{true, true};
    return chords;
}

void ScalesForLevel(ScalesSettings& scales, int level)
{
    using S = ScaleSwitch;
    if (level == 0) {
        TurnOn(scales, {S::NaturalMaj, S::MelodicMin, S::Ascending, S::Descending});
        return;
    }
    TurnOn(scales, {S::NaturalMaj, S::NaturalMin, S::PentatonicMaj, S::MelodicMin, S::ApplyDifferentScaleModes,
                    S::Ascending, S::Descending});
    if (level >= 2)
        TurnOn(scales, {S::Harmonic, S::Diminished});
    if (level >= 3)
        TurnOn(scales, {S::PentatonicMin, S::Blues});
    if (level >= 4)
        scales.SetAll(true);
}

void TempoForLevel(TempoSettings& tempo, int level, bool symbolTrainer)
{
    using T = TempoSwitch;
    switch (level) {
    case 0:
        TurnOn(tempo, {T::Adagio, T::Allegro, T::Moderato, T::Prestissimo});
        break;
    case 1:
        TurnOn(tempo, {T::Adagio, T::Allegro, T::Moderato, T::Presto, T::Prestissimo});
        break;
    case 2:
        if (symbolTrainer)
            TurnOn(tempo, {T::Largo, T::Andante, T::Allegro, T::Moderato, T::Presto});
        else
            TurnOn(tempo, {T::Adagio, T::Andante, T::Allegro, T::Moderato, T::Presto});
        break;
    case 3:
        TurnOn(tempo, {T::Largo, T::Adagio, T::Andante, T::Allegro, T::Moderato, T::Presto});
        break;
    default:
        tempo.SetAll(true);
        break;
    }
}

void SymbolsForLevel(SymbolTrainerSettings& symbols, int level)
{
    using L = LengthSwitch;
    using K = KeySignatureSwitch;
    using V = LoudnessSwitch;
    using M = NoteModifierSwitch;

    TurnOn(symbols.lengths, {L::Whole, L::Half, L::Quarter, L::Rests});
    TurnOn(symbols.keySignatures, {K::CMaj, K::GMaj, K::FMaj});
    TurnOn(symbols.loudness, {V::Piano, V::Forte, V::Crescendo, V::Diminuendo});
    TurnOn(symbols.noteModifiers, {M::Stacatto, M::Natural, M::Flat, M::Tenuto, M::Slur});
    if (level >= 1) {
        TurnOn(symbols.lengths, {L::Eights});
        TurnOn(symbols.keySignatures, {K::DMaj, K::BbMaj});
        TurnOn(symbols.loudness, {V::Pianissimo, V::Fortissimo});
        TurnOn(symbols.noteModifiers, {M::EngagePedal, M::ReleasePedal, M::Acent, M::Tie, M::Marcato});
    }
    if (level >= 2) {
        TurnOn(symbols.lengths, {L::Sixteenth});
        TurnOn(symbols.keySignatures, {K::AMaj, K::EbMaj});
        TurnOn(symbols.loudness, {V::MezzoPiano, V::MezzoForte});
        TurnOn(symbols.noteModifiers, {M::Fermata, M::OttavaAlto, M::OttavaBasso, M::Sharp, M::RepeatSigns,
                                       M::VoltaBracket, M::DoubleFlat, M::DoubleSharp});
    }
    if (level >= 3) {
        TurnOn(symbols.lengths, {L::ThirtySecond});
        TurnOn(symbols.keySignatures, {K::EMaj, K::AbMaj});
        TurnOn(symbols.loudness, {V::Pianississimo, V::Fortississimo});
        symbols.noteModifiers.SetAll(false);
        TurnOn(symbols.noteModifiers,
               {M::Stacatto, M::Fermata, M::Stacattissimo, M::Trill, M::Acent, M::Tie, M::OttavaAlto, M::Marcato,
                M::OttavaBasso, M::Natural, M::Flat, M::Sharp, M::RepeatSigns, M::VoltaBracket, M::Appogiatura,
                M::DoubleFlat, M::DoubleSharp, M::Tenuto, M::Slur, M::Acciaccatura});
    }
    if (level >= 4) {
        symbols.lengths.SetAll(true);
        symbols.keySignatures.SetAll(true);
        symbols.loudness.SetAll(true);
        symbols.noteModifiers.SetAll(true);
    }
}

} // namespace

TrainerSettings DifficultyPreset(int level)
{
    if (level < 0 || level >= DifficultyLevelCount)
        level = 0;
    const LevelTable& t = Levels[level];
    const DurationSettings standard{10, 20};
    const ClefSettings bothClefs{true, true};

    TrainerSettings s;
    NoteTrainerSettings& note = s.noteTrainer;
    note.singleNotes = {Diapason(t.singleMin, t.singleMax), standard, bothClefs};
    note.intervals = {0, t.noteIntervalEnd, Diapason(t.noteIntervalMin, t.noteIntervalMax), standard, bothClefs, false};
    note.chords = PresetChords(level, t.noteChordMin, t.noteChordMax);
    note.wrongAnswerPolicy = {false, 0};

    EarTrainerSettings& ear = s.earTrainer;
    ear.singleNotes = {Diapason(t.singleMin, t.singleMax), standard, bothClefs};
    ear.intervals = {0, t.earIntervalEnd, Diapason(t.earIntervalMin, t.earIntervalMax), standard, bothClefs, false};
    ear.chords = PresetChords(level, t.earChordMin, t.earChordMax);
    ear.scales = ScalesSettings{};
    ScalesForLevel(ear.scales, level);
    ear.scales.diapason = Diapason(t.earScalesMin, t.earScalesMax);
    ear.scales.duration = DurationSettings{20, 20};
    ear.scales.clefs = bothClefs;
    ear.tempo = TempoSettings{};
    TempoForLevel(ear.tempo, level, false);
    ear.tempo.duration = standard;

    SymbolTrainerSettings& symbols = s.symbolTrainer;
    symbols = SymbolTrainerSettings{};
    SymbolsForLevel(symbols, level);
    TempoForLevel(symbols.tempo, level, true);
    symbols.lengths.duration = standard;
    symbols.keySignatures.duration = standard;
    symbols.tempo.duration = standard;
    symbols.loudness.duration = standard;
    symbols.noteModifiers.duration = standard;
    return s;
}

TrainerSettings BuiltInQuizSettings()
{
    const NotesDiapason diapason = Diapason(15, 55);
    const DurationSettings quiz{30, 10};
    const ClefSettings bothClefs{true, true};

    ChordSettings chords;
    chords.SetAll(true);
    chords[ChordSwitch::Arpeggiated] = false;
    chords[ChordSwitch::ChordNotation] = false;
    chords.diapason = diapason;
    chords.duration = quiz;
    chords.clefs = bothClefs;

    TrainerSettings s;
    s.noteTrainer.singleNotes = {diapason, quiz, bothClefs};
    s.noteTrainer.intervals = {0, 12, diapason, quiz, bothClefs, true};
    s.noteTrainer.chords = chords;
    s.noteTrainer.wrongAnswerPolicy = {true, 5000};

    s.earTrainer.singleNotes = {diapason, quiz, bothClefs};
    s.earTrainer.intervals = {0, 12, diapason, quiz, bothClefs, true};
    s.earTrainer.chords = chords;
    s.earTrainer.scales.SetAll(true);
    s.earTrainer.scales[ScaleSwitch::ApplyDifferentScaleModes] = false;
    s.earTrainer.scales.diapason = diapason;
    s.earTrainer.scales.duration = quiz;
    s.earTrainer.scales.clefs = bothClefs;
    s.earTrainer.tempo.SetAll(true);
    s.earTrainer.tempo.duration = quiz;

    SymbolTrainerSettings& symbols = s.symbolTrainer;
    symbols.lengths.SetAll(true);
    symbols.keySignatures.SetAll(true);
    symbols.tempo.SetAll(true);
    symbols.loudness.SetAll(true);
    symbols.noteModifiers.SetAll(true);
    symbols.lengths.duration = quiz;
    symbols.keySignatures.duration = quiz;
    symbols.tempo.duration = quiz;
    symbols.loudness.duration = quiz;
    symbols.noteModifiers.duration = quiz;
    return s;
}

} // namespace Core

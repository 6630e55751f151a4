#pragma once
// The question settings of the three trainers: plain values that the settings store persists,
// the difficulty presets fill in, and the trainers copy when a lesson starts. Switches are kept
// as arrays in their fixed key order, because the trainers and validators address them by
// position as well as by name.

#include <array>
#include <cstddef>

namespace Core {

template <typename Switch, std::size_t Count> struct SwitchSet
{
    static constexpr std::size_t Size = Count;
    std::array<bool, Count> switches{};

    bool& operator[](Switch s) { return switches[std::size_t(s)]; }
    bool operator[](Switch s) const { return switches[std::size_t(s)]; }
    void SetAll(bool on) { switches.fill(on); }
    bool operator==(const SwitchSet& other) const { return switches == other.switches; }
};

enum class ChordSwitch
{
    MajorTriad,
    MinorTriad,
    MajorSixth,
    MinorSixth,
    MajorSeventh,
    MinorSeventh,
    DominantSeventh,
    Suspended2,
    Suspended4,
    SuspendedSixth2,
    SuspendedSixth4,
    SuspendedSeventh2,
    SuspendedSeventh4,
    Augmented,
    AugmentedSixth,
    AugmentedSeventh,
    Diminished,
    DiminishedSeventh,
    FirstInversion,
    SecondInversion,
    Arpeggiated,
    ChordNotation,
};
constexpr int ChordTypeCount = 18; // MajorTriad ... DiminishedSeventh

enum class ScaleSwitch
{
    NaturalMaj,
    NaturalMin,
    PentatonicMaj,
    PentatonicMin,
    Harmonic,
    MelodicMin,
    Diminished,
    Blues,
    Augmented,
    WholeTone,
    ApplyDifferentScaleModes,
    Ascending,
    Descending,
};

enum class TempoSwitch
{
    Largo,
    Adagio,
    Andante,
    Allegro,
    Moderato,
    Presto,
    Prestissimo,
    Vivace
};

enum class LengthSwitch
{
    Whole,
    Half,
    Quarter,
    Eights,
    Sixteenth,
    ThirtySecond,
    SixtyFourth,
    HundredTwentyEight,
    Rests,
};

enum class KeySignatureSwitch
{
    CMaj,
    AMaj,
    GMaj,
    EMaj,
    DMaj,
    BMaj,
    FMaj,
    GbMaj,
    EbMaj,
    DbMaj,
    BbMaj,
    AbMaj
};

enum class LoudnessSwitch
{
    Pianississimo,
    Pianissimo,
    Piano,
    MezzoPiano,
    MezzoForte,
    Forte,
    Fortissimo,
    Fortississimo,
    Sforzando,
    Crescendo,
    Diminuendo,
};

enum class NoteModifierSwitch
{
    Stacatto,
    Fermata,
    Tremolo,
    Stacattissimo,
    Trill,
    EngagePedal,
    ReleasePedal,
    Acent,
    Tie,
    OttavaAlto,
    Marcato,
    OttavaBasso,
    Natural,
    Flat,
    Sharp,
    RepeatSigns,
    VoltaBracket,
    Appogiatura,
    DoubleFlat,
    DoubleSharp,
    Arpeggio,
    Tenuto,
    Slur,
    Acciaccatura,
};

// Piano keys counted 0-87 from A0.
struct NotesDiapason
{
    int minimum = 0;
    int maximum = 87;
    bool whiteKeys = true;
    bool blackKeys = true;
    bool operator==(const NotesDiapason& o) const
    {
        return minimum == o.minimum && maximum == o.maximum && whiteKeys == o.whiteKeys &&
               blackKeys == o.blackKeys;
    }
    bool operator!=(const NotesDiapason& o) const { return !(*this == o); }
};

struct DurationSettings
{
    // What the "Timeout (sec)" and "Questions" boxes offer; stored values are kept within them.
    static constexpr int MaxSeconds = 120;   // 0: no time limit
    static constexpr int MaxQuestions = 100; // 0: the section is left out
    int seconds = 10;                        // time-out per question, "Timeout (sec)"
    int questions = 20;                      // "Questions"
    bool operator==(const DurationSettings& o) const
    {
        return seconds == o.seconds && questions == o.questions;
    }
    bool operator!=(const DurationSettings& o) const { return !(*this == o); }
};

struct ClefSettings
{
    bool gClef = true;
    bool fClef = true;
    bool operator==(const ClefSettings& o) const { return gClef == o.gClef && fClef == o.fClef; }
    bool operator!=(const ClefSettings& o) const { return !(*this == o); }
};

struct SingleNotesSettings
{
    NotesDiapason diapason;
    DurationSettings duration;
    ClefSettings clefs;
    bool operator==(const SingleNotesSettings& o) const
    {
        return diapason == o.diapason && duration == o.duration && clefs == o.clefs;
    }
};

struct IntervalSettings
{
    int intervalStart = 0; // semitones
    int intervalEnd = 12;  // semitones
    NotesDiapason diapason;
    DurationSettings duration;
    ClefSettings clefs;
    bool arpeggiated = false;
    bool operator==(const IntervalSettings& o) const
    {
        return intervalStart == o.intervalStart && intervalEnd == o.intervalEnd && diapason == o.diapason &&
               duration == o.duration && clefs == o.clefs && arpeggiated == o.arpeggiated;
    }
};

struct ChordSettings : SwitchSet<ChordSwitch, 22>
{
    NotesDiapason diapason;
    DurationSettings duration;
    ClefSettings clefs;
    bool operator==(const ChordSettings& o) const
    {
        return switches == o.switches && diapason == o.diapason && duration == o.duration && clefs == o.clefs;
    }
};

struct ScalesSettings : SwitchSet<ScaleSwitch, 13>
{
    NotesDiapason diapason;
    DurationSettings duration;
    ClefSettings clefs;
    bool operator==(const ScalesSettings& o) const
    {
        return switches == o.switches && diapason == o.diapason && duration == o.duration && clefs == o.clefs;
    }
};

template <typename Switch, std::size_t Count> struct SwitchesWithDuration : SwitchSet<Switch, Count>
{
    DurationSettings duration;
    bool operator==(const SwitchesWithDuration& o) const
    {
        return this->switches == o.switches && duration == o.duration;
    }
};

struct TempoSettings : SwitchesWithDuration<TempoSwitch, 8>
{
};
struct LengthSettings : SwitchesWithDuration<LengthSwitch, 9>
{
};
struct KeySignaturesSettings : SwitchesWithDuration<KeySignatureSwitch, 12>
{
};
struct LoudnessSettings : SwitchesWithDuration<LoudnessSwitch, 11>
{
};
struct NoteModifiersSettings : SwitchesWithDuration<NoteModifierSwitch, 24>
{
};

struct WrongAnswerPolicy
{
    // The waits the general tab offers, shortest first; a stored delay is kept within the longest.
    static constexpr std::array<int, 3> OfferedDelays{1000, 3000, 5000};
    bool continueAfterMistake = true; // "Continue after mistake" / "Pause after mistake"
    int delay = 3000;                 // milliseconds, as stored (the levels store none)
    // The offered wait that stands for `ms`: the shortest for anything up to it (no wait among
    // them), otherwise the nearest, the longer of two as near.
    static int OfferedDelay(int ms);
    // How long a lesson that goes on by itself waits after a mistake; never no wait at all.
    int DelayInForce() const { return OfferedDelay(delay); }
    bool operator==(const WrongAnswerPolicy& o) const
    {
        return continueAfterMistake == o.continueAfterMistake && delay == o.delay;
    }
};

struct NoteTrainerSettings
{
    SingleNotesSettings singleNotes;
    IntervalSettings intervals;
    ChordSettings chords;
    WrongAnswerPolicy wrongAnswerPolicy;
    bool operator==(const NoteTrainerSettings& o) const
    {
        return singleNotes == o.singleNotes && intervals == o.intervals && chords == o.chords &&
               wrongAnswerPolicy == o.wrongAnswerPolicy;
    }
};

struct EarTrainerSettings
{
    SingleNotesSettings singleNotes;
    IntervalSettings intervals;
    ChordSettings chords;
    ScalesSettings scales;
    TempoSettings tempo;
    bool operator==(const EarTrainerSettings& o) const
    {
        return singleNotes == o.singleNotes && intervals == o.intervals && chords == o.chords &&
               scales == o.scales && tempo == o.tempo;
    }
};

struct SymbolTrainerSettings
{
    LengthSettings lengths;
    KeySignaturesSettings keySignatures;
    TempoSettings tempo;
    LoudnessSettings loudness;
    NoteModifiersSettings noteModifiers;
    bool operator==(const SymbolTrainerSettings& o) const
    {
        return lengths == o.lengths && keySignatures == o.keySignatures && tempo == o.tempo &&
               loudness == o.loudness && noteModifiers == o.noteModifiers;
    }
};

// Trainer index: 0 Note Trainer, 1 Ear Trainer, 2 Music Symbols.
enum TrainerIndex
{
    NoteTrainerIndex = 0,
    EarTrainerIndex = 1,
    SymbolTrainerIndex = 2,
};

struct TrainerSettings
{
    NoteTrainerSettings noteTrainer;
    EarTrainerSettings earTrainer;
    SymbolTrainerSettings symbolTrainer;
    bool operator==(const TrainerSettings& o) const
    {
        return noteTrainer == o.noteTrainer && earTrainer == o.earTrainer && symbolTrainer == o.symbolTrainer;
    }
    bool operator!=(const TrainerSettings& o) const { return !(*this == o); }
};

// True when the two blocks ask the same questions of that trainer: every switch, diapason,
// interval bound and clef is equal. Durations and the wrong-answer policy are not compared.
bool SameQuestionContent(const TrainerSettings& a, const TrainerSettings& b, int trainer);

} // namespace Core

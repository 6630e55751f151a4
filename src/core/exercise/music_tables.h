#pragma once
// The music the trainers teach, as tables: chord types with their formulas and the roots each
// may stand on, scales with their steps, the tempo markings, and the names and labels shown for
// notes, intervals, chords, scales and tempos. The pools, validators, trainers, the score
// builder and the reference pages read them; Core::NoteSpelling spells their notes. Keys count
// the 88 piano keys from A0 (0) to C8 (87); key 39 is middle C.

#include <QCoreApplication>
#include <QString>

#include <array>
#include <vector>

namespace Core {

class MusicTables
{
    Q_DECLARE_TR_FUNCTIONS(Core::MusicTables)
public:
    static constexpr int KeyCount = 88;
    static constexpr int IntervalCount = 13; // unison to octave
    static constexpr int ChordTypeCount = 18;
    static constexpr int ScaleCount = 10;
    // The trainers' scales, then those only the reference shows (the Arabian, major Locrian).
    static constexpr int ShownScaleCount = 11;
    static constexpr int ScaleRootCount = 76;
    static constexpr int TempoCount = 7;
    static constexpr int PiecesPerTempo = 64;
    static constexpr int MiddleC = 39;

    struct ChordType
    {
        const char* settingsKey;
        const char* suffix;
        // Degrees of the major scale on the root, as a chord chart writes them; they also spell
        // the notes (a flattened seventh is a B flat above C, never an A sharp).
        const char* formula;
        std::array<int, 3> lastRoot; // per inversion
        std::vector<int> offsets;    // from the root, root position: the formula's semitones
    };
    struct Scale
    {
        const char* name;
        std::vector<int> ascending;
        std::vector<int> descending;
        bool flatSpelling; // its black keys written as flats when it starts on C
    };
    struct Tempo
    {
        const char* name;
        const char* description;
        const char* picture;
        int low, middle, high;
    };

    static const ChordType& Chord(int type);
    // Any of the shown scales (0 to ShownScaleCount - 1).
    static const Scale& ScaleAt(int index);
    static const Tempo& TempoAt(int index);

    // Keys of a chord on `root` in `inversion` (0-2), ascending.
    static std::vector<int> ChordKeys(int type, int root, int inversion);
    // Entries of a chord type in one inversion (last root + 1), and where each block begins.
    static int ChordEntries(int type, int inversion);
    static int ChordBlockSize(int inversion);
    static int ChordPoolSize();
    // First interval-pool id of interval size k (0-13; 13 gives the pool size, 1066).
    static int IntervalFirstId(int size);

    static bool IsBlackKey(int key);
    static int PitchClass(int key);
    static QString NoteName(int pitchClass, bool flat);
    static QString NoteLabel(int key, bool flat);
    static QString IntervalName(int size);
    // "Minor 3rd" for "Minor third", as the reference tables and the settings pages write it.
    static QString IntervalShortName(int size);
    static QString IntervalLabel(int size, int root, bool flat);
    static QString ChordSuffix(int type);
    static QString ChordLabel(int type, int root, int inversion);
    static QString ScaleName(int index);
    static QString ScaleLabel(int index, int root, bool flat);
    static QString TempoName(int tempo);
    static QString TempoDescription(int tempo);
    static QString TempoPicture(int tempo);
    // Beats a minute: middle, low, high.
    static std::array<int, 3> TempoNumbers(int tempo);
};

} // namespace Core

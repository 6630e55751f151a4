#include "core/exercise/music_tables.h"

#include "core/exercise/note_spelling.h"
#include "core/midi/midi_message.h"

#include <algorithm>

namespace Core {
namespace {

const std::vector<MusicTables::ChordType>& ChordTable()
{
    static const std::vector<MusicTables::ChordType> table = [] {
        std::vector<MusicTables::ChordType> t = {
            {"Chord.MajorTriad", "maj", "1 3 5", {80, 75, 71}, {}},
            {"Chord.MinorTriad", "min", "1 b3 5", {80, 75, 72}, {}},
            {"Chord.MajorSixth", "maj6", "1 3 5 6", {78, 75, 71}, {}},
            {"Chord.MinorSixth", "min6", "1 b3 5 6", {78, 75, 72}, {}},
            {"Chord.MajorSeventh", "maj7", "1 3 5 7", {76, 75, 71}, {}},
            {"Chord.MinorSeventh", "min7", "1 b3 5 b7", {77, 75, 72}, {}},
            {"Chord.DominantSeventh", "dom7", "1 3 5 b7", {77, 75, 71}, {}},
            {"Chord.Suspended2", "sus2", "1 2 5", {80, 75, 73}, {}},
            {"Chord.Suspended4", "sus4", "1 4 5", {80, 75, 70}, {}},
            {"Chord.SuspendedSixth2", "6sus2", "1 2 5 6", {78, 75, 73}, {}},
            {"Chord.SuspendedSixth4", "6sus4", "1 4 5 6", {78, 75, 70}, {}},
            {"Chord.SuspendedSeventh2", "7sus2", "1 2 5 b7", {77, 75, 73}, {}},
            {"Chord.SuspendedSeventh4", "7sus4", "1 4 5 b7", {77, 75, 70}, {}},
            {"Chord.Augmented", "aug", "1 3 #5", {79, 75, 71}, {}},
            {"Chord.AugmentedSixth", "aug6", "1 3 #5 6", {78, 75, 71}, {}},
            {"Chord.AugmentedSeventh", "aug7", "1 3 #5 b7", {77, 75, 71}, {}},
            {"Chord.Diminished", "dim", "1 b3 b5", {81, 75, 72}, {}},
            {"Chord.DiminishedSeventh", "dim7", "1 b3 b5 bb7", {78, 75, 72}, {}},
        };
        for (auto& chord : t) {
            for (const NoteSpelling::SpelledNote& note : NoteSpelling::spellFormula(chord.formula))
                chord.offsets.push_back(NoteSpelling::semitones(note));
        }
        return t;
    }();
    return table;
}

std::vector<int> Reversed(std::vector<int> keys)
{
    std::reverse(keys.begin(), keys.end());
    return keys;
}

const std::vector<MusicTables::Scale>& ScaleTable()
{
    static const std::vector<MusicTables::Scale> table = [] {
        std::vector<MusicTables::Scale> t = {
            // First: its steps on C are the natural notes Core::NoteSpelling spells with.
            {QT_TRANSLATE_NOOP("Core::MusicTables", "Major"), {0, 2, 4, 5, 7, 9, 11, 12}, {}, false},
            {QT_TRANSLATE_NOOP("Core::MusicTables", "Natural m"), {0, 2, 3, 5, 7, 8, 10, 12}, {}, true},
            {QT_TRANSLATE_NOOP("Core::MusicTables", "Harmonic m"), {0, 2, 3, 5, 7, 8, 11, 12}, {}, true},
            {QT_TRANSLATE_NOOP("Core::MusicTables", "Melodic m"),
             {0, 2, 3, 5, 7, 9, 11, 12},
             {12, 10, 8, 7, 5, 3, 2, 0},
             true},
            {QT_TRANSLATE_NOOP("Core::MusicTables", "Pentatonic"), {0, 2, 4, 7, 9, 12}, {}, false},
            {QT_TRANSLATE_NOOP("Core::MusicTables", "Pentatonic m"), {0, 3, 5, 7, 10, 12}, {}, true},
            {QT_TRANSLATE_NOOP("Core::MusicTables", "Diminished"), {0, 2, 3, 5, 6, 8, 9, 11, 12}, {}, true},
            {QT_TRANSLATE_NOOP("Core::MusicTables", "Blues"), {0, 3, 5, 6, 7, 10, 12}, {}, true},
            {QT_TRANSLATE_NOOP("Core::MusicTables", "Augmented"), {0, 4, 7, 8, 11, 12}, {}, true},
            {QT_TRANSLATE_NOOP("Core::MusicTables", "Whole Tone"), {0, 2, 4, 6, 8, 10, 12}, {}, false},
            // Shown only, under a name of the reference's own.
            {"Arabian", {0, 2, 4, 5, 6, 8, 10, 12}, {}, true},
        };
        for (auto& scale : t)
            if (scale.descending.empty())
                scale.descending = Reversed(scale.ascending);
        return t;
    }();
    return table;
}

const MusicTables::Tempo tempoTable[MusicTables::TempoCount] = {
    {QT_TRANSLATE_NOOP("Core::MusicTables", "Adagio"),
     QT_TRANSLATE_NOOP("Core::MusicTables", "Slow && stately\n (66-76 bpm)"), ":/pixmap/exercise/adagio.png",
     60, 70, 80},
    {QT_TRANSLATE_NOOP("Core::MusicTables", "Allegro"),
     QT_TRANSLATE_NOOP("Core::MusicTables", "Fast && bright\n (120-139 bpm)"),
     ":/pixmap/exercise/allegro.png", 115, 120, 130},
    {QT_TRANSLATE_NOOP("Core::MusicTables", "Andante"),
     QT_TRANSLATE_NOOP("Core::MusicTables", "At a Walking Pace\n (76-108 bpm)"),
     ":/pixmap/exercise/andante.png", 80, 90, 100},
    {QT_TRANSLATE_NOOP("Core::MusicTables", "Largo"),
     QT_TRANSLATE_NOOP("Core::MusicTables", "Very slow\n (40-60 bpm)"), ":/pixmap/exercise/largo.png", 0, 50,
     60},
    {QT_TRANSLATE_NOOP("Core::MusicTables", "Moderato"),
     QT_TRANSLATE_NOOP("Core::MusicTables", "Moderately\n (101-110 bpm)"), ":/pixmap/exercise/moderato.png",
     100, 110, 115},
    {QT_TRANSLATE_NOOP("Core::MusicTables", "Presto"),
     QT_TRANSLATE_NOOP("Core::MusicTables", "Very fast\n (168-200 bpm)"), ":/pixmap/exercise/presto.png", 155,
     170, 185},
    {QT_TRANSLATE_NOOP("Core::MusicTables", "Vivace"),
     QT_TRANSLATE_NOOP("Core::MusicTables", "Lively && fast\n (130-155 bpm)"), ":/pixmap/exercise/vivace.png",
     130, 140, 155},
};

const char* const intervalNames[MusicTables::IntervalCount] = {
    QT_TRANSLATE_NOOP("Core::MusicTables", "Perfect Unison"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Minor second"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Major second"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Minor third"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Major third"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Perfect fourth"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Tritone"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Perfect fifth"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Minor sixth"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Major sixth"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Minor seventh"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Major seventh"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Perfect octave"),
};

// The short names of the reference tables and the settings pages.
const char* const intervalShortNames[MusicTables::IntervalCount] = {
    QT_TRANSLATE_NOOP("Core::MusicTables", "Unison"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Minor 2nd"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Major 2nd"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Minor 3rd"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Major 3rd"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Perfect 4th"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Tritone"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Perfect 5th"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Minor 6th"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Major 6th"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Minor 7th"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Major 7th"),
    QT_TRANSLATE_NOOP("Core::MusicTables", "Octave"),
};

} // namespace

const MusicTables::ChordType& MusicTables::Chord(int type)
{
    return ChordTable()[size_t(qBound(0, type, ChordTypeCount - 1))];
}

const MusicTables::Scale& MusicTables::ScaleAt(int index)
{
    return ScaleTable()[size_t(qBound(0, index, ShownScaleCount - 1))];
}

const MusicTables::Tempo& MusicTables::TempoAt(int index)
{
    return tempoTable[qBound(0, index, TempoCount - 1)];
}

std::vector<int> MusicTables::ChordKeys(int type, int root, int inversion)
{
    const ChordType& chord = Chord(type);
    std::vector<int> keys;
    for (size_t i = 0; i < chord.offsets.size(); ++i) {
        int key = root + chord.offsets[i];
        if ((inversion >= 1 && i == 0) || (inversion >= 2 && i == 1))
            key += 12;
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

int MusicTables::ChordEntries(int type, int inversion)
{
    if (type < 0 || type >= ChordTypeCount || inversion < 0 || inversion > 2)
        return 0;
    return Chord(type).lastRoot[size_t(inversion)] + 1;
}

int MusicTables::ChordBlockSize(int inversion)
{
    int size = 0;
    for (int t = 0; t < ChordTypeCount; ++t)
        size += ChordEntries(t, inversion);
    return size;
}

int MusicTables::ChordPoolSize()
{
    static const int size = ChordBlockSize(0) + ChordBlockSize(1) + ChordBlockSize(2);
    return size;
}

int MusicTables::IntervalFirstId(int size)
{
    int id = 0;
    for (int k = 0; k < size && k < IntervalCount; ++k)
        id += KeyCount - k;
    return id;
}

// Piano keys count from A0, MIDI note 21.
bool MusicTables::IsBlackKey(int key)
{
    return ::IsBlackKey(key + 21);
}

int MusicTables::PitchClass(int key)
{
    return ((key - 3) % 12 + 12) % 12;
}

QString MusicTables::NoteName(int pitchClass, bool flat)
{
    if (pitchClass < 0 || pitchClass > 11)
        return tr("note error");
    return NoteSpelling::displayName(NoteSpelling::spellPitchClass(pitchClass, flat));
}

QString MusicTables::NoteLabel(int key, bool flat)
{
    if (key < 0 || key >= KeyCount)
        return tr("note error");
    return NoteName(PitchClass(key), flat) + QString::number(NoteSpelling::octave(key));
}

QString MusicTables::IntervalName(int size)
{
    if (size < 0 || size >= IntervalCount)
        return tr("interval error");
    return tr(intervalNames[size]);
}

QString MusicTables::IntervalShortName(int size)
{
    if (size < 0 || size >= IntervalCount)
        return tr("interval error");
    return tr(intervalShortNames[size]);
}

QString MusicTables::IntervalLabel(int size, int root, bool flat)
{
    if (size < 0 || size >= IntervalCount)
        return tr("interval error");
    return NoteLabel(root, flat) + QLatin1Char(' ') + IntervalName(size);
}

QString MusicTables::ChordSuffix(int type)
{
    if (type < 0 || type >= ChordTypeCount)
        return tr("chord error");
    return QString::fromLatin1(Chord(type).suffix);
}

QString MusicTables::ChordLabel(int type, int root, int inversion)
{
    if (type < 0 || type >= ChordTypeCount)
        return tr("chord error");
    if (root < 0 || root >= KeyCount)
        return tr("note error");
    QString label = NoteName(PitchClass(root), false) + ChordSuffix(type);
    if (inversion != 0) {
        //: A chord symbol (%1, "C♯maj") in its first or second inversion (%2).
        label = tr("%1 inv%2").arg(label, QString::number(inversion));
    }
    //: The octave number of a chord's root, on the line under the chord symbol.
    return label + QLatin1Char('\n') + tr("(oct %1)").arg(NoteSpelling::octave(root));
}

QString MusicTables::ScaleName(int index)
{
    if (index < 0 || index >= ScaleCount)
        return tr("scale error");
    return tr(ScaleAt(index).name);
}

QString MusicTables::ScaleLabel(int index, int root, bool flat)
{
    if (index < 0 || index >= ScaleCount)
        return tr("scale error");
    return NoteLabel(root, flat) + QLatin1Char(' ') + ScaleName(index);
}

QString MusicTables::TempoName(int tempo)
{
    return tr(TempoAt(tempo).name);
}

QString MusicTables::TempoDescription(int tempo)
{
    return tr(TempoAt(tempo).description);
}

QString MusicTables::TempoPicture(int tempo)
{
    return QString::fromLatin1(TempoAt(tempo).picture);
}

std::array<int, 3> MusicTables::TempoNumbers(int tempo)
{
    const Tempo& t = TempoAt(tempo);
    return {t.middle, t.low, t.high};
}

} // namespace Core

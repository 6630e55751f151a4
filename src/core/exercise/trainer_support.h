#pragma once
// What the three trainers share when they draw and name questions: notes of an interval or chord
// made to sound together, the question's staff, the one-line form of two-line labels, the pool
// entries behind the answer buttons, and the tempo pieces of the ear and symbol trainers with
// the validator that keeps a draw to the pieces that exist.

#include "core/exercise/question_validator.h"
#include "core/exercise/question_pools.h"
#include "core/exercise/question_validators.h"

#include <QString>
#include <QVector>

#include <memory>
#include <vector>

namespace Core {

class Exercise;
class MidiBank;
class QuestionData;
struct QuestionRecord;

namespace TrainerSupport {

// A copy of a pool entry of its own kind (note, interval or chord, scale, tempo piece), which a
// draw may change: its score, its sound.
std::shared_ptr<QuestionData> CopyItem(const QuestionData* item);
// The stream with every note-on moved to 0 s and every note-off to 1 s.
std::shared_ptr<MidiStream> TogetherStream(const MidiStream& stream);

// Line breaks of a label replaced by blanks.
QString OneLine(QString label);

// The keys (0-87) an entry of the note, interval, chord or scale pools shows, lowest first
// (scales ascending); empty for other entries.
QVector<int> EntryKeys(const QuestionData* item);
// Whether an entry is an interval, or a scale; answer views compare only their first note.
bool IsInterval(const QuestionData* item);
bool IsScale(const QuestionData* item);
// Treble unless the note-ons of the stream average (integer division) below middle C.
bool TrebleForSound(const MidiStream* stream);

// The hooks of the sections that ask notes, intervals, chords or scales, shared by the note and
// the ear trainer: the root key, the one-line label, which ids are the same answer, the text
// and ids of the answer buttons. Ids outside the pool give -1, an error text or false.
enum class PitchedPool
{
    Notes,
    Intervals,
    Chords,
    Scales,
};
const QuestionPool& PoolOf(PitchedPool pool);
// The pool's entry of that id; null outside the pool.
std::shared_ptr<const QuestionData> PitchedItem(PitchedPool pool, qint32 id);
int PitchedKey(PitchedPool pool, int id);
QString PitchedLabel(PitchedPool pool, int id);
bool PitchedSameAnswer(PitchedPool pool, int a, int b);
QString PitchedAnswerText(PitchedPool pool, int id);
void PitchedChoiceIds(PitchedPool pool, std::vector<int>& out);

// The trainer's copy of the settings in force that a pitched section's draw reads; records a
// trainer does not have (the note trainer's scales) stay null.
struct PitchedSettings
{
    const NotesDiapason* singleNotes = nullptr;
    const IntervalSettings* intervals = nullptr;
    const ChordSettings* chords = nullptr;
    const ScalesSettings* scales = nullptr;
};
// Draws the six candidates of a pitched section into `question` with the section's validator
// and variant provider, and marks the asked one. False when nothing may be asked.
bool DrawPitched(Exercise& exercise, PitchedPool pool, const PitchedSettings& settings, QuestionRecord& question);
// Whether the asked notes of an interval or chord are heard together rather than in turn.
bool SoundsTogether(PitchedPool pool, const PitchedSettings& settings);
// How the asked notes are written: 1 a note, 2 an interval and 0 a scale in sequence, 3 a chord.
int GmnMode(PitchedPool pool);

// The same hooks for tempo ids (tempo x 64 + piece).
QString TempoLabel(int id);
bool SameTempo(int a, int b);

// The tempo pieces one exercise asks from, keyed by id (tempo x 64 + piece number).
class TempoPieces
{
public:
    void Build(const std::shared_ptr<MidiBank>& bank);
    // Ids run up to this bound; most of them have no piece.
    static unsigned IdBound();
    bool Has(unsigned id) const;
    // The piece of that id; for an id without a piece, one of the same tempo (every tempo has
    // at least one entry). Null only for a tempo outside the table.
    std::shared_ptr<const QuestionData> Entry(unsigned id) const;
    // The piece of exactly that id; null when there is none.
    std::shared_ptr<const QuestionData> Find(unsigned id) const;
    size_t Count() const { return entries.size(); }

private:
    std::vector<TempoEntry> entries;
};

// The tempo rule of the settings, limited to ids that have a piece.
class TempoPieceValidator : public QuestionValidator
{
public:
    TempoPieceValidator(const TempoSettings* settings, const TempoPieces& pieces)
        : rule(settings), available(pieces)
    {
    }
    bool Validate(unsigned id) override { return available.Has(id) && rule.Validate(id); }

private:
    TempoValidator rule;
    const TempoPieces& available;
};

// Tempo ids behind the answer buttons: tempos 0 to 5, one id each (Vivace has none).
void TempoChoiceIds(std::vector<int>& out);

} // namespace TrainerSupport
} // namespace Core

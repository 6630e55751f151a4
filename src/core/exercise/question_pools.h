#pragma once
// The fixed, numbered pools the trainers ask from, built once per process on first use and
// shared read-only by every thread afterwards: notes (88), intervals (1066), chords (three
// inversion blocks of the eighteen chord types), scales (760) and tempo pieces. Each pool comes
// with its index of entries by root key, which the variant providers use. Pool order is the
// question numbering the validators decode.

#include "core/exercise/question_data.h"
#include "core/midi/midi_stream.h"

#include <functional>
#include <memory>
#include <vector>

namespace Core {

using QuestionPool = std::vector<std::shared_ptr<const QuestionData>>;
// Pool ids per root key (0-87), in pool order.
using RootIndex = std::vector<std::vector<unsigned>>;

const QuestionPool& GetNotePool();
const QuestionPool& GetIntervalPool();
const QuestionPool& GetChordPool();
const QuestionPool& GetScalePool();
const RootIndex& GetIntervalRootIndex();
const RootIndex& GetChordRootIndex();
const RootIndex& GetScaleRootIndex();

class MidiBank;

// The streams of the pieces of one tempo (0-6) that could be loaded, in the bank's order.
using TempoPieceSource = std::function<std::vector<std::shared_ptr<MidiStream>>(int tempo)>;
// The pieces of the bank; a tempo whose pieces all fail to load gives none.
TempoPieceSource PiecesOf(std::shared_ptr<MidiBank> bank);

// Tempo entries keyed by id (tempo x 64 + piece number), in ascending id order: one entry per
// loaded piece (at most 64 a tempo); a tempo without any piece gets one made-up entry of eleven
// notes at its middle speed.
struct TempoEntry
{
    unsigned id;
    std::shared_ptr<const QuestionData> data;
};
std::vector<TempoEntry> BuildTempoPool(const TempoPieceSource& pieces);

} // namespace Core

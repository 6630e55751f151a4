#include "core/exercise/trainer_support.h"

#include "core/exercise/chord_provider.h"
#include "core/exercise/exercise.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_note_data.h"
#include "core/exercise/question_scale_data.h"
#include "core/exercise/question_tempo_data.h"
#include "core/exercise/root_note_provider.h"

#include <algorithm>

namespace Core {
namespace TrainerSupport {

std::shared_ptr<MidiStream> TogetherStream(const MidiStream& stream)
{
    constexpr double Release = 1.0;
    auto together = std::make_shared<MidiStream>();
    MidiStream offs;
    for (MidiEvent event : stream) {
        if (event.message.IsNoteOff() || (event.message.IsNoteOnType() && event.message.byte2 == 0)) {
            event.seconds = Release;
            event.tick = qint32(Release * MidiEvent::TicksPerSecond);
            offs.append(event);
            continue;
        }
        if (event.message.IsNoteOn()) {
            event.seconds = 0.0;
            event.tick = 0;
        }
        together->append(event);
    }
    // Stable: the notes keep their order within each moment.
    std::stable_sort(together->begin(), together->end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.seconds < b.seconds; });
    together->append(offs);
    return together;
}

std::shared_ptr<QuestionData> CopyItem(const QuestionData* item)
{
    if (!item)
        return std::make_shared<QuestionData>();
    if (const auto* note = dynamic_cast<const QuestionNoteData*>(item))
        return std::make_shared<QuestionNoteData>(*note);
    if (const auto* chord = dynamic_cast<const QuestionChordData*>(item))
        return std::make_shared<QuestionChordData>(*chord);
    if (const auto* scale = dynamic_cast<const QuestionScaleData*>(item))
        return std::make_shared<QuestionScaleData>(*scale);
    if (const auto* tempo = dynamic_cast<const QuestionTempoData*>(item))
        return std::make_shared<QuestionTempoData>(*tempo);
    return std::make_shared<QuestionData>(*item);
}

QString OneLine(QString label)
{
    return label.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QVector<int> EntryKeys(const QuestionData* item)
{
    QVector<int> keys;
    if (const auto* note = dynamic_cast<const QuestionNoteData*>(item))
        keys.append(note->key);
    else if (const auto* chord = dynamic_cast<const QuestionChordData*>(item))
        keys = QVector<int>(chord->keys.begin(), chord->keys.end());
    else if (const auto* scale = dynamic_cast<const QuestionScaleData*>(item))
        keys = QVector<int>(scale->ascendingKeys.begin(), scale->ascendingKeys.end());
    return keys;
}

bool IsInterval(const QuestionData* item)
{
    const auto* chord = dynamic_cast<const QuestionChordData*>(item);
    return chord && chord->keys.size() == 2;
}

bool IsScale(const QuestionData* item)
{
    return dynamic_cast<const QuestionScaleData*>(item) != nullptr;
}

bool TrebleForSound(const MidiStream* stream)
{
    constexpr int MiddleC = 60;
    if (!stream)
        return true;
    int sum = 0;
    int count = 0;
    for (const MidiEvent& event : *stream) {
        if (event.message.IsNoteOn()) {
            sum += event.message.byte1;
            ++count;
        }
    }
    return count == 0 || sum / count >= MiddleC;
}

namespace {

// Interval size or chord type of an entry of those pools; -1 outside the pool.
int ChordEntryType(const QuestionPool& pool, int id)
{
    if (id < 0 || size_t(id) >= pool.size())
        return -1;
    const auto* chord = dynamic_cast<const QuestionChordData*>(pool[size_t(id)].get());
    return chord ? chord->type : -1;
}

} // namespace

const QuestionPool& PoolOf(PitchedPool pool)
{
    switch (pool) {
    case PitchedPool::Intervals:
        return GetIntervalPool();
    case PitchedPool::Chords:
        return GetChordPool();
    case PitchedPool::Scales:
        return GetScalePool();
    default:
        return GetNotePool();
    }
}

std::shared_ptr<const QuestionData> PitchedItem(PitchedPool pool, qint32 id)
{
    const QuestionPool& entries = PoolOf(pool);
    if (id < 0 || size_t(id) >= entries.size())
        return nullptr;
    return entries[size_t(id)];
}

int PitchedKey(PitchedPool pool, int id)
{
    if (pool == PitchedPool::Notes)
        return id >= 0 && id < MusicTables::KeyCount ? id : -1;
    const QuestionPool& entries = PoolOf(pool);
    if (id < 0 || size_t(id) >= entries.size())
        return -1;
    const QuestionData* item = entries[size_t(id)].get();
    if (const auto* chord = dynamic_cast<const QuestionChordData*>(item))
        return chord->rootKey;
    if (const auto* scale = dynamic_cast<const QuestionScaleData*>(item))
        return scale->rootKey;
    return -1;
}

QString PitchedLabel(PitchedPool pool, int id)
{
    if (pool == PitchedPool::Notes)
        return MusicTables::NoteLabel(id, false);
    const QuestionPool& entries = PoolOf(pool);
    if (id >= 0 && size_t(id) < entries.size())
        return OneLine(entries[size_t(id)]->caption2);
    switch (pool) {
    case PitchedPool::Intervals:
        return MusicTables::IntervalName(-1);
    case PitchedPool::Chords:
        return MusicTables::ChordSuffix(-1);
    default:
        return MusicTables::ScaleName(-1);
    }
}

bool PitchedSameAnswer(PitchedPool pool, int a, int b)
{
    switch (pool) {
    case PitchedPool::Notes:
        return MusicTables::PitchClass(a) == MusicTables::PitchClass(b);
    case PitchedPool::Intervals:
    case PitchedPool::Chords: {
        const int type = ChordEntryType(PoolOf(pool), a);
        return type >= 0 && type == ChordEntryType(PoolOf(pool), b);
    }
    case PitchedPool::Scales:
        return a / MusicTables::ScaleRootCount == b / MusicTables::ScaleRootCount;
    }
    return a == b;
}

QString PitchedAnswerText(PitchedPool pool, int id)
{
    switch (pool) {
    case PitchedPool::Notes:
        return MusicTables::NoteName(id >= 0 && id < MusicTables::KeyCount ? MusicTables::PitchClass(id) : -1, false);
    case PitchedPool::Intervals:
        return MusicTables::IntervalName(ChordEntryType(GetIntervalPool(), id));
    case PitchedPool::Chords:
        return MusicTables::ChordSuffix(ChordEntryType(GetChordPool(), id));
    case PitchedPool::Scales:
        return MusicTables::ScaleName(id >= 0 ? id / MusicTables::ScaleRootCount : -1);
    }
    return QString();
}

void PitchedChoiceIds(PitchedPool pool, std::vector<int>& out)
{
    switch (pool) {
    case PitchedPool::Notes:
        for (int key = 3; key <= 14; ++key) // C1 to B1: one button a pitch class
            out.push_back(key);
        break;
    case PitchedPool::Intervals:
        for (int size = 0; size < MusicTables::IntervalCount; ++size)
            out.push_back(MusicTables::IntervalFirstId(size));
        break;
    case PitchedPool::Chords: {
        // The root-position block begins with each type's entries in turn.
        int first = 0;
        for (int type = 0; type < MusicTables::ChordTypeCount; ++type) {
            out.push_back(first);
            first += MusicTables::ChordEntries(type, 0);
        }
        break;
    }
    case PitchedPool::Scales:
        // Scale s on root 2s: one button a scale.
        for (int scale = 0; scale < MusicTables::ScaleCount; ++scale)
            out.push_back(scale * (MusicTables::ScaleRootCount + 2));
        break;
    }
}

bool DrawPitched(Exercise& exercise, PitchedPool pool, const PitchedSettings& settings, QuestionRecord& question)
{
    const QuestionPool& entries = PoolOf(pool);
    const unsigned size = unsigned(entries.size());
    std::vector<unsigned> ids;
    int position = -1;
    switch (pool) {
    case PitchedPool::Notes: {
        NoteValidator validator(settings.singleNotes);
        position = exercise.DrawCandidates(size, &validator, nullptr, ids);
        break;
    }
    case PitchedPool::Intervals: {
        IntervalValidator validator(settings.intervals);
        position = exercise.DrawCandidates(size, &validator, &RootNoteProvider::Intervals(), ids);
        break;
    }
    case PitchedPool::Chords: {
        ChordValidator validator(settings.chords);
        position = exercise.DrawCandidates(size, &validator, &ChordProvider::Instance(), ids);
        break;
    }
    case PitchedPool::Scales: {
        ScaleValidator validator(settings.scales);
        position = exercise.DrawCandidates(size, &validator, &RootNoteProvider::Scales(), ids);
        break;
    }
    }
    if (position < 0)
        return false;
    question.candidates.clear();
    for (unsigned id : ids)
        question.candidates.push_back(entries[id]);
    question.correctIndex = position;
    return true;
}

bool SoundsTogether(PitchedPool pool, const PitchedSettings& settings)
{
    if (pool == PitchedPool::Intervals)
        return settings.intervals && !settings.intervals->arpeggiated;
    if (pool == PitchedPool::Chords)
        return settings.chords && !(*settings.chords)[ChordSwitch::Arpeggiated];
    return false;
}

int GmnMode(PitchedPool pool)
{
    switch (pool) {
    case PitchedPool::Intervals:
        return 2;
    case PitchedPool::Chords:
        return 3;
    case PitchedPool::Scales:
        return 0;
    default:
        return 1;
    }
}

QString TempoLabel(int id)
{
    if (id < 0 || unsigned(id) >= TempoPieces::IdBound())
        return QString();
    return OneLine(MusicTables::TempoName(id / MusicTables::PiecesPerTempo));
}

bool SameTempo(int a, int b)
{
    return a / MusicTables::PiecesPerTempo == b / MusicTables::PiecesPerTempo;
}

void TempoPieces::Build(const std::shared_ptr<MidiBank>& bank)
{
    entries = BuildTempoPool(PiecesOf(bank));
}

unsigned TempoPieces::IdBound()
{
    return unsigned(MusicTables::TempoCount * MusicTables::PiecesPerTempo);
}

bool TempoPieces::Has(unsigned id) const
{
    return std::binary_search(entries.begin(), entries.end(), TempoEntry{id, nullptr},
                              [](const TempoEntry& a, const TempoEntry& b) { return a.id < b.id; });
}

std::shared_ptr<const QuestionData> TempoPieces::Entry(unsigned id) const
{
    const unsigned tempo = id / unsigned(MusicTables::PiecesPerTempo);
    std::vector<const TempoEntry*> sameTempo;
    for (const TempoEntry& entry : entries) {
        if (entry.id == id)
            return entry.data;
        if (entry.id / unsigned(MusicTables::PiecesPerTempo) == tempo)
            sameTempo.push_back(&entry);
    }
    if (sameTempo.empty())
        return nullptr;
    return sameTempo[(id % unsigned(MusicTables::PiecesPerTempo)) % sameTempo.size()]->data;
}

std::shared_ptr<const QuestionData> TempoPieces::Find(unsigned id) const
{
    const auto found = std::lower_bound(entries.begin(), entries.end(), id,
                                        [](const TempoEntry& entry, unsigned wanted) { return entry.id < wanted; });
    return found != entries.end() && found->id == id ? found->data : nullptr;
}

void TempoChoiceIds(std::vector<int>& out)
{
    for (int tempo = 0; tempo < 6; ++tempo)
        out.push_back(tempo * MusicTables::PiecesPerTempo);
}

} // namespace TrainerSupport
} // namespace Core

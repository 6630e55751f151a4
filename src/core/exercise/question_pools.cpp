#include "core/exercise/question_pools.h"

#include "core/exercise/music_tables.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_note_data.h"
#include "core/exercise/question_scale_data.h"
#include "core/exercise/question_tempo_data.h"
#include "core/midi/midi_bank.h"

namespace Core {
namespace {

constexpr quint8 Velocity = 96;

MidiEvent NoteEvent(bool on, int key, double seconds)
{
    return MidiEvent{MidiMessage(on ? 0x90 : 0x80, 0, quint8(key + 21), Velocity),
                     qint32(seconds * MidiEvent::TicksPerSecond), seconds};
}

std::shared_ptr<MidiStream> Run(const std::vector<int>& keys, double step)
{
    auto stream = std::make_shared<MidiStream>();
    for (size_t i = 0; i < keys.size(); ++i) {
        stream->append(NoteEvent(true, keys[i], step * double(i)));
        stream->append(NoteEvent(false, keys[i], step * double(i + 1)));
    }
    stream->Sort();
    return stream;
}

struct Pools
{
    QuestionPool notes, intervals, chords, scales;
    RootIndex intervalRoots, chordRoots, scaleRoots;
};

const Pools& AllPools()
{
    static const Pools pools = [] {
        Pools p;
        p.intervalRoots.resize(MusicTables::KeyCount);
        p.chordRoots.resize(MusicTables::KeyCount);
        p.scaleRoots.resize(MusicTables::KeyCount);
        for (int key = 0; key < MusicTables::KeyCount; ++key)
            p.notes.push_back(std::make_shared<QuestionNoteData>(key));
        for (int k = 0; k < MusicTables::IntervalCount; ++k) {
            for (int r = 0; r + k < MusicTables::KeyCount; ++r) {
                p.intervalRoots[size_t(r)].push_back(unsigned(p.intervals.size()));
                auto entry = QuestionChordData::Interval(k, r);
                entry->statisticsKey = qint32(p.intervals.size());
                p.intervals.push_back(entry);
            }
        }
        for (int inversion = 0; inversion < 3; ++inversion) {
            for (int type = 0; type < MusicTables::ChordTypeCount; ++type) {
                for (int r = 0; r < MusicTables::ChordEntries(type, inversion); ++r) {
                    p.chordRoots[size_t(r)].push_back(unsigned(p.chords.size()));
                    auto entry = QuestionChordData::Chord(type, r, inversion);
                    entry->statisticsKey = qint32(p.chords.size());
                    p.chords.push_back(entry);
                }
            }
        }
        for (int s = 0; s < MusicTables::ScaleCount; ++s) {
            for (int r = 0; r < MusicTables::ScaleRootCount; ++r) {
                p.scaleRoots[size_t(r)].push_back(unsigned(p.scales.size()));
                auto entry = std::make_shared<QuestionScaleData>(s, r);
                entry->statisticsKey = qint32(p.scales.size());
                p.scales.push_back(entry);
            }
        }
        return p;
    }();
    return pools;
}

} // namespace

QuestionNoteData::QuestionNoteData(int noteKey, bool shortNote) : key(noteKey)
{
    statisticsKey = noteKey;
    caption2 = MusicTables::NoteLabel(noteKey, false);
    stream = std::make_shared<MidiStream>();
    stream->append(NoteEvent(true, noteKey, 0.0));
    if (!shortNote)
        stream->append(NoteEvent(false, noteKey, 0.5));
}

std::shared_ptr<QuestionChordData> QuestionChordData::Interval(int size, int root)
{
    auto entry = std::make_shared<QuestionChordData>();
    entry->keys = {root, root + size};
    entry->type = size;
    entry->rootKey = root;
    entry->caption2 = MusicTables::IntervalLabel(size, root, false);
    entry->stream = Run(entry->keys, 0.5);
    return entry;
}

std::shared_ptr<QuestionChordData> QuestionChordData::Chord(int type, int root, int inversion)
{
    auto entry = std::make_shared<QuestionChordData>();
    entry->keys = MusicTables::ChordKeys(type, root, inversion);
    entry->type = type;
    entry->inversion = inversion;
    entry->rootKey = root;
    entry->caption2 = MusicTables::ChordLabel(type, root, inversion);
    entry->stream = std::make_shared<MidiStream>();
    for (int key : entry->keys)
        entry->stream->append(NoteEvent(true, key, 0.0));
    return entry;
}

QuestionScaleData::QuestionScaleData(int scaleIndex, int root) : scale(scaleIndex), rootKey(root)
{
    const MusicTables::Scale& table = MusicTables::ScaleAt(scaleIndex);
    for (int step : table.ascending)
        ascendingKeys.push_back(root + step);
    for (int step : table.descending)
        descendingKeys.push_back(root + step);
    caption2 = MusicTables::ScaleLabel(scaleIndex, root, false);
    stream = Run(ascendingKeys, 0.5);
    descendingStream = Run(descendingKeys, 0.5);
}

const QuestionPool& GetNotePool()
{
    return AllPools().notes;
}

const QuestionPool& GetIntervalPool()
{
    return AllPools().intervals;
}

const QuestionPool& GetChordPool()
{
    return AllPools().chords;
}

const QuestionPool& GetScalePool()
{
    return AllPools().scales;
}

const RootIndex& GetIntervalRootIndex()
{
    return AllPools().intervalRoots;
}

const RootIndex& GetChordRootIndex()
{
    return AllPools().chordRoots;
}

const RootIndex& GetScaleRootIndex()
{
    return AllPools().scaleRoots;
}

TempoPieceSource PiecesOf(std::shared_ptr<MidiBank> bank)
{
    return [bank](int tempo) {
        std::vector<std::shared_ptr<MidiStream>> streams;
        if (!bank)
            return streams;
        QList<MidiBank::PieceEntry> pieces;
        bank->GetPieces(tempo, pieces);
        for (const MidiBank::PieceEntry& piece : pieces)
            if (piece.stream)
                streams.push_back(piece.stream);
        return streams;
    };
}

std::vector<TempoEntry> BuildTempoPool(const TempoPieceSource& pieces)
{
    std::vector<TempoEntry> pool;
    for (int tempo = 0; tempo < MusicTables::TempoCount; ++tempo) {
        std::vector<std::shared_ptr<MidiStream>> streams;
        if (pieces)
            streams = pieces(tempo);
        auto makeEntry = [tempo](unsigned id, std::shared_ptr<MidiStream> stream) {
            auto entry = std::make_shared<QuestionTempoData>();
            entry->statisticsKey = qint32(id);
            entry->caption = MusicTables::TempoPicture(tempo);
            entry->caption2 = MusicTables::TempoName(tempo);
            entry->description = MusicTables::TempoDescription(tempo);
            entry->stream = std::move(stream);
            return TempoEntry{id, entry};
        };
        int number = 0;
        for (const auto& stream : streams) {
            if (!stream || number >= MusicTables::PiecesPerTempo)
                continue;
            pool.push_back(makeEntry(unsigned(tempo * MusicTables::PiecesPerTempo + number), stream));
            ++number;
        }
        if (number == 0) {
            // Eleven notes, MIDI 77 up to 87, one a beat at the tempo's middle speed.
            const double beat = 60.0 / MusicTables::TempoNumbers(tempo)[0];
            auto stream = std::make_shared<MidiStream>();
            for (int i = 0; i <= 10; ++i) {
                const double t = beat * i;
                if (i > 0)
                    stream->append({MidiMessage(0x80, 0, quint8(77 + i - 1), Velocity),
                                    qint32(t * MidiEvent::TicksPerSecond), t});
                stream->append({MidiMessage(0x90, 0, quint8(77 + i), Velocity),
                                qint32(t * MidiEvent::TicksPerSecond), t});
            }
            pool.push_back(makeEntry(unsigned(tempo * MusicTables::PiecesPerTempo), stream));
        }
    }
    return pool;
}

} // namespace Core

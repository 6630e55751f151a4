#include "core/exercise/answer_judgement.h"

#include "core/exercise/answer_log.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/note_match.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_note_data.h"
#include "core/exercise/question_pools.h"
#include "core/exercise/question_scale_data.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

namespace Core::AnswerJudgement {
namespace {

// Interval in semitones between the first two notes the item sounds; -1 when it has fewer.
int ExpectedInterval(const QuestionData* item)
{
    if (!item || !item->stream)
        return -1;
    int first = -1;
    for (const MidiEvent& e : *item->stream) {
        if (!e.message.IsNoteOn())
            continue;
        if (first < 0)
            first = e.message.byte1;
        else
            return qAbs(int(e.message.byte1) - first);
    }
    return -1;
}

bool MatchesPitchClass(const QuestionRecord& question, const Answer& answer)
{
    return question.kind == QuestionRecord::ChordSymbolQuestion || answer.sung;
}

bool MatchesInOrder(const QuestionRecord& question, const Answer& answer)
{
    return (question.answerModes & QuestionRecord::OrderedMode) && !MatchesPitchClass(question, answer);
}

// Keys count from A0, MIDI note 21.
constexpr int LowestNote = 21;

using KeySet = std::vector<int>; // ascending, each key once

KeySet Sorted(std::vector<int> keys)
{
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

std::set<int> PitchClasses(const std::vector<int>& keys)
{
    std::set<int> classes;
    for (int key : keys)
        classes.insert(MusicTables::PitchClass(key));
    return classes;
}

// Pool ids by the keys of their entries (the first entry of a key set wins), built once.
const std::map<KeySet, qint32>& ChordsByKeys()
{
    static const std::map<KeySet, qint32> index = [] {
        std::map<KeySet, qint32> byKeys;
        for (const auto& entry : GetChordPool())
            if (const auto* chord = dynamic_cast<const QuestionChordData*>(entry.get()))
                byKeys.emplace(Sorted(chord->keys), chord->statisticsKey);
        return byKeys;
    }();
    return index;
}

const std::map<KeySet, qint32>& ScalesByKeys()
{
    static const std::map<KeySet, qint32> index = [] {
        std::map<KeySet, qint32> byKeys;
        for (const auto& entry : GetScalePool())
            if (const auto* scale = dynamic_cast<const QuestionScaleData*>(entry.get()))
                byKeys.emplace(Sorted(scale->ascendingKeys), scale->statisticsKey);
        // The descending form where it differs (the melodic minor), after every ascending one.
        for (const auto& entry : GetScalePool())
            if (const auto* scale = dynamic_cast<const QuestionScaleData*>(entry.get()))
                byKeys.emplace(Sorted(scale->descendingKeys), scale->statisticsKey);
        return byKeys;
    }();
    return index;
}

qint32 Lookup(const std::map<KeySet, qint32>& index, const KeySet& keys)
{
    const auto found = index.find(keys);
    return found == index.end() ? LoggedAnswer::NoItem : found->second;
}

// The interval pool's entry of `size` semitones on `root`.
qint32 IntervalId(int size, int root)
{
    if (size < 0 || size >= MusicTables::IntervalCount || root < 0 || root + size >= MusicTables::KeyCount)
        return LoggedAnswer::NoItem;
    return qint32(MusicTables::IntervalFirstId(size) + root);
}

// The chord whose pitch classes `played` are, when only one chord type on one root pitch class
// has them: in the asked chord's inversion, on the root nearest the asked one.
qint32 ChordByPitchClass(const std::set<int>& played, const QuestionChordData& asked)
{
    int foundType = -1;
    int foundRoot = -1;
    for (int type = 0; type < MusicTables::ChordTypeCount; ++type) {
        for (int root = 0; root < 12; ++root) {
            std::set<int> classes;
            for (int offset : MusicTables::Chord(type).offsets)
                classes.insert((root + offset) % 12);
            if (classes != played)
                continue;
            if (foundType >= 0)
                return LoggedAnswer::NoItem; // more than one chord has these notes
            foundType = type;
            foundRoot = root;
        }
    }
    if (foundType < 0)
        return LoggedAnswer::NoItem;
    qint32 best = LoggedAnswer::NoItem;
    int bestDistance = MusicTables::KeyCount;
    for (const auto& entry : GetChordPool()) {
        const auto* chord = static_cast<const QuestionChordData*>(entry.get());
        if (chord->type != foundType || chord->inversion != asked.inversion ||
            MusicTables::PitchClass(chord->rootKey) != foundRoot)
            continue;
        const int distance = std::abs(chord->rootKey - asked.rootKey);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = chord->statisticsKey;
        }
    }
    return best;
}

qint32 NamedByKeys(const QuestionRecord& question, const QuestionData* item, const std::vector<int>& played,
                   bool sung)
{
    if (played.empty() || !item)
        return LoggedAnswer::NoItem;
    if (const auto* note = dynamic_cast<const QuestionNoteData*>(item)) {
        if (!sung)
            return qint32(played.front());
        // A voice sings in its own octave: the sung pitch class is named nearest the asked key.
        int offset = ((played.front() - note->key) % 12 + 12) % 12;
        if (offset > 6)
            offset -= 12;
        const int key = note->key + offset;
        return key >= 0 && key < MusicTables::KeyCount ? qint32(key)
                                                       : qint32(key - 12 * (offset > 0 ? 1 : -1));
    }
    const KeySet keys = Sorted(played);
    if (const auto* chord = dynamic_cast<const QuestionChordData*>(item)) {
        if (chord->keys.size() == 2)
            return keys.size() == 2 ? IntervalId(keys[1] - keys[0], keys[0]) : LoggedAnswer::NoItem;
        if (keys == Sorted(chord->keys))
            return chord->statisticsKey;
        if (question.kind == QuestionRecord::ChordSymbolQuestion) {
            const std::set<int> classes = PitchClasses(keys);
            if (classes == PitchClasses(chord->keys))
                return chord->statisticsKey;
            const qint32 exact = Lookup(ChordsByKeys(), keys);
            return exact != LoggedAnswer::NoItem ? exact : ChordByPitchClass(classes, *chord);
        }
        return Lookup(ChordsByKeys(), keys);
    }
    if (const auto* scale = dynamic_cast<const QuestionScaleData*>(item)) {
        if (keys == Sorted(scale->ascendingKeys) || keys == Sorted(scale->descendingKeys))
            return scale->statisticsKey;
        return Lookup(ScalesByKeys(), keys);
    }
    return LoggedAnswer::NoItem;
}

} // namespace

int Judge(const QuestionRecord& question, const Answer& answer)
{
    if (question.answerModes == 0)
        return NoteMatchWrong;
    const QuestionData* item = question.AskedItem();
    switch (answer.kind) {
    case Answer::Notes:
        if (!item || !item->stream)
            return NoteMatchWrong;
        return MatchNotes(*item->stream, answer.notes, MatchesInOrder(question, answer),
                          MatchesPitchClass(question, answer));
    case Answer::Interval: {
        const int expected = ExpectedInterval(item);
        return expected >= 0 && answer.value == expected ? NoteMatchRight : NoteMatchWrong;
    }
    case Answer::Choice:
        return answer.variant == question.correctIndex ? NoteMatchRight : NoteMatchWrong;
    default:
        return NoteMatchWrong;
    }
}

void MarkKeys(const QuestionRecord& question, const Answer& answer, bool interval,
              QVector<QPair<int, int>>& keys)
{
    QVector<int> left;
    const QuestionData* item = question.AskedItem();
    if (item && item->stream)
        for (const MidiEvent& e : *item->stream)
            if (e.message.IsNoteOn())
                left.append(e.message.byte1);
    QVector<int> entered;
    if (answer.kind == Answer::Notes)
        for (const MidiEvent& e : answer.notes)
            if (e.message.IsNoteOn())
                entered.append(e.message.byte1);
    // Keys played are marked by the rule of the judgement, every one of them: an interval played
    // top note first is as right as one played from the bottom. Without keys, the view of an
    // interval shows its first note only.
    if (interval && entered.isEmpty())
        left.resize(qMin(1, left.size()));

    const bool pitchClass = MatchesPitchClass(question, answer);
    const bool ordered = MatchesInOrder(question, answer);
    for (int note : entered) {
        const int found = FindMatchingNote(left.constData(), left.size(), note, ordered, pitchClass);
        keys.append({note - LowestNote, found >= 0 ? 0 : 1});
        if (found >= 0)
            left.remove(found);
    }
    for (int note : left)
        keys.append({note - LowestNote, 2});
}

qint32 AnsweredItem(const QuestionRecord& question, const Answer& answer)
{
    const QuestionData* item = question.AskedItem();
    switch (answer.kind) {
    case Answer::Choice: {
        if (answer.variant < 0 || size_t(answer.variant) >= question.candidates.size())
            return LoggedAnswer::NoItem;
        const auto& candidate = question.candidates[size_t(answer.variant)];
        return candidate ? candidate->statisticsKey : LoggedAnswer::NoItem;
    }
    case Answer::Notes: {
        std::vector<int> played;
        for (const MidiEvent& e : answer.notes) {
            const int key = int(e.message.byte1) - LowestNote;
            if (e.message.IsNoteOn() && key >= 0 && key < MusicTables::KeyCount)
                played.push_back(key);
        }
        return NamedByKeys(question, item, played, answer.sung);
    }
    case Answer::Interval: {
        const auto* interval = dynamic_cast<const QuestionChordData*>(item);
        if (!interval || interval->keys.size() != 2)
            return LoggedAnswer::NoItem;
        return IntervalId(answer.value, interval->rootKey);
    }
    default:
        return LoggedAnswer::NoItem;
    }
}

} // namespace Core::AnswerJudgement

#include "core/exercise/answer_judgement.h"

#include "core/exercise/note_match.h"

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

bool MatchesPitchClass(const QuestionRecord& question)
{
    return question.kind == QuestionRecord::ChordSymbolQuestion;
}

bool MatchesInOrder(const QuestionRecord& question)
{
    return (question.answerModes & QuestionRecord::OrderedMode) && !MatchesPitchClass(question);
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
        return MatchNotes(*item->stream, answer.notes, MatchesInOrder(question), MatchesPitchClass(question));
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
    // Keys count from A0, MIDI note 21.
    constexpr int LowestNote = 21;
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

    const bool pitchClass = MatchesPitchClass(question);
    const bool ordered = MatchesInOrder(question);
    for (int note : entered) {
        const int found = FindMatchingNote(left.constData(), left.size(), note, ordered, pitchClass);
        keys.append({note - LowestNote, found >= 0 ? 0 : 1});
        if (found >= 0)
            left.remove(found);
    }
    for (int note : left)
        keys.append({note - LowestNote, 2});
}

} // namespace Core::AnswerJudgement

#pragma once
// How an answer compares with the question it answers: the judgement of the exercise and the
// keys its answer view flags. Both apply one rule, so that the view never contradicts the
// judgement: the notes of a chord-symbol question, and sung notes, match by pitch class and in any
// order, those of a question with the ordered mode in the order expected. Also which pool item
// an answer names, for the answer log. Stateless; any thread.

#include "core/exercise/answer.h"
#include "core/exercise/question_record.h"

#include <QPair>
#include <QVector>

namespace Core::AnswerJudgement {

// NoteMatchRight, NoteMatchWrong, or NoteMatchIncomplete while expected notes are still unplayed.
// A question without answer modes is never answered right.
int Judge(const QuestionRecord& question, const Answer& answer);

// Appends the keys of the answer view, (key, flag) with keys counted from A0: each entered note
// flagged 0 when it matches an expected one and 1 when it does not, then each expected note left
// unmatched flagged 2. With `interval` and no note entered (an answer given on the screen), only
// the first expected note is appended.
void MarkKeys(const QuestionRecord& question, const Answer& answer, bool interval,
              QVector<QPair<int, int>>& keys);

// The statistics key of the item an answer names, in the pool of the asked item, or
// LoggedAnswer::NoItem: a button names its candidate; keys name the note first played (a sung one
// in the octave nearest the asked note), the interval of two keys (lower first, in whatever order
// they came), the chord or scale they form
// (for a chord symbol, by pitch class: the asked chord, the chord of those very keys, or else the
// one chord type and root the pitch classes can be, in the asked inversion nearest the asked
// root); an interval picked on the screen names that interval on the asked root. No answer, and
// keys that form no item of the pool, name none. A right answer names the asked item.
qint32 AnsweredItem(const QuestionRecord& question, const Answer& answer);

} // namespace Core::AnswerJudgement

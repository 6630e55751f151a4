#pragma once
// How an answer compares with the question it answers: the judgement of the exercise and the
// keys its answer view flags. Both apply one rule, so that the view never contradicts the
// judgement: the notes of a chord-symbol question match by pitch class and in any order, those
// of a question with the ordered mode in the order expected. Stateless; any thread.

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

} // namespace Core::AnswerJudgement

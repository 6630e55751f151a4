#pragma once
// A single-note pool entry: the piano key (0-87) it asks. Built by the note pool.

#include "core/exercise/question_data.h"

namespace Core {

class QuestionNoteData : public QuestionData
{
public:
    // Sounds key + 21 at velocity 96 from time 0; unless `shortNote`, released after 0.5 s.
    QuestionNoteData(int key, bool shortNote = true);
    int key = 0;
};

} // namespace Core

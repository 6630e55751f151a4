#pragma once
// A tempo pool entry: a piece (or a made-up run of notes) in one tempo, its picture, name and
// description. Built from the tempo pieces by the tempo pool.

#include "core/exercise/question_data.h"

namespace Core {

class QuestionTempoData : public QuestionData
{
public:
    QString description;
};

} // namespace Core

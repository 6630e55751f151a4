#pragma once
// An interval or chord pool entry: its keys (ascending), the interval size or chord type, the
// inversion and the root key. Built by the interval and chord pools.

#include "core/exercise/question_data.h"

#include <vector>

namespace Core {

class QuestionChordData : public QuestionData
{
public:
    // An interval of `size` semitones on `root`: the lower key sounds 0-0.5 s, the upper 0.5-1 s.
    static std::shared_ptr<QuestionChordData> Interval(int size, int root);
    // A chord of type 0-17 in inversion 0-2 on `root`: all keys start together.
    static std::shared_ptr<QuestionChordData> Chord(int type, int root, int inversion);

    std::vector<int> keys;
    int inversion = 0;
    int type = 0;
    int rootKey = 0;
};

} // namespace Core

#pragma once
// A scale pool entry: its keys up and down, the scale (0-9) and the root key. The stream plays
// it ascending; `descendingStream` plays it down.

#include "core/exercise/question_data.h"

#include <vector>

namespace Core {

class QuestionScaleData : public QuestionData
{
public:
    QuestionScaleData(int scale, int root);

    std::vector<int> ascendingKeys;
    std::vector<int> descendingKeys;
    std::shared_ptr<MidiStream> descendingStream;
    int scale = 0;
    int rootKey = 0;
};

} // namespace Core

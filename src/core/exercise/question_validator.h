#pragma once
// Tells whether one pool entry may be asked under the question settings in force. Trainers make
// one per draw on a copy of the settings and hand it to Exercise::DrawCandidates.

namespace Core {

class QuestionValidator
{
public:
    virtual ~QuestionValidator() = default;
    virtual bool Validate(unsigned questionId) = 0;
};

} // namespace Core

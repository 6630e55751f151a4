#pragma once
// Chooses plausible wrong answers for the multiple-choice buttons (a chord on the same root, a
// scale on the same key) and tells which pool entries count as the same answer. One provider of
// each kind per process; the draw reads it from any thread, so providers hold no mutable state.

namespace Core {

class AnswerVariantProvider
{
public:
    virtual ~AnswerVariantProvider() = default;
    // May replace `candidate` by a variant of the question; false when it offers none.
    virtual bool ProvideVariant(unsigned questionId, unsigned& candidate) const = 0;
    virtual bool IsSameAnswer(unsigned a, unsigned b) const = 0;
};

} // namespace Core

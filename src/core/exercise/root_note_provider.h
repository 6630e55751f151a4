#pragma once
// Multiple-choice variants on the same key: for an asked interval or scale, another entry of
// the pool whose root is the asked entry's lowest key. One per process over the interval pool
// and one over the scale pool; stateless, so any thread may use them.

#include "core/exercise/answer_variant_provider.h"
#include "core/exercise/question_pools.h"

namespace Core {

class RootNoteProvider : public AnswerVariantProvider
{
public:
    static const RootNoteProvider& Intervals();
    static const RootNoteProvider& Scales();

    RootNoteProvider(const QuestionPool& pool, const RootIndex& index);
    bool ProvideVariant(unsigned questionId, unsigned& candidate) const override;
    bool IsSameAnswer(unsigned a, unsigned b) const override { return a == b; }

protected:
    // Lowest key the entry sounds; -1 for an id outside the pool.
    virtual int LowestKey(unsigned questionId) const;

    const QuestionPool& pool;
    const RootIndex& index;
};

} // namespace Core

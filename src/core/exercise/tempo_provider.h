#pragma once
// Multiple-choice candidates for tempo questions: no variants, and two pieces of one tempo
// (id / 64) count as the same answer. One per process.

#include "core/exercise/answer_variant_provider.h"

namespace Core {

class TempoProvider : public AnswerVariantProvider
{
public:
    static const TempoProvider& Instance();
    bool ProvideVariant(unsigned, unsigned&) const override { return false; }
    bool IsSameAnswer(unsigned a, unsigned b) const override { return a / 64 == b / 64; }
};

} // namespace Core

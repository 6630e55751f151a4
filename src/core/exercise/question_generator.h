#pragma once
// One draw of a question: which pool entries are valid (the validator), how often each was
// answered right and wrong (its statistics records), and which entries may stand beside it as
// multiple-choice candidates (the variant provider). Built on the stack of
// Exercise::DrawCandidates for one draw.
//
// Weights: an entry without statistics weighs 100; otherwise 100 x wrong / right clamped to
// 50-200, or, with no right answers, 100 without wrong answers and 200 with some. Weak-spot
// factors (the answer log's mistakes of earlier lessons), when given, multiply these: every
// weight is then counted in 1/FactorScale steps, rounded. Without factors the weights, the
// arithmetic and the calls to rand() are those of the plain draw.

#include "core/exercise/statistics_record.h"

#include <map>
#include <vector>

namespace Core {

class QuestionValidator;
class AnswerVariantProvider;

class QuestionGenerator
{
public:
    static constexpr int CandidateCount = 6;
    static constexpr int FactorScale = 1024;

    QuestionGenerator(unsigned poolSize, QuestionValidator* validator, const AnswerVariantProvider* provider);

    static int Weight(const StatisticsRecord* record);

    // Collects the valid ids and their weights from the section's statistics records (in any
    // order) and, when given and not empty, the factors by pool id (ids without one keep their
    // weight). Returns the number of valid ids.
    int Prepare(const std::vector<StatisticsRecord>& records, const std::map<qint32, double>* factors = nullptr);
    // Draws one of the prepared ids by weight; needs Prepare to have found at least one.
    unsigned Draw() const;
    // Fills `ids` with up to six candidates: the drawn id at a random slot, the others random
    // pool entries that are neither the same answer as it nor as each other (two of them may be
    // variants of it from the provider). Fewer than six only when the pool holds fewer distinct
    // answers. Returns the drawn id's position.
    int BuildChoices(unsigned drawn, std::vector<unsigned>& ids) const;

    bool IsSameAnswer(unsigned a, unsigned b) const;
    unsigned PoolSize() const { return poolSize; }

private:
    unsigned poolSize;
    QuestionValidator* validator;
    const AnswerVariantProvider* provider;
    std::vector<unsigned> validIds;
    std::vector<quint64> weights;
    quint64 totalWeight = 0;
};

} // namespace Core

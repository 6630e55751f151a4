#include "core/exercise/question_generator.h"

#include "core/exercise/question_validator.h"
#include "core/exercise/answer_variant_provider.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Core {
namespace {

// A 32-bit number from four calls to rand(), one byte each, lowest byte first.
quint32 Random32()
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value |= quint32(std::rand() & 0xFF) << (8 * i);
    return value;
}

constexpr double MaxFactor = 1.0e6;

} // namespace

QuestionGenerator::QuestionGenerator(unsigned size, QuestionValidator* check, const AnswerVariantProvider* variants)
    : poolSize(size), validator(check), provider(variants)
{
}

int QuestionGenerator::Weight(const StatisticsRecord* record)
{
    if (!record)
        return 100;
    if (record->correct <= 0)
        return record->wrong > 0 ? 200 : 100;
    return int(qBound(qint64(50), qint64(100) * record->wrong / record->correct, qint64(200)));
}

int QuestionGenerator::Prepare(const std::vector<StatisticsRecord>& records, const std::map<qint32, double>* factors)
{
    validIds.clear();
    weights.clear();
    totalWeight = 0;
    if (!validator)
        return 0;
    // Records by question id; ids outside the pool are ignored, and of several records of one
    // id the first counts.
    std::vector<const StatisticsRecord*> byId(poolSize, nullptr);
    for (const StatisticsRecord& record : records)
        if (record.id >= 0 && quint64(record.id) < poolSize && !byId[size_t(record.id)])
            byId[size_t(record.id)] = &record;
    const bool weighed = factors && !factors->empty();
    validIds.reserve(poolSize);
    weights.reserve(poolSize);
    for (unsigned id = 0; id < poolSize; ++id) {
        if (!validator->Validate(id))
            continue;
        quint64 w = quint64(Weight(byId[id]));
        if (weighed) {
            const auto factor = factors->find(qint32(id));
            // A factor that is no number or absurd (a damaged log) never empties nor swamps the draw.
            const double f =
                factor == factors->end() || !(factor->second > 0.0) ? 1.0 : std::min(factor->second, MaxFactor);
            w = quint64(std::llround(double(w) * f * FactorScale));
        }
        validIds.push_back(id);
        weights.push_back(w);
        totalWeight += w;
    }
    return int(validIds.size());
}

unsigned QuestionGenerator::Draw() const
{
    Q_ASSERT(!validIds.empty());
    // random x total / (2^32 - 1), exactly, also for a total past 32 bits (weighed weights): the
    // total split into whole multiples of the divisor and the rest keeps every product in 64 bits.
    constexpr quint64 Divisor = 0xFFFFFFFFull;
    const quint64 random = Random32();
    const quint64 target = random * (totalWeight / Divisor) + random * (totalWeight % Divisor) / Divisor;
    quint64 sum = 0;
    for (size_t i = 0; i < validIds.size(); ++i) {
        sum += weights[i];
        if (sum >= target)
            return validIds[i];
    }
    return validIds.back();
}

bool QuestionGenerator::IsSameAnswer(unsigned a, unsigned b) const
{
    return provider ? provider->IsSameAnswer(a, b) : a == b;
}

int QuestionGenerator::BuildChoices(unsigned drawn, std::vector<unsigned>& ids) const
{
    ids.clear();
    const int p = std::rand() % CandidateCount;
    int a = 0;
    int b = 0;
    do
        a = std::rand() % CandidateCount;
    while (a == p);
    do
        b = std::rand() % CandidateCount;
    while (b == p || b == a);

    auto acceptable = [&](unsigned candidate) {
        if (candidate >= poolSize || candidate == drawn || IsSameAnswer(candidate, drawn))
            return false;
        for (unsigned placed : ids)
            if (IsSameAnswer(candidate, placed))
                return false;
        return true;
    };

    int position = 0;
    for (int slot = 0; slot < CandidateCount; ++slot) {
        if (slot == p) {
            position = int(ids.size());
            ids.push_back(drawn);
            continue;
        }
        bool placed = false;
        // Random tries first; a pool with few distinct answers is then scanned, and a slot that
        // nothing fits stays out rather than being drawn for ever.
        for (int tries = 0; tries < 256 && !placed && poolSize > 0; ++tries) {
            unsigned candidate = unsigned(std::rand()) % poolSize;
            if (provider && (slot == a || slot == b))
                provider->ProvideVariant(drawn, candidate);
            if (acceptable(candidate)) {
                ids.push_back(candidate);
                placed = true;
            }
        }
        for (unsigned candidate = 0; candidate < poolSize && !placed; ++candidate) {
            if (acceptable(candidate)) {
                ids.push_back(candidate);
                placed = true;
            }
        }
    }
    return position;
}

} // namespace Core

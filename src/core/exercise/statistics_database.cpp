#include "core/exercise/statistics_database.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace Core {
namespace ExDbDetail {

void StatisticsDatabase::Clear()
{
    records.clear();
    firstByKey.clear();
    viewsStale = true;
}

void StatisticsDatabase::Append(const StatisticsRecord& record)
{
    const int index = int(records.size());
    records.push_back(record);
    const Key key{record.id, record.exId, record.section};
    if (!firstByKey.contains(key))
        firstByKey.insert(key, index);
    viewsStale = true;
}

void StatisticsDatabase::Accumulate(const StatisticsRecord& record)
{
    const Key key{record.id, record.exId, record.section};
    const auto found = firstByKey.constFind(key);
    if (found != firstByKey.constEnd()) {
        StatisticsRecord& existing = records[size_t(found.value())];
        // Counters wrap like the 32-bit values they are stored as rather than overflow.
        existing.correct = qint32(quint32(existing.correct) + quint32(record.correct));
        existing.wrong = qint32(quint32(existing.wrong) + quint32(record.wrong));
        return;
    }
    firstByKey.insert(key, int(records.size()));
    records.push_back(record);
    viewsStale = true;
}

void StatisticsDatabase::RemoveTrainer(qint32 exId)
{
    const auto end = std::remove_if(records.begin(), records.end(),
                                    [exId](const StatisticsRecord& r) { return r.exId == exId; });
    if (end == records.end())
        return;
    records.erase(end, records.end());
    RebuildKeyIndex();
    viewsStale = true;
}

void StatisticsDatabase::Swap(StatisticsDatabase& other)
{
    records.swap(other.records);
    firstByKey.swap(other.firstByKey);
    viewsStale = true;
    other.viewsStale = true;
}

void StatisticsDatabase::CollectTrainer(qint32 exId, std::vector<StatisticsRecord>& out) const
{
    RebuildViewsIfStale();
    auto it = std::lower_bound(byTrainer.begin(), byTrainer.end(), exId,
                               [this](int index, qint32 v) { return records[size_t(index)].exId < v; });
    for (; it != byTrainer.end() && records[size_t(*it)].exId == exId; ++it)
        out.push_back(records[size_t(*it)]);
}

void StatisticsDatabase::CollectSection(qint32 exId, qint32 section, std::vector<StatisticsRecord>& out) const
{
    RebuildViewsIfStale();
    const auto key = [this](int index) {
        const StatisticsRecord& r = records[size_t(index)];
        return std::make_pair(r.exId, r.section);
    };
    const auto wanted = std::make_pair(exId, section);
    auto it = std::lower_bound(bySection.begin(), bySection.end(), wanted,
                               [&](int index, const std::pair<qint32, qint32>& v) { return key(index) < v; });
    for (; it != bySection.end() && key(*it) == wanted; ++it)
        out.push_back(records[size_t(*it)]);
}

void StatisticsDatabase::RebuildViewsIfStale() const
{
    if (!viewsStale)
        return;
    byTrainer.resize(records.size());
    std::iota(byTrainer.begin(), byTrainer.end(), 0);
    std::stable_sort(byTrainer.begin(), byTrainer.end(),
                     [this](int a, int b) { return records[size_t(a)].exId < records[size_t(b)].exId; });
    bySection = byTrainer; // already ordered by exId; a stable sort by section keeps insertion order
    std::stable_sort(bySection.begin(), bySection.end(), [this](int a, int b) {
        const StatisticsRecord& x = records[size_t(a)];
        const StatisticsRecord& y = records[size_t(b)];
        return x.exId != y.exId ? x.exId < y.exId : x.section < y.section;
    });
    viewsStale = false;
}

void StatisticsDatabase::RebuildKeyIndex()
{
    firstByKey.clear();
    firstByKey.reserve(int(records.size()));
    for (int i = 0; i < int(records.size()); ++i) {
        const StatisticsRecord& r = records[size_t(i)];
        const Key key{r.id, r.exId, r.section};
        if (!firstByKey.contains(key))
            firstByKey.insert(key, i);
    }
}

} // namespace ExDbDetail
} // namespace Core

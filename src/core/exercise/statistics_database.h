#pragma once
// One database of statistics records (the history or the local one) held by
// Core::ExerciseStatistics: the records in insertion order, the sorted views that the lookups
// search, and a key index that lets Add accumulate into an existing record in constant time.
//
// Not thread-safe: the owning store serialises every call under its mutex.

#include "core/exercise/statistics_record.h"

#include <QHash>

#include <vector>

namespace Core {
namespace ExDbDetail {

class StatisticsDatabase
{
public:
    const std::vector<StatisticsRecord>& Records() const { return records; }
    int Size() const { return int(records.size()); }

    void Clear();
    // Appends as it is, without merging; used while reading a file.
    void Append(const StatisticsRecord& record);
    // Adds the counts to the record with the same (id, exId, section), or appends a new one.
    // Where a file held several such records, the first of them takes the counts.
    void Accumulate(const StatisticsRecord& record);
    // Removes every record of the trainer, keeping the order of the others.
    void RemoveTrainer(qint32 exId);
    void Swap(StatisticsDatabase& other);

    // Append copies to out: the trainer's records, or one section's, in insertion order.
    void CollectTrainer(qint32 exId, std::vector<StatisticsRecord>& out) const;
    void CollectSection(qint32 exId, qint32 section, std::vector<StatisticsRecord>& out) const;

private:
    struct Key
    {
        qint32 id, exId, section;
        bool operator==(const Key& o) const { return id == o.id && exId == o.exId && section == o.section; }
    };
    friend uint qHash(const Key& key, uint seed)
    {
        return qHash(qint64(key.id) * 1000003 + key.exId, seed) ^ qHash(key.section, seed);
    }

    void RebuildViewsIfStale() const;
    void RebuildKeyIndex();

    std::vector<StatisticsRecord> records;
    QHash<Key, int> firstByKey; // (id, exId, section) -> index of its first record

    // Indices into records, stably sorted by exId and by (exId, section). Rebuilt on the first
    // lookup after a change.
    mutable std::vector<int> byTrainer;
    mutable std::vector<int> bySection;
    mutable bool viewsStale = true;
};

} // namespace ExDbDetail
} // namespace Core

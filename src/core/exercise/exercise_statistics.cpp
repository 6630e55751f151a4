#include "core/exercise/exercise_statistics.h"

#include "core/data_file.h"
#include "core/error.h"
#include "core/exercise/xml_serializer.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(statisticsLog, "cantorela.statistics")

namespace Core {
namespace {

const char* const SourceFile = "src/core/exercise/exercise_statistics";

} // namespace

ExerciseStatistics::ExerciseStatistics(const QString& historyPath, const QString& localPath)
    : historyPath(historyPath), localPath(localPath), saver([this] { SaveChanges(true); })
{
    std::lock_guard<std::mutex> files(fileMutex);
    Load();
}

ExerciseStatistics::~ExerciseStatistics()
{
    // Waits for a background save in progress; then what no save has covered yet is written
    // here, so nothing added is lost when the store goes.
    saver.Stop();
    SaveChanges(false);
}

void ExerciseStatistics::Load()
{
    const ReadResult historyRead = ReadFile(Which::History, "Core::ExerciseStatistics::Load");
    // The local file is read even when the history failed, so that a bad history file cannot
    // make the next save overwrite good local records with an empty database.
    const ReadResult localRead = ReadFile(Which::Local, "Core::ExerciseStatistics::Load");

    // Create what is missing (a first run, or a deleted file) so both files exist afterwards.
    // A data directory that cannot be written is not fatal: the store keeps working in memory.
    const std::pair<Which, ReadResult> files[] = {{Which::History, historyRead}, {Which::Local, localRead}};
    for (const auto& [which, result] : files) {
        if (result != ReadResult::NotOpened)
            continue;
        try {
            WriteFile(which, "Core::ExerciseStatistics::Save");
        } catch (const Error& error) {
            qCWarning(statisticsLog).noquote()
                << "statistics kept in memory only, file could not be created:" << error.Describe();
        }
    }
}

ExerciseStatistics::ReadResult ExerciseStatistics::ReadFile(Which which, const char* function)
{
    const QString& path = which == Which::History ? historyPath : localPath;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const Error error(SourceFile, function, __LINE__, 0x625, file.errorString());
        if (QFileInfo::exists(path)) {
            // Present but not readable: never replace it without keeping it first.
            qCWarning(statisticsLog).noquote() << error.Describe();
            std::lock_guard<std::mutex> lock(mutex);
            (which == Which::History ? historyUnreadable : localUnreadable) = true;
        } else {
            qCDebug(statisticsLog).noquote() << error.Describe();
        }
        return ReadResult::NotOpened;
    }

    ExDbDetail::StatisticsDatabase database;
    bool unreadable = false;
    try {
        ExDbDetail::XMLSerializer(&database).ReadXML(file);
    } catch (const Error& error) {
        unreadable = true;
        qCWarning(statisticsLog).noquote() << path << "could not be read completely; kept" << database.Size()
                                           << "records." << error.Describe();
    }

    std::lock_guard<std::mutex> lock(mutex);
    (which == Which::History ? history : local).Swap(database);
    (which == Which::History ? historyUnreadable : localUnreadable) = unreadable;
    return unreadable ? ReadResult::Unreadable : ReadResult::Read;
}

void ExerciseStatistics::WriteFile(Which which, const char* function)
{
    const QString& path = which == Which::History ? historyPath : localPath;

    // Snapshot under the data mutex (a copy of plain records), serialise and write outside it.
    std::vector<StatisticsRecord> snapshot;
    bool keepAside = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        snapshot = (which == Which::History ? history : local).Records();
        keepAside = which == Which::History ? historyUnreadable : localUnreadable;
    }

    if (keepAside) {
        QString keptPath;
        if (!DataFile::KeepAside(path, &keptPath))
            throw Error(
                SourceFile, function, __LINE__, 0x624,
                QStringLiteral("%1 could not be read and could not be kept aside; not replaced").arg(path));
        if (!keptPath.isEmpty())
            qCWarning(statisticsLog).noquote() << "unreadable statistics file kept as" << keptPath;
        std::lock_guard<std::mutex> lock(mutex);
        (which == Which::History ? historyUnreadable : localUnreadable) = false;
    }

    QString errorText;
    if (!DataFile::WriteAtomically(path, ExDbDetail::XMLSerializer::WriteXML(snapshot), &errorText))
        throw Error(SourceFile, function, __LINE__, 0x624, errorText);
}

void ExerciseStatistics::WriteBoth()
{
    // Every change counted before the snapshots is in them; later ones may be too, and are
    // written again by the next save.
    std::uint64_t written = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        written = changes;
    }
    WriteFile(Which::History, "Core::ExerciseStatistics::Save");
    WriteFile(Which::Local, "Core::ExerciseStatistics::Save");
    std::lock_guard<std::mutex> lock(mutex);
    savedChanges = std::max(savedChanges, written);
    ++saveCount;
}

void ExerciseStatistics::Save()
{
    std::lock_guard<std::mutex> files(fileMutex);
    WriteBoth();
}

// Saver thread, or the destructor once the saver has stopped (retried false: no later save).
void ExerciseStatistics::SaveChanges(bool retried)
{
    std::lock_guard<std::mutex> files(fileMutex);
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (changes == savedChanges)
            return;
    }
    const char* const outcome = retried ? "statistics not saved; tried again at the next answer:"
                                        : "statistics not saved before the store closed:";
    try {
        WriteBoth();
    } catch (const Error& error) {
        qCWarning(statisticsLog).noquote() << outcome << error.Describe();
    } catch (const std::exception& error) {
        qCWarning(statisticsLog).noquote() << outcome << error.what();
    }
}

void ExerciseStatistics::SaveSoon()
{
    saver.SaveSoon();
}

void ExerciseStatistics::SaveNow()
{
    saver.SaveNow();
}

int ExerciseStatistics::SaveCount() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return saveCount;
}

void ExerciseStatistics::Add(const StatisticsRecord& record)
{
    std::lock_guard<std::mutex> lock(mutex);
    local.Accumulate(record);
    history.Accumulate(record);
    ++changes;
}

void ExerciseStatistics::ClearLocal(qint32 exId)
{
    std::lock_guard<std::mutex> files(fileMutex);
    {
        std::lock_guard<std::mutex> lock(mutex);
        local.RemoveTrainer(exId);
        ++changes;
    }
    WriteFile(Which::Local, "Core::ExerciseStatistics::Save");
}

void ExerciseStatistics::ClearHistory(qint32 exId)
{
    std::lock_guard<std::mutex> files(fileMutex);
    {
        std::lock_guard<std::mutex> lock(mutex);
        history.RemoveTrainer(exId);
        ++changes;
    }
    WriteFile(Which::History, "Core::ExerciseStatistics::Save");
}

void ExerciseStatistics::ReloadLocal()
{
    std::lock_guard<std::mutex> files(fileMutex);
    ReadFile(Which::Local, "Core::ExerciseStatistics::ReloadLocal");
}

void ExerciseStatistics::GetLocalRecords(qint32 exId, std::vector<StatisticsRecord>& out) const
{
    std::lock_guard<std::mutex> lock(mutex);
    local.CollectTrainer(exId, out);
}

void ExerciseStatistics::GetLocalSectionRecords(qint32 exId, qint32 section,
                                                std::vector<StatisticsRecord>& out) const
{
    std::lock_guard<std::mutex> lock(mutex);
    local.CollectSection(exId, section, out);
}

void ExerciseStatistics::GetHistorySectionRecords(qint32 exId, qint32 section,
                                                  std::vector<StatisticsRecord>& out) const
{
    std::lock_guard<std::mutex> lock(mutex);
    history.CollectSection(exId, section, out);
}

} // namespace Core

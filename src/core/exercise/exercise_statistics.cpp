#include "core/exercise/exercise_statistics.h"

#include "core/data_file.h"
#include "core/error.h"
#include "core/exercise/xml_serializer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <qplatformdefs.h>

#include <algorithm>
#include <optional>

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
    const ReadResult historyRead = ReadFile(Which::History, "Core::ExerciseStatistics::Load", false);
    // The local file is read even when the history failed, so that a bad history file cannot
    // make the next save overwrite good local records with an empty database.
    const ReadResult localRead = ReadFile(Which::Local, "Core::ExerciseStatistics::Load", false);

    // Create what is missing (a first run, or a deleted file) so both files exist afterwards.
    // A data directory that cannot be written is not fatal: the store keeps working in memory,
    // and the listener hears of it once one is installed.
    const std::pair<Which, ReadResult> files[] = {{Which::History, historyRead}, {Which::Local, localRead}};
    for (const auto& [which, result] : files) {
        if (result != ReadResult::NotOpened)
            continue;
        try {
            WriteFile(which, "Core::ExerciseStatistics::Save");
        } catch (const Error& error) {
            qCWarning(statisticsLog).noquote()
                << "statistics kept in memory only, file could not be created:" << error.Describe();
            std::lock_guard<std::mutex> lock(mutex);
            ++changes; // written by the first save that can
        }
    }
}

ExerciseStatistics::FileStamp ExerciseStatistics::FileStamp::Of(const QString& path)
{
    FileStamp stamp;
    QT_STATBUF info;
    if (QT_STAT(QFile::encodeName(path).constData(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.size = qint64(info.st_size);
    stamp.inode = quint64(info.st_ino);
#if defined(Q_OS_LINUX)
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
#else
    stamp.modifiedNs = qint64(info.st_mtime) * 1000000000;
#endif
    return stamp;
}

ExerciseStatistics::ReadResult ExerciseStatistics::ReadFile(Which which, const char* function,
                                                            bool keepUnsaved)
{
    const QString& path = PathOf(which);
    const FileStamp stamp = FileStamp::Of(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const Error error(SourceFile, function, __LINE__, 0x625, file.errorString());
        if (QFileInfo::exists(path)) {
            // Present but not readable: never replace it without keeping it first.
            qCWarning(statisticsLog).noquote() << error.Describe();
            std::lock_guard<std::mutex> lock(mutex);
            SideOf(which).unreadable = true;
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
    Side& side = SideOf(which);
    if (keepUnsaved) {
        for (const qint32 exId : side.cleared)
            database.RemoveTrainer(exId);
        for (const StatisticsRecord& record : side.unsaved.Records())
            database.Accumulate(record);
    }
    side.records.Swap(database);
    side.unreadable = unreadable;
    side.stamp = stamp;
    return unreadable ? ReadResult::Unreadable : ReadResult::Read;
}

namespace {

// Takes turns with other writers of the file for one save. A lock that cannot be had (a folder
// that cannot be written, a writer that hangs) does not stop the save: the write itself then
// fails or goes ahead as it would have without the lock.
class WriterTurn
{
public:
    explicit WriterTurn(const QString& path) : lock(path + QStringLiteral(".lock"))
    {
        lock.setStaleLockTime(30000);
        if (!lock.tryLock(2000))
            qCDebug(statisticsLog) << "saving without the writers' lock:" << int(lock.error());
    }

private:
    QLockFile lock;
};

} // namespace

void ExerciseStatistics::WriteFile(Which which, const char* function)
{
    const QString& path = PathOf(which);
    const WriterTurn turn(path);

    // Snapshot under the data mutex (a copy of plain records), serialise and write outside it.
    // The unsaved changes are taken along: they go back if the write fails.
    std::vector<StatisticsRecord> snapshot;
    ExDbDetail::StatisticsDatabase unsaved;
    std::set<qint32> cleared;
    bool keepAside = false;
    FileStamp known;
    {
        std::lock_guard<std::mutex> lock(mutex);
        Side& side = SideOf(which);
        snapshot = side.records.Records();
        unsaved.Swap(side.unsaved);
        cleared.swap(side.cleared);
        keepAside = side.unreadable;
        known = side.stamp;
    }
    const auto restore = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        Side& side = SideOf(which);
        // Changes made during the write come after the ones taken for it.
        for (const StatisticsRecord& record : side.unsaved.Records())
            unsaved.Accumulate(record);
        side.unsaved.Swap(unsaved);
        side.cleared.insert(cleared.begin(), cleared.end());
    };

    // Someone else saved the file since this store last read or wrote it: their records are the
    // base, and this store's changes since then go on top.
    std::optional<ExDbDetail::StatisticsDatabase> merged;
    if (!keepAside) {
        const FileStamp onDisk = FileStamp::Of(path);
        if (onDisk.exists && onDisk != known) {
            QFile file(path);
            ExDbDetail::StatisticsDatabase theirs;
            bool read = file.open(QIODevice::ReadOnly);
            if (read) {
                try {
                    ExDbDetail::XMLSerializer(&theirs).ReadXML(file);
                } catch (const Error& error) {
                    read = false;
                    qCWarning(statisticsLog).noquote() << error.Describe();
                }
            }
            if (read) {
                for (const qint32 exId : cleared)
                    theirs.RemoveTrainer(exId);
                for (const StatisticsRecord& record : unsaved.Records())
                    theirs.Accumulate(record);
                snapshot = theirs.Records();
                merged.emplace(std::move(theirs));
                qCInfo(statisticsLog).noquote() << path << "was saved by another writer; merged";
            } else {
                keepAside = true; // what cannot be read is kept, and ours is written
            }
        }
    }

    if (keepAside) {
        QString keptPath;
        if (!DataFile::KeepAside(path, &keptPath)) {
            restore();
            throw Error(
                SourceFile, function, __LINE__, 0x624,
                QCoreApplication::translate("Core::ExerciseStatistics",
                                            "%1 could not be read and could not be kept aside; not replaced")
                    .arg(path));
        }
        if (!keptPath.isEmpty())
            qCWarning(statisticsLog).noquote() << "unreadable statistics file kept as" << keptPath;
        std::lock_guard<std::mutex> lock(mutex);
        SideOf(which).unreadable = false;
    }

    QString errorText;
    DataFile::Problem problem = DataFile::Problem::None;
    if (!DataFile::WriteAtomically(path, ExDbDetail::XMLSerializer::WriteXML(snapshot), &errorText,
                                   &problem)) {
        restore();
        lastProblem = problem;
        throw Error(SourceFile, function, __LINE__, 0x624, errorText);
    }

    const FileStamp written = FileStamp::Of(path);
    std::lock_guard<std::mutex> lock(mutex);
    Side& side = SideOf(which);
    side.stamp = written;
    if (merged) {
        // Memory follows the merged file, with what changed during the write on top.
        for (const qint32 exId : side.cleared)
            merged->RemoveTrainer(exId);
        for (const StatisticsRecord& record : side.unsaved.Records())
            merged->Accumulate(record);
        side.records.Swap(*merged);
    }
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
    try {
        WriteFile(Which::History, "Core::ExerciseStatistics::Save");
        WriteFile(Which::Local, "Core::ExerciseStatistics::Save");
    } catch (const Error& error) {
        ReportFailure(error);
        throw;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        savedChanges = std::max(savedChanges, written);
        ++saveCount;
    }
    Report(SaveState{});
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

void ExerciseStatistics::WriteAfterClear(Which which)
{
    try {
        WriteFile(which, "Core::ExerciseStatistics::Save");
        return;
    } catch (const Error& error) {
        qCWarning(statisticsLog).noquote()
            << "statistics not saved after clearing; tried again at the next save:" << error.Describe();
        ReportFailure(error);
    }
}

// With fileMutex held, after a write failed with `error`.
void ExerciseStatistics::ReportFailure(const Error& error)
{
    SaveState failed;
    failed.saving = false;
    failed.problem = lastProblem == DataFile::Problem::None ? DataFile::Problem::Other : lastProblem;
    failed.folder = QFileInfo(historyPath).absolutePath(); // both files live there
    failed.detail = error.Message();
    lastProblem = DataFile::Problem::None;
    Report(failed);
}

void ExerciseStatistics::Report(const SaveState& state)
{
    std::lock_guard<std::mutex> lock(listenerMutex);
    const bool changed = state.saving != saveState.saving || state.problem != saveState.problem ||
                         state.folder != saveState.folder;
    saveState = state;
    if (changed && listener)
        listener(state);
}

void ExerciseStatistics::SetSaveListener(SaveListener newListener)
{
    std::lock_guard<std::mutex> lock(listenerMutex);
    listener = std::move(newListener);
    if (listener && !saveState.saving)
        listener(saveState);
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
    for (Side* side : {&local, &history}) {
        side->records.Accumulate(record);
        side->unsaved.Accumulate(record);
    }
    ++changes;
}

void ExerciseStatistics::ClearLocal(qint32 exId)
{
    std::lock_guard<std::mutex> files(fileMutex);
    {
        std::lock_guard<std::mutex> lock(mutex);
        local.records.RemoveTrainer(exId);
        local.unsaved.RemoveTrainer(exId);
        local.cleared.insert(exId);
        ++changes;
    }
    WriteAfterClear(Which::Local);
}

void ExerciseStatistics::ClearHistory(qint32 exId)
{
    std::lock_guard<std::mutex> files(fileMutex);
    {
        std::lock_guard<std::mutex> lock(mutex);
        history.records.RemoveTrainer(exId);
        history.unsaved.RemoveTrainer(exId);
        history.cleared.insert(exId);
        ++changes;
    }
    WriteAfterClear(Which::History);
}

void ExerciseStatistics::ReloadLocal()
{
    std::lock_guard<std::mutex> files(fileMutex);
    ReadFile(Which::Local, "Core::ExerciseStatistics::ReloadLocal", true);
}

void ExerciseStatistics::GetLocalRecords(qint32 exId, std::vector<StatisticsRecord>& out) const
{
    std::lock_guard<std::mutex> lock(mutex);
    local.records.CollectTrainer(exId, out);
}

void ExerciseStatistics::GetLocalSectionRecords(qint32 exId, qint32 section,
                                                std::vector<StatisticsRecord>& out) const
{
    std::lock_guard<std::mutex> lock(mutex);
    local.records.CollectSection(exId, section, out);
}

void ExerciseStatistics::GetHistorySectionRecords(qint32 exId, qint32 section,
                                                  std::vector<StatisticsRecord>& out) const
{
    std::lock_guard<std::mutex> lock(mutex);
    history.records.CollectSection(exId, section, out);
}

} // namespace Core

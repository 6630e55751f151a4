#pragma once
// The per-item right/wrong statistics of every trainer, kept in two databases mirrored in two
// files of the data directory: the history of everything ever answered ("stats.xml") and the
// answers of the current run of each trainer ("statsLocal.xml"). The exercise catalogue creates
// the one store and shares it with every exercise; exercises add a record per judged answer,
// the screens read per-item scores and clear a trainer's records.
//
// Threads: Add runs on whichever thread judged the answer (GUI, timer or MIDI input thread);
// everything else normally runs on the GUI thread. Every operation takes the store's mutex, so
// any operation may run on any thread. File writes happen outside that mutex (under a second
// one that orders writers), so an Add never waits for the disk.
//
// Saving: the exercise asks for a background save after each answer (SaveSoon: on disk within
// two seconds, answers close together share one write) and at each section end (SaveNow); the
// store's own saver thread writes both files then. Save writes at once on the calling thread.
// The destructor joins the saver thread and writes whatever changed since the last save.
//
// Files are replaced atomically. A file that could not be read (malformed, cut off, unsupported
// version, or present but not openable) is moved aside to "<name>.unreadable-<time>" before the
// store first writes that file again, so records that could not be read are never lost.
//
// Another writer: when a file on disk is no longer the one this store last read or wrote (another
// copy of the program saved it), the store reads it again and puts its own changes since then
// on top, so that neither writer's answers are dropped. Writers of one file take turns through
// a lock file beside it ("<name>.lock").
//
// A failed write (a full disk, a folder that cannot be written) never ends the program: the
// answers stay in memory, every later save tries again, and the save listener hears once when
// saving starts failing and once when it works again.

#include "core/data_file.h"
#include "core/exercise/statistics_database.h"
#include "core/exercise/statistics_record.h"
#include "core/exercise/statistics_saver.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <vector>

class Error;

namespace Core {

class ExerciseStatistics
{
public:
    // Whether the answers are on disk: told to the save listener when it changes.
    struct SaveState
    {
        bool saving = true; // false: the last write failed; the answers wait in memory
        DataFile::Problem problem = DataFile::Problem::None;
        QString folder; // where the files are
        QString detail; // the system's words for the failure
    };
    // Runs on whichever thread wrote (the saver thread, or the caller of Save and the clears),
    // never under the store's data lock; it must not call back into the store.
    using SaveListener = std::function<void(const SaveState&)>;

    // Loads both files. Never throws: a missing file is created from memory, an unreadable one
    // leaves what could be read, and a data directory that cannot be written leaves the store
    // working in memory (the failure is logged).
    ExerciseStatistics(const QString& historyPath, const QString& localPath);
    virtual ~ExerciseStatistics();

    ExerciseStatistics(const ExerciseStatistics&) = delete;
    ExerciseStatistics& operator=(const ExerciseStatistics&) = delete;

    // Writes the history file, then the local file. Throws Error 0x624 when a file cannot be
    // written; the previous file then stays intact.
    void Save();

    // Accumulates the record into the local database, then into the history database. Memory
    // only: the caller asks for the files to be written (SaveSoon, SaveNow, Save).
    void Add(const StatisticsRecord& record);

    // Ask for both files to be written on the store's saver thread: SaveSoon within two seconds
    // (CoalesceDelay after the first unserved request), SaveNow at once. Both return at once,
    // from any thread and with any lock held (they take only the saver's leaf mutex); they never
    // throw. A save with nothing changed since the last one writes nothing; a failed one is
    // logged and tried again at the next request.
    void SaveSoon();
    void SaveNow();
    // How many times both files were written, by Save or in the background.
    int SaveCount() const;

    // Remove every record of the trainer from one database, then write that database's file.
    // Never throw: a failed write is reported to the save listener and tried again with the
    // next save; memory is cleared regardless.
    void ClearLocal(qint32 exId);
    void ClearHistory(qint32 exId);

    // Installs (or, with an empty function, removes) the one save listener. A store whose saves
    // are failing already tells the new listener at once. Removing waits for a call in progress.
    void SetSaveListener(SaveListener listener);

    // Re-reads the local file into the local database when the file can be opened; otherwise
    // the local database stays as it is. A parse failure leaves the records read before it.
    void ReloadLocal();

    // Append copies of the matching records to out, in insertion order.
    void GetLocalRecords(qint32 exId, std::vector<StatisticsRecord>& out) const;
    void GetLocalSectionRecords(qint32 exId, qint32 section, std::vector<StatisticsRecord>& out) const;
    void GetHistorySectionRecords(qint32 exId, qint32 section, std::vector<StatisticsRecord>& out) const;

    QString HistoryPath() const { return historyPath; }
    QString LocalPath() const { return localPath; }

private:
    enum class ReadResult
    {
        Read,
        NotOpened,
        Unreadable
    };
    enum class Which
    {
        History,
        Local
    };

    // Identifies one version of a file on disk: a save by anyone replaces the file (a new inode)
    // and gives it a new time.
    struct FileStamp
    {
        bool exists = false;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        quint64 inode = 0;
        bool operator==(const FileStamp& o) const
        {
            return exists == o.exists && size == o.size && modifiedNs == o.modifiedNs && inode == o.inode;
        }
        bool operator!=(const FileStamp& o) const { return !(*this == o); }
        static FileStamp Of(const QString& path);
    };

    // One database with its file.
    struct Side
    {
        ExDbDetail::StatisticsDatabase records;
        // What changed since the file was last read or written: the answers added and the
        // trainers cleared. A save that finds someone else's file on disk applies these to it.
        ExDbDetail::StatisticsDatabase unsaved;
        std::set<qint32> cleared;
        FileStamp stamp;         // the file as this store last read or wrote it
        bool unreadable = false; // the file could not be read; the next write moves it aside first
    };

    Side& SideOf(Which which) { return which == Which::History ? history : local; }
    const QString& PathOf(Which which) const { return which == Which::History ? historyPath : localPath; }

    void Load();
    // Reads the file into the database; keepUnsaved puts this store's unsaved changes on top.
    ReadResult ReadFile(Which which, const char* function, bool keepUnsaved);
    void WriteFile(Which which, const char* function);
    // Both files, with fileMutex held; throws Error 0x624.
    void WriteBoth();
    // Both files when anything changed since the last save, with failures logged (the saver
    // thread, retried true, and the destructor).
    void SaveChanges(bool retried);
    // One database's file after a clear, with failures reported rather than thrown.
    void WriteAfterClear(Which which);
    // Tells the listener when the outcome differs from the last one told.
    void Report(const SaveState& state);
    void ReportFailure(const Error& error);

    // Guards both sides. Never held while a file is read from or written to disk.
    mutable std::mutex mutex;
    // Orders writers: taken before mutex, held across snapshot and write, so files on disk never
    // go back to an older snapshot than one already written.
    std::mutex fileMutex;
    // Why the last failed write failed; guarded by fileMutex.
    DataFile::Problem lastProblem = DataFile::Problem::None;

    const QString historyPath;
    const QString localPath;
    Side history;
    Side local;
    // Counts changes of the databases, and the count the files were last written at; both
    // guarded by mutex.
    std::uint64_t changes = 0;
    std::uint64_t savedChanges = 0;
    int saveCount = 0; // guarded by mutex

    // A leaf: held while the listener runs, never together with mutex.
    mutable std::mutex listenerMutex;
    SaveListener listener;
    SaveState saveState; // the last outcome; guarded by listenerMutex

    // Stopped first thing in the destructor: its thread never sees a half-destroyed store.
    StatisticsSaver saver;
};

} // namespace Core

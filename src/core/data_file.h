#pragma once
// Safe replacement of the engine's data files ("stats.xml", "statsLocal.xml", "tstats.xml").
// The statistics store and the telemetry store write through here so that a crash, a full disk
// or a failed write never leaves a cut-off file: the new content goes to a temporary file in the
// same directory and replaces the old one by a rename only once every byte of it is on disk. A
// store that could not read a file keeps that file aside under a new name before it ever
// replaces it.
//
// Stateless; safe to call from any thread. Callers serialise writes of one path themselves.

#include <QByteArray>
#include <QString>

namespace Core {

class DataFile
{
public:
    DataFile() = delete;

    // Why a write failed, in the terms a student can act on.
    enum class Problem
    {
        None,
        DiskFull,    // no space left (or a quota or file size limit reached)
        NotWritable, // the folder is missing and cannot be made, is not a folder, or refuses writing
        Other
    };

    // Replaces the file at path with contents, atomically. A missing folder is made first (it may
    // have been deleted while the program ran). On failure the previous file is left as it was,
    // errorText says why, problem tells the kind, and false is returned.
    static bool WriteAtomically(const QString& path, const QByteArray& contents, QString* errorText,
                                Problem* problem = nullptr);

    // Moves the file at path aside to "<path>.unreadable-YYYYMMDD-HHMMSS" (with "-2", "-3", ...
    // appended when that name is taken) and returns the new path. A missing file needs nothing
    // and returns an empty string with true. Returns false when the file exists but could be
    // neither renamed nor copied; it is never deleted.
    static bool KeepAside(const QString& path, QString* keptPath);
};

} // namespace Core

#pragma once
// The answer log's database file: opening it, telling ours from a damaged or foreign file, and
// creating or migrating the schema. Used only on the log's own thread (answer_log.cpp), on the
// connection that thread owns.
//
// Version 1 (migrated in place, in one transaction):
//   answers(id INTEGER PRIMARY KEY, time INTEGER milliseconds since 1970 UTC, trainer INTEGER,
//           section INTEGER, quiz INTEGER, asked INTEGER, answered INTEGER NULL,
//           outcome INTEGER, response_ms INTEGER NULL), no index.
// Its rows did not know their lesson run: they all become run 1, earlier than every run handed out.

#include "core/data_file.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <functional>

namespace Core {
namespace AnswerLogSchema {

constexpr qint32 ApplicationId = 0x434E544C; // 'CNTL'
constexpr qint64 MigratedRun = 1;

// The few SQLite result codes the log acts on (primary codes).
namespace SqliteCode {
constexpr int Perm = 3;
constexpr int ReadOnly = 8;
constexpr int IoError = 10;
constexpr int Corrupt = 11;
constexpr int Full = 13;
constexpr int Constraint = 19;
constexpr int CantOpen = 14;
constexpr int NotADatabase = 26;
} // namespace SqliteCode

struct OpenResult
{
    enum Kind
    {
        Ready,      // ours, at the current version, checked
        Unreadable, // damaged, another program's, or newer: to be kept aside
        Failed      // could not be opened or prepared (a folder or disk that refuses writing)
    };
    Kind kind = Failed;
    int code = 0;   // SQLite's result code of the failure, 0 when none
    QString detail; // what went wrong, for the log and the problem listener
    qint64 maxId = 0;
    qint64 maxRun = 0;
};

// The primary SQLite result code of an error reported through Qt SQL; 0 when it has none.
int CodeOf(const QSqlError& error);

// Opens db (a QSQLITE connection named and pointed at its file, not yet open), sets it up for
// the log (WAL, synchronous NORMAL) and brings the schema to the current version. `known` hears
// the largest id and run in the file before the consistency check of the whole file runs, so
// that BeginRun need not wait for that check.
OpenResult Open(QSqlDatabase& db, const std::function<void(qint64 maxId, qint64 maxRun)>& known);

// Where a failure with this code leaves the student, for the database at path.
DataFile::Problem ProblemOf(int code, const QString& path);

} // namespace AnswerLogSchema
} // namespace Core

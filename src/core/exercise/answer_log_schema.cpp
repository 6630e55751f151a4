#include "core/exercise/answer_log_schema.h"

#include "core/exercise/answer_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QStringList>
#include <QVariant>

namespace Core {
namespace AnswerLogSchema {
namespace {

// The table is kept in the order of (trainer, section, time): the progress chart and the weak
// spots read one section's time range straight from it. The partial index holds only the
// wrong answers that name an item (about a quarter of the rows), in the order the confusions
// are counted in; with the table's key columns in every index entry it covers that query.
const char* const CreateTable =
    "CREATE TABLE answers(id INTEGER NOT NULL, time INTEGER NOT NULL, run INTEGER NOT NULL,"
    " trainer INTEGER NOT NULL, section INTEGER NOT NULL, quiz INTEGER NOT NULL,"
    " asked INTEGER NOT NULL, answered INTEGER, outcome INTEGER NOT NULL, response_ms INTEGER,"
    " PRIMARY KEY(trainer, section, time, id)) WITHOUT ROWID";
const char* const CreateConfusionIndex =
    "CREATE INDEX IF NOT EXISTS answers_confusions ON answers(trainer, section, asked, answered, run,"
    " outcome) WHERE outcome = 0 AND answered IS NOT NULL";

const QStringList VersionOneColumns = {"id",    "time",     "trainer", "section",    "quiz",
                                       "asked", "answered", "outcome", "response_ms"};
const QStringList Columns = {"id",   "time",  "run",      "trainer", "section",
                             "quiz", "asked", "answered", "outcome", "response_ms"};

OpenResult Failure(const QSqlError& error, const QString& what)
{
    OpenResult result;
    result.code = CodeOf(error);
    result.kind = (result.code == SqliteCode::Corrupt || result.code == SqliteCode::NotADatabase)
                      ? OpenResult::Unreadable
                      : OpenResult::Failed;
    result.detail = what + QStringLiteral(": ") + error.text();
    return result;
}

OpenResult Unreadable(const QString& why)
{
    OpenResult result;
    result.kind = OpenResult::Unreadable;
    result.detail = why;
    return result;
}

OpenResult Ready()
{
    OpenResult result;
    result.kind = OpenResult::Ready;
    return result;
}

// Runs statements in order; the first failure ends it.
bool Run(QSqlDatabase& db, const QStringList& statements, QSqlError* error)
{
    QSqlQuery query(db);
    for (const QString& statement : statements) {
        if (!query.exec(statement)) {
            *error = query.lastError();
            return false;
        }
    }
    return true;
}

// Whether the file (when there is one) begins like an SQLite database: SQLite itself takes a
// file shorter than its header for an empty database and would write over it.
bool LooksLikeSqlite(const QString& path, QString* why)
{
    if (QFileInfo(path).isDir()) {
        *why = QStringLiteral("a folder in the database's place");
        return false;
    }
    QFile file(path);
    if (!file.exists() || file.size() == 0)
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return true; // SQLite says what is wrong with it
    const QByteArray magic("SQLite format 3\0", 16);
    if (file.read(16) == magic)
        return true;
    *why = QStringLiteral("not an SQLite database");
    return false;
}

OpenResult Transaction(QSqlDatabase& db, const QStringList& statements, const QString& what)
{
    if (!db.transaction())
        return Failure(db.lastError(), what);
    QSqlError error;
    if (!Run(db, statements, &error)) {
        db.rollback();
        return Failure(error, what);
    }
    if (!db.commit()) {
        const OpenResult failed = Failure(db.lastError(), what);
        db.rollback();
        return failed;
    }
    return Ready();
}

QStringList SchemaStatements()
{
    return {QString::fromLatin1(CreateTable), QString::fromLatin1(CreateConfusionIndex),
            QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId),
            QStringLiteral("PRAGMA user_version = %1").arg(AnswerLog::SchemaVersion)};
}

QStringList MigrationFromVersionOne()
{
    QStringList statements = {QStringLiteral("ALTER TABLE answers RENAME TO answers_version_1"),
                              QString::fromLatin1(CreateTable),
                              QStringLiteral("INSERT INTO answers(id, time, run, trainer, section, quiz,"
                                             " asked, answered, outcome, response_ms)"
                                             " SELECT id, time / 1000, %1, trainer, section, quiz, asked,"
                                             " answered, outcome, response_ms FROM answers_version_1")
                                  .arg(MigratedRun),
                              QStringLiteral("DROP TABLE answers_version_1")};
    statements += SchemaStatements().mid(1);
    return statements;
}

enum class Shape
{
    Empty,
    VersionOne,
    Current
};

// What the file is, from its header fields and its tables: Ready with its shape, or why not.
OpenResult Classify(QSqlDatabase& db, Shape* shape)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA application_id")) || !query.next())
        return Failure(query.lastError(), QStringLiteral("application id"));
    const qint64 applicationId = query.value(0).toLongLong();
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return Failure(query.lastError(), QStringLiteral("user version"));
    const qint64 version = query.value(0).toLongLong();
    QStringList tables, columns;
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"
                                   " AND name NOT LIKE 'sqlite!_%' ESCAPE '!'")))
        return Failure(query.lastError(), QStringLiteral("tables"));
    while (query.next())
        tables << query.value(0).toString();
    if (tables == QStringList{QStringLiteral("answers")}) {
        if (!query.exec(QStringLiteral("PRAGMA table_info(answers)")))
            return Failure(query.lastError(), QStringLiteral("columns"));
        while (query.next())
            columns << query.value(1).toString();
    }

    if (applicationId != 0 && applicationId != ApplicationId)
        return Unreadable(
            QStringLiteral("another program's database (application id %1)").arg(applicationId));
    if (version > AnswerLog::SchemaVersion)
        return Unreadable(QStringLiteral("a newer version of the answer log (%1)").arg(version));
    if (version == 0 && tables.isEmpty()) {
        *shape = Shape::Empty;
        return Ready();
    }
    if (version == 0 || columns != (version == 1 ? VersionOneColumns : Columns))
        return Unreadable(QStringLiteral("tables that are not the answer log's (version %1: %2)")
                              .arg(version)
                              .arg(tables.join(QLatin1Char(' '))));
    *shape = version == 1 ? Shape::VersionOne : Shape::Current;
    return Ready();
}

} // namespace

int CodeOf(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : 0;
}

DataFile::Problem ProblemOf(int code, const QString& path)
{
    switch (code) {
    case SqliteCode::Full:
        return DataFile::Problem::DiskFull;
    case SqliteCode::Perm:
    case SqliteCode::ReadOnly:
    case SqliteCode::CantOpen:
        return DataFile::Problem::NotWritable;
    default:
        break;
    }
    // SQLite reports some writes that found no space (a quota, a file grown through a mapping)
    // as a plain I/O error; the free space tells them apart.
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    if (storage.isValid() && storage.bytesAvailable() < 64 * 1024)
        return DataFile::Problem::DiskFull;
    return DataFile::Problem::Other;
}

OpenResult Open(QSqlDatabase& db, const std::function<void(qint64, qint64)>& known)
{
    const QString path = db.databaseName();
    QString why;
    if (!LooksLikeSqlite(path, &why))
        return Unreadable(why);
    // A file that is there is first looked at through a read-only connection: one that is not
    // ours is left exactly as it was, its write-ahead log included, for keeping aside.
    if (QFileInfo(path).size() > 0) {
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        Shape shape = Shape::Empty;
        const OpenResult looked =
            db.open() ? Classify(db, &shape) : Failure(db.lastError(), QStringLiteral("open"));
        db.close();
        db.setConnectOptions();
        if (looked.kind != OpenResult::Ready)
            return looked;
    }
    // The data folder may have been deleted while the program ran.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        OpenResult result;
        result.code = SqliteCode::CantOpen;
        result.detail = QStringLiteral("cannot make the folder %1").arg(folder);
        return result;
    }
    if (!db.open())
        return Failure(db.lastError(), QStringLiteral("open"));
    QSqlError error;
    if (!Run(db, {QStringLiteral("PRAGMA busy_timeout = 2000")}, &error))
        return Failure(error, QStringLiteral("busy timeout"));
    Shape shape = Shape::Empty;
    const OpenResult looked = Classify(db, &shape);
    if (looked.kind != OpenResult::Ready)
        return looked;

    // Writing begins here: a file that cannot be written fails from now on, and is kept.
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")))
        return Failure(query.lastError(), QStringLiteral("journal mode"));
    query.finish();
    if (!Run(db, {QStringLiteral("PRAGMA synchronous = NORMAL")}, &error))
        return Failure(error, QStringLiteral("synchronous"));
    OpenResult prepared = Ready();
    if (shape == Shape::Empty)
        prepared = Transaction(db, SchemaStatements(), QStringLiteral("create"));
    else if (shape == Shape::VersionOne)
        prepared = Transaction(db, MigrationFromVersionOne(), QStringLiteral("migrate from version 1"));
    else if (!Run(db, {QString::fromLatin1(CreateConfusionIndex)}, &error))
        prepared = Failure(error, QStringLiteral("index"));
    if (prepared.kind != OpenResult::Ready)
        return prepared;

    // One pass over the table: the ids and runs to continue from.
    OpenResult result = Ready();
    if (!query.exec(QStringLiteral("SELECT max(id), max(run) FROM answers")) || !query.next())
        return Failure(query.lastError(), QStringLiteral("ids"));
    result.maxId = query.value(0).toLongLong();
    result.maxRun = query.value(1).toLongLong();
    query.finish();
    if (known)
        known(result.maxId, result.maxRun);

    if (!query.exec(QStringLiteral("PRAGMA quick_check(1)")) || !query.next())
        return Failure(query.lastError(), QStringLiteral("check"));
    const QString verdict = query.value(0).toString();
    query.finish();
    if (verdict != QLatin1String("ok"))
        return Unreadable(QStringLiteral("damaged: ") + verdict);
    return result;
}

} // namespace AnswerLogSchema
} // namespace Core

#pragma once
// Every judged answer, one row each, in an SQLite database in the data directory
// ("answers.sqlite"): what was asked, what was answered, right, wrong or out of time, and how
// long the student took. The statistics files keep only counts per item; the log keeps the
// order and the time, from which the statistics view finds what a student confuses and how
// the accuracy moves over the weeks, the draw finds the weak spots of earlier lessons, and the
// worksheet its items.
//
// Threads: the log owns one thread, the only one that touches the database. Append() may be
// called from any thread, with any lock held (the lesson's lock among them): it copies the row
// into a queue under a leaf mutex and returns; the log's thread writes the queue in batches, in
// one transaction each. The queries run on the log's thread too: each has a form that waits for
// its answer (tests, benchmarks, the log's own thread never) and a form that hands its answer to
// a function run on a context object's thread through its event queue, for the screens, which
// must never wait for the disk.
//
// Faults: a database that cannot be read as ours (not SQLite, damaged, another program's, a
// newer schema) is kept aside as "answers.sqlite.unreadable-<time>" (with its -wal and -shm
// files) and a new one started; the program never refuses to start over it. A database that
// cannot be written (a read-only folder, a full disk) is told to the problem listener once, and
// once more when it is written again; the answers stay queued in memory (at most 100,000, the
// oldest dropped first) and every later batch, or at the latest every few seconds, tries again.
//
// Schema (PRAGMA user_version 2, application_id 'CNTL'; WAL journal, synchronous NORMAL):
//   answers(id INTEGER, time INTEGER seconds since 1970 UTC, run INTEGER,
//           trainer INTEGER, section INTEGER, quiz INTEGER 0/1, asked INTEGER,
//           answered INTEGER NULL, outcome INTEGER 0 wrong 1 right 2 out of time,
//           response_ms INTEGER NULL,
//           PRIMARY KEY (trainer, section, time, id)) WITHOUT ROWID
//   index answers_confusions ON answers(trainer, section, asked, answered, run, outcome)
//         WHERE outcome = 0 AND answered IS NOT NULL
// The table is stored in the order of its key, so that a section's time range (the progress
// chart, the weak spots) is one range read; id, one more for every answer logged, orders the
// answers of one second. The partial index holds the wrong answers that name an item, in the
// order the confusions are counted in, and with the key columns covers that query.
// Version 1 had no run column and kept the time in milliseconds; it is migrated in place
// (answer_log_schema.h).

#include "core/data_file.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace Core {

struct LoggedAnswer
{
    enum Outcome : qint8
    {
        Wrong = 0,
        Right = 1,
        OutOfTime = 2
    };
    static constexpr qint32 NoItem = -1;

    qint64 time = 0;          // when it was judged, seconds since 1970-01-01 UTC
    qint64 run = 0;           // the lesson it was given in (AnswerLog::BeginRun)
    qint32 trainer = 0;       // 0 notes, 1 ear, 2 symbols
    qint32 section = 0;       // section index within the trainer's lesson
    bool quiz = false;        // a quiz lesson, else a learning one
    qint32 asked = 0;         // statistics key of the item asked
    qint32 answered = NoItem; // statistics key of the item the answer names, or NoItem
    Outcome outcome = Wrong;
    qint32 responseMs = -1;   // from the end of the question's presentation; -1 unknown
};

// One (asked -> answered) pair of wrong answers and how often it happened.
struct Confusion
{
    qint32 asked = 0;
    qint32 answered = 0;
    int count = 0;
};

// One day with answers in a section, in local time.
struct DayProgress
{
    QDate day;
    int answers = 0;
    int right = 0;
    int medianResponseMs = -1; // over the answers with a known response time; -1 none
};

// Per pool id of one section, the factor its draw weight is multiplied by (1 is the normal
// weight; only items with recent mistakes have an entry).
using WeakSpotFactors = std::map<qint32, double>;

class AnswerLog
{
public:
    static constexpr const char* FileName = "answers.sqlite";
    static constexpr int SchemaVersion = 2;
    // A mistake weighs half as much after this many days.
    static constexpr double HalfLifeDays = 7.0;
    // Right answers in a row after the last mistake that bring an item back to the normal weight.
    static constexpr int RightStreakToRecover = 3;

    // Whether the answers reach the disk: told to the problem listener when it changes.
    struct WriteState
    {
        bool writing = true; // false: the last batch failed; its answers wait in memory
        DataFile::Problem problem = DataFile::Problem::None;
        QString path;   // the database file
        QString detail; // the database's or the system's words for the failure
    };
    // Runs on the log's thread; it must not call back into the log.
    using ProblemListener = std::function<void(const WriteState&)>;

    // Opens (or creates) the database at path on the log's own thread; returns at once.
    explicit AnswerLog(const QString& path);
    // Writes what is queued, then closes the database and ends the thread.
    ~AnswerLog();
    AnswerLog(const AnswerLog&) = delete;
    AnswerLog& operator=(const AnswerLog&) = delete;

    QString Path() const { return path; }

    // A new lesson run: an id greater than every id handed out before, in this process or in the
    // database (the start time in milliseconds, or one more than the last id). Any thread; right
    // after the log is made it waits until the database's largest run is read.
    qint64 BeginRun();

    // Queues one answer for the next batch. Any thread, any lock held; never waits for the disk.
    void Append(const LoggedAnswer& answer);
    // Waits until every answer appended before the call has been written or has failed to be.
    // Returns whether the database holds them. Not on the log's own thread.
    bool Flush();

    // Installs (or, with an empty function, removes) the one problem listener. A log that is
    // failing already tells the new listener at once.
    void SetProblemListener(ProblemListener listener);

    // Removes the rows of one section of a trainer (Clear History). Queued after the answers
    // appended before it; returns at once.
    void ClearSection(qint32 trainer, qint32 section);

    // ---- queries; `run` 0 means every run (the history), any other one run -------------------
    struct Scope
    {
        qint32 trainer = 0;
        qint32 section = 0;
        qint64 run = 0;
    };

    // The most frequent (asked -> answered) pairs of wrong answers that name another item, most
    // frequent first (ties: the more recent first), at most `limit`.
    std::vector<Confusion> Confusions(const Scope& scope, int limit);
    void Confusions(const Scope& scope, int limit, QObject* context,
                    std::function<void(std::vector<Confusion>)> done);

    // The days of the last `days` days up to `today` that have answers in the section, oldest
    // first; days without answers are left out. Days are local calendar days, each with the
    // offset from UTC in force on it (summer time included). The median of an even number of
    // response times is the mean of the middle two.
    std::vector<DayProgress> Progress(qint32 trainer, qint32 section, int days, const QDate& today);
    void Progress(qint32 trainer, qint32 section, int days, const QDate& today, QObject* context,
                  std::function<void(std::vector<DayProgress>)> done);

    // Per section of the trainer, the weak-spot factors from the answers of runs before
    // `beforeRun`, as of `now` (seconds since 1970 UTC), reading back 16 half-lives (older
    // mistakes would weigh less than 1/65536). See WeakSpotFactor.
    std::map<qint32, WeakSpotFactors> WeakSpots(qint32 trainer, qint64 beforeRun, qint64 now);
    void WeakSpots(qint32 trainer, qint64 beforeRun, qint64 now, QObject* context,
                   std::function<void(std::map<qint32, WeakSpotFactors>)> done);

    // The section's items that were answered wrong (or out of time) at least once, weakest first
    // (the largest weak-spot factor as of `now` from all their answers in the scope, then the
    // most mistakes, then the smaller id), at most `limit`.
    std::vector<qint32> WeakestItems(const Scope& scope, int limit, qint64 now);
    void WeakestItems(const Scope& scope, int limit, qint64 now, QObject* context,
                      std::function<void(std::vector<qint32>)> done);

    // One item's factor from its answers, newest first (outcome and time in seconds); a mistake
    // is a wrong answer or one out of time:
    //   1 + sum over its mistakes of 0.5 ^ (age in days / HalfLifeDays),
    // with the sum scaled by (1 - streak / RightStreakToRecover), never below 0, where streak
    // counts the right answers since the last mistake. An item never answered wrong gives 1.
    struct ItemAnswer
    {
        LoggedAnswer::Outcome outcome;
        qint64 time;
    };
    static double WeakSpotFactor(const std::vector<ItemAnswer>& newestFirst, qint64 now);

private:
    class Worker;
    const QString path;
    std::unique_ptr<Worker> worker;
};

} // namespace Core

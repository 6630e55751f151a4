#include "core/exercise/answer_log.h"

#include "core/exercise/answer_log_schema.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <future>
#include <limits>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

Q_LOGGING_CATEGORY(answersLog, "cantorela.answers")

namespace Core {

namespace Schema = AnswerLogSchema;

namespace {

using Clock = std::chrono::steady_clock;

// A batch is written this long after its first answer, or at once when this many wait: a
// lesson's answers share a transaction, and a burst never builds a long queue.
constexpr std::chrono::milliseconds CoalesceDelay{150};
constexpr size_t BatchSize = 256;
// While writing fails, the waiting answers are tried again at least this often.
constexpr std::chrono::seconds RetryInterval{5};
// The most answers kept in memory while the disk refuses them (some 5 MB); the oldest go first.
constexpr size_t MaxWaiting = 100000;
// The weak spots look back this many half-lives; older mistakes weigh less than 1/65536.
constexpr int WeakSpotHalfLives = 16;
constexpr qint64 SecondsPerDay = 24 * 60 * 60;

std::atomic<quint64> connectionCounter{0};

const char* const InsertStatement =
    "INSERT INTO answers(id, time, run, trainer, section, quiz, asked, answered, outcome, response_ms)"
    " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

int Median(std::vector<int>& values)
{
    if (values.empty())
        return -1;
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(middle), values.end());
    const int upper = values[middle];
    if (values.size() % 2 == 1)
        return upper;
    const int lower = *std::max_element(values.begin(), values.begin() + std::ptrdiff_t(middle));
    return int((qint64(lower) + upper + 1) / 2);
}

// An answer's delivery is built on the log's thread and run on the context's: Qt's event queue
// orders the two, with locking that ThreadSanitizer cannot see. Taking this mutex on both sides
// makes the order visible to it. Held only while posting and at the start of a delivery.
std::mutex& DeliveryMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace

class AnswerLog::Worker
{
public:
    explicit Worker(const QString& path);
    ~Worker();

    using Job = std::function<void(Worker&)>;

    void Append(const LoggedAnswer& answer);
    qint64 BeginRun();
    void SetProblemListener(ProblemListener listener);
    // Runs job on the log's thread after the answers appended so far have been written (or
    // have failed to be).
    void Enqueue(Job job);

    template <typename Result> Result Wait(std::function<Result(Worker&)> query);
    template <typename Result>
    void Post(std::function<Result(Worker&)> query, QObject* context, std::function<void(Result)> done);

    // ---- the log's thread -------------------------------------------------------------------
    // Writes the answers and clears waiting; whether nothing waits any more.
    bool WriteWaiting();
    void ClearSection(qint32 trainer, qint32 section);
    std::vector<Confusion> Confusions(const Scope& scope, int limit);
    std::vector<DayProgress> Progress(qint32 trainer, qint32 section, int days, const QDate& today);
    std::map<qint32, WeakSpotFactors> WeakSpots(qint32 trainer, qint64 beforeRun, qint64 now);
    std::vector<qint32> WeakestItems(const Scope& scope, int limit, qint64 now);
    void TellListenerIfFailing();

private:
    struct QueuedJob
    {
        size_t after; // the number of queued answers appended before it
        Job run;
    };

    void Run();
    void Process(std::vector<LoggedAnswer>& answers, std::deque<QueuedJob>& jobs);
    void AddWaiting(const std::vector<LoggedAnswer>& answers, size_t from, size_t to);
    bool WriteTransaction(QSqlError* error);
    bool EnsureOpen();
    bool OpenDatabase();
    bool KeepAsideFiles(QString* detail);
    void CloseDatabase();
    void Failed(int code, const QString& detail);
    void Succeeded();
    void Tell(const WriteState& told);
    std::map<qint32, std::vector<ItemAnswer>> AnswersByItem(QSqlQuery& query);

    const QString path;
    const QString connectionName;

    // Guards the queue, the run counter and the stop flag; a leaf, held for a few instructions.
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable rangesKnown;
    std::vector<LoggedAnswer> queue;
    std::deque<QueuedJob> jobs;
    bool stopping = false;
    bool rangesRead = false;
    qint64 lastRun = 0;
    std::thread thread;

    // The listener, called on the log's thread under its own mutex, so that removing it
    // waits for a call in progress and no call comes after.
    std::mutex listenerMutex;
    ProblemListener listener;
    bool listenerKnowsFailing = false;

    // ---- the log's thread only --------------------------------------------------------------
    QSqlDatabase database;
    std::unique_ptr<QSqlQuery> insert;
    qint64 nextId = 1;
    std::deque<LoggedAnswer> waiting;
    std::vector<std::pair<qint32, qint32>> waitingClears;
    WriteState state;
    Clock::time_point lastAttempt;
    std::optional<Clock::time_point> batchDue;
};

AnswerLog::Worker::Worker(const QString& path)
    : path(path), connectionName(QStringLiteral("cantorela-answer-log-%1").arg(++connectionCounter))
{
    state.path = path;
    queue.reserve(BatchSize * 4);
    try {
        thread = std::thread([this] { Run(); });
    } catch (const std::system_error& error) {
        qCWarning(answersLog) << "answer log thread not started; answers are not logged:" << error.what();
    }
}

AnswerLog::Worker::~Worker()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_one();
    if (thread.joinable())
        thread.join();
}

void AnswerLog::Worker::Append(const LoggedAnswer& answer)
{
    if (!thread.joinable())
        return;
    bool wakeWorker = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        queue.push_back(answer);
        // The worker needs waking only to start the batch's delay and when the batch is full.
        wakeWorker = queue.size() == 1 || queue.size() == BatchSize;
    }
    if (wakeWorker)
        wake.notify_one();
}

qint64 AnswerLog::Worker::BeginRun()
{
    std::unique_lock<std::mutex> lock(mutex);
    // Only at the very start: until the database's largest run is known (one pass over its
    // table, before the check of the whole file).
    if (thread.joinable())
        rangesKnown.wait(lock, [this] { return rangesRead; });
    lastRun = std::max(QDateTime::currentMSecsSinceEpoch(), lastRun + 1);
    return lastRun;
}

void AnswerLog::Worker::SetProblemListener(ProblemListener newListener)
{
    const bool tell = bool(newListener);
    {
        std::lock_guard<std::mutex> lock(listenerMutex);
        listener = std::move(newListener);
        listenerKnowsFailing = false;
    }
    if (tell)
        Enqueue([](Worker& worker) { worker.TellListenerIfFailing(); });
}

void AnswerLog::Worker::Enqueue(Job job)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        jobs.push_back(QueuedJob{queue.size(), std::move(job)});
    }
    wake.notify_one();
}

template <typename Result> Result AnswerLog::Worker::Wait(std::function<Result(Worker&)> query)
{
    if (!thread.joinable())
        return Result{};
    if (std::this_thread::get_id() == thread.get_id()) {
        qCWarning(answersLog) << "answer log queried from its own thread; no answer";
        return Result{};
    }
    std::promise<Result> answer;
    std::future<Result> future = answer.get_future();
    Enqueue([&answer, &query](Worker& worker) { answer.set_value(query(worker)); });
    return future.get();
}

// The answer goes to a relay object on the context's thread, made for this one answer: the
// log's thread may post to it because nothing else deletes it, while the context may be gone
// by then; on its own thread the relay checks the context, hands the answer over and goes.
template <typename Result>
void AnswerLog::Worker::Post(std::function<Result(Worker&)> query, QObject* context,
                             std::function<void(Result)> done)
{
    if (!context || !done || !thread.joinable())
        return;
    QPointer<QObject> guard(context);
    QObject* relay = new QObject;
    relay->moveToThread(context->thread());
    Enqueue([query = std::move(query), guard, relay, done = std::move(done)](Worker& worker) {
        Result result = query(worker);
        std::lock_guard<std::mutex> posting(DeliveryMutex());
        QMetaObject::invokeMethod(
            relay,
            [guard, relay, done, result = std::move(result)]() mutable {
                {
                    std::lock_guard<std::mutex> delivering(DeliveryMutex());
                }
                if (guard)
                    done(std::move(result));
                delete relay;
            },
            Qt::QueuedConnection);
    });
}

// ---- the log's thread -----------------------------------------------------------------------

void AnswerLog::Worker::Run()
{
    // BeginRun waits for the database's largest run until this first open has read it, or
    // has failed.
    EnsureOpen();
    {
        std::lock_guard<std::mutex> lock(mutex);
        rangesRead = true;
    }
    rangesKnown.notify_all();

    std::vector<LoggedAnswer> taken;
    taken.reserve(BatchSize * 4);
    std::deque<QueuedJob> takenJobs;
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        for (;;) {
            if (stopping || !jobs.empty())
                break;
            const Clock::time_point now = Clock::now();
            std::optional<Clock::time_point> deadline;
            if (!queue.empty()) {
                if (!batchDue)
                    batchDue = now + CoalesceDelay;
                if (queue.size() >= BatchSize || now >= *batchDue)
                    break;
                deadline = batchDue;
            }
            if (!waiting.empty() || !waitingClears.empty()) {
                const Clock::time_point retry = lastAttempt + RetryInterval;
                if (now >= retry)
                    break;
                deadline = deadline ? std::min(*deadline, retry) : retry;
            }
            if (deadline)
                wake.wait_until(lock, *deadline);
            else
                wake.wait(lock);
        }
        const bool stop = stopping;
        // The emptied vector of the last round goes back with its capacity: Append allocates
        // only when a batch outgrows every one before it.
        queue.swap(taken);
        jobs.swap(takenJobs);
        batchDue.reset();
        lock.unlock();

        Process(taken, takenJobs);
        taken.clear();
        takenJobs.clear();
        if (taken.capacity() > BatchSize * 64) { // after a burst, not kept for the rest of the day
            std::vector<LoggedAnswer>().swap(taken);
            taken.reserve(BatchSize * 4);
        }

        lock.lock();
        if (stop && queue.empty() && jobs.empty())
            break;
    }
    lock.unlock();
    if (!waiting.empty())
        qCWarning(answersLog) << waiting.size() << "answers could not be written to" << path
                              << "and are lost";
    CloseDatabase();
}

void AnswerLog::Worker::Process(std::vector<LoggedAnswer>& answers, std::deque<QueuedJob>& queuedJobs)
{
    size_t from = 0;
    for (QueuedJob& job : queuedJobs) {
        AddWaiting(answers, from, job.after);
        from = job.after;
        WriteWaiting();
        job.run(*this);
    }
    AddWaiting(answers, from, answers.size());
    WriteWaiting();
}

void AnswerLog::Worker::AddWaiting(const std::vector<LoggedAnswer>& answers, size_t from, size_t to)
{
    waiting.insert(waiting.end(), answers.begin() + std::ptrdiff_t(from),
                   answers.begin() + std::ptrdiff_t(to));
    // A queue that only waits for its turn is written whole; one the disk refuses is capped.
    if (!state.writing && waiting.size() > MaxWaiting) {
        const size_t dropped = waiting.size() - MaxWaiting;
        waiting.erase(waiting.begin(), waiting.begin() + std::ptrdiff_t(dropped));
        qCWarning(answersLog) << "answer log cannot write; the oldest" << dropped
                              << "waiting answers are dropped";
    }
}

bool AnswerLog::Worker::WriteWaiting()
{
    if (waiting.empty() && waitingClears.empty())
        return true;
    lastAttempt = Clock::now();
    if (!EnsureOpen())
        return false;
    QSqlError error;
    if (WriteTransaction(&error))
        return true;
    int code = Schema::CodeOf(error);
    // Another copy of the program wrote to the same file: continue after its ids.
    if (code == Schema::SqliteCode::Constraint) {
        QSqlQuery query(database);
        if (query.exec(QStringLiteral("SELECT max(id) FROM answers")) && query.next())
            nextId = std::max(nextId, query.value(0).toLongLong() + 1);
        query.finish();
        if (WriteTransaction(&error))
            return true;
        code = Schema::CodeOf(error);
    }
    Failed(code, error.text());
    // A file damaged under the running program is looked at again by the next open.
    if (code == Schema::SqliteCode::Corrupt || code == Schema::SqliteCode::NotADatabase)
        CloseDatabase();
    return false;
}

// One transaction: the clears waiting, then the answers waiting. On failure nothing of it stays.
bool AnswerLog::Worker::WriteTransaction(QSqlError* error)
{
    QSqlDatabase& db = database;
    const auto fail = [&](const QSqlError& failure) {
        *error = failure;
        db.rollback();
        return false;
    };
    if (!db.transaction())
        return fail(db.lastError());
    if (!waitingClears.empty()) {
        QSqlQuery clear(db);
        clear.prepare(QStringLiteral("DELETE FROM answers WHERE trainer = ? AND section = ?"));
        for (const auto& [trainer, section] : waitingClears) {
            clear.bindValue(0, trainer);
            clear.bindValue(1, section);
            if (!clear.exec())
                return fail(clear.lastError());
        }
    }
    qint64 id = nextId;
    for (const LoggedAnswer& answer : waiting) {
        insert->bindValue(0, id++);
        insert->bindValue(1, answer.time);
        insert->bindValue(2, answer.run);
        insert->bindValue(3, answer.trainer);
        insert->bindValue(4, answer.section);
        insert->bindValue(5, answer.quiz ? 1 : 0);
        insert->bindValue(6, answer.asked);
        insert->bindValue(7, answer.answered == LoggedAnswer::NoItem ? QVariant(QVariant::Int)
                                                                     : QVariant(answer.answered));
        insert->bindValue(8, int(answer.outcome));
        insert->bindValue(9, answer.responseMs < 0 ? QVariant(QVariant::Int) : QVariant(answer.responseMs));
        if (!insert->exec())
            return fail(insert->lastError());
    }
    if (!db.commit())
        return fail(db.lastError());
    nextId = id;
    waiting.clear();
    waitingClears.clear();
    Succeeded();
    return true;
}

bool AnswerLog::Worker::EnsureOpen()
{
    if (database.isOpen())
        return true;
    return OpenDatabase();
}

bool AnswerLog::Worker::OpenDatabase()
{
    const auto known = [this](qint64 maxId, qint64 maxRun) {
        nextId = std::max(nextId, maxId + 1);
        {
            std::lock_guard<std::mutex> lock(mutex);
            lastRun = std::max(lastRun, maxRun);
            rangesRead = true;
        }
        rangesKnown.notify_all();
    };
    for (int attempt = 0; attempt < 2; ++attempt) {
        database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        if (!database.isValid()) {
            CloseDatabase();
            Failed(0, QStringLiteral("no SQLite driver for Qt SQL"));
            return false;
        }
        database.setDatabaseName(path);
        const Schema::OpenResult opened = Schema::Open(database, known);
        if (opened.kind == Schema::OpenResult::Ready) {
            insert = std::make_unique<QSqlQuery>(database);
            if (insert->prepare(QString::fromLatin1(InsertStatement)))
                return true;
            const QSqlError error = insert->lastError();
            CloseDatabase();
            Failed(Schema::CodeOf(error), error.text());
            return false;
        }
        CloseDatabase();
        if (opened.kind == Schema::OpenResult::Failed || attempt > 0) {
            Failed(opened.code, opened.detail);
            return false;
        }
        QString detail;
        if (!KeepAsideFiles(&detail)) {
            Failed(0, detail);
            return false;
        }
        qCWarning(answersLog).noquote()
            << "answer log" << path << "could not be read (" + opened.detail + "); kept aside as" << detail;
    }
    return false;
}

// Moves the database and its write-ahead log aside together: a log left behind would be read
// into the new database of the same name.
bool AnswerLog::Worker::KeepAsideFiles(QString* detail)
{
    QString kept;
    if (!DataFile::KeepAside(path, &kept)) {
        *detail = QStringLiteral("the unreadable database %1 cannot be moved aside").arg(path);
        return false;
    }
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString from = path + QLatin1String(suffix);
        if (!QFileInfo::exists(from))
            continue;
        const QString to =
            (kept.isEmpty() ? path + QStringLiteral(".unreadable") : kept) + QLatin1String(suffix);
        if (QFile::rename(from, to) || (QFile::copy(from, to) && QFile::remove(from)))
            continue;
        *detail = QStringLiteral("the unreadable database's %1 cannot be moved aside").arg(from);
        return false;
    }
    *detail = kept;
    return true;
}

void AnswerLog::Worker::CloseDatabase()
{
    insert.reset();
    if (database.isValid())
        database.close();
    database = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName);
}

void AnswerLog::Worker::Failed(int code, const QString& detail)
{
    const DataFile::Problem problem = Schema::ProblemOf(code, path);
    const bool changed = state.writing;
    state.writing = false;
    state.problem = problem;
    state.detail = detail;
    if (!changed)
        return;
    qCWarning(answersLog).noquote() << "answer log" << path << "cannot be written:" << detail;
    Tell(state);
}

void AnswerLog::Worker::Succeeded()
{
    if (state.writing)
        return;
    state = WriteState{};
    state.path = path;
    qCInfo(answersLog).noquote() << "answer log" << path << "is written again";
    Tell(state);
}

void AnswerLog::Worker::Tell(const WriteState& told)
{
    std::lock_guard<std::mutex> lock(listenerMutex);
    listenerKnowsFailing = !told.writing;
    if (listener)
        listener(told);
}

void AnswerLog::Worker::TellListenerIfFailing()
{
    std::lock_guard<std::mutex> lock(listenerMutex);
    if (state.writing || listenerKnowsFailing || !listener)
        return;
    listenerKnowsFailing = true;
    listener(state);
}

void AnswerLog::Worker::ClearSection(qint32 trainer, qint32 section)
{
    // Answers of the section still waiting were appended before the clear: they go with it.
    waiting.erase(std::remove_if(waiting.begin(), waiting.end(),
                                 [&](const LoggedAnswer& answer) {
                                     return answer.trainer == trainer && answer.section == section;
                                 }),
                  waiting.end());
    waitingClears.emplace_back(trainer, section);
    WriteWaiting();
}

std::vector<Confusion> AnswerLog::Worker::Confusions(const Scope& scope, int limit)
{
    std::vector<Confusion> confusions;
    if (limit <= 0 || !EnsureOpen())
        return confusions;
    // Counted in the order of the partial index (asked, answered); the table's key in each
    // index entry gives the most recent time of each pair without touching the table.
    QSqlQuery query(database);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT asked, answered, count(*) AS n FROM answers"
                                 " WHERE trainer = ? AND section = ? AND outcome = 0"
                                 " AND answered IS NOT NULL AND answered <> asked%1"
                                 " GROUP BY asked, answered"
                                 " ORDER BY n DESC, max(time) DESC, max(id) DESC LIMIT ?")
                      .arg(scope.run != 0 ? QStringLiteral(" AND run = ?") : QString()));
    int bound = 0;
    query.bindValue(bound++, scope.trainer);
    query.bindValue(bound++, scope.section);
    if (scope.run != 0)
        query.bindValue(bound++, scope.run);
    query.bindValue(bound++, limit);
    if (!query.exec()) {
        qCWarning(answersLog) << "confusions not read:" << query.lastError().text();
        return confusions;
    }
    while (query.next())
        confusions.push_back(
            Confusion{query.value(0).toInt(), query.value(1).toInt(), query.value(2).toInt()});
    return confusions;
}

std::vector<DayProgress> AnswerLog::Worker::Progress(qint32 trainer, qint32 section, int days,
                                                     const QDate& today)
{
    std::vector<DayProgress> progress;
    if (days <= 0 || !today.isValid() || !EnsureOpen())
        return progress;
    // Local calendar days, each with its own offset from UTC (summer time included): the
    // starts of the days in the window, and the end of the last one.
    const QDate first = today.addDays(-(days - 1));
    std::vector<qint64> starts(size_t(days) + 1);
    for (int day = 0; day <= days; ++day)
        starts[size_t(day)] = first.addDays(day).startOfDay().toSecsSinceEpoch();

    // The table's own order: one range of its key, already sorted by time. Right or not and the
    // response time come in one number (bit 0 right, the rest the time, negative when unknown):
    // each value costs Qt SQL a variant, and this is a fifth of the chart's time.
    QSqlQuery query(database);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT time, (outcome = 1) + 2 * ifnull(response_ms, -1) FROM answers"
                                 " WHERE trainer = ? AND section = ? AND time >= ? AND time < ?"
                                 " ORDER BY time"));
    query.bindValue(0, trainer);
    query.bindValue(1, section);
    query.bindValue(2, starts.front());
    query.bindValue(3, starts.back());
    if (!query.exec()) {
        qCWarning(answersLog) << "progress not read:" << query.lastError().text();
        return progress;
    }
    size_t day = 0;
    DayProgress current;
    std::vector<int> responseTimes;
    const auto finishDay = [&] {
        if (current.answers == 0)
            return;
        current.day = first.addDays(qint64(day));
        current.medianResponseMs = Median(responseTimes);
        progress.push_back(current);
        current = DayProgress{};
        responseTimes.clear();
    };
    while (query.next()) {
        const qint64 time = query.value(0).toLongLong();
        if (time >= starts[day + 1]) {
            finishDay();
            day = size_t(std::upper_bound(starts.begin() + std::ptrdiff_t(day), starts.end(), time) -
                         starts.begin()) -
                  1;
        }
        const qint64 rightAndTime = query.value(1).toLongLong();
        ++current.answers;
        current.right += int(rightAndTime & 1);
        if (rightAndTime >= 0)
            responseTimes.push_back(int(rightAndTime >> 1));
    }
    finishDay();
    return progress;
}

// The rows of one query (asked, outcome, time), newest first, gathered per item.
std::map<qint32, std::vector<AnswerLog::ItemAnswer>> AnswerLog::Worker::AnswersByItem(QSqlQuery& query)
{
    std::map<qint32, std::vector<ItemAnswer>> answers;
    while (query.next())
        answers[query.value(0).toInt()].push_back(
            ItemAnswer{LoggedAnswer::Outcome(query.value(1).toInt()), query.value(2).toLongLong()});
    return answers;
}

std::map<qint32, WeakSpotFactors> AnswerLog::Worker::WeakSpots(qint32 trainer, qint64 beforeRun, qint64 now)
{
    std::map<qint32, WeakSpotFactors> spots;
    if (!EnsureOpen())
        return spots;
    const qint64 since = now - qint64(WeakSpotHalfLives * HalfLifeDays * SecondsPerDay);
    // The trainer's sections, one seek each, then each section's recent range of the table.
    QSqlQuery sections(database);
    sections.prepare(QStringLiteral("SELECT section FROM answers WHERE trainer = ? AND section > ?"
                                    " ORDER BY section LIMIT 1"));
    QSqlQuery answers(database);
    answers.setForwardOnly(true);
    answers.prepare(QStringLiteral("SELECT asked, outcome, time FROM answers"
                                   " WHERE trainer = ? AND section = ? AND time >= ? AND run < ?"
                                   " ORDER BY time DESC, id DESC"));
    qint64 section = std::numeric_limits<qint32>::min() - qint64(1);
    for (;;) {
        sections.bindValue(0, trainer);
        sections.bindValue(1, section);
        if (!sections.exec()) {
            qCWarning(answersLog) << "weak spots not read:" << sections.lastError().text();
            return spots;
        }
        if (!sections.next())
            break;
        section = sections.value(0).toLongLong();
        sections.finish();
        answers.bindValue(0, trainer);
        answers.bindValue(1, section);
        answers.bindValue(2, since);
        answers.bindValue(3, beforeRun);
        if (!answers.exec()) {
            qCWarning(answersLog) << "weak spots not read:" << answers.lastError().text();
            return spots;
        }
        WeakSpotFactors factors;
        for (const auto& [item, itemAnswers] : AnswersByItem(answers)) {
            const double factor = WeakSpotFactor(itemAnswers, now);
            if (factor > 1.0)
                factors.emplace(item, factor);
        }
        answers.finish();
        if (!factors.empty())
            spots.emplace(qint32(section), std::move(factors));
    }
    return spots;
}

std::vector<qint32> AnswerLog::Worker::WeakestItems(const Scope& scope, int limit, qint64 now)
{
    std::vector<qint32> items;
    if (limit <= 0 || !EnsureOpen())
        return items;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT asked, outcome, time FROM answers WHERE trainer = ? AND section = ?%1"
                       " ORDER BY time DESC, id DESC")
            .arg(scope.run != 0 ? QStringLiteral(" AND run = ?") : QString()));
    query.bindValue(0, scope.trainer);
    query.bindValue(1, scope.section);
    if (scope.run != 0)
        query.bindValue(2, scope.run);
    if (!query.exec()) {
        qCWarning(answersLog) << "weakest items not read:" << query.lastError().text();
        return items;
    }
    struct Ranked
    {
        qint32 item;
        double factor;
        int mistakes;
    };
    std::vector<Ranked> ranked;
    for (const auto& [item, answers] : AnswersByItem(query)) {
        const int mistakes = int(std::count_if(answers.begin(), answers.end(), [](const ItemAnswer& answer) {
            return answer.outcome != LoggedAnswer::Right;
        }));
        if (mistakes > 0)
            ranked.push_back(Ranked{item, WeakSpotFactor(answers, now), mistakes});
    }
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        if (a.factor != b.factor)
            return a.factor > b.factor;
        if (a.mistakes != b.mistakes)
            return a.mistakes > b.mistakes;
        return a.item < b.item;
    });
    for (size_t i = 0; i < ranked.size() && i < size_t(limit); ++i)
        items.push_back(ranked[i].item);
    return items;
}

// ---- AnswerLog --------------------------------------------------------------------------------

AnswerLog::AnswerLog(const QString& path) : path(path), worker(std::make_unique<Worker>(path)) {}

AnswerLog::~AnswerLog() = default;

qint64 AnswerLog::BeginRun()
{
    return worker->BeginRun();
}

void AnswerLog::Append(const LoggedAnswer& answer)
{
    worker->Append(answer);
}

bool AnswerLog::Flush()
{
    return worker->Wait<bool>([](Worker& w) { return w.WriteWaiting(); });
}

void AnswerLog::SetProblemListener(ProblemListener listener)
{
    worker->SetProblemListener(std::move(listener));
}

void AnswerLog::ClearSection(qint32 trainer, qint32 section)
{
    worker->Enqueue([trainer, section](Worker& w) { w.ClearSection(trainer, section); });
}

std::vector<Confusion> AnswerLog::Confusions(const Scope& scope, int limit)
{
    return worker->Wait<std::vector<Confusion>>([=](Worker& w) { return w.Confusions(scope, limit); });
}

void AnswerLog::Confusions(const Scope& scope, int limit, QObject* context,
                           std::function<void(std::vector<Confusion>)> done)
{
    worker->Post<std::vector<Confusion>>([=](Worker& w) { return w.Confusions(scope, limit); }, context,
                                         std::move(done));
}

std::vector<DayProgress> AnswerLog::Progress(qint32 trainer, qint32 section, int days, const QDate& today)
{
    return worker->Wait<std::vector<DayProgress>>(
        [=](Worker& w) { return w.Progress(trainer, section, days, today); });
}

void AnswerLog::Progress(qint32 trainer, qint32 section, int days, const QDate& today, QObject* context,
                         std::function<void(std::vector<DayProgress>)> done)
{
    worker->Post<std::vector<DayProgress>>(
        [=](Worker& w) { return w.Progress(trainer, section, days, today); }, context, std::move(done));
}

std::map<qint32, WeakSpotFactors> AnswerLog::WeakSpots(qint32 trainer, qint64 beforeRun, qint64 now)
{
    return worker->Wait<std::map<qint32, WeakSpotFactors>>(
        [=](Worker& w) { return w.WeakSpots(trainer, beforeRun, now); });
}

void AnswerLog::WeakSpots(qint32 trainer, qint64 beforeRun, qint64 now, QObject* context,
                          std::function<void(std::map<qint32, WeakSpotFactors>)> done)
{
    worker->Post<std::map<qint32, WeakSpotFactors>>(
        [=](Worker& w) { return w.WeakSpots(trainer, beforeRun, now); }, context, std::move(done));
}

std::vector<qint32> AnswerLog::WeakestItems(const Scope& scope, int limit, qint64 now)
{
    return worker->Wait<std::vector<qint32>>([=](Worker& w) { return w.WeakestItems(scope, limit, now); });
}

void AnswerLog::WeakestItems(const Scope& scope, int limit, qint64 now, QObject* context,
                             std::function<void(std::vector<qint32>)> done)
{
    worker->Post<std::vector<qint32>>([=](Worker& w) { return w.WeakestItems(scope, limit, now); }, context,
                                      std::move(done));
}

double AnswerLog::WeakSpotFactor(const std::vector<ItemAnswer>& newestFirst, qint64 now)
{
    double mistakes = 0;
    int streak = 0;
    bool mistakeSeen = false;
    for (const ItemAnswer& answer : newestFirst) {
        if (answer.outcome == LoggedAnswer::Right) {
            if (!mistakeSeen)
                ++streak;
            continue;
        }
        mistakeSeen = true;
        const double ageDays = double(std::max<qint64>(0, now - answer.time)) / double(SecondsPerDay);
        mistakes += std::pow(0.5, ageDays / HalfLifeDays);
    }
    if (!mistakeSeen)
        return 1.0;
    return 1.0 + mistakes * std::max(0.0, 1.0 - double(streak) / double(RightStreakToRecover));
}

} // namespace Core

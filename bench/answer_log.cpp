// The answer log with 1,000,000 answers, in a real database in a temporary directory.
//   append: one Append on the calling thread, timed for every answer while the log's thread
//           writes the batches (three years of lessons of three trainers, appended at full speed);
//   confusions: Confusions of the section with the most answers, over its whole history;
//   chart: Progress of that section for the last 365 days;
//   db: the database file and its write-ahead log after a checkpoint, in MB (10^6 bytes);
//   reopened: the next start, until BeginRun and the first query answer.
// The last line is the summary:
//   answer_log append_p99_us=<p99> confusions_ms=<median> chart_ms=<median> db_mb=<size>

#include "core/exercise/answer_log.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int Answers = 1000000;
constexpr int Days = 3 * 365;
constexpr int Rounds = 9;

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

struct Section
{
    qint32 trainer;
    qint32 section;
    qint32 firstItem;
    qint32 items;
    double weight;
};

// Notes on the keyboard, intervals, chords, scales, and the symbol trainer's kinds; the note
// sections are practised the most.
const Section Sections[] = {{0, 0, 21, 88, 0.22}, {0, 1, 21, 88, 0.12}, {0, 2, 21, 88, 0.06},
                            {1, 0, 0, 25, 0.14},  {1, 1, 0, 40, 0.10},  {1, 2, 0, 30, 0.06},
                            {1, 3, 0, 12, 0.04},  {2, 0, 0, 20, 0.07},  {2, 1, 0, 30, 0.06},
                            {2, 2, 0, 12, 0.05},  {2, 3, 0, 10, 0.04},  {2, 4, 0, 8, 0.04}};

// Three years of lessons of 20 to 80 answers, a few seconds apart, ending today, with days off.
std::vector<Core::LoggedAnswer> ThreeYears(qint64 now)
{
    std::mt19937 random(2024);
    std::vector<double> weights;
    for (const Section& s : Sections)
        weights.push_back(s.weight);
    std::discrete_distribution<int> pickSection(weights.begin(), weights.end());
    std::uniform_int_distribution<int> lessonLength(20, 80);
    std::uniform_int_distribution<int> pause(2, 9);
    std::uniform_real_distribution<double> unit(0, 1);
    std::lognormal_distribution<double> responseMs(7.2, 0.5);

    std::vector<Core::LoggedAnswer> answers;
    answers.reserve(Answers);
    const qint64 start = now - qint64(Days) * 86400;
    const int lessons = Answers / 50;
    qint64 run = start * 1000;
    for (int lesson = 0; answers.size() < size_t(Answers); ++lesson) {
        const qint64 day = qint64(lesson) * Days / lessons;
        if (day % 9 == 4)
            continue; // a day off
        qint64 time = start + day * 86400 + qint64(unit(random) * 50000);
        run = std::max(run + 1, time * 1000);
        const Section& section = Sections[pickSection(random)];
        const bool quiz = unit(random) < 0.3;
        const int length = lessonLength(random);
        for (int n = 0; n < length && answers.size() < size_t(Answers); ++n) {
            time += pause(random);
            Core::LoggedAnswer answer;
            answer.time = time;
            answer.run = run;
            answer.trainer = section.trainer;
            answer.section = section.section;
            answer.quiz = quiz;
            answer.asked = section.firstItem + qint32(unit(random) * section.items);
            answer.responseMs = int(std::min(30000.0, responseMs(random)));
            const double luck = unit(random);
            if (luck < 0.75) {
                answer.outcome = Core::LoggedAnswer::Right;
                answer.answered = answer.asked;
            } else if (luck < 0.95) {
                answer.outcome = Core::LoggedAnswer::Wrong;
                // Mostly a neighbour; now and then keys that name nothing in the pool.
                answer.answered = luck < 0.93 ? section.firstItem + (answer.asked - section.firstItem + 1 +
                                                                     qint32(unit(random) * 3)) %
                                                                        section.items
                                              : Core::LoggedAnswer::NoItem;
            } else {
                answer.outcome = Core::LoggedAnswer::OutOfTime;
                answer.responseMs = 8000;
            }
            answers.push_back(answer);
        }
    }
    return answers;
}

template <typename Query> double MedianMs(Query query)
{
    std::vector<double> ms;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        query();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return Percentile(ms, 0.5);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("cantorela.*.debug=false"));
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString path = QDir(dir.path()).absoluteFilePath(QString::fromLatin1(Core::AnswerLog::FileName));
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const std::vector<Core::LoggedAnswer> answers = ThreeYears(now);

    double appendP50 = 0, appendP99 = 0, appendMax = 0, flushS = 0, confusionsMs = 0, runConfusionsMs = 0,
           chartMs = 0, weakSpotsMs = 0, weakestMs = 0, dbMb = 0;
    size_t confusionCount = 0, chartDays = 0;
    {
        Core::AnswerLog log(path);
        std::vector<double> appendUs;
        appendUs.reserve(answers.size());
        QElapsedTimer total;
        total.start();
        for (const Core::LoggedAnswer& answer : answers) {
            QElapsedTimer timer;
            timer.start();
            log.Append(answer);
            appendUs.push_back(double(timer.nsecsElapsed()) / 1e3);
        }
        QElapsedTimer flush;
        flush.start();
        if (!log.Flush())
            std::fprintf(stderr, "flush failed\n");
        flushS = double(flush.nsecsElapsed()) / 1e9;
        appendP50 = Percentile(appendUs, 0.5);
        appendP99 = Percentile(appendUs, 0.99);
        appendMax = *std::max_element(appendUs.begin(), appendUs.end());
        std::printf("appended %zu answers in %.2f s, written %.2f s later\n", answers.size(),
                    double(total.nsecsElapsed()) / 1e9 - flushS, flushS);

        const Core::AnswerLog::Scope largest{0, 0, 0};
        confusionsMs = MedianMs([&] { confusionCount = log.Confusions(largest, 10).size(); });
        qint64 lastRun = 0;
        for (const Core::LoggedAnswer& answer : answers)
            if (answer.trainer == largest.trainer && answer.section == largest.section)
                lastRun = answer.run;
        runConfusionsMs = MedianMs([&] { log.Confusions({largest.trainer, largest.section, lastRun}, 10); });
        const QDate today = QDateTime::fromSecsSinceEpoch(now).date();
        chartMs =
            MedianMs([&] { chartDays = log.Progress(largest.trainer, largest.section, 365, today).size(); });
        weakSpotsMs = MedianMs([&] { log.WeakSpots(0, now * 1000 + 1, now); });
        weakestMs = MedianMs([&] { log.WeakestItems(largest, 24, now); });

        // The size once the write-ahead log is checkpointed, through a connection of its own.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
            db.setDatabaseName(path);
            if (db.open())
                QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench"));
        dbMb = double(QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size()) / 1e6;
    }
    // The next start of the program: the first run id waits for the file's largest run, the
    // first query for the check of the whole file too.
    double beginRunMs = 0, firstQueryMs = 0;
    {
        QElapsedTimer timer;
        timer.start();
        Core::AnswerLog log(path);
        log.BeginRun();
        beginRunMs = double(timer.nsecsElapsed()) / 1e6;
        log.Confusions({0, 0, 0}, 10);
        firstQueryMs = double(timer.nsecsElapsed()) / 1e6;
    }

    std::printf("append: p50 %.2f us, p99 %.2f us, max %.0f us\n", appendP50, appendP99, appendMax);
    std::printf(
        "confusions of the largest section: %.2f ms over its history (%zu pairs), %.2f ms in one run\n",
        confusionsMs, confusionCount, runConfusionsMs);
    std::printf("progress chart, 365 days: %.2f ms (%zu days)\n", chartMs, chartDays);
    std::printf("weak spots of a trainer: %.2f ms; the section's 24 weakest items: %.2f ms\n", weakSpotsMs,
                weakestMs);
    std::printf("database: %.1f MB\n", dbMb);
    std::printf("reopened: first run id after %.0f ms, first query after %.0f ms\n", beginRunMs,
                firstQueryMs);
    std::printf("answer_log append_p99_us=%.2f confusions_ms=%.2f chart_ms=%.2f db_mb=%.1f\n", appendP99,
                confusionsMs, chartMs, dbMb);
    return 0;
}

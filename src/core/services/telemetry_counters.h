#pragma once
// The usage counters that Core::Telemetry keeps, persists in "tstats.xml" and uploads: program
// runs, per-trainer launch counts, running means of visit lengths and scores, and the last ten
// scores of exercises and quizzes. Plain values; Core::TelemetryXMLSerializer reads and writes
// them.

#include <QString>
#include <QUuid>

#include <array>

namespace Core {

struct TrainerUsage
{
    static constexpr int HistoryLength = 10;

    qint32 exLaunchCount = 0;
    qint32 quizLaunchCount = 0;
    qint32 refLaunchCount = 0;
    qint32 settingsLaunchCount = 0;
    qint32 exTimeAverage = 0; // milliseconds
    qint32 quizTimeAverage = 0;
    qint32 refTimeAverage = 0;
    qint32 settingsTimeAverage = 0;
    double exScoreAverage = 0; // scores are fractions from 0 to 1
    double quizScoreAverage = 0;
    std::array<double, HistoryLength> exScore{}; // oldest first
    std::array<double, HistoryLength> quizScore{};
};

struct TelemetryCounters
{
    static constexpr int TrainerCount = 3; // note, ear and symbol trainer

    qint32 appLaunchCount = 0;
    qint32 appTimeAverage = 0; // milliseconds
    QUuid uid;
    qint64 installDate = 0; // milliseconds since 1970-01-01 UTC
    QString os;
    QString locale;
    qint32 tz = 0; // seconds east of UTC
    std::array<TrainerUsage, TrainerCount> trainers{};
};

} // namespace Core

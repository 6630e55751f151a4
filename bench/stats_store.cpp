// Saving, loading and adding to a statistics store of 20,000 records in each database, with
// real files in a temporary directory. The last line is the summary:
//   stats_store save_ms=<median> load_ms=<median> add_us=<median>
// Save writes both files (40,000 records in all); load constructs a store over them; add is one
// Add with 20,000 records present, to an item already recorded or to a new one.

#include "core/exercise/exercise_statistics.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int Records = 20000;

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

Core::StatisticsRecord Item(int n)
{
    // Three trainers, five sections, items numbered within them.
    return Core::StatisticsRecord{n / 15, n % 3, (n / 3) % 5, 1, 0};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("cantorela.*.debug=false"));
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString history = QDir(dir.path()).absoluteFilePath(QStringLiteral("stats.xml"));
    const QString local = QDir(dir.path()).absoluteFilePath(QStringLiteral("statsLocal.xml"));

    std::vector<double> saveMs, loadMs, addUs, addNewUs;
    {
        Core::ExerciseStatistics store(history, local);
        for (int n = 0; n < Records; ++n)
            store.Add(Item(n));

        for (int round = 0; round < 30; ++round) {
            QElapsedTimer timer;
            timer.start();
            store.Save();
            saveMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        }

        std::mt19937 random(12345);
        std::uniform_int_distribution<int> existing(0, Records - 1);
        for (int i = 0; i < 20000; ++i) {
            const Core::StatisticsRecord record = Item(existing(random));
            QElapsedTimer timer;
            timer.start();
            store.Add(record);
            addUs.push_back(double(timer.nsecsElapsed()) / 1e3);
        }
        for (int i = 0; i < 2000; ++i) {
            const Core::StatisticsRecord record = Item(Records + i);
            QElapsedTimer timer;
            timer.start();
            store.Add(record);
            addNewUs.push_back(double(timer.nsecsElapsed()) / 1e3);
        }
    }
    {
        // Rewrite files of exactly Records entries.
        QFile::remove(history);
        QFile::remove(local);
        Core::ExerciseStatistics store(history, local);
        for (int n = 0; n < Records; ++n)
            store.Add(Item(n));
        store.Save();
    }
    const qint64 bytes = QFileInfo(history).size() + QFileInfo(local).size();
    for (int round = 0; round < 30; ++round) {
        QElapsedTimer timer;
        timer.start();
        Core::ExerciseStatistics store(history, local);
        loadMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }

    std::printf("records=%d per database, files=%lld bytes in all\n", Records, static_cast<long long>(bytes));
    std::printf("save (both files) ms: median=%.2f p99=%.2f\n", Percentile(saveMs, 0.5),
                Percentile(saveMs, 0.99));
    std::printf("load (both files) ms: median=%.2f p99=%.2f\n", Percentile(loadMs, 0.5),
                Percentile(loadMs, 0.99));
    std::printf("add existing item us: median=%.3f p99=%.3f\n", Percentile(addUs, 0.5),
                Percentile(addUs, 0.99));
    std::printf("add new item us: median=%.3f p99=%.3f\n", Percentile(addNewUs, 0.5),
                Percentile(addNewUs, 0.99));
    std::printf("stats_store save_ms=%.2f load_ms=%.2f add_us=%.3f\n", Percentile(saveMs, 0.5),
                Percentile(loadMs, 0.5), Percentile(addUs, 0.5));
    return 0;
}

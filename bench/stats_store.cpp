// Saving, loading and adding to a statistics store of 20,000 records in each database, with
// real files in a temporary directory. The last line is the summary:
//   stats_store save_ms=<median> load_ms=<median> add_us=<median>
// Save writes both files (40,000 records in all); load constructs a store over them; add is one
// Add with 20,000 records present, to an item already recorded or to a new one. Judge is one
// answer of a music-symbol lesson on that store (adding its record and asking for a background
// save), timed with no save running and while the store's saver thread writes both files back to
// back: the answer must not wait for the disk.

#include "core/exercise/difficulty_presets.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/trainer_settings_source.h"

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

// Long sections of every symbol, so that a lesson never runs out of questions.
class LongLessons : public Core::TrainerSettingsSource
{
public:
    LongLessons() : settings(Core::DifficultyPreset(2))
    {
        Core::SymbolTrainerSettings& s = settings.symbolTrainer;
        for (Core::DurationSettings* d : {&s.lengths.duration, &s.keySignatures.duration, &s.tempo.duration,
                                          &s.loudness.duration, &s.noteModifiers.duration})
            *d = Core::DurationSettings{30, 1000};
        s.lengths[Core::LengthSwitch::Whole] = true;
        s.loudness[Core::LoudnessSwitch::Piano] = true;
    }
    Core::TrainerSettings CurrentSettings() const override { return settings; }
    bool IsQuizMode() const override { return false; }

private:
    Core::TrainerSettings settings;
};

// Asks the next question and times the judging of its right answer, in microseconds.
double TimedAnswer(Core::Exercise& exercise)
{
    if (exercise.GetState() != Core::Exercise::BetweenQuestions) {
        exercise.Reset();
        exercise.SetUpSections();
        exercise.Start();
    }
    exercise.Next();
    Core::Answer answer;
    answer.kind = Core::Answer::Choice;
    answer.variant = exercise.GetCurrentQuestion().correctIndex;
    const int answered = exercise.GetCounters().answered;
    QElapsedTimer timer;
    timer.start();
    exercise.Judge(answer);
    const double us = double(timer.nsecsElapsed()) / 1e3;
    if (exercise.GetCounters().answered != answered + 1)
        std::fprintf(stderr, "not judged: state %d\n", exercise.GetState());
    return us;
}

void SpinMs(double ms)
{
    QElapsedTimer timer;
    timer.start();
    while (double(timer.nsecsElapsed()) / 1e6 < ms) {
    }
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

    // Judge on a store of Records entries, an answer every half millisecond or so: first with no
    // save running (for 0.9 s after a synchronous save, shorter than the saver's coalescing
    // delay), then for 3 s with the saver writing back to back (SaveNow before every answer).
    std::vector<double> judgeIdleUs, judgeSavingUs;
    int backgroundSaves = 0;
    {
        LongLessons lessons;
        auto store = std::make_shared<Core::ExerciseStatistics>(history, local);
        Core::ExerciseSymbolTrainer trainer(&lessons);
        trainer.SetUpSections();
        trainer.Initialize(store, 2);
        trainer.Start();
        for (int i = 0; i < 50; ++i) // warm-up; the lesson's first questions
            TimedAnswer(trainer);
        store->Save();
        QElapsedTimer idle;
        idle.start();
        while (idle.elapsed() < 900) {
            SpinMs(0.5);
            judgeIdleUs.push_back(TimedAnswer(trainer));
        }

        store->Save();
        const int savesBefore = store->SaveCount();
        QElapsedTimer phase;
        phase.start();
        while (phase.elapsed() < 3000) {
            store->SaveNow();
            SpinMs(0.5);
            judgeSavingUs.push_back(TimedAnswer(trainer));
        }
        backgroundSaves = store->SaveCount() - savesBefore;
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
    std::printf("judge us, no save running: median=%.1f p99=%.1f max=%.1f (%zu answers)\n",
                Percentile(judgeIdleUs, 0.5), Percentile(judgeIdleUs, 0.99), Percentile(judgeIdleUs, 1.0),
                judgeIdleUs.size());
    std::printf(
        "judge us, background saves back to back: median=%.1f p99=%.1f max=%.1f (%zu answers, %d saves)\n",
        Percentile(judgeSavingUs, 0.5), Percentile(judgeSavingUs, 0.99), Percentile(judgeSavingUs, 1.0),
        judgeSavingUs.size(), backgroundSaves);
    std::printf("stats_store save_ms=%.2f load_ms=%.2f add_us=%.3f\n", Percentile(saveMs, 0.5),
                Percentile(loadMs, 0.5), Percentile(addUs, 0.5));
    return 0;
}

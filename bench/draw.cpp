// The question draw and the lesson loop's timer work.
//   draw: Exercise::DrawCandidates over the chord pool (every chord type and inversion on the
//         whole keyboard, the chord variants provider) with 2,000 statistics records for the
//         section, as a trainer's DrawQuestion makes it.
//   tick: Exercise::OnTick between question boundaries (nothing due), measured in batches of
//         ticks, less the cost of moving the timeline that each tick needs first.
// The last line is the summary:
//   draw p50_us=<median> p99_us=<p99> tick_ns=<median>

#include "core/exercise/chord_provider.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/question_pools.h"
#include "core/exercise/question_validators.h"
#include "core/timing/timer.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

class ChordTrainer : public Core::Exercise
{
public:
    ChordTrainer()
    {
        settings.SetAll(true);
        settings[Core::ChordSwitch::Arpeggiated] = false;
        settings[Core::ChordSwitch::ChordNotation] = false;
        settings.diapason = Core::NotesDiapason{0, 88, true, true};
        Reset();
        ApplySettings({{1, 2000000000}}, 0);
    }
    ~ChordTrainer() override { Shutdown(); }

    int DrawOnce(std::vector<unsigned>& ids)
    {
        Core::ChordValidator validator(&settings);
        return DrawCandidates(unsigned(Core::GetChordPool().size()), &validator,
                              &Core::ChordProvider::Instance(), ids);
    }

protected:
    void RegisterSections(std::vector<SectionTitle>& out) override
    {
        out.push_back({"Chords", "Train Chords"});
    }
    void InitQuestionRecord(int, std::vector<Core::QuestionRecord>& pool) override
    {
        Core::QuestionRecord record;
        record.kind = Core::QuestionRecord::SymbolQuestion;
        record.answerModes = Core::QuestionRecord::ChoiceMode;
        pool.push_back(record);
    }
    bool DrawQuestion(int, Core::QuestionRecord& question) override
    {
        std::vector<unsigned> ids;
        const int position = DrawOnce(ids);
        if (position < 0)
            return false;
        for (unsigned id : ids)
            question.candidates.push_back(Core::GetChordPool()[id]);
        question.correctIndex = position;
        return true;
    }

private:
    Core::ChordSettings settings;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("cantorela.*.info=false"));
    QTemporaryDir dir;
    auto statistics =
        std::make_shared<Core::ExerciseStatistics>(dir.filePath("stats.xml"), dir.filePath("statsLocal.xml"));
    std::mt19937 random(2024);
    const int poolSize = int(Core::GetChordPool().size());
    for (int i = 0; i < 2000; ++i)
        statistics->Add(
            Core::StatisticsRecord{qint32(i * 2 % poolSize), 0, 0, int(random() % 5), int(random() % 5)});
    std::vector<Core::StatisticsRecord> check;
    statistics->GetHistorySectionRecords(0, 0, check);
    std::printf("chord pool %d entries, %d statistics records for the section\n", poolSize,
                int(check.size()));

    ChordTrainer trainer;
    trainer.Initialize(statistics, 0);
    std::vector<unsigned> ids;
    for (int i = 0; i < 50; ++i)
        trainer.DrawOnce(ids);
    std::vector<double> drawUs;
    for (int i = 0; i < 3000; ++i) {
        const quint64 start = Core::Timer::NowNs();
        trainer.DrawOnce(ids);
        drawUs.push_back(double(Core::Timer::NowNs() - start) / 1000.0);
    }

    // A question awaiting its answer far from its time limit; the real timer is stopped so that
    // only these calls move the timeline.
    trainer.Start();
    trainer.Next();
    auto timeline = trainer.GetTimeLine();
    timeline->Stop();
    const int batch = 1000;
    std::vector<double> tickNs;
    int position = timeline->Position();
    for (int round = 0; round < 200; ++round) {
        const int first = position;
        quint64 start = Core::Timer::NowNs();
        for (int i = 1; i <= batch; ++i) {
            timeline->SetPosition(first + i);
            trainer.OnTick(first + i);
        }
        const quint64 withTicks = Core::Timer::NowNs() - start;
        start = Core::Timer::NowNs();
        for (int i = 1; i <= batch; ++i)
            timeline->SetPosition(first + batch + i);
        const quint64 movesOnly = Core::Timer::NowNs() - start;
        position = first + 2 * batch;
        tickNs.push_back((double(withTicks) - double(movesOnly)) / batch);
    }
    std::printf("draw p50_us=%.1f p99_us=%.1f tick_ns=%.0f\n", Percentile(drawUs, 0.5),
                Percentile(drawUs, 0.99), Percentile(tickNs, 0.5));
    return 0;
}

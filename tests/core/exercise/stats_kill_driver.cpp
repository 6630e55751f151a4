// A lesson for test_statistics_saving to kill, filed under trainer 2 in the statistics files given:
// one answer every <pace> ms, right and wrong by turns, the lesson started over at its end. Usage:
// stats_kill_driver <history> <local> <pace ms>. Prints "answered <count> <steady-clock ms>" after
// each judged answer (CLOCK_MONOTONIC: the same in every process).

#include "core/exercise/exercise_statistics.h"
#include "test_trainer.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace Core;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: stats_kill_driver <history> <local> <pace ms>\n");
        return 2;
    }
    // Twelve questions a section, 30 s each: the student is always quicker.
    TestTrainer exercise(std::vector<TestTrainer::SectionSpec>(5, Section(12, 30000)));
    exercise.Initialize(std::make_shared<ExerciseStatistics>(QString::fromLocal8Bit(argv[1]),
                                                             QString::fromLocal8Bit(argv[2])),
                        2);
    exercise.Start();

    int given = 0;
    QTimer student;
    QObject::connect(&student, &QTimer::timeout, [&] {
        if (exercise.GetState() == Exercise::LessonEnd) {
            exercise.Reset();
            exercise.Start();
        }
        exercise.Next();
        const int before = exercise.GetCounters().answered;
        exercise.Judge(
            Choice((exercise.GetCurrentQuestion().correctIndex + given % 2) % Exercise::CandidateCount));
        if (exercise.GetCounters().answered == before)
            return; // nothing asked (the lesson ended): the next turn starts it over
        const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        std::printf("answered %d %lld\n", ++given, static_cast<long long>(now.count()));
        std::fflush(stdout);
    });
    student.start(std::atoi(argv[3]));
    return app.exec();
}

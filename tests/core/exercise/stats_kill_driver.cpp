// A lesson of the music-symbol trainer as the program runs it, for test_statistics_saving: the
// catalogue in the data folder of $XDG_DATA_HOME, the session records cleared as the screen does,
// and a student answering one question every <pace> ms, right and wrong by turns, starting the
// lesson over at its end; the test kills it with SIGKILL and reads the files it left.
// Usage: stats_kill_driver <answers> <pace ms> (answers 0: until killed). Prints "history <path>"
// and "local <path>", then "answered <count> <steady-clock ms>" after each judged answer
// (CLOCK_MONOTONIC: the same in every process); idles after the last answer.

#include "../../common/temp_settings.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "settings_blocks.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace Core;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const TempSettings ownSettings; // the program's names; no settings of the user's read
    if (argc != 3) {
        std::fprintf(stderr, "usage: stats_kill_driver <answers> <pace ms>\n");
        return 2;
    }
    const int answers = std::atoi(argv[1]);
    const int paceMs = std::atoi(argv[2]);

    SettingsBlocks settings;
    settings.Change([](TrainerSettings& s) {
        for (DurationSettings* d :
             {&s.symbolTrainer.lengths.duration, &s.symbolTrainer.keySignatures.duration,
              &s.symbolTrainer.tempo.duration, &s.symbolTrainer.loudness.duration,
              &s.symbolTrainer.noteModifiers.duration})
            *d = DurationSettings{30, 12}; // 30 s a question: the student is always quicker
        s.symbolTrainer.lengths[LengthSwitch::Whole] = true;
        s.symbolTrainer.keySignatures[KeySignatureSwitch::CMaj] = true;
        s.symbolTrainer.loudness[LoudnessSwitch::Piano] = true;
        s.symbolTrainer.noteModifiers[NoteModifierSwitch::Fermata] = true;
    });

    ExerciseCatalog catalog(&settings);
    std::printf("history %s\nlocal %s\n", qPrintable(catalog.GetStatistics()->HistoryPath()),
                qPrintable(catalog.GetStatistics()->LocalPath()));
    std::fflush(stdout);

    std::shared_ptr<Exercise> exercise = catalog.CreateExercise(2);
    exercise->SetUpSections();
    exercise->ClearSessionStatistics();
    exercise->Start();

    int given = 0;
    QTimer student;
    student.setInterval(paceMs);
    QObject::connect(&student, &QTimer::timeout, [&] {
        if (exercise->GetState() == Exercise::LessonEnd || exercise->GetState() == Exercise::NotStarted) {
            exercise->Reset();
            exercise->SetUpSections();
            exercise->Start();
        }
        exercise->Next();
        if (exercise->GetState() != Exercise::AwaitingAnswer && exercise->GetState() != Exercise::Presenting)
            return; // nothing asked (the lesson ended): the next turn starts it over
        const int before = exercise->GetCounters().answered;
        const int right = exercise->GetCurrentQuestion().correctIndex;
        Answer answer;
        answer.kind = Answer::Choice;
        answer.variant = given % 2 == 0 ? right : (right + 1) % Exercise::CandidateCount;
        exercise->Judge(answer);
        if (exercise->GetCounters().answered == before)
            return;
        ++given;
        const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        std::printf("answered %d %lld\n", given, static_cast<long long>(now.count()));
        std::fflush(stdout);
        if (answers > 0 && given >= answers)
            student.stop();
    });
    student.start();
    return app.exec();
}

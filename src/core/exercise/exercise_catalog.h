#pragma once
// The trainers the program offers and the stores that outlive an exercise. Three trainers, each
// with a learning lesson and a quiz lesson of the same exercise class; the catalogue makes a new
// exercise of a trainer on request, linked to the one statistics store and the one answer log,
// and owns the usage telemetry. The stores keep their files in the data directory ("stats.xml",
// "statsLocal.xml", "tstats.xml", "answers.sqlite"), created when missing.
//
// The application creates the one catalogue at start-up and gives it the piece bank once that
// exists. GUI thread.

#include "core/exercise/answer_log.h"

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace Core {

class Exercise;
class ExerciseStatistics;
class MidiBank;
class Telemetry;
class TrainerSettingsSource;

// The answer log's write problems, carried from the log's thread to the GUI thread for every
// lesson: the log has one problem listener, which this is. GUI thread.
class AnswerLogMonitor : public QObject
{
    Q_OBJECT
public:
    // Listens to `log` until destroyed.
    explicit AnswerLogMonitor(std::shared_ptr<AnswerLog> log, QObject* parent = nullptr);
    ~AnswerLogMonitor() override;

    // The problem in force in words for the status line; empty while the log writes.
    QString problem() const { return m_problem; }
    static QString describe(const AnswerLog::WriteState& state);

Q_SIGNALS:
    // The log stopped writing (the words), or writes again (empty).
    void problemChanged(const QString& message);

private:
    void setState(const AnswerLog::WriteState& state);

    std::shared_ptr<AnswerLog> m_log;
    QString m_problem;
};

class ExerciseCatalog
{
    Q_DECLARE_TR_FUNCTIONS(Core::ExerciseCatalog)
public:
    struct Trainer
    {
        QString name;
        QString lessonTitle; // the learning lesson
        QString quizTitle;
    };

    static constexpr const char* HistoryFileName = "stats.xml";
    static constexpr const char* LocalFileName = "statsLocal.xml";
    static constexpr const char* TelemetryFileName = "tstats.xml";

    // settings: where the exercises read the settings in force; it must outlive the catalogue
    // and its exercises. Null makes exercises that ask nothing.
    explicit ExerciseCatalog(const TrainerSettingsSource* settings = nullptr);
    virtual ~ExerciseCatalog();
    ExerciseCatalog(const ExerciseCatalog&) = delete;
    ExerciseCatalog& operator=(const ExerciseCatalog&) = delete;

    // Trainer 0 the note trainer, 1 the ear trainer, any other the symbol trainer.
    std::shared_ptr<Exercise> CreateExercise(unsigned trainerIndex);

    // The tempo pieces of the exercises made from now on.
    void SetMidiBank(std::shared_ptr<MidiBank> bank);
    // The bank last set; null before the application has made it.
    std::shared_ptr<MidiBank> GetMidiBank() const { return midiBank; }

    const std::vector<Trainer>& GetTrainers() const { return trainers; }
    std::shared_ptr<ExerciseStatistics> GetStatistics() const { return statistics; }
    std::shared_ptr<Telemetry> GetTelemetry() const { return telemetry; }
    std::shared_ptr<AnswerLog> GetAnswerLog() const { return answerLog; }
    AnswerLogMonitor* GetAnswerLogMonitor() const { return answerLogMonitor.get(); }

    // The first data location of the platform for this application, created when missing.
    static QString DataDirectory();

private:
    std::vector<Trainer> trainers;
    std::shared_ptr<ExerciseStatistics> statistics;
    std::shared_ptr<Telemetry> telemetry;
    std::shared_ptr<AnswerLog> answerLog;
    std::unique_ptr<AnswerLogMonitor> answerLogMonitor;
    const TrainerSettingsSource* settingsSource;
    std::shared_ptr<MidiBank> midiBank;
};

} // namespace Core

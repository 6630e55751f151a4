#include "core/exercise/exercise_catalog.h"

#include "core/exercise/exercise_ear_trainer.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/exercise_symbol_trainer.h"
#include "core/midi/midi_bank.h"
#include "core/services/telemetry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(catalogLog, "cantorela.catalog")

namespace Core {

ExerciseCatalog::ExerciseCatalog(const TrainerSettingsSource* settings) : settingsSource(settings)
{
    trainers.push_back({tr("Note Trainer"), tr("Learn reading notes"), tr("Quiz yourself on reading notes")});
    trainers.push_back({tr("Ear Trainer"), tr("Learn recognizing notes by ear"),
                        tr("Quiz yourself on recognizing notes by ear")});
    trainers.push_back(
        {tr("Music Symbols"), tr("Learn various music symbols"), tr("Quiz yourself on music symbols")});

    const QDir data(DataDirectory());
    statistics = std::make_shared<ExerciseStatistics>(data.absoluteFilePath(QLatin1String(HistoryFileName)),
                                                      data.absoluteFilePath(QLatin1String(LocalFileName)));
    telemetry = std::make_shared<Telemetry>(data.absoluteFilePath(QLatin1String(TelemetryFileName)));
    answerLog = std::make_shared<AnswerLog>(data.absoluteFilePath(QLatin1String(AnswerLog::FileName)));
    answerLogMonitor = std::make_unique<AnswerLogMonitor>(answerLog);
}

ExerciseCatalog::~ExerciseCatalog()
{
    // The listener goes first; the log writes what is queued when its last holder lets it go.
    answerLogMonitor.reset();
    answerLog.reset();
    telemetry.reset();
    statistics.reset();
    trainers.clear();
}

QString ExerciseCatalog::DataDirectory()
{
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::AppDataLocation);
    QDir dir(locations.isEmpty() ? QDir::homePath() : locations.first());
    if (!dir.exists()) {
        dir.makeAbsolute();
        // A directory that cannot be made leaves the stores without files; they say so.
        if (!QDir::root().mkpath(dir.path()))
            qCWarning(catalogLog) << "cannot create the data directory" << dir.path();
    }
    return dir.absolutePath();
}

void ExerciseCatalog::SetMidiBank(std::shared_ptr<MidiBank> bank)
{
    midiBank = std::move(bank);
}

std::shared_ptr<Exercise> ExerciseCatalog::CreateExercise(unsigned trainerIndex)
{
    std::shared_ptr<Exercise> exercise;
    if (trainerIndex == NoteTrainerIndex)
        exercise = std::make_shared<ExerciseNoteTrainer>(settingsSource);
    else if (trainerIndex == EarTrainerIndex)
        exercise = std::make_shared<ExerciseEarTrainer>(settingsSource, midiBank);
    else
        exercise = std::make_shared<ExerciseSymbolTrainer>(settingsSource, midiBank);
    exercise->Initialize(statistics, int(qMin(trainerIndex, unsigned(SymbolTrainerIndex))));
    exercise->SetAnswerLog(answerLog);
    return exercise;
}

// ---- the answer log's problems ------------------------------------------------------------------

AnswerLogMonitor::AnswerLogMonitor(std::shared_ptr<AnswerLog> log, QObject* parent)
    : QObject(parent), m_log(std::move(log))
{
    // Runs on the log's thread; the destructor removes it before this object goes, and a call
    // still queued then goes with the object.
    if (m_log)
        m_log->SetProblemListener([this](const AnswerLog::WriteState& state) {
            QMetaObject::invokeMethod(this, [this, state] { setState(state); }, Qt::QueuedConnection);
        });
}

AnswerLogMonitor::~AnswerLogMonitor()
{
    if (m_log)
        m_log->SetProblemListener({});
}

QString AnswerLogMonitor::describe(const AnswerLog::WriteState& state)
{
    switch (state.problem) {
    case DataFile::Problem::DiskFull:
        return tr("Your answers cannot be logged: the disk is full.");
    case DataFile::Problem::NotWritable:
        return tr("Your answers cannot be logged: %1 cannot be written.")
            .arg(QDir::toNativeSeparators(QFileInfo(state.path).absolutePath()));
    case DataFile::Problem::None:
    case DataFile::Problem::Other:
        break;
    }
    return tr("Your answers cannot be logged (%1).").arg(state.detail);
}

void AnswerLogMonitor::setState(const AnswerLog::WriteState& state)
{
    const QString now = state.writing ? QString() : describe(state);
    if (now == m_problem)
        return;
    m_problem = now;
    Q_EMIT problemChanged(now);
}

} // namespace Core

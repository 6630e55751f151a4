#include "core/exercise/scored_lesson.h"

#include "core/error.h"
#include "core/exercise/answer_judgement.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/question_generator.h"

#include <QDateTime>
#include <QLoggingCategory>

namespace Core {
namespace {

Q_LOGGING_CATEGORY(scoreLog, "cantorela.exercise")

} // namespace

ScoredLesson::~ScoredLesson()
{
    // The lesson's answers reach the statistics files when the lesson goes.
    std::shared_ptr<ExerciseStatistics> store = GetStatistics();
    if (!store)
        return;
    try {
        store->Save();
    } catch (const Error& e) {
        qCWarning(scoreLog) << "statistics not saved:" << e.Message();
    } catch (const std::exception& e) {
        qCWarning(scoreLog) << "statistics not saved:" << e.what();
    }
}

void ScoredLesson::Initialize(std::shared_ptr<ExerciseStatistics> store, int trainer)
{
    Locker guard(*this);
    statistics = std::move(store);
    trainerIndex = trainer;
}

ScoredLesson::Counters ScoredLesson::GetCounters() const
{
    Locker guard(*this);
    return counters;
}

std::vector<Answer> ScoredLesson::GetAnswers(int section) const
{
    Locker guard(*this);
    if (section < 0 || size_t(section) >= answers.size())
        return {};
    return answers[size_t(section)];
}

int ScoredLesson::GetTrainerIndex() const
{
    Locker guard(*this);
    return trainerIndex;
}

std::shared_ptr<ExerciseStatistics> ScoredLesson::GetStatistics() const
{
    Locker guard(*this);
    return statistics;
}

void ScoredLesson::LoadTotals()
{
    Locker guard(*this);
    if (!statistics)
        return;
    statistics->ReloadLocal();
    std::vector<StatisticsRecord> records;
    statistics->GetLocalRecords(trainerIndex, records);
    for (const StatisticsRecord& record : records) {
        counters.asked += record.correct + record.wrong;
        counters.correct += record.correct;
    }
    counters.answered = counters.asked;
}

void ScoredLesson::ClearSessionStatistics()
{
    Locker guard(*this);
    if (statistics)
        statistics->ClearLocal(trainerIndex);
}

void ScoredLesson::ClearHistoryStatistics()
{
    Locker guard(*this);
    if (statistics)
        statistics->ClearHistory(trainerIndex);
}

void ScoredLesson::SetShowHistory(bool show)
{
    Locker guard(*this);
    showHistory = show;
}

bool ScoredLesson::IsShowingHistory() const
{
    Locker guard(*this);
    return showHistory;
}

void ScoredLesson::GetSectionStatistics(int section, std::vector<StatisticsRecord>& out) const
{
    Locker guard(*this);
    if (!statistics)
        return;
    if (showHistory)
        statistics->GetHistorySectionRecords(trainerIndex, section, out);
    else
        statistics->GetLocalSectionRecords(trainerIndex, section, out);
}

void ScoredLesson::SetAnswerLog(std::shared_ptr<AnswerLog> log)
{
    // Right after the log is made, BeginRun waits for the database's largest run: not under the
    // lesson lock.
    const qint64 run = log ? log->BeginRun() : 0;
    Locker guard(*this);
    answerLog = std::move(log);
    runId = run;
}

std::shared_ptr<AnswerLog> ScoredLesson::GetAnswerLog() const
{
    Locker guard(*this);
    return answerLog;
}

qint64 ScoredLesson::GetRunId() const
{
    Locker guard(*this);
    return runId;
}

void ScoredLesson::SetWeakSpots(std::map<qint32, WeakSpotFactors> factors)
{
    Locker guard(*this);
    weakSpots = std::move(factors);
}

std::map<qint32, WeakSpotFactors> ScoredLesson::GetWeakSpots() const
{
    Locker guard(*this);
    return weakSpots;
}

// ---- the question loop's bookkeeping, lock held ------------------------------------------------

void ScoredLesson::ResetScore()
{
    answers.clear();
    counters = Counters();
    previousId = -1;
}

void ScoredLesson::SetScoredSections(size_t count)
{
    questions.clear();
    questions.resize(count);
    answers.resize(count);
}

void ScoredLesson::StartSectionScore(int questionCount)
{
    counters.sectionQuestionCount = questionCount;
    counters.sectionAsked = 0;
    counters.sectionCorrect = 0;
}

void ScoredLesson::RecordQuestion(int section, const QuestionRecord& question)
{
    questions[size_t(section)].push_back(question);
    ++counters.asked;
    ++counters.sectionAsked;
}

const QuestionRecord* ScoredLesson::LastQuestion(int section) const
{
    if (section < 0 || size_t(section) >= questions.size() || questions[size_t(section)].empty())
        return nullptr;
    return &questions[size_t(section)].back();
}

void ScoredLesson::RecordAnswer(int section, const Answer& answer, bool right)
{
    if (right) {
        ++counters.correct;
        ++counters.sectionCorrect;
    }
    ++counters.answered;
    answers[size_t(section)].push_back(answer);
}

void ScoredLesson::AddToStatistics(int section, const QuestionRecord& question, bool right)
{
    if (!statistics)
        return;
    const QuestionData* item = question.AskedItem();
    StatisticsRecord record;
    record.id = item ? item->statisticsKey : 0;
    record.exId = trainerIndex;
    record.section = section;
    record.correct = right ? 1 : 0;
    record.wrong = right ? 0 : 1;
    statistics->Add(record);
}

void ScoredLesson::SaveStatistics(bool sectionEnd)
{
    if (!statistics)
        return;
    if (sectionEnd)
        statistics->SaveNow();
    else
        statistics->SaveSoon();
}

void ScoredLesson::LogAnswer(int section, const QuestionRecord& question, const Answer& answer, bool right,
                             bool quiz, qint32 responseMs)
{
    if (!answerLog)
        return;
    const QuestionData* item = question.AskedItem();
    LoggedAnswer row;
    row.time = QDateTime::currentSecsSinceEpoch();
    row.run = runId;
    row.trainer = trainerIndex;
    row.section = section;
    row.quiz = quiz;
    row.asked = item ? item->statisticsKey : 0;
    row.answered = AnswerJudgement::AnsweredItem(question, answer);
    row.outcome = right ? LoggedAnswer::Right
                  : answer.kind == Answer::NoAnswer ? LoggedAnswer::OutOfTime
                                                     : LoggedAnswer::Wrong;
    row.responseMs = responseMs;
    answerLog->Append(row);
}

int ScoredLesson::DrawWeighted(int section, unsigned poolSize, QuestionValidator* validator,
                               const AnswerVariantProvider* provider, std::vector<unsigned>& ids)
{
    ids.clear();
    std::vector<StatisticsRecord> records;
    if (statistics)
        statistics->GetLocalSectionRecords(trainerIndex, section, records);
    QuestionGenerator generator(poolSize, validator, provider);
    const auto factors = weakSpots.find(section);
    if (generator.Prepare(records, factors != weakSpots.end() ? &factors->second : nullptr) == 0)
        return -1;
    unsigned drawn = 0;
    int position = 0;
    for (int attempt = 0; attempt < 10; ++attempt) {
        drawn = generator.Draw();
        position = generator.BuildChoices(drawn, ids);
        if (int(drawn) != previousId)
            break;
    }
    previousId = int(drawn);
    return position;
}

} // namespace Core

#pragma once
// A lesson that keeps score: the counters the screen shows, the questions asked and the answers
// given in each section, and the trainer's statistics store, which every judged answer goes to
// and which the screens read and clear. The draw of a question is weighted by the store's
// records of its section and, when weak spots are given, by their factors. Every judged answer
// also goes to the answer log, when the lesson has one, under the id of the lesson's run.
// Core::Exercise runs its question loop on it.
//
// The run: the answers of a run are those the statistics view shows as the current run (the
// local statistics records). A lesson's run begins when it gets its answer log, which the
// catalogue gives it when it makes the lesson (the screen clears the run's statistics when it
// opens a lesson that is not resumed); starting the lesson over in place (Reset) goes on with the
// same run. A lesson resumed at start-up goes on with the statistics of the last run, but begins
// a run of its own in the log.
//
// Threads: the public operations take the lesson's lock (see LessonBase); the protected ones are
// for the question loop, which holds it. The store has its own lock and writes its files on its
// own thread; the lesson's answers are written at once when the lesson goes.

#include "core/exercise/answer.h"
#include "core/exercise/answer_log.h"
#include "core/exercise/lesson_base.h"
#include "core/exercise/question_record.h"
#include "core/exercise/statistics_record.h"

#include <map>
#include <memory>
#include <vector>

namespace Core {

class AnswerVariantProvider;
class ExerciseStatistics;
class QuestionValidator;

class ScoredLesson : public LessonBase
{
public:
    // Over the lesson, and in the current section.
    struct Counters
    {
        qint32 asked = 0;
        qint32 correct = 0;
        qint32 answered = 0;
        qint32 sectionQuestionCount = 0;
        qint32 sectionAsked = 0;
        qint32 sectionCorrect = 0;
    };

    ~ScoredLesson() override;

    void Initialize(std::shared_ptr<ExerciseStatistics> statistics, int trainerIndex);
    Counters GetCounters() const;
    std::vector<Answer> GetAnswers(int section) const;
    int GetTrainerIndex() const;
    std::shared_ptr<ExerciseStatistics> GetStatistics() const;

    // Adds the trainer's answers of the current run on record to the counters.
    void LoadTotals();
    void ClearSessionStatistics();
    void ClearHistoryStatistics();
    // Whether the section statistics are those of every run (the history) or of this one.
    void SetShowHistory(bool show);
    bool IsShowingHistory() const;
    void GetSectionStatistics(int section, std::vector<StatisticsRecord>& out) const;

    // The answer log every judged answer goes to (none: nothing is logged), and a new run in it.
    // Takes the log's new run id before the lesson lock; see the run above.
    void SetAnswerLog(std::shared_ptr<AnswerLog> log);
    std::shared_ptr<AnswerLog> GetAnswerLog() const;
    // This run's id in the log; 0 without a log.
    qint64 GetRunId() const;
    // Per section, the factors the draw weights of its items are multiplied by (see
    // AnswerLog::WeakSpots). None (the default): the draw is the plain statistics-weighted one.
    void SetWeakSpots(std::map<qint32, WeakSpotFactors> factors);
    std::map<qint32, WeakSpotFactors> GetWeakSpots() const;

protected:
    // A new run: the counters at zero, no answers and no question drawn yet. The questions of
    // the last run stay until SetScoredSections.
    void ResetScore();
    // No questions and no answers in each of `count` sections.
    void SetScoredSections(size_t count);
    // The section counters of a section just entered.
    void StartSectionScore(int questionCount);
    void SetSectionQuestionCount(int questionCount) { counters.sectionQuestionCount = questionCount; }
    // Whether the current section has asked all its questions.
    bool SectionAskedOut() const { return counters.sectionAsked >= counters.sectionQuestionCount; }

    void RecordQuestion(int section, const QuestionRecord& question);
    // The question asked last in `section`; null before its first.
    const QuestionRecord* LastQuestion(int section) const;
    void RecordAnswer(int section, const Answer& answer, bool right);
    // Adds a judged answer to the statistics store, in memory.
    void AddToStatistics(int section, const QuestionRecord& question, bool right);
    // Asks the store to write its files, without waiting: at once when a section ends, within
    // two seconds otherwise.
    void SaveStatistics(bool sectionEnd);
    // Appends a judged answer to the answer log, without waiting; `responseMs` -1 when unknown.
    void LogAnswer(int section, const QuestionRecord& question, const Answer& answer, bool right, bool quiz,
                   qint32 responseMs);

    // Draws one valid pool id of `section`, weighted by its statistics and, when another can be
    // drawn, not the one drawn last; fills `ids` with the candidates (see QuestionGenerator).
    // Returns the drawn id's position in `ids`, or -1 (and `ids` empty) when no entry is valid.
    int DrawWeighted(int section, unsigned poolSize, QuestionValidator* validator,
                     const AnswerVariantProvider* provider, std::vector<unsigned>& ids);

private:
    std::shared_ptr<ExerciseStatistics> statistics;
    int trainerIndex = 0;
    Counters counters;
    std::vector<std::vector<QuestionRecord>> questions; // asked, per section
    std::vector<std::vector<Answer>> answers;           // given, per section
    bool showHistory = false;
    int previousId = -1; // the pool id drawn last
    std::shared_ptr<AnswerLog> answerLog;
    qint64 runId = 0;
    std::map<qint32, WeakSpotFactors> weakSpots; // per section
};

} // namespace Core

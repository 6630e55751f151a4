#pragma once
// A lesson that keeps score: the counters the screen shows, the questions asked and the answers
// given in each section, and the trainer's statistics store, which every judged answer goes to
// and which the screens read and clear. The draw of a question is weighted by the store's
// records of its section. Core::Exercise runs its question loop on it.
//
// Threads: the public operations take the lesson's lock (see LessonBase); the protected ones are
// for the question loop, which holds it. The store has its own lock and writes its files on its
// own thread; the lesson's answers are written at once when the lesson goes.

#include "core/exercise/answer.h"
#include "core/exercise/lesson_base.h"
#include "core/exercise/question_record.h"
#include "core/exercise/statistics_record.h"

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
};

} // namespace Core

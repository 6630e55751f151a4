#pragma once
// The sections of an exercise and how they lie on the lesson's timeline: their titles, how many
// questions each asks and how long a question may take, the pool of question templates each
// draws from, and the sections found to have nothing to ask in this run. A section takes its
// question count times its ticks per question on the timeline; without a time limit a question
// takes ten ticks of the timeline's 50 ms.
//
// Part of an Exercise, which holds its lock around every call.

#include "core/exercise/question_record.h"

#include <QString>

#include <vector>

namespace Core {

class TimeLine;

class SectionPlan
{
public:
    struct Title
    {
        QString shortName;
        QString title;
    };
    struct Section
    {
        qint32 questionCount = 0;
        qint32 msPerQuestion = 0;
    };

    static constexpr int TickMs = 50;         // timeline interval
    static constexpr int UnlimitedTicks = 10; // ticks per question without a time limit

    // Forgets the sections of the last run; the table of counts and times stays.
    void Clear();
    // The sections of a new run, each with an empty pool; the table grows to cover them.
    void SetTitles(std::vector<Title> newTitles);
    const std::vector<Title>& Titles() const { return titles; }
    int Count() const { return int(titles.size()); }
    // The pool the trainer fills with the section's question templates.
    std::vector<QuestionRecord>& Pool(int section) { return pools[size_t(section)]; }

    // The question counts and time-outs in section order; the table keeps covering every section.
    void SetTable(const std::vector<Section>& newTable);
    const std::vector<Section>& Table() const { return table; }
    bool InTable(int section) const { return section >= 0 && size_t(section) < table.size(); }
    // 0 for a section outside the table.
    int QuestionCount(int section) const;
    // msPerQuestion / 50; 0 means no time limit (and a section outside the table).
    int TicksPerQuestion(int section) const;

    // Whether the section may ask: it has questions and a pool, and was not skipped in this run.
    bool CanAsk(int section) const;
    void Skip(int section) { skipped[size_t(section)] = true; }

    // One segment per section, of a placeholder length until SetDurations.
    void AddSegments(TimeLine& timeline) const;
    // Gives each section's segment its length from the table.
    void SetDurations(TimeLine& timeline) const;

private:
    std::vector<Title> titles;
    std::vector<Section> table;
    std::vector<std::vector<QuestionRecord>> pools;
    std::vector<bool> skipped;
};

} // namespace Core

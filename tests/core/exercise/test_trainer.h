#pragma once
// A small trainer for the lesson-loop tests: sections of items, validators, kinds and answer
// modes given by the test, and a recorder of what it reported from any thread.

#include "core/exercise/exercise.h"
#include "core/exercise/question_data.h"
#include "core/exercise/simple_validator.h"

#include <QVector>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// An item sounding `notes`, `spacing` seconds apart, each held `length` seconds.
inline std::shared_ptr<Core::QuestionData> Item(int key, const std::vector<int>& notes, double spacing = 0.0,
                                                double length = 0.2)
{
    auto item = std::make_shared<Core::QuestionData>();
    item->statisticsKey = key;
    item->caption2 = QString::number(key);
    item->stream = std::make_shared<Core::MidiStream>();
    for (int status : {0x90, 0x80}) // every note-on ahead of the note-offs before the sort
        for (size_t i = 0; i < notes.size(); ++i) {
            const double at = spacing * double(i) + (status == 0x80 ? length : 0.0);
            item->stream->append({MidiMessage(quint8(status), 0, quint8(notes[i]), 96),
                                  qint32(at * MidiEvent::TicksPerSecond), at});
        }
    item->stream->Sort();
    return item;
}

inline Core::Answer Choice(int variant)
{
    return {Core::Answer::Choice, {}, 0, variant};
}

// Judged answers, section changes and keys an exercise reports, from any thread.
class ExerciseRecorder : public Core::ExerciseObserver
{
public:
    struct Judged
    {
        bool correct;
        Core::Answer answer;
    };
    struct Reports
    {
        QVector<Judged> judged;
        QVector<int> sections;
        QVector<int> notes; // pressed as +note, released as -note
    };

    void OnAnswerJudged(bool right, const Core::Answer& a) override { Add(&Reports::judged, {right, a}); }
    void OnSectionChanged(unsigned section) override { Add(&Reports::sections, int(section)); }
    void OnNoteFromDevice(bool pressed, int note) override { Add(&Reports::notes, pressed ? note : -note); }
    Reports Seen()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return reports;
    }

private:
    template <typename T> void Add(QVector<T> Reports::*list, const T& value)
    {
        std::lock_guard<std::mutex> guard(mutex);
        (reports.*list).append(value);
    }
    std::mutex mutex; // std::mutex: ThreadSanitizer sees its ordering
    Reports reports;
};

class TestTrainer : public Core::Exercise
{
public:
    struct SectionSpec
    {
        int kind = Core::QuestionRecord::SymbolQuestion;
        int answerModes = Core::QuestionRecord::ChoiceMode | Core::QuestionRecord::NotesMode;
        std::vector<std::shared_ptr<Core::QuestionData>> items;
        std::function<bool(unsigned)> valid; // empty: every item may be asked
        int questionCount = 3;
        int msPerQuestion = 10000;
    };

    explicit TestTrainer(std::vector<SectionSpec> sectionSpecs) : specs(std::move(sectionSpecs))
    {
        Attach(&recorder);
        Reset();
        ApplyDurations();
    }
    ~TestTrainer() override
    {
        Detach(&recorder);
        Shutdown();
    }

    void ApplyDurations(int instrument = 0)
    {
        std::vector<Section> table;
        for (const auto& plan : specs)
            table.push_back({plan.questionCount, plan.msPerQuestion});
        ApplySettings(table, instrument);
    }
    // Starts the lesson and asks its first question.
    TestTrainer& Begin()
    {
        Start();
        Next();
        return *this;
    }
    ExerciseRecorder recorder; // what the exercise reported

protected:
    void RegisterSections(std::vector<SectionTitle>& out) override
    {
        for (size_t i = 0; i < specs.size(); ++i)
            out.push_back({QString::number(i), QStringLiteral("Section %1").arg(i)});
    }
    void InitQuestionRecord(int section, std::vector<Core::QuestionRecord>& pool) override
    {
        pool.emplace_back();
        pool.back().kind = specs[size_t(section)].kind;
        pool.back().answerModes = specs[size_t(section)].answerModes;
    }
    bool DrawQuestion(int section, Core::QuestionRecord& question) override
    {
        const SectionSpec& plan = specs[size_t(section)];
        Core::SimpleValidator<SectionSpec, &Allowed> validator(&plan);
        std::vector<unsigned> ids;
        question.correctIndex = DrawCandidates(unsigned(plan.items.size()), &validator, nullptr, ids);
        question.candidates.clear();
        for (unsigned id : ids)
            question.candidates.push_back(plan.items[id]);
        return question.correctIndex >= 0;
    }

private:
    static bool Allowed(unsigned id, const SectionSpec* plan) { return !plan->valid || plan->valid(id); }
    std::vector<SectionSpec> specs;
};

// A section asking `questions` of six items, single notes (or triads) from middle C up a whole
// tone apart, `ms` each (0: no time limit).
inline TestTrainer::SectionSpec Section(int questions, int ms = 10000,
                                        int kind = Core::QuestionRecord::SymbolQuestion, bool triads = false)
{
    TestTrainer::SectionSpec plan;
    plan.kind = kind;
    for (int i = 0; i < 6; ++i)
        plan.items.push_back(triads ? Item(i, {60 + 2 * i, 64 + 2 * i, 67 + 2 * i}, 0.0, 0.1)
                                    : Item(i, {60 + 2 * i}, 0.0, 0.1));
    plan.questionCount = questions;
    plan.msPerQuestion = ms;
    return plan;
}

#pragma once
// A small trainer for the lesson-loop tests: sections of items given by the test, a validator
// per section, questions of a chosen kind and answer modes, and a record of what the exercise
// reported, kept thread-safe because notifications come from the timer and MIDI threads.

#include "core/exercise/exercise.h"
#include "core/exercise/question_validator.h"
#include "core/exercise/question_data.h"

#include <QVector>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

inline std::shared_ptr<Core::MidiStream> NotesStream(const std::vector<int>& notes, double spacing = 0.0,
                                                     double length = 0.2)
{
    auto stream = std::make_shared<Core::MidiStream>();
    for (size_t i = 0; i < notes.size(); ++i) {
        const double on = spacing * double(i);
        stream->append(
            {MidiMessage(0x90, 0, quint8(notes[i]), 96), qint32(on * MidiEvent::TicksPerSecond), on});
    }
    for (size_t i = 0; i < notes.size(); ++i) {
        const double off = spacing * double(i) + length;
        stream->append(
            {MidiMessage(0x80, 0, quint8(notes[i]), 96), qint32(off * MidiEvent::TicksPerSecond), off});
    }
    stream->Sort();
    return stream;
}

inline std::shared_ptr<Core::QuestionData> Item(int key, const std::vector<int>& notes, double spacing = 0.0,
                                                double length = 0.2)
{
    auto item = std::make_shared<Core::QuestionData>();
    item->statisticsKey = key;
    item->stream = NotesStream(notes, spacing, length);
    item->caption2 = QString::number(key);
    return item;
}

class TestTrainer : public Core::Exercise
{
public:
    struct SectionSpec
    {
        QString name;
        int kind = Core::QuestionRecord::SymbolQuestion;
        int answerModes = Core::QuestionRecord::ChoiceMode | Core::QuestionRecord::NotesMode;
        std::vector<std::shared_ptr<Core::QuestionData>> items;
        std::function<bool(unsigned)> valid; // empty: every item may be asked
        int questionCount = 3;
        int msPerQuestion = 10000;
    };

    explicit TestTrainer(std::vector<SectionSpec> sectionSpecs) : specs(std::move(sectionSpecs))
    {
        Reset();
        ApplyDurations();
    }
    ~TestTrainer() override { Shutdown(); }

    void ApplyDurations(int instrument = 0)
    {
        std::vector<Section> table;
        for (const auto& plan : specs)
            table.push_back({plan.questionCount, plan.msPerQuestion});
        ApplySettings(table, instrument);
    }

protected:
    void RegisterSections(std::vector<SectionTitle>& out) override
    {
        for (const auto& plan : specs)
            out.push_back({plan.name, QStringLiteral("Train ") + plan.name});
    }
    void InitQuestionRecord(int section, std::vector<Core::QuestionRecord>& pool) override
    {
        Core::QuestionRecord record;
        record.kind = specs[size_t(section)].kind;
        record.answerModes = specs[size_t(section)].answerModes;
        pool.push_back(record);
    }
    bool DrawQuestion(int section, Core::QuestionRecord& question) override
    {
        const SectionSpec& plan = specs[size_t(section)];
        Validator validator(plan.valid);
        std::vector<unsigned> ids;
        const int position = DrawCandidates(unsigned(plan.items.size()), &validator, nullptr, ids);
        if (position < 0)
            return false;
        question.candidates.clear();
        for (unsigned id : ids)
            question.candidates.push_back(plan.items[id]);
        question.correctIndex = position;
        return true;
    }

private:
    class Validator : public Core::QuestionValidator
    {
    public:
        explicit Validator(const std::function<bool(unsigned)>& rule) : valid(rule) {}
        bool Validate(unsigned id) override { return !valid || valid(id); }

    private:
        const std::function<bool(unsigned)>& valid;
    };

    std::vector<SectionSpec> specs;
};

// Everything an exercise reports, from any thread.
class ExerciseRecorder : public Core::LessonBaseObserver, public Core::ExerciseObserver
{
public:
    struct Judged
    {
        bool correct;
        Core::Answer answer;
    };

    void OnExerciseStateChanged(int state) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        states.append(state);
    }
    void OnLessonTick(int) override {}
    void OnPlayStateChanged(int) override {}
    void OnAnswerJudged(bool correct, const Core::Answer& answer) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        judged.append({correct, answer});
    }
    void OnSectionChanged(unsigned section) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        sections.append(int(section));
    }
    void OnNoteFromDevice(bool pressed, int note) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        notes.append(pressed ? note : -note);
    }

    QVector<int> States()
    {
        std::lock_guard<std::mutex> g(mutex);
        return states;
    }
    QVector<Judged> JudgedAnswers()
    {
        std::lock_guard<std::mutex> g(mutex);
        return judged;
    }
    int JudgedCount()
    {
        std::lock_guard<std::mutex> g(mutex);
        return judged.size();
    }
    QVector<int> Sections()
    {
        std::lock_guard<std::mutex> g(mutex);
        return sections;
    }
    QVector<int> Notes()
    {
        std::lock_guard<std::mutex> g(mutex);
        return notes;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> g(mutex);
        states.clear();
        judged.clear();
        sections.clear();
        notes.clear();
    }

private:
    std::mutex mutex; // std::mutex: ThreadSanitizer sees its ordering
    QVector<int> states;
    QVector<Judged> judged;
    QVector<int> sections;
    QVector<int> notes; // pressed as +note, released as -note
};

#pragma once
// The question loop of a lesson, from which the three trainers derive: sections laid out on the
// timeline, drawing and asking questions (shown, or sounded through the stream device and the
// connector to the output port), the question clock, judging answers from the screen and the
// MIDI keyboard, counters and statistics. The trainers supply the sections, the pools and the
// draw through the protected hooks; a LessonSession drives the loop (Start, Next, Judge, Seek,
// Pause) for the screen and observes it as a LessonBaseObserver and an ExerciseObserver.
//
// Exercise states: 0 not started or no section left, 1 between questions, 2 a question is
// sounding, 3 an answer is awaited, 4 the end of the lesson's timeline was reached.
//
// Threads: GUI thread (screen calls), timer thread (OnTick, OnSegmentChanged, OnStreamFinished),
// MIDI input thread (HandleInputEvent through the answer listener). Every operation takes the
// lesson's lock; see LessonBase for the lock order. Notifications are made on the calling
// thread with that lock held.

#include "core/exercise/answer.h"
#include "core/exercise/exercise_observer.h"
#include "core/exercise/lesson_base.h"
#include "core/exercise/question_record.h"
#include "core/exercise/statistics_record.h"
#include "core/exercise/trainer_settings.h"
#include "core/midi/midi_in_stream_device_observer.h"

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

namespace Core {

class ExerciseStatistics;
class MidiAnswerListener;
class MidiDeviceConnector;
class MidiInStreamDeviceAuto;
class MidiOutDevice;
class QuestionValidator;
class AnswerVariantProvider;
class TrainerSettingsSource;

class Exercise : public LessonBase, public Subject<ExerciseObserver>, public MidiInStreamDeviceObserver
{
public:
    enum State
    {
        NotStarted = 0,
        BetweenQuestions = 1,
        Presenting = 2,
        AwaitingAnswer = 3,
        LessonEnd = 4,
    };

    struct SectionTitle
    {
        QString shortName;
        QString title;
    };
    struct Section
    {
        qint32 questionCount = 0;
        qint32 msPerQuestion = 0;
    };
    struct Counters
    {
        qint32 asked = 0;
        qint32 correct = 0;
        qint32 answered = 0;
        qint32 sectionQuestionCount = 0;
        qint32 sectionAsked = 0;
        qint32 sectionCorrect = 0;
    };

    static constexpr int TickMs = 50;         // timeline interval
    static constexpr int UnlimitedTicks = 10; // ticks per question without a time limit
    static constexpr int CandidateCount = 6;

    Exercise();
    ~Exercise() override;

    using Subject<LessonBaseObserver>::Attach;
    using Subject<LessonBaseObserver>::Detach;
    using Subject<ExerciseObserver>::Attach;
    using Subject<ExerciseObserver>::Detach;
    using LessonBase::Stop;

    // LessonBase
    void OnTick(int position) override;
    void OnSegmentChanged(int previousSegment, int nextSegment) override;
    void Reset() override;
    void SetSoundController(std::shared_ptr<SoundController> controller) override;
    void Start() override;
    bool Pause(bool pause) override;
    void Stop(bool finished) override;
    void OnSeek(int section, int offset) override;
    void SetSection(int section) override;

    // MidiInStreamDeviceObserver: the question's sound has ended (timer thread).
    void OnStreamFinished() override;

    void Initialize(std::shared_ptr<ExerciseStatistics> statistics, int trainerIndex);
    void ApplySettings(const std::vector<Section>& sections, int instrument);
    void SetQuizMode(bool quiz);
    void Next();
    void RestartQuestion();
    void JumpToSection(int section);
    void Judge(const Answer& answer);
    // A key event from the MIDI keyboard (input thread) or the on-screen keyboard (GUI thread).
    void HandleInputEvent(const MidiEvent& event);

    // Runs `action` with the lesson lock held, for a consistent set of reads.
    void Locked(const std::function<void()>& action) const;

    int GetState() const;
    int GetCurrentSection() const;
    // A copy: the current question may be replaced by another thread right after.
    QuestionRecord GetCurrentQuestion() const;
    Counters GetCounters() const;
    std::vector<SectionTitle> GetSectionTitles() const;
    std::vector<Section> GetSections() const;
    std::vector<Answer> GetAnswers(int section) const;
    int GetInstrument() const;
    int GetTrainerIndex() const;
    std::shared_ptr<ExerciseStatistics> GetStatistics() const;
    std::shared_ptr<MidiAnswerListener> GetAnswerListener() const;
    std::shared_ptr<MidiOutDevice> GetOutputDevice() const;
    // Ticks per question of a section: msPerQuestion / 50; 0 means no time limit.
    int TicksPerQuestion(int section) const;

    void LoadTotals();
    void ClearSessionStatistics();
    void ClearHistoryStatistics();
    void SetShowHistory(bool show);
    bool IsShowingHistory() const;
    void GetSectionStatistics(int section, std::vector<StatisticsRecord>& out) const;

    // Draws one valid pool id, weighted by its statistics, and fills `ids` with six distinct
    // candidates containing it. Returns the drawn question's position in `ids`, or -1 (and
    // `ids` empty) when no pool entry is valid.
    int DrawCandidates(unsigned poolSize, QuestionValidator* validator, const AnswerVariantProvider* provider,
                       std::vector<unsigned>& ids);

    void StopSound();

    // The settings in force come from the application (the quiz block during a quiz lesson);
    // an exercise without a source asks nothing. The source must outlive the exercise.
    void SetSettingsSource(const TrainerSettingsSource* source);
    const TrainerSettingsSource* GetSettingsSource() const;

    // What the trainer asks and how its answers read, for the screen and the reference views.
    // 0 no answer input, 1 multiple-choice buttons, 2 keys (MIDI or on-screen).
    virtual int AnswerInputMode(const QuestionRecord& question);
    // Whether answers may come from the MIDI keyboard at all.
    virtual bool AcceptsKeyAnswers();
    // The root key (0-87) of a pool entry; -1 where the section has no keys.
    virtual int QuestionKey(int section, int id);
    virtual QString QuestionLabel(int section, int id);
    virtual bool IsSameAnswer(int section, int a, int b);
    virtual QString AnswerText(int section, int id);
    // The pool ids behind the multiple-choice answer buttons of a section.
    virtual void ChoiceIds(int section, std::vector<int>& out);
    // The answer view of an answered question of the current section as the trainer shows it
    // (see AnswerView); empty for trainers that show no notes. Clef and spelling are the
    // question's own (option1 treble, option2 flat).
    virtual QByteArray DrawAnswerView(const QuestionRecord& question, const Answer& answer,
                                      QVector<QPair<int, int>>& keys);
    // Reads the durations of the settings in force into the section table.
    virtual void SetUpSections();

    // The answer view of an answered question: the score text of the entered notes coloured
    // against the expected ones, and the flagged keys for the screen (flag 0 right, 1 wrong,
    // 2 an expected note missing). `interval` compares only the first entered note with the
    // first expected one.
    QByteArray AnswerView(const QuestionRecord& question, const Answer& answer, bool trebleClef,
                          bool flatSpelling, bool interval, QVector<QPair<int, int>>& keys) const;

protected:
    // Builds the answer view; trainers may override it for their own notation.
    virtual QByteArray BuildAnswerView(const QuestionRecord& question, const Answer& answer,
                                       bool trebleClef, bool flatSpelling, bool interval,
                                       QVector<QPair<int, int>>& keys) const;

    // Whether the section can ask anything under the settings in force (a trainer whose
    // settings permit no pool entry answers false; the section is then skipped).
    virtual bool SectionHasQuestions(int section);
    virtual void RegisterSections(std::vector<SectionTitle>& out) = 0;
    virtual void InitQuestionRecord(int section, std::vector<QuestionRecord>& pool) = 0;
    // Fills the drawn copy; false when nothing can be asked in the section.
    virtual bool DrawQuestion(int section, QuestionRecord& question) = 0;

    // Disconnects the exercise from the timer, the stream device and the MIDI input, waiting
    // for calls in progress on other threads. Trainers call it first in their destructors, so
    // that no thread reaches their hooks while they are destroyed. No lock may be held.
    void Shutdown();

    // A copy of the settings in force; false (and `out` untouched) without a source.
    bool ReadSettings(TrainerSettings& out) const;
    // The instrument of the general settings (position in the instrument list).
    int SettingsInstrument() const;
    // The sections' question counts and time-outs from their duration settings, in section
    // order, with the instrument of the general settings.
    void ApplyDurations(std::initializer_list<const DurationSettings*> durations);

    void ConnectDevices();
    void Refresh();
    void UpdateTimeline();
    void AdvanceQuestion(bool forward);
    // 1 right, 0 wrong, -1 incomplete.
    int Validate(const QuestionRecord& question, const Answer& answer) const;

private:
    void SetState(int newState);
    void AskQuestion(const QuestionRecord& question);
    bool SectionUsable(int section);
    void StartClock();
    void StopClock();
    void MoveClock(int position);
    void HandleTimeUp(int position);

    int state = BetweenQuestions;
    std::shared_ptr<MidiInStreamDeviceAuto> streamDevice;
    std::shared_ptr<MidiAnswerListener> answerListener;
    std::shared_ptr<MidiDeviceConnector> connector;
    std::shared_ptr<MidiOutDevice> outputDevice; // the connector's output, reset by StopSound
    std::vector<SectionTitle> sectionTitles;
    std::vector<std::vector<QuestionRecord>> pools;
    std::vector<std::vector<QuestionRecord>> history;
    std::vector<std::vector<Answer>> answers;
    Counters counters;
    int currentSection = 0;
    std::vector<Section> sections;
    int instrument = 0;
    std::shared_ptr<ExerciseStatistics> statistics;
    int trainerIndex = 0;
    bool showHistory = false;
    QVector<MidiEvent> pressedNotes;
    bool keySilenced = false;
    int previousId = -1;

    // Question clock bookkeeping against ticks that were already on their way on the timer
    // thread when this thread moved or stopped the timeline: a tick is taken only when it
    // is the timeline's current position and lies past the last position set or taken.
    int clockMark = 0;
    bool clockRunning = false;
    int drawSection = -1;             // section being drawn for by Next, before it becomes current
    int askedAt = -1;                 // position at which a shown question was asked, until it is answered
    std::vector<bool> sectionSkipped; // sections found to have nothing to ask in this run
    const TrainerSettingsSource* settingsSource = nullptr;
};

} // namespace Core

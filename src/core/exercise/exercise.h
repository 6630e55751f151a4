#pragma once
// The question loop of a lesson, from which the three trainers derive: sections laid out on the
// timeline (SectionPlan), drawing and asking questions (shown, or sounded through the stream
// device and the connector to the output port: ExerciseDevices), the question clock
// (QuestionClock), judging answers from the screen and the MIDI keyboard (AnswerJudgement), and
// keeping score of them (ScoredLesson: counters, statistics and the answer log, with the time
// from the end of each question's presentation to its judgement). The trainers supply the
// sections, the pools and the draw through the protected hooks; a LessonSession drives the loop
// (Start, Next, Judge, Seek, Pause) for the screen and observes it as a LessonBaseObserver and an
// ExerciseObserver.
//
// Exercise states: 0 not started or no section left, 1 between questions, 2 a question is
// sounding, 3 an answer is awaited, 4 the end of the lesson's timeline was reached.
//
// Threads: GUI thread (screen calls), timer thread (OnTick, OnSegmentChanged, OnStreamFinished),
// MIDI input thread (HandleInputEvent through the answer listener). Every operation takes the
// lesson's lock; see LessonBase for the lock order. Notifications are made on the calling
// thread with that lock held.

#include "core/exercise/answer.h"
#include "core/exercise/exercise_devices.h"
#include "core/exercise/exercise_observer.h"
#include "core/exercise/question_clock.h"
#include "core/exercise/question_record.h"
#include "core/exercise/scored_lesson.h"
#include "core/exercise/section_plan.h"
#include "core/exercise/trainer_settings.h"
#include "core/midi/midi_in_stream_device_observer.h"

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace Core {

class MidiAnswerListener;
class MidiOutDevice;
class QuestionValidator;
class AnswerVariantProvider;
class TrainerSettingsSource;

class Exercise : public ScoredLesson, public Subject<ExerciseObserver>, public MidiInStreamDeviceObserver
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

    using SectionTitle = SectionPlan::Title;
    using Section = SectionPlan::Section;

    static constexpr int TickMs = SectionPlan::TickMs;
    static constexpr int UnlimitedTicks = SectionPlan::UnlimitedTicks;
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

    void ApplySettings(const std::vector<Section>& sections, int instrument);
    // A quiz lesson lets each question be heard again only once; its answers are logged as a
    // quiz's.
    void SetQuizMode(bool quiz);
    bool IsQuizMode() const;
    void Next();
    void RestartQuestion();
    // Plays the question whose answer is awaited again from its start, on the same output; its
    // time limit waits until the sound has ended, as after the first hearing. Only while the
    // lesson runs, for a question that is heard, and in a quiz once per question. Returns
    // whether it plays.
    bool HearAgain();
    bool CanHearAgain() const;
    // Plays the items `first` and `second` of a section (statistics keys) one after the other,
    // with a short gap, through the lesson's output as questions are played, each cut off after
    // a few seconds. Only for a section whose items are heard (the ear trainer's), and not while
    // a question sounds in a running lesson. Returns whether it plays. A question cut off by a
    // pause is played from its start on resume, as ever; hearing it again plays the question.
    bool PresentItems(int section, qint32 first, qint32 second);
    void JumpToSection(int section);
    void Judge(const Answer& answer);
    // A key event from the MIDI keyboard or the microphone (input thread) or the on-screen
    // keyboard (GUI thread). `echo`: the key is sent on to the output to be heard; `voice`: the
    // note was sung, and is judged as sung where the student answers by singing.
    void HandleInputEvent(const MidiEvent& event, bool echo = true, bool voice = false);

    // Runs `action` with the lesson lock held, for a consistent set of reads.
    void Locked(const std::function<void()>& action) const;

    int GetState() const;
    int GetCurrentSection() const;
    // A copy: the current question may be replaced by another thread right after.
    QuestionRecord GetCurrentQuestion() const;
    std::vector<SectionTitle> GetSectionTitles() const;
    std::vector<Section> GetSections() const;
    int GetInstrument() const;
    std::shared_ptr<MidiAnswerListener> GetAnswerListener() const;
    std::shared_ptr<MidiOutDevice> GetOutputDevice() const;
    // Ticks per question of a section: msPerQuestion / 50; 0 means no time limit.
    int TicksPerQuestion(int section) const;
    // The place (1 to the section's count) of the question in hand within its section, by where
    // the lesson stands on its timeline, also after a seek; 0 before the first question.
    int QuestionNumber() const;

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
    // Whether the general settings ask the draw to weigh in the answer log's weak spots.
    bool PractisesWeakSpots() const;

    // What the trainer asks and how its answers read, for the screen and the reference views.
    // 0 no answer input, 1 multiple-choice buttons, 2 keys (MIDI or on-screen).
    virtual int AnswerInputMode(const QuestionRecord&) { return 0; }
    // Whether answers may come from the MIDI keyboard at all.
    virtual bool AcceptsKeyAnswers() { return true; }
    // Whether the notes of a section's answers may be sung (and are then judged by pitch class,
    // in any octave).
    virtual bool CanBeSung(int) const { return false; }
    // The student answers by singing: in a section that can be sung, notes heard from a voice
    // are judged as sung from the next note on (keys clicked or played still by their octave).
    void SetSungAnswers(bool sung);
    bool SungAnswers() const;
    // The root key (0-87) of a pool entry; -1 where the section has no keys.
    virtual int QuestionKey(int, int) { return -1; }
    virtual QString QuestionLabel(int, int) { return QString(); }
    // The pool item of a section with that statistics key, as the section shows it; null when
    // there is none. Any thread; reads only what is built once.
    virtual std::shared_ptr<const QuestionData> ItemOf(int, qint32) const { return nullptr; }
    virtual bool IsSameAnswer(int, int a, int b) { return a == b; }
    virtual QString AnswerText(int, int) { return QString(); }
    // The pool ids behind the multiple-choice answer buttons of a section.
    virtual void ChoiceIds(int, std::vector<int>&) {}
    // The answer view of an answered question of the current section as the trainer shows it
    // (see AnswerView); empty for trainers that show no notes. Clef and spelling are the
    // question's own (option1 treble, option2 flat).
    virtual QByteArray DrawAnswerView(const QuestionRecord&, const Answer&, QVector<QPair<int, int>>& keys)
    {
        keys.clear();
        return QByteArray();
    }
    // Reads the durations of the settings in force into the section table.
    virtual void SetUpSections() {}

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
    virtual bool SectionHasQuestions(int) { return true; }
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
    // Leaves the question in hand for the boundary of the next question (`forward`) or of its
    // own. A section without a time limit gives each question UnlimitedTicks: after an answer
    // (`answered`) the clock runs them out and stops at the next boundary; otherwise the lesson
    // stands on a boundary at once, so that no question's ticks run while it waits.
    void AdvanceQuestion(bool forward, bool answered = false);

private:
    void SetState(int newState);
    void AskQuestion(const QuestionRecord& question);
    bool SectionUsable(int section);
    void HandleTimeUp(int position);

    int state = BetweenQuestions;
    ExerciseDevices devices;
    SectionPlan sections;
    int currentSection = 0;
    int instrument = 0;
    QVector<MidiEvent> pressedNotes;
    bool keySilenced = false;
    bool quizMode = false;
    bool sungAnswers = false;
    int hearingsAgain = 0; // of the question asked last
    // Whether the stream device holds the sound of the question asked last (PresentItems puts
    // other sounds on it); replays go through ReplayQuestion.
    bool streamHoldsQuestion = false;
    void ReplayQuestion();
    // When the question asked last first awaited its answer, for the response time; unset
    // before (an answer given while it first sounds took no time after its presentation).
    std::chrono::steady_clock::time_point awaitedSince;
    bool answerAwaited = false;

    QuestionClock questionClock;
    int drawSection = -1; // section being drawn for by Next, before it becomes current
    const TrainerSettingsSource* settingsSource = nullptr;
};

} // namespace Core

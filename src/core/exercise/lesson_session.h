#pragma once
// A running lesson as a screen sees it. The session owns the Core::Exercise and is the only way
// a screen reaches it: the screen calls its slots (answers, pause, seek, sections, settings) on
// the GUI thread, and hears back through its signals, which carry copies built under the
// lesson's lock in the engine's reports, so that a slot never asks the engine back.
//
// Threads. The exercise reports on the thread that caused a change (the GUI thread, the timer
// thread or the MIDI input thread), with its lesson lock held. The session builds the values
// there and posts them to itself; its signals are emitted on the GUI thread from its own event
// queue, also for a report made on the GUI thread: a slot always runs after the engine call that
// caused it has returned and let go of the lesson lock, so it may seek, restart or close the
// lesson. Reports are posted in the order the lesson made them.
//
// What follows a judgement is decided here, not in the screen: a right answer moves on after
// RightAnswerDelayMs; a wrong one after the wait of the wrong-answer policy in force, or the
// lesson pauses until the student resumes it. The next question is asked only while the lesson
// runs. An answer that ran out of time brings summaryDue() TimeoutSummaryDelayMs later.
//
// Closing. The destructor stops the lesson, detaches from both of its subjects and then takes
// the lesson lock once: a report that copied the observer list before the detach has finished
// when that lock is had, and every value it posted is in this object's queue. Those are then
// delivered, still inside the destructor, to the receivers that are connected (a recorder of
// judged answers hears every one); a screen that closes its lesson disconnects from the session
// before it destroys it, and hears nothing more. Nothing of the lesson is reported after the
// session is gone.
//
// The answer log. Every judged answer goes to the lesson's answer log (see ScoredLesson). When the
// general settings ask for the weak-spot review, begin() asks the log (without waiting) for the
// weak spots of the trainer's earlier runs and hands them to the lesson's draw once they come; the
// first questions may be drawn before. A log that cannot be written is told once a session
// (answerLogProblem), by the catalogue's monitor; the lesson goes on.
// GUI thread only, apart from the observer callbacks.

#include "core/exercise/answer.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_observer.h"
#include "core/exercise/lesson_base_observer.h"
#include "core/exercise/question_record.h"
#include "core/exercise/statistics_record.h"
#include "core/exercise/trainer_settings.h"

#include <QBasicTimer>
#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVector>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace Core {

class AnswerLog;
class AnswerLogMonitor;
class ExerciseCatalog;
class SoundController;

// Where the lesson stands on its timeline.
struct LessonPosition
{
    qint32 position = 0; // ticks from the start of the lesson
    qint32 length = 0;   // the timeline's total length in ticks
    qint32 segment = -1; // the timeline's current section
    qint32 offset = 0;   // ticks into that section
};

// One section as the timeline lays it out.
struct LessonSegment
{
    QString name;
    qint32 duration = 0; // ticks
    bool operator==(const LessonSegment& other) const
    {
        return name == other.name && duration == other.duration;
    }
};

// The lesson at one moment, built under its lock.
struct LessonSnapshot
{
    Exercise::State state = Exercise::NotStarted;
    LessonBase::PlayState playState = LessonBase::Stopped;
    qint32 section = 0; // the section of the question shown
    Exercise::Counters counters;
    LessonPosition position;
    std::vector<Exercise::SectionTitle> titles;
    std::vector<LessonSegment> segments;
    std::vector<Exercise::Section> sections; // question counts and time-outs
    QuestionRecord question;                 // the current question (a template before the first)
    qint32 answerInputMode = 0;              // Exercise::AnswerInputMode of `question`
    bool acceptsKeyAnswers = true;
    bool canBeSung = false; // see Exercise::CanBeSung
    qint32 trainerIndex = 0;
    qint32 questionNumber = 0; // see Exercise::QuestionNumber
    qint32 questionTicks = 0;  // the time limit of the section's questions in ticks; 0 none
    bool canHearAgain = false; // see Exercise::CanHearAgain
    // The timeline ran out, or no section after the last one asked had anything left to ask.
    bool ended = false;

    bool isAsking() const { return state == Exercise::Presenting || state == Exercise::AwaitingAnswer; }
};

// A question just asked.
struct Question
{
    QuestionRecord record;
    qint32 serial = 0; // the lesson's count of questions asked, this one included
    LessonSnapshot lesson;
};

// A judged answer and what comes next.
struct Judgement
{
    enum Verdict
    {
        Right = 0,
        Wrong = 1,
        OutOfTime = 2,
    };
    enum Next
    {
        NextAfterWait = 0, // the next question after `waitMs`, once the lesson runs
        PauseLesson = 1,   // the lesson pauses until the student resumes it
    };

    Verdict verdict = Wrong;
    QuestionRecord question;
    Answer answer;
    Exercise::Counters counters; // this answer counted
    // The answer view of a sounded question with a score (see Exercise::AnswerView).
    bool hasAnswerView = false;
    QByteArray answerView;
    QVector<QPair<int, int>> keyMarks;
    Next next = NextAfterWait;
    qint32 waitMs = 0;
    quint64 judgedAtNs = 0; // Timer::NowNs() when the engine judged it, on its thread

    bool isRight() const { return verdict == Right; }
};

// The score of a lesson that ended.
struct SectionScore
{
    qint32 right = 0;
    qint32 wrong = 0;
};

class LessonSession : public QObject, private LessonBaseObserver, private ExerciseObserver
{
    Q_OBJECT

public:
    static constexpr int RightAnswerDelayMs = 500;
    static constexpr int TimeoutSummaryDelayMs = 3000;

    // Registers the value types of the signals once per process; any thread.
    static void RegisterMetaTypes();

    // A session of `exercise`, set up and not yet begun.
    explicit LessonSession(std::shared_ptr<Exercise> exercise, QObject* parent = nullptr);
    // A new lesson of trainer `trainer` from the catalogue, with its sound devices and sections,
    // in quiz mode or not; without `resume` the trainer's results of the current run are
    // cleared. Throws Core::Error when the lesson cannot get its clock.
    static std::unique_ptr<LessonSession> open(ExerciseCatalog& catalog, unsigned trainer, bool quiz,
                                               bool resume, std::shared_ptr<SoundController> sound);
    ~LessonSession() override;

    // Starts the lesson and asks its first question.
    void begin();

    // Copies for the screen's own asking, on the GUI thread: the lesson now (when opened, and
    // for the main window's records), and the statistics pages the student opens.
    LessonSnapshot snapshot() const;
    LessonBase::PlayState playState() const;
    int trainerIndex() const { return m_trainerIndex; }
    bool isQuiz() const;
    // The lesson's answer log (null when it has none) and this run's id in it.
    std::shared_ptr<AnswerLog> answerLog() const;
    qint64 runId() const;
    // The pool item of a section with that statistics key; null when there is none.
    std::shared_ptr<const QuestionData> itemOf(int section, qint32 key) const;
    // Plays the two items one after the other through the lesson's output when the section's
    // items are heard; returns false (and plays nothing) when they are only shown, or while a
    // question of the running lesson sounds (see Exercise::PresentItems).
    bool presentItems(int section, qint32 first, qint32 second);
    void sectionStatistics(int section, std::vector<StatisticsRecord>& out) const;
    int questionKey(int section, int id) const;
    QString questionLabel(int section, int id) const;
    std::vector<int> choiceIds(int section) const;
    bool isShowingHistory() const;

    // The wrong-answer policy for a lesson whose exercise has no settings source.
    void setFallbackPolicy(const WrongAnswerPolicy& policy);

public Q_SLOTS:
    void answerWithChoice(int variant);
    void answerWithInterval(int semitones);
    // A key (0-87) of the on-screen keyboard: judged and heard only while an answer is awaited.
    void answerWithKey(int key, bool down);
    // The student answers by singing (see Exercise::SetSungAnswers).
    void setSungAnswers(bool sung);
    // Plays the question again (see Exercise::HearAgain); returns whether it plays.
    bool hearAgain();
    // Return whether the call changed anything. Resuming goes on with the question: one left
    // between questions is followed by the next.
    bool pause();
    bool resume();
    // The slider: held (the lesson holds still), then let go at timeline position `position`.
    void beginSeek();
    void endSeek(int position);
    // Moves to `position` and goes on from there.
    void seek(int position);
    void jumpToSection(int section);
    // Stops the lesson (the window closes); nothing moves on.
    void stop();
    // Starts the lesson over from its first section, in place.
    void restart();
    // Puts the settings in force into the lesson; returns it as it is then.
    LessonSnapshot applySettings();
    void setShowHistory(bool show);
    void clearHistory();
    // As clearHistory(), and the answer log's rows of that section of the trainer.
    void clearHistory(int section);

Q_SIGNALS:
    void stateChanged(const Core::LessonSnapshot& lesson);
    void positionChanged(const Core::LessonPosition& position);
    void questionAsked(const Core::Question& question);
    void answerJudged(const Core::Judgement& judgement);
    void keyEntered(int key, bool down);
    void sectionEnded(const Core::SectionScore& score);
    // The session moves on to the next question (its timer, a resume or a seek); before it asks.
    void aboutToAskNext();
    // The out-of-time judgement has been in view long enough; the status goes back to the count.
    void summaryDue();
    // The answer log cannot be written, in words for the status line; once a session.
    void answerLogProblem(const QString& message);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    // LessonBaseObserver, ExerciseObserver: any thread, lesson lock held.
    void OnExerciseStateChanged(int state) override;
    void OnLessonTick(int position) override;
    void OnPlayStateChanged(int playState) override;
    void OnAnswerJudged(bool correct, const Answer& answer) override;
    void OnSectionChanged(unsigned section) override;
    void OnNoteFromDevice(bool pressed, int note) override;

    // With the lesson lock held (or from the GUI thread, which takes it).
    LessonSnapshot buildSnapshot() const;
    LessonPosition buildPosition() const;
    void postState();
    template <typename Functor> void post(Functor&& functor);

    // GUI thread.
    void handleJudgement(const Judgement& judgement);
    void handleState(const LessonSnapshot& lesson);
    void askNext();
    void continueIfWaiting();
    void judge(const Answer& answer);
    // Hears the catalogue's monitor of the log's problems; one in force is told at once (queued).
    void watchAnswerLog(AnswerLogMonitor* monitor);
    void tellAnswerLogProblem(const QString& message);
    void askWeakSpots();

    std::shared_ptr<Exercise> m_exercise;
    int m_trainerIndex = 0;
    QBasicTimer m_nextQuestionTimer;
    QBasicTimer m_summaryTimer;
    int m_lastAnswered = 0; // the judged answers reported so far (GUI thread)
    bool m_ended = false;   // whether sectionEnded was emitted for the lesson's end (GUI thread)
    bool m_closing = false; // in the destructor: reports are passed on, nothing moves on
    bool m_logProblemTold = false;
    bool m_weakSpotsAsked = false;
    // Read by the reports: the questions reported asked, the fallback policy.
    std::atomic<int> m_askedReported{0};
    mutable std::mutex m_policyMutex;
    WrongAnswerPolicy m_fallbackPolicy;
};

} // namespace Core

Q_DECLARE_METATYPE(Core::LessonSnapshot)
Q_DECLARE_METATYPE(Core::LessonPosition)
Q_DECLARE_METATYPE(Core::Question)
Q_DECLARE_METATYPE(Core::Judgement)
Q_DECLARE_METATYPE(Core::SectionScore)

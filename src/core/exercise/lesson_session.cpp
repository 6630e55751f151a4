#include "core/exercise/lesson_session.h"

#include "core/exercise/answer_log.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/trainer_settings_source.h"
#include "core/midi/midi_event.h"
#include "core/timing/time_line.h"
#include "core/timing/timer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimerEvent>

#include <algorithm>

namespace Core {
namespace {

constexpr int lowestNote = 21; // MIDI note of key 0 (A0)

bool Ended(const LessonSnapshot& lesson)
{
    return lesson.state == Exercise::LessonEnd ||
           (lesson.state == Exercise::NotStarted && lesson.playState == LessonBase::Stopped &&
            lesson.counters.asked > 0);
}

} // namespace

void LessonSession::RegisterMetaTypes()
{
    static const bool registered = [] {
        Answer::RegisterMetaType();
        qRegisterMetaType<Core::LessonSnapshot>("Core::LessonSnapshot");
        qRegisterMetaType<Core::LessonPosition>("Core::LessonPosition");
        qRegisterMetaType<Core::Question>("Core::Question");
        qRegisterMetaType<Core::Judgement>("Core::Judgement");
        qRegisterMetaType<Core::SectionScore>("Core::SectionScore");
        return true;
    }();
    Q_UNUSED(registered);
}

LessonSession::LessonSession(std::shared_ptr<Exercise> exercise, QObject* parent)
    : QObject(parent), m_exercise(std::move(exercise))
{
    RegisterMetaTypes();
    m_trainerIndex = m_exercise->GetTrainerIndex();
    m_exercise->Attach(static_cast<LessonBaseObserver*>(this));
    m_exercise->Attach(static_cast<ExerciseObserver*>(this));
    m_askedReported = m_exercise->GetCounters().asked;
}

std::unique_ptr<LessonSession> LessonSession::open(ExerciseCatalog& catalog, unsigned trainer, bool quiz,
                                                   bool resume, std::shared_ptr<SoundController> sound)
{
    std::shared_ptr<Exercise> exercise = catalog.CreateExercise(trainer);
    if (!exercise)
        return nullptr;
    if (sound)
        exercise->SetSoundController(std::move(sound));
    exercise->SetUpSections();
    exercise->SetQuizMode(quiz);
    if (!resume)
        exercise->ClearSessionStatistics();
    auto session = std::make_unique<LessonSession>(std::move(exercise));
    session->watchAnswerLog(catalog.GetAnswerLogMonitor());
    return session;
}

LessonSession::~LessonSession()
{
    m_nextQuestionTimer.stop();
    m_summaryTimer.stop();
    m_exercise->Stop();
    m_exercise->Detach(static_cast<LessonBaseObserver*>(this));
    m_exercise->Detach(static_cast<ExerciseObserver*>(this));
    // A report that copied the observer list before the detach holds the lesson lock until its
    // last observer returned: once the lock is had here, it has posted all it will post.
    m_exercise->GetPlayState();
    // What the lesson reported up to here reaches the receivers still connected; the screen that
    // closes the lesson has disconnected first.
    m_closing = true;
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    m_exercise.reset(); // its destructor waits for the timer and MIDI threads
}

void LessonSession::begin()
{
    askWeakSpots();
    m_exercise->Start();
    m_exercise->Next();
}

void LessonSession::askWeakSpots()
{
    if (m_weakSpotsAsked || !m_exercise->PractisesWeakSpots())
        return;
    const std::shared_ptr<AnswerLog> log = m_exercise->GetAnswerLog();
    if (!log)
        return;
    m_weakSpotsAsked = true;
    // The runs before this one; the answer comes through this session's queue.
    log->WeakSpots(m_trainerIndex, m_exercise->GetRunId(), QDateTime::currentSecsSinceEpoch(), this,
                   [this](std::map<qint32, WeakSpotFactors> spots) { m_exercise->SetWeakSpots(std::move(spots)); });
}

void LessonSession::watchAnswerLog(AnswerLogMonitor* monitor)
{
    if (!monitor)
        return;
    connect(monitor, &AnswerLogMonitor::problemChanged, this, &LessonSession::tellAnswerLogProblem);
    const QString problem = monitor->problem();
    if (!problem.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, problem] { tellAnswerLogProblem(problem); }, Qt::QueuedConnection);
}

void LessonSession::tellAnswerLogProblem(const QString& message)
{
    if (message.isEmpty() || m_logProblemTold)
        return;
    m_logProblemTold = true;
    Q_EMIT answerLogProblem(message);
}

// ---- reports (any thread, lesson lock held) -------------------------------------------------

template <typename Functor> void LessonSession::post(Functor&& functor)
{
    QMetaObject::invokeMethod(this, std::forward<Functor>(functor), Qt::QueuedConnection);
}

LessonPosition LessonSession::buildPosition() const
{
    LessonPosition position;
    if (const std::shared_ptr<TimeLine> timeline = m_exercise->GetTimeLine()) {
        position.position = timeline->Position();
        position.length = timeline->TotalLength();
        position.segment = timeline->CurrentSegment();
        position.offset = timeline->OffsetInSegment();
    }
    return position;
}

LessonSnapshot LessonSession::buildSnapshot() const
{
    Exercise& exercise = *m_exercise;
    LessonSnapshot lesson;
    lesson.state = Exercise::State(exercise.GetState());
    lesson.playState = LessonBase::PlayState(exercise.GetPlayState());
    lesson.section = exercise.GetCurrentSection();
    lesson.counters = exercise.GetCounters();
    lesson.position = buildPosition();
    lesson.titles = exercise.GetSectionTitles();
    lesson.sections = exercise.GetSections();
    if (const std::shared_ptr<TimeLine> timeline = exercise.GetTimeLine()) {
        const int count = timeline->SegmentCount();
        for (int i = 0; i < count; ++i)
            lesson.segments.push_back({timeline->SegmentName(i), timeline->SegmentDuration(i)});
    }
    lesson.question = exercise.GetCurrentQuestion();
    lesson.answerInputMode = exercise.AnswerInputMode(lesson.question);
    lesson.acceptsKeyAnswers = exercise.AcceptsKeyAnswers();
    lesson.canBeSung = exercise.CanBeSung(lesson.section);
    lesson.trainerIndex = m_trainerIndex;
    lesson.questionNumber = exercise.QuestionNumber();
    lesson.questionTicks = exercise.TicksPerQuestion(lesson.section);
    lesson.canHearAgain = exercise.CanHearAgain();
    lesson.ended = Ended(lesson);
    return lesson;
}

void LessonSession::postState()
{
    const LessonSnapshot lesson = buildSnapshot();
    const int asked = lesson.counters.asked;
    if (lesson.isAsking() && asked != m_askedReported.load()) {
        Question question;
        question.record = lesson.question;
        question.serial = asked;
        question.lesson = lesson;
        post([this, lesson, question] {
            handleState(lesson);
            Q_EMIT questionAsked(question);
        });
    } else {
        post([this, lesson] { handleState(lesson); });
    }
    m_askedReported = asked;
}

void LessonSession::OnExerciseStateChanged(int)
{
    postState();
}

void LessonSession::OnPlayStateChanged(int)
{
    postState();
}

void LessonSession::OnSectionChanged(unsigned)
{
    postState();
}

void LessonSession::OnLessonTick(int)
{
    const LessonPosition position = buildPosition();
    post([this, position] { Q_EMIT positionChanged(position); });
}

void LessonSession::OnNoteFromDevice(bool pressed, int note)
{
    post([this, pressed, note] { Q_EMIT keyEntered(note - lowestNote, pressed); });
}

void LessonSession::OnAnswerJudged(bool correct, const Answer& answer)
{
    Exercise& exercise = *m_exercise;
    Judgement judgement;
    judgement.judgedAtNs = Timer::NowNs();
    judgement.verdict = correct                            ? Judgement::Right
                        : answer.kind == Answer::NoAnswer ? Judgement::OutOfTime
                                                          : Judgement::Wrong;
    judgement.question = exercise.GetCurrentQuestion();
    judgement.answer = answer;
    judgement.counters = exercise.GetCounters();
    const QuestionData* item = judgement.question.AskedItem();
    if (item && !item->gmn.isEmpty() && judgement.question.IsSounded()) {
        judgement.hasAnswerView = true;
        judgement.answerView = exercise.DrawAnswerView(judgement.question, answer, judgement.keyMarks);
    }
    if (correct) {
        judgement.waitMs = RightAnswerDelayMs;
    } else {
        WrongAnswerPolicy policy;
        if (const TrainerSettingsSource* source = exercise.GetSettingsSource()) {
            policy = source->CurrentSettings().noteTrainer.wrongAnswerPolicy;
        } else {
            std::lock_guard<std::mutex> guard(m_policyMutex);
            policy = m_fallbackPolicy;
        }
        if (policy.continueAfterMistake)
            judgement.waitMs = policy.DelayInForce();
        else
            judgement.next = Judgement::PauseLesson;
    }
    post([this, judgement] { handleJudgement(judgement); });
}

// ---- on the GUI thread ----------------------------------------------------------------------

void LessonSession::handleState(const LessonSnapshot& lesson)
{
    Q_EMIT stateChanged(lesson);
    if (!lesson.ended) {
        m_ended = false;
    } else if (!m_ended) {
        m_ended = true;
        SectionScore score;
        score.right = lesson.counters.correct;
        score.wrong = lesson.counters.answered - lesson.counters.correct;
        Q_EMIT sectionEnded(score);
    }
}

void LessonSession::handleJudgement(const Judgement& judgement)
{
    // One judgement, one report: none of an answer already reported.
    if (judgement.counters.answered <= m_lastAnswered)
        return;
    m_lastAnswered = judgement.counters.answered;
    if (m_closing) {
        Q_EMIT answerJudged(judgement);
        return;
    }
    if (judgement.next == Judgement::PauseLesson) {
        m_exercise->Pause(true);
    } else {
        // While the lesson is paused or stopped the timer keeps firing and waits for it to run.
        m_nextQuestionTimer.start(judgement.waitMs, Qt::PreciseTimer, this);
    }
    if (judgement.verdict == Judgement::OutOfTime)
        m_summaryTimer.start(TimeoutSummaryDelayMs, this);
    Q_EMIT answerJudged(judgement);
}

void LessonSession::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_nextQuestionTimer.timerId()) {
        if (m_exercise->GetPlayState() == LessonBase::Running)
            askNext();
        return;
    }
    if (event->timerId() == m_summaryTimer.timerId()) {
        m_summaryTimer.stop();
        Q_EMIT summaryDue();
        return;
    }
    QObject::timerEvent(event);
}

void LessonSession::askNext()
{
    m_nextQuestionTimer.stop();
    const int state = m_exercise->GetState();
    // A question is already being asked (a seek or a section button asked it).
    if (state == Exercise::Presenting || state == Exercise::AwaitingAnswer)
        return;
    m_summaryTimer.stop();
    Q_EMIT aboutToAskNext();
    if (state == Exercise::LessonEnd) {
        // On after the end: the lesson starts over from its first section.
        restart();
        return;
    }
    m_exercise->Next();
}

void LessonSession::stop()
{
    m_nextQuestionTimer.stop();
    m_exercise->Stop();
}

void LessonSession::restart()
{
    m_nextQuestionTimer.stop();
    m_summaryTimer.stop();
    m_exercise->Reset();
    m_exercise->SetUpSections();
    m_lastAnswered = 0;
    m_exercise->Start();
    m_exercise->Next();
}

void LessonSession::continueIfWaiting()
{
    // A lesson left between questions (paused after a mistake, or seeking) goes on with the next
    // question, unless the timer is already on its way to it.
    if (m_exercise->GetPlayState() == LessonBase::Running &&
        m_exercise->GetState() == Exercise::BetweenQuestions && !m_nextQuestionTimer.isActive())
        askNext();
}

void LessonSession::judge(const Answer& answer)
{
    const int state = m_exercise->GetState();
    if (state != Exercise::Presenting && state != Exercise::AwaitingAnswer)
        return;
    m_exercise->Judge(answer);
}

void LessonSession::answerWithChoice(int variant)
{
    Answer answer;
    answer.kind = Answer::Choice;
    answer.variant = variant;
    judge(answer);
}

void LessonSession::answerWithInterval(int semitones)
{
    Answer answer;
    answer.kind = Answer::Interval;
    answer.value = semitones;
    judge(answer);
}

void LessonSession::answerWithKey(int key, bool down)
{
    // Judged and heard only while an answer is awaited; the exercise sounds the key on its output.
    if (down && m_exercise->GetState() != Exercise::AwaitingAnswer)
        return;
    const quint8 status = down ? 0x90 : 0x80;
    m_exercise->HandleInputEvent(MidiEvent{MidiMessage(status, 0, quint8(key + lowestNote), 100), 0, -1.0});
}

void LessonSession::setSungAnswers(bool sung)
{
    m_exercise->SetSungAnswers(sung);
}

bool LessonSession::hearAgain()
{
    return m_exercise->HearAgain();
}

bool LessonSession::pause()
{
    return m_exercise->Pause(true);
}

bool LessonSession::resume()
{
    const bool changed = m_exercise->Pause(false);
    // A question cut off while it sounded is replayed by the exercise itself.
    continueIfWaiting();
    return changed;
}

void LessonSession::beginSeek()
{
    m_nextQuestionTimer.stop();
    m_exercise->BeginSeek();
}

void LessonSession::endSeek(int position)
{
    m_exercise->Seek(std::max(0, position));
    m_exercise->EndSeek();
    continueIfWaiting();
}

void LessonSession::seek(int position)
{
    beginSeek();
    endSeek(position);
}

void LessonSession::jumpToSection(int section)
{
    m_nextQuestionTimer.stop();
    m_exercise->BeginSeek();
    m_exercise->JumpToSection(section);
    m_exercise->EndSeek();
    continueIfWaiting();
}

LessonSnapshot LessonSession::applySettings()
{
    // New durations or devices: the exercise may ask the waiting question again (reported).
    m_exercise->SetUpSections();
    return snapshot();
}

void LessonSession::setShowHistory(bool show)
{
    m_exercise->SetShowHistory(show);
}

void LessonSession::clearHistory()
{
    // Never throws: a file that cannot be written is said in the window and written later.
    m_exercise->ClearHistoryStatistics();
}

void LessonSession::clearHistory(int section)
{
    clearHistory();
    if (const std::shared_ptr<AnswerLog> log = m_exercise->GetAnswerLog())
        log->ClearSection(m_trainerIndex, section);
}

void LessonSession::setFallbackPolicy(const WrongAnswerPolicy& policy)
{
    std::lock_guard<std::mutex> guard(m_policyMutex);
    m_fallbackPolicy = policy;
}

// ---- queries (GUI thread) -------------------------------------------------------------------

LessonSnapshot LessonSession::snapshot() const
{
    LessonSnapshot lesson;
    m_exercise->Locked([&] { lesson = buildSnapshot(); });
    return lesson;
}

LessonBase::PlayState LessonSession::playState() const
{
    return LessonBase::PlayState(m_exercise->GetPlayState());
}

void LessonSession::sectionStatistics(int section, std::vector<StatisticsRecord>& out) const
{
    m_exercise->GetSectionStatistics(section, out);
}

int LessonSession::questionKey(int section, int id) const
{
    return m_exercise->QuestionKey(section, id);
}

QString LessonSession::questionLabel(int section, int id) const
{
    return m_exercise->QuestionLabel(section, id);
}

std::vector<int> LessonSession::choiceIds(int section) const
{
    std::vector<int> ids;
    m_exercise->ChoiceIds(section, ids);
    return ids;
}

bool LessonSession::isShowingHistory() const
{
    return m_exercise->IsShowingHistory();
}

bool LessonSession::isQuiz() const
{
    return m_exercise->IsQuizMode();
}

std::shared_ptr<AnswerLog> LessonSession::answerLog() const
{
    return m_exercise->GetAnswerLog();
}

qint64 LessonSession::runId() const
{
    return m_exercise->GetRunId();
}

std::shared_ptr<const QuestionData> LessonSession::itemOf(int section, qint32 key) const
{
    return m_exercise->ItemOf(section, key);
}

bool LessonSession::presentItems(int section, qint32 first, qint32 second)
{
    return m_exercise->PresentItems(section, first, second);
}

} // namespace Core

#include "core/exercise/exercise.h"

#include "core/exercise/answer_judgement.h"
#include "core/exercise/midi_answer_listener.h"
#include "core/exercise/note_match.h"
#include "core/exercise/question_tempo_data.h"
#include "core/exercise/trainer_settings_source.h"
#include "core/midi/midi_in_stream_device_auto.h"
#include "core/midi/sound_controller.h"
#include "core/score_builder.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

Q_LOGGING_CATEGORY(exerciseLog, "cantorela.exercise")

namespace Core {
namespace {

// PresentItems: each item heard for at most this long, then this pause before the next.
constexpr double PresentedSeconds = 4.0;
constexpr double PresentedGapSeconds = 0.6;
// How long a note without its note-off is held.
constexpr double PresentedHoldSeconds = 1.0;

// The streams one after the other: each cut off at PresentedSeconds, every note it leaves
// sounding ended (at its cut, or a hold after its last note-on), the next after a gap.
MidiStream InSequence(std::initializer_list<const MidiStream*> parts)
{
    MidiStream sequence;
    double offset = 0.0;
    for (const MidiStream* part : parts) {
        std::set<std::pair<int, int>> sounding; // channel, note
        double end = 0.0;
        double lastOn = 0.0;
        for (MidiEvent event : *part) {
            if (event.seconds > PresentedSeconds)
                break;
            const MidiMessage& m = event.message;
            const std::pair<int, int> note{int(m.Channel()), int(m.byte1)};
            if (m.IsNoteOn()) {
                sounding.insert(note);
                lastOn = std::max(lastOn, event.seconds);
            } else if (m.IsNoteOff() || m.IsNoteOnType()) {
                sounding.erase(note);
            }
            end = std::max(end, event.seconds);
            event.seconds += offset;
            event.tick = qint32(event.seconds * MidiEvent::TicksPerSecond);
            sequence.append(event);
        }
        if (!sounding.empty()) {
            const double release = std::min(PresentedSeconds, std::max(end, lastOn + PresentedHoldSeconds));
            end = release;
            for (const auto& [channel, note] : sounding) {
                const double at = offset + release;
                sequence.append({MidiMessage(0x80, quint8(channel), quint8(note), 0),
                                 qint32(at * MidiEvent::TicksPerSecond), at});
            }
        }
        offset += end + PresentedGapSeconds;
    }
    sequence.Sort();
    return sequence;
}

} // namespace

Exercise::Exercise()
    : devices(
          this, [this](std::shared_ptr<void> object) { ReleaseLater(std::move(object)); },
          [this](std::function<void()> action) { AfterUnlock(std::move(action)); })
{
    Answer::RegisterMetaType();
}

Exercise::~Exercise()
{
    Shutdown();
}

void Exercise::Shutdown()
{
    ExerciseDevices::Parts parts;
    {
        Locker guard(*this);
        parts = devices.Take();
    }
    parts.Destroy();
    DisconnectTimeLine();
}

// ---- clock -------------------------------------------------------------------------------

int Exercise::TicksPerQuestion(int section) const
{
    Locker guard(*this);
    return sections.TicksPerQuestion(section);
}

int Exercise::QuestionNumber() const
{
    Locker guard(*this);
    const int count = sections.QuestionCount(currentSection);
    if (!timeline || count <= 0 || GetCounters().asked == 0)
        return 0;
    // Past the section's end the timeline already stands at the next section's start.
    if (timeline->CurrentSegment() != currentSection)
        return count;
    const int ticks = sections.TicksPerQuestion(currentSection);
    const int number = timeline->OffsetInSegment() / (ticks > 0 ? ticks : UnlimitedTicks) + 1;
    return std::clamp(number, 1, count);
}

void Exercise::OnTick(int position)
{
    Locker guard(*this);
    // A tick that was on its way while this lesson moved or restarted its timeline is stale.
    if (timeline && questionClock.TakeTick(*timeline, position))
        HandleTimeUp(position);
}

void Exercise::OnSegmentChanged(int, int nextSegment)
{
    if (nextSegment != -1)
        return;
    Locker guard(*this);
    // Unless the lesson stopped or moved its timeline since it ran off its end.
    if (timeline && questionClock.TakeEnd(*timeline))
        HandleTimeUp(timeline->TotalLength());
}

// The question clock, with the lock held: `position` is the tick just reached.
void Exercise::HandleTimeUp(int position)
{
    const int k = TicksPerQuestion(currentSection);
    const int offset = timeline->OffsetInSegment();
    const bool atEnd = position == timeline->TotalLength();
    if (k == 0) {
        if (offset % UnlimitedTicks == 0) {
            questionClock.Stop(*timeline);
            if (atEnd) {
                // Without a time limit the end is reached here too; a one-section lesson would
                // otherwise start over from its first question.
                SetState(LessonEnd);
                Stop();
            }
        }
    } else if (offset % k == 0) {
        if (state == AwaitingAnswer)
            Judge(Answer());
        else
            AdvanceQuestion(true);
        questionClock.Stop(*timeline);
        if (atEnd) {
            SetState(LessonEnd);
            Stop();
        } else if (state != LessonEnd) {
            SetState(BetweenQuestions);
        }
    }
    LessonBase::OnTick(position);
}

void Exercise::AdvanceQuestion(bool forward, bool answered)
{
    Locker guard(*this);
    questionClock.Stop(*timeline);
    const int k = TicksPerQuestion(currentSection);
    int skip = 0;
    if (k == 0) {
        questionClock.MarkAsked(-1);
        if (answered) {
            SetState(BetweenQuestions);
            questionClock.Start(*timeline, playState == Paused);
            return;
        }
        const int rest = timeline->OffsetInSegment() % UnlimitedTicks;
        skip = rest == 0 ? 0 : forward ? UnlimitedTicks - rest : -rest;
    } else {
        skip = questionClock.TicksToNextQuestion(*timeline, k, forward,
                                                 state == Presenting || state == AwaitingAnswer);
    }
    if (skip != 0) {
        const int p = timeline->Position() + skip;
        if (p == timeline->TotalLength()) {
            questionClock.MoveTo(*timeline, p - 1);
            SetState(LessonEnd);
            Stop();
            return;
        }
        questionClock.MoveTo(*timeline, p);
    }
    SetState(BetweenQuestions);
}

// ---- lesson ------------------------------------------------------------------------------

void Exercise::SetState(int newState)
{
    state = newState;
    if (newState == AwaitingAnswer && !answerAwaited) {
        answerAwaited = true;
        awaitedSince = std::chrono::steady_clock::now();
    }
    Subject<LessonBaseObserver>::Notify(&LessonBaseObserver::OnExerciseStateChanged, newState);
}

void Exercise::Reset()
{
    Locker guard(*this);
    if (timeline)
        timeline->Stop();
    ResetBase();
    questionClock.Reset();

    currentSection = 0;
    ResetScore();
    sections.Clear();
    SetState(BetweenQuestions);

    std::vector<SectionTitle> titles;
    RegisterSections(titles);
    sections.SetTitles(std::move(titles));
    sections.AddSegments(*timeline);
    SetScoredSections(size_t(sections.Count()));
    for (int i = 0; i < sections.Count(); ++i)
        InitQuestionRecord(i, sections.Pool(i));

    timeline->SetInterval(TickMs);
    UpdateTimeline();

    devices.RenewStreamDevice();
    // The connector fed the old stream device: rebuild it on the new one.
    if (soundController)
        ConnectDevices();

    StartSectionScore(sections.QuestionCount(0));
    pressedNotes.clear();
    keySilenced = false;
    streamHoldsQuestion = false;
    answerAwaited = false;
}

void Exercise::SetSoundController(std::shared_ptr<SoundController> controller)
{
    Locker guard(*this);
    LessonBase::SetSoundController(std::move(controller));
    ConnectDevices();
}

void Exercise::Start()
{
    SetPlayState(Running);
}

bool Exercise::Pause(bool pause)
{
    Locker guard(*this);
    if (state == LessonEnd)
        return false;
    const bool changed = LessonBase::Pause(pause);
    if (changed) {
        StopSound();
        // A question cut off while it sounded is played again from its start: its end starts
        // the answer clock.
        if (!pause && state == Presenting)
            ReplayQuestion();
    }
    return changed;
}

void Exercise::Stop(bool finished)
{
    Locker guard(*this);
    LessonBase::Stop(finished);
    if (timeline)
        questionClock.Halt(*timeline);
    StopSound();
    devices.Rewind();
}

void Exercise::OnSeek(int, int)
{
    AdvanceQuestion(true);
}

void Exercise::SetSection(int section)
{
    Locker guard(*this);
    if (section == currentSection)
        return;
    currentSection = section;
    StartSectionScore(sections.QuestionCount(section));
    // Leaving a section: what was answered in it is written now (in the background; a save with
    // nothing new writes nothing).
    SaveStatistics(true);
    Subject<ExerciseObserver>::Notify(&ExerciseObserver::OnSectionChanged, unsigned(section));
}

void Exercise::ApplySettings(const std::vector<Section>& table, int newInstrument)
{
    Locker guard(*this);
    sections.SetTable(table);
    instrument = newInstrument;
    UpdateTimeline();
    if (sections.InTable(currentSection))
        SetSectionQuestionCount(sections.QuestionCount(currentSection));
    Refresh();
}

void Exercise::SetQuizMode(bool quiz)
{
    Locker guard(*this);
    quizMode = quiz;
    UpdateTimeline();
}

bool Exercise::IsQuizMode() const
{
    Locker guard(*this);
    return quizMode;
}

void Exercise::UpdateTimeline()
{
    Locker guard(*this);
    if (!timeline)
        return;
    sections.SetDurations(*timeline);
    questionClock.Resync(*timeline);
}

void Exercise::ConnectDevices()
{
    Locker guard(*this);
    StopSound();
    if (!soundController)
        return;
    devices.Connect(*soundController, GetTrainerIndex() != SymbolTrainerIndex && AcceptsKeyAnswers());
}

void Exercise::Refresh()
{
    Locker guard(*this);
    ConnectDevices();
    if (state == AwaitingAnswer) {
        AdvanceQuestion(false);
        if (playState == Running && state == BetweenQuestions)
            Next();
    }
}

void Exercise::StopSound()
{
    Locker guard(*this);
    devices.Silence();
}

// ---- questions ---------------------------------------------------------------------------

bool Exercise::SectionUsable(int section)
{
    return sections.CanAsk(section) && SectionHasQuestions(section);
}

void Exercise::Next()
{
    Locker guard(*this);
    keySilenced = false;
    if (!timeline || currentSection == -1) {
        SetState(LessonEnd);
        Stop();
        return;
    }
    const int segmentCount = timeline->SegmentCount();
    int i = timeline->CurrentSegment() != currentSection ? currentSection + 1 : currentSection;
    QuestionRecord question;
    for (;; ++i) {
        if (i >= segmentCount) {
            SetState(NotStarted);
            Stop(true);
            return;
        }
        if (!SectionUsable(i))
            continue;
        const std::vector<QuestionRecord>& pool = sections.Pool(i);
        question = pool[size_t(std::rand()) % pool.size()];
        drawSection = i;
        const bool drawn = DrawQuestion(i, question);
        drawSection = -1;
        if (drawn)
            break;
        // Nothing can be asked here under the settings in force: skip the section as if it had
        // no questions, without announcing it.
        qCInfo(exerciseLog, "section %d has no question to ask; skipped", i);
        sections.Skip(i);
    }
    if (i != currentSection) {
        const int start = timeline->SegmentStart(i);
        if (timeline->Position() < start)
            questionClock.MoveTo(*timeline, start);
        SetSection(i);
    }
    AskQuestion(question);
    if (TicksPerQuestion(currentSection) > 0 && playState == Running && state == AwaitingAnswer)
        questionClock.Start(*timeline, playState == Paused);
}

void Exercise::AskQuestion(const QuestionRecord& question)
{
    // Counted before the state changes, so that the report of the new state counts it.
    RecordQuestion(currentSection, question);
    pressedNotes.clear();
    hearingsAgain = 0;
    answerAwaited = false;
    questionClock.MarkAsked(timeline->Position());
    const QuestionData* item = question.AskedItem();
    if (question.IsSounded() && item && item->stream && !item->stream->isEmpty()) {
        questionClock.MoveTo(*timeline, timeline->Position() + 1);
        questionClock.MarkAsked(-1); // the extra tick already moves the answer off the boundary
        SetState(Presenting);
        devices.Play(*item->stream, instrument, question.kind == QuestionRecord::TempoQuestion);
        streamHoldsQuestion = true;
    } else {
        SetState(AwaitingAnswer);
    }
}

void Exercise::OnStreamFinished()
{
    Locker guard(*this);
    if (state != Presenting || !devices.HasStreamDevice() || devices.IsPlaying() || !streamHoldsQuestion)
        return; // an earlier question's sound, stopped since, or items presented
    SetState(AwaitingAnswer);
    // Without a time limit the clock runs only after an answer (ten ticks a question).
    if (TicksPerQuestion(currentSection) > 0)
        questionClock.Start(*timeline, playState == Paused);
}

void Exercise::RestartQuestion()
{
    Locker guard(*this);
    if (state != Presenting && state != AwaitingAnswer)
        return;
    AdvanceQuestion(false);
    if (playState == Running && state == BetweenQuestions)
        Next();
}

bool Exercise::CanHearAgain() const
{
    Locker guard(*this);
    if (state != AwaitingAnswer || playState != Running || (quizMode && hearingsAgain > 0))
        return false;
    const QuestionRecord* question = LastQuestion(currentSection);
    const QuestionData* item = question ? question->AskedItem() : nullptr;
    return item && question->IsSounded() && item->stream && !item->stream->isEmpty() && devices.HasStreamDevice();
}

bool Exercise::HearAgain()
{
    Locker guard(*this);
    if (!CanHearAgain())
        return false;
    ++hearingsAgain;
    // The clock holds where it stands and goes on from there when the sound has ended.
    questionClock.Stop(*timeline);
    pressedNotes.clear();
    keySilenced = false;
    SetState(Presenting);
    devices.Rewind();
    ReplayQuestion();
    return true;
}

void Exercise::ReplayQuestion()
{
    if (streamHoldsQuestion) {
        devices.Replay();
        return;
    }
    const QuestionRecord* question = LastQuestion(currentSection);
    const QuestionData* item = question ? question->AskedItem() : nullptr;
    if (!item || !item->stream || item->stream->isEmpty() || !devices.HasStreamDevice())
        return;
    devices.Play(*item->stream, instrument, question->kind == QuestionRecord::TempoQuestion);
    streamHoldsQuestion = true;
}

bool Exercise::PresentItems(int section, qint32 first, qint32 second)
{
    Locker guard(*this);
    if (section < 0 || section >= sections.Count() || sections.Pool(section).empty() ||
        !devices.HasStreamDevice())
        return false;
    // The sections whose questions are asked by their sound alone.
    const int kind = sections.Pool(section).front().kind;
    if (kind != QuestionRecord::EarQuestion && kind != QuestionRecord::TempoQuestion)
        return false;
    // A question sounding now is not cut off.
    if (state == Presenting && playState == Running)
        return false;
    const std::shared_ptr<const QuestionData> a = ItemOf(section, first);
    const std::shared_ptr<const QuestionData> b = ItemOf(section, second);
    if (!a || !b || !a->stream || !b->stream || a->stream->isEmpty() || b->stream->isEmpty())
        return false;
    const bool ownInstruments = dynamic_cast<const QuestionTempoData*>(a.get()) != nullptr;
    devices.Play(InSequence({a->stream.get(), b->stream.get()}), instrument, ownInstruments);
    streamHoldsQuestion = false;
    return true;
}

void Exercise::JumpToSection(int section)
{
    Locker guard(*this);
    if (!timeline)
        return;
    Seek(timeline->SegmentStart(section));
    Start();
}

QByteArray Exercise::AnswerView(const QuestionRecord& question, const Answer& answer, bool trebleClef,
                                bool flatSpelling, bool interval, QVector<QPair<int, int>>& keys) const
{
    keys.clear();
    return BuildAnswerView(question, answer, trebleClef, flatSpelling, interval, keys);
}

QByteArray Exercise::BuildAnswerView(const QuestionRecord& question, const Answer& answer, bool trebleClef,
                                     bool flatSpelling, bool interval, QVector<QPair<int, int>>& keys) const
{
    AnswerJudgement::MarkKeys(question, answer, interval, keys);
    return ScoreBuilder::WriteAnswer(keys, trebleClef, flatSpelling);
}

void Exercise::Judge(const Answer& answer)
{
    Locker guard(*this);
    if (state != AwaitingAnswer && state != Presenting)
        return;
    const QuestionRecord* question = LastQuestion(currentSection);
    if (!question)
        return;
    const int result = AnswerJudgement::Judge(*question, answer);
    if (result == NoteMatchIncomplete)
        return;
    if (devices.IsPlaying())
        StopSound();
    const bool right = result == NoteMatchRight;
    const qint32 responseMs =
        answerAwaited ? qint32(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - awaitedSince)
                                   .count())
                      : 0;
    RecordAnswer(currentSection, answer, right);
    Subject<ExerciseObserver>::Notify(&ExerciseObserver::OnAnswerJudged, right, answer);
    AddToStatistics(currentSection, *question, right);
    LogAnswer(currentSection, *question, answer, right, quizMode, responseMs);
    pressedNotes.clear();
    AdvanceQuestion(true, true);
    // The files are written on the store's own thread, never here: the last answer of a section
    // at once, any other within two seconds.
    SaveStatistics(state == LessonEnd || (timeline && timeline->CurrentSegment() != currentSection) ||
                   SectionAskedOut());
}

void Exercise::HandleInputEvent(const MidiEvent& event, bool echoKey, bool voice)
{
    std::shared_ptr<MidiOutDevice> echo;
    {
        Locker guard(*this);
        // A paused lesson takes no answer: keys struck meanwhile (in the settings' keyboard
        // check, say) are only heard.
        if (state == AwaitingAnswer && playState == Running) {
            const MidiMessage& m = event.message;
            if (m.IsNoteOn()) {
                if (!keySilenced) {
                    StopSound();
                    keySilenced = true;
                }
                pressedNotes.append(event);
                Answer answer;
                answer.kind = Answer::Notes;
                answer.notes = pressedNotes;
                answer.sung = voice && sungAnswers && CanBeSung(currentSection);
                Judge(answer);
                if (state != AwaitingAnswer)
                    pressedNotes.clear();
                Subject<ExerciseObserver>::Notify(&ExerciseObserver::OnNoteFromDevice, true, int(m.byte1));
            } else if (m.IsNoteOff() || m.IsNoteOnType()) {
                Subject<ExerciseObserver>::Notify(&ExerciseObserver::OnNoteFromDevice, false, int(m.byte1));
            }
        }
        if (echoKey)
            echo = devices.EchoDevice();
    }
    // Every key is heard, whatever the state; sent outside the lock after any reset above.
    if (echo)
        echo->SendFromInput(event.message, event.receivedNs);
}

// ---- draw --------------------------------------------------------------------------------

int Exercise::DrawCandidates(unsigned poolSize, QuestionValidator* validator, const AnswerVariantProvider* provider,
                             std::vector<unsigned>& ids)
{
    Locker guard(*this);
    return DrawWeighted(drawSection >= 0 ? drawSection : currentSection, poolSize, validator, provider, ids);
}

// ---- accessors -----------------------------------------------------------------------------

void Exercise::SetSungAnswers(bool sung)
{
    Locker guard(*this);
    sungAnswers = sung;
}

bool Exercise::SungAnswers() const
{
    Locker guard(*this);
    return sungAnswers;
}

void Exercise::Locked(const std::function<void()>& action) const
{
    Locker guard(*this);
    action();
}

int Exercise::GetState() const
{
    Locker guard(*this);
    return state;
}

int Exercise::GetCurrentSection() const
{
    Locker guard(*this);
    return currentSection;
}

QuestionRecord Exercise::GetCurrentQuestion() const
{
    Locker guard(*this);
    const QuestionRecord* question = LastQuestion(currentSection);
    return question ? *question : QuestionRecord();
}

std::vector<Exercise::SectionTitle> Exercise::GetSectionTitles() const
{
    Locker guard(*this);
    return sections.Titles();
}

std::vector<Exercise::Section> Exercise::GetSections() const
{
    Locker guard(*this);
    return sections.Table();
}

int Exercise::GetInstrument() const
{
    Locker guard(*this);
    return instrument;
}

std::shared_ptr<MidiAnswerListener> Exercise::GetAnswerListener() const
{
    Locker guard(*this);
    return devices.AnswerListener();
}

std::shared_ptr<MidiOutDevice> Exercise::GetOutputDevice() const
{
    Locker guard(*this);
    return devices.OutputDevice();
}

// ---- settings ----------------------------------------------------------------------------

void Exercise::SetSettingsSource(const TrainerSettingsSource* source)
{
    Locker guard(*this);
    settingsSource = source;
}

const TrainerSettingsSource* Exercise::GetSettingsSource() const
{
    Locker guard(*this);
    return settingsSource;
}

bool Exercise::PractisesWeakSpots() const
{
    Locker guard(*this);
    return settingsSource && settingsSource->PractisesWeakSpots();
}

bool Exercise::ReadSettings(TrainerSettings& out) const
{
    Locker guard(*this);
    if (!settingsSource)
        return false;
    out = settingsSource->CurrentSettings();
    return true;
}

void Exercise::ApplyDurations(std::initializer_list<const DurationSettings*> durations)
{
    std::vector<Section> table;
    for (const DurationSettings* d : durations)
        table.push_back({d->questions, d->seconds * 1000});
    ApplySettings(table, SettingsInstrument());
}

int Exercise::SettingsInstrument() const
{
    Locker guard(*this);
    return settingsSource ? settingsSource->CurrentInstrument() : 0;
}

} // namespace Core

#include "core/exercise/exercise.h"

#include "core/error.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/midi_answer_listener.h"
#include "core/exercise/note_match.h"
#include "core/exercise/question_generator.h"
#include "core/exercise/trainer_settings_source.h"
#include "core/midi/instrument_list.h"
#include "core/midi/midi_device_connector.h"
#include "core/midi/midi_in_stream_device_auto.h"
#include "core/midi/sound_controller.h"
#include "core/score_builder.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cstdlib>

Q_LOGGING_CATEGORY(exerciseLog, "cantorela.exercise")

namespace Core {
namespace {

// Interval in semitones between the first two notes the item sounds; -1 when it has fewer.
int ExpectedInterval(const QuestionData* item)
{
    if (!item || !item->stream)
        return -1;
    int first = -1;
    for (const MidiEvent& e : *item->stream) {
        if (!e.message.IsNoteOn())
            continue;
        if (first < 0)
            first = e.message.byte1;
        else
            return qAbs(int(e.message.byte1) - first);
    }
    return -1;
}

} // namespace

Exercise::Exercise()
{
    Answer::RegisterMetaType();
}

Exercise::~Exercise()
{
    Shutdown();
    // The lesson's answers reach the statistics files when the exercise goes.
    std::shared_ptr<ExerciseStatistics> store;
    {
        Locker guard(*this);
        store = statistics;
    }
    if (store) {
        try {
            store->Save();
        } catch (const Error& e) {
            qCWarning(exerciseLog) << "statistics not saved:" << e.Message();
        } catch (const std::exception& e) {
            qCWarning(exerciseLog) << "statistics not saved:" << e.what();
        }
    }
}

void Exercise::Shutdown()
{
    std::shared_ptr<MidiAnswerListener> listener;
    std::shared_ptr<MidiDeviceConnector> oldConnector;
    std::shared_ptr<MidiInStreamDeviceAuto> device;
    {
        Locker guard(*this);
        listener = std::move(answerListener);
        oldConnector = std::move(connector);
        device = std::move(streamDevice);
        if (device)
            device->Detach(static_cast<MidiInStreamDeviceObserver*>(this));
    }
    // Each of these waits for a call into this exercise in progress on another thread.
    listener.reset();
    oldConnector.reset();
    device.reset();
    DisconnectTimeLine();
}

// ---- clock -------------------------------------------------------------------------------

int Exercise::TicksPerQuestion(int section) const
{
    Locker guard(*this);
    if (section < 0 || size_t(section) >= sections.size())
        return 0;
    return qMax(0, sections[size_t(section)].msPerQuestion / TickMs);
}

void Exercise::StartClock()
{
    timeline->Start();
    if (playState == Paused)
        timeline->SetPaused(true);
    clockRunning = true;
    clockMark = timeline->Position();
}

void Exercise::StopClock()
{
    timeline->Stop();
    clockRunning = false;
    clockMark = timeline->Position();
}

void Exercise::MoveClock(int position)
{
    timeline->SetPosition(position);
    clockMark = timeline->Position();
}

void Exercise::OnTick(int position)
{
    Locker guard(*this);
    if (!timeline)
        return;
    // A tick that was on its way while this lesson moved or restarted its timeline is stale.
    if (position != timeline->Position() || position <= clockMark)
        return;
    clockMark = position;
    HandleTimeUp(position);
}

void Exercise::OnSegmentChanged(int, int nextSegment)
{
    if (nextSegment != -1)
        return;
    Locker guard(*this);
    if (!timeline || !clockRunning || timeline->State() != TimeLineStopped || timeline->Position() != 0)
        return; // the lesson stopped or moved its timeline since it ran off its end
    clockRunning = false;
    clockMark = 0;
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
            StopClock();
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
        StopClock();
        if (atEnd) {
            SetState(LessonEnd);
            Stop();
        } else if (state != LessonEnd) {
            SetState(BetweenQuestions);
        }
    }
    LessonBase::OnTick(position);
}

void Exercise::AdvanceQuestion(bool forward)
{
    Locker guard(*this);
    StopClock();
    const int k = TicksPerQuestion(currentSection);
    if (k == 0) {
        askedAt = -1;
        SetState(BetweenQuestions);
        StartClock();
        return;
    }
    const int r = timeline->OffsetInSegment() % k;
    int skip = r != 0 ? (forward ? k : 0) - r : 0;
    // An answer before the question's first tick still uses up the question's ticks.
    if (r == 0 && forward && askedAt >= 0 && timeline->Position() == askedAt &&
        (state == Presenting || state == AwaitingAnswer))
        skip = k;
    askedAt = -1;
    if (skip != 0) {
        const int p = timeline->Position() + skip;
        if (p == timeline->TotalLength()) {
            MoveClock(p - 1);
            SetState(LessonEnd);
            Stop();
            return;
        }
        MoveClock(p);
    }
    SetState(BetweenQuestions);
}

// ---- lesson ------------------------------------------------------------------------------

void Exercise::SetState(int newState)
{
    state = newState;
    Subject<LessonBaseObserver>::Notify(&LessonBaseObserver::OnExerciseStateChanged, newState);
}

void Exercise::Reset()
{
    Locker guard(*this);
    if (timeline)
        timeline->Stop();
    ResetBase();
    clockMark = 0;
    clockRunning = false;

    currentSection = 0;
    answers.clear();
    sectionTitles.clear();
    counters = Counters();
    SetState(BetweenQuestions);

    RegisterSections(sectionTitles);
    for (const SectionTitle& title : sectionTitles)
        timeline->AddSegment(title.shortName, 50);

    history.clear();
    pools.clear();
    const size_t count = sectionTitles.size();
    for (size_t i = 0; i < count; ++i) {
        pools.emplace_back();
        InitQuestionRecord(int(i), pools.back());
        if (sections.size() < i + 1)
            sections.resize(i + 1);
    }
    history.resize(count);
    answers.resize(count);
    sectionSkipped.assign(count, false);

    timeline->SetInterval(TickMs);
    UpdateTimeline();

    if (streamDevice) {
        streamDevice->Detach(static_cast<MidiInStreamDeviceObserver*>(this));
        ReleaseLater(std::move(streamDevice));
    }
    streamDevice = std::make_shared<MidiInStreamDeviceAuto>(std::make_shared<MidiStream>());
    streamDevice->Attach(static_cast<MidiInStreamDeviceObserver*>(this));
    // The connector fed the old stream device: rebuild it on the new one.
    if (soundController)
        ConnectDevices();

    counters.sectionQuestionCount = sections.empty() ? 0 : sections[0].questionCount;
    counters.sectionAsked = 0;
    counters.sectionCorrect = 0;
    pressedNotes.clear();
    keySilenced = false;
    previousId = -1;
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
        if (!pause && state == Presenting && streamDevice)
            streamDevice->Play();
    }
    return changed;
}

void Exercise::Stop(bool finished)
{
    Locker guard(*this);
    LessonBase::Stop(finished);
    if (timeline) {
        clockRunning = false;
        clockMark = timeline->Position();
    }
    StopSound();
    if (streamDevice)
        streamDevice->Open();
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
    counters.sectionQuestionCount =
        section >= 0 && size_t(section) < sections.size() ? sections[size_t(section)].questionCount : 0;
    counters.sectionAsked = 0;
    counters.sectionCorrect = 0;
    // Leaving a section: what was answered in it is written now (in the background; a save with
    // nothing new writes nothing).
    if (statistics)
        statistics->SaveNow();
    Subject<ExerciseObserver>::Notify(&ExerciseObserver::OnSectionChanged, unsigned(section));
}

void Exercise::Initialize(std::shared_ptr<ExerciseStatistics> store, int trainer)
{
    Locker guard(*this);
    statistics = std::move(store);
    trainerIndex = trainer;
}

void Exercise::ApplySettings(const std::vector<Section>& table, int newInstrument)
{
    Locker guard(*this);
    sections = table;
    if (sections.size() < sectionTitles.size())
        sections.resize(sectionTitles.size());
    instrument = newInstrument;
    UpdateTimeline();
    if (currentSection >= 0 && size_t(currentSection) < sections.size())
        counters.sectionQuestionCount = sections[size_t(currentSection)].questionCount;
    Refresh();
}

void Exercise::SetQuizMode(bool)
{
    Locker guard(*this);
    UpdateTimeline();
}

void Exercise::UpdateTimeline()
{
    Locker guard(*this);
    if (!timeline)
        return;
    const int count = timeline->SegmentCount();
    for (int i = 0; i < count && size_t(i) < sections.size(); ++i) {
        const int k = TicksPerQuestion(i);
        const int duration = qMax(0, sections[size_t(i)].questionCount) * (k > 0 ? k : UnlimitedTicks);
        if (timeline->SegmentDuration(i) != duration)
            timeline->SetSegmentDuration(i, duration);
    }
    clockMark = timeline->Position();
}

void Exercise::ConnectDevices()
{
    Locker guard(*this);
    StopSound();
    if (!soundController)
        return;
    std::shared_ptr<MidiInDeviceBase> input;
    if (trainerIndex != SymbolTrainerIndex && AcceptsKeyAnswers())
        input = soundController->CurrentInputDevice();
    if (input) {
        if (answerListener) {
            // Rebinding waits for a key being delivered, which may be waiting for our lock.
            std::shared_ptr<MidiAnswerListener> listener = answerListener;
            AfterUnlock([listener, input] { listener->Rebind(input); });
        } else {
            answerListener = std::make_shared<MidiAnswerListener>(this, input.get(), input);
        }
    } else if (answerListener) {
        ReleaseLater(std::move(answerListener));
    }

    std::shared_ptr<MidiOutDevice> output = soundController->CurrentOutputDevice();
    if (!output && soundController->OutputCount() > 0)
        output = soundController->GetOutputDevice(0);
    if (output && streamDevice) {
        ReleaseLater(std::move(connector));
        connector = std::make_shared<MidiDeviceConnector>(streamDevice, output);
        outputDevice = output;
    }
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
    if (streamDevice)
        streamDevice->Open();
    if (outputDevice)
        outputDevice->Reset();
}

// ---- questions ---------------------------------------------------------------------------

bool Exercise::SectionUsable(int section)
{
    if (section < 0 || size_t(section) >= sections.size() || size_t(section) >= pools.size())
        return false;
    return sections[size_t(section)].questionCount > 0 && !pools[size_t(section)].empty() &&
           !sectionSkipped[size_t(section)] && SectionHasQuestions(section);
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
        const std::vector<QuestionRecord>& pool = pools[size_t(i)];
        question = pool[size_t(std::rand()) % pool.size()];
        drawSection = i;
        const bool drawn = DrawQuestion(i, question);
        drawSection = -1;
        if (drawn)
            break;
        // Nothing can be asked here under the settings in force: skip the section as if it had
        // no questions, without announcing it.
        qCInfo(exerciseLog, "section %d has no question to ask; skipped", i);
        sectionSkipped[size_t(i)] = true;
    }
    if (i != currentSection) {
        const int start = timeline->SegmentStart(i);
        if (timeline->Position() < start)
            MoveClock(start);
        SetSection(i);
    }
    AskQuestion(question);
    if (TicksPerQuestion(currentSection) > 0 && playState == Running && state == AwaitingAnswer)
        StartClock();
}

void Exercise::AskQuestion(const QuestionRecord& question)
{
    history[size_t(currentSection)].push_back(question);
    // Counted before the state changes, so that the report of the new state counts it.
    ++counters.asked;
    ++counters.sectionAsked;
    pressedNotes.clear();
    askedAt = timeline->Position();
    const QuestionData* item = question.AskedItem();
    if (question.IsSounded() && item && item->stream && !item->stream->isEmpty()) {
        MoveClock(timeline->Position() + 1);
        askedAt = -1; // the extra tick already moves the answer off the boundary
        SetState(Presenting);
        auto stream = std::make_shared<MidiStream>(*item->stream);
        if (question.kind != QuestionRecord::TempoQuestion) {
            const MidiEvent program{InstrumentList::ProgramChange(instrument, 0), 0, -1.0};
            if (stream->first().message.Type() == 0xC0)
                (*stream)[0] = program;
            else
                stream->prepend(program);
        }
        StopSound();
        streamDevice->SetStream(stream);
        streamDevice->Play();
    } else {
        SetState(AwaitingAnswer);
    }
}

void Exercise::OnStreamFinished()
{
    Locker guard(*this);
    if (state != Presenting || !streamDevice || streamDevice->IsPlaying())
        return; // an earlier question's sound, stopped since
    SetState(AwaitingAnswer);
    // Without a time limit the clock runs only after an answer (ten ticks a question).
    if (TicksPerQuestion(currentSection) > 0)
        StartClock();
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
    // Keys count from A0, MIDI note 21.
    constexpr int LowestNote = 21;
    QVector<int> left;
    const QuestionData* item = question.AskedItem();
    if (item && item->stream)
        for (const MidiEvent& e : *item->stream)
            if (e.message.IsNoteOn())
                left.append(e.message.byte1);
    QVector<int> entered;
    if (answer.kind == Answer::Notes)
        for (const MidiEvent& e : answer.notes)
            if (e.message.IsNoteOn())
                entered.append(e.message.byte1);
    if (interval) {
        // Only the first note played is compared, with the first note of the interval.
        left.resize(qMin(1, left.size()));
        entered.resize(qMin(1, entered.size()));
    }

    // The same rule as the judgement, so that the view never contradicts it.
    const bool pitchClass = question.kind == QuestionRecord::ChordSymbolQuestion;
    const bool ordered = (question.answerModes & QuestionRecord::OrderedMode) && !pitchClass;
    for (int note : entered) {
        const int found = FindMatchingNote(left.constData(), left.size(), note, ordered, pitchClass);
        keys.append({note - LowestNote, found >= 0 ? 0 : 1});
        if (found >= 0)
            left.remove(found);
    }
    for (int note : left)
        keys.append({note - LowestNote, 2});
    return ScoreBuilder::WriteAnswer(keys, trebleClef, flatSpelling);
}

int Exercise::Validate(const QuestionRecord& question, const Answer& answer) const
{
    if (question.answerModes == 0)
        return 0;
    const QuestionData* item = question.AskedItem();
    switch (answer.kind) {
    case Answer::Notes: {
        if (!item || !item->stream)
            return 0;
        const bool pitchClass = question.kind == QuestionRecord::ChordSymbolQuestion;
        const bool ordered = (question.answerModes & QuestionRecord::OrderedMode) && !pitchClass;
        return MatchNotes(*item->stream, answer.notes, ordered, pitchClass);
    }
    case Answer::Interval: {
        const int expected = ExpectedInterval(item);
        return expected >= 0 && answer.value == expected ? 1 : 0;
    }
    case Answer::Choice:
        return answer.variant == question.correctIndex ? 1 : 0;
    default:
        return 0;
    }
}

void Exercise::Judge(const Answer& answer)
{
    Locker guard(*this);
    if (state != AwaitingAnswer && state != Presenting)
        return;
    if (currentSection < 0 || size_t(currentSection) >= history.size() ||
        history[size_t(currentSection)].empty())
        return;
    const QuestionRecord& question = history[size_t(currentSection)].back();
    const int result = Validate(question, answer);
    if (result == NoteMatchIncomplete)
        return;
    if (streamDevice && streamDevice->IsPlaying())
        StopSound();
    const bool right = result == NoteMatchRight;
    if (right) {
        ++counters.correct;
        ++counters.sectionCorrect;
    }
    ++counters.answered;
    answers[size_t(currentSection)].push_back(answer);
    Subject<ExerciseObserver>::Notify(&ExerciseObserver::OnAnswerJudged, right, answer);
    if (statistics) {
        const QuestionData* item = question.AskedItem();
        StatisticsRecord record;
        record.id = item ? item->statisticsKey : 0;
        record.exId = trainerIndex;
        record.section = currentSection;
        record.correct = right ? 1 : 0;
        record.wrong = right ? 0 : 1;
        statistics->Add(record);
    }
    pressedNotes.clear();
    AdvanceQuestion(true);
    if (statistics) {
        // The files are written on the store's own thread, never here: the last answer of a
        // section at once, any other within two seconds. Neither call blocks.
        const bool sectionEnd = state == LessonEnd ||
                                (timeline && timeline->CurrentSegment() != currentSection) ||
                                counters.sectionAsked >= counters.sectionQuestionCount;
        if (sectionEnd)
            statistics->SaveNow();
        else
            statistics->SaveSoon();
    }
}

void Exercise::HandleInputEvent(const MidiEvent& event)
{
    std::shared_ptr<MidiOutDevice> echo;
    {
        Locker guard(*this);
        if (state == AwaitingAnswer) {
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
                Judge(answer);
                if (state != AwaitingAnswer)
                    pressedNotes.clear();
                Subject<ExerciseObserver>::Notify(&ExerciseObserver::OnNoteFromDevice, true, int(m.byte1));
            } else if (m.IsNoteOff() || m.IsNoteOnType()) {
                Subject<ExerciseObserver>::Notify(&ExerciseObserver::OnNoteFromDevice, false, int(m.byte1));
            }
        }
        if (connector)
            echo = connector->GetOutputDevice();
    }
    // Every key is heard, whatever the state; sent outside the lock after any reset above.
    if (echo)
        echo->Send(event.message);
}

// ---- draw --------------------------------------------------------------------------------

int Exercise::DrawCandidates(unsigned poolSize, QuestionValidator* validator, const AnswerVariantProvider* provider,
                             std::vector<unsigned>& ids)
{
    Locker guard(*this);
    ids.clear();
    std::vector<StatisticsRecord> records;
    if (statistics)
        statistics->GetLocalSectionRecords(trainerIndex, drawSection >= 0 ? drawSection : currentSection,
                                           records);
    QuestionGenerator generator(poolSize, validator, provider);
    if (generator.Prepare(records) == 0)
        return -1;
    unsigned drawn = 0;
    int position = 0;
    for (int attempt = 0; attempt < 10; ++attempt) {
        drawn = generator.Draw();
        position = generator.BuildChoices(drawn, ids);
        if (int(drawn) != previousId)
            break;
    }
    previousId = int(drawn);
    return position;
}

// ---- accessors and statistics --------------------------------------------------------------

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
    if (currentSection < 0 || size_t(currentSection) >= history.size() ||
        history[size_t(currentSection)].empty())
        return QuestionRecord();
    return history[size_t(currentSection)].back();
}

Exercise::Counters Exercise::GetCounters() const
{
    Locker guard(*this);
    return counters;
}

std::vector<Exercise::SectionTitle> Exercise::GetSectionTitles() const
{
    Locker guard(*this);
    return sectionTitles;
}

std::vector<Exercise::Section> Exercise::GetSections() const
{
    Locker guard(*this);
    return sections;
}

std::vector<Answer> Exercise::GetAnswers(int section) const
{
    Locker guard(*this);
    if (section < 0 || size_t(section) >= answers.size())
        return {};
    return answers[size_t(section)];
}

int Exercise::GetInstrument() const
{
    Locker guard(*this);
    return instrument;
}

int Exercise::GetTrainerIndex() const
{
    Locker guard(*this);
    return trainerIndex;
}

std::shared_ptr<ExerciseStatistics> Exercise::GetStatistics() const
{
    Locker guard(*this);
    return statistics;
}

std::shared_ptr<MidiAnswerListener> Exercise::GetAnswerListener() const
{
    Locker guard(*this);
    return answerListener;
}

std::shared_ptr<MidiOutDevice> Exercise::GetOutputDevice() const
{
    Locker guard(*this);
    return outputDevice;
}

void Exercise::LoadTotals()
{
    Locker guard(*this);
    if (!statistics)
        return;
    statistics->ReloadLocal();
    std::vector<StatisticsRecord> records;
    statistics->GetLocalRecords(trainerIndex, records);
    for (const StatisticsRecord& record : records) {
        counters.asked += record.correct + record.wrong;
        counters.correct += record.correct;
    }
    counters.answered = counters.asked;
}

void Exercise::ClearSessionStatistics()
{
    Locker guard(*this);
    if (statistics)
        statistics->ClearLocal(trainerIndex);
}

void Exercise::ClearHistoryStatistics()
{
    Locker guard(*this);
    if (statistics)
        statistics->ClearHistory(trainerIndex);
}

void Exercise::SetShowHistory(bool show)
{
    Locker guard(*this);
    showHistory = show;
}

bool Exercise::IsShowingHistory() const
{
    Locker guard(*this);
    return showHistory;
}

void Exercise::GetSectionStatistics(int section, std::vector<StatisticsRecord>& out) const
{
    Locker guard(*this);
    if (!statistics)
        return;
    if (showHistory)
        statistics->GetHistorySectionRecords(trainerIndex, section, out);
    else
        statistics->GetLocalSectionRecords(trainerIndex, section, out);
}

// ---- trainer hooks -------------------------------------------------------------------------

int Exercise::AnswerInputMode(const QuestionRecord&)
{
    return 0;
}

bool Exercise::SectionHasQuestions(int)
{
    return true;
}

int Exercise::QuestionKey(int, int)
{
    return -1;
}

QString Exercise::QuestionLabel(int, int)
{
    return QString();
}

bool Exercise::IsSameAnswer(int, int a, int b)
{
    return a == b;
}

QString Exercise::AnswerText(int, int)
{
    return QString();
}

void Exercise::ChoiceIds(int, std::vector<int>&) {}

void Exercise::SetUpSections() {}

bool Exercise::AcceptsKeyAnswers()
{
    return true;
}

QByteArray Exercise::DrawAnswerView(const QuestionRecord&, const Answer&, QVector<QPair<int, int>>& keys)
{
    keys.clear();
    return QByteArray();
}

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

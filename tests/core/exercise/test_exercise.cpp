// The lesson loop on its own, driven through a small trainer: the timeline layout, questions
// asked and judged, the question clock and its time-outs, answers by key and their matching,
// pause and the end of the lesson, sections with nothing to ask, and the statistics records.

#include "core/exercise/exercise_statistics.h"
#include "core/exercise/note_match.h"
#include "core/exercise/question_generator.h"
#include "core/score_builder.h"
#include "test_trainer.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Core;

namespace {

MidiEvent Key(int note, int velocity = 100)
{
    return MidiEvent{MidiMessage(0x90, 0, quint8(note), quint8(velocity)), 0, -1.0};
}

QVector<MidiEvent> Events(const QList<int>& notes)
{
    QVector<MidiEvent> events;
    for (int n : notes)
        events.append(Key(n));
    return events;
}

Answer Choice(int variant)
{
    Answer answer;
    answer.kind = Answer::Choice;
    answer.variant = variant;
    return answer;
}

// One section of shown questions about three chords.
TestTrainer::SectionSpec ChordSection(int questions = 3, int ms = 10000)
{
    TestTrainer::SectionSpec plan;
    plan.name = QStringLiteral("Chords");
    plan.items = {Item(0, {60, 64, 67}), Item(1, {62, 65, 69}), Item(2, {64, 67, 71}),
                  Item(3, {65, 69, 72}), Item(4, {67, 71, 74}), Item(5, {69, 72, 76})};
    plan.questionCount = questions;
    plan.msPerQuestion = ms;
    return plan;
}

struct Lesson
{
    explicit Lesson(std::vector<TestTrainer::SectionSpec> specs) : trainer(std::move(specs))
    {
        trainer.Attach(static_cast<LessonBaseObserver*>(&recorder));
        trainer.Attach(static_cast<ExerciseObserver*>(&recorder));
    }
    ~Lesson()
    {
        trainer.Detach(static_cast<LessonBaseObserver*>(&recorder));
        trainer.Detach(static_cast<ExerciseObserver*>(&recorder));
    }
    ExerciseRecorder recorder;
    TestTrainer trainer;
};

} // namespace

class TestExercise : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answerMetaType()
    {
        Answer::RegisterMetaType();
        const int id = QMetaType::type("Core::Answer");
        QVERIFY(id != QMetaType::UnknownType);
        Answer answer;
        answer.kind = Answer::Notes;
        answer.notes = Events({60, 64});
        const QVariant v = QVariant::fromValue(answer);
        QCOMPARE(v.userType(), id);
        QCOMPARE(v.value<Answer>().notes.size(), 2);
    }

    void matchNotes_data()
    {
        QTest::addColumn<QList<int>>("expected");
        QTest::addColumn<QList<int>>("played");
        QTest::addColumn<bool>("ordered");
        QTest::addColumn<bool>("pitchClass");
        QTest::addColumn<int>("result");
        const QList<int> ceg{60, 64, 67};
        QTest::newRow("one key of three") << ceg << QList<int>{64} << false << false << -1;
        QTest::newRow("two keys in any order") << ceg << QList<int>{64, 60} << false << false << -1;
        QTest::newRow("all three") << ceg << QList<int>{64, 60, 67} << false << false << 1;
        QTest::newRow("wrong second key") << ceg << QList<int>{60, 61} << false << false << 0;
        QTest::newRow("ordered, wrong first") << ceg << QList<int>{64} << true << false << 0;
        QTest::newRow("ordered, in order") << ceg << QList<int>{60, 64, 67} << true << false << 1;
        QTest::newRow("repeated key") << ceg << QList<int>{60, 60} << false << false << 0;
        QTest::newRow("too many keys") << QList<int>{60} << QList<int>{60, 64} << false << false << 0;
        QTest::newRow("octave wrong without pitch class")
            << QList<int>{60} << QList<int>{72} << false << false << 0;
        QTest::newRow("pitch class") << QList<int>{60} << QList<int>{72} << false << true << 1;
        QTest::newRow("pitch class, other class") << QList<int>{60} << QList<int>{73} << false << true << 0;
        QTest::newRow("nothing played") << ceg << QList<int>{} << false << false << -1;
    }
    void matchNotes()
    {
        QFETCH(QList<int>, expected);
        QFETCH(QList<int>, played);
        QFETCH(bool, ordered);
        QFETCH(bool, pitchClass);
        QVector<MidiEvent> expectedEvents = Events(expected);
        expectedEvents.append(MidiEvent{MidiMessage(0x80, 0, 60, 96), 0, 0.5}); // ignored
        QVector<MidiEvent> playedEvents = Events(played);
        playedEvents.append(Key(50, 0)); // velocity 0 is no played note
        QTEST(MatchNotes(expectedEvents, playedEvents, ordered, pitchClass), "result");
    }

    // The answer view flags each key played (0 right, 1 wrong) and each expected key missing (2);
    // keys count from A0 (MIDI 21). `flagged` lists key, flag, key, flag...
    void answerView_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("modes");
        QTest::addColumn<bool>("interval");
        QTest::addColumn<QList<int>>("expected");
        QTest::addColumn<QList<int>>("played");
        QTest::addColumn<QList<int>>("flagged");
        const int notes = QuestionRecord::NotesMode;
        const int ordered = notes | QuestionRecord::OrderedMode;
        const QList<int> ceg{60, 64, 67};
        QTest::newRow("all right, any order")
            << 5 << notes << false << ceg << QList<int>{67, 60, 64} << QList<int>{46, 0, 39, 0, 43, 0};
        QTest::newRow("one wrong, one missing")
            << 5 << notes << false << ceg << QList<int>{60, 65, 67} << QList<int>{39, 0, 44, 1, 46, 0, 43, 2};
        QTest::newRow("nothing played: all missing")
            << 5 << notes << false << ceg << QList<int>{} << QList<int>{39, 2, 43, 2, 46, 2};
        QTest::newRow("a key matches once only")
            << 5 << notes << false << QList<int>{60} << QList<int>{60, 60} << QList<int>{39, 0, 39, 1};
        QTest::newRow("octave off is wrong by note")
            << 5 << notes << false << QList<int>{60} << QList<int>{72} << QList<int>{51, 1, 39, 2};
        QTest::newRow("chord symbol: by pitch class")
            << 6 << ordered << false << ceg << QList<int>{76, 48, 67} << QList<int>{55, 0, 27, 0, 46, 0};
        QTest::newRow("chord symbol: other class wrong")
            << 6 << notes << false << QList<int>{60} << QList<int>{73} << QList<int>{52, 1, 39, 2};
        QTest::newRow("ordered: out of order is wrong")
            << 5 << ordered << false << ceg << QList<int>{64, 60} << QList<int>{43, 1, 39, 0, 43, 2, 46, 2};
        QTest::newRow("ordered: in order")
            << 5 << ordered << false << ceg << QList<int>{60, 64} << QList<int>{39, 0, 43, 0, 46, 2};
        QTest::newRow("interval: first key right, rest ignored")
            << 5 << notes << true << QList<int>{60, 67} << QList<int>{60, 61} << QList<int>{39, 0};
        QTest::newRow("interval: first key wrong")
            << 5 << notes << true << QList<int>{60, 67} << QList<int>{67, 60} << QList<int>{46, 1, 39, 2};
        QTest::newRow("interval: nothing played")
            << 5 << notes << true << QList<int>{60, 67} << QList<int>{} << QList<int>{39, 2};
    }
    void answerView()
    {
        QFETCH(int, kind);
        QFETCH(int, modes);
        QFETCH(bool, interval);
        QFETCH(QList<int>, expected);
        QFETCH(QList<int>, played);
        QFETCH(QList<int>, flagged);
        TestTrainer trainer({ChordSection(3, 10000)});
        QuestionRecord question;
        question.kind = kind;
        question.answerModes = modes;
        question.candidates = {Item(1, {62}), Item(0, std::vector<int>(expected.begin(), expected.end()))};
        question.correctIndex = 1;
        Answer answer;
        answer.kind = Answer::Notes;
        answer.notes = Events(played);
        answer.notes.append(Key(50, 0)); // velocity 0 is no played note

        for (bool treble : {true, false}) {
            for (bool flat : {false, true}) {
                QVector<QPair<int, int>> keys{{0, 0}}; // replaced, not appended to
                const QByteArray text = trainer.AnswerView(question, answer, treble, flat, interval, keys);
                QList<int> got;
                for (const auto& k : keys)
                    got << k.first << k.second;
                QCOMPARE(got, flagged);
                QCOMPARE(text, ScoreBuilder::WriteAnswer(keys, treble, flat));
                QVERIFY(!text.isEmpty());
            }
        }
    }

    // A question without an asked item or an answer that is no notes shows only what was played.
    void answerViewWithoutNotes()
    {
        TestTrainer trainer({ChordSection(3, 10000)});
        QuestionRecord question;
        question.answerModes = QuestionRecord::NotesMode;
        Answer answer;
        answer.kind = Answer::Notes;
        answer.notes = Events({60});
        QVector<QPair<int, int>> keys;
        trainer.AnswerView(question, answer, true, false, false, keys);
        QCOMPARE(keys, (QVector<QPair<int, int>>{{39, 1}}));

        question.candidates = {Item(0, {60})};
        answer.kind = Answer::Choice;
        const QByteArray text = trainer.AnswerView(question, answer, true, false, false, keys);
        QCOMPARE(keys, (QVector<QPair<int, int>>{{39, 2}}));
        QCOMPARE(text, ScoreBuilder::WriteAnswer(keys, true, false));
    }

    void ticksPerQuestion_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("ms");
        QTest::addColumn<int>("ticks");
        QTest::newRow("10 s") << 20 << 10000 << 4000;
        QTest::newRow("no limit") << 20 << 0 << 200;
        QTest::newRow("remainder dropped") << 3 << 1049 << 60;
        QTest::newRow("no questions") << 0 << 10000 << 0;
    }
    void ticksPerQuestion()
    {
        QFETCH(int, questions);
        QFETCH(int, ms);
        Lesson lesson({ChordSection(questions, ms), ChordSection(2, 5000)});
        auto timeline = lesson.trainer.GetTimeLine();
        QTEST(timeline->SegmentDuration(0), "ticks");
        QCOMPARE(timeline->SegmentDuration(1), 200);
        QCOMPARE(timeline->SegmentCount(), 2);
        QCOMPARE(int(timeline->Interval()), 50);
        QCOMPARE(lesson.trainer.GetState(), int(Exercise::BetweenQuestions));
    }

    // An answer after a few ticks skips the rest of the question's ticks: the lesson still has
    // room for exactly its number of questions.
    void earlyAnswerKeepsQuestionCount()
    {
        Lesson lesson({ChordSection(3, 10000)});
        auto& trainer = lesson.trainer;
        auto timeline = trainer.GetTimeLine();
        trainer.Start();
        trainer.Next();
        QCOMPARE(trainer.GetState(), int(Exercise::AwaitingAnswer));
        QCOMPARE(timeline->State(), int(TimeLineRunning));
        QTRY_VERIFY_WITH_TIMEOUT(timeline->Position() >= 3, 3000);
        const QuestionRecord question = trainer.GetCurrentQuestion();
        QCOMPARE(int(question.candidates.size()), 6);
        trainer.Judge(Choice(question.correctIndex));
        QCOMPARE(timeline->Position(), 200);
        QCOMPARE(timeline->State(), int(TimeLineStopped));
        QCOMPARE(trainer.GetState(), int(Exercise::BetweenQuestions));
        const auto counters = trainer.GetCounters();
        QCOMPARE(counters.asked, 1);
        QCOMPARE(counters.answered, 1);
        QCOMPARE(counters.correct, 1);
        QCOMPARE(counters.sectionQuestionCount, 3);
        QCOMPARE(lesson.recorder.JudgedCount(), 1);
        QVERIFY(lesson.recorder.JudgedAnswers().at(0).correct);

        // A wrong choice, then an answer outside states 2 and 3 is ignored.
        trainer.Next();
        const QuestionRecord second = trainer.GetCurrentQuestion();
        trainer.Judge(Choice((second.correctIndex + 1) % 6));
        QCOMPARE(timeline->Position(), 400);
        trainer.Judge(Choice(second.correctIndex));
        QCOMPARE(trainer.GetCounters().answered, 2);
        QCOMPARE(trainer.GetCounters().correct, 1);
        QCOMPARE(trainer.GetAnswers(0).size(), size_t(2));
    }

    // The question's time runs out while the answer is awaited: judged wrong with an empty
    // answer, notified and recorded; the last question's time-out ends the lesson.
    void timeOutJudgedWrongAndRecorded()
    {
        QTemporaryDir dir;
        auto statistics =
            std::make_shared<ExerciseStatistics>(dir.filePath("stats.xml"), dir.filePath("statsLocal.xml"));
        Lesson lesson({ChordSection(2, 1000)});
        auto& trainer = lesson.trainer;
        trainer.Initialize(statistics, 1);
        trainer.Start();
        trainer.Next();
        const int key = trainer.GetCurrentQuestion().AskedItem()->statisticsKey;
        QTRY_COMPARE_WITH_TIMEOUT(lesson.recorder.JudgedCount(), 1, 5000);
        const auto judged = lesson.recorder.JudgedAnswers().at(0);
        QVERIFY(!judged.correct);
        QCOMPARE(judged.answer.kind, int(Answer::NoAnswer));
        QTRY_COMPARE(trainer.GetState(), int(Exercise::BetweenQuestions));
        QCOMPARE(trainer.GetTimeLine()->Position(), 20);
        std::vector<StatisticsRecord> records;
        statistics->GetLocalSectionRecords(1, 0, records);
        QCOMPARE(int(records.size()), 1);
        QCOMPARE(records[0].id, key);
        QCOMPARE(records[0].wrong, 1);
        QCOMPARE(records[0].correct, 0);

        // The second and last question times out at the end of the timeline.
        trainer.Next();
        QTRY_COMPARE_WITH_TIMEOUT(trainer.GetState(), int(Exercise::LessonEnd), 5000);
        QCOMPARE(lesson.recorder.JudgedCount(), 2);
        QCOMPARE(trainer.GetPlayState(), int(LessonBase::Stopped));
        QCOMPARE(trainer.GetCounters().answered, 2);

        // Pause does nothing at the end of the lesson.
        QVERIFY(!trainer.Pause(true));
        QCOMPARE(trainer.GetPlayState(), int(LessonBase::Stopped));
        QCOMPARE(trainer.GetState(), int(Exercise::LessonEnd));

        // Reset starts over from the first section.
        trainer.Reset();
        QCOMPARE(trainer.GetState(), int(Exercise::BetweenQuestions));
        QCOMPARE(trainer.GetCounters().asked, 0);
        QCOMPARE(trainer.GetTimeLine()->SegmentDuration(0), 40);
    }

    // Keys on a sounded question (kind 3): nothing is judged while it sounds; afterwards a chord
    // may be played key by key; a wrong key is wrong at once; velocity 0 only releases.
    void chordKeyByKey()
    {
        TestTrainer::SectionSpec plan = ChordSection(4, 10000);
        plan.kind = QuestionRecord::NoteReadingQuestion;
        plan.items = {Item(0, {60, 64, 67}, 0.3), Item(1, {62, 65, 69}, 0.3)};
        Lesson lesson({plan});
        auto& trainer = lesson.trainer;
        trainer.Start();
        trainer.Next();
        QCOMPARE(trainer.GetState(), int(Exercise::Presenting));
        const QuestionRecord question = trainer.GetCurrentQuestion();
        const MidiStream& expected = *question.AskedItem()->stream;
        QVector<int> notes;
        for (const MidiEvent& e : expected)
            if (e.message.IsNoteOn())
                notes.append(e.message.byte1);
        // A key while the question sounds: neither judged nor notified.
        trainer.HandleInputEvent(Key(notes[0]));
        QVERIFY(lesson.recorder.Notes().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(trainer.GetState(), int(Exercise::AwaitingAnswer), 3000);
        QCOMPARE(trainer.GetTimeLine()->State(), int(TimeLineRunning));

        trainer.HandleInputEvent(Key(notes[1]));
        trainer.HandleInputEvent(Key(notes[0], 0)); // velocity 0: a release, not a key
        trainer.HandleInputEvent(Key(notes[0]));
        QCOMPARE(lesson.recorder.JudgedCount(), 0);
        QCOMPARE(trainer.GetState(), int(Exercise::AwaitingAnswer));
        QCOMPARE(lesson.recorder.Notes(), (QVector<int>{notes[1], -notes[0], notes[0]}));
        trainer.HandleInputEvent(Key(notes[2]));
        QCOMPARE(lesson.recorder.JudgedCount(), 1);
        QVERIFY(lesson.recorder.JudgedAnswers().at(0).correct);
        QCOMPARE(lesson.recorder.JudgedAnswers().at(0).answer.notes.size(), 3);
        QCOMPARE(trainer.GetState(), int(Exercise::BetweenQuestions));

        // Next question: a wrong second key is judged at once.
        trainer.Next();
        QTRY_COMPARE_WITH_TIMEOUT(trainer.GetState(), int(Exercise::AwaitingAnswer), 3000);
        const MidiStream& next = *trainer.GetCurrentQuestion().AskedItem()->stream;
        const int first = next.at(0).message.byte1;
        trainer.HandleInputEvent(Key(first));
        trainer.HandleInputEvent(Key(first + 1));
        QCOMPARE(lesson.recorder.JudgedCount(), 2);
        QVERIFY(!lesson.recorder.JudgedAnswers().at(1).correct);
        QCOMPARE(trainer.GetCounters().correct, 1);
        QCOMPARE(trainer.GetCounters().answered, 2);
    }

    void orderedAndPitchClassQuestions_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("modes");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("judged");
        QTest::addColumn<bool>("correct");
        const int notes = QuestionRecord::NotesMode;
        const int ordered = notes | QuestionRecord::OrderedMode;
        QTest::newRow("unordered, any order") << 5 << notes << QList<int>{67, 60, 64} << 1 << true;
        QTest::newRow("ordered, out of order") << 5 << ordered << QList<int>{64} << 1 << false;
        QTest::newRow("ordered, in order") << 5 << ordered << QList<int>{60, 64, 67} << 1 << true;
        QTest::newRow("chord symbol: octaves free, order free")
            << 6 << ordered << QList<int>{76, 48, 67} << 1 << true;
        QTest::newRow("modes 0: nothing is right") << 5 << 0 << QList<int>{60} << 1 << false;
    }
    void orderedAndPitchClassQuestions()
    {
        QFETCH(int, kind);
        QFETCH(int, modes);
        QFETCH(QList<int>, keys);
        TestTrainer::SectionSpec plan = ChordSection(3, 10000);
        plan.kind = kind;
        plan.answerModes = modes;
        plan.items = {Item(0, {60, 64, 67}), Item(1, {61}), Item(2, {62}),
                      Item(3, {63}),         Item(4, {65}), Item(5, {66})};
        plan.valid = [](unsigned id) { return id == 0; };
        Lesson lesson({plan});
        lesson.trainer.Start();
        lesson.trainer.Next();
        QTRY_COMPARE_WITH_TIMEOUT(lesson.trainer.GetState(), int(Exercise::AwaitingAnswer), 3000);
        for (int key : keys)
            lesson.trainer.HandleInputEvent(Key(key));
        QTEST(lesson.recorder.JudgedCount(), "judged");
        QTEST(lesson.recorder.JudgedAnswers().at(0).correct, "correct");
    }

    // An interval picked on the screen is compared with the size of the interval asked.
    void intervalAnswerBySize_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("correct");
        QTest::newRow("major third") << 4 << true;
        QTest::newRow("minor third") << 3 << false;
        QTest::newRow("unison") << 0 << false;
    }
    void intervalAnswerBySize()
    {
        QFETCH(int, value);
        TestTrainer::SectionSpec plan = ChordSection(3, 10000);
        plan.items = {Item(0, {60, 64}, 0.5), Item(1, {60, 61}, 0.5), Item(2, {60, 62}, 0.5),
                      Item(3, {60, 63}, 0.5), Item(4, {60, 65}, 0.5), Item(5, {60, 66}, 0.5)};
        plan.valid = [](unsigned id) { return id == 0; };
        Lesson lesson({plan});
        lesson.trainer.Start();
        lesson.trainer.Next();
        Answer answer;
        answer.kind = Answer::Interval;
        answer.value = value;
        lesson.trainer.Judge(answer);
        QCOMPARE(lesson.recorder.JudgedCount(), 1);
        QTEST(lesson.recorder.JudgedAnswers().at(0).correct, "correct");
    }

    // A section whose settings permit nothing is skipped as if it had no questions: no draw
    // loops, no section change is announced for it, nothing is counted.
    void sectionWithNothingToAskIsSkipped()
    {
        TestTrainer::SectionSpec empty = ChordSection(3, 10000);
        empty.name = QStringLiteral("Nothing");
        empty.valid = [](unsigned) { return false; };
        TestTrainer::SectionSpec none = ChordSection(0, 10000);
        none.name = QStringLiteral("No questions");
        Lesson lesson({empty, none, ChordSection(2, 10000)});
        auto& trainer = lesson.trainer;
        trainer.Start();
        trainer.Next();
        QCOMPARE(trainer.GetCurrentSection(), 2);
        QCOMPARE(lesson.recorder.Sections(), QVector<int>{2});
        QCOMPARE(trainer.GetState(), int(Exercise::AwaitingAnswer));
        QVERIFY(trainer.GetTimeLine()->Position() >= 600 && trainer.GetTimeLine()->Position() < 800);
        QCOMPARE(trainer.GetCounters().asked, 1);
        QCOMPARE(trainer.GetCounters().sectionAsked, 1);
    }

    void lessonWithNothingToAskEnds()
    {
        TestTrainer::SectionSpec empty = ChordSection(3, 10000);
        empty.valid = [](unsigned) { return false; };
        Lesson lesson({empty, empty});
        auto& trainer = lesson.trainer;
        trainer.Start();
        trainer.Next();
        QCOMPARE(trainer.GetState(), int(Exercise::NotStarted));
        QCOMPARE(trainer.GetPlayState(), int(LessonBase::Stopped));
        QVERIFY(lesson.recorder.Sections().isEmpty());
        QVERIFY(lesson.recorder.JudgedAnswers().isEmpty());
        QCOMPARE(trainer.GetCounters().asked, 0);
    }

    // Sections follow each other; the last answer of the last section ends the lesson.
    void sectionsInTurn()
    {
        Lesson lesson({ChordSection(2, 10000), ChordSection(1, 0)});
        auto& trainer = lesson.trainer;
        trainer.Start();
        for (int i = 0; i < 2; ++i) {
            trainer.Next();
            QCOMPARE(trainer.GetCurrentSection(), 0);
            trainer.Judge(Choice(trainer.GetCurrentQuestion().correctIndex));
        }
        trainer.Next();
        QCOMPARE(trainer.GetCurrentSection(), 1);
        QCOMPARE(lesson.recorder.Sections(), QVector<int>{1});
        QCOMPARE(trainer.GetCounters().sectionQuestionCount, 1);
        QCOMPARE(trainer.GetTimeLine()->State(), int(TimeLineStopped)); // no limit: waits
        trainer.Judge(Choice(trainer.GetCurrentQuestion().correctIndex));
        // Without a time limit the clock runs ten ticks after the answer, to the end.
        QTRY_COMPARE_WITH_TIMEOUT(trainer.GetState(), int(Exercise::LessonEnd), 3000);
        QCOMPARE(trainer.GetCounters().correct, 3);
    }

    // Seeking into another section stops there and starts again when the lesson was running;
    // pause holds the clock.
    void seekAndPause()
    {
        Lesson lesson({ChordSection(3, 10000), ChordSection(3, 10000)});
        auto& trainer = lesson.trainer;
        auto timeline = trainer.GetTimeLine();
        trainer.Start();
        trainer.Next();
        QVERIFY(trainer.Pause(true));
        QCOMPARE(trainer.GetPlayState(), int(LessonBase::Paused));
        QCOMPARE(timeline->State(), int(TimeLinePaused));
        QVERIFY(!trainer.Pause(true));
        QVERIFY(trainer.Pause(false));
        QCOMPARE(timeline->State(), int(TimeLineRunning));

        trainer.Seek(700);
        QCOMPARE(trainer.GetCurrentSection(), 1);
        QCOMPARE(lesson.recorder.Sections(), QVector<int>{1});
        QCOMPARE(timeline->Position(), 800); // on to the next question boundary
        QCOMPARE(trainer.GetState(), int(Exercise::BetweenQuestions));
        QCOMPARE(trainer.GetPlayState(), int(LessonBase::Running));
        trainer.Next();
        QCOMPARE(trainer.GetCurrentSection(), 1);
        QCOMPARE(trainer.GetState(), int(Exercise::AwaitingAnswer));

        trainer.JumpToSection(0);
        QCOMPARE(trainer.GetCurrentSection(), 0);
        QCOMPARE(timeline->Position(), 0);
    }

    void drawWeights_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("weight");
        QTest::newRow("5 wrong, 1 right") << 1 << 5 << 200;
        QTest::newRow("10 right, 1 wrong") << 10 << 1 << 50;
        QTest::newRow("right once") << 1 << 0 << 50;
        QTest::newRow("even") << 3 << 3 << 100;
        QTest::newRow("wrong only") << 0 << 2 << 200;
        QTest::newRow("record without answers") << 0 << 0 << 100;
    }
    void drawWeights()
    {
        QFETCH(int, right);
        QFETCH(int, wrong);
        StatisticsRecord record;
        record.correct = right;
        record.wrong = wrong;
        QTEST(QuestionGenerator::Weight(&record), "weight");
        QCOMPARE(QuestionGenerator::Weight(nullptr), 100);
    }
};

QTEST_GUILESS_MAIN(TestExercise)
#include "test_exercise.moc"

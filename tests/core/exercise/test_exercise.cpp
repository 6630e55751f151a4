// The lesson loop on its own, driven through a small trainer: the timeline layout, questions
// asked and judged, the question clock and its time-outs, answers by key and their matching,
// pause and the end of the lesson, sections with nothing to ask, and the statistics records.

#include "core/exercise/exercise_statistics.h"
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
    // Keys played on a question of a kind and answer modes: not judged until the answer is
    // complete (-1), judged wrong at the first wrong key (0), right when complete (1). Velocity
    // 0 only releases a key.
    void keysPlayedAreJudged_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("modes");
        QTest::addColumn<QList<int>>("expected");
        QTest::addColumn<QList<int>>("played");
        QTest::addColumn<int>("result");
        const int shown = QuestionRecord::SymbolQuestion, symbol = QuestionRecord::ChordSymbolQuestion;
        const int notes = QuestionRecord::NotesMode, ordered = notes | QuestionRecord::OrderedMode;
        const QList<int> ceg{60, 64, 67};
        QTest::newRow("one key of three") << shown << notes << ceg << QList<int>{64} << -1;
        QTest::newRow("two keys in any order") << shown << notes << ceg << QList<int>{64, 60} << -1;
        QTest::newRow("all three in any order") << shown << notes << ceg << QList<int>{67, 60, 64} << 1;
        QTest::newRow("wrong second key") << shown << notes << ceg << QList<int>{60, 61} << 0;
        QTest::newRow("repeated key") << shown << notes << ceg << QList<int>{60, 60} << 0;
        QTest::newRow("ordered, wrong first") << shown << ordered << ceg << QList<int>{64} << 0;
        QTest::newRow("ordered, in order") << shown << ordered << ceg << QList<int>{60, 64, 67} << 1;
        QTest::newRow("octave off") << shown << notes << QList<int>{60} << QList<int>{72} << 0;
        QTest::newRow("chord symbol: octaves and order free")
            << symbol << ordered << ceg << QList<int>{76, 48, 67} << 1;
        QTest::newRow("chord symbol: other pitch class")
            << symbol << notes << QList<int>{60} << QList<int>{73} << 0;
        QTest::newRow("modes 0: nothing is right") << shown << 0 << QList<int>{60} << QList<int>{60} << 0;
    }
    void keysPlayedAreJudged()
    {
        QFETCH(QList<int>, expected);
        QFETCH(QList<int>, played);
        QFETCH(int, result);
        TestTrainer::SectionSpec plan = ChordSection(3, 10000);
        QFETCH(int, kind);
        QFETCH(int, modes);
        plan.kind = kind;
        plan.answerModes = modes;
        plan.items[0] = Item(0, std::vector<int>(expected.begin(), expected.end()));
        plan.valid = [](unsigned id) { return id == 0; };
        Lesson lesson({plan});
        lesson.trainer.Start();
        lesson.trainer.Next();
        QTRY_COMPARE_WITH_TIMEOUT(lesson.trainer.GetState(), int(Exercise::AwaitingAnswer), 3000);
        for (int key : played) {
            lesson.trainer.HandleInputEvent(Key(key));
            lesson.trainer.HandleInputEvent(Key(key, 0));
        }
        QCOMPARE(lesson.recorder.JudgedCount(), result < 0 ? 0 : 1);
        if (result >= 0)
            QCOMPARE(lesson.recorder.JudgedAnswers().at(0).correct, result == 1);
    }

    // The answer view flags each key played (0 right, 1 wrong) and each expected key missing (2);
    // keys count from A0 (MIDI 21). `flagged` lists key, flag, key, flag...
    void answerViewFlagsEachKey_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("modes");
        QTest::addColumn<bool>("interval");
        QTest::addColumn<QList<int>>("expected"); // none: no asked item
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
        QTest::newRow("no asked item: every key wrong")
            << 5 << notes << false << QList<int>{} << QList<int>{60} << QList<int>{39, 1};
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
    void answerViewFlagsEachKey()
    {
        QFETCH(int, kind);
        QFETCH(int, modes);
        QFETCH(bool, interval);
        QFETCH(QList<int>, expected);
        QFETCH(QList<int>, played);
        TestTrainer trainer({ChordSection(3, 10000)});
        QuestionRecord question;
        question.kind = kind;
        question.answerModes = modes;
        if (!expected.isEmpty()) {
            question.candidates = {Item(1, {62}),
                                   Item(0, std::vector<int>(expected.begin(), expected.end()))};
            question.correctIndex = 1;
        }
        Answer answer;
        answer.kind = Answer::Notes;
        answer.notes = Events(played);
        answer.notes.append(Key(50, 0)); // velocity 0 is no played note
        for (int look = 0; look < 4; ++look) {
            const bool treble = look & 1, flat = look & 2;
            QVector<QPair<int, int>> keys{{0, 0}}; // replaced, not appended to
            const QByteArray text = trainer.AnswerView(question, answer, treble, flat, interval, keys);
            QList<int> got;
            for (const auto& k : keys)
                got << k.first << k.second;
            QTEST(got, "flagged");
            QCOMPARE(text, ScoreBuilder::WriteAnswer(keys, treble, flat));
        }
    }

    // The timeline gives each section its questions times the ticks of a question's time (ten
    // ticks without a time limit), the remainder of a tick dropped.
    void sectionLengthFollowsQuestionTime_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("ms");
        QTest::addColumn<int>("ticks");
        QTest::newRow("10 s") << 20 << 10000 << 4000;
        QTest::newRow("no limit") << 20 << 0 << 200;
        QTest::newRow("remainder dropped") << 3 << 1049 << 60;
        QTest::newRow("no questions") << 0 << 10000 << 0;
    }
    void sectionLengthFollowsQuestionTime()
    {
        QFETCH(int, questions);
        QFETCH(int, ms);
        Lesson lesson({ChordSection(questions, ms), ChordSection(2, 5000)});
        auto timeline = lesson.trainer.GetTimeLine();
        QCOMPARE(timeline->SegmentCount(), 2);
        QTEST(timeline->SegmentDuration(0), "ticks");
        QCOMPARE(timeline->SegmentDuration(1), 200);
    }

    // An answer skips the rest of its question's ticks, so the lesson keeps room for exactly its
    // questions; an answer between questions is ignored.
    void answerSkipsTheRestOfTheQuestionTime()
    {
        Lesson lesson({ChordSection(3, 10000)});
        auto& trainer = lesson.trainer;
        trainer.Start();
        trainer.Next();
        QTRY_VERIFY_WITH_TIMEOUT(trainer.GetTimeLine()->Position() >= 3, 3000);
        const int right = trainer.GetCurrentQuestion().correctIndex;
        trainer.Judge(Choice((right + 1) % 6));
        QCOMPARE(trainer.GetTimeLine()->Position(), 200);
        QCOMPARE(trainer.GetTimeLine()->State(), int(TimeLineStopped));
        QCOMPARE(trainer.GetState(), int(Exercise::BetweenQuestions));
        trainer.Judge(Choice(right));
        QCOMPARE(lesson.recorder.JudgedCount(), 1);
        const auto c = trainer.GetCounters();
        QCOMPARE(std::make_tuple(c.asked, c.answered, c.correct, c.sectionQuestionCount),
                 std::make_tuple(1, 1, 0, 3));
    }

    // The last question's time runs out: judged wrong with no answer, recorded, and the lesson
    // ends, where pause does nothing and reset starts over.
    void timeOutJudgedWrongAndRecorded()
    {
        QTemporaryDir dir;
        auto statistics =
            std::make_shared<ExerciseStatistics>(dir.filePath("stats.xml"), dir.filePath("statsLocal.xml"));
        Lesson lesson({ChordSection(1, 1000)});
        auto& trainer = lesson.trainer;
        trainer.Initialize(statistics, 1);
        trainer.Start();
        trainer.Next();
        const int key = trainer.GetCurrentQuestion().AskedItem()->statisticsKey;
        QTRY_COMPARE_WITH_TIMEOUT(trainer.GetState(), int(Exercise::LessonEnd), 5000);
        QCOMPARE(lesson.recorder.JudgedCount(), 1);
        QVERIFY(!lesson.recorder.JudgedAnswers().at(0).correct);
        QCOMPARE(lesson.recorder.JudgedAnswers().at(0).answer.kind, int(Answer::NoAnswer));
        std::vector<StatisticsRecord> records;
        statistics->GetLocalSectionRecords(1, 0, records);
        QCOMPARE(records, (std::vector<StatisticsRecord>{{key, 1, 0, 0, 1}}));
        QVERIFY(!trainer.Pause(true));
        QCOMPARE(trainer.GetPlayState(), int(LessonBase::Stopped));

        trainer.Reset();
        QCOMPARE(trainer.GetState(), int(Exercise::BetweenQuestions));
        QCOMPARE(trainer.GetCounters().asked, 0);
        QCOMPARE(trainer.GetTimeLine()->SegmentDuration(0), 20);
    }

    // A sounded question (kind 3) takes no keys while it sounds; then every press and release
    // reaches the screen, and a chord may be played key by key.
    void soundedQuestionTakesKeysOnceSounded()
    {
        TestTrainer::SectionSpec plan = ChordSection(4, 10000);
        plan.kind = QuestionRecord::NoteReadingQuestion;
        plan.items = {Item(0, {60, 64, 67}, 0.3), Item(1, {62, 65, 69}, 0.3)};
        Lesson lesson({plan});
        auto& trainer = lesson.trainer;
        trainer.Start();
        trainer.Next();
        QCOMPARE(trainer.GetState(), int(Exercise::Presenting));
        QVector<int> notes;
        for (const MidiEvent& e : *trainer.GetCurrentQuestion().AskedItem()->stream)
            if (e.message.IsNoteOn())
                notes.append(e.message.byte1);
        trainer.HandleInputEvent(Key(notes[0]));
        QVERIFY(lesson.recorder.Notes().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(trainer.GetState(), int(Exercise::AwaitingAnswer), 3000);

        trainer.HandleInputEvent(Key(notes[1]));
        trainer.HandleInputEvent(Key(notes[0], 0));
        trainer.HandleInputEvent(Key(notes[0]));
        QCOMPARE(lesson.recorder.JudgedCount(), 0);
        QCOMPARE(lesson.recorder.Notes(), (QVector<int>{notes[1], -notes[0], notes[0]}));
        trainer.HandleInputEvent(Key(notes[2]));
        QCOMPARE(lesson.recorder.JudgedCount(), 1);
        QVERIFY(lesson.recorder.JudgedAnswers().at(0).correct);
        QCOMPARE(lesson.recorder.JudgedAnswers().at(0).answer.notes.size(), 3);
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
        empty.valid = [](unsigned) { return false; };
        Lesson lesson({empty, ChordSection(0, 10000), ChordSection(2, 10000)});
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
        lesson.trainer.Start();
        lesson.trainer.Next();
        QCOMPARE(lesson.trainer.GetState(), int(Exercise::NotStarted));
        QCOMPARE(lesson.trainer.GetPlayState(), int(LessonBase::Stopped));
        QVERIFY(lesson.recorder.Sections().isEmpty());
        QCOMPARE(lesson.trainer.GetCounters().asked, 0);
    }

    // A section without a time limit holds the clock until the answer, then runs its ten ticks
    // to the end of the lesson.
    void untimedSectionWaitsForTheAnswer()
    {
        Lesson lesson({ChordSection(1, 10000), ChordSection(1, 0)});
        auto& trainer = lesson.trainer;
        trainer.Start();
        trainer.Next();
        trainer.Judge(Choice(trainer.GetCurrentQuestion().correctIndex));
        trainer.Next();
        QCOMPARE(trainer.GetCurrentSection(), 1);
        QCOMPARE(trainer.GetTimeLine()->State(), int(TimeLineStopped));
        trainer.Judge(Choice(trainer.GetCurrentQuestion().correctIndex));
        QTRY_COMPARE_WITH_TIMEOUT(trainer.GetState(), int(Exercise::LessonEnd), 3000);
        QCOMPARE(trainer.GetCounters().correct, 2);
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

    // An item's weight in the draw: wrong answers per right one, kept between half and twice
    // the weight of an item never asked.
    void drawWeightOfAnItem_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("weight");
        QTest::newRow("twice as often wrong: the ceiling") << 1 << 2 << 200;
        QTest::newRow("past the ceiling") << 1 << 5 << 200;
        QTest::newRow("twice as often right: the floor") << 2 << 1 << 50;
        QTest::newRow("past the floor") << 10 << 1 << 50;
        QTest::newRow("even") << 3 << 3 << 100;
        QTest::newRow("wrong only") << 0 << 2 << 200;
        QTest::newRow("record without answers") << 0 << 0 << 100;
    }
    void drawWeightOfAnItem()
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

// The lesson loop on its own, driven through a small trainer: the timeline layout, questions
// asked and judged, the question clock and its time-outs, answers by key and their matching,
// pause and the end of the lesson, sections with nothing to ask, and the weight of an item in the
// draw.

#include "core/exercise/question_generator.h"
#include "core/score_builder.h"
#include "test_trainer.h"

#include <QtTest>

using namespace Core;

namespace {

MidiEvent Key(int note, int velocity = 100)
{
    return MidiEvent{MidiMessage(0x90, 0, quint8(note), quint8(velocity)), 0, -1.0};
}

Answer Choice(int variant)
{
    Answer answer;
    answer.kind = Answer::Choice;
    answer.variant = variant;
    return answer;
}

// One section of shown questions about six chords.
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
    // Starts the lesson and asks its first question.
    TestTrainer& Begin()
    {
        trainer.Start();
        trainer.Next();
        return trainer;
    }
    ExerciseRecorder recorder;
    TestTrainer trainer;
};

} // namespace

class TestExercise : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Keys played on a question are judged (-1: not yet, the answer is incomplete; 0: wrong at the
    // first wrong key; 1: right once complete; velocity 0 only releases a key) and flagged in the
    // answer view at every clef and spelling: key from A0, then 0 right, 1 wrong, 2 missing.
    void keysAreJudgedAndFlagged_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("modes");
        QTest::addColumn<bool>("interval");       // the view compares the first key only
        QTest::addColumn<QList<int>>("expected"); // none: no asked item, nothing to judge
        QTest::addColumn<QList<int>>("played");
        QTest::addColumn<int>("judged");
        QTest::addColumn<QList<int>>("flagged");
        const int shown = QuestionRecord::SymbolQuestion, symbol = QuestionRecord::ChordSymbolQuestion;
        const int notes = QuestionRecord::NotesMode, ordered = notes | QuestionRecord::OrderedMode;
        const QList<int> ceg{60, 64, 67}, c{60}, cg{60, 67};
        auto row = [&](const char* name, int kind, int modes, bool interval, const QList<int>& expected,
                       const QList<int>& played, int judged, const QList<int>& flagged) {
            QTest::newRow(name) << kind << modes << interval << expected << played << judged << flagged;
        };
        row("one key of three", shown, notes, false, ceg, {64}, -1, {43, 0, 39, 2, 46, 2});
        row("all three in any order", shown, notes, false, ceg, {67, 60, 64}, 1, {46, 0, 39, 0, 43, 0});
        row("one wrong, one missing", shown, notes, false, ceg, {60, 65, 67}, 0,
            {39, 0, 44, 1, 46, 0, 43, 2});
        row("nothing played", shown, notes, false, ceg, {}, -1, {39, 2, 43, 2, 46, 2});
        row("a key matches once only", shown, notes, false, ceg, {60, 60}, 0, {39, 0, 39, 1, 43, 2, 46, 2});
        row("octave off", shown, notes, false, c, {72}, 0, {51, 1, 39, 2});
        row("ordered, out of order", shown, ordered, false, ceg, {64, 60}, 0, {43, 1, 39, 0, 43, 2, 46, 2});
        row("ordered, in order", shown, ordered, false, ceg, {60, 64, 67}, 1, {39, 0, 43, 0, 46, 0});
        row("chord symbol: octaves and order free", symbol, ordered, false, ceg, {76, 48, 67}, 1,
            {55, 0, 27, 0, 46, 0});
        row("chord symbol: other pitch class", symbol, notes, false, c, {73}, 0, {52, 1, 39, 2});
        row("no notes mode: nothing is right", shown, 0, false, c, {60}, 0, {39, 0});
        row("no asked item: every key wrong", shown, notes, false, {}, {60}, -1, {39, 1});
        row("interval: first key right, rest ignored", shown, notes, true, cg, {60, 61}, 0, {39, 0});
        row("interval: first key wrong", shown, notes, true, cg, {67, 60}, 1, {46, 1, 39, 2});
        row("interval: nothing played", shown, notes, true, cg, {}, -1, {39, 2});
    }
    void keysAreJudgedAndFlagged()
    {
        QFETCH(int, kind);
        QFETCH(int, modes);
        QFETCH(bool, interval);
        QFETCH(QList<int>, expected);
        QFETCH(QList<int>, played);
        QFETCH(int, judged);
        TestTrainer::SectionSpec plan = ChordSection();
        plan.kind = kind;
        plan.answerModes = modes;
        plan.items[0] = Item(0, std::vector<int>(expected.begin(), expected.end()));
        plan.valid = [](unsigned id) { return id == 0; };
        if (!expected.isEmpty()) {
            Lesson lesson({plan});
            lesson.Begin();
            QTRY_COMPARE_WITH_TIMEOUT(lesson.trainer.GetState(), int(Exercise::AwaitingAnswer), 3000);
            for (int key : played) {
                lesson.trainer.HandleInputEvent(Key(key));
                lesson.trainer.HandleInputEvent(Key(key, 0));
            }
            const auto answers = lesson.recorder.JudgedAnswers();
            QCOMPARE(answers.size(), judged < 0 ? 0 : 1);
            QVERIFY(judged < 0 || answers[0].correct == (judged == 1));
        }
        TestTrainer trainer({plan});
        QuestionRecord question;
        question.kind = kind;
        question.answerModes = modes;
        if (!expected.isEmpty()) {
            question.candidates = {Item(1, {62}), plan.items[0]};
            question.correctIndex = 1;
        }
        Answer answer;
        answer.kind = Answer::Notes;
        for (int key : played)
            answer.notes.append(Key(key));
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
        Lesson lesson({ChordSection()});
        TestTrainer& trainer = lesson.Begin();
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

    // The last question's time runs out: judged wrong with no answer, and the lesson ends, where
    // pause does nothing and reset starts over. (Its statistics record: test_whole_lessons.)
    void lastTimeOutEndsTheLessonAndResetStartsOver()
    {
        Lesson lesson({ChordSection(1, 1000)});
        TestTrainer& trainer = lesson.Begin();
        QTRY_COMPARE_WITH_TIMEOUT(trainer.GetState(), int(Exercise::LessonEnd), 5000);
        QCOMPARE(lesson.recorder.JudgedCount(), 1);
        QVERIFY(!lesson.recorder.JudgedAnswers().at(0).correct);
        QCOMPARE(lesson.recorder.JudgedAnswers().at(0).answer.kind, int(Answer::NoAnswer));
        QVERIFY(!trainer.Pause(true));
        QCOMPARE(trainer.GetPlayState(), int(LessonBase::Stopped));
        trainer.Reset();
        QCOMPARE(trainer.GetState(), int(Exercise::BetweenQuestions));
        QCOMPARE(trainer.GetCounters().asked, 0);
        QCOMPARE(trainer.GetTimeLine()->SegmentDuration(0), 20);
    }

    // A sounded question takes no keys while it sounds; then a press reaches the screen, and so
    // does a note-on of velocity 0 as a release, without judging a chord not yet complete. (Keys
    // from a real port answering it: test_exercise_midi.)
    void soundedQuestionTakesKeysOnceSounded()
    {
        TestTrainer::SectionSpec plan = ChordSection(4);
        plan.kind = QuestionRecord::NoteReadingQuestion;
        plan.items = {Item(0, {60, 64, 67}, 0.3), Item(1, {62, 65, 69}, 0.3)};
        Lesson lesson({plan});
        TestTrainer& trainer = lesson.Begin();
        QCOMPARE(trainer.GetState(), int(Exercise::Presenting));
        const int first = trainer.GetCurrentQuestion().AskedItem()->stream->first().message.byte1;
        trainer.HandleInputEvent(Key(first));
        QVERIFY(lesson.recorder.Notes().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(trainer.GetState(), int(Exercise::AwaitingAnswer), 3000);
        trainer.HandleInputEvent(Key(first));
        trainer.HandleInputEvent(Key(first, 0));
        QCOMPARE(lesson.recorder.Notes(), (QVector<int>{first, -first}));
        QCOMPARE(lesson.recorder.JudgedCount(), 0);
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
        TestTrainer::SectionSpec plan = ChordSection();
        for (int i = 0; i < 6; ++i) // the major third asked among wider intervals
            plan.items[size_t(i)] = Item(i, {60, 64 + i}, 0.5);
        plan.valid = [](unsigned id) { return id == 0; };
        Lesson lesson({plan});
        Answer answer;
        answer.kind = Answer::Interval;
        answer.value = value;
        lesson.Begin().Judge(answer);
        QCOMPARE(lesson.recorder.JudgedCount(), 1);
        QTEST(lesson.recorder.JudgedAnswers().at(0).correct, "correct");
    }

    // A section whose settings permit nothing is skipped as if it had no questions: no draw
    // loops, no section change is announced for it, nothing is counted. With nothing to ask at
    // all the lesson stops.
    void sectionsWithNothingToAskAreSkipped()
    {
        TestTrainer::SectionSpec empty = ChordSection();
        empty.valid = [](unsigned) { return false; };
        Lesson lesson({empty, ChordSection(0), ChordSection(2)});
        TestTrainer& trainer = lesson.Begin();
        QCOMPARE(trainer.GetCurrentSection(), 2);
        QCOMPARE(lesson.recorder.Sections(), QVector<int>{2});
        QCOMPARE(trainer.GetState(), int(Exercise::AwaitingAnswer));
        QVERIFY(trainer.GetTimeLine()->Position() >= 600 && trainer.GetTimeLine()->Position() < 800);
        QCOMPARE(trainer.GetCounters().asked, 1);
        QCOMPARE(trainer.GetCounters().sectionAsked, 1);

        Lesson nothing({empty, empty});
        nothing.Begin();
        QCOMPARE(nothing.trainer.GetState(), int(Exercise::NotStarted));
        QCOMPARE(nothing.trainer.GetPlayState(), int(LessonBase::Stopped));
        QVERIFY(nothing.recorder.Sections().isEmpty());
        QCOMPARE(nothing.trainer.GetCounters().asked, 0);
    }

    // A section without a time limit holds the clock until the answer, then runs its ten ticks
    // to the end of the lesson.
    void untimedSectionWaitsForTheAnswer()
    {
        Lesson lesson({ChordSection(1), ChordSection(1, 0)});
        TestTrainer& trainer = lesson.Begin();
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
        Lesson lesson({ChordSection(), ChordSection()});
        TestTrainer& trainer = lesson.Begin();
        auto timeline = trainer.GetTimeLine();
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
    // the weight of an item never asked. (Past the bounds, and the draw itself:
    // test_question_pools.)
    void drawWeightOfAnItem_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("weight");
        QTest::newRow("twice as often wrong: the ceiling") << 1 << 2 << 200;
        QTest::newRow("in between") << 2 << 3 << 150;
        QTest::newRow("twice as often right: the floor") << 2 << 1 << 50;
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
    }
};

QTEST_GUILESS_MAIN(TestExercise)
#include "test_exercise.moc"

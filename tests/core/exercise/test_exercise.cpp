// The lesson loop on its own, driven through a small trainer: the timeline layout, questions
// asked and judged, the question clock, answers by key and their matching, the end of the lesson,
// sections with nothing to ask, and the weight of an item in the draw. (Time-outs, pause and
// seeking: test_lesson_session.)

#include "core/exercise/question_generator.h"
#include "core/score_builder.h"
#include "test_trainer.h"

#include <QtTest>

using namespace Core;

static MidiEvent Key(int note, int velocity = 100)
{
    return MidiEvent{MidiMessage(0x90, 0, quint8(note), quint8(velocity)), 0, -1.0};
}

class TestExercise : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Keys played on a question are judged (-1: not yet, the answer is incomplete; 0: wrong at the
    // first wrong key; 1: right once complete; velocity 0 only releases a key) and flagged in the
    // answer view: key from A0, then 0 right, 1 wrong, 2 missing.
    void keysAreJudgedAndFlagged_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("modes");
        QTest::addColumn<bool>("interval");       // with nothing played, the view shows the first note
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
        row("interval, bottom first", shown, notes, true, cg, {60, 67}, 1, {39, 0, 46, 0});
        row("interval, top first", shown, notes, true, cg, {67, 60}, 1, {46, 0, 39, 0});
        row("interval, bottom first, top wrong", shown, notes, true, cg, {60, 68}, 0, {39, 0, 47, 1, 46, 2});
        row("interval, top first, bottom wrong", shown, notes, true, cg, {67, 59}, 0, {46, 0, 38, 1, 39, 2});
        row("interval, ordered, top first", shown, ordered, true, cg, {67}, 0, {46, 1, 39, 2, 46, 2});
        row("interval: nothing played shows its first note", shown, notes, true, cg, {}, -1, {39, 2});
    }
    void keysAreJudgedAndFlagged()
    {
        QFETCH(int, kind);
        QFETCH(int, modes);
        QFETCH(bool, interval);
        QFETCH(QList<int>, expected);
        QFETCH(QList<int>, played);
        QFETCH(int, judged);
        TestTrainer::SectionSpec plan = Section(3, 10000, kind);
        plan.answerModes = modes;
        plan.items[0] = Item(0, std::vector<int>(expected.begin(), expected.end()));
        plan.valid = [](unsigned id) { return id == 0; };
        TestTrainer lesson({plan});
        if (!expected.isEmpty()) {
            lesson.Begin();
            QTRY_COMPARE_WITH_TIMEOUT(lesson.GetState(), int(Exercise::AwaitingAnswer), 3000);
            for (int key : played) {
                lesson.HandleInputEvent(Key(key));
                lesson.HandleInputEvent(Key(key, 0));
            }
            const auto answers = lesson.recorder.Seen().judged;
            QCOMPARE(answers.size(), judged < 0 ? 0 : 1);
            QVERIFY(judged < 0 || answers[0].correct == (judged == 1));
        }
        QuestionRecord question;
        question.kind = kind;
        question.answerModes = modes;
        if (!expected.isEmpty()) {
            question.candidates = {Item(1, {62}), plan.items[0]};
            question.correctIndex = 1;
        }
        Answer answer{Answer::Notes, {}};
        for (int key : played)
            answer.notes.append(Key(key));
        answer.notes.append(Key(50, 0));       // velocity 0 is no played note
        QVector<QPair<int, int>> keys{{0, 0}}; // replaced, not appended to
        const QByteArray text = lesson.AnswerView(question, answer, false, true, interval, keys);
        QCOMPARE(text, ScoreBuilder::WriteAnswer(keys, false, true)); // on the bass staff, spelt flat
        QList<int> got;
        QSet<int> flags;
        for (const auto& k : keys) {
            got << k.first << k.second;
            flags << k.second;
        }
        QTEST(got, "flagged");
        // The view agrees with the verdict: right shows right keys only, wrong a wrong key.
        QVERIFY(judged != 1 || flags == QSet<int>{0});
        QVERIFY(judged != 0 || modes == 0 || flags.contains(1));
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
        TestTrainer lesson({Section(questions, ms), Section(2, 5000)});
        QTEST(lesson.GetTimeLine()->SegmentDuration(0), "ticks");
        QCOMPARE(lesson.GetTimeLine()->SegmentDuration(1), 200);
    }

    // The question clock: an answer skips the rest of its question's ticks, so the lesson keeps
    // room for exactly its questions, and an answer between questions is ignored. A section
    // without a time limit holds the clock until the answer, then runs its ten ticks to the end of
    // the lesson, where pause does nothing and reset starts over. (Time-outs: test_lesson_session.)
    void questionClock()
    {
        TestTrainer lesson({Section(1), Section(1, 0)});
        lesson.Begin();
        QTRY_VERIFY_WITH_TIMEOUT(lesson.GetTimeLine()->Position() >= 3, 3000);
        const int right = lesson.GetCurrentQuestion().correctIndex;
        lesson.Judge(Choice((right + 1) % 6));
        QCOMPARE(lesson.GetTimeLine()->Position(), 200);
        QCOMPARE(lesson.GetTimeLine()->State(), int(TimeLineStopped));
        QCOMPARE(lesson.GetState(), int(Exercise::BetweenQuestions));
        lesson.Judge(Choice(right));
        QCOMPARE(lesson.recorder.Seen().judged.size(), 1);
        const auto c = lesson.GetCounters();
        QCOMPARE(std::make_tuple(c.asked, c.answered, c.correct, c.sectionQuestionCount),
                 std::make_tuple(1, 1, 0, 1));

        lesson.Next();
        QCOMPARE(lesson.GetCurrentSection(), 1);
        QCOMPARE(lesson.GetTimeLine()->State(), int(TimeLineStopped));
        lesson.Judge(Choice(lesson.GetCurrentQuestion().correctIndex));
        QTRY_COMPARE_WITH_TIMEOUT(lesson.GetState(), int(Exercise::LessonEnd), 3000);
        QCOMPARE(lesson.GetCounters().correct, 1);
        QVERIFY(!lesson.Pause(true));
        QCOMPARE(lesson.GetPlayState(), int(LessonBase::Stopped));
        lesson.Reset();
        QCOMPARE(lesson.GetState(), int(Exercise::BetweenQuestions));
        QCOMPARE(lesson.GetCounters().asked, 0);
    }

    // A question of a section without a time limit keeps its ticks however it came to be
    // asked: once the clock ran them while the question waited after a jump or a replay, and
    // the section lost a question.
    void untimedSectionAsksEveryQuestion_data()
    {
        QTest::addColumn<bool>("jump");
        QTest::newRow("jumped to") << true;
        QTest::newRow("asked again") << false;
    }
    void untimedSectionAsksEveryQuestion()
    {
        QFETCH(bool, jump);
        TestTrainer lesson({Section(1), Section(2, 0)});
        lesson.Begin();
        if (jump) {
            lesson.JumpToSection(1);
        } else {
            lesson.Judge(Choice(lesson.GetCurrentQuestion().correctIndex));
            QTRY_COMPARE_WITH_TIMEOUT(lesson.GetTimeLine()->State(), int(TimeLineStopped), 3000);
        }
        lesson.Next();
        QCOMPARE(lesson.GetCurrentSection(), 1);
        if (!jump)
            lesson.RestartQuestion();
        const int start = lesson.GetTimeLine()->SegmentStart(1);
        QCOMPARE(lesson.GetTimeLine()->Position(), start);
        QCOMPARE(lesson.GetTimeLine()->State(), int(TimeLineStopped));
        QCOMPARE(lesson.GetState(), int(Exercise::AwaitingAnswer));
        lesson.Judge(Choice(lesson.GetCurrentQuestion().correctIndex));
        QTRY_COMPARE_WITH_TIMEOUT(lesson.GetTimeLine()->State(), int(TimeLineStopped), 3000);
        QCOMPARE(lesson.GetTimeLine()->Position(), start + Exercise::UnlimitedTicks);
        lesson.Next();
        QCOMPARE(lesson.GetState(), int(Exercise::AwaitingAnswer));
        lesson.Judge(Choice(lesson.GetCurrentQuestion().correctIndex));
        QTRY_COMPARE_WITH_TIMEOUT(lesson.GetState(), int(Exercise::LessonEnd), 3000);
        QCOMPARE(lesson.GetCounters().sectionCorrect, 2);
    }

    // A sounded question takes no keys while it sounds; then a press reaches the screen, and so
    // does a note-on of velocity 0 as a release, without judging a chord not yet complete. (Keys
    // from a real port answering it: test_exercise_midi.)
    void soundedQuestionTakesKeysOnceSounded()
    {
        TestTrainer::SectionSpec plan = Section(4, 10000, QuestionRecord::NoteReadingQuestion);
        plan.items = {Item(0, {60, 64, 67}, 0.3), Item(1, {62, 65, 69}, 0.3)};
        TestTrainer lesson({plan});
        lesson.Begin();
        QCOMPARE(lesson.GetState(), int(Exercise::Presenting));
        const int first = lesson.GetCurrentQuestion().AskedItem()->stream->first().message.byte1;
        lesson.HandleInputEvent(Key(first));
        QVERIFY(lesson.recorder.Seen().notes.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(lesson.GetState(), int(Exercise::AwaitingAnswer), 3000);
        lesson.HandleInputEvent(Key(first));
        lesson.HandleInputEvent(Key(first, 0));
        QCOMPARE(lesson.recorder.Seen().notes, (QVector<int>{first, -first}));
        QCOMPARE(lesson.recorder.Seen().judged.size(), 0);
    }

    // A heard question heard again: sounded from its start while its clock holds still, which
    // runs on from where it stood once the sound has ended; once per question in a quiz, never
    // while it sounds (while paused: test_exercise_screen).
    void questionHeardAgain_data()
    {
        QTest::addColumn<bool>("quiz");
        QTest::addColumn<int>("hearings");
        QTest::newRow("lesson") << false << 3;
        QTest::newRow("quiz") << true << 1;
    }
    void questionHeardAgain()
    {
        QFETCH(bool, quiz);
        TestTrainer::SectionSpec plan = Section(2, 2000, QuestionRecord::NoteReadingQuestion);
        plan.items = {Item(0, {60, 64}, 0.5), Item(1, {62, 65}, 0.5)}; // 0.7 s: 14 ticks
        TestTrainer lesson({plan});
        lesson.SetQuizMode(quiz);
        lesson.Begin();
        QVERIFY(!lesson.HearAgain());
        int hearings = 0;
        for (int i = 0; i < 3; ++i) {
            QTRY_COMPARE_WITH_TIMEOUT(lesson.GetState(), int(Exercise::AwaitingAnswer), 3000);
            if (!lesson.HearAgain())
                break;
            ++hearings;
            const int at = lesson.GetTimeLine()->Position();
            QCOMPARE(lesson.GetState(), int(Exercise::Presenting));
            QCOMPARE(lesson.GetTimeLine()->State(), int(TimeLineStopped));
            QTRY_COMPARE_WITH_TIMEOUT(lesson.GetState(), int(Exercise::AwaitingAnswer), 3000);
            QVERIFY(lesson.GetTimeLine()->Position() - at < 10);
        }
        QTEST(hearings, "hearings");
        QCOMPARE(lesson.recorder.Seen().judged.size(), 0);
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
        TestTrainer::SectionSpec plan = Section(3);
        for (int i = 0; i < 6; ++i) // the major third asked among wider intervals
            plan.items[size_t(i)] = Item(i, {60, 64 + i}, 0.5);
        plan.valid = [](unsigned id) { return id == 0; };
        TestTrainer lesson({plan});
        QFETCH(int, value);
        lesson.Begin().Judge(Answer{Answer::Interval, {}, value});
        QCOMPARE(lesson.recorder.Seen().judged.size(), 1);
        QTEST(lesson.recorder.Seen().judged.at(0).correct, "correct");
    }

    // A section whose settings permit nothing is skipped as if it had no questions: no draw
    // loops, no section change is announced for it, nothing is counted. With nothing to ask at
    // all the lesson stops.
    void sectionsWithNothingToAskAreSkipped()
    {
        TestTrainer::SectionSpec empty = Section(3);
        empty.valid = [](unsigned) { return false; };
        TestTrainer lesson({empty, Section(0), Section(2)});
        lesson.Begin();
        QCOMPARE(lesson.GetCurrentSection(), 2);
        QCOMPARE(lesson.recorder.Seen().sections, QVector<int>{2});
        QCOMPARE(lesson.GetState(), int(Exercise::AwaitingAnswer));
        QVERIFY(lesson.GetTimeLine()->Position() >= 600 && lesson.GetTimeLine()->Position() < 800);
        QCOMPARE(std::make_pair(lesson.GetCounters().asked, lesson.GetCounters().sectionAsked),
                 std::make_pair(1, 1));

        TestTrainer nothing({empty, empty});
        nothing.Begin();
        QCOMPARE(std::make_pair(nothing.GetState(), nothing.GetPlayState()),
                 std::make_pair(int(Exercise::NotStarted), int(LessonBase::Stopped)));
        QVERIFY(nothing.recorder.Seen().sections.isEmpty());
        QCOMPARE(nothing.GetCounters().asked, 0);
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
        const StatisticsRecord record{0, 0, 0, right, wrong};
        QTEST(QuestionGenerator::Weight(&record), "weight");
    }
};

QTEST_GUILESS_MAIN(TestExercise)
#include "test_exercise.moc"

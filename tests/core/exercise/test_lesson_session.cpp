// The lesson session between a real lesson and a screen: reports made on the GUI thread, on
// another thread, on the timer thread (a time-out) or on the MIDI input thread of a keyboard port
// on the test JACK server reach the receiver once, on the GUI thread, after the call that made
// them returned, carrying the state of their moment; what follows a judgement (the delays, the
// wrong-answer policy) runs on the real timer; seeking, sections, pause and the lesson's end; and
// a session destroyed while another thread keeps its lesson reporting leaves nothing behind. Run
// under ThreadSanitizer by the sanitizer build.

#include "../midi/jack_test_ports.h"
#include "core/exercise/lesson_session.h"
#include "core/midi/sound_controller.h"
#include "test_trainer.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace Core;

namespace {

TestTrainer::SectionSpec Notes(const QString& name, int questionCount, int msPerQuestion)
{
    TestTrainer::SectionSpec plan;
    plan.name = name;
    for (int i = 0; i < 6; ++i)
        plan.items.push_back(Item(i, {60 + 2 * i}, 0.0, 0.05));
    plan.questionCount = questionCount;
    plan.msPerQuestion = msPerQuestion;
    return plan;
}

std::shared_ptr<TestTrainer> NewLesson(std::vector<TestTrainer::SectionSpec> sections)
{
    return std::make_shared<TestTrainer>(std::move(sections));
}

std::shared_ptr<TestTrainer> LongLesson(int msPerQuestion = 0)
{
    return NewLesson({Notes(QStringLiteral("Notes"), 1000, msPerQuestion)});
}

void AnswerRight(Exercise& exercise)
{
    Answer answer;
    answer.kind = Answer::Choice;
    answer.variant = exercise.GetCurrentQuestion().correctIndex;
    exercise.Judge(answer);
}

} // namespace

// Stands in for a screen: keeps what the session reports, and counts every report that ran off
// the GUI thread or inside a call this thread made into the session.
class Receiver : public QObject
{
    Q_OBJECT
public:
    explicit Receiver(LessonSession& observed) : session(&observed)
    {
        connect(session, &LessonSession::stateChanged, this, [this](const LessonSnapshot& lesson) {
            Check();
            this->lesson = lesson;
            states.append(lesson.state);
        });
        connect(session, &LessonSession::positionChanged, this, [this](const LessonPosition&) { Check(); });
        connect(session, &LessonSession::questionAsked, this, [this](const Question& question) {
            Check();
            questions.append(question);
        });
        connect(session, &LessonSession::answerJudged, this, [this](const Judgement& judgement) {
            Check();
            judgements.append(judgement);
        });
        connect(session, &LessonSession::keyEntered, this, [this](int key, bool down) {
            Check();
            keys.append(down ? key : -key - 1);
        });
        connect(session, &LessonSession::sectionEnded, this, [this](const SectionScore& score) {
            Check();
            scores.append(score);
        });
    }

    // Calls into the session the way a screen does; a report that runs meanwhile re-entered.
    template <typename F> auto Call(F&& call)
    {
        struct Inside
        {
            int& depth;
            explicit Inside(int& d) : depth(d) { ++depth; }
            ~Inside() { --depth; }
        } inside(insideSession);
        return call();
    }

    QPointer<LessonSession> session;
    LessonSnapshot lesson;
    QVector<int> states;
    QVector<Question> questions;
    QVector<Judgement> judgements;
    QVector<int> keys;
    QVector<SectionScore> scores;
    int reports = 0, foreignThreadReports = 0, reentrantReports = 0;

private:
    void Check()
    {
        ++reports;
        foreignThreadReports += QThread::currentThread() != thread() ? 1 : 0;
        reentrantReports += insideSession > 0 ? 1 : 0;
    }

    int insideSession = 0;
};

class TestLessonSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { LessonSession::RegisterMetaTypes(); }

    // A lesson of two sections, three questions each, answered on the screen: each question is
    // reported once with its serial, each answer once (a second click on the same question is
    // no answer), the next question comes after the right-answer delay, the section change is in
    // the state, and the end of the lesson is reported once with its score.
    void lessonRunsToItsEnd()
    {
        auto exercise = NewLesson({Notes(QStringLiteral("One"), 3, 10000), Notes(QStringLiteral("Two"), 3, 10000)});
        LessonSession session(exercise);
        Receiver screen(session);
        screen.Call([&] { session.begin(); });
        QCOMPARE(screen.reports, 0);
        for (int asked = 1; asked <= 6; ++asked) {
            QTRY_COMPARE(screen.questions.size(), asked);
            const Question question = screen.questions.last();
            QCOMPARE(question.serial, asked);
            QCOMPARE(question.lesson.state, Exercise::AwaitingAnswer);
            QCOMPARE(question.lesson.section, (asked - 1) / 3);
            QCOMPARE(question.lesson.counters.sectionAsked, (asked - 1) % 3 + 1);
            QVERIFY(question.record.AskedItem());
            const bool right = asked != 4;
            const int choice = right ? question.record.correctIndex : (question.record.correctIndex + 1) % 6;
            QElapsedTimer clock;
            clock.start();
            screen.Call([&] {
                session.answerWithChoice(choice);
                session.answerWithChoice(choice);
            });
            QTRY_COMPARE(screen.judgements.size(), asked);
            const Judgement judged = screen.judgements.last();
            QCOMPARE(judged.verdict, right ? Judgement::Right : Judgement::Wrong);
            QCOMPARE(judged.counters.answered, asked);
            QCOMPARE(judged.answer.variant, choice);
            QCOMPARE(judged.question.correctIndex, question.record.correctIndex);
            if (asked < 6) {
                QTRY_COMPARE_WITH_TIMEOUT(screen.questions.size(), asked + 1, 10000);
                // Wrong answers move on after the fallback policy's wait.
                QVERIFY(clock.elapsed() >= (right ? LessonSession::RightAnswerDelayMs : 3000) - 20);
            }
        }
        QTRY_COMPARE(screen.scores.size(), 1);
        QCOMPARE(screen.scores[0].right, 5);
        QCOMPARE(screen.scores[0].wrong, 1);
        QVERIFY(screen.lesson.ended);
        QCOMPARE(screen.lesson.playState, LessonBase::Stopped);
        QCOMPARE(screen.judgements.size(), 6);
        QCOMPARE(screen.foreignThreadReports, 0);
        QCOMPARE(screen.reentrantReports, 0);
    }

    void judgementReachesScreenOnce_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("GUI thread") << "gui";
        QTest::newRow("another thread") << "thread";
        QTest::newRow("timer thread (time-out)") << "timer";
        QTest::newRow("MIDI input thread (JACK keyboard)") << "keyboard";
        QTest::newRow("on-screen keyboard") << "keys";
    }
    void judgementReachesScreenOnce()
    {
        QFETCH(QString, source);
        std::unique_ptr<TestKeyboard> keyboard;
        std::shared_ptr<SoundController> controller;
        if (source == QLatin1String("keyboard")) {
            if (qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER"))
                QSKIP("needs the test JACK server (run by ctest)");
            keyboard = std::make_unique<TestKeyboard>("Cantorela Session Keyboard");
            SoundController::Options options;
            options.builtInSynthesizer = false;
            options.watchDevices = false;
            controller = std::make_shared<SoundController>(options);
            controller->RefreshDevices();
            QVERIFY(controller->SelectInputByName(keyboard->name));
            QVERIFY(WaitUntilHeard(*keyboard, *controller->CurrentInputDevice()) > 0);
        }
        auto exercise = LongLesson(source == QLatin1String("timer") ? 200 : 0);
        if (controller)
            exercise->SetSoundController(controller);
        LessonSession session(exercise);
        Receiver screen(session);
        session.begin();
        QTRY_COMPARE(screen.questions.size(), 1);
        const QuestionRecord question = screen.questions[0].record;
        const int key = question.AskedItem()->stream->first().message.byte1 - 21;
        if (source == QLatin1String("gui")) {
            screen.Call([&] { session.answerWithChoice(question.correctIndex); });
        } else if (source == QLatin1String("thread")) {
            std::thread([&] { AnswerRight(*exercise); }).join();
        } else if (source == QLatin1String("keys")) {
            screen.Call([&] {
                session.answerWithKey(key, true);
                session.answerWithKey(key, false);
            });
        } else if (keyboard) {
            keyboard->Send(MidiMessage(0x90, 0, quint8(key + 21), 90));
            keyboard->Send(MidiMessage(0x80, 0, quint8(key + 21), 0));
            QTRY_VERIFY(screen.keys.contains(key));
        }
        QTRY_COMPARE(screen.judgements.size(), 1);
        const Judgement judged = screen.judgements[0];
        QCOMPARE(judged.verdict, source == QLatin1String("timer") ? Judgement::OutOfTime : Judgement::Right);
        QCOMPARE(judged.counters.answered, 1);
        QVERIFY(judged.judgedAtNs > 0);
        // A shown question has no answer view; the key answers are marked on the keys only
        // where there is one.
        QVERIFY(!judged.hasAnswerView);
        QTRY_COMPARE_WITH_TIMEOUT(screen.questions.size(), 2, 10000);
        if (source != QLatin1String("timer"))
            QCOMPARE(screen.judgements.size(), 1);
        QCOMPARE(screen.foreignThreadReports, 0);
        QCOMPARE(screen.reentrantReports, 0);
    }

    // What follows a wrong answer: the next question after the policy's wait, or a pause until
    // the student resumes, whatever thread judged it. A time-out counts as a mistake and brings
    // the summary after its delay.
    void wrongAnswerPolicy_data()
    {
        QTest::addColumn<bool>("continueAfterMistake");
        QTest::addColumn<int>("delay");
        QTest::addColumn<bool>("timeOut");
        QTest::newRow("continue after 1 s") << true << 1000 << false;
        QTest::newRow("continue at once") << true << 0 << false;
        QTest::newRow("pause") << false << 1000 << false;
        QTest::newRow("time-out, pause") << false << 1000 << true;
    }
    void wrongAnswerPolicy()
    {
        QFETCH(bool, continueAfterMistake);
        QFETCH(int, delay);
        QFETCH(bool, timeOut);
        auto exercise = LongLesson(timeOut ? 300 : 0);
        LessonSession session(exercise);
        session.setFallbackPolicy({continueAfterMistake, delay});
        Receiver screen(session);
        QSignalSpy summaries(&session, &LessonSession::summaryDue);
        session.begin();
        QTRY_COMPARE(screen.questions.size(), 1);
        QElapsedTimer clock;
        clock.start();
        if (!timeOut)
            session.answerWithChoice((screen.questions[0].record.correctIndex + 1) % 6);
        QTRY_COMPARE(screen.judgements.size(), 1);
        const Judgement judged = screen.judgements[0];
        QCOMPARE(judged.verdict, timeOut ? Judgement::OutOfTime : Judgement::Wrong);
        QCOMPARE(judged.next, continueAfterMistake ? Judgement::NextAfterWait : Judgement::PauseLesson);
        if (continueAfterMistake) {
            QCOMPARE(judged.waitMs, delay);
            QTRY_COMPARE(screen.questions.size(), 2);
            QVERIFY(clock.elapsed() >= delay - 20);
            QCOMPARE(screen.lesson.playState, LessonBase::Running);
            return;
        }
        QTRY_COMPARE(screen.lesson.playState, LessonBase::Paused);
        if (timeOut) {
            QVERIFY(summaries.wait(LessonSession::TimeoutSummaryDelayMs + 2000));
            QVERIFY(clock.elapsed() >= LessonSession::TimeoutSummaryDelayMs);
        } else {
            QVERIFY(!summaries.wait(delay + 500));
        }
        QCOMPARE(screen.questions.size(), 1);
        QVERIFY(screen.Call([&] { return session.resume(); }));
        QTRY_COMPARE(screen.questions.size(), 2);
        QCOMPARE(screen.lesson.playState, LessonBase::Running);
        QCOMPARE(screen.reentrantReports, 0);
    }

    // Pause holds the question clock and the next question; resume goes on. A right answer given
    // while paused moves on only once the lesson runs again.
    void pauseHoldsTheLesson()
    {
        auto exercise = LongLesson(400);
        LessonSession session(exercise);
        Receiver screen(session);
        QSignalSpy positions(&session, &LessonSession::positionChanged);
        session.begin();
        QTRY_COMPARE(screen.questions.size(), 1);
        QVERIFY(positions.wait());
        QVERIFY(screen.Call([&] { return session.pause(); }));
        QVERIFY(!session.pause());
        QTRY_COMPARE(screen.lesson.playState, LessonBase::Paused);
        QCoreApplication::processEvents();
        positions.clear();
        screen.Call([&] { session.answerWithChoice(screen.questions[0].record.correctIndex); });
        QTRY_COMPARE(screen.judgements.size(), 1);
        QCoreApplication::processEvents();
        positions.clear();
        // Neither a tick nor a question while paused, also not when the answer's delay is over.
        QVERIFY(!positions.wait(LessonSession::RightAnswerDelayMs + 600));
        QCOMPARE(screen.questions.size(), 1);
        QCOMPARE(screen.judgements[0].verdict, Judgement::Right);
        QVERIFY(screen.Call([&] { return session.resume(); }));
        QTRY_COMPARE(screen.questions.size(), 2);
        QCOMPARE(screen.lesson.playState, LessonBase::Running);
        QVERIFY(positions.wait()); // the clock of the new question runs
        QCOMPARE(screen.reentrantReports, 0);
    }

    // Seeking and the section buttons land on a new question where they go; the slider held
    // keeps the lesson still until it is let go.
    void seekAndSections()
    {
        auto exercise = NewLesson({Notes(QStringLiteral("One"), 4, 10000), Notes(QStringLiteral("Two"), 4, 10000)});
        LessonSession session(exercise);
        Receiver screen(session);
        QSignalSpy movingOn(&session, &LessonSession::aboutToAskNext);
        session.begin();
        QTRY_COMPARE(screen.questions.size(), 1);
        const int perSection = screen.lesson.segments.at(0).duration;
        QCOMPARE(screen.lesson.segments.size(), size_t(2));
        QCOMPARE(screen.lesson.titles.at(1).title, QStringLiteral("Train Two"));

        screen.Call([&] { session.jumpToSection(1); });
        QTRY_COMPARE(screen.questions.size(), 2);
        QCOMPARE(screen.questions.last().lesson.section, 1);
        QCOMPARE(screen.questions.last().lesson.counters.sectionAsked, 1);
        QCOMPARE(screen.questions.last().lesson.position.segment, 1);
        QCOMPARE(movingOn.count(), 1);

        // Held, then let go in the middle of the first section.
        screen.Call([&] { session.beginSeek(); });
        QTRY_COMPARE(screen.lesson.playState, LessonBase::Paused);
        QCOMPARE(screen.questions.size(), 2);
        screen.Call([&] { session.endSeek(perSection / 2 + 1); });
        QTRY_COMPARE(screen.questions.size(), 3);
        const LessonSnapshot back = screen.questions.last().lesson;
        QCOMPARE(back.section, 0);
        QCOMPARE(back.playState, LessonBase::Running);
        QVERIFY(back.position.position > perSection / 2);
        QVERIFY(back.position.position < perSection);

        // A seek past the end ends the lesson at once.
        screen.Call([&] { session.seek(2 * perSection - 1); });
        QTRY_COMPARE(screen.scores.size(), 1);
        QCOMPARE(screen.lesson.state, Exercise::LessonEnd);
        QCOMPARE(screen.reentrantReports, 0);
        QCOMPARE(screen.foreignThreadReports, 0);
    }

    // Another thread answers the lesson all along, so that its reports are in flight while the
    // session is destroyed. Afterwards the lesson, still answered, has no observer and reaches
    // nobody; a second session over a lesson whose timer thread times out its questions every
    // 50 ms goes the same way, taking its lesson with it.
    void destructionWhileReportsInFlight()
    {
        auto first = LongLesson();
        auto session = std::make_unique<LessonSession>(first);
        Receiver screen(*session);
        session->begin();
        std::atomic<bool> answering{true};
        std::thread player([&] {
            while (answering) {
                AnswerRight(*first);
                first->Next();
            }
        });
        QTRY_VERIFY(screen.judgements.size() > 20);
        session.reset();
        QVERIFY(screen.session.isNull());
        QCOMPARE(first->Subject<LessonBaseObserver>::ObserverCount(), 0);
        QCOMPARE(first->Subject<ExerciseObserver>::ObserverCount(), 0);
        const int seen = screen.reports;
        first->Reset();
        first->Start();
        first->Next();
        const int answered = first->GetCounters().answered;
        QTRY_VERIFY(first->GetCounters().answered > answered + 20);
        answering = false;
        player.join();
        QCoreApplication::processEvents();
        QCOMPARE(screen.reports, seen);

        std::weak_ptr<TestTrainer> timed;
        {
            auto lesson = LongLesson(50);
            timed = lesson;
            auto second = std::make_unique<LessonSession>(std::move(lesson));
            second->setFallbackPolicy({true, 0});
            Receiver other(*second);
            second->begin();
            QTRY_VERIFY(other.judgements.size() > 5);
            second.reset();
            const int reports = other.reports;
            QCoreApplication::processEvents();
            QCOMPARE(other.reports, reports);
            QCOMPARE(other.foreignThreadReports, 0);
        }
        QVERIFY(timed.expired());
        QCOMPARE(screen.foreignThreadReports, 0);
    }
};

QTEST_MAIN(TestLessonSession)
#include "test_lesson_session.moc"

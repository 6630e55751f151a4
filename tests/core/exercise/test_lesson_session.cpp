// The lesson session: reports from any thread reach the screen once, on the GUI thread (TSan-run).

#include "../audio/jack_test_piano.h"
#include "../midi/jack_test_ports.h"
#include "answer_audio.h"
#include "core/exercise/lesson_session.h"
#include "core/midi/sound_controller.h"
#include "test_trainer.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace Core;

static std::shared_ptr<TestTrainer> NewLesson(std::vector<TestTrainer::SectionSpec> sections)
{
    return std::make_shared<TestTrainer>(std::move(sections));
}

// Stands in for a screen: keeps what the session reports, and counts every report that ran off
// the GUI thread or inside a call this thread made into the session (misplaced).
class Receiver : public QObject
{
    Q_OBJECT
public:
    explicit Receiver(LessonSession& observed) : session(&observed)
    {
        connect(session, &LessonSession::stateChanged, this, [this](const LessonSnapshot& snapshot) {
            Check();
            lesson = snapshot;
        });
        connect(session, &LessonSession::positionChanged, this, [this] { Check(); });
        connect(session, &LessonSession::questionAsked, this, Keep(questions));
        connect(session, &LessonSession::answerJudged, this, Keep(judgements));
        connect(session, &LessonSession::sectionEnded, this, Keep(scores));
        connect(session, &LessonSession::keyEntered, this, [this](int key, bool down) {
            Check();
            keys.append(down ? key : -key - 1);
        });
    }

    // Calls into the session the way a screen does; a report that runs meanwhile re-entered.
    template <typename F> auto Call(F&& call)
    {
        ++insideSession;
        const auto leave = qScopeGuard([this] { --insideSession; });
        return call();
    }

    QPointer<LessonSession> session;
    LessonSnapshot lesson;
    QVector<Question> questions;
    QVector<Judgement> judgements;
    QVector<int> keys;
    QVector<SectionScore> scores;
    int reports = 0, misplacedReports = 0;

private:
    template <typename T> std::function<void(const T&)> Keep(QVector<T>& list)
    {
        return [this, &list](const T& value) {
            Check();
            list.append(value);
        };
    }
    void Check()
    {
        ++reports;
        misplacedReports += QThread::currentThread() != thread() || insideSession > 0 ? 1 : 0;
    }

    int insideSession = 0;
};

class TestLessonSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { LessonSession::RegisterMetaTypes(); }

    // Catches a question or answer reported twice (a second click is no answer), a next question
    // before its delay, a missed section change, and an end reported twice or with a wrong score.
    void lessonRunsToItsEnd()
    {
        LessonSession session(NewLesson({Section(3), Section(3)}));
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
                QVERIFY(clock.elapsed() >= (right ? LessonSession::RightAnswerDelayMs : 3000) - 20);
            }
        }
        QTRY_COMPARE(screen.scores.size(), 1);
        QCOMPARE(std::make_pair(screen.scores[0].right, screen.scores[0].wrong), std::make_pair(5, 1));
        QVERIFY(screen.lesson.ended);
        QCOMPARE(screen.lesson.playState, LessonBase::Stopped);
        QCOMPARE(screen.judgements.size(), 6);
        QCOMPARE(screen.misplacedReports, 0);
    }

    // A judgement made off the GUI thread reaches the screen once, also of a key played on a piano
    // and heard by the microphone. (By the answer buttons:
    // lessonRunsToItsEnd; by the on-screen keys: test_exercise_screen::judgementShownOnce.)
    void judgementReachesScreenOnce_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("another thread") << "thread";
        QTest::newRow("timer thread (time-out)") << "timer";
        QTest::newRow("MIDI input thread (JACK keyboard)") << "keyboard";
        QTest::newRow("microphone's listening thread (a piano heard through JACK)") << "microphone";
    }
    void judgementReachesScreenOnce()
    {
        QFETCH(QString, source);
        std::unique_ptr<TestKeyboard> keyboard;
        std::unique_ptr<TestPiano> piano;
        std::shared_ptr<SoundController> controller;
        if (source == QLatin1String("microphone")) {
            if (qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER"))
                QSKIP("needs the test JACK server (run by ctest)");
            if (!KeysHeardExactly)
                QSKIP("the keys heard are checked without ThreadSanitizer");
            piano = std::make_unique<TestPiano>();
            controller = std::make_shared<SoundController>(SoundController::Options{false, nullptr, false});
            QVERIFY(controller->SelectInputByName(QStringLiteral("Microphone: ") + piano->name));
        }
        if (source == QLatin1String("keyboard")) {
            if (qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER"))
                QSKIP("needs the test JACK server (run by ctest)");
            keyboard = std::make_unique<TestKeyboard>("Cantorela Session Keyboard");
            // The test's ports only: neither the built-in synthesizer nor device watching.
            controller = std::make_shared<SoundController>(SoundController::Options{false, nullptr, false});
            controller->RefreshDevices();
            QVERIFY(controller->SelectInputByName(keyboard->name));
            QVERIFY(WaitUntilHeard(*keyboard, *controller->CurrentInputDevice()) > 0);
        }
        auto exercise = NewLesson({Section(1000, source == QLatin1String("timer") ? 200 : 0)});
        if (controller)
            exercise->SetSoundController(controller);
        LessonSession session(exercise);
        Receiver screen(session);
        session.begin();
        QTRY_COMPARE(screen.questions.size(), 1);
        const QuestionRecord question = screen.questions[0].record;
        const int key = question.AskedItem()->stream->first().message.byte1 - 21;
        if (source == QLatin1String("thread")) {
            std::thread([&] { exercise->Judge(Choice(question.correctIndex)); }).join();
        } else if (keyboard) {
            keyboard->Send(MidiMessage(0x90, 0, quint8(key + 21), 90));
            keyboard->Send(MidiMessage(0x80, 0, quint8(key + 21), 0));
            QTRY_VERIFY(screen.keys.contains(key));
        } else if (piano) {
            AnswerAudio::RenderOptions options;
            options.sampleRate = piano->rate;
            AnswerAudio::AnswerRenderer renderer(TestPiano::SoundFont, options);
            QVERIFY2(renderer.ok(), renderer.error().c_str());
            AnswerAudio::Answer played;
            played.keys = {key + 21};
            piano->Play(renderer.render(played).samples);
            QTRY_VERIFY_WITH_TIMEOUT(screen.keys.contains(key), 10000);
        }
        QTRY_COMPARE(screen.judgements.size(), 1);
        const Judgement judged = screen.judgements[0];
        QCOMPARE(judged.verdict, source == QLatin1String("timer") ? Judgement::OutOfTime : Judgement::Right);
        QCOMPARE(judged.counters.answered, 1);
        QVERIFY(judged.judgedAtNs > 0);
        // A shown question has no answer view (keys are marked only where there is one).
        QVERIFY(!judged.hasAnswerView);
        QTRY_COMPARE_WITH_TIMEOUT(screen.questions.size(), 2, 10000);
        if (source != QLatin1String("timer"))
            QCOMPARE(screen.judgements.size(), 1);
        QCOMPARE(screen.misplacedReports, 0);
    }

    // Catches a next question before the policy's wait, or while paused (a tick neither), and a
    // time-out summary before its delay.
    void whatFollowsAJudgement_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("continueAfterMistake");
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("wait"); // the wait in force
        QTest::newRow("wrong, continue after 3 s") << "wrong" << true << 3000 << 3000;
        // A wait of 0 (a level's) would take the marks and the right answer away at once.
        QTest::newRow("wrong, continue, 0 set") << "wrong" << true << 0 << 1000;
        QTest::newRow("wrong, pause") << "wrong" << false << 1000 << 0;
        QTest::newRow("time-out, pause") << "time-out" << false << 1000 << 0;
        QTest::newRow("right while paused") << "paused" << false << 1000 << 0;
    }
    void whatFollowsAJudgement()
    {
        QFETCH(QString, how);
        QFETCH(bool, continueAfterMistake);
        QFETCH(int, delay);
        QFETCH(int, wait);
        const bool timeOut = how == QLatin1String("time-out"), paused = how == QLatin1String("paused");
        LessonSession session(NewLesson({Section(1000, 400)}));
        session.setFallbackPolicy({continueAfterMistake, delay});
        Receiver screen(session);
        QSignalSpy summaries(&session, &LessonSession::summaryDue);
        QSignalSpy positions(&session, &LessonSession::positionChanged);
        session.begin();
        QTRY_COMPARE(screen.questions.size(), 1);
        const int right = screen.questions[0].record.correctIndex;
        if (paused) {
            QVERIFY(screen.Call([&] { return session.pause(); }));
            QVERIFY(!session.pause());
        }
        QElapsedTimer clock;
        clock.start();
        if (!timeOut)
            screen.Call([&] { session.answerWithChoice(paused ? right : (right + 1) % 6); });
        QTRY_COMPARE(screen.judgements.size(), 1);
        const Judgement judged = screen.judgements[0];
        QCOMPARE(judged.verdict, timeOut  ? Judgement::OutOfTime
                                 : paused ? Judgement::Right
                                          : Judgement::Wrong);
        if (continueAfterMistake) {
            QCOMPARE(judged.next, Judgement::NextAfterWait);
            QCOMPARE(judged.waitMs, wait);
            QTRY_COMPARE_WITH_TIMEOUT(screen.questions.size(), 2, wait + 5000);
            QVERIFY(clock.elapsed() >= wait - 20);
            QCOMPARE(screen.lesson.playState, LessonBase::Running);
            return;
        }
        QVERIFY(paused || judged.next == Judgement::PauseLesson);
        QTRY_COMPARE(screen.lesson.playState, LessonBase::Paused);
        QCoreApplication::processEvents();
        positions.clear();
        if (timeOut) {
            QVERIFY(summaries.wait(LessonSession::TimeoutSummaryDelayMs + 2000));
            QVERIFY(clock.elapsed() >= LessonSession::TimeoutSummaryDelayMs);
        } else { // nothing, also once the delays are over
            QVERIFY(!summaries.wait(std::max(delay, int(LessonSession::RightAnswerDelayMs)) + 500));
        }
        QCOMPARE(positions.count(), 0);
        QCOMPARE(screen.questions.size(), 1);
        QVERIFY(screen.Call([&] { return session.resume(); }));
        QTRY_COMPARE(screen.questions.size(), 2);
        QCOMPARE(screen.lesson.playState, LessonBase::Running);
        QVERIFY(positions.wait()); // the clock of the new question runs
        QCOMPARE(screen.misplacedReports, 0);
    }

    // Seeking and the section buttons land on a new question where they go; the slider held
    // keeps the lesson still until it is let go.
    void seekAndSections()
    {
        LessonSession session(NewLesson({Section(4), Section(4)}));
        Receiver screen(session);
        QSignalSpy movingOn(&session, &LessonSession::aboutToAskNext);
        session.begin();
        QTRY_COMPARE(screen.questions.size(), 1);
        const int perSection = screen.lesson.segments.at(0).duration;

        screen.Call([&] { session.jumpToSection(1); });
        QTRY_COMPARE(screen.questions.size(), 2);
        QCOMPARE(screen.questions.last().lesson.section, 1);
        QCOMPARE(screen.questions.last().lesson.counters.sectionAsked, 1);
        QCOMPARE(screen.questions.last().lesson.position.segment, 1);
        QCOMPARE(movingOn.count(), 1);

        // Held, then let go in the middle of the first section: on at its next question.
        screen.Call([&] { session.beginSeek(); });
        QTRY_COMPARE(screen.lesson.playState, LessonBase::Paused);
        QCOMPARE(screen.questions.size(), 2);
        screen.Call([&] { session.endSeek(perSection / 2 + 1); });
        QTRY_COMPARE(screen.questions.size(), 3);
        const LessonSnapshot back = screen.questions.last().lesson;
        QCOMPARE(back.section, 0);
        QCOMPARE(back.playState, LessonBase::Running);
        QVERIFY(back.position.position >= perSection * 3 / 4 && back.position.position < perSection);

        // A seek past the end ends the lesson at once.
        screen.Call([&] { session.seek(2 * perSection - 1); });
        QTRY_COMPARE(screen.scores.size(), 1);
        QCOMPARE(screen.lesson.state, Exercise::LessonEnd);
        QCOMPARE(screen.misplacedReports, 0);
    }

    // A session destroyed while another thread or the timer keeps its lesson reporting: nothing
    // reaches the screen after, no observer is left, a lesson only it held goes with it.
    void destructionWhileReportsInFlight_data()
    {
        QTest::addColumn<bool>("timer");
        QTest::newRow("another thread answers") << false;
        QTest::newRow("the timer thread times out") << true;
    }
    void destructionWhileReportsInFlight()
    {
        QFETCH(bool, timer);
        auto lesson = NewLesson({Section(1000, timer ? 50 : 0)});
        const std::weak_ptr<TestTrainer> alive = lesson;
        auto session = std::make_unique<LessonSession>(timer ? std::move(lesson) : lesson);
        session->setFallbackPolicy({true, 0});
        Receiver screen(*session);
        session->begin();
        std::atomic<bool> answering{!timer};
        std::thread player([&] {
            while (answering) {
                lesson->Judge(Choice(lesson->GetCurrentQuestion().correctIndex));
                lesson->Next();
            }
        });
        // Between time-outs the lesson waits the shortest wait after a mistake.
        QTRY_VERIFY_WITH_TIMEOUT(screen.judgements.size() > (timer ? 2 : 20), 10000);
        session.reset();
        QVERIFY(screen.session.isNull());
        const int seen = screen.reports;
        if (timer) {
            QVERIFY(alive.expired());
        } else {
            QCOMPARE(lesson->Subject<LessonBaseObserver>::ObserverCount(), 0);
            QCOMPARE(lesson->Subject<ExerciseObserver>::ObserverCount(), 1); // the trainer's own recorder
            lesson->Reset();
            lesson->Begin();
            const int answered = lesson->GetCounters().answered;
            QTRY_VERIFY(lesson->GetCounters().answered > answered + 20);
        }
        answering = false;
        player.join();
        QCoreApplication::processEvents();
        QCOMPARE(screen.reports, seen);
        QCOMPARE(screen.misplacedReports, 0);
    }
};

QTEST_MAIN(TestLessonSession)
#include "test_lesson_session.moc"

// Whole lessons of the three trainers through the exercise screen, answered as a student
// answers: clicks on the answer buttons and on the piano keys where they are painted, the keys
// 1 to 6, note-ons from a keyboard port on the test JACK server, right and wrong by turns and one
// question left to time out. After every answer the score bar shows the engine's counts; at the
// end the section end dialog shows the final score.

#include "screen_jack_keyboard.h"
#include "test_console_exercise_control_fixture.h"
#include "ui/midi_warning_dialog.h"

#include <set>

using Core::Exercise;
using Core::QuestionRecord;

namespace {

enum class Method
{
    Button,
    NumberKey,
    Piano,
    Midi,
};

const char* NameOf(Method method)
{
    switch (method) {
    case Method::Button:
        return "button";
    case Method::NumberKey:
        return "number key";
    case Method::Piano:
        return "piano";
    default:
        return "MIDI";
    }
}

} // namespace

class TestConsoleExerciseControlLessons : public QObject
{
    Q_OBJECT
    std::shared_ptr<Core::MidiBank> bank;

private Q_SLOTS:
    void initTestCase()
    {
        ScreenTestSetUp();
        bank = std::make_shared<Core::MidiBank>();
    }

    void wholeLesson_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<bool>("quiz");
        QTest::newRow("note trainer") << 0u << false;
        QTest::newRow("note trainer, quiz") << 0u << true;
        QTest::newRow("ear trainer") << 1u << false;
        QTest::newRow("symbol trainer") << 2u << false;
    }
    void wholeLesson()
    {
        QFETCH(unsigned, trainer);
        QFETCH(bool, quiz);
        constexpr int Questions = 2;
        constexpr int TimeoutSeconds = 2;
        std::unique_ptr<JackKeyboard> jack;
        if (HaveJack()) {
            jack = std::make_unique<JackKeyboard>();
            QVERIFY(jack->Ready());
        }
        ScreenRig rig(bank, QSize(1366, 708), jack ? jack->controller : nullptr);
        rig.blocks.ChangeBoth([](Core::TrainerSettings& s) {
            WholeLessons(s, Questions, TimeoutSeconds, {true, 0});
        });
        rig.blocks.SetQuizMode(quiz);
        QVERIFY(rig.Show());
        rig.screen->LoadExercise(trainer, quiz, false);
        QVERIFY(rig.screen->GetExercise());
        int expectedQuestions = 0;
        for (const Exercise::Section& section : rig.Lesson().GetSections())
            expectedQuestions += section.questionCount;

        std::vector<Method> methods = {Method::Button, Method::Piano, Method::NumberKey};
        if (jack)
            methods.push_back(Method::Midi);
        std::set<Method> used;
        int rights = 0;
        int timeOuts = 0;
        for (int n = 0; n < 3 * expectedQuestions; ++n) {
            QVERIFY(QTest::qWaitFor(
                [&] {
                    return rig.screen->GetSectionEndDialog() ||
                           (rig.Lesson().GetState() == Exercise::AwaitingAnswer &&
                            rig.Bar()->Wrong() + rig.Bar()->Right() == n);
                },
                40000));
            if (rig.screen->GetSectionEndDialog())
                break;
            QCoreApplication::processEvents();
            const QuestionRecord question = rig.Lesson().GetCurrentQuestion();
            const QVector<int> expected = rig.ExpectedKeys();
            const bool right = n % 3 != 2;
            const bool late = n == 1;
            Method method = methods[size_t(n) % methods.size()];
            const bool buttons = rig.Variant(1)->isVisible();
            const bool piano = rig.Piano()->isVisible();
            if ((method == Method::Piano && !piano) ||
                ((method == Method::Midi) && !(question.answerModes & 1)))
                method = Method::Button;
            if ((method == Method::Button || method == Method::NumberKey) && !buttons)
                method = Method::Piano;
            const int id = right ? question.correctIndex + 1 : (question.correctIndex + 1) % 6 + 1;
            if (late) {
                ++timeOuts; // nothing is done: the timer thread judges it
            } else if (method == Method::Button) {
                rig.ClickVariant(id);
            } else if (method == Method::NumberKey) {
                QTest::keyClick(rig.screen.get(), Qt::Key(Qt::Key_0 + id));
            } else if (method == Method::Piano) {
                if (right)
                    for (int key : expected)
                        rig.ClickKey(key);
                else
                    rig.ClickKey(WrongKey(expected));
            } else {
                if (right)
                    for (int key : expected)
                        jack->Play(key);
                else
                    jack->Play(WrongKey(expected));
            }
            if (!late)
                used.insert(method);
            QVERIFY2(rig.WaitForAnswers(n + 1, TimeoutSeconds * 1000 + 3000), NameOf(method));
            const Exercise::Counters counters = rig.Lesson().GetCounters();
            QCOMPARE(counters.answered, n + 1);
            rights += right && !late ? 1 : 0;
            QCOMPARE(counters.correct, rights);
            // The score bar shows the engine's counts.
            QCOMPARE(rig.Bar()->Right(), counters.correct);
            QCOMPARE(rig.Bar()->Wrong(), counters.answered - counters.correct);
            QCOMPARE(rig.Status()->text(), late    ? QStringLiteral("Out of time.")
                                           : right ? QStringLiteral("Right")
                                                   : QStringLiteral("Wrong"));
        }
        QCOMPARE(timeOuts, 1);
        QVERIFY(used.count(Method::Button) || trainer != 2);
        QVERIFY(used.size() >= (trainer == 2 ? 2u : 3u));

        // The end: every question asked once, and the dialog counts up to the final score.
        const Exercise::Counters counters = rig.Lesson().GetCounters();
        QCOMPARE(counters.asked, expectedQuestions);
        QCOMPARE(counters.answered, expectedQuestions);
        QCOMPARE(rig.FinalScore(), qMakePair(counters.correct, counters.answered - counters.correct));
        const UI::SectionEndDialog* dialog = rig.screen->GetSectionEndDialog();
        const int percentage = counters.correct * 100 / counters.answered;
        bool shown = false;
        for (QLabel* label : dialog->findChildren<QLabel*>())
            shown = shown || label->text() == QStringLiteral("%1%").arg(percentage);
        QVERIFY2(shown, "the percentage is on the dialog");
    }

    // Keys of a MIDI keyboard: a chord's first keys show green on the piano while the rest are
    // awaited, the last key gives "Right"; a wrong key gives "Wrong" at once. With an input
    // device there is no missing-MIDI notice.
    void midiKeyboardAnswers()
    {
        if (!HaveJack())
            QSKIP("needs the test JACK server (run by ctest)");
        JackKeyboard jack;
        QVERIFY(jack.Ready());
        ScreenRig rig(bank, QSize(1366, 708), jack.controller);
        rig.General([](Core::GeneralSettings& g) { g.hideMidiDialog = false; });
        rig.Settings([](Core::TrainerSettings& s) { s.noteTrainer.wrongAnswerPolicy = {true, 60000}; });
        QVERIFY(rig.Show());
        rig.screen->LoadExercise(0, false, false);
        QVERIFY(!rig.screen->GetMidiWarningDialog());
        rig.SectionButton(2)->click(); // chords
        QVERIFY(rig.WaitForQuestion());
        QVector<int> expected = rig.ExpectedKeys();
        QVERIFY(expected.size() >= 3);
        jack.Play(expected[0]);
        QTRY_COMPARE(rig.Piano()->KeyState(expected[0]).mark, int(Keyboard::GreenMark));
        QCOMPARE(rig.Lesson().GetState(), int(Exercise::AwaitingAnswer));
        for (int i = 1; i < expected.size(); ++i)
            jack.Play(expected[i]);
        QVERIFY(rig.WaitForAnswers(1));
        QTRY_COMPARE(rig.Status()->text(), QStringLiteral("Right"));
        for (int key : expected)
            QCOMPARE(rig.Piano()->KeyState(key).mark, int(Keyboard::GreenMark));

        QTRY_VERIFY(rig.WaitForQuestion());
        expected = rig.ExpectedKeys();
        jack.Play(WrongKey(expected));
        QVERIFY(rig.WaitForAnswers(2));
        // The counts follow the lesson's state report; the judgement is the report after it.
        QTRY_COMPARE(rig.Status()->text(), QStringLiteral("Wrong"));
        QCOMPARE(rig.Piano()->KeyState(WrongKey(expected)).mark, int(Keyboard::RedMark));
        QCOMPARE(rig.Bar()->Wrong(), 1);
        QCOMPARE(rig.Bar()->Right(), 1);
    }
};

QTEST_MAIN(TestConsoleExerciseControlLessons)
#include "test_console_exercise_control_lessons.moc"

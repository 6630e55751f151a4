// The MIDI keyboard on the exercise screen: note-ons from a keyboard port on the test JACK
// server answer the question shown, and the screen marks the keys and gives its judgement.
// (Whole lessons and their statistics: test_whole_lessons; the lesson's flow: test_lesson_session.)

#include "screen_jack_keyboard.h"
#include "test_exercise_screen_fixture.h"

using Core::Exercise;

class TestExerciseScreenLessons : public QObject
{
    Q_OBJECT
    std::shared_ptr<Core::MidiBank> bank;

private Q_SLOTS:
    void initTestCase()
    {
        ScreenTestSetUp();
        bank = std::make_shared<Core::MidiBank>();
    }

    // Keys of a MIDI keyboard: a chord's first keys show green on the piano while the rest are
    // awaited, the last key gives "Right". With an input device there is no missing-MIDI notice.
    // (A wrong key on the piano: test_exercise_screen::judgementShownOnce; from the MIDI input
    // thread: test_lesson_session::judgementReachesScreenOnce.)
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
        rig.screen->loadExercise(0, false, false);
        QVERIFY(!rig.screen->midiWarningDialog());
        rig.SectionButton(2)->click(); // chords
        QVERIFY(rig.WaitForQuestion());
        const QVector<int> expected = rig.ExpectedKeys();
        QVERIFY(expected.size() >= 3);
        jack.Play(expected[0]);
        QTRY_COMPARE(rig.Piano()->keyState(expected[0]).mark, int(Keyboard::GreenMark));
        QCOMPARE(rig.Lesson().state, Exercise::AwaitingAnswer);
        for (int i = 1; i < expected.size(); ++i)
            jack.Play(expected[i]);
        QVERIFY(rig.WaitForAnswers(1));
        QTRY_COMPARE(rig.Status()->text(), QStringLiteral("Right"));
        for (int key : expected)
            QCOMPARE(rig.Piano()->keyState(key).mark, int(Keyboard::GreenMark));
    }
};

QTEST_MAIN(TestExerciseScreenLessons)
#include "test_exercise_screen_lessons.moc"

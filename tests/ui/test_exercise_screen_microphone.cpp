// The exercise screen with a microphone chosen as the input, on the test JACK server: a JACK
// client of the test stands for a piano beside the microphone and plays answers rendered from a
// sampled piano, or a singing voice. A section of single notes of each pitched trainer is
// answered by that sound alone, the ear trainer's also by singing; a microphone that hears
// nothing while an answer is awaited is asked about.

#include "../core/audio/jack_test_piano.h"
#include "../listen/sung_voice.h"
#include "answer_audio.h"
#include "test_exercise_screen_fixture.h"
#include "ui/exercise/microphone_silence_notice.h"

#include <QCheckBox>

#include <random>

using Core::Exercise;

class TestExerciseScreenMicrophone : public QObject
{
    Q_OBJECT
    std::shared_ptr<Core::MidiBank> bank;
    std::unique_ptr<AnswerAudio::AnswerRenderer> renderer;

    // The screen beside the piano, whose microphone is the only input: no synthesizer, whose
    // sound the microphone would not hear anyway on this server.
    struct BesideThePiano
    {
        TestPiano piano;
        std::shared_ptr<Core::SoundController> sound;
        std::unique_ptr<ScreenRig> rig;
    };
    std::unique_ptr<BesideThePiano> Listening() const
    {
        auto at = std::make_unique<BesideThePiano>();
        if (!at->piano.client)
            return nullptr;
        Core::SoundController::Options options;
        options.builtInSynthesizer = false;
        options.watchDevices = false;
        at->sound = std::make_shared<Core::SoundController>(options);
        if (!at->sound->SelectInputByName(QStringLiteral("Microphone: ") + at->piano.name))
            return nullptr;
        at->rig = std::make_unique<ScreenRig>(bank, QSize(1366, 708), at->sound);
        return at;
    }

    std::vector<float> Rendered(const QVector<int>& keys) const
    {
        AnswerAudio::Answer answer;
        for (int key : keys)
            answer.keys.push_back(key + 21);
        answer.keyDelayMs.assign(answer.keys.size() - 1, 8.0);
        return renderer->render(answer).samples;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER"), "run by ctest against the test JACK server");
        ScreenTestSetUp();
        bank = std::make_shared<Core::MidiBank>();
        AnswerAudio::RenderOptions options;
        options.sampleRate = 48000;
        renderer = std::make_unique<AnswerAudio::AnswerRenderer>(TestPiano::SoundFont, options);
        QVERIFY2(renderer->ok(), renderer->error().c_str());
    }

    // Every question of the first section (single notes) answered by playing it on the piano,
    // and judged right; nothing is asked about the microphone meanwhile.
    void sectionAnsweredByPiano_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::newRow("note trainer") << int(Core::NoteTrainerIndex);
        QTest::newRow("ear trainer") << int(Core::EarTrainerIndex);
    }
    void sectionAnsweredByPiano()
    {
        QFETCH(int, trainer);
        if (!KeysHeardExactly)
            QSKIP("the keys heard are checked without ThreadSanitizer");
        const auto at = Listening();
        QVERIFY(at);
        TestPiano& piano = at->piano;
        ScreenRig& rig = *at->rig;
        rig.General([](Core::GeneralSettings& g) {
            g.answerWithGraphicalKeyboard = false;
            g.answerWithMultipleChoice = false;
        });
        QVERIFY(rig.Show());
        rig.screen->loadExercise(size_t(trainer), false, false);
        for (int answered = 1; answered <= 3; ++answered) {
            QVERIFY(rig.WaitForQuestion());
            QCOMPARE(rig.Lesson().section, 0);
            const QVector<int> keys = rig.ExpectedKeys();
            QCOMPARE(keys.size(), 1);
            piano.Play(Rendered(keys));
            QVERIFY(rig.WaitForAnswers(answered, 10000));
            QCOMPARE(rig.Bar()->rightCount(), answered);
            QTRY_VERIFY_WITH_TIMEOUT(!piano.Playing(), 10000);
        }
        QVERIFY(!rig.Child(QStringLiteral("mutedMicrophoneHint"))->isVisible());
        rig.screen->closeExercise();
    }

    // With "I answer by singing" the ear trainer's single notes are sung, each in an octave of the
    // voice rather than the one asked, and judged right by their name; a note sung a semitone
    // off is wrong, and so is a key clicked an octave off: only the voice chooses its octave.
    void singleNotesAnsweredBySinging()
    {
        if (!KeysHeardExactly)
            QSKIP("the notes heard are checked without ThreadSanitizer");
        const auto at = Listening();
        QVERIFY(at);
        TestPiano& piano = at->piano;
        ScreenRig& rig = *at->rig;
        rig.General([](Core::GeneralSettings& g) { g.answerWithMultipleChoice = false; });
        rig.Settings([](Core::TrainerSettings& s) { WholeLessons(s, 4, 30, {true, 1000}); });
        QVERIFY(rig.Show());
        rig.screen->loadExercise(Core::EarTrainerIndex, false, false);
        auto* singing = rig.Child<QCheckBox>(QStringLiteral("singingBox"));
        QVERIFY(singing);
        QVERIFY(rig.WaitForQuestion());
        QTRY_VERIFY(singing->isVisible());
        QCOMPARE(singing->accessibleName(), singing->text());
        const QPoint clickedAt = singing->mapTo(rig.window.get(), QPoint(0, 0));
        singing->setChecked(true);
        QCOMPARE(rig.Child<QLabel>(QStringLiteral("scorePaneLabel"))->text(),
                 QStringLiteral("Listen, then sing what you heard"));
        QCoreApplication::processEvents(); // the shorter task is laid out
        QCOMPARE(singing->mapTo(rig.window.get(), QPoint(0, 0)), clickedAt);
        enum Way
        {
            SungRight,
            SungOff,
            ClickedAnOctaveOff
        };
        int rightCount = 0;
        int answered = 0;
        for (Way way : {SungRight, SungRight, SungOff, ClickedAnOctaveOff}) {
            if (answered > 0)
                QVERIFY(rig.WaitForQuestion());
            QCOMPARE(rig.Lesson().section, 0);
            const QVector<int> keys = rig.ExpectedKeys();
            QCOMPARE(keys.size(), 1);
            const int asked = keys[0] + 21;
            if (way == ClickedAnOctaveOff) {
                rig.ClickKey(keys[0] < 12 ? keys[0] + 12 : keys[0] - 12);
            } else {
                int voice = 48 + (asked % 12); // C3 to B3
                if (voice == asked)
                    voice += 12;
                piano.Play(
                    SungVoice::Sing({{double(voice + (way == SungRight ? 0 : 1)), 0.6, 30}}, piano.rate));
            }
            rightCount += way == SungRight;
            QVERIFY(rig.WaitForAnswers(++answered, 10000));
            QCOMPARE(rig.Bar()->rightCount(), rightCount);
            QTRY_VERIFY_WITH_TIMEOUT(!piano.Playing(), 10000);
        }
        rig.screen->closeExercise();
    }

    // Five seconds of silence while an answer is awaited bring the question whether the
    // microphone is muted; any sound takes it away, and so does a pause.
    void silenceAsked()
    {
        const auto at = Listening();
        QVERIFY(at);
        TestPiano& piano = at->piano;
        ScreenRig& rig = *at->rig;
        QVERIFY(rig.Show());
        rig.screen->loadExercise(Core::NoteTrainerIndex, false, false);
        QVERIFY(rig.WaitForQuestion());
        auto* notice = rig.Child<QLabel>(QStringLiteral("mutedMicrophoneHint"));
        QVERIFY(notice);
        QVERIFY(!notice->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), UI::MicrophoneSilenceNotice::SilenceMs + 5000);
        QCOMPARE(notice->text(), QStringLiteral("I hear nothing: is the microphone muted?"));
        QCOMPARE(notice->accessibleName(), notice->text());
        // Over the question, inside the screen.
        QVERIFY(rig.screen->rect().contains(notice->geometry()));

        // A faint hiss: heard, and no note.
        std::vector<float> hiss(48000);
        std::minstd_rand random(7);
        std::uniform_real_distribution<float> sample(-0.004f, 0.004f);
        for (float& s : hiss)
            s = sample(random);
        piano.Play(hiss);
        QTRY_VERIFY(!notice->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!piano.Playing(), 10000);
        QCOMPARE(rig.Lesson().counters.answered, 0);
        // Silent again, and asked again; a pause takes the question away with the lesson.
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), UI::MicrophoneSilenceNotice::SilenceMs + 5000);
        QVERIFY(rig.screen->pauseExercise(true));
        QTRY_VERIFY(!notice->isVisible());
        rig.screen->closeExercise();
    }
};

QTEST_MAIN(TestExerciseScreenMicrophone)
#include "test_exercise_screen_microphone.moc"

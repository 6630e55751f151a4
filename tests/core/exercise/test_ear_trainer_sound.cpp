// An ear-trainer question heard through the built-in synthesizer: the lesson plays its single
// note through the stream device and the output connection, the synthesizer renders it offline,
// and the pitch heard is the pitch asked.

#include "audio_probe.h"
#include "core/exercise/exercise_ear_trainer.h"
#include "core/exercise/question_note_data.h"
#include "core/midi/sound_controller.h"
#include "core/midi/synthesizer.h"
#include "settings_blocks.h"

#include <QtTest>

using namespace Core;
using namespace AudioProbe;

class TestEarTrainerSound : public QObject
{
    Q_OBJECT

    std::shared_ptr<Synthesizer> synth;
    std::shared_ptr<SoundController> controller;

private Q_SLOTS:
    void initTestCase()
    {
        Synthesizer::Options options;
        options.audioOutput = false;
        options.sampleRate = Rate;
        synth = std::make_shared<Synthesizer>(options);
        QVERIFY2(synth->WaitForSoundFont(60000), "a General MIDI soundfont is installed by scripts/setup.sh");
        // Its output 0 is the synthesizer above; no device watching.
        controller = std::make_shared<SoundController>(SoundController::Options{true, synth, false});
        QVERIFY(controller->OutputCount() >= 1);
        controller->SetCurrentOutputIndex(0);
    }

    void askedNoteIsHeard_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("C3") << 27;
        QTest::newRow("A4") << 48;
        QTest::newRow("C6") << 63;
    }

    void askedNoteIsHeard()
    {
        QFETCH(int, key);
        SettingsBlocks settings;
        settings.Change([key](TrainerSettings& s) {
            s.earTrainer.singleNotes.diapason = NotesDiapason{key, key + 1, true, false};
            s.earTrainer.singleNotes.duration = DurationSettings{10, 1};
        });
        Render(*synth, 0.3); // whatever rang before has died away
        {
            ExerciseEarTrainer ear(&settings);
            ear.SetSoundController(controller);
            ear.SetUpSections();
            ear.Start();
            ear.Next();
            QTRY_COMPARE_WITH_TIMEOUT(ear.GetState(), int(Exercise::AwaitingAnswer), 5000);
            const auto* note = dynamic_cast<const QuestionNoteData*>(ear.GetCurrentQuestion().AskedItem());
            QVERIFY(note);
            QCOMPARE(note->key, key);

            const Audio audio = Render(*synth, 0.6);
            QVERIFY2(Peak(audio) > 0.01, "the question sounds");
            const double hz = Fundamental(audio.left, Rate / 10, Rate / 4);
            const double expected = NoteFrequency(key + 21);
            // Within a third of a semitone: the right key, whatever the piano's stretched tuning.
            const double semitones = 12.0 * std::log2(hz / expected);
            QVERIFY2(std::fabs(semitones) < 0.33,
                     qPrintable(QStringLiteral("heard %1 Hz, asked %2 Hz").arg(hz).arg(expected)));
            ear.Stop();
        }
        // Stopping the lesson silences it.
        Render(*synth, 0.5);
        QVERIFY(Peak(Render(*synth, 0.1)) < 0.01);
    }
};

QTEST_GUILESS_MAIN(TestEarTrainerSound)
#include "test_ear_trainer_sound.moc"

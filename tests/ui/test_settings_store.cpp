// The settings store against real settings files in a temporary directory: a fresh
// installation, the presets, level matching, quiz-mode isolation and save/load round trips.

#include "core/exercise/difficulty_presets.h"
#include "ui/settings_store.h"

#include <QtTest>

using namespace Core;

class TestSettingsStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    bool quiz = false;

    std::unique_ptr<SettingsStore> NewStore()
    {
        return std::make_unique<SettingsStore>([this] { return quiz; });
    }
    QString FilePath() const { return dir->filePath(QStringLiteral("Vantorix/Cantorela.conf")); }

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
        QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir->path());
        quiz = false;
    }

    void freshInstallation()
    {
        auto store = NewStore();
        QCOMPARE(store->FileName(), FilePath());
        TrainerSettings expected = DifficultyPreset(0);
        expected.noteTrainer.wrongAnswerPolicy = {true, 3000};
        QVERIFY(store->CurrentSettings() == expected);
        const GeneralSettings& g = store->GetGeneralSettings();
        QVERIFY(g.answerWithGraphicalKeyboard);
        QVERIFY(!g.answerWithMultipleChoice);
        QVERIFY(g.showDifficultyDialog);
        QCOMPARE(g.appearance, 7);
        QCOMPARE(int(g.instrument), 0);
        QVERIFY(g.inputDevice.isEmpty());
        QVERIFY(store->GetLastState() == (LastState{3, 0, 0, 0, 0}));
        for (int trainer = 0; trainer < 3; ++trainer)
            QCOMPARE(store->GetDifficultyLevel(trainer), 0);
        QCOMPARE(store->CurrentDifficultyLevel(), 5);
        QVERIFY(!QFile::exists(FilePath())); // reading writes nothing
    }

    void everyPresetIsRecognised_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("level");
        for (int trainer = 0; trainer < 3; ++trainer)
            for (int level = 0; level < 5; ++level)
                QTest::addRow("trainer %d level %d", trainer, level) << trainer << level;
    }
    void everyPresetIsRecognised()
    {
        QFETCH(int, trainer);
        QFETCH(int, level);
        auto store = NewStore();
        store->SetDifficultyLevel(trainer, level);
        QCOMPARE(store->CurrentDifficultyLevel(), level);
        QCOMPARE(store->GetDifficultyLevel(trainer), level);
        // The other trainers keep level 0.
        for (int other = 0; other < 3; ++other)
            if (other != trainer)
                QCOMPARE(store->GetDifficultyLevel(other), 0);
        // Not saved until asked.
        QCOMPARE(NewStore()->GetDifficultyLevel(trainer), 0);
    }

    void levelMatching()
    {
        auto store = NewStore();
        store->SetDifficultyLevel(NoteTrainerIndex, 2);
        TrainerSettings block = store->CurrentSettings();

        block.noteTrainer.intervals.duration = {3, 7};
        block.noteTrainer.wrongAnswerPolicy = {true, 1000};
        store->SetTrainerSettings(block);
        QCOMPARE(store->GetDifficultyLevel(NoteTrainerIndex), 2);

        block.noteTrainer.chords[ChordSwitch::MinorSeventh] = false;
        store->SetTrainerSettings(block);
        QCOMPARE(store->GetDifficultyLevel(NoteTrainerIndex), 5);

        store->SetDifficultyLevel(SymbolTrainerIndex, 2);
        block = store->CurrentSettings();
        block.symbolTrainer.tempo[TempoSwitch::Largo] = false;
        store->SetTrainerSettings(block);
        QCOMPARE(store->GetDifficultyLevel(SymbolTrainerIndex), 5);
        block.symbolTrainer.tempo[TempoSwitch::Largo] = true;
        store->SetTrainerSettings(block);
        QCOMPARE(store->GetDifficultyLevel(SymbolTrainerIndex), 2);
        // Saved by SetTrainerSettings: a new store sees the same levels.
        auto reloaded = NewStore();
        QCOMPARE(reloaded->GetDifficultyLevel(NoteTrainerIndex), 5);
        QCOMPARE(reloaded->GetDifficultyLevel(SymbolTrainerIndex), 2);

        store->SetDifficultyLevel(EarTrainerIndex, 5); // custom: records the level only
        QCOMPARE(store->CurrentDifficultyLevel(), 5);
        QCOMPARE(store->GetDifficultyLevel(EarTrainerIndex), 0);
    }

    void quizModeIsolation()
    {
        auto store = NewStore();
        const TrainerSettings exerciseBefore = store->CurrentSettings();
        quiz = true;
        QVERIFY(store->CurrentSettings() == BuiltInQuizSettings());

        TrainerSettings quizBlock = store->CurrentSettings();
        quizBlock.earTrainer.tempo.SetAll(false);
        store->SetTrainerSettings(quizBlock);
        QVERIFY(store->CurrentSettings() == quizBlock);
        QVERIFY(!QFile::exists(FilePath()));

        store->SetDifficultyLevel(EarTrainerIndex, 3);
        TrainerSettings expected = quizBlock;
        expected.earTrainer = DifficultyPreset(3).earTrainer;
        QVERIFY(store->CurrentSettings() == expected);
        // The level is always read from the exercise block.
        QCOMPARE(store->GetDifficultyLevel(EarTrainerIndex), 0);

        quiz = false;
        QVERIFY(store->CurrentSettings() == exerciseBefore);
        quiz = true;
        QVERIFY(store->CurrentSettings() == expected); // kept for this run
        QVERIFY(NewStore()->CurrentSettings() == BuiltInQuizSettings()); // but never persisted
    }

    void saveAndLoadRoundTrip()
    {
        TrainerSettings block = DifficultyPreset(3);
        // Make every kind of field differ from every preset.
        block.noteTrainer.singleNotes.diapason = {1, 86, true, false};
        block.noteTrainer.singleNotes.clefs = {false, true};
        block.noteTrainer.intervals = {2, 9, {10, 70, false, true}, {15, 33}, {true, false}, true};
        block.noteTrainer.chords[ChordSwitch::ChordNotation] = true;
        block.noteTrainer.wrongAnswerPolicy = {false, 5000};
        block.earTrainer.scales[ScaleSwitch::WholeTone] = true;
        block.earTrainer.scales.duration = {45, 12};
        block.earTrainer.tempo[TempoSwitch::Vivace] = true;
        block.earTrainer.chords.diapason.maximum = 80;
        block.symbolTrainer.keySignatures[KeySignatureSwitch::GbMaj] = true;
        block.symbolTrainer.loudness[LoudnessSwitch::Sforzando] = true;
        block.symbolTrainer.noteModifiers[NoteModifierSwitch::Arpeggio] = true;
        block.symbolTrainer.lengths.duration = {5, 40};

        GeneralSettings general;
        general.inputDevice = QStringLiteral("USB Keyboard:USB Keyboard MIDI 1 20:0");
        general.appearance = 3;
        general.showNoteFingers = true;
        general.showNoteLetters = true;
        general.showMistakes = true;
        general.hideMidiDialog = true;
        general.newsId = 41;
        general.instrument = 35;
        general.showDifficultyDialog = false;
        general.answerWithGraphicalKeyboard = false;
        general.answerWithMultipleChoice = true;

        const LastState last{1, 2, -1, 4, 5};
        {
            auto store = NewStore();
            store->SetTrainerSettings(block);
            store->SetGeneralSettings(general);
            store->SetLastState(last);
        }
        QVERIFY(QFile::exists(FilePath()));
        auto reloaded = NewStore();
        QVERIFY(reloaded->CurrentSettings() == block);
        QVERIFY(reloaded->GetGeneralSettings() == general);
        QVERIFY(reloaded->GetLastState() == last);
        QCOMPARE(reloaded->GetDifficultyLevel(NoteTrainerIndex), 5);
    }

    // Stored files from earlier versions rely on the exact group and key names.
    void keysAreWrittenWhereStoredFilesExpectThem()
    {
        {
            auto store = NewStore();
            store->Save();
            store->SetLastState(LastState{});
        }
        QSettings file(FilePath(), QSettings::IniFormat);
        const QStringList keys = file.allKeys();
        const QStringList expected{
            "XMState.LastState",
            "XMState.ExerciseID",
            "GlobalSetting/Settings.Answer.GKC",
            "GlobalSetting/Settings.MidiInstrument",
            "Excersises/NoteTrainer/SingleNotes/Diapason/Diapason.Minimum",
            "Excersises/NoteTrainer/SingleNotes/Diapason/Chromatic/chromatics.Black",
            "Excersises/NoteTrainer/Interval/Cleff/cleff.FClef",
            "Excersises/NoteTrainer/Interval/Interval.Arpeggiated",
            "Excersises/NoteTrainer/Chord/Chord.SuspendedSeventh4",
            "Excersises/NoteTrainer/OnWrongAnswerPolicy/Settings.WrongAnswerPolicy.Delay",
            "Excersises/EarTrainer/Scales/Scales.ApplyDifferentScaleModes",
            "Excersises/EarTrainer/Scales/Duration/Duration.SecondsValue",
            "Excersises/EarTrainer/Tempo/Tempo.Prestissimo",
            "Excersises/SheetMusicSymbol/Length/Length.HundredTwentyEight",
            "Excersises/SheetMusicSymbol/Signatures/Signatures.AbMaj",
            "Excersises/SheetMusicSymbol/Loudness/Loudness.Fortississimo",
            "Excersises/SheetMusicSymbol/NoteModifiers/NoteModifiers.Acciaccatura",
            "Excersises/SheetMusicSymbol/Tempo/Duration/Duration.QuestionsValue",
        };
        for (const QString& key : expected)
            QVERIFY2(keys.contains(key), qPrintable(key));
        QVERIFY(!keys.contains("Excersises/EarTrainer/OnWrongAnswerPolicy/Settings.WrongAnswerPolicy.Delay"));
        // 5 last-state keys, 11 general; note trainer 2 + 8 + 11 + 30, ear trainer 8 + 11 + 30 + 21 + 10,
        // symbol trainer 11 + 14 + 10 + 13 + 26.
        QCOMPARE(keys.size(), 5 + 11 + 51 + 80 + 74);
    }

    void absentKeysKeepTheirDefaults()
    {
        {
            QSettings file(FilePath(), QSettings::IniFormat);
            file.setValue("Excersises/EarTrainer/Chord/Chord.Augmented", true);
            file.setValue("Excersises/NoteTrainer/OnWrongAnswerPolicy/Settings.WrongAnswerPolicy.Delay", 1000);
            file.setValue("GlobalSetting/Settings.MidiInstrument", 200); // not an instrument
            file.setValue("GlobalSetting/Settings.Appearance", "not a number");
        }
        auto store = NewStore();
        TrainerSettings expected = DifficultyPreset(0);
        expected.earTrainer.chords[ChordSwitch::Augmented] = true;
        expected.noteTrainer.wrongAnswerPolicy = {true, 1000};
        QVERIFY(store->CurrentSettings() == expected);
        QCOMPARE(int(store->GetGeneralSettings().instrument), 0);
        QCOMPARE(store->GetGeneralSettings().appearance, 7); // unreadable: the default
        QCOMPARE(store->GetDifficultyLevel(EarTrainerIndex), 5);
        QCOMPARE(store->GetDifficultyLevel(NoteTrainerIndex), 0);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settings_store.moc"

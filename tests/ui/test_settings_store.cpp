// The settings store against real settings files in a temporary directory: a fresh installation,
// the presets and level matching, quiz-mode isolation, save/load round trips, the key names that
// stored files use, and unreadable values.

#include "../common/temp_settings.h"
#include "core/exercise/difficulty_presets.h"
#include "ui/settings_store.h"

#include <QtTest>

using namespace Core;

class TestSettingsStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempSettings> settings;
    bool quiz = false;

    std::unique_ptr<SettingsStore> NewStore()
    {
        return std::make_unique<SettingsStore>([this] { return quiz; });
    }
    QString FilePath() const { return settings->Path() + QStringLiteral("/Vantorix/Cantorela.conf"); }

private Q_SLOTS:
    void init()
    {
        settings = std::make_unique<TempSettings>();
        QVERIFY(settings->IsValid());
        quiz = false;
    }

    void freshInstallationReadsDefaultsAndWritesNothing()
    {
        auto store = NewStore();
        QCOMPARE(store->FileName(), FilePath());
        TrainerSettings expected = DifficultyPreset(0);
        expected.noteTrainer.wrongAnswerPolicy = {true, 3000};
        QVERIFY(store->CurrentSettings() == expected);
        QVERIFY(store->GetGeneralSettings() == GeneralSettings());
        QVERIFY(store->GetLastState() == (LastState{3, 0, 0, 0, 0}));
        for (int trainer = 0; trainer < 3; ++trainer)
            QCOMPARE(store->GetDifficultyLevel(trainer), 0);
        QVERIFY(!QFile::exists(FilePath()));
    }

    // Each preset is recognised as its level for its trainer only, and is not saved until asked.
    void everyPresetIsRecognised()
    {
        for (int trainer = 0; trainer < 3; ++trainer)
            for (int level = 0; level < 5; ++level) {
                auto store = NewStore();
                store->SetDifficultyLevel(trainer, level);
                QCOMPARE(store->CurrentDifficultyLevel(), level);
                for (int other = 0; other < 3; ++other)
                    QCOMPARE(store->GetDifficultyLevel(other), other == trainer ? level : 0);
            }
        QVERIFY(!QFile::exists(FilePath()));
    }

    // Durations and the wrong-answer policy do not leave a level; a switch does, and switching it
    // back returns to the level. SetTrainerSettings saves.
    void levelFollowsTheSwitchesOnly()
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
        auto reloaded = NewStore();
        QCOMPARE(reloaded->GetDifficultyLevel(NoteTrainerIndex), 5);
        QCOMPARE(reloaded->GetDifficultyLevel(SymbolTrainerIndex), 2);

        store->SetDifficultyLevel(EarTrainerIndex, 5); // custom: records the level only
        QCOMPARE(store->CurrentDifficultyLevel(), 5);
        QCOMPARE(store->GetDifficultyLevel(EarTrainerIndex), 0);
    }

    // The quiz block starts as the built-in one, takes changes and presets for this run only, and
    // never touches the exercise block, its levels or the file.
    void quizModeIsolation()
    {
        auto store = NewStore();
        const TrainerSettings exerciseBefore = store->CurrentSettings();
        quiz = true;
        QVERIFY(store->CurrentSettings() == BuiltInQuizSettings());
        TrainerSettings quizBlock = store->CurrentSettings();
        quizBlock.earTrainer.tempo.SetAll(false);
        store->SetTrainerSettings(quizBlock);
        QVERIFY(!QFile::exists(FilePath()));
        store->SetDifficultyLevel(EarTrainerIndex, 3);
        TrainerSettings expected = quizBlock;
        expected.earTrainer = DifficultyPreset(3).earTrainer;
        QVERIFY(store->CurrentSettings() == expected);
        QCOMPARE(store->GetDifficultyLevel(EarTrainerIndex), 0); // always read from the exercise block

        quiz = false;
        QVERIFY(store->CurrentSettings() == exerciseBefore);
        quiz = true;
        QVERIFY(store->CurrentSettings() == expected);
        QVERIFY(NewStore()->CurrentSettings() == BuiltInQuizSettings());
    }

    void saveAndLoadRoundTrip()
    {
        TrainerSettings block = DifficultyPreset(3);
        // Every kind of field differs from every preset.
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
        GeneralSettings general; // every field away from its default
        general.inputDevice = QStringLiteral("USB Keyboard:USB Keyboard MIDI 1 20:0");
        general.appearance = 3;
        general.showNoteFingers = general.showNoteLetters = general.showMistakes = true;
        general.hideMidiDialog = general.answerWithMultipleChoice = true;
        general.newsId = 41;
        general.instrument = SettingsStore::InstrumentCount - 1;
        general.showDifficultyDialog = general.answerWithGraphicalKeyboard = false;
        const LastState last{1, 2, -1, 4, 5};
        {
            auto store = NewStore();
            store->SetTrainerSettings(block);
            store->SetGeneralSettings(general);
            store->SetLastState(last);
        }
        auto reloaded = NewStore();
        QVERIFY(reloaded->CurrentSettings() == block);
        QVERIFY(reloaded->GetGeneralSettings() == general);
        QVERIFY(reloaded->GetLastState() == last);
        QCOMPARE(reloaded->GetDifficultyLevel(NoteTrainerIndex), 5);
    }

    // Files of earlier versions are read by these group and key names, misspellings included;
    // every field is written once.
    void keysAreWrittenWhereStoredFilesExpectThem()
    {
        NewStore()->Save();
        NewStore()->SetLastState(LastState{});
        const QStringList keys = QSettings(FilePath(), QSettings::IniFormat).allKeys();
        for (const char* key : {"XMState.ExerciseID", "GlobalSetting/Settings.Answer.GKC",
                                "Excersises/NoteTrainer/SingleNotes/Diapason/Chromatic/chromatics.Black",
                                "Excersises/NoteTrainer/Interval/Cleff/cleff.FClef",
                                "Excersises/NoteTrainer/OnWrongAnswerPolicy/Settings.WrongAnswerPolicy.Delay",
                                "Excersises/EarTrainer/Scales/Scales.ApplyDifferentScaleModes",
                                "Excersises/SheetMusicSymbol/Length/Length.HundredTwentyEight",
                                "Excersises/SheetMusicSymbol/Tempo/Duration/Duration.QuestionsValue"})
            QVERIFY2(keys.contains(QLatin1String(key)), key);
        QVERIFY(!keys.contains("Excersises/EarTrainer/OnWrongAnswerPolicy/Settings.WrongAnswerPolicy.Delay"));
        // 5 last-state keys, 11 general, 51 note trainer, 80 ear trainer, 74 symbol trainer.
        QCOMPARE(keys.size(), 5 + 11 + 51 + 80 + 74);
    }

    // Keys that are absent keep their defaults; values out of range or unreadable are ignored.
    void absentOrBadKeysKeepTheirDefaults()
    {
        {
            QSettings file(FilePath(), QSettings::IniFormat);
            file.setValue("Excersises/EarTrainer/Chord/Chord.Augmented", true);
            file.setValue("Excersises/NoteTrainer/OnWrongAnswerPolicy/Settings.WrongAnswerPolicy.Delay",
                          1000);
            file.setValue("GlobalSetting/Settings.MidiInstrument", SettingsStore::InstrumentCount);
            file.setValue("GlobalSetting/Settings.Appearance", "not a number");
        }
        auto store = NewStore();
        TrainerSettings expected = DifficultyPreset(0);
        expected.earTrainer.chords[ChordSwitch::Augmented] = true;
        expected.noteTrainer.wrongAnswerPolicy = {true, 1000};
        QVERIFY(store->CurrentSettings() == expected);
        QVERIFY(store->GetGeneralSettings() == GeneralSettings());
        QCOMPARE(store->GetDifficultyLevel(EarTrainerIndex), 5);
        QCOMPARE(store->GetDifficultyLevel(NoteTrainerIndex), 0);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settings_store.moc"

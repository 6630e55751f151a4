// The settings store against real settings files in a temporary directory: a fresh installation,
// the presets and level matching, quiz-mode isolation, save/load round trips, the key names that
// stored files use, unreadable values and files, numbers outside the controls, and a full disk.

#include "../common/file_bytes.h"
#include "../common/temp_settings.h"
#include "core/exercise/difficulty_presets.h"
#include "core/exercise/music_tables.h"
#include "core/settings_store.h"

#include <QtTest>

#include <cerrno>
#include <climits>
#include <cstring>
#include <random>

#include <sys/mount.h>
#include <unistd.h>

using namespace Core;

namespace {

// The warnings logged while it lives.
class WarningLog
{
public:
    WarningLog() : previous(qInstallMessageHandler(Keep)) { log = &lines; }
    ~WarningLog()
    {
        qInstallMessageHandler(previous);
        log = nullptr;
    }
    QStringList lines;

private:
    static void Keep(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (type == QtWarningMsg && log)
            log->append(text);
    }
    static inline QStringList* log = nullptr;
    QtMessageHandler previous;
};

} // namespace

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

    // What Qt's own IniFormat reads in a file, through a copy at a path new to QSettings (it
    // caches what it parsed of each path).
    QVariantMap QtIniContents(const QString& path, QSettings::Status* status = nullptr)
    {
        const QString copy = settings->Path() + QStringLiteral("/qt-%1.ini").arg(++copies);
        if (!QFile::copy(path, copy))
            return {};
        const QSettings file(copy, QSettings::IniFormat);
        QVariantMap contents;
        for (const QString& key : file.allKeys())
            contents.insert(key, file.value(key));
        if (status)
            *status = file.status();
        return contents;
    }
    int copies = 0;

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
        QCOMPARE(store->fileName(), FilePath());
        TrainerSettings expected = DifficultyPreset(0);
        expected.noteTrainer.wrongAnswerPolicy = {true, 3000};
        QVERIFY(store->currentSettings() == expected);
        QVERIFY(store->generalSettings() == GeneralSettings());
        QVERIFY(store->lastState() == (LastState{3, 0, 0, 0, 0}));
        for (int trainer = 0; trainer < 3; ++trainer)
            QCOMPARE(store->difficultyLevel(trainer), 0);
        QVERIFY(!QFile::exists(FilePath()));
    }

    // Each preset is recognised as its level for its trainer only, and is not saved until asked.
    void everyPresetIsRecognised()
    {
        for (int trainer = 0; trainer < 3; ++trainer)
            for (int level = 0; level < 5; ++level) {
                auto store = NewStore();
                store->setDifficultyLevel(trainer, level);
                QCOMPARE(store->currentDifficultyLevel(), level);
                for (int other = 0; other < 3; ++other)
                    QCOMPARE(store->difficultyLevel(other), other == trainer ? level : 0);
            }
        QVERIFY(!QFile::exists(FilePath()));
    }

    // Durations and the wrong-answer policy do not leave a level; a switch does, and switching it
    // back returns to the level. setTrainerSettings saves.
    void levelFollowsTheSwitchesOnly()
    {
        auto store = NewStore();
        store->setDifficultyLevel(NoteTrainerIndex, 2);
        TrainerSettings block = store->currentSettings();
        block.noteTrainer.intervals.duration = {3, 7};
        block.noteTrainer.wrongAnswerPolicy = {true, 1000};
        store->setTrainerSettings(block);
        QCOMPARE(store->difficultyLevel(NoteTrainerIndex), 2);
        block.noteTrainer.chords[ChordSwitch::MinorSeventh] = false;
        store->setTrainerSettings(block);
        QCOMPARE(store->difficultyLevel(NoteTrainerIndex), 5);

        store->setDifficultyLevel(SymbolTrainerIndex, 2);
        block = store->currentSettings();
        block.symbolTrainer.tempo[TempoSwitch::Largo] = false;
        store->setTrainerSettings(block);
        QCOMPARE(store->difficultyLevel(SymbolTrainerIndex), 5);
        block.symbolTrainer.tempo[TempoSwitch::Largo] = true;
        store->setTrainerSettings(block);
        QCOMPARE(store->difficultyLevel(SymbolTrainerIndex), 2);
        auto reloaded = NewStore();
        QCOMPARE(reloaded->difficultyLevel(NoteTrainerIndex), 5);
        QCOMPARE(reloaded->difficultyLevel(SymbolTrainerIndex), 2);

        store->setDifficultyLevel(EarTrainerIndex, 5); // custom: records the level only
        QCOMPARE(store->currentDifficultyLevel(), 5);
        QCOMPARE(store->difficultyLevel(EarTrainerIndex), 0);
    }

    // The quiz block starts as the built-in one, takes changes and presets for this run only, and
    // never touches the exercise block, its levels or the file.
    void quizModeIsolation()
    {
        auto store = NewStore();
        const TrainerSettings exerciseBefore = store->currentSettings();
        quiz = true;
        QVERIFY(store->currentSettings() == BuiltInQuizSettings());
        TrainerSettings quizBlock = store->currentSettings();
        quizBlock.earTrainer.tempo.SetAll(false);
        store->setTrainerSettings(quizBlock);
        QVERIFY(!QFile::exists(FilePath()));
        store->setDifficultyLevel(EarTrainerIndex, 3);
        TrainerSettings expected = quizBlock;
        expected.earTrainer = DifficultyPreset(3).earTrainer;
        QVERIFY(store->currentSettings() == expected);
        QCOMPARE(store->difficultyLevel(EarTrainerIndex), 0); // always read from the exercise block

        quiz = false;
        QVERIFY(store->currentSettings() == exerciseBefore);
        quiz = true;
        QVERIFY(store->currentSettings() == expected);
        QVERIFY(NewStore()->currentSettings() == BuiltInQuizSettings());
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
            store->setTrainerSettings(block);
            store->setGeneralSettings(general);
            store->setLastState(last);
        }
        auto reloaded = NewStore();
        QVERIFY(reloaded->currentSettings() == block);
        QVERIFY(reloaded->generalSettings() == general);
        QVERIFY(reloaded->lastState() == last);
        QCOMPARE(reloaded->difficultyLevel(NoteTrainerIndex), 5);
    }

    // Files of earlier versions are read by these group and key names, misspellings included;
    // every field is written once.
    void keysAreWrittenWhereStoredFilesExpectThem()
    {
        NewStore()->save();
        NewStore()->setLastState(LastState{});
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
        QVERIFY(store->currentSettings() == expected);
        QVERIFY(store->generalSettings() == GeneralSettings());
        QCOMPARE(store->difficultyLevel(EarTrainerIndex), 5);
        QCOMPARE(store->difficultyLevel(NoteTrainerIndex), 0);
    }

    // Numbers in the file beyond what the settings pages offer are read as the nearest they do.
    void storedNumbersAreKeptWithinTheControls_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QVariantMap>("expected");
        const QString notes = QStringLiteral("Excersises/NoteTrainer/SingleNotes/");
        const QString questions = notes + "Duration/Duration.QuestionsValue";
        const QString seconds = notes + "Duration/Duration.SecondsValue";
        const QString lowest = notes + "Diapason/Diapason.Minimum",
                      highest = notes + "Diapason/Diapason.Maximum";
        const QString tempoQuestions =
            QStringLiteral("Excersises/SheetMusicSymbol/Tempo/Duration/Duration.QuestionsValue");
        const QString start = QStringLiteral("Excersises/EarTrainer/Interval/Interval.IntervalStart");
        const QString end = QStringLiteral("Excersises/EarTrainer/Interval/Interval.IntervalEnd");
        const QString delay =
            QStringLiteral("Excersises/NoteTrainer/OnWrongAnswerPolicy/Settings.WrongAnswerPolicy.Delay");
        const int keys = MusicTables::KeyCount, sizes = MusicTables::IntervalCount;
        QTest::newRow("questions past the box")
            << QVariantMap{{questions, INT_MAX}} << QVariantMap{{questions, DurationSettings::MaxQuestions}};
        QTest::newRow("negative questions")
            << QVariantMap{{tempoQuestions, -1}} << QVariantMap{{tempoQuestions, 0}};
        QTest::newRow("seconds past the box")
            << QVariantMap{{seconds, 100000}} << QVariantMap{{seconds, DurationSettings::MaxSeconds}};
        QTest::newRow("negative seconds") << QVariantMap{{seconds, INT_MIN}} << QVariantMap{{seconds, 0}};
        QTest::newRow("range past the keyboard")
            << QVariantMap{{lowest, -12}, {highest, 1000}} << QVariantMap{{lowest, 0}, {highest, keys}};
        QTest::newRow("range the wrong way round")
            << QVariantMap{{lowest, 60}, {highest, 40}} << QVariantMap{{lowest, 40}, {highest, 60}};
        QTest::newRow("range of no key")
            << QVariantMap{{lowest, 50}, {highest, 50}} << QVariantMap{{lowest, 50}, {highest, 51}};
        QTest::newRow("range above the top key") << QVariantMap{{lowest, keys}, {highest, keys + 9}}
                                                 << QVariantMap{{lowest, keys - 1}, {highest, keys}};
        QTest::newRow("interval sizes reversed, past the list")
            << QVariantMap{{start, 40}, {end, -3}} << QVariantMap{{start, 0}, {end, sizes - 1}};
        QTest::newRow("negative wait after a mistake") << QVariantMap{{delay, -1}} << QVariantMap{{delay, 0}};
        QTest::newRow("endless wait after a mistake")
            << QVariantMap{{delay, INT_MAX}} << QVariantMap{{delay, WrongAnswerPolicy::OfferedDelays.back()}};
    }

    void storedNumbersAreKeptWithinTheControls()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(QVariantMap, expected);
        {
            // Written elsewhere and copied in, so that the store parses the file itself.
            QSettings file(settings->Path() + QStringLiteral("/stored.conf"), QSettings::IniFormat);
            for (auto it = stored.cbegin(); it != stored.cend(); ++it)
                file.setValue(it.key(), it.value());
        }
        QVERIFY(QDir().mkpath(QFileInfo(FilePath()).path()));
        QVERIFY(QFile::copy(settings->Path() + QStringLiteral("/stored.conf"), FilePath()));
        QVERIFY(NewStore()->save());
        const QVariantMap saved = QtIniContents(FilePath());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(saved.value(it.key()).toInt(), it.value().toInt());
    }

    // A file of noise is moved aside with its bytes, a warning says where, and a clean file of
    // the defaults takes its place.
    void unreadableFileIsKeptAside()
    {
        QByteArray noise(2048, '\0');
        std::mt19937 random(5);
        std::generate(noise.begin() + 1, noise.end(), [&random] { return char(random()); });
        const QDir folder = QFileInfo(FilePath()).dir();
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        QVERIFY(WriteAll(FilePath(), noise));

        WarningLog warnings;
        auto store = NewStore();
        const QStringList kept =
            folder.entryList({QStringLiteral("Cantorela.conf.unreadable-*")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(ReadAll(folder.filePath(kept.first())), noise);
        QCOMPARE(warnings.lines.size(), 1);
        QVERIFY2(warnings.lines.first().contains(folder.filePath(kept.first())),
                 qPrintable(warnings.lines.first()));

        QSettings::Status status = QSettings::AccessError;
        const QVariantMap clean = QtIniContents(FilePath(), &status);
        QCOMPARE(status, QSettings::NoError);
        QVERIFY(clean.contains(QStringLiteral("GlobalSetting/Settings.Answer.GKC")));
        for (const QString& key : clean.keys())
            QVERIFY2(key.startsWith(QLatin1String("GlobalSetting/")) ||
                         key.startsWith(QLatin1String("Excersises/")),
                     qPrintable(key));
        QVERIFY(store->generalSettings() == GeneralSettings());
        QVERIFY(store->save());
    }

    // On a full disk a save fails and the file keeps its bytes; once there is room the same store
    // saves again. The disk is a real one: a small tmpfs of the test's own, filled.
    void fullDiskLeavesTheFileAsItWas()
    {
        const QString mountPoint = settings->Path() + QStringLiteral("/disk");
        QVERIFY(QDir().mkpath(mountPoint));
        if (::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=256k") != 0)
            QSKIP(qPrintable(QStringLiteral("no tmpfs can be mounted here: ") +
                             QString::fromLocal8Bit(strerror(errno))));
        const auto unmount =
            qScopeGuard([&] { ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH); });
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, mountPoint);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, mountPoint);
        const QString path = mountPoint + QStringLiteral("/Vantorix/Cantorela.conf");

        auto store = NewStore();
        QCOMPARE(store->fileName(), path);
        QVERIFY(store->save());
        const QByteArray before = ReadAll(path);
        const int page = int(::sysconf(_SC_PAGESIZE));
        QVERIFY(before.size() > page);

        // Full but for one page: room for QSettings' lock file, none for the settings.
        QFile filler(mountPoint + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(page, 'x');
        while (filler.write(block) == block.size()) {
        }
        QVERIFY(filler.resize(filler.size() - page));

        GeneralSettings changed = store->generalSettings();
        changed.newsId = 77;
        {
            WarningLog warnings;
            store->setGeneralSettings(changed);
            QVERIFY(!store->save());
            QCOMPARE(warnings.lines.size(), 2);
        }
        QCOMPARE(ReadAll(path), before);
        QCOMPARE(QDir(mountPoint + QStringLiteral("/Vantorix")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Cantorela.conf")});

        QVERIFY(filler.remove());
        QVERIFY(store->save());
        QCOMPARE(QtIniContents(path).value(QStringLiteral("GlobalSetting/Settings.NewsId")).toInt(),
                 changed.newsId);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settings_store.moc"

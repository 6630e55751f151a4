// The settings store against real settings files, a file of noise and a full disk.

#include "../common/file_bytes.h"
#include "../common/full_disk.h"
#include "../common/temp_settings.h"
#include "core/exercise/difficulty_presets.h"
#include "core/exercise/music_tables.h"
#include "core/settings_store.h"

#include <QtTest>

#include <climits>
#include <random>

using namespace Core;

namespace {

QStringList* warningLog = nullptr;

// The warnings logged while `work` runs.
QStringList WarningsOf(const std::function<void()>& work)
{
    QStringList lines;
    warningLog = &lines;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg)
                warningLog->append(text);
        });
    work();
    qInstallMessageHandler(previous);
    return lines;
}

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

    // What Qt's own IniFormat reads in a file (nothing if it finds a fault), through a copy at a
    // path new to QSettings (it caches what it parsed of each path).
    QVariantMap QtIniContents(const QString& path)
    {
        const QString copy = settings->Path() + QStringLiteral("/qt-%1.ini").arg(++copies);
        if (!QFile::copy(path, copy))
            return {};
        const QSettings file(copy, QSettings::IniFormat);
        QVariantMap contents;
        for (const QString& key : file.allKeys())
            contents.insert(key, file.value(key));
        return file.status() == QSettings::NoError ? contents : QVariantMap();
    }
    int copies = 0;

private Q_SLOTS:
    void init()
    {
        settings = std::make_unique<TempSettings>();
        QVERIFY(settings->IsValid());
        quiz = false;
    }

    // Catches a fresh store writing, a quiz block leaking into the exercise block or the file, a
    // level saved unasked or lost on a switch, and anything lost in the round trip of the file.
    void freshStoreToRoundTrip()
    {
        auto store = NewStore();
        QCOMPARE(store->fileName(), FilePath());
        TrainerSettings defaults = DifficultyPreset(0);
        defaults.noteTrainer.wrongAnswerPolicy = {true, 3000};
        QVERIFY(store->currentSettings() == defaults);
        QVERIFY(store->generalSettings() == GeneralSettings());
        QVERIFY(store->lastState() == (LastState{3, 0, 0, 0, 0}));
        for (int trainer = 0; trainer < 3; ++trainer)
            QCOMPARE(store->difficultyLevel(trainer), 0);

        quiz = true;
        QVERIFY(store->currentSettings() == BuiltInQuizSettings());
        TrainerSettings quizBlock = store->currentSettings();
        quizBlock.earTrainer.tempo.SetAll(false);
        store->setTrainerSettings(quizBlock);
        store->setDifficultyLevel(EarTrainerIndex, 3);
        QVERIFY(!QFile::exists(FilePath()));
        quizBlock.earTrainer = DifficultyPreset(3).earTrainer;
        QVERIFY(store->currentSettings() == quizBlock);
        QCOMPARE(store->difficultyLevel(EarTrainerIndex), 0); // always read from the exercise block
        quiz = false;
        QVERIFY(store->currentSettings() == defaults);
        quiz = true;
        QVERIFY(store->currentSettings() == quizBlock);
        QVERIFY(NewStore()->currentSettings() == BuiltInQuizSettings());
        quiz = false;

        store->setDifficultyLevel(SymbolTrainerIndex, 2);
        QVERIFY(!QFile::exists(FilePath()));
        TrainerSettings block = store->currentSettings();
        block.symbolTrainer.tempo[TempoSwitch::Largo] = false;
        store->setTrainerSettings(block);
        QCOMPARE(store->difficultyLevel(SymbolTrainerIndex), 5);
        QCOMPARE(NewStore()->difficultyLevel(SymbolTrainerIndex), 5);
        block.symbolTrainer.tempo[TempoSwitch::Largo] = true;
        store->setTrainerSettings(block);
        QCOMPARE(NewStore()->difficultyLevel(SymbolTrainerIndex), 2);
        store->setDifficultyLevel(EarTrainerIndex, 5);
        QCOMPARE(store->currentDifficultyLevel(), 5);
        QCOMPARE(store->difficultyLevel(EarTrainerIndex), 0);

        // Read back; key names (misspellings included) as earlier versions wrote them, each once.
        // (Every trainer field away from the presets: test_trainer_settings_page.)
        block = DifficultyPreset(3); // a level of its own for the note trainer
        block.noteTrainer.intervals = {2, 9, {10, 70, false, true}, {15, 33}, {true, false}, true};
        block.noteTrainer.wrongAnswerPolicy = {false, 5000};
        // Every field away from its default, in the order declared.
        const GeneralSettings general{
            "USB Keyboard:USB Keyboard MIDI 1 20:0", 3,     true,  true, true, true, 41,
            SettingsStore::InstrumentCount - 1,      false, false, true, true, QStringLiteral("de"), true, true};
        const LastState last{1, 2, -1, 4, 5};
        store->setTrainerSettings(block);
        store->setGeneralSettings(general);
        store->setLastState(last);
        store.reset();
        const QStringList keys = QSettings(FilePath(), QSettings::IniFormat).allKeys();
        for (const char* key : {"XMState.ExerciseID", "GlobalSetting/Settings.Answer.GKC",
                                "GlobalSetting/Settings.PractiseWeakSpots",
                                "Excersises/NoteTrainer/SingleNotes/Diapason/Chromatic/chromatics.Black",
                                "Excersises/NoteTrainer/Interval/Cleff/cleff.FClef",
                                "Excersises/NoteTrainer/OnWrongAnswerPolicy/Settings.WrongAnswerPolicy.Delay",
                                "Excersises/EarTrainer/Scales/Scales.ApplyDifferentScaleModes",
                                "Excersises/SheetMusicSymbol/Length/Length.HundredTwentyEight",
                                "Excersises/SheetMusicSymbol/Tempo/Duration/Duration.QuestionsValue"})
            QVERIFY2(keys.contains(QLatin1String(key)), key);
        QVERIFY(!keys.contains("Excersises/EarTrainer/OnWrongAnswerPolicy/Settings.WrongAnswerPolicy.Delay"));
        // 5 last-state keys, 15 general, 51 note trainer, 80 ear trainer, 74 symbol trainer.
        QCOMPARE(keys.size(), 5 + 15 + 51 + 80 + 74);
        auto reloaded = NewStore();
        QVERIFY(reloaded->currentSettings() == block);
        QVERIFY(reloaded->generalSettings() == general);
        QVERIFY(reloaded->lastState() == last);
        QCOMPARE(reloaded->difficultyLevel(NoteTrainerIndex), 5);
    }

    // Stored values unreadable or out of a list are ignored, numbers past the controls read as
    // the nearest offered; saved again, the file is the defaults but for `expected`.
    void storedValuesAreReadWithinTheControls_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QVariantMap>("expected");
        const QString notes = QStringLiteral("Excersises/NoteTrainer/SingleNotes/");
        const QString questions = notes + "Duration/Duration.QuestionsValue",
                      seconds = notes + "Duration/Duration.SecondsValue",
                      low = notes + "Diapason/Diapason.Minimum", high = notes + "Diapason/Diapason.Maximum";
        const QString tempoQuestions = "Excersises/SheetMusicSymbol/Tempo/Duration/Duration.QuestionsValue";
        const QString start = "Excersises/EarTrainer/Interval/Interval.IntervalStart",
                      end = "Excersises/EarTrainer/Interval/Interval.IntervalEnd";
        const QString delay = "Excersises/NoteTrainer/OnWrongAnswerPolicy/Settings.WrongAnswerPolicy.Delay";
        const QString chord = "Excersises/EarTrainer/Chord/Chord.Augmented";
        const QString instrument = "GlobalSetting/Settings.MidiInstrument",
                      appearance = "GlobalSetting/Settings.Appearance";
        const int keys = MusicTables::KeyCount, sizes = MusicTables::IntervalCount;
        const auto row = [](const char* name, const QVariantMap& stored, const QVariantMap& expected) {
            QTest::newRow(name) << stored << expected;
        };
        row("switch and delay read", {{chord, true}, {delay, 1000}}, {{chord, true}, {delay, 1000}});
        row("instrument past the list", {{instrument, SettingsStore::InstrumentCount}}, {});
        row("appearance not a number", {{appearance, "not a number"}}, {});
        row("questions past the box", {{questions, INT_MAX}}, {{questions, DurationSettings::MaxQuestions}});
        row("negative questions", {{tempoQuestions, -1}}, {{tempoQuestions, 0}});
        row("seconds past the box", {{seconds, 100000}}, {{seconds, DurationSettings::MaxSeconds}});
        row("negative seconds", {{seconds, INT_MIN}}, {{seconds, 0}});
        row("range past the keyboard", {{low, -12}, {high, 1000}}, {{low, 0}, {high, keys}});
        row("range the wrong way round", {{low, 60}, {high, 40}}, {{low, 40}, {high, 60}});
        row("range of no key", {{low, 50}, {high, 50}}, {{low, 50}, {high, 51}});
        row("range above the top key", {{low, keys}, {high, keys + 9}}, {{low, keys - 1}, {high, keys}});
        row("interval sizes reversed, past the list", {{start, 40}, {end, -3}},
            {{start, 0}, {end, sizes - 1}});
        row("negative wait after a mistake", {{delay, -1}}, {{delay, 0}});
        row("endless wait after a mistake", {{delay, INT_MAX}},
            {{delay, WrongAnswerPolicy::OfferedDelays.back()}});
    }

    void storedValuesAreReadWithinTheControls()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(QVariantMap, expected);
        QVERIFY(NewStore()->save());
        QVariantMap wanted = QtIniContents(FilePath()); // the defaults
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            wanted.insert(it.key(), it.value().toString());
        {
            // Written elsewhere and copied in, so that the store parses the file itself.
            QSettings file(settings->Path() + QStringLiteral("/stored.conf"), QSettings::IniFormat);
            for (auto it = stored.cbegin(); it != stored.cend(); ++it)
                file.setValue(it.key(), it.value());
        }
        QVERIFY(QFile::remove(FilePath()));
        QVERIFY(QFile::copy(settings->Path() + QStringLiteral("/stored.conf"), FilePath()));
        QVERIFY(NewStore()->save());
        QCOMPARE(QtIniContents(FilePath()), wanted);
    }

    // A file of noise is moved aside with its bytes, a warning says where, and a clean file of
    // the defaults takes its place.
    void unreadableFileIsKeptAside()
    {
        QVERIFY(NewStore()->save());
        const QVariantMap defaults = QtIniContents(FilePath());
        QVERIFY(!defaults.isEmpty());
        QByteArray noise(2048, '\0');
        std::mt19937 random(5);
        std::generate(noise.begin() + 1, noise.end(), [&random] { return char(random()); });
        QVERIFY(WriteAll(FilePath(), noise));
        const QDir folder = QFileInfo(FilePath()).dir();

        std::unique_ptr<SettingsStore> store;
        const QStringList warnings = WarningsOf([&] { store = NewStore(); });
        const QStringList kept = folder.entryList({"Cantorela.conf.unreadable-*"}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(ReadAll(folder.filePath(kept.first())), noise);
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings.first().contains(folder.filePath(kept.first())), qPrintable(warnings.first()));

        QCOMPARE(QtIniContents(FilePath()), defaults);
        QVERIFY(store->generalSettings() == GeneralSettings());
        QVERIFY(store->save());
    }

    // On a full disk a save fails and the file keeps its bytes; once there is room the same store
    // saves again. The disk is a real one: a small tmpfs of the test's own, filled.
    void fullDiskLeavesTheFileAsItWas()
    {
        FullDisk disk(256);
        if (!disk.IsMounted())
            QSKIP(qPrintable(disk.Why()));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, disk.Path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, disk.Path());
        const QString path = disk.Path() + QStringLiteral("/Vantorix/Cantorela.conf");

        auto store = NewStore();
        QCOMPARE(store->fileName(), path);
        QVERIFY(store->save());
        const QByteArray before = ReadAll(path);
        const int page = int(::sysconf(_SC_PAGESIZE));
        QVERIFY(before.size() > page);

        // Full but for one page: room for QSettings' lock file, none for the settings.
        QFile filler(disk.Path() + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(page, 'x');
        while (filler.write(block) == block.size()) {
        }
        QVERIFY(filler.resize(filler.size() - page));

        GeneralSettings changed = store->generalSettings();
        changed.newsId = 77;
        // One warning for the write-through of the change, one for the save.
        bool saved = true;
        const QStringList warnings = WarningsOf([&] {
            store->setGeneralSettings(changed);
            saved = store->save();
        });
        QVERIFY(!saved);
        QCOMPARE(warnings.size(), 2);
        QCOMPARE(ReadAll(path), before);
        QCOMPARE(QDir(disk.Path() + QStringLiteral("/Vantorix")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Cantorela.conf")});

        QVERIFY(filler.remove());
        QVERIFY(store->save());
        QCOMPARE(QtIniContents(path).value(QStringLiteral("GlobalSetting/Settings.NewsId")).toInt(),
                 changed.newsId);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settings_store.moc"

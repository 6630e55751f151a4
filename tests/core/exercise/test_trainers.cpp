// The three trainers and their catalogue: what is asked, how it sounds, buttons, labels, weights.

#include "../../common/temp_settings.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_ear_trainer.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_note_data.h"
#include "core/exercise/settings_check.h"
#include "core/midi/midi_bank.h"
#include "settings_blocks.h"
#include "test_trainer.h"

#include <QtTest>

#include <cstdlib>

using namespace Core;

// Opens the draw of a trainer to the tests.
template <typename Trainer> class Probe : public Trainer
{
public:
    using Trainer::Trainer;
    QuestionRecord Draw(int section)
    {
        QuestionRecord question;
        drawn = this->DrawQuestion(section, question);
        return question;
    }
    // The statistics keys of `count` questions drawn, divided by `per`.
    QSet<int> Asked(int section, int count, int per = 1)
    {
        QSet<int> keys;
        for (int i = 0; i < count; ++i)
            keys.insert(Draw(section).AskedItem()->statisticsKey / per);
        return keys;
    }
    bool drawn = false;
};

static QVector<double> NoteOnTimes(const QuestionData* item)
{
    QVector<double> times;
    for (const MidiEvent& e : *item->stream)
        if (e.message.IsNoteOn())
            times.append(e.seconds);
    return times;
}

static int AskedKey(const QuestionRecord& question)
{
    return static_cast<const QuestionNoteData*>(question.AskedItem())->key;
}

// Only the switches `on` of a set.
template <typename Set, typename Switch> static void Only(Set& set, std::initializer_list<Switch> on)
{
    set.SetAll(false);
    for (Switch s : on)
        set[s] = true;
}

class TestTrainers : public QObject
{
    Q_OBJECT

    TempSettings home;
    SettingsBlocks settings;
    std::shared_ptr<MidiBank> bank;

    std::unique_ptr<Exercise> MakeTrainer(int trainer)
    {
        if (trainer == 0)
            return std::make_unique<ExerciseNoteTrainer>(&settings);
        if (trainer == 1)
            return std::make_unique<ExerciseEarTrainer>(&settings, bank);
        return std::make_unique<ExerciseSymbolTrainer>(&settings, bank);
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(midi_pieces);
        QVERIFY(home.IsValid());
        qputenv("XDG_DATA_HOME", home.Path().toUtf8());
        bank = std::make_shared<MidiBank>();
        std::srand(20261206);
    }

    // Edge cases of the trainers' rules: a wrong trainer filed, a note on the wrong staff, an id
    // past a table labelled as its neighbour, one answer taken for another.
    void rulesAtTheEdges_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("expected");
        const auto row = [](const char* name, const QVariant& value, const QVariant& expected) {
            QTest::newRow(name) << value << expected;
        };
        const std::shared_ptr<Exercise> pastTheEar = ExerciseCatalog(&settings).CreateExercise(7);
        row("trainer: past the ear trainer",
            bool(std::dynamic_pointer_cast<ExerciseSymbolTrainer>(pastTheEar)), true);
        row("trainer: past the ear trainer, filed", pastTheEar->GetTrainerIndex(), 2);
        row("trainer: symbols alone, filed", ExerciseSymbolTrainer(&settings).GetTrainerIndex(), 2);
        Probe<ExerciseNoteTrainer> unset(nullptr);
        unset.Draw(0);
        row("trainer: no settings, nothing drawn", unset.drawn, false);
        unset.SetUpSections(); // no durations either: nothing changes
        row("trainer: no settings, no questions", unset.GetSections()[0].questionCount, 0);
        const auto treble = &ExerciseNoteTrainer::ChooseTrebleClef; // G clef, F clef, key, previous
        row("staff: F only, A5 above the bass staff", treble(false, true, 60, false), true);
        row("staff: F only, D#5 still bass", treble(false, true, 54, false), false);
        row("staff: F only, D#5 after treble", treble(false, true, 54, true), false);
        row("staff: G only, A#2 treble", treble(true, false, 25, true), true);
        row("staff: G only, A2 bass", treble(true, false, 24, true), false);
        row("staff: neither, as G only", treble(false, false, 24, false), false);
        row("staff: neither, middle C", treble(false, false, 39, true), true);
        row("staff: both, alternate to treble", treble(true, true, 39, false), true);
        row("staff: both, alternate to bass", treble(true, true, 39, true), false);
        row("staff: both, too low for treble", treble(true, true, 24, false), false);
        row("staff: both, too high for bass", treble(true, true, 55, true), true);
        row("staff: both, D#5 may be bass", treble(true, true, 54, true), false);
        const auto label = [this](int trainer, int section, int id) {
            return MakeTrainer(trainer)->QuestionLabel(section, id);
        };
        row("label: top note", label(0, 0, 87), "C8");
        row("label: past the top note", label(0, 0, 88), "note error");
        row("label: last interval", label(0, 1, 1065), "C7 Perfect octave");
        row("label: past the intervals", label(0, 1, 1066), "interval error");
        row("label: chord inversion", label(0, 2, MusicTables::ChordBlockSize(0) + 39), "Cmaj inv1 (oct 4)");
        row("label: ear tempo, negative", label(1, 4, -1), "");
        row("label: ear tempo, past Vivace", label(1, 4, 448), "");
        row("label: table chord, inv2", MusicTables::ChordLabel(0, 40, 2),
            QString::fromUtf8("C\u266Fmaj inv2\n(oct 4)"));
        row("label: table chord error", MusicTables::ChordLabel(18, 40, 0), "chord error");
        row("label: suffix error", MusicTables::ChordSuffix(-1), "chord error");
        row("label: table interval error", MusicTables::IntervalLabel(13, 0, false), "interval error");
        row("label: interval name error", MusicTables::IntervalName(13), "interval error");
        row("label: note name error", MusicTables::NoteName(12, false), "note error");
        row("label: scale error", MusicTables::ScaleLabel(10, 39, false), "scale error");
        row("label: scale name error", MusicTables::ScaleName(10), "scale error");
        const auto same = [this](int trainer, int section, int a, int b) {
            return MakeTrainer(trainer)->IsSameAnswer(section, a, b);
        };
        const int third = MusicTables::IntervalFirstId(4);
        row("same: C button, C4 asked", same(0, 0, 3, 39), true);
        row("same: thirds on two roots", same(0, 1, third, third + 20), true);
        row("same: no interval", same(0, 1, -1, -1), false);
        row("same: scales of one type", same(1, 3, 76, 151), true);
        row("same: scales across types", same(1, 3, 75, 76), false);
        row("same: ear pieces of one tempo", same(1, 4, 65, 127), true);
        row("same: ear tempos side by side", same(1, 4, 63, 64), false);
        row("same: symbol pieces of one tempo", same(2, 2, 65, 127), true);
    }
    void rulesAtTheEdges()
    {
        QFETCH(QVariant, value);
        QTEST(value, "expected");
    }

    // Catches a question written or sounded against the settings (staff, chord, arpeggio), and an
    // answer view comparing the wrong notes (all of an interval or a chord, none of a tempo).
    void drawsAsTheSettingsSay()
    {
        settings.Change([](TrainerSettings& s) {
            s.noteTrainer.singleNotes.diapason = {30, 50};
            s.noteTrainer.singleNotes.clefs = {true, true};
            Only(s.noteTrainer.chords,
                 {ChordSwitch::MajorTriad, ChordSwitch::MinorTriad, ChordSwitch::ChordNotation});
            s.noteTrainer.chords.diapason = {20, 60};
            s.noteTrainer.intervals.arpeggiated = false;
            s.noteTrainer.intervals.diapason = {20, 60};
            s.earTrainer.tempo.SetAll(true);
        });
        Probe<ExerciseNoteTrainer> trainer(&settings);
        bool previousTreble = trainer.Draw(0).option1;
        QVERIFY(trainer.drawn);
        for (int i = 0; i < 20; ++i) {
            const QuestionRecord question = trainer.Draw(0);
            QCOMPARE(question.option1, !previousTreble);
            const QByteArray clef = question.option1 ? "\\clef<\"g" : "\\clef<\"f";
            QVERIFY2(question.AskedItem()->gmn.contains(clef), question.AskedItem()->gmn.constData());
            previousTreble = question.option1;
        }

        // A chord symbol sounds its notes together; the pool entry stays without a score, only the
        // asked copy carries one. (Answered on the keys only: test_exercise_screen.)
        const QuestionRecord chord = trainer.Draw(2);
        QCOMPARE(chord.kind, int(QuestionRecord::ChordSymbolQuestion));
        QCOMPARE(NoteOnTimes(chord.AskedItem()), QVector<double>(NoteOnTimes(chord.AskedItem()).size(), 0.0));
        QVERIFY(chord.AskedItem()->gmn.contains(" { "));
        QVERIFY(GetChordPool()[size_t(chord.AskedItem()->statisticsKey)]->gmn.isEmpty());

        QuestionRecord interval = trainer.Draw(1);
        QCOMPARE(NoteOnTimes(interval.AskedItem()), (QVector<double>{0.0, 0.0}));
        for (const MidiEvent& e : *interval.AskedItem()->stream)
            QVERIFY(!e.message.IsNoteOff() || e.seconds == 1.0);

        // Arpeggiated: one after the other, and written in sequence.
        settings.Change([](TrainerSettings& s) {
            s.noteTrainer.intervals.arpeggiated = true;
            s.noteTrainer.chords[ChordSwitch::ChordNotation] = false;
        });
        interval = trainer.Draw(1);
        QCOMPARE(NoteOnTimes(interval.AskedItem()), (QVector<double>{0.0, 0.5}));
        QVERIFY(!interval.AskedItem()->gmn.contains(" { "));
        QCOMPARE(trainer.Draw(2).kind, int(QuestionRecord::NoteReadingQuestion));

        for (int section : {1, 2}) { // the answer view of the notes asked
            const QuestionRecord question = trainer.Draw(section);
            Answer answer{Answer::Notes, {}};
            for (const MidiEvent& e : *question.AskedItem()->stream)
                if (e.message.IsNoteOn())
                    answer.notes.append(e);
            QVector<QPair<int, int>> keys;
            QVERIFY(!trainer.DrawAnswerView(question, answer, keys).isEmpty());
            QCOMPARE(keys.size(), answer.notes.size()); // every note played, right
            QCOMPARE(keys[0].first, int(answer.notes[0].message.byte1) - 21);
            for (const auto& key : keys)
                QCOMPARE(key.second, 0);
        }

        QVERIFY(TrainerSupport::TrebleForSound(Item(0, {55, 60, 65})->stream.get()));
        QVERIFY(!TrainerSupport::TrebleForSound(Item(0, {55, 59, 64})->stream.get())); // 178 / 3 = 59
        for (int key : {39, 38}) { // MIDI 60, 59: white keys
            settings.Change([&](TrainerSettings& s) {
                s.earTrainer.singleNotes.diapason = {key, key + 1, true, false};
            });
            Probe<ExerciseEarTrainer> ear(&settings);
            const QuestionRecord question = ear.Draw(0);
            QCOMPARE(AskedKey(question), key);
            QCOMPARE(question.option1, key == 39);
            QVector<QPair<int, int>> keys{{1, 1}};
            QVERIFY(ear.DrawAnswerView(ear.Draw(ExerciseEarTrainer::TempoSection), Answer(), keys).isEmpty());
            QVERIFY(keys.isEmpty());
        }
    }

    // Questions answered wrongly in this run come back more often; once the run's records are
    // cleared (a lesson opened again), the history alone leaves the draw even.
    void mistakesOfThisRunWeighTheDraw()
    {
        settings.Change([](TrainerSettings& s) {
            s.noteTrainer.singleNotes.diapason = {39, 44, true, false};
        });
        QTemporaryDir dir; // C4 to E4, white keys: C D E
        auto statistics = std::make_shared<ExerciseStatistics>(dir.filePath(QStringLiteral("h.xml")),
                                                               dir.filePath(QStringLiteral("l.xml")));
        auto countD = [&](bool weighted) {
            Probe<ExerciseNoteTrainer> trainer(&settings);
            if (weighted)
                trainer.Initialize(statistics, 0);
            int d = 0;
            for (int i = 0; i < 600; ++i)
                d += AskedKey(trainer.Draw(0)) == 41 ? 1 : 0;
            return d;
        };
        const int plain = countD(false);
        for (const StatisticsRecord& r :
             {StatisticsRecord{39, 0, 0, 10, 0}, {43, 0, 0, 10, 0}, {41, 0, 0, 0, 5}})
            statistics->Add(r);
        const int weighted = countD(true);
        QVERIFY2(weighted > plain + 60,
                 qPrintable(QStringLiteral("D %1 weighted, %2 plain").arg(weighted).arg(plain)));
        statistics->ClearLocal(0);
        const int cleared = countD(true);
        QVERIFY2(cleared < weighted - 60,
                 qPrintable(QStringLiteral("D %1 cleared, %2 weighted").arg(cleared).arg(weighted)));
    }

    // Every section's buttons have texts, and no two of them are the same answer; the tempos
    // offered leave out Vivace.
    void answerButtonsAreDistinct_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("section");
        for (int trainer = 0; trainer < 3; ++trainer)
            for (int section = 0; section < TrainerSectionCount(trainer); ++section)
                QTest::addRow("trainer %d, section %d", trainer, section) << trainer << section;
    }
    void answerButtonsAreDistinct()
    {
        QFETCH(int, trainer);
        QFETCH(int, section);
        auto exercise = MakeTrainer(trainer);
        std::vector<int> ids;
        exercise->ChoiceIds(section, ids);
        QVERIFY(ids.size() > 1);
        if (KindOfSection(trainer, section) == SectionKind::Tempo)
            QCOMPARE(int(ids.size()), MusicTables::TempoCount - 1);
        QSet<QString> texts;
        for (size_t a = 0; a < ids.size(); ++a) {
            texts.insert(exercise->AnswerText(section, ids[a]));
            for (size_t b = 0; b < ids.size(); ++b)
                QCOMPARE(exercise->IsSameAnswer(section, ids[a], ids[b]), a == b);
        }
        QCOMPARE(texts.size(), int(ids.size()));
        QVERIFY(!texts.contains(QString()));
    }

    // Every candidate is heard in the question's direction: up, down or either (-1).
    void scaleDirection_data()
    {
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<int>("up");
        QTest::newRow("neither: down") << false << false << 0;
        QTest::newRow("ascending only") << true << false << 1;
        QTest::newRow("descending only") << false << true << 0;
        QTest::newRow("both: either") << true << true << -1;
    }
    void scaleDirection()
    {
        QFETCH(bool, ascending);
        QFETCH(bool, descending);
        QFETCH(int, up);
        settings.Change([&](TrainerSettings& s) {
            Only(s.earTrainer.scales, {ScaleSwitch::NaturalMaj, ScaleSwitch::NaturalMin});
            s.earTrainer.scales[ScaleSwitch::Ascending] = ascending;
            s.earTrainer.scales[ScaleSwitch::Descending] = descending;
            s.earTrainer.scales.diapason = {20, 70};
        });
        Probe<ExerciseEarTrainer> trainer(&settings);
        QSet<bool> seen;
        for (int i = 0; i < 30; ++i) {
            QSet<bool> directions;
            for (const auto& candidate : trainer.Draw(ExerciseEarTrainer::ScalesSection).candidates)
                directions.insert(candidate->stream->first().message.byte1 <
                                  candidate->stream->last().message.byte1); // first on, last off
            QCOMPARE(directions.size(), 1);
            seen += directions;
        }
        QCOMPARE(seen, (up < 0 ? QSet<bool>{true, false} : QSet<bool>{up == 1}));
    }

    // Catches buttons showing the wrong tempo or signature picture, and a draw of something
    // switched off (or of anything with all switched off).
    void whatTheButtonsShowAndWhatIsAsked()
    {
        settings.Change([](TrainerSettings& s) {
            s.earTrainer.tempo.SetAll(true);
            s.symbolTrainer.tempo.SetAll(true);
            s.symbolTrainer.keySignatures.SetAll(true);
        });
        Probe<ExerciseEarTrainer> ear(&settings, bank);
        Probe<ExerciseSymbolTrainer> symbols(&settings, bank);
        QSet<QString> staves;
        for (int i = 0; i < 10; ++i) {
            QSet<int> tempos;
            for (const auto& candidate : ear.Draw(ExerciseEarTrainer::TempoSection).candidates) {
                tempos.insert(candidate->statisticsKey / 64);
                QCOMPARE(candidate->caption2, MusicTables::TempoName(candidate->statisticsKey / 64));
            }
            QCOMPARE(tempos.size(), 6);
            for (const auto& candidate : symbols.Draw(ExerciseSymbolTrainer::TempoSection).candidates) {
                QCOMPARE(candidate->caption2, MusicTables::TempoDescription(candidate->statisticsKey / 64));
                QCOMPARE(candidate->caption, MusicTables::TempoPicture(candidate->statisticsKey / 64));
            }
            for (const auto& candidate : symbols.Draw(ExerciseSymbolTrainer::SignaturesSection).candidates) {
                const int row = candidate->statisticsKey;
                QVERIFY(candidate->caption == ExerciseSymbolTrainer::SignaturePicture(row, true) ||
                        candidate->caption == ExerciseSymbolTrainer::SignaturePicture(row, false));
                staves.insert(candidate->caption.section(QLatin1Char('-'), -1));
            }
        }
        QCOMPARE(staves, (QSet<QString>{QStringLiteral("tr.png"), QStringLiteral("bass.png")}));

        settings.Change([](TrainerSettings& s) {
            Only(s.symbolTrainer.lengths, {LengthSwitch::Whole, LengthSwitch::Rests});
            Only(s.symbolTrainer.keySignatures, {KeySignatureSwitch::GbMaj});
            Only(s.earTrainer.tempo, {TempoSwitch::Largo});
        });
        QCOMPARE(symbols.Asked(ExerciseSymbolTrainer::LengthsSection, 30), (QSet<int>{0, 1}));
        QCOMPARE(symbols.Asked(ExerciseSymbolTrainer::SignaturesSection, 30), (QSet<int>{6, 7}));
        QCOMPARE(ear.Asked(ExerciseEarTrainer::TempoSection, 10, 64), QSet<int>{3});
        settings.Change([](TrainerSettings& s) {
            s.symbolTrainer.lengths[LengthSwitch::Rests] = false;
            s.earTrainer.tempo.SetAll(false);
        });
        QCOMPARE(symbols.Asked(ExerciseSymbolTrainer::LengthsSection, 10), QSet<int>{0});
        ear.Draw(ExerciseEarTrainer::TempoSection);
        QVERIFY(!ear.drawn);
    }
};

QTEST_GUILESS_MAIN(TestTrainers)
#include "test_trainers.moc"

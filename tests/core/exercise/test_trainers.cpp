// The three trainers draw by draw, and the catalogue that makes them: which staff a note goes
// on, chords and intervals as the settings ask, scale direction and the ear trainer's staff,
// tempo pieces, the answer buttons and labels the student reads, and the weighting of questions
// answered wrongly before.

#include "../../common/temp_settings.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_ear_trainer.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_note_data.h"
#include "core/midi/midi_bank.h"
#include "settings_blocks.h"

#include <QSet>
#include <QtTest>

#include <cstdlib>

using namespace Core;

namespace {

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

QVector<int> NoteOns(const QuestionData* item, QVector<double>* times = nullptr)
{
    QVector<int> notes;
    for (const MidiEvent& e : *item->stream)
        if (e.message.IsNoteOn()) {
            notes.append(e.message.byte1);
            if (times)
                times->append(e.seconds);
        }
    return notes;
}

QVector<double> NoteOnTimes(const QuestionData* item)
{
    QVector<double> times;
    NoteOns(item, &times);
    return times;
}

int AskedKey(const QuestionRecord& question)
{
    return static_cast<const QuestionNoteData*>(question.AskedItem())->key;
}

// Only the switches `on` of a set.
template <typename Set, typename Switch> void Only(Set& set, std::initializer_list<Switch> on)
{
    set.SetAll(false);
    for (Switch s : on)
        set[s] = true;
}

} // namespace

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

    // An index past the ear trainer makes the symbol trainer, whose answers are filed under
    // trainer 2, as they are when it is made without the catalogue.
    void catalogueMakesSymbolsPastTheLastTrainer()
    {
        auto symbols = ExerciseCatalog(&settings).CreateExercise(7);
        QVERIFY(dynamic_cast<ExerciseSymbolTrainer*>(symbols.get()));
        QCOMPARE(symbols->GetTrainerIndex(), 2);
        QCOMPARE(ExerciseSymbolTrainer(&settings).GetTrainerIndex(), 2);
    }

    void trainerWithoutSettingsAsksNothing()
    {
        Probe<ExerciseNoteTrainer> trainer(nullptr);
        trainer.Draw(0);
        QVERIFY(!trainer.drawn);
        trainer.SetUpSections(); // no durations either: nothing changes
        QCOMPARE(trainer.GetSections()[0].questionCount, 0);
    }

    // ---- note trainer --------------------------------------------------------------------

    void noteGoesOnTheStaffThatFitsIt_data()
    {
        QTest::addColumn<bool>("gClef");
        QTest::addColumn<bool>("fClef");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("previousTreble");
        QTest::addColumn<bool>("treble");
        QTest::newRow("F only, A5 above the bass staff") << false << true << 60 << false << true;
        QTest::newRow("F only, D#5 still bass") << false << true << 54 << false << false;
        QTest::newRow("F only, D#5 after treble") << false << true << 54 << true << false;
        QTest::newRow("G only, A#2 treble") << true << false << 25 << true << true;
        QTest::newRow("G only, A2 bass") << true << false << 24 << true << false;
        QTest::newRow("neither: as G only") << false << false << 24 << false << false;
        QTest::newRow("neither, middle C") << false << false << 39 << true << true;
        QTest::newRow("both, alternate to treble") << true << true << 39 << false << true;
        QTest::newRow("both, alternate to bass") << true << true << 39 << true << false;
        QTest::newRow("both, too low for treble") << true << true << 24 << false << false;
        QTest::newRow("both, too high for bass") << true << true << 55 << true << true;
        QTest::newRow("both, D#5 may be bass") << true << true << 54 << true << false;
    }
    void noteGoesOnTheStaffThatFitsIt()
    {
        QFETCH(bool, gClef);
        QFETCH(bool, fClef);
        QFETCH(int, key);
        QFETCH(bool, previousTreble);
        QTEST(ExerciseNoteTrainer::ChooseTrebleClef(gClef, fClef, key, previousTreble), "treble");
    }

    // With both clefs the staves alternate, and the question is written on the staff chosen.
    void noteStavesAlternateWithBothClefs()
    {
        settings.Change([](TrainerSettings& s) {
            s.noteTrainer.singleNotes.diapason = {30, 50};
            s.noteTrainer.singleNotes.clefs = {true, true};
        });
        Probe<ExerciseNoteTrainer> trainer(&settings);
        bool previousTreble = trainer.Draw(0).option1;
        QVERIFY(trainer.drawn);
        for (int i = 0; i < 20; ++i) {
            const QuestionRecord question = trainer.Draw(0);
            QVERIFY(AskedKey(question) >= 30 && AskedKey(question) < 50);
            QCOMPARE(question.option1, !previousTreble);
            const QByteArray clef = question.option1 ? "\\clef<\"g" : "\\clef<\"f";
            QVERIFY2(question.AskedItem()->gmn.contains(clef), question.AskedItem()->gmn.constData());
            previousTreble = question.option1;
        }
    }

    void chordsAndIntervalsSoundAsTheSettingsSay()
    {
        settings.Change([](TrainerSettings& s) {
            Only(s.noteTrainer.chords,
                 {ChordSwitch::MajorTriad, ChordSwitch::MinorTriad, ChordSwitch::ChordNotation});
            s.noteTrainer.chords.diapason = {20, 60};
            s.noteTrainer.intervals.arpeggiated = false;
            s.noteTrainer.intervals.intervalStart = 3;
            s.noteTrainer.intervals.intervalEnd = 7;
            s.noteTrainer.intervals.diapason = {20, 60};
        });
        Probe<ExerciseNoteTrainer> trainer(&settings);
        // A chord symbol sounds its notes together; the pool entry stays without a score, only the
        // asked copy carries one.
        QuestionRecord chord = trainer.Draw(2);
        QVERIFY(trainer.drawn);
        QCOMPARE(chord.kind, int(QuestionRecord::ChordSymbolQuestion));
        QCOMPARE(NoteOnTimes(chord.AskedItem()), QVector<double>(NoteOnTimes(chord.AskedItem()).size(), 0.0));
        QVERIFY(chord.AskedItem()->gmn.contains(" { "));
        QVERIFY(GetChordPool()[size_t(chord.AskedItem()->statisticsKey)]->gmn.isEmpty());

        QuestionRecord interval = trainer.Draw(1);
        QCOMPARE(interval.kind, int(QuestionRecord::NoteReadingQuestion));
        QCOMPARE(interval.answerModes, int(QuestionRecord::NotesMode | QuestionRecord::ChoiceMode));
        QCOMPARE(trainer.AnswerInputMode(interval), 2);
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
        const auto* keys = static_cast<const QuestionChordData*>(interval.AskedItem());
        QVERIFY(keys->keys[1] - keys->keys[0] >= 3 && keys->keys[1] - keys->keys[0] <= 7);
        chord = trainer.Draw(2);
        QCOMPARE(chord.kind, int(QuestionRecord::NoteReadingQuestion));
        QCOMPARE(trainer.AnswerInputMode(chord), 2);
    }

    // The answer view compares only the first note of an interval, every note of a chord; the
    // ear trainer shows no notes for a tempo piece.
    void answerViewOfAnIntervalShowsItsFirstNoteOnly()
    {
        settings.Change([](TrainerSettings& s) {
            s.noteTrainer.intervals.intervalStart = 4;
            s.noteTrainer.intervals.intervalEnd = 4;
            s.noteTrainer.intervals.diapason = {30, 40};
            Only(s.noteTrainer.chords, {ChordSwitch::MajorTriad});
            s.noteTrainer.chords.diapason = {30, 40};
            s.earTrainer.tempo.SetAll(true);
        });
        Probe<ExerciseNoteTrainer> trainer(&settings);
        for (int section : {1, 2}) {
            const QuestionRecord question = trainer.Draw(section);
            Answer answer;
            answer.kind = Answer::Notes;
            for (int note : NoteOns(question.AskedItem()))
                answer.notes.append({MidiMessage(0x90, 0, quint8(note), 100), 0, 0.0});
            QVector<QPair<int, int>> keys;
            QVERIFY(!trainer.DrawAnswerView(question, answer, keys).isEmpty());
            QCOMPARE(keys.size(), section == 1 ? 1 : 3);
            QCOMPARE(keys[0].first, int(answer.notes[0].message.byte1) - 21);
            for (const auto& key : keys)
                QCOMPARE(key.second, 0);
        }
        Probe<ExerciseEarTrainer> ear(&settings);
        QVector<QPair<int, int>> keys{{1, 1}};
        QVERIFY(ear.DrawAnswerView(ear.Draw(ExerciseEarTrainer::TempoSection), Answer(), keys).isEmpty());
        QVERIFY(keys.isEmpty());
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
        statistics->Add(StatisticsRecord{39, 0, 0, 10, 0});
        statistics->Add(StatisticsRecord{43, 0, 0, 10, 0});
        statistics->Add(StatisticsRecord{41, 0, 0, 0, 5});
        const int weighted = countD(true);
        QVERIFY2(weighted > plain + 60,
                 qPrintable(QStringLiteral("D %1 weighted, %2 plain").arg(weighted).arg(plain)));
        statistics->ClearLocal(0);
        const int cleared = countD(true);
        QVERIFY2(cleared < weighted - 60,
                 qPrintable(QStringLiteral("D %1 cleared, %2 weighted").arg(cleared).arg(weighted)));
    }

    // ---- what the student reads: buttons, labels, answers taken as the same ------------------

    // Every section's buttons have texts, and no two of them are the same answer.
    void answerButtonsAreDistinct_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("count");
        QTest::newRow("notes") << 0 << 0 << 12;
        QTest::newRow("intervals") << 0 << 1 << 13;
        QTest::newRow("chords") << 0 << 2 << MusicTables::ChordTypeCount;
        QTest::newRow("ear scales") << 1 << 3 << 10;
        QTest::newRow("ear tempo, no Vivace") << 1 << 4 << 6;
        QTest::newRow("lengths") << 2 << 0 << 16;
        QTest::newRow("signatures") << 2 << 1 << 13;
        QTest::newRow("symbol tempo, no Vivace") << 2 << 2 << 6;
        QTest::newRow("loudness") << 2 << 3 << 11;
        QTest::newRow("modifiers") << 2 << 4 << 24;
    }
    void answerButtonsAreDistinct()
    {
        QFETCH(int, trainer);
        QFETCH(int, section);
        auto exercise = MakeTrainer(trainer);
        std::vector<int> ids;
        exercise->ChoiceIds(section, ids);
        QTEST(int(ids.size()), "count");
        QSet<QString> texts;
        for (size_t a = 0; a < ids.size(); ++a) {
            texts.insert(exercise->AnswerText(section, ids[a]));
            for (size_t b = 0; b < ids.size(); ++b)
                QCOMPARE(exercise->IsSameAnswer(section, ids[a], ids[b]), a == b);
        }
        QCOMPARE(texts.size(), int(ids.size()));
        QVERIFY(!texts.contains(QString()));
    }

    // Ids past the tables are named as errors, never as a neighbour; a label is on one line.
    void questionLabelsAtTheEdges_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("label");
        QTest::newRow("top note") << 0 << 0 << 87 << "C8";
        QTest::newRow("past the top note") << 0 << 0 << 88 << "note error";
        QTest::newRow("last interval") << 0 << 1 << 1065 << "C7 Perfect octave";
        QTest::newRow("past the intervals") << 0 << 1 << 1066 << "interval error";
        QTest::newRow("chord inversion")
            << 0 << 2 << MusicTables::ChordBlockSize(0) + 39 << "Cmaj inv1 (oct 4)";
        QTest::newRow("ear tempo, negative") << 1 << 4 << -1 << "";
        QTest::newRow("ear tempo, past Vivace") << 1 << 4 << 448 << "";
    }
    void questionLabelsAtTheEdges()
    {
        QFETCH(int, trainer);
        QFETCH(int, section);
        QFETCH(int, id);
        QTEST(MakeTrainer(trainer)->QuestionLabel(section, id), "label");
    }

    // The asked item and its button are the same answer by pitch class, interval size, scale
    // type or tempo, whatever the octave, root or piece (two buttons never are: see above).
    void sameAnswer_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<bool>("same");
        const int third = MusicTables::IntervalFirstId(4);
        QTest::newRow("C button, C4 asked") << 0 << 0 << 3 << 39 << true;
        QTest::newRow("thirds on two roots") << 0 << 1 << third << third + 20 << true;
        QTest::newRow("no interval") << 0 << 1 << -1 << -1 << false;
        QTest::newRow("scales of one type") << 1 << 3 << 76 << 151 << true;
        QTest::newRow("scales across types") << 1 << 3 << 75 << 76 << false;
        QTest::newRow("ear pieces of one tempo") << 1 << 4 << 65 << 127 << true;
        QTest::newRow("ear tempos side by side") << 1 << 4 << 63 << 64 << false;
        QTest::newRow("symbol pieces of one tempo") << 2 << 2 << 65 << 127 << true;
    }
    void sameAnswer()
    {
        QFETCH(int, trainer);
        QFETCH(int, section);
        QFETCH(int, a);
        QFETCH(int, b);
        QTEST(MakeTrainer(trainer)->IsSameAnswer(section, a, b), "same");
    }

    // ---- ear trainer ---------------------------------------------------------------------

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
            const QuestionRecord question = trainer.Draw(ExerciseEarTrainer::ScalesSection);
            QCOMPARE(question.kind, int(QuestionRecord::EarQuestion));
            QSet<bool> directions;
            for (const auto& candidate : question.candidates)
                directions.insert(NoteOns(candidate.get()).first() < NoteOns(candidate.get()).last());
            QCOMPARE(directions.size(), 1);
            seen += directions;
        }
        QCOMPARE(seen, (up < 0 ? QSet<bool>{true, false} : QSet<bool>{up == 1}));
    }

    // A sound whose notes average middle C or higher goes on the treble staff.
    void earStaffFollowsTheAverageNote()
    {
        auto stream = [](std::initializer_list<int> notes) {
            MidiStream s;
            for (int n : notes)
                s.append({MidiMessage(0x90, 0, quint8(n), 96), 0, 0.0});
            return s;
        };
        MidiStream sixty = stream({55, 60, 65}), fiftyNine = stream({55, 59, 64}); // 178 / 3 = 59
        QVERIFY(TrainerSupport::TrebleForSound(&sixty));
        QVERIFY(!TrainerSupport::TrebleForSound(&fiftyNine));
        for (int key : {39, 38}) { // MIDI 60, 59: white keys
            settings.Change([&](TrainerSettings& s) {
                s.earTrainer.singleNotes.diapason = {key, key + 1, true, false};
            });
            Probe<ExerciseEarTrainer> trainer(&settings);
            const QuestionRecord question = trainer.Draw(0);
            QCOMPARE(AskedKey(question), key);
            QCOMPARE(question.option1, key == 39);
        }
    }

    // Six different tempos to choose from, read by name, and only the tempos switched on are
    // asked. (The tempo pool with and without pieces: test_question_pools.)
    void earTempoAsksOnlyTheTemposSwitchedOn()
    {
        settings.Change([](TrainerSettings& s) { s.earTrainer.tempo.SetAll(true); });
        Probe<ExerciseEarTrainer> trainer(&settings, bank);
        for (int i = 0; i < 10; ++i) {
            const QuestionRecord question = trainer.Draw(ExerciseEarTrainer::TempoSection);
            QCOMPARE(question.kind, int(QuestionRecord::TempoQuestion));
            QCOMPARE(question.answerModes, int(QuestionRecord::ChoiceMode));
            QSet<int> tempos;
            for (const auto& candidate : question.candidates) {
                tempos.insert(candidate->statisticsKey / 64);
                QCOMPARE(candidate->caption2, MusicTables::TempoName(candidate->statisticsKey / 64));
            }
            QCOMPARE(tempos.size(), 6);
        }
        settings.Change([](TrainerSettings& s) { Only(s.earTrainer.tempo, {TempoSwitch::Largo}); });
        QCOMPARE(trainer.Asked(ExerciseEarTrainer::TempoSection, 10, 64), QSet<int>{3});
        settings.Change([](TrainerSettings& s) { s.earTrainer.tempo.SetAll(false); });
        trainer.Draw(ExerciseEarTrainer::TempoSection);
        QVERIFY(!trainer.drawn);
    }

    // ---- symbol trainer ------------------------------------------------------------------

    void symbolLengthsFollowTheSwitches()
    {
        settings.Change([](TrainerSettings& s) {
            Only(s.symbolTrainer.lengths, {LengthSwitch::Whole, LengthSwitch::Rests});
        });
        Probe<ExerciseSymbolTrainer> trainer(&settings);
        QCOMPARE(trainer.Asked(ExerciseSymbolTrainer::LengthsSection, 30), (QSet<int>{0, 1}));
        settings.Change([](TrainerSettings& s) { s.symbolTrainer.lengths[LengthSwitch::Rests] = false; });
        QCOMPARE(trainer.Asked(ExerciseSymbolTrainer::LengthsSection, 10), QSet<int>{0});
    }

    // Key signatures are shown on either staff; G flat major is asked as either spelling.
    void symbolSignaturesMixStaves()
    {
        settings.Change([](TrainerSettings& s) { s.symbolTrainer.keySignatures.SetAll(true); });
        Probe<ExerciseSymbolTrainer> trainer(&settings);
        QSet<QString> endings;
        for (int i = 0; i < 10; ++i)
            for (const auto& candidate : trainer.Draw(ExerciseSymbolTrainer::SignaturesSection).candidates) {
                const int row = candidate->statisticsKey;
                QVERIFY(candidate->caption == ExerciseSymbolTrainer::SignaturePicture(row, true) ||
                        candidate->caption == ExerciseSymbolTrainer::SignaturePicture(row, false));
                endings.insert(candidate->caption.section(QLatin1Char('-'), -1));
            }
        QCOMPARE(endings, (QSet<QString>{QStringLiteral("tr.png"), QStringLiteral("bass.png")}));
        settings.Change(
            [](TrainerSettings& s) { Only(s.symbolTrainer.keySignatures, {KeySignatureSwitch::GbMaj}); });
        QCOMPARE(trainer.Asked(ExerciseSymbolTrainer::SignaturesSection, 30), (QSet<int>{6, 7}));
    }

    // The symbol trainer's tempo buttons read the marking's description, under its picture.
    void symbolTempoButtonsReadTheDescription()
    {
        settings.Change([](TrainerSettings& s) { s.symbolTrainer.tempo.SetAll(true); });
        Probe<ExerciseSymbolTrainer> trainer(&settings, bank);
        const QuestionRecord question = trainer.Draw(ExerciseSymbolTrainer::TempoSection);
        QCOMPARE(question.kind, int(QuestionRecord::SymbolQuestion));
        for (const auto& candidate : question.candidates) {
            QCOMPARE(candidate->caption2, MusicTables::TempoDescription(candidate->statisticsKey / 64));
            QCOMPARE(candidate->caption, MusicTables::TempoPicture(candidate->statisticsKey / 64));
        }
    }
};

QTEST_GUILESS_MAIN(TestTrainers)
#include "test_trainers.moc"

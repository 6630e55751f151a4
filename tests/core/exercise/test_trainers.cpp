// The three trainers draw by draw, and the catalogue that makes them: which staff a note goes
// on, chord symbols and notes sounding together, scale direction and the ear trainer's staff,
// tempo pieces from the real piece bank, the symbol tables with their pictures and labels, the
// answer buttons' ids and texts, the weighting of questions answered wrongly before, and the
// data directory with the statistics and telemetry files.

#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_ear_trainer.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_note_data.h"
#include "core/exercise/question_scale_data.h"
#include "core/exercise/question_tempo_data.h"
#include "core/midi/midi_bank.h"
#include "core/telemetry.h"
#include "settings_blocks.h"

#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>

using namespace Core;

namespace {

// Opens the draw of a trainer to the tests.
template <typename Trainer>
class Probe : public Trainer
{
public:
    using Trainer::Trainer;
    QuestionRecord Draw(int section)
    {
        QuestionRecord question;
        drawn = this->DrawQuestion(section, question);
        return question;
    }
    bool drawn = false;
};

QVector<int> NoteOns(const QuestionData* item)
{
    QVector<int> notes;
    for (const MidiEvent& e : *item->stream)
        if (e.message.IsNoteOn())
            notes.append(e.message.byte1);
    return notes;
}

QVector<double> NoteOnTimes(const QuestionData* item)
{
    QVector<double> times;
    for (const MidiEvent& e : *item->stream)
        if (e.message.IsNoteOn())
            times.append(e.seconds);
    return times;
}

int AskedKey(const QuestionRecord& question)
{
    return static_cast<const QuestionNoteData*>(question.AskedItem())->key;
}

void OnlyKeys(NotesDiapason& diapason, int minimum, int maximum)
{
    diapason.minimum = minimum;
    diapason.maximum = maximum;
    diapason.whiteKeys = true;
    diapason.blackKeys = true;
}

} // namespace

class TestTrainers : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    SettingsBlocks settings;
    std::shared_ptr<MidiBank> bank;

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(midi_pieces);
        QVERIFY(home.isValid());
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
        QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
        // Where the platform keeps application data; nothing is there yet.
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("fresh/share")).toUtf8());
        bank = std::make_shared<MidiBank>();
        std::srand(20261206);
    }

    // ---- catalogue -----------------------------------------------------------------------

    void catalogueMakesTheDataDirectoryAndItsFiles()
    {
        const QString expected = home.filePath(QStringLiteral("fresh/share/Vantorix/Cantorela"));
        QVERIFY(!QFileInfo::exists(expected));
        {
            ExerciseCatalog catalog(&settings);
            QCOMPARE(ExerciseCatalog::DataDirectory(), expected);
            QVERIFY(QFileInfo(expected).isDir());
            QCOMPARE(catalog.GetStatistics()->HistoryPath(), expected + QStringLiteral("/stats.xml"));
            QCOMPARE(catalog.GetStatistics()->LocalPath(), expected + QStringLiteral("/statsLocal.xml"));
            QCOMPARE(catalog.GetTelemetry()->FilePath(), expected + QStringLiteral("/tstats.xml"));
            QVERIFY(QFileInfo::exists(expected + QStringLiteral("/stats.xml")));
            QVERIFY(QFileInfo::exists(expected + QStringLiteral("/statsLocal.xml")));
        }
        // The telemetry is written when the catalogue goes, at the end of the run.
        QVERIFY(QFileInfo::exists(expected + QStringLiteral("/tstats.xml")));
    }

    void catalogueOffersThreeTrainers()
    {
        ExerciseCatalog catalog(&settings);
        const auto& trainers = catalog.GetTrainers();
        QCOMPARE(int(trainers.size()), 3);
        QCOMPARE(trainers[0].name, QStringLiteral("Note Trainer"));
        QCOMPARE(trainers[0].lessonTitle, QStringLiteral("Learn reading notes"));
        QCOMPARE(trainers[0].quizTitle, QStringLiteral("Quiz yourself on reading notes"));
        QCOMPARE(trainers[1].name, QStringLiteral("Ear Trainer"));
        QCOMPARE(trainers[1].lessonTitle, QStringLiteral("Learn recognizing notes by ear"));
        QCOMPARE(trainers[1].quizTitle, QStringLiteral("Quiz yourself on recognizing notes by ear"));
        QCOMPARE(trainers[2].name, QStringLiteral("Music Symbols"));
        QCOMPARE(trainers[2].lessonTitle, QStringLiteral("Learn various music symbols"));
        QCOMPARE(trainers[2].quizTitle, QStringLiteral("Quiz yourself on music symbols"));

        auto first = catalog.CreateExercise(0);
        auto second = catalog.CreateExercise(0);
        QVERIFY(first != second);
        QVERIFY(dynamic_cast<ExerciseNoteTrainer*>(first.get()));
        QVERIFY(dynamic_cast<ExerciseNoteTrainer*>(second.get()));
        QCOMPARE(first->GetStatistics(), catalog.GetStatistics());
        QCOMPARE(second->GetStatistics(), catalog.GetStatistics());
        QCOMPARE(first->GetSettingsSource(), static_cast<const TrainerSettingsSource*>(&settings));

        auto ear = catalog.CreateExercise(1);
        QVERIFY(dynamic_cast<ExerciseEarTrainer*>(ear.get()));
        QCOMPARE(ear->GetTrainerIndex(), 1);
        for (unsigned index : {2u, 3u, 7u}) {
            auto symbols = catalog.CreateExercise(index);
            QVERIFY(dynamic_cast<ExerciseSymbolTrainer*>(symbols.get()));
            // Its statistics belong to the symbol trainer, whatever index asked for it.
            QCOMPARE(symbols->GetTrainerIndex(), 2);
        }
        QCOMPARE(int(first->GetSectionTitles().size()), 3);
        QCOMPARE(int(ear->GetSectionTitles().size()), 5);
        QCOMPARE(ear->GetSectionTitles()[3].shortName, QStringLiteral("Scales"));
        QCOMPARE(ear->GetSectionTitles()[3].title, QStringLiteral("Train Scales"));
    }

    void exerciseWithoutSettingsAsksNothing()
    {
        Probe<ExerciseNoteTrainer> trainer(nullptr);
        trainer.Draw(0);
        QVERIFY(!trainer.drawn);
        trainer.SetUpSections(); // no durations either: nothing changes
        QCOMPARE(trainer.GetSections()[0].questionCount, 0);
    }

    // ---- note trainer --------------------------------------------------------------------

    void noteStaff_data()
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

    void noteStaff()
    {
        QFETCH(bool, gClef);
        QFETCH(bool, fClef);
        QFETCH(int, key);
        QFETCH(bool, previousTreble);
        QFETCH(bool, treble);
        QCOMPARE(ExerciseNoteTrainer::ChooseTrebleClef(gClef, fClef, key, previousTreble), treble);
    }

    void noteStavesAlternateWithBothClefs()
    {
        settings.Change([](TrainerSettings& s) {
            OnlyKeys(s.noteTrainer.singleNotes.diapason, 30, 50);
            s.noteTrainer.singleNotes.clefs = {true, true};
        });
        Probe<ExerciseNoteTrainer> trainer(&settings);
        QuestionRecord previous = trainer.Draw(0);
        QVERIFY(trainer.drawn);
        for (int i = 0; i < 20; ++i) {
            const QuestionRecord question = trainer.Draw(0);
            QVERIFY(AskedKey(question) >= 30 && AskedKey(question) < 50);
            QCOMPARE(question.option1, !previous.option1);
            // The score of the asked note is written on the staff chosen.
            const QByteArray clef = question.option1 ? QByteArray("g") : QByteArray("f");
            QVERIFY2(question.AskedItem()->gmn.contains("\\clef<\"" + clef),
                     question.AskedItem()->gmn.constData());
            previous = question;
        }
        // Low notes stay on the bass staff however the staves alternate.
        settings.Change([](TrainerSettings& s) { OnlyKeys(s.noteTrainer.singleNotes.diapason, 0, 20); });
        for (int i = 0; i < 6; ++i)
            QVERIFY(!trainer.Draw(0).option1);
    }

    void noteQuestionsAndButtons()
    {
        settings.Change([](TrainerSettings& s) { OnlyKeys(s.noteTrainer.singleNotes.diapason, 0, 88); });
        ExerciseNoteTrainer trainer(&settings);
        std::vector<int> ids;
        trainer.ChoiceIds(0, ids);
        QCOMPARE(ids, (std::vector<int>{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
        QStringList names;
        for (int id : ids)
            names << trainer.AnswerText(0, id);
        QCOMPARE(names.first(), QStringLiteral("C"));
        QCOMPARE(names.last(), QStringLiteral("B"));
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 12);
        QVERIFY(trainer.IsSameAnswer(0, 3, 39));  // C1 and C4
        QVERIFY(!trainer.IsSameAnswer(0, 3, 4));  // C1 and C#1
        QCOMPARE(trainer.QuestionKey(0, 39), 39);
        QCOMPARE(trainer.QuestionLabel(0, 39), QStringLiteral("C4"));

        ids.clear();
        trainer.ChoiceIds(1, ids);
        QCOMPARE(int(ids.size()), 13);
        for (int size = 0; size < 13; ++size)
            QCOMPARE(trainer.AnswerText(1, ids[size_t(size)]), MusicTables::IntervalName(size));
        ids.clear();
        trainer.ChoiceIds(2, ids);
        QCOMPARE(int(ids.size()), MusicTables::ChordTypeCount);
        for (int type = 0; type < MusicTables::ChordTypeCount; ++type)
            QCOMPARE(trainer.AnswerText(2, ids[size_t(type)]), MusicTables::ChordSuffix(type));

        // Labels on one line; ids past the tables name the error.
        const int inversion = MusicTables::ChordBlockSize(0) + 39; // major triad on C4, first inversion
        QCOMPARE(trainer.QuestionLabel(2, inversion), QStringLiteral("Cmaj inv1 (oct 4)"));
        QCOMPARE(trainer.QuestionKey(2, inversion), 39);
        QCOMPARE(trainer.QuestionLabel(1, 100000), QStringLiteral("interval error"));
        QCOMPARE(trainer.QuestionLabel(0, 88), QStringLiteral("note error"));
        QCOMPARE(trainer.AnswerText(2, -1), QStringLiteral("chord error"));
        QVERIFY(trainer.IsSameAnswer(1, MusicTables::IntervalFirstId(4), MusicTables::IntervalFirstId(4) + 20));
        QVERIFY(!trainer.IsSameAnswer(1, MusicTables::IntervalFirstId(4), MusicTables::IntervalFirstId(5)));
        QVERIFY(!trainer.IsSameAnswer(1, -1, -1));
    }

    void chordSymbolsAndNotesTogether()
    {
        settings.Change([](TrainerSettings& s) {
            auto& chords = s.noteTrainer.chords;
            chords.SetAll(false);
            chords[ChordSwitch::MajorTriad] = true;
            chords[ChordSwitch::MinorTriad] = true;
            chords[ChordSwitch::ChordNotation] = true;
            OnlyKeys(chords.diapason, 20, 60);
            s.noteTrainer.intervals.arpeggiated = false;
            s.noteTrainer.intervals.intervalStart = 3;
            s.noteTrainer.intervals.intervalEnd = 7;
            OnlyKeys(s.noteTrainer.intervals.diapason, 20, 60);
        });
        Probe<ExerciseNoteTrainer> trainer(&settings);
        QuestionRecord chord = trainer.Draw(2);
        QVERIFY(trainer.drawn);
        QCOMPARE(chord.kind, int(QuestionRecord::ChordSymbolQuestion));
        QCOMPARE(chord.answerModes, int(QuestionRecord::NotesMode));
        QCOMPARE(trainer.AnswerInputMode(chord), 0);
        QCOMPARE(int(chord.candidates.size()), 6);
        // Not arpeggiated: every note starts at once and stops together at 1 s.
        for (double t : NoteOnTimes(chord.AskedItem()))
            QCOMPARE(t, 0.0);
        QVERIFY(chord.AskedItem()->gmn.contains(" { "));
        // The pool entry itself is untouched: only the asked copy carries the score.
        const auto* asked = static_cast<const QuestionChordData*>(chord.AskedItem());
        QVERIFY(GetChordPool()[size_t(asked->statisticsKey)]->gmn.isEmpty());

        QuestionRecord interval = trainer.Draw(1);
        QVERIFY(trainer.drawn);
        QCOMPARE(interval.kind, int(QuestionRecord::NoteReadingQuestion));
        QCOMPARE(interval.answerModes, int(QuestionRecord::NotesMode | QuestionRecord::ChoiceMode));
        QCOMPARE(trainer.AnswerInputMode(interval), 2);
        QCOMPARE(NoteOnTimes(interval.AskedItem()), (QVector<double>{0.0, 0.0}));
        for (const MidiEvent& e : *interval.AskedItem()->stream)
            if (e.message.IsNoteOff())
                QCOMPARE(e.seconds, 1.0);

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

    // The answer view compares only the first note of an interval, whatever section is current.
    void answerViewOfIntervalsAndChords()
    {
        settings.Change([](TrainerSettings& s) {
            s.noteTrainer.intervals.intervalStart = 4;
            s.noteTrainer.intervals.intervalEnd = 4;
            OnlyKeys(s.noteTrainer.intervals.diapason, 30, 40);
            s.noteTrainer.chords.SetAll(false);
            s.noteTrainer.chords[ChordSwitch::MajorTriad] = true;
            OnlyKeys(s.noteTrainer.chords.diapason, 30, 40);
        });
        Probe<ExerciseNoteTrainer> trainer(&settings);
        QCOMPARE(trainer.GetCurrentSection(), 0);
        for (int section : {1, 2}) {
            const QuestionRecord question = trainer.Draw(section);
            QVERIFY(trainer.drawn);
            Answer answer;
            answer.kind = Answer::Notes;
            for (int note : NoteOns(question.AskedItem()))
                answer.notes.append({MidiMessage(0x90, 0, quint8(note), 100), 0, 0.0});
            QVector<QPair<int, int>> keys;
            const QByteArray view = trainer.DrawAnswerView(question, answer, keys);
            QVERIFY(!view.isEmpty());
            QCOMPARE(keys.size(), section == 1 ? 1 : 3);
            for (const auto& key : keys)
                QCOMPARE(key.second, 0);
        }
        // The ear trainer shows no notes for a tempo piece.
        settings.Change([](TrainerSettings& s) { s.earTrainer.tempo.SetAll(true); });
        Probe<ExerciseEarTrainer> ear(&settings);
        const QuestionRecord tempo = ear.Draw(ExerciseEarTrainer::TempoSection);
        QVector<QPair<int, int>> keys{{1, 1}};
        QVERIFY(ear.DrawAnswerView(tempo, Answer(), keys).isEmpty());
        QVERIFY(keys.isEmpty());
        QCOMPARE(ear.QuestionLabel(ExerciseEarTrainer::TempoSection, -1), QString());
        QCOMPARE(ear.QuestionLabel(ExerciseEarTrainer::TempoSection, 448), QString());
        // A trainer made without the catalogue still knows which trainer it is.
        QCOMPARE(ear.GetTrainerIndex(), 1);
        QCOMPARE(ExerciseSymbolTrainer(&settings).GetTrainerIndex(), 2);
    }

    // Questions answered wrongly before come back more often.
    void mistakesWeighTheDraw()
    {
        settings.Change([](TrainerSettings& s) {
            auto& d = s.noteTrainer.singleNotes.diapason;
            OnlyKeys(d, 39, 44); // C4 to E4, white keys only: C D E
            d.blackKeys = false;
        });
        QTemporaryDir dir;
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
        for (int key : {39, 43}) {
            StatisticsRecord right;
            right.id = key;
            right.exId = 0;
            right.section = 0;
            right.correct = 10;
            statistics->Add(right);
        }
        StatisticsRecord wrong;
        wrong.id = 41;
        wrong.exId = 0;
        wrong.section = 0;
        wrong.wrong = 5;
        statistics->Add(wrong);
        const int weighted = countD(true);
        QVERIFY2(weighted > plain + 60, qPrintable(QStringLiteral("D drawn %1 times weighted, %2 plain")
                                                        .arg(weighted)
                                                        .arg(plain)));
        // Only this run's answers weigh: once the run's records are cleared (a lesson opened
        // again), the history alone leaves the draw even.
        statistics->ClearLocal(0);
        const int afterClear = countD(true);
        QVERIFY2(afterClear < weighted - 60, qPrintable(QStringLiteral("D drawn %1 times after clearing, %2 weighted")
                                                            .arg(afterClear)
                                                            .arg(weighted)));
    }

    // ---- ear trainer ---------------------------------------------------------------------

    void scaleDirection_data()
    {
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<int>("upExpected"); // 1 up, 0 down, -1 either
        QTest::newRow("neither: down") << false << false << 0;
        QTest::newRow("ascending only") << true << false << 1;
        QTest::newRow("descending only") << false << true << 0;
        QTest::newRow("both: either") << true << true << -1;
    }

    void scaleDirection()
    {
        QFETCH(bool, ascending);
        QFETCH(bool, descending);
        QFETCH(int, upExpected);
        settings.Change([&](TrainerSettings& s) {
            auto& scales = s.earTrainer.scales;
            scales[ScaleSwitch::Ascending] = ascending;
            scales[ScaleSwitch::Descending] = descending;
            scales[ScaleSwitch::NaturalMaj] = true;
            scales[ScaleSwitch::NaturalMin] = true;
            OnlyKeys(scales.diapason, 20, 70);
        });
        Probe<ExerciseEarTrainer> trainer(&settings);
        QSet<bool> seen;
        for (int i = 0; i < 30; ++i) {
            const QuestionRecord question = trainer.Draw(ExerciseEarTrainer::ScalesSection);
            QVERIFY(trainer.drawn);
            QCOMPARE(question.kind, int(QuestionRecord::EarQuestion));
            bool up = false;
            for (size_t c = 0; c < question.candidates.size(); ++c) {
                const QVector<int> notes = NoteOns(question.candidates[c].get());
                const bool candidateUp = notes.first() < notes.last();
                // Every candidate is heard in the question's direction.
                if (c == 0)
                    up = candidateUp;
                QCOMPARE(candidateUp, up);
            }
            seen.insert(up);
            if (upExpected >= 0)
                QCOMPARE(up, upExpected == 1);
        }
        if (upExpected < 0)
            QCOMPARE(seen.size(), 2);
    }

    void earStaffFollowsTheAverageNote()
    {
        auto stream = [](std::initializer_list<int> notes) {
            MidiStream s;
            for (int n : notes)
                s.append({MidiMessage(0x90, 0, quint8(n), 96), 0, 0.0});
            return s;
        };
        MidiStream sixty = stream({55, 60, 65});
        MidiStream fiftyNine = stream({55, 59, 64}); // 178 / 3 = 59
        QVERIFY(TrainerSupport::TrebleForSound(&sixty));
        QVERIFY(!TrainerSupport::TrebleForSound(&fiftyNine));

        for (int key : {39, 38}) { // MIDI 60, 59
            settings.Change([&](TrainerSettings& s) {
                OnlyKeys(s.earTrainer.singleNotes.diapason, key, key + 1);
                s.earTrainer.singleNotes.diapason.blackKeys = false; // B3 and C4 are white
            });
            Probe<ExerciseEarTrainer> trainer(&settings);
            const QuestionRecord question = trainer.Draw(0);
            QVERIFY(trainer.drawn);
            QCOMPARE(AskedKey(question), key);
            QCOMPARE(question.option1, key == 39);
        }
    }

    void earTempoFromThePieceBank()
    {
        settings.Change([](TrainerSettings& s) { s.earTrainer.tempo.SetAll(true); });
        Probe<ExerciseEarTrainer> trainer(&settings, bank);
        QCOMPARE(trainer.GetTempoPieces().Count(), size_t(38));
        QSet<int> tempos;
        for (int i = 0; i < 40; ++i) {
            const QuestionRecord question = trainer.Draw(ExerciseEarTrainer::TempoSection);
            QVERIFY(trainer.drawn);
            QCOMPARE(question.kind, int(QuestionRecord::TempoQuestion));
            QCOMPARE(question.answerModes, int(QuestionRecord::ChoiceMode));
            QCOMPARE(int(question.candidates.size()), 6);
            QSet<int> distinct;
            for (const auto& candidate : question.candidates) {
                QVERIFY(candidate->stream && candidate->stream->size() > 20);
                distinct.insert(candidate->statisticsKey / 64);
                QCOMPARE(candidate->caption2, MusicTables::TempoName(candidate->statisticsKey / 64));
            }
            QCOMPARE(distinct.size(), 6);
            tempos.insert(question.AskedItem()->statisticsKey / 64);
        }
        QVERIFY(tempos.contains(6) || tempos.size() >= 5);

        std::vector<int> ids;
        trainer.ChoiceIds(ExerciseEarTrainer::TempoSection, ids);
        QCOMPARE(ids, (std::vector<int>{0, 64, 128, 192, 256, 320})); // no Vivace button
        QVERIFY(trainer.IsSameAnswer(4, 65, 127));
        QVERIFY(!trainer.IsSameAnswer(4, 63, 64));
        QCOMPARE(trainer.AnswerText(4, 384), MusicTables::TempoName(6));
        ids.clear();
        trainer.ChoiceIds(ExerciseEarTrainer::ScalesSection, ids);
        QCOMPARE(int(ids.size()), 10);
        QCOMPARE(ids[1], 78);
        QCOMPARE(trainer.AnswerText(3, 78), MusicTables::ScaleName(1));
        QVERIFY(trainer.IsSameAnswer(3, 76, 151));
        QVERIFY(!trainer.IsSameAnswer(3, 75, 76));

        // Only the tempos switched on are asked.
        settings.Change([](TrainerSettings& s) {
            s.earTrainer.tempo.SetAll(false);
            s.earTrainer.tempo[TempoSwitch::Largo] = true;
        });
        for (int i = 0; i < 10; ++i)
            QCOMPARE(trainer.Draw(ExerciseEarTrainer::TempoSection).AskedItem()->statisticsKey / 64, 3);
        // Nothing switched on: nothing to ask in the section.
        settings.Change([](TrainerSettings& s) { s.earTrainer.tempo.SetAll(false); });
        trainer.Draw(ExerciseEarTrainer::TempoSection);
        QVERIFY(!trainer.drawn);
    }

    void earTempoWithoutPieces()
    {
        // Without a bank each tempo still has a run of notes at its speed.
        settings.Change([](TrainerSettings& s) { s.earTrainer.tempo.SetAll(true); });
        Probe<ExerciseEarTrainer> trainer(&settings);
        QCOMPARE(trainer.GetTempoPieces().Count(), size_t(MusicTables::TempoCount));
        const QuestionRecord question = trainer.Draw(ExerciseEarTrainer::TempoSection);
        QVERIFY(trainer.drawn);
        QCOMPARE(NoteOns(question.AskedItem()).size(), 11);
    }

    // ---- symbol trainer ------------------------------------------------------------------

    void symbolLengths()
    {
        settings.Change([](TrainerSettings& s) {
            s.symbolTrainer.lengths.SetAll(false);
            s.symbolTrainer.lengths[LengthSwitch::Whole] = true;
            s.symbolTrainer.lengths[LengthSwitch::Rests] = true;
        });
        Probe<ExerciseSymbolTrainer> trainer(&settings);
        QSet<int> asked;
        for (int i = 0; i < 30; ++i) {
            const QuestionRecord question = trainer.Draw(ExerciseSymbolTrainer::LengthsSection);
            QCOMPARE(question.kind, int(QuestionRecord::SymbolQuestion));
            QCOMPARE(question.answerModes, int(QuestionRecord::ChoiceMode));
            QCOMPARE(int(question.candidates.size()), 6);
            asked.insert(question.AskedItem()->statisticsKey);
        }
        QCOMPARE(asked, (QSet<int>{0, 1}));
        settings.Change([](TrainerSettings& s) { s.symbolTrainer.lengths[LengthSwitch::Rests] = false; });
        for (int i = 0; i < 10; ++i)
            QCOMPARE(trainer.Draw(ExerciseSymbolTrainer::LengthsSection).AskedItem()->statisticsKey, 0);
        QCOMPARE(trainer.QuestionLabel(0, 1), QStringLiteral("Whole Rest"));
        QCOMPARE(trainer.AnswerText(0, 15), QStringLiteral("One Twenty Eighth Rest"));
        QCOMPARE(trainer.AnswerInputMode(QuestionRecord()), 1);
        QVERIFY(!trainer.AcceptsKeyAnswers());
    }

    void symbolTablesAndPictures()
    {
        const QuestionPool& lengths = ExerciseSymbolTrainer::ItemTable(0);
        QCOMPARE(int(lengths.size()), 16);
        QCOMPARE(lengths[1]->caption, QStringLiteral(":/pixmap/exercise/wholerest.png"));
        QCOMPARE(lengths[1]->caption2, QStringLiteral("Whole\nRest"));
        QCOMPARE(lengths[14]->caption, lengths[12]->caption);
        QCOMPARE(lengths[15]->caption, lengths[13]->caption);
        QCOMPARE(lengths[14]->caption2, QStringLiteral("One Twenty Eighth"));
        const QuestionPool& signatures = ExerciseSymbolTrainer::ItemTable(1);
        QCOMPARE(int(signatures.size()), 13);
        QCOMPARE(signatures[3]->caption2, QStringLiteral("A / f\u266F"));
        QCOMPARE(signatures[7]->caption2, QStringLiteral("G\u266D / e\u266D"));
        QCOMPARE(ExerciseSymbolTrainer::SignaturePicture(6, false), QStringLiteral(":/pixmap/exercise/fis-dis-bass.png"));
        QCOMPARE(ExerciseSymbolTrainer::SignaturePicture(6, true), QStringLiteral(":/pixmap/exercise/fis-dis-tr.png"));
        QCOMPARE(ExerciseSymbolTrainer::ItemTable(3)[3]->caption2, QStringLiteral("Mezzo-piano"));
        const QuestionPool& modifiers = ExerciseSymbolTrainer::ItemTable(4);
        QCOMPARE(int(modifiers.size()), 24);
        QCOMPARE(modifiers[14]->caption, QStringLiteral(":/pixmap/exercise/volte.png"));
        QCOMPARE(modifiers[14]->caption2, QStringLiteral("Volta"));
        QCOMPARE(modifiers[22]->caption2, QStringLiteral("Slur"));
        QVERIFY(ExerciseSymbolTrainer::ItemTable(2).empty());
        std::vector<int> ids;
        ExerciseSymbolTrainer(&settings).ChoiceIds(4, ids);
        QCOMPARE(int(ids.size()), 24);
    }

    void symbolSignaturesMixStaves()
    {
        settings.Change([](TrainerSettings& s) {
            s.symbolTrainer.keySignatures.SetAll(true);
        });
        Probe<ExerciseSymbolTrainer> trainer(&settings);
        QSet<QString> endings;
        for (int i = 0; i < 10; ++i) {
            const QuestionRecord question = trainer.Draw(ExerciseSymbolTrainer::SignaturesSection);
            for (const auto& candidate : question.candidates) {
                const int row = candidate->statisticsKey;
                QVERIFY(candidate->caption == ExerciseSymbolTrainer::SignaturePicture(row, true) ||
                        candidate->caption == ExerciseSymbolTrainer::SignaturePicture(row, false));
                endings.insert(candidate->caption.section(QLatin1Char('-'), -1));
                QCOMPARE(candidate->caption2, ExerciseSymbolTrainer::ItemTable(1)[size_t(row)]->caption2);
            }
        }
        QCOMPARE(endings, (QSet<QString>{QStringLiteral("tr.png"), QStringLiteral("bass.png")}));

        // G flat major is asked as either spelling.
        settings.Change([](TrainerSettings& s) {
            s.symbolTrainer.keySignatures.SetAll(false);
            s.symbolTrainer.keySignatures[KeySignatureSwitch::GbMaj] = true;
        });
        QSet<int> rows;
        for (int i = 0; i < 30; ++i)
            rows.insert(trainer.Draw(ExerciseSymbolTrainer::SignaturesSection).AskedItem()->statisticsKey);
        QCOMPARE(rows, (QSet<int>{6, 7}));
    }

    void symbolTempoButtonsReadTheDescription()
    {
        settings.Change([](TrainerSettings& s) { s.symbolTrainer.tempo.SetAll(true); });
        Probe<ExerciseSymbolTrainer> trainer(&settings, bank);
        const QuestionRecord question = trainer.Draw(ExerciseSymbolTrainer::TempoSection);
        QVERIFY(trainer.drawn);
        QCOMPARE(question.kind, int(QuestionRecord::SymbolQuestion));
        for (const auto& candidate : question.candidates) {
            const int tempo = candidate->statisticsKey / 64;
            QCOMPARE(candidate->caption2, MusicTables::TempoDescription(tempo));
            QCOMPARE(candidate->caption, MusicTables::TempoPicture(tempo));
        }
        QCOMPARE(MusicTables::TempoDescription(3), QStringLiteral("Very slow\n (40-60 bpm)"));
        QCOMPARE(trainer.QuestionLabel(2, 200), MusicTables::TempoName(3));
        QVERIFY(trainer.IsSameAnswer(2, 65, 127));
        QVERIFY(!trainer.IsSameAnswer(0, 0, 1));
    }
};

QTEST_GUILESS_MAIN(TestTrainers)
#include "test_trainers.moc"

// The built-in difficulty levels and the quiz block, and what counts as "the same questions".

#include "core/exercise/difficulty_presets.h"

#include <QtTest>

using namespace Core;

class TestDifficultyPresets : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void diapasonsAndIntervalEnds_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QVector<int>>("expected");
        // single min,max; note interval end,min,max; note chord min,max;
        // ear interval end,min,max; ear chord min,max; ear scales min,max
        QTest::newRow("0") << 0 << QVector<int>{39, 52, 4, 39, 40, 39, 40, 4, 39, 40, 39, 40, 39, 40};
        QTest::newRow("1") << 1 << QVector<int>{34, 54, 7, 39, 52, 39, 52, 10, 39, 52, 39, 52, 39, 52};
        QTest::newRow("2") << 2 << QVector<int>{27, 52, 12, 27, 52, 27, 52, 12, 27, 52, 34, 47, 34, 47};
        QTest::newRow("3") << 3 << QVector<int>{17, 59, 12, 17, 59, 17, 59, 12, 17, 59, 27, 52, 27, 52};
        QTest::newRow("4") << 4 << QVector<int>{5, 75, 12, 5, 63, 5, 63, 12, 5, 63, 5, 63, 5, 63};
    }
    void diapasonsAndIntervalEnds()
    {
        QFETCH(int, level);
        QFETCH(QVector<int>, expected);
        const TrainerSettings p = DifficultyPreset(level);
        const auto& n = p.noteTrainer;
        const auto& e = p.earTrainer;
        const QVector<int> actual{n.singleNotes.diapason.minimum, n.singleNotes.diapason.maximum,
                                  n.intervals.intervalEnd, n.intervals.diapason.minimum,
                                  n.intervals.diapason.maximum, n.chords.diapason.minimum,
                                  n.chords.diapason.maximum, e.intervals.intervalEnd,
                                  e.intervals.diapason.minimum, e.intervals.diapason.maximum,
                                  e.chords.diapason.minimum, e.chords.diapason.maximum,
                                  e.scales.diapason.minimum, e.scales.diapason.maximum};
        QCOMPARE(actual, expected);
        QCOMPARE(e.singleNotes.diapason, n.singleNotes.diapason);
        QCOMPARE(n.intervals.intervalStart, 0);
        QVERIFY(!n.intervals.arpeggiated && !e.intervals.arpeggiated);
        QVERIFY(!n.chords[ChordSwitch::Arpeggiated] && !n.chords[ChordSwitch::ChordNotation]);
        QVERIFY(n.chords[ChordSwitch::FirstInversion] && n.chords[ChordSwitch::SecondInversion]);
        QCOMPARE(n.wrongAnswerPolicy, (WrongAnswerPolicy{false, 0}));
        QCOMPARE(e.scales.duration, (DurationSettings{20, 20}));
        QCOMPARE(p.symbolTrainer.noteModifiers.duration, (DurationSettings{10, 20}));
        QCOMPARE(n.chords.clefs, (ClefSettings{true, true}));
        QVERIFY(n.chords.diapason.whiteKeys && n.chords.diapason.blackKeys);
    }

    void chordTypesGrowWithTheLevel()
    {
        const int expectedTypes[] = {2, 4, 6, 13, 18};
        for (int level = 0; level < 5; ++level) {
            const ChordSettings& chords = DifficultyPreset(level).noteTrainer.chords;
            int on = 0;
            for (int i = 0; i < ChordTypeCount; ++i)
                on += chords.switches[size_t(i)] ? 1 : 0;
            QCOMPARE(on, expectedTypes[level]);
            QCOMPARE(DifficultyPreset(level).earTrainer.chords.switches, chords.switches);
        }
        QVERIFY(DifficultyPreset(3).noteTrainer.chords[ChordSwitch::SuspendedSeventh4]);
        QVERIFY(!DifficultyPreset(3).noteTrainer.chords[ChordSwitch::Augmented]);
    }

    void tempoDiffersBetweenTrainersOnlyAtLevelTwo()
    {
        for (int level = 0; level < 5; ++level) {
            const TrainerSettings p = DifficultyPreset(level);
            QCOMPARE(p.earTrainer.tempo.switches == p.symbolTrainer.tempo.switches, level != 2);
        }
        const auto ear2 = DifficultyPreset(2).earTrainer.tempo;
        QVERIFY(ear2[TempoSwitch::Adagio] && !ear2[TempoSwitch::Largo]);
        QVERIFY(DifficultyPreset(0).earTrainer.tempo[TempoSwitch::Prestissimo]);
        QVERIFY(!DifficultyPreset(3).earTrainer.tempo[TempoSwitch::Vivace]);
    }

    void pedalMarksAreOffAtLevelThreeOnly()
    {
        for (int level = 0; level < 5; ++level) {
            const auto m = DifficultyPreset(level).symbolTrainer.noteModifiers;
            QCOMPARE(m[NoteModifierSwitch::EngagePedal], level == 1 || level == 2 || level == 4);
        }
        const auto m3 = DifficultyPreset(3).symbolTrainer.noteModifiers;
        QVERIFY(m3[NoteModifierSwitch::Acciaccatura] && !m3[NoteModifierSwitch::Tremolo]);
    }

    void levelsAreDistinctForEveryTrainer()
    {
        for (int trainer = 0; trainer < 3; ++trainer)
            for (int a = 0; a < 5; ++a)
                for (int b = 0; b < 5; ++b)
                    QCOMPARE(SameQuestionContent(DifficultyPreset(a), DifficultyPreset(b), trainer), a == b);
    }

    void durationsAndPolicyDoNotChangeTheQuestions()
    {
        TrainerSettings changed = DifficultyPreset(2);
        changed.noteTrainer.singleNotes.duration = {99, 1};
        changed.noteTrainer.wrongAnswerPolicy = {true, 5000};
        changed.earTrainer.tempo.duration.seconds = 3;
        QVERIFY(SameQuestionContent(changed, DifficultyPreset(2), NoteTrainerIndex));
        QVERIFY(SameQuestionContent(changed, DifficultyPreset(2), EarTrainerIndex));
        changed.noteTrainer.chords.clefs.fClef = false;
        QVERIFY(!SameQuestionContent(changed, DifficultyPreset(2), NoteTrainerIndex));
        QVERIFY(!SameQuestionContent(changed, DifficultyPreset(2), 7));
    }

    void quizBlock()
    {
        const TrainerSettings q = BuiltInQuizSettings();
        QCOMPARE(q.noteTrainer.singleNotes.diapason, (NotesDiapason{15, 55, true, true}));
        QCOMPARE(q.earTrainer.scales.diapason, (NotesDiapason{15, 55, true, true}));
        QCOMPARE(q.symbolTrainer.lengths.duration, (DurationSettings{30, 10}));
        QCOMPARE(q.noteTrainer.intervals.intervalEnd, 12);
        QVERIFY(q.earTrainer.intervals.arpeggiated);
        QVERIFY(q.earTrainer.chords[ChordSwitch::DiminishedSeventh]);
        QVERIFY(q.earTrainer.chords[ChordSwitch::SecondInversion]);
        QVERIFY(!q.earTrainer.chords[ChordSwitch::Arpeggiated]);
        QVERIFY(!q.earTrainer.scales[ScaleSwitch::ApplyDifferentScaleModes]);
        QVERIFY(q.earTrainer.scales[ScaleSwitch::Descending]);
        QCOMPARE(q.noteTrainer.wrongAnswerPolicy, (WrongAnswerPolicy{true, 5000}));
        QVERIFY(q.symbolTrainer.noteModifiers[NoteModifierSwitch::Acciaccatura]);
        QCOMPARE(DifficultyPreset(-1), DifficultyPreset(0));
    }
};

QTEST_APPLESS_MAIN(TestDifficultyPresets)
#include "test_difficulty_presets.moc"

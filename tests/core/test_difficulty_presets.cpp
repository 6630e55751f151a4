// The built-in difficulty levels and the quiz block: each makes a lesson of every trainer, a
// harder level never asks from a smaller pool, and what counts as "the same questions".

#include "core/exercise/difficulty_presets.h"
#include "core/exercise/settings_check.h"

#include <QtTest>

using namespace Core;

class TestDifficultyPresets : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Each level and the quiz block make a lesson of every trainer, every section asking; a
    // harder level never asks from a smaller pool, and the hardest from a larger one than the first.
    // No two levels ask the same questions; a level outside the range is the first.
    void levelsAreDistinctAndMakeLessonsFromGrowingPools()
    {
        QCOMPARE(DifficultyPreset(-1), DifficultyPreset(0));
        QCOMPARE(DifficultyPreset(DifficultyLevelCount), DifficultyPreset(0));
        for (int trainer = 0; trainer < 3; ++trainer) {
            QVERIFY(CheckTrainerSettings(BuiltInQuizSettings(), trainer).IsAskable());
            for (int a = 0; a < DifficultyLevelCount; ++a)
                for (int b = 0; b < DifficultyLevelCount; ++b)
                    QCOMPARE(SameQuestionContent(DifficultyPreset(a), DifficultyPreset(b), trainer), a == b);
            for (int section = 0; section < TrainerSectionCount(trainer); ++section) {
                const QString where = QStringLiteral("trainer %1, section %2").arg(trainer).arg(section);
                QVERIFY2(SectionQuestions(BuiltInQuizSettings(), trainer, section) > 0, qPrintable(where));
                QVector<int> pools;
                for (int level = 0; level < DifficultyLevelCount; ++level) {
                    QVERIFY2(CheckTrainerSettings(DifficultyPreset(level), trainer).IsAskable(),
                             qPrintable(where));
                    QVERIFY2(SectionQuestions(DifficultyPreset(level), trainer, section) > 0,
                             qPrintable(where));
                    pools << AskableCount(DifficultyPreset(level), trainer, section);
                }
                QVERIFY2(std::is_sorted(pools.begin(), pools.end()) && pools.first() < pools.last(),
                         qPrintable(where));
            }
        }
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
};

QTEST_APPLESS_MAIN(TestDifficultyPresets)
#include "test_difficulty_presets.moc"

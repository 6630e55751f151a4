// Whole quiz lessons of the three trainers, from the catalogue as the screen opens them, answered
// by keys, by choice and by silence until the time-out, a section left half-way for a later one:
// every item is drawn from the quiz block, and once the exercise is gone both statistics files
// hold, per section and item, the right and wrong answers the test gave.

#include "../../common/temp_settings.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/question_note_data.h"
#include "core/midi/midi_bank.h"
#include "settings_blocks.h"

#include <QMap>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

using namespace Core;

using Tally = QPair<int, int>;     // right, wrong
using Items = QMap<qint32, Tally>; // by statistics key
constexpr int Questions = 2, TimeoutSeconds = 1;
// Single notes from these keys up: the learning block's and the quiz block's own ranges.
constexpr int LearnLowestKey = 39, QuizLowestKey = 51;

static bool WaitForState(Exercise& exercise, std::initializer_list<int> states, int timeoutMs)
{
    return QTest::qWaitFor([&] { return std::count(states.begin(), states.end(), exercise.GetState()) > 0; },
                           timeoutMs);
}

class TestWholeLessons : public QObject
{
    Q_OBJECT
    TempSettings home;
    std::shared_ptr<MidiBank> bank;

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(midi_pieces);
        bank = std::make_shared<MidiBank>();
        std::srand(1206);
    }

    void quizLessonOnDisk_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<int>("sectionCount");
        QTest::newRow("note trainer") << 0u << 3;
        QTest::newRow("ear trainer") << 1u << 5;
        QTest::newRow("music symbols") << 2u << 5;
    }
    void quizLessonOnDisk()
    {
        QFETCH(unsigned, trainer);
        QFETCH(int, sectionCount);
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        SettingsBlocks settings;
        settings.Change(
            [](TrainerSettings& s) { ShortLessons(s, Questions, TimeoutSeconds, LearnLowestKey); });
        settings.SetQuizMode(true);
        settings.Change(
            [](TrainerSettings& s) { ShortLessons(s, Questions, TimeoutSeconds, QuizLowestKey); });
        ExerciseCatalog catalog(&settings);
        catalog.SetMidiBank(bank);
        const std::shared_ptr<ExerciseStatistics> store = catalog.GetStatistics();

        QVector<Items> given(sectionCount);
        {
            std::shared_ptr<Exercise> exercise = catalog.CreateExercise(trainer);
            exercise->SetUpSections();
            exercise->SetQuizMode(true);
            exercise->ClearSessionStatistics();
            exercise->Start();
            for (int n = 0; exercise->GetState() == Exercise::BetweenQuestions; ++n) {
                QVERIFY(n < sectionCount * Questions);
                exercise->Next();
                QVERIFY(WaitForState(*exercise, {Exercise::Presenting, Exercise::AwaitingAnswer}, 2000));
                const int section = exercise->GetCurrentSection();
                const QuestionRecord question = exercise->GetCurrentQuestion();
                if (const auto* note = dynamic_cast<const QuestionNoteData*>(question.AskedItem()))
                    QVERIFY2(note->key >= QuizLowestKey && note->key <= QuizLowestKey + 12,
                             "from the quiz block");

                // Late once (the question clock judges it when its time is up), then right, right,
                // wrong; by keys where the question takes only keys and on every other note to
                // read, else by choice (heard ones while they sound).
                const bool late = n == 1;
                const bool right = !late && n % 3 != 2;
                const bool keys = (question.answerModes & QuestionRecord::NotesMode) &&
                                  (!(question.answerModes & QuestionRecord::ChoiceMode) ||
                                   (n % 2 == 0 && question.kind == QuestionRecord::NoteReadingQuestion));
                if (!late && keys) {
                    QVERIFY(WaitForState(*exercise, {Exercise::AwaitingAnswer}, 5000));
                    QVector<int> expected;
                    for (const MidiEvent& e : *question.AskedItem()->stream)
                        if (e.message.IsNoteOn())
                            expected.append(e.message.byte1);
                    for (int note : right ? expected : QVector<int>{expected.first() + 1})
                        exercise->HandleInputEvent({MidiMessage(0x90, 0, quint8(note), 100), 0, -1.0});
                } else if (!late) {
                    const int choice = right ? question.correctIndex : (question.correctIndex + 1) % 6;
                    exercise->Judge(Answer{Answer::Choice, {}, 0, choice});
                }
                Tally& item = given[section][question.AskedItem()->statisticsKey];
                (right ? item.first : item.second)++;
                QVERIFY(WaitForState(*exercise, {Exercise::BetweenQuestions, Exercise::LessonEnd},
                                     TimeoutSeconds * 1000 + 3000));
                // The first section left after its first answer, the second never asked.
                if (n == 0)
                    exercise->JumpToSection(2);
            }
            QCOMPARE(exercise->GetState(), int(Exercise::LessonEnd));
        } // the exercise goes: its answers are written to both files

        ExerciseStatistics reread(store->HistoryPath(), store->LocalPath());
        for (int section = 0; section < sectionCount; ++section) {
            std::vector<StatisticsRecord> history, local;
            reread.GetHistorySectionRecords(qint32(trainer), section, history);
            reread.GetLocalSectionRecords(qint32(trainer), section, local);
            for (const std::vector<StatisticsRecord>* records : {&history, &local}) {
                Items onDisk;
                for (const StatisticsRecord& r : *records) {
                    onDisk[r.id].first += r.correct;
                    onDisk[r.id].second += r.wrong;
                }
                QCOMPARE(onDisk, given[section]);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestWholeLessons)
#include "test_whole_lessons.moc"

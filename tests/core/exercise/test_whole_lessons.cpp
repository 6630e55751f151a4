// Whole lessons of the three trainers, learning and quiz, from the catalogue as the screen opens
// them, with a simulated student answering through the engine's own entry points: keys as MIDI
// note events, multiple-choice answers, and silence until the question times out. Checked: the
// judgements, the counters, the section changes, the end of the lesson, the settings block in
// force, and the records in the statistics files on disk.

#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/question_note_data.h"
#include "core/midi/midi_bank.h"
#include "settings_blocks.h"
#include "test_trainer.h"

#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>

using namespace Core;

namespace {

enum class Reply
{
    Right,
    Wrong,
    Late, // no answer: the question times out
};

constexpr int Questions = 2;
constexpr int TimeoutSeconds = 1;

MidiEvent Key(int note)
{
    return MidiEvent{MidiMessage(0x90, 0, quint8(note), 100), 0, -1.0};
}

Answer Choice(int variant)
{
    Answer answer;
    answer.kind = Answer::Choice;
    answer.variant = variant;
    return answer;
}

struct Asked
{
    int section;
    QuestionRecord question;
    Reply reply;
    bool byKeys;
};

} // namespace

class TestWholeLessons : public QObject
{
    Q_OBJECT

    std::shared_ptr<MidiBank> bank;

    // Waits for a state among `states`; the timer thread moves the lesson on.
    static bool WaitForState(Exercise& exercise, std::initializer_list<int> states, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            const int state = exercise.GetState();
            for (int s : states)
                if (s == state)
                    return true;
            QTest::qWait(2);
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(midi_pieces);
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
        QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
        bank = std::make_shared<MidiBank>();
        std::srand(1206);
    }

    void wholeLesson_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<bool>("quiz");
        QTest::addColumn<int>("sectionCount");
        QTest::newRow("note trainer, learning") << 0u << false << 3;
        QTest::newRow("note trainer, quiz") << 0u << true << 3;
        QTest::newRow("ear trainer, learning") << 1u << false << 5;
        QTest::newRow("ear trainer, quiz") << 1u << true << 5;
        QTest::newRow("music symbols, learning") << 2u << false << 5;
        QTest::newRow("music symbols, quiz") << 2u << true << 5;
    }

    void wholeLesson()
    {
        QFETCH(unsigned, trainer);
        QFETCH(bool, quiz);
        QFETCH(int, sectionCount);

        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        SettingsBlocks settings;
        // Short sections; the single notes of each block in a range of their own, so that the
        // lesson shows which block it reads: C4 to B4 to learn, C5 to B5 in the quiz.
        settings.Change([](TrainerSettings& s) { ShortLessons(s, Questions, TimeoutSeconds, 39); });
        settings.SetQuizMode(true);
        settings.Change([](TrainerSettings& s) { ShortLessons(s, Questions, TimeoutSeconds, 51); });
        settings.SetQuizMode(quiz);
        const int lowestKey = quiz ? 51 : 39;

        ExerciseCatalog catalog(&settings);
        catalog.SetMidiBank(bank);
        const QString historyPath = catalog.GetStatistics()->HistoryPath();
        const QString localPath = catalog.GetStatistics()->LocalPath();

        std::vector<Asked> asked;
        ExerciseRecorder recorder;
        {
            // As the screen opens a lesson.
            std::shared_ptr<Exercise> exercise = catalog.CreateExercise(trainer);
            exercise->SetUpSections();
            exercise->SetQuizMode(quiz);
            exercise->ClearSessionStatistics();
            exercise->Attach(static_cast<LessonBaseObserver*>(&recorder));
            exercise->Attach(static_cast<ExerciseObserver*>(&recorder));
            QCOMPARE(int(exercise->GetSections().size()), sectionCount);
            for (const Exercise::Section& section : exercise->GetSections()) {
                QCOMPARE(section.questionCount, Questions);
                QCOMPARE(section.msPerQuestion, TimeoutSeconds * 1000);
            }
            exercise->Start();

            for (int n = 0; n < 100; ++n) {
                if (exercise->GetState() == Exercise::LessonEnd ||
                    exercise->GetState() == Exercise::NotStarted)
                    break;
                QCOMPARE(exercise->GetState(), int(Exercise::BetweenQuestions));
                exercise->Next();
                QVERIFY(WaitForState(*exercise, {Exercise::Presenting, Exercise::AwaitingAnswer}, 2000));
                Asked item{exercise->GetCurrentSection(), exercise->GetCurrentQuestion(), Reply::Right,
                           false};
                const QuestionRecord& question = item.question;
                QCOMPARE(int(question.candidates.size()), 6);
                for (const auto& candidate : question.candidates)
                    QVERIFY(!candidate->caption2.isEmpty());
                if (const auto* note = dynamic_cast<const QuestionNoteData*>(question.AskedItem()))
                    QVERIFY2(note->key >= lowestKey && note->key < lowestKey + 12,
                             "asked from the block in force");

                // One late answer a lesson, then wrong and right by turns; keys where keys answer.
                item.reply = n == 1 ? Reply::Late : (n % 3 == 2 ? Reply::Wrong : Reply::Right);
                const bool keysAllowed = question.answerModes & QuestionRecord::NotesMode;
                const bool choiceAllowed = question.answerModes & QuestionRecord::ChoiceMode;
                item.byKeys =
                    keysAllowed && exercise->AnswerInputMode(question) == 2 && (!choiceAllowed || n % 2 == 0);
                if (keysAllowed && !choiceAllowed)
                    item.byKeys = true;

                QVector<int> expected;
                if (const auto& stream = question.AskedItem()->stream) // pictures have no sound
                    for (const MidiEvent& e : *stream)
                        if (e.message.IsNoteOn())
                            expected.append(e.message.byte1);
                if (item.reply == Reply::Late) {
                    // Nothing is played; the question clock judges it when its time is up.
                } else if (item.byKeys) {
                    QVERIFY(WaitForState(*exercise, {Exercise::AwaitingAnswer}, 5000));
                    if (item.reply == Reply::Right) {
                        for (int note : expected)
                            exercise->HandleInputEvent(Key(note));
                    } else {
                        exercise->HandleInputEvent(Key(expected.first() + 1));
                    }
                } else {
                    const int right = question.correctIndex;
                    exercise->Judge(Choice(item.reply == Reply::Right ? right : (right + 1) % 6));
                }
                QVERIFY(WaitForState(*exercise, {Exercise::BetweenQuestions, Exercise::LessonEnd},
                                     TimeoutSeconds * 1000 + 3000));
                asked.push_back(item);
            }
            QCOMPARE(exercise->GetState(), int(Exercise::LessonEnd));
            QCOMPARE(recorder.States().last(), int(Exercise::LessonEnd));

            const int total = sectionCount * Questions;
            QCOMPARE(int(asked.size()), total);
            int rights = 0;
            const QVector<ExerciseRecorder::Judged> judged = recorder.JudgedAnswers();
            QCOMPARE(judged.size(), total);
            for (int i = 0; i < total; ++i) {
                const Asked& a = asked[size_t(i)];
                QCOMPARE(judged[i].correct, a.reply == Reply::Right);
                rights += a.reply == Reply::Right ? 1 : 0;
                if (a.reply == Reply::Late)
                    QCOMPARE(judged[i].answer.kind, int(Answer::NoAnswer));
                else
                    QCOMPARE(judged[i].answer.kind, int(a.byKeys ? Answer::Notes : Answer::Choice));
                QCOMPARE(a.section, i / Questions);
            }
            const Exercise::Counters counters = exercise->GetCounters();
            QCOMPARE(counters.asked, total);
            QCOMPARE(counters.answered, total);
            QCOMPARE(counters.correct, rights);
            QVector<int> sections;
            for (int s = 1; s < sectionCount; ++s)
                sections.append(s);
            QCOMPARE(recorder.Sections(), sections);

            exercise->Detach(static_cast<LessonBaseObserver*>(&recorder));
            exercise->Detach(static_cast<ExerciseObserver*>(&recorder));
        } // the exercise goes: its answers are written to both files

        QVERIFY(QFileInfo::exists(historyPath));
        QVERIFY(QFileInfo::exists(localPath));
        ExerciseStatistics reread(historyPath, localPath);
        for (int section = 0; section < sectionCount; ++section) {
            int expectedRight = 0;
            QSet<int> keys;
            for (const Asked& a : asked) {
                if (a.section != section)
                    continue;
                expectedRight += a.reply == Reply::Right ? 1 : 0;
                keys.insert(a.question.AskedItem()->statisticsKey);
            }
            std::vector<StatisticsRecord> history;
            std::vector<StatisticsRecord> local;
            reread.GetHistorySectionRecords(qint32(trainer), section, history);
            reread.GetLocalSectionRecords(qint32(trainer), section, local);
            for (const std::vector<StatisticsRecord>* records : {&history, &local}) {
                int right = 0;
                int all = 0;
                for (const StatisticsRecord& r : *records) {
                    QVERIFY(keys.contains(r.id));
                    right += r.correct;
                    all += r.correct + r.wrong;
                }
                QCOMPARE(all, Questions);
                QCOMPARE(right, expectedRight);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestWholeLessons)
#include "test_whole_lessons.moc"

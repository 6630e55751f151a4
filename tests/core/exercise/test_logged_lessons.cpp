// Lessons writing to the answer log, a real SQLite file in a temporary data folder: one row per
// judged answer naming what was asked and what the answer names, with its response time; what
// the keys and buttons of an answer name; the weak-spot draw; a data folder that cannot be
// written.

#include "../../common/file_bytes.h"
#include "../../common/temp_settings.h"
#include "core/exercise/answer_judgement.h"
#include "core/exercise/answer_log.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/lesson_session.h"
#include "core/exercise/note_match.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_note_data.h"
#include "core/exercise/question_pools.h"
#include "core/exercise/question_validator.h"
#include "core/midi/midi_bank.h"
#include "settings_blocks.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstdlib>

using namespace Core;

namespace {

constexpr qint32 NoItem = LoggedAnswer::NoItem;

// The settings in force, with the general switch of the weak-spot review.
class Settings : public SettingsBlocks
{
public:
    bool PractisesWeakSpots() const override { return weakSpots; }
    std::atomic<bool> weakSpots{false};
};

// The rows of a query, or its error, through a connection of the test's own; columns joined by ' '.
QStringList Query(const QString& path, const QString& select)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test");
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        if (!q.exec(select))
            rows << q.lastError().text();
        while (q.next()) {
            QStringList columns;
            for (int c = 0; c < q.record().count(); ++c)
                columns << q.value(c).toString();
            rows << columns.join(' ');
        }
    }
    QSqlDatabase::removeDatabase("test");
    return rows;
}

bool WaitForState(Exercise& exercise, std::initializer_list<int> states, int timeoutMs)
{
    return QTest::qWaitFor([&] { return std::count(states.begin(), states.end(), exercise.GetState()) > 0; },
                           timeoutMs);
}

// The id of the interval (inversion -1) or chord of the pool whose fields match.
qint32 ChordId(int size, int root, int inversion = -1)
{
    for (const auto& entry : inversion < 0 ? GetIntervalPool() : GetChordPool()) {
        const auto* chord = static_cast<const QuestionChordData*>(entry.get());
        if (chord->type == size && chord->rootKey == root && (inversion < 0 || chord->inversion == inversion))
            return chord->statisticsKey;
    }
    return -2;
}

qint32 ChordIdOfKeys(const std::vector<int>& keys)
{
    for (const auto& entry : GetChordPool())
        if (static_cast<const QuestionChordData*>(entry.get())->keys == keys)
            return entry->statisticsKey;
    return -2;
}

} // namespace

class TestLoggedLessons : public QObject
{
    Q_OBJECT
    TempSettings home;
    std::shared_ptr<MidiBank> bank;
    std::unique_ptr<QTemporaryDir> data;

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(midi_pieces);
        LessonSession::RegisterMetaTypes();
        bank = std::make_shared<MidiBank>();
    }
    void init()
    {
        data = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", data->path().toUtf8());
        std::srand(2024);
    }

    // A whole lesson answered by plan, a letter a question: R right (keys in reverse order, an
    // interval's top note first, where keys are taken; else its button), K a wrong key (single
    // notes), C a wrong button, L no answer; a letter a question cannot take is R. Then Clear
    // History of the first section.
    void wholeLessonLogged_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<bool>("quiz");
        QTest::addColumn<QString>("plan");
        QTest::newRow("note trainer quiz") << 0u << true << "RKRCRL";
        QTest::newRow("ear trainer") << 1u << false << "KLRCRCRLCR";
        QTest::newRow("music symbols quiz") << 2u << true << "RCLRCRRCRL";
    }
    void wholeLessonLogged()
    {
        QFETCH(unsigned, trainer);
        QFETCH(bool, quiz);
        QFETCH(QString, plan);
        Settings settings;
        settings.ChangeBoth([](TrainerSettings& s) { ShortLessons(s, 2, 1); });
        settings.SetQuizMode(quiz);
        ExerciseCatalog catalog(&settings);
        catalog.SetMidiBank(bank);
        const std::shared_ptr<Exercise> exercise = catalog.CreateExercise(trainer);
        exercise->SetUpSections();
        exercise->SetQuizMode(quiz);
        exercise->ClearSessionStatistics();
        QVERIFY(exercise->GetRunId() > 0);

        QStringList expected; // section, run, trainer, quiz, asked, answered, outcome
        QElapsedTimer wall;
        wall.start();
        exercise->Start();
        for (int n = 0; exercise->GetState() == Exercise::BetweenQuestions; ++n) {
            QVERIFY(n < plan.size());
            exercise->Next();
            QVERIFY(WaitForState(*exercise, {Exercise::Presenting, Exercise::AwaitingAnswer}, 2000));
            const QuestionRecord question = exercise->GetCurrentQuestion();
            const QuestionData* item = question.AskedItem();
            const bool keys = question.answerModes & QuestionRecord::NotesMode;
            QChar step = plan[n];
            if ((step == 'K' && !(keys && dynamic_cast<const QuestionNoteData*>(item))) ||
                (step == 'C' && !(question.answerModes & QuestionRecord::ChoiceMode)))
                step = 'R';
            const QString row =
                QString::asprintf("%d %lld %u %d %d ", exercise->GetCurrentSection(), exercise->GetRunId(),
                                  trainer, int(quiz), item->statisticsKey);
            qint32 answered = item->statisticsKey;
            int outcome = step == 'R' ? LoggedAnswer::Right : LoggedAnswer::Wrong;
            if (keys && step != 'C' && step != 'L') {
                QVERIFY(WaitForState(*exercise, {Exercise::AwaitingAnswer}, 8000));
                QVector<int> played; // in reverse order
                for (const MidiEvent& e : *item->stream)
                    if (e.message.IsNoteOn())
                        played.prepend(e.message.byte1);
                if (step == 'K') {
                    played = {played.first() + 1};
                    answered = played.first() - 21;
                }
                for (int midi : played)
                    exercise->HandleInputEvent({MidiMessage(0x90, 0, quint8(midi), 100), 0, -1.0});
            } else if (step != 'L') {
                const int variant = step == 'R' ? question.correctIndex : (question.correctIndex + 1) % 6;
                exercise->Judge(Answer{Answer::Choice, {}, 0, variant});
                answered = question.candidates[size_t(variant)]->statisticsKey;
            } else {
                answered = NoItem;
                outcome = LoggedAnswer::OutOfTime;
            }
            expected << row + QString::asprintf("%d %d", answered, outcome);
            QVERIFY(WaitForState(*exercise, {Exercise::BetweenQuestions, Exercise::LessonEnd}, 12000));
        }
        QCOMPARE(exercise->GetState(), int(Exercise::LessonEnd));
        const QString path = catalog.GetAnswerLog()->Path();
        const QString rows = "SELECT section, run, trainer, quiz, asked, ifnull(answered, -1), outcome FROM "
                             "answers ORDER BY id";
        QVERIFY(catalog.GetAnswerLog()->Flush());
        QCOMPARE(Query(path, rows), expected);
        // Response times run from the end of the presentation: never before it, and a time-out
        // takes its time.
        QCOMPARE(
            Query(path, QString("SELECT id FROM answers WHERE ifnull(response_ms, -1) NOT BETWEEN 0 AND %1"
                                " OR (outcome = 2 AND response_ms < 500)")
                            .arg(wall.elapsed())),
            QStringList());

        LessonSession session(exercise);
        session.clearHistory(0);
        QVERIFY(catalog.GetAnswerLog()->Flush());
        expected.erase(std::remove_if(expected.begin(), expected.end(),
                                      [](const QString& row) { return row.startsWith("0 "); }),
                       expected.end());
        QCOMPARE(Query(path, rows), expected);
    }

    // The items of a section by key, as the statistics view names and presents them: played one
    // after the other where the section's items are heard.
    void itemsOfSections()
    {
        Settings settings;
        ExerciseCatalog catalog(&settings);
        catalog.SetMidiBank(bank);
        using Case = std::tuple<const char*, unsigned, int, int, int, bool, bool>;
        const std::vector<Case> cases = {
            // trainer, section, first and second key, exists, heard
            {"note trainer intervals", 0, 1, ChordId(4, 39), ChordId(3, 39), true, false},
            {"ear trainer chords", 1, 2, ChordId(0, 39, 0), ChordId(1, 39, 0), true, true},
            {"ear trainer tempo pieces", 1, 4, 3 * 64, 4 * 64, true, true},
            {"ear trainer, no such note", 1, 0, 88, 40, false, false},
            {"symbols, loudness", 2, 3, 2, 5, true, false},
            {"symbols, no such section", 2, 7, 0, 1, false, false}};
        for (const auto& [name, trainer, section, first, second, exists, heard] : cases) {
            LessonSession session(catalog.CreateExercise(trainer));
            const std::shared_ptr<const QuestionData> item = session.itemOf(section, first);
            QVERIFY2((item ? item->statisticsKey : -1) == (exists ? first : -1), name);
            QVERIFY2(session.presentItems(section, first, second) == heard, name);
        }
    }

    // What keys and picked intervals name, in the asked item's pool.
    void answeredItem()
    {
        const int reading = QuestionRecord::NoteReadingQuestion, symbol = QuestionRecord::ChordSymbolQuestion;
        const int c4Major = ChordId(0, 39, 0), a3Minor = ChordIdOfKeys({36, 39, 43});
        const int thirdOnC4 = ChordId(4, 39), thirdOnF7 = ChordId(4, 80);
        // Question kind, asked (a chord, else an interval), keys played (0-87) or else the
        // interval picked, and the item named.
        using Case = std::tuple<const char*, int, int, bool, QVector<int>, int, int>;
        const std::vector<Case> cases = {
            {"interval, top key first", reading, thirdOnC4, false, {43, 39}, 0, thirdOnC4},
            {"interval, other keys", reading, thirdOnC4, false, {44, 39}, 0, ChordId(5, 39)},
            {"interval, one key", reading, thirdOnC4, false, {40}, 0, NoItem},
            {"interval picked", reading, thirdOnC4, false, {}, 7, ChordId(7, 39)},
            {"interval picked off the keys", reading, thirdOnF7, false, {}, 12, NoItem},
            {"chord, its keys", reading, c4Major, true, {46, 39, 43}, 0, c4Major},
            {"chord, another chord's keys", reading, c4Major, true, {36, 39, 43}, 0, a3Minor},
            {"chord, no chord", reading, c4Major, true, {39, 40}, 0, NoItem},
            {"symbol, an octave up", symbol, c4Major, true, {51, 55, 58}, 0, c4Major},
            // D, F sharp and A spread out: the D major chord in root position nearest the asked root.
            {"symbol, another chord", symbol, c4Major, true, {29, 45, 60}, 0, ChordId(0, 41, 0)},
            // C, E, G and A are C6 and Am7 alike.
            {"symbol, two chords", symbol, c4Major, true, {27, 43, 46, 48}, 0, NoItem}};
        for (const auto& [name, kind, asked, chord, keys, picked, expected] : cases) {
            QuestionRecord question;
            question.kind = kind;
            question.candidates = {(chord ? GetChordPool() : GetIntervalPool())[size_t(asked)]};
            Answer answer;
            answer.kind = keys.isEmpty() ? Answer::Interval : Answer::Notes;
            answer.value = picked;
            for (int key : keys)
                answer.notes.append({MidiMessage(0x90, 0, quint8(key + 21), 100), 0, -1.0});
            const qint32 named = AnswerJudgement::AnsweredItem(question, answer);
            QVERIFY2(named == expected,
                     qPrintable(QString("%1: %2, not %3").arg(name).arg(named).arg(expected)));
        }
    }

    // A sung note is judged, marked and named by its pitch class, in any octave; played, by its key.
    void sungNote()
    {
        constexpr int c4 = 39;
        // Asked and played keys (0-87), whether sung, the judgement, the mark of the key played
        // and the item named.
        using Case = std::tuple<const char*, int, int, bool, int, int, int>;
        const std::vector<Case> cases = {
            {"sung an octave up", c4, c4 + 12, true, NoteMatchRight, 0, c4},
            {"sung two octaves down", c4, c4 - 24, true, NoteMatchRight, 0, c4},
            {"sung a semitone off", c4, c4 + 13, true, NoteMatchWrong, 1, c4 + 1},
            {"sung a fifth down, named below", c4, c4 - 17, true, NoteMatchWrong, 1, c4 - 5},
            {"sung a semitone below A0, named above", 0, 23, true, NoteMatchWrong, 1, 11},
            {"played an octave up", c4, c4 + 12, false, NoteMatchWrong, 1, c4 + 12}};
        for (const auto& [name, asked, key, sung, judged, mark, named] : cases) {
            QuestionRecord question;
            question.kind = QuestionRecord::EarQuestion;
            question.answerModes = QuestionRecord::NotesMode;
            question.candidates = {std::make_shared<QuestionNoteData>(asked)};
            Answer answer;
            answer.kind = Answer::Notes;
            answer.sung = sung;
            answer.notes.append({MidiMessage(0x90, 0, quint8(key + 21), 100), 0, -1.0});
            QVERIFY2(AnswerJudgement::Judge(question, answer) == judged, name);
            QVector<QPair<int, int>> marks;
            AnswerJudgement::MarkKeys(question, answer, false, marks);
            QVERIFY2(!marks.isEmpty() && marks.first() == qMakePair(key, mark), name);
            QVERIFY2(AnswerJudgement::AnsweredItem(question, answer) == named, name);
        }
    }

    // Mistakes of an earlier run weigh in the draw when the switch is on, and only then: off,
    // the draw is the very one of a lesson without a log.
    void weakSpotDraw()
    {
        Settings settings;
        settings.ChangeBoth([](TrainerSettings& s) { ShortLessons(s, 5, 0); });
        ExerciseCatalog catalog(&settings);
        const std::shared_ptr<AnswerLog> log = catalog.GetAnswerLog();
        const qint64 earlier = log->BeginRun(), now = QDateTime::currentSecsSinceEpoch();
        for (qint32 key : {41, 41, 41, 44})
            log->Append({now - 86400, earlier, NoteTrainerIndex, 0, false, key, NoItem, LoggedAnswer::Wrong});
        QVERIFY(log->Flush());

        // Three lessons drawn from the same seed: without a log, with one and the switch off, on.
        std::vector<std::shared_ptr<Exercise>> lessons{std::make_shared<ExerciseNoteTrainer>(&settings),
                                                       catalog.CreateExercise(0), catalog.CreateExercise(0)};
        std::vector<std::unique_ptr<LessonSession>> sessions;
        for (size_t i = 0; i < lessons.size(); ++i) {
            lessons[i]->SetUpSections();
            lessons[i]->ClearSessionStatistics();
            settings.weakSpots = i == 2;
            sessions.push_back(std::make_unique<LessonSession>(lessons[i]));
            std::srand(77);
            sessions[i]->begin();
        }
        QTRY_VERIFY(!lessons[2]->GetWeakSpots().empty());
        QVERIFY(log->Flush()); // any weak spots asked for by the others have been posted by now
        QCoreApplication::processEvents();
        QVERIFY(lessons[0]->GetWeakSpots().empty() && lessons[1]->GetWeakSpots().empty());
        const WeakSpotFactors factors = lessons[2]->GetWeakSpots()[0];
        QCOMPARE(factors.size(), size_t(2));

        constexpr int Draws = 10000;
        constexpr unsigned First = 39, Last = 46;
        struct : QuestionValidator
        {
            bool Validate(unsigned id) override { return id >= First && id <= Last; }
        } keys;
        std::vector<std::vector<unsigned>> drawn(lessons.size());
        for (size_t i = 0; i < lessons.size(); ++i) {
            sessions[i]->stop();
            std::srand(4711);
            std::vector<unsigned> ids;
            for (int n = 0; n < Draws; ++n)
                drawn[i].push_back(ids[size_t(lessons[i]->DrawCandidates(88, &keys, nullptr, ids))]);
        }
        QVERIFY(drawn[1] == drawn[0]);
        QVERIFY(drawn[2] != drawn[0]);

        // A draw never repeats the id before it when it can help it: item j comes with frequency
        // in proportion to w_j (W - w_j), W the sum of the weights w (the factors).
        std::map<unsigned, double> weight;
        double total = 0, norm = 0, chiSquare = 0;
        for (unsigned id = First; id <= Last; ++id)
            total += weight[id] = factors.count(qint32(id)) ? factors.at(qint32(id)) : 1.0;
        for (const auto& [id, w] : weight)
            norm += w * (total - w);
        for (const auto& [id, w] : weight) {
            const double expected = Draws * w * (total - w) / norm;
            const double seen = double(std::count(drawn[2].begin(), drawn[2].end(), id));
            chiSquare += (seen - expected) * (seen - expected) / expected;
        }
        QVERIFY2(chiSquare < 24.32, qPrintable(QString::number(chiSquare))); // 7 degrees, p = 0.001
    }

    // The data folder's place is a file: nothing can be written, the lessons go on, and each
    // session tells the problem once.
    void unwritableDataFolder()
    {
        QVERIFY(QDir().mkpath(data->filePath("Vantorix")) &&
                WriteAll(data->filePath("Vantorix/Cantorela"), ""));
        Settings settings;
        settings.ChangeBoth([](TrainerSettings& s) { ShortLessons(s, 3, 0); });
        ExerciseCatalog catalog(&settings);
        for (int lesson = 0; lesson < 2; ++lesson) {
            std::unique_ptr<LessonSession> session =
                LessonSession::open(catalog, SymbolTrainerIndex, false, false, nullptr);
            QVERIFY(session);
            QSignalSpy problems(session.get(), &LessonSession::answerLogProblem);
            QSignalSpy asked(session.get(), &LessonSession::questionAsked);
            QSignalSpy judged(session.get(), &LessonSession::answerJudged);
            session->begin();
            for (int n = 1; n <= 3; ++n) {
                QTRY_COMPARE(asked.size(), n);
                session->answerWithChoice(asked.last()[0].value<Question>().record.correctIndex);
                QTRY_COMPARE(judged.size(), n);
                if (n == 1)
                    QTRY_COMPARE_WITH_TIMEOUT(problems.size(), 1, 10000);
            }
            QCOMPARE(problems.size(), 1);
            QVERIFY(!problems[0][0].toString().isEmpty());
            QCOMPARE(problems[0][0].toString(), catalog.GetAnswerLogMonitor()->problem());
        }
    }
};

QTEST_GUILESS_MAIN(TestLoggedLessons)
#include "test_logged_lessons.moc"

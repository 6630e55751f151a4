// Lessons writing to the answer log, a real SQLite file in a temporary data folder: one row per
// judged answer naming what was asked and what the answer names, with its response time; what
// the keys and buttons of an answer name; the weak-spot draw; a data folder that cannot be
// written.

#include "../../common/temp_settings.h"
#include "core/exercise/answer_judgement.h"
#include "core/exercise/answer_log.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/lesson_session.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_note_data.h"
#include "core/exercise/question_pools.h"
#include "core/exercise/question_validator.h"
#include "core/midi/midi_bank.h"
#include "settings_blocks.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
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

struct Row
{
    qint64 run;
    int trainer, section;
    bool quiz;
    int asked, answered, outcome, responseMs;
};

// The log's rows in the order they were logged, read through a connection of the test's own.
QVector<Row> ReadRows(const QString& path)
{
    QVector<Row> rows;
    const QString connection = QStringLiteral("test-logged-lessons");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT run, trainer, section, quiz, asked, answered, outcome, response_ms "
                                  "FROM answers ORDER BY id"));
            while (q.next())
                rows.append({q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toBool(),
                             q.value(4).toInt(), q.value(5).isNull() ? NoItem : q.value(5).toInt(),
                             q.value(6).toInt(), q.value(7).isNull() ? -1 : q.value(7).toInt()});
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return rows;
}

bool WaitForState(Exercise& exercise, std::initializer_list<int> states, int timeoutMs)
{
    return QTest::qWaitFor([&] { return std::count(states.begin(), states.end(), exercise.GetState()) > 0; },
                           timeoutMs);
}

QVector<int> NotesOf(const QuestionData* item) // MIDI notes, as they sound
{
    QVector<int> notes;
    for (const MidiEvent& e : *item->stream)
        if (e.message.IsNoteOn())
            notes.append(e.message.byte1);
    return notes;
}

// The pool entry (id) whose fields match.
qint32 ChordId(int size, int root, int inversion = -1)
{
    const QuestionPool& pool = inversion < 0 ? GetIntervalPool() : GetChordPool();
    for (const auto& entry : pool) {
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

// Valid pool ids from `first` to `last`.
class RangeValidator : public QuestionValidator
{
public:
    RangeValidator(unsigned first, unsigned last) : first(first), last(last) {}
    bool Validate(unsigned id) override { return id >= first && id <= last; }
    const unsigned first, last;
};

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

    // A whole lesson answered by plan, one letter a question: R right (keys in reverse order,
    // an interval top note first, where keys are taken; else its button), K a wrong key (a
    // single note), C a wrong button, L no answer. A plan letter a question cannot take is R.
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
        std::shared_ptr<Exercise> exercise = catalog.CreateExercise(trainer);
        exercise->SetUpSections();
        exercise->SetQuizMode(quiz);
        exercise->ClearSessionStatistics();
        QVERIFY(exercise->GetRunId() > 0);

        QVector<Row> expected;
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
            const bool choice = question.answerModes & QuestionRecord::ChoiceMode;
            const bool note = dynamic_cast<const QuestionNoteData*>(item) != nullptr;
            QChar step = plan[n];
            if ((step == 'K' && !note) || (step == 'C' && !choice))
                step = 'R';
            Row row{exercise->GetRunId(), int(trainer), exercise->GetCurrentSection(), quiz,
                    item->statisticsKey, item->statisticsKey, LoggedAnswer::Right, 0};
            if (keys && (step == 'R' || step == 'K')) {
                QVERIFY(WaitForState(*exercise, {Exercise::AwaitingAnswer}, 8000));
                QVector<int> played = NotesOf(item);
                std::reverse(played.begin(), played.end());
                if (step == 'K') {
                    played = {played.first() + 1};
                    row.answered = played.first() - 21;
                    row.outcome = LoggedAnswer::Wrong;
                }
                for (int midi : played)
                    exercise->HandleInputEvent({MidiMessage(0x90, 0, quint8(midi), 100), 0, -1.0});
            } else if (step == 'R' || step == 'C') {
                const int variant = step == 'R' ? question.correctIndex : (question.correctIndex + 1) % 6;
                exercise->Judge(Answer{Answer::Choice, {}, 0, variant});
                row.answered = question.candidates[size_t(variant)]->statisticsKey;
                row.outcome = step == 'R' ? LoggedAnswer::Right : LoggedAnswer::Wrong;
            } else {
                row.answered = NoItem;
                row.outcome = LoggedAnswer::OutOfTime;
            }
            expected.append(row);
            QVERIFY(WaitForState(*exercise, {Exercise::BetweenQuestions, Exercise::LessonEnd}, 12000));
        }
        QCOMPARE(exercise->GetState(), int(Exercise::LessonEnd));
        QVERIFY(catalog.GetAnswerLog()->Flush());
        const qint64 elapsedMs = wall.elapsed();

        const QVector<Row> rows = ReadRows(catalog.GetAnswerLog()->Path());
        QCOMPARE(rows.size(), expected.size());
        for (int i = 0; i < rows.size(); ++i) {
            const Row& r = rows[i];
            const Row& e = expected[i];
            const QByteArray where = "answer " + QByteArray::number(i) + " (" + plan.toLatin1() + ")";
            QVERIFY2(r.run == e.run && r.trainer == e.trainer && r.section == e.section && r.quiz == e.quiz,
                     where);
            QVERIFY2(r.asked == e.asked && r.answered == e.answered && r.outcome == e.outcome,
                     qPrintable(where + QString(": asked %1 answered %2 outcome %3, expected %4 %5 %6")
                                            .arg(r.asked).arg(r.answered).arg(r.outcome)
                                            .arg(e.asked).arg(e.answered).arg(e.outcome)));
            // From the end of the presentation: never before it, and a time-out takes its time.
            QVERIFY2(r.responseMs >= 0 && r.responseMs <= elapsedMs, where);
            if (r.outcome == LoggedAnswer::OutOfTime)
                QVERIFY2(r.responseMs >= 500, where);
        }

        // Clear History of the first section takes its rows, and only those.
        LessonSession session(exercise);
        session.clearHistory(0);
        QVERIFY(catalog.GetAnswerLog()->Flush());
        const QVector<Row> kept = ReadRows(catalog.GetAnswerLog()->Path());
        QCOMPARE(kept.size(), int(std::count_if(rows.begin(), rows.end(), [](const Row& r) { return r.section != 0; })));
        QVERIFY(std::none_of(kept.begin(), kept.end(), [](const Row& r) { return r.section == 0; }));
    }

    // The items of a section by key, as the statistics view names and presents them: played one
    // after the other where the section's items are heard.
    void itemsOfSections_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("heard");
        QTest::newRow("note trainer intervals") << 0u << 1 << ChordId(4, 39) << ChordId(3, 39) << true << false;
        QTest::newRow("ear trainer chords") << 1u << 2 << ChordId(0, 39, 0) << ChordId(1, 39, 0) << true << true;
        QTest::newRow("ear trainer tempo pieces") << 1u << 4 << 3 * 64 << 4 * 64 << true << true;
        QTest::newRow("ear trainer, no such note") << 1u << 0 << 88 << 40 << false << false;
        QTest::newRow("symbols, loudness") << 2u << 3 << 2 << 5 << true << false;
        QTest::newRow("symbols, no such section") << 2u << 7 << 0 << 1 << false << false;
    }
    void itemsOfSections()
    {
        QFETCH(unsigned, trainer);
        QFETCH(int, section);
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(bool, exists);
        Settings settings;
        ExerciseCatalog catalog(&settings);
        catalog.SetMidiBank(bank);
        LessonSession session(catalog.CreateExercise(trainer));
        const std::shared_ptr<const QuestionData> item = session.itemOf(section, first);
        QCOMPARE(bool(item), exists);
        if (item)
            QCOMPARE(item->statisticsKey, first);
        QTEST(session.presentItems(section, first, second), "heard");
    }

    // What keys, buttons and picked intervals name, in the asked item's pool.
    void answeredItem_data()
    {
        QTest::addColumn<int>("kind");         // QuestionRecord kind
        QTest::addColumn<int>("asked");        // id in the pool below
        QTest::addColumn<int>("pool");         // 0 notes, 1 intervals, 2 chords
        QTest::addColumn<int>("answerKind");   // Answer::Kind
        QTest::addColumn<QVector<int>>("keys"); // played (0-87), in order
        QTest::addColumn<int>("value");        // the button, or the interval picked
        QTest::addColumn<int>("expected");
        const int reading = QuestionRecord::NoteReadingQuestion, symbol = QuestionRecord::ChordSymbolQuestion;
        const int c4Major = ChordId(0, 39, 0), m3OnC4 = ChordId(4, 39);
        QTest::newRow("single note, right key") << reading << 39 << 0 << int(Answer::Notes) << QVector<int>{39} << 0 << 39;
        QTest::newRow("single note, wrong key") << reading << 39 << 0 << int(Answer::Notes) << QVector<int>{41} << 0 << 41;
        QTest::newRow("single note, a button") << reading << 39 << 0 << int(Answer::Choice) << QVector<int>{} << 2 << 43;
        QTest::newRow("single note, out of time") << reading << 39 << 0 << int(Answer::NoAnswer) << QVector<int>{} << 0 << NoItem;
        QTest::newRow("interval, top key first") << reading << m3OnC4 << 1 << int(Answer::Notes) << QVector<int>{43, 39} << 0 << m3OnC4;
        QTest::newRow("interval, other keys") << reading << m3OnC4 << 1 << int(Answer::Notes) << QVector<int>{44, 39} << 0 << ChordId(5, 39);
        QTest::newRow("interval, one key") << reading << m3OnC4 << 1 << int(Answer::Notes) << QVector<int>{40} << 0 << NoItem;
        QTest::newRow("interval picked") << reading << m3OnC4 << 1 << int(Answer::Interval) << QVector<int>{} << 7 << ChordId(7, 39);
        QTest::newRow("interval picked off the keys") << reading << ChordId(4, 80) << 1 << int(Answer::Interval) << QVector<int>{} << 12 << NoItem;
        QTest::newRow("chord, its keys") << reading << c4Major << 2 << int(Answer::Notes) << QVector<int>{46, 39, 43} << 0 << c4Major;
        QTest::newRow("chord, another chord's keys") << reading << c4Major << 2 << int(Answer::Notes) << QVector<int>{36, 39, 43} << 0 << ChordIdOfKeys({36, 39, 43});
        QTest::newRow("chord, no chord") << reading << c4Major << 2 << int(Answer::Notes) << QVector<int>{39, 40} << 0 << NoItem;
        QTest::newRow("symbol, an octave up") << symbol << c4Major << 2 << int(Answer::Notes) << QVector<int>{51, 55, 58} << 0 << c4Major;
        // D, F sharp and A spread out: the D major chord in root position nearest the asked root.
        QTest::newRow("symbol, another chord") << symbol << c4Major << 2 << int(Answer::Notes) << QVector<int>{29, 45, 60} << 0 << ChordId(0, 41, 0);
        // C, E, G and A are C6 and Am7 alike.
        QTest::newRow("symbol, two chords") << symbol << c4Major << 2 << int(Answer::Notes) << QVector<int>{27, 43, 46, 48} << 0 << NoItem;
    }
    void answeredItem()
    {
        QFETCH(int, kind);
        QFETCH(int, asked);
        QFETCH(int, pool);
        QFETCH(int, answerKind);
        QFETCH(QVector<int>, keys);
        QFETCH(int, value);
        const QuestionPool& entries = pool == 0 ? GetNotePool() : pool == 1 ? GetIntervalPool() : GetChordPool();
        QuestionRecord question;
        question.kind = kind;
        question.answerModes = QuestionRecord::NotesMode | QuestionRecord::ChoiceMode;
        for (int i = 0; i < 6; ++i) // the asked item first, then every second one after it
            question.candidates.push_back(entries[size_t(asked + 2 * i)]);
        question.correctIndex = 0;
        Answer answer;
        answer.kind = answerKind;
        answer.variant = value;
        answer.value = value;
        for (int key : keys)
            answer.notes.append({MidiMessage(0x90, 0, quint8(key + 21), 100), 0, -1.0});
        QTEST(AnswerJudgement::AnsweredItem(question, answer), "expected");
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
        for (auto [key, mistakes] : {std::pair{41, 3}, std::pair{44, 1}})
            for (int i = 0; i < mistakes; ++i)
                log->Append({now - 86400, earlier, NoteTrainerIndex, 0, false, key, NoItem, LoggedAnswer::Wrong, 900});
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
        QVERIFY(factors.at(41) > factors.at(44) && factors.at(44) > 1.0);

        constexpr int Draws = 10000;
        RangeValidator keys(39, 46);
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
        // in proportion to w_j (W - w_j), W the sum of the weights w (100 x factor).
        std::map<unsigned, double> weight;
        double total = 0;
        for (unsigned id = keys.first; id <= keys.last; ++id) {
            weight[id] = 100.0 * (factors.count(qint32(id)) ? factors.at(qint32(id)) : 1.0);
            total += weight[id];
        }
        double norm = 0;
        for (const auto& [id, w] : weight)
            norm += w * (total - w);
        double chiSquare = 0;
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
        QVERIFY(QDir(data->path()).mkpath(QStringLiteral("Vantorix")));
        QFile blocker(data->filePath(QStringLiteral("Vantorix/Cantorela")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
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

// The statistics view's insight over a real answer log in a temporary folder: the common
// mistakes in the order of their counts, for one run or every run, pairs read alike counted as
// one, and only the last of two quick requests answered; the progress chart's points, one per
// practised day of the span with its accuracy and median time, hover and arrow keys telling a
// day's values; and on the statistics pane, following the history switch, Clear History taking
// the section's log rows away, and "Print worksheet" saying what stops it (no weak spots yet, a
// full disk).

#include "../common/full_disk.h"
#include "core/exercise/answer_log.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/lesson_session.h"
#include "ui/exercise/confusion_list.h"
#include "ui/exercise/progress_chart.h"
#include "ui/exercise/statistics_pane.h"
#include "ui/exercise/statistics_rows.h"

#include <QAccessible>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

using Core::LoggedAnswer;

namespace {

// One day of the chart's log: days before today, answers, right ones, response times.
struct Day
{
    int before;
    int answers;
    int right;
    std::vector<int> responseMs; // one per answer; -1 unknown
    int medianMs;
};
const QDate today(2025, 6, 30);
const std::vector<Day> chartDays = {{0, 3, 2, {1200, 900, 3000}, 1200},
                                    {2, 1, 1, {2500}, 2500},
                                    {5, 5, 5, {1000, 1000, 1000, 1000, 1000}, 1000},
                                    {9, 3, 0, {4000, 6000, 5000}, 5000},
                                    {29, 1, 0, {-1}, -1},
                                    {30, 4, 4, {800, 800, 800, 800}, 800}}; // out of every span tested
constexpr qint32 chartSection = 2;

LoggedAnswer Wrong(qint64 run, qint32 section, qint32 asked, qint32 answered, qint64 time, qint32 trainer = 0)
{
    LoggedAnswer answer;
    answer.time = time;
    answer.run = run;
    answer.trainer = trainer;
    answer.section = section;
    answer.asked = asked;
    answer.answered = answered;
    answer.outcome = LoggedAnswer::Wrong;
    answer.responseMs = 1500;
    return answer;
}

QString Item(qint32 key)
{
    return key == 7 || key == 8 ? QStringLiteral("twin") : QStringLiteral("item%1").arg(key);
}

template <typename T> T* Shown(const QString& name)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<T*>(top); found && found->isVisible() && top->objectName() == name)
            return found;
    return nullptr;
}

} // namespace

class TestPracticeInsight : public QObject
{
    Q_OBJECT
    QTemporaryDir folder;
    std::shared_ptr<Core::AnswerLog> log;
    qint64 runA = 0, runB = 0;

    // The statistics pane's page as the screen's form holds it, with a lesson over `log`.
    struct PaneRig
    {
        QWidget page, extendedPage, bar;
        UI::StatisticsRows* rows = new UI::StatisticsRows;
        UI::StatisticsRows* extendedRows = new UI::StatisticsRows;
        QPushButton* viewHistory = new QPushButton(&bar);
        QPushButton* clearHistory = new QPushButton(&bar);
        std::unique_ptr<Core::LessonSession> session;
        std::unique_ptr<UI::StatisticsPane> pane;

        explicit PaneRig(std::shared_ptr<Core::AnswerLog> log)
        {
            UI::StatisticsPane::Widgets widgets;
            // Each page's rows lie in a row of their own, where the column goes beside them.
            const auto body = [](QWidget* owner, UI::StatisticsRows* pageRows) {
                auto* layout = new QVBoxLayout(owner);
                auto* row = new QHBoxLayout;
                row->addWidget(pageRows);
                layout->addLayout(row);
                return layout;
            };
            widgets.layout = body(&page, rows);
            widgets.extendedLayout = body(&extendedPage, extendedRows);
            widgets.caption = new QLabel(&page);
            widgets.extendedCaption = new QLabel(&extendedPage);
            widgets.rows = rows;
            widgets.extendedRows = extendedRows;
            auto* barLayout = new QHBoxLayout(&bar);
            barLayout->addWidget(viewHistory);
            barLayout->addWidget(clearHistory);
            widgets.layout->addWidget(&bar);
            widgets.historyBar = &bar;
            widgets.viewHistory = viewHistory;
            widgets.clearHistory = clearHistory;
            auto exercise = std::make_shared<Core::ExerciseNoteTrainer>(nullptr);
            exercise->SetAnswerLog(std::move(log));
            session = std::make_unique<Core::LessonSession>(exercise);
            pane = std::make_unique<UI::StatisticsPane>(widgets);
            pane->setSectionNames(
                {QStringLiteral("Single Notes"), QStringLiteral("Intervals"), QStringLiteral("Chords")});
            // A quiz clears its history even without records in the statistics files.
            pane->setLesson(session.get(), Core::NoteTrainerIndex, true);
            pane->showSection(0);
        }
    };

    static bool Settled(UI::ConfusionList* list)
    {
        return QTest::qWaitFor([list] { return !list->isWaiting(); });
    }
    static bool Settled(UI::ProgressChart* chart)
    {
        return QTest::qWaitFor([chart] { return !chart->isWaiting(); });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QVERIFY(folder.isValid());
        log = std::make_shared<Core::AnswerLog>(folder.filePath(QStringLiteral("answers.sqlite")));
        runA = log->BeginRun();
        runB = log->BeginRun();
        qint64 time = QDateTime(today, QTime(9, 0)).toSecsSinceEpoch();
        const auto add = [&](qint64 run, qint32 asked, qint32 answered, int times) {
            for (int n = 0; n < times; ++n)
                log->Append(Wrong(run, 0, asked, answered, ++time));
        };
        add(runA, 3, 4, 5);
        add(runA, 1, 2, 3);
        add(runA, 5, 6, 2);
        add(runA, 11, 12, 1);
        add(runB, 1, 2, 4);
        add(runB, 9, 10, 3);
        add(runB, 7, 2, 2);
        add(runB, 8, 2, 2);
        // Neither a right answer, nor a mistake that names no item, nor another section or trainer.
        LoggedAnswer right = Wrong(runA, 0, 1, 1, ++time);
        right.outcome = LoggedAnswer::Right;
        LoggedAnswer late = Wrong(runA, 0, 1, LoggedAnswer::NoItem, ++time);
        late.outcome = LoggedAnswer::OutOfTime;
        for (const LoggedAnswer& other : {right, right, late, Wrong(runA, 0, 3, LoggedAnswer::NoItem, ++time),
                                          Wrong(runA, 1, 1, 2, ++time), Wrong(runA, 0, 1, 2, ++time, 1)})
            log->Append(other);

        for (const Day& day : chartDays)
            for (int n = 0; n < day.answers; ++n) {
                LoggedAnswer answer =
                    Wrong(runA, chartSection, 1, 2,
                          QDateTime(today.addDays(-day.before), QTime(12, n)).toSecsSinceEpoch());
                answer.outcome = n < day.right ? LoggedAnswer::Right : LoggedAnswer::Wrong;
                answer.responseMs = day.responseMs[size_t(n)];
                log->Append(answer);
            }
        QVERIFY(log->Flush());
    }

    void confusionsInOrderOfCount_data()
    {
        QTest::addColumn<int>("run"); // 0 every run, 1 the first, 2 the second
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("history, five rows of six")
            << 0
            << QStringList{"You answer item1 as item2: 7 times", "You answer item3 as item4: 5 times",
                           "You answer twin as item2: 4 times", "You answer item9 as item10: 3 times",
                           "You answer item5 as item6: 2 times"};
        QTest::newRow("first run") << 1
                                   << QStringList{"You answer item3 as item4: 5 times",
                                                  "You answer item1 as item2: 3 times",
                                                  "You answer item5 as item6: 2 times",
                                                  "You answer item11 as item12: once"};
        QTest::newRow("second run, pairs read alike added up")
            << 2
            << QStringList{"You answer item1 as item2: 4 times", "You answer twin as item2: 4 times",
                           "You answer item9 as item10: 3 times"};
    }
    void confusionsInOrderOfCount()
    {
        QFETCH(int, run);
        QFETCH(QStringList, rows);
        UI::ConfusionList list;
        list.showScope(log,
                       {0, 0,
                        run == 0   ? 0
                        : run == 1 ? runA
                                   : runB},
                       Item, UI::ConfusionList::Presentation::Shown);
        QVERIFY(Settled(&list));
        QCOMPARE(list.rowTexts(), rows);
        const auto buttons = list.findChildren<QPushButton*>(QStringLiteral("confusionButton"));
        QCOMPARE(buttons.first()->text(), QStringLiteral("Show"));
        // "You answer item1 as item2: …" is shown with "Show item1 and item2".
        const QStringList names =
            rows.first().mid(11).section(QLatin1Char(':'), 0, 0).split(QStringLiteral(" as "));
        QCOMPARE(buttons.first()->accessibleName(),
                 QStringLiteral("Show %1 and %2").arg(names.at(0), names.at(1)));
        QSignalSpy present(&list, &UI::ConfusionList::presentRequested);
        buttons.first()->click();
        QCOMPARE(present.count(), 1);
        QVERIFY(!list.findChild<QLabel*>(QStringLiteral("confusionEmpty"))->isVisibleTo(&list));
    }

    // Of two requests in quick succession only the later one's answer fills the list; a scope
    // without mistakes says so.
    void onlyTheLastRequestIsAnswered()
    {
        UI::ConfusionList list;
        QSignalSpy updated(&list, &UI::ConfusionList::updated);
        list.showScope(log, {0, 0, runA}, Item, UI::ConfusionList::Presentation::Heard);
        list.showScope(log, {0, 0, runB}, Item, UI::ConfusionList::Presentation::Heard);
        QVERIFY(Settled(&list));
        QCOMPARE(updated.count(), 1);
        QCOMPARE(list.rowTexts().first(), QStringLiteral("You answer item1 as item2: 4 times"));
        QCOMPARE(list.findChild<QPushButton*>(QStringLiteral("confusionButton"))->text(),
                 QStringLiteral("Play"));
        list.showScope(log, {0, 0, runB + 1}, Item, UI::ConfusionList::Presentation::Heard);
        QVERIFY(Settled(&list));
        QVERIFY(list.rowTexts().isEmpty());
        QVERIFY(list.findChild<QLabel*>(QStringLiteral("confusionEmpty"))->isVisibleTo(&list));
    }

    void chartPointsArePractisedDays_data()
    {
        QTest::addColumn<int>("span");
        QTest::newRow("7 days") << 7;
        QTest::newRow("30 days") << 30;
    }
    void chartPointsArePractisedDays()
    {
        QFETCH(int, span);
        UI::ProgressChart chart;
        chart.setToday(today);
        chart.setSpan(span);
        chart.showSection(log, 0, chartSection);
        QVERIFY(Settled(&chart));
        QVector<QPointF> accuracy, time;
        for (const Day& day : chartDays) {
            if (day.before >= span)
                continue;
            accuracy.append({double(span - 1 - day.before), 100.0 * day.right / day.answers});
            if (day.medianMs >= 0)
                time.append({double(span - 1 - day.before), day.medianMs / 1000.0});
        }
        std::reverse(accuracy.begin(), accuracy.end());
        std::reverse(time.begin(), time.end());
        QCOMPARE(chart.accuracySeries()->pointsVector(), accuracy);
        QCOMPARE(chart.timeSeries()->pointsVector(), time);
        QVERIFY(chart.findChild<QWidget*>(QStringLiteral("progressChartView"))->isVisibleTo(&chart));

        // The newest day's values, by the arrow keys, then by pointing at it.
        chart.resize(480, 320);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        auto* view = chart.findChild<QtCharts::QChartView*>(QStringLiteral("progressChartView"));
        QTest::keyClick(view, Qt::Key_End);
        const QString newest = QStringLiteral("Mon 30 Jun 2025: 67% right, median time 1.2 s, 3 answers");
        QCOMPARE(chart.valuesText(), newest);
        QAccessibleInterface* readOut = QAccessible::queryAccessibleInterface(view);
        QCOMPARE(readOut->role(), QAccessible::Chart);
        QCOMPARE(readOut->text(QAccessible::Description), newest);
        QTest::keyClick(view, Qt::Key_Left);
        QVERIFY2(chart.valuesText().startsWith(QStringLiteral("Sat 28 Jun 2025: 100% right")),
                 qPrintable(chart.valuesText()));
        chart.pickDay(-1);
        const QPointF point = chart.chart()->mapToPosition(accuracy.last(), chart.accuracySeries());
        const QPoint at = view->mapFromScene(chart.chart()->mapToScene(point));
        QTest::mouseMove(chart.windowHandle(), view->viewport()->mapTo(&chart, at));
        QTRY_COMPARE(chart.valuesText(), newest);

        // A span with no practice says so instead of drawing.
        chart.showSection(log, 0, chartSection + 1);
        QVERIFY(Settled(&chart));
        QVERIFY(chart.accuracySeries()->pointsVector().isEmpty());
        QVERIFY(chart.findChild<QLabel*>(QStringLiteral("progressEmpty"))->isVisible());
    }

    // The mistakes follow the history switch (the lesson's new run has none); Clear History takes
    // the section's rows out of the log, and both tabs are asked again.
    void paneFollowsHistoryAndClearsIt()
    {
        QTemporaryDir data;
        auto paneLog = std::make_shared<Core::AnswerLog>(data.filePath(QStringLiteral("answers.sqlite")));
        const qint64 before = paneLog->BeginRun();
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        for (int n = 0; n < 3; ++n)
            paneLog->Append(Wrong(before, 0, 39, 41, now - 60 + n)); // C4 answered as D4
        QVERIFY(paneLog->Flush());
        PaneRig rig(paneLog);
        UI::ConfusionList* list = rig.pane->confusions();
        QVERIFY(Settled(list));
        QVERIFY(list->rowTexts().isEmpty());
        rig.viewHistory->click();
        QVERIFY(Settled(list));
        QCOMPARE(list->rowTexts(), QStringList{QStringLiteral("You answer C as D: 3 times")});
        UI::ProgressChart* chart = rig.pane->progressChart();
        QVERIFY(Settled(chart));
        QCOMPARE(chart->accuracySeries()->count(), 1);

        QVERIFY(rig.clearHistory->isEnabled());
        rig.clearHistory->click();
        QVERIFY(Settled(list) && Settled(chart));
        QVERIFY(list->rowTexts().isEmpty());
        QCOMPARE(chart->accuracySeries()->count(), 0);
    }

    void worksheetWithoutWeakSpotsSaysSo_data()
    {
        QTest::addColumn<int>("destination");
        QTest::newRow("print") << int(UI::StatisticsPane::WorksheetDestination::Printer);
        QTest::newRow("pdf") << int(UI::StatisticsPane::WorksheetDestination::PdfFile);
    }
    void worksheetWithoutWeakSpotsSaysSo()
    {
        QFETCH(int, destination);
        QTemporaryDir data;
        PaneRig rig(std::make_shared<Core::AnswerLog>(data.filePath(QStringLiteral("answers.sqlite"))));
        rig.pane->printWorksheet(UI::StatisticsPane::WorksheetDestination(destination));
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = Shown<QMessageBox>(QStringLiteral("worksheetMessage"))));
        QVERIFY2(box->text().contains(QStringLiteral("no weak spots in Single Notes")),
                 qPrintable(box->text()));
        QVERIFY(!Shown<QFileDialog>(QStringLiteral("worksheetFileDialog")));
        box->close();
    }

    // A PDF file that cannot be written is told, not passed over.
    void worksheetOnAFullDisk()
    {
        FullDisk disk;
        if (!disk.IsMounted())
            QSKIP(qPrintable(disk.Why()));
        QVERIFY(disk.Fill());
        QTemporaryDir data;
        auto paneLog = std::make_shared<Core::AnswerLog>(data.filePath(QStringLiteral("answers.sqlite")));
        paneLog->Append(Wrong(paneLog->BeginRun(), 0, 39, 41, QDateTime::currentSecsSinceEpoch()));
        QVERIFY(paneLog->Flush());
        PaneRig rig(paneLog);
        QVERIFY(rig.pane->worksheetFileName().endsWith(
            QStringLiteral("/Cantorela worksheet - Single Notes.pdf")));
        rig.pane->printWorksheet(UI::StatisticsPane::WorksheetDestination::PdfFile);
        QFileDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = Shown<QFileDialog>(QStringLiteral("worksheetFileDialog"))));
        dialog->selectFile(disk.Path() + QStringLiteral("/sheet.pdf"));
        static_cast<QDialog*>(dialog)->accept(); // as its Save button does
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = Shown<QMessageBox>(QStringLiteral("worksheetMessage"))));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QVERIFY2(box->text().contains(QStringLiteral("could not be saved")), qPrintable(box->text()));
        box->close();
        QVERIFY(QDir(disk.Path()).entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty());
    }
};

QTEST_MAIN(TestPracticeInsight)
#include "test_practice_insight.moc"

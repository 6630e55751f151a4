// The statistics view's insight over a real answer log in a temporary folder: the common mistakes
// in the order of their counts, the progress chart's practised days, and on the statistics pane
// the history switch, Clear History and what stops "Print worksheet".

#include "../common/full_disk.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/lesson_session.h"
#include "ui/exercise/confusion_list.h"
#include "ui/exercise/progress_chart.h"
#include "ui/exercise/statistics_pane.h"
#include "ui/exercise/statistics_rows.h"

#include <QAccessible>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

using Core::LoggedAnswer;

namespace {

// The chart's section: per day, days before today, right answers and response times (-1 unknown);
// day 30 lies outside every span tested.
const QDate today(2025, 6, 30);
const std::vector<std::tuple<int, int, std::vector<int>>> chartDays = {
    {0, 2, {1200, 900, 3000}},  {2, 1, {2500}}, {5, 5, {1000, 1000, 1000, 1000, 1000}},
    {9, 0, {4000, 6000, 5000}}, {29, 0, {-1}},  {30, 4, {800, 800, 800, 800}}};
constexpr qint32 chartSection = 2;

// Keys 7 and 8 read alike.
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

// A quiz's statistics pane, its answer log holding `answers` mistakes of the first section (C4 as D4).
struct PaneRig
{
    QTemporaryDir data;
    QWidget page, *bar = new QWidget(&page);
    QPushButton *viewHistory = new QPushButton(bar), *clearHistory = new QPushButton(bar);
    std::unique_ptr<Core::LessonSession> session;
    std::unique_ptr<UI::StatisticsPane> pane;

    explicit PaneRig(int answers)
    {
        auto log = std::make_shared<Core::AnswerLog>(data.filePath(QStringLiteral("answers.sqlite")));
        const qint64 run = log->BeginRun(), now = QDateTime::currentSecsSinceEpoch();
        for (int n = 0; n < answers; ++n)
            log->Append({now - 60 + n, run, 0, 0, false, 39, 41});
        log->Flush();
        auto exercise = std::make_shared<Core::ExerciseNoteTrainer>(nullptr);
        exercise->SetAnswerLog(std::move(log));
        session = std::make_unique<Core::LessonSession>(exercise);
        auto* layout = new QVBoxLayout(&page);
        auto* rows = new UI::StatisticsRows;
        layout->addWidget(rows);
        pane = std::make_unique<UI::StatisticsPane>(UI::StatisticsPane::Widgets{
            rows, new QLabel(&page), layout, nullptr, nullptr, nullptr, bar, viewHistory, clearHistory});
        pane->setSectionNames({QStringLiteral("Single Notes")});
        pane->setLesson(session.get(), Core::NoteTrainerIndex, true); // a quiz clears even without records
        pane->showSection(0);
    }
};

} // namespace

class TestPracticeInsight : public QObject
{
    Q_OBJECT
    QTemporaryDir folder;
    std::shared_ptr<Core::AnswerLog> log;
    qint64 runA = 0, runB = 0;

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QVERIFY(folder.isValid());
        log = std::make_shared<Core::AnswerLog>(folder.filePath(QStringLiteral("answers.sqlite")));
        const qint64 a = runA = log->BeginRun(), b = runB = log->BeginRun();
        qint64 time = QDateTime(today, QTime(9, 0)).toSecsSinceEpoch();
        // Run, trainer, section, asked, answered, outcome, how often. The last five are no confusions of
        // the section: a right answer, mistakes naming no item, another section, another trainer.
        const qint64 no = LoggedAnswer::NoItem, wrong = LoggedAnswer::Wrong, right = LoggedAnswer::Right,
                     late = LoggedAnswer::OutOfTime;
        const qint64 answers[][7] = {
            {a, 0, 0, 3, 4, wrong, 5},   {a, 0, 0, 1, 2, wrong, 3},  {a, 0, 0, 5, 6, wrong, 2},
            {a, 0, 0, 11, 12, wrong, 1}, {b, 0, 0, 1, 2, wrong, 4},  {b, 0, 0, 9, 10, wrong, 3},
            {b, 0, 0, 7, 2, wrong, 2},   {b, 0, 0, 8, 2, wrong, 2},  {a, 0, 0, 1, 2, right, 1},
            {a, 0, 0, 1, no, late, 1},   {a, 0, 0, 3, no, wrong, 1}, {a, 0, 1, 1, 2, wrong, 1},
            {a, 1, 0, 1, 2, wrong, 1}};
        for (const auto& [run, trainer, section, asked, answered, outcome, times] : answers)
            for (int n = 0; n < times; ++n)
                log->Append({++time, run, qint32(trainer), qint32(section), false, qint32(asked),
                             qint32(answered), LoggedAnswer::Outcome(outcome)});
        for (const auto& [before, rightOnes, responseMs] : chartDays)
            for (int n = 0; n < int(responseMs.size()); ++n)
                log->Append({QDateTime(today.addDays(-before), QTime(12, n)).toSecsSinceEpoch(), a, 0,
                             chartSection, false, 1, 2,
                             n < rightOnes ? LoggedAnswer::Right : LoggedAnswer::Wrong,
                             responseMs[size_t(n)]});
        QVERIFY(log->Flush());
    }

    // A log of known contents gives its confusions in the order of their counts; of two quick
    // requests only the later one's answer fills the list.
    void confusionsInOrderOfCount_data()
    {
        QTest::addColumn<int>("run"); // 0 every run, 1 the first, 2 the second, 3 one without mistakes
        QTest::addColumn<bool>("heard");
        QTest::addColumn<QStringList>("rows"); // "You answer …"
        QTest::newRow("history, five rows of six")
            << 0 << false
            << QStringList{"item1 as item2: 7 times", "item3 as item4: 5 times", "twin as item2: 4 times",
                           "item9 as item10: 3 times", "item5 as item6: 2 times"};
        QTest::newRow("first run") << 1 << false
                                   << QStringList{"item3 as item4: 5 times", "item1 as item2: 3 times",
                                                  "item5 as item6: 2 times", "item11 as item12: once"};
        QTest::newRow("second run heard, pairs read alike added up")
            << 2 << true
            << QStringList{"item1 as item2: 4 times", "twin as item2: 4 times", "item9 as item10: 3 times"};
        QTest::newRow("no mistakes") << 3 << true << QStringList();
    }
    void confusionsInOrderOfCount()
    {
        QFETCH(int, run);
        QFETCH(bool, heard);
        QFETCH(QStringList, rows);
        UI::ConfusionList list;
        QSignalSpy updated(&list, &UI::ConfusionList::updated);
        const qint64 runs[] = {0, runA, runB, runB + 1};
        const auto presentation =
            heard ? UI::ConfusionList::Presentation::Heard : UI::ConfusionList::Presentation::Shown;
        list.showScope(log, {0, 0, runs[(run + 1) % 4]}, Item, presentation);
        list.showScope(log, {0, 0, runs[run]}, Item, presentation);
        QTRY_VERIFY(!list.isWaiting());
        QCOMPARE(updated.count(), 1);
        QCOMPARE(list.rowTexts(), rows.replaceInStrings(QRegularExpression(QStringLiteral("^")),
                                                        QStringLiteral("You answer ")));
        QCOMPARE(list.findChild<QLabel*>(QStringLiteral("confusionEmpty"))->isVisibleTo(&list),
                 rows.isEmpty());
        if (rows.isEmpty())
            return;
        // The first row's button names and presents its pair.
        auto* button = list.findChild<QPushButton*>(QStringLiteral("confusionButton"));
        QCOMPARE(button->text(), heard ? QStringLiteral("Play") : QStringLiteral("Show"));
        const auto names = QRegularExpression(QStringLiteral("You answer (.+) as (.+):")).match(rows.first());
        QCOMPARE(button->accessibleName(),
                 QStringLiteral("%1 %2 and %3").arg(button->text(), names.captured(1), names.captured(2)));
        QSignalSpy present(&list, &UI::ConfusionList::presentRequested);
        button->click();
        QCOMPARE(present.count(), 1);
    }

    // One point per practised day of the span (x: days since its first day), none for the days
    // between, a day of unknown answer times without a time point.
    void chartPointsArePractisedDays_data()
    {
        QTest::addColumn<int>("span");
        QTest::addColumn<QVector<QPointF>>("accuracy"); // per cent right
        QTest::addColumn<QVector<QPointF>>("time");     // median seconds
        QTest::newRow("7 days") << 7 << QVector<QPointF>{{1, 100}, {4, 100}, {6, 200.0 / 3}}
                                << QVector<QPointF>{{1, 1}, {4, 2.5}, {6, 1.2}};
        QTest::newRow("30 days") << 30
                                 << QVector<QPointF>{{0, 0}, {20, 0}, {24, 100}, {27, 100}, {29, 200.0 / 3}}
                                 << QVector<QPointF>{{20, 5}, {24, 1}, {27, 2.5}, {29, 1.2}};
    }
    void chartPointsArePractisedDays()
    {
        QFETCH(int, span);
        QFETCH(QVector<QPointF>, accuracy);
        QFETCH(QVector<QPointF>, time);
        UI::ProgressChart chart;
        chart.setToday(today);
        chart.setSpan(span);
        chart.showSection(log, 0, chartSection);
        QTRY_VERIFY(!chart.isWaiting());
        QCOMPARE(chart.accuracySeries()->pointsVector(), accuracy);
        QCOMPARE(chart.timeSeries()->pointsVector(), time);

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
        QTRY_VERIFY(!chart.isWaiting());
        QVERIFY(chart.accuracySeries()->pointsVector().isEmpty());
        QVERIFY(chart.findChild<QLabel*>(QStringLiteral("progressEmpty"))->isVisible());
    }

    // The mistakes follow the history switch (the lesson's new run has none); Clear History takes
    // the section's rows out of the log, and both tabs are asked again.
    void paneFollowsHistoryAndClearsIt()
    {
        PaneRig rig(3);
        UI::ConfusionList* list = rig.pane->confusions();
        UI::ProgressChart* chart = rig.pane->progressChart();
        QTRY_VERIFY(!list->isWaiting());
        QVERIFY(list->rowTexts().isEmpty());
        rig.viewHistory->click();
        QTRY_VERIFY(!list->isWaiting() && !chart->isWaiting());
        QCOMPARE(list->rowTexts(), QStringList{QStringLiteral("You answer C as D: 3 times")});
        QCOMPARE(chart->accuracySeries()->count(), 1);
        rig.clearHistory->click();
        QTRY_VERIFY(!list->isWaiting() && !chart->isWaiting());
        QVERIFY(list->rowTexts().isEmpty());
        QCOMPARE(chart->accuracySeries()->count(), 0);
        // No weak spots are left: "Print worksheet" says so, for either destination, and offers no file.
        for (const auto destination : {UI::StatisticsPane::WorksheetDestination::Printer,
                                       UI::StatisticsPane::WorksheetDestination::PdfFile}) {
            rig.pane->printWorksheet(destination);
            QMessageBox* box = nullptr;
            QTRY_VERIFY((box = Shown<QMessageBox>(QStringLiteral("worksheetMessage"))));
            QVERIFY2(box->text().contains(QStringLiteral("no weak spots in Single Notes")),
                     qPrintable(box->text()));
            QVERIFY(!Shown<QFileDialog>(QStringLiteral("worksheetFileDialog")));
            box->close();
        }
    }

    // A PDF file that cannot be written is told, not passed over, and leaves nothing behind.
    void worksheetOnAFullDisk()
    {
        FullDisk disk;
        if (!disk.IsMounted())
            QSKIP(qPrintable(disk.Why()));
        QVERIFY(disk.Fill());
        PaneRig rig(1);
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

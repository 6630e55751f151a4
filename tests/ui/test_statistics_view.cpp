// The exercise screen's statistics view on a real catalogue holding the records of earlier runs
// when the screen opens: the rows name the items as the student knows them and carry their
// counts one for one, the history switch shows the earlier runs only when on and clears them on
// disk, hovering a key of the piano gives its octave's page, and the ear trainer's tempo section
// has a bar per tempo marking; in the reference view the section buttons turn the reference's
// pages.

#include "../common/file_bytes.h"
#include "../common/screen_parts.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/music_tables.h"
#include "test_exercise_screen_fixture.h"
#include "ui/exercise/reference/reference_book.h"
#include "ui/exercise/statistics_rows.h"
#include "ui/widgets/progress.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

using Record = Core::StatisticsRecord; // id, exId, section, correct, wrong

namespace {

// The widgets of the rows a student sees, top to bottom.
template <typename Part>
QList<Part*> Shown(const UI::StatisticsRows* rows, const char* name)
{
    QList<Part*> parts = rows->findChildren<Part*>(QLatin1String(name));
    parts.erase(std::remove_if(parts.begin(), parts.end(), [rows](Part* part) { return !part->isVisibleTo(rows); }),
                parts.end());
    std::sort(parts.begin(), parts.end(), [](Part* a, Part* b) { return a->y() < b->y(); });
    return parts;
}

QList<QLabel*> Names(const UI::StatisticsRows* rows) { return Shown<QLabel>(rows, "statisticsName"); }
QList<Progress*> Bars(const UI::StatisticsRows* rows) { return Shown<Progress>(rows, "statisticsBar"); }

// The rows shown: "name wrong/right" each.
QStringList Rows(const UI::StatisticsRows* rows)
{
    const QList<QLabel*> names = Names(rows);
    const QList<Progress*> bars = Bars(rows);
    QStringList shown;
    for (int i = 0; i < names.size() && i < bars.size(); ++i)
        shown << QStringLiteral("%1 %2/%3").arg(names[i]->text()).arg(bars[i]->wrongCount()).arg(bars[i]->rightCount());
    return shown;
}

} // namespace

class TestStatisticsView : public QObject
{
    Q_OBJECT
    std::shared_ptr<Core::MidiBank> bank;
    std::unique_ptr<ScreenRig> rig;

    // A shown screen whose catalogue holds `history` from earlier runs, with a lesson of `trainer`
    // open: its current run starts empty.
    bool Open(unsigned trainer, const QVector<Record>& history, bool quiz = false)
    {
        rig = std::make_unique<ScreenRig>(bank);
        for (const Record& record : history)
            rig->catalog->GetStatistics()->Add(record);
        rig->blocks.SetQuizMode(quiz);
        if (!rig->Show())
            return false;
        rig->screen->loadExercise(trainer, quiz, false);
        return true;
    }

    UI::StatisticsRows* Page(const char* name = "statisticsRows") const
    {
        return rig->Child<UI::StatisticsRows>(QLatin1String(name));
    }
    QPushButton* Button(const char* name) const { return rig->Child<QPushButton>(QLatin1String(name)); }
    // The statistics view in place, on section button `section`.
    bool ShowStatistics(int section = 0)
    {
        rig->screen->showStatistics(UI::Quick);
        if (section != 0)
            Click(rig->SectionButton(section));
        const char* pane = rig->screen->isExtendedStatistics() ? "extendedStatisticsPane" : "statisticsPane";
        const QWidget *area = rig->Child(QStringLiteral("viewArea")), *shown = rig->Child(QLatin1String(pane));
        return QTest::qWaitFor([&] { return shown->geometry() == area->rect(); }, 5000);
    }
    // The same with the history switched on.
    bool ShowHistory(int section = 0)
    {
        if (!ShowStatistics(section))
            return false;
        Click(Button("viewHistory"));
        return true;
    }

private Q_SLOTS:
    void initTestCase()
    {
        ScreenTestSetUp();
        bank = std::make_shared<Core::MidiBank>();
    }
    void cleanup() { rig.reset(); }

    // Hovering a key shows the page of its octave (C4 is middle C; A0 to B0 are octave 0, C8 is
    // octave 8), with the items whose lowest note lies in it; leaving the piano shows the section.
    void hoverGivesTheOctavePage()
    {
        QVERIFY(Open(0, {{50, 0, 0, 4, 0}, {2, 0, 0, 1, 0}, {87, 0, 0, 1, 1}, {3, 0, 0, 0, 1}, {39, 0, 0, 3, 2}}));
        QVERIFY(ShowHistory());
        QCOMPARE(Names(Page()).size(), 5);
        QTRY_VERIFY(rig->Piano()->isVisible());
        auto* caption = rig->Child<QLabel>(QStringLiteral("statisticsCaption"));
        const QString sectionCaption = caption->text();
        const std::tuple<int, int, QStringList> hovers[] = { // key, octave, rows
            {0, 0, {"B0 0/1"}}, {3, 1, {"C1 1/0"}}, {38, 3, {}}, {39, 4, {"C4 2/3", "B4 0/4"}}, {87, 8, {"C8 1/1"}}};
        for (const auto& [key, octave, rows] : hovers) {
            const QPoint at = rig->Piano()->keyRect(key).center();
            QTest::mouseMove(rig->window->windowHandle(), rig->Piano()->mapTo(rig->window.get(), at));
            QCOMPARE(caption->textFormat(), Qt::RichText);
            const QRegularExpression named(QStringLiteral("octave <b[^>]*>%1</b>").arg(octave));
            QVERIFY2(caption->text().contains(named), qPrintable(caption->text()));
            QCOMPARE(Rows(Page()), rows);
        }
        QTest::mouseMove(rig->window->windowHandle(), Page()->mapTo(rig->window.get(), QPoint(5, 5)));
        QCOMPARE(caption->text(), sectionCaption);
        QCOMPARE(Names(Page()).size(), 5);
    }

    // Off, the switch shows the current run only; on, every run; clearing empties the page, disables "Clear
    // History" at once and takes the trainer's records out of "stats.xml", leaving the other trainers' there.
    void historySwitchAgainstTheFiles()
    {
        QVERIFY(Open(0, {{60, 0, 0, 5, 2}, {10, 0, 0, 1, 1}, {7, 1, 0, 2, 0}}));
        QVERIFY(rig->WaitForQuestion());
        const int asked = rig->ExpectedKeys().first();
        rig->ClickKey(asked);
        QVERIFY(rig->WaitForAnswers(1));
        const QString askedRow = Core::MusicTables::NoteLabel(asked, false) + QStringLiteral(" 0/1");

        QVERIFY(ShowStatistics());
        QCOMPARE(Rows(Page()), QStringList{askedRow});
        QCOMPARE(Button("viewHistory")->text(), QStringLiteral("View History"));
        // Nothing to clear in the current run: no button shows.
        QVERIFY(!Button("clearHistory")->isVisible() && !Button("clearHistory")->isEnabled());

        Click(Button("viewHistory"));
        const QStringList all = Rows(Page());
        QCOMPARE(all.size(), 3);
        QVERIFY2(all.contains(QStringLiteral("A5 2/5")) && all.contains(QStringLiteral("G1 1/1")) &&
                     all.contains(askedRow),
                 qPrintable(all.join(", ")));
        QCOMPARE(Button("viewHistory")->text(), QStringLiteral("View lesson statistics"));
        QCOMPARE(Button("clearHistory")->text(), QStringLiteral("Clear History"));
        QVERIFY(Button("clearHistory")->isVisible() && Button("clearHistory")->isEnabled());

        Click(Button("clearHistory"));
        QVERIFY(!Button("clearHistory")->isEnabled());
        QCOMPARE(Names(Page()).size(), 0);
        const QByteArray onDisk = ReadAll(rig->catalog->GetStatistics()->HistoryPath());
        QVERIFY2(!onDisk.contains("exId=\"0\""), onDisk.constData());
        QVERIFY2(onDisk.contains("<entry id=\"7\" exId=\"1\""), onDisk.constData());

        // Back to the current run: the toggle leads to the history again and clearing is off.
        Click(Button("viewHistory"));
        QCOMPARE(Button("viewHistory")->text(), QStringLiteral("View History"));
        QVERIFY(!Button("clearHistory")->isEnabled());
    }

    // In a quiz the toggle leads back to the quiz, and "Clear History" needs no record.
    void quizHistoryButtons()
    {
        QVERIFY(Open(0, {}, true));
        QVERIFY(ShowHistory());
        QCOMPARE(Button("viewHistory")->text(), QStringLiteral("View quiz statistics"));
        QVERIFY(Button("clearHistory")->isEnabled());
    }

    // A section with 88 items, read in no particular order: one row per key from A0 to C8, each
    // with its own record's counts; the page is longer than the pane and scrolls.
    void rowsOfEightyEightItems()
    {
        QVector<Record> history; // every key once
        for (int i = 0, key = 0; i < 88; key = (++i * 37) % 88)
            history.append({key, 0, 0, key % 9 + 1, (key * 7) % 11});
        QVERIFY(Open(0, history));
        QVERIFY(ShowHistory());
        UI::StatisticsRows* page = Page();
        const QList<Progress*> bars = Bars(page);
        QCOMPARE(bars.size(), 88);
        for (int key = 0; key < 88; ++key)
            QCOMPARE(qMakePair(bars[key]->rightCount(), bars[key]->wrongCount()), qMakePair(key % 9 + 1, key * 7 % 11));
        const QList<QLabel*> names = Names(page);
        QCOMPARE(QStringList({names[0]->text(), names[39]->text(), names[45]->text(), names[87]->text()}),
                 QStringList({"A0", "C4", "F\u266F4", "C8"}));
        QTRY_VERIFY(page->verticalScrollBar()->maximum() > 0);
        // A section with fewer items reuses the rows and hides the rest; in a lesson there is no
        // history of it to clear, though another section has one.
        Click(rig->SectionButton(1));
        QVERIFY(Names(page).isEmpty() && Bars(page).isEmpty() && !page->findChildren<Progress*>().isEmpty());
        QVERIFY(!Button("clearHistory")->isEnabled());
    }

    // Every section names its items in the student's words, never by their pool number.
    void itemsNamedAsTheStudentKnowsThem_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("interval") << 0 << 1 << 300 << "C4 Minor third";
        QTest::newRow("chord") << 0 << 2 << 39 << "Cmaj (oct 4)";
        QTest::newRow("ear interval") << 1 << 1 << 300 << "C4 Minor third";
        QTest::newRow("scale") << 1 << 3 << 115 << "C4 Natural m";
        QTest::newRow("note length") << 2 << 0 << 1 << "Whole Rest";
        QTest::newRow("key signature") << 2 << 1 << 3 << "A / f\u266F";
        QTest::newRow("tempo marking") << 2 << 2 << 64 + 7 << "Allegro";
        QTest::newRow("loudness") << 2 << 3 << 3 << "Mezzo-piano";
    }
    void itemsNamedAsTheStudentKnowsThem()
    {
        QFETCH(int, trainer);
        QFETCH(int, section);
        QFETCH(int, id);
        QFETCH(QString, name);
        QVERIFY(Open(unsigned(trainer), {{id, trainer, section, 2, 1}}));
        QVERIFY(ShowHistory(section));
        // Items that are not keys have the page without the keyboard.
        const bool keys = trainer != 2;
        // (A tempo page has a bar for every marking, asked or not.)
        const QStringList rows = Rows(Page(keys ? "statisticsRows" : "extendedStatisticsRows"));
        QVERIFY2(rows.contains(name + QStringLiteral(" 1/2")) && (rows.size() == 1 || section == 2),
                 qPrintable(rows.join(QLatin1Char(','))));
        QTRY_COMPARE(rig->Piano()->isVisible(), keys);
    }

    // The ear trainer's tempo section: the extended page, a bar per tempo marking slowest first,
    // the pieces of one marking added up, each with its description. In the reference view the
    // same section button turns the reference's page and sets its title (the page of every
    // trainer's button: test_reference_book).
    void extendedTempoPageAndItsReference()
    {
        QVERIFY(Open(1, {{3 * 64, 1, 4, 1, 0}, {3 * 64 + 5, 1, 4, 0, 1}, {5 * 64 + 1, 1, 4, 2, 0}}));
        QVERIFY(ShowHistory(4));
        QVERIFY(rig->screen->isExtendedStatistics());
        UI::StatisticsRows* page = Page("extendedStatisticsRows");
        QCOMPARE(Rows(page), QStringList({"Largo 1/1", "Adagio 0/0", "Andante 0/0", "Moderato 0/0",
                                          "Allegro 0/0", "Presto 0/2"}));
        const QList<QLabel*> details = Shown<QLabel>(page, "statisticsDetail");
        QCOMPARE(details.size(), 6);
        QVERIFY(!details[0]->text().isEmpty());
        QVERIFY(details[0]->text() != details[5]->text());
        QVERIFY(page->window() == rig->window.get() && Button("viewHistory")->isVisible());

        rig->screen->showReference(UI::Quick);
        const auto* book = rig->Child<UI::ReferenceBook>(QStringLiteral("referencePages"));
        QTRY_VERIFY(rig->SectionButton(1)->isVisible());
        Click(rig->SectionButton(1));
        QCOMPARE(book->currentPageName(), QStringLiteral("Intervals"));
        Click(rig->SectionButton(4));
        QCOMPARE(book->currentPageName(), QStringLiteral("Tempo"));
        QCOMPARE(rig->Child<QLabel>(QStringLiteral("referenceTitle"))->text(), QStringLiteral("Tempo Reference"));
    }
};

QTEST_MAIN(TestStatisticsView)
#include "test_statistics_view.moc"

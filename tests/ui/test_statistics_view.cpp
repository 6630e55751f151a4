// The exercise screen's statistics view on a real catalogue whose statistics files are written in
// a temporary data folder before the screen opens: the rows name the items as the student knows
// them and carry their counts one for one, the history switch reads the files of earlier runs
// only when on and clears them on disk, hovering a key of the piano gives its octave's page, and
// the ear trainer's tempo section has a bar per tempo marking; in the reference view the section
// buttons turn the reference's pages.

#include "../common/file_bytes.h"
#include "core/exercise/music_tables.h"
#include "test_exercise_screen_fixture.h"
#include "ui/exercise/reference/reference_book.h"
#include "ui/exercise/statistics_rows.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>

using Record = Core::StatisticsRecord; // id, exId, section, correct, wrong
Q_DECLARE_METATYPE(Core::StatisticsRecord)

namespace {

QByteArray StatisticsFile(const QVector<Record>& records)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ex_stat version=\"1.0\">\n";
    for (const Record& r : records)
        xml +=
            QStringLiteral("    <entry id=\"%1\" exId=\"%2\" section=\"%3\" correct=\"%4\" wrong=\"%5\"/>\n")
                .arg(r.id)
                .arg(r.exId)
                .arg(r.section)
                .arg(r.correct)
                .arg(r.wrong)
                .toUtf8();
    return xml + "</ex_stat>\n";
}

QString DataFile(const char* name)
{
    return QDir(Core::ExerciseCatalog::DataDirectory()).absoluteFilePath(QLatin1String(name));
}

// The rows shown: "name wrong/right" each.
QStringList Rows(const UI::StatisticsRows* rows)
{
    QStringList shown;
    for (int i = 0; i < rows->ItemCount(); ++i)
        shown << QStringLiteral("%1 %2/%3")
                     .arg(rows->NameLabel(i)->text())
                     .arg(rows->Bar(i)->wrongCount())
                     .arg(rows->Bar(i)->rightCount());
    return shown;
}

} // namespace

class TestStatisticsView : public QObject
{
    Q_OBJECT
    std::shared_ptr<Core::MidiBank> bank;

    // A shown screen whose catalogue read `history` ("stats.xml") and `local` ("statsLocal.xml")
    // as files of an earlier run, with a lesson of `trainer` open.
    std::unique_ptr<ScreenRig> Open(unsigned trainer, const QVector<Record>& history,
                                    const QVector<Record>& local = {}, bool quiz = false)
    {
        auto rig = std::make_unique<ScreenRig>(bank);
        rig->screen.reset();
        rig->catalog.reset();
        const std::pair<const char*, const QVector<Record>*> files[] = {{"stats.xml", &history},
                                                                        {"statsLocal.xml", &local}};
        for (const auto& file : files)
            if (!WriteAll(DataFile(file.first), StatisticsFile(*file.second)))
                return nullptr;
        rig->catalog = std::make_shared<Core::ExerciseCatalog>(&rig->blocks);
        rig->catalog->SetMidiBank(bank);
        rig->screen = std::make_unique<UI::ExerciseScreen>(rig->catalog, rig->controller,
                                                                   rig->store.get(), rig->window.get());
        rig->screen->setGeometry(rig->window->rect());
        rig->blocks.SetQuizMode(quiz);
        if (!rig->Show())
            return nullptr;
        rig->screen->loadExercise(trainer, quiz, false);
        return rig;
    }

    UI::StatisticsRows* Page(const ScreenRig& rig, const char* name = "statisticsRows")
    {
        return rig.Child<UI::StatisticsRows>(QLatin1String(name));
    }
    QPushButton* Button(const ScreenRig& rig, const char* name)
    {
        return rig.Child<QPushButton>(QLatin1String(name));
    }
    void Click(QWidget* widget)
    {
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    }
    // The statistics view in place, on section button `section`.
    bool ShowStatistics(ScreenRig& rig, int section = 0)
    {
        rig.screen->showStatistics(UI::Quick);
        if (section != 0) {
            if (!rig.SectionButton(section)->isVisible())
                return false;
            Click(rig.SectionButton(section));
        }
        const char* pane = rig.screen->isExtendedStatistics() ? "extendedStatisticsPane" : "statisticsPane";
        return QTest::qWaitFor(
            [&] {
                return rig.Child(QLatin1String(pane))->geometry() ==
                       rig.Child(QStringLiteral("viewArea"))->rect();
            },
            5000);
    }
    // The same with the history switched on.
    bool ShowHistory(ScreenRig& rig, int section = 0)
    {
        if (!ShowStatistics(rig, section))
            return false;
        Click(Button(rig, "viewHistory"));
        return true;
    }

private Q_SLOTS:
    void initTestCase()
    {
        ScreenTestSetUp();
        bank = std::make_shared<Core::MidiBank>();
    }

    // Hovering a key shows the page of its octave (C4 is middle C; A0 to B0 are octave 0, C8 is
    // octave 8), with the items whose lowest note lies in it; leaving the piano shows the section.
    void hoverGivesTheOctavePage_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("octave");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("A0") << 0 << 0 << QStringList{"B0 0/1"};
        QTest::newRow("C1") << 3 << 1 << QStringList{"C1 1/0"};
        QTest::newRow("B3") << 38 << 3 << QStringList{};
        QTest::newRow("C4") << 39 << 4 << QStringList{"C4 2/3", "B4 0/4"};
        QTest::newRow("C8") << 87 << 8 << QStringList{"C8 1/1"};
    }
    void hoverGivesTheOctavePage()
    {
        QFETCH(int, key);
        QFETCH(int, octave);
        QFETCH(QStringList, rows);
        auto rig =
            Open(0, {{50, 0, 0, 4, 0}, {2, 0, 0, 1, 0}, {87, 0, 0, 1, 1}, {3, 0, 0, 0, 1}, {39, 0, 0, 3, 2}});
        QVERIFY(rig);
        QVERIFY(ShowHistory(*rig));
        QCOMPARE(Page(*rig)->ItemCount(), 5);

        QTRY_VERIFY(rig->Piano()->isVisible());
        auto* caption = rig->Child<QLabel>(QStringLiteral("statisticsCaption"));
        const QString sectionCaption = caption->text();
        const QPoint at = rig->Piano()->keyRect(key).center();
        QTest::mouseMove(rig->window->windowHandle(), rig->Piano()->mapTo(rig->window.get(), at));
        QCOMPARE(caption->textFormat(), Qt::RichText);
        QVERIFY2(caption->text().contains(QStringLiteral("octave <b style='color:blue; font-size:18px;'>%1</b>")
                                              .arg(octave)),
                 qPrintable(caption->text()));
        QCOMPARE(Rows(Page(*rig)), rows);

        QTest::mouseMove(rig->window->windowHandle(), Page(*rig)->mapTo(rig->window.get(), QPoint(5, 5)));
        QCOMPARE(caption->text(), sectionCaption);
        QCOMPARE(Page(*rig)->ItemCount(), 5);
    }

    // Off, the switch shows the current run only (the earlier run's local records are cleared when
    // the lesson opens); on, every run; clearing empties the page, disables "Clear History" at once
    // and takes the trainer's records out of "stats.xml", leaving the other trainers' there.
    void historySwitchAgainstTheFiles()
    {
        const QVector<Record> earlier = {{60, 0, 0, 5, 2}, {10, 0, 0, 1, 1}, {7, 1, 0, 2, 0}};
        auto rig = Open(0, earlier, {{60, 0, 0, 5, 2}});
        QVERIFY(rig);
        QVERIFY(rig->WaitForQuestion());
        const int asked = rig->ExpectedKeys().first();
        rig->ClickKey(asked);
        QVERIFY(rig->WaitForAnswers(1));
        const QString askedRow = Core::MusicTables::NoteLabel(asked, false) + QStringLiteral(" 0/1");

        QVERIFY(ShowStatistics(*rig));
        QCOMPARE(Rows(Page(*rig)), QStringList{askedRow});
        QCOMPARE(Button(*rig, "viewHistory")->text(), QStringLiteral("View History"));
        QVERIFY(!Button(*rig, "clearHistory")->isEnabled());
        QVERIFY(Button(*rig, "clearHistory")->text().isEmpty());

        Click(Button(*rig, "viewHistory"));
        const QStringList all = Rows(Page(*rig));
        QCOMPARE(all.size(), 3);
        QVERIFY2(all.contains(QStringLiteral("A5 2/5")) && all.contains(QStringLiteral("G1 1/1")) &&
                     all.contains(askedRow),
                 qPrintable(all.join(", ")));
        QCOMPARE(Button(*rig, "viewHistory")->text(), QStringLiteral("View lesson statistics"));
        QCOMPARE(Button(*rig, "clearHistory")->text(), QStringLiteral("Clear History"));
        QVERIFY(Button(*rig, "clearHistory")->isEnabled());

        Click(Button(*rig, "clearHistory"));
        QVERIFY(!Button(*rig, "clearHistory")->isEnabled());
        QCOMPARE(Page(*rig)->ItemCount(), 0);
        const QByteArray onDisk = ReadAll(DataFile("stats.xml"));
        QVERIFY2(!onDisk.contains("exId=\"0\""), onDisk.constData());
        QVERIFY2(onDisk.contains("<entry id=\"7\" exId=\"1\""), onDisk.constData());

        // Back to the current run: the toggle leads to the history again and clearing is off.
        Click(Button(*rig, "viewHistory"));
        QCOMPARE(Button(*rig, "viewHistory")->text(), QStringLiteral("View History"));
        QVERIFY(!Button(*rig, "clearHistory")->isEnabled());
    }

    // The toggle names the view it leads back to; in a lesson "Clear History" needs a history
    // record of the section shown (see above for one that has), in a quiz it does not.
    void historyButtons_data()
    {
        QTest::addColumn<bool>("quiz");
        QTest::addColumn<QVector<Record>>("history");
        QTest::addColumn<QString>("toggle");
        QTest::addColumn<bool>("clearable");
        QTest::newRow("lesson, other section only")
            << false << QVector<Record>{{40, 0, 1, 1, 0}} << "View lesson statistics" << false;
        QTest::newRow("quiz, none") << true << QVector<Record>{} << "View quiz statistics" << true;
    }
    void historyButtons()
    {
        QFETCH(bool, quiz);
        QFETCH(QVector<Record>, history);
        QFETCH(QString, toggle);
        QFETCH(bool, clearable);
        auto rig = Open(0, history, {}, quiz);
        QVERIFY(rig);
        QVERIFY(ShowHistory(*rig));
        QCOMPARE(Button(*rig, "viewHistory")->text(), toggle);
        QCOMPARE(Button(*rig, "clearHistory")->isEnabled(), clearable);
    }

    // A section with 88 items, read in no particular order: one row per key from A0 to C8, each
    // with its own record's counts; the page is longer than the pane and scrolls.
    void rowsOfEightyEightItems()
    {
        QVector<Record> history;
        for (int i = 0; i < 88; ++i) {
            const int key = (i * 37) % 88;
            history.append({key, 0, 0, key % 9 + 1, (key * 7) % 11});
        }
        auto rig = Open(0, history);
        QVERIFY(rig);
        QVERIFY(ShowHistory(*rig));
        UI::StatisticsRows* page = Page(*rig);
        QCOMPARE(page->ItemCount(), 88);
        for (int key = 0; key < 88; ++key) {
            QCOMPARE(page->Bar(key)->rightCount(), key % 9 + 1);
            QCOMPARE(page->Bar(key)->wrongCount(), (key * 7) % 11);
            QVERIFY(page->Bar(key)->isVisibleTo(page));
        }
        QCOMPARE(QStringList({page->NameLabel(0)->text(), page->NameLabel(39)->text(),
                              page->NameLabel(45)->text(), page->NameLabel(87)->text()}),
                 QStringList({"A0", "C4", "F\u266F4", "C8"}));
        QTRY_VERIFY(page->verticalScrollBar()->maximum() > 0);
        // A section with fewer items reuses the rows and hides the rest.
        Click(rig->SectionButton(1));
        QCOMPARE(page->ItemCount(), 0);
        QVERIFY(!page->findChildren<Progress*>().isEmpty());
        for (Progress* bar : page->findChildren<Progress*>())
            QVERIFY(!bar->isVisibleTo(page));
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
        auto rig = Open(unsigned(trainer), {{id, trainer, section, 2, 1}});
        QVERIFY(rig);
        QVERIFY(ShowHistory(*rig, section));
        QCOMPARE(Rows(Page(*rig)), QStringList{name + QStringLiteral(" 1/2")});
    }

    // The ear trainer's tempo section: the extended page, a bar per tempo marking slowest first,
    // the pieces of one marking added up, each with its description.
    void extendedTempoPage()
    {
        auto rig = Open(1, {{3 * 64, 1, 4, 1, 0}, {3 * 64 + 5, 1, 4, 0, 1}, {5 * 64 + 1, 1, 4, 2, 0}});
        QVERIFY(rig);
        QVERIFY(ShowHistory(*rig, 4));
        QVERIFY(rig->screen->isExtendedStatistics());
        UI::StatisticsRows* page = Page(*rig, "extendedStatisticsRows");
        QCOMPARE(Rows(page), QStringList({"Largo 1/1", "Adagio 0/0", "Andante 0/0", "Moderato 0/0",
                                          "Allegro 0/0", "Presto 0/2"}));
        QVERIFY(!page->DetailLabel(0)->text().isEmpty());
        QVERIFY(page->DetailLabel(0)->text() != page->DetailLabel(5)->text());
        QVERIFY(page->window() == rig->window.get() && Button(*rig, "viewHistory")->isVisible());
    }

    // In the reference view the section buttons turn the reference's pages and set its title.
    void referenceFollowsTheSectionButtons_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<int>("button"); // 0-4
        QTest::addColumn<QString>("page");
        QTest::newRow("symbol trainer, button 3") << 2u << 2 << "Tempo";
        QTest::newRow("ear trainer, button 5") << 1u << 4 << "Tempo";
        QTest::newRow("note trainer, button 2") << 0u << 1 << "Intervals";
    }
    void referenceFollowsTheSectionButtons()
    {
        QFETCH(unsigned, trainer);
        QFETCH(int, button);
        QFETCH(QString, page);
        auto rig = Open(trainer, {});
        QVERIFY(rig);
        rig->screen->showReference(UI::Quick);
        QTRY_VERIFY(rig->SectionButton(button)->isVisible());
        Click(rig->SectionButton(button));
        QCOMPARE(rig->Child<UI::ReferenceBook>(QStringLiteral("referencePages"))->currentPageName(), page);
        QCOMPARE(rig->Child<QLabel>(QStringLiteral("referenceTitle"))->text(),
                 page + QStringLiteral(" Reference"));
    }
};

QTEST_MAIN(TestStatisticsView)
#include "test_statistics_view.moc"

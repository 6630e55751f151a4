// The score board as the exercise screen uses it (widget_sheet draws its looks for review).

#include "../common/rendered.h"
#include "core/score_builder.h"
#include "notation/music_font.h"
#include "ui/widgets/score_board.h"

#include <QtTest>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

using Core::ScoreBuilder;
using Notation::MapElement;

namespace {

const QColor ground(144, 144, 144);

// A treble voice of 12 notes on the upper staff and a bass voice of 12 on the lower one, both
// reaching far outside their staves: taller than the page the board's height gives.
const QByteArray twoStaves = "{ [ \\staff<1> \\clef<\"g2\"> c2 d e f g a b c3 d e f g ], "
                             "[ \\staff<2> \\clef<\"f4\"> f-2 g a b c-1 d e f g a b c0 ] }";

QByteArray Question(const QVector<int>& keys, int mode = 3, bool treble = true, bool flat = false)
{
    return ScoreBuilder::WriteQuestion(keys, treble, flat, mode);
}

const QByteArray third = Question({39, 43});

bool Inked(const QImage& image, QPointF point)
{
    const QColor colour = image.pixelColor((point * image.devicePixelRatio()).toPoint());
    return std::max({qAbs(colour.red() - ground.red()), qAbs(colour.green() - ground.green()),
                     qAbs(colour.blue() - ground.blue())}) > 60;
}

std::vector<MapElement> Elements(const Notation::GraphicMap& map, int type)
{
    std::vector<MapElement> found;
    std::copy_if(map.elements.begin(), map.elements.end(), std::back_inserter(found),
                 [type](const MapElement& element) { return element.type == type; });
    return found;
}

// The notes of a map, by their byte offsets in the text.
std::set<int> Notes(const Notation::GraphicMap& map)
{
    std::set<int> orders;
    for (const MapElement& element : Elements(map, MapElement::eventType))
        orders.insert(element.order);
    return orders;
}

// The notes the board shows, page by page from the first.
std::vector<std::set<int>> NotesByPage(UI::ScoreBoard& board)
{
    std::vector<std::set<int>> pages;
    while (board.currentPage() > 0)
        board.previousPage();
    for (int page = 0; page < board.pageCount(); ++page) {
        if (page > 0)
            board.nextPage();
        Rendered(board, 1);
        pages.push_back(Notes(board.lastMap()));
    }
    return pages;
}

// What changes a board (shown at 360 × 350 on the second page of twoStaves).
const std::map<QByteArray, std::function<void(UI::ScoreBoard&)>> changes{
    {"new score", [](UI::ScoreBoard& b) { b.setScore(third); }},
    {"same score again", [](UI::ScoreBoard& b) { b.setScore(twoStaves); }}, // back to page 1
    {"cleared", [](UI::ScoreBoard& b) { b.clearScore(); }},
    {"resized", [](UI::ScoreBoard& b) { b.resize(700, 300); }},
    {"page", [](UI::ScoreBoard& b) { b.nextPage(); }},
    {"bass only", [](UI::ScoreBoard& b) { b.showBassClef(); }},
    {"letters", [](UI::ScoreBoard& b) { b.changeLettersMode(true); }},
    {"mode 1", [](UI::ScoreBoard& b) { b.setDrawingMode(1); }}};

std::unique_ptr<UI::ScoreBoard> ShownBoard()
{
    auto board = std::make_unique<UI::ScoreBoard>();
    board->setDrawingMode(2);
    board->resize(1050, 350);
    board->show();
    return QTest::qWaitForWindowExposed(board.get()) ? std::move(board) : nullptr;
}

} // namespace

class TestScoreBoard : public QObject
{
    Q_OBJECT

    std::unique_ptr<UI::ScoreBoard> board;

private slots:
    void initTestCase() { QVERIFY(Notation::MusicFont::RegisterApplicationFont() >= 0); }
    void init()
    {
        board = ShownBoard();
        QVERIFY(board);
    }

    void noteheadsAreInkedWhereTheMapSays_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("notes");
        const QByteArray chord = Question({39, 43, 46, 50});
        const QByteArray answer = ScoreBuilder::WriteAnswer({{39, 0}, {44, 1}, {48, 2}}, true, false);
        for (qreal ratio : {1.0, 2.0}) {
            QTest::addRow("chord, ratio %g", ratio) << chord << QSize(1050, 350) << ratio << 4;
            QTest::addRow("answer view, ratio %g", ratio) << answer << QSize(1050, 350) << ratio << 3;
            QTest::addRow("two staves, ratio %g", ratio) << twoStaves << QSize(1050, 350) << ratio << 24;
            QTest::addRow("chord, narrow board, ratio %g", ratio) << chord << QSize(80, 350) << ratio << 4;
        }
    }
    void noteheadsAreInkedWhereTheMapSays()
    {
        QFETCH(QByteArray, text);
        QFETCH(QSize, size);
        QFETCH(qreal, ratio);
        board->resize(size);
        QVERIFY(board->setScore(text));
        const QImage image = Rendered(*board, ratio);
        const std::vector<MapElement> heads = Elements(board->lastMap(), MapElement::eventType);
        QTEST(int(heads.size()), "notes");
        for (const MapElement& system : Elements(board->lastMap(), MapElement::systemType))
            QVERIFY(QRectF(board->rect()).contains(system.box)); // nothing cut off by the edges
        for (const MapElement& head : heads)
            QVERIFY2(Inked(image, head.box.center()),
                     qPrintable(QStringLiteral("note at %1").arg(head.order)));
        QVERIFY(!Inked(image, QPointF(2, 2)));
        // A column through the staff lines after the last note, at ratio 2: five lines, each one run
        // of ink with at most one soft pixel at either edge. Drawn small and scaled up, each edge
        // would blur over two pixels or more.
        const QRectF staff = Elements(board->lastMap(), MapElement::staffType).at(0).box;
        int lines = 0, ink = 0, soft = 0;
        for (int y = int((staff.top() - 2) * 2); ratio == 2 && y <= int((staff.bottom() + 2) * 2); ++y) {
            const QColor colour = image.pixelColor(int((staff.right() - 3) * 2), y);
            const double coverage = double(ground.red() - colour.red()) / ground.red();
            if (coverage > 0.03) {
                ++ink;
                soft += coverage < 0.9;
            } else if (ink > 0) {
                QVERIFY2(soft <= 2, qPrintable(QStringLiteral("line %1: %2 soft pixels").arg(lines).arg(soft)));
                ++lines;
                ink = soft = 0;
            }
        }
        QCOMPARE(lines, ratio == 2 ? 5 : 0);
        // A board twice the size draws everything twice as large.
        const double height = heads.front().box.height();
        board->resize(size * 2);
        Rendered(*board, 1);
        QCOMPARE(Elements(board->lastMap(), MapElement::eventType).front().box.height(), 2 * height);
    }

    void noteLettersStackUnderTheNotesUncut_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("rows");
        QTest::newRow("chord of seconds") << Question({39, 41, 42, 44}, 3, true, true) << 4;
        QTest::newRow("lowest key, bass") << Question({0}, 1, false) << 1;
        QTest::newRow("highest key, treble") << Question({87}, 1) << 1;
        QTest::newRow("scale") << Question({39, 41, 43, 44, 46, 48, 50, 51}, 0, true, true) << 1;
        QTest::newRow("answer view") << ScoreBuilder::WriteAnswer({{27, 0}, {30, 1}, {46, 2}}, false, false)
                                     << 2;
    }
    // Rows of ink below everything the notation drew, under each note: one run of rows per line
    // of letters, and the last row of the board clear.
    void noteLettersStackUnderTheNotesUncut()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, rows);
        QVERIFY(board->setScore(text));
        for (bool on : {false, true}) {
            board->changeLettersMode(on);
            const QImage image = Rendered(*board, 1);
            const Notation::GraphicMap map = board->lastMap();
            const QRectF system = Elements(map, MapElement::systemType).front().box;
            auto runsBelow = [&](double left, double right) {
                int runs = 0;
                bool inked = false;
                for (int y = int(system.bottom()) + 1; y < board->height(); ++y) {
                    bool rowInked = false;
                    for (int x = int(left); x <= int(right) && !rowInked; ++x)
                        rowInked = Inked(image, QPointF(x, y));
                    runs += rowInked && !inked;
                    inked = rowInked;
                }
                return inked ? -1 : runs;
            };
            QRectF heads;
            for (const MapElement& head : Elements(map, MapElement::eventType)) {
                heads = heads.isNull() ? head.box : heads.united(head.box);
                const int runs = runsBelow(head.box.left(), head.box.right());
                QVERIFY2(on ? runs >= 1 : runs == 0,
                         qPrintable(QStringLiteral("note at %1: %2").arg(head.order).arg(runs)));
            }
            QCOMPARE(runsBelow(heads.left(), heads.right()), on ? rows : 0);
        }
    }

    // Each clef filter shows its clef's notes once over its pages, in the text's order, turning
    // clamped at both ends; a wider board needs fewer pages and keeps the current one valid.
    void pagesShowEachNoteOfTheFilteredClefOnce()
    {
        board->resize(360, 350);
        QVERIFY(board->setScore(twoStaves));
        std::map<QByteArray, std::set<int>> shown;
        for (const QByteArray filter : {"bass", "treble", "both"}) {
            filter == "bass"     ? board->showBassClef()
            : filter == "treble" ? board->showTrebleClef()
                                 : board->showBothClefs();
            const int pages = board->pageCount();
            QVERIFY(pages > 1);
            board->previousPage();
            QCOMPARE(board->currentPage(), 0);
            const std::vector<std::set<int>> byPage = NotesByPage(*board);
            size_t count = 0;
            for (size_t p = 0; p < byPage.size(); ++p) {
                QVERIFY(!byPage[p].empty());
                QVERIFY(p == 0 || filter == "both" || *byPage[p].begin() > *byPage[p - 1].rbegin());
                shown[filter].insert(byPage[p].begin(), byPage[p].end());
                count += byPage[p].size();
            }
            QCOMPARE(count, shown[filter].size());
            QCOMPARE(Elements(board->lastMap(), MapElement::staffType).size() /
                         Elements(board->lastMap(), MapElement::systemType).size(),
                     size_t(filter == "both" ? 2 : 1));
            board->nextPage();
            QCOMPARE(board->currentPage(), pages - 1);
        }
        std::set<int>& treble = shown["treble"];
        const std::set<int>& bass = shown["bass"];
        QCOMPARE(int(treble.size()), 12);
        QCOMPARE(int(bass.size()), 12);
        QVERIFY(*treble.rbegin() < *bass.begin()); // the treble voice comes first in the text
        treble.insert(bass.begin(), bass.end());
        QCOMPARE(treble, shown["both"]);

        const int pages = board->pageCount();
        board->resize(2400, 350);
        QVERIFY(board->pageCount() < pages);
        QVERIFY(board->currentPage() < board->pageCount());
    }

    void rejectedTextLeavesTheBoardEmpty_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("unbalanced") << QByteArray("{ [ c1 ") << false;
        QTest::newRow("empty clears") << QByteArray() << true;
    }
    void rejectedTextLeavesTheBoardEmpty()
    {
        QFETCH(QByteArray, text);
        board->changeLettersMode(true);
        QVERIFY(board->setScore(third));
        QTEST(board->setScore(text), "accepted");
        QCOMPARE(board->pageCount(), 0);
        board->nextPage();
        board->previousPage();
        board->showBassClef();
        board->updateScores();
        const QImage image = Rendered(*board, 2);
        QVERIFY(board->lastMap().elements.empty());
        for (int y = 0; y < image.height(); y += 5)
            for (int x = 0; x < image.width(); x += 5)
                QCOMPARE(image.pixelColor(x, y), ground);
        board->showBothClefs();
        QVERIFY(board->setScore(Question({39}, 1))); // and takes a good text again
        QCOMPARE(board->pageCount(), 1);
    }

    void changedBoardDrawsAsANewOne_data()
    {
        QTest::addColumn<QByteArray>("change");
        QTest::addColumn<int>("ratio");
        for (const auto& change : changes)
            for (int ratio : {1, 2})
                QTest::addRow("%s at %d", change.first.constData(), ratio) << change.first << ratio;
    }
    // A board that was drawn and then changed draws what a board set up in the changed state
    // draws: nothing of the picture drawn before the change is shown again.
    void changedBoardDrawsAsANewOne()
    {
        QFETCH(QByteArray, change);
        QFETCH(int, ratio);
        const auto fresh = ShownBoard();
        QVERIFY(fresh);
        QImage before;
        for (UI::ScoreBoard* target : {board.get(), fresh.get()}) {
            target->resize(360, 350);
            QVERIFY(target->setScore(twoStaves));
            target->nextPage();
            if (target == board.get())
                before = Rendered(*target, ratio);
            changes.at(change)(*target);
        }
        const QImage after = Rendered(*board, ratio);
        QVERIFY(after != before);
        QCOMPARE(after, Rendered(*fresh, ratio));
        QCOMPARE(Notes(board->lastMap()), Notes(fresh->lastMap()));
    }
};

QTEST_MAIN(TestScoreBoard)
#include "test_score_board.moc"

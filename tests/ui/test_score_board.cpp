// The score board as the exercise screen uses it: noteheads painted where its graphic map says,
// at device pixel ratio 1 and 2 and really drawn at the higher resolution; note letters under
// the notes, stacked for chords and never cut off; long music over pages that turn and clamp;
// the clef filter over both staves and all pages; rejected texts showing nothing; a board that
// changed after it was drawn drawing as a new one would.
// CANTORELA_SCORE_BOARD_SHEETS=<folder> also writes the pictures for a person to look at.

#include "core/score_builder.h"
#include "notation/gmn_parser.h"
#include "notation/music_font.h"
#include "ui/controls/score_board.h"

#include <QDir>
#include <QImage>
#include <QtTest>

#include <algorithm>
#include <set>

using Core::ScoreBuilder;
using Notation::MapElement;

namespace {

const QColor ground(144, 144, 144);

// A treble voice on the upper staff and a bass voice on the lower one, both reaching far
// outside their staves: taller than the page the board's height gives.
const QByteArray twoStaves = "{ [ \\staff<1> \\clef<\"g2\"> c2 d e f g a b c3 d e f g ], "
                             "[ \\staff<2> \\clef<\"f4\"> f-2 g a b c-1 d e f g a b c0 ] }";

QImage Render(UI::ScoreBoard& board, qreal ratio)
{
    QImage image(board.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    board.render(&image);
    return image;
}

bool Inked(const QImage& image, QPointF point)
{
    const QPoint pixel = (point * image.devicePixelRatio()).toPoint();
    const QColor colour = image.pixelColor(pixel);
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

std::set<int> NoteOrders(const Notation::GraphicMap& map)
{
    std::set<int> orders;
    for (const MapElement& element : Elements(map, MapElement::eventType))
        orders.insert(element.order);
    return orders;
}

// The byte offsets of the notes of the voices in the given clef, or of all voices.
std::set<int> TextOrders(const QByteArray& text, int onlyClef)
{
    Notation::Score score;
    Notation::ParseError error;
    if (!Notation::GmnParser::Parse(text, &score, &error))
        qFatal("%s", qPrintable(error.Describe()));
    std::set<int> orders;
    for (const Notation::Voice& voice : score.voices) {
        const auto clef =
            std::find_if(voice.items.begin(), voice.items.end(), [](const Notation::VoiceItem& item) {
                return item.kind == Notation::VoiceItem::Kind::Clef;
            });
        if (onlyClef >= 0 && (clef == voice.items.end() || int(clef->clef.kind) != onlyClef))
            continue;
        for (const Notation::VoiceItem& item : voice.items)
            for (const Notation::Note& note : item.notes)
                orders.insert(note.sourceOffset);
    }
    return orders;
}

// Every note the board shows over all its pages, page by page.
std::vector<std::set<int>> OrdersByPage(UI::ScoreBoard& board)
{
    std::vector<std::set<int>> pages;
    while (board.CurrentPage() > 0)
        board.PrevPage();
    for (int page = 0; page < board.PageCount(); ++page) {
        if (page > 0)
            board.NextPage();
        Render(board, 1);
        pages.push_back(NoteOrders(board.LastMap()));
    }
    return pages;
}

} // namespace

class TestScoreBoard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(Notation::MusicFont::RegisterApplicationFont() >= 0); }
    void init()
    {
        board.reset(new UI::ScoreBoard);
        board->SetDrawingMode(2);
        board->resize(1050, 350);
        board->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.get()));
    }

    void noteheadsWhereTheMapSays_data();
    void noteheadsWhereTheMapSays();
    void drawnAtDeviceResolution();
    void largerBoardDrawsLarger();
    void lettersUnderNotes_data();
    void lettersUnderNotes();
    void pagesTurnAndClamp();
    void clefFilterOverStavesAndPages_data();
    void clefFilterOverStavesAndPages();
    void rejectedTextShowsNothing_data();
    void rejectedTextShowsNothing();
    void changedBoardDrawsAsNew_data();
    void changedBoardDrawsAsNew();
    void writeSheets();

private:
    std::unique_ptr<UI::ScoreBoard> board;
};

void TestScoreBoard::noteheadsWhereTheMapSays_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("notes");
    const QByteArray chord = ScoreBuilder::WriteQuestion({39, 43, 46, 50}, true, false, 3);
    const QByteArray interval = ScoreBuilder::WriteQuestion({20, 27}, false, true, 2);
    const QByteArray answer = ScoreBuilder::WriteAnswer({{39, 0}, {44, 1}, {48, 2}}, true, false);
    for (qreal ratio : {1.0, 2.0}) {
        const QByteArray suffix = ", ratio " + QByteArray::number(ratio);
        const QSize normal(1050, 350);
        QTest::newRow("chord" + suffix) << chord << normal << ratio << 4;
        QTest::newRow("bass interval" + suffix) << interval << normal << ratio << 2;
        QTest::newRow("answer view" + suffix) << answer << normal << ratio << 3;
        QTest::newRow("two staves" + suffix) << twoStaves << normal << ratio << 24;
        QTest::newRow("chord, narrow board" + suffix) << chord << QSize(80, 350) << ratio << 4;
    }
}

void TestScoreBoard::noteheadsWhereTheMapSays()
{
    QFETCH(QByteArray, text);
    QFETCH(QSize, size);
    QFETCH(qreal, ratio);
    QFETCH(int, notes);
    board->resize(size);
    QVERIFY(board->SetScore(text));
    const QImage image = Render(*board, ratio);
    QCOMPARE(image.size(), board->size() * ratio);
    const std::vector<MapElement> heads = Elements(board->LastMap(), MapElement::eventType);
    QCOMPARE(int(heads.size()), notes);
    // Nothing the notation drew is cut off by the board's edges.
    for (const MapElement& system : Elements(board->LastMap(), MapElement::systemType))
        QVERIFY(QRectF(board->rect()).contains(system.box));
    for (const MapElement& head : heads) {
        QVERIFY2(Inked(image, head.box.center()), qPrintable(QStringLiteral("note at %1").arg(head.order)));
    }
    QVERIFY(!Inked(image, QPointF(2, 2)));
}

void TestScoreBoard::drawnAtDeviceResolution()
{
    // A column through the staff lines after the last note: each line is one run of ink with at
    // most one soft pixel at either edge, and holds twice the ink in pixels at ratio 2. A
    // picture drawn small and scaled up would blur each edge over two pixels or more.
    QVERIFY(board->SetScore(ScoreBuilder::WriteQuestion({39}, true, false, 1)));
    std::vector<double> inkPerLine[2];
    for (int r = 0; r < 2; ++r) {
        const int ratio = r + 1;
        const QImage image = Render(*board, ratio);
        const std::vector<MapElement> staves = Elements(board->LastMap(), MapElement::staffType);
        QCOMPARE(int(staves.size()), 1);
        const QRectF staff = staves.front().box;
        const int x = int((staff.right() - 3) * ratio);
        double ink = 0.0;
        int soft = 0;
        bool inLine = false;
        for (int y = int((staff.top() - 2) * ratio); y <= int((staff.bottom() + 2) * ratio); ++y) {
            const double coverage = double(ground.red() - image.pixelColor(x, y).red()) / ground.red();
            if (coverage > 0.03) {
                inLine = true;
                ink += coverage;
                soft += coverage < 0.9;
            } else if (inLine) {
                QVERIFY2(soft <= 2,
                         qPrintable(QStringLiteral("ratio %1: %2 soft pixels").arg(ratio).arg(soft)));
                inkPerLine[r].push_back(ink);
                inLine = false;
                ink = 0.0;
                soft = 0;
            }
        }
        QCOMPARE(int(inkPerLine[r].size()), 5);
    }
    for (int line = 0; line < 5; ++line)
        QVERIFY(qAbs(inkPerLine[1][line] - 2 * inkPerLine[0][line]) < 0.5);
}

void TestScoreBoard::largerBoardDrawsLarger()
{
    QVERIFY(board->SetScore(ScoreBuilder::WriteQuestion({39, 43}, true, false, 2)));
    Render(*board, 1);
    const QRectF small = Elements(board->LastMap(), MapElement::eventType).front().box;
    board->resize(2100, 700);
    const QImage image = Render(*board, 1);
    const QRectF large = Elements(board->LastMap(), MapElement::eventType).front().box;
    QVERIFY(qAbs(large.height() - 2 * small.height()) < 1e-6);
    QVERIFY(Inked(image, large.center()));
}

void TestScoreBoard::lettersUnderNotes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("rows");
    QTest::newRow("chord") << ScoreBuilder::WriteQuestion({39, 43, 46}, true, false, 3) << 3;
    QTest::newRow("chord of seconds") << ScoreBuilder::WriteQuestion({39, 41, 42, 44}, true, true, 3) << 4;
    QTest::newRow("lowest key, bass") << ScoreBuilder::WriteQuestion({0}, false, false, 1) << 1;
    QTest::newRow("highest key, treble") << ScoreBuilder::WriteQuestion({87}, true, false, 1) << 1;
    QTest::newRow("scale") << ScoreBuilder::WriteQuestion({39, 41, 43, 44, 46, 48, 50, 51}, true, true, 0)
                           << 1;
    QTest::newRow("answer view") << ScoreBuilder::WriteAnswer({{27, 0}, {30, 1}, {46, 2}}, false, false) << 2;
}

void TestScoreBoard::lettersUnderNotes()
{
    QFETCH(QByteArray, text);
    QFETCH(int, rows);
    QVERIFY(board->SetScore(text));
    for (bool on : {false, true}) {
        board->ChangeLettersMode(on);
        const QImage image = Render(*board, 1);
        const Notation::GraphicMap map = board->LastMap();
        const QRectF system = Elements(map, MapElement::systemType).front().box;
        // Rows of ink below everything the notation drew, under the given columns: one run of
        // rows per line of letters. The last row of the board stays clear.
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
                     qPrintable(QStringLiteral("note at %1: %2 lines of letters").arg(head.order).arg(runs)));
        }
        QCOMPARE(runsBelow(heads.left(), heads.right()), on ? rows : 0);
    }
}

void TestScoreBoard::pagesTurnAndClamp()
{
    const QByteArray scale = ScoreBuilder::WriteQuestion(
        {27, 29, 31, 32, 34, 36, 38, 39, 41, 43, 44, 46, 48, 50, 51, 53, 55, 56, 58, 60}, true, false, 0);
    board->resize(320, 350);
    QVERIFY(board->SetScore(scale));
    const int pages = board->PageCount();
    QVERIFY(pages > 1);
    board->PrevPage();
    QCOMPARE(board->CurrentPage(), 0);
    const QImage first = Render(*board, 1);

    board->NextPage();
    QCOMPARE(board->CurrentPage(), 1);
    const QImage second = Render(*board, 1);
    QVERIFY(first != second);
    for (const MapElement& head : Elements(board->LastMap(), MapElement::eventType))
        QVERIFY(Inked(second, head.box.center()));

    for (int i = 0; i < pages + 2; ++i)
        board->NextPage();
    QCOMPARE(board->CurrentPage(), pages - 1);

    // Every note once, over all pages, in the order of the text.
    const std::vector<std::set<int>> byPage = OrdersByPage(*board);
    std::set<int> all;
    for (size_t p = 0; p < byPage.size(); ++p) {
        QVERIFY(!byPage[p].empty());
        if (p > 0)
            QVERIFY(*byPage[p].begin() > *byPage[p - 1].rbegin());
        all.insert(byPage[p].begin(), byPage[p].end());
    }
    QCOMPARE(all, TextOrders(scale, -1));

    // A wider board fits more on a line; the current page stays within the new count.
    board->resize(2400, 350);
    QVERIFY(board->PageCount() < pages);
    QVERIFY(board->CurrentPage() < board->PageCount());
}

void TestScoreBoard::clefFilterOverStavesAndPages_data()
{
    QTest::addColumn<QByteArray>("filter");
    QTest::addColumn<int>("clef");
    QTest::newRow("F") << QByteArray("F") << int(Notation::ClefKind::F);
    QTest::newRow("G") << QByteArray("G") << int(Notation::ClefKind::G);
    QTest::newRow("both") << QByteArray("Both") << -1;
}

void TestScoreBoard::clefFilterOverStavesAndPages()
{
    QFETCH(QByteArray, filter);
    QFETCH(int, clef);
    board->resize(360, 350);
    QVERIFY(board->SetScore(twoStaves));
    QVERIFY(board->PageCount() > 1);
    QVERIFY(QMetaObject::invokeMethod(board.get(), filter.constData()));
    std::set<int> shown;
    for (const std::set<int>& page : OrdersByPage(*board))
        shown.insert(page.begin(), page.end());
    QCOMPARE(shown, TextOrders(twoStaves, clef));
    // Only the kept voices' staves are drawn.
    QCOMPARE(int(Elements(board->LastMap(), MapElement::staffType).size()) /
                 int(Elements(board->LastMap(), MapElement::systemType).size()),
             clef < 0 ? 2 : 1);
}

void TestScoreBoard::rejectedTextShowsNothing_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("unbalanced") << QByteArray("{ [ c1 ") << false;
    QTest::newRow("unknown tag") << QByteArray("{ [ \\glissando c1 ] }") << false;
    QTest::newRow("not notation") << QByteArray("\xff\xfe\x00garbage", 10) << false;
    QTest::newRow("empty clears") << QByteArray() << true;
}

void TestScoreBoard::rejectedTextShowsNothing()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, accepted);
    board->ChangeLettersMode(true);
    QVERIFY(board->SetScore(ScoreBuilder::WriteQuestion({39, 43}, true, false, 3)));
    QCOMPARE(board->SetScore(text), accepted);
    QCOMPARE(board->PageCount(), 0);
    board->NextPage();
    board->PrevPage();
    board->F();
    board->UpdateScores();
    const QImage image = Render(*board, 2);
    QVERIFY(board->LastMap().elements.empty());
    for (int y = 0; y < image.height(); y += 5)
        for (int x = 0; x < image.width(); x += 5)
            QCOMPARE(image.pixelColor(x, y), ground);
    // The board takes a good text again afterwards.
    board->Both();
    QVERIFY(board->SetScore(ScoreBuilder::WriteQuestion({39}, true, false, 1)));
    QCOMPARE(board->PageCount(), 1);
}

void TestScoreBoard::changedBoardDrawsAsNew_data()
{
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<int>("ratio");
    for (const char* change :
         {"new score", "same score again", "cleared", "resized", "page", "bass only", "letters", "mode 1"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 at 1").arg(QLatin1String(change))))
            << QByteArray(change) << 1;
        QTest::newRow(qPrintable(QStringLiteral("%1 at 2").arg(QLatin1String(change))))
            << QByteArray(change) << 2;
    }
}

// A board that was drawn and then changed draws what a board set up in the changed state
// draws: nothing of the picture drawn before the change is shown again.
void TestScoreBoard::changedBoardDrawsAsNew()
{
    QFETCH(QByteArray, change);
    QFETCH(int, ratio);
    const QByteArray first = twoStaves;
    const QByteArray second = ScoreBuilder::WriteQuestion({39, 43}, true, false, 3);
    auto apply = [&](UI::ScoreBoard& target) {
        if (change == "new score")
            target.SetScore(second);
        else if (change == "same score again")
            target.SetScore(first);
        else if (change == "cleared")
            target.ClearScore();
        else if (change == "resized")
            target.resize(700, 300);
        else if (change == "page")
            target.NextPage();
        else if (change == "bass only")
            target.F();
        else if (change == "letters")
            target.ChangeLettersMode(true);
        else if (change == "mode 1")
            target.SetDrawingMode(1);
    };
    board->resize(360, 350);
    QVERIFY(board->SetScore(first));
    board->NextPage(); // "same score again" goes back to the first page
    const QImage before = Render(*board, ratio);
    apply(*board);
    const QImage after = Render(*board, ratio);
    const Notation::GraphicMap map = board->LastMap();

    UI::ScoreBoard fresh;
    fresh.SetDrawingMode(2);
    fresh.resize(360, 350);
    fresh.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fresh));
    QVERIFY(fresh.SetScore(first));
    fresh.NextPage();
    apply(fresh);
    const QImage expected = Render(fresh, ratio);
    QVERIFY(after != before);
    QCOMPARE(after, expected);
    QCOMPARE(NoteOrders(map), NoteOrders(fresh.LastMap()));
}

void TestScoreBoard::writeSheets()
{
    const QString folder = qEnvironmentVariable("CANTORELA_SCORE_BOARD_SHEETS");
    if (folder.isEmpty())
        QSKIP("set CANTORELA_SCORE_BOARD_SHEETS to a folder to get the pictures");
    QVERIFY(QDir().mkpath(folder));
    struct Sheet
    {
        const char* name;
        QByteArray text;
        bool letters;
        qreal ratio;
        QSize size;
    };
    const QByteArray chord = ScoreBuilder::WriteQuestion({39, 43, 46, 50}, true, false, 3);
    const QByteArray seconds = ScoreBuilder::WriteQuestion({40, 41, 42, 44}, true, true, 3);
    const QByteArray interval = ScoreBuilder::WriteQuestion({20, 27}, false, true, 2);
    const QByteArray answer = ScoreBuilder::WriteAnswer({{39, 0}, {42, 1}, {46, 2}}, true, false);
    const Sheet sheets[] = {
        {"chord", chord, false, 1, {1050, 350}},
        {"chord_letters", chord, true, 1, {1050, 350}},
        {"chord_letters@2x", chord, true, 2, {1050, 350}},
        {"seconds_letters", seconds, true, 1, {1050, 350}},
        {"seconds_letters@2x", seconds, true, 2, {1050, 350}},
        {"chord_narrow_letters", chord, true, 1, {90, 350}},
        {"flats_letters",
         ScoreBuilder::WriteQuestion({37, 40, 42, 45, 47, 49}, true, true, 0),
         true,
         1,
         {700, 350}},
        {"interval_letters", interval, true, 1, {1050, 350}},
        {"answer", answer, false, 2, {1050, 350}},
        {"answer_letters", answer, true, 1, {1050, 350}},
        {"two_staves", twoStaves, false, 1, {1050, 350}},
        {"two_staves_letters", twoStaves, true, 1, {1050, 350}},
        {"two_staves_narrow", twoStaves, true, 1, {400, 350}},
        {"low_a_letters", ScoreBuilder::WriteQuestion({0, 3}, false, false, 3), true, 1, {600, 200}},
    };
    for (const Sheet& sheet : sheets) {
        board->resize(sheet.size);
        board->ChangeLettersMode(sheet.letters);
        QVERIFY(board->SetScore(sheet.text));
        QVERIFY(Render(*board, sheet.ratio).save(folder + '/' + sheet.name + ".png"));
    }
}

QTEST_MAIN(TestScoreBoard)
#include "test_score_board.moc"

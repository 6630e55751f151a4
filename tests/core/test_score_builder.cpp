// The score builder: the notation text of questions and answers, byte for byte, and building a
// text into page pictures with note boxes, colours and golden pictures compared with tolerance.

#include "core/error.h"
#include "core/score_builder.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QtTest>

using Core::ScoreBuilder;

namespace {

const QByteArray trebleHeader = "[ \\staff<1> \\clef<\"g2\">  \\stemsAuto ";
const QByteArray bassHeader = "[ \\staff<1> \\clef<\"f4\">  \\stemsAuto ";
// A piano score: treble C4 E4 G4 over bass C2 G2 C3.
const QByteArray grandStaff =
    "{ [ \\staff<1> \\clef<\"g2\"> c1 e g ], [ \\staff<2> \\clef<\"f4\"> c-1 g-1 c0 ] }";

QByteArray Question(const QByteArray& header, const QByteArray& notes)
{
    return "{ " + header + notes + " ], " + header + " ] }";
}

QImage Picture(const Core::ScoreSet& set, int page = 0)
{
    return set.pages.at(page).score->toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestScoreBuilder : public QObject
{
    Q_OBJECT

private slots:
    void writesQuestions_data();
    void writesQuestions();
    void writesAnswers_data();
    void writesAnswers();
    void writesNoteNames_data();
    void writesNoteNames();
    void buildsPagesAndBoxes();
    void rejectsBadText_data();
    void rejectsBadText();
    void paintsAnswerColours();
    void buildsGrandStaff_data();
    void buildsGrandStaff();
    void matchesGoldenPictures_data();
    void matchesGoldenPictures();
};

void TestScoreBuilder::writesQuestions_data()
{
    QTest::addColumn<QVector<int>>("keys");
    QTest::addColumn<bool>("treble");
    QTest::addColumn<bool>("flat");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("single note") << QVector<int>{39} << true << false << 1
                                 << QByteArray("{ [ \\staff<1> \\clef<\"g2\">  \\stemsAuto  c1 ], [ "
                                               "\\staff<1> \\clef<\"g2\">  \\stemsAuto  ] }");
    QTest::newRow("triad") << QVector<int>{39, 43, 46} << true << false << 3
                           << QByteArray("{ [ \\staff<1> \\clef<\"g2\">  \\stemsAuto  { c1 , e1 , g1 }  ], [ "
                                         "\\staff<1> \\clef<\"g2\">  \\stemsAuto  ] }");
    QTest::newRow("no keys") << QVector<int>{} << true << false << 1 << Question(trebleHeader, "");
    QTest::newRow("no keys, chord mode") << QVector<int>{} << false << true << 3 << Question(bassHeader, "");
    QTest::newRow("bass interval") << QVector<int>{27, 34} << false << false << 2
                                   << Question(bassHeader, " c0 g0");
    QTest::newRow("scale with flats")
        << QVector<int>{40, 42, 44} << true << true << 0 << Question(trebleHeader, " d&1 e&1 f1");
    QTest::newRow("black above a natural takes the flat")
        << QVector<int>{39, 40} << true << false << 3 << Question(trebleHeader, " { c1 , d&1 } ");
    QTest::newRow("black below a natural takes the sharp")
        << QVector<int>{40, 41} << true << true << 3 << Question(trebleHeader, " { c#1 , d1 } ");
    QTest::newRow("d and d sharp, sharp asked")
        << QVector<int>{41, 42} << true << false << 3 << Question(trebleHeader, " { d1 , e&1 } ");
    QTest::newRow("d and d sharp, flat asked")
        << QVector<int>{41, 42} << true << true << 3 << Question(trebleHeader, " { d1 , e&1 } ");
    QTest::newRow("third keeps sharp")
        << QVector<int>{39, 42} << true << false << 3 << Question(trebleHeader, " { c1 , d#1 } ");
    QTest::newRow("third keeps flat")
        << QVector<int>{39, 42} << true << true << 3 << Question(trebleHeader, " { c1 , e&1 } ");
    QTest::newRow("neighbours only count in chords")
        << QVector<int>{39, 40} << true << false << 2 << Question(trebleHeader, " c1 c#1");
    QTest::newRow("keys off the piano are left out")
        << QVector<int>{-1, 39, 99} << true << false << 1 << Question(trebleHeader, " c1");
}

void TestScoreBuilder::writesQuestions()
{
    QFETCH(QVector<int>, keys);
    QFETCH(bool, treble);
    QFETCH(bool, flat);
    QFETCH(int, mode);
    QFETCH(QByteArray, text);
    QCOMPARE(ScoreBuilder::WriteQuestion(keys, treble, flat, mode), text);
    // The chord the writer spelled against is gone afterwards.
    QByteArray note;
    ScoreBuilder::WriteNote(note, 40, false);
    QCOMPARE(note, QByteArray("c#1"));
}

void TestScoreBuilder::writesAnswers_data()
{
    QTest::addColumn<QVector<ScoreBuilder::AnswerNote>>("notes");
    QTest::addColumn<bool>("treble");
    QTest::addColumn<bool>("flat");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("green and red")
        << QVector<ScoreBuilder::AnswerNote>{{39, 0}, {41, 1}} << true << false
        << QByteArray(
               "{ [ \\staff<1> \\clef<\"g2\">  \\stemsAuto  {   \\noteFormat<color=\"0xdc4040\"> d1 }  "
               "{   \\noteFormat<color=\"0x00996c\"> c1 }  ] }");
    QTest::newRow("all colours")
        << QVector<ScoreBuilder::AnswerNote>{{39, 2}, {43, 7}, {46, 0}} << true << false
        << QByteArray("{ " + trebleHeader +
                      " {   \\noteFormat<color=\"0x2789dd\"> c1 ,   "
                      "\\noteFormat<color=\"black\"> e1 ,   \\noteFormat<color=\"0x00996c\"> g1 }  ] }");
    QTest::newRow("red out of treble range")
        << QVector<ScoreBuilder::AnswerNote>{{20, 1}, {39, 0}} << true << false
        << QByteArray("{ " + trebleHeader + " {   \\noteFormat<color=\"0x00996c\"> c1 }  ] }");
    QTest::newRow("red at the top of the bass range")
        << QVector<ScoreBuilder::AnswerNote>{{54, 1}, {55, 1}} << false << false
        << QByteArray("{ " + bassHeader + " {   \\noteFormat<color=\"0xdc4040\"> d#2 }  {  }  ] }");
    QTest::newRow("red group spelled as a chord")
        << QVector<ScoreBuilder::AnswerNote>{{39, 1}, {40, 1}, {40, 0}} << true << false
        << QByteArray("{ " + trebleHeader +
                      " {   \\noteFormat<color=\"0xdc4040\"> c1 , d&1 }  "
                      "{   \\noteFormat<color=\"0x00996c\"> c#1 }  ] }");
    QTest::newRow("nothing") << QVector<ScoreBuilder::AnswerNote>{} << true << false
                             << QByteArray("{ " + trebleHeader + " {  }  ] }");
    QTest::newRow("key off the piano") << QVector<ScoreBuilder::AnswerNote>{{-12, 0}, {120, 2}} << true
                                       << false << QByteArray("{ " + trebleHeader + " {  }  ] }");
}

void TestScoreBuilder::writesAnswers()
{
    QFETCH(QVector<ScoreBuilder::AnswerNote>, notes);
    QFETCH(bool, treble);
    QFETCH(bool, flat);
    QFETCH(QByteArray, text);
    QCOMPARE(ScoreBuilder::WriteAnswer(notes, treble, flat), text);
    // What the writers write, the builder reads.
    Core::ScoreSet set;
    ScoreBuilder builder;
    builder.Build(text, set, 2);
    QCOMPARE(set.pages.size(), 1);
}

void TestScoreBuilder::writesNoteNames_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("flat");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("A0") << 0 << false << QByteArray("a-3");
    QTest::newRow("A#0") << 1 << false << QByteArray("a#-3");
    QTest::newRow("Bb0") << 1 << true << QByteArray("b&-3");
    QTest::newRow("B0") << 2 << true << QByteArray("b-3");
    QTest::newRow("C1") << 3 << false << QByteArray("c-2");
    QTest::newRow("B3") << 38 << false << QByteArray("b0");
    QTest::newRow("C4") << 39 << true << QByteArray("c1");
    QTest::newRow("C#4") << 40 << false << QByteArray("c#1");
    QTest::newRow("Db4") << 40 << true << QByteArray("d&1");
    QTest::newRow("Gb7") << 81 << true << QByteArray("g&4");
    QTest::newRow("C8") << 87 << false << QByteArray("c5");
    QTest::newRow("below the piano") << -1 << false << QByteArray();
    QTest::newRow("past the octave texts") << 99 << false << QByteArray();
}

void TestScoreBuilder::writesNoteNames()
{
    QFETCH(int, key);
    QFETCH(bool, flat);
    QFETCH(QByteArray, name);
    QByteArray out = "x";
    ScoreBuilder::WriteNote(out, key, flat);
    QCOMPARE(out, "x" + name);
}

void TestScoreBuilder::buildsPagesAndBoxes()
{
    Core::ScoreSet set;
    set.scale = 2.5;
    ScoreBuilder builder;
    builder.Build(ScoreBuilder::WriteQuestion({39, 43, 46}, true, false, 3), set, 2);
    QCOMPARE(set.scale, 0.0);
    QCOMPARE(set.width, 1050);
    QCOMPARE(set.height, 350);
    QCOMPARE(set.scoreHeight, 350);
    QCOMPARE(set.pages.size(), 1);
    const Core::ScorePage& page = set.pages.first();
    QCOMPARE(page.score->size(), QSize(1050, 350));
    QCOMPARE(page.second->size(), QSize(1050, 350));
    QCOMPARE(page.overlay->size(), QSize(1050, 350));
    QVERIFY(page.overlay->toImage().pixelColor(500, 175).alpha() == 0);
    // A staff space is 17.5 pixels: the staff is four of them high plus a line.
    QVERIFY(page.measuredHeight >= 70 && page.measuredHeight <= 73);
    QVERIFY(page.measuredTop > 70 && page.measuredTop + page.measuredHeight < 280);
    QVERIFY(page.measuredWidth > 100 && page.measuredWidth < 400);
    QCOMPARE(set.elementBoxes.size(), 3);
    QCOMPARE(set.elementPages, (QVector<int>{0, 0, 0}));
    // c1, e1, g1 from the bottom up, one staff step (8.75 px) apart, a head wide.
    for (int i = 0; i < 3; ++i) {
        const QRectF& box = set.elementBoxes.at(i);
        QVERIFY(qAbs(box.height() - 17.5) < 1e-6);
        QVERIFY(qAbs(box.width() - 1.18 * 17.5) < 0.1);
        if (i > 0)
            QVERIFY(qAbs(set.elementBoxes.at(i - 1).center().y() - box.center().y() - 17.5) < 1e-6);
    }
    // g1 sits on the second line from the bottom, three spaces below the top line.
    QVERIFY(qAbs(set.elementBoxes.at(2).center().y() - (page.measuredTop + 1 + 3 * 17.5)) < 2.0);
    // Something is painted where the heads are, nothing far away.
    const QImage picture = Picture(set);
    QVERIFY(picture.pixelColor(set.elementBoxes.at(0).center().toPoint()).alpha() > 200);
    QCOMPARE(picture.pixelColor(1000, 10).alpha(), 0);

    // A second build appends to nothing it should not: a fresh set gets only its own pages.
    Core::ScoreSet other;
    builder.Build(ScoreBuilder::WriteQuestion({10}, false, false, 1), other, 2);
    QCOMPARE(other.pages.size(), 1);
    QCOMPARE(other.elementBoxes.size(), 1);

    // Painting on one page's spare pixmaps leaves every other page's untouched.
    {
        QPainter overlayPainter(other.pages.first().overlay.get());
        overlayPainter.fillRect(0, 0, 1050, 350, Qt::red);
        QPainter secondPainter(other.pages.first().second.get());
        secondPainter.fillRect(0, 0, 1050, 350, Qt::blue);
    }
    QCOMPARE(other.pages.first().overlay->toImage().pixelColor(500, 175), QColor(Qt::red));
    QCOMPARE(page.overlay->toImage().pixelColor(500, 175).alpha(), 0);
    QCOMPARE(page.second->toImage().pixelColor(500, 175).alpha(), 0);
    Core::ScoreSet third;
    builder.Build(ScoreBuilder::WriteQuestion({50}, true, false, 1), third, 2);
    QCOMPARE(third.pages.first().overlay->toImage().pixelColor(500, 175).alpha(), 0);
    QCOMPARE(third.pages.first().second->toImage().pixelColor(500, 175).alpha(), 0);
}

void TestScoreBuilder::rejectsBadText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("unbalanced") << QByteArray("{ [ c1 ");
    QTest::newRow("unknown tag") << QByteArray("{ [ \\glissando c1 ] }");
    QTest::newRow("bad octave") << QByteArray("{ [ c12 ] }");
    QTest::newRow("not notation") << QByteArray("\xff\xfe\x00garbage", 10);
}

void TestScoreBuilder::rejectsBadText()
{
    QFETCH(QByteArray, text);
    Core::ScoreSet set;
    ScoreBuilder builder;
    try {
        builder.Build(text, set, 2);
        QFAIL("no error thrown");
    } catch (const Error& error) {
        QCOMPARE(error.Code(), 0x500);
        QCOMPARE(error.Message(), QStringLiteral("bad gmn code"));
        QCOMPARE(QByteArray(error.Function()), QByteArray("Core::ScoreBuilder::InitializePainter"));
        QCOMPARE(QByteArray(error.File()), QByteArray("src/core/score_builder"));
        QCOMPARE(error.Line(), 148);
    }
    QVERIFY(set.pages.isEmpty());
    QVERIFY(set.elementBoxes.isEmpty());
    // The builder is usable again after a failure.
    builder.Build(ScoreBuilder::WriteQuestion({39}, true, false, 1), set, 2);
    QCOMPARE(set.pages.size(), 1);
}

void TestScoreBuilder::paintsAnswerColours()
{
    const QVector<ScoreBuilder::AnswerNote> notes{{39, 0}, {44, 1}, {48, 2}};
    Core::ScoreSet set;
    ScoreBuilder builder;
    builder.Build(ScoreBuilder::WriteAnswer(notes, true, false), set, 2);
    // Map order is text order: the red group comes first, then the others.
    const QVector<QColor> expected{QColor(0xdc, 0x40, 0x40), QColor(0x00, 0x99, 0x6c),
                                   QColor(0x27, 0x89, 0xdd)};
    QCOMPARE(set.elementBoxes.size(), 3);
    const QImage picture = Picture(set);
    for (int i = 0; i < 3; ++i) {
        const QColor painted = picture.pixelColor(set.elementBoxes.at(i).center().toPoint());
        QVERIFY2(qAbs(painted.red() - expected[i].red()) < 24 &&
                     qAbs(painted.green() - expected[i].green()) < 24 &&
                     qAbs(painted.blue() - expected[i].blue()) < 24 && painted.alpha() > 230,
                 qPrintable(QStringLiteral("note %1 painted %2").arg(i).arg(painted.name(QColor::HexArgb))));
    }
}

void TestScoreBuilder::buildsGrandStaff_data()
{
    QTest::addColumn<int>("scale"); // page pixmaps this many times 1050 × 350
    QTest::newRow("1050 x 350") << 1;
    QTest::newRow("2100 x 700") << 2;
}

void TestScoreBuilder::buildsGrandStaff()
{
    QFETCH(int, scale);
    Core::ScoreSet set;
    ScoreBuilder builder;
    if (scale != 1)
        builder.SetPageSize(1050 * scale, 350 * scale);
    builder.Build(grandStaff, set, 2);
    QCOMPARE(set.pages.size(), 1);
    const double space = 17.5 * scale;
    QCOMPARE(set.staffBoxes.size(), 2);
    QCOMPARE(set.systemBoxes.size(), 1);
    const QRectF upper = set.staffBoxes.at(0), lower = set.staffBoxes.at(1), system = set.systemBoxes.at(0);
    // The staves of printed piano music: 10 to 12 staff spaces between the middle lines.
    const double distance = (lower.center().y() - upper.center().y()) / space;
    QVERIFY2(distance >= 10.0 && distance <= 12.0, qPrintable(QString::number(distance)));
    // The system spans both staves and the brace left of them; the page's measured top and
    // height are the upper staff's, its measured width the whole system's.
    QVERIFY(system.contains(upper) && system.contains(lower));
    QVERIFY(system.left() < upper.left() - space);
    const Core::ScorePage& page = set.pages.first();
    QCOMPARE(page.measuredTop, int(upper.top()));
    QCOMPARE(page.measuredHeight, int(upper.height()));
    QCOMPARE(page.measuredWidth, int(system.width()));
    // The notes in the order of the text; the two hands' notes of one beat stand one above the
    // other.
    QCOMPARE(set.elementBoxes.size(), 6);
    for (int i = 0; i < 3; ++i) {
        const double treble = set.elementBoxes.at(i).center().y(),
                     bass = set.elementBoxes.at(i + 3).center().y();
        QVERIFY(qAbs(treble - upper.center().y()) < qAbs(treble - lower.center().y()));
        QVERIFY(qAbs(bass - lower.center().y()) < qAbs(bass - upper.center().y()));
        QCOMPARE(set.elementBoxes.at(i).left(), set.elementBoxes.at(i + 3).left());
    }
    // Between the staves, ink only where the brace and the bar line at the start join them.
    const QImage picture = Picture(set);
    const int y = int((upper.bottom() + lower.top()) / 2);
    int runs = 0;
    bool inRun = false;
    for (int x = 0; x < picture.width(); ++x) {
        const bool ink = qAlpha(picture.pixel(x, y)) > 128;
        runs += ink && !inRun;
        inRun = ink;
        if (ink)
            QVERIFY(x < upper.left() + 0.5 * space);
    }
    QCOMPARE(runs, 2);
}

void TestScoreBuilder::matchesGoldenPictures_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("question_c4") << ScoreBuilder::WriteQuestion({39}, true, false, 1);
    QTest::newRow("chord_clustered_accidentals")
        << ScoreBuilder::WriteQuestion({40, 42, 44, 45, 47}, true, true, 3);
    QTest::newRow("answer_colours") << ScoreBuilder::WriteAnswer({{39, 0}, {41, 1}, {44, 2}}, true, false);
    QTest::newRow("bass_extremes") << ScoreBuilder::WriteQuestion({0, 3, 30, 54}, false, false, 0);
    QTest::newRow("engraved_example") << QByteArray(
        "[ \\clef<\"g2\"> \\key<3> \\meter<\"6/8\"> c#2/8. d/16 e/8 a1/4. | _/8 {f#1/8, a, c#2} _ b0*3/8 ]");
    QTest::newRow("grand_staff") << QByteArray(
        "{ [ \\staff<1> \\clef<\"g2\"> \\key<-1> \\meter<\"3/4\"> {f1/2, a, c2} b&1/4 | a1/2. ], "
        "[ \\staff<2> \\clef<\"f4\"> \\key<-1> f-1/2. | {c0/2., c1} ] }");
}

void TestScoreBuilder::matchesGoldenPictures()
{
    QFETCH(QByteArray, text);
    Core::ScoreSet set;
    ScoreBuilder builder;
    builder.Build(text, set, 2);
    const QImage picture = Picture(set);
    const QString path =
        QStringLiteral(CANTORELA_GOLDEN_DIR "/%1.png").arg(QLatin1String(QTest::currentDataTag()));
    if (qEnvironmentVariableIsSet("CANTORELA_UPDATE_GOLDEN")) {
        QDir().mkpath(QStringLiteral(CANTORELA_GOLDEN_DIR));
        QVERIFY(picture.save(path));
        QSKIP("golden picture written");
    }
    QImage golden(path);
    QVERIFY2(!golden.isNull(), qPrintable(path + " is missing (CANTORELA_UPDATE_GOLDEN=1 writes it)"));
    golden = golden.convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(golden.size(), picture.size());
    // Antialiasing and font rasterisers differ a little between machines: a pixel counts as
    // different only when a channel moves by more than 64, and a few such pixels are allowed.
    int different = 0, inked = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        const QRgb* b = reinterpret_cast<const QRgb*>(golden.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            inked += qAlpha(b[x]) > 128;
            if (qAbs(qRed(a[x]) - qRed(b[x])) > 64 || qAbs(qGreen(a[x]) - qGreen(b[x])) > 64 ||
                qAbs(qBlue(a[x]) - qBlue(b[x])) > 64 || qAbs(qAlpha(a[x]) - qAlpha(b[x])) > 64)
                ++different;
        }
    }
    QVERIFY(inked > 500);
    QVERIFY2(different <= inked / 100,
             qPrintable(QStringLiteral("%1 of %2 inked pixels differ").arg(different).arg(inked)));
}

QTEST_MAIN(TestScoreBuilder)
#include "test_score_builder.moc"

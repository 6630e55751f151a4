// The score builder: the spelling of questions and answers in the notation text; the picture
// builder of the notation layer: what the writers write it reads, bad texts, and texts built into
// pictures compared with golden ones, with tolerance.
// Where each key lands on the staff is checked in test_layout_engine.

#include "core/score_builder.h"
#include "notation/score_pictures.h"

#include <QDir>
#include <QImage>
#include <QtTest>

#include <algorithm>

using Core::ScoreBuilder;
using AnswerNotes = QVector<ScoreBuilder::AnswerNote>;

namespace {

const QByteArray treble = "[ \\staff<1> \\clef<\"g2\">  \\stemsAuto ";
const QByteArray bass = "[ \\staff<1> \\clef<\"f4\">  \\stemsAuto ";

QByteArray Question(const QByteArray& header, const QByteArray& notes)
{
    return "{ " + header + notes + " ], " + header + " ] }";
}

QByteArray Answer(const QByteArray& header, const QByteArray& groups)
{
    return "{ " + header + groups + " ] }";
}

QByteArray Coloured(const char* colour, const QByteArray& note)
{
    return "  \\noteFormat<color=\"" + QByteArray(colour) + "\"> " + note;
}

} // namespace

class TestScoreBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void questionSpellsBlackKeysAwayFromChordNeighbours_data()
    {
        QTest::addColumn<QVector<int>>("keys");
        QTest::addColumn<bool>("trebleClef");
        QTest::addColumn<bool>("flat");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("text");
        auto row = [](const char* tag, QVector<int> keys, bool trebleClef, bool flat, int mode,
                      QByteArray notes) {
            QTest::newRow(tag) << keys << trebleClef << flat << mode
                               << Question(trebleClef ? treble : bass, notes);
        };
        row("triad", {39, 43, 46}, true, false, 3, " { c1 , e1 , g1 } ");
        row("no keys", {}, false, true, 3, "");
        row("bass interval", {27, 34}, false, false, 2, " c0 g0");
        row("scale with flats", {40, 42, 44}, true, true, 0, " d&1 e&1 f1");
        row("black above a natural takes the flat", {39, 40}, true, false, 3, " { c1 , d&1 } ");
        row("black below a natural takes the sharp", {40, 41}, true, true, 3, " { c#1 , d1 } ");
        row("third keeps sharp", {39, 42}, true, false, 3, " { c1 , d#1 } ");
        row("third keeps flat", {39, 42}, true, true, 3, " { c1 , e&1 } ");
        row("neighbours only count in chords", {39, 40}, true, false, 2, " c1 c#1");
        row("keys past A0 and past B above C8 are left out", {-1, 0, 98, 99}, true, false, 1, " a-3 b5");
    }

    void questionSpellsBlackKeysAwayFromChordNeighbours()
    {
        QFETCH(QVector<int>, keys);
        QFETCH(bool, trebleClef);
        QFETCH(bool, flat);
        QFETCH(int, mode);
        QFETCH(QByteArray, text);
        QCOMPARE(ScoreBuilder::WriteQuestion(keys, trebleClef, flat, mode), text);
        // The chord the writer spelled against is gone afterwards.
        QByteArray note;
        ScoreBuilder::WriteNote(note, 40, false);
        QCOMPARE(note, QByteArray("c#1"));
    }

    // Colour indexes: 0 green, 1 red, 2 blue, any other black. Red notes outside the clef's range
    // are not shown.
    void answerPutsTheRedGroupFirst_data()
    {
        QTest::addColumn<AnswerNotes>("notes");
        QTest::addColumn<bool>("trebleClef");
        QTest::addColumn<QByteArray>("text");
        const char *green = "0x00996c", *red = "0xdc4040";
        auto row = [](const char* tag, AnswerNotes notes, bool trebleClef, QByteArray groups) {
            QTest::newRow(tag) << notes << trebleClef << Answer(trebleClef ? treble : bass, groups);
        };
        row("green and red", {{39, 0}, {41, 1}}, true,
            " { " + Coloured(red, "d1") + " }  { " + Coloured(green, "c1") + " } ");
        row("all colours", {{39, 2}, {43, 7}, {46, 0}}, true,
            " { " + Coloured("0x2789dd", "c1") + " , " + Coloured("black", "e1") + " , " +
                Coloured(green, "g1") + " } ");
        row("red below the treble range", {{24, 1}, {39, 0}}, true, " { " + Coloured(green, "c1") + " } ");
        row("red at the bottom of the treble range", {{25, 1}}, true,
            " { " + Coloured(red, "a#-1") + " }  {  } ");
        row("red at the top of the bass range", {{54, 1}, {55, 1}}, false,
            " { " + Coloured(red, "d#2") + " }  {  } ");
        row("red group spelled as a chord", {{39, 1}, {40, 1}, {40, 0}}, true,
            " { " + Coloured(red, "c1 , d&1") + " }  { " + Coloured(green, "c#1") + " } ");
        row("keys off the piano", {{-12, 0}, {120, 2}}, true, " {  } ");
    }

    void answerPutsTheRedGroupFirst()
    {
        QFETCH(AnswerNotes, notes);
        QFETCH(bool, trebleClef);
        QFETCH(QByteArray, text);
        QCOMPARE(ScoreBuilder::WriteAnswer(notes, trebleClef, false), text);
        // What the writers write, the picture builder reads.
        Notation::ScoreSet set;
        QVERIFY(Notation::ScorePictureBuilder().build(text, set));
        QCOMPARE(set.pages.size(), 1);
    }

    // A text the parser rejects (which texts: test_gmn_parser) adds nothing to the set, leaves its
    // reason, and the builder builds the next one.
    void badTextAddsNoPage()
    {
        Notation::ScorePictureBuilder builder;
        Notation::ScoreSet set;
        QVERIFY(builder.build(ScoreBuilder::WriteQuestion({39}, true, false, 1), set));
        QVERIFY(!builder.build("{ [ c1 ", set));
        QVERIFY(!builder.lastError().message.isEmpty());
        QCOMPARE(set.pages.size(), 1);
        QCOMPARE(set.elementBoxes.size(), 1);
        QVERIFY(builder.build(ScoreBuilder::WriteQuestion({39}, true, false, 1), set));
        QCOMPARE(set.pages.size(), 2);
    }

    void matchesGoldenPictures_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("question_c4") << ScoreBuilder::WriteQuestion({39}, true, false, 1);
        QTest::newRow("chord_clustered_accidentals")
            << ScoreBuilder::WriteQuestion({40, 42, 44, 45, 47}, true, true, 3);
        // Red, green and blue heads: a colour swapped or lost differs in far more than 1 % of the ink.
        QTest::newRow("answer_colours")
            << ScoreBuilder::WriteAnswer({{39, 0}, {41, 1}, {44, 2}}, true, false);
        QTest::newRow("bass_extremes") << ScoreBuilder::WriteQuestion({0, 3, 30, 54}, false, false, 0);
        QTest::newRow("engraved_example") << QByteArray("[ \\clef<\"g2\"> \\key<3> \\meter<\"6/8\"> c#2/8. "
                                                        "d/16 e/8 a1/4. | _/8 {f#1/8, a, c#2} _ b0*3/8 ]");
        QTest::newRow("grand_staff") << QByteArray(
            "{ [ \\staff<1> \\clef<\"g2\"> \\key<-1> \\meter<\"3/4\"> {f1/2, a, c2} b&1/4 | a1/2. ], "
            "[ \\staff<2> \\clef<\"f4\"> \\key<-1> f-1/2. | {c0/2., c1} ] }");
    }

    void matchesGoldenPictures()
    {
        QFETCH(QByteArray, text);
        Notation::ScoreSet set;
        QVERIFY(Notation::ScorePictureBuilder().build(text, set));
        const QImage picture = set.pages.at(0).score->toImage().convertToFormat(QImage::Format_ARGB32);
        const QString path =
            QStringLiteral(CANTORELA_GOLDEN_DIR "/%1.png").arg(QLatin1String(QTest::currentDataTag()));
        if (qEnvironmentVariableIsSet("CANTORELA_UPDATE_GOLDEN")) {
            QDir().mkpath(QStringLiteral(CANTORELA_GOLDEN_DIR));
            QVERIFY(picture.save(path));
            QSKIP("golden picture written");
        }
        const QImage golden = QImage(path).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!golden.isNull(), qPrintable(path + " is missing (CANTORELA_UPDATE_GOLDEN=1 writes it)"));
        QCOMPARE(golden.size(), picture.size());
        // Antialiasing and font rasterisers differ a little between machines: a pixel counts as
        // different only when a channel moves by more than 64, and a few such pixels are allowed.
        int different = 0, inked = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb a = picture.pixel(x, y), b = golden.pixel(x, y);
                inked += qAlpha(b) > 128;
                different += std::max({qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)),
                                       qAbs(qBlue(a) - qBlue(b)), qAbs(qAlpha(a) - qAlpha(b))}) > 64;
            }
        QVERIFY(inked > 500);
        QVERIFY2(different <= inked / 100,
                 qPrintable(QStringLiteral("%1 of %2 inked pixels differ").arg(different).arg(inked)));
    }
};

QTEST_MAIN(TestScoreBuilder)
#include "test_score_builder.moc"

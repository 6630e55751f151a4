// The score builder: the spelling of questions and answers in the notation text, and building a
// text into page pictures with note boxes, colours and golden pictures compared with tolerance.
// Where each key lands on the staff is checked for all 88 keys in test_layout_engine.

#include "core/error.h"
#include "core/score_builder.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QtTest>

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

QImage Picture(const Core::ScoreSet& set)
{
    return set.pages.at(0).score->toImage().convertToFormat(QImage::Format_ARGB32);
}

bool Transparent(const std::shared_ptr<QPixmap>& pixmap)
{
    return pixmap->toImage().pixelColor(500, 175).alpha() == 0;
}

} // namespace

class TestScoreBuilder : public QObject
{
    Q_OBJECT

private slots:
    void questionSpellsBlackKeysAwayFromChordNeighbours_data()
    {
        QTest::addColumn<QVector<int>>("keys");
        QTest::addColumn<bool>("trebleClef");
        QTest::addColumn<bool>("flat");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("triad") << QVector<int>{39, 43, 46} << true << false << 3
                               << Question(treble, " { c1 , e1 , g1 } ");
        QTest::newRow("no keys") << QVector<int>{} << false << true << 3 << Question(bass, "");
        QTest::newRow("bass interval")
            << QVector<int>{27, 34} << false << false << 2 << Question(bass, " c0 g0");
        QTest::newRow("scale with flats")
            << QVector<int>{40, 42, 44} << true << true << 0 << Question(treble, " d&1 e&1 f1");
        QTest::newRow("black above a natural takes the flat")
            << QVector<int>{39, 40} << true << false << 3 << Question(treble, " { c1 , d&1 } ");
        QTest::newRow("black below a natural takes the sharp")
            << QVector<int>{40, 41} << true << true << 3 << Question(treble, " { c#1 , d1 } ");
        QTest::newRow("third keeps sharp")
            << QVector<int>{39, 42} << true << false << 3 << Question(treble, " { c1 , d#1 } ");
        QTest::newRow("third keeps flat")
            << QVector<int>{39, 42} << true << true << 3 << Question(treble, " { c1 , e&1 } ");
        QTest::newRow("neighbours only count in chords")
            << QVector<int>{39, 40} << true << false << 2 << Question(treble, " c1 c#1");
        QTest::newRow("keys past A0 and past B above C8 are left out")
            << QVector<int>{-1, 0, 98, 99} << true << false << 1 << Question(treble, " a-3 b5");
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
        QTest::newRow("green and red")
            << AnswerNotes{{39, 0}, {41, 1}} << true
            << Answer(treble, " { " + Coloured(red, "d1") + " }  { " + Coloured(green, "c1") + " } ");
        QTest::newRow("all colours") << AnswerNotes{{39, 2}, {43, 7}, {46, 0}} << true
                                     << Answer(treble, " { " + Coloured("0x2789dd", "c1") + " , " +
                                                           Coloured("black", "e1") + " , " +
                                                           Coloured(green, "g1") + " } ");
        QTest::newRow("red below the treble range")
            << AnswerNotes{{24, 1}, {39, 0}} << true << Answer(treble, " { " + Coloured(green, "c1") + " } ");
        QTest::newRow("red at the bottom of the treble range")
            << AnswerNotes{{25, 1}} << true << Answer(treble, " { " + Coloured(red, "a#-1") + " }  {  } ");
        QTest::newRow("red at the top of the bass range")
            << AnswerNotes{{54, 1}, {55, 1}} << false
            << Answer(bass, " { " + Coloured(red, "d#2") + " }  {  } ");
        QTest::newRow("red group spelled as a chord")
            << AnswerNotes{{39, 1}, {40, 1}, {40, 0}} << true
            << Answer(treble, " { " + Coloured(red, "c1 , d&1") + " }  { " + Coloured(green, "c#1") + " } ");
        QTest::newRow("keys off the piano")
            << AnswerNotes{{-12, 0}, {120, 2}} << true << Answer(treble, " {  } ");
    }

    void answerPutsTheRedGroupFirst()
    {
        QFETCH(AnswerNotes, notes);
        QFETCH(bool, trebleClef);
        QFETCH(QByteArray, text);
        QCOMPARE(ScoreBuilder::WriteAnswer(notes, trebleClef, false), text);
        // What the writers write, the builder reads.
        Core::ScoreSet set;
        ScoreBuilder().Build(text, set, 2);
        QCOMPARE(set.pages.size(), 1);
    }

    // The exercise screen places its marks by the page's measured staff and the note boxes.
    void buildsPagesWithNoteBoxesAndOwnPixmaps()
    {
        Core::ScoreSet set;
        ScoreBuilder builder;
        builder.Build(
            "{ [ \\staff<1> \\clef<\"g2\"> {c1, e1, g1} ], [ \\staff<2> \\clef<\"f4\"> c-1 g-1 c0 ] }", set,
            2);
        QCOMPARE(set.pages.size(), 1);
        const Core::ScorePage& page = set.pages.first();
        for (const auto& pixmap : {page.score, page.second, page.overlay})
            QCOMPARE(pixmap->size(), QSize(1050, 350));
        QVERIFY(Transparent(page.overlay) && Transparent(page.second));
        QCOMPARE(set.staffBoxes.size(), 2);
        QCOMPARE(set.systemBoxes.size(), 1);
        const QRectF upper = set.staffBoxes.at(0), lower = set.staffBoxes.at(1);
        // The page measures the upper staff (a staff space is 17.5 pixels: four of them high plus a
        // line) and the whole system.
        QCOMPARE(page.measuredTop, int(upper.top()));
        QCOMPARE(page.measuredHeight, int(upper.height()));
        QVERIFY(page.measuredHeight >= 70 && page.measuredHeight <= 73);
        QCOMPARE(page.measuredWidth, int(set.systemBoxes.at(0).width()));
        // The treble chord c1, e1, g1 first, from the bottom up, a third (17.5 px) apart, a head
        // wide; then the bass notes on the lower staff.
        QCOMPARE(set.elementPages, (QVector<int>{0, 0, 0, 0, 0, 0}));
        for (int i = 0; i < 6; ++i) {
            const QRectF& box = set.elementBoxes.at(i);
            QVERIFY(qAbs(box.height() - 17.5) < 1e-6 && qAbs(box.width() - 1.18 * 17.5) < 0.1);
            QCOMPARE(qAbs(box.center().y() - upper.center().y()) <
                         qAbs(box.center().y() - lower.center().y()),
                     i < 3);
            if (i > 0 && i < 3)
                QVERIFY(qAbs(set.elementBoxes.at(i - 1).center().y() - box.center().y() - 17.5) < 1e-6);
        }
        // g1 sits on the second line from the bottom, three spaces below the top line.
        QVERIFY(qAbs(set.elementBoxes.at(2).center().y() - (page.measuredTop + 1 + 3 * 17.5)) < 2.0);
        const QImage picture = Picture(set);
        QVERIFY(picture.pixelColor(set.elementBoxes.at(0).center().toPoint()).alpha() > 200);
        QCOMPARE(picture.pixelColor(1000, 10).alpha(), 0);

        // The builder is reused for the next set, which gets only its own page.
        Core::ScoreSet other;
        builder.Build(ScoreBuilder::WriteQuestion({10}, false, false, 1), other, 2);
        QCOMPARE(other.pages.size(), 1);
        QCOMPARE(other.elementBoxes.size(), 1);
        // The spare pixmaps start out shared: painting on one page's leaves every other page's clear.
        {
            QPainter(other.pages.first().overlay.get()).fillRect(0, 0, 1050, 350, Qt::red);
            QPainter(other.pages.first().second.get()).fillRect(0, 0, 1050, 350, Qt::blue);
        }
        QCOMPARE(other.pages.first().overlay->toImage().pixelColor(500, 175), QColor(Qt::red));
        QVERIFY(Transparent(page.overlay) && Transparent(page.second));
        Core::ScoreSet third;
        builder.Build(ScoreBuilder::WriteQuestion({50}, true, false, 1), third, 2);
        QVERIFY(Transparent(third.pages.first().overlay) && Transparent(third.pages.first().second));
    }

    void badTextThrowsAndAddsNoPage_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("unbalanced") << QByteArray("{ [ c1 ");
        QTest::newRow("not notation, with a zero byte") << QByteArray("\xff\xfe\x00garbage", 10);
    }

    void badTextThrowsAndAddsNoPage()
    {
        QFETCH(QByteArray, text);
        ScoreBuilder builder;
        Core::ScoreSet set;
        builder.Build(ScoreBuilder::WriteQuestion({39}, true, false, 1), set, 2);
        try {
            builder.Build(text, set, 2);
            QFAIL("no error thrown");
        } catch (const Error& error) {
            QCOMPARE(error.Code(), 0x500);
            QCOMPARE(error.Message(), QStringLiteral("bad gmn code"));
        }
        QCOMPARE(set.pages.size(), 1);
        QCOMPARE(set.elementBoxes.size(), 1);
        // The builder is usable again after a failure.
        builder.Build(ScoreBuilder::WriteQuestion({39}, true, false, 1), set, 2);
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
        Core::ScoreSet set;
        ScoreBuilder().Build(text, set, 2);
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
};

QTEST_MAIN(TestScoreBuilder)
#include "test_score_builder.moc"

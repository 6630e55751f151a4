// The notation parser: what it reads into the score model, what it rejects and where, and the
// fuzzer's findings replayed.

#include "notation/bounding_box_surface.h"
#include "notation/gmn_parser.h"
#include "notation/layout_engine.h"
#include "notation/score_painter.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace Notation;

class TestGmnParser : public QObject
{
    Q_OBJECT

private slots:
    void readsNotes_data();
    void readsNotes();
    void readsVoicesStavesAndSigns();
    void colourAppliesToTheNotesAfterIt();
    void durationsAndOctavesCarryOver();
    void rejectsWithPosition_data();
    void rejectsWithPosition();
    void replaysFuzzFindings();
};

void TestGmnParser::readsNotes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("midi");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("alter");
    QTest::addColumn<double>("whole");

    QTest::newRow("middle c") << QByteArray("[ c1 ]") << 60 << 0 << 0 << 0.25;
    QTest::newRow("c sharp") << QByteArray("[ c#1 ]") << 61 << 0 << 1 << 0.25;
    QTest::newRow("d flat") << QByteArray("[ d&1 ]") << 61 << 1 << -1 << 0.25;
    QTest::newRow("lowest key") << QByteArray("[ a-3 ]") << 21 << 5 << 0 << 0.25;
    QTest::newRow("highest key") << QByteArray("[ c5 ]") << 108 << 0 << 0 << 0.25;
    QTest::newRow("h is b") << QByteArray("[ h0 ]") << 59 << 6 << 0 << 0.25;
    QTest::newRow("double sharp") << QByteArray("[ f##2 ]") << 79 << 3 << 2 << 0.25;
    QTest::newRow("eighth") << QByteArray("[ g1/8 ]") << 67 << 4 << 0 << 0.125;
    QTest::newRow("dotted half") << QByteArray("[ g1/2. ]") << 67 << 4 << 0 << 0.75;
    QTest::newRow("double dotted quarter") << QByteArray("[ g1/4.. ]") << 67 << 4 << 0 << 0.4375;
    QTest::newRow("star form") << QByteArray("[ g1*3/8 ]") << 67 << 4 << 0 << 0.375;
    QTest::newRow("whole") << QByteArray("[ e1*1 ]") << 64 << 2 << 0 << 1.0;
    QTest::newRow("128th") << QByteArray("[ e1/128 ]") << 64 << 2 << 0 << 1.0 / 128;
    QTest::newRow("comment before") << QByteArray("% a comment\n(* block *) [ e1 ]") << 64 << 2 << 0 << 0.25;
}

void TestGmnParser::readsNotes()
{
    QFETCH(QByteArray, text);
    QFETCH(int, midi);
    QFETCH(int, step);
    QFETCH(int, alter);
    QFETCH(double, whole);
    Score score;
    ParseError error;
    QVERIFY2(GmnParser::Parse(text, &score, &error), qPrintable(error.Describe()));
    QCOMPARE(int(score.voices.size()), 1);
    QCOMPARE(int(score.voices[0].items.size()), 1);
    const VoiceItem& item = score.voices[0].items[0];
    QCOMPARE(item.kind, VoiceItem::Kind::Chord);
    QCOMPARE(item.notes[0].pitch.Midi(), midi);
    QCOMPARE(item.notes[0].pitch.step, step);
    QCOMPARE(item.notes[0].pitch.alter, alter);
    QCOMPARE(item.duration.Whole(), whole);
}

void TestGmnParser::readsVoicesStavesAndSigns()
{
    const QByteArray text = "{ [ \\staff<1> \\clef<\"g2\">  \\stemsAuto  { c1 , e1 , g1 }  ], "
                            "[ \\staff<2> \\clef<\"f4\"> \\key<-2> \\meter<\"3/4\"> \\stemsDown _/2 | c0 ] }";
    Score score;
    ParseError error;
    QVERIFY2(GmnParser::Parse(text, &score, &error), qPrintable(error.Describe()));
    QCOMPARE(int(score.voices.size()), 2);
    QCOMPARE(score.noteCount, 4);
    const Voice& upper = score.voices[0];
    QCOMPARE(upper.staff, 1);
    QCOMPARE(upper.items[0].kind, VoiceItem::Kind::Clef);
    QCOMPARE(upper.items[0].clef.kind, ClefKind::G);
    QCOMPARE(upper.items[0].clef.line, 2);
    QCOMPARE(int(upper.items[1].notes.size()), 3);
    QCOMPARE(upper.items[1].notes[2].index, 2);
    const Voice& lower = score.voices[1];
    QCOMPARE(lower.staff, 2);
    QCOMPARE(lower.items[1].kind, VoiceItem::Kind::Key);
    QCOMPARE(lower.items[1].fifths, -2);
    QCOMPARE(lower.items[2].meter.numerator, 3);
    QCOMPARE(lower.items[3].kind, VoiceItem::Kind::Rest);
    QCOMPARE(lower.items[3].duration.Whole(), 0.5);
    QCOMPARE(lower.items[4].kind, VoiceItem::Kind::Bar);
    QCOMPARE(lower.items[5].stems, StemDirection::Down);
    QCOMPARE(lower.items[5].notes[0].pitch.Midi(), 48);
}

void TestGmnParser::colourAppliesToTheNotesAfterIt()
{
    const QByteArray text =
        "{ [ c1 {   \\noteFormat<color=\"0xdc4040\"> d1 }  {   \\noteFormat<color=\"0x00996c\"> c1 , "
        "  \\noteFormat<color=\"black\"> e1 } g1 ] }";
    Score score;
    ParseError error;
    QVERIFY2(GmnParser::Parse(text, &score, &error), qPrintable(error.Describe()));
    const std::vector<VoiceItem>& items = score.voices[0].items;
    QVERIFY(!items[0].notes[0].coloured);
    QCOMPARE(items[1].notes[0].colour, QColor(0xdc, 0x40, 0x40));
    QCOMPARE(items[2].notes[0].colour, QColor(0x00, 0x99, 0x6c));
    QCOMPARE(items[2].notes[1].colour, QColor(Qt::black));
    QVERIFY(items[3].notes[0].coloured);
    QCOMPARE(items[3].notes[0].colour, QColor(Qt::black));
}

void TestGmnParser::durationsAndOctavesCarryOver()
{
    Score score;
    ParseError error;
    QVERIFY(GmnParser::Parse("[ c2/8 d e1/2 f {g, a} ]", &score, &error));
    const std::vector<VoiceItem>& items = score.voices[0].items;
    QCOMPARE(items[1].notes[0].pitch.Midi(), 74);
    QCOMPARE(items[1].duration.Whole(), 0.125);
    QCOMPARE(items[3].notes[0].pitch.Midi(), 65);
    QCOMPARE(items[3].duration.Whole(), 0.5);
    QCOMPARE(items[4].notes[1].pitch.Midi(), 69);
    QVERIFY(GmnParser::Parse("{ }", &score, &error));
    QCOMPARE(int(score.voices.size()), 0);
    QVERIFY(GmnParser::Parse("[ {  } c1 ]", &score, &error));
    QCOMPARE(int(score.voices[0].items.size()), 1);
}

void TestGmnParser::rejectsWithPosition_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty") << QByteArray("") << 1 << 1 << "empty text";
    QTest::newRow("unclosed score") << QByteArray("{ [ c1 ]") << 1 << 9 << "missing '}'";
    QTest::newRow("unclosed voice") << QByteArray("{ [ c1 ") << 1 << 8 << "missing ']'";
    QTest::newRow("unclosed chord") << QByteArray("[ { c1, e1 ]") << 1 << 3
                                    << "missing '}' at the end of a chord";
    QTest::newRow("stray bracket") << QByteArray("[ c1 ] ]") << 1 << 8 << "text after the end";
    QTest::newRow("unknown tag") << QByteArray("[ \\slur<1> c1 ]") << 1 << 3 << "unknown tag \\slur";
    QTest::newRow("unknown clef") << QByteArray("[ \\clef<\"x9\"> ]") << 1 << 9 << "unknown clef";
    QTest::newRow("bad octave") << QByteArray("[ c9 ]") << 1 << 3 << "out of range";
    QTest::newRow("octave below") << QByteArray("[ c-5 ]") << 1 << 3 << "out of range";
    QTest::newRow("bad note") << QByteArray("[ x1 ]") << 1 << 3 << "unknown note name 'x'";
    QTest::newRow("bad duration") << QByteArray("[ c1/3 ]") << 1 << 5 << "cannot be engraved";
    QTest::newRow("zero duration") << QByteArray("[ c1/0 ]") << 1 << 5 << "greater than zero";
    QTest::newRow("second line") << QByteArray("[ c1\n  d1 ? ]") << 2 << 6 << "unexpected character '?'";
    QTest::newRow("bad colour") << QByteArray("[ \\noteFormat<color=\"0x12\"> c ]") << 1 << 15
                                << "unknown colour";
    QTest::newRow("key range") << QByteArray("[ \\key<9> ]") << 1 << 8 << "between -7 and 7";
    QTest::newRow("nested voice") << QByteArray("[ [ c ] ]") << 1 << 3 << "another voice";
    QTest::newRow("nested chord") << QByteArray("[ { { c } } ]") << 1 << 5 << "another chord";
    QTest::newRow("empty member") << QByteArray("[ { c, , e } ]") << 1 << 8 << "missing before ','";
    QTest::newRow("range tag") << QByteArray("[ \\stemsUp( c ) ]") << 1 << 11 << "range";
    QTest::newRow("binary") << QByteArray("[ c\x01 ]", 6) << 1 << 4 << "'\\x01'";
    QTest::newRow("unterminated string") << QByteArray("[ \\clef<\"g2> ]") << 1 << 9 << "closing";
}

void TestGmnParser::rejectsWithPosition()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, message);
    Score score;
    score.noteCount = 99;
    ParseError error;
    QVERIFY(!GmnParser::Parse(text, &score, &error));
    QVERIFY2(error.message.contains(message), qPrintable(error.Describe()));
    QCOMPARE(error.line, line);
    QCOMPARE(error.column, column);
    QVERIFY(error.Describe().startsWith(QStringLiteral("line %1, column %2: ").arg(line).arg(column)));
    QCOMPARE(score.noteCount, 99); // the caller's score is left alone
}

// Every input the fuzzer kept (seeds and the cases that once failed) goes through the parser,
// the layout and the measuring pass without a crash or a sanitizer report.
void TestGmnParser::replaysFuzzFindings()
{
    int replayed = 0;
    for (const char* folder : {"fuzz_seeds", "fuzz_cases"}) {
        const QDir dir(QStringLiteral(CANTORELA_NOTATION_TEST_DATA "/") + QLatin1String(folder));
        for (const QFileInfo& info : dir.entryInfoList(QDir::Files)) {
            QFile file(info.filePath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            Score score;
            ParseError error;
            if (GmnParser::Parse(file.readAll(), &score, &error)) {
                const ScoreLayout layout = LayoutEngine::Lay(score, PageFormat{});
                QVERIFY(layout.pageCount >= 1);
                for (int page = 0; page < layout.pageCount; ++page) {
                    BoundingBoxSurface surface;
                    ScorePainter::PaintPage(layout, page, QRectF(0, 0, 1050, 350), Qt::black, &surface);
                    const GraphicMap map = surface.TakeMap();
                    QVERIFY(map.FindNth(MapElement::systemType, 1) != nullptr);
                }
            } else {
                QVERIFY(!error.message.isEmpty());
                QVERIFY(error.offset >= 0 && error.offset <= info.size());
            }
            ++replayed;
        }
    }
    QVERIFY(replayed >= 3);
}

QTEST_GUILESS_MAIN(TestGmnParser)
#include "test_gmn_parser.moc"

// The notation parser: each limit at and one past it, rejection with its position, cut-off texts
// and fuzz findings, parsed from heap buffers of exact size so that ASan reports any overread.

#include "../common/file_bytes.h"
#include "notation/bounding_box_surface.h"
#include "notation/gmn_parser.h"
#include "notation/layout_engine.h"
#include "notation/score_painter.h"

#include <QDir>
#include <QtTest>

#include <cstdlib>
#include <cstring>
#include <memory>

using namespace Notation;

namespace {

bool ParseExact(const QByteArray& text, Score* score, ParseError* error)
{
    const std::unique_ptr<char[]> bytes(new char[size_t(text.size())]);
    std::memcpy(bytes.get(), text.constData(), size_t(text.size()));
    return GmnParser::Parse(QByteArray::fromRawData(bytes.get(), text.size()), score, error);
}

// The score written back compactly: "s<staff>" then each item of a voice (notes and rests with
// their length in whole notes after ':', stems "^" up and "v" down), voices joined by " ; ".
QString Written(const Score& score)
{
    QStringList voices;
    for (const Voice& voice : score.voices) {
        QStringList items{QStringLiteral("s%1").arg(voice.staff)};
        for (const VoiceItem& item : voice.items) {
            QStringList notes;
            for (const Note& n : item.notes)
                notes << QChar::fromLatin1("cdefgab"[n.pitch.step]) +
                             QString(std::abs(n.pitch.alter), QLatin1Char(n.pitch.alter > 0 ? '#' : '&')) +
                             QString::number(n.pitch.octave) +
                             (n.coloured
                                  ? n.colour.name(n.colour.alpha() < 255 ? QColor::HexArgb : QColor::HexRgb)
                                  : QString());
            const QString length = QStringLiteral(":%1").arg(item.duration.Whole());
            const QString texts[] = {// in the order of VoiceItem::Kind
                                     (notes.size() == 1 ? notes.value(0) : "{" + notes.join(',') + "}") +
                                         length + QStringList{"", "^", "v"}.at(int(item.stems)),
                                     "_" + length,
                                     QStringLiteral("clef:%1%2")
                                         .arg(QChar::fromLatin1("GFC"[int(item.clef.kind)]))
                                         .arg(item.clef.line),
                                     QStringLiteral("key:%1").arg(item.fifths),
                                     QStringLiteral("meter:%1/%2%3")
                                         .arg(item.meter.numerator)
                                         .arg(item.meter.denominator)
                                         .arg(QStringList{"", " C", " C/"}.at(int(item.meter.symbol))),
                                     QStringLiteral("|")};
            items << texts[int(item.kind)];
        }
        voices << items.join(' ');
    }
    return voices.join(QStringLiteral(" ; "));
}

QByteArray Repeated(const QByteArray& part, int times, const QByteArray& separator = " ")
{
    return (part + separator).repeated(times).chopped(separator.size());
}

} // namespace

class TestGmnParser : public QObject
{
    Q_OBJECT

private slots:

    // expected: Written(score) of an accepted text, or "<line>:<column> <start of the message>".
    void readsOrRejectsAtThePosition_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QByteArray& text, const QString& expected) {
            QTest::newRow(name) << text << expected;
        };

        row("accidentals, h is b", "[ c1 c#1 d&1 h0 ]", "s1 c1:0.25 c#1:0.25 d&1:0.25 b0:0.25");
        row("lengths carry over", "[ c2/8 d g1/2. g/4.. g*3/8 e*1 ]",
            "s1 c2:0.125 d2:0.125 g1:0.75 g1:0.4375 g1:0.375 e1:1");
        row("octave and length carry into chords", "[ c2/8 e1/2 f {g, a} ]",
            "s1 c2:0.125 e1:0.5 f1:0.5 {g1,a1}:0.5");
        row("comments", "% line\n(* block *) [ e1 ] (* end *)", "s1 e1:0.25");
        row("empty score and chord", "{ [ {  } c1 ] , [ ] }", "s1 c1:0.25 ; s2");
        row("voices, staves and signs",
            "{ [ \\staff<1> \\clef<\"g2\">  \\stemsAuto  { c1 , e1 , g1 }  ], "
            "[ \\staff<2> \\clef<\"f4\"> \\key<-2> \\meter<\"3/4\"> \\stemsDown _/2 | c0 \\meter<\"C/\"> ] }",
            "s1 clef:G2 {c1,e1,g1}:0.25 ; s2 clef:F4 key:-2 meter:3/4 _:0.5 | c0:0.5v meter:2/2 C/");
        row("colour applies to the notes after it",
            "[ c1 { \\noteFormat<color=\"0xdc4040\"> d1 } { \\noteFormat<color=\"0x00996c\"> c1 , "
            "\\noteFormat<color=\"black\"> e1 } g1 \\noteFormat c ]",
            "s1 c1:0.25 d1#dc4040:0.25 {c1#00996c,e1#000000}:0.25 g1#000000:0.25 c1:0.25");

        // Each limit: the last value read, then the first one rejected.
        row("two sharps", "[ f##2 c&&1 ]", "s1 f##2:0.25 c&&1:0.25");
        row("three sharps", "[ f###2 ]", "1:3 at most two sharps or flats");
        row("lowest and highest pitch", "[ c-4 g6 ]", "s1 c-4:0.25 g6:0.25");
        row("below the lowest pitch", "[ c&-4 ]", "1:3 octave -4 is out of range");
        row("above the highest pitch", "[ g#6 ]", "1:3 octave 6 is out of range");
        row("octave below -4 spelling MIDI 0", "[ b#-5 ]", "1:3 octave -5 is out of range");
        row("two-digit octave", "[ c01 ]", "s1 c1:0.25");
        row("three-digit octave", "[ c001 ]", "1:6 number too long");
        row("four-digit length", "[ c/0128 c*0002/0001 ]", "s1 c1:0.0078125 c1:2");
        row("five-digit length", "[ c/00128 ]", "1:9 number too long");
        row("three dots", "[ c/4... c*2... ]", "s1 c1:0.46875 c1:3.75");
        row("shorter than a 128th", "[ c/256 ]", "1:4 this duration cannot be engraved");
        row("longer than a breve", "[ c*4 ]", "1:4 this duration cannot be engraved");
        row("four dots", "[ c/4.... ]", "1:4 at most three dots");
        row("zero length", "[ c1/0 ]", "1:5 a duration must be greater than zero");
        row("key -7 and 7", "[ \\key<-7> \\key<7> ]", "s1 key:-7 key:7");
        row("key 8", "[ \\key<8> ]", "1:8 the key must be a number between -7 and 7");
        row("key -8", "[ \\key<-8> ]", "1:8 the key must be a number between -7 and 7");
        row("metre 99/64 and 1/1", "[ \\meter<\"99/64\"> \\meter<\"1/1\"> ]", "s1 meter:99/64 meter:1/1");
        row("metre 100/4", "[ \\meter<\"100/4\"> ]", "1:10 unknown metre \"100/4\"");
        row("metre 4/65", "[ \\meter<\"4/65\"> ]", "1:10 unknown metre \"4/65\"");
        row("metre 0/4", "[ \\meter<\"0/4\"> ]", "1:10 unknown metre \"0/4\"");
        row("clef lines 1 and 5", "[ \\clef<\"c1\"> \\clef<\"g5\"> ]", "s1 clef:C1 clef:G5");
        row("clef line 6", "[ \\clef<\"g6\"> ]", "1:9 unknown clef \"g6\"");
        row("staff 16", "[ \\staff<16> c ]", "s16 c1:0.25");
        row("staff 17", "[ \\staff<17> ]", "1:10 the staff number must be between 1 and 16");
        row("staff 0", "[ \\staff<0> ]", "1:10 the staff number must be between 1 and 16");
        const QByteArray colour = "color=\"0x11223344\"";
        row("eight tag arguments, colour with alpha", "[ \\noteFormat<" + Repeated(colour, 8, ", ") + "> c ]",
            "s1 c1#44112233:0.25");
        row("nine tag arguments", "[ \\noteFormat<" + Repeated(colour, 9, ", ") + "> c ]",
            QStringLiteral("1:%1 too many tag arguments").arg(15 + 8 * (colour.size() + 2)));
        row("seven colour digits", "[ \\noteFormat<color=\"0x1234567\"> c ]", "1:15 unknown colour");
        row("five colour digits after a sign", "[ \\noteFormat<color=\"0x+12345\"> c ]",
            "1:15 unknown colour");
        row("nine colour digits", "[ \\noteFormat<color=\"0x123456789\"> c ]", "1:15 unknown colour");

        // The most voices, those past the last staff on the last staff; then one voice more.
        QStringList staves;
        for (int voice = 1; voice <= GmnParser::maxVoices; ++voice)
            staves << QStringLiteral("s%1").arg(std::min(voice, GmnParser::maxStaff));
        const QByteArray voices = "{" + Repeated("[]", GmnParser::maxVoices, ",");
        row("most voices", voices + "}", staves.join(QStringLiteral(" ; ")));
        row("one voice more", voices + ",[] }",
            QStringLiteral("1:%1 too many voices").arg(voices.size() + 2));
        // Notes and signs are counted over the whole score.
        const int half = GmnParser::maxItems / 2;
        const QByteArray items = "{[" + Repeated("c", half) + "],[" + Repeated("|", half - 1) + " \\bar";
        const QString read = QStringLiteral("s1 ") + QString::fromLatin1(Repeated("c1:0.25", half)) +
                             QStringLiteral(" ; s2 ") + QString::fromLatin1(Repeated("|", half));
        row("most notes and signs", items + "]}", read);
        row("one note or sign more", items + " _]}",
            QStringLiteral("1:%1 too many notes and signs").arg(items.size() + 3));

        row("empty", "", "1:1 empty text");
        row("unclosed score", "{ [ c1 ]", "1:9 missing '}'");
        row("unclosed voice", "{ [ c1 ", "1:8 missing ']'");
        row("unclosed chord", "[ { c1, e1 ]", "1:3 missing '}' at the end of a chord");
        row("text after the end", "[ c1 ] ]", "1:8 text after the end");
        row("unknown tag", "[ \\slur<1> c1 ]", "1:3 unknown tag \\slur");
        row("unknown note", "[ x1 ]", "1:3 unknown note name 'x'");
        row("second line", "[ c1\n  d1 ? ]", "2:6 unexpected character '?'");
        row("nested voice", "[ [ c ] ]", "1:3 a voice cannot hold another voice");
        row("nested chord", "[ { { c } } ]", "1:5 a chord cannot hold another chord");
        row("empty chord member", "[ { c, , e } ]", "1:8 a chord member is missing before ','");
        row("range tag", "[ \\stemsUp( c ) ]", "1:11 tags with a range");
        row("control character", QByteArray("[ c\x01 ]", 6), "1:4 unexpected character '\\x01'");
        row("string closed by the last byte", "[ \\clef<\"g2\"", "1:13 missing '>'");
        row("string not closed", "[ \\clef<\"g2> ]", "1:9 missing closing '\"'");
        row("block comment not closed", "[ c (* ] *", "1:11 missing ']'");
    }

    void readsOrRejectsAtThePosition()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        Score score;
        score.noteCount = -1;
        ParseError error;
        if (ParseExact(text, &score, &error)) {
            QCOMPARE(Written(score), expected);
            int index = 0; // notes numbered in text order over all voices
            for (const Voice& voice : score.voices)
                for (const VoiceItem& item : voice.items)
                    for (const Note& note : item.notes)
                        QCOMPARE(note.index, index++);
            QCOMPARE(score.noteCount, index);
        } else {
            const QString found =
                QStringLiteral("%1:%2 %3").arg(error.line).arg(error.column).arg(error.message);
            QVERIFY2(found.startsWith(expected), qPrintable(found));
            QVERIFY(error.offset <= text.size());
            QCOMPARE(score.noteCount, -1); // the caller's score is left alone
        }
    }

    // Every kept fuzz input (seeds and cases that once failed) is parsed, laid out and measured
    // cleanly; the rich seed cut after any byte is rejected at a position inside what is left.
    void replaysFuzzFindingsAndCutsOfTheRichSeed()
    {
        const QDir data(QStringLiteral(CANTORELA_NOTATION_TEST_DATA));
        const QFileInfoList files =
            QDir(data.filePath(QStringLiteral("fuzz_seeds"))).entryInfoList(QDir::Files) +
            QDir(data.filePath(QStringLiteral("fuzz_cases"))).entryInfoList(QDir::Files);
        QVERIFY(files.size() >= 3);
        for (const QFileInfo& info : files) {
            const QByteArray text = ReadAll(info.filePath());
            Score score;
            ParseError error;
            if (info.fileName() == QLatin1String("rich.gmn"))
                for (int size = 0; size < text.trimmed().size(); ++size) {
                    QVERIFY2(!ParseExact(text.left(size), &score, &error), qPrintable(text.left(size)));
                    QVERIFY2(error.offset <= size && !error.message.isEmpty(), qPrintable(error.Describe()));
                }
            if (!ParseExact(text, &score, &error)) {
                QVERIFY2(!error.message.isEmpty() && error.offset <= text.size(),
                         qPrintable(info.fileName()));
                QVERIFY(info.fileName() != QLatin1String("rich.gmn"));
                continue;
            }
            const ScoreLayout layout = LayoutEngine::Lay(score, PageFormat{});
            QVERIFY(layout.pageCount >= 1);
            for (int page = 0; page < layout.pageCount; ++page) {
                BoundingBoxSurface surface;
                ScorePainter::PaintPage(layout, page, QRectF(0, 0, 1050, 350), Qt::black, &surface);
                QVERIFY(surface.TakeMap().FindNth(MapElement::systemType, 1) != nullptr);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestGmnParser)
#include "test_gmn_parser.moc"

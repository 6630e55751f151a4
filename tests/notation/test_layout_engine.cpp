// Engraving geometry, in staff spaces: every piano key on the treble and the bass staff lands on
// its staff step with the right ledger lines, accidental and stem; chords displace seconds and
// stack accidentals without collisions; the font's metadata matches its outlines.

#include "core/score_builder.h"
#include "notation/bounding_box_surface.h"
#include "notation/font_metadata.h"
#include "notation/gmn_parser.h"
#include "notation/layout_engine.h"
#include "notation/music_font.h"
#include "notation/score_document.h"
#include "notation/score_painter.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <algorithm>
#include <map>

using namespace Notation;
using Role = LayoutItem::Role;

namespace {

ScoreLayout LayText(const QByteArray& text)
{
    Score score;
    ParseError error;
    if (!GmnParser::Parse(text, &score, &error))
        qFatal("%s: %s", text.constData(), qPrintable(error.Describe()));
    return LayoutEngine::Lay(score, PageFormat{});
}

std::vector<LayoutItem> Items(const ScoreLayout& layout, Role role, int noteIndex = -2)
{
    std::vector<LayoutItem> found;
    for (const LayoutSystem& system : layout.systems) {
        for (const LayoutItem& item : system.items) {
            if (item.role == role && (noteIndex == -2 || item.noteIndex == noteIndex))
                found.push_back(item);
        }
    }
    return found;
}

QRectF Box(const LayoutItem& item)
{
    if (item.isGlyph)
        return BoundingBoxSurface::GlyphBox(item.glyph, item.origin, item.scale);
    return BoundingBoxSurface::LineBox(item.origin, item.end, item.thickness);
}

// A piano score: a treble voice on the upper staff, a bass voice on the lower.
QByteArray GrandStaff(const QByteArray& treble, const QByteArray& bass)
{
    return "{ [ \\staff<1> \\clef<\"g2\"> " + treble + " ], [ \\staff<2> \\clef<\"f4\"> " + bass + " ] }";
}

std::vector<MapElement> MapElements(const GraphicMap& map, int type)
{
    std::vector<MapElement> found;
    std::copy_if(map.elements.begin(), map.elements.end(), std::back_inserter(found),
                 [type](const MapElement& element) { return element.type == type; });
    return found;
}

bool IsBlack(int key)
{
    const int pitchClass = (key + 21) % 12;
    return pitchClass == 1 || pitchClass == 3 || pitchClass == 6 || pitchClass == 8 || pitchClass == 10;
}

// Staff step of a key from its spelling, counted independently of the engraver: scientific
// octave × 7 + letter, minus the bottom line (E4 for treble, G2 for bass).
int ExpectedStep(int key, bool flat, bool treble)
{
    static const int sharpLetter[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
    static const int flatLetter[12] = {0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6};
    const int midi = key + 21;
    const int octave = midi / 12 - 1;
    const int letter = (flat ? flatLetter : sharpLetter)[midi % 12];
    const int bottom = treble ? 4 * 7 + 2 : 2 * 7 + 4;
    return octave * 7 + letter - bottom;
}

} // namespace

class TestLayoutEngine : public QObject
{
    Q_OBJECT

private slots:
    void everyKeyOnBothStaves_data();
    void everyKeyOnBothStaves();
    void chordSecondsSitOnTheOtherSideOfTheStem_data();
    void chordSecondsSitOnTheOtherSideOfTheStem();
    void chordAccidentalsDoNotCollide_data();
    void chordAccidentalsDoNotCollide();
    void accidentalsFollowKeyAndMeasure();
    void flagsDotsAndRests();
    void answerColoursAreKept();
    void mapMatchesLayout();
    void fontOutlinesMatchMetadata();
    void longMusicBreaksIntoSystemsAndPages();
    void voicesShareAStaffAndStavesStack();
    void keySignaturesSitOnTheirLines_data();
    void keySignaturesSitOnTheirLines();
    void wholeMeasureRestsAreCentred();
    void braceAndSystemSpanBothStaves_data();
    void braceAndSystemSpanBothStaves();
    void simultaneousNotesShareTheirX_data();
    void simultaneousNotesShareTheirX();
    void ledgerNotesOfTheTwoStavesKeepApart_data();
    void ledgerNotesOfTheTwoStavesKeepApart();
    void startSignsOnBothStaves();
    void barOfOneHandEndsTheMeasureOfBoth();
};

void TestLayoutEngine::everyKeyOnBothStaves_data()
{
    QTest::addColumn<bool>("treble");
    QTest::addColumn<bool>("flat");
    QTest::newRow("treble sharps") << true << false;
    QTest::newRow("treble flats") << true << true;
    QTest::newRow("bass sharps") << false << false;
    QTest::newRow("bass flats") << false << true;
}

void TestLayoutEngine::everyKeyOnBothStaves()
{
    QFETCH(bool, treble);
    QFETCH(bool, flat);
    const EngravingDefaults& defaults = FontMetadata::Instance().Defaults();
    for (int key = 0; key <= 87; ++key) {
        const QByteArray text = Core::ScoreBuilder::WriteQuestion({key}, treble, flat, 1);
        const ScoreLayout layout = LayText(text);
        QCOMPARE(layout.pageCount, 1);
        QCOMPARE(int(layout.systems.size()), 1);
        const LayoutSystem& system = layout.systems[0];
        const double staffTop = system.staves[0].top;
        const std::vector<LayoutItem> heads = Items(layout, Role::Notehead);
        QCOMPARE(int(heads.size()), 1);
        const LayoutItem& head = heads[0];
        const int step = ExpectedStep(key, flat, treble);
        QVERIFY2(
            head.step == step,
            qPrintable(QStringLiteral("key %1: step %2, expected %3").arg(key).arg(head.step).arg(step)));
        QCOMPARE(head.origin.y(), staffTop + 4.0 - step / 2.0);

        // Ledger lines: one per line between the staff and the note, centred on line positions,
        // reaching past the head by the font's extension.
        const std::vector<LayoutItem> ledgers = Items(layout, Role::LedgerLine);
        const int expectedLedgers = step <= -2 ? -step / 2 : step >= 10 ? (step - 8) / 2 : 0;
        QVERIFY2(int(ledgers.size()) == expectedLedgers,
                 qPrintable(QStringLiteral("key %1: %2 ledger lines").arg(key).arg(ledgers.size())));
        for (const LayoutItem& ledger : ledgers) {
            const double offset = ledger.origin.y() - staffTop;
            QCOMPARE(offset, std::round(offset));
            QVERIFY(offset < 0.0 || offset > 4.0);
            QCOMPARE(ledger.thickness, defaults.legerLineThickness);
            QVERIFY(qAbs(head.origin.x() - ledger.origin.x() - defaults.legerLineExtension) < 1e-9);
        }

        // An accidental exactly for the black keys, spelled as asked, left of the head.
        const std::vector<LayoutItem> accidentals = Items(layout, Role::Accidental);
        QCOMPARE(int(accidentals.size()), IsBlack(key) ? 1 : 0);
        if (IsBlack(key)) {
            QCOMPARE(accidentals[0].glyph, flat ? SmuflGlyph::accidentalFlat : SmuflGlyph::accidentalSharp);
            QVERIFY(Box(accidentals[0]).right() < Box(head).left());
            QCOMPARE(accidentals[0].origin.y(), head.origin.y());
        }

        // Stems: up below the middle line, down on and above it; 3.5 spaces at least, and to
        // the middle line for notes far from the staff.
        const std::vector<LayoutItem> stems = Items(layout, Role::Stem);
        QCOMPARE(int(stems.size()), 1);
        const LayoutItem& stem = stems[0];
        const bool up = stem.end.y() < stem.origin.y();
        QVERIFY2(up == (step < 4), qPrintable(QStringLiteral("key %1: stem direction").arg(key)));
        const double headCentre = head.origin.y();
        QVERIFY(qAbs(stem.end.y() - headCentre) >= 3.5 - 1e-9);
        QVERIFY(up ? stem.end.y() <= staffTop + 2.0 + 1e-9 : stem.end.y() >= staffTop + 2.0 - 1e-9);
        const QRectF headBox = Box(head);
        if (up)
            QVERIFY(qAbs(Box(stem).right() - headBox.right()) < 1e-9);
        else
            QVERIFY(qAbs(Box(stem).left() - headBox.left()) < 1e-9);
    }
}

void TestLayoutEngine::chordSecondsSitOnTheOtherSideOfTheStem_data()
{
    QTest::addColumn<QByteArray>("chord");
    QTest::addColumn<bool>("stemUp");
    QTest::addColumn<QVector<int>>("displaced"); // note indexes in the text

    QTest::newRow("second below the middle") << QByteArray("{ c1, d1 }") << true << QVector<int>{1};
    QTest::newRow("second above the middle") << QByteArray("{ c2, d2 }") << false << QVector<int>{0};
    QTest::newRow("cluster of three") << QByteArray("{ c1, d1, e1 }") << true << QVector<int>{1};
    QTest::newRow("cluster of four, stem down")
        << QByteArray("{ g2, a2, b2, c3 }") << false << QVector<int>{0, 2};
    QTest::newRow("no second") << QByteArray("{ c1, e1, g1 }") << true << QVector<int>{};
    QTest::newRow("forced down") << QByteArray("\\stemsDown { f1, g1 }") << false << QVector<int>{0};
    QTest::newRow("whole notes") << QByteArray("{ c1/1, d1 }") << true << QVector<int>{1};
}

void TestLayoutEngine::chordSecondsSitOnTheOtherSideOfTheStem()
{
    QFETCH(QByteArray, chord);
    QFETCH(bool, stemUp);
    QFETCH(QVector<int>, displaced);
    const ScoreLayout layout = LayText("[ \\clef<\"g2\"> " + chord + " ]");
    const std::vector<LayoutItem> heads = Items(layout, Role::Notehead);
    const std::vector<LayoutItem> stems = Items(layout, Role::Stem);
    double normalX = 1e9;
    for (const LayoutItem& head : heads) {
        if (!displaced.contains(head.noteIndex))
            normalX = std::min(normalX, head.origin.x());
    }
    for (const LayoutItem& head : heads) {
        const double shift = head.origin.x() - normalX;
        if (displaced.contains(head.noteIndex)) {
            QVERIFY2(stemUp ? shift > 0.9 : shift < -0.9,
                     qPrintable(QStringLiteral("note %1").arg(head.noteIndex)));
            if (!stems.empty()) // the displaced head touches the stem from the other side
                QVERIFY(Box(head).intersects(Box(stems[0])));
        } else {
            QCOMPARE(shift, 0.0);
        }
    }
    if (!stems.empty())
        QCOMPARE(stems[0].end.y() < stems[0].origin.y(), stemUp);
    // No two heads overlap, except where both touch the stem.
    const double stemThickness = FontMetadata::Instance().Defaults().stemThickness;
    for (size_t i = 0; i < heads.size(); ++i) {
        for (size_t j = i + 1; j < heads.size(); ++j) {
            const QRectF overlap = Box(heads[i]).intersected(Box(heads[j]));
            QVERIFY(overlap.width() <= stemThickness + 1e-9 || overlap.height() < 0.05);
        }
    }
}

void TestLayoutEngine::chordAccidentalsDoNotCollide_data()
{
    QTest::addColumn<QByteArray>("chord");
    QTest::addColumn<int>("accidentals");
    QTest::newRow("seconds") << QByteArray("{ c#1, d#1 }") << 2;
    QTest::newRow("cluster") << QByteArray("{ c#1, e&1, f#1, a&1 }") << 4;
    QTest::newRow("thirds of flats") << QByteArray("{ e&1, g&1, b&1, d&2 }") << 4;
    QTest::newRow("octave") << QByteArray("{ f#1, f#2 }") << 2;
    QTest::newRow("mixed with naturals") << QByteArray("{ c1, d#1, e1, g#1 }") << 2;
    QTest::newRow("stem down cluster") << QByteArray("{ a#1, b1, c#2, d#2 }") << 3;
}

void TestLayoutEngine::chordAccidentalsDoNotCollide()
{
    QFETCH(QByteArray, chord);
    QFETCH(int, accidentals);
    const ScoreLayout layout = LayText("[ \\clef<\"g2\"> " + chord + " ]");
    const std::vector<LayoutItem> signs = Items(layout, Role::Accidental);
    QCOMPARE(int(signs.size()), accidentals);
    double headsLeft = 1e9;
    for (const LayoutItem& head : Items(layout, Role::Notehead))
        headsLeft = std::min(headsLeft, Box(head).left());
    for (size_t i = 0; i < signs.size(); ++i) {
        QVERIFY(Box(signs[i]).right() < headsLeft);
        for (size_t j = i + 1; j < signs.size(); ++j) {
            const QRectF overlap = Box(signs[i]).intersected(Box(signs[j]));
            QVERIFY2(overlap.isEmpty() || overlap.height() <= 0.1,
                     qPrintable(QStringLiteral("accidentals of notes %1 and %2 collide")
                                    .arg(signs[i].noteIndex)
                                    .arg(signs[j].noteIndex)));
        }
    }
}

void TestLayoutEngine::accidentalsFollowKeyAndMeasure()
{
    // D major: f# and c# need no sign, f natural does; a sharp holds to the bar line.
    const ScoreLayout layout = LayText("[ \\key<2> f#1 f1 c#2 g#1 g#1 | g#1 g1 ]");
    auto signOf = [&](int note) {
        const std::vector<LayoutItem> signs = Items(layout, Role::Accidental, note);
        return signs.empty() ? -1 : int(signs[0].glyph);
    };
    QCOMPARE(signOf(0), -1);
    QCOMPARE(signOf(1), int(SmuflGlyph::accidentalNatural));
    QCOMPARE(signOf(2), -1);
    QCOMPARE(signOf(3), int(SmuflGlyph::accidentalSharp));
    QCOMPARE(signOf(4), -1);
    QCOMPARE(signOf(5), int(SmuflGlyph::accidentalSharp));
    QCOMPARE(signOf(6), int(SmuflGlyph::accidentalNatural));
    QCOMPARE(int(Items(layout, Role::KeySignature).size()), 2);
    QCOMPARE(int(Items(layout, Role::Barline).size()), 1);
}

void TestLayoutEngine::flagsDotsAndRests()
{
    const ScoreLayout layout = LayText("[ \\meter<\"4/4\"> c1/8 a1/16 e1/4. _/4 _/1 g1/2 ]");
    const std::vector<LayoutItem> flags = Items(layout, Role::Flag);
    QCOMPARE(int(flags.size()), 2);
    QCOMPARE(flags[0].glyph, SmuflGlyph::flag8thUp);
    QCOMPARE(flags[1].glyph, SmuflGlyph::flag16thUp);
    // The flag hangs from the top of its stem.
    const std::vector<LayoutItem> stems = Items(layout, Role::Stem);
    QVERIFY(qAbs(Box(flags[0]).left() - Box(stems[0]).left()) < 0.01);
    QVERIFY(qAbs(Box(flags[0]).top() - stems[0].end.y()) < 0.1);
    // The dot of a note on a line (e1 is the bottom line) goes in the space above it.
    const std::vector<LayoutItem> dots = Items(layout, Role::Dot);
    QCOMPARE(int(dots.size()), 1);
    const LayoutItem head = Items(layout, Role::Notehead, 2)[0];
    QCOMPARE(dots[0].origin.y(), head.origin.y() - 0.5);
    QVERIFY(dots[0].origin.x() > Box(head).right());
    const std::vector<LayoutItem> rests = Items(layout, Role::Rest);
    QCOMPARE(int(rests.size()), 2);
    QCOMPARE(rests[0].glyph, SmuflGlyph::restQuarter);
    QCOMPARE(rests[1].glyph, SmuflGlyph::restWhole);
    QCOMPARE(rests[1].origin.y(), layout.systems[0].staves[0].top + 1.0); // hangs from the fourth line
    QCOMPARE(int(Items(layout, Role::TimeSignature).size()), 2);
    // Longer notes take more room.
    const double eighth =
        Items(layout, Role::Notehead, 1)[0].origin.x() - Items(layout, Role::Notehead, 0)[0].origin.x();
    const double quarter = rests[0].origin.x() - head.origin.x();
    QVERIFY(quarter > eighth);
}

void TestLayoutEngine::answerColoursAreKept()
{
    const QByteArray text =
        Core::ScoreBuilder::WriteAnswer({{39, 0}, {41, 1}, {43, 2}, {44, 3}}, true, false);
    const ScoreLayout layout = LayText(text);
    const std::vector<LayoutItem> heads = Items(layout, Role::Notehead);
    QCOMPARE(int(heads.size()), 4);
    QMap<int, QColor> colours;
    for (const LayoutItem& head : heads) {
        QVERIFY(head.coloured);
        colours[head.step] = head.colour;
    }
    QCOMPARE(colours.value(-1), QColor(0xdc, 0x40, 0x40)); // d1, red
    QCOMPARE(colours.value(-2), QColor(0x00, 0x99, 0x6c)); // c1, green
    QCOMPARE(colours.value(0), QColor(0x27, 0x89, 0xdd));  // e1, blue
    QCOMPARE(colours.value(1), QColor(Qt::black));         // f1
}

void TestLayoutEngine::mapMatchesLayout()
{
    ScoreDocument document;
    QVERIFY(
        document.SetGmnCode("{ [ \\staff<1> \\clef<\"g2\">  \\stemsAuto  { c1 , e1 , g1 }  a1 _ ], [ ] }"));
    const QRectF target(0, 0, 1050, 350);
    const GraphicMap map = document.MapPage(0, target);
    const double space = ScorePainter::StaffSpace(document.Layout(), target);
    QCOMPARE(space, 17.5);
    std::vector<const MapElement*> events;
    for (const MapElement& element : map.elements) {
        if (element.type == MapElement::eventType)
            events.push_back(&element);
    }
    QCOMPARE(int(events.size()), 5);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(events[i]->subtype, MapElement::noteSubtype);
        const LayoutItem head = Items(document.Layout(), Role::Notehead, i)[0];
        const QRectF expected = BoundingBoxSurface::GlyphBox(head.glyph, head.origin * space, space);
        QCOMPARE(events[i]->box, expected);
    }
    QCOMPARE(events[4]->subtype, MapElement::restSubtype);
    const MapElement* staff = map.FindNth(MapElement::staffType, 1);
    QVERIFY(staff);
    const double lineThickness = FontMetadata::Instance().Defaults().staffLineThickness;
    QVERIFY(qAbs(staff->box.height() - (4.0 + lineThickness) * space) < 1e-6);
    QVERIFY(qAbs(staff->box.top() -
                 (document.Layout().systems[0].staves[0].top - lineThickness / 2) * space) < 1e-6);
    const MapElement* system = map.FindNth(MapElement::systemType, 1);
    QVERIFY(system && system->box.contains(staff->box));
    QVERIFY(!map.FindNth(MapElement::systemType, 2));
    QVERIFY(!map.FindNth(MapElement::eventType, 0));
}

void TestLayoutEngine::fontOutlinesMatchMetadata()
{
    // Every glyph of the code-point table exists in the font, and its outline fills the box the
    // metadata gives it: a wrong code point would show here.
    for (int i = 0; i < SmuflGlyphCount; ++i) {
        const auto glyph = static_cast<SmuflGlyph>(i);
        const QRectF outline = MusicFont::GlyphPath(glyph).boundingRect();
        const QRectF box = FontMetadata::Instance().BoundingBox(glyph);
        QVERIFY2(!outline.isEmpty(), SmuflName(glyph));
        const double tolerance = 0.05;
        QVERIFY2(qAbs(outline.left() - box.left()) < tolerance &&
                     qAbs(outline.right() - box.right()) < tolerance &&
                     qAbs(outline.top() - box.top()) < tolerance &&
                     qAbs(outline.bottom() - box.bottom()) < tolerance,
                 SmuflName(glyph));
    }
    QVERIFY(FontMetadata::Instance().HasAnchor(SmuflGlyph::noteheadBlack, GlyphAnchor::stemUpSE));
    QVERIFY(FontMetadata::Instance().HasAnchor(SmuflGlyph::noteheadBlack, GlyphAnchor::stemDownNW));
    QVERIFY(MusicFont::LicenceText().contains("SIL Open Font License"));
    QVERIFY(MusicFont::RegisterApplicationFont() >= 0);

    FontMetadata broken;
    QString message;
    QVERIFY(!broken.Load("{\"glyphBBoxes\": {}}", &message));
    QVERIFY(message.contains(QLatin1String("gClef")));
    QVERIFY(!broken.Load("not json", &message));
}

void TestLayoutEngine::longMusicBreaksIntoSystemsAndPages()
{
    QByteArray text = "[ \\clef<\"g2\"> ";
    for (int i = 0; i < 120; ++i)
        text += "c1 d e f g a b c2 ";
    text += "]";
    const ScoreLayout layout = LayText(text);
    QVERIFY(layout.systems.size() > 4);
    QVERIFY(layout.pageCount > 1);
    int notes = 0;
    for (const LayoutSystem& system : layout.systems) {
        QVERIFY(system.staves[0].right <= layout.pageSize.width() - 0.4 + 1e-9);
        for (const LayoutItem& item : system.items) {
            QVERIFY(item.origin.y() > 0.0 && item.origin.y() < layout.pageSize.height());
            notes += item.role == Role::Notehead;
        }
        // Every system starts with its clef.
        QCOMPARE(system.items[5].role, Role::Clef);
    }
    QCOMPARE(notes, 960);
}

void TestLayoutEngine::voicesShareAStaffAndStavesStack()
{
    const ScoreLayout layout = LayText("{ [ \\staff<1> c2 d2 _ ], [ \\staff<1> g1 _ f1 ], "
                                       "[ \\staff<2> \\clef<\"f4\"> c-1/8 c3 ] }");
    QCOMPARE(int(layout.systems.size()), 1);
    const LayoutSystem& system = layout.systems[0];
    QCOMPARE(int(system.staves.size()), 2);
    QVERIFY(system.staves[1].top - system.staves[0].top >= 8.5);
    // The first voice of a staff has its stems up, the second down, whatever the pitch.
    auto stemOf = [&](int noteIndex) {
        const LayoutItem head = Items(layout, Role::Notehead, noteIndex)[0];
        for (const LayoutItem& stem : Items(layout, Role::Stem)) {
            if (stem.staff == head.staff && Box(stem).intersects(Box(head).adjusted(-0.1, -0.3, 0.1, 0.3)))
                return stem.end.y() < stem.origin.y() ? 1 : -1;
        }
        return 0;
    };
    QCOMPARE(stemOf(0), 1);  // c2, first voice: up although above the middle line
    QCOMPARE(stemOf(2), -1); // g1, second voice: down although below it
    std::vector<LayoutItem> rests = Items(layout, Role::Rest);
    QCOMPARE(int(rests.size()), 2);
    std::sort(rests.begin(), rests.end(),
              [](const LayoutItem& a, const LayoutItem& b) { return a.order < b.order; });
    QVERIFY(rests[0].origin.y() < rests[1].origin.y() - 3.0); // the first voice's rest above the second's
    // Nothing of the upper staff reaches into what the lower staff draws.
    double upperBottom = -1e9, lowerTop = 1e9;
    for (const LayoutItem& item : system.items) {
        if (item.role == Role::StaffLine)
            continue;
        if (item.staff == 0)
            upperBottom = std::max(upperBottom, Box(item).bottom());
        else if (item.staff == 1)
            lowerTop = std::min(lowerTop, Box(item).top());
    }
    QVERIFY(upperBottom < lowerTop);
}

void TestLayoutEngine::keySignaturesSitOnTheirLines_data()
{
    QTest::addColumn<QByteArray>("clef");
    QTest::addColumn<int>("fifths");
    QTest::addColumn<QVector<int>>("steps");
    QTest::newRow("treble sharps") << QByteArray("g2") << 7 << QVector<int>{8, 5, 9, 6, 3, 7, 4};
    QTest::newRow("treble flats") << QByteArray("g2") << -7 << QVector<int>{4, 7, 3, 6, 2, 5, 1};
    QTest::newRow("bass sharps") << QByteArray("f4") << 7 << QVector<int>{6, 3, 7, 4, 1, 5, 2};
    QTest::newRow("bass flats") << QByteArray("f4") << -7 << QVector<int>{2, 5, 1, 4, 0, 3, -1};
    QTest::newRow("alto sharps") << QByteArray("c3") << 7 << QVector<int>{7, 4, 8, 5, 2, 6, 3};
    QTest::newRow("alto flats") << QByteArray("c3") << -7 << QVector<int>{3, 6, 2, 5, 1, 4, 0};
    QTest::newRow("tenor sharps") << QByteArray("c4") << 7 << QVector<int>{2, 6, 3, 7, 4, 8, 5};
    QTest::newRow("tenor flats") << QByteArray("c4") << -7 << QVector<int>{5, 8, 4, 7, 3, 6, 2};
}

void TestLayoutEngine::keySignaturesSitOnTheirLines()
{
    QFETCH(QByteArray, clef);
    QFETCH(int, fifths);
    QFETCH(QVector<int>, steps);
    const ScoreLayout layout =
        LayText("[ \\clef<\"" + clef + "\"> \\key<" + QByteArray::number(fifths) + "> c1 ]");
    std::vector<LayoutItem> signs = Items(layout, Role::KeySignature);
    QCOMPARE(int(signs.size()), steps.size());
    const double top = layout.systems[0].staves[0].top;
    double previousX = -1.0;
    for (int i = 0; i < steps.size(); ++i) {
        QCOMPARE(signs[i].glyph, fifths > 0 ? SmuflGlyph::accidentalSharp : SmuflGlyph::accidentalFlat);
        QCOMPARE(signs[i].origin.y(), top + 4.0 - steps[i] / 2.0);
        QVERIFY(signs[i].origin.x() > previousX);
        previousX = signs[i].origin.x();
    }
}

void TestLayoutEngine::wholeMeasureRestsAreCentred()
{
    const ScoreLayout layout = LayText("[ c1/4 d e f | _/1 | g/1 | _/1 _/1 ]");
    const std::vector<LayoutItem> bars = Items(layout, Role::Barline);
    const std::vector<LayoutItem> rests = Items(layout, Role::Rest);
    QCOMPARE(int(bars.size()), 3);
    QCOMPARE(int(rests.size()), 3);
    QVERIFY(rests[0].measureRest);
    const double centre = Box(rests[0]).center().x();
    QVERIFY(qAbs(centre - (bars[0].origin.x() + bars[1].origin.x()) / 2) < 1e-9);
    // Two rests in one measure are not a measure rest.
    QVERIFY(!rests[1].measureRest && !rests[2].measureRest);
    QVERIFY(Box(rests[1]).right() < Box(rests[2]).left());
}

void TestLayoutEngine::braceAndSystemSpanBothStaves_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("barLines"); // the system's own at the start included
    for (qreal ratio : {1.0, 2.0}) {
        const QByteArray suffix = ratio == 1.0 ? ", ratio 1" : ", ratio 2";
        QTest::newRow("triads" + suffix) << GrandStaff("c1 e g", "c-1 g-1 c0") << ratio << 1;
        QTest::newRow("key, metre and bars" + suffix)
            << GrandStaff("\\key<-1> \\meter<\"3/4\"> c2/4 d e | f/2. | g", "\\key<-1> c0/2. | f-1/2. | c0/4")
            << ratio << 3;
        QTest::newRow("ledger notes of both hands" + suffix) << GrandStaff("a0/1", "e1/1") << ratio << 1;
        QTest::newRow("stems into the gap" + suffix) << GrandStaff("a0/2 f0", "e1/2 g1") << ratio << 1;
    }
}

void TestLayoutEngine::braceAndSystemSpanBothStaves()
{
    QFETCH(QByteArray, text);
    QFETCH(qreal, ratio);
    QFETCH(int, barLines);
    ScoreDocument document;
    QVERIFY(document.SetGmnCode(text));
    // The page painted for a screen of the given device pixel ratio, as the score board paints
    // it: the map in the painter's coordinates, the pixels at the device's resolution.
    const QRectF target(0, 0, 1050, 350);
    QImage image((target.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    GraphicMap painted;
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painted = document.DrawPage(&painter, 0, target);
    }
    // Measured into a target as many times larger, the map is the painted one scaled.
    const GraphicMap scaled = document.MapPage(0, QRectF(QPointF(0, 0), target.size() * ratio));
    QCOMPARE(scaled.elements.size(), painted.elements.size());
    for (size_t i = 0; i < painted.elements.size(); ++i) {
        const QRectF expected(painted.elements[i].box.topLeft() * ratio,
                              painted.elements[i].box.size() * ratio);
        const QRectF got = scaled.elements[i].box;
        QCOMPARE(scaled.elements[i].type, painted.elements[i].type);
        QVERIFY(qAbs(got.left() - expected.left()) < 1e-6 && qAbs(got.top() - expected.top()) < 1e-6 &&
                qAbs(got.right() - expected.right()) < 1e-6 && qAbs(got.bottom() - expected.bottom()) < 1e-6);
    }

    const double lineThickness = FontMetadata::Instance().Defaults().staffLineThickness;
    const QRectF glyph = FontMetadata::Instance().BoundingBox(SmuflGlyph::brace);
    const QRectF scaledTarget(QPointF(0, 0), target.size() * ratio);
    const std::pair<const GraphicMap*, QRectF> drawn[] = {{&painted, target}, {&scaled, scaledTarget}};
    for (const auto& [map, drawnTarget] : drawn) {
        const double space = ScorePainter::StaffSpace(document.Layout(), drawnTarget);
        const std::vector<MapElement> staves = MapElements(*map, MapElement::staffType);
        const std::vector<MapElement> systems = MapElements(*map, MapElement::systemType);
        const std::vector<MapElement> braces = MapElements(*map, MapElement::braceType);
        QCOMPARE(int(staves.size()), 2);
        QCOMPARE(int(systems.size()), 1);
        QCOMPARE(int(braces.size()), 1);
        const QRectF upper = staves[0].box, lower = staves[1].box;
        const QRectF brace = braces[0].box, system = systems[0].box;
        QVERIFY(upper.bottom() < lower.top());
        // From the top line of the upper staff to the bottom line of the lower one, scaled
        // evenly, left of the staves and close to them.
        QVERIFY(qAbs(brace.top() - upper.top()) <= lineThickness * space);
        QVERIFY(qAbs(brace.bottom() - lower.bottom()) <= lineThickness * space);
        QVERIFY(qAbs(brace.width() / brace.height() - glyph.width() / glyph.height()) < 0.005);
        QVERIFY(brace.right() < upper.left() && brace.right() < lower.left());
        QVERIFY(upper.left() - brace.right() < 0.6 * space);
        QVERIFY(brace.left() > 0.0);
        // The system takes in both staves and the brace.
        QVERIFY(system.contains(upper) && system.contains(lower) && system.contains(brace));
        QVERIFY(qAbs(system.left() - brace.left()) < 1e-9);
    }

    // Painted at the device's resolution: the brace has ink in every row of its middle part,
    // and a row through the middle of the gap between the staves crosses the brace and each
    // bar line, nothing else.
    auto inked = [&](QPointF point) {
        const QPoint pixel = (point * ratio).toPoint();
        return image.rect().contains(pixel) && qAlpha(image.pixel(pixel)) > 128;
    };
    const QRectF brace = MapElements(painted, MapElement::braceType)[0].box;
    for (double y = brace.top() + 0.05 * brace.height(); y < brace.bottom() - 0.05 * brace.height();
         y += 1 / ratio) {
        bool any = false;
        for (double x = brace.left(); x <= brace.right() && !any; x += 0.5 / ratio)
            any = inked(QPointF(x, y));
        QVERIFY2(any, qPrintable(QStringLiteral("no ink in the brace at y %1").arg(y)));
    }
    const std::vector<MapElement> staves = MapElements(painted, MapElement::staffType);
    const QRectF system = MapElements(painted, MapElement::systemType)[0].box;
    const double middle = (staves[0].box.bottom() + staves[1].box.top()) / 2;
    int runs = 0;
    bool inRun = false;
    for (double x = system.left() - 2; x <= system.right() + 2; x += 1 / ratio) {
        const bool ink = inked(QPointF(x, middle));
        runs += ink && !inRun;
        inRun = ink;
    }
    QCOMPARE(runs, 1 + barLines);
}

void TestLayoutEngine::simultaneousNotesShareTheirX_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("quarters over halves") << GrandStaff("c1 e g c2", "c-1/2 g-1/2");
    QTest::newRow("accidentals on one staff") << GrandStaff("f#1 b&1 c#2 e2", "c0 d0 e0 f0");
    QTest::newRow("dotted notes and rests") << GrandStaff("c1/4. d/8 e/2", "_/8 g-1/8 c0/8 d0 g-1/2");
    QTest::newRow("chords of both hands")
        << GrandStaff("{c1, e, g} {d, f, b} {e&/2, g, c2}", "{c-1, c0} {g-1, g0} {a&-1/2, a&0}");
    QTest::newRow("bars and stems both ways")
        << GrandStaff("\\meter<\"2/4\"> a2 g | f1 e", "\\meter<\"2/4\"> c1 b0 | c-1/8 d e f");
}

void TestLayoutEngine::simultaneousNotesShareTheirX()
{
    QFETCH(QByteArray, text);
    ScoreDocument document;
    QVERIFY(document.SetGmnCode(text));
    QCOMPARE(int(document.Layout().systems.size()), 1);
    // The time of every note, counted from the text independently of the layout.
    std::map<int, double> timeOf; // byte offset → time in whole notes
    for (const Voice& voice : document.ParsedScore().voices) {
        double time = 0.0;
        for (const VoiceItem& item : voice.items) {
            for (const Note& note : item.notes)
                timeOf[note.sourceOffset] = time;
            if (item.kind == VoiceItem::Kind::Chord || item.kind == VoiceItem::Kind::Rest)
                time += item.duration.Whole();
        }
    }
    // Heads of one time share their left edge across the staves; later times lie further right.
    std::map<double, std::vector<double>> lefts;
    const GraphicMap map = document.MapPage(0, QRectF(0, 0, 1050, 350));
    for (const MapElement& element : MapElements(map, MapElement::eventType)) {
        if (element.subtype == MapElement::noteSubtype)
            lefts[timeOf.at(element.order)].push_back(element.box.left());
    }
    QCOMPARE(int(map.elements.size()) > 0, true);
    double previous = -1.0;
    int shared = 0;
    for (const auto& time : lefts) {
        const double x = time.second.front();
        for (double left : time.second)
            QVERIFY2(qAbs(left - x) < 1e-6,
                     qPrintable(QStringLiteral("time %1: %2 against %3").arg(time.first).arg(left).arg(x)));
        QVERIFY(x > previous);
        previous = x;
        shared += time.second.size() > 1;
    }
    QVERIFY(shared >= 2);
}

void TestLayoutEngine::ledgerNotesOfTheTwoStavesKeepApart_data()
{
    QTest::addColumn<QByteArray>("treble");
    QTest::addColumn<QByteArray>("bass");
    QTest::addColumn<bool>("plain"); // the usual distance suffices
    QTest::newRow("triads in the staves") << QByteArray("{c2, e, g}") << QByteArray("{c0, e, g}") << true;
    QTest::newRow("an empty lower staff") << QByteArray("c2 d e") << QByteArray("") << true;
    QTest::newRow("middle C from both staves") << QByteArray("c1/1") << QByteArray("c1/1") << true;
    QTest::newRow("treble C4 chord, bass C4 chord")
        << QByteArray("{c1, e1, g1}") << QByteArray("{e0, g0, c1}") << true;
    QTest::newRow("treble A3, bass E4") << QByteArray("a0/1") << QByteArray("e1/1") << true;
    QTest::newRow("treble A3, bass E4, with accidentals")
        << QByteArray("a&0/1") << QByteArray("e#1/1") << false;
    QTest::newRow("treble F3, bass G4") << QByteArray("f0/1") << QByteArray("g1/1") << false;
    QTest::newRow("treble C3, bass C5, stems into the gap")
        << QByteArray("c0/4") << QByteArray("c2/4") << false;
}

void TestLayoutEngine::ledgerNotesOfTheTwoStavesKeepApart()
{
    QFETCH(QByteArray, treble);
    QFETCH(QByteArray, bass);
    QFETCH(bool, plain);
    const ScoreLayout layout = LayText(GrandStaff(treble, bass));
    QCOMPARE(int(layout.systems.size()), 1);
    const LayoutSystem& system = layout.systems[0];
    QCOMPARE(int(system.staves.size()), 2);
    // The middle lines are as far apart as the top lines.
    const double distance = system.staves[1].top - system.staves[0].top;
    if (plain)
        QVERIFY2(distance >= 10.0 && distance <= 12.0,
                 qPrintable(QStringLiteral("distance %1").arg(distance)));
    else
        QVERIFY2(distance > 10.0, qPrintable(QStringLiteral("distance %1").arg(distance)));
    // What hangs below the treble staff (heads, ledger lines, stems, accidentals) stays clear
    // of what rises above the bass staff.
    double upperBottom = system.staves[0].top + 4.0, lowerTop = system.staves[1].top;
    for (const LayoutItem& item : system.items) {
        if (item.staff == 0)
            upperBottom = std::max(upperBottom, Box(item).bottom());
        else if (item.staff == 1)
            lowerTop = std::min(lowerTop, Box(item).top());
    }
    QVERIFY2(
        lowerTop - upperBottom >= 0.5,
        qPrintable(QStringLiteral("%1 staff spaces between the staves' signs").arg(lowerTop - upperBottom)));
    // The notes stay on their own staff's steps.
    for (const LayoutItem& head : Items(layout, Role::Notehead))
        QCOMPARE(head.origin.y(), system.staves[head.staff].top + 4.0 - head.step / 2.0);
}

void TestLayoutEngine::startSignsOnBothStaves()
{
    // The metre is written in the treble voice only, and changes in it halfway.
    const ScoreLayout layout = LayText(
        GrandStaff("\\key<2> \\meter<\"3/4\"> d1/4 e f# | \\meter<\"2/4\"> g a", "\\key<2> d0/2. | g-1/2"));
    QCOMPARE(int(layout.systems.size()), 1);
    for (Role role : {Role::Clef, Role::KeySignature, Role::TimeSignature}) {
        const std::vector<LayoutItem> signs = Items(layout, role);
        // Each staff has the same signs at the same places.
        std::map<int, std::vector<double>> byStaff;
        for (const LayoutItem& sign : signs)
            byStaff[sign.staff].push_back(sign.origin.x());
        QCOMPARE(int(byStaff.size()), 2);
        QCOMPARE(byStaff[0], byStaff[1]);
        QVERIFY(!byStaff[0].empty());
    }
    // Two metres on each staff: 3/4 at the start, 2/4 after the bar.
    QCOMPARE(int(Items(layout, Role::TimeSignature).size()), 2 * 2 * 2);
}

void TestLayoutEngine::barOfOneHandEndsTheMeasureOfBoth()
{
    // Only the treble voice writes the bar; the bar line runs through the bass staff too, so
    // the bass's second F sharp needs its sharp again.
    const ScoreLayout layout = LayText(GrandStaff("c1/2 | c1/2", "f#0/2 f#0/2"));
    QCOMPARE(int(Items(layout, Role::Accidental).size()), 2);
    const std::vector<LayoutItem> bars = Items(layout, Role::Barline);
    const LayoutSystem& system = layout.systems[0];
    QCOMPARE(int(bars.size()), 2); // the system's own and the one of the text
    for (const LayoutItem& bar : bars) {
        QCOMPARE(Box(bar).top(), system.staves[0].top);
        QCOMPARE(Box(bar).bottom(), system.staves[1].top + 4.0);
    }
}

QTEST_MAIN(TestLayoutEngine)
#include "test_layout_engine.moc"

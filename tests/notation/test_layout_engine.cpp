// Engraving geometry in staff spaces; what the golden pictures of test_score_builder pin (brace,
// start signs, flags, note spacing) is not measured again here.

#include "core/score_builder.h"
#include "notation/bounding_box_surface.h"
#include "notation/font_metadata.h"
#include "notation/gmn_parser.h"
#include "notation/layout_engine.h"
#include "notation/music_font.h"
#include "notation/score_document.h"

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
    for (const LayoutSystem& system : layout.systems)
        for (const LayoutItem& item : system.items)
            if (item.role == role && (noteIndex == -2 || item.noteIndex == noteIndex))
                found.push_back(item);
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

// Staff step of a key from its spelling, counted apart from the engraver: octave × 7 + letter,
// minus the bottom line (E4 treble, G2 bass). Black keys' two spellings differ in letter.
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
    void keyLandsOnItsStep_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("treble");
        QTest::addColumn<bool>("flat");
        // The keyboard's ends, each clef's middle line and first ledger lines above and below, the
        // B-C crossings, and every pitch class of the octave from middle C.
        for (bool treble : {true, false})
            for (bool flat : {false, true})
                for (int key : {0,  1,  19, 20, 26, 27, 29, 36, 38, 39, 40, 41, 42,
                                43, 44, 45, 46, 47, 48, 49, 50, 58, 60, 86, 87})
                    QTest::addRow("%s, %s, key %d", treble ? "treble" : "bass", flat ? "flats" : "sharps",
                                  key)
                        << key << treble << flat;
    }

    // The step, ledger lines, accidental and stem of one piano key written as a question.
    void keyLandsOnItsStep()
    {
        QFETCH(int, key);
        QFETCH(bool, treble);
        QFETCH(bool, flat);
        const ScoreLayout layout = LayText(Core::ScoreBuilder::WriteQuestion({key}, treble, flat, 1));
        QCOMPARE(int(layout.systems.size()), 1);
        const double staffTop = layout.systems[0].staves[0].top;
        const std::vector<LayoutItem> heads = Items(layout, Role::Notehead),
                                      stems = Items(layout, Role::Stem);
        QCOMPARE(std::make_pair(heads.size(), stems.size()), std::make_pair(size_t(1), size_t(1)));
        const LayoutItem &head = heads[0], &stem = stems[0];
        const int step = ExpectedStep(key, flat, treble);
        QCOMPARE(head.step, step); // its height from the step: grandStaffKeepsStavesApartAndTimesAligned
        // One ledger line per line between the staff and the note, reaching past the head.
        const std::vector<LayoutItem> ledgers = Items(layout, Role::LedgerLine);
        QCOMPARE(int(ledgers.size()), step <= -2 ? -step / 2 : step >= 10 ? (step - 8) / 2 : 0);
        for (const LayoutItem& ledger : ledgers) {
            const double offset = ledger.origin.y() - staffTop;
            QVERIFY(qAbs(offset - std::round(offset)) < 1e-9 && (offset < 0.0 || offset > 4.0));
            QVERIFY(ledger.origin.x() < Box(head).left() && ledger.end.x() > Box(head).right());
        }
        // An accidental exactly for the black keys, spelled as asked, left of the head.
        const std::vector<LayoutItem> accidentals = Items(layout, Role::Accidental);
        QCOMPARE(int(accidentals.size()), step != ExpectedStep(key, !flat, treble) ? 1 : 0);
        for (const LayoutItem& accidental : accidentals) {
            QCOMPARE(accidental.glyph, flat ? SmuflGlyph::accidentalFlat : SmuflGlyph::accidentalSharp);
            QVERIFY(Box(accidental).right() < Box(head).left());
            QCOMPARE(accidental.origin.y(), head.origin.y());
        }
        // Stems up below the middle line, down on and above it, on the head's edge; 3.5 spaces at
        // least, and to the middle line for notes far from the staff.
        const bool up = stem.end.y() < stem.origin.y();
        QCOMPARE(up, step < 4);
        QVERIFY(qAbs(stem.end.y() - head.origin.y()) >= 3.5 - 1e-9);
        QVERIFY(up ? stem.end.y() <= staffTop + 2.0 + 1e-9 : stem.end.y() >= staffTop + 2.0 - 1e-9);
        QVERIFY(up ? qAbs(Box(stem).right() - Box(head).right()) < 1e-9
                   : qAbs(Box(stem).left() - Box(head).left()) < 1e-9);
    }

    void chordSecondsAndAccidentalsDoNotCollide_data()
    {
        QTest::addColumn<QByteArray>("chord");
        QTest::addColumn<bool>("stemUp");
        QTest::addColumn<QVector<int>>("displaced"); // note indexes in the text
        QTest::addColumn<int>("accidentals");
        auto row = [](const char* name, const char* chord, bool stemUp, QVector<int> displaced,
                      int accidentals) {
            QTest::newRow(name) << QByteArray(chord) << stemUp << displaced << accidentals;
        };
        row("second below the middle", "{ c1, d1 }", true, {1}, 0);
        row("cluster of four, stem down", "{ g2, a2, b2, c3 }", false, {0, 2}, 0);
        row("no second", "{ c1, e1, g1 }", true, {}, 0);
        row("forced down", "\\stemsDown { f1, g1 }", false, {0}, 0);
        row("whole notes", "{ c1/1, d1 }", true, {1}, 0);
        row("second of sharps", "{ c#1, d#1 }", true, {1}, 2);
        row("accidentals on thirds and a second", "{ c#1, e&1, f#1, a&1 }", true, {2}, 4);
        row("octave", "{ f#1, f#2 }", false, {}, 2);
        row("cluster mixed with naturals", "{ c1, d#1, e1, g#1 }", true, {1}, 2);
        row("cluster of accidentals, stem down", "{ a#1, b1, c#2, d#2 }", false, {0, 2}, 3);
    }

    // The upper head of a second sits right of an up stem, the lower left of a down one; no two
    // heads overlap but at the stem; the accidentals stand left of all heads, clear of each other.
    void chordSecondsAndAccidentalsDoNotCollide()
    {
        QFETCH(QByteArray, chord);
        QFETCH(bool, stemUp);
        QFETCH(QVector<int>, displaced);
        const ScoreLayout layout = LayText("[ \\clef<\"g2\"> " + chord + " ]");
        const std::vector<LayoutItem> heads = Items(layout, Role::Notehead),
                                      stems = Items(layout, Role::Stem),
                                      signs = Items(layout, Role::Accidental);
        double normalX = 1e9, headsLeft = 1e9;
        for (const LayoutItem& head : heads) {
            headsLeft = std::min(headsLeft, Box(head).left());
            if (!displaced.contains(head.noteIndex))
                normalX = std::min(normalX, head.origin.x());
        }
        for (const LayoutItem& head : heads) {
            const double shift = head.origin.x() - normalX;
            const bool moved = displaced.contains(head.noteIndex);
            QVERIFY(!moved ? shift == 0.0 : stemUp ? shift > 0.9 : shift < -0.9);
            // A displaced head touches the stem from the other side.
            QVERIFY(!moved || stems.empty() || Box(head).intersects(Box(stems[0])));
        }
        if (!stems.empty())
            QCOMPARE(stems[0].end.y() < stems[0].origin.y(), stemUp);
        const double stemThickness = FontMetadata::Instance().Defaults().stemThickness;
        for (size_t i = 0; i < heads.size(); ++i)
            for (size_t j = i + 1; j < heads.size(); ++j) {
                const QRectF overlap = Box(heads[i]).intersected(Box(heads[j]));
                QVERIFY(overlap.width() <= stemThickness + 1e-9 || overlap.height() < 0.05);
            }
        QTEST(int(signs.size()), "accidentals");
        for (size_t i = 0; i < signs.size(); ++i) {
            QVERIFY(Box(signs[i]).right() < headsLeft);
            for (size_t j = i + 1; j < signs.size(); ++j)
                QVERIFY(Box(signs[i]).intersected(Box(signs[j])).height() <= 0.1);
        }
    }

    // The accidental of each note (-1: none): a key signature's own need none, a sign holds to
    // the bar line, and a bar line of one hand ends the measure of both staves.
    void accidentalsFollowKeyAndBar_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<int>>("signs");
        const int sharp = int(SmuflGlyph::accidentalSharp), natural = int(SmuflGlyph::accidentalNatural);
        QTest::newRow("D major, sharps to the bar") << QByteArray("[ \\key<2> f#1 f1 c#2 g#1 g#1 | g#1 g1 ]")
                                                    << QList<int>{-1, natural, -1, sharp, -1, sharp, natural};
        QTest::newRow("bar of the treble hand only")
            << GrandStaff("c1/2 | c1/2", "f#0/2 f#0/2") << QList<int>{-1, -1, sharp, sharp};
    }
    void accidentalsFollowKeyAndBar()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<int>, signs);
        const ScoreLayout layout = LayText(text);
        QList<int> got;
        for (int note = 0; note < signs.size(); ++note) {
            const std::vector<LayoutItem> sign = Items(layout, Role::Accidental, note);
            got.append(sign.empty() ? -1 : int(sign[0].glyph));
        }
        QCOMPARE(got, signs);
        QCOMPARE(int(Items(layout, Role::Accidental).size()), int(signs.size() - signs.count(-1)));
    }

    // Flags on their stems and the room longer notes take are pinned by the golden picture
    // engraved_example (test_score_builder).
    void dotsAndRests()
    {
        ScoreLayout layout = LayText("[ \\meter<\"4/4\"> c1/8 a1/16 e1/4. _/4 _/1 g1/2 ]");
        // The dot of a note on a line (e1 is the bottom line) goes in the space above it.
        const std::vector<LayoutItem> dots = Items(layout, Role::Dot);
        QCOMPARE(int(dots.size()), 1);
        const LayoutItem head = Items(layout, Role::Notehead, 2)[0];
        QCOMPARE(dots[0].origin.y(), head.origin.y() - 0.5);
        QVERIFY(dots[0].origin.x() > Box(head).right());
        std::vector<LayoutItem> rests = Items(layout, Role::Rest);
        QCOMPARE(int(rests.size()), 2);
        QCOMPARE(std::make_pair(rests[0].glyph, rests[1].glyph),
                 std::make_pair(SmuflGlyph::restQuarter, SmuflGlyph::restWhole));
        QCOMPARE(rests[1].origin.y(), layout.systems[0].staves[0].top + 1.0); // hangs from the fourth line

        // A rest filling its measure alone is centred between the bars; two in one are not.
        layout = LayText("[ c1/4 d e f | _/1 | g/1 | _/1 _/1 ]");
        const std::vector<LayoutItem> bars = Items(layout, Role::Barline);
        rests = Items(layout, Role::Rest);
        QCOMPARE(std::make_pair(bars.size(), rests.size()), std::make_pair(size_t(3), size_t(3)));
        QVERIFY(rests[0].measureRest);
        QVERIFY(qAbs(Box(rests[0]).center().x() - (bars[0].origin.x() + bars[1].origin.x()) / 2) < 1e-9);
        QVERIFY(!rests[1].measureRest && !rests[2].measureRest);
        QVERIFY(Box(rests[1]).right() < Box(rests[2]).left());
    }

    // Every glyph of the code-point table exists in the font, and its outline fills the box the
    // metadata gives it: a wrong code point would show here. Broken metadata is refused.
    void fontOutlinesMatchMetadata()
    {
        auto near = [](QPointF a, QPointF b) {
            return qAbs(a.x() - b.x()) < 0.05 && qAbs(a.y() - b.y()) < 0.05;
        };
        for (int i = 0; i < SmuflGlyphCount; ++i) {
            const auto glyph = static_cast<SmuflGlyph>(i);
            const QRectF outline = MusicFont::GlyphPath(glyph).boundingRect();
            const QRectF box = FontMetadata::Instance().BoundingBox(glyph);
            QVERIFY2(!outline.isEmpty() && near(outline.topLeft(), box.topLeft()) &&
                         near(outline.bottomRight(), box.bottomRight()),
                     SmuflName(glyph));
        }
        FontMetadata broken;
        QString message;
        QVERIFY(!broken.Load("{\"glyphBBoxes\": {}}", &message));
        QVERIFY(message.contains(QLatin1String("gClef")));
        QVERIFY(!broken.Load("not json", &message));
    }

    void longMusicBreaksIntoSystemsAndPages()
    {
        QByteArray text = "[ \\clef<\"g2\"> ";
        for (int i = 0; i < 120; ++i)
            text += "c1 d e f g a b c2 ";
        const ScoreLayout layout = LayText(text + "]");
        QVERIFY(layout.systems.size() > 4);
        QVERIFY(layout.pageCount > 1);
        int notes = 0;
        for (const LayoutSystem& system : layout.systems) {
            QVERIFY(system.staves[0].right <= layout.pageSize.width() - 0.4 + 1e-9);
            double clef = 1e9, firstNote = 1e9;
            for (const LayoutItem& item : system.items) {
                QVERIFY(item.origin.y() > 0.0 && item.origin.y() < layout.pageSize.height());
                notes += item.role == Role::Notehead;
                double& first = item.role == Role::Clef ? clef : firstNote;
                if (item.role == Role::Clef || item.role == Role::Notehead)
                    first = std::min(first, item.origin.x());
            }
            QVERIFY(clef < firstNote); // every system starts with its clef
        }
        QCOMPARE(notes, 960);
    }

    // The first voice of a staff has its stems up and its rests high, the second down, whatever the pitch.
    void secondVoiceOfAStaffStemsDown()
    {
        const ScoreLayout layout = LayText("{ [ \\staff<1> c2 d2 _ ], [ \\staff<1> g1 _ f1 ], "
                                           "[ \\staff<2> \\clef<\"f4\"> c-1/8 c3 ] }");
        QCOMPARE(int(layout.systems.at(0).staves.size()), 2); // the two voices share the upper staff
        auto stemOf = [&](int noteIndex) {
            const LayoutItem head = Items(layout, Role::Notehead, noteIndex)[0];
            for (const LayoutItem& stem : Items(layout, Role::Stem))
                if (stem.staff == head.staff &&
                    Box(stem).intersects(Box(head).adjusted(-0.1, -0.3, 0.1, 0.3)))
                    return stem.end.y() < stem.origin.y() ? 1 : -1;
            return 0;
        };
        QCOMPARE(stemOf(0), 1);  // c2, first voice: up although above the middle line
        QCOMPARE(stemOf(2), -1); // g1, second voice: down although below it
        std::vector<LayoutItem> rests = Items(layout, Role::Rest);
        QCOMPARE(int(rests.size()), 2);
        std::sort(rests.begin(), rests.end(),
                  [](const LayoutItem& a, const LayoutItem& b) { return a.order < b.order; });
        QVERIFY(rests[0].origin.y() < rests[1].origin.y() - 3.0);
    }

    void keySignaturesSitOnTheirLines_data()
    {
        QTest::addColumn<QByteArray>("clef");
        QTest::addColumn<int>("fifths");
        QTest::addColumn<QVector<int>>("steps");
        QTest::newRow("treble sharps") << QByteArray("g2") << 7 << QVector<int>{8, 5, 9, 6, 3, 7, 4};
        QTest::newRow("treble flats") << QByteArray("g2") << -7 << QVector<int>{4, 7, 3, 6, 2, 5, 1};
        QTest::newRow("bass sharps") << QByteArray("f4") << 7 << QVector<int>{6, 3, 7, 4, 1, 5, 2};
        QTest::newRow("bass flats") << QByteArray("f4") << -7 << QVector<int>{2, 5, 1, 4, 0, 3, -1};
    }

    void keySignaturesSitOnTheirLines()
    {
        QFETCH(QByteArray, clef);
        QFETCH(int, fifths);
        QFETCH(QVector<int>, steps);
        const ScoreLayout layout =
            LayText("[ \\clef<\"" + clef + "\"> \\key<" + QByteArray::number(fifths) + "> c1 ]");
        const std::vector<LayoutItem> signs = Items(layout, Role::KeySignature);
        QCOMPARE(int(signs.size()), steps.size());
        for (int i = 0; i < steps.size(); ++i) {
            QCOMPARE(signs[i].glyph, fifths > 0 ? SmuflGlyph::accidentalSharp : SmuflGlyph::accidentalFlat);
            QCOMPARE(signs[i].origin.y(), layout.systems[0].staves[0].top + 4.0 - steps[i] / 2.0);
            QVERIFY(i == 0 || signs[i].origin.x() > signs[i - 1].origin.x());
        }
    }

    void grandStaffKeepsStavesApartAndTimesAligned_data()
    {
        QTest::addColumn<QByteArray>("treble");
        QTest::addColumn<QByteArray>("bass");
        QTest::addColumn<bool>("plain"); // the usual distance suffices
        auto row = [](const char* name, const char* treble, const char* bass, bool plain) {
            QTest::newRow(name) << QByteArray(treble) << QByteArray(bass) << plain;
        };
        row("an empty lower staff", "c2 d e", "", true);
        row("treble C4 chord, bass C4 chord", "{c1, e1, g1}", "{e0, g0, c1}", true);
        row("treble A3, bass E4", "a0/1", "e1/1", true);
        row("treble A3, bass E4, with accidentals", "a&0/1", "e#1/1", false);
        row("treble F3, bass G4", "f0/1", "g1/1", false);
        row("treble C3, bass C5, stems into the gap", "c0/4", "c2/4", false);
        row("accidentals on one staff", "f#1 b&1 c#2 e2", "c0 d0 e0 f0", true);
        row("dotted notes and rests", "c1/4. d/8 e/2", "_/8 g-1/8 c0/8 d0 g-1/2", true);
        row("chords of both hands", "{c1, e, g} {d, f, b} {e&/2, g, c2}", "{c-1, c0} {g-1, g0} {a&-1/2, a&0}",
            true);
        row("metre of the treble hand, changed", "\\meter<\"3/4\"> d1/4 e f | \\meter<\"2/4\"> g a",
            "d0/2. | g-1/2", true);
        row("bars and stems both ways", "\\meter<\"2/4\"> a2 g | f1 e",
            "\\meter<\"2/4\"> c1 b0 | c-1/8 d e f", true);
    }

    // Staves 10 to 12 spaces apart where that suffices, never touching; notes on their own staff's
    // steps; heads of one time share their left edge across the staves, later times lie right.
    void grandStaffKeepsStavesApartAndTimesAligned()
    {
        QFETCH(QByteArray, treble);
        QFETCH(QByteArray, bass);
        QFETCH(bool, plain);
        ScoreDocument document;
        QVERIFY(document.SetGmnCode(GrandStaff(treble, bass)));
        QCOMPARE(int(document.Layout().systems.size()), 1);
        const LayoutSystem& system = document.Layout().systems[0];
        QCOMPARE(int(system.staves.size()), 2);
        const double distance = system.staves[1].top - system.staves[0].top;
        QVERIFY2(plain ? distance >= 10.0 && distance <= 12.0 : distance > 10.0,
                 qPrintable(QString::number(distance)));
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
        double upperBottom = system.staves[0].top + 4.0, lowerTop = system.staves[1].top;
        std::map<double, std::vector<double>> lefts; // time → left edges of its heads
        std::map<int, std::vector<double>> metres;   // staff → places of its metres' digits
        for (const LayoutItem& item : system.items) {
            if (item.role == Role::TimeSignature)
                metres[item.staff].push_back(item.origin.x());
            if (item.staff == 0)
                upperBottom = std::max(upperBottom, Box(item).bottom());
            else if (item.staff == 1)
                lowerTop = std::min(lowerTop, Box(item).top());
            if (item.role == Role::Notehead) {
                QCOMPARE(item.origin.y(), system.staves[item.staff].top + 4.0 - item.step / 2.0);
                lefts[timeOf.at(item.order)].push_back(Box(item).left());
            }
        }
        QVERIFY(lowerTop - upperBottom >= 0.5);
        // A metre of one hand shows on both staves at the same places, two digits each time.
        QCOMPARE(int(metres[0].size()), 2 * int(treble.count("\\meter")));
        QCOMPARE(metres[0], metres[1]);
        double previous = -1.0;
        int shared = 0;
        for (const auto& [time, xs] : lefts) {
            Q_UNUSED(time)
            for (double left : xs)
                QVERIFY(qAbs(left - xs.front()) < 1e-6);
            QVERIFY(xs.front() > previous);
            previous = xs.front();
            shared += xs.size() > 1;
        }
        QVERIFY(shared >= 1 || bass.isEmpty());
    }
};

QTEST_MAIN(TestLayoutEngine)
#include "test_layout_engine.moc"

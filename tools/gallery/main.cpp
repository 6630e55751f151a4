// gallery OUTPUT.png
// Draws a contact sheet of labelled engraved examples (every clef, chords with seconds and
// clustered accidentals, the highest and lowest keys, answer views in their colours, scales,
// key signatures, durations, grand staves) through the score picture builder, for a person to review.
// Each cell shows the inked part of the example's first page; at the end, a grand-staff page
// at the score board's size and the same page drawn at device pixel ratio 2.

#include "core/score_builder.h"
#include "notation/music_font.h"
#include "notation/score_document.h"
#include "notation/score_pictures.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

using Core::ScoreBuilder;

namespace {

struct Example
{
    QString label;
    QByteArray gmn;
};

// The opening of a minuet in G, as a piano score: a treble and a bass voice with bars.
QByteArray GrandStaffPiece()
{
    return "{ [ \\staff<1> \\clef<\"g2\"> \\key<1> \\meter<\"3/4\"> d2/4 g1/8 a b c2 | d2/4 g1 g | "
           "e2/4 c2/8 d e f# | g2/4 g1 g ], "
           "[ \\staff<2> \\clef<\"f4\"> \\key<1> {g0/2, b0, d1} a0/4 | b0/2. | c1/2. | b0/2. ] }";
}

std::vector<Example> Examples()
{
    using Notes = QVector<ScoreBuilder::AnswerNote>;
    std::vector<Example> examples{
        {"Question: C4, treble clef", ScoreBuilder::WriteQuestion({39}, true, false, 1)},
        {"Question: C3, bass clef", ScoreBuilder::WriteQuestion({27}, false, false, 1)},
        {"Alto clef: C4 D4 E4", "[ \\clef<\"c3\"> c1 d e ]"},
        {"Tenor clef: C4 D4 E4", "[ \\clef<\"c4\"> c1 d e ]"},
        {"Lowest key A0, bass clef", ScoreBuilder::WriteQuestion({0}, false, false, 1)},
        {"A#2 (key 25) on the treble staff", ScoreBuilder::WriteQuestion({25}, true, false, 1)},
        {"Highest key C8, treble clef", ScoreBuilder::WriteQuestion({87}, true, false, 1)},
        {"D#5 (key 54) on the bass staff", ScoreBuilder::WriteQuestion({54}, false, false, 1)},
        {"Chord with seconds C-D-E (stem up)", ScoreBuilder::WriteQuestion({39, 41, 43}, true, false, 3)},
        {"Chord with seconds G5-A5-B5 (stem down)",
         ScoreBuilder::WriteQuestion({58, 60, 62}, true, false, 3)},
        {"Clustered accidentals, flats", ScoreBuilder::WriteQuestion({40, 42, 44, 45, 47}, true, true, 3)},
        {"Clustered accidentals, sharps", ScoreBuilder::WriteQuestion({40, 42, 45, 47, 49}, true, false, 3)},
        {"Triad in the bass: C3 E3 G3", ScoreBuilder::WriteQuestion({27, 31, 34}, false, false, 3)},
        {"Dominant seventh G-B-D-F", ScoreBuilder::WriteQuestion({34, 38, 41, 44}, true, false, 3)},
        {"Interval: C4 to G4", ScoreBuilder::WriteQuestion({39, 46}, true, false, 2)},
        {"Interval: Bb2 to F3 (bass, flats)", ScoreBuilder::WriteQuestion({25, 32}, false, true, 2)},
        {"Answer: right note in green", ScoreBuilder::WriteAnswer(Notes{{39, 0}}, true, false)},
        {"Answer: wrong (red) and right (green)",
         ScoreBuilder::WriteAnswer(Notes{{39, 0}, {41, 1}}, true, false)},
        {"Answer: blue, black and green",
         ScoreBuilder::WriteAnswer(Notes{{39, 2}, {43, 3}, {46, 0}}, true, false)},
        {"Answer in the bass: red chord, green note",
         ScoreBuilder::WriteAnswer(Notes{{20, 1}, {22, 1}, {27, 0}}, false, true)},
        {"C major scale, ascending",
         ScoreBuilder::WriteQuestion({39, 41, 43, 44, 46, 48, 50, 51}, true, false, 0)},
        {"Eb major scale, descending",
         ScoreBuilder::WriteQuestion({54, 53, 51, 49, 47, 46, 44, 42}, true, true, 0)},
        {"Chromatic scale, sharps",
         ScoreBuilder::WriteQuestion({39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51}, true, false, 0)},
        {"Bass scale, A minor harmonic",
         ScoreBuilder::WriteQuestion({24, 26, 27, 29, 31, 32, 35, 36}, false, false, 0)},
        {"Key signatures with sharps: 1 to 7",
         "[ \\key<1> _/4 | \\key<2> _ | \\key<3> _ | \\key<4> _ | \\key<5> _ | \\key<6> _ | \\key<7> _ ]"},
        {"Key signatures with flats: 1 to 7", "[ \\key<-1> _/4 | \\key<-2> _ | \\key<-3> _ | \\key<-4> _ | "
                                              "\\key<-5> _ | \\key<-6> _ | \\key<-7> _ ]"},
        {"Bass clef, A major, 3/4", "[ \\clef<\"f4\"> \\key<3> \\meter<\"3/4\"> a-1/4 c#0 e | a/2. ]"},
        {"Durations: whole to 64th", "[ \\meter<\"4/4\"> g1/1 g/2 g/4 g/8 g/16 g/32 g/64 ]"},
        {"Dotted notes and flags down", "[ d2/2. d2/4.. c2/8. b1/16 ]"},
        {"Rests", "[ \\meter<\"C\"> _/1 | _/2 _/4 _/8 _/16 _/32 _/64 _/64 ]"},
        {"Metres: C, cut time, 6/8",
         "[ \\meter<\"C\"> c1/1 | \\meter<\"C/\"> c/1 | \\meter<\"6/8\"> c/4. c ]"},
        {"Grand staff", "{ [ \\staff<1> \\clef<\"g2\"> \\key<-1> {c1/2, e, g} {f, a, c2} ], [ \\staff<2> "
                        "\\clef<\"f4\"> \\key<-1> c-1/2 f-1 ] }"},
        {"Grand staff: treble C4 E4 G4 over bass C2 G2 C3",
         "{ [ \\staff<1> \\clef<\"g2\"> c1 e g ], [ \\staff<2> \\clef<\"f4\"> c-1 g-1 c0 ] }"},
        {"Grand staff: middle C from both staves", "{ [ \\staff<1> \\clef<\"g2\"> c1/1 | b0 ], "
                                                   "[ \\staff<2> \\clef<\"f4\"> c1/1 | d1 ] }"},
        {"Grand staff: treble A3 over bass E4 (ledger lines meet)",
         "{ [ \\staff<1> \\clef<\"g2\"> a0/2 {a0, c1} ], [ \\staff<2> \\clef<\"f4\"> e1/2 {c1, e1} ] }"},
        {"Grand staff: 3/4 with bars, metre given once", GrandStaffPiece()},
        {"Two voices on one staff", "{ [ \\staff<1> e2/4 d c b1 ], [ \\staff<1> c1/2 g0 ] }"},
        {"Accidentals through a bar", "[ \\meter<\"4/4\"> f#1 f f# g | f g#1 g g# ]"},
        {"Stems forced up and down", "[ \\stemsUp c2 d e \\stemsDown c1 d e \\stemsAuto g1 b1 ]"},
        {"Ledger lines both ways, bass", ScoreBuilder::WriteQuestion({1, 5, 47, 51}, false, false, 0)},
    };
    return examples;
}

// The smallest rectangle holding every pixel that is not transparent.
QRect InkBounds(const QImage& page)
{
    const QImage image = page.convertToFormat(QImage::Format_ARGB32);
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return image.rect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: gallery OUTPUT.png\n");
        return 2;
    }
    Notation::MusicFont::RegisterApplicationFont();

    const std::vector<Example> examples = Examples();
    const int columns = 3, cellWidth = 560, cellHeight = 215, pictureWidth = 525, pictureHeight = 175;
    const int rows = int(examples.size() + columns - 1) / columns;

    // The grand staff as the score board shows it: the page at the board's size (1050 × 350),
    // and the same page drawn for a screen of device pixel ratio 2, shown at its device pixels.
    const QByteArray piece = GrandStaffPiece();
    Notation::ScoreSet pieceSet;
    Notation::ScorePictureBuilder pieceBuilder;
    if (!pieceBuilder.build(piece, pieceSet)) {
        std::fprintf(stderr, "gallery: the grand-staff page: bad gmn code\n");
        return 1;
    }
    const QImage pieceAtOne = pieceSet.pages.first().score->toImage();
    QImage pieceAtTwo(pieceAtOne.size() * 2, QImage::Format_ARGB32_Premultiplied);
    pieceAtTwo.setDevicePixelRatio(2.0);
    pieceAtTwo.fill(Qt::transparent);
    {
        Notation::ScoreDocument document;
        document.SetGmnCode(piece);
        QPainter twoPainter(&pieceAtTwo);
        twoPainter.setRenderHint(QPainter::Antialiasing, true);
        twoPainter.setPen(QColor(0x00, 0x00, 0x20));
        document.DrawPage(&twoPainter, 0, QRectF(QPointF(0, 0), QSizeF(pieceAtOne.size())));
    }
    QImage twoCrop = pieceAtTwo.copy(InkBounds(pieceAtTwo).adjusted(-16, -16, 16, 16));
    twoCrop.setDevicePixelRatio(1.0);
    const int sheetWidth = std::max(columns * cellWidth, twoCrop.width()) + 20;
    const int bandTop = rows * cellHeight + 20;
    const int bandHeight = 22 + pieceAtOne.height() + 12 + 22 + twoCrop.height() + 12;

    QImage sheet(sheetWidth, bandTop + bandHeight, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont font = painter.font();
    font.setPixelSize(14);
    painter.setFont(font);
    int failures = 0;
    for (size_t i = 0; i < examples.size(); ++i) {
        const int x = 10 + int(i % columns) * cellWidth, y = 10 + int(i / columns) * cellHeight;
        painter.setPen(QColor(0x44, 0x44, 0x44));
        painter.drawText(QRect(x, y, cellWidth - 20, 20), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1. %2").arg(i + 1).arg(examples[i].label));
        const QRect frame(x, y + 22, pictureWidth, pictureHeight);
        painter.setPen(QColor(0xcc, 0xcc, 0xcc));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
        Notation::ScoreSet set;
        Notation::ScorePictureBuilder builder;
        if (!builder.build(examples[i].gmn, set)) {
            ++failures;
            painter.setPen(Qt::red);
            painter.drawText(frame, Qt::AlignCenter, QStringLiteral("bad gmn code"));
            continue;
        }
        // Show the inked part of the page, at most at its natural size, so that small examples
        // can be read; the crop keeps the cell's proportions.
        const QImage page = set.pages.first().score->toImage();
        const QRect ink = InkBounds(page).adjusted(-12, -12, 12, 12).intersected(page.rect());
        QRectF source(ink);
        const double aspect = double(pictureWidth) / pictureHeight;
        if (source.width() / source.height() < aspect)
            source.setWidth(source.height() * aspect);
        else {
            const double grow = source.width() / aspect - source.height();
            source.adjust(0, -grow / 2, 0, grow / 2);
        }
        if (source.width() < pictureWidth) {
            const QPointF centre = source.center();
            source.setSize(QSizeF(pictureWidth, pictureHeight));
            source.moveCenter(QPointF(source.width() / 2 + ink.left(), centre.y()));
        }
        painter.drawImage(QRectF(frame), page, source);
    }
    {
        int y = bandTop;
        painter.setPen(QColor(0x44, 0x44, 0x44));
        painter.drawText(QRect(10, y, sheetWidth - 20, 20), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1. Grand staff page at 1050 x 350, device pixel ratio 1")
                             .arg(examples.size() + 1));
        y += 22;
        painter.setPen(QColor(0xcc, 0xcc, 0xcc));
        painter.drawRect(QRect(QPoint(10, y), pieceAtOne.size()).adjusted(-1, -1, 0, 0));
        painter.drawImage(QPoint(10, y), pieceAtOne);
        y += pieceAtOne.height() + 12;
        painter.setPen(QColor(0x44, 0x44, 0x44));
        painter.drawText(
            QRect(10, y, sheetWidth - 20, 20), Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("%1. The same page at device pixel ratio 2, inked part at device pixels")
                .arg(examples.size() + 2));
        y += 22;
        painter.setPen(QColor(0xcc, 0xcc, 0xcc));
        const QRect twoFrame(QPoint(10, y), twoCrop.size());
        painter.drawRect(twoFrame.adjusted(-1, -1, 0, 0));
        painter.drawImage(twoFrame.topLeft(), twoCrop);
    }
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "gallery: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("gallery: %d examples written to %s\n", int(examples.size()) + 2, argv[1]);
    return failures == 0 ? 0 : 1;
}

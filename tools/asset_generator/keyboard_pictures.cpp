// The on-screen piano's key pictures. Each white key is drawn with its cut-outs where the black
// keys lie over it (the keyboard paints black keys after white ones), each black key as a raised
// ebony body; six looks share one drawing with different colours.

#include "asset_book.h"
#include "design.h"
#include "pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using namespace Design;

struct KeyLook
{
    const char* set;
    QColor top, bottom;       // white key face
    QColor blackTop, blackBottom;
    QColor edge;
    bool sunk; // pressed: the face is darker at the top and has no lip
};

KeyLook AnswerLook(const char* set, const AnswerShades& shades)
{
    return {set, shades.light, shades.face, shades.face, shades.dark, shades.edge, false};
}

// The looks of the standard palette; with `answers` only the three answer looks of that palette.
std::vector<KeyLook> Looks(const AnswerPalette* answers = nullptr)
{
    std::vector<KeyLook> looks;
    if (!answers) {
        looks = {
            {"normal", Ivory(), IvoryShade(), EbonyLight(), Ebony(), KeyEdge(), false},
            {"hover", QColor(0xff, 0xf3, 0xe0), QColor(0xff, 0xd9, 0xa6), QColor(0x7a, 0x5a, 0x36),
             QColor(0x3a, 0x2a, 0x1a), AccentDark(), false},
            {"pressed", QColor(0xcf, 0xcc, 0xc4), QColor(0xe8, 0xe5, 0xde), QColor(0x30, 0x31, 0x36),
             QColor(0x22, 0x23, 0x27), KeyEdge(), true},
        };
    }
    const AnswerPalette palette = answers ? *answers : StandardAnswers();
    looks.push_back(AnswerLook("green", palette.right));
    looks.push_back(AnswerLook("red", palette.wrong));
    looks.push_back(AnswerLook("blue", palette.missed));
    return looks;
}

// Black keys within an octave (units from the octave's left end): start and width.
struct Span
{
    double left, right;
};
const Span octaveBlackKeys[] = {{21, 40}, {65, 84}, {126, 145}, {165, 185}, {206, 225}};

// The cut-outs of a white key whose left end lies `keyLeft` units into an octave-like row of
// black keys, in the key's own coordinates. The outline stays one unit inside each black key so
// that no seam shows.
std::vector<Span> CutOuts(double keyLeft, const std::vector<Span>& blacks)
{
    std::vector<Span> cuts;
    for (const Span& black : blacks) {
        const double left = std::max(black.left + 1, keyLeft) - keyLeft;
        const double right = std::min(black.right - 1, keyLeft + WhiteKeyWidth) - keyLeft;
        if (right > 0 && left < WhiteKeyWidth)
            cuts.push_back({std::max(0.0, left), std::min(double(WhiteKeyWidth), right)});
    }
    return cuts;
}

void WhiteKey(QPainter& p, const QSizeF& size, const std::vector<Span>& cuts, const KeyLook& look)
{
    const double w = size.width(), h = size.height(), r = 4.0, gap = 0.6;
    // Outline: full width below the black keys, narrower above where black keys cut in.
    double upperLeft = gap, upperRight = w - gap;
    for (const Span& cut : cuts) {
        if (cut.left <= 0.5)
            upperLeft = cut.right + gap;
        else
            upperRight = cut.left - gap;
    }
    QPainterPath outline;
    outline.moveTo(upperLeft, 0);
    outline.lineTo(upperRight, 0);
    outline.lineTo(upperRight, BlackKeyHeight);
    outline.lineTo(w - gap, BlackKeyHeight);
    outline.lineTo(w - gap, h - r);
    outline.quadTo(w - gap, h - 0.5, w - gap - r, h - 0.5);
    outline.lineTo(gap + r, h - 0.5);
    outline.quadTo(gap, h - 0.5, gap, h - r);
    outline.lineTo(gap, BlackKeyHeight);
    outline.lineTo(upperLeft, BlackKeyHeight);
    outline.closeSubpath();
    QLinearGradient face(0, 0, 0, h);
    face.setColorAt(0, look.sunk ? look.top.darker(108) : look.top);
    face.setColorAt(0.85, look.bottom);
    face.setColorAt(1, look.bottom.darker(look.sunk ? 104 : 112));
    p.setPen(QPen(look.edge, 1.0));
    p.setBrush(face);
    p.drawPath(outline);
    if (!look.sunk) {
        // The front lip of the key.
        QColor lip = Qt::white;
        lip.setAlpha(110);
        p.setPen(Qt::NoPen);
        p.setBrush(lip);
        p.drawRoundedRect(QRectF(gap + 2, h - 9, w - 2 * gap - 4, 3), 1.5, 1.5);
    }
    // Shadow cast by the neighbouring black keys onto this key.
    QColor shade = Qt::black;
    shade.setAlpha(look.sunk ? 60 : 35);
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    if (upperLeft > gap + 0.5)
        p.drawRect(QRectF(upperLeft, 0, 2.0, BlackKeyHeight + 2));
    if (upperRight < w - gap - 0.5)
        p.drawRect(QRectF(upperRight - 2.0, 0, 2.0, BlackKeyHeight + 2));
}

void BlackKey(QPainter& p, const QSizeF& size, const KeyLook& look)
{
    const double w = size.width(), h = size.height();
    const QRectF body(0.5, -2, w - 1, h + 1.5);
    p.setPen(QPen(QColor(0, 0, 0, 200), 1.0));
    QLinearGradient side(0, 0, w, 0);
    side.setColorAt(0, look.blackBottom);
    side.setColorAt(0.5, look.blackTop);
    side.setColorAt(1, look.blackBottom);
    p.setBrush(side);
    p.drawRoundedRect(body, 2.5, 2.5);
    // The top face, shorter when the key is pressed down.
    const double faceBottom = look.sunk ? h - 4 : h - 10;
    QLinearGradient face(0, 0, 0, faceBottom);
    face.setColorAt(0, look.blackBottom);
    face.setColorAt(1, look.blackTop);
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRoundedRect(QRectF(2.5, 0, w - 5, faceBottom), 1.5, 1.5);
    QColor shine = Qt::white;
    shine.setAlpha(look.sunk ? 20 : 45);
    p.setBrush(shine);
    p.drawRoundedRect(QRectF(3.5, faceBottom - 3, w - 7, 2), 1, 1);
}

void Highlight(QPainter& p, const QSizeF& size, bool left)
{
    // A glow along the edge next to the highlighted octave, fading away from it.
    QLinearGradient glow(0, 0, size.width(), 0);
    QColor strong = Accent(), clear = Accent();
    strong.setAlpha(230);
    clear.setAlpha(0);
    glow.setColorAt(left ? 1 : 0, strong);
    glow.setColorAt(left ? 0 : 1, clear);
    p.fillRect(QRectF(QPointF(0, 0), size), glow);
    p.fillRect(QRectF(left ? size.width() - 2 : 0, 0, 2, size.height()), AccentLight());
}

} // namespace

void AddKeyboardPictures(AssetBook& book)
{
    std::vector<Span> octave(std::begin(octaveBlackKeys), std::end(octaveBlackKeys));
    // White keys: their place in the octave (C = 0 … B = 6) and picture names.
    const struct
    {
        const char* name;
        int index;
    } whites[] = {{"C", 0}, {"D", 1}, {"E", 2}, {"F", 3}, {"G", 4}, {"A", 5}, {"B", 6}};
    const struct
    {
        const char* name;
        int width;
    } blacks[] = {{"C_sharp", 19}, {"D_sharp", 19}, {"F_sharp", 19}, {"G_sharp", 20}, {"A_sharp", 19}};
    const QSize whiteSize(WhiteKeyWidth, KeyboardHeight);
    std::vector<std::pair<KeyLook, QString>> sets; // the look and its palette's folder
    for (const KeyLook& look : Looks())
        sets.emplace_back(look, QString());
    const AnswerPalette colourBlind = ColourBlindAnswers();
    for (const KeyLook& look : Looks(&colourBlind))
        sets.emplace_back(look, colourBlind.folder);
    for (const auto& [look, folder] : sets) {
        const QString set = QString::fromLatin1(look.set);
        const QString suffix = set == QLatin1String("normal") ? QString() : QLatin1Char('_') + set;
        auto path = [&, folder = folder](const char* name) {
            return QStringLiteral("pixmap/%1GKC/%2/%3%4.png").arg(folder, set, QLatin1String(name), suffix);
        };
        const KeyLook shown = look;
        for (const auto& white : whites) {
            const std::vector<Span> cuts = CutOuts(WhiteKeyWidth * white.index, octave);
            book.AddPicture(path(white.name), whiteSize,
                            [cuts, shown](QPainter& p, const QSizeF& s) { WhiteKey(p, s, cuts, shown); });
        }
        for (const auto& black : blacks)
            book.AddPicture(path(black.name), QSize(black.width, BlackKeyHeight),
                            [shown](QPainter& p, const QSizeF& s) { BlackKey(p, s, shown); });
        // A0 has only A♯0 (30 to 49) to its right; C8 stands alone.
        const std::vector<Span> firstCuts = CutOuts(0, {{30, 49}});
        book.AddPicture(path("Afirst"), whiteSize,
                        [firstCuts, shown](QPainter& p, const QSizeF& s) { WhiteKey(p, s, firstCuts, shown); });
        book.AddPicture(path("Clast"), whiteSize,
                        [shown](QPainter& p, const QSizeF& s) { WhiteKey(p, s, {}, shown); });
    }
    // On the sheet: A0 to B2 put together as the keyboard paints them, with every look shown.
    const std::vector<KeyLook> looks = Looks();
    book.AddPreview(QStringLiteral("Keyboard A0 to B2 at 4/5 scale: hover E1, pressed G1, green C2, red F#2, blue A#1 and B2"),
                    QSize(int(630 * 0.8), int(KeyboardHeight * 0.8)), [=](QPainter& p, const QSizeF&) {
        p.scale(0.8, 0.8);
        auto lookOf = [&](int key) {
            const char* set = key == 7 ? "hover" : key == 10 ? "pressed" : key == 15 ? "green"
                            : key == 21 ? "red" : key == 13 ? "blue" : key == 26 ? "blue" : "normal";
            for (const KeyLook& look : looks)
                if (QByteArray(look.set) == set)
                    return look;
            return looks.front();
        };
        const bool isBlack[12] = {false, true, false, true, false, false, true, false, true, false, true, false};
        const int whiteIndex[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
        const int blackOffset[12] = {0, 21, 0, 65, 0, 0, 126, 0, 165, 0, 206, 0};
        for (int pass = 0; pass < 2; ++pass) {
            for (int key = 0; key < 27; ++key) {
                const KeyLook look = lookOf(key);
                p.save();
                if (key < 3) {
                    if (pass == 0 && key != 1) {
                        p.translate(key == 0 ? 0 : 35, 0);
                        WhiteKey(p, QSizeF(35, 180), key == 0 ? CutOuts(0, {{30, 49}}) : CutOuts(210, octave), look);
                    } else if (pass == 1 && key == 1) {
                        p.translate(30, 0);
                        BlackKey(p, QSizeF(19, BlackKeyHeight), look);
                    }
                } else {
                    const int note = (key - 3) % 12, octaveX = 70 + 245 * ((key - 3) / 12);
                    if (pass == 0 && !isBlack[note]) {
                        p.translate(octaveX + 35 * whiteIndex[note], 0);
                        WhiteKey(p, QSizeF(35, 180), CutOuts(35 * whiteIndex[note], octave), look);
                    } else if (pass == 1 && isBlack[note]) {
                        p.translate(octaveX + blackOffset[note], 0);
                        BlackKey(p, QSizeF(note == 8 ? 20 : 19, BlackKeyHeight), look);
                    }
                }
                p.restore();
            }
        }
    });
    book.AddPicture(QStringLiteral("pixmap/GKC/highlightL"), OctaveHighlight,
                    [](QPainter& p, const QSizeF& s) { Highlight(p, s, true); });
    book.AddPicture(QStringLiteral("pixmap/GKC/highlightR"), OctaveHighlight,
                    [](QPainter& p, const QSizeF& s) { Highlight(p, s, false); });
}

#pragma once
// The one place of the asset generator that decides how Cantorela looks: colours, corner radii,
// type and the sizes of the pictures. Every drawing function reads from here, so a change of the
// palette or of a size changes every picture that uses it.

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>

#include <vector>

namespace Design {

// Palette. The tool bar is dark with white text and an orange highlight; the score pane is a warm
// grey; right, wrong and missed answers are green, red and blue (see AnswerPalette for the
// colour-blind ones).
inline QColor ToolbarTop() { return QColor(0x34, 0x37, 0x40); }
inline QColor ToolbarBottom() { return QColor(0x1e, 0x20, 0x26); }
inline QColor ToolbarLine() { return QColor(0x4a, 0x4e, 0x5a); }
inline QColor Text() { return QColor(255, 255, 255); }
inline QColor TextMuted() { return QColor(0xc9, 0xcd, 0xd6); }
inline QColor Accent() { return QColor(0xf5, 0x9a, 0x23); }
inline QColor AccentLight() { return QColor(0xff, 0xc1, 0x5e); }
inline QColor AccentDark() { return QColor(0xd8, 0x70, 0x10); }
inline QColor ScorePane() { return QColor(198, 196, 194); }
inline QColor Right() { return QColor(7, 153, 93); }
inline QColor RightAlt() { return QColor(0x00, 0x99, 0x6c); }
inline QColor RightLight() { return QColor(0x3c, 0xc9, 0x8c); }
inline QColor Wrong() { return QColor(190, 73, 73); }
inline QColor WrongAlt() { return QColor(0xdc, 0x40, 0x40); }
inline QColor WrongLight() { return QColor(0xee, 0x7a, 0x6e); }
inline QColor Missed() { return QColor(0x27, 0x89, 0xdd); }
inline QColor MissedLight() { return QColor(0x6c, 0xb5, 0xf0); }
inline QColor Ink() { return QColor(0x1d, 0x1e, 0x24); }
inline QColor Card() { return QColor(0xff, 0xff, 0xff); }
inline QColor CardEdge() { return QColor(0xd6, 0xd2, 0xcd); }
inline QColor Control() { return QColor(0x4b, 0x50, 0x5c); }
inline QColor ControlLight() { return QColor(0x62, 0x68, 0x76); }
inline QColor ControlDark() { return QColor(0x2a, 0x2d, 0x34); }
inline QColor Disabled() { return QColor(0x8a, 0x8d, 0x94); }
inline QColor BackdropTop() { return QColor(0x1f, 0x2f, 0x4a); }
inline QColor BackdropBottom() { return QColor(0x12, 0x18, 0x26); }
inline QColor Ivory() { return QColor(0xfd, 0xfc, 0xf8); }
inline QColor IvoryShade() { return QColor(0xe6, 0xe3, 0xdc); }
inline QColor KeyEdge() { return QColor(0x9e, 0x9a, 0x92); }
inline QColor Ebony() { return QColor(0x15, 0x16, 0x1a); }
inline QColor EbonyLight() { return QColor(0x4a, 0x4c, 0x54); }

// The colours of one answer kind on a picture: the face, its lighter top, a dark shade (the
// sides of a black key) and the edge.
struct AnswerShades
{
    QColor face, light, dark, edge;
};

// Right, wrong and missed answers in one palette. The standard one is green, red and blue; the
// colour-blind one (after Okabe and Ito) is blue, vermilion and reddish purple, which stay apart
// in every common kind of colour blindness. Its pictures carry the same names in the folder
// "colourblind/" after the first "pixmap/" of the path. Shades under white text (the choice
// buttons, the numbers of the progress capsules) keep it at 4.5:1 or more.
struct AnswerPalette
{
    QString folder; // inserted after "pixmap/"
    AnswerShades right, wrong, missed;
    QColor rightFrame, wrongFrame;        // the section end cards
    AnswerShades rightButton, wrongButton; // under white text
    AnswerShades rightBar, wrongBar;       // the progress capsules

    // `path` ("PIX/pixmap/x.png") of this palette's picture.
    QString Path(const QString& path) const
    {
        QString result = path;
        const QString pixmap = QStringLiteral("pixmap/");
        const int at = result.indexOf(pixmap);
        return folder.isEmpty() || at < 0 ? result : result.insert(at + pixmap.size(), folder);
    }
};

inline AnswerPalette StandardAnswers()
{
    AnswerPalette p;
    p.right = {Right(), RightLight(), QColor(0x03, 0x5e, 0x38), QColor(0x05, 0x6b, 0x41)};
    p.wrong = {Wrong(), WrongLight(), QColor(0x7a, 0x26, 0x26), QColor(0x8a, 0x2e, 0x2e)};
    p.missed = {Missed(), MissedLight(), QColor(0x12, 0x4f, 0x86), QColor(0x17, 0x5c, 0x98)};
    p.rightFrame = RightAlt();
    p.wrongFrame = WrongAlt();
    p.rightButton = {QColor(0x00, 0x70, 0x44), QColor(0x0a, 0x84, 0x50), {}, QColor(0x05, 0x5a, 0x37)};
    p.wrongButton = {QColor(0xb0, 0x3c, 0x3c), QColor(0xc4, 0x4c, 0x4c), {}, QColor(0x80, 0x2a, 0x2a)};
    p.rightBar = {Right(), RightLight(), {}, {}};
    p.wrongBar = {Wrong(), WrongLight(), {}, {}};
    return p;
}

inline AnswerPalette ColourBlindAnswers()
{
    AnswerPalette p;
    p.folder = QStringLiteral("colourblind/");
    p.right = {QColor(0x00, 0x72, 0xb2), QColor(0x56, 0xb4, 0xe9), QColor(0x00, 0x45, 0x70), QColor(0x00, 0x52, 0x84)};
    p.wrong = {QColor(0xd5, 0x5e, 0x00), QColor(0xf0, 0xa0, 0x50), QColor(0x7a, 0x36, 0x00), QColor(0x8c, 0x3e, 0x00)};
    p.missed = {QColor(0xcc, 0x79, 0xa7), QColor(0xe8, 0xb4, 0xd0), QColor(0x7e, 0x3c, 0x64), QColor(0x92, 0x48, 0x74)};
    p.rightFrame = QColor(0x00, 0x72, 0xb2);
    p.wrongFrame = QColor(0xd5, 0x5e, 0x00);
    p.rightButton = {QColor(0x00, 0x66, 0xa0), QColor(0x14, 0x78, 0xb8), {}, QColor(0x00, 0x4a, 0x78)};
    p.wrongButton = {QColor(0xaa, 0x44, 0x00), QColor(0xc2, 0x52, 0x00), {}, QColor(0x7a, 0x32, 0x00)};
    p.rightBar = {QColor(0x00, 0x66, 0xa0), QColor(0x14, 0x78, 0xb8), {}, {}};
    p.wrongBar = {QColor(0xaa, 0x44, 0x00), QColor(0xc2, 0x52, 0x00), {}, {}};
    return p;
}

inline std::vector<AnswerPalette> AnswerPalettes() { return {StandardAnswers(), ColourBlindAnswers()}; }

// Corner radii and strokes, in logical pixels.
constexpr double RadiusSmall = 3.0;
constexpr double RadiusMedium = 7.0;
constexpr double RadiusLarge = 12.0;
constexpr double Hairline = 1.0;

// Type: Lato from its files (see main.cpp), never a font the system may lack.
inline QString TextFamily() { return QStringLiteral("Lato"); }
inline QFont TextFont(double pixelSize, int weight = QFont::Normal, bool italic = false)
{
    QFont font(TextFamily());
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(weight);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Logical sizes of the pictures.
constexpr QSize Indicator{13, 13};
constexpr QSize Tab{110, 40};
constexpr QSize Header{240, 56};
constexpr QSize WindowButton{32, 32};
constexpr QSize TitleMark{31, 40};
constexpr QSize ChoiceButton{180, 56};
constexpr QSize TimeIcon{16, 16};
constexpr QSize Footer{200, 39};
constexpr QSize Grip{26, 26};
constexpr QSize ProgressMain{300, 24};
constexpr QSize ProgressThin{300, 10};
constexpr QSize ProgressScore{400, 36};
constexpr QSize Home{1000, 620};
constexpr QSize HomeBig{1400, 860};
constexpr QSize SectionEnd{420, 260};
constexpr QSize Pointer{16, 16};
constexpr QSize LevelButton{120, 96};
constexpr QSize Symbol{320, 200};
constexpr QSize OctaveHighlight{12, 180};

// Notation in the symbol pictures: pixels per staff space.
constexpr double StaffSpace = 19.0;
constexpr double TempoStaffSpace = 13.0;
constexpr double SymbolMargin = 14.0;

// Keyboard reference layout (units of the keyboard widget).
constexpr int WhiteKeyWidth = 35;
constexpr int KeyboardHeight = 180;
constexpr int BlackKeyHeight = 108;

} // namespace Design

#pragma once
// The one place of the asset generator that decides how Cantorela looks: colours, corner radii,
// type and the sizes of the pictures. Every drawing function reads from here, so a change of the
// palette or of a size changes every picture that uses it.

#include <QColor>
#include <QFont>
#include <QSize>

namespace Design {

// Palette. The tool bar is dark with white text and an orange highlight; the score pane is a warm
// grey; right, wrong and missed answers are green, red and blue.
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
constexpr QSize Title{260, 40};
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

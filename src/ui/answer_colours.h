#pragma once
// The colours of right, wrong and missed answers wherever the program shows them, in one of two
// palettes: the standard green, red and blue, or the colour-blind friendly one (the general
// setting "Colour-blind friendly colours"): blue, vermilion and reddish purple after Okabe and
// Ito, which stay apart in every common kind of colour blindness.
//
// The palette's pictures (choice buttons, key sets, progress capsules, section end cards) carry
// the names of the standard ones in the folder "colourblind/" after the first "pixmap/" of their
// resource path (tools/asset_generator draws both). Style sheets written with the standard
// colours and pictures are turned into the palette in force by styleSheet(); a widget that paints
// answer colours itself asks colour() or picture() when it paints and is repainted when the
// palette changes. GUI thread.

#include <QColor>
#include <QObject>
#include <QString>

namespace UI {

class AnswerColours : public QObject
{
    Q_OBJECT
public:
    enum Palette
    {
        StandardPalette,
        ColourBlindPalette,
    };
    enum Kind
    {
        Right,
        Wrong,
        Missed,
    };

    static Palette palette();
    // Puts `palette` in force: every widget's style sheet that shows an answer colour or picture
    // turns to it, every widget is repainted, and paletteChanged() is emitted. Nothing happens when
    // the palette is already in force.
    static void setPalette(Palette palette);
    // The object that emits paletteChanged().
    static AnswerColours* notifier();

    // The fill of an answer kind: the score pane's border, the marked keys, the answer notes.
    static QColor colour(Kind kind);
    static QColor colour(Kind kind, Palette palette);
    // Text in an answer kind's colour, readable (4.5:1) on the light panes.
    static QColor textColour(Kind kind);
    static QColor textColour(Kind kind, Palette palette);
    // The resource path of `path`'s picture in the palette in force: an answer picture of the
    // other palette is swapped, any other path is returned as given.
    static QString picture(const QString& path);
    // `sheet` in the palette in force: its answer colours ("color:" ones as text colours) and
    // answer pictures, written in either palette, turned to this one's.
    static QString styleSheet(const QString& sheet);

Q_SIGNALS:
    void paletteChanged();

private:
    AnswerColours() = default;
};

} // namespace UI

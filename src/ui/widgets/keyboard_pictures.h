#pragma once
// The pictures the drawn piano is painted from: the fourteen key shapes (see
// KeyboardGeometry::Key::shape) in six looks, and the two highlights that frame a picked octave.
// The green, red and blue looks (right, wrong, missed) are those of the answer palette in force
// when a key is painted (UI::AnswerColours).
// They are loaded from the compiled-in resources once for all keyboards, plain and "@2x". A
// KeyboardPictures object holds them scaled for one widget scale and one device pixel ratio, the
// "@2x" ones whenever a unit covers more than one device pixel, each to the exact device pixels
// its key covers, so that painting is a plain copy. GUI thread.

#include "keyboard_geometry.h"

#include <QHash>
#include <QPixmap>

class KeyboardPictures
{
public:
    enum PictureSet
    {
        NormalSet,
        HoverSet,
        PressedSet,
        GreenSet,
        RedSet,
        BlueSet,
        SetCount
    };
    enum Highlight
    {
        LeftHighlight,
        RightHighlight,
    };

    // Loads the shared pictures if that has not happened yet.
    static void load();
    // The width of the highlight pictures, in reference units.
    static double highlightWidth();

    // The pictures for a widget of `scale` pixels per unit on a device of `ratio`.
    KeyboardPictures(const QPointF& scale, qreal ratio);

    qreal ratio() const { return m_ratio; }
    // The device pixels the key's picture covers.
    const QRect& keyPlace(int key) const { return m_keyPlaces[size_t(key)]; }
    // The key's picture of one set, scaled to its place.
    const QPixmap& keyPicture(int key, PictureSet set);
    // A highlight picture scaled to `pixels` device pixels.
    const QPixmap& highlightPicture(Highlight side, const QSize& pixels);

private:
    // A source picture (see SharedPictures) scaled to `pixels`; scaled once and kept.
    const QPixmap& scaledPicture(int source, const QSize& pixels);

    qreal m_ratio = 1.0;
    bool m_dense = false;
    std::array<QRect, KeyboardGeometry::KeyCount> m_keyPlaces;
    QHash<quint64, QPixmap> m_scaled; // (source, width, height)
    std::array<std::array<QPixmap, KeyboardGeometry::KeyCount>, SetCount> m_keyPictures;
    // The source sets the answer sets' pictures in m_keyPictures were made from.
    std::array<int, SetCount - GreenSet> m_answerSources{GreenSet, RedSet, BlueSet};
};

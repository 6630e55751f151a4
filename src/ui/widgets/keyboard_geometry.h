#pragma once
// Where the keys of the drawn piano lie. One fixed reference layout of 1820 x 180 units holds
// the 88 keys (key k is MIDI note k + 21) in nine octave groups: A0-B0, the seven octaves C1-B7
// and C8. A KeyboardGeometry scales that layout to one widget size: which key lies under a point
// and each key's hit area in widget pixels. A white key's hit area is its narrow part between the
// black keys plus its full-width part below them. GUI thread.

#include "music_control.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QSize>

#include <array>

class KeyboardGeometry
{
public:
    // The reference layout, in units.
    static constexpr double ReferenceWidth = 1820;
    static constexpr double ReferenceHeight = 180;
    static constexpr double BlackKeyLine = 108; // where the black keys end
    static constexpr double WhiteKeyWidth = 35;
    static constexpr int GroupCount = 9;
    static constexpr int KeyCount = MusicControl::KeyCount;

    // One key of the reference layout.
    struct Key
    {
        int shape = 0; // 0 the first A, 1-12 C to B, 13 the last C: the picture that draws it
        QRectF upper;  // above the black-key line; a black key's whole body
        QRectF lower;  // white keys: the full-width part below the black keys
        QPointF picturePos;
        bool isWhite = true;

        // The area the key's picture covers.
        QRectF pictureArea() const;
    };

    static const Key& key(int key);
    // The area of octave group `group`, in units.
    static QRectF groupArea(int group);
    // The octave group of a key, -1 for no key.
    static int groupOf(int key);
    static int groupFirstKey(int group);
    static int groupLastKey(int group);
    // The device pixels a picture placed on `units` covers at `scale` pixels per unit: edges
    // rounded, so that neighbouring keys meet without a gap or an overlap.
    static QRect toDevicePixels(const QRectF& units, const QPointF& scale, qreal ratio);

    // Scales the layout to a widget of `size`.
    void setSize(const QSize& size);
    // (-1, -1) until a size is set.
    QSize size() const { return m_size; }
    // Widget pixels per unit.
    QPointF scale() const { return m_scale; }

    // The key under `position` (widget pixels), or -1.
    int keyAt(const QPointF& position) const;
    // The key's hit area in widget pixels; empty for no key.
    QRegion keyRegion(int key) const;
    // Every pixel of octave group `group`, in widget pixels.
    QRect groupRect(int group) const { return m_groupRects[size_t(group)]; }

private:
    QSize m_size{-1, -1};
    QPointF m_scale{1.0, 1.0};
    std::array<QRegion, KeyCount> m_keyRegions;
    std::array<QRect, GroupCount> m_groupRects;
};

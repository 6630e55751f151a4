#include "keyboard_geometry.h"

#include <cmath>

namespace {

using Key = KeyboardGeometry::Key;

constexpr double BlackKeyLine = KeyboardGeometry::BlackKeyLine;
constexpr double WhiteKeyWidth = KeyboardGeometry::WhiteKeyWidth;
constexpr double ReferenceHeight = KeyboardGeometry::ReferenceHeight;

std::array<Key, KeyboardGeometry::KeyCount> buildLayout()
{
    std::array<Key, KeyboardGeometry::KeyCount> keys;
    keys[0] = {0, QRectF(0, 0, 30, BlackKeyLine), QRectF(0, BlackKeyLine, 35, 72), QPointF(0, 0), true};
    keys[1] = {11, QRectF(30, 0, 19, BlackKeyLine), QRectF(), QPointF(30, 0), false};
    keys[2] = {12, QRectF(49, 0, 21, BlackKeyLine), QRectF(35, BlackKeyLine, 35, 72), QPointF(35, 0), true};
    // Per note of an octave: white, place among the white keys, offset and width of the upper
    // part (white) or of the body (black, offset from the octave's left end).
    const struct
    {
        bool white;
        int whiteIndex;
        double offset, width;
    } notes[12] = {{true, 0, 0, 21},    {false, 0, 21, 19}, {true, 1, 5, 25},    {false, 0, 65, 19},
                   {true, 2, 14, 21},   {true, 3, 0, 21},   {false, 0, 126, 19}, {true, 4, 5, 20},
                   {false, 0, 165, 20}, {true, 5, 10, 20},  {false, 0, 206, 19}, {true, 6, 14, 21}};
    for (int octave = 0; octave < 7; ++octave) {
        const double octaveX = 70 + 245 * octave;
        for (int note = 0; note < 12; ++note) {
            Key& key = keys[size_t(3 + 12 * octave + note)];
            key.shape = 1 + note;
            key.isWhite = notes[note].white;
            if (key.isWhite) {
                const double keyX = octaveX + WhiteKeyWidth * notes[note].whiteIndex;
                key.upper = QRectF(keyX + notes[note].offset, 0, notes[note].width, BlackKeyLine);
                key.lower = QRectF(keyX, BlackKeyLine, WhiteKeyWidth, ReferenceHeight - BlackKeyLine);
                key.picturePos = QPointF(keyX, 0);
            } else {
                key.upper = QRectF(octaveX + notes[note].offset, 0, notes[note].width, BlackKeyLine);
                key.picturePos = key.upper.topLeft();
            }
        }
    }
    keys[87] = {13, QRectF(1785, 0, 35, BlackKeyLine), QRectF(1785, BlackKeyLine, 35, 72), QPointF(1785, 0),
                true};
    return keys;
}

// Every pixel the unit rectangle touches, at `scale` pixels per unit.
QRect toPixels(const QRectF& units, const QPointF& scale)
{
    const int left = int(std::floor(units.left() * scale.x()));
    const int top = int(std::floor(units.top() * scale.y()));
    const int right = int(std::ceil(units.right() * scale.x()));
    const int bottom = int(std::ceil(units.bottom() * scale.y()));
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

QRectF KeyboardGeometry::Key::pictureArea() const
{
    return QRectF(picturePos, isWhite ? QSizeF(WhiteKeyWidth, ReferenceHeight) : upper.size());
}

const KeyboardGeometry::Key& KeyboardGeometry::key(int key)
{
    // Built on first use (GUI thread) and kept for the program's life.
    static const std::array<Key, KeyCount> layout = buildLayout();
    return layout[size_t(key)];
}

QRectF KeyboardGeometry::groupArea(int group)
{
    if (group == 0)
        return QRectF(0, 0, 70, ReferenceHeight);
    if (group == 8)
        return QRectF(1785, 0, 35, ReferenceHeight);
    return QRectF(245 * group - 175, 0, 245, ReferenceHeight);
}

int KeyboardGeometry::groupOf(int key)
{
    if (key < 0 || key >= KeyCount)
        return -1;
    if (key <= 2)
        return 0;
    if (key == 87)
        return 8;
    return (key + 9) / 12;
}

int KeyboardGeometry::groupFirstKey(int group)
{
    return group == 0 ? 0 : group == 8 ? 87 : 12 * group - 9;
}

int KeyboardGeometry::groupLastKey(int group)
{
    return group == 0 ? 2 : group == 8 ? 87 : 12 * group + 2;
}

QRect KeyboardGeometry::toDevicePixels(const QRectF& units, const QPointF& scale, qreal ratio)
{
    const int left = qRound(units.left() * scale.x() * ratio);
    const int top = qRound(units.top() * scale.y() * ratio);
    const int right = qRound(units.right() * scale.x() * ratio);
    const int bottom = qRound(units.bottom() * scale.y() * ratio);
    return QRect(left, top, right - left, bottom - top);
}

void KeyboardGeometry::setSize(const QSize& size)
{
    m_size = size;
    m_scale = QPointF(size.width() / ReferenceWidth, size.height() / ReferenceHeight);
    for (int index = 0; index < KeyCount; ++index) {
        const Key& area = key(index);
        QRegion region(toPixels(area.upper, m_scale));
        if (area.isWhite)
            region += toPixels(area.lower, m_scale);
        m_keyRegions[size_t(index)] = region;
    }
    for (int group = 0; group < GroupCount; ++group)
        m_groupRects[size_t(group)] = toPixels(groupArea(group), m_scale);
}

int KeyboardGeometry::keyAt(const QPointF& position) const
{
    if (m_size.isEmpty())
        return -1;
    const QPointF point(std::trunc(position.x() / m_scale.x()), std::trunc(position.y() / m_scale.y()));
    for (int index = 0; index < KeyCount; ++index) {
        const Key& area = key(index);
        if (area.upper.contains(point) || (area.isWhite && area.lower.contains(point)))
            return index;
    }
    return -1;
}

QRegion KeyboardGeometry::keyRegion(int key) const
{
    return key >= 0 && key < KeyCount ? m_keyRegions[size_t(key)] : QRegion();
}

#pragma once
// The graphic map of one drawn page: boxes, in the coordinates the page was drawn in, of its
// notes and rests (events), staves, systems and the braces of grand staves, matching exactly
// what was painted. Made by BoundingBoxSurface; the score builder reads note boxes, staff and
// system extents from it.

#include <QRectF>

#include <vector>

namespace Notation {

struct MapElement
{
    // Element types and the event sub-types, as the score builder looks them up.
    static constexpr int eventType = 1;
    static constexpr int staffType = 3;
    static constexpr int systemType = 7;
    // The brace joining the staves of a system; it lies inside its system's element, whose box
    // takes it in.
    static constexpr int braceType = 8;
    static constexpr int noteSubtype = 10;
    static constexpr int restSubtype = 11;

    int type = 0;
    int subtype = 0;
    int order = 0; // events: byte offset in the notation text; others: drawing order
    QRectF box;
};

struct GraphicMap
{
    // Events in text order, then staves, braces and systems in drawing order.
    std::vector<MapElement> elements;

    // The n-th element of a type, from 1 as the score builder counts; nullptr past the end.
    const MapElement* FindNth(int type, int n) const;
};

} // namespace Notation

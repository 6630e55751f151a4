#pragma once
// The SMuFL metadata of the music font: glyph bounding boxes, anchors and engraving defaults
// (line thicknesses, ledger-line extension), all in staff spaces. The layout engine places
// glyphs with it and the bounding-box surface measures them with it. Read once per process from
// the compiled-in metadata file; after that the object is immutable and safe to share between
// threads.

#include "notation/smufl_glyph.h"

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <array>

namespace Notation {

struct EngravingDefaults
{
    double staffLineThickness = 0.13;
    double stemThickness = 0.12;
    double legerLineThickness = 0.16;
    double legerLineExtension = 0.4;
    double thinBarlineThickness = 0.16;
};

// Anchors the engraver uses; SMuFL names in AnchorName().
enum class GlyphAnchor
{
    stemUpSE,
    stemDownNW,
    stemUpNW,
    stemDownSW,
    Count
};

class FontMetadata
{
public:
    // The metadata of the compiled-in font. Loading failures are fatal for notation, so they
    // are reported once with qCritical and the built-in fallback values are used.
    static const FontMetadata& Instance();

    // Parses a SMuFL metadata document. False with a message when it is not one or lacks a
    // glyph the engraver needs.
    bool Load(const QByteArray& json, QString* errorMessage);

    const EngravingDefaults& Defaults() const { return defaults; }

    // The glyph's box relative to its origin, in staff spaces, y growing downwards.
    QRectF BoundingBox(SmuflGlyph glyph) const { return boxes[static_cast<int>(glyph)]; }
    double Width(SmuflGlyph glyph) const { return boxes[static_cast<int>(glyph)].right(); }

    // The anchor relative to the glyph origin, y downwards; (0,0) when the font has none.
    QPointF Anchor(SmuflGlyph glyph, GlyphAnchor anchor) const;
    bool HasAnchor(SmuflGlyph glyph, GlyphAnchor anchor) const;

    static const char* AnchorName(GlyphAnchor anchor);

private:
    EngravingDefaults defaults;
    std::array<QRectF, SmuflGlyphCount> boxes{};
    std::array<std::array<QPointF, static_cast<int>(GlyphAnchor::Count)>, SmuflGlyphCount> anchors{};
    std::array<std::array<bool, static_cast<int>(GlyphAnchor::Count)>, SmuflGlyphCount> hasAnchor{};
};

} // namespace Notation

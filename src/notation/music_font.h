#pragma once
// The compiled-in music font (Bravura, a SMuFL font) and its metadata file. The application
// registers the font with Qt at start-up; the painter surface draws glyph outlines taken from
// it. Glyph outlines are read once, on first use, and then shared read-only by every thread.

#include "notation/smufl_glyph.h"

#include <QByteArray>
#include <QPainterPath>
#include <QString>

namespace Notation {

class MusicFont
{
public:
    // The family name under which the font is registered.
    static QString FamilyName();

    // Adds the compiled-in font to the application's font database. Needs a QGuiApplication.
    // Returns the font id, or -1 when the font could not be registered.
    static int RegisterApplicationFont();

    static QByteArray FontFile();
    static QByteArray MetadataFile();

    // The outline of a glyph in staff spaces (one em is four staff spaces), origin at the
    // glyph origin, y downwards. Needs a QGuiApplication; empty when the font cannot be read.
    static const QPainterPath& GlyphPath(SmuflGlyph glyph);
};

} // namespace Notation

#pragma once
// Style sheets whose border images keep their shape on a high-density screen.
//
// On such a screen Qt draws a style sheet's border image from its "@2x" picture, but reads the
// slice widths of "border-image: url(...) top right bottom left" in that picture's own pixels:
// a rounded corner twice as large as the slice is cut across and looks chamfered. The screens
// pass their style sheets through highDpiStyleSheet before setting them. GUI thread only.

#include <QString>

namespace UI {

// `styleSheet` with the slice widths of every border image that has an "@2x" picture scaled to
// that picture, when the application draws at a device pixel ratio above 1; else unchanged.
QString highDpiStyleSheet(const QString& styleSheet);

// The same for an explicit ratio and a test of whether a picture exists (for the tests).
QString highDpiStyleSheet(const QString& styleSheet, qreal ratio, bool (*exists)(const QString& path));

} // namespace UI

#pragma once
// The values the GUIDO Music Notation reader takes from the words and numbers of the text: clef
// names, metres and colours as tags give them, and which durations the engraver can draw. The
// Parse functions return false, leaving their result untouched, for a value outside what the
// engraver supports. Stateless; any thread.

#include "notation/score.h"

#include <QByteArray>
#include <QColor>

namespace Notation::GmnValues {

// "treble", "bass", "alto", "tenor", "g", "f", "c", or a clef and its line: "g2", "f4", "c3" …
bool ParseClef(const QByteArray& value, Clef* clef);
// "3/4" (numerator 1-99, denominator 1-64), "C" (common time), "C/" (cut time).
bool ParseMeter(const QByteArray& value, Meter* meter);
// "0xRRGGBB", "0xRRGGBBAA" or a colour name.
bool ParseColour(const QByteArray& value, QColor* colour);
// A plain or dotted note value between 1/128 and 2.
bool EngravableDuration(const Duration& duration);

} // namespace Notation::GmnValues

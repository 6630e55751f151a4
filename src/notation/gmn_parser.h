#pragma once
// Reads the GUIDO Music Notation text the program writes (and the little more that engraved
// examples need) into a Score. Anything outside that subset is rejected with a message that
// names the line and column; the parser never crashes on malformed text, however damaged.
// Used by ScoreDocument; stateless, so it may run on any thread.

#include "notation/score.h"

#include <QByteArray>
#include <QString>

namespace Notation {

struct ParseError
{
    int offset = 0; // byte offset into the text
    int line = 1;   // from 1
    int column = 1; // from 1, in bytes
    QString message;

    // "line 1, column 17: unknown tag \\foo"
    QString Describe() const;
};

class GmnParser
{
public:
    // Limits that keep hostile input cheap.
    static constexpr int maxVoices = 64;
    static constexpr int maxItems = 20000;
    static constexpr int maxStaff = 16;

    // True with the parsed score, or false with the first error.
    static bool Parse(const QByteArray& text, Score* score, ParseError* error);
};

} // namespace Notation

#pragma once
// The character level of the GUIDO Music Notation reader: a cursor over the text that skips
// blanks and comments, reads names, numbers and the argument list of a tag, and records an
// error at a byte offset with its line and column. GmnParser reads the notes and signs with it.
// The text and the error record belong to the caller and must outlive the scanner.

#include "notation/gmn_parser.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace Notation {

// One argument of a tag: the "treble" of \clef<"treble">, the color="red" of \noteFormat.
struct TagArgument
{
    QByteArray name; // empty for a positional argument
    QByteArray text; // string value without quotes, or the number as written
    bool isString = false;
    int offset = 0;
};

class GmnScanner
{
public:
    GmnScanner(const QByteArray& text, ParseError* error) : text(text), error(error) {}

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    // The character as a message shows it: itself when printable, "\x1f" otherwise.
    static QString Printable(char c);

    bool AtEnd() const { return position >= text.size(); }
    // The character `ahead` places on, '\0' past the end.
    char Peek(int ahead = 0) const
    {
        return position + ahead < text.size() ? text.at(position + ahead) : '\0';
    }
    int Position() const { return position; }
    // Moves on by one character.
    void Advance() { ++position; }

    // Blanks and comments: "% …" to the end of the line, "(* … *)" blocks.
    void SkipBlanks();
    // The letters from here on (a note name); empty when there are none.
    QByteArray ReadLetters();
    // The letters and digits from here on (a tag or argument name); empty when there are none.
    QByteArray ReadWord();
    // A number of at most `maxDigits` decimal digits.
    bool ReadNumber(int* value, int maxDigits = 4);
    // The arguments of a tag, from the '<' here to the closing '>': strings or numbers, each
    // maybe named, separated by ','; at most eight.
    bool ReadTagArguments(std::vector<TagArgument>* arguments);

    // Records `message` at byte `at`, or here when `at` is negative, and returns false.
    bool Fail(const char* message, int at = -1) { return Fail(QString::fromLatin1(message), at); }
    bool Fail(const QString& message, int at = -1);

private:
    const QByteArray& text;
    ParseError* error;
    int position = 0;
};

} // namespace Notation

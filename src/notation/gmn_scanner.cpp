#include "notation/gmn_scanner.h"

#include <algorithm>

namespace Notation {

QString GmnScanner::Printable(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f)
        return QString(QLatin1Char(c));
    return QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
}

void GmnScanner::SkipBlanks()
{
    while (!AtEnd()) {
        const char c = Peek();
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            ++position;
        } else if (c == '%') {
            while (!AtEnd() && Peek() != '\n')
                ++position;
        } else if (c == '(' && Peek(1) == '*') {
            const int close = text.indexOf("*)", position + 2);
            position = close < 0 ? text.size() : close + 2;
        } else {
            break;
        }
    }
}

QByteArray GmnScanner::ReadLetters()
{
    const int start = position;
    while (IsLetter(Peek()))
        ++position;
    return text.mid(start, position - start);
}

QByteArray GmnScanner::ReadWord()
{
    const int start = position;
    while (IsLetter(Peek()) || IsDigit(Peek()))
        ++position;
    return text.mid(start, position - start);
}

bool GmnScanner::ReadNumber(int* value, int maxDigits)
{
    const int start = position;
    long result = 0;
    while (IsDigit(Peek())) {
        if (position - start >= maxDigits)
            return Fail("number too long");
        result = result * 10 + (Peek() - '0');
        ++position;
    }
    if (position == start)
        return Fail("a number is missing");
    *value = int(result);
    return true;
}

bool GmnScanner::ReadTagArguments(std::vector<TagArgument>* arguments)
{
    ++position; // '<'
    for (;;) {
        SkipBlanks();
        if (AtEnd())
            return Fail("missing '>' after tag arguments");
        if (Peek() == '>') {
            ++position;
            return true;
        }
        if (!arguments->empty()) {
            if (Peek() != ',')
                return Fail("tag arguments are separated by ','");
            ++position;
            SkipBlanks();
        }
        if (arguments->size() >= 8)
            return Fail("too many tag arguments");
        TagArgument argument;
        argument.offset = position;
        if (IsLetter(Peek())) {
            argument.name = ReadWord();
            SkipBlanks();
            if (Peek() != '=')
                return Fail("expected '=' after an argument name");
            ++position;
            SkipBlanks();
        }
        if (Peek() == '"') {
            ++position;
            const int close = text.indexOf('"', position);
            if (close < 0)
                return Fail("missing closing '\"'", argument.offset);
            argument.text = text.mid(position, close - position);
            argument.isString = true;
            position = close + 1;
        } else if (Peek() == '-' || Peek() == '+' || IsDigit(Peek())) {
            const int numberStart = position;
            ++position;
            while (IsDigit(Peek()) || Peek() == '.')
                ++position;
            argument.text = text.mid(numberStart, position - numberStart);
            if (IsLetter(Peek()))
                return Fail("units are not supported in tag arguments");
        } else {
            return Fail("a tag argument must be a string or a number");
        }
        arguments->push_back(argument);
    }
}

bool GmnScanner::Fail(const QString& message, int at)
{
    const int offset = at < 0 ? std::min<int>(position, text.size()) : at;
    error->offset = offset;
    error->line = 1;
    error->column = 1;
    for (int i = 0; i < offset; ++i) {
        if (text.at(i) == '\n') {
            ++error->line;
            error->column = 1;
        } else {
            ++error->column;
        }
    }
    error->message = message;
    return false;
}

} // namespace Notation

#include "notation/gmn_parser.h"

#include <cctype>
#include <cmath>
#include <cstring>

namespace Notation {

QString ParseError::Describe() const
{
    return QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(message);
}

namespace {

struct TagArgument
{
    QByteArray name; // empty for a positional argument
    QByteArray text; // string value without quotes, or the number as written
    bool isString = false;
    int offset = 0;
};

bool IsNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Lengths the engraver can draw: n/d is a plain or dotted note value between 1/128 and 2.
bool EngravableDuration(const Duration& duration)
{
    const double value = duration.Whole();
    for (int base = -1; base <= 7; ++base) { // breve … 128th
        const double plain = std::ldexp(1.0, -base);
        double dotted = plain, add = plain;
        for (int dots = 0; dots <= 3; ++dots) {
            if (std::fabs(dotted - value) < 1e-9)
                return true;
            add /= 2.0;
            dotted += add;
        }
    }
    return false;
}

class Reader
{
public:
    Reader(const QByteArray& text, Score* score, ParseError* error) : text(text), score(score), error(error)
    {
    }

    bool ParseScore()
    {
        SkipBlanks();
        if (Peek() == '{') {
            ++position;
            SkipBlanks();
            if (Peek() == '}') {
                ++position;
            } else {
                for (;;) {
                    if (!ParseVoice())
                        return false;
                    SkipBlanks();
                    if (Peek() == ',') {
                        ++position;
                        continue;
                    }
                    if (Peek() == '}') {
                        ++position;
                        break;
                    }
                    return Fail(AtEnd() ? "missing '}' at the end of the score"
                                        : "expected ',' or '}' after a voice");
                }
            }
        } else if (Peek() == '[') {
            if (!ParseVoice())
                return false;
        } else {
            return Fail(AtEnd() ? "empty text" : "a score starts with '{' or '['");
        }
        SkipBlanks();
        if (!AtEnd())
            return Fail("text after the end of the score");
        score->noteCount = noteIndex;
        return true;
    }

private:
    const QByteArray& text;
    Score* score;
    ParseError* error;
    int position = 0;
    int noteIndex = 0;
    int itemCount = 0;

    // Per-voice state carried from note to note.
    struct VoiceState
    {
        int octave = 1;
        Duration duration;
        StemDirection stems = StemDirection::Auto;
        bool coloured = false;
        QColor colour;
    };

    bool AtEnd() const { return position >= text.size(); }
    char Peek(int ahead = 0) const
    {
        return position + ahead < text.size() ? text.at(position + ahead) : '\0';
    }

    bool Fail(const char* message, int at = -1) { return Fail(QString::fromLatin1(message), at); }
    bool Fail(const QString& message, int at = -1)
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

    // Blanks and comments: "% …" to the end of the line, "(* … *)" blocks.
    void SkipBlanks()
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

    bool CountItem()
    {
        if (++itemCount > GmnParser::maxItems)
            return Fail("too many notes and signs");
        return true;
    }

    bool ParseVoice()
    {
        SkipBlanks();
        if (Peek() != '[')
            return Fail(AtEnd() ? "missing voice" : "a voice starts with '['");
        if (int(score->voices.size()) >= GmnParser::maxVoices)
            return Fail("too many voices");
        ++position;
        Voice voice;
        voice.staff = int(score->voices.size()) + 1;
        if (voice.staff > GmnParser::maxStaff)
            voice.staff = GmnParser::maxStaff;
        VoiceState state;
        for (;;) {
            SkipBlanks();
            const char c = Peek();
            if (AtEnd())
                return Fail("missing ']' at the end of a voice");
            if (c == ']') {
                ++position;
                break;
            }
            if (c == '\\') {
                if (!ParseTag(&voice, &state, false))
                    return false;
            } else if (c == '{') {
                if (!ParseChord(&voice, &state))
                    return false;
            } else if (c == '|') {
                ++position;
                if (!CountItem())
                    return false;
                VoiceItem bar;
                bar.kind = VoiceItem::Kind::Bar;
                voice.items.push_back(bar);
            } else if (c == '_') {
                if (!ParseRest(&voice, &state))
                    return false;
            } else if (IsNameStart(c)) {
                Note note;
                Duration duration;
                if (!ParseNote(&state, &note, &duration))
                    return false;
                if (!CountItem())
                    return false;
                VoiceItem chord;
                chord.kind = VoiceItem::Kind::Chord;
                chord.notes.push_back(note);
                chord.duration = duration;
                chord.stems = state.stems;
                voice.items.push_back(chord);
            } else if (c == '[') {
                return Fail("a voice cannot hold another voice");
            } else {
                return Fail(QStringLiteral("unexpected character '%1'").arg(Printable(c)));
            }
        }
        score->voices.push_back(std::move(voice));
        return true;
    }

    static QString Printable(char c)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7f)
            return QString(QLatin1Char(c));
        return QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }

    bool ParseChord(Voice* voice, VoiceState* state)
    {
        const int start = position;
        ++position; // '{'
        VoiceItem chord;
        chord.kind = VoiceItem::Kind::Chord;
        bool first = true;
        bool expectNote = false;
        for (;;) {
            SkipBlanks();
            const char c = Peek();
            if (AtEnd())
                return Fail("missing '}' at the end of a chord", start);
            if (c == '}') {
                if (expectNote)
                    return Fail("a chord member is missing after ','");
                ++position;
                break;
            }
            if (c == ',') {
                if (first || expectNote)
                    return Fail("a chord member is missing before ','");
                expectNote = true;
                ++position;
                continue;
            }
            if (c == '\\') {
                if (!ParseTag(voice, state, true))
                    return false;
                continue;
            }
            if (IsNameStart(c)) {
                if (!first && !expectNote)
                    return Fail("chord members are separated by ','");
                Note note;
                Duration duration;
                if (!ParseNote(state, &note, &duration))
                    return false;
                if (first)
                    chord.duration = duration;
                chord.notes.push_back(note);
                first = false;
                expectNote = false;
                continue;
            }
            if (c == ']')
                return Fail("missing '}' at the end of a chord", start);
            if (c == '{')
                return Fail("a chord cannot hold another chord");
            if (c == '_')
                return Fail("a chord cannot hold a rest");
            return Fail(QStringLiteral("unexpected character '%1' in a chord").arg(Printable(c)));
        }
        // An empty chord is allowed and takes no time.
        if (chord.notes.empty())
            return true;
        if (!CountItem())
            return false;
        chord.stems = state->stems;
        voice->items.push_back(std::move(chord));
        return true;
    }

    bool ParseNumber(int* value, int maxDigits = 4)
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

    // "/8", "*3/8", "*2", then dots.
    bool ParseDuration(VoiceState* state, Duration* duration)
    {
        const int start = position;
        Duration parsed = state->duration;
        bool given = false;
        if (Peek() == '*') {
            ++position;
            if (!ParseNumber(&parsed.numerator))
                return false;
            parsed.denominator = 1;
            given = true;
            if (Peek() == '/') {
                ++position;
                if (!ParseNumber(&parsed.denominator))
                    return false;
            }
        } else if (Peek() == '/') {
            ++position;
            parsed.numerator = 1;
            if (!ParseNumber(&parsed.denominator))
                return false;
            given = true;
        }
        int dots = 0;
        while (Peek() == '.') {
            ++dots;
            ++position;
        }
        if (given || dots > 0) {
            if (parsed.numerator <= 0 || parsed.denominator <= 0)
                return Fail("a duration must be greater than zero", start);
            if (dots > 3)
                return Fail("at most three dots", start);
            parsed.dots = dots;
            if (!EngravableDuration(parsed))
                return Fail("this duration cannot be engraved", start);
            state->duration = parsed;
        }
        *duration = state->duration;
        return true;
    }

    bool ParseRest(Voice* voice, VoiceState* state)
    {
        VoiceItem rest;
        rest.kind = VoiceItem::Kind::Rest;
        rest.sourceOffset = position;
        ++position; // '_'
        if (!ParseDuration(state, &rest.duration))
            return false;
        if (!CountItem())
            return false;
        rest.restColoured = state->coloured;
        rest.restColour = state->colour;
        voice->items.push_back(rest);
        return true;
    }

    bool ParseNote(VoiceState* state, Note* note, Duration* duration)
    {
        const int start = position;
        int nameEnd = position;
        while (nameEnd < text.size() && IsNameStart(text.at(nameEnd)))
            ++nameEnd;
        const QByteArray name = text.mid(position, nameEnd - position);
        static const char* const names[] = {"c", "d", "e", "f", "g", "a", "b", "h"};
        static const int steps[] = {0, 1, 2, 3, 4, 5, 6, 6};
        int step = -1;
        for (int i = 0; i < 8; ++i) {
            if (name == names[i])
                step = steps[i];
        }
        if (step < 0) {
            if (name == "empty")
                return Fail("empty events are not supported", start);
            return Fail(QStringLiteral("unknown note name '%1'").arg(QString::fromLatin1(name.left(20))),
                        start);
        }
        position = nameEnd;
        int alter = 0;
        while (Peek() == '#' || Peek() == '&') {
            alter += Peek() == '#' ? 1 : -1;
            ++position;
            if (alter > 2 || alter < -2)
                return Fail("at most two sharps or flats", start);
        }
        int octave = state->octave;
        if (Peek() == '-' || Peek() == '+' || IsDigit(Peek())) {
            const int octaveStart = position;
            const bool negative = Peek() == '-';
            if (Peek() == '-' || Peek() == '+')
                ++position;
            int value = 0;
            if (!IsDigit(Peek()))
                return Fail("an octave number is missing", octaveStart);
            if (!ParseNumber(&value, 2))
                return false;
            octave = negative ? -value : value;
        }
        Pitch pitch{step, alter, octave};
        if (octave < -4 || octave > 6 || pitch.Midi() < 0 || pitch.Midi() > 127)
            return Fail(QStringLiteral("octave %1 is out of range").arg(octave), start);
        state->octave = octave;
        if (!ParseDuration(state, duration))
            return false;
        note->pitch = pitch;
        note->coloured = state->coloured;
        note->colour = state->colour;
        note->index = noteIndex++;
        note->sourceOffset = start;
        return true;
    }

    bool ParseTagArguments(std::vector<TagArgument>* arguments)
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
            if (IsNameStart(Peek())) {
                const int nameStart = position;
                while (IsNameStart(Peek()) || IsDigit(Peek()))
                    ++position;
                argument.name = text.mid(nameStart, position - nameStart);
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
                if (IsNameStart(Peek()))
                    return Fail("units are not supported in tag arguments");
            } else {
                return Fail("a tag argument must be a string or a number");
            }
            arguments->push_back(argument);
        }
    }

    static bool ParseColour(const QByteArray& value, QColor* colour)
    {
        if (value.startsWith("0x") || value.startsWith("0X")) {
            const QByteArray digits = value.mid(2);
            if (digits.size() != 6 && digits.size() != 8)
                return false;
            // toUInt alone would take a sign or blanks ("0x+12345") for a digit.
            for (char c : digits) {
                if (!std::isxdigit(static_cast<unsigned char>(c)))
                    return false;
            }
            bool ok = false;
            const uint rgb = digits.toUInt(&ok, 16);
            if (!ok)
                return false;
            *colour = digits.size() == 6 ? QColor::fromRgb(QRgb(rgb))
                                         : QColor::fromRgba(QRgb((rgb >> 8) | (rgb << 24)));
            return true;
        }
        if (value.isEmpty() || value.size() > 32)
            return false;
        for (char c : value) {
            if (!IsNameStart(c) && !IsDigit(c) && c != '#')
                return false;
        }
        const QColor named(QString::fromLatin1(value));
        if (!named.isValid())
            return false;
        *colour = named;
        return true;
    }

    static bool ParseClef(const QByteArray& value, Clef* clef)
    {
        if (value == "treble" || value == "g") {
            *clef = {ClefKind::G, 2};
            return true;
        }
        if (value == "bass" || value == "f") {
            *clef = {ClefKind::F, 4};
            return true;
        }
        if (value == "alto" || value == "c") {
            *clef = {ClefKind::C, 3};
            return true;
        }
        if (value == "tenor") {
            *clef = {ClefKind::C, 4};
            return true;
        }
        if (value.size() != 2 || value.at(1) < '1' || value.at(1) > '5')
            return false;
        const int line = value.at(1) - '0';
        switch (value.at(0)) {
        case 'g':
            *clef = {ClefKind::G, line};
            return true;
        case 'f':
            *clef = {ClefKind::F, line};
            return true;
        case 'c':
            *clef = {ClefKind::C, line};
            return true;
        default:
            return false;
        }
    }

    static bool ParseMeter(const QByteArray& value, Meter* meter)
    {
        const QByteArray trimmed = value.trimmed();
        if (trimmed == "C") {
            *meter = Meter{4, 4, Meter::Symbol::Common};
            return true;
        }
        if (trimmed == "C/") {
            *meter = Meter{2, 2, Meter::Symbol::Cut};
            return true;
        }
        const int slash = trimmed.indexOf('/');
        if (slash <= 0 || slash > 2 || trimmed.size() - slash - 1 < 1 || trimmed.size() - slash - 1 > 2)
            return false;
        bool okNumerator = false, okDenominator = false;
        const int numerator = trimmed.left(slash).toInt(&okNumerator);
        const int denominator = trimmed.mid(slash + 1).toInt(&okDenominator);
        if (!okNumerator || !okDenominator || numerator < 1 || numerator > 99 || denominator < 1 ||
            denominator > 64)
            return false;
        for (char c : trimmed) {
            if (!IsDigit(c) && c != '/')
                return false;
        }
        *meter = Meter{numerator, denominator, Meter::Symbol::None};
        return true;
    }

    bool ParseTag(Voice* voice, VoiceState* state, bool inChord)
    {
        const int start = position;
        ++position; // '\'
        const int nameStart = position;
        while (IsNameStart(Peek()) || IsDigit(Peek()))
            ++position;
        const QByteArray name = text.mid(nameStart, position - nameStart);
        if (name.isEmpty())
            return Fail("a tag name is missing after '\\'", start);
        std::vector<TagArgument> arguments;
        if (Peek() == '<' && !ParseTagArguments(&arguments))
            return false;
        SkipBlanks();
        if (Peek() == '(')
            return Fail("tags with a range are not supported", position);

        auto onlyOutsideChords = [&]() {
            if (inChord)
                return Fail(QStringLiteral("\\%1 cannot stand inside a chord").arg(QString::fromLatin1(name)),
                            start);
            return CountItem();
        };
        auto noArguments = [&]() {
            if (!arguments.empty())
                return Fail(QStringLiteral("\\%1 takes no arguments").arg(QString::fromLatin1(name)), start);
            return true;
        };
        auto single = [&](bool wantString) -> const TagArgument* {
            if (arguments.size() != 1 || arguments[0].isString != wantString) {
                Fail(QStringLiteral("\\%1 takes one %2")
                         .arg(QString::fromLatin1(name),
                              wantString ? QStringLiteral("string") : QStringLiteral("number")),
                     start);
                return nullptr;
            }
            return &arguments[0];
        };

        if (name == "staff") {
            const TagArgument* argument = single(false);
            if (!argument)
                return false;
            bool ok = false;
            const int staff = argument->text.toInt(&ok);
            if (!ok || staff < 1 || staff > GmnParser::maxStaff)
                return Fail("the staff number must be between 1 and 16", argument->offset);
            if (inChord)
                return Fail("\\staff cannot stand inside a chord", start);
            voice->staff = staff;
            return true;
        }
        if (name == "clef") {
            const TagArgument* argument = single(true);
            if (!argument)
                return false;
            VoiceItem item;
            item.kind = VoiceItem::Kind::Clef;
            if (!ParseClef(argument->text, &item.clef))
                return Fail(
                    QStringLiteral("unknown clef \"%1\"").arg(QString::fromLatin1(argument->text.left(20))),
                    argument->offset);
            if (!onlyOutsideChords())
                return false;
            voice->items.push_back(item);
            return true;
        }
        if (name == "key") {
            if (arguments.size() != 1)
                return Fail("\\key takes one number", start);
            const TagArgument& argument = arguments[0];
            bool ok = false;
            const int fifths = argument.text.toInt(&ok);
            if (argument.isString || !ok || fifths < -7 || fifths > 7)
                return Fail("the key must be a number between -7 and 7", argument.offset);
            if (!onlyOutsideChords())
                return false;
            VoiceItem item;
            item.kind = VoiceItem::Kind::Key;
            item.fifths = fifths;
            voice->items.push_back(item);
            return true;
        }
        if (name == "meter") {
            const TagArgument* argument = single(true);
            if (!argument)
                return false;
            VoiceItem item;
            item.kind = VoiceItem::Kind::Meter;
            if (!ParseMeter(argument->text, &item.meter))
                return Fail(
                    QStringLiteral("unknown metre \"%1\"").arg(QString::fromLatin1(argument->text.left(20))),
                    argument->offset);
            if (!onlyOutsideChords())
                return false;
            voice->items.push_back(item);
            return true;
        }
        if (name == "bar") {
            if (!noArguments() || !onlyOutsideChords())
                return false;
            VoiceItem item;
            item.kind = VoiceItem::Kind::Bar;
            voice->items.push_back(item);
            return true;
        }
        if (name == "stemsAuto" || name == "stemsUp" || name == "stemsDown") {
            if (!noArguments())
                return false;
            state->stems = name == "stemsUp"     ? StemDirection::Up
                           : name == "stemsDown" ? StemDirection::Down
                                                 : StemDirection::Auto;
            return true;
        }
        if (name == "noteFormat") {
            if (arguments.empty()) {
                state->coloured = false;
                return true;
            }
            for (const TagArgument& argument : arguments) {
                if (argument.name != "color" || !argument.isString)
                    return Fail("\\noteFormat takes only color=\"…\"", argument.offset);
                QColor colour;
                if (!ParseColour(argument.text, &colour))
                    return Fail(QStringLiteral("unknown colour \"%1\"")
                                    .arg(QString::fromLatin1(argument.text.left(20))),
                                argument.offset);
                state->coloured = true;
                state->colour = colour;
            }
            return true;
        }
        return Fail(QStringLiteral("unknown tag \\%1").arg(QString::fromLatin1(name.left(30))), start);
    }
};

} // namespace

bool GmnParser::Parse(const QByteArray& text, Score* score, ParseError* error)
{
    Score parsed;
    ParseError failure;
    Reader reader(text, &parsed, &failure);
    if (!reader.ParseScore()) {
        if (error)
            *error = failure;
        return false;
    }
    if (score)
        *score = std::move(parsed);
    return true;
}

} // namespace Notation

#include "notation/gmn_parser.h"

#include "notation/gmn_scanner.h"
#include "notation/gmn_values.h"

namespace Notation {

QString ParseError::Describe() const
{
    return QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(message);
}

namespace {

// One reading of a text into a score: voices, chords, notes, rests and tags, with the state each
// voice carries from note to note. The characters are read through a GmnScanner.
class Reader
{
public:
    Reader(const QByteArray& text, Score* score, ParseError* error) : scanner(text, error), score(score) {}

    bool ParseScore()
    {
        scanner.SkipBlanks();
        if (scanner.Peek() == '{') {
            scanner.Advance();
            scanner.SkipBlanks();
            if (scanner.Peek() == '}') {
                scanner.Advance();
            } else {
                for (;;) {
                    if (!ParseVoice())
                        return false;
                    scanner.SkipBlanks();
                    if (scanner.Peek() == ',') {
                        scanner.Advance();
                        continue;
                    }
                    if (scanner.Peek() == '}') {
                        scanner.Advance();
                        break;
                    }
                    return scanner.Fail(scanner.AtEnd() ? "missing '}' at the end of the score"
                                                        : "expected ',' or '}' after a voice");
                }
            }
        } else if (scanner.Peek() == '[') {
            if (!ParseVoice())
                return false;
        } else {
            return scanner.Fail(scanner.AtEnd() ? "empty text" : "a score starts with '{' or '['");
        }
        scanner.SkipBlanks();
        if (!scanner.AtEnd())
            return scanner.Fail("text after the end of the score");
        score->noteCount = noteIndex;
        return true;
    }

private:
    GmnScanner scanner;
    Score* score;
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

    bool CountItem()
    {
        if (++itemCount > GmnParser::maxItems)
            return scanner.Fail("too many notes and signs");
        return true;
    }

    bool ParseVoice()
    {
        scanner.SkipBlanks();
        if (scanner.Peek() != '[')
            return scanner.Fail(scanner.AtEnd() ? "missing voice" : "a voice starts with '['");
        if (int(score->voices.size()) >= GmnParser::maxVoices)
            return scanner.Fail("too many voices");
        scanner.Advance();
        Voice voice;
        voice.staff = int(score->voices.size()) + 1;
        if (voice.staff > GmnParser::maxStaff)
            voice.staff = GmnParser::maxStaff;
        VoiceState state;
        for (;;) {
            scanner.SkipBlanks();
            const char c = scanner.Peek();
            if (scanner.AtEnd())
                return scanner.Fail("missing ']' at the end of a voice");
            if (c == ']') {
                scanner.Advance();
                break;
            }
            if (c == '\\') {
                if (!ParseTag(&voice, &state, false))
                    return false;
            } else if (c == '{') {
                if (!ParseChord(&voice, &state))
                    return false;
            } else if (c == '|') {
                scanner.Advance();
                if (!CountItem())
                    return false;
                VoiceItem bar;
                bar.kind = VoiceItem::Kind::Bar;
                voice.items.push_back(bar);
            } else if (c == '_') {
                if (!ParseRest(&voice, &state))
                    return false;
            } else if (GmnScanner::IsLetter(c)) {
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
                return scanner.Fail("a voice cannot hold another voice");
            } else {
                return scanner.Fail(
                    QStringLiteral("unexpected character '%1'").arg(GmnScanner::Printable(c)));
            }
        }
        score->voices.push_back(std::move(voice));
        return true;
    }

    bool ParseChord(Voice* voice, VoiceState* state)
    {
        const int start = scanner.Position();
        scanner.Advance(); // '{'
        VoiceItem chord;
        chord.kind = VoiceItem::Kind::Chord;
        bool first = true;
        bool expectNote = false;
        for (;;) {
            scanner.SkipBlanks();
            const char c = scanner.Peek();
            if (scanner.AtEnd())
                return scanner.Fail("missing '}' at the end of a chord", start);
            if (c == '}') {
                if (expectNote)
                    return scanner.Fail("a chord member is missing after ','");
                scanner.Advance();
                break;
            }
            if (c == ',') {
                if (first || expectNote)
                    return scanner.Fail("a chord member is missing before ','");
                expectNote = true;
                scanner.Advance();
                continue;
            }
            if (c == '\\') {
                if (!ParseTag(voice, state, true))
                    return false;
                continue;
            }
            if (GmnScanner::IsLetter(c)) {
                if (!first && !expectNote)
                    return scanner.Fail("chord members are separated by ','");
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
                return scanner.Fail("missing '}' at the end of a chord", start);
            if (c == '{')
                return scanner.Fail("a chord cannot hold another chord");
            if (c == '_')
                return scanner.Fail("a chord cannot hold a rest");
            return scanner.Fail(
                QStringLiteral("unexpected character '%1' in a chord").arg(GmnScanner::Printable(c)));
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

    // "/8", "*3/8", "*2", then dots.
    bool ParseDuration(VoiceState* state, Duration* duration)
    {
        const int start = scanner.Position();
        Duration parsed = state->duration;
        bool given = false;
        if (scanner.Peek() == '*') {
            scanner.Advance();
            if (!scanner.ReadNumber(&parsed.numerator))
                return false;
            parsed.denominator = 1;
            given = true;
            if (scanner.Peek() == '/') {
                scanner.Advance();
                if (!scanner.ReadNumber(&parsed.denominator))
                    return false;
            }
        } else if (scanner.Peek() == '/') {
            scanner.Advance();
            parsed.numerator = 1;
            if (!scanner.ReadNumber(&parsed.denominator))
                return false;
            given = true;
        }
        int dots = 0;
        while (scanner.Peek() == '.') {
            ++dots;
            scanner.Advance();
        }
        if (given || dots > 0) {
            if (parsed.numerator <= 0 || parsed.denominator <= 0)
                return scanner.Fail("a duration must be greater than zero", start);
            if (dots > 3)
                return scanner.Fail("at most three dots", start);
            parsed.dots = dots;
            if (!GmnValues::EngravableDuration(parsed))
                return scanner.Fail("this duration cannot be engraved", start);
            state->duration = parsed;
        }
        *duration = state->duration;
        return true;
    }

    bool ParseRest(Voice* voice, VoiceState* state)
    {
        VoiceItem rest;
        rest.kind = VoiceItem::Kind::Rest;
        rest.sourceOffset = scanner.Position();
        scanner.Advance(); // '_'
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
        const int start = scanner.Position();
        const QByteArray name = scanner.ReadLetters();
        static const char* const names[] = {"c", "d", "e", "f", "g", "a", "b", "h"};
        static const int steps[] = {0, 1, 2, 3, 4, 5, 6, 6};
        int step = -1;
        for (int i = 0; i < 8; ++i) {
            if (name == names[i])
                step = steps[i];
        }
        if (step < 0) {
            if (name == "empty")
                return scanner.Fail("empty events are not supported", start);
            return scanner.Fail(
                QStringLiteral("unknown note name '%1'").arg(QString::fromLatin1(name.left(20))), start);
        }
        int alter = 0;
        while (scanner.Peek() == '#' || scanner.Peek() == '&') {
            alter += scanner.Peek() == '#' ? 1 : -1;
            scanner.Advance();
            if (alter > 2 || alter < -2)
                return scanner.Fail("at most two sharps or flats", start);
        }
        int octave = state->octave;
        if (scanner.Peek() == '-' || scanner.Peek() == '+' || GmnScanner::IsDigit(scanner.Peek())) {
            const int octaveStart = scanner.Position();
            const bool negative = scanner.Peek() == '-';
            if (scanner.Peek() == '-' || scanner.Peek() == '+')
                scanner.Advance();
            int value = 0;
            if (!GmnScanner::IsDigit(scanner.Peek()))
                return scanner.Fail("an octave number is missing", octaveStart);
            if (!scanner.ReadNumber(&value, 2))
                return false;
            octave = negative ? -value : value;
        }
        Pitch pitch{step, alter, octave};
        if (octave < -4 || octave > 6 || pitch.Midi() < 0 || pitch.Midi() > 127)
            return scanner.Fail(QStringLiteral("octave %1 is out of range").arg(octave), start);
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

    bool ParseTag(Voice* voice, VoiceState* state, bool inChord)
    {
        const int start = scanner.Position();
        scanner.Advance(); // '\'
        const QByteArray name = scanner.ReadWord();
        if (name.isEmpty())
            return scanner.Fail("a tag name is missing after '\\'", start);
        std::vector<TagArgument> arguments;
        if (scanner.Peek() == '<' && !scanner.ReadTagArguments(&arguments))
            return false;
        scanner.SkipBlanks();
        if (scanner.Peek() == '(')
            return scanner.Fail("tags with a range are not supported", scanner.Position());

        auto onlyOutsideChords = [&]() {
            if (inChord)
                return scanner.Fail(
                    QStringLiteral("\\%1 cannot stand inside a chord").arg(QString::fromLatin1(name)), start);
            return CountItem();
        };
        auto noArguments = [&]() {
            if (!arguments.empty())
                return scanner.Fail(QStringLiteral("\\%1 takes no arguments").arg(QString::fromLatin1(name)),
                                    start);
            return true;
        };
        auto single = [&](bool wantString) -> const TagArgument* {
            if (arguments.size() != 1 || arguments[0].isString != wantString) {
                scanner.Fail(QStringLiteral("\\%1 takes one %2")
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
                return scanner.Fail("the staff number must be between 1 and 16", argument->offset);
            if (inChord)
                return scanner.Fail("\\staff cannot stand inside a chord", start);
            voice->staff = staff;
            return true;
        }
        if (name == "clef") {
            const TagArgument* argument = single(true);
            if (!argument)
                return false;
            VoiceItem item;
            item.kind = VoiceItem::Kind::Clef;
            if (!GmnValues::ParseClef(argument->text, &item.clef))
                return scanner.Fail(
                    QStringLiteral("unknown clef \"%1\"").arg(QString::fromLatin1(argument->text.left(20))),
                    argument->offset);
            if (!onlyOutsideChords())
                return false;
            voice->items.push_back(item);
            return true;
        }
        if (name == "key") {
            if (arguments.size() != 1)
                return scanner.Fail("\\key takes one number", start);
            const TagArgument& argument = arguments[0];
            bool ok = false;
            const int fifths = argument.text.toInt(&ok);
            if (argument.isString || !ok || fifths < -7 || fifths > 7)
                return scanner.Fail("the key must be a number between -7 and 7", argument.offset);
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
            if (!GmnValues::ParseMeter(argument->text, &item.meter))
                return scanner.Fail(
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
                    return scanner.Fail("\\noteFormat takes only color=\"…\"", argument.offset);
                QColor colour;
                if (!GmnValues::ParseColour(argument.text, &colour))
                    return scanner.Fail(QStringLiteral("unknown colour \"%1\"")
                                            .arg(QString::fromLatin1(argument.text.left(20))),
                                        argument.offset);
                state->coloured = true;
                state->colour = colour;
            }
            return true;
        }
        return scanner.Fail(QStringLiteral("unknown tag \\%1").arg(QString::fromLatin1(name.left(30))),
                            start);
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

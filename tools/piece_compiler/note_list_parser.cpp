#include "note_list_parser.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

enum EventOrder
{
    MetaOrder = 0,
    PedalUpOrder = 1,
    NoteOffOrder = 2,
    NoteOnOrder = 3,
    PedalDownOrder = 4
};

// Velocities of the dynamic marks; a voice's offset and accents are added to them.
const QHash<QString, int>& Dynamics()
{
    static const QHash<QString, int> table = {{"ppp", 22}, {"pp", 34}, {"p", 48},   {"mp", 62},
                                              {"mf", 76},  {"f", 90},  {"ff", 104}, {"fff", 116}};
    return table;
}

struct Token
{
    QString text;
    int line;
};

} // namespace

bool NoteListParser::Fail(const QString& message)
{
    error = QStringLiteral("line %1: %2").arg(lineNumber).arg(message);
    return false;
}

void NoteListParser::AddTempo(qint64 tick, double beatsPerMinute, CompiledPiece& out)
{
    tempos.append({tick, beatsPerMinute});
    const double quartersPerMinute = beatsPerMinute * out.beatTicks / ticksPerQuarter;
    const quint32 microseconds = quint32(std::lround(60000000.0 / quartersPerMinute));
    CompiledEvent event;
    event.tick = tick;
    event.order = MetaOrder;
    event.bytes = {
        0xFF, 0x51, 0x03, quint8(microseconds >> 16), quint8(microseconds >> 8), quint8(microseconds)};
    out.events.append(event);
    out.beatsPerMinute.append(beatsPerMinute);
}

bool NoteListParser::ParseDuration(const QString& text, qint64& ticks)
{
    qint64 total = 0;
    for (const QString& part : text.split('+')) {
        static const QRegularExpression pattern(QStringLiteral("^(1|2|4|8|16|32|64)(\\.*)([tq]?)$"));
        const QRegularExpressionMatch match = pattern.match(part);
        if (!match.hasMatch())
            return Fail(QStringLiteral("bad duration '%1'").arg(part));
        qint64 value = 4 * ticksPerQuarter / match.captured(1).toInt();
        qint64 add = value;
        for (int dot = 0; dot < match.captured(2).size(); ++dot) {
            add /= 2;
            value += add;
        }
        if (match.captured(3) == QLatin1String("t"))
            value = value * 2 / 3;
        else if (match.captured(3) == QLatin1String("q"))
            value = value * 4 / 5;
        total += value;
    }
    ticks = total;
    return true;
}

bool NoteListParser::ParsePitch(const QString& text, int& key)
{
    static const QRegularExpression pattern(QStringLiteral("^([a-g])(#{0,2}|b{0,2})(-?[0-9])$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return Fail(QStringLiteral("bad pitch '%1'").arg(text));
    static const int steps[] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    int value = steps[match.captured(1).at(0).unicode() - 'a'];
    const QString accidentals = match.captured(2);
    value += accidentals.count('#') - accidentals.count('b');
    key = (match.captured(3).toInt() + 1) * 12 + value; // c4 = 60
    if (key < 21 || key > 108)
        return Fail(QStringLiteral("pitch '%1' is outside the piano").arg(text));
    return true;
}

bool NoteListParser::AddNotes(const QVector<int>& keys, qint64 ticks, const QString& articulation,
                              CompiledPiece& out)
{
    double length = 0.92;
    int velocity = voice.velocity + voice.offset;
    if ((voice.tick - partialTicks) % barTicks == 0)
        velocity += 4;
    for (QChar mark : articulation) {
        if (mark == '\'')
            length = 0.45;
        else if (mark == '_')
            length = 1.0;
        else if (mark == '!')
            velocity += 14;
        else
            return Fail(QStringLiteral("unknown articulation '%1'").arg(mark));
    }
    velocity = std::clamp(velocity, 1, 127);
    const qint64 sounding = std::max<qint64>(1, std::min<qint64>(qint64(ticks * length), ticks - 8));
    for (int key : keys) {
        CompiledEvent on;
        on.tick = voice.tick;
        on.order = NoteOnOrder;
        on.bytes = {0x90, quint8(key), quint8(velocity)};
        CompiledEvent off;
        off.tick = voice.tick + (length >= 1.0 ? ticks : sounding);
        off.order = NoteOffOrder;
        off.bytes = {0x80, quint8(key), 64};
        out.events.append(on);
        out.events.append(off);
    }
    voice.tick += ticks;
    return true;
}

bool NoteListParser::ParseHeader(const QStringList& words, CompiledPiece& out)
{
    const QString& keyword = words.first();
    if (keyword == QLatin1String("title")) {
        out.title = words.mid(1).join(' ');
        if (out.title.toUtf8().size() > 100)
            return Fail(QStringLiteral("title longer than 100 bytes"));
        return true;
    }
    if (words.size() != 2)
        return Fail(QStringLiteral("'%1' takes one value").arg(keyword));
    const QString& value = words.at(1);
    if (keyword == QLatin1String("time")) {
        const QStringList parts = value.split('/');
        const int numerator = parts.value(0).toInt();
        const int denominator = parts.value(1).toInt();
        if (parts.size() != 2 || numerator < 1 || numerator > 16 ||
            (denominator != 2 && denominator != 4 && denominator != 8 && denominator != 16))
            return Fail(QStringLiteral("bad time signature '%1'").arg(value));
        out.numerator = numerator;
        out.denominator = denominator;
        barTicks = qint64(numerator) * 4 * ticksPerQuarter / denominator;
        // The beat a listener counts: dotted quarter in compound metres, half in 2/2.
        if (denominator == 8 && numerator % 3 == 0 && numerator > 3)
            out.beatTicks = ticksPerQuarter * 3 / 2;
        else if (denominator == 2 && numerator == 2)
            out.beatTicks = 2 * ticksPerQuarter;
        else
            out.beatTicks = ticksPerQuarter;
        return true;
    }
    if (keyword == QLatin1String("beat")) {
        qint64 ticks = 0;
        const QStringList parts = value.split('/');
        if (parts.size() == 2 && parts.at(0).toInt() > 0 && parts.at(1).toInt() > 0)
            ticks = qint64(parts.at(0).toInt()) * 4 * ticksPerQuarter / parts.at(1).toInt();
        if (ticks <= 0 || ticks > 4 * ticksPerQuarter || out.beatTicks == 0 || haveTempo)
            return Fail(
                QStringLiteral("'beat' needs a fraction such as 1/8, after 'time' and before 'tempo'"));
        out.beatTicks = int(ticks);
        return true;
    }
    if (keyword == QLatin1String("tempo")) {
        const double bpm = value.toDouble();
        if (out.beatTicks == 0 || bpm < 20 || bpm > 300 || haveTempo)
            return Fail(QStringLiteral("'tempo' needs 20..300 beats a minute, once, after 'time'"));
        haveTempo = true;
        AddTempo(0, bpm, out);
        return true;
    }
    if (keyword == QLatin1String("partial")) {
        if (!ParseDuration(value, partialTicks))
            return false;
        return true;
    }
    return Fail(QStringLiteral("unknown header '%1'").arg(keyword));
}

bool NoteListParser::ParseVoiceTokens(const QStringList& tokens, CompiledPiece& out)
{
    for (int index = 0; index < tokens.size(); ++index) {
        const QString token = tokens.at(index);
        if (token == QLatin1String("|")) {
            const qint64 position = voice.tick - partialTicks;
            if (position < 0 || position % barTicks != 0)
                return Fail(QStringLiteral("bar line at %1 quarters, not at a bar's end")
                                .arg(double(voice.tick) / ticksPerQuarter));
            continue;
        }
        if (Dynamics().contains(token)) {
            voice.velocity = Dynamics().value(token);
            continue;
        }
        if (token.startsWith(QLatin1String("v="))) {
            voice.velocity = token.mid(2).toInt();
            continue;
        }
        if (token.startsWith(QLatin1String("@tempo="))) {
            const double bpm = token.mid(7).toDouble();
            if (bpm < 20 || bpm > 300)
                return Fail(QStringLiteral("bad tempo change '%1'").arg(token));
            AddTempo(voice.tick, bpm, out);
            continue;
        }
        if (token == QLatin1String("ped") || token == QLatin1String("*")) {
            // A pedal change lifts at the beat and catches the new harmony a moment later.
            if (voice.pedalDown) {
                CompiledEvent up;
                up.tick = voice.tick;
                up.order = PedalUpOrder;
                up.bytes = {0xB0, 64, 0};
                out.events.append(up);
            }
            voice.pedalDown = token == QLatin1String("ped");
            if (voice.pedalDown) {
                CompiledEvent down;
                down.tick = voice.tick + ticksPerQuarter / 16;
                down.order = PedalDownOrder;
                down.bytes = {0xB0, 64, 127};
                out.events.append(down);
            }
            continue;
        }
        // A note, a rest or a chord, with an optional ":duration" and articulation marks.
        QString body = token;
        QVector<int> keys;
        bool rest = false;
        if (token.startsWith('<')) {
            QStringList members;
            QString joined = token;
            while (!joined.contains('>') && index + 1 < tokens.size())
                joined += ' ' + tokens.at(++index);
            const int close = joined.indexOf('>');
            if (close < 0)
                return Fail(QStringLiteral("chord without '>'"));
            for (const QString& pitch : joined.mid(1, close - 1).split(' ', Qt::SkipEmptyParts)) {
                int key = 0;
                if (!ParsePitch(pitch, key))
                    return false;
                keys.append(key);
            }
            if (keys.isEmpty())
                return Fail(QStringLiteral("empty chord"));
            body = QStringLiteral("x") + joined.mid(close + 1);
        }
        static const QRegularExpression pattern(QStringLiteral("^([^:'_!]+)(?::([0-9.+tq]+))?([_'!]*)$"));
        const QRegularExpressionMatch match = pattern.match(body);
        if (!match.hasMatch())
            return Fail(QStringLiteral("cannot read '%1'").arg(token));
        if (keys.isEmpty()) {
            if (match.captured(1) == QLatin1String("r")) {
                rest = true;
            } else {
                int key = 0;
                if (!ParsePitch(match.captured(1), key))
                    return false;
                keys.append(key);
            }
        }
        if (!match.captured(2).isEmpty() && !ParseDuration(match.captured(2), voice.durationTicks))
            return false;
        if (rest) {
            voice.tick += voice.durationTicks;
            continue;
        }
        if (!AddNotes(keys, voice.durationTicks, match.captured(3), out))
            return false;
    }
    return true;
}

bool NoteListParser::Parse(const QString& text, CompiledPiece& out, QString& errorOut)
{
    out = CompiledPiece();
    QVector<Token> voiceTokens;
    auto finishVoice = [&]() -> bool {
        if (!inVoice)
            return true;
        // Expand "( ... )*N" groups, innermost first.
        QStringList flat;
        QVector<int> lines;
        QVector<int> openings;
        for (const Token& token : voiceTokens) {
            lineNumber = token.line;
            if (token.text == QLatin1String("(")) {
                openings.append(flat.size());
                continue;
            }
            if (token.text == QLatin1String(")") || token.text.startsWith(QLatin1String(")*"))) {
                const int count = token.text == QLatin1String(")") ? 1 : token.text.mid(2).toInt();
                if (openings.isEmpty() || count < 1)
                    return Fail(QStringLiteral("unbalanced or bad repeat '%1'").arg(token.text));
                const int start = openings.takeLast();
                const QStringList group = flat.mid(start);
                const QVector<int> groupLines = lines.mid(start);
                for (int copy = 1; copy < count; ++copy) {
                    flat += group;
                    lines += groupLines;
                }
                continue;
            }
            flat.append(token.text);
            lines.append(token.line);
        }
        if (!openings.isEmpty())
            return Fail(QStringLiteral("'(' without ')*N'"));
        const bool ok = ParseVoiceTokens(flat, out);
        if (voice.pedalDown) {
            CompiledEvent up;
            up.tick = voice.tick;
            up.order = PedalUpOrder;
            up.bytes = {0xB0, 64, 0};
            out.events.append(up);
        }
        out.endTick = std::max(out.endTick, voice.tick);
        voiceTokens.clear();
        inVoice = false;
        return ok;
    };

    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        lineNumber = i + 1;
        QString line = lines.at(i);
        const int comment = line.indexOf('#');
        // '#' also marks a sharp; a comment starts only at the line's start or after a space.
        if (comment == 0 || (comment > 0 && line.at(comment - 1).isSpace()))
            line.truncate(comment);
        const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        static const QStringList headers = {"title", "time", "beat", "tempo", "partial"};
        if (headers.contains(words.first())) {
            if (!finishVoice() || !ParseHeader(words, out)) {
                errorOut = error;
                return false;
            }
            continue;
        }
        if (words.first() == QLatin1String("voice")) {
            if (!finishVoice()) {
                errorOut = error;
                return false;
            }
            if (!haveTempo) {
                errorOut = QStringLiteral("line %1: a voice before 'time' and 'tempo'").arg(lineNumber);
                return false;
            }
            inVoice = true;
            voice = VoiceState();
            voice.offset = words.value(2).toInt();
            continue;
        }
        if (!inVoice) {
            errorOut = QStringLiteral("line %1: notes outside a voice").arg(lineNumber);
            return false;
        }
        for (const QString& word : words)
            voiceTokens.append({word, lineNumber});
    }
    if (!finishVoice()) {
        errorOut = error;
        return false;
    }
    const bool hasNotes = std::any_of(out.events.begin(), out.events.end(), [](const CompiledEvent& event) {
        return event.bytes.value(0) == 0x90;
    });
    if (!hasNotes) {
        errorOut = QStringLiteral("the piece has no notes");
        return false;
    }

    // Start of the file: metre, then the instrument; the tempo was added while parsing.
    int exponent = 0;
    while ((1 << exponent) < out.denominator)
        ++exponent;
    CompiledEvent metre;
    metre.order = MetaOrder;
    metre.bytes = {0xFF,
                   0x58,
                   0x04,
                   quint8(out.numerator),
                   quint8(exponent),
                   quint8(out.beatTicks * 24 / ticksPerQuarter),
                   8};
    out.events.prepend(metre);
    CompiledEvent program;
    program.order = MetaOrder;
    program.bytes = {0xC0, 0x00};
    out.events.insert(1, program);

    std::stable_sort(out.events.begin(), out.events.end(),
                     [](const CompiledEvent& a, const CompiledEvent& b) {
                         return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
                     });
    std::stable_sort(
        tempos.begin(), tempos.end(),
        [](const QPair<qint64, double>& a, const QPair<qint64, double>& b) { return a.first < b.first; });

    // Seconds of the last event, integrating the tempo map.
    const qint64 last = out.events.last().tick;
    double seconds = 0;
    for (int i = 0; i < tempos.size(); ++i) {
        const qint64 from = tempos.at(i).first;
        const qint64 to = i + 1 < tempos.size() ? std::min(last, tempos.at(i + 1).first) : last;
        if (to <= from)
            continue;
        const double secondsPerTick = 60.0 / (tempos.at(i).second * out.beatTicks);
        seconds += (to - from) * secondsPerTick;
    }
    out.seconds = seconds;
    return true;
}

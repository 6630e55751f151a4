#include "core/settings_file_format.h"

#include <QDataStream>
#include <QDateTime>
#include <QFileDevice>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTextCodec>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace Core {
namespace {

const char HexDigits[] = "0123456789ABCDEF";

bool IsHexDigit(ushort ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}

bool IsLineBreak(QChar ch)
{
    return ch == QLatin1Char('\n') || ch == QLatin1Char('\r');
}

bool IsBlank(QChar ch)
{
    return ch == QLatin1Char(' ') || ch == QLatin1Char('\t');
}

// ---- Writing ----

// "/" as "\", letters, digits, "_", "-" and "." as they are, anything else as %XX or %UXXXX.
void AppendKey(const QString& key, QByteArray& out)
{
    for (const QChar c : key) {
        const ushort ch = c.unicode();
        if (ch == '/') {
            out += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
                   ch == '_' || ch == '-' || ch == '.') {
            out += char(ch);
        } else if (ch <= 0xFF) {
            out += '%';
            out += HexDigits[ch >> 4];
            out += HexDigits[ch & 0xF];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += HexDigits[(ch >> shift) & 0xF];
        }
    }
}

// Control characters and everything past ASCII as \x escapes, so that the file is ASCII as Qt
// writes it; a hex digit right after such an escape is escaped too, or it would be read as part
// of it. Quoted when it holds ";", "," or "=", or starts or ends with a space.
void AppendString(const QString& text, QByteArray& out)
{
    const int start = out.size();
    bool needsQuotes = false;
    bool escapeHexDigit = false;
    for (const QChar c : text) {
        const ushort ch = c.unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        if (escapeHexDigit && IsHexDigit(ch)) {
            out += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeHexDigit = false;
        switch (ch) {
        case '\0':
            out += "\\0";
            escapeHexDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += char(ch);
            break;
        default:
            if (ch <= 0x1F || ch >= 0x7F) {
                out += "\\x" + QByteArray::number(ch, 16);
                escapeHexDigit = true;
            } else {
                out += char(ch);
            }
        }
    }
    if (needsQuotes || (out.size() > start && (out.at(start) == ' ' || out.at(out.size() - 1) == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

QString Latin1(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.constData(), bytes.size());
}

// A value as Qt's IniFormat spells it: plain text for strings, numbers and booleans (a leading
// "@" doubled, "@String(...)" around text with a NUL), "@ByteArray(...)", "@Rect(...)" and the
// like, "@Variant(...)" for the rest.
QString ValueText(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray:
        return QStringLiteral("@ByteArray(") + Latin1(value.toByteArray()) + QLatin1Char(')');
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Bool:
    case QMetaType::Double:
    case QMetaType::QKeySequence: {
        QString text = value.toString();
        if (text.contains(QChar::Null))
            return QStringLiteral("@String(") + text + QLatin1Char(')');
        if (text.startsWith(QLatin1Char('@')))
            text.prepend(QLatin1Char('@'));
        return text;
    }
    case QMetaType::QRect: {
        const QRect r = value.toRect();
        return QStringLiteral("@Rect(%1 %2 %3 %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    case QMetaType::QSize: {
        const QSize s = value.toSize();
        return QStringLiteral("@Size(%1 %2)").arg(s.width()).arg(s.height());
    }
    case QMetaType::QPoint: {
        const QPoint p = value.toPoint();
        return QStringLiteral("@Point(%1 %2)").arg(p.x()).arg(p.y());
    }
    default: {
        const bool dateTime = value.userType() == QMetaType::QDateTime;
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
        stream << value;
        return QLatin1String(dateTime ? "@DateTime(" : "@Variant(") + Latin1(bytes) + QLatin1Char(')');
    }
    }
}

void AppendValue(const QVariant& value, QByteArray& out)
{
    // A list of one is written as that one value, as Qt does (it reads back as the value).
    const int type = value.userType();
    if (type == QMetaType::QStringList || (type == QMetaType::QVariantList && value.toList().size() != 1)) {
        const QVariantList items = value.toList();
        if (items.isEmpty())
            out += "@Invalid()";
        for (int i = 0; i < items.size(); ++i) {
            if (i > 0)
                out += ", ";
            AppendString(ValueText(items.at(i)), out);
        }
        return;
    }
    AppendString(ValueText(value), out);
}

// Sections by the first part of the keys, the keys without one under [General].
QByteArray IniText(const QSettings::SettingsMap& map)
{
    QMap<QString, QByteArray> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const int slash = it.key().indexOf(QLatin1Char('/'));
        QByteArray& lines = sections[slash < 0 ? QString() : it.key().left(slash)];
        AppendKey(slash < 0 ? it.key() : it.key().mid(slash + 1), lines);
        lines += '=';
        AppendValue(it.value(), lines);
        lines += '\n';
    }
    QByteArray text;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!text.isEmpty())
            text += '\n';
        QByteArray name;
        AppendKey(it.key(), name);
        if (name.isEmpty())
            text += "[General]";
        else if (qstricmp(name.constData(), "general") == 0)
            text += "[%" + name + ']'; // a group of that name, not the keys outside groups
        else
            text += '[' + name + ']';
        text += '\n';
        text += it.value();
    }
    return text;
}

// ---- Reading ----

QString UnescapedKey(const QString& key)
{
    QString result;
    result.reserve(key.size());
    for (int i = 0; i < key.size();) {
        const QChar ch = key.at(i);
        if (ch == QLatin1Char('\\')) {
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch == QLatin1Char('%') && i + 1 < key.size()) {
            const bool wide = key.at(i + 1) == QLatin1Char('U');
            const int first = i + (wide ? 2 : 1), digits = wide ? 4 : 2;
            bool ok = false;
            const uint code = first + digits <= key.size() ? key.midRef(first, digits).toUInt(&ok, 16) : 0;
            if (ok) {
                result += QChar(ushort(code));
                i = first + digits;
                continue;
            }
        }
        result += ch;
        ++i;
    }
    return result;
}

QVariant StringValue(const QString& text)
{
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    if (text.startsWith(QLatin1String("@@")))
        return text.mid(1);
    if (!text.endsWith(QLatin1Char(')')))
        return text;
    const auto inside = [&text](int prefix) { return text.mid(prefix, text.size() - prefix - 1); };
    const auto numbers = [&](int prefix, int count) {
        const QStringList parts = inside(prefix).split(QLatin1Char(' '));
        QVector<int> values;
        for (const QString& part : parts)
            values += part.toInt();
        return values.size() == count ? values : QVector<int>();
    };
    if (text == QLatin1String("@Invalid()"))
        return QVariant();
    if (text.startsWith(QLatin1String("@ByteArray(")))
        return inside(11).toLatin1();
    if (text.startsWith(QLatin1String("@String(")))
        return inside(8);
    const bool dateTime = text.startsWith(QLatin1String("@DateTime("));
    if (dateTime || text.startsWith(QLatin1String("@Variant("))) {
        QByteArray bytes = text.mid(dateTime ? 10 : 9).toLatin1();
        QDataStream stream(&bytes, QIODevice::ReadOnly);
        stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
        QVariant value;
        stream >> value;
        return value;
    }
    if (text.startsWith(QLatin1String("@Rect("))) {
        if (const QVector<int> v = numbers(6, 4); !v.isEmpty())
            return QRect(v[0], v[1], v[2], v[3]);
    } else if (text.startsWith(QLatin1String("@Size("))) {
        if (const QVector<int> v = numbers(6, 2); !v.isEmpty())
            return QSize(v[0], v[1]);
    } else if (text.startsWith(QLatin1String("@Point("))) {
        if (const QVector<int> v = numbers(7, 2); !v.isEmpty())
            return QPoint(v[0], v[1]);
    }
    return text;
}

QVariant ListValue(const QStringList& items)
{
    QStringList strings = items;
    for (QString& item : strings) {
        if (!item.startsWith(QLatin1Char('@')))
            continue;
        if (item.startsWith(QLatin1String("@@"))) {
            item.remove(0, 1);
            continue;
        }
        QVariantList values; // an item of another type: every item as its own value
        for (const QString& each : items)
            values += StringValue(each);
        return values;
    }
    return strings;
}

void ChopBlanks(QString& text, int limit)
{
    while (text.size() > limit && IsBlank(text.at(text.size() - 1)))
        text.chop(1);
}

int HexValue(ushort ch)
{
    return ch <= '9' ? ch - '0' : (ch | 0x20) - 'a' + 10;
}

// The escape whose letter is at text[i] (after a "\"); moves i past it.
void AppendEscape(const QString& text, int& i, int to, QString& out)
{
    static const char simple[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                     {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                     {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    const ushort code = text.at(i++).unicode();
    for (const auto& e : simple)
        if (code == ushort(e[0])) {
            out += QLatin1Char(e[1]);
            return;
        }
    if (code == 'x') {
        if (i >= to || !IsHexDigit(text.at(i).unicode()))
            return;
        uint value = 0;
        while (i < to && IsHexDigit(text.at(i).unicode()))
            value = value * 16 + uint(HexValue(text.at(i++).unicode()));
        out += QChar(ushort(value));
    } else if (code >= '0' && code <= '7') {
        uint value = code - '0';
        while (i < to && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('7'))
            value = value * 8 + (text.at(i++).unicode() - '0');
        out += QChar(ushort(value));
    } else if (IsLineBreak(QChar(code))) {
        // A continued line; "\r\n" and "\n\r" are one break.
        if (i < to && IsLineBreak(text.at(i)) && text.at(i).unicode() != code)
            ++i;
    } // any other escaped character is dropped
}

// The value of text[from, to): escapes (\n, \x41, \101, "\" at a line end), quoted parts, a list
// when a comma stands outside quotes; blanks around unquoted parts are dropped.
QVariant ParseValue(const QString& text, int from, int to)
{
    QString current;
    QStringList items;
    bool isList = false, inQuotes = false, quoted = false;
    int i = from;
    const auto skipBlanks = [&] {
        while (i < to && IsBlank(text.at(i)))
            ++i;
    };
    skipBlanks();
    int chopLimit = 0; // blanks before this position in current came from escapes or quotes
    while (i < to) {
        const QChar ch = text.at(i++);
        if (ch == QLatin1Char('\\')) {
            if (i >= to)
                break;
            AppendEscape(text, i, to, current);
            chopLimit = current.size();
        } else if (ch == QLatin1Char('"')) {
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
                chopLimit = current.size();
            }
        } else if (ch == QLatin1Char(',') && !inQuotes) {
            if (!quoted)
                ChopBlanks(current, chopLimit);
            items += current;
            current.clear();
            isList = true;
            quoted = false;
            skipBlanks();
            chopLimit = 0;
        } else {
            current += ch;
        }
    }
    if (!quoted)
        ChopBlanks(current, chopLimit);
    if (!isList)
        return StringValue(current);
    items += current;
    return ListValue(items);
}

struct Line
{
    int start = 0;
    int end = 0;
    int equals = -1; // the first "=" outside quotes
    bool openQuote = false;
};

// The next line that is not blank nor a comment. A line ends at a line break or a ";" outside
// quotes (the rest of it is a comment); "\" escapes the next character, a line break included.
bool NextLine(const QString& text, int& pos, Line& line)
{
    const int size = text.size();
    for (;;) {
        while (pos < size && (IsBlank(text.at(pos)) || IsLineBreak(text.at(pos))))
            ++pos;
        if (pos >= size)
            return false;
        if (text.at(pos) != QLatin1Char(';') && text.at(pos) != QLatin1Char('#'))
            break;
        while (pos < size && !IsLineBreak(text.at(pos)))
            ++pos;
    }
    line = Line();
    line.start = pos;
    bool inQuotes = false;
    for (; pos < size; ++pos) {
        const QChar ch = text.at(pos);
        if (!inQuotes && (IsLineBreak(ch) || ch == QLatin1Char(';')))
            break;
        if (ch == QLatin1Char('"')) {
            inQuotes = !inQuotes;
        } else if (ch == QLatin1Char('=')) {
            if (!inQuotes && line.equals < 0)
                line.equals = pos;
        } else if (ch == QLatin1Char('\\') && pos + 1 < size) {
            ++pos;
            if (pos + 1 < size && IsLineBreak(text.at(pos)) && IsLineBreak(text.at(pos + 1)) &&
                text.at(pos) != text.at(pos + 1))
                ++pos;
        }
    }
    line.end = pos;
    line.openQuote = inQuotes;
    return true;
}

} // namespace

QSettings::Format SettingsFileFormat::Registered()
{
    static const QSettings::Format format = [] {
        const QSettings::Format registered = QSettings::registerFormat(QStringLiteral("conf"), &Read, &Write);
        return registered == QSettings::InvalidFormat ? QSettings::NativeFormat : registered;
    }();
    return format;
}

void SettingsFileFormat::Install()
{
    QSettings::setDefaultFormat(Registered());
}

bool SettingsFileFormat::Read(QIODevice& device, QSettings::SettingsMap& map)
{
    QByteArray data = device.readAll();
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    if (data.contains('\0'))
        return false;
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForMib(106)->toUnicode(data.constData(), data.size(), &state);
    if (state.invalidChars > 0 || state.remainingChars > 0)
        return false;

    QString section; // "" or "<name>/"
    int pos = 0;
    Line line;
    while (NextLine(text, pos, line)) {
        if (line.openQuote)
            return false;
        if (text.at(line.start) == QLatin1Char('[')) {
            const int close = text.indexOf(QLatin1Char(']'), line.start);
            if (close < 0 || close >= line.end ||
                !text.midRef(close + 1, line.end - close - 1).trimmed().isEmpty())
                return false;
            const QString name = text.mid(line.start + 1, close - line.start - 1).trimmed();
            if (name.isEmpty())
                return false;
            if (name.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0) {
                section.clear();
            } else {
                const bool generalGroup = name.compare(QLatin1String("%general"), Qt::CaseInsensitive) == 0;
                section = (generalGroup ? name.mid(1) : UnescapedKey(name)) + QLatin1Char('/');
            }
            continue;
        }
        if (line.equals < 0)
            return false;
        int keyEnd = line.equals;
        while (keyEnd > line.start && IsBlank(text.at(keyEnd - 1)))
            --keyEnd;
        if (keyEnd == line.start)
            return false;
        map.insert(section + UnescapedKey(text.mid(line.start, keyEnd - line.start)),
                   ParseValue(text, line.equals + 1, line.end));
    }
    return true;
}

bool SettingsFileFormat::Write(QIODevice& device, const QSettings::SettingsMap& map)
{
    const QByteArray text = IniText(map);
    if (device.write(text) != text.size())
        return false;
    auto* file = qobject_cast<QFileDevice*>(&device);
    if (!file)
        return true;
    // Every byte into the file now, while a failure still keeps the old file: QSettings commits
    // the QSaveFile on success, and bytes left in its buffer would be written unchecked then.
    while (file->bytesToWrite() > 0)
        if (!file->flush())
            return false;
    if (file->error() != QFileDevice::NoError)
        return false;
#ifdef Q_OS_UNIX
    // Some file systems (network ones, quotas) tell of missing space only when the data is placed.
    if (::fsync(file->handle()) != 0 && errno != EINVAL)
        return false;
#endif
    return true;
}

} // namespace Core

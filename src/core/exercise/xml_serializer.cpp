#include "core/exercise/xml_serializer.h"

#include "core/error.h"
#include "core/exercise/statistics_database.h"

#include <QBuffer>
#include <QXmlStreamReader>

#include <charconv>
#include <cstring>
#include <iterator>
#include <limits>
#include <string_view>

namespace Core {
namespace ExDbDetail {
namespace {

const char* const SourceFile = "src/core/exercise/xml_serializer";

// The pieces of the file as the store writes it.
constexpr std::string_view Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr std::string_view EmptyRoot = "<ex_stat version=\"1.0\"/>\n";
constexpr std::string_view OpenRoot = "<ex_stat version=\"1.0\">\n";
constexpr std::string_view CloseRoot = "</ex_stat>\n";
constexpr std::string_view EntryId = "    <entry id=\"";
constexpr std::string_view ExIdAttribute = "\" exId=\"";
constexpr std::string_view SectionAttribute = "\" section=\"";
constexpr std::string_view CorrectAttribute = "\" correct=\"";
constexpr std::string_view WrongAttribute = "\" wrong=\"";
constexpr std::string_view EntryEnd = "\"/>\n";

// Steps over text when the input continues with it.
bool Expect(const char*& p, const char* end, std::string_view text)
{
    if (size_t(end - p) < text.size() || std::memcmp(p, text.data(), text.size()) != 0)
        return false;
    p += text.size();
    return true;
}

// A signed decimal that fits 32 bits, as the writer produces; anything else is left to the XML
// reader's rules.
bool Number(const char*& p, const char* end, qint32& value)
{
    const char* q = p;
    const bool negative = q < end && *q == '-';
    if (negative)
        ++q;
    const char* const digits = q;
    qint64 magnitude = 0;
    while (q < end && *q >= '0' && *q <= '9' && q - digits < 10)
        magnitude = magnitude * 10 + (*q++ - '0');
    if (q == digits || (q < end && *q >= '0' && *q <= '9'))
        return false;
    const qint64 signedValue = negative ? -magnitude : magnitude;
    if (signedValue < std::numeric_limits<qint32>::min() || signedValue > std::numeric_limits<qint32>::max())
        return false;
    value = qint32(signedValue);
    p = q;
    return true;
}

void Put(char*& p, std::string_view text)
{
    std::memcpy(p, text.data(), text.size());
    p += text.size();
}

// Decimal text of a 32-bit value. Signed values read back as written; text that is not a number
// (or an absent attribute) reads as 0; unsigned values above the signed range wrap as they
// would in the 32-bit field.
qint32 ReadValue(const QXmlStreamAttributes& attributes, QLatin1String name)
{
    const QStringRef text = attributes.value(name);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok)
        return value;
    const uint unsignedValue = text.toUInt(&ok);
    return ok ? qint32(unsignedValue) : 0;
}

} // namespace

XMLSerializer::XMLSerializer(StatisticsDatabase* database) : database(database) {}

void XMLSerializer::ReadXML(QIODevice& device)
{
    database->Clear();
    QByteArray bytes = device.readAll();
    // Files this store wrote itself take the fast path; anything else (edited by hand, cut off,
    // another version) goes through the XML reader.
    if (ReadCanonical(bytes))
        return;
    database->Clear();
    // The XML reader decodes what it is given into text at twice the size: a large file is read
    // from the device in pieces instead of from memory.
    QBuffer inMemory(&bytes);
    QIODevice* source = &inMemory;
    if (!device.isSequential() && device.seek(0)) {
        bytes.clear();
        source = &device;
    } else {
        inMemory.open(QIODevice::ReadOnly);
    }
    QXmlStreamReader reader(source);
    reader.setNamespaceProcessing(false);
    bool root = true;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        // Another program's XML is no statistics file: read as one, its entries would be taken
        // for answers and the file overwritten by the next save instead of kept aside.
        if (root && reader.name() != QLatin1String("ex_stat"))
            throw Error(SourceFile, "Core::ExDbDetail::XMLSerializer::readXML", __LINE__, 0x623,
                        QStringLiteral("not a statistics file: its root element is <%1>").arg(reader.name()));
        root = false;
        StartElement(reader);
    }
    if (reader.hasError())
        FatalError(reader);
}

bool XMLSerializer::ReadCanonical(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    if (!Expect(p, end, Declaration))
        return false;
    if (Expect(p, end, EmptyRoot))
        return p == end;
    if (!Expect(p, end, OpenRoot))
        return false;
    while (!Expect(p, end, CloseRoot)) {
        StatisticsRecord r;
        const char* const line = p;
        const bool inOrder =
            Expect(p, end, EntryId) && Number(p, end, r.id) && Expect(p, end, ExIdAttribute) &&
            Number(p, end, r.exId) && Expect(p, end, SectionAttribute) && Number(p, end, r.section) &&
            Expect(p, end, CorrectAttribute) && Number(p, end, r.correct) && Expect(p, end, WrongAttribute) &&
            Number(p, end, r.wrong) && Expect(p, end, EntryEnd);
        if (!inOrder) {
            p = line;
            if (!EntryInAnyOrder(p, end, r))
                return false;
        }
        database->Append(r);
    }
    return p == end;
}

// An entry line of the store's layout with its five attributes in another order (as another
// writer of the format may put them), each exactly once. p is at the line's start, and is left
// there when the line is not one.
bool XMLSerializer::EntryInAnyOrder(const char*& p, const char* end, StatisticsRecord& r)
{
    const char* q = p;
    static constexpr std::string_view Open = "    <entry";
    if (!Expect(q, end, Open))
        return false;
    static constexpr std::string_view Names[] = {"id", "exId", "section", "correct", "wrong"};
    qint32* const fields[] = {&r.id, &r.exId, &r.section, &r.correct, &r.wrong};
    unsigned seen = 0;
    while (seen != (1u << std::size(Names)) - 1) {
        if (!Expect(q, end, " "))
            return false;
        size_t which = 0;
        while (which < std::size(Names) && !(size_t(end - q) > Names[which].size() + 1 &&
                                             std::memcmp(q, Names[which].data(), Names[which].size()) == 0 &&
                                             q[Names[which].size()] == '='))
            ++which;
        if (which == std::size(Names) || (seen & (1u << which)))
            return false;
        q += Names[which].size() + 1;
        if (!(Expect(q, end, "\"") && Number(q, end, *fields[which]) && Expect(q, end, "\"")))
            return false;
        seen |= 1u << which;
    }
    if (!Expect(q, end, "/>\n"))
        return false;
    p = q;
    return true;
}

void XMLSerializer::StartElement(const QXmlStreamReader& reader)
{
    const QStringRef name = reader.name();
    const QXmlStreamAttributes attributes = reader.attributes();
    if (name == QLatin1String("ex_stat")) {
        if (attributes.value(QLatin1String("version")) != QLatin1String("1.0"))
            throw Error(SourceFile, "Core::ExDbDetail::XMLSerializer::startElement", __LINE__, 0x623,
                        QString());
    } else if (name == QLatin1String("entry")) {
        StatisticsRecord record;
        record.id = ReadValue(attributes, QLatin1String("id"));
        record.exId = ReadValue(attributes, QLatin1String("exId"));
        record.section = ReadValue(attributes, QLatin1String("section"));
        record.correct = ReadValue(attributes, QLatin1String("correct"));
        record.wrong = ReadValue(attributes, QLatin1String("wrong"));
        database->Append(record);
    }
}

void XMLSerializer::FatalError(const QXmlStreamReader& reader)
{
    throw Error(SourceFile, "Core::ExDbDetail::XMLSerializer::fatalError", __LINE__, 0x623,
                QStringLiteral("ExerciseDb XML error %1:%2 : %3")
                    .arg(reader.lineNumber())
                    .arg(reader.columnNumber())
                    .arg(reader.errorString()));
}

QByteArray XMLSerializer::WriteXML(const std::vector<StatisticsRecord>& records)
{
    // The exact bytes QXmlStreamWriter produces with auto-formatting for this document, written
    // directly: decimal numbers need no escaping, and this is many times faster for large files.
    QByteArray bytes;
    bytes.reserve(int(records.size()) * 80 + 128);
    bytes.append(Declaration.data(), int(Declaration.size()));
    if (records.empty()) {
        bytes.append(EmptyRoot.data(), int(EmptyRoot.size()));
        return bytes;
    }
    bytes.append(OpenRoot.data(), int(OpenRoot.size()));
    char line[160]; // the fixed text is 67 bytes, each number at most 11
    char* const lineEnd = line + sizeof(line);
    for (const StatisticsRecord& r : records) {
        char* p = line;
        Put(p, EntryId);
        p = std::to_chars(p, lineEnd, r.id).ptr;
        Put(p, ExIdAttribute);
        p = std::to_chars(p, lineEnd, r.exId).ptr;
        Put(p, SectionAttribute);
        p = std::to_chars(p, lineEnd, r.section).ptr;
        Put(p, CorrectAttribute);
        p = std::to_chars(p, lineEnd, r.correct).ptr;
        Put(p, WrongAttribute);
        p = std::to_chars(p, lineEnd, r.wrong).ptr;
        Put(p, EntryEnd);
        bytes.append(line, int(p - line));
    }
    bytes.append(CloseRoot.data(), int(CloseRoot.size()));
    return bytes;
}

} // namespace ExDbDetail
} // namespace Core

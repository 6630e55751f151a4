#include "core/exercise/xml_serializer.h"

#include "core/error.h"
#include "core/exercise/statistics_database.h"

#include <QBuffer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace Core {
namespace ExDbDetail {
namespace {

const char* const SourceFile = "src/core/exercise/xml_serializer";

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
    QXmlStreamReader reader(&device);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            StartElement(reader);
    }
    if (reader.hasError())
        FatalError(reader);
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
    QByteArray bytes;
    // About 65 bytes a line; reserving avoids repeated growth of large files.
    bytes.reserve(int(records.size()) * 72 + 128);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("ex_stat"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    const QString id = QStringLiteral("id"), exId = QStringLiteral("exId"),
                  section = QStringLiteral("section"), correct = QStringLiteral("correct"),
                  wrong = QStringLiteral("wrong"), entry = QStringLiteral("entry");
    for (const StatisticsRecord& r : records) {
        writer.writeEmptyElement(entry);
        writer.writeAttribute(id, QString::number(r.id));
        writer.writeAttribute(exId, QString::number(r.exId));
        writer.writeAttribute(section, QString::number(r.section));
        writer.writeAttribute(correct, QString::number(r.correct));
        writer.writeAttribute(wrong, QString::number(r.wrong));
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    buffer.close();
    return bytes;
}

} // namespace ExDbDetail
} // namespace Core

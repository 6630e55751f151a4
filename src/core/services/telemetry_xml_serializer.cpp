#include "core/services/telemetry_xml_serializer.h"

#include "core/error.h"

#include <QBuffer>
#include <QVariant>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace Core {
namespace {

const char* const SourceFile = "src/core/telemetry";
constexpr int ParseErrorCode = 1571;

qint32 Int(const QXmlStreamAttributes& attributes, const char* name)
{
    return attributes.value(QLatin1String(name)).toInt(); // absent or not a number: 0
}

double Double(const QXmlStreamAttributes& attributes, const char* name)
{
    return attributes.value(QLatin1String(name)).toDouble();
}

// Doubles in the text form of QVariant's conversion (shortest form that reads back exactly).
QString Text(double value)
{
    return QVariant(value).toString();
}

} // namespace

TelemetryXMLSerializer::TelemetryXMLSerializer(TelemetryCounters* counters) : counters(counters) {}

void TelemetryXMLSerializer::ReadXML(QIODevice& device)
{
    QXmlStreamReader reader(&device);
    currentTrainer = -1;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            StartElement(reader);
    }
    if (reader.hasError())
        FatalError(reader);
}

void TelemetryXMLSerializer::StartElement(const QXmlStreamReader& reader)
{
    const QStringRef name = reader.name();
    const QXmlStreamAttributes a = reader.attributes();
    if (name == QLatin1String("telemetry")) {
        if (a.value(QLatin1String("version")) != QLatin1String("1.0"))
            throw Error(SourceFile, "Core::TelemetryXMLSerializer::startElement", __LINE__, ParseErrorCode,
                        QStringLiteral("unsupported telemetry version \"%1\"")
                            .arg(a.value(QLatin1String("version")).toString()));
        counters->appLaunchCount = Int(a, "appLaunchCount");
        counters->appTimeAverage = Int(a, "appTimeAverage");
        // A missing or broken identifier keeps the one made for this run rather than becoming
        // the null identifier that every such installation would then share.
        const QUuid uid(a.value(QLatin1String("uid")).toString());
        if (!uid.isNull())
            counters->uid = uid;
        // An empty or broken date keeps the construction time rather than becoming 1970.
        bool dateOk = false;
        const qint64 installDate = a.value(QLatin1String("installDate")).toLongLong(&dateOk);
        if (dateOk)
            counters->installDate = installDate;
    } else if (name == QLatin1String("exercise")) {
        const int id = Int(a, "id");
        currentTrainer = id >= 0 && id < TelemetryCounters::TrainerCount ? id : -1;
        if (currentTrainer < 0)
            return;
        TrainerUsage& t = counters->trainers[size_t(currentTrainer)];
        t.exLaunchCount = Int(a, "exLaunchCount");
        t.quizLaunchCount = Int(a, "quizLaunchCount");
        t.refLaunchCount = Int(a, "refLaunchCount");
        t.settingsLaunchCount = Int(a, "settingsLaunchCount");
        t.exTimeAverage = Int(a, "exTimeAverage");
        t.quizTimeAverage = Int(a, "quizTimeAverage");
        t.refTimeAverage = Int(a, "refTimeAverage");
        t.settingsTimeAverage = Int(a, "settingsTimeAverage");
        t.exScoreAverage = Double(a, "exScoreAverage");
        t.quizScoreAverage = Double(a, "quizScoreAverage");
    } else if (name == QLatin1String("exScore") || name == QLatin1String("quizScore")) {
        const int index = Int(a, "index");
        if (currentTrainer < 0 || index < 0 || index >= TrainerUsage::HistoryLength)
            return;
        TrainerUsage& t = counters->trainers[size_t(currentTrainer)];
        (name == QLatin1String("exScore") ? t.exScore : t.quizScore)[size_t(index)] = Double(a, "value");
    }
}

void TelemetryXMLSerializer::FatalError(const QXmlStreamReader& reader)
{
    throw Error(SourceFile, "Core::TelemetryXMLSerializer::fatalError", __LINE__, ParseErrorCode,
                QStringLiteral("TelemetryDb XML error %1:%2 : %3")
                    .arg(reader.lineNumber())
                    .arg(reader.columnNumber())
                    .arg(reader.errorString()));
}

QByteArray TelemetryXMLSerializer::WriteXML(const TelemetryCounters& c)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter w(&buffer);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("telemetry"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    w.writeAttribute(QStringLiteral("appLaunchCount"), QString::number(c.appLaunchCount));
    w.writeAttribute(QStringLiteral("appTimeAverage"), QString::number(c.appTimeAverage));
    w.writeAttribute(QStringLiteral("uid"), c.uid.toString(QUuid::WithBraces));
    w.writeAttribute(QStringLiteral("installDate"), QString::number(c.installDate));
    w.writeAttribute(QStringLiteral("os"), c.os);
    w.writeAttribute(QStringLiteral("locale"), c.locale);
    w.writeAttribute(QStringLiteral("tz"), QString::number(c.tz));
    for (int i = 0; i < TelemetryCounters::TrainerCount; ++i) {
        const TrainerUsage& t = c.trainers[size_t(i)];
        w.writeStartElement(QStringLiteral("exercise"));
        w.writeAttribute(QStringLiteral("id"), QString::number(i));
        w.writeAttribute(QStringLiteral("exLaunchCount"), QString::number(t.exLaunchCount));
        w.writeAttribute(QStringLiteral("quizLaunchCount"), QString::number(t.quizLaunchCount));
        w.writeAttribute(QStringLiteral("refLaunchCount"), QString::number(t.refLaunchCount));
        w.writeAttribute(QStringLiteral("settingsLaunchCount"), QString::number(t.settingsLaunchCount));
        w.writeAttribute(QStringLiteral("exTimeAverage"), QString::number(t.exTimeAverage));
        w.writeAttribute(QStringLiteral("quizTimeAverage"), QString::number(t.quizTimeAverage));
        w.writeAttribute(QStringLiteral("refTimeAverage"), QString::number(t.refTimeAverage));
        w.writeAttribute(QStringLiteral("settingsTimeAverage"), QString::number(t.settingsTimeAverage));
        w.writeAttribute(QStringLiteral("exScoreAverage"), Text(t.exScoreAverage));
        w.writeAttribute(QStringLiteral("quizScoreAverage"), Text(t.quizScoreAverage));
        for (const char* element : {"exScore", "quizScore"}) {
            const auto& history = qstrcmp(element, "exScore") == 0 ? t.exScore : t.quizScore;
            for (int k = 0; k < TrainerUsage::HistoryLength; ++k) {
                w.writeEmptyElement(QLatin1String(element));
                w.writeAttribute(QStringLiteral("index"), QString::number(k));
                w.writeAttribute(QStringLiteral("value"), Text(history[size_t(k)]));
            }
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return bytes;
}

} // namespace Core

#pragma once
// Reading and writing of the telemetry document: the file "tstats.xml" and, byte for byte, the
// body of the usage-statistics upload. Root "telemetry" (version "1.0") with the program-wide
// counters, one "exercise" per trainer with its counters, and inside it the ten "exScore" and
// ten "quizScore" history entries. Used by Core::Telemetry.

#include "core/services/telemetry_counters.h"

#include <QByteArray>

class QIODevice;
class QXmlStreamReader;

namespace Core {

class TelemetryXMLSerializer
{
public:
    explicit TelemetryXMLSerializer(TelemetryCounters* counters);

    // Reads the stored counters into the target. "os", "locale" and "tz" are not read back.
    // Throws Error 1571 for a malformed document or a version other than "1.0"; what was read
    // before the failure stays in the target.
    void ReadXML(QIODevice& device);

    static QByteArray WriteXML(const TelemetryCounters& counters);

private:
    void StartElement(const QXmlStreamReader& reader);
    [[noreturn]] void FatalError(const QXmlStreamReader& reader);

    TelemetryCounters* counters;
    int currentTrainer = -1; // the "exercise" element being read; -1 outside or out of range
};

} // namespace Core

#pragma once
// Reading and writing of the statistics files "stats.xml" and "statsLocal.xml" for
// Core::ExerciseStatistics. The format is one root "ex_stat" with version "1.0" and one empty
// "entry" element per record, four-space indented, attributes in record field order.
//
// Writing produces the bytes QXmlStreamWriter would, formatted directly. Reading scans files in
// that layout (entry attributes in any order) without a tokenizer (a 20,000-record file in a few
// milliseconds) and hands any other text to QXmlStreamReader, so hand-edited or foreign files
// read by XML rules.
//
// Stateless apart from the database being filled; the store calls it under its own locks.

#include "core/exercise/statistics_record.h"

#include <QByteArray>
#include <QString>

#include <vector>

class QIODevice;
class QXmlStreamReader;

namespace Core {
namespace ExDbDetail {

class StatisticsDatabase;

class XMLSerializer
{
public:
    explicit XMLSerializer(StatisticsDatabase* database);

    // Empties the database, then appends every "entry" read from the device, as it comes.
    // Throws Error 0x623 when the document is malformed, cut off, or its version is not "1.0";
    // the records read before the failure stay in the database.
    void ReadXML(QIODevice& device);

    // The whole file for these records.
    static QByteArray WriteXML(const std::vector<StatisticsRecord>& records);

private:
    // Reads a file in exactly the layout WriteXML produces; false (database partly filled) for
    // any other text.
    bool ReadCanonical(const QByteArray& bytes);
    bool EntryInAnyOrder(const char*& p, const char* end, StatisticsRecord& r);
    void StartElement(const QXmlStreamReader& reader);
    [[noreturn]] void FatalError(const QXmlStreamReader& reader);

    StatisticsDatabase* database;
};

} // namespace ExDbDetail
} // namespace Core

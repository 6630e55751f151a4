// The MIDI file reader on real files: its three failures with their codes and messages, files
// that libsmf would mistake or die on, tempo maps turned into seconds, every tempo piece, and
// the cases the fuzzer kept.

#include "core/midi/midi_file.h"
#include "core/midi/midi_file_validator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <glib.h>

namespace {

void IgnoreLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

QByteArray BigEndian(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
    return out;
}

QByteArray VariableLength(quint32 value)
{
    QByteArray out(1, char(value & 0x7F));
    while ((value >>= 7) != 0)
        out.prepend(char(0x80 | (value & 0x7F)));
    return out;
}

// One track event: delta pulses then the bytes of the message.
QByteArray Event(quint32 delta, const QByteArray& bytes)
{
    return VariableLength(delta) + bytes;
}

QByteArray Tempo(quint32 delta, quint32 microsecondsPerQuarter)
{
    return Event(delta, QByteArray("\xFF\x51\x03", 3) + BigEndian(microsecondsPerQuarter, 3));
}

QByteArray Channel(quint32 delta, int status, int data1, int data2 = -1)
{
    QByteArray bytes;
    bytes.append(char(status));
    bytes.append(char(data1));
    if (data2 >= 0)
        bytes.append(char(data2));
    return Event(delta, bytes);
}

QByteArray Track(const QByteArray& events)
{
    const QByteArray body = events + Event(0, QByteArray("\xFF\x2F\x00", 3));
    return "MTrk" + BigEndian(quint32(body.size()), 4) + body;
}

QByteArray SmfFile(int format, int division, const QList<QByteArray>& tracks)
{
    QByteArray out = "MThd" + BigEndian(6, 4) + BigEndian(quint32(format), 2) +
                     BigEndian(quint32(tracks.size()), 2) + BigEndian(quint32(division), 2);
    for (const QByteArray& track : tracks)
        out += Track(track);
    return out;
}

struct ExpectedEvent
{
    int status;
    int tick;
    double seconds;
};

} // namespace

Q_DECLARE_METATYPE(QList<ExpectedEvent>)

class TestMidiFile : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static QByteArray Resource(const QString& name)
    {
        QFile file(QStringLiteral(":/midi/") + name);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("missing piece %s", qPrintable(name));
        return file.readAll();
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(midi_pieces);
        g_log_set_default_handler(IgnoreLog, nullptr);
        QVERIFY(folder.isValid());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");

        const QString opening = QStringLiteral("Error opening midi file.");
        const QString loading = QStringLiteral("Error loading midi file.");
        QTest::newRow("missing file") << folder.filePath(QStringLiteral("none.mid")) << 0x105 << opening;
        QTest::newRow("missing resource") << QStringLiteral(":/midi/none.mid") << 0x105 << opening;
        QTest::newRow("folder") << folder.path() << 0x105 << opening;

        const QByteArray piece = Resource(QStringLiteral("largo_chop58.3.mid"));
        QTest::newRow("empty file") << Write(QStringLiteral("empty.mid"), QByteArray()) << 0x108 << loading;
        QTest::newRow("text") << Write(QStringLiteral("text.mid"), "not a MIDI file at all") << 0x108
                              << loading;
        QTest::newRow("header only") << Write(QStringLiteral("header.mid"), piece.left(14)) << 0x108
                                     << loading;
        QTest::newRow("truncated in half")
            << Write(QStringLiteral("half.mid"), piece.left(piece.size() / 2)) << 0x108 << loading;
        QTest::newRow("last byte missing")
            << Write(QStringLiteral("short.mid"), piece.left(piece.size() - 1)) << 0x108 << loading;
        QTest::newRow("missing track")
            << Write(QStringLiteral("tracks.mid"),
                     SmfFile(1, 480, {Tempo(0, 500000)}).replace(10, 2, QByteArray("\x00\x02", 2)))
            << 0x108 << loading;
        QByteArray longer = SmfFile(0, 480, {Channel(0, 0x90, 60, 90)});
        longer[21] = char(longer[21] + 40); // track length beyond the end of the file
        const QString huge = Write(QStringLiteral("huge.mid"), piece);
        QVERIFY(QFile(huge).resize(Core::MidiFileValidator::maximumSize + 1)); // sparse
        QTest::newRow("larger than any MIDI file") << huge << 0x108 << loading;
        QTest::newRow("track longer than file")
            << Write(QStringLiteral("long.mid"), longer) << 0x108 << loading;
    }
    void failures()
    {
        QFETCH(QString, path);
        QFETCH(int, code);
        QFETCH(QString, message);

        Core::MidiStream stream{MidiEvent{MidiMessage(0x90, 0, 60, 1), 0, 0.0}};
        const Error error = Core::MidiFile(path).ReadStream(stream);
        QCOMPARE(error.Code(), code);
        QCOMPARE(error.Message(), message);
        QCOMPARE(QString::fromUtf8(error.Function()), QStringLiteral("Core::MidiFile::ReadStream"));
        QCOMPARE(QString::fromUtf8(error.File()), QStringLiteral("src/core/midi/midi_file"));
        QVERIFY(!Core::MidiFile::IsSuccess(error));
        QCOMPARE(stream.size(), 1); // nothing appended, nothing lost
    }

    // A file whose size the system reports larger than what can be read (sysfs attributes
    // claim a page each): the read comes up short.
    void shortRead()
    {
        const QStringList candidates = {QStringLiteral("/sys/devices/system/cpu/online"),
                                        QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"),
                                        QStringLiteral("/sys/power/state")};
        QString path;
        for (const QString& candidate : candidates) {
            QFile probe(candidate);
            if (probe.open(QIODevice::ReadOnly) && probe.size() > probe.readAll().size()) {
                path = candidate;
                break;
            }
        }
        if (path.isEmpty())
            QSKIP("no file here reports more bytes than it holds");
        Core::MidiStream stream;
        const Error error = Core::MidiFile(path).ReadStream(stream);
        QCOMPARE(error.Code(), 0x101);
        QCOMPARE(error.Message(), QStringLiteral("Error reading midi file."));
        QVERIFY(stream.isEmpty());
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<ExpectedEvent>>("expected");

        QTest::newRow("meta events only")
            << SmfFile(0, 480, {Tempo(0, 500000) + Event(0, QByteArray("\xFF\x58\x04\x04\x02\x18\x08", 7))})
            << QList<ExpectedEvent>{};
        QTest::newRow("no tempo: 120 a minute")
            << SmfFile(0, 384, {Channel(0, 0xC0, 0) + Channel(0, 0x90, 60, 80) + Channel(384, 0x80, 60, 0)})
            << QList<ExpectedEvent>{{0xC0, 0, 0.0}, {0x90, 0, 0.0}, {0x80, 384, 0.5}};
        // 120 a minute for the first quarter, then 60: the later notes take twice as long.
        QTest::newRow("tempo change mid-file")
            << SmfFile(0, 480,
                       {Tempo(0, 500000) + Channel(0, 0x90, 60, 80) + Channel(480, 0x80, 60, 0) +
                        Tempo(0, 1000000) + Channel(0, 0x90, 62, 80) + Channel(480, 0x80, 62, 0) +
                        Channel(480, 0x90, 64, 80)})
            << QList<ExpectedEvent>{
                   {0x90, 0, 0.0}, {0x80, 480, 0.5}, {0x90, 480, 0.5}, {0x80, 960, 1.5}, {0x90, 1440, 2.5}};
        // Format 1: the tempo map in its own track, the notes in another; merged in time order.
        QTest::newRow("tempo track and note track")
            << SmfFile(1, 480,
                       {Tempo(0, 600000) + Tempo(960, 300000),
                        Channel(0, 0x90, 60, 80) + Channel(960, 0x80, 60, 0) + Channel(0, 0xB0, 64, 127) +
                            Channel(480, 0x90, 67, 80)})
            << QList<ExpectedEvent>{{0x90, 0, 0.0}, {0x80, 960, 1.2}, {0xB0, 960, 1.2}, {0x90, 1440, 1.5}};
        QTest::newRow("running status")
            << SmfFile(0, 480, {Channel(0, 0x90, 60, 80) + Event(240, QByteArray("\x3C\x00", 2))})
            << QList<ExpectedEvent>{{0x90, 0, 0.0}, {0x90, 240, 0.25}};
        QTest::newRow("system exclusive left out")
            << SmfFile(0, 480,
                       {Event(0, QByteArray("\xF0\x05\x7E\x7F\x09\x01\xF7", 7)) + Channel(0, 0xE0, 0, 64)})
            << QList<ExpectedEvent>{{0xE0, 0, 0.0}};
    }
    void reads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<ExpectedEvent>, expected);
        QVERIFY2(Core::MidiFileValidator::Check(bytes).valid,
                 qPrintable(Core::MidiFileValidator::Check(bytes).reason));

        const MidiEvent earlier{MidiMessage(0xB0, 0, 7, 100), 5, 0.25};
        Core::MidiStream stream{earlier};
        const Error error = Core::MidiFile(Write(QStringLiteral("read.mid"), bytes)).ReadStream(stream);
        QVERIFY2(Core::MidiFile::IsSuccess(error), qPrintable(error.Describe()));
        QCOMPARE(stream.size(), expected.size() + 1);
        QCOMPARE(stream.first().message, earlier.message); // appended after what was there
        for (int i = 0; i < expected.size(); ++i) {
            const MidiEvent& event = stream.at(i + 1);
            QCOMPARE(int(event.message.status), expected.at(i).status);
            QCOMPARE(event.tick, expected.at(i).tick);
            QVERIFY2(qAbs(event.seconds - expected.at(i).seconds) < 1e-6,
                     qPrintable(QStringLiteral("event %1 at %2 s").arg(i).arg(event.seconds)));
        }
    }

    void messageBytes()
    {
        Core::MidiStream stream;
        const QByteArray bytes = SmfFile(0, 480, {Channel(0, 0xC3, 5) + Channel(10, 0x93, 61, 99)});
        QVERIFY(Core::MidiFile::IsSuccess(
            Core::MidiFile(Write(QStringLiteral("bytes.mid"), bytes)).ReadStream(stream)));
        QCOMPARE(stream.size(), 2);
        QCOMPARE(stream.at(0).message, MidiMessage(0xC0, 3, 5));
        QCOMPARE(int(stream.at(0).message.length), 2);
        QCOMPARE(stream.at(1).message, MidiMessage(0x90, 3, 61, 99));
        QCOMPARE(int(stream.at(1).message.length), 3);
    }

    void piece_data()
    {
        QTest::addColumn<QString>("path");
        const QFileInfoList pieces = QDir(QStringLiteral(":/midi/")).entryInfoList(QDir::Files);
        QCOMPARE(pieces.size(), 38);
        for (const QFileInfo& info : pieces)
            QTest::newRow(qPrintable(info.fileName())) << info.absoluteFilePath();
    }
    void piece()
    {
        QFETCH(QString, path);
        Core::MidiStream stream;
        const Error error = Core::MidiFile(path).ReadStream(stream);
        QVERIFY2(Core::MidiFile::IsSuccess(error), qPrintable(error.Describe()));
        QVERIFY(stream.size() > 10);
        int notes = 0;
        for (int i = 0; i < stream.size(); ++i) {
            const MidiEvent& event = stream.at(i);
            QVERIFY(event.message.status >= 0x80 && event.message.status < 0xF0);
            QCOMPARE(event.message.Channel(), 0);
            if (i > 0) {
                QVERIFY(event.seconds >= stream.at(i - 1).seconds);
                QVERIFY(event.tick >= stream.at(i - 1).tick);
            }
            if (event.message.IsNoteOn())
                ++notes;
        }
        QVERIFY(notes > 4);
        const double length = stream.last().seconds;
        QVERIFY2(length >= 8.0 && length <= 20.0, qPrintable(QStringLiteral("lasts %1 s").arg(length)));
    }

    // Every input the fuzzer kept goes through the reader from a real file: it either loads
    // or yields 0x108, and never ends the process.
    void replaysFuzzingCases()
    {
        const QFileInfoList files =
            QDir(QStringLiteral(CANTORELA_FUZZ_CASES)).entryInfoList({QStringLiteral("*.hex")}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QFileInfo& info : files) {
            QFile hex(info.absoluteFilePath());
            QVERIFY(hex.open(QIODevice::ReadOnly));
            const QByteArray bytes = QByteArray::fromHex(hex.readAll().simplified().replace(' ', ""));
            Core::MidiStream stream;
            const Error error = Core::MidiFile(Write(QStringLiteral("case.mid"), bytes)).ReadStream(stream);
            const bool valid = Core::MidiFileValidator::Check(bytes).valid;
            QCOMPARE(error.Code(), valid ? 0 : 0x108);
            if (!valid)
                QVERIFY(stream.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestMidiFile)
#include "test_midi_file.moc"

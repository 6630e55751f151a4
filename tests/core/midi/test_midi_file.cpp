// The MIDI file reader on real files: its failures with their codes and messages, and tempo maps
// turned into seconds. Malformed files, file sizes and the kept fuzzing inputs are tried in
// test_midi_file_validator, which runs the same bytes through the check and this reader.

#include "../../common/file_bytes.h"
#include "core/midi/midi_file.h"
#include "midi_file_bytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <glib.h>

using namespace MidiFileBytes;

namespace {

void IgnoreLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

} // namespace

class TestMidiFile : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(midi_pieces);
        g_log_set_default_handler(IgnoreLog, nullptr);
        QVERIFY(folder.isValid());
    }

    void failureLeavesStreamAlone_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("code");
        QTest::newRow("missing file") << folder.filePath(QStringLiteral("none.mid")) << 0x105;
        QTest::newRow("missing resource") << QStringLiteral(":/midi/none.mid") << 0x105;
        QTest::newRow("folder") << folder.path() << 0x105;
    }
    void failureLeavesStreamAlone()
    {
        QFETCH(QString, path);
        QFETCH(int, code);
        Core::MidiStream stream{MidiEvent{MidiMessage(0x90, 0, 60, 1), 0, 0.0}};
        const Error error = Core::MidiFile(path).ReadStream(stream);
        QCOMPARE(error.Code(), code);
        QVERIFY(!error.Message().isEmpty());
        QVERIFY(!Core::MidiFile::IsSuccess(error));
        QCOMPARE(stream.size(), 1);
    }

    // A file whose size the system reports larger than what can be read (sysfs attributes
    // claim a page each): the read comes up short.
    void shortReadIsAnError()
    {
        QString path;
        for (const char* candidate : {"/sys/devices/system/cpu/online",
                                      "/sys/kernel/mm/transparent_hugepage/enabled", "/sys/power/state"}) {
            QFile probe(QString::fromLatin1(candidate));
            if (path.isEmpty() && probe.open(QIODevice::ReadOnly) && probe.size() > probe.readAll().size())
                path = probe.fileName();
        }
        if (path.isEmpty())
            QSKIP("no file here reports more bytes than it holds");
        Core::MidiStream stream;
        const Error error = Core::MidiFile(path).ReadStream(stream);
        QCOMPARE(error.Code(), 0x101);
        QVERIFY(stream.isEmpty());
    }

    void channelMessagesTimedByTheTempoMap_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("events");
        QTest::addColumn<QList<double>>("seconds");

        // 384 pulses a quarter and no tempo: 120 a minute.
        QTest::newRow("no tempo") << Smf("00c305 00933c50 8300833c00 00ff2f00").replace(12, 2, Hex("0180"))
                                  << "c305@0 933c50@0 833c00@384" << QList<double>{0.0, 0.0, 0.5};
        // 120 a minute for the first quarter, then 60: the later notes take twice as long.
        QTest::newRow("tempo change mid-file") << Smf("00ff510307a120 00903c50 8360803c00 00ff51030f4240 "
                                                      "00903e50 8360803e00 8360904050 00ff2f00")
                                               << "903c50@0 803c00@480 903e50@480 803e00@960 904050@1440"
                                               << QList<double>{0.0, 0.5, 0.5, 1.5, 2.5};
        // Format 1: the tempo map in its own track, the notes in another; merged in time order.
        QTest::newRow("tempo track and note track")
            << Smf({Hex("00ff51030927c0 8740ff51030493e0 00ff2f00"),
                    Hex("00903c50 8740803c00 00b0407f 8360904350 00ff2f00")})
            << "903c50@0 803c00@960 b0407f@960 904350@1440" << QList<double>{0.0, 1.2, 1.2, 1.5};
    }
    void channelMessagesTimedByTheTempoMap()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, events);
        QFETCH(QList<double>, seconds);

        const QString path = folder.filePath(QStringLiteral("read.mid"));
        QVERIFY(WriteAll(path, bytes));
        Core::MidiStream stream;
        const Error error = Core::MidiFile(path).ReadStream(stream);
        QVERIFY2(Core::MidiFile::IsSuccess(error), qPrintable(error.Describe()));
        QCOMPARE(Described(stream), events);
        for (int i = 0; i < seconds.size(); ++i)
            QVERIFY2(qAbs(stream.at(i).seconds - seconds.at(i)) < 1e-6,
                     qPrintable(QStringLiteral("event %1 at %2 s").arg(i).arg(stream.at(i).seconds)));
    }
};

QTEST_GUILESS_MAIN(TestMidiFile)
#include "test_midi_file.moc"

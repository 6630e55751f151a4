// The MIDI file check in front of libsmf: well-formed files pass and load with libsmf; every
// truncation and each kind of damage is refused with its offset; the kept fuzzing cases replay
// without stopping the process.

#include "core/midi/midi_file_validator.h"

#include <QDir>
#include <QtTest>

#include <smf.h>

using Core::MidiFileValidator;

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Header for one track (format 0) at 480 pulses, then a track chunk around `events`.
QByteArray File(const QByteArray& events, int format = 0, int tracks = 1)
{
    QByteArray file = Hex("4d546864 00000006");
    file += char(0) + QByteArray(1, char(format));
    file += char(tracks >> 8) + QByteArray(1, char(tracks & 0xFF));
    file += Hex("01e0");
    for (int i = 0; i < tracks; ++i) {
        file += Hex("4d54726b");
        const quint32 length = quint32(events.size());
        file += char(length >> 24) + QByteArray(1, char(length >> 16)) + char(length >> 8) + char(length);
        file += events;
    }
    return file;
}

const char* endOfTrack = "00 ff2f00";

void IgnoreLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// libsmf must read every accepted file whole.
void CheckLoads(const QByteArray& bytes)
{
    smf_t* smf = smf_load_from_memory(bytes.constData(), bytes.size());
    QVERIFY(smf != nullptr);
    QCOMPARE(smf->number_of_tracks, (uchar(bytes.at(10)) << 8) | uchar(bytes.at(11)));
    while (smf_get_next_event(smf) != nullptr) {
    }
    smf_delete(smf);
}

} // namespace

class TestMidiFileValidator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { g_log_set_default_handler(IgnoreLog, nullptr); }

    void accepts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty track") << File(Hex(endOfTrack));
        QTest::newRow("program, note on and off")
            << File(Hex("00c000 00903c40 8360803c40") + Hex(endOfTrack));
        QTest::newRow("running status") << File(Hex("00903c40 10 3e40 10 3c00 00 3e00") + Hex(endOfTrack));
        QTest::newRow("tempo and metre") << File(Hex("00ff510307a120 00ff580406031808") + Hex(endOfTrack));
        QTest::newRow("text meta of 127 bytes")
            << File(Hex("00ff017f") + QByteArray(127, 'a') + Hex(endOfTrack));
        QTest::newRow("sysex") << File(Hex("00f0 05 7e7f0901f7") + Hex(endOfTrack));
        QTest::newRow("four-byte delta") << File(Hex("ffffff7f 903c40") + Hex(endOfTrack));
        QTest::newRow("format 1, three tracks") << File(Hex("00903c40 10803c40") + Hex(endOfTrack), 1, 3);
        QTest::newRow("pitch bend and pressure") << File(Hex("00e00040 00d020 00b04000") + Hex(endOfTrack));
    }
    void accepts()
    {
        QFETCH(QByteArray, bytes);
        const MidiFileValidator::Result result = MidiFileValidator::Check(bytes);
        QVERIFY2(result.valid, qPrintable(result.reason));
        QVERIFY(result.reason.isEmpty());
        CheckLoads(bytes);
    }

    void rejects_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("offset");
        const QByteArray good = File(Hex("00903c40 10803c40") + Hex(endOfTrack));
        QTest::newRow("empty") << QByteArray() << qint64(0);
        QTest::newRow("not a MIDI file") << QByteArray("RIFF....WAVEfmt ") << qint64(0);
        QTest::newRow("header length 7") << QByteArray(good).replace(7, 1, "\x07") << qint64(4);
        QTest::newRow("format 2") << File(Hex(endOfTrack), 2) << qint64(8);
        QTest::newRow("format 0 with two tracks") << File(Hex(endOfTrack), 0, 2) << qint64(10);
        QTest::newRow("no tracks") << File(Hex(endOfTrack), 1, 0) << qint64(10);
        QTest::newRow("SMPTE division") << QByteArray(good).replace(12, 2, Hex("e728")) << qint64(12);
        QTest::newRow("zero division") << QByteArray(good).replace(12, 2, Hex("0000")) << qint64(12);
        QTest::newRow("chunk is not a track") << QByteArray(good).replace(14, 4, "MTrx") << qint64(14);
        QTest::newRow("chunk longer than file") << QByteArray(good).replace(21, 1, "\x40") << qint64(14);
        QTest::newRow("missing end of track") << File(Hex("00903c40 10803c40")) << qint64(30);
        QTest::newRow("data after end of track") << File(Hex("00ff2f00 00")) << qint64(26);
        QTest::newRow("bytes after the last track") << good + Hex("00") << qint64(good.size());
        QTest::newRow("running status at start") << File(Hex("003c40") + Hex(endOfTrack)) << qint64(23);
        QTest::newRow("running status after meta")
            << File(Hex("00903c40 00ff0100 003c00") + Hex(endOfTrack)) << qint64(31);
        QTest::newRow("running status after sysex")
            << File(Hex("00903c40 00f001f7 003c00") + Hex(endOfTrack)) << qint64(31);
        QTest::newRow("status byte as data") << File(Hex("00903cff") + Hex(endOfTrack)) << qint64(23);
        QTest::newRow("escaped event") << File(Hex("00f703903c40") + Hex(endOfTrack)) << qint64(23);
        QTest::newRow("system message in a track") << File(Hex("00f8") + Hex(endOfTrack)) << qint64(23);
        QTest::newRow("meta length over 127")
            << File(Hex("00ff018100") + QByteArray(128, 'a') + Hex(endOfTrack)) << qint64(23);
        QTest::newRow("meta type over 127") << File(Hex("00ff8000") + Hex(endOfTrack)) << qint64(23);
        QTest::newRow("short tempo") << File(Hex("00ff51020001") + Hex(endOfTrack)) << qint64(23);
        QTest::newRow("zero tempo") << File(Hex("00ff5103000000") + Hex(endOfTrack)) << qint64(23);
        QTest::newRow("metre with zero beats")
            << File(Hex("00ff580400021808") + Hex(endOfTrack)) << qint64(23);
        QTest::newRow("metre with huge denominator")
            << File(Hex("00ff580404401808") + Hex(endOfTrack)) << qint64(23);
        QTest::newRow("five-byte delta") << File(Hex("8080808000903c40") + Hex(endOfTrack)) << qint64(22);
        QTest::newRow("sysex past the chunk") << File(Hex("00f07f00") + Hex(endOfTrack)) << qint64(23);
        QTest::newRow("track too long")
            << File(Hex("ffffff7f903c40 ffffff7f803c40") + Hex(endOfTrack)) << qint64(29);
    }
    void rejects()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, offset);
        const MidiFileValidator::Result result = MidiFileValidator::Check(bytes);
        QVERIFY(!result.valid);
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(result.offset, offset);
    }

    // Every proper prefix of a good file is a truncated file.
    void rejectsEveryTruncation()
    {
        const QByteArray good =
            File(Hex("00ff510307a120 00c000 00903c40 10803c40 00f00243f7") + Hex(endOfTrack), 1, 2);
        QVERIFY(MidiFileValidator::Check(good).valid);
        for (int length = 0; length < good.size(); ++length)
            QVERIFY2(!MidiFileValidator::Check(good.left(length)).valid, qPrintable(QString::number(length)));
    }

    // Single-byte damage anywhere: either refused, or still loadable by libsmf.
    void damagedBytesNeverReachLibsmfUnreadable()
    {
        const QByteArray good =
            File(Hex("00ff510307a120 00c000 00903c40 10803c40 00f00243f7") + Hex(endOfTrack), 1, 2);
        for (int position = 0; position < good.size(); ++position) {
            for (int value : {0x00, 0x2f, 0x7f, 0x80, 0xf0, 0xf7, 0xff}) {
                QByteArray damaged = good;
                damaged[position] = char(value);
                if (MidiFileValidator::Check(damaged).valid)
                    CheckLoads(damaged);
            }
        }
    }

    void replaysFuzzingCases()
    {
        const QDir cases(QStringLiteral(CANTORELA_FUZZ_CASES));
        const QFileInfoList files = cases.entryInfoList({QStringLiteral("*.hex")}, QDir::Files);
        QVERIFY(!files.isEmpty());
        int accepted = 0;
        for (const QFileInfo& info : files) {
            QFile file(info.absoluteFilePath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = QByteArray::fromHex(file.readAll().simplified().replace(' ', ""));
            if (MidiFileValidator::Check(bytes).valid) {
                ++accepted;
                CheckLoads(bytes);
            }
        }
        qInfo("%lld cases, %d accepted", qint64(files.size()), accepted);
    }
};

QTEST_GUILESS_MAIN(TestMidiFileValidator)
#include "test_midi_file_validator.moc"

// The MIDI file check in front of libsmf and the reader: every length and count reaching the end
// and one byte past it, on heap blocks ending with the file so that AddressSanitizer sees overreads.

#include "../common/file_bytes.h"
#include "core/midi/midi_file.h"
#include "core/midi/midi_file_validator.h"
#include "midi/midi_file_bytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <smf.h>

#include <vector>

using Core::MidiFileValidator;
using namespace MidiFileBytes;

namespace {

void IgnoreLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// The check on a heap block of exactly the file's size.
MidiFileValidator::Result CheckExact(const QByteArray& bytes)
{
    const std::vector<char> exact(bytes.begin(), bytes.end());
    return MidiFileValidator::Check(exact.data(), qint64(exact.size()));
}

// libsmf must read every accepted file whole.
void CheckLoads(const QByteArray& bytes)
{
    const std::vector<char> exact(bytes.begin(), bytes.end());
    smf_t* smf = smf_load_from_memory(exact.data(), int(exact.size()));
    QVERIFY(smf != nullptr);
    QCOMPARE(smf->number_of_tracks, (uchar(bytes.at(10)) << 8) | uchar(bytes.at(11)));
    while (smf_get_next_event(smf) != nullptr) {
    }
    smf_delete(smf);
}

QByteArray Bumped(QByteArray bytes, int at)
{
    bytes[at] = char(bytes.at(at) + 1);
    return bytes;
}

// A format 0 file of the given size: a note behind a system exclusive message filling the rest.
QByteArray FileOfSize(qint64 size)
{
    const quint32 length = quint32(size - 36);
    QByteArray vlq;
    for (int shift = 21; shift > 0; shift -= 7)
        vlq += char(0x80 | ((length >> shift) & 0x7F));
    vlq += char(length & 0x7F);
    return Smf({Hex("00f0") + vlq + QByteArray(int(length), '\x01') + Hex("00903c40 00ff2f00")}, 0);
}

} // namespace

class TestMidiFileValidator : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    const MidiEvent marker{MidiMessage(0xB0, 0, 7, 100), 0, 0.0};

    // Reads the bytes from a real file through the reader, after `marker`.
    Error Read(const QByteArray& bytes, Core::MidiStream& stream)
    {
        const QString path = folder.filePath(QStringLiteral("file.mid"));
        if (!WriteAll(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        stream = Core::MidiStream{marker};
        return Core::MidiFile(path).ReadStream(stream);
    }

private slots:
    void initTestCase()
    {
        g_log_set_default_handler(IgnoreLog, nullptr);
        QVERIFY(folder.isValid());
    }

    void fileReadOrRejectedAtFirstFault_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("offset");   // of the fault; `read` when the file is accepted
        QTest::addColumn<QString>("outcome"); // the check's reason, or the messages read
        const qint64 read = -1;
        const auto row = [](const char* name, const QByteArray& bytes, qint64 offset, const char* outcome) {
            QTest::newRow(name) << bytes << offset << QString::fromLatin1(outcome);
        };
        const char* cutDelta = "bad or truncated delta time";
        const char* cutMessage = "bad or truncated channel message";
        const char* noStatus = "data byte without a running status";
        const char* cutSysex = "bad or truncated sysex";
        const char* metaLength = "bad meta event length";
        const char* system = "escaped or system event in a track";

        row("empty", QByteArray(), 0, "empty file");
        row("no MThd", "RIFF....WAVEfmt ", 0, "no MThd header");
        const QByteArray header = Hex("4d546864 00000006 0000 0001 01e0");
        row("header reaching the end", header, 14, "missing track chunk");
        row("header one past the end", header.left(13), 8, "truncated header");
        row("header length one past its fields", Bumped(Smf("00ff2f00"), 7), 4, "header length is not 6");
        row("format 2", Smf({Hex("00ff2f00")}, 2), 8, "unsupported format");
        row("format 0 with two tracks", Smf({Hex("00ff2f00"), Hex("00ff2f00")}, 0), 10,
            "bad number of tracks");
        row("no tracks", Smf({}, 1), 10, "bad number of tracks");
        row("SMPTE division", Smf("00ff2f00").replace(12, 2, Hex("e728")), 12, "unsupported time division");
        row("zero division", Smf("00ff2f00").replace(12, 2, Hex("0000")), 12, "unsupported time division");

        const QByteArray twoTracks = Smf({Hex("00903c40 00ff2f00"), Hex("10803c40 00ff2f00")});
        row("track count reaching the last chunk", twoTracks, read, "903c40@0 803c40@16");
        row("track count one past the last chunk", Bumped(twoTracks, 11), 46, "missing track chunk");
        row("track count short of the chunks", QByteArray(twoTracks).replace(11, 1, "\x01"), 30,
            "data after the last track");
        row("chunk is not a track", QByteArray(twoTracks).replace(14, 4, "MTrx"), 14, "chunk is not a track");
        const QByteArray notes = Smf("00c305 0a933d63 00ff2f00");
        row("chunk length reaching the end", notes, read, "c305@0 933d63@10");
        row("chunk length one past the end", Bumped(notes, 21), 14, "truncated track chunk");

        row("four-byte delta at the pulse limit", Smf("ffffff7f 903c40 00ff2f00"), read, "903c40@268435455");
        row("pulses one past the limit", Smf("ffffff7f 903c40 01ff2f00"), 29, "track too long");
        row("five-byte delta", Smf("8080808000 903c40 00ff2f00"), 22, cutDelta);
        row("delta reaching the end", Smf("00903c40 8360"), 28, "track ends without end-of-track event");
        row("delta one past the end", Smf("00903c40 83e0"), 26, cutDelta);

        row("every channel message shape", Smf("00c000 00e00040 00d020 00b04000 00a03c10 00ff2f00"), read,
            "c000@0 e00040@0 d020@0 b04000@0 a03c10@0");
        row("note reaching the end", Smf("00903c40"), 26, cutDelta);
        row("note one past the end", Smf("00903c"), 23, cutMessage);
        row("program change reaching the end", Smf("00c000"), 25, cutDelta);
        row("program change one past the end", Smf("00c0"), 23, cutMessage);
        row("status bit in a data byte", Smf("00903cff 00ff2f00"), 23, cutMessage);

        row("running status after a note", Smf("00903c40 103e40 00ff2f00"), read, "903c40@0 903e40@16");
        row("running status reaching the end", Smf("00903c40 103e40"), 29, cutDelta);
        row("running status one past the end", Smf("00903c40 103e"), 27, cutMessage);
        row("running status at the start", Smf("003c40 00ff2f00"), 23, noStatus);
        row("running status after meta", Smf("00903c40 00ff0100 003c00 00ff2f00"), 31, noStatus);
        row("running status after sysex", Smf("00903c40 00f001f7 003c00 00ff2f00"), 31, noStatus);

        const QByteArray text = Smf("00ff0103616263");
        row("meta reaching the end", text, 29, cutDelta);
        row("meta one past the end", Bumped(text, 25), 23, "truncated meta event");
        row("tempo one past the end", Smf("00ff510307a1"), 23, "truncated meta event");
        row("metre one past the end", Smf("00ff5804040218"), 23, "truncated meta event");
        row("meta length one past the end", Smf("00ff01"), 23, metaLength);
        row("meta type one past the end", Smf("00ff"), 23, "bad meta event type");
        row("meta of 127 bytes", Smf({Hex("00ff017f") + QByteArray(127, 'a') + Hex("00903c40 00ff2f00")}, 0),
            read, "903c40@0");
        row("meta of 128 bytes", Smf({Hex("00ff018100") + QByteArray(128, 'a') + Hex("00ff2f00")}, 0), 23,
            metaLength);
        // libsmf would take 0x80 for the first byte of a longer length.
        row("meta length byte 0x80", Smf({Hex("00ff0180") + QByteArray(128, 'a') + Hex("00ff2f00")}, 0), 23,
            metaLength);
        row("meta type over 127", Smf("00ff8000 00ff2f00"), 23, "bad meta event type");
        row("tempo of two bytes", Smf("00ff51020001 00ff2f00"), 23, metaLength);
        row("zero tempo", Smf("00ff5103000000 00ff2f00"), 23, "zero tempo");
        row("metre with zero beats", Smf("00ff580400021808 00ff2f00"), 23, "bad time signature");
        row("metre with huge denominator", Smf("00ff580404401808 00ff2f00"), 23, "bad time signature");
        row("data after end of track", Smf("00ff2f00 00"), 26, "data after end-of-track event");

        const QByteArray sysex = Smf("00f0037e7ff7");
        row("sysex reaching the end", sysex, 23, "track ends without end-of-track event");
        row("sysex one past the end", Bumped(sysex, 24), 23, cutSysex);
        row("sysex length one past the end", Smf("00f081"), 23, cutSysex);
        row("sysex length of five bytes", Smf("00f08080808000 00ff2f00"), 23, cutSysex);
        row("sysex of two-byte length",
            Smf({Hex("00f08100") + QByteArray(128, '\x01') + Hex("00903c40 00ff2f00")}, 0), read, "903c40@0");
        row("empty sysex", Smf("00f000 00903c40 00ff2f00"), read, "903c40@0");
        // The length of an escaped event is never trusted: libsmf misreads these events.
        const QByteArray escaped = Smf("00f703903c40");
        row("escaped event reaching the end", escaped, 23, system);
        row("escaped event one past the end", Bumped(escaped, 24), 23, system);
        row("system message in a track", Smf("00f8 00ff2f00"), 23, system);

        row("file at the size limit", FileOfSize(MidiFileValidator::maximumSize), read, "903c40@0");
        row("file one byte past the size limit", FileOfSize(MidiFileValidator::maximumSize + 1), 0,
            "file too large");
    }
    void fileReadOrRejectedAtFirstFault()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, offset);
        QFETCH(QString, outcome);
        const MidiFileValidator::Result result = CheckExact(bytes);
        Core::MidiStream stream;
        const Error error = Read(bytes, stream);
        QCOMPARE(stream.first().message, marker.message); // appended after, never replaced
        if (offset < 0) {
            QVERIFY2(result.valid, qPrintable(result.reason));
            CheckLoads(bytes);
            QVERIFY2(Core::MidiFile::IsSuccess(error), qPrintable(error.Describe()));
            QCOMPARE(Described(stream, 1), outcome);
        } else {
            QVERIFY(!result.valid);
            QCOMPARE(result.reason, outcome);
            QCOMPARE(result.offset, offset);
            QCOMPARE(error.Code(), 0x108);
            QCOMPARE(stream.size(), 1);
        }
    }

    // Every proper prefix of a good file is a truncated file; single-byte damage anywhere is
    // either refused or still loadable by libsmf.
    void truncatedOrDamagedFilesNeverReachLibsmfUnreadable()
    {
        const QByteArray good = Smf({Hex("00ff510307a120 00c000 00903c40 10803c40 00f00243f7 00ff2f00"),
                                     Hex("00ff580404021808 00b04000 00f08100") + QByteArray(128, '\x01') +
                                         Hex("00ff017f") + QByteArray(127, 'a') + Hex("00ff2f00")});
        QVERIFY(CheckExact(good).valid);
        for (int length = 0; length < good.size(); ++length)
            QVERIFY2(!CheckExact(good.left(length)).valid, qPrintable(QString::number(length)));
        for (int position = 0; position < good.size(); ++position)
            for (int value : {0x00, 0x01, 0x2f, 0x7f, 0x80, 0x81, 0xf0, 0xf7, 0xff}) {
                QByteArray damaged = good;
                damaged[position] = char(value);
                if (CheckExact(damaged).valid)
                    CheckLoads(damaged);
            }
    }

    // Each input the fuzzer kept: the reader gives the check's verdict and never ends the process.
    void keptFuzzingInputKeepsItsVerdict_data()
    {
        QTest::addColumn<QString>("path");
        const QFileInfoList files =
            QDir(QStringLiteral(CANTORELA_FUZZ_CASES)).entryInfoList({QStringLiteral("*.hex")}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QFileInfo& info : files)
            QTest::newRow(qPrintable(info.fileName())) << info.absoluteFilePath();
    }
    void keptFuzzingInputKeepsItsVerdict()
    {
        QFETCH(QString, path);
        const QByteArray bytes = QByteArray::fromHex(ReadAll(path).simplified().replace(' ', ""));
        QVERIFY(!bytes.isEmpty());
        const bool valid = CheckExact(bytes).valid;
        if (valid)
            CheckLoads(bytes);
        Core::MidiStream stream;
        QCOMPARE(Read(bytes, stream).Code(), valid ? 0 : 0x108);
        QCOMPARE(stream.first().message, marker.message);
        if (!valid)
            QCOMPARE(stream.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestMidiFileValidator)
#include "test_midi_file_validator.moc"

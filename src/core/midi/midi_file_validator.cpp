#include "core/midi/midi_file_validator.h"

#include <QCoreApplication>

namespace Core {

namespace {

// A bounded reader over the file; every read checks against `end` first.
class Cursor
{
public:
    Cursor(const unsigned char* begin, qint64 size) : begin(begin), position(0), end(size) {}

    qint64 Position() const { return position; }
    qint64 Remaining() const { return end - position; }
    bool AtEnd() const { return position >= end; }

    bool Byte(unsigned& value)
    {
        if (position >= end)
            return false;
        value = begin[position++];
        return true;
    }
    bool Peek(unsigned& value) const
    {
        if (position >= end)
            return false;
        value = begin[position];
        return true;
    }
    bool BigEndian(int bytes, quint32& value)
    {
        if (Remaining() < bytes)
            return false;
        value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | begin[position++];
        return true;
    }
    // A variable-length quantity of at most four bytes.
    bool VariableLength(quint32& value)
    {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            unsigned byte = 0;
            if (!Byte(byte))
                return false;
            value = (value << 7) | (byte & 0x7F);
            if ((byte & 0x80) == 0)
                return true;
        }
        return false;
    }
    bool Skip(qint64 count)
    {
        if (count < 0 || Remaining() < count)
            return false;
        position += count;
        return true;
    }
    const unsigned char* Here() const { return begin + position; }
    Cursor Sub(qint64 length) const { return Cursor(begin + position, length); }

private:
    const unsigned char* begin;
    qint64 position;
    qint64 end;
};

MidiFileValidator::Result Fault(qint64 offset, const char* reason)
{
    MidiFileValidator::Result result;
    result.valid = false;
    result.offset = offset;
    result.reason = QCoreApplication::translate("Core::MidiFileValidator", reason);
    return result;
}

int DataBytesOf(unsigned status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    default:
        return 2;
    }
}

// The expected lengths of the meta events that carry fixed-size values.
int FixedMetaLength(unsigned type)
{
    switch (type) {
    case 0x2F: // end of track
        return 0;
    case 0x20: // channel prefix
    case 0x21: // port
        return 1;
    case 0x51: // set tempo
        return 3;
    case 0x54: // SMPTE offset
        return 5;
    case 0x58: // time signature
        return 4;
    case 0x59: // key signature
        return 2;
    default:
        return -1;
    }
}

MidiFileValidator::Result CheckTrack(Cursor track, qint64 base)
{
    unsigned runningStatus = 0;
    qint64 pulses = 0;
    for (;;) {
        const qint64 eventStart = base + track.Position();
        quint32 delta = 0;
        if (!track.VariableLength(delta))
            return Fault(eventStart,
                         QT_TRANSLATE_NOOP("Core::MidiFileValidator", "bad or truncated delta time"));
        pulses += delta;
        if (pulses > MidiFileValidator::maximumTrackPulses)
            return Fault(eventStart, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "track too long"));

        unsigned first = 0;
        if (!track.Peek(first))
            return Fault(base + track.Position(), QT_TRANSLATE_NOOP("Core::MidiFileValidator",
                                                                    "track ends without end-of-track event"));
        const qint64 statusOffset = base + track.Position();

        if (first < 0x80) {
            // Running status: only valid after a channel message.
            if (runningStatus == 0)
                return Fault(statusOffset, QT_TRANSLATE_NOOP("Core::MidiFileValidator",
                                                             "data byte without a running status"));
            for (int i = 0; i < DataBytesOf(runningStatus); ++i) {
                unsigned data = 0;
                if (!track.Byte(data) || data >= 0x80)
                    return Fault(statusOffset, QT_TRANSLATE_NOOP("Core::MidiFileValidator",
                                                                 "bad or truncated channel message"));
            }
            continue;
        }

        unsigned status = 0;
        track.Byte(status);
        if (status < 0xF0) {
            runningStatus = status;
            for (int i = 0; i < DataBytesOf(status); ++i) {
                unsigned data = 0;
                if (!track.Byte(data) || data >= 0x80)
                    return Fault(statusOffset, QT_TRANSLATE_NOOP("Core::MidiFileValidator",
                                                                 "bad or truncated channel message"));
            }
            continue;
        }

        // Sysex and meta events cancel the running status.
        runningStatus = 0;
        if (status == 0xF0) {
            quint32 length = 0;
            if (!track.VariableLength(length) || !track.Skip(length))
                return Fault(statusOffset,
                             QT_TRANSLATE_NOOP("Core::MidiFileValidator", "bad or truncated sysex"));
            // libsmf wants at least one byte after a sysex (the next event always follows).
            if (track.AtEnd())
                return Fault(statusOffset, QT_TRANSLATE_NOOP("Core::MidiFileValidator",
                                                             "track ends without end-of-track event"));
            continue;
        }
        if (status != 0xFF)
            return Fault(statusOffset,
                         QT_TRANSLATE_NOOP("Core::MidiFileValidator", "escaped or system event in a track"));

        unsigned type = 0;
        if (!track.Byte(type) || type >= 0x80)
            return Fault(statusOffset, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "bad meta event type"));
        unsigned length = 0;
        // libsmf reads a meta event's length as one byte.
        if (!track.Byte(length) || length >= 0x80)
            return Fault(statusOffset, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "bad meta event length"));
        const int fixed = FixedMetaLength(type);
        if (fixed >= 0 && int(length) != fixed)
            return Fault(statusOffset, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "bad meta event length"));
        if (track.Remaining() < qint64(length))
            return Fault(statusOffset, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "truncated meta event"));
        const unsigned char* data = track.Here();
        if (type == 0x51 && ((data[0] << 16) | (data[1] << 8) | data[2]) == 0)
            return Fault(statusOffset, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "zero tempo"));
        if (type == 0x58 && (data[0] == 0 || data[1] > 8))
            return Fault(statusOffset, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "bad time signature"));
        track.Skip(length);
        if (type == 0x2F) {
            if (!track.AtEnd())
                return Fault(base + track.Position(),
                             QT_TRANSLATE_NOOP("Core::MidiFileValidator", "data after end-of-track event"));
            break;
        }
    }
    MidiFileValidator::Result result;
    result.valid = true;
    return result;
}

} // namespace

MidiFileValidator::Result MidiFileValidator::Check(const QByteArray& bytes)
{
    return Check(bytes.constData(), bytes.size());
}

MidiFileValidator::Result MidiFileValidator::Check(const char* data, qint64 size)
{
    if (data == nullptr || size <= 0)
        return Fault(0, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "empty file"));
    if (size > maximumSize)
        return Fault(0, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "file too large"));
    Cursor file(reinterpret_cast<const unsigned char*>(data), size);

    quint32 id = 0;
    quint32 length = 0;
    if (!file.BigEndian(4, id) || id != 0x4D546864 /* MThd */)
        return Fault(0, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "no MThd header"));
    if (!file.BigEndian(4, length) || length != 6)
        return Fault(4, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "header length is not 6"));
    quint32 format = 0;
    quint32 tracks = 0;
    quint32 division = 0;
    if (!file.BigEndian(2, format) || !file.BigEndian(2, tracks) || !file.BigEndian(2, division))
        return Fault(8, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "truncated header"));
    if (format > 1)
        return Fault(8, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "unsupported format"));
    if (tracks == 0 || (format == 0 && tracks != 1))
        return Fault(10, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "bad number of tracks"));
    if (division == 0 || (division & 0x8000) != 0)
        return Fault(12, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "unsupported time division"));

    for (quint32 track = 0; track < tracks; ++track) {
        const qint64 chunkStart = file.Position();
        if (!file.BigEndian(4, id) || !file.BigEndian(4, length))
            return Fault(chunkStart, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "missing track chunk"));
        if (id != 0x4D54726B /* MTrk */)
            return Fault(chunkStart, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "chunk is not a track"));
        if (qint64(length) > file.Remaining())
            return Fault(chunkStart, QT_TRANSLATE_NOOP("Core::MidiFileValidator", "truncated track chunk"));
        const Result result = CheckTrack(file.Sub(length), file.Position());
        if (!result.valid)
            return result;
        file.Skip(length);
    }
    if (!file.AtEnd())
        return Fault(file.Position(),
                     QT_TRANSLATE_NOOP("Core::MidiFileValidator", "data after the last track"));
    Result result;
    result.valid = true;
    return result;
}

} // namespace Core

#pragma once
// Byte builders for the MIDI file tests: Standard MIDI Files from track bodies written in hex,
// and a one-line account of the channel messages a reader produced.

#include "core/midi/midi_stream.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace MidiFileBytes {

inline QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

inline QByteArray BigEndian(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
    return out;
}

// A header at 480 pulses a quarter declaring one track per body, then a chunk around each.
// Bodies are taken as they are: an end-of-track event is the caller's to write.
inline QByteArray Smf(const QList<QByteArray>& bodies, int format = 1)
{
    QByteArray out = "MThd" + BigEndian(6, 4) + BigEndian(quint32(format), 2) +
                     BigEndian(quint32(bodies.size()), 2) + BigEndian(480, 2);
    for (const QByteArray& body : bodies)
        out += "MTrk" + BigEndian(quint32(body.size()), 4) + body;
    return out;
}

// A format 0 file whose one track body is given in hex.
inline QByteArray Smf(const char* bodyHex)
{
    return Smf({Hex(bodyHex)}, 0);
}

// "c305@0 933d63@10": the messages' bytes in hex and their ticks, from index `from` on.
inline QString Described(const Core::MidiStream& stream, int from = 0)
{
    QStringList events;
    for (int i = from; i < stream.size(); ++i) {
        const MidiMessage& m = stream.at(i).message;
        const QByteArray bytes = QByteArray(1, char(m.status)) + char(m.byte1) + char(m.byte2);
        events << QStringLiteral("%1@%2")
                      .arg(QString::fromLatin1(bytes.left(m.length).toHex()))
                      .arg(stream.at(i).tick);
    }
    return events.join(QLatin1Char(' '));
}

} // namespace MidiFileBytes

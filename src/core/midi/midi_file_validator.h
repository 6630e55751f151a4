#pragma once
// Checks the bytes of a Standard MIDI File before they reach libsmf, which stops the process
// on some malformed input (assertions compiled into the library) and reads past buffers on
// others. The check is strict: a header chunk of six bytes (format 0 or 1, at least one track,
// pulses per quarter), then exactly the declared number of track chunks, each a sequence of
// well-formed events (running status only after channel messages, data bytes below 0x80,
// sysex and meta lengths inside the chunk) closed by its end-of-track event, and nothing after
// the last track. What libsmf cannot read correctly (escaped 0xF7 events, meta events of 128
// bytes or more, system messages inside a track) is refused as well.
// Used by the MIDI file reader; pure function, callable from any thread.

#include <QByteArray>
#include <QString>

namespace Core {

class MidiFileValidator
{
public:
    struct Result
    {
        bool valid = false;
        qint64 offset = 0; // where the first fault lies, in bytes from the start
        QString reason;    // empty when valid

        explicit operator bool() const { return valid; }
    };

    // Files above this size are refused: libsmf keeps lengths and offsets in int.
    static constexpr qint64 maximumSize = 16 * 1024 * 1024;
    // Pulses a track may last: keeps libsmf's int tick sums far from overflowing.
    static constexpr qint64 maximumTrackPulses = 0x0FFFFFFF;

    static Result Check(const QByteArray& bytes);
    static Result Check(const char* data, qint64 size);
};

} // namespace Core

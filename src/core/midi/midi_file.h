#pragma once
// Reads a Standard MIDI File (a resource such as ":/midi/largo_chop58.3.mid" or a file on disk)
// into a MidiStream of channel messages whose times are already in seconds, following the
// file's tempo map. Used by MidiBank for the tempo pieces. One object per read; not shared
// between threads.

#include "core/error.h"
#include "core/midi/midi_stream.h"

#include <QFile>
#include <QString>

#include <memory>

namespace Core {

class MidiFile
{
public:
    explicit MidiFile(const QString& path);

    // Appends the file's channel events to out, in time order. Never throws: returns an Error
    // whose Code() is 0 on success, else 0x105 (cannot open), 0x101 (cannot read whole) or
    // 0x108 (not a well-formed MIDI file). On failure out is left as it was.
    Error ReadStream(MidiStream& out);

    static bool IsSuccess(const Error& error) { return error.Code() == 0; }

private:
    QString path;
    std::shared_ptr<QFile> device;
};

} // namespace Core

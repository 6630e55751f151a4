// libFuzzer harness for the MIDI file reader: the file check, libsmf's loader behind it and
// MidiFile::ReadStream over a real file. Whatever the check accepts must load with libsmf
// without stopping the process, with every declared track, and replay to its end; the reader
// must give the same verdict from a file, with channel messages in time order, and leave its
// stream alone on failure. Built and run by scripts/fuzz-midi-file.sh (clang only).

#include "core/midi/midi_file.h"
#include "core/midi/midi_file_validator.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <smf.h>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Silence(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

QString& InputPath()
{
    static QString path;
    return path;
}

// Writes the input where the reader can open it: a file of this process in shared memory when
// there is some, else in the temporary folder.
bool WriteInput(const uint8_t* data, size_t size)
{
    QFile file(InputPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size);
}

void CheckReader(const uint8_t* data, size_t size, bool valid)
{
    if (!WriteInput(data, size))
        return;
    const MidiEvent marker{MidiMessage(0xB0, 0, 7, 100), 0, 0.0};
    Core::MidiStream stream{marker};
    const Error error = Core::MidiFile(InputPath()).ReadStream(stream);
    if (error.Code() != (valid ? 0 : 0x108) || stream.isEmpty() || stream.first().message != marker.message)
        __builtin_trap();
    if (!valid) {
        if (stream.size() != 1)
            __builtin_trap();
        return;
    }
    for (int i = 1; i < stream.size(); ++i) {
        const MidiEvent& event = stream.at(i);
        if (event.message.status < 0x80 || event.message.status >= 0xF0 || event.message.length < 1 ||
            event.seconds < 0.0 || event.tick < 0)
            __builtin_trap();
        if (i > 1 && (event.seconds < stream.at(i - 1).seconds || event.tick < stream.at(i - 1).tick))
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_log_set_default_handler(Silence, nullptr);
    const QString folder =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    InputPath() = QStringLiteral("%1/cantorela-midi-fuzz-%2.mid").arg(folder).arg(getpid());
    std::atexit([] { QFile::remove(InputPath()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto result = Core::MidiFileValidator::Check(reinterpret_cast<const char*>(data), qint64(size));
    CheckReader(data, size, result.valid);
    if (!result.valid)
        return 0;
    const int declaredTracks = (data[10] << 8) | data[11];
    smf_t* smf = smf_load_from_memory(data, int(size));
    if (smf == nullptr || smf->number_of_tracks != declaredTracks)
        __builtin_trap(); // the check accepted a file that libsmf cannot read whole
    int events = 0;
    while (smf_event_t* event = smf_get_next_event(smf)) {
        if (event->midi_buffer_length < 1 || event->time_seconds < 0.0)
            __builtin_trap();
        ++events;
    }
    smf_delete(smf);
    return events >= 0 ? 0 : 1;
}

#include "core/midi/midi_file.h"

#include "core/midi/midi_file_validator.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <smf.h>

#include <memory>

Q_LOGGING_CATEGORY(midiFileLog, "cantorela.midifile", QtInfoMsg)

namespace Core {

namespace {

const char* const sourceFile = "src/core/midi/midi_file";
const char* const readStreamName = "Core::MidiFile::ReadStream";

Error ReadStreamError(int line, int code, const char* message)
{
    return Error(sourceFile, readStreamName, line, code,
                 QCoreApplication::translate("Core::MidiFile", message));
}

} // namespace

MidiFile::MidiFile(const QString& path) : path(path), device(std::make_shared<QFile>(path)) {}

Error MidiFile::ReadStream(MidiStream& out)
{
    if (!device->open(QIODevice::ReadOnly))
        return ReadStreamError(__LINE__, 0x105,
                               QT_TRANSLATE_NOOP("Core::MidiFile", "Error opening midi file."));

    // Nothing this large is a MIDI file that libsmf could read; refuse it before reading it.
    const qint64 size = device->size();
    if (size > MidiFileValidator::maximumSize) {
        device->close();
        return ReadStreamError(__LINE__, 0x108,
                               QT_TRANSLATE_NOOP("Core::MidiFile", "Error loading midi file."));
    }
    const QByteArray bytes = device->read(size);
    device->close();
    if (bytes.size() != size)
        return ReadStreamError(__LINE__, 0x101,
                               QT_TRANSLATE_NOOP("Core::MidiFile", "Error reading midi file."));

    // libsmf stops the process on some malformed files and takes a truncated one for an empty
    // song; only bytes that pass the structural check reach it.
    const MidiFileValidator::Result check = MidiFileValidator::Check(bytes);
    if (!check.valid) {
        qCDebug(midiFileLog) << path << "refused at byte" << check.offset << ":" << check.reason;
        return ReadStreamError(__LINE__, 0x108,
                               QT_TRANSLATE_NOOP("Core::MidiFile", "Error loading midi file."));
    }
    const std::unique_ptr<smf_t, void (*)(smf_t*)> smf(
        smf_load_from_memory(bytes.constData(), int(bytes.size())), smf_delete);
    if (!smf)
        return ReadStreamError(__LINE__, 0x108,
                               QT_TRANSLATE_NOOP("Core::MidiFile", "Error loading midi file."));

    // libsmf merges the tracks in time order and converts pulses to seconds through the tempo
    // map. Only channel messages are kept: meta events are not sent, and system exclusive
    // messages cut to three bytes would reach the output port broken.
    MidiStream events;
    while (const smf_event_t* event = smf_get_next_event(smf.get())) {
        if (smf_event_is_metadata(event) || event->midi_buffer_length < 1)
            continue;
        const quint8 status = event->midi_buffer[0];
        if (status < 0x80 || status >= 0xF0)
            continue;
        MidiEvent midiEvent;
        midiEvent.message = MidiMessage(event->midi_buffer, event->midi_buffer_length);
        midiEvent.tick = qint32(event->time_pulses);
        midiEvent.seconds = event->time_seconds;
        events.append(midiEvent);
    }
    out.append(events);
    return Error(sourceFile, readStreamName, __LINE__, 0, QString());
}

} // namespace Core

// libFuzzer harness for the MIDI file check and libsmf's loader behind it. Whatever the check
// accepts must load with libsmf without stopping the process, with every declared track, and
// replay to its end. Built and run by scripts/fuzz-midi-file.sh (clang only).

#include "core/midi/midi_file_validator.h"

#include <smf.h>

#include <cstddef>
#include <cstdint>

namespace {

void Silence(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_log_set_default_handler(Silence, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto result = Core::MidiFileValidator::Check(reinterpret_cast<const char*>(data), qint64(size));
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

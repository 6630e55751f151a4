#include "core/midi/midi_stream.h"

#include <algorithm>

namespace Core {

void MidiStream::Sort()
{
    std::sort(begin(), end(), [](const MidiEvent& a, const MidiEvent& b) { return a.seconds < b.seconds; });
}

} // namespace Core

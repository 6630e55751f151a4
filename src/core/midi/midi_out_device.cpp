#include "core/midi/midi_out_device.h"

namespace Core {

void MidiOutDevice::Reset()
{
    for (quint8 channel = 0; channel < 16; ++channel) {
        Send(MidiMessage(0xB0, channel, 0x78, 0x00)); // all sound off
        Send(MidiMessage(0xB0, channel, 0x79, 0x00)); // reset all controllers
        Send(MidiMessage(0xB0, channel, 0x07, 0x7F)); // channel volume 127
    }
}

} // namespace Core

#include "core/midi/midi_out_synth_device.h"

#include <QCoreApplication>

namespace Core {

MidiOutSynthDevice::MidiOutSynthDevice(std::shared_ptr<Synthesizer> synth) : synthesizer(std::move(synth)) {}

QString MidiOutSynthDevice::Name()
{
    return QCoreApplication::translate("Core::MidiOutSynthDevice", "Built-in synthesizer");
}

void MidiOutSynthDevice::Send(const MidiMessage& message)
{
    if (synthesizer)
        synthesizer->Send(message);
}

void MidiOutSynthDevice::SendFromInput(const MidiMessage& message, quint64 receivedNs)
{
    if (synthesizer)
        synthesizer->Send(message, receivedNs);
}

} // namespace Core

#include "core/midi/midi_device_connector.h"

namespace Core {

const char* const MidiDeviceConnector::DefaultInputName = "DEFAULT_MIDI_IN_DEVICE";

MidiDeviceConnector::MidiDeviceConnector(std::shared_ptr<MidiInDeviceBase> input, std::shared_ptr<MidiOutDevice> out)
    : output(std::move(out))
{
    if (input) {
        inputs.insert(QString::fromLatin1(DefaultInputName), input);
        input->Attach(static_cast<MidiDeviceObserver*>(this));
    }
}

MidiDeviceConnector::~MidiDeviceConnector()
{
    for (const auto& input : qAsConst(inputs))
        input->Detach(static_cast<MidiDeviceObserver*>(this));
}

void MidiDeviceConnector::OnMidiEvent(const MidiEvent& event)
{
    if (output)
        output->SendFromInput(event.message, event.receivedNs);
}

} // namespace Core

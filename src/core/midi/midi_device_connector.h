#pragma once
// MIDI thru: forwards every message of its input devices to one output device (the stream
// device to the synthesizer when a question sounds, a keyboard to the synthesizer when the
// student plays). Lives as long as the exercise that made it; destroying it detaches it from its
// inputs and waits for a forward in progress on another thread.
//
// OnMidiEvent runs on the input's thread and only passes the message to the output, with the
// moment it entered the input callback (SendFromInput), so that the synthesizer can time it.

#include "core/midi/midi_device_observer.h"
#include "core/midi/midi_in_device_base.h"
#include "core/midi/midi_out_device.h"

#include <QMap>
#include <QString>

#include <memory>
#include <mutex>

namespace Core {

class MidiDeviceConnector : public MidiDeviceObserver
{
public:
    static const char* const DefaultInputName; // "DEFAULT_MIDI_IN_DEVICE"

    MidiDeviceConnector(std::shared_ptr<MidiInDeviceBase> input, std::shared_ptr<MidiOutDevice> output);
    ~MidiDeviceConnector() override;
    MidiDeviceConnector(const MidiDeviceConnector&) = delete;
    MidiDeviceConnector& operator=(const MidiDeviceConnector&) = delete;

    std::shared_ptr<MidiOutDevice> GetOutputDevice() const { return output; }

    void OnMidiEvent(const MidiEvent& event) override;

private:
    QMap<QString, std::shared_ptr<MidiInDeviceBase>> inputs; // fixed after construction
    const std::shared_ptr<MidiOutDevice> output;
};

} // namespace Core

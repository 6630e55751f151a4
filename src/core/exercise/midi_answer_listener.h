#pragma once
// Connects the selected MIDI input device to the running exercise: every event the device
// receives goes to Exercise::HandleInputEvent. The exercise owns its listener and rebinds it
// when the selected device changes; the listener never owns the device and copes with a device
// that has gone away.
//
// Threads: OnMidiEvent runs on the MIDI library's input thread. Rebind and the destructor wait
// for a delivery in progress on that thread (the device's Detach does), so neither may be
// called while holding the exercise's lock; the exercise defers them until it lets go.

#include "core/midi/midi_device_observer.h"
#include "core/midi/midi_in_device_base.h"

#include <memory>
#include <mutex>

namespace Core {

class Exercise;

class MidiAnswerListener : public MidiDeviceObserver
{
public:
    MidiAnswerListener(Exercise* exercise, MidiInDeviceBase* device,
                       const std::shared_ptr<MidiInDeviceBase>& deviceRef);
    ~MidiAnswerListener() override;
    MidiAnswerListener(const MidiAnswerListener&) = delete;
    MidiAnswerListener& operator=(const MidiAnswerListener&) = delete;

    void Rebind(const std::shared_ptr<MidiInDeviceBase>& deviceRef);
    // The device listened to, empty when it has gone away.
    std::shared_ptr<MidiInDeviceBase> Device();

    void OnMidiEvent(const MidiEvent& event) override;

private:
    std::mutex mutex; // guards device and deviceRef during a rebind
    Exercise* const exercise;
    MidiInDeviceBase* device;
    std::weak_ptr<MidiInDeviceBase> deviceRef;
};

} // namespace Core

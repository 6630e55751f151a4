#include "core/exercise/midi_answer_listener.h"

#include "core/exercise/exercise.h"

namespace Core {

MidiAnswerListener::MidiAnswerListener(Exercise* owner, MidiInDeviceBase* input,
                                       const std::shared_ptr<MidiInDeviceBase>& inputRef)
    : exercise(owner), device(input), deviceRef(inputRef)
{
    if (auto d = deviceRef.lock())
        d->Attach(static_cast<MidiDeviceObserver*>(this));
}

MidiAnswerListener::~MidiAnswerListener()
{
    std::lock_guard<std::mutex> guard(mutex);
    if (auto d = deviceRef.lock())
        d->Detach(this);
    deviceRef.reset();
    device = nullptr;
}

void MidiAnswerListener::Rebind(const std::shared_ptr<MidiInDeviceBase>& newDevice)
{
    std::lock_guard<std::mutex> guard(mutex);
    if (auto old = deviceRef.lock()) {
        if (old == newDevice)
            return;
        old->Detach(this);
    }
    device = newDevice.get();
    deviceRef = newDevice;
    if (newDevice)
        newDevice->Attach(static_cast<MidiDeviceObserver*>(this));
}

std::shared_ptr<MidiInDeviceBase> MidiAnswerListener::Device()
{
    std::lock_guard<std::mutex> guard(mutex);
    return deviceRef.lock();
}

void MidiAnswerListener::OnMidiEvent(const MidiEvent& event)
{
    // `device` changes only between deliveries: Rebind detaches the old device first, which
    // waits for a delivery under way.
    exercise->HandleInputEvent(event, device->EchoesKeys(), device->HearsVoice());
}

} // namespace Core

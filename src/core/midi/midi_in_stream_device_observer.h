#pragma once
// Told when a replayed stream has released its last event. The exercise implements it to start
// its answer clock. Called on the timer thread.

namespace Core {

class MidiInStreamDeviceObserver
{
public:
    virtual ~MidiInStreamDeviceObserver() = default;
    virtual void OnStreamFinished() = 0;
};

} // namespace Core

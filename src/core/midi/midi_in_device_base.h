#pragma once
// What every input device shares: the note table, the event log, the velocity scale and the
// observer list. The receive step records an incoming event and passes it on to the observers
// (the answer listener, the device connector) with note-on velocities scaled.
//
// Threads: the receive step runs on the receiving thread (RtMidi's input thread, the timer
// thread for streams); GetNoteState, GetEventLog and the velocity scale may be used from any
// other thread at the same time, guarded by `stateMutex`. Observers are called outside that
// mutex. Detach(observer) returns only when no delivery to that observer is in progress on
// another thread, so an observer may detach itself in its destructor; it must not do so while
// holding a lock its own OnMidiEvent waits for.

#include "core/midi/midi_device_observer.h"
#include "core/midi/midi_in_device.h"
#include "core/subject.h"

#include <array>
#include <mutex>

namespace Core {

class MidiInDeviceBase : public MidiInDevice, public Subject<MidiDeviceObserver>
{
public:
    MidiInDeviceBase();
    ~MidiInDeviceBase() override;

    void GetNoteState(int channel, quint8 out[Notes]) override;
    void Open() override;
    void Close() override {}
    QVector<MidiEvent> GetEventLog() override;
    double GetVelocityScale() override;
    void SetVelocityScale(double scale) override;
    bool IsOpen() override { return true; }

    void Detach(MidiDeviceObserver* observer);

protected:
    // Log, note table, velocity scaling, then OnMidiEvent to every observer.
    void Receive(const MidiEvent& event);
    void ClearNoteTable();

private:
    mutable std::mutex stateMutex; // guards noteTable, eventLog, velocityScale
    std::array<std::array<quint8, Notes>, Channels> noteTable{};
    QVector<MidiEvent> eventLog;
    double velocityScale = 1.0;

    // Held while observers are being called; Detach passes through it to wait for a delivery in
    // progress. Recursive so that an observer may detach itself from inside OnMidiEvent.
    std::recursive_mutex deliveryMutex;
};

} // namespace Core

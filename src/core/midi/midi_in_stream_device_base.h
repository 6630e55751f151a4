#pragma once
// An input device whose messages come from a stored MidiStream instead of a port: the stream,
// a cursor on the next event to release, and the finished-notification subject. The timed
// replay itself is MidiInStreamDeviceAuto.
//
// `lock` (recursive) guards the stream, the cursor and the fields of derived classes; Play,
// Open, Seek and SetStream come from the GUI thread while the timer thread releases events.

#include "core/midi/midi_in_device_base.h"
#include "core/midi/midi_in_stream_device_observer.h"
#include "core/midi/midi_stream.h"

#include <memory>
#include <mutex>

namespace Core {

class MidiInStreamDeviceBase : public MidiInDeviceBase, public Subject<MidiInStreamDeviceObserver>
{
public:
    explicit MidiInStreamDeviceBase(std::shared_ptr<MidiStream> stream);

    using MidiInDeviceBase::Detach;
    using Subject<MidiDeviceObserver>::Attach;
    using Subject<MidiInStreamDeviceObserver>::Attach;
    using Subject<MidiInStreamDeviceObserver>::Detach;

    QString GetPortName() override { return QString(); }
    // Stops: cursor to the end, note table cleared.
    void Open() override;
    // Cursor to the first event whose tick is at least `tick`; to the end when there is none.
    virtual void Seek(int tick);
    // Starts from the first event when the cursor is at the end, else goes on from the cursor.
    virtual void Play();

    std::shared_ptr<MidiStream> Stream();
    bool IsAtEnd();

protected:
    bool AtEndLocked() const;

    std::recursive_mutex lock; // guards stream, cursor and derived fields
    std::shared_ptr<MidiStream> stream;
    int cursor = 0; // index of the next event; stream->size() means at end
};

} // namespace Core

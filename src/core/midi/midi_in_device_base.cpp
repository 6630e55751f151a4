#include "core/midi/midi_in_device_base.h"

#include <algorithm>
#include <cstring>

namespace Core {

MidiInDeviceBase::MidiInDeviceBase()
{
    // The log is never trimmed; a first block keeps early receives from allocating.
    eventLog.reserve(1024);
}

MidiInDeviceBase::~MidiInDeviceBase() = default;

void MidiInDeviceBase::GetNoteState(int channel, quint8 out[Notes])
{
    if (channel < 0 || channel >= Channels) {
        std::memset(out, 0, Notes);
        return;
    }
    std::lock_guard<std::mutex> guard(stateMutex);
    std::copy(noteTable[size_t(channel)].begin(), noteTable[size_t(channel)].end(), out);
}

void MidiInDeviceBase::Open()
{
    ClearNoteTable();
}

void MidiInDeviceBase::ClearNoteTable()
{
    std::lock_guard<std::mutex> guard(stateMutex);
    for (auto& row : noteTable)
        row.fill(0);
}

QVector<MidiEvent> MidiInDeviceBase::GetEventLog()
{
    // A copy of its own: a shared copy would let the receiving thread's next append and this
    // reader meet on one buffer through Qt's unsynchronised detach check.
    std::lock_guard<std::mutex> guard(stateMutex);
    return QVector<MidiEvent>(eventLog.cbegin(), eventLog.cend());
}

double MidiInDeviceBase::GetVelocityScale()
{
    std::lock_guard<std::mutex> guard(stateMutex);
    return velocityScale;
}

void MidiInDeviceBase::SetVelocityScale(double scale)
{
    std::lock_guard<std::mutex> guard(stateMutex);
    // Written this way so that NaN ends at 0 too.
    velocityScale = scale > 1.0 ? 1.0 : (scale >= 0.0 ? scale : 0.0);
}

void MidiInDeviceBase::Detach(MidiDeviceObserver* observer)
{
    Subject<MidiDeviceObserver>::Detach(observer);
    // A delivery that took its snapshot before the Detach may still be calling the observer.
    std::lock_guard<std::recursive_mutex> wait(deliveryMutex);
}

void MidiInDeviceBase::Receive(const MidiEvent& event)
{
    MidiMessage scaled = event.message;
    {
        std::lock_guard<std::mutex> guard(stateMutex);
        eventLog.append(event);
        const MidiMessage& m = event.message;
        if (m.length >= 2 && m.byte1 < Notes) {
            auto& row = noteTable[size_t(m.Channel())];
            switch (m.Type()) {
            case 0x90:
                row[m.byte1] = m.byte2;
                break;
            case 0xA0:
                row[m.byte1] = m.byte2;
                break;
            case 0x80:
                row[m.byte1] = 0;
                break;
            default:
                break;
            }
        }
        if (scaled.IsNoteOnType())
            scaled.byte2 = quint8(int(scaled.byte2 * velocityScale));
    }
    std::lock_guard<std::recursive_mutex> delivering(deliveryMutex);
    Notify(&MidiDeviceObserver::OnMidiEvent, MidiEvent{scaled, event.tick, event.seconds, event.receivedNs});
}

} // namespace Core

#include "core/midi/midi_in_stream_device_base.h"

namespace Core {

MidiInStreamDeviceBase::MidiInStreamDeviceBase(std::shared_ptr<MidiStream> events)
    : stream(events ? std::move(events) : std::make_shared<MidiStream>())
{
    cursor = stream->size();
}

void MidiInStreamDeviceBase::Open()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    cursor = stream->size();
    MidiInDeviceBase::Open();
}

void MidiInStreamDeviceBase::Seek(int tick)
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    int i = 0;
    while (i < stream->size() && stream->at(i).tick < tick)
        ++i;
    cursor = i;
}

void MidiInStreamDeviceBase::Play()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    if (AtEndLocked())
        cursor = 0;
}

std::shared_ptr<MidiStream> MidiInStreamDeviceBase::Stream()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    return stream;
}

bool MidiInStreamDeviceBase::IsAtEnd()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    return AtEndLocked();
}

bool MidiInStreamDeviceBase::AtEndLocked() const
{
    return cursor >= stream->size();
}

} // namespace Core

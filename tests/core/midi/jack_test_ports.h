#pragma once
// Ports the MIDI tests create on the test JACK server, as another program on the machine would:
// a keyboard (a port that plays into the program) and a listener (a port the program plays to,
// recording what arrives with its arrival time).

#include "core/midi/midi_in_rt_device.h"
#include "core/midi/midi_message.h"
#include "core/midi/midi_out_rt_device.h"
#include "core/timer.h"

#include <QStringList>
#include <QVector>

#include <RtMidi.h>

#include <memory>
#include <mutex>

struct ReceivedMessage
{
    MidiMessage message;
    quint64 arrivalNs;
};

class TestKeyboard
{
public:
    explicit TestKeyboard(const std::string& client, const std::string& port = "keys")
        : out(RtMidi::UNIX_JACK, client), name(QString::fromStdString(client + ":" + port))
    {
        out.openVirtualPort(port);
    }
    void Send(const MidiMessage& m)
    {
        const unsigned char bytes[3] = {m.status, m.byte1, m.byte2};
        out.sendMessage(bytes, m.length);
    }
    // Index of this port among the program's input ports, -1 when it is not listed.
    int InputIndex() const { return Core::MidiInRtDevice::GetPortNames().indexOf(name); }

    RtMidiOut out;
    const QString name;
};

class TestListener
{
public:
    explicit TestListener(const std::string& client, const std::string& port = "in")
        : in(RtMidi::UNIX_JACK, client, 1000), name(QString::fromStdString(client + ":" + port))
    {
        in.setCallback(&TestListener::Callback, this);
        in.ignoreTypes(false, false, false);
        in.openVirtualPort(port);
    }
    ~TestListener()
    {
        in.cancelCallback();
        in.closePort();
    }
    int OutputIndex() const { return Core::MidiOutRtDevice::GetPortNames().indexOf(name); }
    int Count()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return received.size();
    }
    QVector<ReceivedMessage> Received()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return received;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> guard(mutex);
        received.clear();
    }

    RtMidiIn in;
    const QString name;

private:
    static void Callback(double, std::vector<unsigned char>* bytes, void* self)
    {
        auto* listener = static_cast<TestListener*>(self);
        const quint64 now = Core::Timer::NowNs();
        std::lock_guard<std::mutex> guard(listener->mutex);
        listener->received.append({MidiMessage(bytes->data(), int(bytes->size())), now});
    }

    std::mutex mutex;
    QVector<ReceivedMessage> received;
};

// Records what an input device passes to its observers.
class RecordingObserver : public Core::MidiDeviceObserver
{
public:
    void OnMidiEvent(const MidiEvent& event) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        events.append(event);
    }
    int Count()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return events.size();
    }
    QVector<MidiEvent> Events()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return events;
    }

private:
    std::mutex mutex;
    QVector<MidiEvent> events;
};

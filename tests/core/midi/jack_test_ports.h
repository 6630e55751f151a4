#pragma once
// Ports the MIDI tests create on the test JACK server, as another program on the machine would:
// a keyboard (a port that plays into the program) and a listener (a port the program plays to,
// recording what arrives with its arrival time).

#include "core/midi/midi_in_rt_device.h"
#include "core/midi/midi_message.h"
#include "core/midi/midi_out_rt_device.h"
#include "core/timer.h"

#include <QStringList>
#include <QTest>
#include <QVector>

#include <RtMidi.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

// JACK gives a client name still in use (a client of the previous test closing) a suffix, so
// every test port gets a client name of its own.
inline std::string UniqueClient(const std::string& client)
{
    static std::atomic<int> serial{0};
    return client + " " + std::to_string(++serial);
}

struct ReceivedMessage
{
    MidiMessage message;
    quint64 arrivalNs;
};

class TestKeyboard
{
public:
    explicit TestKeyboard(const std::string& clientName, const std::string& port = "keys")
        : client(UniqueClient(clientName)), out(RtMidi::UNIX_JACK, client), name(QString::fromStdString(client + ":" + port))
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

    const std::string client;
    RtMidiOut out;
    const QString name;
};

class TestListener
{
public:
    explicit TestListener(const std::string& clientName, const std::string& port = "in")
        : client(UniqueClient(clientName)), in(RtMidi::UNIX_JACK, client, 1000),
          name(QString::fromStdString(client + ":" + port))
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

private:
    // Made before the RtMidi object, whose thread uses them.
    std::mutex mutex;
    QVector<ReceivedMessage> received;

public:
    const std::string client;
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
};

// A JACK connection made while the graph runs takes effect from a later period; messages sent
// before it may go nowhere. Sends active-sensing probes until one arrives, then forgets them.
inline bool WaitUntilConnected(Core::MidiOutDevice& output, TestListener& listener)
{
    const bool connected = QTest::qWaitFor(
        [&] {
            output.Send(MidiMessage(reinterpret_cast<const quint8*>("\xfe"), 1));
            return listener.Count() > 0;
        },
        5000);
    QTest::qWait(20); // probes still on their way
    listener.Clear();
    return connected;
}

class RecordingObserver;
inline int WaitUntilHeard(TestKeyboard& keyboard, Core::MidiInDeviceBase& device);

// Records what an input device passes to its observers.
class RecordingObserver : public Core::MidiDeviceObserver
{
public:
    void Clear()
    {
        std::lock_guard<std::mutex> guard(mutex);
        events.clear();
    }

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

// The same for a keyboard port and the input device listening to it. Returns how many probes
// the device's event log holds afterwards.
inline int WaitUntilHeard(TestKeyboard& keyboard, Core::MidiInDeviceBase& device)
{
    RecordingObserver probe;
    device.Attach(&probe);
    const bool heard = QTest::qWaitFor(
        [&] {
            keyboard.Send(MidiMessage(reinterpret_cast<const quint8*>("\xfe"), 1));
            return probe.Count() > 0;
        },
        5000);
    QTest::qWait(20);
    device.Detach(&probe);
    return heard ? device.GetEventLog().size() : -1;
}

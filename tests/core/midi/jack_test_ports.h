#pragma once
// Ports the MIDI tests create on the test JACK server, as another program on the machine would:
// a keyboard (a port that plays into the program) and a listener (a port the program plays to,
// recording what arrives with its arrival time).

#include "core/midi/midi_in_rt_device.h"
#include "core/midi/midi_message.h"
#include "core/midi/midi_out_rt_device.h"
#include "core/timing/timer.h"

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
        : client(UniqueClient(clientName)), out(RtMidi::UNIX_JACK, client),
          name(QString::fromStdString(client + ":" + port))
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

// What arrives on another thread, kept under a lock: `Item` has a `message`.
template <typename Item> class Recorded
{
public:
    int Count() { return All().size(); }
    MidiMessage Last()
    {
        const QVector<Item> items = All();
        return items.isEmpty() ? MidiMessage() : items.last().message;
    }
    // A copy with data of its own: a shared one would let the recording thread append in place,
    // unlocked against our reading, once the caller drops its reference.
    QVector<Item> All()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return QVector<Item>(items.begin(), items.end());
    }
    void Clear()
    {
        std::lock_guard<std::mutex> guard(mutex);
        items.clear();
    }

protected:
    void Add(const Item& item)
    {
        std::lock_guard<std::mutex> guard(mutex);
        items.append(item);
    }

private:
    std::mutex mutex;
    QVector<Item> items;
};

// Recorded is a base, so it is made before the RtMidi object, whose thread fills it.
class TestListener : public Recorded<ReceivedMessage>
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
    QVector<ReceivedMessage> Received() { return All(); }

    const std::string client;
    RtMidiIn in;
    const QString name;

private:
    static void Callback(double, std::vector<unsigned char>* bytes, void* self)
    {
        const quint64 now = Core::Timer::NowNs();
        static_cast<TestListener*>(self)->Add({MidiMessage(bytes->data(), int(bytes->size())), now});
    }
};

// Records what an input device passes to its observers.
class RecordingObserver : public Core::MidiDeviceObserver, public Recorded<MidiEvent>
{
public:
    void OnMidiEvent(const MidiEvent& event) override { Add(event); }
    QVector<MidiEvent> Events() { return All(); }
};

// A JACK connection made while the graph runs takes effect from a later period; messages sent
// before it may go nowhere. Sends active-sensing probes until one arrives, then a marker (a
// system-exclusive message with the non-commercial id): JACK keeps a port's order, so once the
// marker is in, no probe is still on its way.
template <typename Source, typename Send> bool ProbeUntilHeard(Source& source, Send send)
{
    const MidiMessage probe(reinterpret_cast<const quint8*>("\xfe"), 1);
    const MidiMessage marker(reinterpret_cast<const quint8*>("\xf0\x7d\xf7"), 3);
    const bool heard = QTest::qWaitFor(
        [&] {
            send(probe);
            return source.Last().length > 0;
        },
        5000);
    send(marker);
    return heard && QTest::qWaitFor([&] { return source.Last() == marker; }, 5000);
}

// Waits until the output device reaches the listener, then forgets the probes.
inline bool WaitUntilConnected(Core::MidiOutDevice& output, TestListener& listener)
{
    const bool connected = ProbeUntilHeard(listener, [&](const MidiMessage& m) { output.Send(m); });
    listener.Clear();
    return connected;
}

// The same for a keyboard port and the input device listening to it. Returns how many events
// (probes and marker) the device's event log holds afterwards, -1 when it never heard the port.
inline int WaitUntilHeard(TestKeyboard& keyboard, Core::MidiInDeviceBase& device)
{
    RecordingObserver probe;
    device.Attach(&probe);
    const bool heard = ProbeUntilHeard(probe, [&](const MidiMessage& m) { keyboard.Send(m); });
    device.Detach(&probe);
    return heard ? device.GetEventLog().size() : -1;
}

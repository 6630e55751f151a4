#include "core/midi/device_watcher.h"

#include "core/midi/midi_backend.h"
#include "core/midi/sound_controller.h"

#include <QLoggingCategory>

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <algorithm>
#include <chrono>
#include <poll.h>
#include <set>
#include <system_error>
#include <unistd.h>

Q_LOGGING_CATEGORY(watcherLog, "cantorela.midi.watcher", QtInfoMsg)
#include <vector>

namespace Core {
namespace {

struct JackWatch
{
    jack_client_t* client = nullptr;
    std::atomic<bool> shutDown{false};
};

void JackPortRegistered(jack_port_id_t id, int registered, void* data)
{
    auto* watch = static_cast<JackWatch*>(data);
    jack_port_t* port = jack_port_by_id(watch->client, id);
    const char* name = port ? jack_port_name(port) : nullptr;
    const char* type = port ? jack_port_type(port) : nullptr;
    qCDebug(midiLog, "jack port %s %s (%s)", name ? name : "?", registered ? "registered" : "unregistered",
            type ? type : "?");
    // A port going away may no longer tell its type; only its name keeps ours out.
    if (registered && type && QLatin1String(type) != QLatin1String(JACK_DEFAULT_MIDI_TYPE))
        return;
    if (name && MidiBackend::IsOwnPort(QString::fromUtf8(name)))
        return;
    SoundController::NotifyDeviceChange();
}

void JackShutDown(void* data)
{
    static_cast<JackWatch*>(data)->shutDown = true;
    SoundController::NotifyDeviceChange();
}

} // namespace

DeviceWatcher::DeviceWatcher()
{
    const RtMidi::Api api = MidiBackend::Api();
    try {
        if (api == RtMidi::LINUX_ALSA)
            thread = std::thread([this] { WatchAlsa(); });
        else if (api == RtMidi::UNIX_JACK)
            thread = std::thread([this] { WatchJack(); });
    } catch (const std::system_error& error) {
        // No thread to be had: the program runs on, and a keyboard plugged in later is found
        // when the student looks for it on the settings page.
        qCWarning(watcherLog, "keyboards plugged in or out are not noticed: %s", error.what());
    }
}

DeviceWatcher::~DeviceWatcher()
{
    {
        std::lock_guard<std::mutex> guard(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
}

void DeviceWatcher::WatchAlsa()
{
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) {
        qCDebug(midiLog, "device watcher: no ALSA sequencer");
        return;
    }
    snd_seq_set_client_name(seq, "Cantorela Device Watcher");
    const int port = snd_seq_create_simple_port(
        seq, "announce", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT, SND_SEQ_PORT_TYPE_APPLICATION);
    if (port < 0 ||
        snd_seq_connect_from(seq, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0) {
        qCDebug(midiLog, "device watcher: cannot subscribe to the announce port");
        snd_seq_close(seq);
        return;
    }

    const int self = snd_seq_client_id(seq);
    std::set<int> ownClients; // clients of this process seen starting; their exits are ours too
    auto isOwn = [&](int client) {
        if (client == self || ownClients.count(client))
            return true;
        snd_seq_client_info_t* info = nullptr;
        snd_seq_client_info_alloca(&info);
        if (snd_seq_get_any_client_info(seq, client, info) == 0 &&
            snd_seq_client_info_get_pid(info) == getpid()) {
            ownClients.insert(client);
            return true;
        }
        return false;
    };

    const int count = snd_seq_poll_descriptors_count(seq, POLLIN);
    std::vector<pollfd> fds(size_t(std::max(count, 1)));
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(mutex);
            if (stopping)
                break;
        }
        snd_seq_poll_descriptors(seq, fds.data(), unsigned(fds.size()), POLLIN);
        if (poll(fds.data(), nfds_t(fds.size()), 200) <= 0)
            continue;
        bool changed = false;
        snd_seq_event_t* event = nullptr;
        while (snd_seq_event_input(seq, &event) >= 0 && event) {
            const int client = event->data.addr.client;
            switch (event->type) {
            case SND_SEQ_EVENT_CLIENT_START:
            case SND_SEQ_EVENT_PORT_START:
                if (!isOwn(client))
                    changed = true;
                break;
            case SND_SEQ_EVENT_CLIENT_EXIT:
            case SND_SEQ_EVENT_PORT_EXIT:
                if (event->type == SND_SEQ_EVENT_CLIENT_EXIT && ownClients.erase(client))
                    break;
                if (!isOwn(client))
                    changed = true;
                break;
            default:
                break;
            }
        }
        if (changed)
            SoundController::NotifyDeviceChange();
    }
    snd_seq_close(seq);
}

namespace {

constexpr std::chrono::seconds minRetry(2);
constexpr std::chrono::seconds maxRetry(16);

} // namespace

void DeviceWatcher::WatchJack()
{
    JackWatch watch;
    bool firstAttempt = true;
    // While there is no server the watcher asks again, less often the longer none comes: an
    // attempt costs a little CPU, and a program left open for hours should cost next to none.
    auto retry = minRetry;
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        if (!watch.client || watch.shutDown) {
            if (watch.client) {
                jack_client_close(watch.client);
                watch.client = nullptr;
            }
            watch.shutDown = false;
            lock.unlock();
            jack_client_t* client = jack_client_open("Cantorela Device Watcher", JackNoStartServer, nullptr);
            if (client) {
                watch.client = client;
                jack_set_port_registration_callback(client, JackPortRegistered, &watch);
                jack_on_shutdown(client, JackShutDown, &watch);
                if (jack_activate(client) != 0) {
                    jack_client_close(client);
                    watch.client = nullptr;
                } else if (!firstAttempt) {
                    SoundController::NotifyDeviceChange(); // a server came up: its ports are new
                }
            }
            firstAttempt = false;
            retry = watch.client ? minRetry : std::min(retry * 2, maxRetry);
            lock.lock();
        }
        wake.wait_for(lock, watch.client ? minRetry : retry, [this] { return stopping; });
    }
    lock.unlock();
    if (watch.client)
        jack_client_close(watch.client);
}

} // namespace Core

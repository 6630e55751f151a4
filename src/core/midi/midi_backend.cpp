#include "core/midi/midi_backend.h"

#include <QRegularExpression>

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

Q_LOGGING_CATEGORY(midiLog, "cantorela.midi", QtInfoMsg)

namespace Core {
namespace {

std::mutex preferenceMutex;
QString preferredApi; // guarded by preferenceMutex

void JackMessage(const char* text)
{
    qCDebug(midiLog, "jack: %s", text);
}

void AlsaMessage(const char* file, int line, const char* function, int err, const char* fmt, ...)
{
    Q_UNUSED(file)
    Q_UNUSED(line)
    Q_UNUSED(err)
    char text[512];
    va_list args;
    va_start(args, fmt);
    vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    qCDebug(midiLog, "alsa: %s: %s", function, text);
}

void RtMidiMessage(RtMidiError::Type type, const std::string& text, void* data)
{
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING) {
        qCDebug(midiLog, "rtmidi: %s", text.c_str());
        return;
    }
    auto* record = static_cast<MidiBackend::ErrorRecord*>(data);
    if (!record->failed) {
        record->failed = true;
        record->type = type;
        record->text = text;
    }
}

bool ProbeAlsaSequencer()
{
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0)
        return false;
    snd_seq_close(seq);
    return true;
}

// Process id of an ALSA sequencer client, 0 when unknown.
int AlsaClientPid(int client)
{
    static std::mutex mutex;
    static snd_seq_t* seq = nullptr;
    std::lock_guard<std::mutex> guard(mutex);
    if (!seq && snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0) {
        seq = nullptr;
        return 0;
    }
    snd_seq_client_info_t* info = nullptr;
    snd_seq_client_info_alloca(&info);
    if (snd_seq_get_any_client_info(seq, client, info) < 0)
        return 0;
    return snd_seq_client_info_get_pid(info);
}

} // namespace

void MidiBackend::Initialize()
{
    static std::once_flag once;
    std::call_once(once, [] {
        setenv("JACK_NO_START_SERVER", "1", 1);
        jack_set_error_function(JackMessage);
        jack_set_info_function(JackMessage);
        snd_lib_error_set_handler(AlsaMessage);
    });
}

bool MidiBackend::IsAlsaSequencerAvailable()
{
    Initialize();
    static const bool available = ProbeAlsaSequencer();
    return available;
}

bool MidiBackend::IsJackServerRunning()
{
    Initialize();
    jack_status_t status{};
    jack_client_t* client = jack_client_open("Cantorela Probe", JackNoStartServer, &status);
    if (!client)
        return false;
    jack_client_close(client);
    return true;
}

void MidiBackend::SetPreferredApi(const QString& name)
{
    std::lock_guard<std::mutex> guard(preferenceMutex);
    preferredApi = name.trimmed().toLower();
}

RtMidi::Api MidiBackend::Api()
{
    Initialize();
    QString choice = qEnvironmentVariable("CANTORELA_MIDI_API").trimmed().toLower();
    if (choice.isEmpty()) {
        std::lock_guard<std::mutex> guard(preferenceMutex);
        choice = preferredApi;
    }
    if (choice == QLatin1String("jack"))
        return RtMidi::UNIX_JACK;
    if (choice == QLatin1String("alsa"))
        return RtMidi::LINUX_ALSA;
    return IsAlsaSequencerAvailable() ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

QString MidiBackend::ApiName(RtMidi::Api api)
{
    return QString::fromStdString(RtMidi::getApiName(api));
}

bool MidiBackend::IsOwnPort(const QString& portName)
{
    // ALSA names end in "client:port" numbers; the sequencer knows each client's process.
    static const QRegularExpression alsaAddress(QStringLiteral(" (\\d+):(\\d+)$"));
    const QRegularExpressionMatch alsa = alsaAddress.match(portName);
    if (alsa.hasMatch()) {
        const int pid = AlsaClientPid(alsa.captured(1).toInt());
        if (pid > 0)
            return pid == int(getpid());
    }
    // JACK tells no process ids to its clients: our clients are known by the names RtMidi
    // gives them (JACK appends "-NN" to a name already taken).
    static const QRegularExpression ownJack(
        QStringLiteral("^RtMidi (Input|Output) Client(-\\d+)?:RtMidi (Input|Output)$"));
    return ownJack.match(portName).hasMatch();
}

void MidiBackend::RouteErrors(RtMidi& midi, ErrorRecord* record)
{
    midi.setErrorCallback(RtMidiMessage, record);
}

void MidiBackend::ErrorRecord::ThrowIfFailed()
{
    if (!failed)
        return;
    failed = false;
    throw RtMidiError(text, type);
}

} // namespace Core

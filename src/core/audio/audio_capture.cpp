#include "core/audio/audio_capture.h"

#include "core/midi/midi_backend.h"

#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTimer>

#include <jack/jack.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

Q_LOGGING_CATEGORY(captureLog, "cantorela.audio.capture", QtInfoMsg)

namespace Core {
namespace {

const char* const StreamClientName = "Cantorela Microphone";
const char* const StreamPortName = "inport 0"; // the name RtAudio gives its first input port
constexpr unsigned int RequestedBufferFrames = 256;
constexpr int PollIntervalMs = 50;
constexpr float PeakFallDbPerSecond = 20.0f;
constexpr float RmsWindowSeconds = 0.3f;

// The capture whose RtAudio calls run on this thread: RtAudio's error callback carries no
// pointer of ours, so the audio callback and our own calls into RtAudio leave it here.
thread_local AudioCapture* reportingCapture = nullptr;

class ReportingFor
{
public:
    explicit ReportingFor(AudioCapture* capture) : previous(reportingCapture) { reportingCapture = capture; }
    ~ReportingFor() { reportingCapture = previous; }

private:
    AudioCapture* previous;
};

RtAudio::Api ApiNamed(const QString& name)
{
    if (name == QLatin1String("pulse"))
        return RtAudio::LINUX_PULSE;
    if (name == QLatin1String("jack"))
        return RtAudio::UNIX_JACK;
    if (name == QLatin1String("alsa"))
        return RtAudio::LINUX_ALSA;
    return RtAudio::UNSPECIFIED;
}

bool IsCompiled(RtAudio::Api api)
{
    std::vector<RtAudio::Api> apis;
    RtAudio::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}

// JACK's capture devices are the clients with audio output ports, each port a channel, in the
// server's port order. Read through libjack rather than RtAudio, which counts MIDI ports as
// channels and takes client names for patterns.
QVector<AudioInputDevice> JackInputDevices(QStringList* firstPorts = nullptr)
{
    QVector<AudioInputDevice> devices;
    if (!MidiBackend::IsJackServerRunning())
        return devices;
    jack_client_t* client = jack_client_open("Cantorela Device List", JackNoStartServer, nullptr);
    if (!client)
        return devices;
    const unsigned int rate = jack_get_sample_rate(client);
    if (const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput)) {
        for (int i = 0; ports[i]; ++i) {
            const QString port = QString::fromUtf8(ports[i]);
            const QString owner = port.section(QLatin1Char(':'), 0, 0);
            // The built-in synthesizer's output is what we play, not what the student plays.
            static const QRegularExpression ourOutput(QStringLiteral("^Cantorela Synthesizer(-\\d+)?$"));
            if (ourOutput.match(owner).hasMatch())
                continue;
            auto found = std::find_if(devices.begin(), devices.end(),
                                      [&](const AudioInputDevice& d) { return d.id == owner; });
            if (found != devices.end()) {
                ++found->channels;
                continue;
            }
            devices.append(AudioInputDevice{owner, owner, 1, rate});
            if (firstPorts)
                firstPorts->append(port);
        }
        jack_free(ports);
    }
    jack_client_close(client);
    return devices;
}

QVector<AudioInputDevice> RtAudioInputDevices(RtAudio::Api api)
{
    QVector<AudioInputDevice> devices;
    try {
        RtAudio audio(api);
        audio.showWarnings(false);
        const unsigned int count = audio.getDeviceCount();
        for (unsigned int i = 0; i < count; ++i) {
            const RtAudio::DeviceInfo info = audio.getDeviceInfo(i);
            if (!info.probed || info.inputChannels == 0)
                continue;
            const QString name = QString::fromStdString(info.name);
            unsigned int rate = info.preferredSampleRate;
            if (rate == 0 && !info.sampleRates.empty())
                rate = info.sampleRates.back();
            devices.append(AudioInputDevice{name, name, info.inputChannels, rate});
        }
    } catch (const RtAudioError& e) {
        qCDebug(captureLog, "%s lists no capture device: %s", RtAudio::getApiName(api).c_str(), e.what());
    }
    return devices;
}

QVector<AudioInputDevice> DevicesOf(RtAudio::Api api)
{
    if (api == RtAudio::UNIX_JACK)
        return JackInputDevices();
    if (api == RtAudio::UNSPECIFIED)
        return {};
    return RtAudioInputDevices(api);
}

// The sound system chosen for the user, and its devices.
RtAudio::Api ChooseApi(QVector<AudioInputDevice>* devices)
{
    MidiBackend::Initialize(); // no JACK server started for us; library messages to our log
    QString choice = qEnvironmentVariable("CANTORELA_AUDIO_API").trimmed().toLower();
    if (choice.isEmpty() && qEnvironmentVariable("CANTORELA_MIDI_API").trimmed().toLower() == QLatin1String("jack"))
        choice = QStringLiteral("jack");
    if (!choice.isEmpty()) {
        const RtAudio::Api api = ApiNamed(choice);
        if (api == RtAudio::UNSPECIFIED || !IsCompiled(api)) {
            qCWarning(captureLog, "unknown or unavailable sound system '%s'", qPrintable(choice));
            return RtAudio::UNSPECIFIED;
        }
        if (devices)
            *devices = DevicesOf(api);
        return api;
    }
    for (RtAudio::Api api : {RtAudio::LINUX_PULSE, RtAudio::UNIX_JACK, RtAudio::LINUX_ALSA}) {
        if (!IsCompiled(api))
            continue;
        QVector<AudioInputDevice> found = DevicesOf(api);
        if (!found.isEmpty()) {
            if (devices)
                *devices = std::move(found);
            return api;
        }
    }
    return RtAudio::UNSPECIFIED;
}

} // namespace

// Our side of a JACK stream: a client that connects RtAudio's port to the device and hears
// about ports and the server going away (on libjack's notification thread).
struct AudioCapture::JackLink
{
    jack_client_t* client = nullptr;
    std::string source; // the device port we listen to; fixed before the client is activated
    std::atomic<bool> sourceGone{false};
    std::atomic<bool> serverGone{false};
    QString reason; // why the server went, written by the notification thread before serverGone

    ~JackLink()
    {
        if (client)
            jack_client_close(client);
    }

    static void PortRegistered(jack_port_id_t id, int registered, void* data)
    {
        auto* link = static_cast<JackLink*>(data);
        if (registered)
            return;
        jack_port_t* port = jack_port_by_id(link->client, id);
        const char* name = port ? jack_port_name(port) : nullptr;
        if (name && link->source == name)
            link->sourceGone = true;
    }

    static void ShutDown(jack_status_t, const char* why, void* data)
    {
        auto* link = static_cast<JackLink*>(data);
        link->reason = QString::fromUtf8(why ? why : "");
        link->serverGone.store(true, std::memory_order_release);
    }
};

AudioCapture::AudioCapture() = default;

AudioCapture::~AudioCapture()
{
    Close();
}

RtAudio::Api AudioCapture::Api()
{
    return ChooseApi(nullptr);
}

QString AudioCapture::ApiName(RtAudio::Api api)
{
    if (api == RtAudio::UNSPECIFIED)
        return QStringLiteral("none");
    return QString::fromStdString(RtAudio::getApiName(api));
}

QVector<AudioInputDevice> AudioCapture::InputDevices()
{
    QVector<AudioInputDevice> devices;
    ChooseApi(&devices);
    return devices;
}

void AudioCapture::SetErrorSink(ErrorSink sink)
{
    errorSink = std::move(sink);
}

bool AudioCapture::Fail(QString* reason, const QString& why)
{
    qCDebug(captureLog, "capture device '%s' does not open: %s", qPrintable(deviceId), qPrintable(why));
    Close();
    if (reason)
        *reason = why;
    return false;
}

bool AudioCapture::Open(const QString& id, SampleSink sampleSink, QString* reason)
{
    Close();
    deviceId = id;
    QVector<AudioInputDevice> devices;
    const RtAudio::Api api = ChooseApi(&devices);
    if (api == RtAudio::UNSPECIFIED)
        return Fail(reason, QStringLiteral("no sound system answers"));
    const auto device = std::find_if(devices.cbegin(), devices.cend(),
                                     [&](const AudioInputDevice& d) { return d.id == id; });
    if (device == devices.cend())
        return Fail(reason, QStringLiteral("%1 has no capture device named \"%2\"").arg(ApiName(api), id));

    // Counters and the error slot start afresh; no audio thread runs yet.
    errorState.store(0);
    streamStopped.store(false);
    clipped.store(0);
    overruns.store(0);
    peak.store(0.0f);
    rms.store(0.0f);
    peakHeld = meanSquare = 0.0f;
    goneReported = false;
    overrunsReported = 0;
    sampleRate = device->sampleRate;
    peakFallPerFrame = std::pow(10.0f, -PeakFallDbPerSecond / 20.0f / float(sampleRate));
    rmsKeepPerFrame = std::exp(-1.0f / (RmsWindowSeconds * float(sampleRate)));
    sink = std::move(sampleSink);

    RtAudio::StreamOptions options;
    if (api == RtAudio::UNIX_JACK) {
        // RtAudio's JACK client gets a name no other client has: its port name follows from it.
        jack = std::make_unique<JackLink>();
        jack->client = jack_client_open("Cantorela Microphone Watch", JackNoStartServer, nullptr);
        if (!jack->client)
            return Fail(reason, QStringLiteral("the JACK server does not answer"));
        QStringList clients;
        if (const char** ports = jack_get_ports(jack->client, nullptr, nullptr, 0)) {
            for (int i = 0; ports[i]; ++i)
                clients.append(QString::fromUtf8(ports[i]).section(QLatin1Char(':'), 0, 0));
            jack_free(ports);
        }
        QString name = QLatin1String(StreamClientName);
        for (int n = 2; clients.contains(name); ++n)
            name = QStringLiteral("%1 %2").arg(QLatin1String(StreamClientName)).arg(n);
        options.streamName = name.toStdString();
        options.flags |= RTAUDIO_JACK_DONT_CONNECT;
        jackInputPort = name + QLatin1Char(':') + QLatin1String(StreamPortName);
        const char** sources = jack_get_ports(jack->client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
        for (int i = 0; sources && sources[i]; ++i) {
            if (QString::fromUtf8(sources[i]).section(QLatin1Char(':'), 0, 0) == id) {
                jack->source = sources[i];
                break;
            }
        }
        if (sources)
            jack_free(sources);
        if (jack->source.empty())
            return Fail(reason, QStringLiteral("the JACK client \"%1\" has no audio output port").arg(id));
        jack_set_port_registration_callback(jack->client, &JackLink::PortRegistered, jack.get());
        jack_on_info_shutdown(jack->client, &JackLink::ShutDown, jack.get());
        if (jack_activate(jack->client) != 0)
            return Fail(reason, QStringLiteral("the JACK server does not answer"));
    }

    ReportingFor reporting(this);
    try {
        audio = std::make_unique<RtAudio>(api);
        audio->showWarnings(false);
        // The device's index in RtAudio's own list, found by name just before opening it.
        unsigned int index = 0;
        const unsigned int count = audio->getDeviceCount();
        while (index < count && audio->getDeviceInfo(index).name != id.toStdString())
            ++index;
        if (index == count)
            return Fail(reason, QStringLiteral("%1 has no capture device named \"%2\"").arg(ApiName(api), id));
        RtAudio::StreamParameters input;
        input.deviceId = index;
        input.nChannels = 1;
        input.firstChannel = 0;
        bufferFrames = RequestedBufferFrames;
        audio->openStream(nullptr, &input, RTAUDIO_FLOAT32, sampleRate, &bufferFrames, &AudioCapture::Callback,
                          this, &options, &AudioCapture::OnRtAudioError);
        audio->startStream();
        // JACK connects the ports of active clients only, so after the start.
        if (jack && jack_connect(jack->client, jack->source.c_str(), jackInputPort.toUtf8().constData()) != 0)
            return Fail(reason, QStringLiteral("cannot connect %1 to %2")
                                    .arg(QString::fromStdString(jack->source), jackInputPort));
    } catch (const RtAudioError& e) {
        return Fail(reason, QString::fromStdString(e.getMessage()));
    }
    if (errorState.load(std::memory_order_acquire) == 2 || !audio->isStreamRunning())
        return Fail(reason, errorState.load() == 2 ? QString::fromUtf8(errorText)
                                                   : QStringLiteral("the stream did not start"));
    if (jack && !jack_port_by_name(jack->client, jack->source.c_str()))
        return Fail(reason, QStringLiteral("%1 went away").arg(QString::fromStdString(jack->source)));

    if (!pollTimer) {
        pollTimer = std::make_unique<QTimer>();
        pollTimer->setInterval(PollIntervalMs);
        QObject::connect(pollTimer.get(), &QTimer::timeout, [this] { Poll(); });
    }
    pollTimer->start();
    qCDebug(captureLog, "capturing from '%s' (%s) at %u Hz in blocks of %u", qPrintable(id),
            qPrintable(ApiName(api)), sampleRate, bufferFrames);
    return true;
}

void AudioCapture::Close()
{
    if (pollTimer)
        pollTimer->stop();
    if (audio) {
        ReportingFor reporting(this);
        if (jack && jack->serverGone.load(std::memory_order_acquire)) {
            // RtAudio closes a JACK stream itself when the server goes, on a thread of its own
            // that nobody can join: wait for it rather than close the stream under it.
            QDeadlineTimer deadline(2000);
            while (audio->isStreamOpen() && !deadline.hasExpired())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        try {
            if (audio->isStreamRunning())
                audio->abortStream();
            if (audio->isStreamOpen())
                audio->closeStream(); // joins the audio thread or deactivates the JACK client
        } catch (const RtAudioError& e) {
            qCDebug(captureLog, "closing the capture stream: %s", e.what());
        }
        audio.reset();
    }
    jack.reset();
    sink = nullptr;
    jackInputPort.clear();
}

int AudioCapture::Callback(void*, void* input, unsigned int frames, double streamTime, RtAudioStreamStatus status,
                           void* self)
{
    auto* capture = static_cast<AudioCapture*>(self);
    reportingCapture = capture;
    if (status & RTAUDIO_INPUT_OVERFLOW)
        capture->overruns.fetch_add(1, std::memory_order_relaxed);
    if (!input || frames == 0)
        return 0;
    const auto* samples = static_cast<const float*>(input);
    capture->Measure(samples, frames);
    if (capture->sink)
        capture->sink(samples, frames, streamTime);
    return 0;
}

void AudioCapture::Measure(const float* samples, unsigned int frames)
{
    float blockPeak = 0.0f;
    float sum = 0.0f;
    quint64 clippedHere = 0;
    for (unsigned int i = 0; i < frames; ++i) {
        const float magnitude = std::fabs(samples[i]);
        blockPeak = std::max(blockPeak, magnitude);
        sum += samples[i] * samples[i];
        clippedHere += magnitude >= ClipLevel ? 1 : 0;
    }
    if (clippedHere)
        clipped.fetch_add(clippedHere, std::memory_order_relaxed);
    peakHeld = std::max(blockPeak, peakHeld * std::pow(peakFallPerFrame, float(frames)));
    const float keep = std::pow(rmsKeepPerFrame, float(frames));
    meanSquare = keep * meanSquare + (1.0f - keep) * (sum / float(frames));
    peak.store(peakHeld, std::memory_order_relaxed);
    rms.store(std::sqrt(meanSquare), std::memory_order_relaxed);
}

void AudioCapture::OnRtAudioError(RtAudioError::Type type, const std::string& text)
{
    if (type == RtAudioError::DEBUG_WARNING)
        return;
    AudioCapture* capture = reportingCapture;
    if (!capture) {
        qCDebug(captureLog, "rtaudio: %s", text.c_str());
        return;
    }
    capture->RecordError(type != RtAudioError::WARNING, text);
}

void AudioCapture::RecordError(bool fatal, const std::string& text)
{
    // RtAudio stops the stream itself after an error that is not a warning.
    if (fatal)
        streamStopped.store(true, std::memory_order_release);
    int expected = 0;
    if (!errorState.compare_exchange_strong(expected, 1, std::memory_order_acquire))
        return; // the first error is still waiting for Poll
    errorFatal = fatal;
    const std::size_t length = std::min(text.size(), sizeof errorText - 1);
    std::memcpy(errorText, text.data(), length);
    errorText[length] = '\0';
    errorState.store(2, std::memory_order_release);
}

void AudioCapture::Report(Problem problem, const QString& reason)
{
    if (problem == Problem::DeviceGone) {
        if (goneReported)
            return;
        goneReported = true;
    }
    qCDebug(captureLog, "capture device '%s': %s", qPrintable(deviceId), qPrintable(reason));
    if (errorSink)
        errorSink(problem, reason);
}

void AudioCapture::Poll()
{
    // The error sink may close this capture: every step checks that it is still open.
    if (jack && jack->serverGone.load(std::memory_order_acquire)) {
        // libjack forgets its state of a lost server at the next failed jack_client_open (a
        // device list, another client probing), after which closing a client still open
        // crashes inside it: ours goes at once.
        if (jack->client) {
            jack_client_close(jack->client);
            jack->client = nullptr;
        }
        Report(Problem::DeviceGone, QStringLiteral("the JACK server stopped (%1)").arg(jack->reason));
    }
    if (jack && jack->sourceGone.load())
        Report(Problem::DeviceGone, QStringLiteral("%1 went away").arg(QString::fromStdString(jack->source)));
    if (!audio)
        return;
    if (errorState.load(std::memory_order_acquire) == 2) {
        const QString text = QString::fromUtf8(errorText);
        const bool fatal = errorFatal;
        errorState.store(0, std::memory_order_release);
        if (fatal)
            Report(Problem::DeviceGone, QStringLiteral("the sound system stopped the stream: %1").arg(text));
        else
            Report(Problem::StreamError, text);
        if (!audio)
            return;
    }
    if (streamStopped.load(std::memory_order_acquire) || !audio->isStreamRunning())
        Report(Problem::DeviceGone, QStringLiteral("the sound system stopped the stream"));
    if (!audio)
        return;
    const quint64 lost = overruns.load(std::memory_order_relaxed);
    if (lost > overrunsReported) {
        const quint64 fresh = lost - overrunsReported;
        overrunsReported = lost;
        Report(Problem::Overrun, QStringLiteral("%1 input overrun(s)").arg(fresh));
    }
}

} // namespace Core

#include "core/midi/synthesizer.h"

#include "core/audio/own_playback.h"
#include "core/midi/midi_backend.h"
#include "core/timing/timer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>

#include <fluidsynth.h>
#include <jack/jack.h>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(synthLog, "cantorela.synth", QtInfoMsg)

namespace Core {
namespace {

std::mutex sharedMutex;
std::weak_ptr<Synthesizer> sharedSynthesizer; // guarded by sharedMutex
QString preferredSoundFont;                   // guarded by sharedMutex
// Our JACK audio client, whose ports the latency is read from.
const char* const JackClientName = "Cantorela Synthesizer";

void FluidMessage(int level, const char* message, void*)
{
    // Failures that matter are summed up by our own messages (no audio device, no soundfont).
    Q_UNUSED(level)
    qCDebug(synthLog, "fluidsynth: %s", message);
}

void InstallFluidLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN})
            fluid_set_log_function(level, FluidMessage, nullptr);
        // Sample loading and unloading is reported at these levels, sample by sample.
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    });
}

} // namespace

Synthesizer::Synthesizer(const Options& options)
    : sampleRate(options.sampleRate), periodFrames(options.periodFrames), periods(options.periods),
      bufferMs(1000.0 * periodFrames * periods / sampleRate)
{
    InstallFluidLog();
    MidiBackend::Initialize(); // ALSA's library messages go to our log
    for (auto& program : programs)
        program.store(-1);

    settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", sampleRate);
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    // Dry sound: no reverb or chorus tail, so that all-sound-off silences at once.
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_settings_setnum(settings, "synth.gain", 0.6);
    fluid_settings_setint(settings, "synth.threadsafe-api", 1);
    fluid_settings_setint(settings, "audio.period-size", periodFrames);
    fluid_settings_setint(settings, "audio.periods", periods);
    fluid_settings_setint(settings, "audio.realtime-prio", 60);
    fluid_settings_setstr(settings, "audio.jack.id", JackClientName);
    synth = new_fluid_synth(settings);

    if (options.audioOutput && synth) {
        for (const QString& name : options.audioDrivers) {
            if (name == QLatin1String("jack") && !options.audioDrivers.startsWith(name))
                continue; // JACK only when it is the driver asked for first
            if (fluid_settings_setstr(settings, "audio.driver", name.toUtf8().constData()) != FLUID_OK)
                continue;
            driver = new_fluid_audio_driver2(settings, &Synthesizer::AudioCallback, this);
            if (driver) {
                qCInfo(synthLog, "sound through the %s audio driver", qPrintable(name));
                if (name == QLatin1String("jack"))
                    ReadJackLatency();
                break;
            }
            qCDebug(synthLog, "audio driver %s is not available", qPrintable(name));
        }
        if (!driver)
            qCInfo(synthLog, "no audio device: the built-in synthesizer is silent");
        outputDelayNs.store(quint64((bufferMs + serverLatencyMs) * 1e6), std::memory_order_relaxed);
    }

    worker = std::thread([this] { RunWorker(); });
    QStringList candidates = SoundFontCandidates(options.soundFont);
    loader = std::thread([this, candidates] { LoadSoundFont(candidates); });
}

Synthesizer::~Synthesizer()
{
    if (loader.joinable())
        loader.join();
    {
        std::lock_guard<std::mutex> guard(queueMutex);
        stopping = true;
    }
    queueChanged.notify_all();
    if (worker.joinable())
        worker.join();
    if (driver)
        delete_fluid_audio_driver(driver);
    if (synth)
        delete_fluid_synth(synth);
    if (settings)
        delete_fluid_settings(settings);
}

std::shared_ptr<Synthesizer> Synthesizer::Shared()
{
    std::lock_guard<std::mutex> guard(sharedMutex);
    std::shared_ptr<Synthesizer> synthesizer = sharedSynthesizer.lock();
    if (!synthesizer) {
        Options options;
        options.soundFont = preferredSoundFont;
        synthesizer = std::make_shared<Synthesizer>(options);
        sharedSynthesizer = synthesizer;
    }
    return synthesizer;
}

void Synthesizer::SetPreferredSoundFont(const QString& path)
{
    std::lock_guard<std::mutex> guard(sharedMutex);
    preferredSoundFont = path;
}

QStringList Synthesizer::SoundFontCandidates(const QString& preferred)
{
    QStringList candidates;
    if (!preferred.isEmpty())
        candidates << preferred;
    candidates << QStringLiteral("/usr/share/sounds/sf3/default-GM.sf3")
               << QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2")
               << QStringLiteral("/usr/share/sounds/sf3/FluidR3Mono_GM.sf3")
               << QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2")
               << QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");
    return candidates;
}

void Synthesizer::LoadSoundFont(QStringList candidates)
{
    QElapsedTimer clock;
    clock.start();
    QString chosen;
    for (const QString& path : candidates) {
        if (!synth || !QFileInfo(path).isFile())
            continue;
        if (fluid_synth_sfload(synth, QFile::encodeName(path).constData(), 1) != FLUID_FAILED) {
            chosen = path;
            break;
        }
        qCInfo(synthLog, "soundfont %s does not load", qPrintable(path));
    }
    if (chosen.isEmpty()) {
        qCWarning(synthLog, "no General MIDI soundfont found: the built-in synthesizer is silent");
    } else {
        for (int channel = 0; channel < 16; ++channel) {
            const int program = programs[size_t(channel)].load();
            if (program >= 0)
                fluid_synth_program_change(synth, channel, program);
        }
        loadMs.store(double(clock.nsecsElapsed()) / 1e6);
        loaded.store(true);
        qCInfo(synthLog, "soundfont %s loaded in %.0f ms", qPrintable(chosen), loadMs.load());
    }
    std::lock_guard<std::mutex> guard(loadMutex);
    fontPath = chosen;
    loadFinished = true;
    loadDone.notify_all();
}

bool Synthesizer::WaitForSoundFont(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(loadMutex);
    loadDone.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return loadFinished; });
    return loaded.load();
}

QString Synthesizer::SoundFontPath() const
{
    std::lock_guard<std::mutex> guard(loadMutex);
    return fontPath;
}

void Synthesizer::ReadJackLatency()
{
    // JACK plays our ports' output one period after it is rendered, whatever FluidSynth was
    // asked for, and reports the latency from the ports to the speakers.
    jack_client_t* probe = jack_client_open("Cantorela Latency", JackNoStartServer, nullptr);
    if (!probe)
        return;
    const double rate = jack_get_sample_rate(probe);
    if (rate > 0)
        bufferMs = 1000.0 * jack_get_buffer_size(probe) / rate;
    const QByteArray pattern = "^" + QByteArray(JackClientName) + "[^:]*:";
    if (const char** ports = jack_get_ports(probe, pattern.constData(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput)) {
        jack_nframes_t latest = 0;
        for (const char** name = ports; *name; ++name) {
            jack_latency_range_t range{0, 0};
            if (jack_port_t* port = jack_port_by_name(probe, *name))
                jack_port_get_latency_range(port, JackPlaybackLatency, &range);
            latest = std::max(latest, range.max);
        }
        jack_free(ports);
        if (rate > 0)
            serverLatencyMs = 1000.0 * latest / rate;
    }
    jack_client_close(probe);
    qCInfo(synthLog, "JACK period %.1f ms, playback latency %.1f ms", bufferMs, serverLatencyMs);
}

void Synthesizer::AttachNoteOnObserver(NoteOnObserver* observer)
{
    noteOnSubject.Attach(observer);
    noteOnObservers.store(noteOnSubject.ObserverCount());
}

void Synthesizer::DetachNoteOnObserver(NoteOnObserver* observer)
{
    noteOnSubject.Detach(observer);
    noteOnObservers.store(noteOnSubject.ObserverCount());
    // A delivery that took its snapshot before the Detach may still be calling the observer.
    std::lock_guard<std::recursive_mutex> wait(noteOnDelivery);
}

void Synthesizer::Send(const MidiMessage& m, quint64 receivedNs)
{
    if (!synth || m.length == 0 || m.Type() == 0xF0)
        return; // system messages mean nothing to the synthesizer
    const size_t channel = size_t(m.Channel());
    {
        std::lock_guard<std::mutex> guard(queueMutex);
        const bool silence = m.Type() == 0xB0 && (m.byte1 == 120 || m.byte1 == 123);
        if (silence && deferred[channel] > 0) {
            // Notes waiting behind a program change would sound after the silence: drop them.
            for (auto it = queue.begin(); it != queue.end();) {
                const MidiMessage& waiting = it->message;
                if (size_t(waiting.Channel()) == channel && (waiting.Type() == 0x90 || waiting.Type() == 0x80)) {
                    it = queue.erase(it);
                    --deferred[channel];
                } else {
                    ++it;
                }
            }
        }
        if (!silence && (m.Type() == 0xC0 || deferred[channel] > 0)) {
            if (m.Type() == 0xC0)
                programs[channel].store(m.byte1);
            queue.push_back({m, receivedNs});
            ++deferred[channel];
            queueChanged.notify_all();
            return;
        }
    }
    Apply(m, receivedNs);
}

void Synthesizer::Apply(const MidiMessage& m, quint64 receivedNs)
{
    const int channel = m.Channel();
    switch (m.Type()) {
    case 0x80:
        fluid_synth_noteoff(synth, channel, m.byte1);
        break;
    case 0x90:
        if (m.byte2 == 0)
            fluid_synth_noteoff(synth, channel, m.byte1);
        else if (fluid_synth_noteon(synth, channel, m.byte1, m.byte2) == FLUID_OK && receivedNs != 0 &&
                 noteOnObservers.load(std::memory_order_relaxed) > 0) {
            NoteOnTiming timing;
            timing.noteOnNs = Timer::NowNs();
            timing.receivedNs = receivedNs;
            timing.channel = channel;
            timing.note = m.byte1;
            timing.velocity = m.byte2;
            timing.bufferMs = bufferMs;
            timing.serverMs = serverLatencyMs;
            std::lock_guard<std::recursive_mutex> delivering(noteOnDelivery);
            noteOnSubject.Notify(&NoteOnObserver::OnNoteOn, timing);
        }
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth, channel, m.byte1, m.byte2);
        break;
    case 0xB0:
        fluid_synth_cc(synth, channel, m.byte1, m.byte2);
        break;
    case 0xC0:
        fluid_synth_program_change(synth, channel, m.byte1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth, channel, m.byte1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth, channel, (m.byte2 << 7) | m.byte1);
        break;
    default:
        break;
    }
}

void Synthesizer::RunWorker()
{
    std::unique_lock<std::mutex> lock(queueMutex);
    for (;;) {
        queueChanged.wait(lock, [this] { return stopping || !queue.empty(); });
        if (stopping)
            return;
        const Deferred next = queue.front();
        const MidiMessage& m = next.message;
        queue.pop_front();
        applying = true;
        lock.unlock();
        Apply(m, next.receivedNs); // a program change may load samples for a while
        lock.lock();
        applying = false;
        // Only now may the channel's next messages go straight to the synthesizer again.
        --deferred[size_t(m.Channel())];
        queueChanged.notify_all();
    }
}

void Synthesizer::WaitUntilApplied()
{
    std::unique_lock<std::mutex> lock(queueMutex);
    queueChanged.wait(lock, [this] { return stopping || (queue.empty() && !applying); });
}

void Synthesizer::Render(float* left, float* right, int frames)
{
    if (driver) {
        qCWarning(synthLog, "Render is for a synthesizer without audio output");
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
        return;
    }
    WaitUntilApplied();
    if (synth)
        fluid_synth_write_float(synth, frames, left, 0, 1, right, 0, 1);
    else {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
    }
    MixClip(left, right, frames);
}

int Synthesizer::AudioCallback(void* data, int frames, int nfx, float* fx[], int nout, float* out[])
{
    auto* self = static_cast<Synthesizer*>(data);
    int result = FLUID_OK;
    if (nfx == 0) {
        float* effects[4] = {out[0], out[1], out[0], out[1]};
        result = fluid_synth_process(self->synth, frames, 4, effects, nout, out);
    } else {
        result = fluid_synth_process(self->synth, frames, nfx, fx, nout, out);
    }
    if (nout >= 2)
        self->MixClip(out[0], out[1], frames);
    // A microphone in the room hears this block once it has left the buffers, and its echo a
    // little after.
    float loudest = 0.0f;
    for (int channel = 0; channel < std::min(nout, 2); ++channel)
        for (int i = 0; i < frames; ++i)
            loudest = std::max(loudest, std::fabs(out[channel][i]));
    if (loudest > AudibleLevel)
        OwnPlayback::MarkAudibleUntil(Timer::NowNs() + self->outputDelayNs.load(std::memory_order_relaxed) +
                                      OwnPlayback::RoomTailNs);
    return result;
}

void Synthesizer::MixClip(float* left, float* right, int frames)
{
    std::lock_guard<std::mutex> guard(clipMutex);
    if (!clip)
        return;
    const int total = clip->size() / 2;
    const int count = std::min(frames, total - clipPosition);
    const float* samples = clip->constData() + 2 * clipPosition;
    for (int i = 0; i < count; ++i) {
        left[i] += samples[2 * i];
        right[i] += samples[2 * i + 1];
    }
    // A finished clip stays until the next PlayClip or StopClip: the audio thread never frees.
    clipPosition += std::max(count, 0);
}

void Synthesizer::PlayClip(std::shared_ptr<const Clip> next)
{
    std::shared_ptr<const Clip> previous;
    std::lock_guard<std::mutex> guard(clipMutex);
    previous = std::move(clip); // released after the unlock below, outside the audio path
    clip = std::move(next);
    clipPosition = 0;
}

void Synthesizer::StopClip()
{
    std::shared_ptr<const Clip> previous;
    std::lock_guard<std::mutex> guard(clipMutex);
    previous = std::move(clip);
    clip.reset();
    clipPosition = 0;
}

bool Synthesizer::IsClipPlaying()
{
    std::lock_guard<std::mutex> guard(clipMutex);
    return clip && clipPosition < clip->size() / 2;
}

} // namespace Core

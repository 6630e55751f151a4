#pragma once
// The built-in General MIDI synthesizer (FluidSynth): the program's default output, so that
// questions sound on a desktop without any MIDI synthesizer installed. MidiOutSynthDevice sends
// MIDI to it and the answer sounds are mixed into its audio output (AuServerSynth).
//
// The soundfont loads on a thread of its own; the constructor never waits for it, and notes sent
// before it is loaded are silent (program changes are kept and applied once it is). Audio goes
// out through PulseAudio, else ALSA, in periods of 64 frames; with no audio device at all the
// synthesizer stays silent and nothing fails. Without audio output (tests, benchmarks) Render
// produces the sound offline.
//
// A program change to an instrument not heard yet loads its samples, which takes tens of
// milliseconds; Send never does that on the caller's thread (the timer thread during replay).
// The program change goes to a worker thread, and the channel's later messages follow it there
// in order until it is done, so the notes after it sound with the new instrument, a little late
// the first time. All sound off and all notes off still act at once.
//
// A note-on sent with the moment its message entered our input callback (from a MIDI thru) is
// timed where the synthesizer starts the note, and the timing goes to the note-on observers on
// the thread that started it; this is how the sound check tells the student how late the keys
// sound. The audio that follows the note-on is the driver's buffer (for JACK, its period) and
// the audio server's own latency when the server reports one (JACK's playback latency of our
// ports; PulseAudio reports none through FluidSynth).
//
// Threads: Send, the clip operations and the queries are safe from any thread (FluidSynth's API
// is thread-safe; `queueMutex` guards the deferred messages, `clipMutex` the clip). The audio
// callback runs on the driver's thread.

#include "core/midi/midi_message.h"
#include "core/subject.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;

namespace Core {

// One timed note-on. Times are Timer::NowNs().
struct NoteOnTiming
{
    int channel = 0;
    int note = 0;
    int velocity = 0;
    quint64 receivedNs = 0; // the message entered our input callback
    quint64 noteOnNs = 0;   // the synthesizer had started the note
    double bufferMs = 0.0;  // audio buffered after the synthesizer
    double serverMs = 0.0;  // the audio server's own latency; 0 when it reports none

    // Our own share: from the input callback to the note-on.
    double CallbackToNoteOnMs() const { return double(noteOnNs - receivedNs) / 1e6; }
    double KeyToSoundMs() const { return CallbackToNoteOnMs() + bufferMs + serverMs; }
};

class NoteOnObserver
{
public:
    virtual ~NoteOnObserver() = default;
    // On the thread that started the note (an input thread, or the worker after a program
    // change); hands GUI work over to the GUI thread.
    virtual void OnNoteOn(const NoteOnTiming& timing) = 0;
};

class Synthesizer
{
public:
    struct Options
    {
        bool audioOutput = true;          // false: no driver, sound only through Render
        QString soundFont;                // tried before the system's soundfonts when not empty
        QStringList audioDrivers{QStringLiteral("pulseaudio"), QStringLiteral("alsa")};
        int sampleRate = 48000;
        int periodFrames = 64;
        int periods = 2;
    };

    // Stereo audio at the synthesizer's rate, interleaved left/right.
    using Clip = QVector<float>;

    explicit Synthesizer(const Options& options);
    ~Synthesizer();
    Synthesizer(const Synthesizer&) = delete;
    Synthesizer& operator=(const Synthesizer&) = delete;

    // The process's synthesizer with audio output, created on first use with the soundfont path
    // last given to SetPreferredSoundFont.
    static std::shared_ptr<Synthesizer> Shared();
    static void SetPreferredSoundFont(const QString& path);
    // Where soundfonts are looked for, in order: `preferred`, then the system's GM soundfonts.
    static QStringList SoundFontCandidates(const QString& preferred);

    // receivedNs: when the message entered our input callback; a note-on with it is timed.
    void Send(const MidiMessage& message, quint64 receivedNs = 0);

    void AttachNoteOnObserver(NoteOnObserver* observer);
    // Returns only when no delivery to the observer is in progress on another thread.
    void DetachNoteOnObserver(NoteOnObserver* observer);

    bool IsSoundFontLoaded() const { return loaded.load(); }
    // Waits up to timeoutMs for the load to end; true when a soundfont is loaded.
    bool WaitForSoundFont(int timeoutMs);
    QString SoundFontPath() const;
    double SoundFontLoadMs() const { return loadMs.load(); }

    int SampleRate() const { return sampleRate; }
    // Audio buffered between the synthesizer and the device, in milliseconds.
    double BufferMs() const { return bufferMs; }
    // The audio server's latency after our buffer, read when the driver started; 0 when the
    // server reports none.
    double ServerLatencyMs() const { return serverLatencyMs; }

    // Renders `frames` frames offline (only without audio output): synthesizer plus clip, after
    // every message sent before it has been applied.
    void Render(float* left, float* right, int frames);

    // Plays a clip in the audio output, replacing the one playing; StopClip silences it.
    void PlayClip(std::shared_ptr<const Clip> clip);
    void StopClip();
    bool IsClipPlaying();

private:
    static int AudioCallback(void* self, int frames, int nfx, float* fx[], int nout, float* out[]);
    void MixClip(float* left, float* right, int frames);
    void Apply(const MidiMessage& message, quint64 receivedNs);
    void ReadJackLatency();
    void RunWorker();
    void WaitUntilApplied();
    void LoadSoundFont(QStringList candidates);

    _fluid_hashtable_t* settings = nullptr;
    _fluid_synth_t* synth = nullptr;
    _fluid_audio_driver_t* driver = nullptr;
    int sampleRate = 48000;
    int periodFrames = 64;
    int periods = 2;
    double bufferMs = 0.0;
    double serverLatencyMs = 0.0;
    std::atomic<quint64> outputDelayNs{0}; // buffer and server latency, for the audio callback
    // Output above this (-60 dB of full scale) counts as audible in the room.
    static constexpr float AudibleLevel = 0.001f;

    class NoteOnSubject : public Subject<NoteOnObserver>
    {
    public:
        using Subject<NoteOnObserver>::Notify;
    };
    NoteOnSubject noteOnSubject;
    std::atomic<int> noteOnObservers{0};
    std::recursive_mutex noteOnDelivery; // held while timings are delivered; Detach waits on it

    std::thread loader;
    mutable std::mutex loadMutex; // guards fontPath; with loadDone for the waiters
    std::condition_variable loadDone;
    bool loadFinished = false;
    QString fontPath;
    std::atomic<bool> loaded{false};
    std::atomic<double> loadMs{0.0};
    // Last program asked for on each channel, applied again once the soundfont is in.
    std::array<std::atomic<int>, 16> programs{};

    std::thread worker;
    std::mutex queueMutex; // guards queue, deferred, applying, stopping
    std::condition_variable queueChanged;
    struct Deferred
    {
        MidiMessage message;
        quint64 receivedNs;
    };
    std::deque<Deferred> queue;          // messages for the worker, in arrival order
    std::array<int, 16> deferred{};      // per channel: messages queued or being applied
    bool applying = false;
    bool stopping = false;

    std::mutex clipMutex; // guards clip and clipPosition
    std::shared_ptr<const Clip> clip;
    int clipPosition = 0; // next frame
};

} // namespace Core

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
// Threads: Send, the clip operations and the queries are safe from any thread (FluidSynth's API
// is thread-safe; `queueMutex` guards the deferred messages, `clipMutex` the clip). The audio
// callback runs on the driver's thread.

#include "core/midi/midi_message.h"

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

    void Send(const MidiMessage& message);

    bool IsSoundFontLoaded() const { return loaded.load(); }
    // Waits up to timeoutMs for the load to end; true when a soundfont is loaded.
    bool WaitForSoundFont(int timeoutMs);
    QString SoundFontPath() const;
    double SoundFontLoadMs() const { return loadMs.load(); }

    int SampleRate() const { return sampleRate; }
    // Audio buffered between the synthesizer and the device, in milliseconds.
    double BufferMs() const;

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
    void Apply(const MidiMessage& message);
    void RunWorker();
    void WaitUntilApplied();
    void LoadSoundFont(QStringList candidates);

    _fluid_hashtable_t* settings = nullptr;
    _fluid_synth_t* synth = nullptr;
    _fluid_audio_driver_t* driver = nullptr;
    int sampleRate = 48000;
    int periodFrames = 64;
    int periods = 2;

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
    std::deque<MidiMessage> queue;       // messages for the worker, in arrival order
    std::array<int, 16> deferred{};      // per channel: messages queued or being applied
    bool applying = false;
    bool stopping = false;

    std::mutex clipMutex; // guards clip and clipPosition
    std::shared_ptr<const Clip> clip;
    int clipPosition = 0; // next frame
};

} // namespace Core

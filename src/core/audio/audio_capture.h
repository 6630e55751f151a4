#pragma once
// The microphone the student sings or plays into: one mono input stream from a capture device
// through RtAudio, handed sample block by sample block to a sink on the audio thread, with a
// level the screen can show and the problems the lesson must react to (the device unplugged).
//
// Which sound system: CANTORELA_AUDIO_API ("pulse", "jack" or "alsa") when set; else JACK when
// CANTORELA_MIDI_API asks for JACK (a JACK setup routes everything through the server, which
// holds the sound card); else the first of PulseAudio, JACK and ALSA that offers a capture
// device. A JACK server is never started on our behalf.
//
// On JACK a device is a client with audio output ports (a sound card's "system", or "alsa_in"
// bridging a USB microphone). RtAudio's stream is a client of its own, "Cantorela Microphone"
// with the port "inport 0"; we connect it to the device's first audio port ourselves, and a
// second client of ours notices that port or the server going away. (RtAudio would connect
// to the first port of any type, MIDI included, and tells nobody when a port goes.)
//
// Threads: Open, Close and the getters but the level ones belong to the thread that made the
// object, which must run an event loop: the error sink is called there. The sample sink runs on
// the audio thread and must neither block nor allocate. The level, clip and overrun counters
// may be read from any thread.

#include <QString>
#include <QVector>

#include <RtAudio.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>

class QTimer;

namespace Core {

struct AudioInputDevice
{
    QString id;          // what Open takes; the sound system's own name for the device
    QString displayName; // for people
    unsigned int channels = 0;
    unsigned int sampleRate = 0; // the device's preferred rate, the one Open uses
};

class AudioCapture
{
public:
    // Mono samples in [-1, 1] and the stream time of the first of them.
    using SampleSink = std::function<void(const float* samples, std::size_t count, double streamSeconds)>;

    enum class Problem
    {
        DeviceGone,  // no more audio comes: unplugged, server stopped, stream stopped by the system
        StreamError, // the sound system complained; audio may still come
        Overrun,     // input was lost (the audio thread or the system fell behind)
    };
    using ErrorSink = std::function<void(Problem problem, const QString& reason)>;

    // A sample at or beyond this magnitude counts as clipped: the input is too loud.
    static constexpr float ClipLevel = 0.99f;

    AudioCapture();
    ~AudioCapture();
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    // The sound system the devices come from; RtAudio::UNSPECIFIED when none answers.
    static RtAudio::Api Api();
    static QString ApiName(RtAudio::Api api);
    // The capture devices of Api(); empty when there is no sound system or no device.
    static QVector<AudioInputDevice> InputDevices();

    // Called on this object's thread, from its event loop. Set it before Open.
    void SetErrorSink(ErrorSink errorSink);

    // Opens the device's first channel at its preferred rate with a short buffer and starts
    // delivering samples. Closes a stream already open first. On failure returns false and
    // says why in `reason`.
    bool Open(const QString& deviceId, SampleSink sampleSink, QString* reason = nullptr);
    // Stops the stream; no sample sink call runs once it returns.
    void Close();
    bool IsOpen() const { return audio != nullptr; }

    QString DeviceId() const { return deviceId; }
    unsigned int SampleRate() const { return sampleRate; }
    unsigned int BufferFrames() const { return bufferFrames; }
    // JACK only: our input port, "client:port", once open.
    QString JackInputPort() const { return jackInputPort; }

    // Peak magnitude, falling back by 20 dB a second after each peak, and RMS over about 300 ms.
    float PeakLevel() const { return peak.load(std::memory_order_relaxed); }
    float RmsLevel() const { return rms.load(std::memory_order_relaxed); }
    // Counts since Open.
    quint64 ClippedSamples() const { return clipped.load(std::memory_order_relaxed); }
    quint64 Overruns() const { return overruns.load(std::memory_order_relaxed); }

private:
    struct JackLink;

    static int Callback(void* output, void* input, unsigned int frames, double streamTime,
                        RtAudioStreamStatus status, void* self);
    static void OnRtAudioError(RtAudioError::Type type, const std::string& text);
    void RecordError(bool fatal, const std::string& text); // any thread, never blocks
    void Measure(const float* samples, unsigned int frames);
    void Poll(); // this object's thread: hands recorded problems to the error sink
    void Report(Problem problem, const QString& reason);
    bool Fail(QString* reason, const QString& why);

    std::unique_ptr<RtAudio> audio; // set while open
    std::unique_ptr<JackLink> jack; // JACK only, while open
    std::unique_ptr<QTimer> pollTimer;
    SampleSink sink;
    ErrorSink errorSink;
    QString deviceId;
    QString jackInputPort;
    unsigned int sampleRate = 0;
    unsigned int bufferFrames = 0;
    bool goneReported = false;
    quint64 overrunsReported = 0;

    // Written by the audio thread only; the level constants are set before the stream starts.
    float peakHeld = 0.0f;
    float meanSquare = 0.0f;
    float peakFallPerFrame = 1.0f;
    float rmsKeepPerFrame = 0.0f;
    std::atomic<float> peak{0.0f};
    std::atomic<float> rms{0.0f};
    std::atomic<quint64> clipped{0};
    std::atomic<quint64> overruns{0};

    // The first error of the audio system, filled once by whichever thread meets it:
    // errorState 0 empty, 1 being written, 2 ready for Poll.
    std::atomic<int> errorState{0};
    bool errorFatal = false;
    char errorText[256] = {};
    std::atomic<bool> streamStopped{false}; // the system stopped the stream
};

} // namespace Core

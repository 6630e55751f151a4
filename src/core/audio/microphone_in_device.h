#pragma once
// A microphone as an input device: the student plays the answer on an acoustic piano (or sings
// it), and the notes heard arrive as note-ons and note-offs as a MIDI keyboard's keys do, so that
// the answer listener, the gathering of chord keys and the statistics take them unchanged.
//
// The capture hands its samples to a ring on the audio thread; a listening thread of the
// device's own feeds them to the note detector and runs the receive step with what it heard.
// A sound that begins while our own playback may still be heard in the room is not taken
// (OwnPlayback), so a question never answers itself. The notes heard are not echoed: the
// student hears the piano itself.
//
// The microphone listens only while open. The sound controller opens the microphone chosen as
// the input and closes the others: nothing listens that the student did not choose.
//
// Threads: made, opened and closed on a thread with an event loop (the GUI thread), where the
// capture's problems arrive. A microphone that goes away (unplugged, the sound server stopped)
// stops listening and runs the sound controller's device-change callback, so that the lesson
// pauses as it does for a keyboard unplugged. The level getters may be read from any thread.

#include "core/audio/audio_capture.h"
#include "core/midi/midi_in_device_base.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace Core {

class MicrophoneInDevice : public MidiInDeviceBase
{
public:
    // The name the device lists shows: "Microphone: <device name>".
    static QString NameFor(const AudioInputDevice& device);

    explicit MicrophoneInDevice(const AudioInputDevice& device);
    ~MicrophoneInDevice() override;
    MicrophoneInDevice(const MicrophoneInDevice&) = delete;
    MicrophoneInDevice& operator=(const MicrophoneInDevice&) = delete;

    QString GetPortName() override { return NameFor(device); }
    // Starts listening; when the device cannot be opened the microphone stays closed and
    // LastError() says why.
    void Open() override;
    // Stops listening; keys still sounding get their note-offs first.
    void Close() override;
    bool IsOpen() override { return capture.IsOpen(); }
    bool EchoesKeys() const override { return false; }
    bool HearsVoice() const override { return IsSinging(); }

    const AudioInputDevice& Device() const { return device; }
    QString LastError() const { return lastError; }
    // The device went away while open.
    bool IsGone() const { return gone; }

    // Listens for a singing voice instead of a piano: notes held for a moment, one at a time.
    // Keys still sounding get their note-offs when it changes. Any thread.
    void SetSinging(bool sung) { singing.store(sung, std::memory_order_relaxed); }
    bool IsSinging() const { return singing.load(std::memory_order_relaxed); }

    float PeakLevel() const { return capture.PeakLevel(); }
    float RmsLevel() const { return capture.RmsLevel(); }
    quint64 ClippedSamples() const { return capture.ClippedSamples(); }

private:
    void RunListener(double sampleRate, double inputDelayMs); // the listening thread
    void Take(const MidiMessage& message, double streamMs, quint64 heardNs);

    const AudioInputDevice device;
    AudioCapture capture;
    QString lastError;
    bool gone = false;

    // Samples from the audio thread to the listening thread. The audio thread never writes over
    // samples not yet read: when the listener falls a whole ring behind, the blocks that find no
    // room are dropped and counted, and the listener starts afresh from the newest.
    std::vector<float> ring = std::vector<float>(std::size_t(1) << 17);
    std::atomic<std::size_t> written{0};
    std::atomic<std::size_t> consumed{0};
    std::atomic<quint64> dropped{0};
    std::atomic<quint64> writtenAtNs{0}; // when the newest samples came (Timer::NowNs)
    std::atomic<bool> stopping{false};
    std::atomic<bool> singing{false};
    std::mutex wakeMutex; // with `wake`: Close wakes the listener waiting for samples
    std::condition_variable wake;
    std::thread listener;
};

} // namespace Core

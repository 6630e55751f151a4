#pragma once
// The one owner of the MIDI hardware: one device per usable input port, then one per microphone
// (capture device), the outputs (the built-in synthesizer first, then the system's ports), the
// current input and output, and the device-change callback. The application creates it at start-up; the exercises take their
// output from it, the answer listener listens to its current input, the main window refreshes
// it after a device change. GUI thread, apart from NotifyDeviceChange.
//
// Our own RtMidi ports (each device is a MIDI client of its own) are never offered as devices.
// A MIDI system that cannot be reached gives no ports, never an exception.
//
// A microphone listens only while it is the current input: choosing it opens it, choosing
// another input closes it. It is never chosen by default, only by name or by index.

#include "core/midi/midi_in_device_base.h"
#include "core/midi/midi_out_device.h"
#include "core/midi/synthesizer.h"

#include <QString>
#include <QVector>

#include <memory>

namespace Core {

class DeviceWatcher;

class SoundController
{
public:
    struct Options
    {
        bool builtInSynthesizer = true; // output 0; the shared synthesizer unless `synthesizer`
        std::shared_ptr<Synthesizer> synthesizer;
        bool watchDevices = true; // report ports coming and going through the callback
        bool microphones = true;  // list the capture devices as inputs too
    };

    SoundController();
    explicit SoundController(const Options& options);
    virtual ~SoundController();
    SoundController(const SoundController&) = delete;
    SoundController& operator=(const SoundController&) = delete;

    // Rebuilds the input list (and the output list the first time); true when anything changed.
    // The current input becomes the last MIDI port (none when there is none), the current
    // output the first. A microphone still listed keeps its device, and listens on if current.
    bool RefreshDevices();

    int InputCount() const;
    // The MIDI ports come first, inputs 0 to MidiInputCount() - 1; the microphones follow.
    int MidiInputCount() const { return midiInputs; }
    bool IsMicrophone(int i) const { return i >= midiInputs && i < inputs.size(); }
    // A keyboard to answer on: a MIDI port, or a microphone chosen as the input.
    bool HasAnswerInput() const { return midiInputs > 0 || IsMicrophone(currentInput); }
    std::shared_ptr<MidiInDeviceBase> GetInputDevice(int i) const;
    int CurrentInputIndex() const { return currentInput; }
    void SetCurrentInputIndex(int i);
    std::shared_ptr<MidiInDeviceBase> CurrentInputDevice() const;
    bool SelectInputByName(const QString& name);

    int OutputCount() const;
    std::shared_ptr<MidiOutDevice> GetOutputDevice(int i) const;
    int CurrentOutputIndex() const { return currentOutput; }
    void SetCurrentOutputIndex(int i) { currentOutput = i; }
    std::shared_ptr<MidiOutDevice> CurrentOutputDevice() const;

    // One process-wide callback, run on the GUI thread when MIDI ports come or go.
    static void SetDeviceChangeCallback(void (*callback)());
    // Any thread: runs the callback on the GUI thread (at once when there is no application).
    static void NotifyDeviceChange();

private:
    void OpenCurrentMicrophoneOnly();

    QVector<std::shared_ptr<MidiInDeviceBase>> inputs;
    int midiInputs = 0;
    bool listMicrophones = true;
    QVector<std::shared_ptr<MidiOutDevice>> outputs;
    bool outputPortsListed = false;
    int currentInput = -1;
    int currentOutput = -1;
    bool countErrorLogged = false;
    std::unique_ptr<DeviceWatcher> watcher;
};

} // namespace Core

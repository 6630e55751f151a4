#pragma once
// "Test my keyboard and sound", opened from the general settings tab: the keys the student
// presses on the MIDI input shown on the tab light up on a piano, with their velocity; a test
// tone sounds through the current output; and each key played into the built-in synthesizer is
// timed from our input callback to the synthesizer's note-on, which with the audio buffer and
// the audio server's latency gives how late the key sounds. Above 10 ms the dialog says what
// brings that down. The keys sound through a MIDI thru of the dialog's own while it is open.
//
// The engine's threads hand what they hear to a probe, which passes it on as queued signals
// carrying the figures; the dialog's slots only show them. The tab hands over a new input when
// devices come or go. A card over the window (UI::CardDialog); Escape or Close ends it.

#include "core/midi/midi_device_observer.h"
#include "core/midi/synthesizer.h"
#include "ui/dialogs/card_dialog.h"

#include <QSet>

#include <memory>

class Keyboard;
class QLabel;
class QPushButton;
class QTimer;

namespace Core {
class MidiDeviceConnector;
class MidiInDeviceBase;
class MidiOutDevice;
class SoundController;
} // namespace Core

namespace UI {

class MicrophoneCheck;

// Called on the engine's threads; emits only.
class SoundCheckProbe : public QObject, public Core::MidiDeviceObserver, public Core::NoteOnObserver
{
    Q_OBJECT
public:
    void OnMidiEvent(const MidiEvent& event) override;
    void OnNoteOn(const Core::NoteOnTiming& timing) override;

Q_SIGNALS:
    // velocity 0: the key was released.
    void keyChanged(int note, int velocity);
    void keyTimed(int note, double callbackToNoteOnMs, double bufferMs, double serverMs);
};

class SoundCheckDialog : public CardDialog
{
    Q_OBJECT
public:
    // The test tone and the keys go to the controller's current output.
    explicit SoundCheckDialog(std::shared_ptr<Core::SoundController> sound, QWidget* parent = nullptr);
    ~SoundCheckDialog() override;

    // Listens to `input` from now on; none shows that no MIDI device is plugged in.
    void setInput(std::shared_ptr<Core::MidiInDeviceBase> input);

private:
    void showKey(int note, int velocity);
    void showTiming(int note, double callbackToNoteOnMs, double bufferMs, double serverMs);
    void playTestTone();
    void stopTestTone();
    // Ends the thru and the listening to the input; returns when no key is being delivered.
    void releaseInput();

    std::shared_ptr<Core::SoundController> m_sound;
    std::shared_ptr<Core::MidiOutDevice> m_output;
    std::shared_ptr<Core::Synthesizer> m_synthesizer; // the output's, when it is the built-in one
    std::shared_ptr<Core::MidiInDeviceBase> m_input;
    bool m_openedInput = false; // opened for the check (a microphone not in use): closed after it
    std::unique_ptr<Core::MidiDeviceConnector> m_thru;
    SoundCheckProbe m_probe;

    QLabel* m_deviceLabel = nullptr;
    Keyboard* m_piano = nullptr;
    QLabel* m_keyLabel = nullptr;
    MicrophoneCheck* m_microphoneCheck = nullptr;
    QPushButton* m_toneButton = nullptr;
    QLabel* m_latencyLabel = nullptr;
    QLabel* m_adviceLabel = nullptr;
    QTimer* m_toneTimer = nullptr;
    QSet<int> m_heldKeys; // piano keys 0-87
};

} // namespace UI

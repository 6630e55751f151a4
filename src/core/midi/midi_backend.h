#pragma once
// Which system MIDI layer the RtMidi devices use, and which ports belong to this process.
//
// On Linux the ports come from the ALSA sequencer; when it cannot be opened (no /dev/snd/seq),
// or when the user asks for it, from JACK. The choice is made once per process and passed to
// RtMidi explicitly: RtMidi's "unspecified" API silently takes whichever layer answers first.
// The environment variable CANTORELA_MIDI_API ("alsa" or "jack") overrides the setting the
// application passes to SetPreferredApi. A JACK server is never started on our behalf
// (JACK_NO_START_SERVER), and the messages libjack and libasound print go to our log category.
//
// Used by MidiInRtDevice, MidiOutRtDevice, the sound controller and the device watcher.
// Thread-safe.

#include <QLoggingCategory>
#include <QString>

#include <RtMidi.h>

Q_DECLARE_LOGGING_CATEGORY(midiLog)

namespace Core {

class MidiBackend
{
public:
    MidiBackend() = delete;

    // The API every RtMidi object of this process is created with.
    static RtMidi::Api Api();
    static QString ApiName(RtMidi::Api api);

    // "alsa", "jack" or "" (automatic). Takes effect for devices created afterwards.
    static void SetPreferredApi(const QString& name);

    static bool IsAlsaSequencerAvailable();

    // Whether a JACK server answers now. RtMidi's JACK objects complain on standard error when
    // none does, so the devices ask first.
    static bool IsJackServerRunning();

    // Whether a port named as RtMidi names it belongs to this process's own MIDI clients. Such
    // ports are never offered as devices: listening to our own output would hear the questions
    // as answers.
    static bool IsOwnPort(const QString& portName);

    // Where an RtMidi object reports its failures once its error callback is ours. Critical
    // errors are recorded, not thrown from the callback: RtMidi stops reporting after a callback
    // that does not return. The caller checks the record after each call that may fail.
    struct ErrorRecord
    {
        bool failed = false;
        RtMidiError::Type type = RtMidiError::UNSPECIFIED;
        std::string text;
        // Throws the recorded error as RtMidiError and clears the record.
        void ThrowIfFailed();
    };

    // Routes RtMidi warnings of one object to our log instead of standard error and critical
    // errors into `record`, which must outlive the object.
    static void RouteErrors(RtMidi& midi, ErrorRecord* record);

    // Sets JACK_NO_START_SERVER and installs the library message handlers. Called by every
    // entry point above; idempotent.
    static void Initialize();
};

} // namespace Core

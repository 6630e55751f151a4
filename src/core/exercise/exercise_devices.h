#pragma once
// The MIDI side of an exercise: the stream device that sounds its questions, the connector that
// takes that sound to the selected output port, and the listener that hands the keys of the
// selected input port to the exercise (Exercise::HandleInputEvent). The exercise hears the end
// of a question's sound as the stream device's observer (OnStreamFinished).
//
// Part of an Exercise, which holds its lock around every call. Objects whose destruction or
// rebinding waits for a call in progress on another thread are never dropped here: they go to
// the exercise's `releaseLater` and `afterUnlock` (see LessonBase), or out through Take.

#include <functional>
#include <memory>

namespace Core {

class Exercise;
class MidiAnswerListener;
class MidiDeviceConnector;
class MidiInStreamDeviceAuto;
class MidiOutDevice;
class MidiStream;
class SoundController;

class ExerciseDevices
{
public:
    using ReleaseLater = std::function<void(std::shared_ptr<void>)>;
    using AfterUnlock = std::function<void(std::function<void()>)>;

    // Everything the devices hold, for the exercise to destroy with no lock held, in this order.
    struct Parts
    {
        std::shared_ptr<MidiAnswerListener> listener;
        std::shared_ptr<MidiDeviceConnector> connector;
        std::shared_ptr<MidiInStreamDeviceAuto> device;

        // Each of these waits for a call into the exercise in progress on another thread.
        void Destroy();
    };

    ExerciseDevices(Exercise* exercise, ReleaseLater releaseLater, AfterUnlock afterUnlock);

    // A new, empty stream device for a new run of the lesson; the connector still feeds the old
    // one until Connect.
    void RenewStreamDevice();
    // Binds to the ports the sound controller has selected (its first output when none is): the
    // input only while `keyAnswers`.
    void Connect(SoundController& controller, bool keyAnswers);
    // Hands everything over, the stream device no longer heard by the exercise.
    Parts Take();

    // Sounds a question: `sound` led by the program change of `instrument`, or with its own
    // instruments (a tempo piece). Whatever sounded before is silenced first.
    void Play(const MidiStream& sound, int instrument, bool ownInstruments);
    // Sounds the question again from its start.
    void Replay();
    // Stops the question's sound and silences the output.
    void Silence();
    // Stops the question's sound, leaving the output as it is.
    void Rewind();
    bool HasStreamDevice() const { return bool(streamDevice); }
    bool IsPlaying() const;

    // The output the keys are echoed to; null without a connector.
    std::shared_ptr<MidiOutDevice> EchoDevice() const;
    const std::shared_ptr<MidiAnswerListener>& AnswerListener() const { return listener; }
    const std::shared_ptr<MidiOutDevice>& OutputDevice() const { return output; }

private:
    Exercise* const exercise;
    const ReleaseLater releaseLater;
    const AfterUnlock afterUnlock;
    std::shared_ptr<MidiInStreamDeviceAuto> streamDevice;
    std::shared_ptr<MidiAnswerListener> listener;
    std::shared_ptr<MidiDeviceConnector> connector;
    std::shared_ptr<MidiOutDevice> output; // the connector's output, reset by Silence
};

} // namespace Core

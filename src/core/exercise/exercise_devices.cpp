#include "core/exercise/exercise_devices.h"

#include "core/exercise/exercise.h"
#include "core/exercise/midi_answer_listener.h"
#include "core/midi/instrument_list.h"
#include "core/midi/midi_device_connector.h"
#include "core/midi/midi_in_stream_device_auto.h"
#include "core/midi/sound_controller.h"

namespace Core {

void ExerciseDevices::Parts::Destroy()
{
    listener.reset();
    connector.reset();
    device.reset();
}

ExerciseDevices::ExerciseDevices(Exercise* exercise, ReleaseLater releaseLater, AfterUnlock afterUnlock)
    : exercise(exercise), releaseLater(std::move(releaseLater)), afterUnlock(std::move(afterUnlock))
{
}

void ExerciseDevices::RenewStreamDevice()
{
    if (streamDevice) {
        streamDevice->Detach(static_cast<MidiInStreamDeviceObserver*>(exercise));
        releaseLater(std::move(streamDevice));
    }
    streamDevice = std::make_shared<MidiInStreamDeviceAuto>(std::make_shared<MidiStream>());
    streamDevice->Attach(static_cast<MidiInStreamDeviceObserver*>(exercise));
}

void ExerciseDevices::Connect(SoundController& controller, bool keyAnswers)
{
    std::shared_ptr<MidiInDeviceBase> input;
    if (keyAnswers)
        input = controller.CurrentInputDevice();
    if (input) {
        if (listener) {
            // Rebinding waits for a key being delivered, which may be waiting for our lock.
            std::shared_ptr<MidiAnswerListener> bound = listener;
            afterUnlock([bound, input] { bound->Rebind(input); });
        } else {
            listener = std::make_shared<MidiAnswerListener>(exercise, input.get(), input);
        }
    } else if (listener) {
        releaseLater(std::move(listener));
    }

    std::shared_ptr<MidiOutDevice> selected = controller.CurrentOutputDevice();
    if (!selected && controller.OutputCount() > 0)
        selected = controller.GetOutputDevice(0);
    if (selected && streamDevice) {
        releaseLater(std::move(connector));
        connector = std::make_shared<MidiDeviceConnector>(streamDevice, selected);
        output = selected;
    }
}

ExerciseDevices::Parts ExerciseDevices::Take()
{
    Parts parts;
    parts.listener = std::move(listener);
    parts.connector = std::move(connector);
    parts.device = std::move(streamDevice);
    if (parts.device)
        parts.device->Detach(static_cast<MidiInStreamDeviceObserver*>(exercise));
    return parts;
}

void ExerciseDevices::Play(const MidiStream& sound, int instrument, bool ownInstruments)
{
    auto stream = std::make_shared<MidiStream>(sound);
    if (!ownInstruments) {
        const MidiEvent program{InstrumentList::ProgramChange(instrument, 0), 0, -1.0};
        if (stream->first().message.Type() == 0xC0)
            (*stream)[0] = program;
        else
            stream->prepend(program);
    }
    Silence();
    streamDevice->SetStream(stream);
    streamDevice->Play();
}

void ExerciseDevices::Replay()
{
    if (streamDevice)
        streamDevice->Play();
}

void ExerciseDevices::Silence()
{
    if (streamDevice)
        streamDevice->Open();
    if (output)
        output->Reset();
}

void ExerciseDevices::Rewind()
{
    if (streamDevice)
        streamDevice->Open();
}

bool ExerciseDevices::IsPlaying() const
{
    return streamDevice && streamDevice->IsPlaying();
}

std::shared_ptr<MidiOutDevice> ExerciseDevices::EchoDevice() const
{
    return connector ? connector->GetOutputDevice() : nullptr;
}

} // namespace Core

#pragma once
// The built-in synthesizer as a MIDI output: output device 0 of the sound controller, before the
// system's ports. Send goes straight into the synthesizer; Reset silences it at once (all sound
// off kills every voice, and the synthesizer has no reverb tail).

#include "core/midi/midi_out_device.h"
#include "core/midi/synthesizer.h"

#include <memory>

namespace Core {

class MidiOutSynthDevice : public MidiOutDevice
{
public:
    explicit MidiOutSynthDevice(std::shared_ptr<Synthesizer> synthesizer);

    static QString Name();

    QString GetPortName() override { return Name(); }
    void Open() override {}
    void Send(const MidiMessage& message) override;
    void SendFromInput(const MidiMessage& message, quint64 receivedNs) override;

    std::shared_ptr<Synthesizer> GetSynthesizer() const { return synthesizer; }

private:
    const std::shared_ptr<Synthesizer> synthesizer;
};

} // namespace Core

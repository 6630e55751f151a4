#pragma once
// The answer sounds mixed into the built-in synthesizer's audio output: one audio stream for the
// whole program, so the sounds reach the same device at the same low latency as the questions,
// need no further library, and cost nothing when there is no audio device (then nothing is
// heard and nothing fails). The WAV image is decoded from memory (PCM 8/16/24/32-bit integer or
// 32-bit float, mono or stereo, any rate) and converted to the synthesizer's rate.

#include "core/midi/au_server.h"
#include "core/midi/synthesizer.h"

#include <QByteArray>

#include <memory>

namespace Core {

class AuServerSynth : public AuServer
{
public:
    explicit AuServerSynth(std::shared_ptr<Synthesizer> synthesizer);

    void Play(SoundClip& clip) override;
    void Stop() override;

    // Stereo frames at `rate`, interleaved; null for data that is not a WAV image we can read.
    static std::shared_ptr<const Synthesizer::Clip> Decode(const QByteArray& wav, int rate);

private:
    const std::shared_ptr<Synthesizer> synthesizer;
};

} // namespace Core

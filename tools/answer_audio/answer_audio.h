#pragma once
// Answers as a microphone hears them: keys struck on a sampled piano (or notes sung by a sampled
// choir) rendered by FluidSynth into mono sound, then heard clean, in a room, or over background
// noise. The listener's benchmark measures the note detector on them.
//
// Every rendered answer begins with a lead-in before its first key (silence, or noise alone when
// the answer is heard over noise: the detector learns the noise floor there) and knows the sample
// at which that key was struck.
//
// The room and the noise are sox's work. Many answers are laid one after another into one long
// take, with gaps between them, so that sox runs a few times per batch instead of once per answer.

#include <cstddef>
#include <string>
#include <vector>

namespace AnswerAudio {

// One answer: the keys struck together, held, then let go.
struct Answer
{
    std::vector<int> keys;              // MIDI keys, 21–108, up to four
    std::vector<double> keyDelayMs;     // per key, after the first one: no hand strikes a chord at once
    int velocity = 80;
    double holdMs = 700;
    int program = 0;                    // General MIDI: 0 acoustic grand piano, 52–54 choir and voices
    double repeatAfterMs = 0;           // when above 0, the same keys are struck again this much later
    double centsOff = 0;                // a voice sings a little off the key's pitch
};

enum class Condition { Clean, Room, Noisy };

const char* conditionName(Condition condition);

struct RenderOptions
{
    double sampleRate = 44100;
    double leadInMs = 300;
    double tailMs = 500; // after the last key is let go: the release dies away
    // FluidSynth's output gain. At 1 a single key struck mezzo-forte peaks near -20 dB of full
    // scale and four keys struck hard near -6 dB, as a microphone a little way off hears a piano.
    double gain = 1.0;
    // The choir and voice samples of General MIDI soundfonts are out of tune by up to half a
    // semitone in places. When set, voices (any program but the pianos, 0–7) are bent back to
    // the key's pitch, measured on a first rendering, before centsOff is applied.
    bool tuneVoices = true;
};

struct RenderedAnswer
{
    std::vector<float> samples;
    std::size_t onsetSample = 0;       // the first key struck
    std::size_t repeatOnsetSample = 0; // the second strike of a repeated answer, else 0
    std::size_t releaseSample = 0;     // the last key let go
};

// Renders answers on one soundfont. FluidSynth's own reverb and chorus stay off: the room is
// added afterwards, the same for every soundfont.
class AnswerRenderer
{
public:
    AnswerRenderer(const std::string& soundFontPath, const RenderOptions& options);
    ~AnswerRenderer();
    AnswerRenderer(const AnswerRenderer&) = delete;
    AnswerRenderer& operator=(const AnswerRenderer&) = delete;

    // False, with the reason in error(), when FluidSynth or the soundfont could not be set up.
    bool ok() const;
    const std::string& error() const;
    const RenderOptions& options() const;

    RenderedAnswer render(const Answer& answer);
    // How far the soundfont's sound of one key lies from the key's equal-tempered pitch, in cents,
    // judged from its first six harmonics.
    double measureCents(int program, int key);

private:
    struct State;
    State* d;
};

// Puts clean answers into a condition: in place, in one batch. `workFolder` holds the takes sox
// reads and writes; `seed` chooses the noise. False, with the reason in *error, when sox fails.
bool applyCondition(std::vector<RenderedAnswer*>& answers, Condition condition, double sampleRate,
                    const std::string& workFolder, unsigned seed, std::string* error);

// The root mean square of the answer while its keys are held.
double heldRms(const RenderedAnswer& answer);

// Mono 32-bit float WAV files.
bool writeWav(const std::string& path, const std::vector<float>& samples, double sampleRate,
              std::string* error);
// Mixes the channels down to mono. Empty, with the reason in *error, when the file cannot be read.
std::vector<float> readWav(const std::string& path, double* sampleRate, std::string* error);

// Runs a program found on the PATH with the given arguments, without a shell. True when it ran
// and exited with status 0.
bool runProgram(const std::vector<std::string>& arguments, std::string* error);

} // namespace AnswerAudio

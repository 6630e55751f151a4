#pragma once
// The fixed set of answers the listener's benchmark plays to the note detector: every key of the
// piano, intervals, triads and seventh chords in every inversion, chords spread over both hands,
// keys struck twice, sung notes, and wrong answers beside the right ones (a note a semitone off,
// a note in the wrong octave), on two sampled pianos, clean, over noise and in a room.
// The set is made from a seed and is the same on every run.

#include "answer_audio.h"

#include <string>
#include <vector>

namespace AnswerAudio {

enum class AnswerKind { Note, Interval, Chord, Sung };

const char* kindName(AnswerKind kind);

struct SoundFont
{
    std::string name; // short, for filters and reports
    std::string path;
};

// The two sampled pianos (and their choirs) of the Debian packages fluidr3mono-gm-soundfont and
// timgm6mb-soundfont.
const std::vector<SoundFont>& answerSoundFonts();

struct AnswerCase
{
    int id = 0;
    std::string name;          // what was played, for a person reading a failure
    AnswerKind kind = AnswerKind::Note;
    std::vector<int> expected; // the keys the question asked for, rising
    Answer answer;             // answer.keys are the keys played
    int soundFont = 0;         // in answerSoundFonts()
    Condition condition = Condition::Clean;
};

// The keys played are the keys asked for; for a sung answer, their pitch classes are (a voice
// sings in its own octave).
bool isRightAnswer(const AnswerCase& answerCase);

// Pitch classes (0 = C) of the keys, rising, without repeats.
std::vector<int> pitchClasses(const std::vector<int>& keys);

// "C4", "F#2".
std::string keyName(int key);
std::string keysName(const std::vector<int>& keys);

std::vector<AnswerCase> answerSet(unsigned seed = 20240611);
// A wider set than the benchmark's, right answers only, clean: every key, every interval up to two
// octaves on every key from A1, every triad and seventh chord in every inversion on every root from
// C2 to C6, on both pianos. Velocities and the spread of the keys are drawn from the seed.
std::vector<AnswerCase> sweepSet(unsigned seed = 20240611);

// Renders every case in its soundfont and condition, in the order of `cases`. The soundfonts are
// rendered side by side, one thread each; `workFolder` (which must exist) holds sox's takes.
// False, with the reason in *error, when a soundfont or sox fails.
bool renderAnswerSet(const std::vector<AnswerCase>& cases, const RenderOptions& options,
                     const std::string& workFolder, std::vector<RenderedAnswer>* rendered,
                     std::string* error);

} // namespace AnswerAudio

#include "answer_set.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <thread>

namespace AnswerAudio {

namespace {

// A small generator of our own: the standard distributions differ between libraries, and the set
// must be the same everywhere.
class Dice
{
public:
    explicit Dice(unsigned seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    // Evenly from lowest to highest, both included.
    int between(int lowest, int highest)
    {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return lowest + int((state >> 33) % std::uint64_t(highest - lowest + 1));
    }

private:
    std::uint64_t state;
};

struct Shape
{
    const char* name;
    std::vector<int> steps; // semitones above the root, in root position
};

const std::vector<Shape>& triads()
{
    static const std::vector<Shape> shapes{
        {"major triad", {0, 4, 7}}, {"minor triad", {0, 3, 7}},
        {"diminished triad", {0, 3, 6}}, {"augmented triad", {0, 4, 8}}};
    return shapes;
}

const std::vector<Shape>& sevenths()
{
    static const std::vector<Shape> shapes{
        {"dominant seventh", {0, 4, 7, 10}}, {"major seventh", {0, 4, 7, 11}},
        {"minor seventh", {0, 3, 7, 10}}, {"half-diminished seventh", {0, 3, 6, 10}},
        {"diminished seventh", {0, 3, 6, 9}}};
    return shapes;
}

const char* inversionName(int inversion)
{
    static const char* const names[] = {"root position", "first inversion", "second inversion", "third inversion"};
    return names[inversion];
}

struct Voicing
{
    std::string name;
    std::vector<int> keys;
};

// Every triad and seventh chord in every inversion, close, its root in the middle of the piano.
std::vector<Voicing> chordVoicings(Dice& dice)
{
    std::vector<Voicing> voicings;
    for (const std::vector<Shape>* family : {&triads(), &sevenths()})
        for (const Shape& shape : *family)
            for (int inversion = 0; inversion < int(shape.steps.size()); ++inversion) {
                const int root = dice.between(48, 72);
                std::vector<int> keys;
                for (std::size_t i = 0; i < shape.steps.size(); ++i)
                    keys.push_back(root + shape.steps[i] + (int(i) < inversion ? 12 : 0));
                std::sort(keys.begin(), keys.end());
                voicings.push_back({keyName(root) + " " + shape.name + ", " + inversionName(inversion), keys});
            }
    return voicings;
}

// The same keys, one of them a semitone off, never onto another key of the chord.
std::vector<int> semitoneOff(std::vector<int> keys, Dice& dice)
{
    const int step = dice.between(0, 1) ? 1 : -1;
    const int first = dice.between(0, int(keys.size()) - 1);
    for (int tries = 0; tries < 2 * int(keys.size()); ++tries) {
        const std::size_t at = std::size_t((first + tries / 2) % int(keys.size()));
        const int moved = keys[at] + (tries % 2 == 0 ? step : -step);
        if (moved >= 21 && moved <= 108 && std::find(keys.begin(), keys.end(), moved) == keys.end()) {
            keys[at] = moved;
            break;
        }
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// The same keys, one of them an octave off.
std::vector<int> octaveOff(std::vector<int> keys, Dice& dice)
{
    const std::size_t at = std::size_t(dice.between(0, int(keys.size()) - 1));
    const int moved = keys[at] + (keys[at] + 12 <= 96 && dice.between(0, 1) ? 12 : -12);
    if (std::find(keys.begin(), keys.end(), moved) == keys.end())
        keys[at] = moved;
    else
        keys[at] = keys[at] + 24 <= 108 ? keys[at] + 24 : keys[at] - 24;
    std::sort(keys.begin(), keys.end());
    return keys;
}

class SetBuilder
{
public:
    SetBuilder(unsigned seed) : dice(seed) {}

    void played(AnswerKind kind, const std::string& name, const std::vector<int>& expected,
                const std::vector<int>& keys, int soundFont, Condition condition, int program = 0,
                double repeatAfterMs = 0)
    {
        AnswerCase c;
        c.id = int(cases.size());
        c.name = name;
        c.kind = kind;
        c.expected = expected;
        c.soundFont = soundFont;
        c.condition = condition;
        c.answer.keys = keys;
        c.answer.program = program;
        c.answer.repeatAfterMs = repeatAfterMs;
        const bool sung = kind == AnswerKind::Sung;
        c.answer.velocity = sung ? dice.between(80, 110) : dice.between(45, 110);
        c.answer.holdMs = sung ? dice.between(700, 900) : dice.between(600, 800);
        // A voice that hits the note holds it within some 15 cents.
        if (sung)
            c.answer.centsOff = dice.between(-15, 15);
        // Keys of one hand, and of two, land up to 20 ms apart, in no fixed order.
        if (keys.size() > 1) {
            std::vector<double> delays;
            for (std::size_t i = 0; i < keys.size(); ++i)
                delays.push_back(dice.between(0, 20));
            const double earliest = *std::min_element(delays.begin(), delays.end());
            for (double& delay : delays)
                delay -= earliest;
            c.answer.keyDelayMs = delays;
        }
        cases.push_back(c);
    }

    // Everything for one soundfont in one condition; `room` keeps a smaller share.
    void addBlock(int soundFont, Condition condition)
    {
        const bool full = condition != Condition::Room;
        // Single keys: all 88, or every fourth.
        for (int key = 21; key <= 108; key += full ? 1 : 4)
            played(AnswerKind::Note, keyName(key), {key}, {key}, soundFont, condition);
        // Intervals struck together, minor second to octave and some wider, over the middle.
        const std::vector<int> sizes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 19, 24};
        for (int round = 0; round < (full ? 2 : 1); ++round)
            for (int size : sizes) {
                const int low = dice.between(36, 96 - size);
                played(AnswerKind::Interval, keysName({low, low + size}), {low, low + size},
                       {low, low + size}, soundFont, condition);
            }
        // Chords close, and (every other one) with the bass an octave or two below: two hands.
        const std::vector<Voicing> voicings = chordVoicings(dice);
        for (std::size_t i = 0; i < voicings.size(); ++i) {
            const Voicing& v = voicings[i];
            played(AnswerKind::Chord, v.name, v.keys, v.keys, soundFont, condition);
            if (full && i % 2 == std::size_t(soundFont)) {
                std::vector<int> spread = v.keys;
                spread[0] -= 12 * dice.between(1, 2);
                played(AnswerKind::Chord, v.name + ", bass " + keyName(spread[0]), spread, spread,
                       soundFont, condition);
            }
        }
        // Wrong answers: chords and intervals with one key a semitone off or in the wrong octave,
        // single keys a semitone or an octave away.
        for (int n = 0; n < (full ? 16 : 6); ++n) {
            const Voicing& v = voicings[std::size_t(dice.between(0, int(voicings.size()) - 1))];
            const std::vector<int> keys = semitoneOff(v.keys, dice);
            played(AnswerKind::Chord, v.name + " with a key a semitone off: " + keysName(keys), v.keys,
                   keys, soundFont, condition);
        }
        for (int n = 0; n < (full ? 8 : 2); ++n) {
            const Voicing& v = voicings[std::size_t(dice.between(0, int(voicings.size()) - 1))];
            const std::vector<int> keys = octaveOff(v.keys, dice);
            played(AnswerKind::Chord, v.name + " with a key an octave off: " + keysName(keys), v.keys,
                   keys, soundFont, condition);
        }
        for (int n = 0; n < (full ? 10 : 4); ++n) {
            const int size = sizes[std::size_t(dice.between(0, int(sizes.size()) - 1))];
            const int low = dice.between(36, 96 - size);
            const std::vector<int> keys = n % 3 == 2 ? octaveOff({low, low + size}, dice)
                                                     : semitoneOff({low, low + size}, dice);
            played(AnswerKind::Interval, keysName({low, low + size}) + " played as " + keysName(keys),
                   {low, low + size}, keys, soundFont, condition);
        }
        for (int n = 0; n < (full ? 6 : 2); ++n) {
            const int key = dice.between(33, 96);
            const int wrong = key + (n % 3 == 2 ? 12 : (n % 2 ? 1 : -1));
            played(AnswerKind::Note, keyName(key) + " played as " + keyName(wrong), {key}, {wrong},
                   soundFont, condition);
        }
        // The same key struck twice, about 400 ms apart: two answers.
        for (int n = 0; n < (full ? 8 : 4); ++n) {
            const int key = dice.between(36, 90);
            played(AnswerKind::Note, keyName(key) + " struck twice", {key}, {key}, soundFont, condition,
                   0, dice.between(370, 430));
        }
        // Sung notes, in whichever octave suits the voice; a few a semitone off.
        for (int pc = 0; pc < 12; pc += full ? 1 : 3) {
            const int asked = 60 + pc;
            const int sung = 48 + (pc + 12 * dice.between(0, 1)) % 24 + (pc < 5 ? 12 : 0);
            const int program = 52 + dice.between(0, 2);
            played(AnswerKind::Sung, keyName(asked) + " sung as " + keyName(sung), {asked}, {sung},
                   soundFont, condition, program);
        }
        for (int n = 0; n < (full ? 4 : 2); ++n) {
            const int asked = 60 + dice.between(0, 11);
            const int sung = asked - 12 * dice.between(0, 1) + (n % 2 ? 1 : -1);
            const int program = 52 + dice.between(0, 2);
            played(AnswerKind::Sung, keyName(asked) + " sung as " + keyName(sung), {asked}, {sung},
                   soundFont, condition, program);
        }
    }

    // Everything of one kind over the whole keyboard, clean: every key, every interval up to two
    // octaves on every key, every triad and seventh chord in every inversion on every root from C2
    // to C6.
    void addSweep(int soundFont)
    {
        for (int key = 21; key <= 108; ++key)
            played(AnswerKind::Note, keyName(key), {key}, {key}, soundFont, Condition::Clean);
        for (int size = 1; size <= 24; ++size)
            for (int low = 33; low + size <= 96; ++low)
                played(AnswerKind::Interval, keysName({low, low + size}), {low, low + size},
                       {low, low + size}, soundFont, Condition::Clean);
        for (const std::vector<Shape>* family : {&triads(), &sevenths()})
            for (const Shape& shape : *family)
                for (int inversion = 0; inversion < int(shape.steps.size()); ++inversion)
                    for (int root = 36; root <= 84; ++root) {
                        std::vector<int> keys;
                        for (std::size_t i = 0; i < shape.steps.size(); ++i)
                            keys.push_back(root + shape.steps[i] + (int(i) < inversion ? 12 : 0));
                        std::sort(keys.begin(), keys.end());
                        played(AnswerKind::Chord,
                               keyName(root) + " " + shape.name + ", " + inversionName(inversion), keys, keys,
                               soundFont, Condition::Clean);
                    }
    }

    Dice dice;
    std::vector<AnswerCase> cases;
};

} // namespace

const char* kindName(AnswerKind kind)
{
    switch (kind) {
    case AnswerKind::Note: return "note";
    case AnswerKind::Interval: return "interval";
    case AnswerKind::Chord: return "chord";
    case AnswerKind::Sung: return "sung";
    }
    return "?";
}

const std::vector<SoundFont>& answerSoundFonts()
{
    static const std::vector<SoundFont> fonts{
        {"FluidR3Mono", "/usr/share/sounds/sf3/FluidR3Mono_GM.sf3"},
        {"TimGM6mb", "/usr/share/sounds/sf2/TimGM6mb.sf2"}};
    return fonts;
}

std::vector<int> pitchClasses(const std::vector<int>& keys)
{
    std::vector<int> classes;
    for (int key : keys)
        classes.push_back(((key % 12) + 12) % 12);
    std::sort(classes.begin(), classes.end());
    classes.erase(std::unique(classes.begin(), classes.end()), classes.end());
    return classes;
}

bool isRightAnswer(const AnswerCase& answerCase)
{
    if (answerCase.kind == AnswerKind::Sung)
        return pitchClasses(answerCase.answer.keys) == pitchClasses(answerCase.expected);
    std::vector<int> played = answerCase.answer.keys;
    std::sort(played.begin(), played.end());
    return played == answerCase.expected;
}

std::string keyName(int key)
{
    static const char* const names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return names[((key % 12) + 12) % 12] + std::to_string(key / 12 - 1);
}

std::string keysName(const std::vector<int>& keys)
{
    std::string name;
    for (int key : keys)
        name += (name.empty() ? "" : "+") + keyName(key);
    return name.empty() ? "-" : name;
}

std::vector<AnswerCase> answerSet(unsigned seed)
{
    SetBuilder builder(seed);
    for (int soundFont = 0; soundFont < int(answerSoundFonts().size()); ++soundFont)
        for (Condition condition : {Condition::Clean, Condition::Noisy, Condition::Room})
            builder.addBlock(soundFont, condition);
    return builder.cases;
}

std::vector<AnswerCase> sweepSet(unsigned seed)
{
    SetBuilder builder(seed);
    for (int soundFont = 0; soundFont < int(answerSoundFonts().size()); ++soundFont)
        builder.addSweep(soundFont);
    return builder.cases;
}

bool renderAnswerSet(const std::vector<AnswerCase>& cases, const RenderOptions& options,
                     const std::string& workFolder, std::vector<RenderedAnswer>* rendered,
                     std::string* error)
{
    rendered->assign(cases.size(), RenderedAnswer{});
    std::mutex errorMutex;
    std::string firstError;
    auto fail = [&](const std::string& why) {
        std::lock_guard<std::mutex> guard(errorMutex);
        if (firstError.empty())
            firstError = why;
    };
    std::vector<std::thread> threads;
    for (int font = 0; font < int(answerSoundFonts().size()); ++font) {
        const bool used = std::any_of(cases.begin(), cases.end(),
                                      [font](const AnswerCase& c) { return c.soundFont == font; });
        if (!used)
            continue;
        threads.emplace_back([&, font] {
            AnswerRenderer renderer(answerSoundFonts()[std::size_t(font)].path, options);
            if (!renderer.ok()) {
                fail(renderer.error());
                return;
            }
            for (std::size_t i = 0; i < cases.size(); ++i)
                if (cases[i].soundFont == font)
                    (*rendered)[i] = renderer.render(cases[i].answer);
            const std::string folder = workFolder + "/" + answerSoundFonts()[std::size_t(font)].name;
            std::error_code made;
            std::filesystem::create_directories(folder, made);
            for (Condition condition : {Condition::Room, Condition::Noisy}) {
                std::vector<RenderedAnswer*> batch;
                for (std::size_t i = 0; i < cases.size(); ++i)
                    if (cases[i].soundFont == font && cases[i].condition == condition)
                        batch.push_back(&(*rendered)[i]);
                std::string why;
                if (!applyCondition(batch, condition, options.sampleRate, folder,
                                    unsigned(font * 16 + int(condition)), &why))
                    fail(why);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    if (!firstError.empty())
        *error = firstError;
    return firstError.empty();
}

} // namespace AnswerAudio

#include "answer_audio.h"

#include <fluidsynth.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace AnswerAudio {

namespace {

// FluidSynth starts a key at the beginning of its next 64-sample block: events placed on that grid
// sound at exactly the sample we say they do.
constexpr std::size_t synthBlock = 64;
// Long enough for a moderate room's reverberation to die away before the next answer's lead-in.
constexpr double roomGapSeconds = 1.5;
// Background noise lies this far below the answer while its keys are held.
constexpr double noiseBelowDb = 20;
// Noise is read from a loop this long, at a different place for every answer.
constexpr double noiseLoopSeconds = 60;

std::size_t gridSample(double ms, double sampleRate)
{
    const auto sample = static_cast<std::size_t>(std::llround(ms * sampleRate / 1000.0));
    return (sample + synthBlock / 2) / synthBlock * synthBlock;
}

double rms(const float* samples, std::size_t count)
{
    if (count == 0)
        return 0;
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(count));
}

constexpr double pi = 3.14159265358979323846;

// The power of one frequency in a stretch of sound.
double goertzel(const float* samples, std::size_t count, double frequency, double sampleRate)
{
    const double coefficient = 2 * std::cos(2 * pi * frequency / sampleRate);
    double s1 = 0, s2 = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double s = samples[i] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return s1 * s1 + s2 * s2 - coefficient * s1 * s2;
}

std::string rateArgument(double sampleRate)
{
    return std::to_string(std::lround(sampleRate));
}

// The answers one after another, each followed by `gapSamples` of silence; where each begins.
std::vector<float> layTake(const std::vector<RenderedAnswer*>& answers, std::size_t gapSamples,
                           std::vector<std::size_t>* starts)
{
    std::size_t total = 0;
    for (const RenderedAnswer* answer : answers)
        total += answer->samples.size() + gapSamples;
    std::vector<float> take;
    take.reserve(total);
    starts->clear();
    for (const RenderedAnswer* answer : answers) {
        starts->push_back(take.size());
        take.insert(take.end(), answer->samples.begin(), answer->samples.end());
        take.resize(take.size() + gapSamples, 0.0f);
    }
    return take;
}

bool cutTake(const std::vector<float>& take, const std::vector<std::size_t>& starts,
             std::vector<RenderedAnswer*>& answers, std::string* error)
{
    for (std::size_t i = 0; i < answers.size(); ++i) {
        std::vector<float>& samples = answers[i]->samples;
        if (starts[i] + samples.size() > take.size()) {
            *error = "sox returned a shorter take than it was given";
            return false;
        }
        std::copy_n(take.begin() + std::ptrdiff_t(starts[i]), samples.size(), samples.begin());
    }
    return true;
}

// Runs sox over the take in `input` into `output`, reads it back and removes both files.
bool soxPass(const std::vector<float>& take, double sampleRate, const std::string& input,
             const std::string& output, const std::vector<std::string>& effects,
             std::vector<float>* result, std::string* error)
{
    if (!writeWav(input, take, sampleRate, error))
        return false;
    std::vector<std::string> arguments{"sox", "-V1", "-q", "-R", "-G", input, "-e", "floating-point", "-b", "32", output};
    arguments.insert(arguments.end(), effects.begin(), effects.end());
    const bool ran = runProgram(arguments, error);
    std::remove(input.c_str());
    if (!ran)
        return false;
    double rate = 0;
    *result = readWav(output, &rate, error);
    std::remove(output.c_str());
    return !result->empty();
}

bool addRoom(std::vector<RenderedAnswer*>& answers, double sampleRate, const std::string& folder,
             std::string* error)
{
    std::vector<std::size_t> starts;
    const std::vector<float> take =
        layTake(answers, std::size_t(roomGapSeconds * sampleRate), &starts);
    // A moderate room: half reverberance, some damping of the highs, a 10 ms pre-delay, the
    // reverberation 3 dB below the direct sound.
    std::vector<float> roomy;
    if (!soxPass(take, sampleRate, folder + "/dry.wav", folder + "/room.wav",
                 {"reverb", "50", "50", "70", "100", "10", "-3"}, &roomy, error))
        return false;
    return cutTake(roomy, starts, answers, error);
}

bool addNoise(std::vector<RenderedAnswer*>& answers, double sampleRate, const std::string& folder,
              unsigned seed, std::string* error)
{
    // Pink and brown noise from sox, a loop of each; the answers take turns between them.
    std::vector<std::vector<float>> loops;
    for (const char* colour : {"pinknoise", "brownnoise"}) {
        const std::string path = folder + "/" + colour + ".wav";
        if (!runProgram({"sox", "-V1", "-q", "-R", "-n", "-r", rateArgument(sampleRate), "-c", "1", "-e",
                         "floating-point", "-b", "32", path, "synth",
                         std::to_string(int(noiseLoopSeconds)), colour},
                        error))
            return false;
        double rate = 0;
        loops.push_back(readWav(path, &rate, error));
        std::remove(path.c_str());
        if (loops.back().empty())
            return false;
    }

    std::vector<std::size_t> starts;
    const std::vector<float> take = layTake(answers, 0, &starts);
    std::vector<float> noise(take.size(), 0.0f);
    std::uint64_t state = seed * 6364136223846793005ull + 1442695040888963407ull;
    auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return std::uint32_t(state >> 33);
    };
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const std::vector<float>& loop = loops[next() % loops.size()];
        const std::size_t length = answers[i]->samples.size();
        std::size_t from = next() % loop.size();
        float* out = noise.data() + starts[i];
        for (std::size_t k = 0; k < length; ++k)
            out[k] = loop[(from + k) % loop.size()];
        const double noiseRms = rms(out, length);
        const double gain = noiseRms > 0 ? heldRms(*answers[i]) * std::pow(10.0, -noiseBelowDb / 20) / noiseRms : 0;
        for (std::size_t k = 0; k < length; ++k)
            out[k] = float(out[k] * gain);
    }
    const std::string noisePath = folder + "/noise.wav";
    if (!writeWav(noisePath, noise, sampleRate, error))
        return false;
    noise = {};
    // sox -m halves each input unless told not to.
    const std::string input = folder + "/answers.wav", output = folder + "/noisy.wav";
    if (!writeWav(input, take, sampleRate, error))
        return false;
    const bool ran = runProgram({"sox", "-V1", "-q", "-R", "-G", "-m", "-v", "1", input, "-v", "1", noisePath,
                                 "-e", "floating-point", "-b", "32", output},
                                error);
    std::remove(input.c_str());
    std::remove(noisePath.c_str());
    if (!ran)
        return false;
    double rate = 0;
    const std::vector<float> noisy = readWav(output, &rate, error);
    std::remove(output.c_str());
    return !noisy.empty() && cutTake(noisy, starts, answers, error);
}

} // namespace

const char* conditionName(Condition condition)
{
    switch (condition) {
    case Condition::Clean: return "clean";
    case Condition::Room: return "room";
    case Condition::Noisy: return "noisy";
    }
    return "?";
}

struct AnswerRenderer::State
{
    RenderOptions options;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    std::string error;
    std::vector<float> left, right;
    std::map<std::pair<int, int>, double> voiceCents; // measured, by program and key
};

AnswerRenderer::AnswerRenderer(const std::string& soundFontPath, const RenderOptions& options)
    : d(new State)
{
    d->options = options;
    // FluidSynth's notices about soundfont details would bury the benchmark's output.
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    d->settings = new_fluid_settings();
    if (!d->settings) {
        d->error = "FluidSynth settings could not be made";
        return;
    }
    fluid_settings_setnum(d->settings, "synth.sample-rate", options.sampleRate);
    fluid_settings_setnum(d->settings, "synth.gain", options.gain);
    fluid_settings_setint(d->settings, "synth.reverb.active", 0);
    fluid_settings_setint(d->settings, "synth.chorus.active", 0);
    d->synth = new_fluid_synth(d->settings);
    if (!d->synth) {
        d->error = "FluidSynth could not be started";
        return;
    }
    if (fluid_synth_sfload(d->synth, soundFontPath.c_str(), 1) == FLUID_FAILED)
        d->error = "the soundfont " + soundFontPath + " could not be loaded";
    d->left.resize(4096);
    d->right.resize(4096);
}

AnswerRenderer::~AnswerRenderer()
{
    if (d->synth)
        delete_fluid_synth(d->synth);
    if (d->settings)
        delete_fluid_settings(d->settings);
    delete d;
}

bool AnswerRenderer::ok() const
{
    return d->error.empty();
}

const std::string& AnswerRenderer::error() const
{
    return d->error;
}

const RenderOptions& AnswerRenderer::options() const
{
    return d->options;
}

RenderedAnswer AnswerRenderer::render(const Answer& answer)
{
    RenderedAnswer rendered;
    if (!ok())
        return rendered;
    const double rate = d->options.sampleRate;
    struct Event
    {
        std::size_t sample;
        bool on;
        int key;
    };
    std::vector<Event> events;
    const std::size_t first = gridSample(d->options.leadInMs, rate);
    // A repeated key is let go shortly before it is struck again, as a pianist's finger does.
    const bool repeated = answer.repeatAfterMs > 0;
    const std::size_t second = repeated ? first + gridSample(answer.repeatAfterMs, rate) : 0;
    auto strike = [&](std::size_t at, double holdMs) {
        std::size_t lastOff = 0;
        for (std::size_t i = 0; i < answer.keys.size(); ++i) {
            const double delayMs = i < answer.keyDelayMs.size() ? answer.keyDelayMs[i] : 0.0;
            const std::size_t on = at + gridSample(delayMs, rate);
            const std::size_t off = std::max(on + synthBlock, at + gridSample(holdMs, rate));
            events.push_back({on, true, answer.keys[i]});
            events.push_back({off, false, answer.keys[i]});
            lastOff = std::max(lastOff, off);
        }
        return lastOff;
    };
    std::size_t release = 0;
    if (repeated) {
        strike(first, std::min(answer.holdMs, 0.85 * answer.repeatAfterMs));
        release = strike(second, answer.holdMs);
    } else {
        release = strike(first, answer.holdMs);
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.sample < b.sample || (a.sample == b.sample && !a.on && b.on); });
    const std::size_t end = release + gridSample(d->options.tailMs, rate);

    double cents = answer.centsOff;
    if (d->options.tuneVoices && answer.program > 7 && answer.keys.size() == 1)
        cents -= measureCents(answer.program, answer.keys[0]);
    // The last answer's release may still sound: a reset lets released keys ring on, so they are
    // silenced and rendered out before the lead-in begins.
    fluid_synth_system_reset(d->synth);
    fluid_synth_all_sounds_off(d->synth, -1);
    for (int flush = 0; flush < 4; ++flush)
        fluid_synth_write_float(d->synth, int(synthBlock), d->left.data(), 0, 1, d->right.data(), 0, 1);
    fluid_synth_bank_select(d->synth, 0, 0);
    fluid_synth_program_change(d->synth, 0, answer.program);
    // The pitch wheel bends two semitones either way.
    fluid_synth_pitch_bend(d->synth, 0, std::clamp(8192 + int(std::lround(cents / 200.0 * 8192)), 0, 16383));
    rendered.samples.resize(end);
    std::size_t at = 0;
    auto renderTo = [&](std::size_t until) {
        while (at < until) {
            const int count = int(std::min(until - at, d->left.size()));
            fluid_synth_write_float(d->synth, count, d->left.data(), 0, 1, d->right.data(), 0, 1);
            for (int k = 0; k < count; ++k)
                rendered.samples[at + std::size_t(k)] = 0.5f * (d->left[std::size_t(k)] + d->right[std::size_t(k)]);
            at += std::size_t(count);
        }
    };
    for (const Event& event : events) {
        renderTo(event.sample);
        if (event.on)
            fluid_synth_noteon(d->synth, 0, event.key, answer.velocity);
        else
            fluid_synth_noteoff(d->synth, 0, event.key);
    }
    renderTo(end);
    rendered.onsetSample = first;
    rendered.repeatOnsetSample = second;
    rendered.releaseSample = release;
    return rendered;
}

double AnswerRenderer::measureCents(int program, int key)
{
    const auto known = d->voiceCents.find({program, key});
    if (known != d->voiceCents.end())
        return known->second;
    Answer probe;
    probe.keys = {key};
    probe.program = program;
    probe.velocity = 100;
    probe.holdMs = 800;
    const bool tune = d->options.tuneVoices;
    d->options.tuneVoices = false;
    const RenderedAnswer sound = render(probe);
    d->options.tuneVoices = tune;
    // Past the attack, where a voice's pitch has settled.
    const double rate = d->options.sampleRate;
    const std::size_t from = sound.onsetSample + std::size_t(0.15 * rate);
    const std::size_t count = std::min(std::size_t(0.5 * rate), sound.releaseSample - from);
    const double keyHz = 440.0 * std::pow(2.0, (key - 69) / 12.0);
    double best = -1, bestCents = 0;
    for (int cents = -100; cents <= 100; cents += 2) {
        const double f0 = keyHz * std::pow(2.0, cents / 1200.0);
        double power = 0;
        for (int harmonic = 1; harmonic <= 6 && harmonic * f0 < rate / 2; ++harmonic)
            power += goertzel(sound.samples.data() + from, count, harmonic * f0, rate);
        if (power > best) {
            best = power;
            bestCents = cents;
        }
    }
    d->voiceCents[{program, key}] = bestCents;
    return bestCents;
}

double heldRms(const RenderedAnswer& answer)
{
    const std::size_t from = std::min(answer.onsetSample, answer.samples.size());
    const std::size_t to = std::min(std::max(answer.releaseSample, from), answer.samples.size());
    return rms(answer.samples.data() + from, to - from);
}

bool applyCondition(std::vector<RenderedAnswer*>& answers, Condition condition, double sampleRate,
                    const std::string& workFolder, unsigned seed, std::string* error)
{
    if (answers.empty())
        return true;
    switch (condition) {
    case Condition::Clean: return true;
    case Condition::Room: return addRoom(answers, sampleRate, workFolder, error);
    case Condition::Noisy: return addNoise(answers, sampleRate, workFolder, seed, error);
    }
    return false;
}

bool writeWav(const std::string& path, const std::vector<float>& samples, double sampleRate,
              std::string* error)
{
    SF_INFO info{};
    info.samplerate = int(std::lround(sampleRate));
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        *error = path + ": " + sf_strerror(nullptr);
        return false;
    }
    const sf_count_t written = sf_writef_float(file, samples.data(), sf_count_t(samples.size()));
    sf_close(file);
    if (written != sf_count_t(samples.size())) {
        *error = path + ": not all of the sound was written";
        return false;
    }
    return true;
}

std::vector<float> readWav(const std::string& path, double* sampleRate, std::string* error)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        *error = path + ": " + sf_strerror(nullptr);
        return {};
    }
    std::vector<float> frames(std::size_t(info.frames) * std::size_t(info.channels));
    const sf_count_t read = sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    *sampleRate = info.samplerate;
    std::vector<float> mono(std::size_t(std::max<sf_count_t>(read, 0)));
    const std::size_t channels = std::size_t(info.channels);
    for (std::size_t i = 0; i < mono.size(); ++i) {
        float sum = 0;
        for (std::size_t c = 0; c < channels; ++c)
            sum += frames[i * channels + c];
        mono[i] = sum / float(channels);
    }
    if (mono.empty())
        *error = path + ": no sound in the file";
    return mono;
}

bool runProgram(const std::vector<std::string>& arguments, std::string* error)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        *error = arguments[0] + " could not be started";
        return false;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string command;
        for (const std::string& argument : arguments)
            command += (command.empty() ? "" : " ") + argument;
        *error = "failed: " + command;
        return false;
    }
    return true;
}

} // namespace AnswerAudio

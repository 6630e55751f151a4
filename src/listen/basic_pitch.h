#pragma once
// basic-pitch: a small polyphonic note-transcription network from Spotify ("A Lightweight
// Instrument-Agnostic Model for Polyphonic Note Transcription and Multipitch Estimation",
// Bittner et al., ICASSP 2022), under the Apache License 2.0. Its graph and weights (under 17,000
// trained parameters, plus the fixed constant-Q filters) come from the npm package
// @spotify/basic-pitch as TensorFlow.js files; scripts/fetch-basic-pitch.sh puts them in
// .cache/basic-pitch-<version>/, outside the tracked files, and they are read from there at run
// time. The network is run here in plain C++ on the CPU, with no machine-learning runtime.
//
// What it computes, for 2-second windows of sound at 22050 Hz: a constant-Q spectrogram (36 bins
// an octave, one frame every 256 samples), in decibels normalised to the window, stacked with
// copies of itself shifted to its harmonics; then a few convolutions giving, for each frame and
// each of the 88 piano keys, how likely the key is sounding ("note") and being struck ("onset").
//
// Next to the listener's own detector (note_detector.h) this is the second way to hear an answer
// played into a microphone: slower and offline, for clips rather than streams.

#include "listen/note_detector.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Listen {

class BasicPitch
{
public:
    ~BasicPitch();
    BasicPitch(const BasicPitch&) = delete;
    BasicPitch& operator=(const BasicPitch&) = delete;

    // Reads the model from the folder holding model.json and its weights; null with a reason in *error.
    static std::unique_ptr<BasicPitch> load(const std::string& folder, std::string* error);
    // The folder the build was configured with (.cache/basic-pitch-<version>), for tools and tests.
    static std::string defaultFolder();

    static constexpr int keyCount = 88;  // A0 (21) … C8 (108)
    static constexpr int lowestKey = 21;
    static constexpr double modelRate = 22050;

    // Per frame and key, [frame * 88 + key - 21]; frame f sounds about f / framesPerSecond seconds
    // after the first sample.
    struct Posteriors
    {
        int frames = 0;
        double framesPerSecond = 0;
        std::vector<float> notes, onsets;
    };
    // Runs the network over a whole sound (mono, ±1); resamples it to 22050 Hz first when needed.
    // Safe to call from several threads at once.
    Posteriors run(const float* samples, std::size_t count, double sampleRate) const;

    // Where frame f of run()'s answer lies in the sound, in 22050-Hz samples from its start, and
    // how far into the sound the network had to read to give it. The network hears in windows
    // that overlap by a little less than a whole number of frames, so frames are not quite
    // evenly spaced: each window after the first starts some 190 samples earlier than an even
    // spacing would put it.
    static double frameSample(int frame);
    static double frameHeardUpTo(int frame);

private:
    struct Model;
    explicit BasicPitch(std::unique_ptr<Model> model);
    std::unique_ptr<Model> model;
};

// How basicPitchOnsets() reads the posteriors. The defaults are basic-pitch's own (a key's onset
// at 0.5, a note held at 0.3, the note held for 5 frames, some 58 ms).
struct BasicPitchThresholds
{
    float onset = 0.5f;
    float note = 0.3f;
    int minNoteFrames = 5;
    int maxKeys = 4;          // the strongest onsets are kept, up to this many
    double chordSpreadMs = 80; // keys whose onsets follow the first one within this are one chord
};

// What basic-pitch hears in one short clip (one answer: a note, interval or chord struck once
// at about the clip's start): the keys whose onset and note posteriors pass thresholds, as one
// HeardOnset with onsetMs/reportedMs filled (milliseconds from the clip's first sample;
// reportedMs is how far into the clip the network had to read to decide). Empty when nothing
// passes.
std::vector<HeardOnset> basicPitchOnsets(const BasicPitch& model, const float* samples, std::size_t count,
                                         double sampleRate, const BasicPitchThresholds& thresholds = {});

} // namespace Listen

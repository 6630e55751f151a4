#pragma once
// Hears notes in a stream of sound: the piano played into a microphone, or a recording. Sound
// goes in as blocks of mono samples; what comes out is one event per onset, the keys struck
// there, and the release of each key once its sound has died away.
//
// The detector reports what it hears and nothing else: it is never told which answer is right.
// Times are milliseconds of stream time, counted from the first sample fed (or the last reset).
//
// Threads: one object is fed from one thread at a time (the audio callback). Feeding does not
// allocate, except for the events handed over; building and reset() do.

#include <cstddef>
#include <memory>
#include <vector>

namespace Listen {

// The keys struck at one onset, as MIDI key numbers (21 = A0 … 108 = C8), rising.
struct HeardOnset
{
    double onsetMs = 0;    // where the sound began
    double reportedMs = 0; // the stream time at which the detector had heard enough to say so
    std::vector<int> keys;
};

// A key whose sound has died away (or been struck again).
struct HeardRelease
{
    double timeMs = 0;
    int key = 0;
};

struct DetectorEvents
{
    std::vector<HeardOnset> onsets;
    std::vector<HeardRelease> releases;
    bool empty() const { return onsets.empty() && releases.empty(); }
};

struct DetectorOptions
{
    int lowestKey = 21;
    int highestKey = 108;
    int maxPolyphony = 4;
};

class NoteDetector
{
public:
    explicit NoteDetector(double sampleRate, const DetectorOptions& options = {});
    ~NoteDetector();
    NoteDetector(const NoteDetector&) = delete;
    NoteDetector& operator=(const NoteDetector&) = delete;

    double sampleRate() const;

    // Feeds the next samples (mono, full scale ±1).
    void feed(const float* samples, std::size_t count);
    // Hands over what was heard since the last call.
    DetectorEvents takeEvents();
    // Forgets everything heard; stream time starts again at 0.
    void reset();

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace Listen

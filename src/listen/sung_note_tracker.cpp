#include "listen/sung_note_tracker.h"

#include "listen/spectrum_analyser.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <vector>

namespace Listen {

namespace {

// The period is looked for between these pitches: the lowest bass to the highest soprano.
constexpr double lowestHz = 60.0;
constexpr double highestHz = 1500.0;
// The difference function sums this much sound, a frame every hop.
constexpr double windowSeconds = 0.03;
constexpr double hopSeconds = 0.01;
// The normalised difference at the period must fall below this for the frame to be voiced: a
// sung vowel reaches about 0.05, breath and noise stay near 1.
constexpr double voicedThreshold = 0.15;
// A voiced frame must also stand out of the background: this far above its floor, and above
// about -60 dB of full scale.
constexpr double overFloor = 4.0;
constexpr double quietestRms = 1e-3;
// One pitch class held this long is a note; a run of it survives this much of anything else (a
// consonant, an octave slip of the estimate counts as the same class anyway).
constexpr double holdSeconds = 0.2;
constexpr double gapSeconds = 0.04;

int pitchClassOf(int key)
{
    return ((key % 12) + 12) % 12;
}

} // namespace

struct SungNoteTracker::State
{
    explicit State(double rate)
        : sampleRate(rate), window(std::size_t(rate * windowSeconds)),
          tauMin(std::max<std::size_t>(2, std::size_t(rate / highestHz))),
          tauMax(std::size_t(rate / lowestHz)),
          hop(std::max<std::size_t>(32, std::size_t(rate * hopSeconds))), length(window + tauMax + 2),
          ring(length, 0.0f), frame(length), difference(tauMax + 2), squares(length + 1)
    {
        while (fftLength < length + window)
            fftLength <<= 1;
        const std::size_t bins = fftLength / 2 + 1;
        signal = static_cast<float*>(fftwf_malloc(sizeof(float) * fftLength));
        head = static_cast<float*>(fftwf_malloc(sizeof(float) * fftLength));
        signalBins = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * bins));
        headBins = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * bins));
        std::lock_guard<std::mutex> planning(fftPlannerLock());
        signalPlan = fftwf_plan_dft_r2c_1d(int(fftLength), signal, signalBins, FFTW_ESTIMATE);
        headPlan = fftwf_plan_dft_r2c_1d(int(fftLength), head, headBins, FFTW_ESTIMATE);
        backPlan = fftwf_plan_dft_c2r_1d(int(fftLength), signalBins, signal, FFTW_ESTIMATE);
        pitches.reserve(std::size_t(4.0 / hopSeconds));
    }

    ~State()
    {
        {
            std::lock_guard<std::mutex> planning(fftPlannerLock());
            fftwf_destroy_plan(signalPlan);
            fftwf_destroy_plan(headPlan);
            fftwf_destroy_plan(backPlan);
        }
        fftwf_free(signal);
        fftwf_free(head);
        fftwf_free(signalBins);
        fftwf_free(headBins);
    }

    State(const State&) = delete;
    State& operator=(const State&) = delete;

    double sampleRate;
    std::size_t window;
    std::size_t tauMin;
    std::size_t tauMax;
    std::size_t hop;
    std::size_t length;

    std::vector<float> ring; // the last `length` samples, ring-wise
    std::uint64_t written = 0;
    std::uint64_t nextHopAt = 0;
    std::vector<float> frame;
    std::vector<double> difference;
    std::vector<double> squares; // running sums of the frame's squared samples

    // The frame's correlation with its first window, through the transform.
    std::size_t fftLength = 1;
    float* signal = nullptr;
    float* head = nullptr;
    fftwf_complex* signalBins = nullptr;
    fftwf_complex* headBins = nullptr;
    fftwf_plan signalPlan = nullptr;
    fftwf_plan headPlan = nullptr;
    fftwf_plan backPlan = nullptr;
    double floorRms = 0;

    // The run of frames of one pitch class being heard.
    bool inRun = false;
    int runClass = 0;
    std::uint64_t runStart = 0; // the end of the run's first frame
    std::uint64_t runLast = 0;  // the end of the last frame of the run's class
    bool reported = false;
    int reportedKey = 0;
    std::vector<double> pitches; // the run's frames, as fractional keys

    DetectorEvents events;

    double ms(std::uint64_t sample) const { return double(sample) * 1000.0 / sampleRate; }
    double pitchOfFrame();
    void hopAt(std::uint64_t end);
    void endRun();
};

// The YIN estimate: the cumulative-mean-normalised difference of the frame with itself shifted,
// its first dip below the threshold taken as the period and refined between samples. Returns the
// pitch as a fractional key, or 0 for a frame with no voice.
double SungNoteTracker::State::pitchOfFrame()
{
    double energy = 0;
    for (std::size_t i = 0; i < window; ++i)
        energy += double(frame[i]) * frame[i];
    const double rms = std::sqrt(energy / double(window));
    // The floor follows quiet quickly and loud slowly, as a held note should not lift it.
    floorRms = floorRms == 0 ? rms : (rms < floorRms ? 0.7 * floorRms + 0.3 * rms : floorRms * 1.002);
    if (rms < quietestRms || rms < floorRms * overFloor)
        return 0;

    // d(tau) = sum (x[i] - x[i+tau])^2 over the window = the energy of both stretches less twice
    // their correlation; the correlation of every shift at once, by the transform.
    std::fill(signal, signal + fftLength, 0.0f);
    std::fill(head, head + fftLength, 0.0f);
    std::copy(frame.begin(), frame.end(), signal);
    std::copy(frame.begin(), frame.begin() + std::ptrdiff_t(window), head);
    fftwf_execute(signalPlan);
    fftwf_execute(headPlan);
    for (std::size_t b = 0; b < fftLength / 2 + 1; ++b) {
        const float re = signalBins[b][0] * headBins[b][0] + signalBins[b][1] * headBins[b][1];
        const float im = signalBins[b][1] * headBins[b][0] - signalBins[b][0] * headBins[b][1];
        signalBins[b][0] = re;
        signalBins[b][1] = im;
    }
    fftwf_execute(backPlan); // signal[tau] = fftLength * sum x[i] x[i+tau]
    squares[0] = 0;
    for (std::size_t i = 0; i < length; ++i)
        squares[i + 1] = squares[i] + double(frame[i]) * frame[i];

    double running = 0;
    difference[0] = 1;
    std::size_t found = 0;
    for (std::size_t tau = 1; tau <= tauMax; ++tau) {
        const double shifted = squares[tau + window] - squares[tau];
        const double sum =
            std::max(0.0, squares[window] + shifted - 2.0 * double(signal[tau]) / double(fftLength));
        running += sum;
        difference[tau] = running > 0 ? sum * double(tau) / running : 1.0;
        if (found == 0 && tau > tauMin && difference[tau - 1] < voicedThreshold &&
            difference[tau] >= difference[tau - 1])
            found = tau - 1;
    }
    if (found == 0)
        return 0;

    double period = double(found);
    if (found + 1 <= tauMax) {
        const double before = difference[found - 1], at = difference[found], after = difference[found + 1];
        const double curve = before - 2 * at + after;
        if (curve > 0)
            period += 0.5 * (before - after) / curve;
    }
    return 69.0 + 12.0 * std::log2(sampleRate / period / 440.0);
}

void SungNoteTracker::State::endRun()
{
    if (reported)
        events.releases.push_back({ms(runLast), reportedKey});
    inRun = false;
    reported = false;
    pitches.clear();
}

void SungNoteTracker::State::hopAt(std::uint64_t end)
{
    for (std::size_t i = 0; i < length; ++i)
        frame[i] = ring[std::size_t((end - length + i) % length)];
    const double pitch = pitchOfFrame();
    const int key = pitch > 0 ? int(std::lround(pitch)) : -1;

    if (inRun && key >= 0 && pitchClassOf(key) == runClass) {
        runLast = end;
        if (pitches.size() < pitches.capacity())
            pitches.push_back(pitch);
    } else {
        if (inRun && ms(end - runLast) <= gapSeconds * 1000.0)
            return; // a moment of something else inside the note
        if (inRun)
            endRun();
        if (key < 0)
            return;
        inRun = true;
        runClass = pitchClassOf(key);
        runStart = end;
        runLast = end;
        pitches.push_back(pitch);
    }

    if (!reported && ms(runLast - runStart) >= holdSeconds * 1000.0) {
        // The key nearest the median pitch, kept in the run's class across an octave slip.
        std::vector<double> sorted(pitches);
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2), sorted.end());
        const int near = int(std::lround(sorted[sorted.size() / 2]));
        int shift = pitchClassOf(runClass - near);
        if (shift > 6)
            shift -= 12;
        reportedKey = near + shift;
        reported = true;
        // The voice began about a window before the first frame that heard it.
        events.onsets.push_back(
            {ms(runStart - std::min<std::uint64_t>(runStart, window)), ms(end), {reportedKey}});
    }
}

SungNoteTracker::SungNoteTracker(double sampleRate) : d(std::make_unique<State>(sampleRate)) {}

SungNoteTracker::~SungNoteTracker() = default;

void SungNoteTracker::feed(const float* samples, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        d->ring[std::size_t(d->written % d->length)] = samples[i];
        ++d->written;
        if (d->written >= d->length && d->written >= d->nextHopAt) {
            d->hopAt(d->written);
            d->nextHopAt = d->written + d->hop;
        }
    }
}

DetectorEvents SungNoteTracker::takeEvents()
{
    DetectorEvents taken;
    std::swap(taken, d->events);
    return taken;
}

void SungNoteTracker::reset()
{
    const double rate = d->sampleRate;
    d = std::make_unique<State>(rate);
}

} // namespace Listen

#include "listen/note_detector.h"

#include "listen/pitch_estimator.h"
#include "listen/spectrum_analyser.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numeric>

namespace Listen {

namespace {

// Onsets are found in short frames, every hop; the keys are named in one long frame that
// begins at the onset. The long frame is what an answer waits for: about 90 ms.
constexpr double shortFrameSeconds = 0.023;
constexpr double hopSeconds = 0.0058;
constexpr double longFrameSeconds = 0.093;
// Onsets closer than this are one: the notes of a chord are never struck quite together.
constexpr double onsetMergeSeconds = 0.1;
// How much of the recent past the detector keeps, for the long frame and what came before it.
constexpr double historySeconds = 0.5;
// The first moments of a stream teach the detector its noise floor; nothing there is an onset.
constexpr double warmUpSeconds = 0.1;
// A bin counts in the spectral flux only where it stands this far above the noise floor. The floor
// follows the dips of a steady noise, and its flicker stays under four times that: a low key
// struck over a fan, whose few partials rise little, is not drowned in the flicker of every bin.
constexpr float noiseMargin = 4.0f;
// Below this a bin counts as silent (about -90 dB of full scale).
constexpr float silentLevel = 3e-5f;
// The flux, in nepers summed over the bins below fluxTopHz, that makes an onset, and how far
// above the recent mean it must rise.
constexpr double fluxTopHz = 8000.0;
constexpr double fluxThreshold = 6.0;
constexpr double fluxOverMean = 1.5;
constexpr double retriggerShare = 0.5;
constexpr double retriggerSeconds = 0.25;
constexpr double reanchorShare = 2.0;
// An onset is only heard when what it brings is at least this share of what sounds then.
constexpr double newSoundShare = 0.15;
// The keys are named in the long frame through the sine window, which tells apart the partials of
// bass keys a semitone or a tone apart, where the Hann window blurs them into one. Where the onset
// brings less than this share of what sounds (a key struck again, a chord over one still ringing),
// they are named through the Hann window: what is heard there is the frame less the one before it,
// and the sine window's higher side lobes, of partials that change as a string is struck again,
// leave too much behind. Whether a frame holds a piano's sound is weighed through the Hann window.
constexpr double ringingShare = 0.65;
// A held key is let go once its partials have fallen this far below their loudest.
constexpr double releaseDrop = 1e-3;
// What begins with an even spread of power over the band of the partials (hiss, a fan starting,
// a rustle) is no note. Over the whole band the spectral flatness of a piano's sound (a key, an
// interval, a chord; clean, in a room or over noise), its partials standing far above what lies
// between them, stays under 0.05; a stir of pink or brown noise reads 0.1 and more, white noise
// about 0.56. Octave by octave, where noise of any colour reads as noise, it stays under 0.35 (a
// diminished seventh, whose partials fill each octave evenly, reads the most), and the stirs of
// noise heard before an answer read 0.49 and more.
constexpr double flatnessLowHz = 50.0;
constexpr double flatnessHighHz = 5000.0;
constexpr double soundFlatness = 0.1;
constexpr double noiseFlatness = 0.35;
// The partials of the lowest strings lie closer together than the long frame can tell apart: their
// sound reads as noise octave by octave, and is only weighed over the whole band, where it reads
// 0.03 at most. A rumble beginning, or a stir of noise just before an answer, that the estimator
// takes for such a string reads 0.057 and more there. A lowest string is only spared the octave
// by octave check where the Hann window hears one too: through the sine window's higher side
// lobes, the partials of a chord over a hiss, or a key struck in a frame that begins in noise,
// pass for the dense partials of a lowest string.
constexpr int densePartialsTopKey = 29; // F1
constexpr double lowestStringsFlatness = 0.05;
// The long strings of the bass ring with high partials that stand out on their own, a few
// octaves up, stretched sharp by the strings' stiffness beyond where the estimator looks for
// them. A key heard more than two octaves above a bass key, and much weaker than it, is taken
// for such a partial.
constexpr int bassTopKey = 38; // D2
constexpr int partialsAboveBass = 24;
constexpr double partialSalienceShare = 0.5;

std::size_t nextPowerOfTwo(std::size_t n)
{
    std::size_t p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

} // namespace

struct NoteDetector::State
{
    State(double rate, const DetectorOptions& options)
        : sampleRate(rate), options(options), hop(std::max<std::size_t>(64, std::size_t(rate * hopSeconds))),
          shortFrame(nextPowerOfTwo(std::size_t(rate * shortFrameSeconds))),
          longFrame(std::size_t(rate * longFrameSeconds)), history(std::size_t(rate * historySeconds)),
          shortSpectrum(shortFrame, shortFrame), longSpectrum(longFrame, nextPowerOfTwo(longFrame) * 4),
          sineSpectrum(longFrame, nextPowerOfTwo(longFrame) * 4, Window::Sine),
          estimator(rate, longFrame, nextPowerOfTwo(longFrame) * 4, Window::Hann, options.lowestKey,
                    options.highestKey),
          sineEstimator(rate, longFrame, nextPowerOfTwo(longFrame) * 4, Window::Sine, options.lowestKey,
                        options.highestKey),
          fluxBins(std::min(shortSpectrum.binCount(), std::size_t(fluxTopHz * double(shortFrame) / rate))),
          ring(history, 0.0f), frame(std::max(shortFrame, longFrame)),
          noiseFloor(shortSpectrum.binCount(), 0.0f), previousLevel(shortSpectrum.binCount(), 0.0f),
          background(longSpectrum.binCount(), 0.0f), sineBackground(sineSpectrum.binCount(), 0.0f)
    {
    }

    double sampleRate;
    DetectorOptions options;
    std::size_t hop;
    std::size_t shortFrame;
    std::size_t longFrame;
    std::size_t history;
    SpectrumAnalyser shortSpectrum;
    SpectrumAnalyser longSpectrum; // through the Hann window
    SpectrumAnalyser sineSpectrum;
    PitchEstimator estimator;
    PitchEstimator sineEstimator;
    std::size_t fluxBins;

    // The last `history` samples, ring-wise; `written` counts every sample fed.
    std::vector<float> ring;
    std::uint64_t written = 0;
    std::uint64_t nextHopAt = 0;
    std::vector<float> frame;

    std::vector<float> noiseFloor;
    std::vector<float> previousLevel;
    bool floorMeasured = false;
    std::deque<double> recentFlux;
    double fluxBefore = 0;     // the flux of the hop before the last
    double fluxLast = 0;       // the flux of the last hop
    std::uint64_t lastAt = 0;  // the sample that ended the last hop's frame
    std::uint64_t lastOnset = 0;
    bool anyOnset = false;
    double onsetFlux = 0; // the flux that made the last onset

    // An onset waiting for its long frame to be heard in full.
    bool pending = false;
    std::uint64_t pendingOnset = 0;
    // A rise while the pending onset is heard out: where the keys begin when that onset turns
    // out to bring no note.
    std::uint64_t laterOnset = 0;
    double laterFlux = 0;
    std::vector<float> background; // the long spectrum just before the pending onset
    std::vector<float> sineBackground;

    struct Held
    {
        int key;
        double loudest;
    };
    std::vector<Held> held;

    DetectorEvents events;

    double ms(std::uint64_t sample) const { return double(sample) * 1000.0 / sampleRate; }

    void copyOut(std::uint64_t end, std::size_t length, float* into) const
    {
        // Samples [end - length, end); those before the stream began read as silence.
        for (std::size_t i = 0; i < length; ++i) {
            const std::uint64_t at = end - length + i;
            into[i] = (end + i < length || at + history < written) ? 0.0f : ring[std::size_t(at % history)];
        }
    }

    void hopAt(std::uint64_t end);
    void beginPending(std::uint64_t onset);
    void analysePending();
    void nothingHeard();
    double partialEnergy(const std::vector<float>& spectrum, int key) const;
    double flatness(const std::vector<float>& spectrum, bool byOctave) const;
};

// The geometric over the arithmetic mean of the power, near 1 for noise and near 0 for a few
// strong partials: over the whole band of the partials, or octave by octave (so that noise of
// any colour reads as noise) weighed by each octave's power.
double NoteDetector::State::flatness(const std::vector<float>& spectrum, bool byOctave) const
{
    const double binHz = sampleRate / (2.0 * double(spectrum.size() - 1));
    const double floor = double(silentLevel) * silentLevel;
    double weighed = 0;
    double weights = 0;
    const double step = byOctave ? 2.0 : flatnessHighHz / flatnessLowHz;
    for (double low = flatnessLowHz; low < flatnessHighHz; low *= step) {
        const auto first = std::max<std::size_t>(1, std::size_t(low / binHz));
        const auto last = std::min(spectrum.size(), std::size_t(low * step / binHz));
        if (last <= first + 1)
            continue;
        double logSum = 0;
        double sum = 0;
        for (std::size_t b = first; b < last; ++b) {
            const double power = double(spectrum[b]) * spectrum[b] + floor;
            logSum += std::log(power);
            sum += power;
        }
        const double count = double(last - first);
        weighed += sum * std::exp(logSum / count) / (sum / count);
        weights += sum;
    }
    return weights > 0 ? weighed / weights : 0.0;
}

double NoteDetector::State::partialEnergy(const std::vector<float>& spectrum, int key) const
{
    const double binHz = sampleRate / double(shortFrame);
    const double f0 = 440.0 * std::pow(2.0, (key - 69) / 12.0);
    double energy = 0;
    for (int n = 1; n <= 6; ++n) {
        const auto bin = std::size_t(std::lround(n * f0 / binHz));
        if (bin + 1 >= spectrum.size())
            break;
        for (std::size_t b = std::max<std::size_t>(1, bin - 1); b <= bin + 1; ++b)
            energy += double(spectrum[b]) * spectrum[b];
    }
    return energy;
}

void NoteDetector::State::hopAt(std::uint64_t end)
{
    copyOut(end, shortFrame, frame.data());
    const std::vector<float>& spectrum = shortSpectrum.analyse(frame.data());

    // The noise floor follows quiet quickly and loud slowly, so a held note hardly lifts it.
    double flux = 0;
    for (std::size_t b = 1; b < spectrum.size(); ++b) {
        float& floor = noiseFloor[b];
        if (!floorMeasured)
            floor = spectrum[b];
        else if (spectrum[b] < floor)
            floor = 0.7f * floor + 0.3f * spectrum[b];
        else
            floor *= 1.002f;
        const float level = std::log(std::max({spectrum[b], floor * noiseMargin, silentLevel}));
        if (b < fluxBins && floorMeasured)
            flux += std::max(0.0f, level - previousLevel[b]);
        previousLevel[b] = level;
    }
    floorMeasured = true;

    // Keys let go: their partials have died away.
    for (auto it = held.begin(); it != held.end();) {
        const double energy = partialEnergy(spectrum, it->key);
        it->loudest = std::max(it->loudest, energy);
        if (energy < it->loudest * releaseDrop) {
            events.releases.push_back({ms(end), it->key});
            it = held.erase(it);
        } else {
            ++it;
        }
    }

    // The last hop is an onset when its flux peaked there, above the threshold and the
    // recent mean.
    const double mean = recentFlux.empty()
        ? 0.0
        : std::accumulate(recentFlux.begin(), recentFlux.end(), 0.0) / double(recentFlux.size());
    const bool peaked = fluxLast > flux && fluxLast >= fluxBefore;
    // A struck string swells and beats for a while: soon after an onset only a rise as strong
    // as a good part of the onset's own counts as another.
    const double sinceOnset = anyOnset ? double(lastAt - lastOnset) / sampleRate : 1e9;
    const double echo = onsetFlux * retriggerShare * std::exp(-sinceOnset / retriggerSeconds);
    const bool strong = fluxLast > fluxThreshold && fluxLast > mean * fluxOverMean && fluxLast > echo;
    const auto mergeSamples = std::uint64_t(onsetMergeSeconds * sampleRate);
    const bool warm = lastAt >= shortFrame + std::uint64_t(warmUpSeconds * sampleRate);
    // A rise that dwarfs the one that opened the pending onset is the real beginning (the first
    // was a stir of the background just before it): the onset moves there.
    const bool dwarfs = pending && peaked && fluxLast > fluxThreshold && fluxLast > onsetFlux * reanchorShare;
    // The rise lies in the newest hop of the last frame.
    const std::uint64_t rise = lastAt > hop ? lastAt - hop : 0;
    if (dwarfs ||
        (peaked && strong && warm && (!anyOnset || lastAt >= lastOnset + mergeSamples) && !pending)) {
        anyOnset = true;
        lastOnset = rise;
        onsetFlux = fluxLast;
        laterFlux = 0;
        beginPending(rise);
    } else if (pending && peaked && fluxLast > fluxThreshold && fluxLast > laterFlux) {
        laterOnset = rise;
        laterFlux = fluxLast;
    }
    recentFlux.push_back(fluxLast);
    if (recentFlux.size() > 8)
        recentFlux.pop_front();
    fluxBefore = fluxLast;
    fluxLast = flux;
    lastAt = end;

    if (pending && written >= pendingOnset + longFrame)
        analysePending();
}

void NoteDetector::State::beginPending(std::uint64_t onset)
{
    pending = true;
    pendingOnset = onset;
    // What sounded just before the onset is taken out of what is heard after it.
    copyOut(onset, longFrame, frame.data());
    const std::vector<float>& before = longSpectrum.analyse(frame.data());
    std::copy(before.begin(), before.end(), background.begin());
    const std::vector<float>& sineBefore = sineSpectrum.analyse(frame.data());
    std::copy(sineBefore.begin(), sineBefore.end(), sineBackground.begin());
}

// The pending onset brought no note: it holds back no onset after it, and a rise heard while it
// was heard out is heard out in turn.
void NoteDetector::State::nothingHeard()
{
    anyOnset = false;
    if (laterFlux > 0) {
        anyOnset = true;
        lastOnset = laterOnset;
        onsetFlux = laterFlux;
        laterFlux = 0;
        beginPending(laterOnset);
    }
}

void NoteDetector::State::analysePending()
{
    pending = false;
    copyOut(pendingOnset + longFrame, longFrame, frame.data());
    const std::vector<float>& spectrum = longSpectrum.analyse(frame.data());
    double total = 0;
    double added = 0;
    for (std::size_t b = 1; b < spectrum.size(); ++b) {
        total += double(spectrum[b]) * spectrum[b];
        const double rise = std::max(0.0f, spectrum[b] - background[b]);
        added += rise * rise;
    }
    // An onset that brings no note holds back none after it: the keys may follow at once.
    if (added < total * newSoundShare || flatness(spectrum, false) > soundFlatness) {
        nothingHeard();
        return;
    }
    const bool ringing = added < total * ringingShare;
    std::vector<PitchEstimate> found = ringing
                                           ? estimator.estimate(spectrum, background, options.maxPolyphony)
                                           : sineEstimator.estimate(sineSpectrum.analyse(frame.data()),
                                                                    sineBackground, options.maxPolyphony);
    const auto lowestString = [](const std::vector<PitchEstimate>& keys) {
        return !keys.empty() && keys.front().key <= densePartialsTopKey;
    };
    const bool lowestStrings =
        lowestString(found) &&
        (ringing || lowestString(estimator.estimate(spectrum, background, options.maxPolyphony)));
    if (lowestStrings ? flatness(spectrum, false) > lowestStringsFlatness
                      : flatness(spectrum, true) > noiseFlatness) {
        nothingHeard();
        return;
    }
    for (const PitchEstimate bass : std::vector<PitchEstimate>(found)) {
        if (bass.key > bassTopKey)
            continue;
        found.erase(std::remove_if(found.begin(), found.end(),
                                   [&](const PitchEstimate& e) {
                                       return e.key - bass.key > partialsAboveBass &&
                                              e.salience < bass.salience * partialSalienceShare;
                                   }),
                    found.end());
    }
    if (found.empty()) {
        nothingHeard();
        return;
    }
    HeardOnset onset;
    onset.onsetMs = ms(pendingOnset);
    onset.reportedMs = ms(written);
    for (const PitchEstimate& e : found) {
        // A key struck again is let go first.
        auto again = std::find_if(held.begin(), held.end(), [&](const Held& h) { return h.key == e.key; });
        if (again != held.end()) {
            events.releases.push_back({onset.onsetMs, e.key});
            held.erase(again);
        }
        onset.keys.push_back(e.key);
        held.push_back({e.key, 0.0});
    }
    events.onsets.push_back(std::move(onset));
}

NoteDetector::NoteDetector(double sampleRate, const DetectorOptions& options)
    : d(std::make_unique<State>(sampleRate, options))
{
}

NoteDetector::~NoteDetector() = default;

double NoteDetector::sampleRate() const
{
    return d->sampleRate;
}

void NoteDetector::feed(const float* samples, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        d->ring[std::size_t(d->written % d->history)] = samples[i];
        ++d->written;
        if (d->written >= d->nextHopAt + d->hop) {
            d->nextHopAt += d->hop;
            d->hopAt(d->written);
        } else if (d->pending && d->written == d->pendingOnset + d->longFrame) {
            d->analysePending();
        }
    }
}

DetectorEvents NoteDetector::takeEvents()
{
    DetectorEvents taken;
    std::swap(taken, d->events);
    return taken;
}

void NoteDetector::reset()
{
    const double rate = d->sampleRate;
    const DetectorOptions options = d->options;
    d = std::make_unique<State>(rate, options);
}

} // namespace Listen

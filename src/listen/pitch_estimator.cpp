#include "listen/pitch_estimator.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace Listen {

namespace {

// Weights of the n-th partial of fundamental f: (f + alpha) / (n·f + beta). They favour low
// partials, and low partials of high notes over those of low notes.
constexpr double partialAlpha = 27.0;
constexpr double partialBeta = 320.0;
// Partials are read up to this frequency; above it a piano's partials are weak and dense.
constexpr double highestPartialHz = 6000.0;
// A key is weighed by its first 40 partials. Its partials are taken out up to the 80th, so that
// the high partials of a bass string (past the 40th, about 1.7 kHz for E1) are not heard as keys
// of their own.
constexpr int weighedPartials = 40;
constexpr int mostPartials = 80;
// The fundamentals of the lowest strings are hardly there, and their second partial often
// outweighs the rest: the key an octave above them may win. When it does, the two are weighed
// again by all their partials up to the 80th, where the lower string's odd partials tell.
constexpr int lowestStringsTopKey = 34; // A#1
// The inharmonicities tried: from none (voices) to that of a short bass string, or of a treble string
// from middle C up (C5 reads 0.0008 on the sampled pianos: its sixth partial stands 1.5 % sharp).
constexpr std::array<double, 6> inharmonicities{0.0, 0.00005, 0.0001, 0.0002, 0.0004, 0.0008};
// The tunings tried around equal temperament at A = 440 Hz, in cents: pianos are stretched
// towards both ends and seldom at exactly 440.
constexpr std::array<double, 3> tuningsCents{-15.0, 0.0, 15.0};
// A partial is looked for this far either side of where it should be, as a share of its
// frequency (a fifth of a semitone), but never less than the window's main lobe.
constexpr double partialReach = 0.012;
// Whitening: each bin is divided by its third-octave surroundings to the power 1 - nu.
constexpr double whiteningNu = 0.6;
// A further key must score this share of the first; one heard mostly in the partials of the keys
// found (less than ownShare of the first's own partials) must score overtoneShare.
constexpr double weakestShare = 0.3;
constexpr double overtoneShare = 0.6;
constexpr double ownShare = 0.2;
// A key a twelfth or two octaves above the first key found has no partial of its own: each lies on
// one of the first key's. It is heard all the same from weakestShare on, as no single key's own
// partials score that much there (0.28 of the key at most a twelfth up, 0.22 two octaves up). An
// octave up, where a single key's even partials often score more, is an overtone as any other.
constexpr std::array<int, 2> hiddenAboveFirst{19, 24};
// A key found may be the octave of the key struck, heard through its even partials: it is taken
// an octave down when the odd partials of the lower key (those no other key found accounts for)
// stand at this share of its even ones; where the key found was itself struck, they read 0.24
// at most. Only above the bass, whose dense partials always fill the gaps.
constexpr double oddPartialsShare = 0.4;
constexpr int lowestOctaveDown = 40; // E2
// Where the other keys found lie on the lower key's odd partials but its fundamental, that alone
// tells: the key is taken an octave down when the lower key's fundamental stands at this share of
// its own. Where the key found was itself struck, the lower fundamental reads 0.51 at most; where
// the lower key was struck instead, mostly 0.6 and more.
constexpr double lowerFundamentalShare = 0.6;
// Below middle C the lower key's fundamental must agree with its odd partials, where no other key
// found lies on it: reading under this share of the key's own, the odd partials were another's
// (a key beside it, or their leakage), and the key found was struck itself. Struck there, the key
// found read 0.37 at most, the lower key 0.45 and more. Higher up, a struck key's fundamental may
// stand under its octave.
constexpr double fundamentalAgreement = 0.4;
constexpr int fundamentalTopKey = 59; // B3
// A key of a close chord may be passed over as an overtone of the others, and the key an octave
// below it found instead, heard through its even partials: where that key's own odd partials (those
// no other key found accounts for) stand under this share of its even ones, it is taken an octave
// up. A key struck reads 0.6 and more there; one heard through the octave above, 0.1 and less.
constexpr double ownOddPartialsShare = 0.3;
// A key found before the key an octave below it may be that key's even partials, heard first
// where the lower string's second partial outweighs its first: with every other key found taken
// out, such a key keeps under this share of the first key's score (0.22 at most over the
// benchmark's chords), where each key of a struck octave keeps 0.32 and more. It is let go.
constexpr double octaveLeftShare = 0.27;
// The first key found takes its lowest partials out with it, and those of a key a semitone or a tone
// beside it, which lie within the window's main lobe of its own. What stands apart of that key's
// partials (above the lobe) is then heard as high keys of their own, each on one partial. When the
// neighbour's partials that stand apart from the first key's read this share of the first key's
// same partials, and a key found lies on one of the neighbour's partials from its third up, the
// keys are searched for again with the neighbour taken second. Where the search went astray so,
// the neighbour read 0.69 and more; a key that was not struck, beside a chord's key, 0.54 at most.
constexpr double neighbourShare = 0.6;
constexpr std::size_t neighbourPartialsRead = 24;
constexpr std::size_t fewestPartialsApart = 4;
// The distance in keys from a note to its 3rd, 4th, 5th, 6th, 7th, 8th, 9th and 10th partials.
constexpr std::array<int, 8> partialSteps{19, 24, 28, 31, 34, 36, 38, 40};
constexpr int oddPartialsRead = 16;
constexpr std::size_t fewestOddPartials = 3;

double keyFrequency(int key, double cents = 0)
{
    return 440.0 * std::pow(2.0, (key - 69 + cents / 100.0) / 12.0);
}

bool hasKey(const std::vector<PitchEstimate>& found, int key)
{
    return std::any_of(found.begin(), found.end(), [key](const PitchEstimate& e) { return e.key == key; });
}

} // namespace

PitchEstimator::PitchEstimator(double sampleRate, std::size_t frameSize, std::size_t fftSize, Window window,
                               int lowestKey, int highestKey)
    : sampleRate(sampleRate), binHz(sampleRate / double(fftSize)),
      lobeBins(mainLobeBins(window) * double(fftSize) / double(frameSize)), lowestKey(lowestKey),
      highestKey(highestKey)
{
}

void PitchEstimator::whiten(std::vector<float>& spectrum) const
{
    // Running sums of the power make each bin's third-octave mean one subtraction.
    std::vector<double> power(spectrum.size() + 1, 0.0);
    for (std::size_t b = 0; b < spectrum.size(); ++b)
        power[b + 1] = power[b] + double(spectrum[b]) * spectrum[b];
    std::vector<float> envelope(spectrum.size(), 0.0f);
    float loudest = 0;
    const double edge = std::pow(2.0, 1.0 / 6.0);
    for (std::size_t b = 1; b < spectrum.size(); ++b) {
        const auto low = std::max<std::size_t>(1, std::size_t(double(b) / edge));
        const auto high = std::min(spectrum.size() - 1, std::max(b + 1, std::size_t(double(b) * edge)));
        envelope[b] = float(std::sqrt((power[high + 1] - power[low]) / double(high + 1 - low)));
        loudest = std::max(loudest, envelope[b]);
    }
    // The floor keeps silent stretches from being raised up to the loudest.
    const float floor = std::max(1e-9f, loudest * 0.01f);
    for (std::size_t b = 0; b < spectrum.size(); ++b)
        spectrum[b] *= float(std::pow(double(std::max(envelope[b], floor)), whiteningNu - 1.0));
}

float PitchEstimator::peakNear(double bin, double reach, double* at) const
{
    const auto last = double(residual.size() - 1);
    const auto low = std::size_t(std::clamp(std::floor(bin - reach), 1.0, last));
    const auto high = std::size_t(std::clamp(std::ceil(bin + reach), 1.0, last));
    float peak = 0;
    std::size_t peakBin = low;
    for (std::size_t b = low; b <= high; ++b) {
        if (residual[b] > peak) {
            peak = residual[b];
            peakBin = b;
        }
    }
    *at = double(peakBin);
    return peak;
}

double PitchEstimator::score(int key, int weighed, std::vector<Partial>* partials, double* ownSalience) const
{
    double best = 0;
    std::vector<Partial> read;
    for (double cents : tuningsCents) {
        const double f0 = keyFrequency(key, cents);
        for (double inharmonicity : inharmonicities) {
            read.clear();
            double sum = 0;
            double own = 0;
            for (int n = 1; n <= mostPartials; ++n) {
                const double f = n * f0 * std::sqrt(1.0 + inharmonicity * n * n);
                if (f > highestPartialHz || f > sampleRate * 0.45)
                    break;
                const double bin = f / binHz;
                double at = bin;
                const float amplitude = peakNear(bin, std::max(1.5, bin * partialReach), &at);
                const double weighted =
                    n > weighed ? 0.0 : (f0 + partialAlpha) / (n * f0 + partialBeta) * amplitude;
                sum += weighted;
                if (!owned(bin, std::max(lobeBins, bin * partialReach)))
                    own += weighted;
                read.push_back({at, amplitude});
            }
            if (sum > best) {
                best = sum;
                *ownSalience = own;
                if (partials)
                    *partials = read;
            }
        }
    }
    return best;
}

bool PitchEstimator::owned(double bin, double reach, std::size_t besides) const
{
    for (std::size_t i = 0; i < foundBins.size(); ++i) {
        if (i == besides)
            continue;
        const auto after = std::lower_bound(foundBins[i].begin(), foundBins[i].end(), bin - reach);
        if (after != foundBins[i].end() && *after <= bin + reach)
            return true;
    }
    return false;
}

std::vector<double> PitchEstimator::binsOf(const std::vector<Partial>& partials)
{
    std::vector<double> bins;
    for (const Partial& partial : partials)
        bins.push_back(partial.bin);
    std::sort(bins.begin(), bins.end());
    return bins;
}

void PitchEstimator::removePartials(const std::vector<Partial>& partials)
{
    foundBins.push_back(binsOf(partials));
    for (std::size_t n = 0; n < partials.size(); ++n) {
        const float amplitude = partials[n].amplitude;
        if (amplitude <= 0)
            continue;
        // The partial's share of the peak: no more than its neighbours' mean, so that what
        // another note adds to a shared partial stays.
        float neighbours = amplitude;
        int count = 1;
        if (n > 0) {
            neighbours += partials[n - 1].amplitude;
            ++count;
        }
        if (n + 1 < partials.size()) {
            neighbours += partials[n + 1].amplitude;
            ++count;
        }
        const float share = std::min(amplitude, neighbours / float(count));
        const float keep = 1.0f - share / amplitude;
        const auto centre = std::ptrdiff_t(partials[n].bin);
        const auto reach = std::ptrdiff_t(std::ceil(lobeBins));
        for (std::ptrdiff_t b = std::max<std::ptrdiff_t>(1, centre - reach);
             b <= std::min<std::ptrdiff_t>(std::ptrdiff_t(residual.size()) - 1, centre + reach); ++b)
            residual[std::size_t(b)] *= keep;
    }
}

double PitchEstimator::oddToEven(int key, std::size_t besides) const
{
    std::vector<Partial> partials;
    double own = 0;
    score(key, weighedPartials, &partials, &own);
    std::vector<float> odd;
    std::vector<float> even;
    for (std::size_t n = 0; n < partials.size() && n < oddPartialsRead; ++n) {
        if (n % 2 == 1)
            even.push_back(partials[n].amplitude);
        else if (!owned(partials[n].bin, std::max(lobeBins, partials[n].bin * partialReach), besides))
            odd.push_back(partials[n].amplitude);
    }
    if (odd.size() < fewestOddPartials || even.size() < 2)
        return -1;
    const auto median = [](std::vector<float>& values) {
        std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
        return values[values.size() / 2];
    };
    return double(median(odd)) / std::max(1e-12, double(median(even)));
}

double PitchEstimator::fundamentalShare(int lower, int key) const
{
    std::vector<Partial> lowerPartials;
    std::vector<Partial> keyPartials;
    double own = 0;
    score(lower, weighedPartials, &lowerPartials, &own);
    score(key, weighedPartials, &keyPartials, &own);
    if (lowerPartials.empty() || keyPartials.empty())
        return -1;
    const double bin = lowerPartials.front().bin;
    if (owned(bin, std::max(lobeBins, bin * partialReach)))
        return -1;
    return double(lowerPartials.front().amplitude) / std::max(1e-12, double(keyPartials.front().amplitude));
}

void PitchEstimator::takeOut(const std::vector<float>& whitened, const Search& search, std::size_t count,
                             std::size_t besides)
{
    residual = whitened;
    foundBins.clear();
    for (std::size_t k = 0; k < count; ++k)
        if (k != besides)
            removePartials(search.partials[k]);
}

bool PitchEstimator::dropOctavesOfLaterKeys(Search& search, const std::vector<float>& whitened)
{
    std::vector<PitchEstimate>& found = search.found;
    std::vector<bool> drop(found.size(), false);
    for (std::size_t i = 0; i < found.size(); ++i) {
        const int lower = found[i].key - 12;
        if (std::none_of(found.begin() + std::ptrdiff_t(i) + 1, found.end(),
                         [lower](const PitchEstimate& e) { return e.key == lower; }))
            continue;
        // What is left of the key once every other key found is taken out, in the order found.
        takeOut(whitened, search, found.size(), i);
        double own = 0;
        drop[i] = score(found[i].key, weighedPartials, nullptr, &own) < search.first * octaveLeftShare;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (drop[i])
            continue;
        if (kept != i) {
            found[kept] = found[i];
            search.partials[kept] = std::move(search.partials[i]);
        }
        ++kept;
    }
    const bool dropped = kept < found.size();
    found.resize(kept);
    search.partials.resize(kept);
    // The octave checks read which partials the keys kept account for.
    foundBins.clear();
    for (const std::vector<Partial>& partials : search.partials)
        foundBins.push_back(binsOf(partials));
    return dropped;
}

void PitchEstimator::search(Search& search, int maxNotes)
{
    std::vector<PitchEstimate>& found = search.found;
    std::vector<Partial> partials;
    std::vector<Partial> bestPartials;
    const auto taken = [&](int key) {
        return hasKey(found, key) ||
               std::find(search.passedOver.begin(), search.passedOver.end(), key) != search.passedOver.end();
    };
    while (int(found.size()) < maxNotes && search.passedOver.size() < 8) {
        PitchEstimate best;
        double bestOwn = 0;
        for (int key = lowestKey; key <= highestKey; ++key) {
            if (taken(key))
                continue;
            double own = 0;
            const double salience = score(key, weighedPartials, &partials, &own);
            if (salience > best.salience) {
                best = {key, salience};
                bestOwn = own;
                bestPartials = partials;
            }
        }
        if (best.salience <= 0)
            break;
        const int lower = best.key - 12;
        if (lower >= lowestKey && lower <= lowestStringsTopKey && !taken(lower)) {
            double lowerOwn = 0;
            double keyOwn = 0;
            const double lowerSalience = score(lower, mostPartials, &partials, &lowerOwn);
            if (lowerSalience > score(best.key, mostPartials, nullptr, &keyOwn)) {
                best = {lower, lowerSalience};
                bestOwn = lowerOwn;
                bestPartials = partials;
            }
        }
        if (found.empty()) {
            search.first = best.salience;
            search.firstOwn = bestOwn;
        } else if (best.salience < search.first * weakestShare) {
            break;
        } else if (best.salience < search.first * overtoneShare && bestOwn < search.firstOwn * ownShare &&
                   std::find(hiddenAboveFirst.begin(), hiddenAboveFirst.end(),
                             best.key - found.front().key) == hiddenAboveFirst.end()) {
            // Heard mostly in partials of the keys found already: an overtone, not a key.
            search.passedOver.push_back(best.key);
            continue;
        }
        found.push_back(best);
        search.partials.push_back(bestPartials);
        removePartials(bestPartials);
    }
}

int PitchEstimator::hiddenNeighbour(const Search& search, const std::vector<float>& whitened)
{
    const std::vector<PitchEstimate>& found = search.found;
    if (found.size() < 2)
        return 0;
    const int firstKey = found.front().key;
    const std::array<int, 4> beside{firstKey - 2, firstKey - 1, firstKey + 1, firstKey + 2};
    // Whether a key found after the first lies on one of key's partials, from the third up.
    const auto onItsPartials = [&](int key) {
        return std::any_of(found.begin() + 1, found.end(), [key](const PitchEstimate& e) {
            return std::find(partialSteps.begin(), partialSteps.end(), e.key - key) != partialSteps.end();
        });
    };
    if (std::none_of(beside.begin(), beside.end(), onItsPartials))
        return 0;
    const std::vector<Partial>& firstPartials = search.partials.front();
    takeOut(whitened, search, 1);
    int neighbour = 0;
    double loudest = neighbourShare;
    std::vector<Partial> partials;
    for (int key : beside) {
        if (key < lowestKey || key > highestKey)
            continue;
        double own = 0;
        score(key, weighedPartials, &partials, &own);
        double apart = 0;
        double firstApart = 0;
        std::size_t count = 0;
        for (std::size_t n = 0; n < std::min({partials.size(), firstPartials.size(), neighbourPartialsRead});
             ++n) {
            if (owned(partials[n].bin, std::max(lobeBins, partials[n].bin * partialReach)))
                continue;
            apart += partials[n].amplitude;
            firstApart += firstPartials[n].amplitude;
            ++count;
        }
        if (count >= fewestPartialsApart && apart >= loudest * firstApart) {
            loudest = apart / firstApart;
            neighbour = key;
        }
    }
    return neighbour != 0 && !hasKey(found, neighbour) && onItsPartials(neighbour) ? neighbour : 0;
}

std::vector<PitchEstimate> PitchEstimator::estimate(const std::vector<float>& magnitude,
                                                    const std::vector<float>& background, int maxNotes)
{
    residual.assign(magnitude.size(), 0.0f);
    for (std::size_t b = 0; b < magnitude.size(); ++b)
        residual[b] = std::max(0.0f, magnitude[b] - (b < background.size() ? background[b] : 0.0f));
    whiten(residual);
    const std::vector<float> whitened = residual;

    foundBins.clear();
    Search heard;
    search(heard, maxNotes);
    if (const int neighbour = hiddenNeighbour(heard, whitened)) {
        // Again, with the neighbour taken second: its partials go out with it.
        takeOut(whitened, heard, 1);
        heard.found.resize(1);
        heard.partials.resize(1);
        heard.passedOver.clear();
        std::vector<Partial> partials;
        double own = 0;
        heard.found.push_back({neighbour, score(neighbour, weighedPartials, &partials, &own)});
        removePartials(partials);
        heard.partials.push_back(std::move(partials));
        search(heard, maxNotes);
    }
    if (dropOctavesOfLaterKeys(heard, whitened)) {
        // What the keys let go took out with their partials may have been another key's: two
        // octaves above the key kept, the octave between them is heard first.
        takeOut(whitened, heard, heard.found.size());
        heard.passedOver.clear();
        search(heard, maxNotes);
        dropOctavesOfLaterKeys(heard, whitened);
    }
    std::vector<PitchEstimate>& found = heard.found;
    const std::vector<int>& passedOver = heard.passedOver;
    // Whether a key was struck an octave lower or higher than found is read in the whole spectrum.
    residual = whitened;
    for (std::size_t i = 0; i < found.size(); ++i) {
        PitchEstimate& e = found[i];
        const int lower = e.key - 12;
        const int upper = e.key + 12;
        bool down = false;
        if (lower >= std::max(lowestKey, lowestOctaveDown) && !hasKey(found, lower)) {
            const double odd = oddToEven(lower, found.size());
            const double fundamental = fundamentalShare(lower, e.key);
            down = odd < 0 ? fundamental >= lowerFundamentalShare
                           : odd >= oddPartialsShare && (lower > fundamentalTopKey || fundamental < 0 ||
                                                         fundamental >= fundamentalAgreement);
        }
        if (down) {
            e.key = lower;
        } else if (i > 0 && upper <= highestKey && !hasKey(found, upper) &&
                   std::find(passedOver.begin(), passedOver.end(), upper) != passedOver.end()) {
            const double ratio = oddToEven(e.key, i);
            if (ratio >= 0 && ratio < ownOddPartialsShare)
                e.key = upper;
        }
    }
    std::sort(found.begin(), found.end(), [](const PitchEstimate& a, const PitchEstimate& b) { return a.key < b.key; });
    return found;
}

} // namespace Listen

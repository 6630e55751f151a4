#pragma once
// Names the keys sounding in one long frame of piano sound, up to a few at once.
//
// Each key is scored by the sum of its partials' magnitudes, read where a piano string puts them:
// the n-th partial of a string of fundamental f sits at n·f·sqrt(1 + B·n²), sharper the higher it
// goes, with B (the string's inharmonicity) unknown and searched for. Low partials weigh more than
// high ones, so a note's octave above (which owns only every second partial) scores less than the
// note itself, and a bass note whose fundamental is hardly there is still heard through the
// partials above it. The best-scoring key is taken, its partials are taken out of the spectrum, and
// the rest is scored again, until what remains is too weak beside the first key. Only what a
// partial stands above its smoothed neighbours is taken out, so a partial that two notes share is
// left for the second. A key a semitone or a tone beside the first loses its lowest partials with
// the first's; when its higher partials were heard as keys of their own, the search starts again
// with it taken second. A key heard mostly in the partials of the keys found is passed over as
// their overtone, unless it lies a twelfth or two octaves above the first key, where a single key's
// own partials score too little to pass for a key. A key found whose octave below shows its odd
// partials as well (below middle C, its fundamental too; where the other keys lie on those odd
// partials, its fundamental alone) is taken for that lower key, heard through its even partials;
// one whose own odd partials are hardly there, and whose octave above was passed over as an
// overtone of the others, is taken for that upper key. A key found before the key an octave below
// it, that keeps little once the other keys found are taken out, was that lower key's even
// partials, heard first: it is let go, and the keys its partials hid are searched for again.

#include "listen/spectrum_analyser.h"

#include <cstddef>
#include <vector>

namespace Listen {

struct PitchEstimate
{
    int key = 0;
    double salience = 0;
};

class PitchEstimator
{
public:
    // The frame's spectrum comes through `window`: its main lobe tells how close two partials may
    // lie and still be told apart.
    PitchEstimator(double sampleRate, std::size_t frameSize, std::size_t fftSize, Window window,
                   int lowestKey, int highestKey);

    // magnitude: the frame's spectrum; background: the spectrum of what was already sounding
    // before (noise, a note still ringing), taken out first. Both of fftSize/2+1 bins.
    std::vector<PitchEstimate> estimate(const std::vector<float>& magnitude, const std::vector<float>& background,
                                        int maxNotes);

private:
    struct Partial
    {
        double bin = 0;
        float amplitude = 0;
    };
    // The best reading of key's partials in residual over the tunings and inharmonicities tried,
    // weighing its first `weighed` partials.
    double score(int key, int weighed, std::vector<Partial>* partials, double* ownSalience) const;
    // The median of key's odd partials over the median of its even ones, read in residual; odd
    // partials on which a partial of a key found lies are left out, but for the found key
    // `besides`. Negative when too few odd partials are left to tell.
    double oddToEven(int key, std::size_t besides) const;
    // The fundamental of `lower` over that of `key`, read in residual; negative where a partial of a
    // key found lies on the lower fundamental.
    double fundamentalShare(int lower, int key) const;
    // Whether a partial of a note found already (but the one found `besides`-th) lies within
    // reach of bin.
    bool owned(double bin, double reach, std::size_t besides = std::size_t(-1)) const;
    // The keys found so far, strongest first.
    struct Search
    {
        std::vector<PitchEstimate> found;
        std::vector<std::vector<Partial>> partials; // of each key found, as it was taken out
        std::vector<int> passedOver;                // keys heard only as overtones of keys found
        double first = 0;                           // the first key's score
        double firstOwn = 0;                        // and that of its partials no other key owns
    };
    // Finds further keys in residual, strongest first, taking each one's partials out.
    void search(Search& search, int maxNotes);
    // A key a semitone or a tone beside the first key found that was heard only through its high
    // partials, as keys of their own; 0 when there is none. Reads whitened with the first key taken out.
    int hiddenNeighbour(const Search& search, const std::vector<float>& whitened);
    // Starts again from whitened, with the partials of the first `count` keys found taken out but
    // those of the `besides`-th.
    void takeOut(const std::vector<float>& whitened, const Search& search, std::size_t count,
                 std::size_t besides = std::size_t(-1));
    // Lets go of each key found before the key an octave below it that is hardly more than that
    // key's even partials: scored alone, with the other keys found taken out of whitened. True when
    // it let go of any.
    bool dropOctavesOfLaterKeys(Search& search, const std::vector<float>& whitened);
    void whiten(std::vector<float>& spectrum) const;
    static std::vector<double> binsOf(const std::vector<Partial>& partials); // rising
    void removePartials(const std::vector<Partial>& partials);
    float peakNear(double bin, double reach, double* at) const;

    double sampleRate;
    double binHz;
    double lobeBins; // half the width of the window's main lobe, in bins
    int lowestKey;
    int highestKey;
    std::vector<float> residual;
    std::vector<std::vector<double>> foundBins; // the partials of each note found so far, rising
};

} // namespace Listen

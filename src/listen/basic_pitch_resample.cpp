#include "listen/basic_pitch_resample.h"

#include <algorithm>
#include <cmath>

namespace Listen {

namespace {

// Zero crossings of the sinc on each side of its centre, and table steps between two of them:
// plenty for a network that reads magnitudes in third-of-a-semitone bins.
constexpr int zeroCrossings = 16;
constexpr int stepsPerCrossing = 512;
constexpr double kaiserBeta = 8.0;

double besselI0(double x)
{
    double sum = 1, term = 1;
    for (int k = 1; k < 50 && term > 1e-12 * sum; ++k) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
    }
    return sum;
}

} // namespace

std::vector<float> resampleSound(const float* samples, std::size_t count, double fromRate, double toRate)
{
    if (count == 0 || fromRate <= 0 || toRate <= 0)
        return {};
    if (fromRate == toRate)
        return std::vector<float>(samples, samples + count);

    // Going down, the cutoff falls below the new Nyquist frequency (a little under it, so that
    // the transition band lies in what is taken away); going up, the old one bounds it.
    const double step = fromRate / toRate; // input samples per output sample
    const double cutoff = 0.95 * std::min(1.0, 1.0 / step);
    const double halfWidth = zeroCrossings / cutoff; // in input samples

    // One side of the kernel, cutoff·sinc(cutoff·x)·kaiser(x), in steps of a table position.
    const int tableSize = zeroCrossings * stepsPerCrossing + 2;
    std::vector<float> table(std::size_t(tableSize), 0.0f);
    const double i0Beta = besselI0(kaiserBeta);
    for (int i = 0; i < tableSize; ++i) {
        const double crossing = double(i) / stepsPerCrossing; // x·cutoff
        const double r = crossing / zeroCrossings;
        if (r >= 1)
            break;
        const double sinc = crossing == 0 ? 1.0 : std::sin(M_PI * crossing) / (M_PI * crossing);
        table[std::size_t(i)] = float(cutoff * sinc * besselI0(kaiserBeta * std::sqrt(1 - r * r)) / i0Beta);
    }
    const auto kernel = [&](double x) {
        const double at = std::fabs(x) * cutoff * stepsPerCrossing;
        const int index = int(at);
        if (index + 1 >= tableSize)
            return 0.0f;
        const float frac = float(at - index);
        return table[std::size_t(index)] + frac * (table[std::size_t(index) + 1] - table[std::size_t(index)]);
    };

    const auto outCount = std::size_t(std::floor(double(count) / step));
    std::vector<float> out(outCount);
    const long last = long(count) - 1;
    for (std::size_t n = 0; n < outCount; ++n) {
        const double centre = double(n) * step;
        const long first = std::max(0L, long(std::ceil(centre - halfWidth)));
        const long end = std::min(last, long(std::floor(centre + halfWidth)));
        float sum = 0;
        for (long k = first; k <= end; ++k)
            sum += samples[k] * kernel(centre - double(k));
        out[n] = sum;
    }
    return out;
}

} // namespace Listen

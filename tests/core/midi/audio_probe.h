#pragma once
// Listening to the built-in synthesizer in tests: offline rendering in device-sized blocks, the
// loudest sample, and the fundamental frequency of what sounds.

#include "core/midi/synthesizer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace AudioProbe {

constexpr int Rate = 48000;

struct Audio
{
    std::vector<float> left, right;
    int Frames() const { return int(left.size()); }
};

inline Audio Render(Core::Synthesizer& synth, double seconds)
{
    Audio audio;
    const int frames = int(seconds * Rate);
    audio.left.resize(size_t(frames));
    audio.right.resize(size_t(frames));
    // In blocks, as an audio device would ask for them.
    for (int at = 0; at < frames; at += 64) {
        const int n = std::min(64, frames - at);
        synth.Render(audio.left.data() + at, audio.right.data() + at, n);
    }
    return audio;
}

inline double Peak(const Audio& audio, int from = 0, int to = -1)
{
    if (to < 0)
        to = audio.Frames();
    double peak = 0;
    for (int i = from; i < to; ++i)
        peak = std::max({peak, double(std::fabs(audio.left[size_t(i)])), double(std::fabs(audio.right[size_t(i)]))});
    return peak;
}

// Fundamental frequency by autocorrelation of the left channel over [from, from + length):
// the first lag whose correlation comes close to the best one, refined by a parabola.
inline double Fundamental(const std::vector<float>& x, int from, int length, double minHz = 50, double maxHz = 2000)
{
    const int minLag = int(Rate / maxHz), maxLag = int(Rate / minHz);
    std::vector<double> r(size_t(maxLag + 2), 0.0);
    for (int lag = minLag - 1; lag <= maxLag + 1; ++lag) {
        double sum = 0, e1 = 0, e2 = 0;
        for (int i = from; i < from + length; ++i) {
            sum += double(x[size_t(i)]) * x[size_t(i + lag)];
            e1 += double(x[size_t(i)]) * x[size_t(i)];
            e2 += double(x[size_t(i + lag)]) * x[size_t(i + lag)];
        }
        r[size_t(lag)] = sum / std::sqrt(e1 * e2 + 1e-30);
    }
    double best = 0;
    for (int lag = minLag; lag <= maxLag; ++lag)
        best = std::max(best, r[size_t(lag)]);
    for (int lag = minLag; lag <= maxLag; ++lag) {
        const double y0 = r[size_t(lag - 1)], y1 = r[size_t(lag)], y2 = r[size_t(lag + 1)];
        if (y1 >= 0.9 * best && y1 >= y0 && y1 >= y2) {
            const double shift = 0.5 * (y0 - y2) / (y0 - 2 * y1 + y2);
            return Rate / (lag + shift);
        }
    }
    return 0;
}

inline double NoteFrequency(int midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

} // namespace AudioProbe

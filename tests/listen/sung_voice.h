#pragma once
// A singing voice for tests: a wavering fundamental with its falling harmonics and a little
// breath, each note faded in and out, a breath of pause between notes.

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace SungVoice {

struct Note
{
    double key = 60;      // the pitch sung, as a fractional MIDI key
    double seconds = 0.5; // how long it is held
    double vibratoCents = 30;
};

inline std::vector<float> Sing(const std::vector<Note>& notes, double rate, float breath = 0.002f,
                               double leadSeconds = 0.3)
{
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    std::vector<float> sound(std::size_t(rate * leadSeconds), 0.0f);
    for (const Note& note : notes) {
        double phase = 0;
        const auto count = std::size_t(rate * note.seconds);
        for (std::size_t i = 0; i < count; ++i) {
            const double t = double(i) / rate;
            const double cents = note.vibratoCents * std::sin(2 * M_PI * 5.5 * t);
            phase += 2 * M_PI * 440.0 * std::pow(2.0, (note.key - 69 + cents / 100.0) / 12.0) / rate;
            const double fade = std::min({1.0, t / 0.03, (note.seconds - t) / 0.03});
            double value = 0;
            for (int n = 1; n <= 8; ++n)
                value += std::sin(n * phase) / (n * n);
            sound.push_back(float(0.2 * fade * value) + breath * noise(random));
        }
        for (int i = 0; i < int(rate * 0.15); ++i)
            sound.push_back(breath * noise(random));
    }
    sound.resize(sound.size() + std::size_t(rate * 0.3), 0.0f);
    return sound;
}

} // namespace SungVoice

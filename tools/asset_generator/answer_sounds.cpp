// The two answer sounds, synthesised: a short bright chime for a right answer and a soft low
// tone for a wrong one. 44.1 kHz, 16-bit PCM, stereo WAV images.

#include "asset_book.h"
#include "pictures.h"

#include <QByteArray>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int sampleRate = 44100;
constexpr double pi = 3.14159265358979323846;

struct Stereo
{
    std::vector<double> left, right;
    explicit Stereo(double seconds) : left(size_t(seconds * sampleRate)), right(left.size()) {}
};

// A struck bell-like voice: a few partials, each dying away at its own rate.
void Strike(Stereo& out, double start, double frequency, double gain, double pan)
{
    const struct
    {
        double ratio, level, decay;
    } partials[] = {{1.0, 1.0, 0.20}, {2.0, 0.42, 0.12}, {3.0, 0.16, 0.08}, {4.16, 0.10, 0.05}};
    const size_t first = size_t(start * sampleRate);
    const double leftGain = gain * std::cos((pan + 1) * pi / 4), rightGain = gain * std::sin((pan + 1) * pi / 4);
    for (size_t i = first; i < out.left.size(); ++i) {
        const double t = double(i - first) / sampleRate;
        const double attack = std::min(1.0, t / 0.004);
        double value = 0.0;
        for (const auto& partial : partials)
            value += partial.level * std::exp(-t / partial.decay) * std::sin(2 * pi * frequency * partial.ratio * t);
        out.left[i] += leftGain * attack * value;
        out.right[i] += rightGain * attack * value;
    }
}

// Normalises to `peak`, fades the last `fade` seconds to silence and writes the WAV image.
QByteArray Wav(Stereo sound, double peak, double fade)
{
    const size_t frames = sound.left.size();
    const size_t fadeFrames = size_t(fade * sampleRate);
    for (size_t i = frames - fadeFrames; i < frames; ++i) {
        const double g = double(frames - 1 - i) / double(fadeFrames);
        sound.left[i] *= g * g;
        sound.right[i] *= g * g;
    }
    double loudest = 1e-9;
    for (size_t i = 0; i < frames; ++i)
        loudest = std::max({loudest, std::abs(sound.left[i]), std::abs(sound.right[i])});
    const double scale = peak * 32767.0 / loudest;

    const quint32 dataBytes = quint32(frames * 4);
    QByteArray wav;
    wav.reserve(int(44 + dataBytes));
    auto put32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    auto put16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    put32(36 + dataBytes);
    wav.append("WAVE");
    wav.append("fmt ");
    put32(16);
    put16(1); // PCM
    put16(2); // channels
    put32(sampleRate);
    put32(sampleRate * 4); // bytes per second
    put16(4);              // bytes per frame
    put16(16);             // bits per sample
    wav.append("data");
    put32(dataBytes);
    for (size_t i = 0; i < frames; ++i) {
        put16(quint16(qint16(std::lround(sound.left[i] * scale))));
        put16(quint16(qint16(std::lround(sound.right[i] * scale))));
    }
    return wav;
}

QByteArray RightSound()
{
    Stereo sound(0.6);
    // A rising major third and fifth: E6, then G#6 and B6 a moment later.
    Strike(sound, 0.0, 1318.51, 0.9, -0.25);
    Strike(sound, 0.07, 1661.22, 0.7, 0.1);
    Strike(sound, 0.14, 1975.53, 0.8, 0.3);
    return Wav(std::move(sound), 0.7, 0.05);
}

QByteArray WrongSound()
{
    Stereo sound(1.5);
    // Two soft voices a little apart in pitch, sliding gently down: a low, muted "mm-mm".
    const size_t frames = sound.left.size();
    double phaseA = 0, phaseB = 0;
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / sampleRate;
        const double glide = 1.0 - 0.06 * std::min(1.0, t / 1.2);
        phaseA += 2 * pi * 146.83 * glide / sampleRate;
        phaseB += 2 * pi * 138.59 * glide / sampleRate;
        const double envelope = std::min(1.0, t / 0.04) * std::exp(-t / 0.7);
        const double a = std::sin(phaseA) + 0.28 * std::sin(2 * phaseA) + 0.08 * std::sin(3 * phaseA);
        const double b = std::sin(phaseB) + 0.22 * std::sin(2 * phaseB);
        sound.left[i] = envelope * (0.6 * a + 0.4 * b);
        sound.right[i] = envelope * (0.4 * a + 0.6 * b);
    }
    return Wav(std::move(sound), 0.55, 0.12);
}

} // namespace

void AddAnswerSounds(AssetBook& book)
{
    book.AddFile(QStringLiteral("wav/right.wav"), RightSound());
    book.AddFile(QStringLiteral("wav/wrong.wav"), WrongSound());
}

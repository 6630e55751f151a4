#include "core/midi/au_server_synth.h"

#include "core/midi/sound_clip.h"

#include <QLoggingCategory>
#include <QtEndian>

#include <cmath>
#include <cstring>

Q_LOGGING_CATEGORY(soundLog, "cantorela.sound", QtInfoMsg)

namespace Core {
namespace {

struct WavFormat
{
    int encoding = 0; // 1 integer PCM, 3 float
    int channels = 0;
    int rate = 0;
    int bits = 0;
};

double Sample(const uchar* p, const WavFormat& f)
{
    if (f.encoding == 3 && f.bits == 32) {
        float value;
        const quint32 raw = qFromLittleEndian<quint32>(p);
        std::memcpy(&value, &raw, sizeof value);
        return std::isfinite(value) ? value : 0.0;
    }
    switch (f.bits) {
    case 8:
        return (int(p[0]) - 128) / 128.0;
    case 16:
        return qFromLittleEndian<qint16>(p) / 32768.0;
    case 24: {
        qint32 v = p[0] | (p[1] << 8) | (p[2] << 16);
        if (v & 0x800000)
            v -= 0x1000000;
        return v / 8388608.0;
    }
    case 32:
        return qFromLittleEndian<qint32>(p) / 2147483648.0;
    default:
        return 0.0;
    }
}

} // namespace

AuServerSynth::AuServerSynth(std::shared_ptr<Synthesizer> synth) : synthesizer(std::move(synth)) {}

void AuServerSynth::Play(SoundClip& clip)
{
    if (!synthesizer)
        return;
    std::shared_ptr<const Synthesizer::Clip> audio = Decode(clip.Data(), synthesizer->SampleRate());
    if (!audio) {
        // Like the platform call given an unreadable image: nothing plays, the previous sound stops.
        qCDebug(soundLog, "%s is not a WAV sound we can play", qPrintable(clip.Path()));
        synthesizer->StopClip();
        return;
    }
    synthesizer->PlayClip(std::move(audio));
}

void AuServerSynth::Stop()
{
    if (synthesizer)
        synthesizer->StopClip();
}

std::shared_ptr<const Synthesizer::Clip> AuServerSynth::Decode(const QByteArray& wav, int rate)
{
    const auto* bytes = reinterpret_cast<const uchar*>(wav.constData());
    const qint64 size = wav.size();
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0 || rate <= 0)
        return nullptr;

    WavFormat format;
    const uchar* data = nullptr;
    qint64 dataSize = 0;
    for (qint64 at = 12; at + 8 <= size;) {
        const quint32 chunkSize = qFromLittleEndian<quint32>(bytes + at + 4);
        const qint64 body = at + 8;
        const qint64 available = std::min<qint64>(chunkSize, size - body);
        if (std::memcmp(bytes + at, "fmt ", 4) == 0 && available >= 16) {
            format.encoding = qFromLittleEndian<quint16>(bytes + body);
            format.channels = qFromLittleEndian<quint16>(bytes + body + 2);
            format.rate = int(qFromLittleEndian<quint32>(bytes + body + 4));
            format.bits = qFromLittleEndian<quint16>(bytes + body + 14);
            if (format.encoding == 0xFFFE && available >= 26) // extensible: the sub-format decides
                format.encoding = qFromLittleEndian<quint16>(bytes + body + 24);
        } else if (std::memcmp(bytes + at, "data", 4) == 0) {
            data = bytes + body;
            dataSize = available; // a truncated file plays what it has
        }
        at = body + qint64(chunkSize) + (chunkSize & 1);
    }
    const bool integer = format.encoding == 1 && (format.bits == 8 || format.bits == 16 || format.bits == 24 || format.bits == 32);
    const bool floating = format.encoding == 3 && format.bits == 32;
    if (!data || !(integer || floating) || format.channels < 1 || format.channels > 8 || format.rate < 1000 ||
        format.rate > 384000)
        return nullptr;

    const int frameBytes = format.channels * format.bits / 8;
    const qint64 inFrames = dataSize / frameBytes;
    auto clip = std::make_shared<Synthesizer::Clip>();
    if (inFrames == 0)
        return clip;
    auto channelAt = [&](qint64 frame, int channel) {
        frame = std::clamp<qint64>(frame, 0, inFrames - 1);
        channel = std::min(channel, format.channels - 1);
        return Sample(data + frame * frameBytes + channel * (format.bits / 8), format);
    };
    // Linear interpolation to the output rate; mono goes to both sides.
    const double step = double(format.rate) / rate;
    const qint64 outFrames = qint64(std::floor((inFrames - 1) / step)) + 1;
    clip->resize(int(outFrames * 2));
    float* out = clip->data();
    for (qint64 i = 0; i < outFrames; ++i) {
        const double position = i * step;
        const qint64 first = qint64(position);
        const double fraction = position - double(first);
        for (int c = 0; c < 2; ++c) {
            const double a = channelAt(first, c);
            const double b = channelAt(first + 1, c);
            out[2 * i + c] = float(a + (b - a) * fraction);
        }
    }
    return clip;
}

} // namespace Core

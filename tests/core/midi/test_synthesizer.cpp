// The built-in synthesizer rendered offline with the system's General MIDI soundfont, checked by
// listening to the samples; the answer sounds mixed in, from WAV images at the decoder's edges.

#include "../../common/file_bytes.h"
#include "audio_probe.h"
#include "core/midi/au_server_synth.h"
#include "core/midi/instrument_list.h"
#include "core/midi/midi_out_synth_device.h"
#include "core/midi/sound_clip.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace Core;
using namespace AudioProbe;

namespace {

// `value` in `bytes` bytes, little-endian.
QByteArray Le(qint64 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
    return out;
}

// A WAV image: `channels` channels of a sine at `hz`, `bits` per sample (32 with encoding 3: float).
QByteArray MakeWav(double hz, int rate, int channels, int bits, double seconds, int encoding = 1)
{
    QByteArray samples;
    for (int i = 0; i < int(seconds * rate); ++i) {
        const double v = 0.5 * std::sin(2 * M_PI * hz * i / rate);
        const float f = float(v);
        for (int c = 0; c < channels; ++c)
            samples += encoding == 3 ? QByteArray(reinterpret_cast<const char*>(&f), 4)
                                     : Le(bits == 8 ? 128 + qint64(v * 127)
                                                    : qint64(v * double((qint64(1) << (bits - 1)) - 1)),
                                          bits / 8);
    }
    return "RIFF" + Le(36 + samples.size(), 4) + "WAVEfmt " + Le(16, 4) + Le(encoding, 2) + Le(channels, 2) +
           Le(rate, 4) + Le(rate * channels * bits / 8, 4) + Le(channels * bits / 8, 2) + Le(bits, 2) +
           "data" + Le(samples.size(), 4) + samples;
}

double DistanceOfLeft(const Audio& a, const Audio& b)
{
    double d = 0, e = 0;
    for (int i = 0; i < a.Frames(); ++i) {
        d += std::pow(a.left[size_t(i)] - b.left[size_t(i)], 2);
        e += std::pow(a.left[size_t(i)], 2);
    }
    return d / (e + 1e-30);
}

bool NearA4(const Audio& audio)
{
    const double hz = Fundamental(audio.left, Rate / 5, Rate / 5);
    return std::fabs(hz - 440.0) <= 4.4;
}

} // namespace

class TestSynthesizer : public QObject
{
    Q_OBJECT

    std::shared_ptr<Synthesizer> synth;

private Q_SLOTS:
    void initTestCase()
    {
        Synthesizer::Options options;
        options.audioOutput = false;
        options.sampleRate = Rate;
        synth = std::make_shared<Synthesizer>(options);
        QVERIFY2(synth->WaitForSoundFont(60000), "a General MIDI soundfont is installed by scripts/setup.sh");
    }

    void init()
    {
        MidiOutSynthDevice(synth).Reset();
        synth->StopClip();
        Render(*synth, 0.1);
    }

    void resetSilencesWithin50msAndProgramChangesMapTheList()
    {
        MidiOutSynthDevice device(synth);
        device.Send(InstrumentList::ProgramChange(8)); // drawbar organ: sounds as long as held
        device.Send(MidiMessage(0x90, 0, 60, 127));
        device.Send(MidiMessage(0x90, 0, 64, 127));
        device.Send(MidiMessage(0xB0, 0, 64, 127)); // sustain pedal down
        QVERIFY(Peak(Render(*synth, 0.3), Rate / 5) > 0.02);
        device.Reset();
        const double tail = Peak(Render(*synth, 0.3), Rate / 20); // from 50 ms on
        QVERIFY2(tail < 1e-4, qPrintable(QString::number(tail)));

        // Notes behind a program change still loading its instrument are silenced as well.
        device.Send(MidiMessage(0xC0, 0, 73)); // flute, not heard yet in this run
        device.Send(MidiMessage(0x90, 0, 72, 127));
        device.Reset();
        const double pending = Peak(Render(*synth, 0.3), Rate / 20);
        QVERIFY2(pending < 1e-4, qPrintable(QString::number(pending)));
        // The program change itself took effect: the next note is a flute's A4.
        device.Send(MidiMessage(0x90, 0, 69, 100));
        const Audio flute = Render(*synth, 0.5);
        QVERIFY(Peak(flute) > 0.01 && NearA4(flute));

        // List position 21, the violin, sounds like General MIDI program 40, not 21 (an accordion).
        // Outside the list, the grand piano.
        for (int position : {-1, InstrumentList::Count})
            QCOMPARE(InstrumentList::ProgramChange(position, 3), MidiMessage(0xC0, 3, 0));
        auto renderProgram = [&](const MidiMessage& programChange) {
            MidiOutSynthDevice device(synth);
            device.Reset();
            Render(*synth, 0.05);
            device.Send(programChange);
            device.Send(MidiMessage(0x90, 0, 69, 100));
            Audio audio = Render(*synth, 0.5);
            device.Reset();
            Render(*synth, 0.05); // with the one above, keeps every note on the same frame of a block
            return audio;
        };
        const Audio mapped = renderProgram(InstrumentList::ProgramChange(21));
        QVERIFY(Peak(mapped) > 0.01 && NearA4(mapped));
        const double violin = DistanceOfLeft(mapped, renderProgram(MidiMessage(0xC0, 0, 40)));
        QVERIFY2(violin < 0.01, qPrintable(QString::number(violin)));
        QVERIFY(DistanceOfLeft(mapped, renderProgram(MidiMessage(0xC0, 0, 21))) > 0.5);
        QVERIFY(DistanceOfLeft(mapped, renderProgram(MidiMessage(0xC0, 0, 0))) > 0.5);
    }

    void wavDecoding_data()
    {
        QTest::addColumn<QByteArray>("wav");
        QTest::addColumn<double>("seconds"); // negative: refused
        const QByteArray mono = MakeWav(250, 48000, 1, 16, 0.1);
        QTest::newRow("16-bit mono 22050") << MakeWav(250, 22050, 1, 16, 0.2) << 0.2;
        QTest::newRow("8-bit mono 8000") << MakeWav(250, 8000, 1, 8, 0.1) << 0.1;
        QTest::newRow("24-bit stereo 48000") << MakeWav(250, 48000, 2, 24, 0.1) << 0.1;
        QTest::newRow("32-bit stereo 44100") << MakeWav(250, 44100, 2, 32, 0.1) << 0.1;
        QTest::newRow("float stereo 44100") << MakeWav(250, 44100, 2, 32, 0.1, 3) << 0.1;
        QTest::newRow("8 channels, the most") << MakeWav(250, 8000, 8, 16, 0.1) << 0.1;
        QTest::newRow("9 channels") << MakeWav(250, 8000, 9, 16, 0.1) << -1.0;
        QTest::newRow("rate 1000, the lowest") << MakeWav(250, 1000, 1, 16, 0.1) << 0.1;
        QTest::newRow("rate 999") << MakeWav(250, 999, 1, 16, 0.1) << -1.0;
        QTest::newRow("rate 384000, the highest") << MakeWav(250, 384000, 1, 16, 0.1) << 0.1;
        QTest::newRow("rate 384001") << MakeWav(250, 384001, 1, 16, 0.1) << -1.0;
        // The format chunk says 15 bytes: the data chunk still follows at the padded offset.
        QTest::newRow("format chunk one byte short") << QByteArray(mono).replace(16, 1, "\x0f") << -1.0;
        QTest::newRow("data one byte past the end") << mono.chopped(1) << 0.1;
        QTest::newRow("data cut in half") << mono.left(44 + 4800) << 0.05;
        QTest::newRow("12-bit samples") << QByteArray(mono).replace(34, 1, "\x0c") << -1.0;
        QTest::newRow("header only") << mono.left(20) << -1.0;
        QTest::newRow("not a WAV") << QByteArray("MThd\0\0\0\x06", 8) << -1.0;
        QTest::newRow("empty") << QByteArray() << -1.0;
    }
    void wavDecoding()
    {
        QFETCH(QByteArray, wav);
        QFETCH(double, seconds);
        const auto clip = AuServerSynth::Decode(wav, Rate);
        QCOMPARE(clip != nullptr, seconds > 0);
        if (!clip)
            return;
        QVERIFY(std::fabs(clip->size() / 2 - seconds * Rate) <= Rate / 500);
        std::vector<float> left;
        for (int i = 0; i < clip->size(); i += 2)
            left.push_back((*clip)[i]);
        const double hz = Fundamental(left, 0, int(left.size()) / 2, 100, 4000);
        QVERIFY2(std::fabs(hz - 250) < 3, qPrintable(QString::number(hz)));
    }

    // Playing one clip and at once another: only the second is heard; Stop and destroying the
    // clip silence it; a clip plays to its last frame and stops there by itself.
    void answerSounds()
    {
        AuServerSynth server(synth);
        QCOMPARE(AuServer::Current(), static_cast<AuServer*>(&server));
        {
            SoundClip right(MakeWav(500, 22050, 1, 16, 0.5), QStringLiteral("right"));
            SoundClip wrong(MakeWav(1500, 44100, 2, 16, 0.5), QStringLiteral("wrong"));
            right.Play();
            wrong.Play();
            QVERIFY(synth->IsClipPlaying());
            const Audio heard = Render(*synth, 0.2);
            const double hz = Fundamental(heard.left, 0, Rate / 20, 200, 4000);
            QVERIFY2(std::fabs(hz - 1500) < 15, qPrintable(QString::number(hz)));
            QVERIFY(Peak(heard) > 0.4);
            server.Stop();
            QVERIFY(!synth->IsClipPlaying());
            QVERIFY(Peak(Render(*synth, 0.05)) < 1e-6);
            right.Play();
            QVERIFY(Peak(Render(*synth, 0.05)) > 0.4);
        } // both clips destroyed: the sound stops
        QVERIFY(!synth->IsClipPlaying());
        QVERIFY(Peak(Render(*synth, 0.05)) < 1e-6);

        // A clip that could not be read plays nothing and stops what played.
        SoundClip fine(MakeWav(500, 48000, 1, 16, 0.05), QStringLiteral("fine"));
        SoundClip missing(QStringLiteral("/nonexistent/right.wav"));
        QVERIFY(missing.Data().isEmpty());
        fine.Play();
        missing.Play();
        QVERIFY(!synth->IsClipPlaying());

        fine.Play(); // 2400 frames at the output rate
        const Audio all = Render(*synth, 0.1);
        QVERIFY(Peak(all, 2400 - 48, 2400) > 0.1);
        QVERIFY(Peak(all, 2400) < 1e-6);
        QVERIFY(!synth->IsClipPlaying());
    }

    // A soundfont setting that names no usable file falls back to the system's soundfont.
    void soundFontFallback_data()
    {
        QTest::addColumn<QByteArray>("contents"); // null: no such file
        QTest::newRow("missing file") << QByteArray();
        QTest::newRow("not a soundfont") << QByteArray("RIFF\x04\0\0\0sfbk", 12);
    }
    void soundFontFallback()
    {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        Synthesizer::Options options;
        options.audioOutput = false;
        options.soundFont = dir.filePath(QStringLiteral("piano.sf2"));
        QVERIFY(contents.isNull() || WriteAll(options.soundFont, contents));
        QCOMPARE(Synthesizer::SoundFontCandidates(options.soundFont).first(), options.soundFont);
        Synthesizer fallback(options);
        QVERIFY(fallback.WaitForSoundFont(60000));
        QCOMPARE(fallback.SoundFontPath(), synth->SoundFontPath());
    }
};

QTEST_GUILESS_MAIN(TestSynthesizer)
#include "test_synthesizer.moc"

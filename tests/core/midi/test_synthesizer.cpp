// The built-in synthesizer rendered offline with the system's General MIDI soundfont: what it
// plays is checked by listening to the samples (pitch, silence, instrument), and the answer
// sounds mixed into its output.

#include "core/midi/au_server_synth.h"
#include "core/midi/instrument_list.h"
#include "core/midi/midi_out_synth_device.h"
#include "core/midi/sound_clip.h"
#include "audio_probe.h"

#include <QtEndian>
#include <QtTest>

#include <cmath>

using namespace Core;
using namespace AudioProbe;

namespace {

std::shared_ptr<Synthesizer> OfflineSynth()
{
    Synthesizer::Options options;
    options.audioOutput = false;
    options.sampleRate = Rate;
    auto synth = std::make_shared<Synthesizer>(options);
    return synth;
}

// A WAV image: `channels` channels of a sine at `hz`, at `rate`, `bits` per sample.
QByteArray MakeWav(double hz, int rate, int channels, int bits, double seconds, int encoding = 1)
{
    const int frames = int(seconds * rate);
    QByteArray samples;
    for (int i = 0; i < frames; ++i) {
        const double v = 0.5 * std::sin(2 * M_PI * hz * i / rate);
        for (int c = 0; c < channels; ++c) {
            if (encoding == 3) {
                const float f = float(v);
                samples.append(reinterpret_cast<const char*>(&f), 4);
            } else if (bits == 8) {
                samples.append(char(quint8(128 + int(v * 127))));
            } else if (bits == 16) {
                const qint16 s = qToLittleEndian(qint16(v * 32767));
                samples.append(reinterpret_cast<const char*>(&s), 2);
            } else if (bits == 24) {
                const qint32 s = qint32(v * 8388607);
                samples.append(char(s & 0xFF)).append(char((s >> 8) & 0xFF)).append(char((s >> 16) & 0xFF));
            }
        }
    }
    QByteArray wav("RIFF");
    auto u32 = [](quint32 v) { v = qToLittleEndian(v); return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](quint16 v) { v = qToLittleEndian(v); return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    wav += u32(quint32(36 + samples.size()));
    wav += "WAVEfmt ";
    wav += u32(16) + u16(quint16(encoding)) + u16(quint16(channels)) + u32(quint32(rate)) +
           u32(quint32(rate * channels * bits / 8)) + u16(quint16(channels * bits / 8)) + u16(quint16(bits));
    wav += "data" + u32(quint32(samples.size())) + samples;
    return wav;
}

} // namespace

class TestSynthesizer : public QObject
{
    Q_OBJECT

    std::shared_ptr<Synthesizer> synth;

private Q_SLOTS:
    void initTestCase()
    {
        synth = OfflineSynth();
        QVERIFY2(synth->WaitForSoundFont(60000), "a General MIDI soundfont is installed by scripts/setup.sh");
        QVERIFY(!synth->SoundFontPath().isEmpty());
        QVERIFY(synth->AudioDriverName().isEmpty());
    }

    void init()
    {
        MidiOutSynthDevice(synth).Reset();
        synth->StopClip();
        Render(*synth, 0.1);
    }

    void noteA4Is440Hz()
    {
        MidiOutSynthDevice device(synth);
        QCOMPARE(device.GetPortName(), MidiOutSynthDevice::Name());
        device.Send(InstrumentList::ProgramChange(0));
        device.Send(MidiMessage(0x90, 0, 69, 100));
        const Audio audio = Render(*synth, 0.8);
        QVERIFY(Peak(audio) > 0.01);
        const double hz = Fundamental(audio.left, Rate / 10, Rate / 4);
        QVERIFY2(std::fabs(hz - 440.0) <= 4.4, qPrintable(QString::number(hz)));
        device.Send(MidiMessage(0x80, 0, 69, 0));
    }

    void resetSilencesWithin50ms()
    {
        MidiOutSynthDevice device(synth);
        device.Send(InstrumentList::ProgramChange(8)); // drawbar organ: sounds as long as held
        device.Send(MidiMessage(0x90, 0, 60, 127));
        device.Send(MidiMessage(0x90, 0, 64, 127));
        device.Send(MidiMessage(0xB0, 0, 64, 127)); // sustain pedal down
        const Audio before = Render(*synth, 0.3);
        QVERIFY(Peak(before, Rate / 5) > 0.02);
        device.Reset();
        const Audio after = Render(*synth, 0.3);
        const double tail = Peak(after, Rate / 20); // from 50 ms on
        QVERIFY2(tail < 1e-4, qPrintable(QString::number(tail)));

        // Notes behind a program change still loading its instrument are silenced as well.
        device.Send(MidiMessage(0xC0, 0, 73)); // flute, not heard yet in this run
        device.Send(MidiMessage(0x90, 0, 72, 127));
        device.Reset();
        const Audio pending = Render(*synth, 0.3);
        QVERIFY2(Peak(pending, Rate / 20) < 1e-4, qPrintable(QString::number(Peak(pending, Rate / 20))));
        // The program change itself took effect: the next note is a flute's A4.
        device.Send(MidiMessage(0x90, 0, 69, 100));
        const Audio flute = Render(*synth, 0.5);
        QVERIFY(Peak(flute) > 0.01);
        const double hz = Fundamental(flute.left, Rate / 5, Rate / 5);
        QVERIFY2(std::fabs(hz - 440.0) <= 4.4, qPrintable(QString::number(hz)));
        device.Reset();
    }

    // The instrument at list position 21 is the violin (General MIDI 40): the program change
    // built for it sounds like program 40 and not like program 21 (an accordion).
    void programChangeSelectsMappedInstrument()
    {
        auto renderProgram = [&](const MidiMessage& programChange) {
            MidiOutSynthDevice device(synth);
            device.Reset();
            Render(*synth, 0.05);
            device.Send(programChange);
            device.Send(MidiMessage(0x90, 0, 69, 100));
            Audio audio = Render(*synth, 0.5);
            device.Send(MidiMessage(0x80, 0, 69, 0));
            device.Reset();
            Render(*synth, 0.05);
            return audio;
        };
        const Audio mapped = renderProgram(InstrumentList::ProgramChange(21));
        const Audio violin = renderProgram(MidiMessage(0xC0, 0, 40));
        const Audio accordion = renderProgram(MidiMessage(0xC0, 0, 21));
        const Audio piano = renderProgram(MidiMessage(0xC0, 0, 0));
        auto distance = [](const Audio& a, const Audio& b) {
            double d = 0, e = 0;
            for (int i = 0; i < a.Frames(); ++i) {
                d += std::pow(a.left[size_t(i)] - b.left[size_t(i)], 2);
                e += std::pow(a.left[size_t(i)], 2);
            }
            return d / (e + 1e-30);
        };
        QVERIFY(Peak(mapped) > 0.01);
        QVERIFY2(distance(mapped, violin) < 0.01, qPrintable(QString::number(distance(mapped, violin))));
        QVERIFY(distance(mapped, accordion) > 0.5);
        QVERIFY(distance(mapped, piano) > 0.5);
        // Every instrument still plays an A4.
        const double hz = Fundamental(mapped.left, Rate / 5, Rate / 5);
        QVERIFY2(std::fabs(hz - 440.0) <= 4.4, qPrintable(QString::number(hz)));
    }

    void instrumentPrograms_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("program");
        QTest::newRow("grand piano") << 0 << 0;
        QTest::newRow("clavi") << 7 << 7;
        QTest::newRow("drawbar organ") << 8 << 16;
        QTest::newRow("muted guitar") << 20 << 28;
        QTest::newRow("violin") << 21 << 40;
        QTest::newRow("cello") << 23 << 42;
        QTest::newRow("trumpet") << 24 << 56;
        QTest::newRow("baritone sax") << 35 << 67;
        QTest::newRow("before the list") << -1 << 0;
        QTest::newRow("after the list") << 36 << 0;
    }
    void instrumentPrograms()
    {
        QFETCH(int, position);
        QTEST(InstrumentList::GeneralMidiProgram(position), "program");
        QTEST(int(InstrumentList::ProgramChange(position).byte1), "program");
        QCOMPARE(InstrumentList::ProgramChange(position).length, quint8(2));
        QCOMPARE(InstrumentList::Names().size(), InstrumentList::Count);
        QCOMPARE(InstrumentList::Names().at(21), QStringLiteral("Violin"));
        QCOMPARE(InstrumentList::Names().last(), QStringLiteral("Baritone Sax"));
    }

    void wavDecoding_data()
    {
        QTest::addColumn<QByteArray>("wav");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<double>("seconds");
        QTest::newRow("16-bit mono 22050") << MakeWav(1000, 22050, 1, 16, 0.2) << true << 0.2;
        QTest::newRow("8-bit mono 8000") << MakeWav(1000, 8000, 1, 8, 0.1) << true << 0.1;
        QTest::newRow("24-bit stereo 48000") << MakeWav(1000, 48000, 2, 24, 0.1) << true << 0.1;
        QTest::newRow("float stereo 44100") << MakeWav(1000, 44100, 2, 32, 0.1, 3) << true << 0.1;
        QTest::newRow("truncated data") << MakeWav(1000, 48000, 1, 16, 0.2).left(44 + 4800) << true << 0.05;
        QTest::newRow("not a WAV") << QByteArray("MThd\0\0\0\x06", 8) << false << 0.0;
        QTest::newRow("empty") << QByteArray() << false << 0.0;
        QTest::newRow("header only") << MakeWav(1000, 48000, 1, 16, 0.2).left(20) << false << 0.0;
        QByteArray odd = MakeWav(1000, 48000, 1, 16, 0.1);
        odd[34] = 12; // 12-bit samples
        QTest::newRow("unsupported sample size") << odd << false << 0.0;
    }
    void wavDecoding()
    {
        QFETCH(QByteArray, wav);
        QFETCH(bool, readable);
        QFETCH(double, seconds);
        const auto clip = AuServerSynth::Decode(wav, Rate);
        QCOMPARE(clip != nullptr, readable);
        if (!clip)
            return;
        QVERIFY(std::fabs(clip->size() / 2 - seconds * Rate) <= Rate / 1000);
        std::vector<float> left;
        for (int i = 0; i < clip->size(); i += 2)
            left.push_back((*clip)[i]);
        const double hz = Fundamental(left, 0, int(left.size()) / 2, 200, 4000);
        QVERIFY2(std::fabs(hz - 1000) < 10, qPrintable(QString::number(hz)));
    }

    // Playing one clip and at once another: only the second is heard; Stop and destroying the
    // clip silence it.
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
            Audio heard = Render(*synth, 0.2);
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
        SoundClip fine(MakeWav(500, 22050, 1, 16, 0.5), QStringLiteral("fine"));
        SoundClip missing(QStringLiteral("/nonexistent/right.wav"));
        QVERIFY(missing.Data().isEmpty());
        fine.Play();
        missing.Play();
        QVERIFY(!synth->IsClipPlaying());

        // A clip plays to its end and then stops by itself.
        SoundClip shortClip(MakeWav(500, 48000, 1, 16, 0.05), QStringLiteral("short"));
        shortClip.Play();
        const Audio all = Render(*synth, 0.1);
        QVERIFY(Peak(all, 0, Rate / 50) > 0.4);
        QVERIFY(Peak(all, Rate * 6 / 100) < 1e-6);
        QVERIFY(!synth->IsClipPlaying());
    }

    // A soundfont setting that names no usable file falls back to the system's soundfont.
    void soundFontFallback_data()
    {
        QTest::addColumn<QString>("preferred");
        QTest::newRow("missing file") << QStringLiteral("/nonexistent/piano.sf2");
        QTest::newRow("not a soundfont") << QStringLiteral("/etc/hostname");
        QTest::newRow("a folder") << QStringLiteral("/usr/share/sounds");
    }
    void soundFontFallback()
    {
        QFETCH(QString, preferred);
        Synthesizer::Options options;
        options.audioOutput = false;
        options.soundFont = preferred;
        QCOMPARE(Synthesizer::SoundFontCandidates(preferred).first(), preferred);
        Synthesizer fallback(options);
        QVERIFY(fallback.WaitForSoundFont(60000));
        QVERIFY(fallback.SoundFontPath() != preferred);
        QCOMPARE(fallback.SoundFontPath(), synth->SoundFontPath());
        QVERIFY(fallback.SoundFontLoadMs() > 0);
    }

    // Without any audio device the synthesizer with audio output still comes up, silent.
    void noAudioDeviceIsSilentNotFatal()
    {
        Synthesizer::Options options;
        options.audioDrivers = QStringList{QStringLiteral("alsa")};
        qputenv("ALSA_CONFIG_PATH", "/nonexistent");
        Synthesizer live(options);
        qunsetenv("ALSA_CONFIG_PATH");
        if (!live.AudioDriverName().isEmpty())
            QSKIP("this machine has an audio device");
        live.Send(MidiMessage(0x90, 0, 60, 100));
        live.Send(MidiMessage(0x80, 0, 60, 0));
        QVERIFY(live.BufferMs() <= 10.0);
        live.WaitForSoundFont(60000);
    }
};

QTEST_GUILESS_MAIN(TestSynthesizer)
#include "test_synthesizer.moc"

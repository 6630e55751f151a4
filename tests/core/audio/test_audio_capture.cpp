// The microphone on the test JACK server. A JACK client of the test stands for the microphone
// (as alsa_in bridging a USB microphone would): it plays a known wave from its output port, and
// the capture must hear that wave's pitch and level, count clipping, tell when the microphone or
// the server goes away, and refuse devices that are not there.

#include "core/audio/audio_capture.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <jack/jack.h>

#include <atomic>
#include <cmath>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

using namespace Core;

namespace {

std::string UniqueClientName(const char* base)
{
    static int serial = 0;
    return std::string(base) + " " + std::to_string(++serial);
}

// A JACK client of the test with one port: an output playing a sine or square wave (a
// microphone), or an input only (a loudspeaker, which no one can record from).
class TestClient
{
public:
    TestClient(const char* base, bool output, double frequency = 440.0, float amplitude = 0.0f, bool square = false)
        : frequency(frequency), amplitude(amplitude), square(square)
    {
        const std::string wanted = UniqueClientName(base);
        client = jack_client_open(wanted.c_str(), JackNoStartServer, nullptr);
        if (!client)
            return;
        name = QString::fromUtf8(jack_get_client_name(client));
        port = jack_port_register(client, output ? "capture_1" : "playback_1", JACK_DEFAULT_AUDIO_TYPE,
                                  output ? JackPortIsOutput : JackPortIsInput, 0);
        rate = jack_get_sample_rate(client);
        jack_set_process_callback(client, &TestClient::Process, this);
        jack_on_shutdown(client, [](void* self) { static_cast<TestClient*>(self)->serverGone = true; }, this);
        jack_activate(client);
    }
    ~TestClient()
    {
        if (client)
            jack_client_close(client);
    }
    QString PortName() const { return QString::fromUtf8(jack_port_name(port)); }

    jack_client_t* client = nullptr;
    jack_port_t* port = nullptr;
    QString name;
    std::atomic<quint64> cycles{0};
    std::atomic<bool> serverGone{false}; // libjack closes a client safely only once it has heard so

private:
    static int Process(jack_nframes_t frames, void* self)
    {
        auto* test = static_cast<TestClient*>(self);
        if (jack_port_flags(test->port) & JackPortIsOutput) {
            auto* out = static_cast<float*>(jack_port_get_buffer(test->port, frames));
            for (jack_nframes_t i = 0; i < frames; ++i) {
                const float sine = float(std::sin(2.0 * M_PI * test->phase));
                out[i] = test->amplitude * (test->square ? (test->phase < 0.5 ? 1.0f : -1.0f) : sine);
                test->phase = std::fmod(test->phase + test->frequency / test->rate, 1.0);
            }
        }
        test->cycles.fetch_add(1);
        return 0;
    }

    const double frequency;
    const float amplitude;
    const bool square;
    double rate = 48000.0;
    double phase = 0.0;
};

// What the sample sink receives, in a ring that holds a few seconds; it also notes any call
// made after Close returned.
class Recorder
{
public:
    AudioCapture::SampleSink Sink()
    {
        return [this](const float* samples, std::size_t count, double) {
            if (closed.load())
                late.fetch_add(1);
            const std::size_t at = written.load(std::memory_order_relaxed);
            for (std::size_t i = 0; i < count; ++i)
                ring[(at + i) % ring.size()] = samples[i];
            written.store(at + count, std::memory_order_release);
        };
    }

    // Frequency (from interpolated rising zero crossings) and RMS of the last 0.2 s at `rate`.
    bool Holds(double frequency, double rmsLevel, unsigned int rate) const
    {
        const std::size_t length = rate / 5;
        const std::size_t end = written.load(std::memory_order_acquire);
        if (end < length)
            return false;
        std::vector<float> window(length);
        for (std::size_t i = 0; i < length; ++i)
            window[i] = ring[(end - length + i) % ring.size()];
        double sum = 0.0, first = -1.0, last = -1.0;
        int rising = 0;
        for (std::size_t i = 0; i < length; ++i) {
            sum += double(window[i]) * window[i];
            if (i > 0 && window[i - 1] < 0.0f && window[i] >= 0.0f) {
                const double at = double(i - 1) + window[i - 1] / double(window[i - 1] - window[i]);
                first = first < 0.0 ? at : first;
                last = at;
                ++rising;
            }
        }
        const double heardRms = std::sqrt(sum / double(length));
        const double heardFrequency = rising > 1 ? (rising - 1) * double(rate) / (last - first) : 0.0;
        return std::fabs(heardFrequency - frequency) < 1.0 && std::fabs(20.0 * std::log10(heardRms / rmsLevel)) < 0.5;
    }

    std::vector<float> ring = std::vector<float>(1 << 18);
    std::atomic<std::size_t> written{0};
    std::atomic<bool> closed{false};
    std::atomic<int> late{0};
};

struct Reported
{
    AudioCapture::Problem problem;
    QString reason;
};

bool OurStreamClientLeft(jack_client_t* client)
{
    bool found = false;
    if (const char** ports = jack_get_ports(client, "^Cantorela Microphone", nullptr, 0)) {
        found = ports[0] != nullptr;
        jack_free(ports);
    }
    return found;
}

// The process id of this test's own JACK server, found by the name it was started under.
qint64 TestServerPid()
{
    const QByteArray server = qgetenv("JACK_DEFAULT_SERVER");
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile file(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> args = file.readAll().split('\0');
        if (!args.isEmpty() && args.first().endsWith("jackd") && args.indexOf(server) > 0 &&
            args.at(args.indexOf(server) - 1) == "--name")
            return entry.toLongLong();
    }
    return 0;
}

} // namespace

class TestAudioCapture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(AudioCapture::Api(), RtAudio::UNIX_JACK);
        QVERIFY2(!qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER"), "run by ctest against the test JACK server");
    }

    // A device is a client with audio outputs: the sound card's capture ports and the test's
    // microphone are listed at the server's rate; a loudspeaker and the capture's own client are not.
    void devicesAreClientsWithAudioOutputs()
    {
        TestClient microphone("Cantorela Test Microphone", true);
        TestClient speaker("Cantorela Test Speaker", false);
        QVERIFY(microphone.client && speaker.client);
        AudioCapture capture;
        Recorder recorder;
        QVERIFY(capture.Open(microphone.name, recorder.Sink()));
        QStringList ids;
        for (const AudioInputDevice& device : AudioCapture::InputDevices()) {
            ids << device.id;
            QCOMPARE(device.sampleRate, jack_get_sample_rate(microphone.client));
            if (device.id == microphone.name)
                QCOMPARE(device.channels, 1u);
        }
        QVERIFY2(ids.contains(QStringLiteral("system")) && ids.contains(microphone.name), qPrintable(ids.join(',')));
        QVERIFY(!ids.contains(speaker.name));
        QVERIFY(!ids.join(',').contains(QStringLiteral("Cantorela Microphone")));
    }

    void hearsTheWaveAtItsPitchAndLevel_data()
    {
        QTest::addColumn<double>("frequency");
        QTest::addColumn<float>("amplitude");
        QTest::addColumn<bool>("square");
        QTest::addColumn<bool>("clips");
        QTest::newRow("sine 440 Hz at -12 dBFS") << 440.0 << 0.2512f << false << false;
        QTest::newRow("sine peaking just below the clip level") << 1000.0 << 0.985f << false << false;
        QTest::newRow("full-scale square 220 Hz") << 220.0 << 1.0f << true << true;
    }
    // The capture listens to the microphone's port; level and clip count follow the wave; once
    // Close returns, no more samples arrive while the microphone plays on.
    void hearsTheWaveAtItsPitchAndLevel()
    {
        QFETCH(double, frequency);
        QFETCH(float, amplitude);
        QFETCH(bool, square);
        QFETCH(bool, clips);
        TestClient microphone("Cantorela Test Microphone", true, frequency, amplitude, square);
        QVERIFY(microphone.client);
        AudioCapture capture;
        Recorder recorder;
        QString reason;
        QVERIFY2(capture.Open(microphone.name, recorder.Sink(), &reason), qPrintable(reason));
        QCOMPARE(capture.SampleRate(), jack_get_sample_rate(microphone.client));
        QCOMPARE(capture.BufferFrames(), jack_get_buffer_size(microphone.client));

        const QByteArray ours = capture.JackInputPort().toUtf8();
        const char** found = jack_get_ports(microphone.client, ("^" + ours + "$").constData(), JACK_DEFAULT_AUDIO_TYPE,
                                            JackPortIsInput);
        QVERIFY2(found && found[0], ours.constData());
        const bool connected = jack_port_connected_to(jack_port_by_name(microphone.client, found[0]),
                                                      microphone.PortName().toUtf8().constData());
        jack_free(found);
        QVERIFY(connected);

        const double rmsLevel = square ? amplitude : amplitude / std::sqrt(2.0);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.Holds(frequency, rmsLevel, capture.SampleRate()), 10000);
        QTRY_VERIFY(std::fabs(capture.RmsLevel() - rmsLevel) < 0.05 * rmsLevel);
        QVERIFY(std::fabs(capture.PeakLevel() - amplitude) < 0.02f);
        QCOMPARE(capture.ClippedSamples() > 0, clips);

        capture.Close();
        recorder.closed = true;
        const std::size_t heard = recorder.written.load();
        const quint64 cycle = microphone.cycles.load();
        QTRY_VERIFY(microphone.cycles.load() > cycle + 3);
        QCOMPARE(recorder.late.load(), 0);
        QCOMPARE(recorder.written.load(), heard);
    }

    void missingDeviceDoesNotOpen_data()
    {
        QTest::addColumn<QString>("device");
        QTest::newRow("empty name") << QString();
        QTest::newRow("unknown name") << QStringLiteral("No Such Microphone");
        QTest::newRow("a loudspeaker") << QStringLiteral("speaker");
    }
    // Refused with a reason naming the device; no stream client is left on the server.
    void missingDeviceDoesNotOpen()
    {
        QFETCH(QString, device);
        TestClient speaker("Cantorela Test Speaker", false);
        QVERIFY(speaker.client);
        if (device == QLatin1String("speaker"))
            device = speaker.name;
        AudioCapture capture;
        Recorder recorder;
        QString reason;
        QVERIFY(!capture.Open(device, recorder.Sink(), &reason));
        QVERIFY(!capture.IsOpen());
        QVERIFY2(reason.contains(QStringLiteral("\"%1\"").arg(device)), qPrintable(reason));
        QVERIFY(!OurStreamClientLeft(speaker.client));
    }

    // The microphone's client goes (unplugged): the lesson hears of it once, as the device gone.
    void unpluggedMicrophoneIsReported()
    {
        auto microphone = std::make_unique<TestClient>("Cantorela Test Microphone", true, 440.0, 0.25f);
        QVERIFY(microphone->client);
        const QString port = microphone->PortName();
        AudioCapture capture;
        QVector<Reported> reported;
        capture.SetErrorSink([&](AudioCapture::Problem p, const QString& why) { reported.append({p, why}); });
        Recorder recorder;
        QVERIFY(capture.Open(microphone->name, recorder.Sink()));
        QTRY_VERIFY(capture.PeakLevel() > 0.2f);
        microphone.reset();
        QTRY_VERIFY(std::any_of(reported.cbegin(), reported.cend(),
                                [](const Reported& r) { return r.problem == AudioCapture::Problem::DeviceGone; }));
        const auto gone = std::find_if(reported.cbegin(), reported.cend(), [](const Reported& r) {
            return r.problem == AudioCapture::Problem::DeviceGone;
        });
        QVERIFY2(gone->reason.contains(port), qPrintable(gone->reason));
        capture.Close();
    }

    // Last: the server stops mid-stream. The device is gone, closing does not hang, and with no
    // server there are no devices and nothing opens.
    void serverStoppingIsReported()
    {
        auto microphone = std::make_unique<TestClient>("Cantorela Test Microphone", true, 440.0, 0.25f);
        QVERIFY(microphone->client);
        AudioCapture capture;
        QVector<Reported> reported;
        capture.SetErrorSink([&](AudioCapture::Problem p, const QString& why) { reported.append({p, why}); });
        Recorder recorder;
        QVERIFY(capture.Open(microphone->name, recorder.Sink()));
        QTRY_VERIFY(capture.PeakLevel() > 0.2f);
        const qint64 server = TestServerPid();
        QVERIFY(server > 0);
        QCOMPARE(::kill(pid_t(server), SIGTERM), 0);
        QTRY_VERIFY_WITH_TIMEOUT(
            std::any_of(reported.cbegin(), reported.cend(),
                        [](const Reported& r) { return r.problem == AudioCapture::Problem::DeviceGone; }),
            15000);
        capture.Close();
        // Closed before anything else tries the server: see AudioCapture::Poll.
        QTRY_VERIFY(microphone->serverGone);
        microphone.reset();
        QTRY_VERIFY_WITH_TIMEOUT(AudioCapture::InputDevices().isEmpty(), 15000);
        QString reason;
        QVERIFY(!capture.Open(QStringLiteral("system"), recorder.Sink(), &reason));
        QVERIFY(!reason.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAudioCapture)
#include "test_audio_capture.moc"

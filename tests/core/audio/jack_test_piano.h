#pragma once
// A piano beside a microphone, for tests on the test JACK server: a JACK client of the test with
// one audio output port, which the program lists as a capture device. Play hands it a recording
// (answers rendered from a sampled piano), which it plays once from its next cycle.

#include <QString>
#include <QtTest>

#include <jack/jack.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

// Under ThreadSanitizer the JACK clients fall far behind real time and the server drops their
// cycles: what the microphone hears has gaps, and the keys heard in it are no longer the keys
// played. Those runs check the threads; the keys are checked by the others.
#if defined(__SANITIZE_THREAD__)
constexpr bool KeysHeardExactly = false;
#else
constexpr bool KeysHeardExactly = true;
#endif

class TestPiano
{
public:
    // The sampled piano the recordings are rendered from.
    static constexpr const char* SoundFont = "/usr/share/sounds/sf3/FluidR3Mono_GM.sf3";

    TestPiano()
    {
        static int serial = 0;
        const std::string wanted = "Test Piano " + std::to_string(++serial);
        client = jack_client_open(wanted.c_str(), JackNoStartServer, nullptr);
        if (!client)
            return;
        name = QString::fromUtf8(jack_get_client_name(client));
        port = jack_port_register(client, "capture_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        rate = jack_get_sample_rate(client);
        jack_set_process_callback(client, &TestPiano::Process, this);
        jack_activate(client);
    }
    ~TestPiano() { Unplug(); }

    void Unplug()
    {
        if (client)
            jack_client_close(client);
        client = nullptr;
    }

    // Only once the last recording has been played.
    void Play(std::vector<float> samples)
    {
        QVERIFY(!playing.load());
        recording = std::move(samples);
        position = 0;
        playing.store(true, std::memory_order_release);
    }
    bool Playing() const { return playing.load(); }

    jack_client_t* client = nullptr;
    QString name;
    double rate = 48000.0;

private:
    static int Process(jack_nframes_t frames, void* self)
    {
        auto* test = static_cast<TestPiano*>(self);
        auto* out = static_cast<float*>(jack_port_get_buffer(test->port, frames));
        std::fill(out, out + frames, 0.0f);
        if (!test->playing.load(std::memory_order_acquire))
            return 0;
        const std::size_t count = std::min<std::size_t>(frames, test->recording.size() - test->position);
        std::copy_n(test->recording.data() + test->position, count, out);
        test->position += count;
        if (test->position == test->recording.size())
            test->playing.store(false, std::memory_order_release);
        return 0;
    }

    jack_port_t* port = nullptr;
    std::vector<float> recording;
    std::size_t position = 0;
    std::atomic<bool> playing{false};
};

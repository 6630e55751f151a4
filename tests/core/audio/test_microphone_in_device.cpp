// The microphone as an input device, on the test JACK server. A JACK client of the test plays
// answers rendered from a sampled piano into it, as a microphone beside a piano would hear them.
// Chosen as the input, the microphone hands the keys heard on as note-ons and note-offs; a sound
// that began while our own playback could still be heard is not taken; unplugged, it leaves the
// device list and the device-change callback runs.

#include "jack_test_piano.h"

#include "core/audio/microphone_in_device.h"
#include "core/audio/own_playback.h"
#include "core/midi/sound_controller.h"
#include "core/timing/timer.h"

#include "answer_audio.h"

#include <QtTest>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

using namespace Core;

namespace {

// What the microphone hands on, as the answer listener would get it.
class Heard : public MidiDeviceObserver
{
public:
    void OnMidiEvent(const MidiEvent& event) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        if (event.message.IsNoteOn())
            struck.insert(event.message.byte1);
        else if (event.message.IsNoteOff() || event.message.IsNoteOnType())
            released.insert(event.message.byte1);
    }
    std::set<int> Struck()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return struck;
    }
    std::set<int> Released()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return released;
    }

private:
    std::mutex mutex;
    std::set<int> struck;
    std::set<int> released;
};

std::atomic<int> deviceChanges{0};

QByteArray Keys(const std::set<int>& keys)
{
    QByteArray text("keys heard:");
    for (int key : keys)
        text += ' ' + QByteArray::number(key);
    return text;
}

} // namespace

class TestMicrophoneInDevice : public QObject
{
    Q_OBJECT

    std::unique_ptr<AnswerAudio::AnswerRenderer> renderer;

    std::vector<float> Rendered(std::vector<int> keys)
    {
        AnswerAudio::Answer answer;
        answer.keys = std::move(keys);
        answer.keyDelayMs.assign(answer.keys.size() - 1, 8.0);
        return renderer->render(answer).samples;
    }

    // The sound controller with the test piano's microphone chosen as the input.
    static std::shared_ptr<MidiInDeviceBase> Choose(SoundController& controller, const TestPiano& source)
    {
        const QString wanted = QStringLiteral("Microphone: ") + source.name;
        if (!controller.SelectInputByName(wanted))
            return nullptr;
        return controller.CurrentInputDevice();
    }

    // A test piano whose microphone is chosen as the input, heard by an observer that outlives
    // the device (which may still hand it keys until it closes).
    struct Rig
    {
        Heard heard;
        TestPiano source;
        SoundController controller{SoundController::Options{false, nullptr, false, true}};
        std::shared_ptr<MidiInDeviceBase> microphone;

        bool Listening()
        {
            microphone = source.client ? Choose(controller, source) : nullptr;
            if (microphone)
                microphone->Attach(&heard);
            return microphone != nullptr;
        }
        ~Rig()
        {
            if (microphone)
                microphone->Detach(&heard);
        }
    };

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER"), "run by ctest against the test JACK server");
        AnswerAudio::RenderOptions options;
        options.sampleRate = 48000;
        renderer = std::make_unique<AnswerAudio::AnswerRenderer>(TestPiano::SoundFont, options);
        QVERIFY2(renderer->ok(), renderer->error().c_str());
        SoundController::SetDeviceChangeCallback([] { deviceChanges.fetch_add(1); });
    }

    // Listed after the MIDI ports, never chosen by default, listening only while chosen.
    void listedButNotChosen()
    {
        TestPiano source;
        QVERIFY(source.client);
        SoundController controller(SoundController::Options{false, nullptr, false, true});
        QCOMPARE(controller.CurrentInputIndex(), -1);
        const auto microphone = Choose(controller, source);
        QVERIFY(microphone);
        QVERIFY(controller.IsMicrophone(controller.CurrentInputIndex()));
        QVERIFY(microphone->IsOpen());
        QVERIFY(!microphone->EchoesKeys());
        controller.SetCurrentInputIndex(-1);
        QVERIFY(!microphone->IsOpen());
    }

    void keysHeard_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::newRow("middle C") << QList<int>{60};
        QTest::newRow("major third") << QList<int>{60, 64};
        QTest::newRow("C major triad") << QList<int>{60, 64, 67};
    }

    // The keys struck are the note-ons, each let go in a note-off once its sound dies away.
    void keysHeard()
    {
        QFETCH(QList<int>, keys);
        Rig rig;
        QVERIFY(rig.Listening());
        auto& [heard, source, controller, microphone] = rig;
        source.Play(Rendered(std::vector<int>(keys.begin(), keys.end())));
        const std::set<int> expected(keys.begin(), keys.end());
        if (!KeysHeardExactly) {
            QTRY_VERIFY_WITH_TIMEOUT(!heard.Struck().empty() && !source.Playing(), 20000);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(heard.Struck() == expected && heard.Released() == expected, 10000);
        QTRY_VERIFY(!source.Playing());
        QVERIFY2(heard.Struck() == expected, Keys(heard.Struck())); // nothing more in the release tail
    }

    // Our own playback coming back through the room is not an answer; what the student plays
    // after it is.
    void ownPlaybackNotTaken()
    {
        if (!KeysHeardExactly)
            QSKIP("the keys heard are checked without ThreadSanitizer");
        Rig rig;
        QVERIFY(rig.Listening());
        auto& [heard, source, controller, microphone] = rig;

        // The question, F major, heard while we play it and a second after; half a second later
        // the answer.
        std::vector<float> take = Rendered({65, 69, 72});
        const double questionMs = 1000.0 * double(take.size()) / source.rate;
        take.resize(take.size() + std::size_t(1.5 * source.rate), 0.0f);
        const std::vector<float> answer = Rendered({60, 64, 67});
        take.insert(take.end(), answer.begin(), answer.end());
        OwnPlayback::MarkAudibleUntil(Timer::NowNs() + quint64((questionMs + 1000.0) * 1e6));
        source.Play(take);

        const std::set<int> expected{60, 64, 67};
        QTRY_VERIFY2_WITH_TIMEOUT(heard.Struck() == expected, Keys(heard.Struck()), 10000);
        QTRY_VERIFY(!source.Playing());
        QVERIFY2(heard.Struck() == expected, Keys(heard.Struck()));
    }

    // Unplugged while listening: the lesson hears of it, and the list no longer offers it.
    void unplugged()
    {
        TestPiano source;
        QVERIFY(source.client);
        SoundController controller(SoundController::Options{false, nullptr, false, true});
        const auto microphone = Choose(controller, source);
        QVERIFY(microphone);
        const int before = deviceChanges.load();
        source.Unplug();
        QTRY_VERIFY_WITH_TIMEOUT(deviceChanges.load() > before, 10000);
        QVERIFY(std::static_pointer_cast<MicrophoneInDevice>(microphone)->IsGone());
        controller.RefreshDevices();
        QVERIFY(!Choose(controller, source));
        // Still held by whoever listened to it, it can be closed as ever.
        microphone->Close();
        QVERIFY(!microphone->IsOpen());
    }
};

QTEST_GUILESS_MAIN(TestMicrophoneInDevice)
#include "test_microphone_in_device.moc"

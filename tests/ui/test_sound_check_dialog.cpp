// The sound check opened from the general settings tab, on the test JACK server and the built-in
// synthesizer rendering offline.

#include "../common/screen_parts.h"
#include "../core/audio/jack_test_piano.h"
#include "../common/temp_settings.h"
#include "../core/midi/audio_probe.h"
#include "../core/midi/jack_test_ports.h"
#include "core/settings_store.h"
#include "ui/device_rescanner.h"
#include "ui/dialogs/sound_check_dialog.h"
#include "ui/settings/device_box_view.h"
#include "ui/settings/general_settings_tab.h"
#include "ui/widgets/keyboard.h"

#include "answer_audio.h"

#include <QLabel>
#include <QProgressBar>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QRegularExpression>

using namespace Core;

namespace {

// Timings as the synthesizer reports them, on its threads.
struct TimingRecorder : NoteOnObserver
{
    std::mutex mutex;
    std::vector<NoteOnTiming> timings;
    void OnNoteOn(const NoteOnTiming& timing) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        timings.push_back(timing);
    }
    std::vector<NoteOnTiming> All()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return timings;
    }
};

} // namespace

class TestSoundCheckDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempSettings> settingsDir;
    std::unique_ptr<SettingsStore> store;
    std::shared_ptr<Synthesizer> synth;
    std::shared_ptr<SoundController> sound;
    std::unique_ptr<UI::GeneralSettingsTab> tab;

    void MakeTab(int periodFrames, bool watchDevices)
    {
        Synthesizer::Options offline;
        offline.audioOutput = false;
        offline.periodFrames = periodFrames;
        synth = std::make_shared<Synthesizer>(offline);
        QVERIFY(synth->WaitForSoundFont(60000));
        SoundController::Options options;
        options.synthesizer = synth;
        options.watchDevices = watchDevices;
        sound = std::make_shared<SoundController>(options);
        store = std::make_unique<SettingsStore>([] { return false; });
        tab = std::make_unique<UI::GeneralSettingsTab>(0, store.get(), sound, nullptr, nullptr);
        tab->resize(1280, 664);
        tab->show();
        QVERIFY(QTest::qWaitForWindowActive(tab.get()));
        tab->loadSettings();
    }
    static QString Text(UI::SoundCheckDialog* dialog, const char* label)
    {
        return Part<QLabel>(dialog, label)->text();
    }

private Q_SLOTS:
    void initTestCase() { UseProgramLook(); }
    void init()
    {
        settingsDir = std::make_unique<TempSettings>();
        QVERIFY(settingsDir->IsValid());
    }
    void cleanup()
    {
        tab.reset();
        store.reset();
        sound.reset();
        synth.reset();
    }

    // A port plugged in while the dialog is open (device watcher and re-scanner as the main window
    // has them) is listened to; its keys light up and sound, timed from our input callback to the
    // note-on, also behind a program change (the synthesizer's worker starts them); the figure
    // shown is the one measured; unplugged, the port goes.
    void keysOnTheRealPath_data()
    {
        QTest::addColumn<int>("periodFrames");
        QTest::addColumn<bool>("programFirst");
        QTest::addColumn<bool>("advice");
        QTest::newRow("64-frame periods") << 64 << false << false;
        QTest::newRow("512-frame periods, behind a program change") << 512 << true << true;
    }
    void keysOnTheRealPath()
    {
        QFETCH(int, periodFrames);
        MakeTab(periodFrames, true);
        UI::DeviceRescanner rescanner(sound);
        connect(&rescanner, &UI::DeviceRescanner::devicesChanged, tab.get(),
                &UI::GeneralSettingsTab::updateDevices);
        Click(Part<QPushButton>(tab.get(), "soundCheckButton"));
        QPointer<UI::SoundCheckDialog> dialog = tab->findChild<UI::SoundCheckDialog*>();
        QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(Text(dialog, "soundCheckDevice"), QStringLiteral("No MIDI device plugged in."));

        auto keyboard = std::make_unique<TestKeyboard>("Cantorela Check Keyboard");
        QTRY_COMPARE_WITH_TIMEOUT(Text(dialog, "soundCheckDevice"), "Listening to " + keyboard->name + ".",
                                  15000);
        QVERIFY(WaitUntilHeard(*keyboard, *sound->CurrentInputDevice()) >= 0);
        TimingRecorder recorder;
        synth->AttachNoteOnObserver(&recorder);
        QFETCH(bool, programFirst);
        if (programFirst)
            keyboard->Send(MidiMessage(0xC0, 0, 40));
        const quint64 sent = Timer::NowNs();
        keyboard->Send(MidiMessage(0x90, 0, 60, 87));
        QTRY_COMPARE(Text(dialog, "soundCheckKey"), QStringLiteral("C4, velocity 87"));
        auto* piano = Part<Keyboard>(dialog, "soundCheckPiano");
        QCOMPARE(piano->keyState(60 - 21).mark, qint32(Keyboard::GreenMark));
        QTRY_COMPARE(int(recorder.All().size()), 1);
        synth->DetachNoteOnObserver(&recorder);
        const NoteOnTiming timing = recorder.All().front();
        QVERIFY(timing.note == 60 && timing.velocity == 87);
        QVERIFY(sent <= timing.receivedNs && timing.receivedNs <= timing.noteOnNs &&
                timing.noteOnNs <= Timer::NowNs());
        QVERIFY(AudioProbe::Peak(AudioProbe::Render(*synth, 0.1)) > 1e-3);

        const QRegularExpression figure(
            QStringLiteral("^Key to sound: (\\d+) ms \\(audio buffer ([\\d.]+) ms\\)$"));
        QRegularExpressionMatch shown;
        QTRY_VERIFY((shown = figure.match(Text(dialog, "soundCheckLatency"))).hasMatch());
        QCOMPARE(shown.captured(1).toInt(), qRound(timing.KeyToSoundMs()));
        QCOMPARE(shown.captured(2), QString::number(timing.bufferMs, 'f', 1));
        QTEST(Part<QLabel>(dialog, "soundCheckAdvice")->isVisible(), "advice");

        keyboard->Send(MidiMessage(0x80, 0, 60, 0));
        QTRY_COMPARE(piano->keyState(60 - 21).mark, qint32(Keyboard::NoMark));
        keyboard.reset();
        QTRY_COMPARE_WITH_TIMEOUT(Text(dialog, "soundCheckDevice"),
                                  QStringLiteral("No MIDI device plugged in."), 15000);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(!dialog);
    }

    // A microphone shown on the tab is listened to while the dialog is open. Clipping and five
    // seconds of silence are told in plain words; then a guided check: middle C, then a C major
    // chord, each shown as heard and never played back through the output. Closed, the dialog
    // leaves the microphone closed as it found it.
    void microphoneGuidedCheck()
    {
        AnswerAudio::RenderOptions options;
        options.sampleRate = 48000;
        AnswerAudio::AnswerRenderer renderer(TestPiano::SoundFont, options);
        QVERIFY2(renderer.ok(), renderer.error().c_str());
        const auto rendered = [&renderer](std::vector<int> keys) {
            AnswerAudio::Answer answer;
            answer.keys = std::move(keys);
            answer.keyDelayMs.assign(answer.keys.size() - 1, 8.0);
            return renderer.render(answer).samples;
        };
        TestPiano piano;
        QVERIFY(piano.client);
        MakeTab(64, false);
        const QString name = QStringLiteral("Microphone: ") + piano.name;
        auto* box = tab->findChild<UI::DeviceBoxView*>();
        QVERIFY(box);
        QCOMPARE(box->deviceName(), QString()); // offered, not chosen
        for (int i = 0; i < 8 && box->deviceName() != name; ++i)
            Click(Part<QToolButton>(box, "nextMidiDeviceDown"));
        QCOMPARE(box->deviceName(), name);

        Click(Part<QPushButton>(tab.get(), "soundCheckButton"));
        QPointer<UI::SoundCheckDialog> dialog = tab->findChild<UI::SoundCheckDialog*>();
        QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(Text(dialog, "soundCheckDevice"), "Listening to " + name + ".");
        QCOMPARE(Text(dialog, "microphoneGuide"), QStringLiteral("Play middle C"));

        std::vector<float> clipping(4800);
        for (std::size_t i = 0; i < clipping.size(); ++i)
            clipping[i] = (i / 50) % 2 ? 1.0f : -1.0f;
        piano.Play(clipping);
        QTRY_COMPARE(Part<QProgressBar>(dialog, "microphoneLevel")->value(), 60);
        QTRY_COMPARE(Text(dialog, "microphoneWarning"), QStringLiteral("Too loud: move the microphone away from the piano."));
        QTRY_COMPARE_WITH_TIMEOUT(Text(dialog, "microphoneWarning"), QStringLiteral("I hear nothing: is the microphone muted?"),
                                  15000);
        QVERIFY(Text(dialog, "microphoneNoise").startsWith(QStringLiteral("Background noise: -")));
        if (!KeysHeardExactly)
            QSKIP("the keys heard are checked without ThreadSanitizer");

        piano.Play(rendered({60}));
        QTRY_COMPARE_WITH_TIMEOUT(Text(dialog, "microphoneGuide"), QStringLiteral("Play a C major chord"), 10000);
        QCOMPARE(Text(dialog, "microphoneHeard"), QStringLiteral("Heard: C4"));
        QVERIFY(AudioProbe::Peak(AudioProbe::Render(*synth, 0.1)) < 1e-4);
        QTRY_VERIFY(!piano.Playing());
        piano.Play(rendered({60, 64, 67}));
        QTRY_COMPARE_WITH_TIMEOUT(Text(dialog, "microphoneGuide"), QStringLiteral("Your piano is heard well."), 10000);
        QCOMPARE(Text(dialog, "microphoneHeard"), QStringLiteral("Heard: C4, E4, G4"));
        QTRY_VERIFY(!piano.Playing());

        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(!dialog);
        for (int i = sound->MidiInputCount(); i < sound->InputCount(); ++i)
            QVERIFY(!sound->GetInputDevice(i)->IsOpen());
    }

    // By keyboard: Space on the tab's button opens it, Tab goes to the test tone, Enter plays it
    // through the synthesizer, Escape closes and gives the focus back.
    void testToneByKeyboard()
    {
        MakeTab(64, false);
        auto* button = Part<QPushButton>(tab.get(), "soundCheckButton");
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Space);
        QPointer<UI::SoundCheckDialog> dialog = tab->findChild<UI::SoundCheckDialog*>();
        QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog));
        auto* tone = Part<QPushButton>(dialog, "soundCheckTone");
        for (int i = 0; i < 4 && QApplication::focusWidget() != tone; ++i)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog.data(),
                            Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), tone);
        QVERIFY(AudioProbe::Peak(AudioProbe::Render(*synth, 0.05)) < 1e-4);
        QTest::keyClick(tone, Qt::Key_Return);
        QVERIFY(AudioProbe::Peak(AudioProbe::Render(*synth, 0.1)) > 1e-3);
        QVERIFY(dialog->isVisible());
        QTest::keyClick(tone, Qt::Key_Escape);
        QTRY_VERIFY(!dialog);
        QTRY_COMPARE(tab->focusWidget(), button);
    }
};

QTEST_MAIN(TestSoundCheckDialog)
#include "test_sound_check_dialog.moc"

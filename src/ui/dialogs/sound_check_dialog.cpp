#include "ui/dialogs/sound_check_dialog.h"

#include "core/audio/microphone_in_device.h"
#include "core/exercise/music_tables.h"
#include "core/midi/midi_device_connector.h"
#include "core/midi/midi_in_device_base.h"
#include "core/midi/midi_out_synth_device.h"
#include "core/midi/sound_controller.h"
#include "ui/dialogs/microphone_check.h"
#include "ui/widgets/keyboard.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVariant>
#include <QVBoxLayout>

namespace {

constexpr int cardWidth = 720;
constexpr int pianoHeight = 80;
constexpr int lowestKeyNote = 21; // A0, key 0 of the piano
// The test tone: A4, held this long.
constexpr quint8 toneNote = 69, toneVelocity = 100;
constexpr int toneMilliseconds = 1000;
// Above this the sound lags behind the fingers enough to feel.
constexpr double noticeableMs = 10.0;

const char* const textStyle = "color: rgb(29, 30, 36); background: transparent;";

QString noteText(int note)
{
    const int key = note - lowestKeyNote;
    if (key < 0 || key >= Core::MusicTables::KeyCount)
        return UI::SoundCheckDialog::tr("Note %1").arg(note);
    return Core::MusicTables::NoteLabel(key, false);
}

} // namespace

namespace UI {

void SoundCheckProbe::OnMidiEvent(const MidiEvent& event)
{
    const MidiMessage& m = event.message;
    if (m.IsNoteOn())
        Q_EMIT keyChanged(m.byte1, m.byte2);
    else if (m.IsNoteOff() || m.IsNoteOnType())
        Q_EMIT keyChanged(m.byte1, 0);
}

void SoundCheckProbe::OnNoteOn(const Core::NoteOnTiming& timing)
{
    Q_EMIT keyTimed(timing.note, timing.CallbackToNoteOnMs(), timing.bufferMs, timing.serverMs);
}

SoundCheckDialog::SoundCheckDialog(std::shared_ptr<Core::SoundController> sound, QWidget* parent)
    : CardDialog(tr("Test my keyboard and sound"), QSize(cardWidth, 0), parent), m_sound(sound)
{
    setObjectName(QStringLiteral("soundCheckDialog"));
    setAccessibleName(tr("Test my keyboard and sound"));
    if (sound)
        m_output = sound->CurrentOutputDevice();
    if (const auto builtIn = std::dynamic_pointer_cast<Core::MidiOutSynthDevice>(m_output))
        m_synthesizer = builtIn->GetSynthesizer();

    const auto addLabel = [this](const char* name, int pixelSize) {
        auto* label = new QLabel(card());
        label->setObjectName(QLatin1String(name));
        label->setWordWrap(true);
        label->setFont(textFont(pixelSize));
        label->setStyleSheet(QLatin1String(textStyle));
        label->setTextFormat(Qt::PlainText);
        body()->addWidget(label);
        return label;
    };
    m_deviceLabel = addLabel("soundCheckDevice", 15);

    m_piano = new Keyboard(card());
    m_piano->setObjectName(QStringLiteral("soundCheckPiano"));
    m_piano->setMode(Keyboard::DisplayMode);
    m_piano->setInteractive(false);
    m_piano->setFocusPolicy(Qt::NoFocus);
    m_piano->setAccessibleName(tr("Keys you press"));
    m_piano->setMinimumHeight(pianoHeight);
    body()->addWidget(m_piano);
    m_keyLabel = addLabel("soundCheckKey", 15);
    m_microphoneCheck = new MicrophoneCheck(card());
    body()->addWidget(m_microphoneCheck);

    m_toneButton = new QPushButton(tr("Play a test tone"), card());
    m_toneButton->setObjectName(QStringLiteral("soundCheckTone"));
    m_toneButton->setProperty("kind", "secondary");
    m_toneButton->setFont(textFont(15, QFont::Bold));
    m_toneButton->setAccessibleName(tr("Play a test tone"));
    m_toneButton->setAccessibleDescription(tr("Plays A4 for a second through the sound output."));
    m_toneButton->setEnabled(m_output != nullptr);
    body()->addWidget(m_toneButton, 0, Qt::AlignLeft);
    connect(m_toneButton, &QPushButton::clicked, this, &SoundCheckDialog::playTestTone);

    m_latencyLabel = addLabel("soundCheckLatency", 15);
    m_latencyLabel->setText(m_synthesizer ? tr("Press a key to measure how soon it sounds.")
                                          : tr("Key to sound is measured with the built-in synthesizer."));
    m_adviceLabel = addLabel("soundCheckAdvice", 14);
    m_adviceLabel->setStyleSheet(QStringLiteral("color: rgb(150, 60, 0); background: transparent;"));
    m_adviceLabel->setText(tr("The sound comes late enough to feel. A shorter audio period, a low-latency "
                              "audio server or JACK brings it closer to your fingers."));
    // Its room is kept while it is hidden: the card is sized once, when it is shown.
    QSizePolicy keepRoom = m_adviceLabel->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    m_adviceLabel->setSizePolicy(keepRoom);
    m_adviceLabel->hide();

    QPushButton* close = addButton(tr("Close"), ButtonKind::Primary);
    close->setObjectName(QStringLiteral("soundCheckClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(m_toneButton, close);

    m_toneTimer = new QTimer(this);
    m_toneTimer->setSingleShot(true);
    m_toneTimer->setInterval(toneMilliseconds);
    connect(m_toneTimer, &QTimer::timeout, this, &SoundCheckDialog::stopTestTone);

    connect(&m_probe, &SoundCheckProbe::keyChanged, this, &SoundCheckDialog::showKey, Qt::QueuedConnection);
    connect(&m_probe, &SoundCheckProbe::keyTimed, this, &SoundCheckDialog::showTiming, Qt::QueuedConnection);
    if (m_synthesizer)
        m_synthesizer->AttachNoteOnObserver(&m_probe);
    setInput(nullptr);
}

SoundCheckDialog::~SoundCheckDialog()
{
    releaseInput();
    if (m_synthesizer)
        m_synthesizer->DetachNoteOnObserver(&m_probe);
    stopTestTone();
}

void SoundCheckDialog::releaseInput()
{
    const bool passedOn = m_thru != nullptr;
    m_thru.reset(); // waits for a key being passed on
    if (m_input) {
        m_input->Detach(&m_probe);
        if (m_openedInput)
            m_input->Close();
    }
    m_openedInput = false;
    m_input.reset();
    // The keys still down never send their note-off through us now, on whichever channel they
    // sound: every channel lets go of its notes.
    if (m_output && passedOn)
        for (quint8 channel = 0; channel < 16; ++channel)
            m_output->Send(MidiMessage(0xB0, channel, 123, 0));
    m_heldKeys.clear();
    if (m_piano)
        m_piano->updateKeysState({});
}

void SoundCheckDialog::setInput(std::shared_ptr<Core::MidiInDeviceBase> input)
{
    if (input && input == m_input)
        return;
    releaseInput();
    m_input = std::move(input);
    auto microphone = std::dynamic_pointer_cast<Core::MicrophoneInDevice>(m_input);
    if (!m_input) {
        m_deviceLabel->setText(tr("No MIDI device plugged in."));
        m_keyLabel->setText(tr("Plug in a MIDI keyboard to test it."));
    } else {
        m_deviceLabel->setText(tr("Listening to %1.").arg(m_input->GetPortName()));
        m_keyLabel->setText(microphone ? QString() : tr("Press keys on your MIDI keyboard."));
        m_input->Attach(&m_probe);
        // A microphone listens while it is tested, whether or not it is the input in use.
        if (!m_input->IsOpen()) {
            m_input->Open();
            m_openedInput = m_input->IsOpen();
        }
        // The keys of a keyboard sound through the output; a piano heard through a microphone
        // sounds by itself, and passing it on would be heard again.
        if (m_output && m_input->EchoesKeys())
            m_thru = std::make_unique<Core::MidiDeviceConnector>(m_input, m_output);
    }
    m_keyLabel->setVisible(!microphone);
    // The delay from key to sound is a keyboard's: a piano heard sounds at once.
    m_latencyLabel->setVisible(!microphone);
    m_deviceLabel->setAccessibleName(m_deviceLabel->text());
    m_keyLabel->setAccessibleName(m_keyLabel->text());
    const bool anyMicrophone = m_sound && m_sound->InputCount() > m_sound->MidiInputCount();
    m_microphoneCheck->setMicrophone(std::move(microphone), anyMicrophone);
}

void SoundCheckDialog::showKey(int note, int velocity)
{
    const int key = note - lowestKeyNote;
    if (key >= 0 && key < Keyboard::KeyCount) {
        if (velocity > 0)
            m_heldKeys.insert(key);
        else
            m_heldKeys.remove(key);
        KeysStateMap keys;
        for (int held : qAsConst(m_heldKeys))
            keys.insert(held, KeyStateRecord{1, Keyboard::GreenMark, 1});
        m_piano->updateKeysState(keys);
    }
    if (m_input && !m_input->EchoesKeys()) {
        // Heard, not pressed: a microphone tells no velocity.
        QSet<int> notes;
        for (int held : qAsConst(m_heldKeys))
            notes.insert(held + lowestKeyNote);
        m_microphoneCheck->showKeys(notes);
    } else if (velocity > 0) {
        m_keyLabel->setText(tr("%1, velocity %2").arg(noteText(note)).arg(velocity));
        m_keyLabel->setAccessibleName(m_keyLabel->text());
    }
}

void SoundCheckDialog::showTiming(int note, double callbackToNoteOnMs, double bufferMs, double serverMs)
{
    const double total = callbackToNoteOnMs + bufferMs + serverMs;
    QString text =
        serverMs > 0
            ? tr("Key to sound: %1 ms (audio buffer %L2 ms, audio server %L3 ms)")
                  .arg(qRound(total))
                  .arg(bufferMs, 0, 'f', 1)
                  .arg(serverMs, 0, 'f', 1)
            : tr("Key to sound: %1 ms (audio buffer %L2 ms)").arg(qRound(total)).arg(bufferMs, 0, 'f', 1);
    m_latencyLabel->setText(text);
    m_latencyLabel->setAccessibleName(text);
    m_latencyLabel->setToolTip(
        tr("%1: %L2 ms from the key reaching the program to the synthesizer starting it")
            .arg(noteText(note))
            .arg(callbackToNoteOnMs, 0, 'f', 2));
    m_adviceLabel->setVisible(total > noticeableMs);
}

void SoundCheckDialog::playTestTone()
{
    if (!m_output)
        return;
    if (m_toneTimer->isActive())
        m_output->Send(MidiMessage(0x80, 0, toneNote, 0));
    m_output->Send(MidiMessage(0x90, 0, toneNote, toneVelocity));
    m_toneTimer->start();
}

void SoundCheckDialog::stopTestTone()
{
    if (!m_toneTimer || !m_toneTimer->isActive())
        return;
    m_toneTimer->stop();
    m_output->Send(MidiMessage(0x80, 0, toneNote, 0));
}

} // namespace UI

#pragma once
// The microphone's part of "Test my keyboard and sound": a level meter, the background noise
// measured while nothing is played, a guided check ("Play middle C", then "Play a C major
// chord") that says what was heard, and plain words when something is wrong: nothing heard for
// five seconds (a muted microphone), clipping (too close to the piano), no microphone at all.
//
// The levels are the capture's own meters, read a few times a second; the keys heard come from
// the dialog, which gets them from the engine by queued signals.

#include "ui/exercise/microphone_silence_notice.h"

#include <QSet>
#include <QWidget>

#include <memory>

class QLabel;
class QProgressBar;
class QTimer;

namespace Core {
class MicrophoneInDevice;
}

namespace UI {

class MicrophoneCheck : public QWidget
{
    Q_OBJECT

public:
    explicit MicrophoneCheck(QWidget* parent = nullptr);
    ~MicrophoneCheck() override;

    // The microphone being tested; none hides the part, or says "No microphone found." when
    // `anyMicrophone` is false.
    void setMicrophone(std::shared_ptr<Core::MicrophoneInDevice> microphone, bool anyMicrophone);
    // The keys sounding now, as MIDI notes.
    void showKeys(const QSet<int>& notes);

    // How long silence lasts before the check asks whether the microphone is muted.
    static constexpr int SilenceMs = MicrophoneSilenceNotice::SilenceMs;
    static constexpr int TooLoudShownMs = 3000;

private:
    enum class Step
    {
        MiddleC,
        Chord,
        Done,
    };
    void measure();
    void showStep();
    void warn(const QString& text);

    std::shared_ptr<Core::MicrophoneInDevice> m_microphone;
    QLabel* m_guide = nullptr;
    QLabel* m_heard = nullptr;
    QProgressBar* m_level = nullptr;
    QLabel* m_noise = nullptr;
    QLabel* m_warning = nullptr;
    QTimer* m_meter = nullptr;
    Step m_step = Step::MiddleC;
    quint64 m_clipped = 0;
    int m_silentMs = 0;
    float m_quietest = 1.0f; // RMS, over the current noise window
    int m_noiseWindowMs = 0;
    int m_sinceClipMs = 0;
};

} // namespace UI

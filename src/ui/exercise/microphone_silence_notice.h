#pragma once
// Asks "I hear nothing: is the microphone muted?" over the question when the microphone the
// student answers on has heard nothing at all for SilenceMs while an answer was awaited: a
// muted or unplugged-at-the-jack microphone looks like a student thinking. The question stays
// in view; the words go as soon as anything is heard, an answer comes or the lesson stops
// waiting. The level is the capture's own meter, read a few times a second on the GUI thread.

#include <QObject>

#include <memory>

class QTimer;
class QWidget;

namespace Core {
class MicrophoneInDevice;
}

namespace UI {

class ActionHint;

class MicrophoneSilenceNotice : public QObject
{
    Q_OBJECT

public:
    static constexpr int SilenceMs = 5000;
    // Below this peak (-60 dB of full scale) the microphone hears nothing.
    static constexpr float SilentPeak = 0.001f;

    // The notice shows at the top of `area`, as a child of `screen`.
    MicrophoneSilenceNotice(QWidget* screen, const QWidget* area);
    ~MicrophoneSilenceNotice() override;

    // The microphone answered on; none when the student answers otherwise.
    void setMicrophone(std::shared_ptr<Core::MicrophoneInDevice> microphone);
    // Silence counts only while an answer is awaited; waiting again counts afresh.
    void setWaiting(bool waiting);
    bool isShown() const;

private:
    void measure();
    void update();

    QWidget* m_screen;
    const QWidget* m_area;
    ActionHint* m_hint;
    QTimer* m_meter;
    std::shared_ptr<Core::MicrophoneInDevice> m_microphone;
    bool m_waiting = false;
    int m_silentMs = 0;
};

} // namespace UI

#include "ui/exercise/microphone_silence_notice.h"

#include "core/audio/microphone_in_device.h"
#include "ui/exercise/action_hint.h"

#include <QTimer>
#include <QWidget>

namespace UI {
namespace {
constexpr int meterIntervalMs = 100;
constexpr int gapOverArea = 12; // between the notice and the top of the question area
} // namespace

MicrophoneSilenceNotice::MicrophoneSilenceNotice(QWidget* screen, const QWidget* area)
    : QObject(screen), m_screen(screen), m_area(area), m_hint(new ActionHint(screen)), m_meter(new QTimer(this))
{
    m_hint->setObjectName(QStringLiteral("mutedMicrophoneHint"));
    m_hint->setMode(ActionHint::MutedMicrophoneMode);
    connect(m_hint, &ActionHint::clicked, m_hint, &ActionHint::dismiss);
    m_meter->setInterval(meterIntervalMs);
    connect(m_meter, &QTimer::timeout, this, &MicrophoneSilenceNotice::measure);
}

MicrophoneSilenceNotice::~MicrophoneSilenceNotice() = default;

void MicrophoneSilenceNotice::setMicrophone(std::shared_ptr<Core::MicrophoneInDevice> microphone)
{
    if (microphone == m_microphone)
        return;
    m_microphone = std::move(microphone);
    m_silentMs = 0;
    update();
}

void MicrophoneSilenceNotice::setWaiting(bool waiting)
{
    if (waiting == m_waiting)
        return;
    m_waiting = waiting;
    m_silentMs = 0;
    update();
}

bool MicrophoneSilenceNotice::isShown() const
{
    return m_hint->isVisible();
}

void MicrophoneSilenceNotice::update()
{
    const bool watching = m_waiting && m_microphone;
    if (watching && !m_meter->isActive())
        m_meter->start();
    else if (!watching)
        m_meter->stop();
    if (!watching || m_silentMs < SilenceMs) {
        m_hint->dismiss();
        return;
    }
    if (isShown())
        return;
    const QPoint topLeft = m_area->mapTo(m_screen, QPoint(0, 0));
    m_hint->adjustSize();
    m_hint->showAt(QPoint(topLeft.x() + m_area->width() / 2, topLeft.y() + gapOverArea + m_hint->height()));
}

void MicrophoneSilenceNotice::measure()
{
    // A microphone that does not open hears nothing either: the student is asked all the same.
    const bool silent = !m_microphone->IsOpen() || m_microphone->PeakLevel() < SilentPeak;
    m_silentMs = silent ? m_silentMs + meterIntervalMs : 0;
    update();
}

} // namespace UI

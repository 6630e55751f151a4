#include "ui/dialogs/microphone_check.h"

#include "core/audio/microphone_in_device.h"
#include "core/exercise/music_tables.h"
#include "ui/dialogs/card_dialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int meterIntervalMs = 50;
// The meter shows the last 60 dB below full scale.
constexpr int meterRangeDb = 60;
// The background noise is the quietest RMS over windows this long.
constexpr int noiseWindowMs = 2000;
constexpr int middleC = 60;
const QSet<int> cMajorChord{60, 64, 67};
constexpr int lowestKeyNote = 21; // A0

double decibels(float level)
{
    return 20.0 * std::log10(std::max(level, 1e-6f));
}

QString noteNames(const QSet<int>& notes)
{
    QList<int> sorted = notes.values();
    std::sort(sorted.begin(), sorted.end());
    QStringList names;
    for (int note : qAsConst(sorted)) {
        const int key = note - lowestKeyNote;
        if (key >= 0 && key < Core::MusicTables::KeyCount)
            names.append(Core::MusicTables::NoteLabel(key, false));
    }
    return names.join(QStringLiteral(", "));
}

} // namespace

namespace UI {

MicrophoneCheck::MicrophoneCheck(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("microphoneCheck"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto addLabel = [this, layout](const char* name, int pixelSize, int weight, const char* style) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setWordWrap(true);
        label->setFont(CardDialog::textFont(pixelSize, weight));
        label->setStyleSheet(QLatin1String(style));
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label);
        return label;
    };
    const char* text = "color: rgb(29, 30, 36); background: transparent;";
    m_guide = addLabel("microphoneGuide", 16, QFont::Bold, text);
    m_heard = addLabel("microphoneHeard", 15, QFont::Normal, text);

    m_level = new QProgressBar(this);
    m_level->setObjectName(QStringLiteral("microphoneLevel"));
    m_level->setRange(0, meterRangeDb);
    m_level->setTextVisible(false);
    m_level->setAccessibleName(tr("Microphone level"));
    m_level->setFixedHeight(12);
    layout->addWidget(m_level);

    m_noise = addLabel("microphoneNoise", 14, QFont::Normal, text);
    m_warning = addLabel("microphoneWarning", 14, QFont::Bold, "color: rgb(150, 60, 0); background: transparent;");

    m_meter = new QTimer(this);
    m_meter->setInterval(meterIntervalMs);
    connect(m_meter, &QTimer::timeout, this, &MicrophoneCheck::measure);
    setMicrophone(nullptr, true);
}

MicrophoneCheck::~MicrophoneCheck() = default;

void MicrophoneCheck::setMicrophone(std::shared_ptr<Core::MicrophoneInDevice> microphone, bool anyMicrophone)
{
    m_microphone = std::move(microphone);
    m_step = Step::MiddleC;
    m_silentMs = 0;
    m_noiseWindowMs = 0;
    m_quietest = 1.0f;
    m_sinceClipMs = TooLoudShownMs;
    m_clipped = m_microphone ? m_microphone->ClippedSamples() : 0;
    m_heard->clear();
    m_noise->setText(tr("Background noise: measuring…"));
    m_noise->setAccessibleName(m_noise->text());
    m_level->setValue(0);
    warn(QString());
    if (!m_microphone) {
        m_meter->stop();
        const bool say = !anyMicrophone;
        m_guide->setText(say ? tr("No microphone found.") : QString());
        m_guide->setAccessibleName(m_guide->text());
        for (QWidget* part : {static_cast<QWidget*>(m_heard), static_cast<QWidget*>(m_level),
                              static_cast<QWidget*>(m_noise), static_cast<QWidget*>(m_warning)})
            part->setVisible(false);
        setVisible(say);
        return;
    }
    for (QWidget* part : {static_cast<QWidget*>(m_heard), static_cast<QWidget*>(m_level),
                          static_cast<QWidget*>(m_noise), static_cast<QWidget*>(m_warning)})
        part->setVisible(true);
    setVisible(true);
    if (!m_microphone->IsOpen())
        warn(tr("The microphone does not open: %1").arg(m_microphone->LastError()));
    showStep();
    m_meter->start();
}

void MicrophoneCheck::showStep()
{
    switch (m_step) {
    case Step::MiddleC:
        m_guide->setText(tr("Play middle C"));
        break;
    case Step::Chord:
        m_guide->setText(tr("Play a C major chord"));
        break;
    case Step::Done:
        m_guide->setText(tr("Your piano is heard well."));
        break;
    }
    m_guide->setAccessibleName(m_guide->text());
}

void MicrophoneCheck::showKeys(const QSet<int>& notes)
{
    if (!m_microphone || notes.isEmpty())
        return;
    m_heard->setText(tr("Heard: %1").arg(noteNames(notes)));
    m_heard->setAccessibleName(m_heard->text());
    if (m_step == Step::MiddleC && notes == QSet<int>{middleC})
        m_step = Step::Chord;
    else if (m_step == Step::Chord && notes == cMajorChord)
        m_step = Step::Done;
    showStep();
}

void MicrophoneCheck::warn(const QString& text)
{
    m_warning->setText(text);
    m_warning->setAccessibleName(text);
    m_warning->setVisible(!text.isEmpty() && m_microphone);
}

void MicrophoneCheck::measure()
{
    if (!m_microphone || !m_microphone->IsOpen())
        return;
    const float peak = m_microphone->PeakLevel();
    const float rms = m_microphone->RmsLevel();
    m_level->setValue(std::clamp(int(std::lround(decibels(peak))) + meterRangeDb, 0, meterRangeDb));

    // Each clipped sample keeps the warning up a while: long enough to read it.
    const quint64 clipped = m_microphone->ClippedSamples();
    m_sinceClipMs = clipped > m_clipped ? 0 : m_sinceClipMs + meterIntervalMs;
    m_clipped = clipped;
    m_silentMs = peak < MicrophoneSilenceNotice::SilentPeak ? m_silentMs + meterIntervalMs : 0;
    if (m_sinceClipMs < TooLoudShownMs)
        warn(tr("Too loud: move the microphone away from the piano."));
    else if (m_silentMs >= SilenceMs)
        warn(tr("I hear nothing: is the microphone muted?"));
    else
        warn(QString());

    m_quietest = std::min(m_quietest, rms);
    m_noiseWindowMs += meterIntervalMs;
    if (m_noiseWindowMs >= noiseWindowMs) {
        m_noise->setText(tr("Background noise: %1 dB").arg(qRound(decibels(m_quietest))));
        m_noise->setAccessibleName(m_noise->text());
        m_noiseWindowMs = 0;
        m_quietest = 1.0f;
    }
}

} // namespace UI

#pragma once
// The animated loudspeaker that the exercise screen shows while a question is heard (ear
// trainer notes, intervals, chords, scales and tempo pieces): a speaker with sound waves that
// pulse outwards while it plays and stand still when stopped. Drawn with vector paths at the
// device's resolution. Used by UI::ExerciseScreen. GUI thread.

#include <QWidget>

class QVariantAnimation;

namespace UI {

class SpeakerWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int CycleMs = 1200;

    explicit SpeakerWidget(QWidget* parent = nullptr);

    void start();
    void stop();
    bool isAnimating() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVariantAnimation* m_pulse = nullptr;
    double m_phase = 0.0; // 0 to 1 through one cycle of the waves
};

} // namespace UI

#pragma once
// The frame around the exercise screen's score pane: it holds the pane inside a margin and paints
// a soft drop shadow around wherever the pane is now, so that the shadow follows the pane while
// the right-answer hop and the wrong-answer shake move it. While the pane is "free" (an animation
// owns its geometry) the frame does not place it. Used by UI::ExerciseScreen. GUI thread.

#include <QPointer>
#include <QWidget>

namespace UI {

class ShadowFrame : public QWidget
{
    Q_OBJECT
public:
    // Room around the pane for the shadow, in logical pixels.
    static constexpr int Margin = 14;

    explicit ShadowFrame(QWidget* parent = nullptr);

    // The pane the frame holds: its first child widget unless set here.
    void setPane(QWidget* pane);
    QWidget* pane() const;
    // The pane's place when no animation moves it.
    QRect restingRect() const;
    // While free, resizing the frame leaves the pane where it is. Leaving the free state puts the
    // pane back in its resting place.
    void setPaneFree(bool free);
    bool isPaneFree() const { return m_paneFree; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placePane();

    QPointer<QWidget> m_pane;
    bool m_paneFree = false;
};

} // namespace UI

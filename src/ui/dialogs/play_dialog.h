#pragma once
// The pause veil of the exercise screen: laid over the score pane while the lesson is paused, it
// darkens the question, shows a large play button with "Paused" and how to go on, and asks the
// screen to play on (Play()) when it or the button is clicked. A child widget of the pane, so it
// moves with it and never takes the keyboard focus from the screen (the space bar stays the
// screen's). Fades in and out over 150 ms. Created on first use by UI::ExerciseScreen.
// GUI thread.

#include <QWidget>

class QLabel;
class QToolButton;
class QVariantAnimation;

namespace UI {

class PlayDialog : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double opacity READ opacity WRITE setOpacity)
public:
    static constexpr int FadeMs = 150;

    explicit PlayDialog(QWidget* parent = nullptr);

    // Covers the parent and fades in; a second call while shown does nothing.
    void showOver();
    // Fades out, then hides.
    void fadeOut();
    bool isShown() const { return isVisible() && !m_fadingOut; }

    double opacity() const { return m_opacity; }
    void setOpacity(double value);

    QToolButton* playButton() const { return m_button; }

Q_SIGNALS:
    void playRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();

    QToolButton* m_button = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_hint = nullptr;
    QVariantAnimation* m_fade = nullptr;
    double m_opacity = 1.0;
    bool m_fadingOut = false;
};

} // namespace UI

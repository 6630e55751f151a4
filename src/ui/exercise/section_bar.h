#pragma once
// The exercise screen's section bar: one button per section of the lesson above the slider, each
// as wide as its section's share of the lesson (on a log scale, so that a short section stays
// clickable), and the map between the slider's values and the lesson's timeline. The buttons are
// the form's "section1" to "section5" in `buttons`; a click on one is sectionChosen, whatever the
// view (the screen decides what a section means there). The slider follows the lesson, gliding
// forward while it runs, and is the student's way to seek through it. GUI thread.

#include <QBasicTimer>
#include <QObject>

#include <array>
#include <vector>

class QButtonGroup;
class QSlider;
class QToolButton;
class QWidget;

namespace Core {
struct LessonSegment;
}

namespace UI {

class SectionBar : public QObject
{
    Q_OBJECT
public:
    static constexpr int SectionCount = 5;
    static constexpr int GlideIntervalMs = 50;

    SectionBar(QWidget* buttons, QSlider* slider, QObject* parent = nullptr);

    // Sizes the buttons for the lesson's `segments` and gives the slider its range.
    void layOut(const std::vector<Core::LessonSegment>& segments);
    bool hasSection(int section) const;
    // In the exercise view the buttons are checkable and the lesson's own section is checked.
    void setCheckable(bool checkable);
    // Whether the buttons take clicks; a quiz shows its sections without letting the student
    // jump between them.
    void setNavigable(bool navigable);
    void setCurrent(int section);
    // Gives button `section` the statistics look and the others the exercise look (-1: none).
    void highlight(int section);
    // The slider value of `offset` ticks into timeline segment `segment`; -1 when the bar has no
    // such section.
    int sliderValue(int segment, int offset) const;
    // The timeline position under slider value `value` (past the last section: its last tick).
    int positionAt(int value) const;
    // Puts the slider `offset` ticks into timeline segment `segment`: at once when `jump`, else a
    // step forward of more than two values glides there while the lesson runs. Nothing moves
    // while the student holds the handle.
    void showPosition(int segment, int offset, bool jump);
    // Whether the lesson runs: the slider glides only then, so a paused lesson costs no wake-ups.
    void setRunning(bool running);

Q_SIGNALS:
    void sectionChosen(int section);
    // The student took the slider's handle, and let it go over timeline position `position`.
    void seekStarted();
    void seekEnded(int position);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    // What the bar keeps of section i: its index (-1 none), where its button starts on the
    // slider, the button's width and the section's length in ticks.
    struct Record
    {
        int index = -1;
        int start = 0;
        int span = 0;
        int length = 0;
    };

    QToolButton* button(int section) const;
    int sliderHandleLength() const;
    void updateGlideTimer();

    QWidget* m_buttons;
    QSlider* m_slider;
    QButtonGroup* m_group;
    std::array<Record, SectionCount> m_records{};
    QBasicTimer m_glideTimer;
    int m_glideTarget = 0;
    bool m_running = false;
};

} // namespace UI

#pragma once
// The tool bar's tabs of a lesson after it ended: reference (learning only), statistics and
// settings, with the reference and statistics pages of every section and every tab of the
// trainer's settings page.

#include <cstddef>
#include <utility>
#include <vector>

class Album;
class QAbstractButton;
class QToolButton;
class TourWindow;

class LessonTabs
{
public:
    LessonTabs(TourWindow& window, Album& album) : window(window), album(album) {}

    // The tabs of the lesson of `trainer` after it ended, each pictured as the tab opens when
    // `toolBarShots` is set. In a learning lesson the reference page and the statistics page of
    // every section follow their tab, and in the first one the history page too. The section end
    // dialog, when it stays over a tab, is pictured once and then put away, so that the tab's own
    // view shows.
    bool TabMoments(size_t trainer, bool quiz, bool toolBarShots);

    // Every tab of the trainer's settings page, opened with the tool bar's Settings tab after the
    // lesson: in a learning lesson each tab is chosen with a click on its title; in a quiz the
    // tabs take no clicks (the notice says that nothing may change), so each is opened as the
    // window opens the tab of the lesson's section. The lesson's score, when it is still up,
    // gives way to the page and comes back with the lesson.
    bool SettingsMoments(size_t trainer, bool quiz);

private:
    // The section buttons the lesson shows (a trainer with fewer sections hides the others),
    // with their index.
    std::vector<std::pair<int, QToolButton*>> SectionButtons() const;
    void ClickButton(QAbstractButton* button) const;
    // Delivers the events a click left posted (the layout of a page just built or filled), as
    // the event loop would before the next frame; nothing is waited for.
    static void Deliver();
    // The reference page of every section button, chosen with the button.
    bool ReferenceMoments(size_t trainer);
    // The statistics page of every section button (the ear trainer's tempo section on its
    // extended page, without the keyboard), and with `history` the first section's page of all
    // runs, chosen with "View History".
    bool StatisticsMoments(bool history);

    TourWindow& window;
    Album& album;
    bool scoreOverTabShown = false;
};

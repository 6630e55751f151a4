#pragma once
// The main window's own moments over the home screen, after the lessons: the band that says the
// answers could not be saved, both forms of the difficulty dialog, the about, help, news and
// rating dialogs, and the tool bar in full screen.

class Album;
class Application;
class TourWindow;

class WindowMoments
{
public:
    WindowMoments(Application& app, TourWindow& window, Album& album) : app(app), window(window), album(album)
    {
    }

    // The band that says the answers could not be saved, as the store's reports set it.
    void SaveWarningMoments();
    // Both forms of the difficulty dialog over the home screen, opened with the blocks' buttons.
    bool DifficultyMoments();
    // The about, help, news and rating dialogs over the home screen.
    bool DialogMoments();
    // The full-screen button's look in full screen (the window's look is in every other
    // picture). The offscreen platform's screen is smaller than the pass, so the full-screen
    // window is pictured by the right end of its tool bar (the window buttons, laid out from the
    // right) over the window at the pass's size.
    bool FullScreenMoment();

private:
    Application& app;
    TourWindow& window;
    Album& album;
};

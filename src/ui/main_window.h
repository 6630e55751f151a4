#pragma once
// The program's one window: a tool bar (the place's title, the view tabs, settings, help,
// about, news, minimise, full screen and exit) over a central area in which one screen at a
// time is shown: the home screen with the three trainers, the exercise screen and the trainers'
// settings pages. The window stack manager fades from screen to screen. The window also
// re-scans the MIDI devices when one is plugged in or out, polls the news, keeps the resume
// record (where a learning lesson was left) and ends the program.
//
// Built by main() with the services the application fills (UI::MainWindowServices), whose
// engine objects it hands to the screens. GUI thread only; device changes reach it through
// UI::DeviceRescanner, news through UI::NewsNotifier.

#include "ui/main_window_services.h"
#include "ui/speed.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

namespace Core {
class Telemetry;
}

class QAction;
class QState;
class QStateMachine;
class QToolButton;

namespace Ui {
class MainWindow;
}

namespace UI {

class AboutDialog;
class HomeScreen;
class ExerciseScreen;
class FaderWidget;
class NewsNotifier;
class SaveWarningBar;
class TrainerSettingsPage;
class WindowStackManager;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    enum NavigationStartState
    {
        ExerciseStart = 0,
        HomeStart = 1,
    };
    explicit MainWindow(const MainWindowServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Places the window on screen `displayIndex` when there is such a screen, sized to it, and
    // shows it full screen or as a normal window.
    void showOnScreen(bool fullScreen, int displayIndex);

    // Ends the program without asking anything (the session ends, a termination signal): the
    // resume record, the statistics and the usage counters are saved first.
    void endSession();

    // Another start of the program asked for this window: out of the task bar and to the front.
    void bringToFront();

    // For the tour and the tests.
    HomeScreen* homeScreen() const { return m_homeScreen; }
    ExerciseScreen* exerciseScreen() const { return m_exerciseScreen; }
    TrainerSettingsPage* settingsPage(int trainer) const;
    FaderWidget* fader() const { return m_fader; }
    SaveWarningBar* saveWarning() const { return m_saveWarning; }
    WindowStackManager* stackManager() const { return m_stack; }
    QToolButton* toolButton(const char* name) const;
    bool isQuiz() const { return m_quiz; }

Q_SIGNALS:
    void settingsChanged();
    void toExerciseTransition();
    void toHomeTransition();
    void toReferenceTransition();
    void toStatisticsTransition();
    void toSettingsTransition();
    void screenChange(QString currentScreen, QString previousScreen);
    void deviceChange();
    void showReference(UI::Speed speed);
    void showStatistics(UI::Speed speed);
    void showExercise(UI::Speed speed);
    void windowMinimized();
    // The home screen's first paint that reached the screen (for the start-up trace).
    void homeScreenPainted();

public Q_SLOTS:
    void openExercise(size_t exerciseId, bool quizMode);
    void openExercise(size_t exerciseId, bool quizMode, bool resume);
    void hideSettings();
    void setupNavigation(int startState);
    void toggleFullScreen();
    void userExitRequest();
    void showSettings();
    void showHelp();
    void showAbout();
    void navigateHome();
    void userMinimizeScreenRequest();
    void updateDevices();
    void showExercise();
    void showReference();
    void showStatistics();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showScreen(QWidget* widget);
    // Tool bar, caption and tabs for the screen now in front (main_window_tool_bar.cpp).
    void updateNavigation(QWidget* widget);
    void setCaption(const char* place);
    void markTab(QToolButton* tab);
    void applyExerciseTabs();
    void saveLastState();
    // Saves what must not be lost and closes the open lesson; true the first time only.
    bool prepareToEnd();
    void resumeLastLesson();
    bool isExerciseInFront() const;
    bool isSettingsPage(const QWidget* widget) const;
    void setFullScreenLook(bool fullScreen);
    std::shared_ptr<Core::Telemetry> telemetry() const;

    MainWindowServices m_services;
    std::unique_ptr<Ui::MainWindow> m_ui;
    WindowStackManager* m_stack = nullptr;
    FaderWidget* m_fader = nullptr;
    SaveWarningBar* m_saveWarning = nullptr;
    HomeScreen* m_homeScreen = nullptr;
    ExerciseScreen* m_exerciseScreen = nullptr;
    std::array<TrainerSettingsPage*, 3> m_settingsPages{};
    QPointer<AboutDialog> m_aboutDialog;
    // Home on Backspace, off while a text or number field has the focus.
    QAction* m_backspaceAction = nullptr;
    NewsNotifier* m_newsNotifier = nullptr;

    bool m_quiz = false;
    bool m_minimized = false;
    bool m_firstShown = false;
    bool m_ending = false;
    bool m_homePaintReported = false;
    // The look last given to the full-screen button: -1 none yet, else whether full screen.
    int m_fullScreenLook = -1;

    QStateMachine* m_navigation = nullptr;
    QState* m_homeState = nullptr;
    QState* m_exerciseState = nullptr;
};

} // namespace UI

#pragma once
// The program's one window: a tool bar (the place's title, the view tabs, settings, help,
// about, news, minimise, full screen and exit) over a central area in which one screen at a
// time is shown: the home screen with the three trainers, the exercise screen and the trainers'
// settings pages. The window stack manager fades from screen to screen. The window also
// re-scans the MIDI devices when one is plugged in or out, polls the news, keeps the resume
// record (where a learning lesson was left) and ends the program.
//
// Built by main() with the application, whose engine objects it hands to the screens. GUI
// thread only; the sound controller's device-change callback is brought to the GUI thread
// before it reaches the window.

#include "ui/speed.h"

#include <QBasicTimer>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class Application;
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
class MailDialog;
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
    // A device notification is followed by re-scans one second apart until the device list
    // changes, at most DeviceRetries - 1 of them.
    static constexpr int DeviceRetries = 10;
    static constexpr int DeviceRescanMs = 1000;
    static constexpr int FirstNewsPollMs = 1000;
    static constexpr int NewsPollMs = 30000;

    explicit MainWindow(Application& application, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Places the window on screen `displayIndex` when there is such a screen, sized to it, and
    // shows it full screen or as a normal window.
    void ShowOnScreen(bool fullScreen, int displayIndex);

    // Ends the program without asking anything (the session ends, a termination signal): the
    // resume record, the statistics and the usage counters are saved first.
    void EndSession();

    // Another start of the program asked for this window: out of the task bar and to the front.
    void BringToFront();

    // For the tour and the tests.
    HomeScreen* GetHomeScreen() const { return homeScreen; }
    ExerciseScreen* GetExerciseScreen() const { return exerciseScreen; }
    TrainerSettingsPage* GetSettingsPage(int trainer) const;
    FaderWidget* GetFader() const { return fader; }
    SaveWarningBar* GetSaveWarning() const { return saveWarning; }
    WindowStackManager* GetStackManager() const { return stack; }
    QToolButton* GetToolButton(const char* name) const;
    int DeviceRetryCounter() const { return deviceRetryCounter; }
    bool IsQuiz() const { return quiz; }

    // The sound controller's device-change callback (GUI thread): starts a re-scan unless one
    // is under way.
    static void DeviceChangeHandler();

Q_SIGNALS:
    void SettingsChanged();
    void ToExerciseTrans();
    void ToHomeTrans();
    void ToReferenceTrans();
    void ToStatisticsTrans();
    void ToSettingsTrans();
    void screenChange(QString currentWin, QString previousWin);
    void deviceChange();
    void showReference(UI::Speed speed);
    void showStatistics(UI::Speed speed);
    void showExercise(UI::Speed speed);
    void windowMinimized();

public Q_SLOTS:
    void OpenExercise(size_t exerciseId, bool quizMode);
    void OpenExercise(size_t exerciseId, bool quizMode, bool resume);
    void HideSettings();
    void setupNavigation(int startState);
    void deviceDetectionHandler();
    void toggleFullscreen();
    void userExitRequest();
    void showSettings();
    void showMail();
    void showHelp();
    void onMailReceived();
    void showAbout();
    void NavigateHome();
    void userMinimizeScreenRequest();
    int checkNews();
    void onMailShown();
    void updateDevices();
    void showExercise();
    void showReference();
    void showStatistics();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowScreen(QWidget* widget);
    // Tool bar, caption and tabs for the screen now in front.
    void UpdateNavigation(QWidget* widget);
    void SetCaption(const char* place);
    void MarkTab(QToolButton* tab);
    void ApplyExerciseTabs();
    void SaveLastState();
    // Saves what must not be lost and closes the open lesson; true the first time only.
    bool PrepareToEnd();
    void ResumeLastLesson();
    bool IsExerciseInFront() const;
    bool IsSettingsPage(const QWidget* widget) const;
    void SetFullScreenLook(bool fullScreen);

    Application& app;
    std::unique_ptr<Ui::MainWindow> m_ui;
    WindowStackManager* stack = nullptr;
    FaderWidget* fader = nullptr;
    SaveWarningBar* saveWarning = nullptr;
    HomeScreen* homeScreen = nullptr;
    ExerciseScreen* exerciseScreen = nullptr;
    std::array<TrainerSettingsPage*, 3> settingsPages{};
    QPointer<AboutDialog> aboutDialog;
    QPointer<MailDialog> mailDialog;

    bool quiz = false;
    bool minimized = false;
    bool firstShown = false;
    bool ending = false;
    bool homePaintLogged = false;
    int deviceRetryCounter = 0;
    QBasicTimer newsTimer;
    bool newsTimerFirst = true;
    // The look last given to the full-screen button: -1 none yet, else whether full screen.
    int fullScreenLook = -1;

    QStateMachine* navigation = nullptr;
    QState* homeState = nullptr;
    QState* exerciseState = nullptr;
};

} // namespace UI

#include "ui/main_window.h"

#include "core/error.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "core/midi/sound_controller.h"
#include "core/services/news_client.h"
#include "core/services/services_address.h"
#include "core/services/telemetry.h"
#include "core/timing/time_line.h"
#include "ui/dialogs/about_dialog.h"
#include "app/application.h"
#include "ui/exercise/exercise_screen.h"
#include "ui/home/home_screen.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "ui/widgets/fader_widget.h"
#include "ui/dialogs/mail_dialog.h"
#include "ui/dialogs/rating_dialog.h"
#include "ui/save_warning_bar.h"
#include "ui/dialogs/section_end_dialog.h"
#include "app/startup_trace.h"
#include "ui/settings/trainer_settings_page.h"
#include "ui/window_stack_manager.h"

#include "ui_main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScreen>
#include <QSessionManager>
#include <QState>
#include <QStateMachine>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

Q_LOGGING_CATEGORY(consoleLog, "cantorela.console")

namespace UI {
namespace {

// The window that hears of device changes (there is one per process).
QPointer<MainWindow> deviceListener;

const char* TrainerPlace(size_t exerciseId, bool quiz)
{
    static const char* const places[3][2] = {{"noteTrainer", "noteTrainerQuiz"},
                                             {"earTrainer", "earTrainerQuiz"},
                                             {"symbolTrainer", "symbolTrainerQuiz"}};
    return exerciseId < 3 ? places[exerciseId][quiz ? 1 : 0] : "home";
}

QString PlaceName(const char* place)
{
    const QByteArray key(place);
    if (key.startsWith("note"))
        return MainWindow::tr("Note Trainer");
    if (key.startsWith("ear"))
        return MainWindow::tr("Ear Trainer");
    if (key.startsWith("symbol"))
        return MainWindow::tr("Music Symbols");
    return QStringLiteral("Cantorela");
}

} // namespace

MainWindow::MainWindow(Application& application, QWidget* parent)
    : QMainWindow(parent), app(application), m_ui(std::make_unique<Ui::MainWindow>())
{
    qRegisterMetaType<size_t>("size_t");
    RegisterScreenMetaTypes();
    m_ui->setupUi(this);
    stack = app.GetWindowStackManager();

    // The central area: the tool bar from the form, then the fader that shows one screen.
    fader = new FaderWidget(m_ui->centralWidget);
    fader->setObjectName(QStringLiteral("screenFader"));
    fader->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    saveWarning = new SaveWarningBar(
        app.GetExerciseCatalog() ? app.GetExerciseCatalog()->GetStatistics() : nullptr, m_ui->centralWidget);
    m_ui->centralLayout->addWidget(saveWarning);
    m_ui->centralLayout->addWidget(fader, 1);

    Core::SettingsStore* settings = app.GetSettings();
    homeScreen = new HomeScreen(
        app.GetExerciseCatalog(), settings, [this](bool quizMode) { app.SetQuizMode(quizMode); }, fader);
    homeScreen->hide();
    homeScreen->installEventFilter(this);
    exerciseScreen =
        new ExerciseScreen(app.GetExerciseCatalog(), app.GetSoundController(), settings, fader);
    exerciseScreen->hide();
    for (int t = 0; t < int(settingsPages.size()); ++t) {
        settingsPages[size_t(t)] = new TrainerSettingsPage(
            t, settings, app.GetSoundController(),
            [this](const Core::GeneralSettings& general) { app.SetGeneralSettings(general); }, fader);
        settingsPages[size_t(t)]->hide();
    }

    SetCaption("home");
    MarkTab(m_ui->Exercise);
    for (QToolButton* button : {m_ui->Mail, m_ui->Help, m_ui->About})
        button->setStyleSheet(property("unselectedToolbuttonStyle").toString());
    m_ui->Mail->hide(); // shown when news arrive

    connect(m_ui->Exit, &QToolButton::released, this, &MainWindow::userExitRequest);
    connect(m_ui->Minimize, &QToolButton::clicked, this, &MainWindow::userMinimizeScreenRequest);
    connect(m_ui->Settings, &QToolButton::released, this, &MainWindow::showSettings);
    connect(m_ui->About, &QToolButton::released, this, &MainWindow::showAbout);
    connect(m_ui->Mail, &QToolButton::released, this, &MainWindow::showMail);
    connect(m_ui->Help, &QToolButton::released, this, &MainWindow::showHelp);
    connect(m_ui->Exercise, &QToolButton::released, this, QOverload<>::of(&MainWindow::showExercise));
    connect(m_ui->Reference, &QToolButton::released, this, QOverload<>::of(&MainWindow::showReference));
    connect(m_ui->Statistics, &QToolButton::released, this, QOverload<>::of(&MainWindow::showStatistics));
    connect(m_ui->Back, &QToolButton::released, this, &MainWindow::NavigateHome);
    connect(m_ui->FullScreen, &QToolButton::clicked, this, &MainWindow::toggleFullscreen);
    if (auto news = app.GetNewsClient())
        connect(news.get(), &Core::NewsClient::newsReceived, this, &MainWindow::onMailReceived,
                Qt::QueuedConnection);
    connect(this, &MainWindow::deviceChange, this, &MainWindow::updateDevices);
    connect(stack, &WindowStackManager::screenChange, this, &MainWindow::screenChange);

    connect(homeScreen, &HomeScreen::OpenExercise, this,
            QOverload<size_t, bool>::of(&MainWindow::OpenExercise));
    connect(this, &MainWindow::SettingsChanged, exerciseScreen, &ExerciseScreen::ApplySettings);
    connect(exerciseScreen, &ExerciseScreen::ExitSignal, this, &MainWindow::NavigateHome);
    connect(stack, &WindowStackManager::screenChange, exerciseScreen,
            &ExerciseScreen::screenChangeSlot);
    connect(this, QOverload<UI::Speed>::of(&MainWindow::showReference), exerciseScreen,
            &ExerciseScreen::showReference);
    connect(this, QOverload<UI::Speed>::of(&MainWindow::showStatistics), exerciseScreen,
            &ExerciseScreen::ShowStatistics);
    connect(this, QOverload<UI::Speed>::of(&MainWindow::showExercise), exerciseScreen,
            &ExerciseScreen::showExercise);

    // Keys for what the tool bar offers.
    const struct
    {
        QKeySequence keys;
        void (MainWindow::*slot)();
    } shortcuts[] = {{QKeySequence(Qt::Key_F11), &MainWindow::toggleFullscreen},
                     {QKeySequence::HelpContents, &MainWindow::showHelp},
                     {QKeySequence(Qt::ALT + Qt::Key_Home), &MainWindow::NavigateHome},
                     {QKeySequence::Quit, &MainWindow::userExitRequest}};
    for (const auto& shortcut : shortcuts) {
        auto* action = new QAction(this);
        action->setShortcut(shortcut.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, shortcut.slot);
        addAction(action);
    }

    // The session may end while the program runs: keep what must not be lost, ask nothing.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        SaveLastState();
        if (auto catalog = app.GetExerciseCatalog())
            if (auto statistics = catalog->GetStatistics())
                statistics->SaveNow();
    });

    // MIDI devices coming and going reach the window through the sound controller.
    deviceListener = this;
    Core::SoundController::SetDeviceChangeCallback(&MainWindow::DeviceChangeHandler);

    newsTimer.start(FirstNewsPollMs, Qt::CoarseTimer, this);
}

MainWindow::~MainWindow()
{
    if (deviceListener == this) {
        Core::SoundController::SetDeviceChangeCallback(nullptr);
        deviceListener = nullptr;
    }
    // The exercise goes before the screens that observe it.
    if (exerciseScreen)
        exerciseScreen->CloseExercise();
}

TrainerSettingsPage* MainWindow::GetSettingsPage(int trainer) const
{
    return trainer >= 0 && trainer < int(settingsPages.size()) ? settingsPages[size_t(trainer)] : nullptr;
}

QToolButton* MainWindow::GetToolButton(const char* name) const
{
    return m_ui->toolBar->findChild<QToolButton*>(QString::fromLatin1(name));
}

void MainWindow::ShowOnScreen(bool fullScreen, int displayIndex)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    QScreen* screen = displayIndex >= 0 && displayIndex < screens.size() ? screens[displayIndex] : nullptr;
    QScreen* sizing = screen ? screen : QGuiApplication::primaryScreen();
    if (sizing) {
        // A normal window fits the part of the screen that panels leave free.
        const QRect area = fullScreen ? sizing->geometry() : sizing->availableGeometry();
        setMinimumSize(qMin(1024, area.width()), qMin(600, area.height()));
        if (screen) {
            if (!windowHandle())
                create();
            windowHandle()->setScreen(screen);
            setGeometry(area);
        } else {
            resize(area.size());
        }
    }
    if (fullScreen)
        showFullScreen();
    else
        showNormal();
}

// ---- screens ---------------------------------------------------------------------------------

void MainWindow::ShowScreen(QWidget* widget)
{
    if (!widget || minimized)
        return;
    QWidget* top = stack->Top();
    // Already in front (a view tab of the lesson): nothing to fade, no screen change to announce.
    if (widget == top) {
        UpdateNavigation(widget);
        return;
    }
    if (widget == homeScreen)
        homeScreen->MarkForRefresh();
    // Leaving a settings page puts its values into force.
    if (IsSettingsPage(top) && widget != top) {
        auto* page = static_cast<TrainerSettingsPage*>(top);
        const bool changed = page->Gui2Data();
        if (exerciseScreen->GetExercise())
            exerciseScreen->ApplySettings();
        if (auto telemetry = app.GetExerciseCatalog() ? app.GetExerciseCatalog()->GetTelemetry() : nullptr)
            telemetry->SettingsClosed();
        if (changed)
            emit SettingsChanged();
    }
    stack->Push(widget, fader);
    UpdateNavigation(widget);
}

void MainWindow::UpdateNavigation(QWidget* widget)
{
    // A machine that has been started but not yet run would miss the transition: it starts in
    // the state of the screen in front instead.
    if (navigation && !navigation->isRunning())
        navigation->setInitialState(widget == homeScreen ? homeState : exerciseState);
    if (widget == homeScreen) {
        emit ToHomeTrans();
        SetCaption("home");
    } else if (widget == exerciseScreen) {
        emit ToExerciseTrans();
        ApplyExerciseTabs();
        SetCaption(TrainerPlace(exerciseScreen->GetExerciseId(), quiz));
    }
}

void MainWindow::ApplyExerciseTabs()
{
    m_ui->Reference->setVisible(!quiz && navigation && navigation->configuration().contains(exerciseState));
    m_ui->Exercise->setText(quiz ? tr("Quiz") : tr("Exercise"));
    m_ui->Exercise->setAccessibleName(m_ui->Exercise->text());
}

void MainWindow::SetCaption(const char* place)
{
    m_ui->Caption->setStyleSheet(property(place).toString());
    m_ui->Caption->setAccessibleName(PlaceName(place) +
                                     (QByteArray(place).endsWith("Quiz") ? tr(" quiz") : QString()));
}

void MainWindow::MarkTab(QToolButton* tab)
{
    const QString selected = property("selectedStyle").toString();
    const QString unselected = property("unselectedStyle").toString();
    for (QToolButton* each : {m_ui->Exercise, m_ui->Reference, m_ui->Statistics, m_ui->Settings})
        each->setStyleSheet(each == tab ? selected : unselected);
}

bool MainWindow::IsExerciseInFront() const
{
    return stack->Top() == exerciseScreen;
}

bool MainWindow::IsSettingsPage(const QWidget* widget) const
{
    return widget && std::find(settingsPages.begin(), settingsPages.end(), widget) != settingsPages.end();
}

void MainWindow::OpenExercise(size_t exerciseId, bool quizMode)
{
    OpenExercise(exerciseId, quizMode, false);
}

void MainWindow::OpenExercise(size_t exerciseId, bool quizMode, bool resume)
{
    quiz = quizMode;
    exerciseScreen->LoadExercise(exerciseId, quizMode, resume);
    minimized = false;
    MarkTab(m_ui->Exercise);
    emit showExercise(Quick);
    ShowScreen(exerciseScreen);
    SaveLastState();
}

void MainWindow::HideSettings()
{
    ShowScreen(homeScreen);
    exerciseScreen->CloseExercise();
    emit SettingsChanged();
}

void MainWindow::NavigateHome()
{
    ShowScreen(homeScreen);
    exerciseScreen->CloseExercise();
}

void MainWindow::showExercise()
{
    MarkTab(m_ui->Exercise);
    emit showExercise(exerciseScreen->isVisible() ? Animated : Quick);
    ShowScreen(exerciseScreen);
}

void MainWindow::showReference()
{
    MarkTab(m_ui->Reference);
    emit ToReferenceTrans();
    emit showReference(exerciseScreen->isVisible() ? Animated : Quick);
    ShowScreen(exerciseScreen);
}

void MainWindow::showStatistics()
{
    MarkTab(m_ui->Statistics);
    emit ToStatisticsTrans();
    emit showStatistics(exerciseScreen->isVisible() ? Animated : Quick);
    ShowScreen(exerciseScreen);
}

void MainWindow::showSettings()
{
    const size_t trainer = exerciseScreen->GetExerciseId();
    TrainerSettingsPage* page = GetSettingsPage(int(trainer));
    if (!page)
        return;
    MarkTab(m_ui->Settings);
    emit ToSettingsTrans();
    if (auto telemetry = app.GetExerciseCatalog() ? app.GetExerciseCatalog()->GetTelemetry() : nullptr)
        telemetry->SettingsOpened();
    exerciseScreen->PauseExercise(true);
    int section = 0;
    if (auto exercise = exerciseScreen->GetExercise())
        if (auto timeline = exercise->GetTimeLine())
            section = timeline->CurrentSegment();
    page->OpenTab(section);
    if (stack->Top() != page) {
        page->SetQuizMode(quiz);
        ShowScreen(page);
    }
}

// ---- navigation machine ----------------------------------------------------------------------

void MainWindow::setupNavigation(int startState)
{
    if (navigation)
        return;
    navigation = new QStateMachine(this);
    homeState = new QState(navigation);
    exerciseState = new QState(navigation);
    homeState->addTransition(this, &MainWindow::ToExerciseTrans, exerciseState);
    exerciseState->addTransition(this, &MainWindow::ToHomeTrans, homeState);

    const QString selected = property("selectedStyle").toString();
    const QString unselected = property("unselectedStyle").toString();
    // The back button and the view tabs belong to a lesson; the home screen shows the general
    // buttons only (the news button shows itself when there is news).
    for (QToolButton* lessonButton :
         {m_ui->Back, m_ui->Exercise, m_ui->Reference, m_ui->Statistics, m_ui->Settings}) {
        homeState->assignProperty(lessonButton, "visible", false);
        exerciseState->assignProperty(lessonButton, "visible", true);
    }
    exerciseState->assignProperty(m_ui->Exercise, "styleSheet", selected);
    for (QToolButton* tab : {m_ui->Reference, m_ui->Statistics, m_ui->Settings})
        exerciseState->assignProperty(tab, "styleSheet", unselected);
    // A quiz has no reference: the tab goes as soon as the state has shown it.
    connect(exerciseState, &QState::propertiesAssigned, this, &MainWindow::ApplyExerciseTabs);

    navigation->setInitialState(startState == ExerciseStart ? exerciseState : homeState);
    navigation->start();
}

// ---- first show, resume record ---------------------------------------------------------------

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (firstShown)
        return;
    firstShown = true;
    // Before the machine runs, the tool bar shows the home state's buttons.
    for (QToolButton* lessonButton :
         {m_ui->Back, m_ui->Exercise, m_ui->Reference, m_ui->Statistics, m_ui->Settings})
        lessonButton->hide();
    ShowScreen(homeScreen);
    // The keyboard starts on the first trainer's "Learn", not on the tool bar.
    if (auto* learn = homeScreen->findChild<QWidget*>(QStringLiteral("Learn1")))
        learn->setFocus(Qt::OtherFocusReason);
    ResumeLastLesson();
    setupNavigation(IsExerciseInFront() ? ExerciseStart : HomeStart);
}

void MainWindow::ResumeLastLesson()
{
    const Core::LastState last = app.GetSettings()->GetLastState();
    if (last.lastState != 2 || last.exerciseId < 0 || last.exerciseId > 2)
        return;
    app.SetQuizMode(false);
    OpenExercise(size_t(last.exerciseId), false, true);
    exerciseScreen->ResumeAt(last.exercisePosition);
    // The student may have started the program and walked away: the lesson waits behind the
    // play card, its question clock stopped, until Play is pressed.
    exerciseScreen->PauseExercise(true, true);
}

void MainWindow::SaveLastState()
{
    Core::SettingsStore* settings = app.GetSettings();
    if (!settings)
        return;
    Core::LastState record = settings->GetLastState();
    const std::shared_ptr<Core::Exercise> exercise = exerciseScreen->GetExercise();
    if (IsExerciseInFront() && !quiz && exercise) {
        record.lastState = 2;
        const std::shared_ptr<Core::TimeLine> timeline = exercise->GetTimeLine();
        const SectionEndDialog* sectionEnd = exerciseScreen->GetSectionEndDialog();
        const bool sectionEndShown = sectionEnd && sectionEnd->isVisible();
        if (timeline && timeline->Position() < timeline->TotalLength() - 1 && !sectionEndShown) {
            record.exercisePosition = timeline->Position();
            record.exerciseId = int(exerciseScreen->GetExerciseId());
            app.SetLastState(record);
        }
        return;
    }
    record.lastState = 3;
    app.SetLastState(record);
}

// ---- devices ---------------------------------------------------------------------------------

void MainWindow::DeviceChangeHandler()
{
    MainWindow* window = deviceListener;
    if (!window || window->deviceRetryCounter > 0)
        return; // a re-scan is under way and will see this change too
    window->deviceRetryCounter = DeviceRetries;
    QTimer::singleShot(DeviceRescanMs, window, &MainWindow::deviceDetectionHandler);
}

void MainWindow::deviceDetectionHandler()
{
    if (deviceRetryCounter > 0)
        --deviceRetryCounter;
    if (deviceRetryCounter == 0)
        return;
    auto soundController = app.GetSoundController();
    if (soundController && soundController->RefreshDevices()) {
        deviceRetryCounter = 0;
        emit deviceChange();
        return;
    }
    QTimer::singleShot(DeviceRescanMs, this, &MainWindow::deviceDetectionHandler);
}

void MainWindow::updateDevices()
{
    app.SelectStoredInputDevice();
    if (!exerciseScreen)
        return;
    exerciseScreen->PauseExercise(true, true);
    exerciseScreen->ApplySettings();
    for (TrainerSettingsPage* page : settingsPages)
        page->updateDevices();
    for (int t = 0; t < 3; ++t)
        if (DifficultyLevelDialog* dialog = homeScreen->GetDifficultyDialog(t))
            if (dialog->isVisible())
                dialog->Refresh();
}

// ---- news, about, help -----------------------------------------------------------------------

void MainWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != newsTimer.timerId()) {
        QMainWindow::timerEvent(event);
        return;
    }
    if (newsTimerFirst) {
        newsTimerFirst = false;
        newsTimer.start(NewsPollMs, Qt::CoarseTimer, this);
    }
    onMailReceived();
}

int MainWindow::checkNews()
{
    auto news = app.GetNewsClient();
    if (!news)
        return 2;
    switch (news->Poll()) {
    case Core::NewsClient::PollNewsAvailable:
        return 1;
    case Core::NewsClient::PollNoNews:
        return 2;
    default:
        return 0;
    }
}

void MainWindow::onMailReceived()
{
    const int result = checkNews();
    if (result == 1)
        m_ui->Mail->show();
    else if (result == 2)
        m_ui->Mail->hide();
}

void MainWindow::showMail()
{
    auto news = app.GetNewsClient();
    if (!news)
        return;
    const std::vector<Core::NewsItem> items = news->Items();
    if (items.empty())
        return;
    if (!mailDialog) {
        mailDialog = new MailDialog(this);
        connect(mailDialog, &BaseDialog::DialogClosed, this, &MainWindow::onMailShown);
    }
    // The message is seen: it is not announced again, in this run or the next.
    Core::GeneralSettings general = app.GetSettings()->GetGeneralSettings();
    general.newsId = news->CurrentNewsId() > 0 ? news->CurrentNewsId() : items.back().id;
    app.SetGeneralSettings(general);
    mailDialog->SetNews(items.back());
    mailDialog->show();
    mailDialog->raise();
}

void MainWindow::onMailShown()
{
    m_ui->Mail->hide();
}

void MainWindow::showAbout()
{
    if (!aboutDialog)
        aboutDialog = new AboutDialog(this);
    aboutDialog->show();
    aboutDialog->raise();
}

void MainWindow::showHelp()
{
    app.showHelp();
}

// ---- window ----------------------------------------------------------------------------------

void MainWindow::userMinimizeScreenRequest()
{
    exerciseScreen->PauseExercise(true, true);
    minimized = true;
    showMinimized();
    emit windowMinimized();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Back from the task bar: the screens may change again.
    if (event->type() == QEvent::WindowStateChange && !(windowState() & Qt::WindowMinimized))
        minimized = false;
}

void MainWindow::toggleFullscreen()
{
    if (isFullScreen()) {
        showNormal();
        repaint();
    } else {
        showFullScreen();
    }
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    SetFullScreenLook(isFullScreen());
    QMainWindow::paintEvent(event);
}

void MainWindow::SetFullScreenLook(bool fullScreen)
{
    if (fullScreenLook == int(fullScreen))
        return;
    fullScreenLook = int(fullScreen);
    m_ui->FullScreen->setStyleSheet(
        property(fullScreen ? "fullScreenStyle" : "notFullScreenStyle").toString());
    m_ui->FullScreen->setAccessibleName(fullScreen ? tr("Leave full screen") : tr("Full screen"));
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    stack->SetSize(fader->height(), fader->width());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The first paint that reaches the screen (not a picture taken for a fade).
    if (watched == homeScreen && event->type() == QEvent::Paint && !homePaintLogged && windowHandle() &&
        windowHandle()->isExposed()) {
        homePaintLogged = true;
        StartupTrace::Mark("home-painted");
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- the end ---------------------------------------------------------------------------------

bool MainWindow::PrepareToEnd()
{
    if (ending)
        return false;
    ending = true;
    newsTimer.stop();
    SaveLastState();
    exerciseScreen->CloseExercise();
    // Every answer is on disk before the program goes (the saver thread may still be waiting).
    if (auto catalog = app.GetExerciseCatalog()) {
        if (auto statistics = catalog->GetStatistics()) {
            try {
                statistics->Save();
            } catch (const Error& e) {
                qCWarning(consoleLog) << "statistics not saved:" << e.Describe();
            }
        }
    }
    return true;
}

void MainWindow::BringToFront()
{
    if (ending)
        return;
    qCInfo(consoleLog) << "another start of the program asked for this window";
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MainWindow::userExitRequest()
{
    if (!PrepareToEnd())
        return;
    hide();
    const QUrl services = Core::ServicesAddress::Configured();
    if (RatingDialog::ShouldShow(services)) {
        RatingDialog rating(
            services, [this](const QString& url) { app.OpenUrl(url, false); }, this);
        rating.exec();
    }
    if (auto telemetry = app.GetExerciseCatalog() ? app.GetExerciseCatalog()->GetTelemetry() : nullptr)
        telemetry->ApplicationFinished();
    QCoreApplication::exit(0);
}

void MainWindow::EndSession()
{
    if (!PrepareToEnd())
        return;
    if (auto telemetry = app.GetExerciseCatalog() ? app.GetExerciseCatalog()->GetTelemetry() : nullptr)
        telemetry->ApplicationFinished();
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    userExitRequest();
}

} // namespace UI

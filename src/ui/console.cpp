#include "ui/console.h"

#include "core/error.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "core/midi/sound_controller.h"
#include "core/news_client.h"
#include "core/services_address.h"
#include "core/telemetry.h"
#include "core/time_line.h"
#include "ui/about_dialog.h"
#include "ui/application.h"
#include "ui/console_exercise_control.h"
#include "ui/controls/block_view_control.h"
#include "ui/difficulty_level_dialog.h"
#include "ui/fader_widget.h"
#include "ui/mail_dialog.h"
#include "ui/rating_dialog.h"
#include "ui/save_warning_bar.h"
#include "ui/section_end_dialog.h"
#include "ui/startup_trace.h"
#include "ui/trainer_settings_page.h"
#include "ui/window_stack_manager.h"

#include "ui_console.h"

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
QPointer<Console> deviceListener;

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
        return Console::tr("Note Trainer");
    if (key.startsWith("ear"))
        return Console::tr("Ear Trainer");
    if (key.startsWith("symbol"))
        return Console::tr("Music Symbols");
    return QStringLiteral("Cantorela");
}

} // namespace

Console::Console(Application& application, QWidget* parent)
    : QMainWindow(parent), app(application), m_ui(std::make_unique<Ui::Console>())
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
    homeScreen = new BlockViewControl(
        app.GetExerciseCatalog(), settings, [this](bool quizMode) { app.SetQuizMode(quizMode); }, fader);
    homeScreen->hide();
    homeScreen->installEventFilter(this);
    exerciseScreen =
        new ConsoleExerciseControl(app.GetExerciseCatalog(), app.GetSoundController(), settings, fader);
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

    connect(m_ui->Exit, &QToolButton::released, this, &Console::userExitRequest);
    connect(m_ui->Minimize, &QToolButton::clicked, this, &Console::userMinimizeScreenRequest);
    connect(m_ui->Settings, &QToolButton::released, this, &Console::showSettings);
    connect(m_ui->About, &QToolButton::released, this, &Console::showAbout);
    connect(m_ui->Mail, &QToolButton::released, this, &Console::showMail);
    connect(m_ui->Help, &QToolButton::released, this, &Console::showHelp);
    connect(m_ui->Exercise, &QToolButton::released, this, QOverload<>::of(&Console::showExercise));
    connect(m_ui->Reference, &QToolButton::released, this, QOverload<>::of(&Console::showReference));
    connect(m_ui->Statistics, &QToolButton::released, this, QOverload<>::of(&Console::showStatistics));
    connect(m_ui->Back, &QToolButton::released, this, &Console::NavigateHome);
    connect(m_ui->FullScreen, &QToolButton::clicked, this, &Console::toggleFullscreen);
    if (auto news = app.GetNewsClient())
        connect(news.get(), &Core::NewsClient::newsReceived, this, &Console::onMailReceived,
                Qt::QueuedConnection);
    connect(this, &Console::deviceChange, this, &Console::updateDevices);
    connect(stack, &WindowStackManager::screenChange, this, &Console::screenChange);

    connect(homeScreen, &BlockViewControl::OpenExercise, this,
            QOverload<size_t, bool>::of(&Console::OpenExercise));
    connect(this, &Console::SettingsChanged, exerciseScreen, &ConsoleExerciseControl::ApplySettings);
    connect(exerciseScreen, &ConsoleExerciseControl::ExitSignal, this, &Console::NavigateHome);
    connect(stack, &WindowStackManager::screenChange, exerciseScreen,
            &ConsoleExerciseControl::screenChangeSlot);
    connect(this, QOverload<UI::Speed>::of(&Console::showReference), exerciseScreen,
            &ConsoleExerciseControl::showReference);
    connect(this, QOverload<UI::Speed>::of(&Console::showStatistics), exerciseScreen,
            &ConsoleExerciseControl::ShowStatistics);
    connect(this, QOverload<UI::Speed>::of(&Console::showExercise), exerciseScreen,
            &ConsoleExerciseControl::showExercise);

    // Keys for what the tool bar offers.
    const struct
    {
        QKeySequence keys;
        void (Console::*slot)();
    } shortcuts[] = {{QKeySequence(Qt::Key_F11), &Console::toggleFullscreen},
                     {QKeySequence::HelpContents, &Console::showHelp},
                     {QKeySequence(Qt::ALT + Qt::Key_Home), &Console::NavigateHome},
                     {QKeySequence::Quit, &Console::userExitRequest}};
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
    Core::SoundController::SetDeviceChangeCallback(&Console::DeviceChangeHandler);

    newsTimer.start(FirstNewsPollMs, Qt::CoarseTimer, this);
}

Console::~Console()
{
    if (deviceListener == this) {
        Core::SoundController::SetDeviceChangeCallback(nullptr);
        deviceListener = nullptr;
    }
    // The exercise goes before the screens that observe it.
    if (exerciseScreen)
        exerciseScreen->CloseExercise();
}

TrainerSettingsPage* Console::GetSettingsPage(int trainer) const
{
    return trainer >= 0 && trainer < int(settingsPages.size()) ? settingsPages[size_t(trainer)] : nullptr;
}

QToolButton* Console::GetToolButton(const char* name) const
{
    return m_ui->toolBar->findChild<QToolButton*>(QString::fromLatin1(name));
}

void Console::ShowOnScreen(bool fullScreen, int displayIndex)
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

void Console::ShowScreen(QWidget* widget)
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

void Console::UpdateNavigation(QWidget* widget)
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

void Console::ApplyExerciseTabs()
{
    m_ui->Reference->setVisible(!quiz && navigation && navigation->configuration().contains(exerciseState));
    m_ui->Exercise->setText(quiz ? tr("Quiz") : tr("Exercise"));
    m_ui->Exercise->setAccessibleName(m_ui->Exercise->text());
}

void Console::SetCaption(const char* place)
{
    m_ui->Caption->setStyleSheet(property(place).toString());
    m_ui->Caption->setAccessibleName(PlaceName(place) +
                                     (QByteArray(place).endsWith("Quiz") ? tr(" quiz") : QString()));
}

void Console::MarkTab(QToolButton* tab)
{
    const QString selected = property("selectedStyle").toString();
    const QString unselected = property("unselectedStyle").toString();
    for (QToolButton* each : {m_ui->Exercise, m_ui->Reference, m_ui->Statistics, m_ui->Settings})
        each->setStyleSheet(each == tab ? selected : unselected);
}

bool Console::IsExerciseInFront() const
{
    return stack->Top() == exerciseScreen;
}

bool Console::IsSettingsPage(const QWidget* widget) const
{
    return widget && std::find(settingsPages.begin(), settingsPages.end(), widget) != settingsPages.end();
}

void Console::OpenExercise(size_t exerciseId, bool quizMode)
{
    OpenExercise(exerciseId, quizMode, false);
}

void Console::OpenExercise(size_t exerciseId, bool quizMode, bool resume)
{
    quiz = quizMode;
    exerciseScreen->LoadExercise(exerciseId, quizMode, resume);
    minimized = false;
    MarkTab(m_ui->Exercise);
    emit showExercise(Quick);
    ShowScreen(exerciseScreen);
    SaveLastState();
}

void Console::HideSettings()
{
    ShowScreen(homeScreen);
    exerciseScreen->CloseExercise();
    emit SettingsChanged();
}

void Console::NavigateHome()
{
    ShowScreen(homeScreen);
    exerciseScreen->CloseExercise();
}

void Console::showExercise()
{
    MarkTab(m_ui->Exercise);
    emit showExercise(exerciseScreen->isVisible() ? Animated : Quick);
    ShowScreen(exerciseScreen);
}

void Console::showReference()
{
    MarkTab(m_ui->Reference);
    emit ToReferenceTrans();
    emit showReference(exerciseScreen->isVisible() ? Animated : Quick);
    ShowScreen(exerciseScreen);
}

void Console::showStatistics()
{
    MarkTab(m_ui->Statistics);
    emit ToStatisticsTrans();
    emit showStatistics(exerciseScreen->isVisible() ? Animated : Quick);
    ShowScreen(exerciseScreen);
}

void Console::showSettings()
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

void Console::setupNavigation(int startState)
{
    if (navigation)
        return;
    navigation = new QStateMachine(this);
    homeState = new QState(navigation);
    exerciseState = new QState(navigation);
    homeState->addTransition(this, &Console::ToExerciseTrans, exerciseState);
    exerciseState->addTransition(this, &Console::ToHomeTrans, homeState);

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
    connect(exerciseState, &QState::propertiesAssigned, this, &Console::ApplyExerciseTabs);

    navigation->setInitialState(startState == ExerciseStart ? exerciseState : homeState);
    navigation->start();
}

// ---- first show, resume record ---------------------------------------------------------------

void Console::showEvent(QShowEvent* event)
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

void Console::ResumeLastLesson()
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

void Console::SaveLastState()
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

void Console::DeviceChangeHandler()
{
    Console* window = deviceListener;
    if (!window || window->deviceRetryCounter > 0)
        return; // a re-scan is under way and will see this change too
    window->deviceRetryCounter = DeviceRetries;
    QTimer::singleShot(DeviceRescanMs, window, &Console::deviceDetectionHandler);
}

void Console::deviceDetectionHandler()
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
    QTimer::singleShot(DeviceRescanMs, this, &Console::deviceDetectionHandler);
}

void Console::updateDevices()
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

void Console::timerEvent(QTimerEvent* event)
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

int Console::checkNews()
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

void Console::onMailReceived()
{
    const int result = checkNews();
    if (result == 1)
        m_ui->Mail->show();
    else if (result == 2)
        m_ui->Mail->hide();
}

void Console::showMail()
{
    auto news = app.GetNewsClient();
    if (!news)
        return;
    const std::vector<Core::NewsItem> items = news->Items();
    if (items.empty())
        return;
    if (!mailDialog) {
        mailDialog = new MailDialog(this);
        connect(mailDialog, &BaseDialog::DialogClosed, this, &Console::onMailShown);
    }
    // The message is seen: it is not announced again, in this run or the next.
    Core::GeneralSettings general = app.GetSettings()->GetGeneralSettings();
    general.newsId = news->CurrentNewsId() > 0 ? news->CurrentNewsId() : items.back().id;
    app.SetGeneralSettings(general);
    mailDialog->SetNews(items.back());
    mailDialog->show();
    mailDialog->raise();
}

void Console::onMailShown()
{
    m_ui->Mail->hide();
}

void Console::showAbout()
{
    if (!aboutDialog)
        aboutDialog = new AboutDialog(this);
    aboutDialog->show();
    aboutDialog->raise();
}

void Console::showHelp()
{
    app.showHelp();
}

// ---- window ----------------------------------------------------------------------------------

void Console::userMinimizeScreenRequest()
{
    exerciseScreen->PauseExercise(true, true);
    minimized = true;
    showMinimized();
    emit windowMinimized();
}

void Console::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Back from the task bar: the screens may change again.
    if (event->type() == QEvent::WindowStateChange && !(windowState() & Qt::WindowMinimized))
        minimized = false;
}

void Console::toggleFullscreen()
{
    if (isFullScreen()) {
        showNormal();
        repaint();
    } else {
        showFullScreen();
    }
}

void Console::paintEvent(QPaintEvent* event)
{
    SetFullScreenLook(isFullScreen());
    QMainWindow::paintEvent(event);
}

void Console::SetFullScreenLook(bool fullScreen)
{
    if (fullScreenLook == int(fullScreen))
        return;
    fullScreenLook = int(fullScreen);
    m_ui->FullScreen->setStyleSheet(
        property(fullScreen ? "fullScreenStyle" : "notFullScreenStyle").toString());
    m_ui->FullScreen->setAccessibleName(fullScreen ? tr("Leave full screen") : tr("Full screen"));
}

void Console::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    stack->SetSize(fader->height(), fader->width());
}

bool Console::eventFilter(QObject* watched, QEvent* event)
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

bool Console::PrepareToEnd()
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

void Console::BringToFront()
{
    if (ending)
        return;
    qCInfo(consoleLog) << "another start of the program asked for this window";
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void Console::userExitRequest()
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

void Console::EndSession()
{
    if (!PrepareToEnd())
        return;
    if (auto telemetry = app.GetExerciseCatalog() ? app.GetExerciseCatalog()->GetTelemetry() : nullptr)
        telemetry->ApplicationFinished();
    QCoreApplication::exit(0);
}

void Console::closeEvent(QCloseEvent* event)
{
    event->accept();
    userExitRequest();
}

} // namespace UI

#include "ui/main_window.h"

#include "core/error.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "core/services/services_address.h"
#include "core/services/telemetry.h"
#include "core/settings_store.h"
#include "core/timing/time_line.h"
#include "ui/answer_colours.h"
#include "ui/device_rescanner.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "ui/dialogs/rating_dialog.h"
#include "ui/dialogs/section_end_dialog.h"
#include "ui/exercise/exercise_screen.h"
#include "ui/focus_ring.h"
#include "ui/home/home_screen.h"
#include "ui/news_notifier.h"
#include "ui/save_warning_bar.h"
#include "ui/settings/trainer_settings_page.h"
#include "ui/widgets/fader_widget.h"
#include "ui/window_stack_manager.h"

#include "ui_main_window.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSessionManager>
#include <QTextEdit>
#include <QToolButton>
#include <QWindow>

Q_LOGGING_CATEGORY(mainWindowLog, "cantorela.console")

namespace UI {
namespace {

void applyAnswerPalette(const Core::GeneralSettings& general)
{
    AnswerColours::setPalette(general.colourBlindColours ? AnswerColours::ColourBlindPalette
                                                         : AnswerColours::StandardPalette);
}

// Whether `widget` edits text or a number, so that keys such as Backspace are its own.
bool TakesText(const QWidget* widget)
{
    if (!widget)
        return false;
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget))
        return true;
    if (auto* edit = qobject_cast<const QTextEdit*>(widget))
        return !edit->isReadOnly();
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(widget))
        return !edit->isReadOnly();
    return false;
}

} // namespace

MainWindow::MainWindow(const MainWindowServices& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_ui(std::make_unique<Ui::MainWindow>())
{
    qRegisterMetaType<size_t>("size_t");
    registerScreenMetaTypes();
    m_ui->setupUi(this);
    m_stack = m_services.stack;
    // The keyboard's place shows on every screen and dialog.
    FocusRing::install();

    // The central area: the tool bar from the form, then the fader that shows one screen.
    m_fader = new FaderWidget(m_ui->centralWidget);
    m_fader->setObjectName(QStringLiteral("screenFader"));
    m_fader->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_saveWarning = new SaveWarningBar(m_services.catalog ? m_services.catalog->GetStatistics() : nullptr,
                                       m_ui->centralWidget);
    m_ui->centralLayout->addWidget(m_saveWarning);
    m_ui->centralLayout->addWidget(m_fader, 1);

    Core::SettingsStore* settings = m_services.settings;
    // Right and wrong in the colours the general settings ask for, from the start and whenever
    // the settings are put into force (the settings pages, the news notifier).
    if (settings)
        applyAnswerPalette(settings->generalSettings());
    m_services.applyGeneralSettings = [apply = m_services.applyGeneralSettings](const Core::GeneralSettings& general) {
        if (apply)
            apply(general);
        applyAnswerPalette(general);
    };
    m_homeScreen = new HomeScreen(m_services.catalog, settings, m_services.setQuizMode, m_fader);
    m_homeScreen->hide();
    m_homeScreen->installEventFilter(this);
    m_exerciseScreen = new ExerciseScreen(m_services.catalog, m_services.sound, settings, m_fader);
    m_exerciseScreen->hide();
    for (int t = 0; t < int(m_settingsPages.size()); ++t) {
        m_settingsPages[size_t(t)] =
            new TrainerSettingsPage(t, settings, m_services.sound, m_services.applyGeneralSettings, m_fader);
        m_settingsPages[size_t(t)]->hide();
    }

    setCaption("home");
    markTab(m_ui->Exercise);
    for (QToolButton* button : {m_ui->Mail, m_ui->Help, m_ui->About})
        button->setStyleSheet(property("unselectedToolbuttonStyle").toString());
    m_newsNotifier = new NewsNotifier(m_services, m_ui->Mail, this);

    connect(m_ui->Exit, &QToolButton::released, this, &MainWindow::userExitRequest);
    connect(m_ui->Minimize, &QToolButton::clicked, this, &MainWindow::userMinimizeScreenRequest);
    connect(m_ui->Settings, &QToolButton::released, this, &MainWindow::showSettings);
    connect(m_ui->About, &QToolButton::released, this, &MainWindow::showAbout);
    connect(m_ui->Help, &QToolButton::released, this, &MainWindow::showHelp);
    connect(m_ui->Exercise, &QToolButton::released, this, QOverload<>::of(&MainWindow::showExercise));
    connect(m_ui->Reference, &QToolButton::released, this, QOverload<>::of(&MainWindow::showReference));
    connect(m_ui->Statistics, &QToolButton::released, this, QOverload<>::of(&MainWindow::showStatistics));
    connect(m_ui->Back, &QToolButton::released, this, &MainWindow::navigateHome);
    connect(m_ui->FullScreen, &QToolButton::clicked, this, &MainWindow::toggleFullScreen);
    connect(this, &MainWindow::deviceChange, this, &MainWindow::updateDevices);
    connect(m_stack, &WindowStackManager::screenChange, this, &MainWindow::screenChange);

    connect(m_homeScreen, &HomeScreen::openExercise, this,
            QOverload<size_t, bool>::of(&MainWindow::openExercise));
    connect(this, &MainWindow::settingsChanged, m_exerciseScreen, &ExerciseScreen::applySettings);
    connect(m_exerciseScreen, &ExerciseScreen::exitRequested, this, &MainWindow::navigateHome);
    connect(m_stack, &WindowStackManager::screenChange, m_exerciseScreen, &ExerciseScreen::onScreenChanged);
    connect(this, QOverload<UI::Speed>::of(&MainWindow::showReference), m_exerciseScreen,
            &ExerciseScreen::showReference);
    connect(this, QOverload<UI::Speed>::of(&MainWindow::showStatistics), m_exerciseScreen,
            &ExerciseScreen::showStatistics);
    connect(this, QOverload<UI::Speed>::of(&MainWindow::showExercise), m_exerciseScreen,
            &ExerciseScreen::showExercise);

    // Keys for what the tool bar offers.
    const struct
    {
        QKeySequence keys;
        void (MainWindow::*slot)();
    } shortcuts[] = {{QKeySequence(Qt::Key_F11), &MainWindow::toggleFullScreen},
                     {QKeySequence::HelpContents, &MainWindow::showHelp},
                     {QKeySequence(Qt::ALT + Qt::Key_Home), &MainWindow::navigateHome},
                     {QKeySequence(Qt::ALT + Qt::Key_Left), &MainWindow::navigateHome},
                     {QKeySequence(Qt::Key_Backspace), &MainWindow::navigateHome},
                     {QKeySequence::Quit, &MainWindow::userExitRequest}};
    for (const auto& shortcut : shortcuts) {
        auto* action = new QAction(this);
        action->setShortcut(shortcut.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, shortcut.slot);
        addAction(action);
        if (shortcut.keys == QKeySequence(Qt::Key_Backspace))
            m_backspaceAction = action;
    }
    // Backspace belongs to a field that edits text or a number while it has the focus.
    // (Tied to the action, not the window: the focus moves while the window is being destroyed.)
    connect(qApp, &QApplication::focusChanged, m_backspaceAction,
            [action = m_backspaceAction](QWidget*, QWidget* now) { action->setEnabled(!TakesText(now)); });
    // Ctrl+1 to Ctrl+4: the view tabs, as a click on them, while the tool bar shows them.
    const std::pair<int, QToolButton*> tabKeys[] = {{Qt::Key_1, m_ui->Exercise},
                                                    {Qt::Key_2, m_ui->Reference},
                                                    {Qt::Key_3, m_ui->Statistics},
                                                    {Qt::Key_4, m_ui->Settings}};
    for (const auto& [key, tab] : tabKeys) {
        auto* action = new QAction(this);
        action->setShortcut(QKeySequence(Qt::CTRL + key));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, tab, [tab = tab] {
            if (tab->isVisible() && tab->isEnabled())
                tab->click();
        });
        addAction(action);
    }

    // The session may end while the program runs: keep what must not be lost, ask nothing.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        saveLastState();
        if (m_services.catalog)
            if (auto statistics = m_services.catalog->GetStatistics())
                statistics->SaveNow();
    });

    // MIDI devices coming and going reach the window through the sound controller.
    auto* devices = new DeviceRescanner(m_services.sound, this);
    connect(devices, &DeviceRescanner::devicesChanged, this, &MainWindow::deviceChange);
}

MainWindow::~MainWindow()
{
    // The exercise goes before the screens that observe it.
    if (m_exerciseScreen)
        m_exerciseScreen->closeExercise();
}

TrainerSettingsPage* MainWindow::settingsPage(int trainer) const
{
    return trainer >= 0 && trainer < int(m_settingsPages.size()) ? m_settingsPages[size_t(trainer)] : nullptr;
}

QToolButton* MainWindow::toolButton(const char* name) const
{
    return m_ui->toolBar->findChild<QToolButton*>(QString::fromLatin1(name));
}

std::shared_ptr<Core::Telemetry> MainWindow::telemetry() const
{
    return m_services.catalog ? m_services.catalog->GetTelemetry() : nullptr;
}

void MainWindow::showOnScreen(bool fullScreen, int displayIndex)
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

void MainWindow::showScreen(QWidget* widget)
{
    if (!widget || m_minimized)
        return;
    QWidget* top = m_stack->top();
    // Already in front (a view tab of the lesson): nothing to fade, no screen change to announce.
    if (widget == top) {
        updateNavigation(widget);
        return;
    }
    if (widget == m_homeScreen)
        m_homeScreen->markForRefresh();
    // Leaving a settings page puts its values into force.
    if (isSettingsPage(top) && widget != top) {
        auto* page = static_cast<TrainerSettingsPage*>(top);
        page->applySettings();
        // Changed settings reach the lesson (settingsChanged), which asks its question again
        // under them; otherwise it goes on with the question it was on, its time kept.
        const bool changed = page->isModified();
        if (auto usage = telemetry())
            usage->SettingsClosed();
        if (changed)
            Q_EMIT settingsChanged();
    }
    m_stack->push(widget, m_fader);
    updateNavigation(widget);
}

bool MainWindow::isExerciseInFront() const
{
    return m_stack->top() == m_exerciseScreen;
}

bool MainWindow::isSettingsPage(const QWidget* widget) const
{
    return widget &&
           std::find(m_settingsPages.begin(), m_settingsPages.end(), widget) != m_settingsPages.end();
}

void MainWindow::openExercise(size_t exerciseId, bool quizMode)
{
    openExercise(exerciseId, quizMode, false);
}

void MainWindow::openExercise(size_t exerciseId, bool quizMode, bool resume)
{
    m_quiz = quizMode;
    m_exerciseScreen->loadExercise(exerciseId, quizMode, resume);
    m_minimized = false;
    markTab(m_ui->Exercise);
    Q_EMIT showExercise(Quick);
    showScreen(m_exerciseScreen);
    saveLastState();
}

void MainWindow::hideSettings()
{
    showScreen(m_homeScreen);
    m_exerciseScreen->closeExercise();
    Q_EMIT settingsChanged();
}

void MainWindow::navigateHome()
{
    showScreen(m_homeScreen);
    m_exerciseScreen->closeExercise();
}

void MainWindow::showExercise()
{
    markTab(m_ui->Exercise);
    Q_EMIT showExercise(m_exerciseScreen->isVisible() ? Animated : Quick);
    showScreen(m_exerciseScreen);
}

void MainWindow::showReference()
{
    markTab(m_ui->Reference);
    Q_EMIT toReferenceTransition();
    Q_EMIT showReference(m_exerciseScreen->isVisible() ? Animated : Quick);
    showScreen(m_exerciseScreen);
}

void MainWindow::showStatistics()
{
    markTab(m_ui->Statistics);
    Q_EMIT toStatisticsTransition();
    Q_EMIT showStatistics(m_exerciseScreen->isVisible() ? Animated : Quick);
    showScreen(m_exerciseScreen);
}

void MainWindow::showSettings()
{
    const size_t trainer = m_exerciseScreen->exerciseId();
    TrainerSettingsPage* page = settingsPage(int(trainer));
    if (!page)
        return;
    markTab(m_ui->Settings);
    Q_EMIT toSettingsTransition();
    if (auto usage = telemetry())
        usage->SettingsOpened();
    m_exerciseScreen->pauseExercise(true);
    int section = 0;
    if (const Core::LessonSession* session = m_exerciseScreen->session())
        section = session->snapshot().position.segment;
    page->openTab(section);
    if (m_stack->top() != page) {
        page->setQuizMode(m_quiz);
        showScreen(page);
    }
}

// ---- first show, resume record ---------------------------------------------------------------

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_firstShown)
        return;
    m_firstShown = true;
    // Before the machine runs, the tool bar shows the home state's buttons.
    for (QToolButton* lessonButton :
         {m_ui->Back, m_ui->Exercise, m_ui->Reference, m_ui->Statistics, m_ui->Settings})
        lessonButton->hide();
    showScreen(m_homeScreen);
    // The keyboard starts on the first trainer's "Learn", not on the tool bar.
    if (auto* learn = m_homeScreen->findChild<QWidget*>(QStringLiteral("Learn1")))
        learn->setFocus(Qt::OtherFocusReason);
    resumeLastLesson();
    setupNavigation(isExerciseInFront() ? ExerciseStart : HomeStart);
}

void MainWindow::resumeLastLesson()
{
    const Core::LastState last = m_services.settings->lastState();
    if (last.lastState != 2 || last.exerciseId < 0 || last.exerciseId > 2)
        return;
    if (m_services.setQuizMode)
        m_services.setQuizMode(false);
    openExercise(size_t(last.exerciseId), false, true);
    m_exerciseScreen->resumeAt(last.exercisePosition);
    // The student may have started the program and walked away: the lesson waits behind the
    // play card, its question clock stopped, until Play is pressed.
    m_exerciseScreen->pauseExercise(true, true);
}

void MainWindow::saveLastState()
{
    Core::SettingsStore* settings = m_services.settings;
    if (!settings)
        return;
    Core::LastState record = settings->lastState();
    const Core::LessonSession* session = m_exerciseScreen->session();
    if (isExerciseInFront() && !m_quiz && session) {
        record.lastState = 2;
        const Core::LessonPosition timeline = session->snapshot().position;
        const SectionEndDialog* sectionEnd = m_exerciseScreen->sectionEndDialog();
        const bool sectionEndShown = sectionEnd && sectionEnd->isVisible();
        if (timeline.position < timeline.length - 1 && !sectionEndShown) {
            record.exercisePosition = timeline.position;
            record.exerciseId = int(m_exerciseScreen->exerciseId());
            settings->setLastState(record);
        }
        return;
    }
    record.lastState = 3;
    settings->setLastState(record);
}

// ---- devices ---------------------------------------------------------------------------------

void MainWindow::updateDevices()
{
    if (m_services.selectStoredInputDevice)
        m_services.selectStoredInputDevice();
    if (!m_exerciseScreen)
        return;
    m_exerciseScreen->pauseExercise(true, true);
    m_exerciseScreen->applySettings();
    for (TrainerSettingsPage* page : m_settingsPages)
        page->updateDevices();
    for (int t = 0; t < 3; ++t)
        if (DifficultyLevelDialog* dialog = m_homeScreen->existingDifficultyDialog(t))
            if (dialog->isVisible())
                dialog->refresh();
}

// ---- about, help ----------------------------------------------------------------------------

void MainWindow::showAbout()
{
    if (!m_aboutDialog)
        m_aboutDialog = new AboutDialog(this);
    m_aboutDialog->show();
    m_aboutDialog->raise();
}

void MainWindow::showHelp()
{
    if (m_services.showHelp)
        m_services.showHelp();
}

// ---- window ----------------------------------------------------------------------------------

void MainWindow::userMinimizeScreenRequest()
{
    m_exerciseScreen->pauseExercise(true, true);
    m_minimized = true;
    showMinimized();
    Q_EMIT windowMinimized();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Back from the task bar: the screens may change again.
    if (event->type() == QEvent::WindowStateChange && !(windowState() & Qt::WindowMinimized))
        m_minimized = false;
}

void MainWindow::toggleFullScreen()
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
    setFullScreenLook(isFullScreen());
    QMainWindow::paintEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    m_stack->setScreenSize(m_fader->height(), m_fader->width());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The first paint that reaches the screen (not a picture taken for a fade).
    if (watched == m_homeScreen && event->type() == QEvent::Paint && !m_homePaintReported && windowHandle() &&
        windowHandle()->isExposed()) {
        m_homePaintReported = true;
        Q_EMIT homeScreenPainted();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- the end ---------------------------------------------------------------------------------

bool MainWindow::prepareToEnd()
{
    if (m_ending)
        return false;
    m_ending = true;
    m_newsNotifier->stop();
    saveLastState();
    m_exerciseScreen->closeExercise();
    // Every answer is on disk before the program goes (the saver thread may still be waiting).
    if (m_services.catalog) {
        if (auto statistics = m_services.catalog->GetStatistics()) {
            try {
                statistics->Save();
            } catch (const Error& e) {
                qCWarning(mainWindowLog) << "statistics not saved:" << e.Describe();
            }
        }
    }
    return true;
}

void MainWindow::bringToFront()
{
    if (m_ending)
        return;
    qCInfo(mainWindowLog) << "another start of the program asked for this window";
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MainWindow::userExitRequest()
{
    if (!prepareToEnd())
        return;
    hide();
    const QUrl services = Core::ServicesAddress::Configured();
    if (RatingDialog::shouldShow(services)) {
        RatingDialog rating(
            services,
            [this](const QString& url) {
                if (m_services.openUrl)
                    m_services.openUrl(url, false);
            },
            this);
        rating.exec();
    }
    if (auto usage = telemetry())
        usage->ApplicationFinished();
    QCoreApplication::exit(0);
}

void MainWindow::endSession()
{
    if (!prepareToEnd())
        return;
    if (auto usage = telemetry())
        usage->ApplicationFinished();
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    userExitRequest();
}

} // namespace UI

#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/error.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/lesson_session.h"
#include "core/exercise/question_data.h"
#include "core/exercise/trainer_settings.h"
#include "core/exercise/trainer_settings_source.h"
#include "core/midi/sound_controller.h"
#include "core/services/telemetry.h"
#include "core/settings_store.h"
#include "ui/dialogs/midi_warning_dialog.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/dialogs/section_end_dialog.h"
#include "ui/exercise/action_hint.h"
#include "ui/exercise/answer_feedback.h"
#include "ui/exercise/microphone_silence_notice.h"
#include "ui/exercise/question_view.h"
#include "ui/exercise/reference/reference_book.h"
#include "ui/exercise/section_bar.h"
#include "ui/exercise/statistics_pane.h"
#include "ui/exercise/view_switcher.h"
#include "ui/high_dpi_style_sheet.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>

Q_LOGGING_CATEGORY(exerciseScreenLog, "cantorela.screen")

namespace {

using Core::Exercise;
using Core::LessonBase;
using Core::QuestionRecord;

constexpr int hintGap = 10;        // between the hint and the foot of the question area
constexpr int hintZoneHeight = 20; // the bottom of the question area that brings the hint
constexpr int keyboardMinimumHeight = 80;
constexpr int keyboardMaximumHeight = 190;
constexpr int layoutWidth = 1820; // the keyboard's reference layout
constexpr int layoutHeight = 180;

// The screen takes the keyboard focus (the space bar, keys 1 to 6), so a screen reader announces
// it when the focus lands on it: as a pane, under the name the form gives it, rather than as an
// anonymous client area.
QAccessibleInterface* ScreenAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("UI::ExerciseScreen"))
        if (auto* widget = qobject_cast<QWidget*>(object))
            return new QAccessibleWidget(widget, QAccessible::Pane);
    return nullptr;
}

} // namespace

namespace UI {

ExerciseScreen::ExerciseScreen(std::shared_ptr<Core::ExerciseCatalog> exerciseCatalog,
                                               std::shared_ptr<Core::SoundController> sound,
                                               Core::SettingsStore* settingsStore, QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::ExerciseScreen>()),
      m_catalog(std::move(exerciseCatalog)), m_soundController(std::move(sound)), m_settings(settingsStore)
{
    registerScreenMetaTypes();
    Core::LessonSession::RegisterMetaTypes();
    static const bool accessibleFactoryInstalled = [] {
        QAccessible::installFactory(ScreenAccessibleFactory);
        return true;
    }();
    Q_UNUSED(accessibleFactoryInstalled)

    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setFocusPolicy(Qt::StrongFocus);

    m_ui->scoreFrame->setPane(m_ui->scorePane);
    m_ui->scoreBoard->setDrawingMode(2);
    for (QWidget* overlay :
         {static_cast<QWidget*>(m_ui->scoreBoard), static_cast<QWidget*>(m_ui->speaker),
          static_cast<QWidget*>(m_ui->questionPicture), static_cast<QWidget*>(m_ui->questionText)})
        overlay->hide();
    m_ui->questionText->setWordWrap(true);
    createParts();
    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOn").toString());
    for (int s = 0; s < SectionCount; ++s) {
        QToolButton* button =
            m_ui->sectionButtons->findChild<QToolButton*>(QStringLiteral("section%1").arg(s + 1));
        button->setStyleSheet(m_ui->sectionButtons->property("sectionExerciseMode").toString());
        button->hide();
    }
    m_ui->sectionSlider->setMinimum(0);
    m_ui->sectionSlider->setMaximum(0);
    m_ui->printButton->setText(tr("Print"));
    // The reference pages take the place the form keeps for them; each is built when first shown.
    m_referenceBook = new ReferenceBook(m_soundController, m_catalog ? m_catalog->GetMidiBank() : nullptr,
                                        m_ui->referencePane);
    m_referenceBook->setObjectName(QStringLiteral("referencePages"));
    m_referenceBook->setAccessibleName(m_ui->referencePages->accessibleName());
    m_referenceBook->setSizePolicy(m_ui->referencePages->sizePolicy());
    delete m_ui->referencePane->layout()->replaceWidget(m_ui->referencePages, m_referenceBook);
    delete m_ui->referencePages;
    m_ui->referencePages = nullptr;
    m_answerFeedback->setStatus(QString(), "RegularStyle");

    connect(m_questionView, &QuestionView::choiceClicked, this, &ExerciseScreen::onChoiceClicked);
    connect(m_ui->keyboard, &Keyboard::keyPressed, this, &ExerciseScreen::onKeyboardKeyPressed);
    connect(m_ui->keyboard, &Keyboard::keyReleased, this, &ExerciseScreen::onKeyboardKeyReleased);
    connect(m_ui->printButton, &QPushButton::released, this, &ExerciseScreen::printReference);
    connect(m_ui->playButton, &QToolButton::clicked, this, &ExerciseScreen::play);
    connect(m_ui->hearAgainButton, &QToolButton::clicked, this, &ExerciseScreen::hearAgain);
    connect(this, &ExerciseScreen::sectionEndDialogRequested, this,
            &ExerciseScreen::showSectionEndDialog);

    m_actionHint = new ActionHint(this);
    connect(m_actionHint, &ActionHint::clicked, this, &ExerciseScreen::spaceAction);
    m_silenceNotice = new MicrophoneSilenceNotice(this, m_ui->questionFader);

    m_sectionEndDelay = new QTimer(this);
    m_sectionEndDelay->setSingleShot(true);
    connect(m_sectionEndDelay, &QTimer::timeout, this, &ExerciseScreen::handleLessonEnd);

    for (QObject* watched :
         {static_cast<QObject*>(m_ui->scorePane), static_cast<QObject*>(m_ui->scoreFrame),
          static_cast<QObject*>(m_ui->questionFader), static_cast<QObject*>(m_ui->scoreBoard),
          static_cast<QObject*>(m_ui->speaker), static_cast<QObject*>(m_ui->questionPicture),
          static_cast<QObject*>(m_ui->questionText), static_cast<QObject*>(m_actionHint),
          static_cast<QObject*>(m_ui->viewArea), static_cast<QObject*>(m_ui->sectionButtons),
          static_cast<QObject*>(m_ui->variantBar), static_cast<QObject*>(this)})
        watched->installEventFilter(this);
    m_ui->questionFader->setMouseTracking(true);

    showExerciseStatistics();
    updateView();
}

ExerciseScreen::~ExerciseScreen()
{
    // No report of the lesson reaches this screen while it is taken apart (see lesson_session.h).
    if (m_session)
        m_session->disconnect(this);
    m_session.reset();
    // The view machine goes before the panes it moves.
    delete m_viewSwitcher;
}

SectionEndDialog* ExerciseScreen::sectionEndDialog() const
{
    return m_sectionEndDialog;
}

MidiWarningDialog* ExerciseScreen::midiWarningDialog() const
{
    return m_midiWarningDialog;
}

PlayDialog* ExerciseScreen::playDialog() const
{
    return m_playDialog;
}

// ---- opening and closing ---------------------------------------------------------------------

void ExerciseScreen::loadExercise(size_t id, bool quiz, bool resume)
{
    closeExercise();
    m_exerciseId = id;
    m_quizMode = quiz;
    m_sectionBar->setNavigable(!quiz);
    m_questionView->setExerciseId(id);
    m_statisticsPane->setLesson(nullptr, id, quiz);
    m_answerFeedback->setAnswerSounds(id == size_t(Core::SymbolTrainerIndex));
    if (!m_catalog)
        return;
    std::unique_ptr<Core::LessonSession> next;
    try {
        next = Core::LessonSession::open(*m_catalog, unsigned(id), quiz, resume, m_soundController);
    } catch (const Error& error) {
        // The system would not give the lesson its clock (no thread to be had): no lesson, but
        // the program goes on and the student can try again.
        qCWarning(exerciseScreenLog).noquote() << "the lesson could not start:" << error.Describe();
    }
    if (!next)
        return;

    // Emitted on this thread from the session's own queue, after the engine call that caused
    // them has returned.
    Core::LessonSession* session = next.get();
    connect(session, &Core::LessonSession::stateChanged, this, &ExerciseScreen::onLessonChanged);
    connect(session, &Core::LessonSession::positionChanged, this, &ExerciseScreen::onPositionChanged);
    connect(session, &Core::LessonSession::questionAsked, this, &ExerciseScreen::onQuestionAsked);
    connect(session, &Core::LessonSession::answerJudged, this, &ExerciseScreen::onAnswerJudged);
    connect(session, &Core::LessonSession::keyEntered, this, &ExerciseScreen::onKeyEntered);
    connect(session, &Core::LessonSession::sectionEnded, this, &ExerciseScreen::onSectionEnded);
    connect(session, &Core::LessonSession::aboutToAskNext, this, &ExerciseScreen::onAboutToAskNext);
    connect(session, &Core::LessonSession::summaryDue, this, &ExerciseScreen::onSummaryDue);
    connect(session, &Core::LessonSession::answerLogProblem, this, &ExerciseScreen::onAnswerLogProblem);
    m_ui->questionFader->reset(nullptr);
    for (QWidget* overlay :
         {static_cast<QWidget*>(m_ui->scoreBoard), static_cast<QWidget*>(m_ui->speaker),
          static_cast<QWidget*>(m_ui->questionPicture), static_cast<QWidget*>(m_ui->questionText)})
        overlay->hide();
    m_session = std::move(next);
    m_statisticsPane->setLesson(m_session.get(), id, quiz);
    m_questionPending = false;
    m_pianoPlacedFor = -1;
    m_lesson = m_session->snapshot();
    m_position = m_lesson.position;
    if (auto telemetry = m_catalog->GetTelemetry())
        telemetry->ExerciseStarted(int(id), quiz);

    applySettings();
    updateView();
    m_ui->keyboard->resetKeys();
    m_ui->keyboard->setMode(Keyboard::PlayMode);
    m_ui->keyboard->setInteractive(true);
    m_ui->keyboard->update();

    m_questionView->clearChoices();
    m_sectionBar->highlight(-1);
    m_viewMode = ExerciseView;
    m_extendedStatistics = false;
    showExerciseStatistics();
    if (m_sectionEndDialog)
        m_sectionEndDialog->hide();

    // The lesson begins at once with its first question, unless the student is first to read
    // that no MIDI keyboard was found: then nothing sounds and no clock runs until the notice
    // is closed.
    m_beginHeld = midiNoticeDue();
    if (!m_beginHeld)
        m_session->begin();
    updateSlider(false);
    warnIfNoMidiInput();
}

void ExerciseScreen::beginHeldLesson()
{
    if (!m_beginHeld || !m_session)
        return;
    m_beginHeld = false;
    if (m_playDialog)
        m_playDialog->fadeOut();
    m_session->begin();
    updateView();
}

void ExerciseScreen::closeExercise()
{
    if (m_session) {
        if (auto telemetry = m_catalog ? m_catalog->GetTelemetry() : nullptr) {
            const int wrong = m_ui->progress->wrongCount();
            const int right = m_ui->progress->rightCount();
            telemetry->ExerciseFinished(wrong + right > 0 ? double(right) / double(wrong + right) : 0.0);
        }
        // Stops the lesson; its reports still queued would be taken for the next one's.
        m_session->disconnect(this);
        m_session.reset();
        m_beginHeld = false;
        m_waitingAfterMistake = false;
        m_timeRunning = false;
        m_pendingLogProblem.clear();
        m_lesson = Core::LessonSnapshot();
        m_position = Core::LessonPosition();
        m_sectionBar->setRunning(false);
    }
    if (m_playDialog)
        m_playDialog->hide();
    if (m_sectionEndDialog)
        m_sectionEndDialog->dismiss(false);
    showExercise(Quick);
    m_answerFeedback->clear();
    m_sectionEndDelay->stop();
    m_answerFeedback->forgetJudgement();
    m_actionHint->dismiss();
    m_questionView->clearQuestion();
    updateView();
}

void ExerciseScreen::restartExercise()
{
    if (m_exerciseId == size_t(-1))
        return;
    // A new lesson, with the trainer's results of the current run cleared.
    loadExercise(m_exerciseId, m_quizMode, false);
    // loadExercise has started the lesson; play() only has to bring a stopped one back.
    if (m_session && m_session->playState() != LessonBase::Running)
        play();
}

void ExerciseScreen::applySettings()
{
    if (m_settings) {
        const Core::GeneralSettings& general = m_settings->generalSettings();
        m_ui->scoreBoard->changeLettersMode(general.showNoteLetters);
        m_ui->scoreBoard->changeFingersMode(general.showNoteFingers);
        m_ui->keyboard->changeFingersMode(general.showNoteFingers);
    }
    if (!m_session)
        return;
    if (m_settings)
        m_session->setFallbackPolicy(m_settings->currentSettings().noteTrainer.wrongAnswerPolicy);
    // New durations or devices: the lesson may ask the waiting question again, which it reports.
    m_lesson = m_session->applySettings();
    m_position = m_lesson.position;
    updateSectionBar();
    if (m_viewMode == StatisticsView)
        showStatisticsPage();
    else if (m_viewMode == ReferenceView)
        showReferenceSection(currentSectionIndex());
    else {
        updateView();
        updateSlider(true);
        if (m_lesson.isAsking())
            updateAnswerInputs(m_lesson.question);
    }
}

// ---- play and pause --------------------------------------------------------------------------

bool ExerciseScreen::pauseExercise(bool pause, bool showDialog)
{
    if (m_viewMode != ExerciseView || !m_session)
        return false;
    if (!pause && m_beginHeld) {
        if (m_midiWarningDialog && m_midiWarningDialog->isVisible())
            return false;
        beginHeldLesson();
        return true;
    }
    m_waitingAfterMistake = false;
    // Resuming goes on with the question, or with the next one.
    const bool changed = pause ? m_session->pause() : m_session->resume();
    if (!pause) {
        if (m_playDialog)
            m_playDialog->fadeOut();
        m_actionHint->setMode(ActionHint::PauseMode);
        showActionHint();
    } else {
        m_actionHint->dismiss();
        if (showDialog)
            ensurePlayDialog()->showOver();
    }
    updateView();
    return changed;
}

void ExerciseScreen::play()
{
    if (m_viewMode != ExerciseView || !m_session)
        return;
    if (warnIfNoMidiInput() && m_soundController && m_soundController->HasAnswerInput())
        return;
    if (m_session->playState() == LessonBase::Running)
        pauseExercise(true, true);
    else
        pauseExercise(false);
}

void ExerciseScreen::spaceAction()
{
    if (m_viewMode != ExerciseView || !m_session)
        return;
    if (m_session->playState() == LessonBase::Running)
        pauseExercise(true, true);
    else
        pauseExercise(false);
}

bool ExerciseScreen::midiNoticeDue() const
{
    if (m_midiWarningShown || !needsMidiInput() || !m_soundController || m_soundController->HasAnswerInput())
        return false;
    return !(m_settings && m_settings->generalSettings().hideMidiDialog);
}

bool ExerciseScreen::warnIfNoMidiInput()
{
    if (!midiNoticeDue())
        return false;
    // A screen still fading in gets its notice once it is in view, over the lesson.
    if (!isVisible()) {
        m_midiWarningPending = true;
        return false;
    }
    m_midiWarningPending = false;
    m_midiWarningShown = true;
    if (!m_midiWarningDialog) {
        m_midiWarningDialog = new MidiWarningDialog(this);
        connect(m_midiWarningDialog, &QDialog::finished, this, [this] {
            if (m_settings && m_midiWarningDialog && m_midiWarningDialog->dontShowAgain()) {
                Core::GeneralSettings general = m_settings->generalSettings();
                general.hideMidiDialog = true;
                m_settings->setGeneralSettings(general);
            }
            // The lesson held for the notice begins, unless the play card asks for Play first.
            if (!(m_playDialog && m_playDialog->isShown()))
                beginHeldLesson();
        });
    }
    // Modal: the lesson behind it waits, and nothing else takes the keys until it is closed.
    m_midiWarningDialog->open();
    return true;
}

bool ExerciseScreen::needsMidiInput() const
{
    return m_session && m_exerciseId != size_t(Core::SymbolTrainerIndex) && m_lesson.acceptsKeyAnswers;
}

PlayDialog* ExerciseScreen::ensurePlayDialog()
{
    if (!m_playDialog) {
        m_playDialog = new PlayDialog(m_ui->scorePane);
        m_playDialog->installEventFilter(this);
        connect(m_playDialog, &PlayDialog::playRequested, this, &ExerciseScreen::play);
    }
    return m_playDialog;
}

void ExerciseScreen::showActionHint()
{
    m_actionHint->showAt(hintAnchor());
}

QPoint ExerciseScreen::hintAnchor() const
{
    // Inside the question area, at its foot: over neither the score pane's border nor the
    // answer inputs under it. The question pictures keep that band free.
    const QWidget* area = m_ui->questionFader;
    const QPoint topLeft = area->mapTo(const_cast<ExerciseScreen*>(this), QPoint(0, 0));
    return QPoint(topLeft.x() + area->width() / 2, topLeft.y() + area->height() - hintGap);
}

// ---- geometry and events -----------------------------------------------------------------------

void ExerciseScreen::layOutKeyboard()
{
    const int width = m_ui->keyboard->width() > 0 ? m_ui->keyboard->width() : this->width() - 48;
    const int height =
        std::clamp(width * layoutHeight / layoutWidth, keyboardMinimumHeight, keyboardMaximumHeight);
    if (m_ui->keyboard->minimumHeight() != height || m_ui->keyboard->maximumHeight() != height)
        m_ui->keyboard->setFixedHeight(height);
}

void ExerciseScreen::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOutKeyboard();
    if (m_sectionEndDialog && !m_sectionEndDialog->isVisible())
        m_sectionEndDialog->setGeometry(QRect(mapToGlobal(QPoint(0, 0)), size()));
}

void ExerciseScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    layOutKeyboard();
    m_viewSwitcher->start();
    setFocus();
    if (m_midiWarningPending)
        warnIfNoMidiInput();
    if (m_session && m_lesson.state == Exercise::AwaitingAnswer && m_lesson.playState == LessonBase::Running)
        introducePianoKeys();
}

void ExerciseScreen::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    releasePianoKeys();
    m_waitingAfterMistake = false;
    // The lesson does not run on while nobody sees it, and says so when it is seen again.
    if (m_session && m_session->playState() == LessonBase::Running)
        pauseExercise(true, true);
    else if (m_session && m_viewMode == ExerciseView && m_lesson.playState == LessonBase::Paused)
        ensurePlayDialog()->showOver();
}

void ExerciseScreen::closeEvent(QCloseEvent* event)
{
    if (m_session)
        m_session->stop();
    event->accept();
}

void ExerciseScreen::mousePressEvent(QMouseEvent* event)
{
    m_actionHint->dismiss();
    QWidget::mousePressEvent(event);
}

bool ExerciseScreen::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (watched == m_actionHint)
            return false; // the hint's own click is the space bar (ActionHint::clicked)
        m_actionHint->dismiss();
        const bool onQuestion = watched == m_ui->scorePane || watched == m_ui->questionFader ||
                                watched == m_ui->scoreBoard || watched == m_ui->speaker ||
                                watched == m_ui->questionPicture || watched == m_ui->questionText;
        if (onQuestion && m_viewMode == ExerciseView && m_session) {
            spaceAction();
            return true;
        }
        break;
    }
    case QEvent::Enter:
        if (watched == m_ui->questionFader && m_viewMode == ExerciseView && m_session &&
            m_lesson.playState == LessonBase::Running) {
            const auto* enter = dynamic_cast<QEnterEvent*>(event);
            if (enter && enter->pos().y() >= m_ui->questionFader->height() - hintZoneHeight)
                showActionHint();
        }
        break;
    case QEvent::Resize:
        if (watched == m_ui->viewArea) {
            m_viewSwitcher->updateGeometry();
        } else if (watched == m_ui->sectionButtons) {
            updateSectionBar();
        } else if (watched == m_ui->variantBar) {
            m_questionView->relayChoiceTexts();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace UI

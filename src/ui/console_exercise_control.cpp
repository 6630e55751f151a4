#include "ui/console_exercise_control.h"

#include "ui_console_exercise_control.h"

#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/trainer_settings_source.h"
#include "core/midi/sound_clip.h"
#include "core/midi/sound_controller.h"
#include "core/telemetry.h"
#include "ui/action_hint.h"
#include "ui/custom_animation_group.h"
#include "ui/midi_warning_dialog.h"
#include "ui/play_dialog.h"
#include "ui/section_end_dialog.h"
#include "ui/settings_store.h"
#include "ui/wrong_right_answer_animation.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QSignalTransition>
#include <QState>
#include <QStateMachine>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>

namespace {

using Core::Exercise;
using Core::LessonBase;
using Core::QuestionRecord;

constexpr int trainerNotes = 0;
constexpr int trainerEar = 1;
constexpr int trainerSymbols = 2;
constexpr int lowestNote = 21;     // MIDI note of key 0 (A0)
constexpr int hintGap = 16;        // between the hint and the answer inputs under it
constexpr int hintZoneHeight = 20; // the bottom of the question area that brings the hint
constexpr int keyboardMinimumHeight = 80;
constexpr int keyboardMaximumHeight = 190;
constexpr int layoutWidth = 1820; // the keyboard's reference layout
constexpr int layoutHeight = 180;

// The view machine's states and the panes' order on the strip they glide along.
enum MachineState
{
    ExerciseState = 0,
    StatisticsState = 1,
    ExtendedStatisticsState = 2,
    ReferenceState = 3,
};
enum Pane
{
    ExercisePane = 0,
    StatisticsPane = 1,
    ExtendedStatisticsPane = 2,
    ReferencePane = 3,
};
// Where each pane lies on the strip: reference, exercise, statistics, extended statistics.
constexpr int stripPosition[4] = {1, 2, 3, 0};
// The pane each state shows.
constexpr int paneOfState[4] = {ExercisePane, StatisticsPane, ExtendedStatisticsPane, ReferencePane};

// The last exercise state seen by showExercise, for every screen of the process.
int lastHandledExerciseState = -1;

bool IsHeard(int kind)
{
    return kind == QuestionRecord::EarQuestion || kind == QuestionRecord::TempoQuestion;
}

QString FirstLine(const QString& text)
{
    const int end = text.indexOf(QLatin1Char('\n'));
    return end < 0 ? text : text.left(end);
}

// Breaks `text` at spaces into lines no wider than `width` for `metrics`; explicit line breaks
// are kept.
QString Wrapped(const QString& text, const QFontMetrics& metrics, int width)
{
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
                lines.append(line);
                line = word;
            } else {
                line = candidate;
            }
        }
        lines.append(line);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

namespace UI {

ConsoleExerciseControl::ConsoleExerciseControl(std::shared_ptr<Core::ExerciseCatalog> exerciseCatalog,
                                               std::shared_ptr<Core::SoundController> sound,
                                               Core::SettingsStore* settingsStore, QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::ConsoleExerciseControl>()),
      catalog(std::move(exerciseCatalog)), soundController(std::move(sound)), settings(settingsStore)
{
    RegisterScreenMetaTypes();
    // Wrong first, right second: the order the sounds are made in.
    wrongSound = std::make_unique<SoundClip>(QStringLiteral(":/wav/wrong.wav"));
    rightSound = std::make_unique<SoundClip>(QStringLiteral(":/wav/right.wav"));

    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setFocusPolicy(Qt::StrongFocus);

    m_ui->scoreFrame->SetPane(m_ui->scorePane);
    m_ui->scoreBoard->SetDrawingMode(2);
    for (QWidget* overlay :
         {static_cast<QWidget*>(m_ui->scoreBoard), static_cast<QWidget*>(m_ui->speaker),
          static_cast<QWidget*>(m_ui->questionPicture), static_cast<QWidget*>(m_ui->questionText)})
        overlay->hide();
    m_ui->questionText->setWordWrap(true);
    ApplyScorePaneStyle("RegularBorderStyle");
    for (int id = 1; id <= VariantCount; ++id)
        ApplyVariantStyle(id, "MultichoiceDefaultStyle");
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
    SetStatus(QString(), "RegularStyle");

    // The six reports of the handler, queued (see exercise_handler.h).
    ExerciseHandler::Connect(this);

    for (int id = 1; id <= VariantCount; ++id)
        connect(findChild<QToolButton*>(QStringLiteral("variant%1").arg(id)), &QToolButton::clicked, this,
                &ConsoleExerciseControl::VariantClicked);
    ConnectSectionButtons(ExerciseView);
    connect(m_ui->keyboard, &Keyboard::keyPressed, this, &ConsoleExerciseControl::GKCNotePressed);
    connect(m_ui->keyboard, &Keyboard::keyReleased, this, &ConsoleExerciseControl::GKCNoteReleased);
    connect(m_ui->sectionSlider, &QSlider::sliderPressed, this, &ConsoleExerciseControl::BeginSeekSlider);
    connect(m_ui->sectionSlider, &QSlider::sliderReleased, this, &ConsoleExerciseControl::EndSeekSlider);
    connect(m_ui->printButton, &QPushButton::released, this, &ConsoleExerciseControl::PrintSlot);
    connect(m_ui->viewHistory, &QPushButton::released, this, &ConsoleExerciseControl::toggleStatistics);
    connect(m_ui->clearHistory, &QPushButton::released, this,
            &ConsoleExerciseControl::clearStatisticsHistory);
    connect(m_ui->playButton, &QToolButton::clicked, this, &ConsoleExerciseControl::Play);
    connect(this, &ConsoleExerciseControl::ShowSectionEndDialogSignal, this,
            &ConsoleExerciseControl::ShowSectionEndDialog);
    // The main window's view requests, when the parent has them.
    if (parent) {
        const QMetaObject* meta = parent->metaObject();
        if (meta->indexOfSignal("showReference(UI::Speed)") >= 0)
            connect(parent, SIGNAL(showReference(UI::Speed)), this, SLOT(showReference(UI::Speed)));
        if (meta->indexOfSignal("showStatistics(UI::Speed)") >= 0)
            connect(parent, SIGNAL(showStatistics(UI::Speed)), this, SLOT(ShowStatistics(UI::Speed)));
        if (meta->indexOfSignal("showExercise(UI::Speed)") >= 0)
            connect(parent, SIGNAL(showExercise(UI::Speed)), this, SLOT(showExercise(UI::Speed)));
    }

    actionHint = new ActionHint(this);
    connect(actionHint, &ActionHint::Clicked, this, &ConsoleExerciseControl::SpaceAction);

    timeoutSummary = new QTimer(this);
    timeoutSummary->setSingleShot(true);
    timeoutSummary->setInterval(TimeoutSummaryDelayMs);
    connect(timeoutSummary, &QTimer::timeout, this, &ConsoleExerciseControl::showExerciseStatistics);

    for (QObject* watched :
         {static_cast<QObject*>(m_ui->scorePane), static_cast<QObject*>(m_ui->scoreFrame),
          static_cast<QObject*>(m_ui->questionFader), static_cast<QObject*>(m_ui->scoreBoard),
          static_cast<QObject*>(m_ui->speaker), static_cast<QObject*>(m_ui->questionPicture),
          static_cast<QObject*>(m_ui->questionText), static_cast<QObject*>(actionHint),
          static_cast<QObject*>(m_ui->viewArea), static_cast<QObject*>(m_ui->sectionButtons),
          static_cast<QObject*>(m_ui->variantBar), static_cast<QObject*>(this)})
        watched->installEventFilter(this);
    m_ui->questionFader->setMouseTracking(true);

    glideTimer.start(GlideIntervalMs, Qt::CoarseTimer, this);
    showExerciseStatistics();
    UpdateUI();
}

ConsoleExerciseControl::~ConsoleExerciseControl()
{
    glideTimer.stop();
    KillNextQuestionTimer();
    if (exercise) {
        // No report of the exercise may reach this screen while it is taken apart.
        handler->DetachFrom(*exercise);
        exercise->Stop();
        exercise.reset();
    }
    handler.reset();
    delete viewMachine;
}

SectionEndDialog* ConsoleExerciseControl::GetSectionEndDialog() const
{
    return sectionEndDialog;
}

MidiWarningDialog* ConsoleExerciseControl::GetMidiWarningDialog() const
{
    return midiWarningDialog;
}

PlayDialog* ConsoleExerciseControl::FindPlayDialog() const
{
    return playDialog;
}

// ---- opening and closing ---------------------------------------------------------------------

void ConsoleExerciseControl::LoadExercise(size_t id, bool quiz, bool resume)
{
    CloseExercise();
    exerciseId = id;
    quizMode = quiz;
    if (!catalog)
        return;
    std::shared_ptr<Core::Exercise> next = catalog->CreateExercise(unsigned(id));
    if (!next)
        return;
    if (soundController)
        next->SetSoundController(soundController);
    next->SetUpSections();

    handler = ExerciseHandler::AttachTo(this, *next);
    m_ui->questionFader->Reset(nullptr);
    for (QWidget* overlay :
         {static_cast<QWidget*>(m_ui->scoreBoard), static_cast<QWidget*>(m_ui->speaker),
          static_cast<QWidget*>(m_ui->questionPicture), static_cast<QWidget*>(m_ui->questionText)})
        overlay->hide();
    exercise = std::move(next);
    exercise->SetQuizMode(quiz);
    if (!resume)
        exercise->ClearSessionStatistics();
    if (auto telemetry = catalog->GetTelemetry())
        telemetry->ExerciseStarted(int(id), quiz);
    answersShown = 0;

    ApplySettings();
    UpdateUI();
    m_ui->keyboard->ResetKeys();
    m_ui->keyboard->SetMode(Keyboard::PlayMode);
    m_ui->keyboard->SetInteractive(true);
    m_ui->keyboard->update();

    for (int v = 1; v <= VariantCount; ++v) {
        variantLabels[size_t(v - 1)] = QStringLiteral("--");
        variantMarks[size_t(v - 1)] = QString();
        SetVariantText(v);
        ApplyVariantStyle(v, "MultichoiceDefaultStyle");
    }
    HighlightSectionButton(-1);
    viewMode = ExerciseView;
    extendedStatistics = false;
    showExerciseStatistics();
    if (sectionEndDialog)
        sectionEndDialog->hide();

    // The lesson begins at once with its first question.
    exercise->Start();
    OnNext();
    WarnIfNoMidiInput();
}

void ConsoleExerciseControl::CloseExercise()
{
    KillNextQuestionTimer();
    if (exercise) {
        if (auto telemetry = catalog ? catalog->GetTelemetry() : nullptr) {
            const int wrong = m_ui->progress->Wrong();
            const int right = m_ui->progress->Right();
            telemetry->ExerciseFinished(wrong + right > 0 ? double(right) / double(wrong + right) : 0.0);
        }
        exercise->Stop();
        handler->DetachFrom(*exercise);
        exercise.reset();
        handler.reset();
        // Reports of the closed exercise still queued would be taken for the next one's.
        QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    }
    midiWarningShown = false;
    if (playDialog)
        playDialog->hide();
    showExercise(Quick);
    ApplyScorePaneStyle("RegularBorderStyle");
    answerMark = RegularMark;
    timedOut = false;
    timeoutSummary->stop();
    actionHint->Dismiss();
    variantsShown = false;
    UpdateUI();
}

void ConsoleExerciseControl::restartExercise()
{
    if (exerciseId == size_t(-1))
        return;
    LoadExercise(exerciseId, quizMode, false);
    if (exercise) {
        exercise->ClearSessionStatistics();
        // LoadExercise has started the lesson; Play() only has to bring a stopped one back.
        if (exercise->GetPlayState() != LessonBase::Running)
            Play();
    }
}

void ConsoleExerciseControl::ApplySettings()
{
    if (settings) {
        const Core::GeneralSettings& general = settings->GetGeneralSettings();
        m_ui->scoreBoard->ChangeLettersMode(general.showNoteLetters);
        m_ui->scoreBoard->ChangeFingersMode(general.showNoteFingers);
        m_ui->keyboard->changeFingersMode(general.showNoteFingers);
    }
    if (!exercise)
        return;
    // New durations or devices: the exercise may ask the waiting question again.
    const int asked = exercise->GetCounters().asked;
    exercise->SetUpSections();
    UpdateSectionBar();
    if (exercise->GetCounters().asked != asked && viewMode == ExerciseView)
        ShowQuestion();
    if (viewMode == StatisticsView)
        ShowStatisticsPage();
    else if (viewMode == ReferenceView)
        SwitchToReferenceSection(CurrentSectionIndex());
    else {
        UpdateUI();
        UpdateSlider(true);
        const int state = exercise->GetState();
        if (state == Exercise::Presenting || state == Exercise::AwaitingAnswer)
            UpdateAnswerInputs(exercise->GetCurrentQuestion());
    }
}

void ConsoleExerciseControl::Exit()
{
    emit ExitSignal();
}

// ---- play and pause --------------------------------------------------------------------------

bool ConsoleExerciseControl::PauseExercise(bool pause, bool showDlg)
{
    if (viewMode != ExerciseView || !exercise)
        return false;
    const bool changed = exercise->Pause(pause);
    if (!pause) {
        if (playDialog)
            playDialog->FadeOut();
        ContinueQuestion();
        actionHint->SetMode(ActionHint::PauseMode);
        ShowActionHintDialog();
    } else {
        actionHint->Dismiss();
        if (showDlg)
            GetPlayDialog()->ShowOver();
    }
    UpdateUI();
    return changed;
}

void ConsoleExerciseControl::Play()
{
    if (viewMode != ExerciseView || !exercise)
        return;
    if (WarnIfNoMidiInput() && soundController && soundController->InputCount() > 0)
        return;
    if (exercise->GetPlayState() == LessonBase::Running)
        PauseExercise(true, true);
    else
        PauseExercise(false);
}

void ConsoleExerciseControl::SpaceAction()
{
    if (viewMode != ExerciseView || !exercise)
        return;
    if (exercise->GetPlayState() == LessonBase::Running)
        PauseExercise(true, true);
    else
        PauseExercise(false);
}

void ConsoleExerciseControl::ContinueQuestion()
{
    // A question cut off while it sounded is replayed by the exercise itself; a lesson that was
    // paused between questions (after a mistake) goes on with the next one.
    if (exercise && exercise->GetPlayState() == LessonBase::Running &&
        exercise->GetState() == Exercise::BetweenQuestions && !nextQuestionTimer.isActive())
        MoveToNextQuestion();
}

bool ConsoleExerciseControl::WarnIfNoMidiInput()
{
    if (midiWarningShown || !NeedsMidiInput() || !soundController || soundController->InputCount() > 0)
        return false;
    if (settings && settings->GetGeneralSettings().hideMidiDialog)
        return false;
    midiWarningShown = true;
    if (!midiWarningDialog) {
        midiWarningDialog = new MidiWarningDialog(this);
        connect(midiWarningDialog, &QDialog::finished, this, [this] {
            if (settings && midiWarningDialog && midiWarningDialog->DontShowAgain()) {
                Core::GeneralSettings general = settings->GetGeneralSettings();
                general.hideMidiDialog = true;
                settings->SetGeneralSettings(general);
            }
        });
    }
    midiWarningDialog->show();
    return true;
}

bool ConsoleExerciseControl::NeedsMidiInput() const
{
    return exercise && exerciseId != size_t(trainerSymbols) && exercise->AcceptsKeyAnswers();
}

PlayDialog* ConsoleExerciseControl::GetPlayDialog()
{
    if (!playDialog) {
        playDialog = new PlayDialog(m_ui->scorePane);
        playDialog->installEventFilter(this);
        connect(playDialog, &PlayDialog::Play, this, &ConsoleExerciseControl::Play);
    }
    return playDialog;
}

void ConsoleExerciseControl::ShowActionHintDialog()
{
    actionHint->ShowAt(HintAnchor());
}

void ConsoleExerciseControl::HideActionHintDialog()
{
    actionHint->Dismiss();
}

QPoint ConsoleExerciseControl::HintAnchor() const
{
    // Over the lower edge of the question, clear of the answer buttons and the keys.
    QWidget* below = m_ui->variantBar->isVisible() ? static_cast<QWidget*>(m_ui->variantBar)
                     : m_ui->keyboard->isVisible() ? static_cast<QWidget*>(m_ui->keyboard)
                                                   : static_cast<QWidget*>(m_ui->sectionBar);
    const int top = below->mapTo(const_cast<ConsoleExerciseControl*>(this), QPoint(0, 0)).y();
    return QPoint(width() / 2, top - hintGap);
}

// ---- questions -------------------------------------------------------------------------------

void ConsoleExerciseControl::OnNext()
{
    if (!exercise)
        return;
    exercise->Next();
    ShowQuestion();
}

void ConsoleExerciseControl::MoveToNextQuestion()
{
    if (!exercise)
        return;
    KillNextQuestionTimer();
    const int state = exercise->GetState();
    // A question is already being asked (a seek or a section button asked it).
    if (state == Exercise::Presenting || state == Exercise::AwaitingAnswer)
        return;
    if (actionHint->GetMode() == ActionHint::NextQuestionMode)
        actionHint->Dismiss();
    actionHint->SetMode(ActionHint::PauseMode);
    ApplyScorePaneStyle("RegularBorderStyle");
    answerMark = RegularMark;
    timedOut = false;
    timeoutSummary->stop();
    if (state == Exercise::LessonEnd) {
        // On after the end: the lesson starts over from its first section.
        exercise->Reset();
        exercise->SetUpSections();
        answersShown = 0;
        exercise->Start();
        UpdateSectionBar();
    }
    OnNext();
}

void ConsoleExerciseControl::ShowQuestion()
{
    if (!exercise)
        return;
    UpdateSlider(false);
    m_ui->keyboard->SetMode(Keyboard::PlayMode);
    m_ui->keyboard->ResetKeys();
    m_ui->keyboard->update();
    for (int id = 1; id <= VariantCount; ++id)
        ApplyVariantStyle(id, "MultichoiceDefaultStyle");
    const int state = exercise->GetState();
    if (state != Exercise::Presenting && state != Exercise::AwaitingAnswer) {
        variantsShown = false;
        return;
    }
    const QuestionRecord question = exercise->GetCurrentQuestion();
    shownQuestionSerial = exercise->GetCounters().asked;
    SetVariantTexts(question);
    UpdateAnswerInputs(question);
    const Core::QuestionData* item = question.AskedItem();
    if (item && !item->gmn.isEmpty())
        m_ui->scoreBoard->SetScore(item->gmn);
    else
        m_ui->scoreBoard->ClearScore();
    m_ui->scorePaneLabel->setText(TaskText(question));
    ShowOverlayFor(question, state);
    showExerciseStatistics();
    UpdateUI();
}

QString ConsoleExerciseControl::TaskText(const QuestionRecord& question) const
{
    switch (question.kind) {
    case QuestionRecord::EarQuestion:
        return tr("Listen, then play or choose what you heard");
    case QuestionRecord::TempoQuestion:
        return tr("Listen: which tempo is this?");
    case QuestionRecord::NoteReadingQuestion:
        return variantsShown && !m_ui->keyboard->isVisible() ? tr("Name what you see")
                                                             : tr("Play or name what you see");
    case QuestionRecord::ChordSymbolQuestion:
        return tr("Play this chord");
    case QuestionRecord::SymbolQuestion:
        return tr("What does this mean?");
    default:
        return QString();
    }
}

void ConsoleExerciseControl::ShowOverlayFor(const QuestionRecord& question, int state)
{
    overlayState = state;
    QWidget* overlay = nullptr;
    const Core::QuestionData* item = question.AskedItem();
    if (IsHeard(question.kind)) {
        if (state == Exercise::Presenting) {
            m_ui->speaker->Start();
            overlay = m_ui->speaker;
        } else {
            m_ui->speaker->Stop();
            m_ui->questionPicture->SetPicture(QString::fromLatin1(QuestionPicture::DefaultPicture));
            overlay = m_ui->questionPicture;
        }
    } else if (question.kind == QuestionRecord::ChordSymbolQuestion && item) {
        m_ui->questionText->setText(FirstLine(item->caption2));
        m_ui->questionText->setAccessibleName(tr("Chord symbol %1").arg(FirstLine(item->caption2)));
        overlay = m_ui->questionText;
    } else if (item && item->caption.startsWith(QLatin1Char(':')) &&
               m_ui->questionPicture->SetPicture(item->caption)) {
        overlay = m_ui->questionPicture;
    } else if (item && !item->gmn.isEmpty()) {
        overlay = m_ui->scoreBoard;
    } else if (item) {
        m_ui->questionText->setText(FirstLine(item->caption2));
        overlay = m_ui->questionText;
    }
    if (overlay != m_ui->speaker)
        m_ui->speaker->Stop();
    m_ui->questionFader->FadeIn(overlay);
}

void ConsoleExerciseControl::UpdateAnswerInputs(const QuestionRecord& question)
{
    if (!exercise)
        return;
    const int mode = exercise->AnswerInputMode(question);
    const bool choices = (question.answerModes & QuestionRecord::ChoiceMode) && !question.candidates.empty();
    const bool keys = (question.answerModes & QuestionRecord::NotesMode) != 0;
    const bool showButtons = choices && (mode == 1 || (mode == 2 && SettingsShowChoices()) || !keys);
    const bool showKeyboard = keys && mode != 1 && (SettingsShowKeyboard() || !showButtons);

    // Within a lesson the question stays where it is when an input comes and goes.
    QSizePolicy bar = m_ui->variantBar->sizePolicy();
    bar.setRetainSizeWhenHidden(SettingsShowChoices() || exerciseId == size_t(trainerSymbols));
    m_ui->variantBar->setSizePolicy(bar);
    QSizePolicy piano = m_ui->keyboard->sizePolicy();
    piano.setRetainSizeWhenHidden(exerciseId != size_t(trainerSymbols));
    m_ui->keyboard->setSizePolicy(piano);

    variantsShown = showButtons;
    m_ui->variantBar->setVisible(showButtons);
    m_ui->keyboard->setVisible(showKeyboard && viewMode != ReferenceView);
}

bool ConsoleExerciseControl::SettingsShowKeyboard() const
{
    return !settings || settings->GetGeneralSettings().answerWithGraphicalKeyboard;
}

bool ConsoleExerciseControl::SettingsShowChoices() const
{
    return settings && settings->GetGeneralSettings().answerWithMultipleChoice;
}

void ConsoleExerciseControl::SetVariantTexts(const QuestionRecord& question)
{
    for (int id = 1; id <= VariantCount; ++id) {
        const size_t i = size_t(id - 1);
        variantLabels[i] = i < question.candidates.size() && question.candidates[i]
                               ? question.candidates[i]->caption2
                               : QStringLiteral("--");
        variantMarks[i] = QString();
        SetVariantText(id);
    }
}

QToolButton* ConsoleExerciseControl::VariantButton(int id) const
{
    return findChild<QToolButton*>(QStringLiteral("variant%1").arg(id));
}

void ConsoleExerciseControl::SetVariantText(int id)
{
    QToolButton* button = VariantButton(id);
    if (!button)
        return;
    const size_t i = size_t(id - 1);
    const QString& label = variantLabels[i];
    const QString& mark = variantMarks[i];
    // The button's number (its key) and, after the judgement, its mark lead the first line.
    QString lead = QString::number(id) + QStringLiteral("  ");
    if (!mark.isEmpty())
        lead = mark + QLatin1Char(' ') + lead;
    QFont font = button->font();
    font.setPixelSize(14);
    const QFontMetrics metrics(font);
    const int room = std::max(60, button->width() - 28 - metrics.horizontalAdvance(lead));
    button->setText(lead + Wrapped(label, metrics, room));

    QString name =
        tr("Answer %1: %2").arg(id).arg(QString(label).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    if (mark == RightMarkText())
        name += tr(", right answer");
    else if (mark == WrongMarkText())
        name += tr(", your answer, wrong");
    if (button->accessibleName() != name)
        button->setAccessibleName(name);
}

QString ConsoleExerciseControl::RightMarkText()
{
    return QStringLiteral("\u2713");
}

QString ConsoleExerciseControl::WrongMarkText()
{
    return QStringLiteral("\u2717");
}

// Setting a style sheet polishes the widget and all its children again, even when the text is
// the same; on every question and every answer that is worth skipping.
static void SetStyleSheetIfChanged(QWidget* widget, const QString& styleSheet)
{
    if (widget->styleSheet() != styleSheet)
        widget->setStyleSheet(styleSheet);
}

void ConsoleExerciseControl::ApplyVariantStyle(int id, const char* property)
{
    if (QToolButton* button = VariantButton(id))
        SetStyleSheetIfChanged(button, m_ui->variantBar->property(property).toString());
}

void ConsoleExerciseControl::ApplyScorePaneStyle(const char* property)
{
    SetStyleSheetIfChanged(m_ui->scorePane, m_ui->scorePane->property(property).toString());
    m_ui->scoreFrame->update();
}

void ConsoleExerciseControl::SetStatus(const QString& text, const char* styleProperty)
{
    QLabel* label = m_ui->statusLabel;
    SetStyleSheetIfChanged(label, label->property(styleProperty).toString());
    label->setText(text);
    // Screen readers hear the judgement as the label's new name.
    label->setAccessibleName(text.isEmpty() ? tr("Answer status") : text);
    QAccessibleEvent changed(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void ConsoleExerciseControl::showExerciseStatistics()
{
    timedOut = false;
    if (!exercise) {
        m_ui->sectionTitle->setText(QString());
        SetStatus(QString(), "RegularStyle");
        return;
    }
    const std::vector<Exercise::SectionTitle> titles = exercise->GetSectionTitles();
    const int section = exercise->GetCurrentSection();
    if (section >= 0 && size_t(section) < titles.size())
        m_ui->sectionTitle->setText(titles[size_t(section)].title);
    const Exercise::Counters counters = exercise->GetCounters();
    if (counters.sectionQuestionCount > 0 && counters.sectionAsked > 0)
        SetStatus(tr("Question %1 of %2")
                      .arg(std::min(counters.sectionAsked, counters.sectionQuestionCount))
                      .arg(counters.sectionQuestionCount),
                  "RegularStyle");
    else
        SetStatus(QString(), "RegularStyle");
}

// ---- answers ---------------------------------------------------------------------------------

void ConsoleExerciseControl::VariantClicked()
{
    auto* button = qobject_cast<QToolButton*>(sender());
    if (!button || !exercise)
        return;
    const int state = exercise->GetState();
    if (state != Exercise::Presenting && state != Exercise::AwaitingAnswer)
        return;
    Core::Answer answer;
    answer.kind = Core::Answer::Choice;
    answer.variant = button->property("Id").toInt() - 1;
    exercise->Judge(answer);
}

void ConsoleExerciseControl::AnswerWithVariant(int id)
{
    QToolButton* button = VariantButton(id);
    // The same path as a click: only a button that is shown and enabled answers.
    if (button && variantsShown && button->isVisible() && button->isEnabled())
        button->click();
}

void ConsoleExerciseControl::IntervalClicked(int interval)
{
    if (!exercise)
        return;
    const int state = exercise->GetState();
    if (state != Exercise::Presenting && state != Exercise::AwaitingAnswer)
        return;
    Core::Answer answer;
    answer.kind = Core::Answer::Interval;
    answer.value = interval;
    exercise->Judge(answer);
}

void ConsoleExerciseControl::GKCNotePressed(int key)
{
    // Judged and heard only while an answer is awaited; the exercise sounds the key on its output.
    if (!exercise || exercise->GetState() != Exercise::AwaitingAnswer)
        return;
    exercise->HandleInputEvent(MidiEvent{MidiMessage(0x90, 0, quint8(key + lowestNote), 100), 0, -1.0});
}

void ConsoleExerciseControl::GKCNoteReleased(int key)
{
    if (!exercise)
        return;
    exercise->HandleInputEvent(MidiEvent{MidiMessage(0x80, 0, quint8(key + lowestNote), 100), 0, -1.0});
}

void ConsoleExerciseControl::HighlightNote(bool pressed, int note)
{
    // A key played so far in a chord not yet complete was right: it shows green until the
    // judgement marks the whole answer.
    if (!exercise || !pressed || exercise->GetState() != Exercise::AwaitingAnswer)
        return;
    const int key = note - lowestNote;
    if (key < 0 || key >= Keyboard::KeyCount)
        return;
    KeysStateMap keys;
    for (int k = 0; k < Keyboard::KeyCount; ++k) {
        const KeyStateRecord record = m_ui->keyboard->KeyState(k);
        if (record.mark != Keyboard::NoMark || record.played || k == key)
            keys.insert(k, record);
    }
    keys[key].mark = Keyboard::GreenMark;
    m_ui->keyboard->updateKeysState(keys);
}

void ConsoleExerciseControl::UpdateAnswerUI(bool correct, Core::Answer answer)
{
    if (viewMode != ExerciseView || !exercise)
        return;
    // One judgement, one showing: a report that comes twice, or one of an answer already shown,
    // changes nothing.
    const Exercise::Counters counters = exercise->GetCounters();
    if (counters.answered <= answersShown)
        return;
    answersShown = counters.answered;

    const QuestionRecord question = exercise->GetCurrentQuestion();
    const int right = question.correctIndex + 1;
    // 1. The buttons: the right one green with a tick, a wrong choice red with a cross.
    if (right >= 1 && right <= VariantCount) {
        ApplyVariantStyle(right, "MultichoiceCorrectStyle");
        variantMarks[size_t(right - 1)] = RightMarkText();
        SetVariantText(right);
    }
    if (answer.kind == Core::Answer::Choice && !correct) {
        const int chosen = answer.variant + 1;
        if (chosen >= 1 && chosen <= VariantCount && chosen != right) {
            ApplyVariantStyle(chosen, "MultichoiceIncorrectStyle");
            variantMarks[size_t(chosen - 1)] = WrongMarkText();
            SetVariantText(chosen);
        }
    }
    // 2. and 3. The answer view, and a heard question's answer revealed.
    const Core::QuestionData* item = question.AskedItem();
    const bool hasScore = item && !item->gmn.isEmpty();
    if (hasScore && (question.IsSounded()))
        ShowAnswerView(question, answer);
    if (IsHeard(question.kind) || question.kind == QuestionRecord::ChordSymbolQuestion) {
        m_ui->speaker->Stop();
        if (hasScore && m_ui->questionFader->Content() != m_ui->scoreBoard)
            m_ui->questionFader->FadeIn(m_ui->scoreBoard);
    }
    // 4. The border and the words.
    lastAnswerCorrect = correct;
    answerMark = correct ? CorrectMark : WrongMark;
    ApplyScorePaneStyle(correct ? "CorrectAnswerBorderStyle" : "WrongAnswerBorderStyle");
    if (answer.kind != Core::Answer::NoAnswer)
        SetStatus(correct ? tr("Right") : tr("Wrong"), correct ? "RightStyle" : "WrongStyle");

    if (correct) {
        // 5.
        StartNextQuestionTimer(RightAnswerDelayMs);
        doRightAnswerAnimation();
    } else {
        // 6.
        doWrongAnswerAnimation(answer.kind == Core::Answer::NoAnswer);
        Core::WrongAnswerPolicy policy;
        if (const Core::TrainerSettingsSource* source = exercise->GetSettingsSource())
            policy = source->CurrentSettings().noteTrainer.wrongAnswerPolicy;
        else if (settings)
            policy = settings->CurrentSettings().noteTrainer.wrongAnswerPolicy;
        if (policy.continueAfterMistake) {
            StartNextQuestionTimer(std::max(0, policy.delay));
        } else {
            exercise->Pause(true);
            actionHint->SetMode(ActionHint::NextQuestionMode);
            ShowActionHintDialog();
        }
    }
    // 7.
    if (exerciseId == size_t(trainerSymbols))
        (correct ? rightSound : wrongSound)->Play();
    UpdateUI();
}

void ConsoleExerciseControl::ShowAnswerView(const QuestionRecord& question, const Core::Answer& answer)
{
    QVector<QPair<int, int>> keys;
    const QByteArray view = exercise->DrawAnswerView(question, answer, keys);
    if (!view.isEmpty())
        m_ui->scoreBoard->SetScore(view);
    // Flag 2 (missed) shows blue, 0 (right) green, any other (wrong) red; a key entered twice
    // keeps the strongest mark.
    KeysStateMap marks;
    for (const QPair<int, int>& entry : keys) {
        const int key = entry.first;
        if (key < 0 || key >= Keyboard::KeyCount)
            continue;
        const int mark = entry.second == 2   ? Keyboard::BlueMark
                         : entry.second == 0 ? Keyboard::GreenMark
                                             : Keyboard::RedMark;
        KeyStateRecord record = m_ui->keyboard->KeyState(key);
        if (marks.contains(key))
            record = marks.value(key);
        record.mark = std::max(int(record.mark), mark);
        marks.insert(key, record);
    }
    m_ui->keyboard->SetMode(Keyboard::DisplayMode);
    m_ui->keyboard->updateKeysState(marks);
}

void ConsoleExerciseControl::doRightAnswerAnimation()
{
    if (!rightAnimation)
        rightAnimation = new WrongRightAnswerAnimation(WrongRightAnswerAnimation::RightAnswerHop,
                                                       m_ui->scorePane, m_ui->scoreFrame, this);
    if (wrongAnimation)
        wrongAnimation->stop();
    rightAnimation->Run();
}

void ConsoleExerciseControl::doWrongAnswerAnimation(bool isTimeout)
{
    if (viewMode != ExerciseView)
        return;
    if (isTimeout) {
        timedOut = true;
        SetStatus(tr("Out of time."), "TimeoutStyle");
        timeoutSummary->start();
    }
    if (!wrongAnimation)
        wrongAnimation = new WrongRightAnswerAnimation(WrongRightAnswerAnimation::WrongAnswerShake,
                                                       m_ui->scorePane, m_ui->scoreFrame, this);
    if (rightAnimation)
        rightAnimation->stop();
    wrongAnimation->Run();
}

void ConsoleExerciseControl::StartNextQuestionTimer(int ms)
{
    nextQuestionTimer.stop();
    nextQuestionTimer.start(ms, Qt::PreciseTimer, this);
}

void ConsoleExerciseControl::KillNextQuestionTimer()
{
    nextQuestionTimer.stop();
}

void ConsoleExerciseControl::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == nextQuestionTimer.timerId()) {
        // While paused or stopped the timer keeps firing and waits for the lesson to run.
        if (exercise && exercise->GetPlayState() == LessonBase::Running) {
            nextQuestionTimer.stop();
            emit NextQuestion();
        }
        return;
    }
    if (event->timerId() == glideTimer.timerId()) {
        if (!exercise || glideTarget == 0 || exercise->GetPlayState() != LessonBase::Running)
            return;
        QSlider* slider = m_ui->sectionSlider;
        if (slider->isSliderDown())
            return;
        const int value = slider->value();
        const int step = std::max(1, (glideTarget - value) / 10);
        const int next = std::min(glideTarget, value + step);
        slider->setValue(next);
        if (next >= glideTarget)
            glideTarget = 0;
        return;
    }
    QWidget::timerEvent(event);
}

// ---- the engine's reports ----------------------------------------------------------------------

void ConsoleExerciseControl::OnTick()
{
    emit NewTick();
}

void ConsoleExerciseControl::OnStateChanged()
{
    emit StateChanged();
}

void ConsoleExerciseControl::OnPlayStateChanged()
{
    emit PlayStateChanged();
}

void ConsoleExerciseControl::OnSectionChanged(uint)
{
    emit NewTick();
}

void ConsoleExerciseControl::OnNoteFromDevice(bool pressed, int note)
{
    emit NoteEntered(pressed, note);
}

void ConsoleExerciseControl::UpdateUI()
{
    QSlider* slider = m_ui->sectionSlider;
    if (!exercise) {
        slider->setEnabled(!quizMode);
        m_ui->playButton->hide();
        return;
    }
    slider->setEnabled(!quizMode);
    const int play = exercise->GetPlayState();
    const int state = exercise->GetState();

    // The ear trainer takes no answer while its question still sounds.
    const bool locked =
        exerciseId == size_t(trainerEar) && play == LessonBase::Running && state == Exercise::Presenting;
    m_ui->keyboard->SetDimmed(locked);
    m_ui->keyboard->setEnabled(!locked);
    for (int id = 1; id <= VariantCount; ++id)
        if (QToolButton* button = VariantButton(id))
            button->setEnabled(!locked);

    if (viewMode == ExerciseView) {
        const Exercise::Counters counters = exercise->GetCounters();
        m_ui->progress->SetValues(counters.answered - counters.correct, counters.correct);
    }
    const bool acceptsKeys = state == Exercise::AwaitingAnswer && play != LessonBase::Paused;
    m_ui->keyboard->SetInteractive(acceptsKeys);

    // A heard question's overlay follows its state: the speaker while it sounds, the question
    // picture while the answer is awaited.
    if ((state == Exercise::Presenting || state == Exercise::AwaitingAnswer) && state != overlayState &&
        shownQuestionSerial == exercise->GetCounters().asked) {
        const QuestionRecord question = exercise->GetCurrentQuestion();
        if (IsHeard(question.kind))
            ShowOverlayFor(question, state);
    }

    const bool stopped = play == LessonBase::Stopped;
    m_ui->playButton->setVisible(!stopped && viewMode == ExerciseView);
    const QString playText = play == LessonBase::Running ? tr("Pause") : tr("Play");
    if (m_ui->playButton->text() != playText) {
        m_ui->playButton->setText(playText);
        m_ui->playButton->setAccessibleName(playText);
    }
    if (stopped)
        UpdateSlider(false);
}

void ConsoleExerciseControl::UpdateUIOnStateChange()
{
    UpdateUI();
    if (!exercise)
        return;
    const int state = exercise->GetState();
    // The end of the lesson: its timeline ran out, or no section after the last one asked had
    // anything left to ask.
    const bool ended = state == Exercise::LessonEnd ||
                       (state == Exercise::NotStarted && exercise->GetPlayState() == LessonBase::Stopped &&
                        exercise->GetCounters().asked > 0);
    if (!ended || (sectionEndDialog && sectionEndDialog->isVisible()))
        return;
    lastHandledExerciseState = state;
    SectionEndDialog* dialog = EnsureSectionEndDialog();
    dialog->setScore(m_ui->progress->Wrong(), m_ui->progress->Right());
    if (viewMode == ExerciseView)
        emit ShowSectionEndDialogSignal();
}

SectionEndDialog* ConsoleExerciseControl::EnsureSectionEndDialog()
{
    if (!sectionEndDialog) {
        sectionEndDialog = new SectionEndDialog(this);
        sectionEndDialog->setGeometry(QRect(mapToGlobal(QPoint(0, 0)), size()));
        connect(sectionEndDialog, &SectionEndDialog::Continue, this, &ConsoleExerciseControl::Exit);
        connect(sectionEndDialog, &SectionEndDialog::Repeat, this, &ConsoleExerciseControl::restartExercise);
        connect(sectionEndDialog, &SectionEndDialog::ReviewStats, this, &ConsoleExerciseControl::ReviewStats);
    }
    return sectionEndDialog;
}

void ConsoleExerciseControl::ShowSectionEndDialog()
{
    actionHint->Dismiss();
    if (playDialog)
        playDialog->hide();
    EnsureSectionEndDialog()->ShowForSectionEnd();
}

void ConsoleExerciseControl::screenChangeSlot(QString current, QString previous)
{
    if (sectionEndDialog)
        sectionEndDialog->screenChangeSlot(current, previous);
}

// ---- the section bar ---------------------------------------------------------------------------

int ConsoleExerciseControl::SliderHandleLength() const
{
    QStyleOptionSlider option;
    option.initFrom(m_ui->sectionSlider);
    option.orientation = Qt::Horizontal;
    option.minimum = m_ui->sectionSlider->minimum();
    option.maximum = m_ui->sectionSlider->maximum();
    option.sliderPosition = m_ui->sectionSlider->minimum();
    const QRect handle = m_ui->sectionSlider->style()->subControlRect(
        QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, m_ui->sectionSlider);
    return handle.width() > 0 ? handle.width() : 14;
}

QToolButton* ConsoleExerciseControl::SectionButton(int s) const
{
    return m_ui->sectionButtons->findChild<QToolButton*>(QStringLiteral("section%1").arg(s + 1));
}

void ConsoleExerciseControl::UpdateSectionBar()
{
    if (!exercise)
        return;
    const std::shared_ptr<Core::TimeLine> timeline = exercise->GetTimeLine();
    if (!timeline)
        return;
    QSlider* slider = m_ui->sectionSlider;
    const int handle = SliderHandleLength();
    const int usable = std::max(0, m_ui->sectionButtons->width() - handle);
    slider->setMaximum(usable);
    slider->setTickPosition(QSlider::NoTicks);

    const int total = timeline->TotalLength();
    const int count = timeline->SegmentCount();
    std::array<double, SectionCount> weights{};
    double sum = 0;
    for (int i = 0; i < SectionCount; ++i) {
        QToolButton* button = SectionButton(i);
        const int length = i < count ? timeline->SegmentDuration(i) : 0;
        if (length > 0 && total > 0) {
            button->setEnabled(true);
            button->show();
            const QString name = timeline->SegmentName(i);
            button->setText(name);
            button->setToolTip(name);
            button->setAccessibleName(name);
            const int product = int(qint64(length) * usable / total);
            weights[size_t(i)] = std::max(2.0, product > 0 ? std::log(double(product)) : 0.0);
            sum += weights[size_t(i)];
            sectionTable[size_t(i)] = SectionRecord{i, 0, 0, length};
        } else {
            sectionTable[size_t(i)] = SectionRecord{};
            button->hide();
        }
    }
    const double scale = sum > 0 ? usable / sum : 0.0;
    int x = handle / 2;
    for (int i = 0; i < std::min(count, int(SectionCount)); ++i) {
        SectionRecord& record = sectionTable[size_t(i)];
        if (record.index < 0)
            continue;
        const int width = int(weights[size_t(i)] * scale);
        record.start = x - handle / 2;
        record.span = width;
        QToolButton* button = SectionButton(i);
        button->setFixedWidth(width);
        button->setFixedHeight(m_ui->sectionButtons->height());
        button->move(x, 0);
        x += width;
    }
    UpdateSlider(true);
}

void ConsoleExerciseControl::UpdateSlider()
{
    UpdateSlider(false);
}

void ConsoleExerciseControl::UpdateSlider(bool force)
{
    if (!exercise)
        return;
    QSlider* slider = m_ui->sectionSlider;
    slider->setEnabled(!quizMode);
    const std::shared_ptr<Core::TimeLine> timeline = exercise->GetTimeLine();
    if (!timeline)
        return;
    const int segment = timeline->CurrentSegment();
    // The button of the section whose question is shown, also while the timeline already
    // stands at the start of the next one.
    if (viewMode == ExerciseView) {
        const int shown = exercise->GetCurrentSection();
        for (int i = 0; i < SectionCount; ++i)
            SectionButton(i)->setChecked(i == shown);
    }
    const SectionRecord* record = nullptr;
    for (const SectionRecord& r : sectionTable)
        if (r.index >= 0 && r.index == segment)
            record = &r;
    if (!record || record->length <= 0 || slider->isSliderDown())
        return;
    const int offset = timeline->OffsetInSegment();
    const int value = int(record->start + double(record->span) * offset / record->length);
    if (!force && value > slider->value() + 2) {
        glideTarget = value;
    } else {
        slider->setValue(value);
        glideTarget = 0;
    }
}

void ConsoleExerciseControl::BeginSeekSlider()
{
    if (!exercise)
        return;
    KillNextQuestionTimer();
    exercise->BeginSeek();
}

void ConsoleExerciseControl::EndSeekSlider()
{
    if (!exercise)
        return;
    const int v = m_ui->sectionSlider->value();
    int position = 0;
    bool found = false;
    int before = 0;
    for (const SectionRecord& record : sectionTable) {
        if (record.index >= 0 && record.span > 0 && record.start <= v && v < record.start + record.span) {
            position = before + int(qint64(v - record.start) * record.length / record.span);
            found = true;
            break;
        }
        before += record.length;
    }
    if (!found)
        position = before - 1;
    exercise->Seek(std::max(0, position));
    m_ui->sectionSlider->setValue(v);
    glideTarget = 0;
    exercise->EndSeek();
    if (exercise->GetPlayState() == LessonBase::Running &&
        exercise->GetState() == Exercise::BetweenQuestions && !nextQuestionTimer.isActive())
        MoveToNextQuestion();
    UpdateSlider(false);
}

void ConsoleExerciseControl::SwitchToSection(int s)
{
    if (!exercise || s < 0 || s >= SectionCount || sectionTable[size_t(s)].index < 0)
        return;
    KillNextQuestionTimer();
    exercise->BeginSeek();
    exercise->JumpToSection(s);
    exercise->EndSeek();
    UpdateSlider(true);
    if (exercise->GetPlayState() == LessonBase::Running &&
        exercise->GetState() == Exercise::BetweenQuestions && !nextQuestionTimer.isActive())
        MoveToNextQuestion();
}

void ConsoleExerciseControl::HighlightSectionButton(int s)
{
    const QString exerciseLook = m_ui->sectionButtons->property("sectionExerciseMode").toString();
    const QString statisticsLook = m_ui->sectionButtons->property("sectionStatisticsMode").toString();
    for (int i = 0; i < SectionCount; ++i)
        SectionButton(i)->setStyleSheet(i == s ? statisticsLook : exerciseLook);
}

void ConsoleExerciseControl::ConnectSectionButtons(int view)
{
    using Slot = void (ConsoleExerciseControl::*)();
    static const Slot exerciseSlots[SectionCount] = {
        &ConsoleExerciseControl::SwitchToSection1, &ConsoleExerciseControl::SwitchToSection2,
        &ConsoleExerciseControl::SwitchToSection3, &ConsoleExerciseControl::SwitchToSection4,
        &ConsoleExerciseControl::SwitchToSection5};
    static const Slot statisticsSlots[SectionCount] = {
        &ConsoleExerciseControl::SwitchToStatSection1, &ConsoleExerciseControl::SwitchToStatSection2,
        &ConsoleExerciseControl::SwitchToStatSection3, &ConsoleExerciseControl::SwitchToStatSection4,
        &ConsoleExerciseControl::SwitchToStatSection5};
    static const Slot referenceSlots[SectionCount] = {&ConsoleExerciseControl::SwitchToReferenceSection1,
                                                      &ConsoleExerciseControl::SwitchToReferenceSection2,
                                                      &ConsoleExerciseControl::SwitchToReferenceSection3,
                                                      &ConsoleExerciseControl::SwitchToReferenceSection4,
                                                      &ConsoleExerciseControl::SwitchToReferenceSection5};
    const Slot* chosen = view == StatisticsView  ? statisticsSlots
                         : view == ReferenceView ? referenceSlots
                                                 : exerciseSlots;
    for (int i = 0; i < SectionCount; ++i) {
        QToolButton* button = SectionButton(i);
        disconnect(sectionConnections[size_t(i)]);
        sectionConnections[size_t(i)] = connect(button, &QToolButton::clicked, this, chosen[i]);
        button->setCheckable(view == ExerciseView);
    }
}

int ConsoleExerciseControl::CurrentSectionIndex() const
{
    if (!exercise)
        return 0;
    const std::shared_ptr<Core::TimeLine> timeline = exercise->GetTimeLine();
    int section = exercise->GetCurrentSection();
    if (timeline && exercise->GetState() == Exercise::LessonEnd)
        section = timeline->SegmentCount() - 1;
    return std::clamp(section, 0, SectionCount - 1);
}

// ---- views -------------------------------------------------------------------------------------

int ConsoleExerciseControl::MachineStateIndex() const
{
    if (viewMode == StatisticsView)
        return extendedStatistics ? ExtendedStatisticsState : StatisticsState;
    if (viewMode == ReferenceView)
        return ReferenceState;
    return ExerciseState;
}

void ConsoleExerciseControl::showExercise(UI::Speed speed)
{
    if (viewMode == ExerciseView)
        return;
    const bool quick = speed == Quick;
    const int from = MachineStateIndex();
    if (from == ReferenceState && catalog)
        if (auto telemetry = catalog->GetTelemetry())
            telemetry->ReferenceClosed();
    m_ui->sectionSlider->setEnabled(!quizMode);
    viewMode = ExerciseView;
    extendedStatistics = false;
    ApplyScorePaneStyle("RegularBorderStyle");
    const int state = exercise ? exercise->GetState() : Exercise::NotStarted;
    if (state == Exercise::LessonEnd) {
        SectionEndDialog* dialog = EnsureSectionEndDialog();
        if (lastHandledExerciseState == Exercise::LessonEnd)
            dialog->show();
        else
            dialog->setScore(m_ui->progress->Wrong(), m_ui->progress->Right());
    } else {
        if (sectionEndDialog)
            sectionEndDialog->hide();
        if (exercise)
            GetPlayDialog()->ShowOver();
    }
    lastHandledExerciseState = state;
    if (from == ReferenceState)
        emit quick ? quickReferenceToExerciseTrans() : referenceToExerciseTrans();
    else if (from == ExtendedStatisticsState)
        emit quick ? quickExtendedStatisticsToExerciseTrans() : extendedStatisticsToExerciseTrans();
    else
        emit quick ? quickStatisticsToExerciseTrans() : statisticsToExerciseTrans();
    if (!viewMachine)
        PlacePanesForView();

    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOn").toString());
    HighlightSectionButton(-1);
    ConnectSectionButtons(ExerciseView);
    m_ui->keyboard->SetMode(Keyboard::PlayMode);
    disconnect(m_ui->keyboard, &Keyboard::hover, this, &ConsoleExerciseControl::onStatisticsGkcHover);
    if (answerMark != RegularMark)
        ApplyScorePaneStyle(answerMark == CorrectMark ? "CorrectAnswerBorderStyle"
                                                      : "WrongAnswerBorderStyle");
    showExerciseStatistics();
    m_ui->scorePaneLabel->show();
    m_ui->statusLabel->show();
    if (exercise && (state == Exercise::Presenting || state == Exercise::AwaitingAnswer))
        UpdateAnswerInputs(exercise->GetCurrentQuestion());
    else
        m_ui->keyboard->show();
    UpdateUI();
    UpdateSlider(true);
}

void ConsoleExerciseControl::ShowStatistics(UI::Speed speed)
{
    if (viewMode == StatisticsView)
        return;
    const bool quick = speed == Quick;
    const int from = MachineStateIndex();
    if (from == ReferenceState && catalog)
        if (auto telemetry = catalog->GetTelemetry())
            telemetry->ReferenceClosed();
    if (sectionEndDialog)
        sectionEndDialog->hide();
    PauseExercise(true);
    ApplyScorePaneStyle("RegularBorderStyle");
    GetPlayDialog()->hide();
    actionHint->Dismiss();
    m_ui->playButton->hide();
    viewMode = StatisticsView;
    extendedStatistics = false;
    HighlightSectionButton(CurrentSectionIndex());
    ShowStatisticsPage();
    ConnectSectionButtons(StatisticsView);
    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOff").toString());
    connect(m_ui->keyboard, &Keyboard::hover, this, &ConsoleExerciseControl::onStatisticsGkcHover,
            Qt::UniqueConnection);
    SetStatus(QString(), "RegularStyle");
    if (from == ReferenceState)
        emit quick ? quickReferenceToStatisticsTrans() : referenceToStatisticsTrans();
    else
        emit quick ? quickExerciseToStatisticsTrans() : exerciseToStatisticsTrans();
    if (!viewMachine)
        PlacePanesForView();
}

void ConsoleExerciseControl::ShowStatisticsPage()
{
    // The statistics rows come with the statistics view itself; the caption names the section.
    const int section = CurrentSectionIndex();
    QString name;
    if (exercise) {
        const std::vector<Exercise::SectionTitle> titles = exercise->GetSectionTitles();
        if (size_t(section) < titles.size())
            name = titles[size_t(section)].shortName.toLower();
    }
    m_ui->statisticsCaption->setText(tr("This is your score for %1.").arg(name));
}

void ConsoleExerciseControl::ReviewStats()
{
    ShowStatistics(Animated);
}

void ConsoleExerciseControl::showReference(UI::Speed speed)
{
    if (viewMode == ReferenceView)
        return;
    const bool quick = speed == Quick;
    const int from = MachineStateIndex();
    if (from == ExerciseState)
        PauseExercise(true);
    if (catalog)
        if (auto telemetry = catalog->GetTelemetry())
            telemetry->ReferenceOpened();
    if (sectionEndDialog)
        sectionEndDialog->hide();
    if (playDialog)
        playDialog->hide();
    actionHint->Dismiss();
    m_ui->playButton->hide();
    const int section = CurrentSectionIndex();
    viewMode = ReferenceView;
    extendedStatistics = false;
    SwitchToReferenceSection(section);
    ConnectSectionButtons(ReferenceView);
    m_ui->sectionSlider->setStyleSheet(m_ui->sectionSlider->property("sliderOff").toString());
    m_ui->scorePaneLabel->hide();
    m_ui->statusLabel->hide();
    m_ui->keyboard->hide();
    m_ui->variantBar->hide();
    if (from == ExtendedStatisticsState)
        emit quick ? quickExtendedStatisticsToReferenceTrans() : extendedStatisticsToReferenceTrans();
    else if (from == StatisticsState)
        emit quick ? quickStatisticsToReferenceTrans() : statisticsToReferenceTrans();
    else
        emit quick ? quickExerciseToReferenceTrans() : exerciseToReferenceTrans();
    if (!viewMachine)
        PlacePanesForView();
}

void ConsoleExerciseControl::SwitchToStatSection(int s)
{
    if (viewMode != StatisticsView)
        return;
    HighlightSectionButton(s);
    QString name;
    if (exercise) {
        const std::vector<Exercise::SectionTitle> titles = exercise->GetSectionTitles();
        if (s >= 0 && size_t(s) < titles.size())
            name = titles[size_t(s)].shortName.toLower();
    }
    m_ui->statisticsCaption->setText(tr("This is your score for %1.").arg(name));
    // The ear trainer's tempo section has the extended page, without the keyboard.
    const bool extended = exerciseId == size_t(trainerEar) && s == 4;
    if (extended != extendedStatistics) {
        if (extended)
            emit statisticsToExtendedStatisticsTrans();
        else
            emit extendedStatisticsToStatisticsTrans();
        extendedStatistics = extended;
        if (!viewMachine)
            PlacePanesForView();
    }
}

void ConsoleExerciseControl::SwitchToReferenceSection(int s)
{
    static const char* const pitchedTitles[SectionCount] = {
        QT_TR_NOOP("Single Notes Reference"), QT_TR_NOOP("Intervals Reference"),
        QT_TR_NOOP("Chords Reference"), QT_TR_NOOP("Scales Reference"), QT_TR_NOOP("Tempo Reference")};
    static const char* const symbolTitles[SectionCount] = {
        QT_TR_NOOP("Note Lengths Reference"), QT_TR_NOOP("Key Signatures Reference"),
        QT_TR_NOOP("Tempo Reference"), QT_TR_NOOP("Loudness Reference"),
        QT_TR_NOOP("Note Modifiers Reference")};
    if (s < 0 || s >= SectionCount)
        return;
    HighlightSectionButton(s);
    const char* title = exerciseId == size_t(trainerSymbols) ? symbolTitles[s] : pitchedTitles[s];
    m_ui->referenceTitle->setText(tr(title));
}

void ConsoleExerciseControl::onStatisticsGkcHover(int)
{
    // The octave pages belong to the statistics view's own contents.
}

void ConsoleExerciseControl::toggleStatistics()
{
    if (!exercise)
        return;
    exercise->SetShowHistory(!exercise->IsShowingHistory());
    const bool history = exercise->IsShowingHistory();
    m_ui->viewHistory->setText(history
                                   ? (quizMode ? tr("View quiz statistics") : tr("View lesson statistics"))
                                   : tr("View History"));
    m_ui->clearHistory->setText(history ? tr("Clear History") : QString());
    m_ui->clearHistory->setEnabled(history);
}

void ConsoleExerciseControl::clearStatisticsHistory()
{
    if (!exercise)
        return;
    exercise->ClearHistoryStatistics();
    m_ui->clearHistory->setEnabled(false);
}

void ConsoleExerciseControl::PrintSlot()
{
    // Printing belongs to the reference view's contents.
}

void ConsoleExerciseControl::repaintProgress()
{
    m_ui->progress->update();
}

QRect ConsoleExerciseControl::PaneRect(int pane, int state) const
{
    const QSize area = m_ui->viewArea->size();
    const int offset = stripPosition[pane] - stripPosition[paneOfState[state]];
    return QRect(QPoint(offset * area.width(), 0), area);
}

QWidget* ConsoleExerciseControl::PaneWidget(int pane) const
{
    switch (pane) {
    case StatisticsPane:
        return m_ui->statisticsPane;
    case ExtendedStatisticsPane:
        return m_ui->extendedStatisticsPane;
    case ReferencePane:
        return m_ui->referencePane;
    default:
        return m_ui->exercisePane;
    }
}

void ConsoleExerciseControl::PlacePanesForView()
{
    PlacePanesForState(MachineStateIndex());
}

void ConsoleExerciseControl::PlacePanesForState(int state)
{
    for (int pane = 0; pane < 4; ++pane) {
        QWidget* widget = PaneWidget(pane);
        widget->setGeometry(PaneRect(pane, state));
        widget->setVisible(pane == paneOfState[state]);
    }
}

void ConsoleExerciseControl::AssignPaneGeometry()
{
    if (!viewMachine)
        return;
    for (int state = 0; state < 4; ++state)
        for (int pane = 0; pane < 4; ++pane)
            viewStates[size_t(state)]->assignProperty(PaneWidget(pane), "geometry", PaneRect(pane, state));
}

void ConsoleExerciseControl::BuildViewMachine()
{
    if (viewMachine)
        return;
    viewMachine = new QStateMachine(this);
    viewMachine->setObjectName(QStringLiteral("viewMachine"));
    static const char* const names[4] = {"exercise", "statistics", "extendedStatistics", "reference"};
    for (int s = 0; s < 4; ++s) {
        viewStates[size_t(s)] = new QState(viewMachine);
        viewStates[size_t(s)]->setObjectName(QLatin1String(names[s]));
        viewStates[size_t(s)]->assignProperty(PaneWidget(paneOfState[s]), "visible", true);
        // Once the panes are in place (for the view's size now: the piano may have come or gone
        // meanwhile), those outside the view are hidden from screen readers.
        connect(viewStates[size_t(s)], &QState::propertiesAssigned, this,
                [this, s] { PlacePanesForState(s); });
    }
    viewStates[StatisticsState]->assignProperty(m_ui->statisticsRows, "maximumWidth", 750);
    viewStates[ExtendedStatisticsState]->assignProperty(m_ui->statisticsRows, "maximumWidth", 800);
    viewStates[StatisticsState]->assignProperty(m_ui->keyboard, "visible", true);
    viewStates[ExtendedStatisticsState]->assignProperty(m_ui->keyboard, "visible", false);
    viewStates[ReferenceState]->assignProperty(m_ui->keyboard, "visible", false);
    AssignPaneGeometry();

    using Signal = void (ConsoleExerciseControl::*)();
    struct Transition
    {
        Signal signal;
        int from, to;
        bool animated;
    };
    const Transition transitions[] = {
        {&ConsoleExerciseControl::exerciseToStatisticsTrans, ExerciseState, StatisticsState, true},
        {&ConsoleExerciseControl::quickExerciseToStatisticsTrans, ExerciseState, StatisticsState, false},
        {&ConsoleExerciseControl::exerciseToExtendedStatisticsTrans, ExerciseState, ExtendedStatisticsState,
         true},
        {&ConsoleExerciseControl::quickExerciseToExtendedStatisticsTrans, ExerciseState,
         ExtendedStatisticsState, false},
        {&ConsoleExerciseControl::exerciseToReferenceTrans, ExerciseState, ReferenceState, true},
        {&ConsoleExerciseControl::quickExerciseToReferenceTrans, ExerciseState, ReferenceState, false},
        {&ConsoleExerciseControl::referenceToExerciseTrans, ReferenceState, ExerciseState, true},
        {&ConsoleExerciseControl::quickReferenceToExerciseTrans, ReferenceState, ExerciseState, false},
        {&ConsoleExerciseControl::referenceToStatisticsTrans, ReferenceState, StatisticsState, true},
        {&ConsoleExerciseControl::quickReferenceToStatisticsTrans, ReferenceState, StatisticsState, false},
        {&ConsoleExerciseControl::referenceToExtendedStatisticsTrans, ReferenceState, ExtendedStatisticsState,
         true},
        {&ConsoleExerciseControl::quickReferenceToExtendedStatisticsTrans, ReferenceState,
         ExtendedStatisticsState, false},
        {&ConsoleExerciseControl::statisticsToReferenceTrans, StatisticsState, ReferenceState, true},
        {&ConsoleExerciseControl::quickStatisticsToReferenceTrans, StatisticsState, ReferenceState, false},
        {&ConsoleExerciseControl::statisticsToExerciseTrans, StatisticsState, ExerciseState, true},
        {&ConsoleExerciseControl::quickStatisticsToExerciseTrans, StatisticsState, ExerciseState, false},
        {&ConsoleExerciseControl::statisticsToExtendedStatisticsTrans, StatisticsState,
         ExtendedStatisticsState, true},
        {&ConsoleExerciseControl::extendedStatisticsToExerciseTrans, ExtendedStatisticsState, ExerciseState,
         true},
        {&ConsoleExerciseControl::quickExtendedStatisticsToExerciseTrans, ExtendedStatisticsState,
         ExerciseState, false},
        {&ConsoleExerciseControl::extendedStatisticsToReferenceTrans, ExtendedStatisticsState, ReferenceState,
         true},
        {&ConsoleExerciseControl::quickExtendedStatisticsToReferenceTrans, ExtendedStatisticsState,
         ReferenceState, false},
        {&ConsoleExerciseControl::extendedStatisticsToStatisticsTrans, ExtendedStatisticsState,
         StatisticsState, true},
    };
    for (const Transition& t : transitions) {
        QSignalTransition* transition =
            viewStates[size_t(t.from)]->addTransition(this, t.signal, viewStates[size_t(t.to)]);
        if (t.animated) {
            auto* group = new CustomAnimationGroup(
                {m_ui->exercisePane, m_ui->statisticsPane, m_ui->extendedStatisticsPane, m_ui->referencePane},
                transition);
            connect(group, &QAbstractAnimation::finished, this, &ConsoleExerciseControl::repaintProgress);
            transition->addAnimation(group);
        }
    }
    viewMachine->setInitialState(viewStates[size_t(MachineStateIndex())]);
    PlacePanesForView();
    viewMachine->start();
}

int ConsoleExerciseControl::MachineConfigurationIndex() const
{
    if (viewMachine)
        for (int s = 0; s < 4; ++s)
            if (viewMachine->configuration().contains(viewStates[size_t(s)]))
                return s;
    return MachineStateIndex();
}

bool ConsoleExerciseControl::IsViewAnimating() const
{
    if (!viewMachine)
        return false;
    for (QAbstractAnimation* animation : viewMachine->findChildren<QAbstractAnimation*>())
        if (animation->state() == QAbstractAnimation::Running)
            return true;
    return false;
}

// ---- geometry and events -----------------------------------------------------------------------

void ConsoleExerciseControl::LayOutKeyboard()
{
    const int width = m_ui->keyboard->width() > 0 ? m_ui->keyboard->width() : this->width() - 48;
    const int height =
        std::clamp(width * layoutHeight / layoutWidth, keyboardMinimumHeight, keyboardMaximumHeight);
    if (m_ui->keyboard->minimumHeight() != height || m_ui->keyboard->maximumHeight() != height)
        m_ui->keyboard->setFixedHeight(height);
}

void ConsoleExerciseControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOutKeyboard();
    if (sectionEndDialog && !sectionEndDialog->isVisible())
        sectionEndDialog->setGeometry(QRect(mapToGlobal(QPoint(0, 0)), size()));
}

void ConsoleExerciseControl::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    LayOutKeyboard();
    BuildViewMachine();
    setFocus();
}

void ConsoleExerciseControl::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // The lesson does not run on while nobody sees it.
    if (exercise && exercise->GetPlayState() == LessonBase::Running)
        PauseExercise(true, true);
}

void ConsoleExerciseControl::closeEvent(QCloseEvent* event)
{
    KillNextQuestionTimer();
    if (exercise)
        exercise->Stop();
    event->accept();
}

bool ConsoleExerciseControl::event(QEvent* event)
{
    // The space bar and the keys 1 to 6 are the screen's, whatever shortcut may want them.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool digit = key->key() >= Qt::Key_1 && key->key() <= Qt::Key_6;
        if (key->key() == Qt::Key_Space || (digit && variantsShown && viewMode == ExerciseView)) {
            if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                event->accept();
                return true;
            }
        }
    }
    return QWidget::event(event);
}

void ConsoleExerciseControl::keyPressEvent(QKeyEvent* event)
{
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Space) {
        event->accept();
        if (!event->isAutoRepeat())
            SpaceAction();
        return;
    }
    if (event->key() >= Qt::Key_1 && event->key() <= Qt::Key_6) {
        event->accept();
        if (!event->isAutoRepeat() && viewMode == ExerciseView)
            AnswerWithVariant(event->key() - Qt::Key_1 + 1);
        return;
    }
    QWidget::keyPressEvent(event);
}

void ConsoleExerciseControl::mousePressEvent(QMouseEvent* event)
{
    actionHint->Dismiss();
    QWidget::mousePressEvent(event);
}

bool ConsoleExerciseControl::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (watched == actionHint)
            return false; // the hint's own click is the space bar (ActionHint::Clicked)
        actionHint->Dismiss();
        const bool onQuestion = watched == m_ui->scorePane || watched == m_ui->questionFader ||
                                watched == m_ui->scoreBoard || watched == m_ui->speaker ||
                                watched == m_ui->questionPicture || watched == m_ui->questionText;
        if (onQuestion && viewMode == ExerciseView && exercise) {
            SpaceAction();
            return true;
        }
        break;
    }
    case QEvent::Enter:
        if (watched == m_ui->questionFader && viewMode == ExerciseView && exercise &&
            exercise->GetPlayState() == LessonBase::Running) {
            const auto* enter = dynamic_cast<QEnterEvent*>(event);
            if (enter && enter->pos().y() >= m_ui->questionFader->height() - hintZoneHeight)
                ShowActionHintDialog();
        }
        break;
    case QEvent::Resize:
        if (watched == m_ui->viewArea) {
            AssignPaneGeometry();
            if (!IsViewAnimating())
                PlacePanesForState(MachineConfigurationIndex());
        } else if (watched == m_ui->sectionButtons) {
            UpdateSectionBar();
        } else if (watched == m_ui->variantBar) {
            for (int id = 1; id <= VariantCount; ++id)
                SetVariantText(id);
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace UI

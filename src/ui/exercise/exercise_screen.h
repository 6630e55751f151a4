#pragma once
// The exercise screen: the place where the student works through one lesson of a trainer. It
// owns the running exercise, shows its questions (engraved music, a picture, the animated
// speaker of a heard question, a chord symbol), takes answers from the on-screen piano, the six
// multiple-choice buttons (also keys 1 to 6) and, through the engine, a MIDI keyboard, shows the
// judgement (border, button colours and marks, "Right" / "Wrong" / "Out of time.", the hop and
// the shake, the answer view, the answer sounds of the symbol trainer), moves on by its
// next-question timer or the space bar, lets the student seek through the lesson with the slider
// and the section buttons, and shows the section end dialog at the end of the lesson. A view
// machine of four states moves the panes between the exercise, statistics, extended statistics
// and reference views.
//
// The main window creates it with the engine objects it needs and calls loadExercise and
// closeExercise. loadExercise opens a Core::LessonSession, the screen's only way to the lesson:
// the screen calls its slots and shows what its signals carry, keeping its own copy of the
// lesson's state; the session decides what follows a judgement (see lesson_session.h). What
// its reports carry goes to the screen's parts: the question and its inputs to QuestionView,
// the judgement to AnswerFeedback, the statistics page to StatisticsPane. GUI thread only.

#include "core/exercise/answer.h"
#include "core/exercise/lesson_session.h"
#include "ui/exercise/computer_piano.h"
#include "ui/speed.h"

#include <QMap>
#include <QPointer>
#include <QWidget>

class QCheckBox;

#include <array>
#include <memory>

class QAbstractAnimation;
class QStateMachine;
class QTimer;
class QToolButton;
class Keyboard;

namespace Core {
class QuestionData;
class ExerciseCatalog;
class SettingsStore;
class SoundController;
struct QuestionRecord;
} // namespace Core

namespace Ui {
class ExerciseScreen;
}

namespace UI {

class ActionHint;
class AnswerFeedback;
class MidiWarningDialog;
class PlayDialog;
class QuestionCountdown;
class QuestionView;
class ReferenceBook;
class SectionBar;
class SectionEndDialog;
class StatisticsPane;
class MicrophoneSilenceNotice;
class ViewSwitcher;

class ExerciseScreen : public QWidget
{
    Q_OBJECT

public:
    enum ViewMode
    {
        ExerciseView = 0,
        StatisticsView = 1,
        ReferenceView = 2,
    };

    static constexpr int RightAnswerDelayMs = Core::LessonSession::RightAnswerDelayMs;
    // How long the last answer's judgement stays in view before the section end dialog covers it.
    static constexpr int FeedbackBeforeSectionEndMs = 1200;
    static constexpr int SectionCount = 5;
    static constexpr int VariantCount = 6;

    // settings: the general settings (answer inputs, letters, the MIDI notice) and where the
    // notice's "do not show again" is written; it must outlive the screen. The catalogue makes
    // the exercises, whose settings source gives the question settings in force.
    ExerciseScreen(std::shared_ptr<Core::ExerciseCatalog> catalog,
                           std::shared_ptr<Core::SoundController> soundController,
                           Core::SettingsStore* settings, QWidget* parent = nullptr);
    ~ExerciseScreen() override;

    // Opens a new lesson of trainer `exerciseId` (0 note, 1 ear, 2 symbol trainer) and asks its
    // first question. Without `resume` the trainer's results of the current run are cleared.
    void loadExercise(size_t exerciseId, bool quizMode, bool resume);
    // Stops and releases the open exercise, if any.
    void closeExercise();
    // Moves the open lesson to timeline position `position` (a lesson left earlier and opened
    // again) and goes on from there.
    void resumeAt(int position);

    // The open lesson, or null; for the main window and the tour.
    Core::LessonSession* session() const { return m_session.get(); }
    size_t exerciseId() const { return m_exerciseId; }
    bool isQuizMode() const { return m_quizMode; }
    int viewMode() const { return m_viewMode; }
    bool isExtendedStatistics() const { return m_extendedStatistics; }
    bool isTimedOut() const;
    // The section end dialog once it was needed, else null.
    SectionEndDialog* sectionEndDialog() const;
    ActionHint* actionHint() const { return m_actionHint; }
    MidiWarningDialog* midiWarningDialog() const;
    // The pause veil once it was needed, else null.
    PlayDialog* playDialog() const;
    // The view machine, built when the screen is first shown; for the tour.
    QStateMachine* viewMachine() const;

Q_SIGNALS:
    void sectionEndDialogRequested();
    // The student leaves the lesson (the section end dialog's Continue); the main window goes
    // back to the home screen.
    void exitRequested();

public Q_SLOTS:
    // Only in the exercise view with an exercise open (else false): pauses or resumes the
    // exercise and returns whether that changed anything. Resuming goes on with the question and
    // brings the pause hint; pausing with `showDialog` shows the play dialog over the score pane.
    bool pauseExercise(bool pause, bool showDialog = false);
    // The play/pause toggle (the space bar, the play dialog, the play button).
    void play();
    // Plays the question heard again (the Hear again button, the key R).
    void hearAgain();
    void showStatistics(UI::Speed speed);
    // Opens the same trainer again, from the start, with the current run's results cleared.
    void restartExercise();
    void repaintProgress();
    void reviewStatistics();
    // Hands the settings in force to the exercise, lays out the section bar and refreshes the view.
    void applySettings();
    // The window stack manager's screenChange(current, previous): passed on to the section end
    // dialog.
    void onScreenChanged(QString current, QString previous);
    void showReference(UI::Speed speed);
    void showExercise(UI::Speed speed);

private Q_SLOTS:
    // The session's reports.
    void onLessonChanged(const Core::LessonSnapshot& lesson);
    void onPositionChanged(const Core::LessonPosition& position);
    void onQuestionAsked(const Core::Question& question);
    void onAnswerJudged(const Core::Judgement& judgement);
    void onKeyEntered(int key, bool down);
    void onSectionEnded(const Core::SectionScore& score);
    void onAboutToAskNext();
    void onSummaryDue();
    // The answer log cannot be written: said once in the status line; the lesson goes on.
    void onAnswerLogProblem(const QString& message);

    void updateSlider(bool force);
    void updateView();
    // Shows the section end dialog when the lesson has ended and its last judgement was seen.
    void handleLessonEnd();
    // The answer inputs: choice button `index` (0 to 5), a key of the on-screen piano.
    void onChoiceClicked(int index);
    void onKeyboardKeyPressed(int key);
    void onKeyboardKeyReleased(int key);
    // A key hovered in the statistics view: the page of its octave.
    void onStatisticsKeyHovered(int key);
    // The slider's handle taken and let go: the lesson holds, then goes on from where it was let
    // go.
    void beginSeek();
    void endSeek(int position);
    // A section button: the lesson goes there, the statistics or the reference show its page.
    void onSectionChosen(int section);
    void jumpToSection(int section);
    void switchToStatisticsSection(int s);
    void showReferenceSection(int section);
    void printReference();
    void showSectionEndDialog();
    PlayDialog* ensurePlayDialog();
    void showActionHint();
    void showExerciseStatistics();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Makes the question view, the answer feedback and the statistics pane on the form's widgets.
    void createParts();
    // The question the lesson last reported, in the question view (the exercise view only).
    void showQuestion();
    // The inputs `question` takes, for the view in front.
    void updateAnswerInputs(const Core::QuestionRecord& question);
    // Whether the hidden inputs keep their room in the view in front.
    bool inputRoomKept() const;
    // What the space bar, a click on the score pane or the hint do in the exercise view.
    void spaceAction();
    // Shows the missing MIDI input notice once per screen when it applies; true when shown now.
    bool warnIfNoMidiInput();
    bool midiNoticeDue() const;
    // Begins the lesson held back for the notice.
    void beginHeldLesson();
    // The time left of the question in hand, from where the lesson stands.
    void showTimeLeft();
    SectionEndDialog* ensureSectionEndDialog();

    // Section bar: lays it out for the lesson's sections and puts the slider where the lesson is.
    void updateSectionBar();
    int currentSectionIndex() const;

    // Views.
    // The statistics view (see StatisticsPane). showStatisticsPage refreshes the page shown: the
    // history buttons, the caption and the rows of the section and octave; showStatisticsSection
    // shows section `section` for all octaves.
    void showStatisticsPage();
    void showStatisticsSection(int section);
    // Names `section` above the panes: the lesson's own in the exercise view, the page's in the
    // statistics and the reference.
    void showSectionTitle(int section);

    // The computer keyboard as a piano: whether the on-screen piano takes answers now, where its
    // window of keys lies for the question shown, the letters drawn on the keys, and a key
    // pressed or released (true when the event was the piano's).
    bool pianoAnswers() const;
    void placePianoWindow();
    void showPianoLetters();
    bool playPianoKey(QKeyEvent* event, bool down);
    // Lets go of every key held from the computer keyboard (their releases will not come).
    void releasePianoKeys();
    // The first time the piano takes answers from the computer keyboard, the hint says how.
    void introducePianoKeys();

    void layOutKeyboard();
    QPoint hintAnchor() const;
    bool needsMidiInput() const;

    std::unique_ptr<Ui::ExerciseScreen> m_ui;

    std::shared_ptr<Core::ExerciseCatalog> m_catalog;
    std::shared_ptr<Core::SoundController> m_soundController;
    // The reference pages, in the place the form keeps for them.
    ReferenceBook* m_referenceBook = nullptr;
    // Logical pixels: about the width of a printed A4 sheet at screen resolution.
    static constexpr int ReferencePrintWidth = 720;
    Core::SettingsStore* m_settings = nullptr;

    std::unique_ptr<Core::LessonSession> m_session;
    // The lesson as its last report gave it, and its place on the timeline.
    Core::LessonSnapshot m_lesson;
    Core::LessonPosition m_position;
    // The slider goes to the next reported place at once instead of gliding (after a seek).
    bool m_sliderJumps = false;
    // The session is moving on to the next question, which it has not reported yet.
    bool m_askingNext = false;
    // A question was reported while another view was in front; it is shown with the exercise.
    bool m_questionPending = false;
    size_t m_exerciseId = size_t(-1);
    bool m_quizMode = false;
    int m_viewMode = ExerciseView;
    bool m_extendedStatistics = false;
    SectionBar* m_sectionBar = nullptr;
    bool m_midiWarningShown = false;
    bool m_midiWarningPending = false;
    // The lesson waits for the notice to be read: it begins when the notice closes, or with Play
    // when the play card is up by then.
    bool m_beginHeld = false;
    // The lesson paused after a mistake: the hint, not the play card, tells how to go on.
    bool m_waitingAfterMistake = false;
    // The question's time runs down the countdown until it is judged.
    bool m_timeRunning = false;
    // The answer log's problem, waiting for a judgement in view to give way to the next count.
    QString m_pendingLogProblem;
    QuestionCountdown* m_countdown = nullptr;
    QCheckBox* m_singingBox = nullptr; // "I answer by singing"
    ComputerPiano m_computerPiano;
    // The piano keys held from the computer keyboard, by their place in the window.
    QMap<int, int> m_pianoHeld;
    // The count of questions asked when the window was last placed.
    int m_pianoPlacedFor = -1;
    static bool s_pianoKeysIntroduced;
    // The parts of the screen: the question and its inputs, the judgement, the statistics page.
    QuestionView* m_questionView = nullptr;
    AnswerFeedback* m_answerFeedback = nullptr;
    StatisticsPane* m_statisticsPane = nullptr;

    QPointer<SectionEndDialog> m_sectionEndDialog;
    QPointer<PlayDialog> m_playDialog;
    QPointer<MidiWarningDialog> m_midiWarningDialog;
    ActionHint* m_actionHint = nullptr;
    MicrophoneSilenceNotice* m_silenceNotice = nullptr;
    // The wait for the section end dialog after the last judgement.
    QTimer* m_sectionEndDelay = nullptr;

    // The last exercise state the screen handled (shared by every screen of the process): a
    // lesson end seen before brings the section end dialog back as it was, one seen only now
    // shows the final score.
    static int s_lastHandledExerciseState;

    ViewSwitcher* m_viewSwitcher = nullptr;
};

} // namespace UI

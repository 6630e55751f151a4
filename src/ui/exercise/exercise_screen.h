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
// The main window creates it with the engine objects it needs and calls LoadExercise and
// CloseExercise. LoadExercise opens a Core::LessonSession, the screen's only way to the lesson:
// the screen calls its slots and shows what its signals carry, keeping its own copy of the
// lesson's state; the session decides what follows a judgement (see lesson_session.h). GUI
// thread only.

#include "core/exercise/answer.h"
#include "core/exercise/lesson_session.h"
#include "ui/speed.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

class QAbstractAnimation;
class QState;
class QTimer;
class QStateMachine;
class QToolButton;
class SoundClip;
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
class MidiWarningDialog;
class PlayDialog;
class ReferenceBook;
class SectionEndDialog;
class WrongRightAnswerAnimation;

class ExerciseScreen : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool isReferenceEnabled READ isReferenceEnabled)

public:
    enum ViewMode
    {
        ExerciseView = 0,
        StatisticsView = 1,
        ReferenceView = 2,
    };
    enum AnswerMark
    {
        CorrectMark = 0,
        WrongMark = 1,
        RegularMark = 2,
    };

    static constexpr int RightAnswerDelayMs = Core::LessonSession::RightAnswerDelayMs;
    // How long the last answer's judgement stays in view before the section end dialog covers it.
    static constexpr int FeedbackBeforeSectionEndMs = 1200;
    static constexpr int GlideIntervalMs = 50;
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
    void LoadExercise(size_t exerciseId, bool quizMode, bool resume);
    // Stops and releases the open exercise, if any.
    void CloseExercise();
    // Moves the open lesson to timeline position `position` (a lesson left earlier and opened
    // again) and goes on from there.
    void ResumeAt(int position);

    bool isReferenceEnabled() const { return viewMode == ReferenceView; }

    // The open lesson, or null; for the main window and the tour.
    Core::LessonSession* GetSession() const { return m_session.get(); }
    size_t GetExerciseId() const { return exerciseId; }
    bool IsQuizMode() const { return quizMode; }
    int GetViewMode() const { return viewMode; }
    bool IsExtendedStatistics() const { return extendedStatistics; }
    bool IsTimedOut() const { return timedOut; }
    // The section end dialog once it was needed, else null.
    SectionEndDialog* GetSectionEndDialog() const;
    ActionHint* GetActionHint() const { return actionHint; }
    MidiWarningDialog* GetMidiWarningDialog() const;
    // The pause veil once it was needed, else null.
    PlayDialog* FindPlayDialog() const;
    // The view machine, built when the screen is first shown.
    QStateMachine* GetViewMachine() const { return viewMachine; }
    // The section bar's record of button i: {section index (-1 none), slider start, span, length}.
    struct SectionRecord
    {
        int index = -1;
        int start = 0;
        int span = 0;
        int length = 0;
    };

Q_SIGNALS:
    // The view machine's transitions.
    void exerciseToStatisticsTrans();
    void quickExerciseToStatisticsTrans();
    void exerciseToExtendedStatisticsTrans();
    void quickExerciseToExtendedStatisticsTrans();
    void exerciseToReferenceTrans();
    void quickExerciseToReferenceTrans();
    void referenceToExerciseTrans();
    void quickReferenceToExerciseTrans();
    void referenceToStatisticsTrans();
    void quickReferenceToStatisticsTrans();
    void referenceToExtendedStatisticsTrans();
    void quickReferenceToExtendedStatisticsTrans();
    void statisticsToReferenceTrans();
    void quickStatisticsToReferenceTrans();
    void statisticsToExerciseTrans();
    void quickStatisticsToExerciseTrans();
    void statisticsToExtendedStatisticsTrans();
    void extendedStatisticsToExerciseTrans();
    void quickExtendedStatisticsToExerciseTrans();
    void extendedStatisticsToReferenceTrans();
    void quickExtendedStatisticsToReferenceTrans();
    void extendedStatisticsToStatisticsTrans();

    void ShowSectionEndDialogSignal();
    // The student leaves the lesson (the section end dialog's Continue); the main window goes
    // back to the home screen.
    void ExitSignal();

public Q_SLOTS:
    // Only in the exercise view with an exercise open (else false): pauses or resumes the
    // exercise and returns whether that changed anything. Resuming goes on with the question and
    // brings the pause hint; pausing with `showDlg` shows the play dialog over the score pane.
    bool PauseExercise(bool pause, bool showDlg = false);
    // The play/pause toggle (the space bar, the play dialog, the play button).
    void Play();
    void ShowStatistics(UI::Speed speed);
    void onStatisticsGkcHover(int key);
    // Opens the same trainer again, from the start, with the current run's results cleared.
    void restartExercise();
    void repaintProgress();
    void ReviewStats();
    // Hands the settings in force to the exercise, lays out the section bar and refreshes the view.
    void ApplySettings();
    void Exit();
    // The window stack manager's screenChange(current, previous): passed on to the section end
    // dialog.
    void screenChangeSlot(QString current, QString previous);
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

    void UpdateSlider(bool force);
    void UpdateUI();
    // Shows the section end dialog when the lesson has ended and its last judgement was seen.
    void handleLessonEnd();
    void VariantClicked();
    void IntervalClicked(int interval);
    void GKCNotePressed(int key);
    void GKCNoteReleased(int key);
    void BeginSeekSlider();
    void EndSeekSlider();
    void SwitchToSection1() { SwitchToSection(0); }
    void SwitchToSection2() { SwitchToSection(1); }
    void SwitchToSection3() { SwitchToSection(2); }
    void SwitchToSection4() { SwitchToSection(3); }
    void SwitchToSection5() { SwitchToSection(4); }
    void SwitchToSection(int s);
    void SwitchToStatSection1() { SwitchToStatSection(0); }
    void SwitchToStatSection2() { SwitchToStatSection(1); }
    void SwitchToStatSection3() { SwitchToStatSection(2); }
    void SwitchToStatSection4() { SwitchToStatSection(3); }
    void SwitchToStatSection5() { SwitchToStatSection(4); }
    void SwitchToStatSection(int s);
    void SwitchToReferenceSection1() { SwitchToReferenceSection(0); }
    void SwitchToReferenceSection2() { SwitchToReferenceSection(1); }
    void SwitchToReferenceSection3() { SwitchToReferenceSection(2); }
    void SwitchToReferenceSection4() { SwitchToReferenceSection(3); }
    void SwitchToReferenceSection5() { SwitchToReferenceSection(4); }
    void SwitchToReferenceSection(int s);
    void PrintSlot();
    void ShowSectionEndDialog();
    PlayDialog* GetPlayDialog();
    void ShowActionHintDialog();
    void HideActionHintDialog();
    void doWrongAnswerAnimation(bool isTimeout);
    void doRightAnswerAnimation();
    void toggleStatistics();
    void clearStatisticsHistory();
    void showExerciseStatistics();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Question display and answer inputs.
    void ShowQuestion();
    QString TaskText(const Core::QuestionRecord& question) const;
    void ShowOverlayFor(const Core::QuestionRecord& question, int state);
    void UpdateAnswerInputs(const Core::QuestionRecord& question);
    void SetVariantTexts(const Core::QuestionRecord& question);
    // Writes button `id`'s text and accessible name from its label and mark.
    void SetVariantText(int id);
    QToolButton* VariantButton(int id) const;
    static QString RightMarkText();
    static QString WrongMarkText();
    void ApplyVariantStyle(int id, const char* property);
    void ApplyScorePaneStyle(const char* property);
    void SetStatus(const QString& text, const char* styleProperty);
    void ShowAnswerView(const Core::Judgement& judgement);
    void AnswerWithVariant(int id);
    // What the space bar, a click on the score pane or the hint do in the exercise view.
    void SpaceAction();
    // Shows the missing MIDI input notice once per screen when it applies; true when shown now.
    bool WarnIfNoMidiInput();
    SectionEndDialog* EnsureSectionEndDialog();

    // Section bar.
    void UpdateSectionBar();
    int SliderHandleLength() const;
    QToolButton* SectionButton(int s) const;
    void HighlightSectionButton(int s);
    void ConnectSectionButtons(int view);
    int CurrentSectionIndex() const;

    // Views.
    // The statistics view (console_exercise_control_statistics.cpp). ShowStatisticsPage refreshes
    // the page shown: the history buttons, the caption and the rows of the section and octave.
    void ShowStatisticsPage();
    // Whether the hidden keyboard and answer buttons keep their room (in a lesson) or give it to
    // the view in front (the reference, the tempo page).
    void KeepInputRoom(bool keep);
    // Fills the rows with the section's records (of the octave picked on the keyboard, if any);
    // returns how many records the section has in the database the history switch reads.
    int BuildStatisticsPage(int section);
    QString StatisticsCaption(const QString& sectionName, int octave) const;
    void SetHistoryButtons(int sectionRecords);
    void SetStatisticsCaption(int section, int octave);
    QString SectionShortName(int section) const;
    // Names `section` above the panes: the lesson's own in the exercise view, the page's in the
    // statistics and the reference.
    void ShowSectionTitle(int section);
    bool IsKeyboardSection(int section) const;
    bool IsExtendedStatisticsSection(int section) const;
    bool IsTempoSection(int section) const;
    int LowestKey(int section, int id) const;
    // Puts the history buttons on the statistics page in view (the plain or the extended one).
    void PlaceHistoryBar(bool extended);
    void BuildViewMachine();
    void AssignPaneGeometry();
    void PlacePanesForView();
    void PlacePanesForState(int state);
    // The state the view machine is in (before it runs: the one the view mode asks for).
    int MachineConfigurationIndex() const;
    QRect PaneRect(int pane, int state) const;
    QWidget* PaneWidget(int pane) const;
    int MachineStateIndex() const;
    bool IsViewAnimating() const;

    void LayOutKeyboard();
    QPoint HintAnchor() const;
    bool NeedsMidiInput() const;
    bool SettingsShowKeyboard() const;
    bool SettingsShowChoices() const;

    std::unique_ptr<Ui::ExerciseScreen> m_ui;

    std::shared_ptr<Core::ExerciseCatalog> catalog;
    std::shared_ptr<Core::SoundController> soundController;
    // The reference pages, in the place the form keeps for them.
    ReferenceBook* referenceBook = nullptr;
    // Logical pixels: about the width of a printed A4 sheet at screen resolution.
    static constexpr int referencePrintWidth = 720;
    Core::SettingsStore* settings = nullptr;

    std::unique_ptr<Core::LessonSession> m_session;
    // The lesson as its last report gave it, and its place on the timeline.
    Core::LessonSnapshot m_lesson;
    Core::LessonPosition m_position;
    // The slider goes to the next reported place at once instead of gliding (after a seek).
    bool m_sliderJumps = false;
    // The session is moving on to the next question, which it has not reported yet.
    bool askingNext = false;
    // A question was reported while another view was in front; it is shown with the exercise.
    bool questionPending = false;
    size_t exerciseId = size_t(-1);
    bool quizMode = false;
    int viewMode = ExerciseView;
    bool extendedStatistics = false;
    // The section the statistics view shows, and the octave picked on the keyboard (-1: all).
    int statisticsSection = 0;
    int statisticsOctave = -1;
    int answerMark = RegularMark;
    bool timedOut = false;
    bool lastAnswerCorrect = false;
    QBasicTimer glideTimer;
    int glideTarget = 0;
    std::array<SectionRecord, SectionCount> sectionTable{};
    bool midiWarningShown = false;
    bool midiWarningPending = false;
    // Whether the keys 1-6 and the buttons answer now.
    bool variantsShown = false;
    // The question shown (by the lesson's count of questions asked) and the exercise state its
    // overlay was chosen for.
    int shownQuestionSerial = -1;
    int overlayState = -1;
    std::array<QString, VariantCount> variantLabels;
    std::array<QString, VariantCount> variantMarks;
    std::array<QMetaObject::Connection, SectionCount> sectionConnections;

    std::unique_ptr<SoundClip> wrongSound;
    std::unique_ptr<SoundClip> rightSound;

    QPointer<SectionEndDialog> sectionEndDialog;
    QPointer<PlayDialog> playDialog;
    QPointer<MidiWarningDialog> midiWarningDialog;
    ActionHint* actionHint = nullptr;
    WrongRightAnswerAnimation* rightAnimation = nullptr;
    WrongRightAnswerAnimation* wrongAnimation = nullptr;
    // Since the last judgement was shown, and the wait for the section end dialog after it.
    QElapsedTimer feedbackClock;
    QTimer* sectionEndDelay = nullptr;

    // The last exercise state the screen handled (shared by every screen of the process): a
    // lesson end seen before brings the section end dialog back as it was, one seen only now
    // shows the final score.
    static int lastHandledExerciseState;

    QStateMachine* viewMachine = nullptr;
    // exercise, statistics, extended statistics, reference
    std::array<QState*, 4> viewStates{};
};

} // namespace UI

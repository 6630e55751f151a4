// The screen's keys: the space bar, the digits and R answer and act on the lesson, and the
// letters of the computer keyboard play the on-screen piano while it takes answers.
#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/exercise/exercise.h"
#include "core/exercise/question_data.h"
#include "core/midi/midi_event.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/exercise/action_hint.h"
#include "ui/exercise/question_view.h"

#include <QKeyEvent>

namespace UI {

bool ExerciseScreen::event(QEvent* event)
{
    // The space bar and the keys 1 to 6 are the screen's, whatever shortcut may want them; so
    // are the computer keyboard's piano keys while the piano takes answers.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool digit = key->key() >= Qt::Key_1 && key->key() <= Qt::Key_6;
        const bool inExercise = m_viewMode == ExerciseView;
        const bool piano = pianoAnswers() && (ComputerPiano::placeOf(*key) >= 0 ||
                                              key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown);
        if (key->key() == Qt::Key_Space || (digit && m_questionView->choicesShown() && inExercise) ||
            (key->key() == Qt::Key_R && inExercise && m_ui->hearAgainButton->isVisible()) || piano) {
            if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                event->accept();
                return true;
            }
        }
    }
    // Keys held while the window loses the keyboard never see their release.
    if (event->type() == QEvent::WindowDeactivate)
        releasePianoKeys();
    return QWidget::event(event);
}

void ExerciseScreen::keyPressEvent(QKeyEvent* event)
{
    // The play card takes Enter and Escape as its Play, as dialogs do.
    const bool cardKey =
        event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape;
    if (cardKey && m_playDialog && m_playDialog->isShown()) {
        event->accept();
        if (!event->isAutoRepeat())
            spaceAction();
        return;
    }
    // Where they clash, the piano's keys win over the digits and R.
    if (playPianoKey(event, true))
        return;
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Space) {
        event->accept();
        if (!event->isAutoRepeat())
            spaceAction();
        return;
    }
    if (event->key() >= Qt::Key_1 && event->key() <= Qt::Key_6) {
        event->accept();
        if (!event->isAutoRepeat() && m_viewMode == ExerciseView)
            m_questionView->clickChoice(event->key() - Qt::Key_1 + 1);
        return;
    }
    if (event->key() == Qt::Key_R && m_ui->hearAgainButton->isVisible()) {
        event->accept();
        if (!event->isAutoRepeat())
            m_ui->hearAgainButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ExerciseScreen::keyReleaseEvent(QKeyEvent* event)
{
    if (!playPianoKey(event, false))
        QWidget::keyReleaseEvent(event);
}

void ExerciseScreen::releasePianoKeys()
{
    m_pianoHeld.clear();
    m_ui->keyboard->releaseKeys();
}

bool ExerciseScreen::pianoAnswers() const
{
    // (Relative to the screen: a lesson opens while another screen is still in front.)
    return m_session && m_viewMode == ExerciseView && m_ui->keyboard->isVisibleTo(this) &&
           m_ui->keyboard->mode() == Keyboard::PlayMode;
}

bool ExerciseScreen::playPianoKey(QKeyEvent* event, bool down)
{
    const int place = ComputerPiano::placeOf(*event);
    if (!down && m_pianoHeld.contains(place)) {
        // Released wherever the window is now: the key that sounds is the one pressed.
        event->accept();
        if (!event->isAutoRepeat())
            m_ui->keyboard->releaseKey(m_pianoHeld.take(place));
        return true;
    }
    if (!pianoAnswers())
        return false;
    if ((event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) &&
        event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (down && m_computerPiano.shift(event->key() == Qt::Key_PageUp ? 1 : -1))
            showPianoLetters();
        return true;
    }
    if (place < 0)
        return false;
    event->accept();
    const int note = m_computerPiano.noteAt(place);
    if (down && !event->isAutoRepeat() && note >= 0 && !m_pianoHeld.contains(place)) {
        m_actionHint->dismiss();
        m_pianoHeld.insert(place, note - ComputerPiano::LowestNote);
        m_ui->keyboard->pressKey(note - ComputerPiano::LowestNote);
    }
    return true;
}

void ExerciseScreen::placePianoWindow()
{
    auto notesOf = [](const Core::QuestionData* item, std::vector<int>& notes) {
        if (!item || !item->stream)
            return;
        for (const MidiEvent& event : *item->stream)
            if (event.message.IsNoteOn())
                notes.push_back(event.message.byte1);
    };
    std::vector<int> around;
    std::vector<int> asked;
    for (const auto& candidate : m_lesson.question.candidates)
        notesOf(candidate.get(), around);
    notesOf(m_lesson.question.AskedItem(), asked);
    m_computerPiano.placeFor(around, asked);
}

void ExerciseScreen::showPianoLetters()
{
    QMap<int, QString> letters;
    if (pianoAnswers())
        for (int place = 0; place < ComputerPiano::KeyCount; ++place) {
            const int note = m_computerPiano.noteAt(place);
            if (note >= 0)
                letters.insert(note - ComputerPiano::LowestNote, ComputerPiano::letterOf(place));
        }
    m_ui->keyboard->setKeyLetters(letters);
    // R plays the piano then, so the button no longer offers it.
    const bool rIsHearAgain = letters.isEmpty();
    m_ui->hearAgainButton->setText(rIsHearAgain ? tr("Hear again (R)") : tr("Hear again"));
    m_ui->hearAgainButton->setToolTip(rIsHearAgain ? tr("Hear the question again (R)")
                                                   : tr("Hear the question again"));
    m_ui->hearAgainButton->setAccessibleDescription(rIsHearAgain ? tr("Plays the question again. Key: R")
                                                                 : tr("Plays the question again."));
}

void ExerciseScreen::introducePianoKeys()
{
    if (s_pianoKeysIntroduced || !pianoAnswers() || !isVisible())
        return;
    s_pianoKeysIntroduced = true;
    QString text = ActionHint::textOf(ActionHint::PianoKeysMode);
    if (m_questionView->choicesShown())
        text += tr("<br>Here 2, 3, 5 and 6 play black keys: choose an answer with the mouse or Tab.");
    if (m_ui->hearAgainButton->isVisible())
        text += tr("<br>Here R plays F: for Hear again use its button.");
    m_actionHint->setPianoKeysText(text);
    showActionHint();
}

} // namespace UI

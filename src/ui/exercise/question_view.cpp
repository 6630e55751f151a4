#include "ui/exercise/question_view.h"

#include "core/exercise/exercise.h"
#include "core/exercise/trainer_settings.h"
#include "core/settings_store.h"
#include "ui/answer_colours.h"
#include "ui/exercise/lesson_speech.h"
#include "ui/exercise/question_picture.h"
#include "ui/exercise/speaker_widget.h"
#include "ui/high_dpi_style_sheet.h"
#include "ui/widgets/fader_widget.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/score_board.h"

#include <QFontMetrics>
#include <QLabel>
#include <QToolButton>
#include <QVariant>

#include <algorithm>

namespace {

using Core::Exercise;
using Core::QuestionRecord;

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

const QString& RightMark()
{
    static const QString mark = QStringLiteral("\u2713");
    return mark;
}

const QString& WrongMark()
{
    static const QString mark = QStringLiteral("\u2717");
    return mark;
}

} // namespace

namespace UI {

void setStyleSheetIfChanged(QWidget* widget, const QString& styleSheet)
{
    // Answer colours and pictures in the palette in force.
    const QString sheet = highDpiStyleSheet(AnswerColours::styleSheet(styleSheet));
    if (widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
}

QuestionView::QuestionView(const Widgets& widgets, const Core::SettingsStore* settings, QObject* parent)
    : QObject(parent), m_widgets(widgets), m_settings(settings)
{
    for (int id = 1; id <= ChoiceCount; ++id) {
        setChoiceStyle(id, "MultichoiceDefaultStyle");
        connect(choiceButton(id), &QToolButton::clicked, this, [this, id] { Q_EMIT choiceClicked(id - 1); });
    }
}

bool QuestionView::isHeard(int kind)
{
    return kind == QuestionRecord::EarQuestion || kind == QuestionRecord::TempoQuestion;
}

QToolButton* QuestionView::choiceButton(int id) const
{
    return id >= 1 && id <= ChoiceCount ? m_widgets.choices[size_t(id - 1)] : nullptr;
}

void QuestionView::resetInputs()
{
    Keyboard* keyboard = m_widgets.keyboard;
    keyboard->setMode(Keyboard::PlayMode);
    keyboard->resetKeys();
    keyboard->update();
    for (int id = 1; id <= ChoiceCount; ++id)
        setChoiceStyle(id, "MultichoiceDefaultStyle");
}

void QuestionView::showQuestion(const QuestionRecord& question, int serial, int state, int answerInputMode,
                                bool keepRoom, bool keyboardAllowed)
{
    m_shownSerial = serial;
    setChoiceTexts(question);
    updateAnswerInputs(question, answerInputMode, keepRoom, keyboardAllowed);
    const Core::QuestionData* item = question.AskedItem();
    // The fade goes from what was shown (the last answer on the board) to the new question.
    m_widgets.fader->holdPicture();
    if (item && !item->gmn.isEmpty())
        m_widgets.scoreBoard->setScore(item->gmn);
    else
        m_widgets.scoreBoard->clearScore();
    m_shownKind = question.kind;
    m_widgets.taskLabel->setMinimumWidth(0);
    m_widgets.taskLabel->setText(taskText(question.kind));
    showOverlayFor(question, state);
    // The pane says what is asked without giving the answer away; a screen reader hears the
    // new name.
    const QString spoken = LessonSpeech::question(question);
    m_widgets.fader->setAccessibleName(spoken.isEmpty() ? tr("Question") : spoken);
}

void QuestionView::followState(const QuestionRecord& question, int serial, int state)
{
    if ((state == Exercise::Presenting || state == Exercise::AwaitingAnswer) && state != m_overlayState &&
        serial == m_shownSerial && isHeard(question.kind))
        showOverlayFor(question, state);
}

void QuestionView::setSinging(bool singing)
{
    if (singing == m_singing)
        return;
    m_singing = singing;
    if (m_shownKind < 0)
        return;
    // The switch beside the task stays where it was clicked: the task keeps its width until the
    // next question.
    QLabel* task = m_widgets.taskLabel;
    task->setMinimumWidth(std::max(task->minimumWidth(), task->width()));
    task->setText(taskText(m_shownKind));
}

QString QuestionView::taskText(int questionKind) const
{
    switch (questionKind) {
    case QuestionRecord::EarQuestion:
        if (m_singing)
            return m_choicesShown ? tr("Listen, then sing or choose what you heard")
                                  : tr("Listen, then sing what you heard");
        return tr("Listen, then play or choose what you heard");
    case QuestionRecord::TempoQuestion:
        return tr("Listen: which tempo is this?");
    case QuestionRecord::NoteReadingQuestion:
        return m_choicesShown && !m_widgets.keyboard->isVisible() ? tr("Name what you see")
                                                                  : tr("Play or name what you see");
    case QuestionRecord::ChordSymbolQuestion:
        return tr("Play this chord");
    case QuestionRecord::SymbolQuestion:
        return tr("What does this mean?");
    default:
        return QString();
    }
}

void QuestionView::showOverlayFor(const QuestionRecord& question, int state)
{
    m_overlayState = state;
    QWidget* overlay = nullptr;
    SpeakerWidget* speaker = m_widgets.speaker;
    QuestionPicture* picture = m_widgets.picture;
    QLabel* text = m_widgets.questionText;
    const Core::QuestionData* item = question.AskedItem();
    if (isHeard(question.kind)) {
        if (state == Exercise::Presenting) {
            speaker->start();
            overlay = speaker;
        } else {
            speaker->stop();
            picture->setPicture(QString::fromLatin1(QuestionPicture::DefaultPicture));
            overlay = picture;
        }
    } else if (question.kind == QuestionRecord::ChordSymbolQuestion && item) {
        text->setText(FirstLine(item->caption2));
        text->setAccessibleName(tr("Chord symbol %1").arg(FirstLine(item->caption2)));
        overlay = text;
    } else if (item && item->caption.startsWith(QLatin1Char(':')) && picture->setPicture(item->caption)) {
        overlay = picture;
    } else if (item && !item->gmn.isEmpty()) {
        overlay = m_widgets.scoreBoard;
    } else if (item) {
        text->setText(FirstLine(item->caption2));
        overlay = text;
    }
    if (overlay != speaker)
        speaker->stop();
    m_widgets.fader->fadeIn(overlay);
}

void QuestionView::updateAnswerInputs(const QuestionRecord& question, int mode, bool keepRoom,
                                      bool keyboardAllowed)
{
    // `mode` is the input mode the trainer gave the current question.
    const bool choices = (question.answerModes & QuestionRecord::ChoiceMode) && !question.candidates.empty();
    const bool keys = (question.answerModes & QuestionRecord::NotesMode) != 0;
    const bool showButtons = choices && (mode == 1 || (mode == 2 && settingsShowChoices()) || !keys);
    const bool showKeyboard = keys && mode != 1 && (settingsShowKeyboard() || !showButtons);

    keepInputRoom(keepRoom);

    m_choicesShown = showButtons;
    m_widgets.choiceBar->setVisible(showButtons);
    m_widgets.keyboard->setVisible(showKeyboard && keyboardAllowed);
}

void QuestionView::keepInputRoom(bool keep)
{
    // Within a lesson the question stays where it is when an input comes and goes; the
    // reference and the tempo page, which have no keyboard, take its room instead.
    const bool symbols = m_exerciseId == size_t(Core::SymbolTrainerIndex);
    QSizePolicy bar = m_widgets.choiceBar->sizePolicy();
    bar.setRetainSizeWhenHidden(keep && (settingsShowChoices() || symbols));
    m_widgets.choiceBar->setSizePolicy(bar);
    QSizePolicy piano = m_widgets.keyboard->sizePolicy();
    piano.setRetainSizeWhenHidden(keep && !symbols);
    m_widgets.keyboard->setSizePolicy(piano);
}

bool QuestionView::settingsShowKeyboard() const
{
    return !m_settings || m_settings->generalSettings().answerWithGraphicalKeyboard;
}

bool QuestionView::settingsShowChoices() const
{
    return m_settings && m_settings->generalSettings().answerWithMultipleChoice;
}

void QuestionView::clearChoices()
{
    for (int id = 1; id <= ChoiceCount; ++id) {
        m_labels[size_t(id - 1)] = QStringLiteral("--");
        m_marks[size_t(id - 1)] = QString();
        setChoiceText(id);
        setChoiceStyle(id, "MultichoiceDefaultStyle");
    }
}

void QuestionView::setChoiceTexts(const QuestionRecord& question)
{
    for (int id = 1; id <= ChoiceCount; ++id) {
        const size_t i = size_t(id - 1);
        m_labels[i] = i < question.candidates.size() && question.candidates[i] ? question.candidates[i]->caption2
                                                                               : QStringLiteral("--");
        m_marks[i] = QString();
        setChoiceText(id);
    }
}

void QuestionView::markChoice(int id, bool right)
{
    if (id < 1 || id > ChoiceCount)
        return;
    setChoiceStyle(id, right ? "MultichoiceCorrectStyle" : "MultichoiceIncorrectStyle");
    m_marks[size_t(id - 1)] = right ? RightMark() : WrongMark();
    setChoiceText(id);
}

void QuestionView::relayChoiceTexts()
{
    for (int id = 1; id <= ChoiceCount; ++id)
        setChoiceText(id);
}

void QuestionView::setChoiceText(int id)
{
    QToolButton* button = choiceButton(id);
    if (!button)
        return;
    const size_t i = size_t(id - 1);
    const QString& label = m_labels[i];
    const QString& mark = m_marks[i];
    // The button's number (its key) and, after the judgement, its mark lead the first line.
    QString lead = QString::number(id) + QStringLiteral("  ");
    if (!mark.isEmpty())
        lead = mark + QLatin1Char(' ') + lead;
    QFont font = button->font();
    font.setPixelSize(14);
    const QFontMetrics metrics(font);
    const int room = std::max(60, button->width() - 28 - metrics.horizontalAdvance(lead));
    button->setText(lead + Wrapped(label, metrics, room));

    // Whole sentences, so that a translation may order them as its language does.
    const QString answer = QString(label).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString name = mark == RightMark()   ? tr("Answer %1: %2, right answer").arg(id).arg(answer)
                         : mark == WrongMark() ? tr("Answer %1: %2, your answer, wrong").arg(id).arg(answer)
                                               : tr("Answer %1: %2").arg(id).arg(answer);
    if (button->accessibleName() != name)
        button->setAccessibleName(name);
}

void QuestionView::setChoiceStyle(int id, const char* property)
{
    if (QToolButton* button = choiceButton(id))
        setStyleSheetIfChanged(button, m_widgets.choiceBar->property(property).toString());
}

void QuestionView::clickChoice(int id)
{
    QToolButton* button = choiceButton(id);
    // The same path as a click: only a button that is shown and enabled answers.
    if (button && m_choicesShown && button->isVisible() && button->isEnabled())
        button->click();
}

void QuestionView::setChoicesEnabled(bool enabled)
{
    for (QToolButton* button : m_widgets.choices)
        if (button)
            button->setEnabled(enabled);
}

} // namespace UI

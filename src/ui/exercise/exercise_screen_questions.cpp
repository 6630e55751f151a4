#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/exercise/exercise.h"
#include "core/exercise/trainer_settings.h"
#include "ui/exercise/action_hint.h"
#include "ui/high_dpi_style_sheet.h"
#include "core/settings_store.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QTimer>

#include <algorithm>

// The exercise screen's questions: asking the next one, showing it (score, picture, speaker,
// chord symbol, the task's words) and the answer inputs and their looks that go with it.

namespace {

using Core::Exercise;
using Core::LessonBase;
using Core::QuestionRecord;

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

// ---- questions -------------------------------------------------------------------------------

void ExerciseScreen::onAboutToAskNext()
{
    // The last judgement goes out of view with the question it judged.
    askingNext = true;
    if (actionHint->GetMode() == ActionHint::NextQuestionMode)
        actionHint->Dismiss();
    actionHint->SetMode(ActionHint::PauseMode);
    ApplyScorePaneStyle("RegularBorderStyle");
    answerMark = RegularMark;
    timedOut = false;
}

void ExerciseScreen::onQuestionAsked(const Core::Question& question)
{
    askingNext = false;
    m_lesson = question.lesson;
    m_position = question.lesson.position;
    // A question asked behind another view is shown when the exercise comes back into view.
    if (viewMode != ExerciseView) {
        questionPending = true;
        return;
    }
    ShowQuestion();
}

void ExerciseScreen::ShowQuestion()
{
    questionPending = false;
    if (!m_session)
        return;
    UpdateSlider(false);
    m_ui->keyboard->SetMode(Keyboard::PlayMode);
    m_ui->keyboard->ResetKeys();
    m_ui->keyboard->update();
    for (int id = 1; id <= VariantCount; ++id)
        ApplyVariantStyle(id, "MultichoiceDefaultStyle");
    const int state = m_lesson.state;
    if (!m_lesson.isAsking()) {
        variantsShown = false;
        return;
    }
    const QuestionRecord& question = m_lesson.question;
    shownQuestionSerial = m_lesson.counters.asked;
    SetVariantTexts(question);
    UpdateAnswerInputs(question);
    const Core::QuestionData* item = question.AskedItem();
    // The fade goes from what was shown (the last answer on the board) to the new question.
    m_ui->questionFader->HoldPicture();
    if (item && !item->gmn.isEmpty())
        m_ui->scoreBoard->SetScore(item->gmn);
    else
        m_ui->scoreBoard->ClearScore();
    m_ui->scorePaneLabel->setText(TaskText(question));
    ShowOverlayFor(question, state);
    showExerciseStatistics();
    UpdateUI();
}

QString ExerciseScreen::TaskText(const QuestionRecord& question) const
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

void ExerciseScreen::ShowOverlayFor(const QuestionRecord& question, int state)
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

void ExerciseScreen::UpdateAnswerInputs(const QuestionRecord& question)
{
    if (!m_session)
        return;
    // The input mode the trainer gave the current question.
    const int mode = m_lesson.answerInputMode;
    const bool choices = (question.answerModes & QuestionRecord::ChoiceMode) && !question.candidates.empty();
    const bool keys = (question.answerModes & QuestionRecord::NotesMode) != 0;
    const bool showButtons = choices && (mode == 1 || (mode == 2 && SettingsShowChoices()) || !keys);
    const bool showKeyboard = keys && mode != 1 && (SettingsShowKeyboard() || !showButtons);

    KeepInputRoom(viewMode == ExerciseView || (viewMode == StatisticsView && !extendedStatistics));

    variantsShown = showButtons;
    m_ui->variantBar->setVisible(showButtons);
    m_ui->keyboard->setVisible(showKeyboard && viewMode != ReferenceView);
}

void ExerciseScreen::KeepInputRoom(bool keep)
{
    // Within a lesson the question stays where it is when an input comes and goes; the
    // reference and the tempo page, which have no keyboard, take its room instead.
    const bool symbols = exerciseId == size_t(Core::SymbolTrainerIndex);
    QSizePolicy bar = m_ui->variantBar->sizePolicy();
    bar.setRetainSizeWhenHidden(keep && (SettingsShowChoices() || symbols));
    m_ui->variantBar->setSizePolicy(bar);
    QSizePolicy piano = m_ui->keyboard->sizePolicy();
    piano.setRetainSizeWhenHidden(keep && !symbols);
    m_ui->keyboard->setSizePolicy(piano);
}

bool ExerciseScreen::SettingsShowKeyboard() const
{
    return !settings || settings->GetGeneralSettings().answerWithGraphicalKeyboard;
}

bool ExerciseScreen::SettingsShowChoices() const
{
    return settings && settings->GetGeneralSettings().answerWithMultipleChoice;
}

void ExerciseScreen::SetVariantTexts(const QuestionRecord& question)
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

QToolButton* ExerciseScreen::VariantButton(int id) const
{
    return findChild<QToolButton*>(QStringLiteral("variant%1").arg(id));
}

void ExerciseScreen::SetVariantText(int id)
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

QString ExerciseScreen::RightMarkText()
{
    return QStringLiteral("\u2713");
}

QString ExerciseScreen::WrongMarkText()
{
    return QStringLiteral("\u2717");
}

// Setting a style sheet polishes the widget and all its children again, even when the text is
// the same; on every question and every answer that is worth skipping.
static void SetStyleSheetIfChanged(QWidget* widget, const QString& styleSheet)
{
    const QString sheet = HighDpiStyleSheet(styleSheet);
    if (widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
}

void ExerciseScreen::ApplyVariantStyle(int id, const char* property)
{
    if (QToolButton* button = VariantButton(id))
        SetStyleSheetIfChanged(button, m_ui->variantBar->property(property).toString());
}

void ExerciseScreen::ApplyScorePaneStyle(const char* property)
{
    SetStyleSheetIfChanged(m_ui->scorePane, m_ui->scorePane->property(property).toString());
    m_ui->scoreFrame->update();
}

void ExerciseScreen::SetStatus(const QString& text, const char* styleProperty)
{
    QLabel* label = m_ui->statusLabel;
    SetStyleSheetIfChanged(label, label->property(styleProperty).toString());
    label->setText(text);
    // Screen readers hear the judgement as the label's new name.
    label->setAccessibleName(text.isEmpty() ? tr("Answer status") : text);
    QAccessibleEvent changed(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

} // namespace UI

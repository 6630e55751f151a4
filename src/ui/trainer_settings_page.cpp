#include "ui/trainer_settings_page.h"

#include "ui/settings_store.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

namespace UI {
namespace {

const char* const objectNames[] = {"note_trainer_settings", "ear_trainer_settings",
                                   "symbol_trainer_settings"};
const char* const titles[] = {QT_TRANSLATE_NOOP("UI::TrainerSettingsPage", "Note Trainer settings"),
                              QT_TRANSLATE_NOOP("UI::TrainerSettingsPage", "Ear Trainer settings"),
                              QT_TRANSLATE_NOOP("UI::TrainerSettingsPage", "Music Symbols settings")};

} // namespace

TrainerSettingsPage::TrainerSettingsPage(int trainerIndex, Core::SettingsStore* store, QWidget* parent)
    : QWidget(parent), trainer(qBound(0, trainerIndex, 2)), settings(store)
{
    // The screen stack and the section end dialog tell the pages by these names.
    setObjectName(QString::fromLatin1(objectNames[trainer]));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral(
            "#%1 { background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 rgb(31, 47, 74), stop: 1 "
            "rgb(18, 24, 38)); }"
            "QLabel { color: white; font: 15px \"Tahoma\"; }"
            "QLabel#title { font: bold 26px \"Tahoma\"; }"
            "QLabel#quizNotice { color: rgb(255, 193, 94); font: bold 16px \"Tahoma\"; }"
            "QCheckBox { font: 600 15px \"Tahoma\"; }"
            "QCheckBox:disabled { color: rgb(150, 156, 168); }"
            "QFrame#card { background: rgba(255, 255, 255, 16); border: 1px solid rgba(255, 255, 255, 40);"
            " border-radius: 12px; }")
            .arg(objectName()));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(48, 36, 48, 36);
    outer->setSpacing(18);
    auto* title = new QLabel(tr(titles[trainer]), this);
    title->setObjectName(QStringLiteral("title"));
    outer->addWidget(title);
    quizNotice = new QLabel(tr("Settings cannot be changed in a quiz mode."), this);
    quizNotice->setObjectName(QStringLiteral("quizNotice"));
    quizNotice->hide();
    outer->addWidget(quizNotice);

    auto* card = new QFrame(this);
    card->setObjectName(QStringLiteral("card"));
    auto* inner = new QVBoxLayout(card);
    inner->setContentsMargins(24, 20, 24, 20);
    inner->setSpacing(14);
    auto* answerCaption = new QLabel(tr("Answer with"), card);
    inner->addWidget(answerCaption);
    onScreenKeyboard = new QCheckBox(tr("The on-screen piano"), card);
    multipleChoice = new QCheckBox(tr("Multiple-choice buttons (keys 1 to 6)"), card);
    noteLetters = new QCheckBox(tr("Show the note letters on the keys and notes"), card);
    difficultyDialog = new QCheckBox(tr("Ask for the difficulty level before a lesson"), card);
    for (QCheckBox* box : {onScreenKeyboard, multipleChoice})
        inner->addWidget(box);
    inner->addSpacing(8);
    for (QCheckBox* box : {noteLetters, difficultyDialog})
        inner->addWidget(box);
    outer->addWidget(card, 0, Qt::AlignLeft);
    hint =
        new QLabel(tr("A MIDI keyboard always answers when one is connected. Choose \"Exercise\" above to go "
                      "back to the lesson; the changes apply at once."),
                   this);
    hint->setWordWrap(true);
    outer->addWidget(hint);
    outer->addStretch(1);
    Data2Gui();
}

void TrainerSettingsPage::SetQuizMode(bool quiz)
{
    quizMode = quiz;
    quizNotice->setVisible(quiz);
    hint->setVisible(!quiz);
    for (QCheckBox* box : {onScreenKeyboard, multipleChoice, noteLetters, difficultyDialog})
        box->setEnabled(!quiz);
}

void TrainerSettingsPage::OpenTab(int) {}

void TrainerSettingsPage::Data2Gui()
{
    if (!settings)
        return;
    const Core::GeneralSettings& general = settings->GetGeneralSettings();
    onScreenKeyboard->setChecked(general.answerWithGraphicalKeyboard);
    multipleChoice->setChecked(general.answerWithMultipleChoice);
    noteLetters->setChecked(general.showNoteLetters);
    difficultyDialog->setChecked(general.showDifficultyDialog);
}

bool TrainerSettingsPage::Gui2Data()
{
    if (!settings || quizMode)
        return false;
    Core::GeneralSettings general = settings->GetGeneralSettings();
    general.answerWithGraphicalKeyboard = onScreenKeyboard->isChecked();
    general.answerWithMultipleChoice = multipleChoice->isChecked();
    general.showNoteLetters = noteLetters->isChecked();
    general.showDifficultyDialog = difficultyDialog->isChecked();
    if (general == settings->GetGeneralSettings())
        return false;
    settings->SetGeneralSettings(general);
    return true;
}

void TrainerSettingsPage::showEvent(QShowEvent* event)
{
    Data2Gui();
    QWidget::showEvent(event);
}

} // namespace UI

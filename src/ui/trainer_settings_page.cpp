#include "ui/trainer_settings_page.h"

#include "ui/general_settings_tab.h"
#include "ui/settings_store.h"

#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace UI {
namespace {

const char* const objectNames[] = {"note_trainer_settings", "ear_trainer_settings",
                                   "symbol_trainer_settings"};
const char* const titles[] = {QT_TRANSLATE_NOOP("UI::TrainerSettingsPage", "Note Trainer settings"),
                              QT_TRANSLATE_NOOP("UI::TrainerSettingsPage", "Ear Trainer settings"),
                              QT_TRANSLATE_NOOP("UI::TrainerSettingsPage", "Music Symbols settings")};

} // namespace

TrainerSettingsPage::TrainerSettingsPage(int trainerIndex, Core::SettingsStore* store,
                                         std::shared_ptr<Core::SoundController> soundController,
                                         std::function<void(const Core::GeneralSettings&)> setGeneralSettings,
                                         QWidget* parent)
    : QWidget(parent), trainer(qBound(0, trainerIndex, 2)), settings(store)
{
    // The screen stack and the section end dialog tell the pages by these names.
    setObjectName(QString::fromLatin1(objectNames[trainer]));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral("#%1 { background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 rgb(31, 47, "
                       "74), stop: 1 rgb(18, 24, 38)); }"
                       "QLabel#title { color: white; font: bold 26px \"Tahoma\"; }"
                       "QLabel#quizNotice { color: rgb(255, 193, 94); font: bold 16px \"Tahoma\"; }"
                       "QTabWidget::pane { border: none; }"
                       "QTabBar::tab { color: rgb(201, 205, 214); background: transparent; font: bold 14px "
                       "\"Tahoma\"; padding: 8px 18px; border-bottom: 2px solid transparent; }"
                       "QTabBar::tab:selected { color: white; border-bottom-color: rgb(245, 154, 35); }"
                       "QTabBar::tab:focus { color: rgb(255, 193, 94); }")
            .arg(objectName()));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(40, 24, 40, 24);
    outer->setSpacing(12);
    auto* title = new QLabel(tr(titles[trainer]), this);
    title->setObjectName(QStringLiteral("title"));
    outer->addWidget(title);
    quizNotice = new QLabel(tr("Settings cannot be changed in a quiz mode."), this);
    quizNotice->setObjectName(QStringLiteral("quizNotice"));
    quizNotice->hide();
    outer->addWidget(quizNotice);

    tabs = new QTabWidget(this);
    tabs->setAccessibleName(tr("Settings of the trainer"));
    // The tab bar takes the keyboard focus itself; the frame around the tabs is no control.
    tabs->setFocusPolicy(Qt::NoFocus);
    generalTab = new GeneralSettingsTab(
        trainer, settings, std::move(soundController), [this] { return quizMode; },
        std::move(setGeneralSettings), tabs);
    tabs->addTab(generalTab, tr("General"));
    connect(generalTab, &GeneralSettingsTab::refreshGui, this, [this] { levelChanged = true; });
    outer->addWidget(tabs, 1);
}

void TrainerSettingsPage::SetQuizMode(bool quiz)
{
    quizMode = quiz;
    quizNotice->setVisible(quiz);
    tabs->setEnabled(!quiz);
    Data2Gui();
}

void TrainerSettingsPage::OpenTab(int)
{
    tabs->setCurrentWidget(generalTab);
}

void TrainerSettingsPage::Data2Gui()
{
    if (settings)
        generalTab->Data2Gui(settings->CurrentSettings().noteTrainer.wrongAnswerPolicy);
}

bool TrainerSettingsPage::Gui2Data()
{
    if (!settings || quizMode)
        return false;
    const Core::GeneralSettings generalBefore = settings->GetGeneralSettings();
    // The policy after a mistake is kept with the note trainer's settings and holds for all three.
    Core::TrainerSettings block = settings->CurrentSettings();
    Core::WrongAnswerPolicy policy = block.noteTrainer.wrongAnswerPolicy;
    generalTab->Gui2Data(policy);
    const bool policyChanged = !(policy == block.noteTrainer.wrongAnswerPolicy);
    const bool changed = policyChanged || levelChanged || !(settings->GetGeneralSettings() == generalBefore);
    if (policyChanged || levelChanged) {
        // A level button has put a preset into the block in force; storing the block keeps it.
        block.noteTrainer.wrongAnswerPolicy = policy;
        settings->SetTrainerSettings(block);
    }
    levelChanged = false;
    return changed;
}

void TrainerSettingsPage::updateDevices()
{
    generalTab->updateDevices();
}

void TrainerSettingsPage::showEvent(QShowEvent* event)
{
    Data2Gui();
    QWidget::showEvent(event);
}

} // namespace UI

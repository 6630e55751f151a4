#include "ui/settings/trainer_settings_page.h"

#include "core/exercise/settings_check.h"
#include "ui/settings/general_settings_tab.h"
#include "ui/settings/section_settings_tab.h"
#include "core/settings_store.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace UI {
namespace {

const char* const objectNames[] = {"note_trainer_settings", "ear_trainer_settings",
                                   "symbol_trainer_settings"};
const char* const titles[] = {QT_TRANSLATE_NOOP("UI::TrainerSettingsPage", "Note Trainer settings"),
                              QT_TRANSLATE_NOOP("UI::TrainerSettingsPage", "Ear Trainer settings"),
                              QT_TRANSLATE_NOOP("UI::TrainerSettingsPage", "Music Symbols settings")};

// Why a block cannot make a lesson, in the words of the section the student was changing.
QString RefusalText(const Core::SettingsCheck& check, const Core::TrainerSettings& block, int trainer)
{
    if (check.outcome == Core::SettingsCheck::NoQuestions)
        return TrainerSettingsPage::tr(
            "Not changed: every section would be off. At least one section of the lesson needs questions.");
    const auto& intervals =
        trainer == Core::EarTrainerIndex ? block.earTrainer.intervals : block.noteTrainer.intervals;
    switch (Core::KindOfSection(trainer, check.section)) {
    case Core::SectionKind::Notes:
        return TrainerSettingsPage::tr("Not changed: no key of this range has the colour asked for. Widen "
                                       "the range or allow the other keys.");
    case Core::SectionKind::Intervals:
        if (intervals.intervalStart > intervals.intervalEnd)
            return TrainerSettingsPage::tr(
                "Not changed: the smallest interval would be larger than the largest one.");
        return TrainerSettingsPage::tr(
            "Not changed: no interval of these sizes fits this range of keys. Widen the range or the sizes.");
    case Core::SectionKind::Chords:
        return TrainerSettingsPage::tr(
            "Not changed: no chord of these types and inversions has its root in this range of keys.");
    case Core::SectionKind::Scales:
        return TrainerSettingsPage::tr("Not changed: no scale of these kinds starts in this range of keys.");
    case Core::SectionKind::Tempo:
        return TrainerSettingsPage::tr(
            "Not changed: no piece is played in Prestissimo, so at least one other tempo stays on.");
    case Core::SectionKind::Lengths:
        return TrainerSettingsPage::tr(
            "Not changed: rests need a note length to go with; keep one length on.");
    default:
        return TrainerSettingsPage::tr("Not changed: this section would have nothing to ask.");
    }
}

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
                       "QLabel#quizNotice { color: rgb(255, 193, 94); font: bold 20px \"Tahoma\"; "
                       "background: rgba(18, 24, 38, 200); border-radius: 12px; }"
                       "QTabWidget::pane { border: none; }"
                       "QTabBar::tab { color: rgb(201, 205, 214); background: transparent; font: bold 14px "
                       "\"Tahoma\"; padding: 8px 18px; border-bottom: 2px solid transparent; }"
                       "QTabBar::tab:selected { color: white; border-bottom-color: rgb(245, 154, 35); }"
                       "QTabBar::tab:focus { color: rgb(255, 193, 94); }")
            .arg(objectName()));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(40, 16, 40, 12);
    outer->setSpacing(8);
    auto* title = new QLabel(tr(titles[trainer]), this);
    title->setObjectName(QStringLiteral("title"));
    outer->addWidget(title);

    tabs = new QTabWidget(this);
    tabs->setAccessibleName(tr("Settings of the trainer"));
    // The frame around the tabs is no control; its tab bar is, and Tab reaches it.
    tabs->setFocusPolicy(Qt::NoFocus);
    tabs->tabBar()->setFocusPolicy(Qt::TabFocus);
    tabs->setUsesScrollButtons(true);
    generalTab = new GeneralSettingsTab(
        trainer, settings, std::move(soundController), [this] { return quizMode; },
        std::move(setGeneralSettings), tabs);
    tabs->addTab(generalTab, tr("General"));
    connect(generalTab, &GeneralSettingsTab::refreshGui, this, [this] {
        // A level button has put a preset into the block in force; it is kept like any change.
        levelChanged = true;
        if (settings && !quizMode)
            settings->SetTrainerSettings(settings->CurrentSettings());
        // The note trainer's levels bring their own policy after a mistake.
        if (settings)
            generalTab->ShowPolicy(settings->CurrentSettings().noteTrainer.wrongAnswerPolicy);
        for (SectionSettingsTab* tab : sectionTabs) {
            tab->ShowRefusal(QString());
            if (settings)
                tab->Data2Gui(settings->CurrentSettings());
        }
    });
    outer->addWidget(tabs, 1);

    // Over the tabs, so that nothing under it can be reached during a quiz.
    quizNotice = new QLabel(tr("Settings cannot be changed in a quiz mode."), this);
    quizNotice->setObjectName(QStringLiteral("quizNotice"));
    quizNotice->setAlignment(Qt::AlignCenter);
    quizNotice->setWordWrap(true);
    quizNotice->hide();
}

void TrainerSettingsPage::BuildSectionTabs()
{
    // Built when the page is first opened rather than with the main window: start-up does not
    // wait for pages most runs never show.
    if (!sectionTabs.empty())
        return;
    for (int section = 0; section < Core::TrainerSectionCount(trainer); ++section) {
        auto* tab = new SectionSettingsTab(trainer, section, tabs);
        tabs->addTab(tab, tab->Title());
        connect(tab, &SectionSettingsTab::edited, this, &TrainerSettingsPage::onSectionEdited);
        sectionTabs.push_back(tab);
    }
}

SectionSettingsTab* TrainerSettingsPage::SectionTab(int section)
{
    BuildSectionTabs();
    return section >= 0 && size_t(section) < sectionTabs.size() ? sectionTabs[size_t(section)] : nullptr;
}

void TrainerSettingsPage::SetQuizMode(bool quiz)
{
    quizMode = quiz;
    quizNotice->setVisible(quiz);
    quizNotice->raise();
    tabs->setEnabled(!quiz);
    Data2Gui();
}

void TrainerSettingsPage::OpenTab(int section)
{
    SectionSettingsTab* tab = SectionTab(section);
    tabs->setCurrentWidget(tab ? static_cast<QWidget*>(tab) : generalTab);
}

void TrainerSettingsPage::Data2Gui()
{
    if (!settings)
        return;
    BuildSectionTabs();
    const Core::TrainerSettings& block = settings->CurrentSettings();
    generalTab->Data2Gui(block.noteTrainer.wrongAnswerPolicy);
    for (SectionSettingsTab* tab : sectionTabs) {
        tab->Data2Gui(block);
        // Settings from an old or hand-edited file may leave a section with nothing to ask; the
        // tab says so until a change mends it.
        const bool empty = Core::SectionQuestions(block, trainer, tab->Section()) > 0 &&
                           Core::AskableCount(block, trainer, tab->Section()) == 0;
        tab->ShowRefusal(empty ? tr("These settings leave nothing to ask in this section. Widen the range of "
                                    "keys or switch more on.")
                               : QString());
    }
}

void TrainerSettingsPage::onSectionEdited()
{
    auto* tab = qobject_cast<SectionSettingsTab*>(sender());
    if (!tab || !settings || quizMode)
        return;
    const Core::TrainerSettings& kept = settings->CurrentSettings();
    Core::TrainerSettings changed = kept;
    tab->Gui2Data(changed);
    // A check box a group has just checked again changes nothing, and its message stays.
    if (changed == kept)
        return;
    // Only what this tab changed is judged: a section that a stored file left empty elsewhere
    // must not stop the student from mending this one.
    Core::SettingsCheck check = Core::CheckTrainerSettings(changed, trainer);
    if (check.outcome == Core::SettingsCheck::EmptySection && check.section != tab->Section()) {
        const int section = tab->Section();
        const bool empty = Core::SectionQuestions(changed, trainer, section) > 0 &&
                           Core::AskableCount(changed, trainer, section) == 0;
        check.outcome = empty ? Core::SettingsCheck::EmptySection : Core::SettingsCheck::Askable;
        check.section = section;
    }
    if (!check.IsAskable()) {
        tab->Data2Gui(kept);
        tab->ShowRefusal(RefusalText(check, changed, trainer));
        return;
    }
    tab->ShowRefusal(QString());
    settings->SetTrainerSettings(changed);
    sectionsChanged = true;
    generalTab->RefreshLevel();
}

bool TrainerSettingsPage::Gui2Data()
{
    if (!settings || quizMode)
        return false;
    // A number typed but not yet entered counts as the student left it.
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(QApplication::focusWidget()))
        if (isAncestorOf(spin))
            spin->interpretText();
    const Core::GeneralSettings generalBefore = settings->GetGeneralSettings();
    // The policy after a mistake is kept with the note trainer's settings and holds for all three.
    Core::TrainerSettings block = settings->CurrentSettings();
    Core::WrongAnswerPolicy policy = block.noteTrainer.wrongAnswerPolicy;
    generalTab->Gui2Data(policy);
    const bool policyChanged = !(policy == block.noteTrainer.wrongAnswerPolicy);
    const bool changed = policyChanged || levelChanged || sectionsChanged ||
                         !(settings->GetGeneralSettings() == generalBefore);
    if (policyChanged) {
        block.noteTrainer.wrongAnswerPolicy = policy;
        settings->SetTrainerSettings(block);
    }
    levelChanged = false;
    sectionsChanged = false;
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

void TrainerSettingsPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The notice covers the tabs, bar and all.
    quizNotice->setGeometry(tabs->geometry());
}

} // namespace UI

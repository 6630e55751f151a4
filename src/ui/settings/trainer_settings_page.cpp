#include "ui/settings/trainer_settings_page.h"

#include "core/exercise/settings_check.h"
#include "core/settings_store.h"
#include "ui/settings/general_settings_tab.h"
#include "ui/settings/section_settings_tab.h"

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

} // namespace

TrainerSettingsPage::TrainerSettingsPage(int trainerIndex, Core::SettingsStore* store,
                                         std::shared_ptr<Core::SoundController> soundController,
                                         std::function<void(const Core::GeneralSettings&)> setGeneralSettings,
                                         QWidget* parent)
    : SettingsPageBase(parent), m_trainer(qBound(0, trainerIndex, 2)), m_settings(store)
{
    // The screen stack and the section end dialog tell the pages by these names.
    setObjectName(QString::fromLatin1(objectNames[m_trainer]));
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
    auto* title = new QLabel(tr(titles[m_trainer]), this);
    title->setObjectName(QStringLiteral("title"));
    outer->addWidget(title);

    m_tabWidget = new QTabWidget(this);
    m_tabWidget->setAccessibleName(tr("Settings of the trainer"));
    // The frame around the tabs is no control; its tab bar is, and Tab reaches it.
    m_tabWidget->setFocusPolicy(Qt::NoFocus);
    m_tabWidget->tabBar()->setFocusPolicy(Qt::TabFocus);
    m_tabWidget->setUsesScrollButtons(true);
    m_generalTab = new GeneralSettingsTab(
        m_trainer, m_settings, std::move(soundController), [this] { return m_quizMode; },
        std::move(setGeneralSettings), m_tabWidget);
    m_tabWidget->addTab(m_generalTab, tr("General"));
    connect(m_generalTab, &SettingsPageBase::changed, this, [this] {
        m_modified = true;
        Q_EMIT changed();
    });
    // A level button has put a preset into force; the section tabs show it.
    connect(m_generalTab, &GeneralSettingsTab::levelChosen, this, [this] {
        for (SectionSettingsTab* tab : m_sectionTabs)
            tab->loadSettings();
    });
    outer->addWidget(m_tabWidget, 1);

    // Over the tabs, so that nothing under it can be reached during a quiz.
    m_quizNotice = new QLabel(tr("Settings cannot be changed in a quiz mode."), this);
    m_quizNotice->setObjectName(QStringLiteral("quizNotice"));
    m_quizNotice->setAlignment(Qt::AlignCenter);
    m_quizNotice->setWordWrap(true);
    m_quizNotice->hide();
}

void TrainerSettingsPage::buildSectionTabs()
{
    // Built when the page is first opened rather than with the main window: start-up does not
    // wait for pages most runs never show.
    if (!m_sectionTabs.empty())
        return;
    for (int section = 0; section < Core::TrainerSectionCount(m_trainer); ++section) {
        auto* tab = new SectionSettingsTab(
            m_trainer, section, m_settings, [this] { return m_quizMode; }, m_tabWidget);
        m_tabWidget->addTab(tab, tab->title());
        // A kept change may make the question settings one of the levels, or none.
        connect(tab, &SettingsPageBase::changed, this, [this] {
            m_modified = true;
            m_generalTab->refreshLevel();
            Q_EMIT changed();
        });
        connect(tab, &SettingsPageBase::validChanged, this, [this] {
            const bool valid = isValid();
            if (valid == m_valid)
                return;
            m_valid = valid;
            Q_EMIT validChanged(valid);
        });
        m_sectionTabs.push_back(tab);
    }
}

std::vector<SettingsPageBase*> TrainerSettingsPage::tabs() const
{
    std::vector<SettingsPageBase*> all{m_generalTab};
    all.insert(all.end(), m_sectionTabs.begin(), m_sectionTabs.end());
    return all;
}

SectionSettingsTab* TrainerSettingsPage::sectionTab(int section)
{
    buildSectionTabs();
    return section >= 0 && size_t(section) < m_sectionTabs.size() ? m_sectionTabs[size_t(section)] : nullptr;
}

void TrainerSettingsPage::setQuizMode(bool quiz)
{
    m_quizMode = quiz;
    m_quizNotice->setVisible(quiz);
    m_quizNotice->raise();
    m_tabWidget->setEnabled(!quiz);
    loadSettings();
}

void TrainerSettingsPage::openTab(int section)
{
    SectionSettingsTab* tab = sectionTab(section);
    m_tabWidget->setCurrentWidget(tab ? static_cast<QWidget*>(tab) : m_generalTab);
}

void TrainerSettingsPage::loadSettings()
{
    if (!m_settings)
        return;
    buildSectionTabs();
    for (SettingsPageBase* tab : tabs())
        tab->loadSettings();
    m_modified = false;
}

void TrainerSettingsPage::applySettings()
{
    if (!m_settings || m_quizMode)
        return;
    // A number typed but not yet entered counts as the student left it.
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(QApplication::focusWidget()))
        if (isAncestorOf(spin))
            spin->interpretText();
    const Core::GeneralSettings generalBefore = m_settings->generalSettings();
    const Core::WrongAnswerPolicy policyBefore = m_settings->currentSettings().noteTrainer.wrongAnswerPolicy;
    for (SettingsPageBase* tab : tabs())
        tab->applySettings();
    if (!(m_settings->generalSettings() == generalBefore) ||
        !(m_settings->currentSettings().noteTrainer.wrongAnswerPolicy == policyBefore))
        m_modified = true;
}

void TrainerSettingsPage::restoreDefaults()
{
    if (!m_settings || m_quizMode)
        return;
    buildSectionTabs();
    for (SettingsPageBase* tab : tabs())
        tab->restoreDefaults();
}

bool TrainerSettingsPage::isValid() const
{
    for (SettingsPageBase* tab : tabs())
        if (!tab->isValid())
            return false;
    return true;
}

void TrainerSettingsPage::updateDevices()
{
    m_generalTab->updateDevices();
}

void TrainerSettingsPage::showEvent(QShowEvent* event)
{
    loadSettings();
    SettingsPageBase::showEvent(event);
}

void TrainerSettingsPage::resizeEvent(QResizeEvent* event)
{
    SettingsPageBase::resizeEvent(event);
    // The notice covers the tabs, bar and all.
    m_quizNotice->setGeometry(m_tabWidget->geometry());
}

} // namespace UI

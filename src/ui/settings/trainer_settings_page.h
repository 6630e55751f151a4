#pragma once
// The settings page of one trainer, shown from the tool bar's "Settings" tab while a lesson is
// open: the trainer's title and its tabs, the general one (MIDI keyboard, instrument, answer
// inputs, what follows a mistake, the difficulty question and level) and one for each section of
// the lesson (what that section may ask). The page loads and applies its tabs together, as
// settings pages. Each change on a section tab is checked against the lesson's question pools
// before it is kept: a change that would leave a section with nothing to ask, or the lesson
// without questions, is refused at once with a message beside the control and the previous value
// stays. Kept changes are saved straight away. In a quiz nothing may be changed, and a notice
// covers the page. The main window creates the three pages, gives each its trainer, and applies a
// page when the student leaves it. GUI thread only.

#include "ui/settings/settings_page_base.h"

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QTabWidget;

namespace Core {
class SettingsStore;
class SoundController;
struct GeneralSettings;
} // namespace Core

namespace UI {

class GeneralSettingsTab;
class SectionSettingsTab;

class TrainerSettingsPage : public SettingsPageBase
{
    Q_OBJECT
public:
    // trainer: 0 note, 1 ear, 2 symbol trainer. The settings store must outlive the page;
    // setGeneralSettings stores a general record the way the application does (saving it and
    // choosing the stored MIDI input again).
    TrainerSettingsPage(int trainer, Core::SettingsStore* settings,
                        std::shared_ptr<Core::SoundController> soundController,
                        std::function<void(const Core::GeneralSettings&)> setGeneralSettings,
                        QWidget* parent = nullptr);

    // In a quiz the page only shows what is in force.
    void setQuizMode(bool quiz);
    bool isQuizMode() const { return m_quizMode; }
    // Opens the page at the tab of lesson section `section` (the general tab when it has none).
    void openTab(int section);
    // The tab of lesson section `section` (the section tabs are built on first use); null when
    // the trainer has no such section.
    SectionSettingsTab* sectionTab(int section);

    // Shows the settings in force on every tab.
    void loadSettings() override;
    // Stores what every tab shows; nothing in a quiz.
    void applySettings() override;
    // Shows the program's defaults on every tab (the section tabs keep them at once).
    void restoreDefaults() override;
    // False while a section tab shows settings that leave its section with nothing to ask.
    bool isValid() const override;
    // Whether the student changed anything since the page was last loaded: a level or a kept
    // change on a section tab (both saved at once), or a general setting stored by
    // applySettings().
    bool isModified() const { return m_modified; }

public Q_SLOTS:
    // The MIDI inputs have changed.
    void updateDevices();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildSectionTabs();
    // The general tab, then the section tabs built so far.
    std::vector<SettingsPageBase*> tabs() const;

    int m_trainer = 0;
    bool m_quizMode = false;
    bool m_modified = false;
    bool m_valid = true;
    Core::SettingsStore* m_settings = nullptr;
    // Lies over the tabs during a quiz.
    QLabel* m_quizNotice = nullptr;
    QTabWidget* m_tabWidget = nullptr;
    GeneralSettingsTab* m_generalTab = nullptr;
    std::vector<SectionSettingsTab*> m_sectionTabs;
};

} // namespace UI

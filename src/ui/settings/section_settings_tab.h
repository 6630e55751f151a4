#pragma once
// One section's tab of a trainer settings page: what that section of the lesson may ask. Every
// section has its number of questions and its time-out; the pitched sections add the range of
// keys, the key colours and the clefs; intervals their smallest and largest size; chords, scales,
// tempo markings and the music symbols their switches, in groups of which at least one member
// stays on (the symbols with their pictures). Each change the student makes is applied at once:
// it is checked against the lesson's question pools and kept (and saved), or refused with a
// message under the group of the control that made it while the previous value comes back. The
// tab is invalid while the settings in force leave its section with nothing to ask (a stored file
// may), and says so. In a quiz nothing is applied. GUI thread only.

#include "core/exercise/settings_check.h"
#include "core/exercise/trainer_settings.h"
#include "ui/settings/settings_page_base.h"

#include <QList>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;

namespace Core {
class SettingsStore;
}

namespace Ui {
class SectionSettingsTab;
}

namespace UI {

class CheckGroup;
class KeyRangePicker;

class SectionSettingsTab : public SettingsPageBase
{
    Q_OBJECT
public:
    // trainer: 0 note, 1 ear, 2 symbol trainer; section: its lesson section. settings must
    // outlive the tab; isQuizMode tells whether a quiz lesson is open.
    SectionSettingsTab(int trainer, int section, Core::SettingsStore* settings,
                       std::function<bool()> isQuizMode, QWidget* parent = nullptr);
    ~SectionSettingsTab() override;

    // The tab's title: the section's name in the lesson.
    QString title() const;

    // Shows the section's record of the settings in force, and says so when it leaves the
    // section with nothing to ask.
    void loadSettings() override;
    // Puts what the tab shows into the settings in force when it can make a lesson, and saves
    // them; otherwise shows the settings in force again and says why. Emits changed() when
    // something was kept.
    void applySettings() override;
    // Shows the section's record of the program's defaults (the first level) and applies it.
    void restoreDefaults() override;
    bool isValid() const override { return m_valid; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the section's record of `block`; emits nothing.
    void showRecord(const Core::TrainerSettings& block);
    // Writes what the tab shows into the section's record of `block`.
    void readRecord(Core::TrainerSettings& block) const;
    // Says why the last change was not kept, under the group of the control that made it; an
    // empty text takes the message away.
    void showRefusal(const QString& text);
    // Why `block` cannot make a lesson, in this section's words.
    QString refusalText(const Core::SettingsCheck& check, const Core::TrainerSettings& block) const;
    void setValid(bool valid);
    void onEdited(QWidget* control);

    // The switch groups of the section's kind (section_settings_tab_switches.cpp).
    void buildSwitchGroups();
    QWidget* addSwitchGroup(const QString& title, const std::vector<int>& indices, bool atLeastOne,
                            int columns);
    QCheckBox* makeSwitchBox(int index);
    QCheckBox* switchBox(int index) const;

    std::unique_ptr<Ui::SectionSettingsTab> m_ui;
    const int m_trainer;
    const int m_section;
    const Core::SectionKind m_kind;
    Core::SettingsStore* m_settings;
    std::function<bool()> m_isQuizMode;
    KeyRangePicker* m_rangePicker = nullptr;
    // Indexed by switch position in the section's record; null where the tab shows none.
    std::vector<QCheckBox*> m_switchBoxes;
    QList<CheckGroup*> m_checkGroups;
    QPointer<QWidget> m_lastEdited;
    // Set while the controls are filled, whose signals then mean nothing.
    bool m_loading = false;
    bool m_valid = true;
};

} // namespace UI

#pragma once
// One section's tab of a trainer settings page: what that section of the lesson may ask. Every
// section has its number of questions and its time-out; the pitched sections add the range of
// keys, the key colours and the clefs; intervals their smallest and largest size; chords, scales,
// tempo markings and the music symbols their switches, in groups of which at least one member
// stays on (the symbols with their pictures). The tab only shows and reads a block of settings:
// the page that holds it checks each change against the lesson's pools, keeps it or puts the
// previous values back and has the tab say why. GUI thread only.

#include "core/exercise/settings_check.h"
#include "core/exercise/trainer_settings.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class QCheckBox;

namespace Ui {
class SectionSettingsTab;
}

namespace UI {

class CheckGroup;
class KeyRangePicker;

class SectionSettingsTab : public QWidget
{
    Q_OBJECT
public:
    // trainer: 0 note, 1 ear, 2 symbol trainer; section: its lesson section.
    SectionSettingsTab(int trainer, int section, QWidget* parent = nullptr);
    ~SectionSettingsTab() override;

    int Trainer() const { return trainer; }
    int Section() const { return section; }
    Core::SectionKind Kind() const { return kind; }
    // The tab's title: the section's name in the lesson.
    QString Title() const;

    // Shows the section's record of `block`; emits nothing.
    void Data2Gui(const Core::TrainerSettings& block);
    // Writes what the tab shows into the section's record of `block`.
    void Gui2Data(Core::TrainerSettings& block) const;

    // Says why the last change was not kept, under the group of the control that made it; an
    // empty text takes the message away.
    void ShowRefusal(const QString& text);
    QString Refusal() const;
    // The control the user changed last (null before any change).
    QWidget* LastEdited() const { return lastEdited; }

    KeyRangePicker* RangePicker() const { return rangePicker; }
    // The check box of switch `index` of the section's record (null when it has none).
    QCheckBox* SwitchBox(int index) const;

Q_SIGNALS:
    // The user changed a control; Gui2Data gives the changed record.
    void edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildSwitchGroups();
    QWidget* AddSwitchGroup(const QString& title, const std::vector<int>& indices, bool atLeastOne,
                            int columns);
    QCheckBox* MakeSwitchBox(int index);
    void OnEdited(QWidget* control);

    std::unique_ptr<Ui::SectionSettingsTab> m_ui;
    const int trainer;
    const int section;
    const Core::SectionKind kind;
    KeyRangePicker* rangePicker = nullptr;
    // Indexed by switch position in the section's record; null where the tab shows none.
    std::vector<QCheckBox*> switchBoxes;
    QList<CheckGroup*> checkGroups;
    QPointer<QWidget> lastEdited;
    // Set while Data2Gui fills the controls, whose signals then mean nothing.
    bool loading = false;
};

} // namespace UI

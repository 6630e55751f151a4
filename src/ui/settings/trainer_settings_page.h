#pragma once
// The settings page of one trainer, shown from the tool bar's "Settings" tab while a lesson is
// open: the trainer's title and its tabs, the general one (MIDI keyboard, instrument, answer
// inputs, what follows a mistake, the difficulty question and level) and one for each section of
// the lesson (what that section may ask). Each change on a section tab is checked against the
// lesson's question pools before it is kept: a change that would leave a section with nothing to
// ask, or the lesson without questions, is refused at once with a message beside the control and
// the previous value stays. Kept changes are saved straight away. In a quiz nothing may be changed,
// and a notice covers the page. The main window creates the three pages, gives each its trainer,
// and applies a page when the student leaves it. GUI thread only.

#include "core/exercise/trainer_settings.h"

#include <QWidget>

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

class TrainerSettingsPage : public QWidget
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

    int Trainer() const { return trainer; }
    // In a quiz the page only shows what is in force.
    void SetQuizMode(bool quiz);
    bool IsQuizMode() const { return quizMode; }
    // Opens the page at the tab of lesson section `section` (the general tab when it has none).
    void OpenTab(int section);
    GeneralSettingsTab* GeneralTab() const { return generalTab; }
    // The tab of lesson section `section` (the section tabs are built on first use); null when
    // the trainer has no such section.
    SectionSettingsTab* SectionTab(int section);
    QTabWidget* Tabs() const { return tabs; }

    // Reads the stored values into the controls.
    void Data2Gui();
    // Stores what the controls show; nothing in a quiz. True when anything changed.
    bool Gui2Data();

public Q_SLOTS:
    // The MIDI inputs have changed.
    void updateDevices();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private Q_SLOTS:
    void onSectionEdited();

private:
    void BuildSectionTabs();

    int trainer = 0;
    bool quizMode = false;
    // A level button was used, or a section tab changed, since the page was last stored.
    bool levelChanged = false;
    bool sectionsChanged = false;
    Core::SettingsStore* settings = nullptr;
    // Lies over the tabs during a quiz.
    QLabel* quizNotice = nullptr;
    QTabWidget* tabs = nullptr;
    GeneralSettingsTab* generalTab = nullptr;
    std::vector<SectionSettingsTab*> sectionTabs;
};

} // namespace UI

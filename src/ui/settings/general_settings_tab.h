#pragma once
// The general tab of each trainer's settings page: the MIDI input device, the playback
// instrument, how answers are given, what happens after a mistake, whether the difficulty dialog
// is asked before a lesson, and the trainer's difficulty level. The trainer page that holds it
// calls Data2Gui() when it opens and Gui2Data() when its values are applied, and redraws its
// section tabs on refreshGui(). Choosing an instrument plays a short preview note on the current
// output. GUI thread only.

#include "core/exercise/trainer_settings.h"

#include <QVector>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTimer;

namespace Core {
struct GeneralSettings;
class MidiOutDevice;
class SettingsStore;
class SoundController;
} // namespace Core

namespace Ui {
class GeneralSettingsTab;
}

namespace UI {

class DeviceBoxView;

class GeneralSettingsTab : public QWidget
{
    Q_OBJECT
public:
    // trainer: 0 note, 1 ear, 2 symbol trainer. settings must outlive the tab. isQuizMode tells
    // whether a quiz lesson is open; setGeneralSettings stores a general settings record (the
    // application's, which also re-selects the stored input device; the store's own when empty).
    GeneralSettingsTab(int trainer, Core::SettingsStore* settings,
                       std::shared_ptr<Core::SoundController> soundController,
                       std::function<bool()> isQuizMode,
                       std::function<void(const Core::GeneralSettings&)> setGeneralSettings,
                       QWidget* parent = nullptr);
    ~GeneralSettingsTab() override;

    int Trainer() const { return trainer; }
    DeviceBoxView* DeviceBox() const;

    // Shows the stored general settings and the wrong-answer policy given.
    void Data2Gui(const Core::WrongAnswerPolicy& policy);
    // Shows a wrong-answer policy alone (a level button may have put the level's one in force).
    void ShowPolicy(const Core::WrongAnswerPolicy& policy);
    // Stores the general settings shown and writes the wrong-answer policy shown into `policy`.
    void Gui2Data(Core::WrongAnswerPolicy& policy);
    // Checks the level button of the trainer's stored level, or says "Custom" when the question
    // settings match none of the levels.
    void RefreshLevel();

public Q_SLOTS:
    // Re-reads the input ports of the sound controller (after a device change), keeping the
    // device shown when it is still there.
    void updateDevices();

    // Level buttons: set the trainer's question settings to preset 0-4 (not saved here).
    void on_Level1_clicked();
    void on_Level2_clicked();
    void on_Level3_clicked();
    void on_Level4_clicked();
    void on_Level5_clicked();

Q_SIGNALS:
    // A level button changed the trainer's question settings; the section tabs show them anew.
    void refreshGui();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::array<QPushButton*, 5> LevelButtons() const;
    // Checks button `level` + 1 only; the custom level (5) checks none.
    void CheckLevelButton(int level);
    void ChooseLevel(int level);
    void PlayPreview(int instrument);
    void StopPreview();

    std::unique_ptr<Ui::GeneralSettingsTab> m_ui;
    const int trainer;
    Core::SettingsStore* settings;
    std::shared_ptr<Core::SoundController> soundController;
    std::function<bool()> isQuizMode;
    std::function<void(const Core::GeneralSettings&)> setGeneralSettings;
    // Milliseconds, in the order of the delay combo box's entries.
    QVector<int> delays;
    // Beside the level buttons while the question settings are the student's own.
    QLabel* customLevelLabel = nullptr;
    // The preview note sounding, and the timer that ends it.
    QTimer* previewTimer = nullptr;
    std::shared_ptr<Core::MidiOutDevice> previewDevice;
};

} // namespace UI

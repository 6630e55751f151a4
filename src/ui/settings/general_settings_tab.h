#pragma once
// The general tab of each trainer's settings page: the MIDI input device (and the sound check
// that tests it, SoundCheckDialog), the playback instrument, the language (used from the next
// start, which a note beside it says when the choice is not the language in force), how answers
// are given, the colour-blind friendly colours, the weak-spot review (the draw weighs in the
// mistakes of earlier lessons), what happens after a mistake, whether the
// difficulty dialog is asked before a lesson, and the trainer's difficulty level. The trainer
// page that holds it loads it when it opens and applies it when the student leaves. A level
// button puts the level's question settings into force and saves them at once (not in a quiz);
// the page then shows them on its section tabs. Choosing an instrument plays a short preview
// note on the current output. GUI thread only.

#include "core/exercise/trainer_settings.h"
#include "ui/settings/settings_page_base.h"

#include <QPointer>
#include <QVector>

#include <array>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTimer;

namespace Core {
struct GeneralSettings;
class MidiInDeviceBase;
class MidiOutDevice;
class SettingsStore;
class SoundController;
} // namespace Core

namespace Ui {
class GeneralSettingsTab;
}

namespace UI {

class SoundCheckDialog;

class GeneralSettingsTab : public SettingsPageBase
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

    // Shows the stored general settings and the policy after a mistake in force.
    void loadSettings() override;
    // Stores the general settings shown, and the policy after a mistake shown into the settings
    // in force (it is kept with the note trainer's settings and holds for all three).
    void applySettings() override;
    // Shows the program's defaults for the instrument, the answer inputs, the weak-spot review,
    // the policy after a mistake and the difficulty question; the device, the colours and the
    // language stay.
    void restoreDefaults() override;

    // Checks the level button of the trainer's stored level, or says "Custom" when the question
    // settings match none of the levels.
    void refreshLevel();

public Q_SLOTS:
    // Re-reads the input ports of the sound controller (after a device change), keeping the
    // device shown when it is still there; an open sound check listens to the device shown.
    void updateDevices();

Q_SIGNALS:
    // A level button put the level's question settings into force.
    void levelChosen();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showGeneralSettings(const Core::GeneralSettings& general);
    void showPolicy(const Core::WrongAnswerPolicy& policy);
    std::array<QPushButton*, 5> levelButtons() const;
    // Checks button `level` + 1 only; the custom level (5) checks none.
    void checkLevelButton(int level);
    void chooseLevel(int level);
    void playPreview(int instrument);
    void stopPreview();
    bool inQuiz() const;
    void openSoundCheck();
    void showLanguageNote();
    // The input device whose name the device box shows; none when it shows none.
    std::shared_ptr<Core::MidiInDeviceBase> shownInput() const;

    std::unique_ptr<Ui::GeneralSettingsTab> m_ui;
    const int m_trainer;
    Core::SettingsStore* m_settings;
    std::shared_ptr<Core::SoundController> m_soundController;
    std::function<bool()> m_isQuizMode;
    std::function<void(const Core::GeneralSettings&)> m_setGeneralSettings;
    // Milliseconds, in the order of the delay combo box's entries.
    QVector<int> m_delays;
    // Beside the level buttons while the question settings are the student's own.
    QLabel* m_customLevelLabel = nullptr;
    // The preview note sounding, and the timer that ends it.
    QTimer* m_previewTimer = nullptr;
    std::shared_ptr<Core::MidiOutDevice> m_previewDevice;
    QPointer<SoundCheckDialog> m_soundCheck;
};

} // namespace UI

#include "ui/settings/general_settings_tab.h"

#include "core/midi/instrument_list.h"
#include "core/midi/sound_controller.h"
#include "core/settings_store.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "ui/dialogs/sound_check_dialog.h"
#include "ui/settings/device_box_view.h"
#include "ui/translation.h"
#include "ui_general_settings_tab.h"

#include <QLabel>
#include <QTimer>

namespace {

constexpr int customLevel = 5;
// The height of the difficulty panel in a quiz, where it holds the level buttons only.
constexpr int quizDifficultyPanelHeight = 160;
// The preview of a chosen instrument: middle C, struck like an on-screen key, this long.
constexpr quint8 previewNote = 60, previewVelocity = 100;
constexpr int previewMilliseconds = 400;

} // namespace

namespace UI {

GeneralSettingsTab::GeneralSettingsTab(int trainerIndex, Core::SettingsStore* settings,
                                       std::shared_ptr<Core::SoundController> soundController,
                                       std::function<bool()> isQuizMode,
                                       std::function<void(const Core::GeneralSettings&)> setGeneralSettings,
                                       QWidget* parent)
    : SettingsPageBase(parent), m_ui(std::make_unique<Ui::GeneralSettingsTab>()),
      m_trainer(qBound(0, trainerIndex, 2)), m_settings(settings),
      m_soundController(std::move(soundController)), m_isQuizMode(std::move(isQuizMode)),
      m_setGeneralSettings(std::move(setGeneralSettings)),
      m_delays(Core::WrongAnswerPolicy::OfferedDelays.begin(), Core::WrongAnswerPolicy::OfferedDelays.end())
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);

    for (const int delay : m_delays)
        m_ui->delayCombo->addItem(delay == 1000 ? tr("Wait: 1 second")
                                                : tr("Wait: %1 seconds").arg(delay / 1000));
    m_ui->instrumentCombo->addItems(Core::InstrumentList::Names());
    // The system's language first, then each language in its own name.
    m_ui->languageCombo->addItem(tr("System language"), QString());
    for (const Translation::Language& language : Translation::languages())
        m_ui->languageCombo->addItem(language.nativeName, language.code);
    m_ui->languageCombo->setPalette(m_ui->instrumentCombo->palette());
    m_ui->languageNote->hide();

    const auto levels = levelButtons();
    for (std::size_t level = 0; level < levels.size(); ++level) {
        levels[level]->setIcon(DifficultyLevelDialog::levelIcon(int(level)));
        connect(levels[level], &QPushButton::clicked, this, [this, level] { chooseLevel(int(level)); });
    }
    m_customLevelLabel = new QLabel(tr("Custom"), m_ui->difficultyGroup);
    m_customLevelLabel->setObjectName(QStringLiteral("customLevel"));
    m_customLevelLabel->setStyleSheet(
        QStringLiteral("color: rgb(255, 193, 94); font: bold 15px \"Tahoma\";"));
    m_customLevelLabel->setToolTip(tr("The question settings are your own and match none of the levels"));
    m_customLevelLabel->hide();
    m_ui->levelLayout->addWidget(m_customLevelLabel);

    // The delay matters only when the lesson goes on by itself.
    connect(m_ui->continueAfterMistake, &QRadioButton::toggled, m_ui->delayCombo, &QWidget::setEnabled);
    // activated() comes from the user's choice only, never from loadSettings().
    connect(m_ui->instrumentCombo, QOverload<int>::of(&QComboBox::activated), this,
            &GeneralSettingsTab::playPreview);
    connect(m_ui->languageCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &GeneralSettingsTab::showLanguageNote);

    connect(m_ui->soundCheckButton, &QPushButton::clicked, this, &GeneralSettingsTab::openSoundCheck);

    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(previewMilliseconds);
    connect(m_previewTimer, &QTimer::timeout, this, &GeneralSettingsTab::stopPreview);

    updateDevices();
}

GeneralSettingsTab::~GeneralSettingsTab()
{
    // A note still sounding is ended, never left hanging on the output.
    stopPreview();
    delete m_soundCheck;
}

bool GeneralSettingsTab::inQuiz() const
{
    return m_isQuizMode && m_isQuizMode();
}

void GeneralSettingsTab::loadSettings()
{
    showGeneralSettings(m_settings->generalSettings());
    showPolicy(m_settings->currentSettings().noteTrainer.wrongAnswerPolicy);
}

void GeneralSettingsTab::restoreDefaults()
{
    // A student who needs the colour-blind friendly colours or a language keeps them.
    Core::GeneralSettings defaults;
    defaults.colourBlindColours = m_ui->colourBlindColours->isChecked();
    defaults.language = m_ui->languageCombo->currentData().toString();
    showGeneralSettings(defaults);
    showPolicy(Core::WrongAnswerPolicy());
    Q_EMIT changed();
}

void GeneralSettingsTab::showGeneralSettings(const Core::GeneralSettings& general)
{
    m_ui->instrumentCombo->setCurrentIndex(general.instrument);
    m_ui->colourBlindColours->setChecked(general.colourBlindColours);
    m_ui->practiseWeakSpots->setChecked(general.practiseWeakSpots);
    // A language the program does not speak (a hand-edited file) shows as the system's.
    m_ui->languageCombo->setCurrentIndex(qMax(0, m_ui->languageCombo->findData(general.language)));
    showLanguageNote();

    if (!general.answerWithGraphicalKeyboard)
        m_ui->useMultipleChoice->setChecked(true);
    else if (general.answerWithMultipleChoice)
        m_ui->useBoth->setChecked(true);
    else
        m_ui->useGraphicalPiano->setChecked(true);

    QWidget* panel = m_ui->difficultyGroup;
    if (inQuiz()) {
        m_ui->showDifficultyDialog->hide();
        panel->setFixedHeight(quizDifficultyPanelHeight);
    } else {
        m_ui->showDifficultyDialog->setChecked(general.showDifficultyDialog);
        m_ui->showDifficultyDialog->show();
        panel->setMinimumHeight(0);
        panel->setMaximumHeight(QWIDGETSIZE_MAX);
    }
}

void GeneralSettingsTab::showPolicy(const Core::WrongAnswerPolicy& policy)
{
    m_ui->continueAfterMistake->setChecked(policy.continueAfterMistake);
    m_ui->pauseAfterMistake->setChecked(!policy.continueAfterMistake);
    m_ui->delayCombo->setEnabled(policy.continueAfterMistake);
    // A wait the list lacks (the levels' none among them) shows as the one the lesson keeps.
    m_ui->delayCombo->setCurrentIndex(m_delays.indexOf(policy.DelayInForce()));
}

void GeneralSettingsTab::applySettings()
{
    Core::GeneralSettings general = m_settings->generalSettings();
    general.inputDevice = m_ui->deviceBox->deviceName();
    general.instrument = quint8(qMax(0, m_ui->instrumentCombo->currentIndex()));
    general.answerWithGraphicalKeyboard = m_ui->useGraphicalPiano->isChecked() || m_ui->useBoth->isChecked();
    general.answerWithMultipleChoice = m_ui->useMultipleChoice->isChecked() || m_ui->useBoth->isChecked();
    general.colourBlindColours = m_ui->colourBlindColours->isChecked();
    general.practiseWeakSpots = m_ui->practiseWeakSpots->isChecked();
    general.language = m_ui->languageCombo->currentData().toString();
    if (!inQuiz())
        general.showDifficultyDialog = m_ui->showDifficultyDialog->isChecked();
    if (m_setGeneralSettings)
        m_setGeneralSettings(general);
    else
        m_settings->setGeneralSettings(general);

    Core::TrainerSettings block = m_settings->currentSettings();
    Core::WrongAnswerPolicy policy = block.noteTrainer.wrongAnswerPolicy;
    policy.continueAfterMistake = m_ui->continueAfterMistake->isChecked();
    // The wait shown is stored once the lesson goes on by itself, or once another is chosen; a
    // pause keeps the stored wait as it is.
    const int shown = m_delays.value(m_ui->delayCombo->currentIndex(), policy.DelayInForce());
    if (policy.continueAfterMistake || shown != policy.DelayInForce())
        policy.delay = shown;
    if (!(policy == block.noteTrainer.wrongAnswerPolicy)) {
        block.noteTrainer.wrongAnswerPolicy = policy;
        m_settings->setTrainerSettings(block);
    }
}

void GeneralSettingsTab::showLanguageNote()
{
    // The texts of this run keep their language: a choice that would speak another one says when.
    const QString chosen = Translation::resolve(m_ui->languageCombo->currentData().toString());
    m_ui->languageNote->setVisible(chosen != Translation::language());
}

void GeneralSettingsTab::updateDevices()
{
    QVector<QString> names;
    int current = -1;
    if (m_soundController) {
        for (int i = 0; i < m_soundController->InputCount(); ++i)
            if (const auto device = m_soundController->GetInputDevice(i))
                names.append(device->GetPortName());
        current = m_soundController->CurrentInputIndex();
    }
    DeviceBoxView* box = m_ui->deviceBox;
    const QString shown = box->deviceName();
    box->setDevices(names);
    // The first time, or when the device shown went away, show the input in use (none while
    // there is none: a microphone is offered, never chosen for the student).
    const bool kept = !shown.isEmpty() && names.contains(shown);
    if (!kept)
        box->showDevice(current);
    if (m_soundCheck)
        m_soundCheck->setInput(shownInput());
}

std::shared_ptr<Core::MidiInDeviceBase> GeneralSettingsTab::shownInput() const
{
    const QString shown = m_ui->deviceBox->deviceName();
    if (!m_soundController || shown.isEmpty())
        return nullptr;
    for (int i = 0; i < m_soundController->InputCount(); ++i) {
        auto device = m_soundController->GetInputDevice(i);
        if (device && device->GetPortName() == shown)
            return device;
    }
    return nullptr;
}

void GeneralSettingsTab::openSoundCheck()
{
    if (m_soundCheck)
        return;
    m_soundCheck = new SoundCheckDialog(m_soundController, window());
    connect(m_soundCheck, &BaseDialog::dialogClosed, m_soundCheck, &QObject::deleteLater);
    // Focus comes back to the button that opened it.
    connect(m_soundCheck, &BaseDialog::dialogClosed, m_ui->soundCheckButton, [this] {
        m_ui->soundCheckButton->setFocus(Qt::OtherFocusReason);
    });
    m_soundCheck->setInput(shownInput());
    m_soundCheck->open();
}

std::array<QPushButton*, 5> GeneralSettingsTab::levelButtons() const
{
    return {m_ui->Level1, m_ui->Level2, m_ui->Level3, m_ui->Level4, m_ui->Level5};
}

void GeneralSettingsTab::checkLevelButton(int level)
{
    const auto levels = levelButtons();
    for (std::size_t i = 0; i < levels.size(); ++i)
        levels[i]->setChecked(int(i) == level);
}

void GeneralSettingsTab::chooseLevel(int level)
{
    checkLevelButton(level);
    m_customLevelLabel->hide();
    m_ui->difficultyGroup->update();
    m_settings->setDifficultyLevel(m_trainer, level);
    // The level's preset is now the block in force; it is kept like any change.
    if (!inQuiz())
        m_settings->setTrainerSettings(m_settings->currentSettings());
    // The note trainer's levels bring their own policy after a mistake.
    showPolicy(m_settings->currentSettings().noteTrainer.wrongAnswerPolicy);
    Q_EMIT levelChosen();
    Q_EMIT changed();
}

void GeneralSettingsTab::refreshLevel()
{
    const int level = m_settings->difficultyLevel(m_trainer);
    checkLevelButton(level);
    m_customLevelLabel->setVisible(level == customLevel);
}

void GeneralSettingsTab::showEvent(QShowEvent* event)
{
    refreshLevel();
    updateDevices();
    SettingsPageBase::showEvent(event);
}

void GeneralSettingsTab::playPreview(int instrument)
{
    stopPreview();
    if (!m_soundController || instrument < 0)
        return;
    m_previewDevice = m_soundController->CurrentOutputDevice();
    if (!m_previewDevice)
        return;
    m_previewDevice->Send(Core::InstrumentList::ProgramChange(instrument));
    m_previewDevice->Send(MidiMessage(0x90, 0, previewNote, previewVelocity));
    m_previewTimer->start();
}

void GeneralSettingsTab::stopPreview()
{
    m_previewTimer->stop();
    if (!m_previewDevice)
        return;
    m_previewDevice->Send(MidiMessage(0x80, 0, previewNote, previewVelocity));
    m_previewDevice.reset();
}

} // namespace UI

#include "ui/settings/general_settings_tab.h"

#include "core/midi/instrument_list.h"
#include "core/midi/sound_controller.h"
#include "ui/settings/device_box_view.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "core/settings_store.h"
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
    : QWidget(parent), m_ui(std::make_unique<Ui::GeneralSettingsTab>()), trainer(qBound(0, trainerIndex, 2)),
      settings(settings), soundController(std::move(soundController)), isQuizMode(std::move(isQuizMode)),
      setGeneralSettings(std::move(setGeneralSettings)),
      delays(Core::WrongAnswerPolicy::OfferedDelays.begin(), Core::WrongAnswerPolicy::OfferedDelays.end())
{
    // Connects the level buttons' clicked() to the on_<button>_clicked() slots by name.
    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);

    for (const int delay : delays)
        m_ui->delayCombo->addItem(delay == 1000 ? tr("Wait: 1 second")
                                                : tr("Wait: %1 seconds").arg(delay / 1000));
    m_ui->instrumentCombo->addItems(Core::InstrumentList::Names());

    const auto levels = LevelButtons();
    for (std::size_t level = 0; level < levels.size(); ++level)
        levels[level]->setIcon(DifficultyLevelDialog::LevelIcon(int(level)));
    customLevelLabel = new QLabel(tr("Custom"), m_ui->difficultyGroup);
    customLevelLabel->setObjectName(QStringLiteral("customLevel"));
    customLevelLabel->setStyleSheet(QStringLiteral("color: rgb(255, 193, 94); font: bold 15px \"Tahoma\";"));
    customLevelLabel->setToolTip(tr("The question settings are your own and match none of the levels"));
    customLevelLabel->hide();
    m_ui->levelLayout->addWidget(customLevelLabel);

    // The delay matters only when the lesson goes on by itself.
    connect(m_ui->continueAfterMistake, &QRadioButton::toggled, m_ui->delayCombo, &QWidget::setEnabled);
    // activated() comes from the user's choice only, never from Data2Gui.
    connect(m_ui->instrumentCombo, QOverload<int>::of(&QComboBox::activated), this,
            &GeneralSettingsTab::PlayPreview);

    previewTimer = new QTimer(this);
    previewTimer->setSingleShot(true);
    previewTimer->setInterval(previewMilliseconds);
    connect(previewTimer, &QTimer::timeout, this, &GeneralSettingsTab::StopPreview);

    updateDevices();
}

GeneralSettingsTab::~GeneralSettingsTab()
{
    // A note still sounding is ended, never left hanging on the output.
    StopPreview();
}

DeviceBoxView* GeneralSettingsTab::DeviceBox() const
{
    return m_ui->deviceBox;
}

void GeneralSettingsTab::Data2Gui(const Core::WrongAnswerPolicy& policy)
{
    const Core::GeneralSettings general = settings->GetGeneralSettings();
    m_ui->instrumentCombo->setCurrentIndex(general.instrument);
    ShowPolicy(policy);

    if (!general.answerWithGraphicalKeyboard)
        m_ui->useMultipleChoice->setChecked(true);
    else if (general.answerWithMultipleChoice)
        m_ui->useBoth->setChecked(true);
    else
        m_ui->useGraphicalPiano->setChecked(true);

    QWidget* panel = m_ui->difficultyGroup;
    if (isQuizMode && isQuizMode()) {
        m_ui->showDifficultyDialog->hide();
        panel->setFixedHeight(quizDifficultyPanelHeight);
    } else {
        m_ui->showDifficultyDialog->setChecked(general.showDifficultyDialog);
        m_ui->showDifficultyDialog->show();
        panel->setMinimumHeight(0);
        panel->setMaximumHeight(QWIDGETSIZE_MAX);
    }
}

void GeneralSettingsTab::ShowPolicy(const Core::WrongAnswerPolicy& policy)
{
    m_ui->continueAfterMistake->setChecked(policy.continueAfterMistake);
    m_ui->pauseAfterMistake->setChecked(!policy.continueAfterMistake);
    m_ui->delayCombo->setEnabled(policy.continueAfterMistake);
    m_ui->delayCombo->setCurrentIndex(delays.indexOf(policy.delay));
}

void GeneralSettingsTab::Gui2Data(Core::WrongAnswerPolicy& policy)
{
    Core::GeneralSettings general = settings->GetGeneralSettings();
    general.inputDevice = m_ui->deviceBox->DeviceName();
    general.instrument = quint8(qMax(0, m_ui->instrumentCombo->currentIndex()));
    general.answerWithGraphicalKeyboard = m_ui->useGraphicalPiano->isChecked() || m_ui->useBoth->isChecked();
    general.answerWithMultipleChoice = m_ui->useMultipleChoice->isChecked() || m_ui->useBoth->isChecked();
    if (!(isQuizMode && isQuizMode()))
        general.showDifficultyDialog = m_ui->showDifficultyDialog->isChecked();
    if (setGeneralSettings)
        setGeneralSettings(general);
    else
        settings->SetGeneralSettings(general);

    policy.continueAfterMistake = m_ui->continueAfterMistake->isChecked();
    // No entry chosen (a delay the list does not offer) keeps the delay as it was.
    const int delay = m_ui->delayCombo->currentIndex();
    if (delay >= 0 && delay < delays.size())
        policy.delay = delays[delay];
}

void GeneralSettingsTab::updateDevices()
{
    QVector<QString> names;
    int current = -1;
    if (soundController) {
        for (int i = 0; i < soundController->InputCount(); ++i)
            if (const auto device = soundController->GetInputDevice(i))
                names.append(device->GetPortName());
        current = soundController->CurrentInputIndex();
    }
    DeviceBoxView* box = m_ui->deviceBox;
    const QString shown = box->DeviceName();
    box->fillDeviceList(names);
    // The first time, or when the device shown went away, show the input in use.
    const bool kept = !shown.isEmpty() && names.contains(shown);
    if (!kept && current >= 0 && current < names.size())
        box->showDeviceAtIdx(current);
}

std::array<QPushButton*, 5> GeneralSettingsTab::LevelButtons() const
{
    return {m_ui->Level1, m_ui->Level2, m_ui->Level3, m_ui->Level4, m_ui->Level5};
}

void GeneralSettingsTab::CheckLevelButton(int level)
{
    const auto levels = LevelButtons();
    for (std::size_t i = 0; i < levels.size(); ++i)
        levels[i]->setChecked(int(i) == level);
}

void GeneralSettingsTab::on_Level1_clicked()
{
    ChooseLevel(0);
}

void GeneralSettingsTab::on_Level2_clicked()
{
    ChooseLevel(1);
}

void GeneralSettingsTab::on_Level3_clicked()
{
    ChooseLevel(2);
}

void GeneralSettingsTab::on_Level4_clicked()
{
    ChooseLevel(3);
}

void GeneralSettingsTab::on_Level5_clicked()
{
    ChooseLevel(4);
}

void GeneralSettingsTab::ChooseLevel(int level)
{
    CheckLevelButton(level);
    customLevelLabel->hide();
    m_ui->difficultyGroup->update();
    settings->SetDifficultyLevel(trainer, level);
    emit refreshGui();
}

void GeneralSettingsTab::RefreshLevel()
{
    const int level = settings->GetDifficultyLevel(trainer);
    CheckLevelButton(level);
    customLevelLabel->setVisible(level == customLevel);
}

void GeneralSettingsTab::showEvent(QShowEvent* event)
{
    RefreshLevel();
    updateDevices();
    QWidget::showEvent(event);
}

void GeneralSettingsTab::PlayPreview(int instrument)
{
    StopPreview();
    if (!soundController || instrument < 0)
        return;
    previewDevice = soundController->CurrentOutputDevice();
    if (!previewDevice)
        return;
    previewDevice->Send(Core::InstrumentList::ProgramChange(instrument));
    previewDevice->Send(MidiMessage(0x90, 0, previewNote, previewVelocity));
    previewTimer->start();
}

void GeneralSettingsTab::StopPreview()
{
    previewTimer->stop();
    if (!previewDevice)
        return;
    previewDevice->Send(MidiMessage(0x80, 0, previewNote, previewVelocity));
    previewDevice.reset();
}

} // namespace UI

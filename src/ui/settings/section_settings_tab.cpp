#include "ui/settings/section_settings_tab.h"

#include "core/exercise/difficulty_presets.h"
#include "core/exercise/music_tables.h"
#include "core/settings_store.h"
#include "ui/settings/check_group.h"
#include "ui/settings/key_range_picker.h"
#include "ui/settings/section_record.h"
#include "ui_section_settings_tab.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QScrollBar>
#include <QTimer>

namespace UI {
namespace {

using Core::SectionKind;

const char* const sectionTitles[][5] = {
    {QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Single Notes"),
     QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Intervals"),
     QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Chords"), nullptr, nullptr},
    {QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Single Notes"),
     QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Intervals"),
     QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Chords"),
     QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Scales"),
     QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Tempo")},
    {QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Note Lengths"),
     QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Key Signatures"),
     QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Tempo"),
     QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Loudness"),
     QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Note Modifiers")},
};

QGroupBox* groupOf(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (auto* group = qobject_cast<QGroupBox*>(w))
            return group;
    return nullptr;
}

} // namespace

SectionSettingsTab::SectionSettingsTab(int trainerIndex, int sectionIndex, Core::SettingsStore* settings,
                                       std::function<bool()> isQuizMode, QWidget* parent)
    : SettingsPageBase(parent), m_ui(std::make_unique<Ui::SectionSettingsTab>()),
      m_trainer(qBound(0, trainerIndex, 2)), m_section(sectionIndex),
      m_kind(Core::KindOfSection(m_trainer, sectionIndex)), m_settings(settings),
      m_isQuizMode(std::move(isQuizMode))
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    m_ui->scrollArea->viewport()->setAutoFillBackground(false);
    m_ui->content->setAutoFillBackground(false);
    setAccessibleName(tr("%1 settings").arg(title()));
    m_ui->refusal->hide();

    const bool pitched = m_kind == SectionKind::Notes || m_kind == SectionKind::Intervals ||
                         m_kind == SectionKind::Chords || m_kind == SectionKind::Scales;
    m_ui->rangeGroup->setVisible(pitched);
    m_ui->clefGroup->setVisible(pitched);
    m_ui->intervalGroup->setVisible(m_kind == SectionKind::Intervals);
    // The sizes of the intervals stand where the other sections show their switches.
    m_ui->rightColumn->addWidget(m_ui->intervalGroup);

    // The stored settings are kept within the same bounds (Core::SettingsStore).
    m_ui->questionsSpin->setMaximum(Core::DurationSettings::MaxQuestions);
    m_ui->timeoutSpin->setMaximum(Core::DurationSettings::MaxSeconds);
    auto connectSpin = [this](QSpinBox* spin) {
        connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this, [this, spin] { onEdited(spin); });
    };
    connectSpin(m_ui->questionsSpin);
    connectSpin(m_ui->timeoutSpin);

    if (pitched) {
        m_rangePicker = new KeyRangePicker(m_ui->rangeGroup);
        m_rangePicker->setAccessibleName(tr("Range of keys"));
        auto* layout = static_cast<QVBoxLayout*>(m_ui->rangeGroup->layout());
        layout->replaceWidget(m_ui->rangePickerPlace, m_rangePicker);
        delete m_ui->rangePickerPlace;
        m_ui->rangePickerPlace = nullptr;
        // A short window scrolls the tab rather than squeeze the staff.
        m_rangePicker->setMinimumHeight(m_rangePicker->sizeHint().height());
        connect(m_rangePicker, &KeyRangePicker::rangePicked, this, [this] { onEdited(m_rangePicker); });
        // A clef stays on: a question must be written on some staff.
        auto* clefs = new CheckGroup(this);
        clefs->addMember(m_ui->gClef);
        clefs->addMember(m_ui->fClef);
        m_checkGroups.append(clefs);
    }
    // After the clef group's own handler, so that a change is read once the group has kept a
    // clef on.
    for (QCheckBox* box :
         {m_ui->whiteKeys, m_ui->blackKeys, m_ui->gClef, m_ui->fClef, m_ui->intervalArpeggiated})
        connect(box, &QCheckBox::clicked, this, [this, box] { onEdited(box); });
    if (m_kind == SectionKind::Intervals) {
        for (int size = 0; size < Core::MusicTables::IntervalCount; ++size) {
            const QString name = Core::MusicTables::IntervalShortName(size);
            const QString tip = tr("%n semitone(s)", nullptr, size);
            m_ui->intervalStart->addItem(name);
            m_ui->intervalEnd->addItem(name);
            m_ui->intervalStart->setItemData(size, tip, Qt::ToolTipRole);
            m_ui->intervalEnd->setItemData(size, tip, Qt::ToolTipRole);
        }
        for (QComboBox* combo : {m_ui->intervalStart, m_ui->intervalEnd}) {
            combo->setMaximumWidth(260);
            connect(combo, QOverload<int>::of(&QComboBox::activated), this,
                    [this, combo] { onEdited(combo); });
        }
    }
    buildSwitchGroups();
    for (CheckGroup* group : m_checkGroups)
        connect(group, &CheckGroup::lastMemberKept, this, [this](QCheckBox* box) {
            const QGroupBox* owner = groupOf(box);
            m_lastEdited = box;
            showRefusal(tr("At least one of \u201C%1\u201D stays on, or there would be nothing to ask.")
                            .arg(owner ? owner->title() : box->text()));
        });
    static_cast<QVBoxLayout*>(m_ui->rightColumn)->addStretch(1);

    // Numbers and lists change under the wheel only once the student has chosen them: a wheel
    // turned to scroll the tab must not change a setting on its way.
    QList<QWidget*> wheelGuarded{m_ui->questionsSpin, m_ui->timeoutSpin, m_ui->intervalStart,
                                 m_ui->intervalEnd};
    if (m_rangePicker)
        for (QComboBox* list : m_rangePicker->findChildren<QComboBox*>())
            wheelGuarded << list;
    for (QWidget* control : wheelGuarded) {
        control->setFocusPolicy(Qt::StrongFocus);
        control->installEventFilter(this);
    }

    // Tab follows the page from top to bottom: the range picker stands above the key colours.
    if (m_rangePicker) {
        QWidget* previous = m_ui->timeoutSpin;
        // The lists' pop-ups are windows of their own and take no part in the chain.
        for (QWidget* control : m_rangePicker->findChildren<QWidget*>())
            if ((control->focusPolicy() & Qt::TabFocus) && control->window() == window()) {
                setTabOrder(previous, control);
                previous = control;
            }
        for (QWidget* control : {m_ui->whiteKeys, m_ui->blackKeys, m_ui->gClef, m_ui->fClef}) {
            setTabOrder(previous, control);
            previous = control;
        }
    }
}

bool SectionSettingsTab::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        auto* control = qobject_cast<QWidget*>(watched);
        if (control && !control->hasFocus()) {
            QCoreApplication::sendEvent(m_ui->scrollArea->verticalScrollBar(), event);
            return true;
        }
    }
    return SettingsPageBase::eventFilter(watched, event);
}

SectionSettingsTab::~SectionSettingsTab() = default;

QString SectionSettingsTab::title() const
{
    if (m_section < 0 || m_section >= Core::TrainerSectionCount(m_trainer))
        return QString();
    return tr(sectionTitles[m_trainer][m_section]);
}

void SectionSettingsTab::loadSettings()
{
    if (!m_settings)
        return;
    const Core::TrainerSettings& block = m_settings->currentSettings();
    showRecord(block);
    // Settings from an old or hand-edited file may leave the section with nothing to ask; the
    // tab says so until a change mends it.
    const bool empty = Core::SectionQuestions(block, m_trainer, m_section) > 0 &&
                       Core::AskableCount(block, m_trainer, m_section) == 0;
    showRefusal(empty ? tr("These settings leave nothing to ask in this section. Widen the range of "
                           "keys or switch more on.")
                      : QString());
    setValid(!empty);
}

void SectionSettingsTab::applySettings()
{
    if (!m_settings || (m_isQuizMode && m_isQuizMode()))
        return;
    const Core::TrainerSettings& kept = m_settings->currentSettings();
    Core::TrainerSettings edited = kept;
    readRecord(edited);
    // A check box a group has just checked again changes nothing, and its message stays.
    if (edited == kept)
        return;
    // Only what this tab changed is judged: a section that a stored file left empty elsewhere
    // must not stop the student from mending this one.
    Core::SettingsCheck check = Core::CheckTrainerSettings(edited, m_trainer);
    if (check.outcome == Core::SettingsCheck::EmptySection && check.section != m_section) {
        const bool empty = Core::SectionQuestions(edited, m_trainer, m_section) > 0 &&
                           Core::AskableCount(edited, m_trainer, m_section) == 0;
        check.outcome = empty ? Core::SettingsCheck::EmptySection : Core::SettingsCheck::Askable;
        check.section = m_section;
    }
    if (!check.IsAskable()) {
        showRecord(kept);
        showRefusal(refusalText(check, edited));
        return;
    }
    showRefusal(QString());
    m_settings->setTrainerSettings(edited);
    setValid(true);
    Q_EMIT changed();
}

void SectionSettingsTab::restoreDefaults()
{
    // What a new settings file holds: the questions of the first level.
    showRecord(Core::DifficultyPreset(0));
    applySettings();
}

QString SectionSettingsTab::refusalText(const Core::SettingsCheck& check,
                                        const Core::TrainerSettings& block) const
{
    if (check.outcome == Core::SettingsCheck::NoQuestions)
        return tr(
            "Not changed: every section would be off. At least one section of the lesson needs questions.");
    const auto& intervals =
        m_trainer == Core::EarTrainerIndex ? block.earTrainer.intervals : block.noteTrainer.intervals;
    switch (Core::KindOfSection(m_trainer, check.section)) {
    case SectionKind::Notes:
        return tr("Not changed: no key of this range has the colour asked for. Widen the range or allow the "
                  "other keys.");
    case SectionKind::Intervals:
        if (intervals.intervalStart > intervals.intervalEnd)
            return tr("Not changed: the smallest interval would be larger than the largest one.");
        return tr("Not changed: no interval of these sizes fits this range of keys. Widen the range or the "
                  "sizes.");
    case SectionKind::Chords:
        return tr("Not changed: no chord of these types and inversions has its root in this range of keys.");
    case SectionKind::Scales:
        return tr("Not changed: no scale of these kinds starts in this range of keys.");
    case SectionKind::Tempo:
        return tr("Not changed: no piece is played in Prestissimo, so at least one other tempo stays on.");
    case SectionKind::Lengths:
        return tr("Not changed: rests need a note length to go with; keep one length on.");
    default:
        return tr("Not changed: this section would have nothing to ask.");
    }
}

void SectionSettingsTab::setValid(bool valid)
{
    if (valid == m_valid)
        return;
    m_valid = valid;
    Q_EMIT validChanged(valid);
}

void SectionSettingsTab::showRecord(const Core::TrainerSettings& shown)
{
    Core::TrainerSettings block = shown;
    const SectionRecord r = SectionRecord::of(block, m_trainer, m_section);
    if (!r.duration)
        return;
    m_loading = true;
    m_ui->questionsSpin->setValue(r.duration->questions);
    m_ui->timeoutSpin->setValue(r.duration->seconds);
    if (r.diapason) {
        m_rangePicker->setRange(r.diapason->minimum, r.diapason->maximum);
        m_ui->whiteKeys->setChecked(r.diapason->whiteKeys);
        m_ui->blackKeys->setChecked(r.diapason->blackKeys);
    }
    if (r.clefs) {
        m_ui->gClef->setChecked(r.clefs->gClef);
        m_ui->fClef->setChecked(r.clefs->fClef);
    }
    if (r.intervals) {
        m_ui->intervalStart->setCurrentIndex(
            qBound(0, r.intervals->intervalStart, m_ui->intervalStart->count() - 1));
        m_ui->intervalEnd->setCurrentIndex(
            qBound(0, r.intervals->intervalEnd, m_ui->intervalEnd->count() - 1));
        m_ui->intervalArpeggiated->setChecked(r.intervals->arpeggiated);
    }
    for (int i = 0; i < r.switchCount; ++i)
        if (QCheckBox* box = switchBox(i))
            box->setChecked(r.switches[i]);
    m_loading = false;
}

void SectionSettingsTab::readRecord(Core::TrainerSettings& block) const
{
    const SectionRecord r = SectionRecord::of(block, m_trainer, m_section);
    if (!r.duration)
        return;
    r.duration->questions = m_ui->questionsSpin->value();
    r.duration->seconds = m_ui->timeoutSpin->value();
    if (r.diapason) {
        r.diapason->minimum = m_rangePicker->minimum();
        r.diapason->maximum = m_rangePicker->maximum();
        r.diapason->whiteKeys = m_ui->whiteKeys->isChecked();
        r.diapason->blackKeys = m_ui->blackKeys->isChecked();
    }
    if (r.clefs) {
        r.clefs->gClef = m_ui->gClef->isChecked();
        r.clefs->fClef = m_ui->fClef->isChecked();
    }
    if (r.intervals) {
        r.intervals->intervalStart = m_ui->intervalStart->currentIndex();
        r.intervals->intervalEnd = m_ui->intervalEnd->currentIndex();
        r.intervals->arpeggiated = m_ui->intervalArpeggiated->isChecked();
    }
    for (int i = 0; i < r.switchCount; ++i)
        if (QCheckBox* box = switchBox(i))
            r.switches[i] = box->isChecked();
}

void SectionSettingsTab::onEdited(QWidget* control)
{
    if (m_loading)
        return;
    m_lastEdited = control;
    applySettings();
}

void SectionSettingsTab::showRefusal(const QString& text)
{
    QLabel* label = m_ui->refusal;
    if (text.isEmpty()) {
        label->hide();
        label->clear();
        return;
    }
    // Under the group of the control that was changed, so the message is read where the eye is.
    QGroupBox* group = groupOf(m_lastEdited);
    if (group && group->layout() && label->parentWidget() != group) {
        if (auto* grid = qobject_cast<QGridLayout*>(group->layout()))
            grid->addWidget(label, grid->rowCount(), 0, 1, grid->columnCount());
        else
            group->layout()->addWidget(label);
    }
    label->setText(text);
    label->setAccessibleDescription(text);
    label->show();
    // Screen readers say why the control went back.
    QAccessibleEvent alert(label, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    // Scrolled into view once the group has made room for it.
    QTimer::singleShot(0, label, [this, label] { m_ui->scrollArea->ensureWidgetVisible(label); });
}

} // namespace UI

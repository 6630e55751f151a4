#include "ui/settings/section_settings_tab.h"

#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_validators.h"
#include "ui/settings/check_group.h"
#include "ui/settings/key_range_picker.h"
#include "ui_section_settings_tab.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace UI {
namespace {

using Core::SectionKind;

// The parts of a block one section's tab edits; null where the section has no such part.
struct Records
{
    Core::DurationSettings* duration = nullptr;
    Core::NotesDiapason* diapason = nullptr;
    Core::ClefSettings* clefs = nullptr;
    Core::IntervalSettings* intervals = nullptr;
    bool* switches = nullptr;
    int switchCount = 0;
};

template <typename Record> void SetSwitches(Records& r, Record& record)
{
    r.switches = record.switches.data();
    r.switchCount = int(record.switches.size());
    r.duration = &record.duration;
}

template <typename Record> void SetPitched(Records& r, Record& record)
{
    r.diapason = &record.diapason;
    r.duration = &record.duration;
    r.clefs = &record.clefs;
}

Records RecordsOf(Core::TrainerSettings& block, int trainer, int section)
{
    Records r;
    const bool ear = trainer == Core::EarTrainerIndex;
    switch (Core::KindOfSection(trainer, section)) {
    case SectionKind::Notes: {
        auto& notes = ear ? block.earTrainer.singleNotes : block.noteTrainer.singleNotes;
        SetPitched(r, notes);
        break;
    }
    case SectionKind::Intervals: {
        auto& intervals = ear ? block.earTrainer.intervals : block.noteTrainer.intervals;
        SetPitched(r, intervals);
        r.intervals = &intervals;
        break;
    }
    case SectionKind::Chords: {
        auto& chords = ear ? block.earTrainer.chords : block.noteTrainer.chords;
        SetSwitches(r, chords);
        SetPitched(r, chords);
        break;
    }
    case SectionKind::Scales:
        SetSwitches(r, block.earTrainer.scales);
        SetPitched(r, block.earTrainer.scales);
        break;
    case SectionKind::Tempo:
        SetSwitches(r, ear ? block.earTrainer.tempo : block.symbolTrainer.tempo);
        break;
    case SectionKind::Lengths:
        SetSwitches(r, block.symbolTrainer.lengths);
        break;
    case SectionKind::Signatures:
        SetSwitches(r, block.symbolTrainer.keySignatures);
        break;
    case SectionKind::Loudness:
        SetSwitches(r, block.symbolTrainer.loudness);
        break;
    case SectionKind::Modifiers:
        SetSwitches(r, block.symbolTrainer.noteModifiers);
        break;
    case SectionKind::None:
        break;
    }
    return r;
}

const char* const chordNames[Core::ChordTypeCount] = {
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Major triad"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Minor triad"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Major sixth"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Minor sixth"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Major seventh"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Minor seventh"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Dominant seventh"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Suspended second"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Suspended fourth"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Sixth, suspended second"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Sixth, suspended fourth"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Seventh, suspended second"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Seventh, suspended fourth"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Augmented"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Augmented sixth"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Augmented seventh"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Diminished"),
    QT_TRANSLATE_NOOP("UI::SectionSettingsTab", "Diminished seventh"),
};

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

// The pictures of the symbol switches are cards of 8 by 5.
const QSize pictureSize(64, 40);

// A record of the section's kind with only switch `index` on, over the whole keyboard.
Core::TrainerSettings OnlySwitch(int trainer, int section, int index)
{
    Core::TrainerSettings block;
    Records r = RecordsOf(block, trainer, section);
    std::fill(r.switches, r.switches + r.switchCount, false);
    r.switches[index] = true;
    return block;
}

// The rows of the symbol trainer's item table that switch `index` alone lets a lesson ask.
std::vector<int> SymbolRows(int section, int index)
{
    const Core::TrainerSettings block = OnlySwitch(Core::SymbolTrainerIndex, section, index);
    const auto& table = Core::ExerciseSymbolTrainer::ItemTable(section);
    const Core::SymbolTrainerSettings& s = block.symbolTrainer;
    std::vector<int> rows;
    for (unsigned id = 0; id < table.size(); ++id) {
        bool permitted = false;
        switch (Core::KindOfSection(Core::SymbolTrainerIndex, section)) {
        case SectionKind::Lengths:
            permitted = Core::ValidateLengthQuestion(id, &s.lengths);
            break;
        case SectionKind::Signatures:
            permitted = Core::ValidateSignatureQuestion(id, &s.keySignatures);
            break;
        case SectionKind::Loudness:
            permitted = Core::ValidateLoudnessQuestion(id, &s.loudness);
            break;
        case SectionKind::Modifiers:
            permitted = Core::ValidateModifiersQuestion(id, &s.noteModifiers);
            break;
        default:
            break;
        }
        if (permitted)
            rows.push_back(int(id));
    }
    return rows;
}

// The tempo (a row of the tempo table) that switch `index` alone lets a lesson ask; -1 for none.
int TempoOfSwitch(int index)
{
    Core::TempoSettings tempo;
    tempo.SetAll(false);
    tempo.switches[size_t(index)] = true;
    for (int t = 0; t < Core::MusicTables::TempoCount; ++t)
        if (Core::ValidateTempoQuestion(unsigned(t * Core::MusicTables::PiecesPerTempo), &tempo))
            return t;
    return -1;
}

// The scale (a row of the scale table) that switch `index` alone lets a lesson ask.
int ScaleOfSwitch(int index)
{
    Core::ScalesSettings scales;
    scales.SetAll(false);
    scales.switches[size_t(index)] = true;
    for (int s = 0; s < Core::MusicTables::ScaleCount; ++s)
        if (Core::ValidateScaleQuestion(unsigned(s * Core::MusicTables::ScaleRootCount + 39), &scales))
            return s;
    return -1;
}

QGroupBox* GroupOf(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (auto* group = qobject_cast<QGroupBox*>(w))
            return group;
    return nullptr;
}

} // namespace

SectionSettingsTab::SectionSettingsTab(int trainerIndex, int sectionIndex, QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::SectionSettingsTab>()), trainer(qBound(0, trainerIndex, 2)),
      section(sectionIndex), kind(Core::KindOfSection(trainer, sectionIndex))
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    m_ui->scrollArea->viewport()->setAutoFillBackground(false);
    m_ui->content->setAutoFillBackground(false);
    setAccessibleName(tr("%1 settings").arg(Title()));
    m_ui->refusal->hide();

    const bool pitched = kind == SectionKind::Notes || kind == SectionKind::Intervals ||
                         kind == SectionKind::Chords || kind == SectionKind::Scales;
    m_ui->rangeGroup->setVisible(pitched);
    m_ui->clefGroup->setVisible(pitched);
    m_ui->intervalGroup->setVisible(kind == SectionKind::Intervals);
    // The sizes of the intervals stand where the other sections show their switches.
    m_ui->rightColumn->addWidget(m_ui->intervalGroup);

    // The stored settings are kept within the same bounds (Core::SettingsStore).
    m_ui->questionsSpin->setMaximum(Core::DurationSettings::MaxQuestions);
    m_ui->timeoutSpin->setMaximum(Core::DurationSettings::MaxSeconds);
    auto connectSpin = [this](QSpinBox* spin) {
        connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this, [this, spin] { OnEdited(spin); });
    };
    connectSpin(m_ui->questionsSpin);
    connectSpin(m_ui->timeoutSpin);

    if (pitched) {
        rangePicker = new KeyRangePicker(m_ui->rangeGroup);
        rangePicker->setAccessibleName(tr("Range of keys"));
        auto* layout = static_cast<QVBoxLayout*>(m_ui->rangeGroup->layout());
        layout->replaceWidget(m_ui->rangePickerPlace, rangePicker);
        delete m_ui->rangePickerPlace;
        m_ui->rangePickerPlace = nullptr;
        // A short window scrolls the tab rather than squeeze the staff.
        rangePicker->setMinimumHeight(rangePicker->sizeHint().height());
        connect(rangePicker, &KeyRangePicker::rangePicked, this, [this] { OnEdited(rangePicker); });
        // A clef stays on: a question must be written on some staff.
        auto* clefs = new CheckGroup(this);
        clefs->AddMember(m_ui->gClef);
        clefs->AddMember(m_ui->fClef);
        checkGroups.append(clefs);
    }
    // After the clef group's own handler, so that a change is read once the group has kept a
    // clef on.
    for (QCheckBox* box :
         {m_ui->whiteKeys, m_ui->blackKeys, m_ui->gClef, m_ui->fClef, m_ui->intervalArpeggiated})
        connect(box, &QCheckBox::clicked, this, [this, box] { OnEdited(box); });
    if (kind == SectionKind::Intervals) {
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
                    [this, combo] { OnEdited(combo); });
        }
    }
    BuildSwitchGroups();
    for (CheckGroup* group : checkGroups)
        connect(group, &CheckGroup::lastMemberKept, this, [this](QCheckBox* box) {
            const QGroupBox* owner = GroupOf(box);
            lastEdited = box;
            ShowRefusal(tr("At least one of \u201C%1\u201D stays on, or there would be nothing to ask.")
                            .arg(owner ? owner->title() : box->text()));
        });
    static_cast<QVBoxLayout*>(m_ui->rightColumn)->addStretch(1);

    // Numbers and lists change under the wheel only once the student has chosen them: a wheel
    // turned to scroll the tab must not change a setting on its way.
    QList<QWidget*> wheelGuarded{m_ui->questionsSpin, m_ui->timeoutSpin, m_ui->intervalStart,
                                 m_ui->intervalEnd};
    if (rangePicker)
        for (QComboBox* list : rangePicker->findChildren<QComboBox*>())
            wheelGuarded << list;
    for (QWidget* control : wheelGuarded) {
        control->setFocusPolicy(Qt::StrongFocus);
        control->installEventFilter(this);
    }

    // Tab follows the page from top to bottom: the range picker stands above the key colours.
    if (rangePicker) {
        QWidget* previous = m_ui->timeoutSpin;
        // The lists' pop-ups are windows of their own and take no part in the chain.
        for (QWidget* control : rangePicker->findChildren<QWidget*>())
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
    return QWidget::eventFilter(watched, event);
}

SectionSettingsTab::~SectionSettingsTab() = default;

QString SectionSettingsTab::Title() const
{
    if (section < 0 || section >= Core::TrainerSectionCount(trainer))
        return QString();
    return tr(sectionTitles[trainer][section]);
}

QWidget* SectionSettingsTab::AddSwitchGroup(const QString& title, const std::vector<int>& indices,
                                            bool atLeastOne, int columns)
{
    auto* group = new QGroupBox(title, m_ui->content);
    group->setProperty("card", true);
    group->setAccessibleName(title);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(20, 46, 20, 16);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(10);
    CheckGroup* members = atLeastOne ? new CheckGroup(this) : nullptr;
    for (size_t i = 0; i < indices.size(); ++i) {
        QCheckBox* box = MakeSwitchBox(indices[i]);
        box->setParent(group);
        grid->addWidget(box, int(i) / columns, int(i) % columns);
        // The group hears of a click first and may check the box again before it is read.
        if (members)
            members->AddMember(box);
        connect(box, &QCheckBox::clicked, this, [this, box] { OnEdited(box); });
    }
    if (members)
        checkGroups.append(members);
    m_ui->rightColumn->addWidget(group);
    return group;
}

QCheckBox* SectionSettingsTab::MakeSwitchBox(int index)
{
    auto* box = new QCheckBox(this);
    if (size_t(index) >= switchBoxes.size())
        switchBoxes.resize(size_t(index) + 1, nullptr);
    switchBoxes[size_t(index)] = box;
    return box;
}

void SectionSettingsTab::BuildSwitchGroups()
{
    auto range = [](int from, int to) {
        std::vector<int> v;
        for (int i = from; i < to; ++i)
            v.push_back(i);
        return v;
    };
    auto withPicture = [](QCheckBox* box, const QString& picture) {
        box->setProperty("picture", true);
        box->setIcon(QIcon(picture));
        box->setIconSize(pictureSize);
    };
    switch (kind) {
    case SectionKind::Chords: {
        AddSwitchGroup(tr("Chord types"), range(0, Core::ChordTypeCount), true, 2);
        for (int type = 0; type < Core::ChordTypeCount; ++type) {
            QCheckBox* box = switchBoxes[size_t(type)];
            box->setText(tr(chordNames[type]));
            box->setToolTip(tr("Written as C%1").arg(Core::MusicTables::ChordSuffix(type)));
        }
        const int first = int(Core::ChordSwitch::FirstInversion),
                  second = int(Core::ChordSwitch::SecondInversion);
        QWidget* inversions = AddSwitchGroup(tr("Inversions"), {first, second}, false, 1);
        auto* root = new QCheckBox(tr("Root position (always asked)"), inversions);
        root->setChecked(true);
        root->setEnabled(false);
        static_cast<QGridLayout*>(inversions->layout())->addWidget(root, 2, 0);
        switchBoxes[size_t(first)]->setText(tr("First inversion"));
        switchBoxes[size_t(second)]->setText(tr("Second inversion"));
        std::vector<int> playing{int(Core::ChordSwitch::Arpeggiated)};
        // Chord symbols are a way of writing the question, so only the note trainer has them.
        if (trainer == Core::NoteTrainerIndex)
            playing.push_back(int(Core::ChordSwitch::ChordNotation));
        AddSwitchGroup(tr("Playing and writing"), playing, false, 1);
        QCheckBox* arpeggiated = switchBoxes[size_t(Core::ChordSwitch::Arpeggiated)];
        arpeggiated->setText(tr("Arpeggiated"));
        arpeggiated->setToolTip(tr("The chord's notes are played one after the other"));
        if (trainer == Core::NoteTrainerIndex) {
            QCheckBox* notation = switchBoxes[size_t(Core::ChordSwitch::ChordNotation)];
            notation->setText(tr("Chord symbols (play Cmaj7 from its name)"));
            notation->setToolTip(tr("Questions show a chord symbol, and the chord is played on the keys"));
        }
        break;
    }
    case SectionKind::Scales: {
        AddSwitchGroup(tr("Scales"), range(0, Core::MusicTables::ScaleCount), true, 2);
        for (int index = 0; index < Core::MusicTables::ScaleCount; ++index)
            switchBoxes[size_t(index)]->setText(Core::MusicTables::ScaleName(ScaleOfSwitch(index)));
        const int up = int(Core::ScaleSwitch::Ascending), down = int(Core::ScaleSwitch::Descending);
        AddSwitchGroup(tr("Direction"), {up, down}, true, 2);
        switchBoxes[size_t(up)]->setText(tr("Ascending"));
        switchBoxes[size_t(down)]->setText(tr("Descending"));
        const int modes = int(Core::ScaleSwitch::ApplyDifferentScaleModes);
        AddSwitchGroup(tr("Modes"), {modes}, false, 1);
        switchBoxes[size_t(modes)]->setText(tr("Apply different scale modes"));
        break;
    }
    case SectionKind::Tempo: {
        // Slowest first; Prestissimo, which no piece is played in, last.
        std::vector<int> order = range(0, int(Core::TempoSettings::Size));
        auto speed = [](int index) {
            const int tempo = TempoOfSwitch(index);
            return tempo < 0 ? std::numeric_limits<int>::max() : Core::MusicTables::TempoNumbers(tempo)[0];
        };
        std::stable_sort(order.begin(), order.end(), [&speed](int a, int b) { return speed(a) < speed(b); });
        AddSwitchGroup(tr("Tempo markings"), order, true, 2);
        for (int index = 0; index < int(Core::TempoSettings::Size); ++index) {
            QCheckBox* box = switchBoxes[size_t(index)];
            const int tempo = TempoOfSwitch(index);
            if (tempo < 0) {
                // No piece is played at this speed; it is kept for the difficulty levels.
                box->setText(tr("Prestissimo (no pieces)"));
                box->setToolTip(tr("No piece is played in Prestissimo: it asks nothing by itself"));
                continue;
            }
            box->setText(Core::MusicTables::TempoName(tempo));
            box->setToolTip(Core::MusicTables::TempoDescription(tempo).simplified());
            withPicture(box, Core::MusicTables::TempoPicture(tempo));
        }
        break;
    }
    case SectionKind::Lengths:
    case SectionKind::Signatures:
    case SectionKind::Loudness:
    case SectionKind::Modifiers: {
        static const char* const titles[] = {QT_TR_NOOP("Note lengths"), QT_TR_NOOP("Key signatures"),
                                             nullptr, QT_TR_NOOP("Loudness marks"),
                                             QT_TR_NOOP("Note modifiers")};
        const int count = kind == SectionKind::Lengths      ? int(Core::LengthSwitch::Rests)
                          : kind == SectionKind::Signatures ? int(Core::KeySignaturesSettings::Size)
                          : kind == SectionKind::Loudness   ? int(Core::LoudnessSettings::Size)
                                                            : int(Core::NoteModifiersSettings::Size);
        // In the order the lesson's table has them (key signatures round the circle of fifths).
        std::vector<std::vector<int>> rows(static_cast<size_t>(count), std::vector<int>());
        std::vector<int> order;
        for (int index = 0; index < count; ++index) {
            rows[size_t(index)] = SymbolRows(section, index);
            if (!rows[size_t(index)].empty())
                order.push_back(index);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&rows](int a, int b) { return rows[size_t(a)].front() < rows[size_t(b)].front(); });
        AddSwitchGroup(tr(titles[section]), order, true, kind == SectionKind::Modifiers ? 4 : 3);
        const auto& table = Core::ExerciseSymbolTrainer::ItemTable(section);
        for (int index : order) {
            QStringList names;
            for (int row : rows[size_t(index)])
                names << table[size_t(row)]->caption2.simplified();
            QCheckBox* box = switchBoxes[size_t(index)];
            box->setText(names.join(QStringLiteral(" \u00B7 ")));
            withPicture(box, table[size_t(rows[size_t(index)].front())]->caption);
        }
        if (kind == SectionKind::Lengths) {
            const int rests = int(Core::LengthSwitch::Rests);
            AddSwitchGroup(tr("Rests"), {rests}, false, 1);
            QCheckBox* box = switchBoxes[size_t(rests)];
            box->setText(tr("Rests of these lengths too"));
            // The rest of the first length: the row after its note.
            withPicture(box, table[size_t(int(Core::LengthSwitch::Quarter) * 2 + 1)]->caption);
        }
        break;
    }
    default:
        break;
    }
    for (QCheckBox* box : switchBoxes)
        if (box && box->accessibleName().isEmpty())
            box->setAccessibleName(box->text());
}

QCheckBox* SectionSettingsTab::SwitchBox(int index) const
{
    return index >= 0 && size_t(index) < switchBoxes.size() ? switchBoxes[size_t(index)] : nullptr;
}

void SectionSettingsTab::Data2Gui(const Core::TrainerSettings& shown)
{
    Core::TrainerSettings block = shown;
    const Records r = RecordsOf(block, trainer, section);
    if (!r.duration)
        return;
    loading = true;
    m_ui->questionsSpin->setValue(r.duration->questions);
    m_ui->timeoutSpin->setValue(r.duration->seconds);
    if (r.diapason) {
        rangePicker->SetRange(r.diapason->minimum, r.diapason->maximum);
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
        if (QCheckBox* box = SwitchBox(i))
            box->setChecked(r.switches[i]);
    loading = false;
}

void SectionSettingsTab::Gui2Data(Core::TrainerSettings& block) const
{
    const Records r = RecordsOf(block, trainer, section);
    if (!r.duration)
        return;
    r.duration->questions = m_ui->questionsSpin->value();
    r.duration->seconds = m_ui->timeoutSpin->value();
    if (r.diapason) {
        r.diapason->minimum = rangePicker->Minimum();
        r.diapason->maximum = rangePicker->Maximum();
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
        if (QCheckBox* box = SwitchBox(i))
            r.switches[i] = box->isChecked();
}

void SectionSettingsTab::OnEdited(QWidget* control)
{
    if (loading)
        return;
    lastEdited = control;
    emit edited();
}

void SectionSettingsTab::ShowRefusal(const QString& text)
{
    QLabel* label = m_ui->refusal;
    if (text.isEmpty()) {
        label->hide();
        label->clear();
        return;
    }
    // Under the group of the control that was changed, so the message is read where the eye is.
    QGroupBox* group = GroupOf(lastEdited);
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

QString SectionSettingsTab::Refusal() const
{
    return m_ui->refusal->isVisible() || !m_ui->refusal->isHidden() ? m_ui->refusal->text() : QString();
}

} // namespace UI

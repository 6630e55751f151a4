// The switch groups of a section's tab, of each kind of section: the chord types, inversions and
// playing of the chords, the scales with their directions and modes, the tempo markings, and the
// music symbols with their pictures, in the order the lessons know them.

#include "ui/settings/section_settings_tab.h"

#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_validators.h"
#include "ui/settings/check_group.h"
#include "ui/settings/section_record.h"
#include "ui_section_settings_tab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>

#include <algorithm>
#include <limits>

namespace UI {
namespace {

using Core::SectionKind;

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

// The pictures of the symbol switches are cards of 8 by 5.
const QSize pictureSize(64, 40);

// A record of the section's kind with only switch `index` on, over the whole keyboard.
Core::TrainerSettings onlySwitch(int trainer, int section, int index)
{
    Core::TrainerSettings block;
    SectionRecord r = SectionRecord::of(block, trainer, section);
    std::fill(r.switches, r.switches + r.switchCount, false);
    r.switches[index] = true;
    return block;
}

// The rows of the symbol trainer's item table that switch `index` alone lets a lesson ask.
std::vector<int> symbolRows(int section, int index)
{
    const Core::TrainerSettings block = onlySwitch(Core::SymbolTrainerIndex, section, index);
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
int tempoOfSwitch(int index)
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
int scaleOfSwitch(int index)
{
    Core::ScalesSettings scales;
    scales.SetAll(false);
    scales.switches[size_t(index)] = true;
    for (int s = 0; s < Core::MusicTables::ScaleCount; ++s)
        if (Core::ValidateScaleQuestion(unsigned(s * Core::MusicTables::ScaleRootCount + 39), &scales))
            return s;
    return -1;
}

} // namespace

QWidget* SectionSettingsTab::addSwitchGroup(const QString& title, const std::vector<int>& indices,
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
        QCheckBox* box = makeSwitchBox(indices[i]);
        box->setParent(group);
        grid->addWidget(box, int(i) / columns, int(i) % columns);
        // The group hears of a click first and may check the box again before it is read.
        if (members)
            members->addMember(box);
        connect(box, &QCheckBox::clicked, this, [this, box] { onEdited(box); });
    }
    if (members)
        m_checkGroups.append(members);
    m_ui->rightColumn->addWidget(group);
    return group;
}

QCheckBox* SectionSettingsTab::makeSwitchBox(int index)
{
    auto* box = new QCheckBox(this);
    // Named after its place in the section's record, the same on every trainer's tab.
    box->setObjectName(QStringLiteral("switch%1").arg(index));
    if (size_t(index) >= m_switchBoxes.size())
        m_switchBoxes.resize(size_t(index) + 1, nullptr);
    m_switchBoxes[size_t(index)] = box;
    return box;
}

void SectionSettingsTab::buildSwitchGroups()
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
    switch (m_kind) {
    case SectionKind::Chords: {
        addSwitchGroup(tr("Chord types"), range(0, Core::ChordTypeCount), true, 2);
        for (int type = 0; type < Core::ChordTypeCount; ++type) {
            QCheckBox* box = m_switchBoxes[size_t(type)];
            box->setText(tr(chordNames[type]));
            box->setToolTip(
                tr("Written as %1")
                    .arg(Core::MusicTables::NoteName(0, false) + Core::MusicTables::ChordSuffix(type)));
        }
        const int first = int(Core::ChordSwitch::FirstInversion),
                  second = int(Core::ChordSwitch::SecondInversion);
        QWidget* inversions = addSwitchGroup(tr("Inversions"), {first, second}, false, 1);
        auto* root = new QCheckBox(tr("Root position (always asked)"), inversions);
        root->setChecked(true);
        root->setEnabled(false);
        static_cast<QGridLayout*>(inversions->layout())->addWidget(root, 2, 0);
        m_switchBoxes[size_t(first)]->setText(tr("First inversion"));
        m_switchBoxes[size_t(second)]->setText(tr("Second inversion"));
        std::vector<int> playing{int(Core::ChordSwitch::Arpeggiated)};
        // Chord symbols are a way of writing the question, so only the note trainer has them.
        if (m_trainer == Core::NoteTrainerIndex)
            playing.push_back(int(Core::ChordSwitch::ChordNotation));
        addSwitchGroup(tr("Playing and writing"), playing, false, 1);
        QCheckBox* arpeggiated = m_switchBoxes[size_t(Core::ChordSwitch::Arpeggiated)];
        arpeggiated->setText(tr("Arpeggiated"));
        arpeggiated->setToolTip(tr("The chord's notes are played one after the other"));
        if (m_trainer == Core::NoteTrainerIndex) {
            QCheckBox* notation = m_switchBoxes[size_t(Core::ChordSwitch::ChordNotation)];
            notation->setText(tr("Chord symbols (play Cmaj7 from its name)"));
            notation->setToolTip(tr("Questions show a chord symbol, and the chord is played on the keys"));
        }
        break;
    }
    case SectionKind::Scales: {
        addSwitchGroup(tr("Scales"), range(0, Core::MusicTables::ScaleCount), true, 2);
        for (int index = 0; index < Core::MusicTables::ScaleCount; ++index)
            m_switchBoxes[size_t(index)]->setText(Core::MusicTables::ScaleName(scaleOfSwitch(index)));
        const int up = int(Core::ScaleSwitch::Ascending), down = int(Core::ScaleSwitch::Descending);
        addSwitchGroup(tr("Direction"), {up, down}, true, 2);
        m_switchBoxes[size_t(up)]->setText(tr("Ascending"));
        m_switchBoxes[size_t(down)]->setText(tr("Descending"));
        const int modes = int(Core::ScaleSwitch::ApplyDifferentScaleModes);
        addSwitchGroup(tr("Modes"), {modes}, false, 1);
        m_switchBoxes[size_t(modes)]->setText(tr("Apply different scale modes"));
        break;
    }
    case SectionKind::Tempo: {
        // Slowest first; Prestissimo, which no piece is played in, last.
        std::vector<int> order = range(0, int(Core::TempoSettings::Size));
        auto speed = [](int index) {
            const int tempo = tempoOfSwitch(index);
            return tempo < 0 ? std::numeric_limits<int>::max() : Core::MusicTables::TempoNumbers(tempo)[0];
        };
        std::stable_sort(order.begin(), order.end(), [&speed](int a, int b) { return speed(a) < speed(b); });
        addSwitchGroup(tr("Tempo markings"), order, true, 2);
        for (int index = 0; index < int(Core::TempoSettings::Size); ++index) {
            QCheckBox* box = m_switchBoxes[size_t(index)];
            const int tempo = tempoOfSwitch(index);
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
        const int count = m_kind == SectionKind::Lengths      ? int(Core::LengthSwitch::Rests)
                          : m_kind == SectionKind::Signatures ? int(Core::KeySignaturesSettings::Size)
                          : m_kind == SectionKind::Loudness   ? int(Core::LoudnessSettings::Size)
                                                              : int(Core::NoteModifiersSettings::Size);
        // In the order the lesson's table has them (key signatures round the circle of fifths).
        std::vector<std::vector<int>> rows(static_cast<size_t>(count), std::vector<int>());
        std::vector<int> order;
        for (int index = 0; index < count; ++index) {
            rows[size_t(index)] = symbolRows(m_section, index);
            if (!rows[size_t(index)].empty())
                order.push_back(index);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&rows](int a, int b) { return rows[size_t(a)].front() < rows[size_t(b)].front(); });
        addSwitchGroup(tr(titles[m_section]), order, true, m_kind == SectionKind::Modifiers ? 4 : 3);
        const auto& table = Core::ExerciseSymbolTrainer::ItemTable(m_section);
        for (int index : order) {
            QStringList names;
            for (int row : rows[size_t(index)])
                names << table[size_t(row)]->caption2.simplified();
            QCheckBox* box = m_switchBoxes[size_t(index)];
            box->setText(names.join(QStringLiteral(" \u00B7 ")));
            withPicture(box, table[size_t(rows[size_t(index)].front())]->caption);
        }
        if (m_kind == SectionKind::Lengths) {
            const int rests = int(Core::LengthSwitch::Rests);
            addSwitchGroup(tr("Rests"), {rests}, false, 1);
            QCheckBox* box = m_switchBoxes[size_t(rests)];
            box->setText(tr("Rests of these lengths too"));
            // The rest of the first length: the row after its note.
            withPicture(box, table[size_t(int(Core::LengthSwitch::Quarter) * 2 + 1)]->caption);
        }
        break;
    }
    default:
        break;
    }
    for (QCheckBox* box : m_switchBoxes)
        if (box && box->accessibleName().isEmpty())
            box->setAccessibleName(box->text());
}

QCheckBox* SectionSettingsTab::switchBox(int index) const
{
    return index >= 0 && size_t(index) < m_switchBoxes.size() ? m_switchBoxes[size_t(index)] : nullptr;
}

} // namespace UI

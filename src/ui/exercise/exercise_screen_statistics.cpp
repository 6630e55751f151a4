// The screen's statistics view: per section, one row per asked item with its right and wrong
// answers, from the current run or from the history of all runs; the octave pages picked on the
// keyboard; the extended page of the ear trainer's tempo section. Everything here reads the
// statistics store in memory on the GUI thread; only clearing the history writes its file.
#include "ui/exercise/exercise_screen.h"

#include "ui_exercise_screen.h"

#include "core/error.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_ear_trainer.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/trainer_settings.h"
#include "core/exercise/trainer_support.h"
#include "ui/exercise/statistics_rows.h"

#include <QLoggingCategory>

#include <algorithm>
#include <map>
#include <tuple>

Q_LOGGING_CATEGORY(statisticsViewLog, "cantorela.screen.statistics")

namespace {

using Core::MusicTables;

// A key's octave is its scientific octave number: C4 is middle C (key 39), the octave runs from
// C to B, so A0, A#0 and B0 (keys 0-2) lie in octave 0 and C8 (key 87) alone in octave 8. The
// keyboard's picking mode shades the same octave groups.
int OctaveOfKey(int key)
{
    if (key < 0 || key >= MusicTables::KeyCount)
        return -1;
    return (key + 9) / 12;
}

// The noun a caption uses for a section's items, by the section's name.
QString SectionNoun(const QString& sectionName)
{
    static const char* const nouns[][2] = {
        {"Single Notes", QT_TRANSLATE_NOOP("UI::ExerciseScreen", "notes")},
        {"Intervals", QT_TRANSLATE_NOOP("UI::ExerciseScreen", "intervals")},
        {"Chords", QT_TRANSLATE_NOOP("UI::ExerciseScreen", "chords")},
        {"Scales", QT_TRANSLATE_NOOP("UI::ExerciseScreen", "scales")},
        {"Tempo", QT_TRANSLATE_NOOP("UI::ExerciseScreen", "tempo")},
        {"Note Lengths", QT_TRANSLATE_NOOP("UI::ExerciseScreen", "note lengths")},
        {"Key Signatures", QT_TRANSLATE_NOOP("UI::ExerciseScreen", "key signatures")},
        {"Loudness", QT_TRANSLATE_NOOP("UI::ExerciseScreen", "loudness")},
        {"Note Modifiers", QT_TRANSLATE_NOOP("UI::ExerciseScreen", "note modifiers")},
    };
    for (const auto& noun : nouns)
        if (sectionName == QLatin1String(noun[0]))
            return QCoreApplication::translate("UI::ExerciseScreen", noun[1]);
    return sectionName.toLower();
}

// One line of a tempo marking's description: "Slow & stately (66-76 bpm)".
QString TempoDetail(int tempo)
{
    QString text = Core::TrainerSupport::OneLine(MusicTables::TempoDescription(tempo)).simplified();
    return text.replace(QLatin1String("&&"), QLatin1String("&"));
}

// A row of a page while it is gathered: the item, its place in the page's order and its counts.
struct PageItem
{
    std::tuple<int, int> order;
    int lowestKey = -1;
    UI::StatisticsRows::Item row;
};

} // namespace

namespace UI {

QString ExerciseScreen::SectionShortName(int section) const
{
    if (!m_session)
        return QString();
    const std::vector<Core::Exercise::SectionTitle>& titles = m_lesson.titles;
    return section >= 0 && size_t(section) < titles.size() ? titles[size_t(section)].shortName : QString();
}

void ExerciseScreen::ShowSectionTitle(int section)
{
    if (!m_session)
        return;
    const std::vector<Core::Exercise::SectionTitle>& titles = m_lesson.titles;
    if (section >= 0 && size_t(section) < titles.size())
        m_ui->sectionTitle->setText(titles[size_t(section)].title);
}

bool ExerciseScreen::IsKeyboardSection(int section) const
{
    // Pool entry 0 exists in every pool of keys (the note A0, the first interval, chord, scale).
    return m_session && m_session->questionKey(section, 0) >= 0;
}

bool ExerciseScreen::IsTempoSection(int section) const
{
    return (exerciseId == size_t(Core::EarTrainerIndex) &&
            section == Core::ExerciseEarTrainer::TempoSection) ||
           (exerciseId == size_t(Core::SymbolTrainerIndex) &&
            section == Core::ExerciseSymbolTrainer::TempoSection);
}

bool ExerciseScreen::IsExtendedStatisticsSection(int section) const
{
    return exerciseId == size_t(Core::EarTrainerIndex) && section == Core::ExerciseEarTrainer::TempoSection;
}

int ExerciseScreen::LowestKey(int section, int id) const
{
    const int root = m_session ? m_session->questionKey(section, id) : -1;
    if (root < 0)
        return -1;
    // The note and ear trainers number their sections of keys as the pools are numbered; an
    // inverted chord's lowest note is not its root, so the pool entry's own keys decide.
    using Pool = Core::TrainerSupport::PitchedPool;
    static const Pool pools[] = {Pool::Notes, Pool::Intervals, Pool::Chords, Pool::Scales};
    static_assert(Core::ExerciseNoteTrainer::ChordsSection == 2 &&
                      Core::ExerciseEarTrainer::ScalesSection == 3,
                  "sections of keys follow the pools");
    if (section < 0 || section >= int(std::size(pools)))
        return root;
    const Core::QuestionPool& pool = Core::TrainerSupport::PoolOf(pools[section]);
    if (size_t(id) >= pool.size())
        return root;
    const QVector<int> keys = Core::TrainerSupport::EntryKeys(pool[size_t(id)].get());
    return keys.isEmpty() ? root : keys.first();
}

QString ExerciseScreen::StatisticsCaption(const QString& sectionName, int octave) const
{
    const QString noun = SectionNoun(sectionName);
    if (octave < 0) {
        QString caption = tr("This is your score for %1.").arg(noun);
        if (exerciseId == size_t(Core::NoteTrainerIndex))
            caption += tr("\nFor details, hover over a keyboard note below.");
        return caption;
    }
    return tr("&nbsp;&nbsp;&nbsp;This is your score for all %1 within octave <b style='color:blue; "
              "font-size:18px;'>%2</b><img src=':/PIX/pixmap/pointer.png'/><br>")
        .arg(noun)
        .arg(octave);
}

void ExerciseScreen::SetStatisticsCaption(int section, int octave)
{
    QLabel* caption =
        IsExtendedStatisticsSection(section) ? m_ui->extendedStatisticsCaption : m_ui->statisticsCaption;
    // The plain caption keeps its line break; the octave form is rich text.
    caption->setTextFormat(octave < 0 ? Qt::PlainText : Qt::RichText);
    caption->setText(StatisticsCaption(SectionShortName(section), octave));
}

void ExerciseScreen::SetHistoryButtons(int sectionRecords)
{
    const bool history = m_session && m_session->isShowingHistory();
    const QString toggle = !history   ? tr("View History")
                           : quizMode ? tr("View quiz statistics")
                                      : tr("View lesson statistics");
    m_ui->viewHistory->setText(toggle);
    m_ui->viewHistory->setAccessibleName(toggle);
    m_ui->clearHistory->setText(history ? tr("Clear History") : QString());
    m_ui->clearHistory->setEnabled(history && (quizMode || sectionRecords > 0));
}

int ExerciseScreen::BuildStatisticsPage(int section)
{
    const bool extended = IsExtendedStatisticsSection(section);
    StatisticsRows* page = extended ? m_ui->extendedStatisticsRows : m_ui->statisticsRows;
    std::vector<Core::StatisticsRecord> records;
    if (m_session)
        m_session->sectionStatistics(section, records);

    // One row per item: records of the same item (a file may hold several) are added up, and the
    // pieces of a tempo count for their tempo marking.
    const bool tempo = IsTempoSection(section);
    const bool keys = !tempo && IsKeyboardSection(section);
    std::map<int, PageItem> items;
    auto itemOf = [&](int id) -> PageItem* {
        const int key = tempo ? id / MusicTables::PiecesPerTempo : id;
        auto found = items.find(key);
        if (found != items.end())
            return &found->second;
        PageItem item;
        item.row.name = m_session->questionLabel(section, id);
        // An id the trainer does not know (a damaged file) has no name and no row.
        if (item.row.name.isEmpty())
            return nullptr;
        if (tempo) {
            // Slowest first.
            item.order = {MusicTables::TempoNumbers(key)[0], key};
            if (extended)
                item.row.detail = TempoDetail(key);
        } else if (keys) {
            item.lowestKey = LowestKey(section, id);
            if (item.lowestKey < 0)
                return nullptr;
            // By pitch: the lowest note, then the trainer's own order.
            item.order = {item.lowestKey, id};
        } else {
            item.order = {0, id};
        }
        return &items.emplace(key, item).first->second;
    };
    if (m_session) {
        for (const Core::StatisticsRecord& record : records) {
            if (PageItem* item = itemOf(record.id)) {
                item->row.wrong += record.wrong;
                item->row.right += record.correct;
            }
        }
        // The extended page has a bar for every tempo marking the section asks, asked yet or not.
        if (extended) {
            for (int id : m_session->choiceIds(section))
                itemOf(id);
        }
    }

    std::vector<const PageItem*> ordered;
    ordered.reserve(items.size());
    for (const auto& entry : items)
        if (statisticsOctave < 0 || !keys || OctaveOfKey(entry.second.lowestKey) == statisticsOctave)
            ordered.push_back(&entry.second);
    std::sort(ordered.begin(), ordered.end(),
              [](const PageItem* a, const PageItem* b) { return a->order < b->order; });
    std::vector<StatisticsRows::Item> rows;
    rows.reserve(ordered.size());
    for (const PageItem* item : ordered)
        rows.push_back(item->row);
    page->SetEmptyText(statisticsOctave >= 0 && keys ? tr("Nothing answered within this octave yet.")
                                                     : tr("Nothing answered in this section yet."));
    page->SetItems(rows);
    return int(records.size());
}

void ExerciseScreen::ShowStatisticsPage()
{
    const int records = BuildStatisticsPage(statisticsSection);
    SetHistoryButtons(records);
    SetStatisticsCaption(statisticsSection, statisticsOctave);
    ShowSectionTitle(statisticsSection);
}

void ExerciseScreen::PlaceHistoryBar(bool extended)
{
    // One pair of history buttons serves both pages: it goes with the page in view.
    QVBoxLayout* target = extended ? m_ui->extendedStatisticsPaneLayout : m_ui->statisticsPaneLayout;
    if (target->indexOf(m_ui->historyBar) >= 0)
        return;
    target->addWidget(m_ui->historyBar);
    m_ui->historyBar->show();
}

void ExerciseScreen::SwitchToStatSection(int s)
{
    if (viewMode != StatisticsView || s < 0 || s >= SectionCount)
        return;
    HighlightSectionButton(s);
    statisticsSection = s;
    statisticsOctave = -1;
    ShowStatisticsPage();
    // The ear trainer's tempo section has the extended page, without the keyboard.
    const bool extended = IsExtendedStatisticsSection(s);
    PlaceHistoryBar(extended);
    KeepInputRoom(!extended);
    if (extended != extendedStatistics) {
        if (extended)
            emit statisticsToExtendedStatisticsTrans();
        else
            emit extendedStatisticsToStatisticsTrans();
        extendedStatistics = extended;
        if (!viewMachine)
            PlacePanesForView();
    }
}

void ExerciseScreen::onStatisticsGkcHover(int key)
{
    // Only the plain page of a section of keys has octave pages; moving within one octave
    // changes nothing.
    if (viewMode != StatisticsView || extendedStatistics || !IsKeyboardSection(statisticsSection))
        return;
    const int octave = OctaveOfKey(key);
    if (octave == statisticsOctave)
        return;
    statisticsOctave = octave;
    BuildStatisticsPage(statisticsSection);
    SetStatisticsCaption(statisticsSection, statisticsOctave);
}

void ExerciseScreen::toggleStatistics()
{
    if (!m_session)
        return;
    m_session->setShowHistory(!m_session->isShowingHistory());
    ShowStatisticsPage();
}

void ExerciseScreen::clearStatisticsHistory()
{
    if (!m_session)
        return;
    // Never throws: a file that cannot be written is said in the window and written later.
    m_session->clearHistory();
    ShowStatisticsPage();
    m_ui->clearHistory->setEnabled(false);
}

} // namespace UI

// Everything here reads the statistics store in memory on the GUI thread; only clearing the
// history writes its file. The answer log is asked on its own thread (ConfusionList,
// ProgressChart, the worksheet's items), and its answers come back through the event queue.
#include "ui/exercise/statistics_pane.h"

#include "core/exercise/exercise.h"
#include "core/exercise/exercise_ear_trainer.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/lesson_session.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/trainer_settings.h"
#include "core/exercise/trainer_support.h"
#include "ui/exercise/confusion_list.h"
#include "ui/exercise/progress_chart.h"
#include "ui/exercise/statistics_rows.h"
#include "ui/exercise/worksheet.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <tuple>

namespace {

using Core::MusicTables;

// The noun a caption uses for a section's items, by trainer and section: the sections' names
// are translated, so they cannot tell which section it is. Null for a section the trainer lacks.
const char* SectionNoun(size_t exerciseId, int section)
{
    const char* const notes = QT_TRANSLATE_NOOP("UI::StatisticsPane", "notes");
    const char* const intervals = QT_TRANSLATE_NOOP("UI::StatisticsPane", "intervals");
    const char* const chords = QT_TRANSLATE_NOOP("UI::StatisticsPane", "chords");
    const char* const tempo = QT_TRANSLATE_NOOP("UI::StatisticsPane", "tempo");
    const char* const nouns[3][5] = {
        {notes, intervals, chords, nullptr, nullptr},
        {notes, intervals, chords, QT_TRANSLATE_NOOP("UI::StatisticsPane", "scales"), tempo},
        {QT_TRANSLATE_NOOP("UI::StatisticsPane", "note lengths"),
         QT_TRANSLATE_NOOP("UI::StatisticsPane", "key signatures"), tempo,
         QT_TRANSLATE_NOOP("UI::StatisticsPane", "loudness"),
         QT_TRANSLATE_NOOP("UI::StatisticsPane", "note modifiers")},
    };
    static_assert(Core::NoteTrainerIndex == 0 && Core::EarTrainerIndex == 1 && Core::SymbolTrainerIndex == 2,
                  "the nouns are listed by trainer");
    static_assert(Core::ExerciseEarTrainer::ScalesSection == 3 &&
                      Core::ExerciseEarTrainer::TempoSection == 4 &&
                      Core::ExerciseSymbolTrainer::LengthsSection == 0 &&
                      Core::ExerciseSymbolTrainer::SignaturesSection == 1 &&
                      Core::ExerciseSymbolTrainer::TempoSection == 2 &&
                      Core::ExerciseSymbolTrainer::LoudnessSection == 3 &&
                      Core::ExerciseSymbolTrainer::ModifiersSection == 4,
                  "the nouns are listed by section");
    if (exerciseId >= 3 || section < 0 || section >= 5)
        return nullptr;
    return nouns[exerciseId][section];
}

// One line of a tempo marking's description: "Slow & stately (66-76 bpm)".
QString TempoDetail(int tempo)
{
    QString text = Core::TrainerSupport::OneLine(MusicTables::TempoDescription(tempo)).simplified();
    return text.replace(QLatin1String("&&"), QLatin1String("&"));
}

// The layout under `layout` that holds `widget` itself, or null.
QBoxLayout* LayoutHolding(QLayout* layout, QWidget* widget)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget)
            return qobject_cast<QBoxLayout*>(layout);
        if (QLayout* inner = item->layout())
            if (QBoxLayout* found = LayoutHolding(inner, widget))
                return found;
    }
    return nullptr;
}

// The column of mistakes and progress: never narrower than its texts need at 1366 pixels, never
// so wide on a large screen that the chart's days lie far apart.
constexpr int insightMinimumWidth = 380;
constexpr int insightMaximumWidth = 660;

// A row of a page while it is gathered: the item, its place in the page's order and its counts.
struct PageItem
{
    std::tuple<int, int> order;
    int lowestKey = -1;
    UI::StatisticsRows::Item row;
};

} // namespace

namespace UI {

StatisticsPane::StatisticsPane(const Widgets& widgets, QObject* parent)
    : QObject(parent), m_widgets(widgets)
{
    connect(m_widgets.viewHistory, &QPushButton::released, this, &StatisticsPane::toggleHistory);
    connect(m_widgets.clearHistory, &QPushButton::released, this, &StatisticsPane::clearHistory);

    m_insight = new QTabWidget(m_widgets.rows->parentWidget());
    m_insight->setObjectName(QStringLiteral("statisticsInsight"));
    m_insight->setAccessibleName(tr("Mistakes and progress"));
    // The frame around the tabs is no control; its tab bar is, and Tab reaches it.
    m_insight->setFocusPolicy(Qt::NoFocus);
    m_insight->tabBar()->setFocusPolicy(Qt::TabFocus);
    m_insight->setDocumentMode(true);
    m_insight->setMinimumWidth(insightMinimumWidth);
    m_insight->setMaximumWidth(insightMaximumWidth);
    m_insight->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_confusions = new ConfusionList;
    m_progress = new ProgressChart;
    m_insight->addTab(m_confusions, tr("Common mistakes"));
    m_insight->addTab(m_progress, tr("Progress"));
    connect(m_confusions, &ConfusionList::presentRequested, this, &StatisticsPane::presentPair);

    // At the right end of the history bar: one button, its menu the two destinations.
    m_printWorksheet = new QPushButton(tr("Print worksheet"), m_widgets.historyBar);
    m_printWorksheet->setObjectName(QStringLiteral("printWorksheet"));
    m_printWorksheet->setAccessibleName(tr("Print worksheet"));
    m_printWorksheet->setToolTip(tr("A worksheet of the items of this section you find hardest, with an answer key"));
    m_printWorksheet->setFocusPolicy(Qt::TabFocus);
    auto* menu = new QMenu(m_printWorksheet);
    menu->setObjectName(QStringLiteral("printWorksheetMenu"));
    QAction* print = menu->addAction(tr("Print…"), this, [this] { printWorksheet(WorksheetDestination::Printer); });
    print->setObjectName(QStringLiteral("printWorksheetPrint"));
    QAction* pdf = menu->addAction(tr("Save as PDF…"), this, [this] { printWorksheet(WorksheetDestination::PdfFile); });
    pdf->setObjectName(QStringLiteral("printWorksheetPdf"));
    m_printWorksheet->setMenu(menu);
    if (QLayout* bar = m_widgets.historyBar->layout())
        bar->addWidget(m_printWorksheet);
    placeHistoryBar(false);
}

void StatisticsPane::setLesson(Core::LessonSession* session, size_t exerciseId, bool quizMode)
{
    m_session = session;
    m_exerciseId = exerciseId;
    m_quizMode = quizMode;
}

int StatisticsPane::octaveOfKey(int key)
{
    // The octave runs from C to B, so C8 (key 87) lies alone in octave 8. The keyboard's picking
    // mode shades the same octave groups.
    if (key < 0 || key >= MusicTables::KeyCount)
        return -1;
    return (key + 9) / 12;
}

bool StatisticsPane::isKeyboardSection(int section) const
{
    // Pool entry 0 exists in every pool of keys (the note A0, the first interval, chord, scale).
    return m_session && m_session->questionKey(section, 0) >= 0;
}

bool StatisticsPane::isTempoSection(int section) const
{
    return (m_exerciseId == size_t(Core::EarTrainerIndex) &&
            section == Core::ExerciseEarTrainer::TempoSection) ||
           (m_exerciseId == size_t(Core::SymbolTrainerIndex) &&
            section == Core::ExerciseSymbolTrainer::TempoSection);
}

bool StatisticsPane::isExtendedSection(int section) const
{
    // The page without the keyboard: a section of items that are not keys has no octave pages.
    return (m_exerciseId == size_t(Core::EarTrainerIndex) && section == Core::ExerciseEarTrainer::TempoSection) ||
           !isKeyboardSection(section);
}

int StatisticsPane::lowestKey(int section, int id) const
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

QString StatisticsPane::sectionShortName(int section) const
{
    if (!m_session)
        return QString();
    return m_sectionNames.value(section);
}

QString StatisticsPane::caption(int section, int octave) const
{
    const char* const known = SectionNoun(m_exerciseId, section);
    const QString noun = known ? tr(known) : sectionShortName(section).toLower();
    if (octave < 0) {
        QString text = tr("This is your score for %1.").arg(noun);
        if (m_exerciseId == size_t(Core::NoteTrainerIndex))
            text += tr("\nFor details, hover over a keyboard note below.");
        return text;
    }
    return tr("&nbsp;&nbsp;&nbsp;This is your score for all %1 within octave <b style='color:blue; "
              "font-size:18px;'>%2</b><img src=':/PIX/pixmap/pointer.png'/><br>")
        .arg(noun)
        .arg(octave);
}

void StatisticsPane::setCaption(int section, int octave)
{
    QLabel* label = isExtendedSection(section) ? m_widgets.extendedCaption : m_widgets.caption;
    // The plain caption keeps its line break; the octave form is rich text.
    label->setTextFormat(octave < 0 ? Qt::PlainText : Qt::RichText);
    label->setText(caption(section, octave));
}

void StatisticsPane::setHistoryButtons(int sectionRecords)
{
    const bool history = m_session && m_session->isShowingHistory();
    const QString toggle = !history     ? tr("View History")
                           : m_quizMode ? tr("View quiz statistics")
                                        : tr("View lesson statistics");
    m_widgets.viewHistory->setText(toggle);
    m_widgets.viewHistory->setAccessibleName(toggle);
    m_widgets.clearHistory->setText(history ? tr("Clear History") : QString());
    // Only the history has anything to clear.
    m_widgets.clearHistory->setVisible(history);
    m_widgets.clearHistory->setEnabled(history && (m_quizMode || sectionRecords > 0));
}

int StatisticsPane::buildRows(int section)
{
    const bool extended = isExtendedSection(section);
    StatisticsRows* page = extended ? m_widgets.extendedRows : m_widgets.rows;
    std::vector<Core::StatisticsRecord> records;
    if (m_session)
        m_session->sectionStatistics(section, records);

    // One row per item: records of the same item (a file may hold several) are added up, and the
    // pieces of a tempo count for their tempo marking.
    const bool tempo = isTempoSection(section);
    const bool keys = !tempo && isKeyboardSection(section);
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
            item.lowestKey = lowestKey(section, id);
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
        if (extended && tempo) {
            for (int id : m_session->choiceIds(section))
                itemOf(id);
        }
    }

    std::vector<const PageItem*> ordered;
    ordered.reserve(items.size());
    for (const auto& entry : items)
        if (m_octave < 0 || !keys || octaveOfKey(entry.second.lowestKey) == m_octave)
            ordered.push_back(&entry.second);
    std::sort(ordered.begin(), ordered.end(),
              [](const PageItem* a, const PageItem* b) { return a->order < b->order; });
    std::vector<StatisticsRows::Item> rows;
    rows.reserve(ordered.size());
    for (const PageItem* item : ordered)
        rows.push_back(item->row);
    page->setEmptyText(m_octave >= 0 && keys ? tr("Nothing answered within this octave yet.")
                                             : tr("Nothing answered in this section yet."));
    page->setItems(rows);
    return int(records.size());
}

void StatisticsPane::showSection(int section)
{
    m_section = section;
    m_octave = -1;
    refresh();
}

void StatisticsPane::refresh()
{
    const int records = buildRows(m_section);
    setHistoryButtons(records);
    setCaption(m_section, m_octave);
    refreshInsight();
}

void StatisticsPane::refreshInsight()
{
    std::shared_ptr<Core::AnswerLog> log = m_session ? m_session->answerLog() : nullptr;
    const qint32 trainer = m_session ? m_session->trainerIndex() : qint32(m_exerciseId);
    // The mistakes follow the history switch; the progress is always that of every run.
    Core::AnswerLog::Scope scope;
    scope.trainer = trainer;
    scope.section = m_section;
    scope.run = m_session && !m_session->isShowingHistory() ? m_session->runId() : 0;
    const int section = m_section;
    QPointer<Core::LessonSession> session = m_session;
    const auto naming = [this, session, section](qint32 key) {
        return session ? itemName(section, key) : QString();
    };
    const bool heard = trainer == Core::EarTrainerIndex;
    m_confusions->showScope(log, scope, naming,
                            heard ? ConfusionList::Presentation::Heard : ConfusionList::Presentation::Shown);
    m_progress->showSection(log, trainer, m_section);
}

QString StatisticsPane::itemName(int section, qint32 key) const
{
    if (!m_session)
        return QString();
    // The pitched sections are judged by what their answer buttons name (a pitch class, an
    // interval, a chord or scale type); the others by the item itself.
    using Pool = Core::TrainerSupport::PitchedPool;
    static const Pool pools[] = {Pool::Notes, Pool::Intervals, Pool::Chords, Pool::Scales};
    if (!isTempoSection(section) && isKeyboardSection(section) && section >= 0 &&
        section < int(std::size(pools))) {
        if (m_session->questionLabel(section, key).isEmpty())
            return QString();
        return Core::TrainerSupport::PitchedAnswerText(pools[section], key);
    }
    return m_session->questionLabel(section, key);
}

void StatisticsPane::presentPair(qint32 asked, qint32 answered)
{
    if (!m_session)
        return;
    if (m_session->presentItems(m_section, asked, answered))
        return;
    // Shown items: the card draws them as the worksheet does.
    const auto cardItem = [this](qint32 key, const QString& caption) {
        ConfusionList::CardItem item;
        item.caption = caption;
        const std::vector<WorksheetItem> drawn = Worksheet::itemsFor(*m_session, m_section, {key});
        if (!drawn.empty())
            item.item = drawn.front();
        return item;
    };
    m_confusions->showCard(cardItem(asked, tr("Asked: %1").arg(itemName(m_section, asked))),
                           cardItem(answered, tr("You answered: %1").arg(itemName(m_section, answered))));
}

QString StatisticsPane::trainerName() const
{
    static const char* const names[] = {QT_TR_NOOP("Note Trainer"), QT_TR_NOOP("Ear Trainer"),
                                        QT_TR_NOOP("Music Symbols")};
    const size_t trainer = m_session ? size_t(m_session->trainerIndex()) : m_exerciseId;
    return trainer < std::size(names) ? tr(names[trainer]) : QString();
}

QString StatisticsPane::worksheetFileName() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    // No character a file system refuses in the section's name.
    QString section = sectionShortName(m_section).simplified();
    section.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("-"));
    const QString name = section.isEmpty() ? tr("Cantorela worksheet.pdf")
                                           : tr("Cantorela worksheet - %1.pdf").arg(section);
    return QDir(folder).filePath(name);
}

void StatisticsPane::printWorksheet(WorksheetDestination destination)
{
    const quint64 request = ++m_worksheetRequest;
    std::shared_ptr<Core::AnswerLog> log = m_session ? m_session->answerLog() : nullptr;
    const QString section = sectionShortName(m_section);
    const auto nothingYet = [this, section] {
        tell(tr("Print worksheet"),
             tr("There are no weak spots in %1 yet. Answer some of its questions, and the worksheet will "
                "gather the ones you found hardest.")
                 .arg(section.isEmpty() ? tr("this section") : section),
             false);
    };
    if (!log) {
        nothingYet();
        return;
    }
    Core::AnswerLog::Scope scope;
    scope.trainer = m_session->trainerIndex();
    scope.section = m_section;
    scope.run = 0; // the weak spots of every lesson
    const int sectionIndex = m_section;
    log->WeakestItems(
        scope, Worksheet::ItemCount, QDateTime::currentSecsSinceEpoch(), this,
        [this, request, sectionIndex, section, destination, nothingYet](std::vector<qint32> keys) {
            // Another request, another section or no lesson any more: this answer is not wanted.
            if (request != m_worksheetRequest || sectionIndex != m_section || !m_session)
                return;
            if (keys.empty()) {
                nothingYet();
                return;
            }
            std::vector<WorksheetItem> items = Worksheet::itemsFor(*m_session, sectionIndex, keys);
            if (items.empty()) {
                tell(tr("Print worksheet"),
                     tr("The items of %1 are only heard: there is nothing to put on paper.").arg(section), false);
                return;
            }
            const Worksheet sheet(Worksheet::titleFor(section, trainerName()), std::move(items));
            if (destination == WorksheetDestination::Printer)
                printSheet(sheet);
            else
                savePdf(sheet, worksheetFileName());
        });
}

void StatisticsPane::printSheet(const Worksheet& sheet)
{
    // The dialog does not wait in a loop of its own: the printer lives as long as it does.
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setDocName(sheet.title());
    auto* dialog = new QPrintDialog(printer, m_widgets.historyBar->window());
    dialog->setObjectName(QStringLiteral("worksheetPrintDialog"));
    dialog->setWindowTitle(tr("Print worksheet"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, false);
    connect(dialog, &QObject::destroyed, dialog, [printer] { delete printer; });
    connect(dialog, &QDialog::accepted, this, [this, printer, sheet] {
        QString error;
        if (!sheet.print(printer, &error))
            tell(tr("Print worksheet"), tr("The worksheet could not be printed.\n%1").arg(error), true);
    });
    dialog->open();
}

void StatisticsPane::savePdf(const Worksheet& sheet, const QString& fileName)
{
    auto* dialog = new QFileDialog(m_widgets.historyBar->window(), tr("Save worksheet as PDF"));
    dialog->setObjectName(QStringLiteral("worksheetFileDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(tr("PDF files (*.pdf)"));
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    dialog->setDirectory(QFileInfo(fileName).absolutePath());
    dialog->selectFile(QFileInfo(fileName).fileName());
    connect(dialog, &QFileDialog::fileSelected, this, [this, sheet](const QString& chosen) {
        QString error;
        if (!sheet.writePdf(chosen, &error))
            tell(tr("Save worksheet as PDF"),
                 tr("The worksheet could not be saved as %1.\n%2").arg(QDir::toNativeSeparators(chosen), error),
                 true);
    });
    dialog->open();
}

void StatisticsPane::tell(const QString& title, const QString& text, bool warning)
{
    auto* box = new QMessageBox(warning ? QMessageBox::Warning : QMessageBox::Information, title, text,
                                QMessageBox::Ok, m_widgets.historyBar->window());
    box->setObjectName(QStringLiteral("worksheetMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool StatisticsPane::showOctaveOfKey(int key)
{
    // Only a section of keys has octave pages; moving within one octave changes nothing.
    if (!isKeyboardSection(m_section))
        return false;
    const int octave = octaveOfKey(key);
    if (octave == m_octave)
        return false;
    m_octave = octave;
    buildRows(m_section);
    setCaption(m_section, m_octave);
    return true;
}

void StatisticsPane::placeHistoryBar(bool extended)
{
    // The column of mistakes and progress goes beside the rows of the page in view.
    if (QBoxLayout* body = LayoutHolding(extended ? m_widgets.extendedLayout : m_widgets.layout,
                                         extended ? m_widgets.extendedRows : m_widgets.rows)) {
        if (body->indexOf(m_insight) < 0) {
            body->addWidget(m_insight, 2);
            m_insight->show();
        }
    }
    // One pair of history buttons serves both pages: it goes with the page in view.
    QVBoxLayout* target = extended ? m_widgets.extendedLayout : m_widgets.layout;
    if (target->indexOf(m_widgets.historyBar) >= 0)
        return;
    target->addWidget(m_widgets.historyBar);
    m_widgets.historyBar->show();
}

void StatisticsPane::toggleHistory()
{
    if (!m_session)
        return;
    m_session->setShowHistory(!m_session->isShowingHistory());
    refresh();
    Q_EMIT pageChanged();
}

void StatisticsPane::clearHistory()
{
    if (!m_session)
        return;
    // Never throws: a file that cannot be written is said in the window and written later. The
    // answer log's rows of the section go too; the mistakes and the progress are asked again
    // after them.
    m_session->clearHistory(m_section);
    refresh();
    m_widgets.clearHistory->setEnabled(false);
    Q_EMIT pageChanged();
}

} // namespace UI

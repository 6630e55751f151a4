#pragma once
// The statistics page of the exercise screen: per section, one row per asked item with its right
// and wrong answers, from the current run or from the history of all runs; the octave pages
// picked on the keyboard; the extended page, without the keyboard, of the sections whose items
// are not keys (the tempo pieces, the music symbols); the history
// buttons and the caption over the rows. The widgets are the screen's (its form); the pane fills
// them from the open lesson's read-only queries and, for the history buttons, switches the
// session between the run and its history.
// Beside the rows, in a column of two tabs that goes with the page in view, the pane keeps what
// the answer log tells of the section: the common mistakes (ConfusionList, following the history
// switch) and the progress over the days (ProgressChart); on the history bar, "Print worksheet"
// puts the section's weakest items on paper, through the print dialog or into a PDF file. The log
// is only asked asynchronously. GUI thread only.

#include <QObject>
#include <QPointer>
#include <QStringList>

class QBoxLayout;
class QLabel;
class QPushButton;
class QTabWidget;
class QVBoxLayout;
class QWidget;

namespace Core {
class LessonSession;
}

namespace UI {

class ConfusionList;
class ProgressChart;
class StatisticsRows;
class Worksheet;

class StatisticsPane : public QObject
{
    Q_OBJECT

public:
    // The screen's widgets the page is made of.
    struct Widgets
    {
        StatisticsRows* rows = nullptr;
        QLabel* caption = nullptr;
        QVBoxLayout* layout = nullptr;
        StatisticsRows* extendedRows = nullptr;
        QLabel* extendedCaption = nullptr;
        QVBoxLayout* extendedLayout = nullptr;
        // The history switch and the clear button, shared by both pages.
        QWidget* historyBar = nullptr;
        QPushButton* viewHistory = nullptr;
        QPushButton* clearHistory = nullptr;
    };

    explicit StatisticsPane(const Widgets& widgets, QObject* parent = nullptr);

    // The open lesson (null: none) of trainer `exerciseId`.
    void setLesson(Core::LessonSession* session, size_t exerciseId, bool quizMode);
    // The sections' short names, as the lesson last reported them (the captions' noun for a
    // section the page has none of its own for).
    void setSectionNames(const QStringList& shortNames) { m_sectionNames = shortNames; }

    // Shows section `section`'s page for all octaves.
    void showSection(int section);
    // Builds the page shown again (the rows, the history buttons and the caption).
    void refresh();
    // The page of the octave of `key` in a section of keys; false when nothing changed.
    bool showOctaveOfKey(int key);
    int section() const { return m_section; }
    int octave() const { return m_octave; }

    // A key's scientific octave (C4, key 39, is middle C; A0 to B0 lie in octave 0), -1 for none.
    static int octaveOfKey(int key);
    bool isKeyboardSection(int section) const;
    bool isTempoSection(int section) const;
    // A section whose items are not keys, which has the extended page without the keyboard.
    bool isExtendedSection(int section) const;
    // Puts the history buttons, and the column of mistakes and progress, on the plain or the
    // extended page.
    void placeHistoryBar(bool extended);

    // Where "Print worksheet" puts the sheet.
    enum class WorksheetDestination
    {
        Printer, // the print dialog (which can print to a file too)
        PdfFile, // a PDF file chosen in a file dialog
    };
    // Gathers the section's weakest items from the answer log, then offers the destination's
    // dialog; says so instead when there is nothing to put on paper. Returns at once.
    void printWorksheet(WorksheetDestination destination);
    // The PDF file name offered: "Cantorela worksheet - Intervals.pdf" in the documents folder.
    QString worksheetFileName() const;

    ConfusionList* confusions() const { return m_confusions; }
    ProgressChart* progressChart() const { return m_progress; }
    QTabWidget* insight() const { return m_insight; }
    QPushButton* worksheetButton() const { return m_printWorksheet; }

Q_SIGNALS:
    // The history switch or the clear button changed what the page shows.
    void pageChanged();

private:
    // Fills the rows; returns how many records the section has in the database the history
    // switch reads.
    int buildRows(int section);
    void setHistoryButtons(int sectionRecords);
    void setCaption(int section, int octave);
    QString caption(int section, int octave) const;
    QString sectionShortName(int section) const;
    int lowestKey(int section, int id) const;
    void toggleHistory();
    void clearHistory();
    // Asks the answer log again for the mistakes and the progress of the section shown.
    void refreshInsight();
    // The name a student knows an item of `section` by, as the answer buttons say it.
    QString itemName(int section, qint32 key) const;
    // A row's button: the lesson plays both items, or the card shows them.
    void presentPair(qint32 asked, qint32 answered);
    QString trainerName() const;
    void printSheet(const Worksheet& sheet);
    void savePdf(const Worksheet& sheet, const QString& fileName);
    // A message over the screen, without waiting for it to be read.
    void tell(const QString& title, const QString& text, bool warning);

    Widgets m_widgets;
    QPointer<Core::LessonSession> m_session;
    size_t m_exerciseId = size_t(-1);
    bool m_quizMode = false;
    QStringList m_sectionNames;
    // The section shown, and the octave picked on the keyboard (-1: all).
    int m_section = 0;
    int m_octave = -1;

    // The column beside the rows, its two tabs, and the worksheet button on the history bar.
    QTabWidget* m_insight = nullptr;
    ConfusionList* m_confusions = nullptr;
    ProgressChart* m_progress = nullptr;
    QPushButton* m_printWorksheet = nullptr;
    // Counts the worksheet requests: only the answer to the last one is printed.
    quint64 m_worksheetRequest = 0;
};

} // namespace UI

#pragma once
// The statistics page of the exercise screen: per section, one row per asked item with its right
// and wrong answers, from the current run or from the history of all runs; the octave pages
// picked on the keyboard; the extended page, without the keyboard, of the sections whose items
// are not keys (the tempo pieces, the music symbols); the history
// buttons and the caption over the rows. The widgets are the screen's (its form); the pane fills
// them from the open lesson's read-only queries and, for the history buttons, switches the
// session between the run and its history. GUI thread only.

#include <QObject>
#include <QPointer>
#include <QStringList>

class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace Core {
class LessonSession;
}

namespace UI {

class StatisticsRows;

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
    // Puts the history buttons on the plain or the extended page.
    void placeHistoryBar(bool extended);

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

    Widgets m_widgets;
    QPointer<Core::LessonSession> m_session;
    size_t m_exerciseId = size_t(-1);
    bool m_quizMode = false;
    QStringList m_sectionNames;
    // The section shown, and the octave picked on the keyboard (-1: all).
    int m_section = 0;
    int m_octave = -1;
};

} // namespace UI

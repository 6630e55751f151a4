#pragma once
// The pane of the exercise screen that shows an engraved question or answer view. It lays the
// notation text out for its own size (the staff follows the height, the line length follows the
// width), draws the current page with the music font's vector outlines at whatever resolution
// the paint device has, can write each note's letter name under it, and can show only the
// treble or only the bass voices. Long music runs over several pages, which the screen turns.
// The notes of an answer view (Core::ScoreBuilder::WriteAnswer) are drawn in the answer palette
// in force (UI::AnswerColours), a right one with a tick beside it, a wrong one with a cross.
// The page is engraved once into a picture at the paint device's pixel ratio and kept until
// what it shows changes (score, page, size, clef filter, letters, drawing mode), so painting an
// unchanged board again (under a restyled frame, into the fader's pictures) is a copy.
//
// GUI thread. The mutex guards the parsed score and the laid-out pages, which setScore replaces;
// every public member takes it, so none of them may be called from inside another.

#include "ui/widgets/note_letters.h"

#include "notation/graphic_map.h"
#include "notation/score.h"
#include "notation/score_document.h"

#include <QByteArray>
#include <QImage>
#include <QMutex>
#include <QRectF>
#include <QWidget>

#include <map>
#include <vector>

class QPainter;

namespace UI {

class ScoreBoard : public QWidget
{
    Q_OBJECT
public:
    explicit ScoreBoard(QWidget* parent = nullptr);
    ~ScoreBoard() override;

    // 1 (after construction): the music alone, over whatever lies behind the board.
    // 2 (the exercise screen): the board fills its rectangle with grey first.
    void setDrawingMode(int mode);
    int drawingMode() const;

    // Shows a notation text from its first page. False, showing nothing, when the text is not
    // notation the engraver reads. An empty text clears the board.
    bool setScore(const QByteArray& gmn);
    void clearScore();

    // Pages of the score as laid out for the current size and clef filter; 0 when nothing is
    // shown (no score, or no voice the filter lets through).
    int pageCount() const;
    int currentPage() const;
    // What the last paint drew, in widget coordinates: notes and rests (their `order` is the
    // byte offset of the note in the text), staves and systems.
    Notation::GraphicMap lastMap() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public Q_SLOTS:
    void nextPage();
    void previousPage();
    // Lays the score out again for the current size and repaints.
    void updateScores();
    // Show only the voices in the bass clef, only those in the treble clef, or all voices.
    void showBassClef();
    void showTrebleClef();
    void showBothClefs();
    // Note letter names under the notes.
    void changeLettersMode(bool on);
    // Fingerings: the switch is kept; notation texts carry no fingering to draw yet.
    void changeFingersMode(bool on);
    // Repaints after the question changed.
    void refresh();

Q_SIGNALS:
    // For the exercise screen's connections; the board has no playback cursor that would
    // raise it yet.
    void tickReceived();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class ClefFilter
    {
        Both,
        Bass,
        Treble
    };

    struct LaidOutPage
    {
        QRectF target; // where the page is drawn, widget coordinates
        std::vector<NoteLetters::Letter> letters;
    };

    // The helpers below expect the caller to hold `m_mutex`.
    void layOut();
    void setFilter(ClefFilter newFilter);
    void turnTo(int page);
    void updateAccessibleDescription();
    // Draws the whole board (ground, page, letters) into `m_engraved` at `ratio` device pixels per
    // pixel, and what it drew into `m_engravedMap`.
    void engrave(qreal ratio);
    static Notation::Score filtered(const Notation::Score& score, ClefFilter filter);
    // The ticks and crosses beside the answer notes of `m_engravedMap`.
    void drawAnswerMarks(QPainter& painter) const;

    mutable QMutex m_mutex;
    int m_drawingMode = 1;
    bool m_hasScore = false;
    Notation::Score m_parsedScore; // the whole text, before the clef filter
    ClefFilter m_filter = ClefFilter::Both;
    bool m_lettersShown = false;
    bool m_fingersShown = false;

    // The layout for m_laidOutSize; replaced as a whole by layOut().
    Notation::ScoreDocument m_document;
    QSize m_laidOutSize;
    std::vector<LaidOutPage> m_pages;
    NoteLetters m_letters; // the sizes the pages' letters were placed with
    int m_currentPage = 0;
    Notation::GraphicMap m_lastMap;
    // The board as last engraved, for `m_engravedSize` at the picture's ratio; not current any
    // more once anything it shows changed (its buffer is kept for the next picture).
    QImage m_engraved;
    QSize m_engravedSize;
    bool m_engravedCurrent = false;
    Notation::GraphicMap m_engravedMap;
    // The answer kind (AnswerColours::Kind) of each answer note shown, by its offset in the text.
    std::map<int, int> m_answerKinds;
};

} // namespace UI

#pragma once
// The pictures of an engraved question or answer and where its notes are: one record per page
// (the score pixmap, a second pixmap for the exercise screen, an overlay) with the measured
// extent of the music, and the boxes of the notes in page coordinates. Filled by
// Core::ScoreBuilder on the GUI thread; kept, shared, by the exercise handler per question.

#include <QPixmap>
#include <QRectF>
#include <QVector>

#include <memory>

namespace Core {

struct ScorePage
{
    std::shared_ptr<QPixmap> score;   // width × score height, transparent, the music drawn in it
    std::shared_ptr<QPixmap> second;  // width × height, transparent
    std::shared_ptr<QPixmap> overlay; // width × score height, transparent
    int measuredWidth = 0;            // width of the system
    int measuredHeight = 0;           // height of the staff
    int measuredTop = 0;              // top of the staff
};

struct ScoreSet
{
    QVector<ScorePage> pages;
    // Boxes of the notes, page after page, each note in the order of the notation text; in the
    // coordinates of the page's score pixmap.
    QVector<QRectF> elementBoxes;
    QVector<int> elementPages; // the page of each element box
    // Boxes of the staves (their lines) and of the systems (everything drawn in them), page
    // after page in drawing order, in the same coordinates, with the page of each.
    QVector<QRectF> staffBoxes;
    QVector<int> staffPages;
    QVector<QRectF> systemBoxes;
    QVector<int> systemPages;
    double scale = 0.0;
    int width = 0;
    int height = 0;
    int scoreHeight = 0;
};

using SharedScoreSet = std::shared_ptr<ScoreSet>;

} // namespace Core

#pragma once
// The pictures of an engraved question or answer and where its notes are: one record per page
// (the score pixmap, a second pixmap for the exercise screen, an overlay) with the measured
// extent of the music, and the boxes of the notes, staves and systems in page coordinates.
// ScorePictureBuilder draws a notation text into them with ScoreDocument. The tools use them
// (gmn2png, the gallery) to look at what the engraver makes. GUI thread: building paints pixmaps.

#include "notation/gmn_parser.h"

#include <QByteArray>
#include <QPixmap>
#include <QRectF>
#include <QVector>

#include <memory>

namespace Notation {

class ScoreDocument;

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

class ScorePictureBuilder
{
public:
    ScorePictureBuilder();
    ~ScorePictureBuilder();
    ScorePictureBuilder(const ScorePictureBuilder&) = delete;
    ScorePictureBuilder& operator=(const ScorePictureBuilder&) = delete;

    // Appends every page of the text to the score set. False, with no page added, when the text
    // is not notation the engraver reads; lastError() tells why.
    bool build(const QByteArray& gmn, ScoreSet& scoreSet);
    const ParseError& lastError() const { return m_error; }

    // Page pixmap size used instead of 1050 × 350 (the gmn2png tool draws at other sizes).
    void setPageSize(int pageWidth, int pageHeight);

private:
    void renderPage(const ScoreDocument& document, int page, ScoreSet& scoreSet) const;
    static QPixmap transparentPixmap(int pixmapWidth, int pixmapHeight);

    ParseError m_error;
    int m_height = 350;
    int m_scoreHeight = 350;
    int m_width = 1050;
};

} // namespace Notation

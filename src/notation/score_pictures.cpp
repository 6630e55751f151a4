#include "notation/score_pictures.h"

#include "notation/score_document.h"

#include <QLoggingCategory>
#include <QPainter>

Q_LOGGING_CATEGORY(scoreLog, "cantorela.score")

namespace Notation {

ScorePictureBuilder::ScorePictureBuilder() = default;
ScorePictureBuilder::~ScorePictureBuilder() = default;

void ScorePictureBuilder::setPageSize(int pageWidth, int pageHeight)
{
    m_width = pageWidth;
    m_height = pageHeight;
    m_scoreHeight = pageHeight;
}

bool ScorePictureBuilder::build(const QByteArray& gmn, ScoreSet& scoreSet)
{
    ScoreDocument document;
    // Every picture is drawn from the same page: 3000 × 1000 notation units with these margins,
    // into pixmaps of 1050 × 350 unless another size is set.
    PageFormat format;
    format.width = 3000.0;
    format.height = 1000.0;
    format.marginLeft = 20.0;
    format.marginTop = 70.0;
    format.marginRight = 20.0;
    format.marginBottom = 70.0;
    document.SetPageFormat(format);
    if (!document.SetGmnCode(gmn)) {
        m_error = document.LastError();
        qCWarning(scoreLog) << "notation text rejected:" << m_error.Describe();
        return false;
    }
    m_error = ParseError();
    scoreSet.scale = 0.0;
    scoreSet.width = m_width;
    scoreSet.height = m_height;
    scoreSet.scoreHeight = m_scoreHeight;
    for (int page = 0; page < document.PageCount(); ++page)
        renderPage(document, page, scoreSet);
    return true;
}

// A transparent pixmap of the given size. Copies share one buffer until one of them is painted
// on (QPixmap copies on write), so the pages' spare pixmaps cost nothing until they are used.
QPixmap ScorePictureBuilder::transparentPixmap(int pixmapWidth, int pixmapHeight)
{
    thread_local QPixmap blank;
    if (blank.width() != pixmapWidth || blank.height() != pixmapHeight) {
        blank = QPixmap(pixmapWidth, pixmapHeight);
        blank.fill(Qt::transparent);
    }
    return blank;
}

void ScorePictureBuilder::renderPage(const ScoreDocument& document, int page, ScoreSet& scoreSet) const
{
    ScorePage record;
    record.score = std::make_shared<QPixmap>(m_width, m_scoreHeight);
    record.score->fill(Qt::transparent);
    record.second = std::make_shared<QPixmap>(transparentPixmap(m_width, m_height));
    record.overlay = std::make_shared<QPixmap>(transparentPixmap(m_width, m_scoreHeight));

    GraphicMap map;
    {
        QPainter pixmapPainter(record.score.get());
        pixmapPainter.setRenderHint(QPainter::Antialiasing, true);
        pixmapPainter.setPen(QColor(0x00, 0x00, 0x20));
        map = document.DrawPage(&pixmapPainter, page, QRectF(0, 0, m_width, m_scoreHeight));
    }
    if (const MapElement* staff = map.FindNth(MapElement::staffType, 1)) {
        record.measuredHeight = int(staff->box.height());
        record.measuredTop = int(staff->box.top());
    }
    if (const MapElement* system = map.FindNth(MapElement::systemType, 1))
        record.measuredWidth = int(system->box.width());
    scoreSet.pages.append(record);
    // The events in map order, as counting them one by one would find them; staves and
    // systems in drawing order.
    for (const MapElement& element : map.elements) {
        if (element.type == MapElement::eventType && element.subtype == MapElement::noteSubtype) {
            scoreSet.elementBoxes.append(element.box);
            scoreSet.elementPages.append(page);
        } else if (element.type == MapElement::staffType) {
            scoreSet.staffBoxes.append(element.box);
            scoreSet.staffPages.append(page);
        } else if (element.type == MapElement::systemType) {
            scoreSet.systemBoxes.append(element.box);
            scoreSet.systemPages.append(page);
        }
    }
}

} // namespace Notation

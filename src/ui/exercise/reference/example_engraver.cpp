#include "ui/exercise/reference/example_engraver.h"

#include "ui/exercise/reference/reference_sheet.h"
#include "ui/widgets/score_board.h"

#include <QPainter>

#include <algorithm>

namespace UI {
namespace Reference {

ExampleEngraver::ExampleEngraver() = default;
ExampleEngraver::~ExampleEngraver() = default;

QImage ExampleEngraver::engrave(const QByteArray& gmn, const QSize& size, qreal ratio, int staffHeight,
                                bool isolated) const
{
    const QString key = QStringLiteral("%1|%2x%3@%4|%5%6")
                            .arg(QString::fromLatin1(gmn))
                            .arg(size.width())
                            .arg(size.height())
                            .arg(ratio)
                            .arg(staffHeight)
                            .arg(isolated ? QStringLiteral("i") : QString());
    auto found = m_pictures.constFind(key);
    if (found != m_pictures.constEnd())
        return *found;

    if (!m_board) {
        m_board = std::make_unique<ScoreBoard>();
        m_board->setAttribute(Qt::WA_DontShowOnScreen);
        m_board->setDrawingMode(1);
    }
    // The staff follows the board's height, a fifth of it; the board is as wide as the picture
    // and the music is centred across it. The picture is the band around the staff.
    const int boardHeight = std::max(1, staffHeight) * 5;
    m_board->resize(size.width(), boardHeight);
    QImage picture(size * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    if (m_board->setScore(gmn)) {
        QImage board(QSize(size.width(), boardHeight) * ratio, QImage::Format_ARGB32_Premultiplied);
        board.setDevicePixelRatio(ratio);
        board.fill(Qt::transparent);
        m_board->render(&board, QPoint(), QRegion(), QWidget::DrawChildren);
        const Notation::GraphicMap map = m_board->lastMap();
        const Notation::MapElement* staff = map.FindNth(Notation::MapElement::staffType, 1);
        const QRectF staffBox = staff ? staff->box : QRectF(0, 0, size.width(), boardHeight);
        QPainter painter(&picture);
        QPointF offset(0, size.height() / 2.0 - staffBox.center().y());
        if (isolated) {
            // Only the last note or rest on a short piece of staff, centred, as the generated
            // symbol pictures show them. What stands before it (the clef, a rest that keeps the
            // clef away) is cut off halfway between the two.
            const Notation::MapElement* last = nullptr;
            qreal before = 0.0;
            for (const Notation::MapElement& element : map.elements) {
                if (element.type != Notation::MapElement::eventType)
                    continue;
                if (last)
                    before = std::max(before, last->box.right());
                last = &element;
            }
            if (last) {
                const QRectF box = last->box;
                const qreal gap = before > 0.0 ? (box.left() - before) / 2.0 : box.left();
                const qreal margin = std::min(staffBox.height() * 0.6, std::max<qreal>(0.0, gap));
                const QRectF kept = box.adjusted(-margin, 0, margin, 0);
                offset.setX(size.width() / 2.0 - kept.center().x());
                painter.setClipRect(QRectF(kept.left() + offset.x(), 0, kept.width(), size.height()));
            }
        }
        painter.drawImage(offset, board);
    } else {
        qCWarning(referenceLog) << "example not engraved:" << gmn;
    }
    m_pictures.insert(key, picture);
    return picture;
}

} // namespace Reference
} // namespace UI

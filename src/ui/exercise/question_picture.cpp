#include "ui/exercise/question_picture.h"

#include <QFileInfo>
#include <QPainter>

#include <algorithm>

namespace UI {

QuestionPicture::QuestionPicture(QWidget* parent) : QWidget(parent)
{
    setPicture(QString::fromLatin1(DefaultPicture));
}

bool QuestionPicture::setPicture(const QString& newPath)
{
    if (newPath == m_path && !m_picture.isNull())
        return true;
    m_path = newPath;
    m_picture = QPixmap();
    // The picture is shown at up to twice its size: from its @2x pixels on a screen of ratio 1,
    // from its @4x pixels (where there are) on a denser one.
    const int dot = newPath.lastIndexOf(QLatin1Char('.'));
    for (const int ratio : {devicePixelRatioF() > 1.0 ? 4 : 2, 2}) {
        const QString large = QString(newPath).insert(dot, QStringLiteral("@%1x").arg(ratio));
        if (dot > 0 && QFileInfo::exists(large) && m_picture.load(large)) {
            m_picture.setDevicePixelRatio(ratio);
            break;
        }
    }
    if (m_picture.isNull() && !newPath.isEmpty())
        m_picture.load(newPath);
    setAccessibleName(m_picture.isNull() ? QString() : tr("Question picture"));
    update();
    return !m_picture.isNull();
}

QRect QuestionPicture::pictureRect() const
{
    if (m_picture.isNull())
        return QRect();
    // The largest size that fits, limited by the picture's pixels at this device's ratio.
    const double ratio = std::max(1.0, devicePixelRatioF());
    const QSizeF pixels = QSizeF(m_picture.size());
    QSizeF size = pixels / ratio;
    // A band at the top and the bottom stays free: the action hint comes up in the lower one.
    const QSizeF room(width() * 0.9, std::max(height() * 0.5, double(height() - 2 * HintBand)));
    if (size.width() > room.width() || size.height() > room.height())
        size.scale(room, Qt::KeepAspectRatio);
    const QSize whole(int(size.width()), int(size.height()));
    return QRect(QPoint((width() - whole.width()) / 2, (height() - whole.height()) / 2), whole);
}

QSize QuestionPicture::sizeHint() const
{
    return m_picture.isNull() ? QSize(160, 120)
                            : (QSizeF(m_picture.size()) / m_picture.devicePixelRatioF()).toSize();
}

void QuestionPicture::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(pictureRect(), m_picture);
}

} // namespace UI

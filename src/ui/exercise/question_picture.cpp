#include "ui/exercise/question_picture.h"

#include <QFileInfo>
#include <QPainter>

#include <algorithm>

namespace UI {

QuestionPicture::QuestionPicture(QWidget* parent) : QWidget(parent)
{
    SetPicture(QString::fromLatin1(DefaultPicture));
}

bool QuestionPicture::SetPicture(const QString& newPath)
{
    if (newPath == path && !picture.isNull())
        return true;
    path = newPath;
    QString large = newPath;
    const int dot = large.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        large.insert(dot, QStringLiteral("@2x"));
    picture = QPixmap();
    if (dot > 0 && QFileInfo::exists(large)) {
        picture.load(large);
        picture.setDevicePixelRatio(2.0);
    } else if (!newPath.isEmpty()) {
        picture.load(newPath);
    }
    setAccessibleName(picture.isNull() ? QString() : tr("Question picture"));
    update();
    return !picture.isNull();
}

QRect QuestionPicture::PictureRect() const
{
    if (picture.isNull())
        return QRect();
    // The largest size that fits, limited by the picture's pixels at this device's ratio.
    const double ratio = std::max(1.0, devicePixelRatioF());
    const QSizeF pixels = QSizeF(picture.size());
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
    return picture.isNull() ? QSize(160, 120)
                            : (QSizeF(picture.size()) / picture.devicePixelRatioF()).toSize();
}

void QuestionPicture::paintEvent(QPaintEvent*)
{
    if (picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(PictureRect(), picture);
}

} // namespace UI

#include "base_control.h"

#include <QFile>

BaseControl::BaseControl(QWidget* parent) : QWidget(parent) {}

QString BaseControl::highDensityPath(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    QString result = path;
    result.insert(dot > slash ? dot : path.size(), QStringLiteral("@2x"));
    return result;
}

QImage BaseControl::loadPicture(const QString& path, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1.0) {
        const QString dense = highDensityPath(path);
        QImage picture;
        if (QFile::exists(dense) && picture.load(dense)) {
            picture.setDevicePixelRatio(2.0);
            return picture;
        }
    }
    return QImage(path);
}

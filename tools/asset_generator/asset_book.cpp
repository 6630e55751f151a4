#include "asset_book.h"

#include "design.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <set>

void AssetBook::AddPicture(const QString& path, QSize logicalSize, Drawing drawing)
{
    pictures.push_back({path, logicalSize, std::move(drawing), {}});
}

void AssetBook::AddFile(const QString& path, const QByteArray& data)
{
    files.push_back({path, data});
}

void AssetBook::AddPreview(const QString& label, QSize logicalSize, Drawing drawing)
{
    previews.push_back({label, logicalSize, std::move(drawing), {}});
}

QString AssetBook::HighDensityPath(const QString& path, int ratio)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    QString result = path;
    result.insert(dot > slash ? dot : path.size(), QStringLiteral("@%1x").arg(ratio));
    return result;
}

QImage AssetBook::Render(const Picture& picture, int ratio)
{
    QImage image(picture.size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        picture.drawing(painter, QSizeF(picture.size));
    }
    return image;
}

namespace {

bool WriteBytes(const QString& fileName, const QByteArray& data, QString* error)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    // Plain writes, no syncing to disk: a run that fails stops the build, and the next run
    // writes every file again (the collection file last).
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size() || !file.flush()) {
        *error = QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString());
        return false;
    }
    return true;
}

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Straight alpha on disk; a middle compression level keeps the build quick.
    image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG", 40);
    return bytes;
}

QString XmlEscaped(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('"'), QLatin1String("&quot;"));
}

} // namespace

bool AssetBook::WriteAll(const QString& folder, QString* error)
{
    std::set<QString> seen;
    QStringList resourcePaths;
    auto claim = [&](const QString& path) {
        if (!seen.insert(path).second) {
            *error = QStringLiteral("two assets are named %1").arg(path);
            return false;
        }
        resourcePaths.append(path);
        return true;
    };
    for (Picture& picture : pictures) {
        if (!claim(picture.path) || !claim(HighDensityPath(picture.path)))
            return false;
        picture.rendered = Render(picture, 2);
        if (!WriteBytes(folder + QLatin1Char('/') + picture.path, Png(Render(picture, 1)), error) ||
            !WriteBytes(folder + QLatin1Char('/') + HighDensityPath(picture.path), Png(picture.rendered), error))
            return false;
        // A question picture fills much of the score pane, twice its own size: on a screen of
        // ratio 2 that takes the pixels of ratio 4.
        if (picture.path.startsWith(QLatin1String("pixmap/exercise/")) &&
            (!claim(HighDensityPath(picture.path, 4)) ||
             !WriteBytes(folder + QLatin1Char('/') + HighDensityPath(picture.path, 4), Png(Render(picture, 4)), error)))
            return false;
    }
    for (const File& file : files) {
        if (!claim(file.path) || !WriteBytes(folder + QLatin1Char('/') + file.path, file.data, error))
            return false;
    }
    std::sort(resourcePaths.begin(), resourcePaths.end());
    QByteArray qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n    <qresource prefix=\"/\">\n";
    for (const QString& path : resourcePaths)
        qrc += "        <file>" + XmlEscaped(path).toUtf8() + "</file>\n";
    qrc += "    </qresource>\n</RCC>\n";
    return WriteBytes(folder + QStringLiteral("/assets.qrc"), qrc, error);
}

QImage AssetBook::ContactSheet() const
{
    const int columns = 8, cellWidth = 200, cellHeight = 170, pictureHeight = 130, margin = 16;
    const int rows = int(pictures.size() + columns - 1) / columns;
    int previewHeight = 0;
    for (const Picture& preview : previews)
        previewHeight += preview.size.height() + 40;
    QImage sheet(columns * cellWidth + 2 * margin, rows * cellHeight + 2 * margin + 40 + previewHeight,
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xf2, 0xf1, 0xee));
    QPainter painter(&sheet);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.setPen(Design::Ink());
    painter.setFont(Design::TextFont(20, QFont::Bold));
    painter.drawText(QRect(margin, 8, sheet.width(), 32), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Cantorela generated pictures: %1 (each also at @2x), grey squares show transparency")
                         .arg(pictures.size()));
    QImage checker(16, 16, QImage::Format_ARGB32_Premultiplied);
    checker.fill(QColor(0x9c, 0x9c, 0x9c));
    {
        QPainter p(&checker);
        p.fillRect(0, 0, 8, 8, QColor(0xb4, 0xb4, 0xb4));
        p.fillRect(8, 8, 8, 8, QColor(0xb4, 0xb4, 0xb4));
    }
    for (size_t i = 0; i < pictures.size(); ++i) {
        const Picture& picture = pictures[i];
        const int x = margin + int(i % columns) * cellWidth, y = margin + 40 + int(i / columns) * cellHeight;
        // Small pictures are magnified (up to four times) so that their drawing can be judged.
        QSizeF shown = QSizeF(picture.size);
        const QSizeF box(cellWidth - 12, pictureHeight);
        const int magnification =
            std::max(1, std::min({4, int(box.width() / shown.width()), int(box.height() / shown.height())}));
        shown *= magnification;
        if (shown.width() > box.width() || shown.height() > box.height())
            shown.scale(box, Qt::KeepAspectRatio);
        const QRectF target(x + (cellWidth - shown.width()) / 2, y + (pictureHeight - shown.height()) / 2,
                            shown.width(), shown.height());
        painter.fillRect(target, QBrush(checker));
        painter.drawImage(target, picture.rendered);
        painter.setPen(Design::Ink());
        painter.setFont(Design::TextFont(11));
        const QString name = picture.path.mid(picture.path.lastIndexOf(QLatin1Char('/')) + 1);
        const QString folder = picture.path.left(picture.path.lastIndexOf(QLatin1Char('/')));
        painter.drawText(QRectF(x, y + pictureHeight + 2, cellWidth, 16), Qt::AlignHCenter | Qt::AlignTop, name);
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.setFont(Design::TextFont(10));
        painter.drawText(QRectF(x, y + pictureHeight + 17, cellWidth, 16), Qt::AlignHCenter | Qt::AlignTop,
                         QStringLiteral("%1  %2×%3%4")
                             .arg(folder)
                             .arg(picture.size.width())
                             .arg(picture.size.height())
                             .arg(magnification > 1 && shown.width() > picture.size.width()
                                      ? QStringLiteral("  (shown ×%1)").arg(magnification)
                                      : QString()));
    }
    int y = margin + 40 + rows * cellHeight;
    for (const Picture& preview : previews) {
        painter.setPen(Design::Ink());
        painter.setFont(Design::TextFont(14, QFont::Bold));
        painter.drawText(QRectF(margin, y, sheet.width(), 24), Qt::AlignLeft | Qt::AlignVCenter, preview.path);
        painter.drawImage(QPointF(margin, y + 28), Render(preview, 1));
        y += preview.size.height() + 40;
    }
    return sheet;
}

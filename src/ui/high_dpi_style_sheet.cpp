#include "ui/high_dpi_style_sheet.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QRegularExpression>

namespace {

bool FileExists(const QString& path)
{
    return QFileInfo::exists(path);
}

// ":/x/name.png" -> ":/x/name@2x.png"
QString LargePicture(const QString& path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (dot <= slash + 1)
        return path + QStringLiteral("@2x");
    QString large = path;
    large.insert(dot, QStringLiteral("@2x"));
    return large;
}

} // namespace

namespace UI {

QString highDpiStyleSheet(const QString& styleSheet, qreal ratio, bool (*exists)(const QString& path))
{
    if (ratio <= 1.0 || !styleSheet.contains(QLatin1String("border-image")))
        return styleSheet;
    // border-image: url(<path>) followed by one to four slice widths.
    static const QRegularExpression borderImage(
        QStringLiteral(R"((border-image\s*:\s*url\(\s*["']?([^"')]+)["']?\s*\))((?:\s+\d+){1,4}))"));
    QString result;
    int copied = 0;
    QRegularExpressionMatchIterator it = borderImage.globalMatch(styleSheet);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (!exists(LargePicture(match.captured(2).trimmed())))
            continue;
        QStringList slices;
        for (const QString& slice : match.captured(3).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            slices.append(QString::number(slice.toInt() * 2));
        result += styleSheet.midRef(copied, match.capturedStart(0) - copied);
        result += match.captured(1) + QLatin1Char(' ') + slices.join(QLatin1Char(' '));
        copied = match.capturedEnd(0);
    }
    if (copied == 0)
        return styleSheet;
    result += styleSheet.midRef(copied);
    return result;
}

QString highDpiStyleSheet(const QString& styleSheet)
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    if (ratio <= 1.0)
        return styleSheet;
    // The screens set the same few sheets again and again.
    static QHash<QString, QString> cache;
    auto found = cache.constFind(styleSheet);
    if (found != cache.constEnd())
        return found.value();
    const QString scaled = highDpiStyleSheet(styleSheet, ratio, &FileExists);
    cache.insert(styleSheet, scaled);
    return scaled;
}

} // namespace UI

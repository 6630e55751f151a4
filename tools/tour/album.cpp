#include "album.h"

#include "tour_window.h"

#include "cut_off_texts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>

void Album::Place(const QString& slug, const QString& label)
{
    placeSlug = slug;
    placeLabel = label;
}

QImage Album::Capture() const
{
    QPixmap picture = window.console->grab();
    QPainter painter(&picture);
    const QPoint origin = window.console->mapToGlobal(QPoint(0, 0));
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == window.console.get() || !top->isVisible() || top->parentWidget() == nullptr)
            continue;
        painter.drawPixmap(top->mapToGlobal(QPoint(0, 0)) - origin, top->grab());
    }
    painter.end();
    QImage image = picture.toImage();
    image.setDevicePixelRatio(1.0);
    return image;
}

void Album::Save(const QImage& image, const QString& moment)
{
    ++count;
    const QString slug = QString(moment).toLower().replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")),
                                                           QStringLiteral("-"));
    const QString file = QStringLiteral("%1-%2-%3.png")
                             .arg(count, 2, 10, QLatin1Char('0'))
                             .arg(placeSlug)
                             .arg(slug.left(60).remove(QRegularExpression(QStringLiteral("-$"))));
    if (!image.save(QDir(folder).filePath(file), "PNG"))
        std::fprintf(stderr, "tour: cannot write %s\n", qPrintable(file));
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible())
            for (const QString& cut : CutOffTexts::In(top))
                std::fprintf(stderr, "tour %s: %s: cut off: %s\n", qPrintable(window.pass.name), qPrintable(file),
                             qPrintable(cut));
    index.append(QStringLiteral("%1\t%2 · %3 · %4").arg(file, window.pass.title, placeLabel, moment));
    std::printf("tour %s: %s\n", qPrintable(window.pass.name), qPrintable(file));
    std::fflush(stdout);
}

void Album::ShotOfDesktop(QWidget& topLevel, const QString& moment)
{
    const Pass& pass = window.pass;
    QImage desktop(pass.width * pass.ratio, pass.height * pass.ratio, QImage::Format_RGB32);
    desktop.fill(QColor(0x3a, 0x3d, 0x42));
    QPixmap picture = topLevel.grab();
    picture.setDevicePixelRatio(1.0);
    QPainter painter(&desktop);
    painter.drawPixmap((desktop.width() - picture.width()) / 2, (desktop.height() - picture.height()) / 2,
                       picture);
    painter.end();
    Save(desktop, moment);
}

bool Album::WriteIndex() const
{
    QFile file(QDir(folder).filePath(QLatin1String(IndexFile)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    out.setCodec("UTF-8");
    for (const QString& line : index)
        out << line << '\n';
    return true;
}

#pragma once
// A widget drawn into a picture as it would paint on a screen of another pixel density.

#include <QImage>
#include <QPixmap>
#include <QWidget>

// What `widget` and its children paint over `ground`, at `ratio` device pixels per pixel, as
// 32-bit ARGB keeping that ratio.
inline QImage Rendered(QWidget& widget, qreal ratio, const QColor& ground = Qt::transparent)
{
    QPixmap canvas(widget.size() * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(ground);
    widget.render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    return canvas.toImage().convertToFormat(QImage::Format_ARGB32);
}

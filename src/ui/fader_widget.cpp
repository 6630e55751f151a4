#include "ui/fader_widget.h"

#include <QLayout>
#include <QPaintEngine>
#include <QPainter>
#include <QTimeLine>
#include <QVBoxLayout>

namespace {

constexpr int fadeDuration = 700;
constexpr int lastFrame = 30;

} // namespace

namespace UI {

FaderWidget::FaderWidget(QWidget* parent) : QWidget(parent)
{
    contentLayout = new QVBoxLayout(this);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(0);

    // Runs backwards: the frame is the old picture's share of the blend, in thirtieths.
    timeLine = new QTimeLine(fadeDuration, this);
    timeLine->setFrameRange(0, lastFrame);
    timeLine->setDirection(QTimeLine::Backward);
    connect(timeLine, &QTimeLine::frameChanged, this, qOverload<>(&QWidget::update));
    connect(timeLine, &QTimeLine::finished, this, &FaderWidget::Finish);
}

void FaderWidget::FadeIn(QWidget* widget)
{
    StartFade(widget, false);
}

void FaderWidget::FadeTo(QWidget* widget)
{
    StartFade(widget, true);
}

void FaderWidget::Reset(QWidget* widget)
{
    timeLine->stop();
    mode = Mode::Idle;
    oldPicture = TransparentPicture();
    newPicture = TransparentPicture();
    oldImage = newImage = blend = QImage();
    incoming = nullptr;
    SetContent(widget);
    update();
}

QWidget* FaderWidget::Content() const
{
    return content;
}

bool FaderWidget::IsFading() const
{
    return mode == Mode::FadingIn;
}

void FaderWidget::StartFade(QWidget* widget, bool takeOutOldContent)
{
    timeLine->stop();
    // What is on screen now: the content, or the blend of a fade that is cut short.
    oldPicture = PictureOf(this);
    if (content && takeOutOldContent) {
        contentLayout->removeWidget(content);
        content->hide();
        content = nullptr;
    }
    // The content stays hidden while the fader paints the blend in its place.
    if (content)
        content->hide();
    if (incoming && incoming != widget)
        incoming->hide();
    incoming = widget;
    newPicture = widget ? PictureOf(widget) : TransparentPicture();
    oldImage = newImage = QImage(); // made from the new pictures on the first frame
    mode = Mode::FadingIn;
    timeLine->start();
    update();
}

void FaderWidget::Finish()
{
    mode = Mode::Idle;
    oldPicture = QPixmap();
    newPicture = QPixmap();
    oldImage = newImage = blend = QImage();
    QWidget* widget = incoming;
    incoming = nullptr;
    SetContent(widget);
    if (widget)
        widget->setFocus();
    update();
    emit FadeFinished(widget);
}

void FaderWidget::SetContent(QWidget* widget)
{
    for (int i = contentLayout->count() - 1; i >= 0; --i) {
        QWidget* other = contentLayout->itemAt(i)->widget();
        if (other && other != widget) {
            contentLayout->removeWidget(other);
            other->hide();
        }
    }
    if (widget) {
        if (contentLayout->indexOf(widget) < 0)
            contentLayout->addWidget(widget);
        widget->show();
    }
    content = widget;
}

QPixmap FaderWidget::PictureOf(QWidget* widget)
{
    if (widget != this) {
        if (widget->parentWidget() != this) {
            widget->hide();
            widget->setParent(this);
        }
        widget->setGeometry(contentsRect());
        widget->ensurePolished();
        if (widget->layout())
            widget->layout()->activate();
    }
    // What the widget and its children paint, without a window background of its own: where
    // they leave the picture transparent, the fader's parent shows through.
    QPixmap picture = TransparentPicture();
    widget->render(&picture, widget == this ? QPoint() : widget->pos(), QRegion(), QWidget::DrawChildren);
    return picture;
}

QPixmap FaderWidget::TransparentPicture() const
{
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    return picture;
}

// `picture` as a premultiplied image of exactly `pixels`, scaled only when it was taken at
// another ratio than the one painted now.
static QImage DeviceImage(const QPixmap& picture, const QSize& pixels)
{
    QImage image = picture.toImage();
    if (image.size() != pixels)
        image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void FaderWidget::paintEvent(QPaintEvent*)
{
    if (mode != Mode::FadingIn)
        return;
    // Old at f plus new at 1 - f: a true cross-fade, also of pictures with transparent parts.
    // Premultiplied pixels blend channel by channel, alpha included, in one pass over the two
    // images, which costs a fraction of fading each picture through the painter.
    const int frame = timeLine->currentFrame();
    QPainter painter(this);
    const QPaintDevice* device = painter.paintEngine() && painter.paintEngine()->paintDevice()
                                     ? painter.paintEngine()->paintDevice()
                                     : painter.device();
    const qreal ratio = device->devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (oldImage.size() != pixels || newImage.size() != pixels) {
        oldImage = DeviceImage(oldPicture, pixels);
        newImage = DeviceImage(newPicture, pixels);
        blend = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    }
    // Weights in 256ths: the old picture's share and the new one's add up to 256.
    const quint32 oldWeight = quint32((frame * 256 + lastFrame / 2) / lastFrame);
    const quint32 newWeight = 256 - oldWeight;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* from = reinterpret_cast<const quint32*>(oldImage.constScanLine(y));
        const auto* to = reinterpret_cast<const quint32*>(newImage.constScanLine(y));
        auto* out = reinterpret_cast<quint32*>(blend.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            // Red and blue, then alpha and green, two channels per multiplication.
            const quint32 a = from[x], b = to[x];
            const quint32 redBlue =
                (((a & 0xff00ffu) * oldWeight + (b & 0xff00ffu) * newWeight) >> 8) & 0xff00ffu;
            const quint32 alphaGreen =
                (((a >> 8) & 0xff00ffu) * oldWeight + ((b >> 8) & 0xff00ffu) * newWeight) & 0xff00ff00u;
            out[x] = redBlue | alphaGreen;
        }
    }
    blend.setDevicePixelRatio(ratio);
    painter.drawImage(QPointF(0, 0), blend);
}

} // namespace UI

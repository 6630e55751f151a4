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
    blend = share = QPixmap();
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
    mode = Mode::FadingIn;
    timeLine->start();
    update();
}

void FaderWidget::Finish()
{
    mode = Mode::Idle;
    oldPicture = QPixmap();
    newPicture = QPixmap();
    blend = share = QPixmap();
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

void FaderWidget::paintEvent(QPaintEvent*)
{
    if (mode != Mode::FadingIn)
        return;
    // Old at f plus new at 1 - f: a true cross-fade, also of pictures with transparent parts.
    // Each share is faded in a buffer of its own and the two are added up: the raster engine
    // does not apply an opacity correctly to an additive composition.
    const double f = double(timeLine->currentFrame()) / lastFrame;
    QPainter painter(this);
    const QPaintDevice* device = painter.paintEngine() && painter.paintEngine()->paintDevice()
                                     ? painter.paintEngine()->paintDevice()
                                     : painter.device();
    const qreal ratio = device->devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (blend.size() != pixels || blend.devicePixelRatio() != ratio) {
        blend = QPixmap(pixels);
        blend.setDevicePixelRatio(ratio);
        share = QPixmap(pixels);
        share.setDevicePixelRatio(ratio);
    }
    const auto faded = [this](QPixmap& target, const QPixmap& picture, double opacity) {
        target.fill(Qt::transparent);
        QPainter fade(&target);
        fade.setRenderHint(QPainter::SmoothPixmapTransform);
        fade.setOpacity(opacity);
        fade.drawPixmap(rect(), picture);
    };
    faded(blend, oldPicture, f);
    faded(share, newPicture, 1.0 - f);
    {
        QPainter sum(&blend);
        sum.setCompositionMode(QPainter::CompositionMode_Plus);
        sum.drawPixmap(0, 0, share);
    }
    painter.drawPixmap(0, 0, blend);
}

} // namespace UI

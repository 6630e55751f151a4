#include "ui/widgets/fader_widget.h"

#include <QLayout>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTimeLine>
#include <QVBoxLayout>

#include <cstring>
#include <vector>

namespace {

constexpr int fadeDuration = 700;
constexpr int lastFrame = 30;

// `picture` scaled to exactly `pixels`, when it was taken at another ratio than the one painted
// now; a null image when it is of that size already.
QImage DeviceImage(const QImage& picture, const QSize& pixels)
{
    if (picture.size() == pixels)
        return QImage();
    return picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The bounding rectangle of the pixels in which `a` differs from `b`, an image of the same size
// and format, or from transparent where `b` is null. Rows are compared as memory first: only
// a row that differs outside the columns already known to differ is searched pixel by pixel.
QRect DifferingArea(const QImage& a, const QImage* b)
{
    const int width = a.width(), height = a.height();
    const std::vector<uchar> transparentRow(b ? 0 : size_t(width) * 4, 0);
    auto rowA = [&](int y) { return reinterpret_cast<const quint32*>(a.constScanLine(y)); };
    auto rowB = [&](int y) {
        return reinterpret_cast<const quint32*>(b ? b->constScanLine(y) : transparentRow.data());
    };
    auto differs = [&](int y, int from, int to) {
        return from < to && std::memcmp(rowA(y) + from, rowB(y) + from, size_t(to - from) * 4) != 0;
    };
    int top = 0;
    while (top < height && !differs(top, 0, width))
        ++top;
    if (top == height)
        return QRect();
    int bottom = height - 1;
    while (!differs(bottom, 0, width))
        --bottom;
    int left = width, right = -1;
    for (int y = top; y <= bottom; ++y) {
        const quint32* p = rowA(y);
        const quint32* q = rowB(y);
        if (differs(y, 0, left)) {
            int x = 0;
            while (p[x] == q[x])
                ++x;
            left = x;
        }
        if (differs(y, right + 1, width)) {
            int x = width - 1;
            while (p[x] == q[x])
                --x;
            right = x;
        }
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// One row of a cross-fade of premultiplied pixels, channel by channel, alpha included: old at
// `oldWeight` plus new at `newWeight`, in 256ths that add up to 256, rounded to the nearest (a
// channel alike in both stays as it is, and a fade cut short and started again from its blend
// still ends on the new value). The sum fits in 16 bits, so the compiler blends eight channels
// per vector instruction.
void BlendRow(const uchar* __restrict from, const uchar* __restrict to, uchar* __restrict out, int bytes,
              quint16 oldWeight, quint16 newWeight)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = uchar(quint16(quint16(from[i] * oldWeight) + quint16(to[i] * newWeight) + 128u) >> 8);
}

// A rectangle of device pixels in the painter's coordinates, at `ratio` device pixels each.
QRectF Logical(const QRect& pixels, qreal ratio)
{
    return QRectF(pixels.x() / ratio, pixels.y() / ratio, pixels.width() / ratio, pixels.height() / ratio);
}

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
    // One update per frame of the thirty, not Qt's default of one per 40 ms.
    timeLine->setUpdateInterval(qMax(1, fadeDuration / lastFrame));
    timeLine->setDirection(QTimeLine::Backward);
    connect(timeLine, &QTimeLine::frameChanged, this, &FaderWidget::UpdateChangingArea);
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

void FaderWidget::HoldPicture()
{
    if (mode == Mode::Idle && isVisible())
        heldPicture = PictureOf(this);
}

void FaderWidget::Reset(QWidget* widget)
{
    timeLine->stop();
    heldPicture = QImage();
    mode = Mode::Idle;
    // Both pictures cleared: nothing of a fade is drawn any more.
    Recycle(oldPicture);
    Recycle(newPicture);
    scaledOld = scaledNew = blend = QImage();
    preparedRatio = 0.0;
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
    // The content shown alone and faded in over itself, unchanged: both pictures are the same.
    const bool held = !heldPicture.isNull();
    const bool overItself = !held && widget && widget == content && mode == Mode::Idle &&
                            !takeOutOldContent && !content->isHidden() && OnlyContentShown();
    // What was on screen: the picture held before the content changed, the content, or the
    // blend of a fade that is cut short.
    QImage now = held ? std::move(heldPicture) : TakePictureNow();
    heldPicture = QImage();
    timeLine->stop();
    Recycle(oldPicture);
    Recycle(newPicture);
    oldPicture = std::move(now);
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
    if (overItself)
        newPicture = oldPicture;
    else
        newPicture = widget ? PictureOf(widget) : TransparentPicture(true);
    mode = Mode::FadingIn;
    // Where the pictures differ is known before the first frame asks for a repaint there.
    Prepare(devicePixelRatioF());
    timeLine->start();
    update();
}

void FaderWidget::Finish()
{
    mode = Mode::Idle;
    Recycle(oldPicture);
    Recycle(newPicture);
    scaledOld = scaledNew = blend = QImage();
    preparedRatio = 0.0;
    changed = shown = QRect();
    QWidget* widget = incoming;
    incoming = nullptr;
    SetContent(widget);
    if (widget)
        widget->setFocus();
    update();
    Q_EMIT FadeFinished(widget);
}

void FaderWidget::UpdateChangingArea()
{
    if (mode != Mode::FadingIn || changed.isEmpty())
        return;
    update(Logical(changed, preparedRatio).toAlignedRect());
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

QImage FaderWidget::PictureOf(QWidget* widget)
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
    // they leave the picture transparent, the fader's parent shows through. A widget that
    // paints all its pixels over the whole picture needs no clearing first.
    QImage picture = TransparentPicture(!PaintsWholePicture(widget));
    widget->render(&picture, widget == this ? QPoint() : widget->pos(), QRegion(), QWidget::DrawChildren);
    return picture;
}

QImage FaderWidget::TakePictureNow()
{
    if (mode != Mode::FadingIn)
        return PictureOf(this);
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    // Only what paintEvent draws can be made from the pictures: a child shown over the fade, or
    // a size that changed since the fade started, needs the fader painted.
    if (!OnlyContentShown() || oldPicture.size() != pixels || newPicture.size() != pixels ||
        newPicture.devicePixelRatio() != ratio)
        return PictureOf(this);
    // A paint at another size (the window was resized and back) left `changed` and the blend
    // measured for pictures of that size: they would be copied past the end of this one.
    if (preparedRatio != ratio || OldImage().size() != pixels || NewImage().size() != pixels)
        Prepare(ratio);
    // Outside `changed` every frame shows the new picture; inside, the blend of this frame.
    BlendFrame(timeLine->currentFrame());
    QImage picture = std::move(newPicture);
    newPicture = QImage();
    for (int y = 0; y < changed.height(); ++y)
        std::memcpy(picture.scanLine(changed.top() + y) + changed.left() * 4, blend.constScanLine(y),
                    size_t(changed.width()) * 4);
    return picture;
}

bool FaderWidget::OnlyContentShown() const
{
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child != content && !child->isHidden())
            return false;
    return true;
}

bool FaderWidget::PaintsWholePicture(const QWidget* widget) const
{
    if (widget == this)
        return mode == Mode::Idle && content && !content->isHidden() && OnlyContentShown() &&
               PaintsWholePicture(content);
    return widget && widget->testAttribute(Qt::WA_OpaquePaintEvent) && widget->geometry() == rect();
}

QImage FaderWidget::TransparentPicture(bool clear)
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    QImage picture;
    for (auto spare = spares.begin(); spare != spares.end(); ++spare) {
        if (spare->size() == pixels) {
            picture = std::move(*spare);
            spares.erase(spare);
            break;
        }
    }
    if (picture.isNull())
        picture = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    if (clear)
        picture.fill(Qt::transparent);
    return picture;
}

void FaderWidget::Recycle(QImage& picture)
{
    // Two pictures make a fade; more are never needed at once.
    constexpr size_t kept = 2;
    if (!picture.isNull() && picture.isDetached() &&
        picture.format() == QImage::Format_ARGB32_Premultiplied && spares.size() < kept)
        spares.push_back(std::move(picture));
    picture = QImage();
}

void FaderWidget::hideEvent(QHideEvent* event)
{
    spares.clear();
    QWidget::hideEvent(event);
}

const QImage& FaderWidget::OldImage() const
{
    return scaledOld.isNull() ? oldPicture : scaledOld;
}

const QImage& FaderWidget::NewImage() const
{
    return scaledNew.isNull() ? newPicture : scaledNew;
}

void FaderWidget::Prepare(qreal ratio)
{
    const QSize pixels = size() * ratio;
    scaledOld = DeviceImage(oldPicture, pixels);
    scaledNew = DeviceImage(newPicture, pixels);
    preparedRatio = ratio;
    // Outside `changed` the two pictures are alike, and every frame of the blend is the new one.
    // Two pictures of one buffer (a widget faded in over itself) are alike without looking.
    const bool same = OldImage().constBits() == NewImage().constBits();
    changed = same ? QRect() : DifferingArea(OldImage(), &NewImage());
    shown = DifferingArea(NewImage(), nullptr);
    if (blend.size() != changed.size())
        blend = changed.isEmpty() ? QImage() : QImage(changed.size(), QImage::Format_ARGB32_Premultiplied);
    blendFrame = -1;
}

void FaderWidget::BlendFrame(int frame)
{
    if (frame == blendFrame || changed.isEmpty())
        return;
    // Old at f plus new at 1 - f: a true cross-fade, also of pictures with transparent parts.
    const auto oldWeight = quint16((frame * 256 + lastFrame / 2) / lastFrame);
    const auto newWeight = quint16(256 - oldWeight);
    const QImage& from = OldImage();
    const QImage& to = NewImage();
    const int offset = changed.left() * 4;
    for (int y = 0; y < changed.height(); ++y)
        BlendRow(from.constScanLine(changed.top() + y) + offset, to.constScanLine(changed.top() + y) + offset,
                 blend.scanLine(y), changed.width() * 4, oldWeight, newWeight);
    blendFrame = frame;
}

void FaderWidget::paintEvent(QPaintEvent* event)
{
    if (mode != Mode::FadingIn)
        return;
    QPainter painter(this);
    const QPaintDevice* device = painter.paintEngine() && painter.paintEngine()->paintDevice()
                                     ? painter.paintEngine()->paintDevice()
                                     : painter.device();
    const qreal ratio = device->devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (preparedRatio != ratio || OldImage().size() != pixels || NewImage().size() != pixels)
        Prepare(ratio);
    const QRect asked =
        QRectF(event->rect().topLeft() * ratio, event->rect().size() * ratio).toAlignedRect() &
        QRect(QPoint(), pixels);

    // Where the pictures are alike: the new picture, where it shows anything.
    const QRegion settled = (QRegion(shown) - QRegion(changed)) & asked;
    for (const QRect& part : settled)
        painter.drawImage(Logical(part, ratio), NewImage(), QRectF(part));
    // Where they differ: the blend of this frame.
    const QRect changing = changed & asked;
    if (!changing.isEmpty()) {
        BlendFrame(timeLine->currentFrame());
        painter.drawImage(Logical(changing, ratio), blend, QRectF(changing.translated(-changed.topLeft())));
    }
}

} // namespace UI

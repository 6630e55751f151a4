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
QImage deviceImage(const QImage& picture, const QSize& pixels)
{
    if (picture.size() == pixels)
        return QImage();
    return picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The bounding rectangle of the pixels in which `a` differs from `b`, an image of the same size
// and format, or from transparent where `b` is null. Rows are compared as memory first: only
// a row that differs outside the columns already known to differ is searched pixel by pixel.
QRect differingArea(const QImage& a, const QImage* b)
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
void blendRow(const uchar* __restrict from, const uchar* __restrict to, uchar* __restrict out, int bytes,
              quint16 oldWeight, quint16 newWeight)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = uchar(quint16(quint16(from[i] * oldWeight) + quint16(to[i] * newWeight) + 128u) >> 8);
}

// A rectangle of device pixels in the painter's coordinates, at `ratio` device pixels each.
QRectF logical(const QRect& pixels, qreal ratio)
{
    return QRectF(pixels.x() / ratio, pixels.y() / ratio, pixels.width() / ratio, pixels.height() / ratio);
}

} // namespace

namespace UI {

FaderWidget::FaderWidget(QWidget* parent) : QWidget(parent)
{
    m_contentLayout = new QVBoxLayout(this);
    m_contentLayout->setContentsMargins(0, 0, 0, 0);
    m_contentLayout->setSpacing(0);

    // Runs backwards: the frame is the old picture's share of the blend, in thirtieths.
    m_timeLine = new QTimeLine(fadeDuration, this);
    m_timeLine->setFrameRange(0, lastFrame);
    // One update per frame of the thirty, not Qt's default of one per 40 ms.
    m_timeLine->setUpdateInterval(qMax(1, fadeDuration / lastFrame));
    m_timeLine->setDirection(QTimeLine::Backward);
    connect(m_timeLine, &QTimeLine::frameChanged, this, &FaderWidget::updateChangingArea);
    connect(m_timeLine, &QTimeLine::finished, this, &FaderWidget::finish);
}

void FaderWidget::fadeIn(QWidget* widget)
{
    startFade(widget, false);
}

void FaderWidget::fadeTo(QWidget* widget)
{
    startFade(widget, true);
}

void FaderWidget::holdPicture()
{
    if (m_mode == Mode::Idle && isVisible())
        m_heldPicture = pictureOf(this);
}

void FaderWidget::reset(QWidget* widget)
{
    m_timeLine->stop();
    m_heldPicture = QImage();
    m_mode = Mode::Idle;
    // Both pictures cleared: nothing of a fade is drawn any more.
    recycle(m_oldPicture);
    recycle(m_newPicture);
    m_scaledOld = m_scaledNew = m_blend = QImage();
    m_preparedRatio = 0.0;
    m_incoming = nullptr;
    setContent(widget);
    update();
}

QWidget* FaderWidget::content() const
{
    return m_content;
}

bool FaderWidget::isFading() const
{
    return m_mode == Mode::FadingIn;
}

void FaderWidget::startFade(QWidget* widget, bool takeOutOldContent)
{
    // The content shown alone and faded in over itself, unchanged: both pictures are the same.
    const bool held = !m_heldPicture.isNull();
    const bool overItself = !held && widget && widget == m_content && m_mode == Mode::Idle &&
                            !takeOutOldContent && !m_content->isHidden() && onlyContentShown();
    // What was on screen: the picture held before the content changed, the content, or the
    // blend of a fade that is cut short.
    QImage now = held ? std::move(m_heldPicture) : takePictureNow();
    m_heldPicture = QImage();
    m_timeLine->stop();
    recycle(m_oldPicture);
    recycle(m_newPicture);
    m_oldPicture = std::move(now);
    if (m_content && takeOutOldContent) {
        m_contentLayout->removeWidget(m_content);
        m_content->hide();
        m_content = nullptr;
    }
    // The content stays hidden while the fader paints the blend in its place.
    if (m_content)
        m_content->hide();
    if (m_incoming && m_incoming != widget)
        m_incoming->hide();
    m_incoming = widget;
    if (overItself)
        m_newPicture = m_oldPicture;
    else
        m_newPicture = widget ? pictureOf(widget) : transparentPicture(true);
    m_mode = Mode::FadingIn;
    // Where the pictures differ is known before the first frame asks for a repaint there.
    prepare(devicePixelRatioF());
    m_timeLine->start();
    update();
}

void FaderWidget::finish()
{
    m_mode = Mode::Idle;
    recycle(m_oldPicture);
    recycle(m_newPicture);
    m_scaledOld = m_scaledNew = m_blend = QImage();
    m_preparedRatio = 0.0;
    m_changed = m_shown = QRect();
    QWidget* widget = m_incoming;
    m_incoming = nullptr;
    setContent(widget);
    if (widget)
        widget->setFocus();
    update();
    Q_EMIT fadeFinished(widget);
}

void FaderWidget::updateChangingArea()
{
    if (m_mode != Mode::FadingIn || m_changed.isEmpty())
        return;
    update(logical(m_changed, m_preparedRatio).toAlignedRect());
}

void FaderWidget::setContent(QWidget* widget)
{
    for (int i = m_contentLayout->count() - 1; i >= 0; --i) {
        QWidget* other = m_contentLayout->itemAt(i)->widget();
        if (other && other != widget) {
            m_contentLayout->removeWidget(other);
            other->hide();
        }
    }
    if (widget) {
        if (m_contentLayout->indexOf(widget) < 0)
            m_contentLayout->addWidget(widget);
        widget->show();
    }
    m_content = widget;
}

QImage FaderWidget::pictureOf(QWidget* widget)
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
    QImage picture = transparentPicture(!paintsWholePicture(widget));
    widget->render(&picture, widget == this ? QPoint() : widget->pos(), QRegion(), QWidget::DrawChildren);
    return picture;
}

QImage FaderWidget::takePictureNow()
{
    if (m_mode != Mode::FadingIn)
        return pictureOf(this);
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    // Only what paintEvent draws can be made from the pictures: a child shown over the fade, or
    // a size that changed since the fade started, needs the fader painted.
    if (!onlyContentShown() || m_oldPicture.size() != pixels || m_newPicture.size() != pixels ||
        m_newPicture.devicePixelRatio() != ratio)
        return pictureOf(this);
    // A paint at another size (the window was resized and back) left `m_changed` and the blend
    // measured for pictures of that size: they would be copied past the end of this one.
    if (m_preparedRatio != ratio || oldImage().size() != pixels || newImage().size() != pixels)
        prepare(ratio);
    // Outside `m_changed` every frame shows the new picture; inside, the blend of this frame.
    blendFrame(m_timeLine->currentFrame());
    QImage picture = std::move(m_newPicture);
    m_newPicture = QImage();
    for (int y = 0; y < m_changed.height(); ++y)
        std::memcpy(picture.scanLine(m_changed.top() + y) + m_changed.left() * 4, m_blend.constScanLine(y),
                    size_t(m_changed.width()) * 4);
    return picture;
}

bool FaderWidget::onlyContentShown() const
{
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child != m_content && !child->isHidden())
            return false;
    return true;
}

bool FaderWidget::paintsWholePicture(const QWidget* widget) const
{
    if (widget == this)
        return m_mode == Mode::Idle && m_content && !m_content->isHidden() && onlyContentShown() &&
               paintsWholePicture(m_content);
    return widget && widget->testAttribute(Qt::WA_OpaquePaintEvent) && widget->geometry() == rect();
}

QImage FaderWidget::transparentPicture(bool clear)
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    QImage picture;
    for (auto spare = m_spares.begin(); spare != m_spares.end(); ++spare) {
        if (spare->size() == pixels) {
            picture = std::move(*spare);
            m_spares.erase(spare);
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

void FaderWidget::recycle(QImage& picture)
{
    // Two pictures make a fade; more are never needed at once.
    constexpr size_t kept = 2;
    if (!picture.isNull() && picture.isDetached() &&
        picture.format() == QImage::Format_ARGB32_Premultiplied && m_spares.size() < kept)
        m_spares.push_back(std::move(picture));
    picture = QImage();
}

void FaderWidget::hideEvent(QHideEvent* event)
{
    m_spares.clear();
    QWidget::hideEvent(event);
}

const QImage& FaderWidget::oldImage() const
{
    return m_scaledOld.isNull() ? m_oldPicture : m_scaledOld;
}

const QImage& FaderWidget::newImage() const
{
    return m_scaledNew.isNull() ? m_newPicture : m_scaledNew;
}

void FaderWidget::prepare(qreal ratio)
{
    const QSize pixels = size() * ratio;
    m_scaledOld = deviceImage(m_oldPicture, pixels);
    m_scaledNew = deviceImage(m_newPicture, pixels);
    m_preparedRatio = ratio;
    // Outside `m_changed` the two pictures are alike, and every frame of the blend is the new one.
    // Two pictures of one buffer (a widget faded in over itself) are alike without looking.
    const bool same = oldImage().constBits() == newImage().constBits();
    m_changed = same ? QRect() : differingArea(oldImage(), &newImage());
    m_shown = differingArea(newImage(), nullptr);
    if (m_blend.size() != m_changed.size())
        m_blend =
            m_changed.isEmpty() ? QImage() : QImage(m_changed.size(), QImage::Format_ARGB32_Premultiplied);
    m_blendFrame = -1;
}

void FaderWidget::blendFrame(int frame)
{
    if (frame == m_blendFrame || m_changed.isEmpty())
        return;
    // Old at f plus new at 1 - f: a true cross-fade, also of pictures with transparent parts.
    const auto oldWeight = quint16((frame * 256 + lastFrame / 2) / lastFrame);
    const auto newWeight = quint16(256 - oldWeight);
    const QImage& from = oldImage();
    const QImage& to = newImage();
    const int offset = m_changed.left() * 4;
    for (int y = 0; y < m_changed.height(); ++y)
        blendRow(from.constScanLine(m_changed.top() + y) + offset,
                 to.constScanLine(m_changed.top() + y) + offset, m_blend.scanLine(y), m_changed.width() * 4,
                 oldWeight, newWeight);
    m_blendFrame = frame;
}

void FaderWidget::paintEvent(QPaintEvent* event)
{
    if (m_mode != Mode::FadingIn)
        return;
    QPainter painter(this);
    const QPaintDevice* device = painter.paintEngine() && painter.paintEngine()->paintDevice()
                                     ? painter.paintEngine()->paintDevice()
                                     : painter.device();
    const qreal ratio = device->devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (m_preparedRatio != ratio || oldImage().size() != pixels || newImage().size() != pixels)
        prepare(ratio);
    const QRect asked =
        QRectF(event->rect().topLeft() * ratio, event->rect().size() * ratio).toAlignedRect() &
        QRect(QPoint(), pixels);

    // Where the pictures are alike: the new picture, where it shows anything.
    const QRegion settled = (QRegion(m_shown) - QRegion(m_changed)) & asked;
    for (const QRect& part : settled)
        painter.drawImage(logical(part, ratio), newImage(), QRectF(part));
    // Where they differ: the blend of this frame.
    const QRect changing = m_changed & asked;
    if (!changing.isEmpty()) {
        blendFrame(m_timeLine->currentFrame());
        painter.drawImage(logical(changing, ratio), m_blend,
                          QRectF(changing.translated(-m_changed.topLeft())));
    }
}

} // namespace UI

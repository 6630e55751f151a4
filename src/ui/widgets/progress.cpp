#include "ui/widgets/progress.h"

#include "ui/answer_colours.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int barMaximum = 10000;
constexpr int minimumNumberPixels = 8;

struct StylePictures
{
    const char* background;
    const char* red;
    const char* green;
};

constexpr StylePictures stylePictures[] = {
    {":/PIX/pixmap/progress_main_bg.png", ":/PIX/pixmap/progress_main_red.png",
     ":/PIX/pixmap/progress_main_green.png"},
    {":/PIX/pixmap/progress_thin_bg.png", ":/PIX/pixmap/progress_thin_red.png",
     ":/PIX/pixmap/progress_thin_green.png"},
    {":/PIX/pixmap/progress_score_bg.png", ":/PIX/pixmap/sausage_red.png", ":/PIX/pixmap/sausage_green.png"},
};

// The "@2x" picture above ratio 1, marked with its ratio so that it is drawn at its logical size.
QPixmap loadPicture(const char* path, double ratio)
{
    QString name = UI::AnswerColours::picture(QString::fromLatin1(path));
    if (ratio > 1.0)
        name.insert(name.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
    QPixmap picture(name);
    picture.setDevicePixelRatio(ratio > 1.0 ? 2.0 : 1.0);
    return picture;
}

// The ratio of what is really painted on: a widget's backing store, or the pixmap that
// QWidget::render() redirects the painting to.
double targetRatio(QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = engine && engine->paintDevice() ? engine->paintDevice() : painter.device();
    return device->devicePixelRatioF();
}

// What a screen reader is told of a bar: its name, "3 right, 1 wrong" as its value, and the right
// answers as a value out of all answers.
class ProgressAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit ProgressAccessible(Progress* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return bar()->text();
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return bar()->rightCount() / bar()->divisor(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return (bar()->rightCount() + bar()->wrongCount()) / bar()->divisor(); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    Progress* bar() const { return static_cast<Progress*>(widget()); }
};

QAccessibleInterface* progressAccessibleFactory(const QString&, QObject* object)
{
    if (auto* bar = qobject_cast<Progress*>(object))
        return new ProgressAccessible(bar);
    return nullptr;
}

} // namespace

Progress::Progress(QWidget* parent) : Progress(0, parent) {}

Progress::Progress(int style, QWidget* parent)
    : QProgressBar(parent), m_style(std::clamp(style, 0, int(std::size(stylePictures)) - 1))
{
    // Before the first value: a value change has Qt make (and cache) the bar's accessible
    // interface, which must be the bars' own.
    static const bool accessibleFactoryInstalled = [] {
        QAccessible::installFactory(progressAccessibleFactory);
        return true;
    }();
    Q_UNUSED(accessibleFactoryInstalled)
    setRange(0, barMaximum);
    setValue(0);
    setTextVisible(false);
    setAccessibleName(tr("Answers"));
    loadPictures(devicePixelRatioF());
    layOutParts();
}

void Progress::setValues(int wrong, int right)
{
    right = std::max(right, 0);
    if (right > maximum())
        setMaximum(right);
    m_wrong = std::max(wrong, 0);
    setValue(right);
    layOutParts();
    update();
    QAccessibleValueChangeEvent changed(this, right / m_divisor);
    QAccessible::updateAccessibility(&changed);
}

void Progress::setMaximumValue(int maximum)
{
    setMaximum(std::max(maximum, 1));
    layOutParts();
    update();
}

void Progress::setDivisor(int divisor)
{
    m_divisor = std::max(divisor, 1);
    layOutParts();
    update();
}

QString Progress::text() const
{
    return tr("%1 right, %2 wrong").arg(value() / m_divisor).arg(m_wrong / m_divisor);
}

QSize Progress::sizeHint() const
{
    return m_background.isNull() ? QSize(300, 24) : m_background.size() / m_background.devicePixelRatio();
}

QSize Progress::minimumSizeHint() const
{
    const QSize hint = sizeHint();
    return {hint.height() * 2, hint.height()};
}

void Progress::resizeEvent(QResizeEvent* event)
{
    QProgressBar::resizeEvent(event);
    layOutParts();
}

void Progress::changeEvent(QEvent* event)
{
    QProgressBar::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        layOutParts();
}

void Progress::loadPictures(double ratio)
{
    const StylePictures& names = stylePictures[m_style];
    m_background = loadPicture(names.background, ratio);
    m_red = loadPicture(names.red, ratio);
    m_green = loadPicture(names.green, ratio);
    m_pictureRatio = ratio > 1.0 ? 2.0 : 1.0;
    m_picturePalette = UI::AnswerColours::palette();
}

QFont Progress::numberFont() const
{
    // Bold, as tall as the capsule allows but never larger than the widget's own font.
    QFont font = this->font();
    font.setBold(true);
    const int ownSize = QFontInfo(font).pixelSize();
    font.setPixelSize(std::max(1, std::min(ownSize, int(std::lround(height() * 0.62)))));
    return font;
}

void Progress::layOutParts()
{
    const int right = value() > 0 ? value() : 0;
    const double total = double(right) + double(m_wrong);
    m_greenPart = Part{};
    m_redPart = Part{};
    if (total <= 0)
        return;

    // The split lies on a whole pixel, so that neither part is blurred at its inner edge.
    const double share = right / total;
    const double split = std::round(width() * share);
    m_greenPart.target = QRectF(0, 0, split, height());
    m_greenPart.sourceLeft = 0;
    m_greenPart.sourceWidth = share;
    m_redPart.target = QRectF(split, 0, width() - split, height());
    m_redPart.sourceLeft = share;
    m_redPart.sourceWidth = 1.0 - share;

    // A number is printed only when its part holds it with the capsule's rounded end beside it,
    // so that it never runs over into the other part, and when the bar is tall enough for
    // legible digits (the thin bar carries none).
    m_numberFont = numberFont();
    const bool legible = m_numberFont.pixelSize() >= minimumNumberPixels;
    const QFontMetricsF metrics(m_numberFont);
    const double margin = height() * 0.25;
    const std::pair<Part*, int> counts[] = {{&m_greenPart, right}, {&m_redPart, m_wrong}};
    for (auto [part, count] : counts) {
        if (count <= 0)
            continue;
        part->number = QString::number(count / m_divisor);
        part->numberFits =
            legible && metrics.horizontalAdvance(part->number) + 2 * margin <= part->target.width();
    }
}

void Progress::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double ratio = targetRatio(painter);
    if ((ratio > 1.0 ? 2.0 : 1.0) != m_pictureRatio || m_picturePalette != UI::AnswerColours::palette())
        loadPictures(ratio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_background);
    if (m_greenPart.target.isEmpty() && m_redPart.target.isEmpty())
        return;

    const std::pair<const Part*, const QPixmap*> parts[] = {{&m_greenPart, &m_green}, {&m_redPart, &m_red}};
    for (const auto& [part, picture] : parts) {
        if (part->target.width() <= 0)
            continue;
        const QRectF source(part->sourceLeft * picture->width(), 0, part->sourceWidth * picture->width(),
                            picture->height());
        painter.drawPixmap(part->target, *picture, source);
    }

    painter.setFont(m_numberFont);
    painter.setPen(Qt::white);
    for (const Part* part : {&m_greenPart, &m_redPart})
        if (part->numberFits)
            painter.drawText(part->target, Qt::AlignCenter, part->number);
}

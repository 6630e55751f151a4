#include "ui/dialogs/splash_dialog.h"

#include "ui/interface_fonts.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace {

constexpr QSize splashSize(480, 280);
constexpr int margin = 36;

QFont splashFont(int pixelSize, int weight)
{
    QFont font(UI::InterfaceFonts::familyName());
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

} // namespace

namespace UI {

SplashDialog::SplashDialog(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_status(tr("Starting…")), m_version(QCoreApplication::applicationVersion())
{
    InterfaceFonts::registerFonts();
    setObjectName(QStringLiteral("SplashDialog"));
    setAccessibleName(QStringLiteral("Cantorela"));
    setAccessibleDescription(m_status);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(splashSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place(QPoint(0, 0), splashSize);
        place.moveCenter(screen->availableGeometry().center());
        move(place.topLeft());
    }
}

void SplashDialog::setStatus(const QString& text)
{
    m_status = text;
    setAccessibleDescription(text);
    // The caller keeps the event loop busy: paint now.
    if (isVisible())
        repaint();
}

const QPixmap& SplashDialog::backdrop()
{
    const bool dense = devicePixelRatioF() > 1.0;
    if (m_backdrop.isNull() || (m_backdrop.devicePixelRatio() > 1.0) != dense) {
        m_backdrop.load(dense ? QStringLiteral(":/PIX/pixmap/main_bg@2x.png")
                              : QStringLiteral(":/PIX/pixmap/main_bg.png"));
        m_backdrop.setDevicePixelRatio(dense ? 2.0 : 1.0);
    }
    return m_backdrop;
}

void SplashDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    // The backdrop fills the window, cut to its proportions around the staff line.
    const QPixmap& picture = backdrop();
    if (!picture.isNull()) {
        const QSizeF source = QSizeF(picture.size());
        const double k = std::min(source.width() / width(), source.height() / height());
        const QSizeF cut(width() * k, height() * k);
        const QRectF from(
            QPointF((source.width() - cut.width()) / 2, (source.height() - cut.height()) * 0.55), cut);
        painter.drawPixmap(QRectF(rect()), picture, from);
    } else {
        QLinearGradient fill(0, 0, 0, height());
        fill.setColorAt(0, QColor(0x1f, 0x2f, 0x4a));
        fill.setColorAt(1, QColor(0x12, 0x18, 0x26));
        painter.fillRect(rect(), fill);
    }
    painter.fillRect(rect(), QColor(10, 12, 18, 90));

    painter.setPen(Qt::white);
    painter.setFont(splashFont(46, QFont::Bold));
    const QRect nameBox(margin, 30, width() - 2 * margin, 60);
    painter.drawText(nameBox, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Cantorela"));
    painter.fillRect(QRect(margin + 2, nameBox.bottom() + 10, 56, 4), QColor(0xf5, 0x9a, 0x23));

    painter.setPen(QColor(0xc9, 0xcd, 0xd6));
    painter.setFont(splashFont(15, QFont::Normal));
    const QString versionText =
        m_version.isEmpty() ? tr("Music reading and ear training") : tr("Version %1").arg(m_version);
    painter.drawText(QRect(margin + 2, nameBox.bottom() + 24, width() - 2 * margin, 22),
                     Qt::AlignLeft | Qt::AlignVCenter, versionText);

    painter.setPen(Qt::white);
    painter.setFont(splashFont(14, QFont::Normal));
    const QRect statusBox(margin, height() - margin - 22, width() - 2 * margin, 22);
    painter.drawText(statusBox, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(m_status, Qt::ElideRight, statusBox.width()));

    painter.setPen(QPen(QColor(0x4a, 0x4e, 0x5a), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace UI

#include "ui/dialogs/base_dialog.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPropertyAnimation>
#include <QShowEvent>

namespace {

constexpr int fadeDuration = 200;

} // namespace

namespace UI {

// Draws a picture of what lies under the dialog, then the dialog at the effect's opacity. It is
// enabled only while a fade runs, so that the dialog paints directly the rest of the time.
class BaseDialog::Effect : public QGraphicsOpacityEffect
{
public:
    using QGraphicsOpacityEffect::QGraphicsOpacityEffect;

    QPixmap underneath;

protected:
    void draw(QPainter* painter) override
    {
        if (!underneath.isNull())
            painter->drawPixmap(0, 0, underneath);
        QGraphicsOpacityEffect::draw(painter);
    }
};

BaseDialog::BaseDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    m_effect = new Effect(this);
    m_effect->setEnabled(false);
    setGraphicsEffect(m_effect);
    m_fade = new QPropertyAnimation(m_effect, "opacity", this);
    m_fade->setDuration(fadeDuration);
    connect(m_fade, &QPropertyAnimation::finished, this, &BaseDialog::fadeFinished);
}

BaseDialog::~BaseDialog()
{
    // The animation outlives this class's part of the object: it must not call back.
    m_fade->disconnect(this);
    m_fade->stop();
}

double BaseDialog::opacity() const
{
    return m_effect->isEnabled() ? m_effect->opacity() : 1.0;
}

void BaseDialog::done(int result)
{
    if (m_fadingOut || !isVisible())
        return;
    m_fadingOut = true;
    m_pendingResult = result;
    startFade(opacity(), 0.0);
}

void BaseDialog::postponedFadeSlot()
{
    done(Rejected);
}

void BaseDialog::startFade(double from, double to)
{
    m_fade->stop();
    // What lies under the dialog: its parent's part of the window, as the window paints it.
    m_effect->underneath = QPixmap();
    if (QWidget* parent = parentWidget()) {
        QWidget* window = parent->window();
        m_effect->underneath = window->grab(QRect(parent->mapTo(window, QPoint(0, 0)), parent->size()));
    }
    m_effect->setOpacity(from);
    m_effect->setEnabled(true);
    m_fade->setStartValue(from);
    m_fade->setEndValue(to);
    m_fade->start();
}

void BaseDialog::fadeFinished()
{
    if (!m_fadingOut) {
        m_effect->setEnabled(false);
        m_effect->underneath = QPixmap();
        return;
    }
    // Stays faded out while hidden; the next show fades in from nothing.
    m_effect->underneath = QPixmap();
    QDialog::done(m_pendingResult);
    m_fadingOut = false;
    Q_EMIT dialogClosed();
}

void BaseDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    coverParent();
    // Moving or resizing the parent, or the window it lies in, takes the dialog along.
    if (QWidget* parent = parentWidget())
        for (QWidget* watched : {parent, parent->window()}) {
            watched->removeEventFilter(this);
            watched->installEventFilter(this);
        }
    // A dialog hidden directly during its fade-out starts afresh when shown again.
    m_fadingOut = false;
    startFade(0.0, 1.0);
}

bool BaseDialog::eventFilter(QObject* watched, QEvent* event)
{
    const QWidget* parent = parentWidget();
    if (parent && (watched == parent || watched == parent->window()) && isVisible() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        coverParent();
    return QDialog::eventFilter(watched, event);
}

void BaseDialog::coverParent()
{
    if (QWidget* parent = parentWidget())
        setGeometry(QRect(parent->mapToGlobal(QPoint(0, 0)), parent->size()));
}

} // namespace UI

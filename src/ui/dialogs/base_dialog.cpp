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
    effect = new Effect(this);
    effect->setEnabled(false);
    setGraphicsEffect(effect);
    fade = new QPropertyAnimation(effect, "opacity", this);
    fade->setDuration(fadeDuration);
    connect(fade, &QPropertyAnimation::finished, this, &BaseDialog::FadeFinished);
}

BaseDialog::~BaseDialog()
{
    // The animation outlives this class's part of the object: it must not call back.
    fade->disconnect(this);
    fade->stop();
}

double BaseDialog::Opacity() const
{
    return effect->isEnabled() ? effect->opacity() : 1.0;
}

void BaseDialog::done(int result)
{
    if (fadingOut || !isVisible())
        return;
    fadingOut = true;
    pendingResult = result;
    StartFade(Opacity(), 0.0);
}

void BaseDialog::postponedFadeSlot()
{
    done(Rejected);
}

void BaseDialog::StartFade(double from, double to)
{
    fade->stop();
    // What lies under the dialog: its parent's part of the window, as the window paints it.
    effect->underneath = QPixmap();
    if (QWidget* parent = parentWidget()) {
        QWidget* window = parent->window();
        effect->underneath = window->grab(QRect(parent->mapTo(window, QPoint(0, 0)), parent->size()));
    }
    effect->setOpacity(from);
    effect->setEnabled(true);
    fade->setStartValue(from);
    fade->setEndValue(to);
    fade->start();
}

void BaseDialog::FadeFinished()
{
    if (!fadingOut) {
        effect->setEnabled(false);
        effect->underneath = QPixmap();
        return;
    }
    // Stays faded out while hidden; the next show fades in from nothing.
    effect->underneath = QPixmap();
    QDialog::done(pendingResult);
    fadingOut = false;
    Q_EMIT DialogClosed();
}

void BaseDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    CoverParent();
    // Moving or resizing the parent, or the window it lies in, takes the dialog along.
    if (QWidget* parent = parentWidget())
        for (QWidget* watched : {parent, parent->window()}) {
            watched->removeEventFilter(this);
            watched->installEventFilter(this);
        }
    // A dialog hidden directly during its fade-out starts afresh when shown again.
    fadingOut = false;
    StartFade(0.0, 1.0);
}

bool BaseDialog::eventFilter(QObject* watched, QEvent* event)
{
    const QWidget* parent = parentWidget();
    if (parent && (watched == parent || watched == parent->window()) && isVisible() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        CoverParent();
    return QDialog::eventFilter(watched, event);
}

void BaseDialog::CoverParent()
{
    if (QWidget* parent = parentWidget())
        setGeometry(QRect(parent->mapToGlobal(QPoint(0, 0)), parent->size()));
}

} // namespace UI

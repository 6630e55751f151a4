#include "ui/exercise/action_hint.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QTimer>

namespace UI {

ActionHint::ActionHint(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("actionHint"));
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::RichText);
    setAlignment(Qt::AlignCenter);
    setStyleSheet(
        QStringLiteral("QLabel#actionHint { color: white; font: 600 15px \"Tahoma\";"
                       " background-color: rgba(30, 32, 38, 225); border: 1px solid rgb(245, 154, 35);"
                       " border-radius: 8px; padding: 10px 18px; }"));
    delay = new QTimer(this);
    delay->setSingleShot(true);
    delay->setInterval(DelayMs);
    connect(delay, &QTimer::timeout, this, &ActionHint::Appear);
    display = new QTimer(this);
    display->setSingleShot(true);
    display->setInterval(DisplayMs);
    connect(display, &QTimer::timeout, this, &QWidget::hide);
    SetMode(PauseMode);
    hide();
}

QString ActionHint::TextOf(Mode mode)
{
    return mode == PauseMode
               ? tr("Press spacebar to pause")
               : tr("Press spacebar for next question,<br>to continue automatically see Settings");
}

void ActionHint::SetMode(Mode newMode)
{
    mode = newMode;
    setText(TextOf(mode));
    QString plain = TextOf(mode);
    plain.replace(QStringLiteral("<br>"), QStringLiteral(" "));
    setAccessibleName(plain);
    adjustSize();
}

void ActionHint::ShowAt(const QPoint& bottomCentre)
{
    anchor = bottomCentre;
    delay->stop();
    display->stop();
    if (mode == NextQuestionMode)
        Appear();
    else {
        hide();
        delay->start();
    }
}

void ActionHint::Appear()
{
    adjustSize();
    move(anchor.x() - width() / 2, anchor.y() - height());
    raise();
    show();
    QAccessibleEvent shown(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&shown);
    if (mode == PauseMode)
        display->start();
}

void ActionHint::Dismiss()
{
    delay->stop();
    display->stop();
    hide();
}

bool ActionHint::IsPending() const
{
    return isVisible() || delay->isActive();
}

void ActionHint::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT Clicked();
}

} // namespace UI

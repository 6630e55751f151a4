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
    m_delay = new QTimer(this);
    m_delay->setSingleShot(true);
    m_delay->setInterval(DelayMs);
    connect(m_delay, &QTimer::timeout, this, &ActionHint::appear);
    m_display = new QTimer(this);
    m_display->setSingleShot(true);
    m_display->setInterval(DisplayMs);
    connect(m_display, &QTimer::timeout, this, &QWidget::hide);
    setMode(PauseMode);
    hide();
}

QString ActionHint::textOf(Mode mode)
{
    switch (mode) {
    case PauseMode:
        return tr("Press spacebar to pause");
    case NextQuestionMode:
        return tr("Press spacebar for next question,<br>to continue automatically see Settings");
    case MutedMicrophoneMode:
        return tr("I hear nothing: is the microphone muted?");
    case PianoKeysMode:
        break;
    }
    return tr("Your computer keyboard plays the piano: press the letters on its keys.<br>"
              "Page Up and Page Down move them an octave.");
}

void ActionHint::setMode(Mode newMode)
{
    if (newMode == PianoKeysMode) {
        setPianoKeysText(textOf(newMode));
        return;
    }
    m_mode = newMode;
    setText(textOf(m_mode));
    QString plain = textOf(m_mode);
    plain.replace(QStringLiteral("<br>"), QStringLiteral(" "));
    setAccessibleName(plain);
    adjustSize();
}

void ActionHint::setPianoKeysText(const QString& text)
{
    m_mode = PianoKeysMode;
    setText(text);
    QString plain = text;
    plain.replace(QStringLiteral("<br>"), QStringLiteral(" "));
    setAccessibleName(plain);
    adjustSize();
}

void ActionHint::showAt(const QPoint& bottomCentre)
{
    m_anchor = bottomCentre;
    m_delay->stop();
    m_display->stop();
    if (m_mode != PauseMode)
        appear();
    else {
        hide();
        m_delay->start();
    }
}

void ActionHint::appear()
{
    adjustSize();
    move(m_anchor.x() - width() / 2, m_anchor.y() - height());
    raise();
    show();
    QAccessibleEvent shown(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&shown);
    if (m_mode == PauseMode || m_mode == PianoKeysMode) {
        m_display->setInterval(m_mode == PianoKeysMode ? PianoDisplayMs : DisplayMs);
        m_display->start();
    }
}

void ActionHint::dismiss()
{
    m_delay->stop();
    m_display->stop();
    hide();
}

bool ActionHint::isPending() const
{
    return isVisible() || m_delay->isActive();
}

void ActionHint::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT clicked();
}

} // namespace UI

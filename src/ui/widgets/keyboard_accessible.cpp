#include "keyboard_accessible.h"

#include "keyboard.h"

#include <QWidget>

KeyboardAccessible::KeyboardAccessible(Keyboard* keyboard)
    : QAccessibleWidget(keyboard, QAccessible::Grouping), m_keys(size_t(Keyboard::KeyCount), 0)
{
}

KeyboardAccessible::~KeyboardAccessible()
{
    for (QAccessible::Id id : m_keys)
        if (id != 0)
            QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* KeyboardAccessible::Factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("Keyboard"))
        if (Keyboard* keyboard = qobject_cast<Keyboard*>(object))
            return new KeyboardAccessible(keyboard);
    return nullptr;
}

Keyboard* KeyboardAccessible::keyboardWidget() const
{
    return static_cast<Keyboard*>(widget());
}

QString KeyboardAccessible::text(QAccessible::Text textType) const
{
    switch (textType) {
    case QAccessible::Name:
        return widget()->accessibleName().isEmpty() ? Keyboard::tr("Piano keyboard")
                                                    : widget()->accessibleName();
    case QAccessible::Description:
        return widget()->accessibleDescription().isEmpty()
                   ? Keyboard::tr("88 keys from %1 to %2; press a key to play it")
                         .arg(Keyboard::keyName(0), Keyboard::keyName(Keyboard::KeyCount - 1))
                   : widget()->accessibleDescription();
    default:
        return QAccessibleWidget::text(textType);
    }
}

int KeyboardAccessible::childCount() const
{
    return Keyboard::KeyCount;
}

QAccessibleInterface* KeyboardAccessible::child(int index) const
{
    if (index < 0 || index >= Keyboard::KeyCount)
        return nullptr;
    QAccessible::Id& id = m_keys[size_t(index)];
    if (id == 0)
        id = QAccessible::registerAccessibleInterface(new KeyAccessible(keyboardWidget(), index));
    return QAccessible::accessibleInterface(id);
}

int KeyboardAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (int index = 0; index < Keyboard::KeyCount; ++index)
        if (m_keys[size_t(index)] != 0 && QAccessible::accessibleInterface(m_keys[size_t(index)]) == child)
            return index;
    return -1;
}

QAccessibleInterface* KeyboardAccessible::childAt(int x, int y) const
{
    const int key = keyboardWidget()->keyAt(keyboardWidget()->mapFromGlobal(QPoint(x, y)));
    return key == -1 ? nullptr : child(key);
}

KeyAccessible::KeyAccessible(Keyboard* keyboard, int key) : m_keyboard(keyboard), m_key(key) {}

bool KeyAccessible::isValid() const
{
    return !m_keyboard.isNull();
}

QObject* KeyAccessible::object() const
{
    return nullptr;
}

QWindow* KeyAccessible::window() const
{
    return m_keyboard ? m_keyboard->window()->windowHandle() : nullptr;
}

QAccessibleInterface* KeyAccessible::parent() const
{
    return m_keyboard ? QAccessible::queryAccessibleInterface(m_keyboard.data()) : nullptr;
}

QAccessibleInterface* KeyAccessible::child(int) const
{
    return nullptr;
}

int KeyAccessible::childCount() const
{
    return 0;
}

int KeyAccessible::indexOfChild(const QAccessibleInterface*) const
{
    return -1;
}

QAccessibleInterface* KeyAccessible::childAt(int, int) const
{
    return nullptr;
}

QAccessibleInterface* KeyAccessible::focusChild() const
{
    return nullptr;
}

QString KeyAccessible::text(QAccessible::Text textType) const
{
    if (!m_keyboard)
        return QString();
    switch (textType) {
    case QAccessible::Name:
        return Keyboard::keyName(m_key);
    case QAccessible::Description:
        switch (m_keyboard->keyState(m_key).mark) {
        case Keyboard::GreenMark:
            return Keyboard::tr("right");
        case Keyboard::BlueMark:
            return Keyboard::tr("missed");
        case Keyboard::RedMark:
            return Keyboard::tr("wrong");
        default:
            return QString();
        }
    default:
        return QString();
    }
}

void KeyAccessible::setText(QAccessible::Text, const QString&) {}

QAccessible::Role KeyAccessible::role() const
{
    return QAccessible::Button;
}

QAccessible::State KeyAccessible::state() const
{
    QAccessible::State state;
    if (!m_keyboard) {
        state.invalid = true;
        return state;
    }
    const KeyStateRecord record = m_keyboard->keyState(m_key);
    state.pressed = m_keyboard->m_pressedKey == m_key || record.played;
    state.checkable = true;
    state.checked = record.mark == Keyboard::GreenMark;
    state.disabled =
        !m_keyboard->isEnabled() || m_keyboard->mode() != Keyboard::PlayMode || !m_keyboard->m_interactive;
    state.invisible = !m_keyboard->isVisible();
    state.offscreen = state.invisible;
    return state;
}

QRect KeyAccessible::rect() const
{
    if (!m_keyboard)
        return QRect();
    const QRect local = m_keyboard->keyRect(m_key);
    return QRect(m_keyboard->mapToGlobal(local.topLeft()), local.size());
}

void* KeyAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList KeyAccessible::actionNames() const
{
    return {pressAction()};
}

void KeyAccessible::doAction(const QString& actionName)
{
    if (m_keyboard && actionName == pressAction())
        m_keyboard->clickKey(m_key);
}

QStringList KeyAccessible::keyBindingsForAction(const QString&) const
{
    return {};
}

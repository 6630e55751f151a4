#pragma once
// What screen readers see of the on-screen keyboard (Keyboard): a group named "Piano keyboard"
// with one button per key, 88 in all, each named by its note ("C4", "F♯4/G♭4"; key 39 is middle
// C) and placed on the key's screen rectangle. A key's states: `pressed` while it is held and
// after it was played since the last reset; `checked` (with `checkable`) when it carries the
// green mark of a right answer; `disabled` while the keyboard takes no presses. Its description
// names its mark: "right" (green), "missed" (blue) or "wrong" (red). The press action plays the
// key as a click does. The first keyboard installs Factory() with QAccessible::installFactory.

#include <QAccessibleWidget>
#include <QPointer>

#include <vector>

class Keyboard;

class KeyboardAccessible : public QAccessibleWidget
{
public:
    explicit KeyboardAccessible(Keyboard* keyboard);
    ~KeyboardAccessible() override;

    static QAccessibleInterface* Factory(const QString& className, QObject* object);

    QString text(QAccessible::Text textType) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    Keyboard* keyboardWidget() const;

    // The keys' interfaces, made on first use and registered with QAccessible (which owns them
    // until this interface deletes them).
    mutable std::vector<QAccessible::Id> m_keys;
};

// One key of the keyboard.
class KeyAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    KeyAccessible(Keyboard* keyboard, int key);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text textType) const override;
    void setText(QAccessible::Text textType, const QString& text) override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QRect rect() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;


private:
    QPointer<Keyboard> m_keyboard;
    int m_key;
};

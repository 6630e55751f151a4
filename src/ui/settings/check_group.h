#pragma once
// A group of check boxes of a trainer settings page of which at least one stays checked: a user
// who unchecks the last checked member finds it checked again, so that no page can switch off
// every option of a group (a lesson with nothing to ask could not run). The page adds the
// members; the group announces every change of the set of checked members. GUI thread only.

#include <QList>
#include <QObject>
#include <QPointer>

class QCheckBox;

namespace UI {

class CheckGroup : public QObject
{
    Q_OBJECT
public:
    explicit CheckGroup(QObject* parent = nullptr);

    // Adds a member (once); its clicked() is connected to onChange(). The group does not own it.
    void addMember(QCheckBox* box);
    QList<QCheckBox*> members() const;
    QList<QCheckBox*> checkedMembers() const;

Q_SIGNALS:
    // The set of checked members differs from the one last announced.
    void changed();
    // The user unchecked the last checked member, which the group checked again.
    void lastMemberKept(QCheckBox* box);

public Q_SLOTS:
    // Runs after a member was clicked: keeps the clicked member checked when it was the last
    // checked one, then announces the change, if any. Members set from code (restoring saved
    // settings) are not corrected; the page calls onChange() itself when it wants them checked.
    void onChange();

private:
    QList<QPointer<QCheckBox>> m_members;
    QList<QCheckBox*> m_announced;
};

} // namespace UI

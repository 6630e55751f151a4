#include "ui/settings/check_group.h"

#include <QCheckBox>

namespace UI {

CheckGroup::CheckGroup(QObject* parent) : QObject(parent) {}

void CheckGroup::addMember(QCheckBox* box)
{
    if (!box || m_members.contains(box))
        return;
    m_members.append(box);
    connect(box, &QCheckBox::clicked, this, &CheckGroup::onChange);
    m_announced = checkedMembers();
}

QList<QCheckBox*> CheckGroup::members() const
{
    QList<QCheckBox*> result;
    for (const auto& box : m_members)
        if (box)
            result.append(box);
    return result;
}

QList<QCheckBox*> CheckGroup::checkedMembers() const
{
    QList<QCheckBox*> result;
    for (const auto& box : m_members)
        if (box && box->isChecked())
            result.append(box);
    return result;
}

void CheckGroup::onChange()
{
    QList<QCheckBox*> checked = checkedMembers();
    if (checked.isEmpty()) {
        // The clicked member, or the first one when called from code.
        auto* clicked = qobject_cast<QCheckBox*>(sender());
        QCheckBox* keep = clicked && m_members.contains(clicked) ? clicked : members().value(0);
        if (keep) {
            keep->setChecked(true);
            checked = checkedMembers();
            if (keep == clicked)
                Q_EMIT lastMemberKept(keep);
        }
    }
    if (checked == m_announced)
        return;
    m_announced = checked;
    Q_EMIT changed();
}

} // namespace UI

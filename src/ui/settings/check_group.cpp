#include "ui/settings/check_group.h"

#include <QCheckBox>

namespace UI {

CheckGroup::CheckGroup(QObject* parent) : QObject(parent) {}

void CheckGroup::AddMember(QCheckBox* box)
{
    if (!box || members.contains(box))
        return;
    members.append(box);
    connect(box, &QCheckBox::clicked, this, &CheckGroup::onChange);
    announced = CheckedMembers();
}

QList<QCheckBox*> CheckGroup::Members() const
{
    QList<QCheckBox*> result;
    for (const auto& box : members)
        if (box)
            result.append(box);
    return result;
}

QList<QCheckBox*> CheckGroup::CheckedMembers() const
{
    QList<QCheckBox*> result;
    for (const auto& box : members)
        if (box && box->isChecked())
            result.append(box);
    return result;
}

void CheckGroup::onChange()
{
    QList<QCheckBox*> checked = CheckedMembers();
    if (checked.isEmpty()) {
        // The clicked member, or the first one when called from code.
        auto* clicked = qobject_cast<QCheckBox*>(sender());
        QCheckBox* keep = clicked && members.contains(clicked) ? clicked : Members().value(0);
        if (keep) {
            keep->setChecked(true);
            checked = CheckedMembers();
            if (keep == clicked)
                emit lastMemberKept(keep);
        }
    }
    if (checked == announced)
        return;
    announced = checked;
    emit changed();
}

} // namespace UI

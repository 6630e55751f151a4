#include "ui/exercise/reference/reference_page.h"

#include <QStringList>

namespace UI {
namespace Reference {

QVector<int> keysAbove(int root, const std::vector<int>& offsets)
{
    QVector<int> keys;
    for (int offset : offsets)
        keys.append(root + offset);
    return keys;
}

QString joinedNames(const QStringList& names)
{
    return names.join(QStringLiteral(" \u2013 "));
}

} // namespace Reference
} // namespace UI

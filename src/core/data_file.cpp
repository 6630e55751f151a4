#include "core/data_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Core {

bool DataFile::WriteAtomically(const QString& path, const QByteArray& contents, QString* errorText)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    const qint64 written = file.write(contents);
    if (written != qint64(contents.size())) {
        if (errorText)
            *errorText = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    return true;
}

bool DataFile::KeepAside(const QString& path, QString* keptPath)
{
    if (keptPath)
        keptPath->clear();
    if (!QFileInfo::exists(path))
        return true;

    const QString stem = path + QStringLiteral(".unreadable-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = stem;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = stem + QLatin1Char('-') + QString::number(n);

    // A rename keeps the bytes and needs no space; a copy is the fallback where renaming is
    // refused (for example a file that is busy elsewhere on some file systems).
    if (!QFile::rename(path, target) && !QFile::copy(path, target))
        return false;
    if (keptPath)
        *keptPath = target;
    return true;
}

} // namespace Core

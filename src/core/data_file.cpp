#include "core/data_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace Core {
namespace {

DataFile::Problem Classify(int error, const QString& folder)
{
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return DataFile::Problem::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOTDIR:
    case ENOENT:
    case EISDIR:
        return DataFile::Problem::NotWritable;
    default:
        break;
    }
    // errno may have been overwritten on the way out of Qt; the folder itself still tells.
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable())
        return DataFile::Problem::NotWritable;
    return DataFile::Problem::Other;
}

} // namespace

bool DataFile::WriteAtomically(const QString& path, const QByteArray& contents, QString* errorText,
                               Problem* problem)
{
    const QString folder = QFileInfo(path).absolutePath();
    const auto fail = [&](int error, const QString& text) {
        if (errorText)
            *errorText = text;
        if (problem)
            *problem = Classify(error, folder);
        return false;
    };
    if (problem)
        *problem = Problem::None;

    // A data folder deleted while the program runs is made again rather than losing the save.
    if (!QFileInfo(folder).exists()) {
        errno = 0;
        if (!QDir().mkpath(folder))
            return fail(
                errno ? errno : ENOENT,
                QCoreApplication::translate("Core::DataFile", "the folder %1 cannot be made").arg(folder));
    }

    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return fail(errno, file.errorString());

    // QSaveFile commits whatever reached the file even when the last buffered bytes could not be
    // written (its flush error is not checked): a small document that failed entirely on a full
    // disk would replace the old file with an empty one. So every byte is pushed out and synced
    // here, and any failure cancels the commit.
    errno = 0;
    bool written = file.write(contents) == qint64(contents.size()) && file.flush();
#ifdef Q_OS_UNIX
    if (written && ::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS)
        written = false; // EINVAL: a file system that cannot sync; it has the bytes already
#endif
    if (!written || file.error() != QFileDevice::NoError) {
        const int error = errno;
        const QString text = error ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString();
        file.cancelWriting();
        return fail(error, text);
    }
    errno = 0;
    if (!file.commit())
        return fail(errno, file.errorString());
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

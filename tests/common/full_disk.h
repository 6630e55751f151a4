#pragma once
// A real full disk for the tests of what the program writes: a small tmpfs mounted on a
// temporary folder (root only, as the tests run here), which Fill() fills to the last byte and
// Free() empties again. Where mounting is not allowed IsMounted() is false and the test skips.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class FullDisk
{
public:
    explicit FullDisk(int kilobytes = 1024)
    {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
        mounted = dir.isValid() && ::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0,
                                           options.constData()) == 0;
        if (!mounted)
            why = QString::fromLocal8Bit(strerror(errno));
    }
    ~FullDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool IsMounted() const { return mounted; }
    QString Why() const { return QStringLiteral("cannot mount a tmpfs here: ") + why; }
    QString Path() const { return dir.path(); }

    // Writes a filler file until the file system says it is full.
    bool Fill()
    {
        const int fd =
            ::open(QFile::encodeName(FillerPath()).constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'x');
        int lastError = 0;
        for (int size = block.size(); size > 0;) {
            if (::write(fd, block.constData(), size_t(size)) < 0) {
                lastError = errno;
                if (lastError != ENOSPC)
                    break;
                size /= 2; // down to the last byte
            }
        }
        ::close(fd);
        return lastError == ENOSPC;
    }
    void Free() { QFile::remove(FillerPath()); }

private:
    QString FillerPath() const { return dir.filePath(QStringLiteral(".filler")); }

    QTemporaryDir dir;
    bool mounted = false;
    QString why;
};

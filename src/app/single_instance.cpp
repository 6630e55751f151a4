#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>

Q_LOGGING_CATEGORY(instanceLog, "cantorela.instance")

namespace UI {
namespace {

constexpr char RaiseMessage[] = "raise\n";
// A copy that has just taken the lock starts listening at once; one that is busy starting (the
// splash, the records) answers once its event loop runs.
constexpr int AnswerWithinMs = 10000;

} // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent) : QObject(parent)
{
    const QByteArray folderKey =
        QCryptographicHash::hash(QDir(dataFolder).absolutePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    const QString stem = QStringLiteral("cantorela-") + QString::fromLatin1(folderKey);
    lockPath = QDir(runtime).absoluteFilePath(stem + QStringLiteral(".lock"));
    serverName = QDir(runtime).absoluteFilePath(stem + QStringLiteral(".socket"));
}

SingleInstance::~SingleInstance()
{
    if (server)
        server->close();
}

SingleInstance::Outcome SingleInstance::Claim()
{
    lock = std::make_unique<QLockFile>(lockPath);
    // Never stale by age: only a lock whose process is gone is taken over.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        if (!Listen())
            qCWarning(instanceLog) << "another start cannot reach this copy:" << serverName;
        return Outcome::First;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        qCWarning(instanceLog) << "running without the one-copy guard; the lock" << lockPath
                               << "cannot be made (error" << int(lock->error()) << ")";
        return Outcome::Unguarded;
    }
    if (!AskRunningCopy())
        qCWarning(instanceLog) << "Cantorela is already running for this data folder but did not answer;"
                               << "not starting a second copy";
    return Outcome::Handed;
}

bool SingleInstance::Listen()
{
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a killed copy is in the way; the lock says it is ours now.
    QLocalServer::removeServer(serverName);
    if (!server->listen(serverName))
        return false;
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("raise"))
                    emit RaiseRequested();
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}

bool SingleInstance::AskRunningCopy() const
{
    const QDeadlineTimer deadline(AnswerWithinMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(serverName);
        if (socket.waitForConnected(int(std::min<qint64>(1000, deadline.remainingTime())))) {
            socket.write(RaiseMessage);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.waitForDisconnected(1000);
            return sent;
        }
        // Not listening yet (it has only just taken the lock): try again shortly.
        QThread::msleep(100);
    }
    return false;
}

} // namespace UI

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

namespace App {
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
    m_lockPath = QDir(runtime).absoluteFilePath(stem + QStringLiteral(".lock"));
    m_serverName = QDir(runtime).absoluteFilePath(stem + QStringLiteral(".socket"));
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

SingleInstance::Outcome SingleInstance::claim()
{
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // Never stale by age: only a lock whose process is gone is taken over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        if (!listen())
            qCWarning(instanceLog) << "another start cannot reach this copy:" << m_serverName;
        return Outcome::First;
    }
    if (m_lock->error() != QLockFile::LockFailedError) {
        qCWarning(instanceLog) << "running without the one-copy guard; the lock" << m_lockPath
                               << "cannot be made (error" << int(m_lock->error()) << ")";
        return Outcome::Unguarded;
    }
    if (!askRunningCopy())
        qCWarning(instanceLog) << "Cantorela is already running for this data folder but did not answer;"
                               << "not starting a second copy";
    return Outcome::Handed;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a killed copy is in the way; the lock says it is ours now.
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("raise"))
                    Q_EMIT raiseRequested();
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}

bool SingleInstance::askRunningCopy() const
{
    const QDeadlineTimer deadline(AnswerWithinMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_serverName);
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

} // namespace App

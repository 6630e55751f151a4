#pragma once
// One copy of the program per data folder. Two copies would each keep their own picture of the
// statistics, and the last to save would win; so a second start hands over to the copy that
// runs: it asks that copy to bring its window to the front, and ends.
//
// The running copy holds a lock file in the user's runtime folder and listens on a local socket
// beside it, both named after the data folder. A lock left by a copy that was killed is taken
// over (QLockFile knows a lock whose process is gone). Where the runtime folder cannot be
// written the program runs unguarded; the statistics store still merges what other writers
// saved.
//
// GUI thread only.

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace App {

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Outcome
    {
        First,     // this copy runs; raiseRequested tells of later starts
        Handed,    // another copy runs and was asked to come to the front: end this one
        Unguarded, // no lock could be made: run, without the guard
    };

    // dataFolder: the folder whose files one copy at a time may own.
    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    Outcome claim();

    QString lockPath() const { return m_lockPath; }
    QString serverName() const { return m_serverName; }

Q_SIGNALS:
    // Another start of the program asked for this copy's window.
    void raiseRequested();

private:
    bool listen();
    bool askRunningCopy() const;

    QString m_lockPath;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace App

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

namespace UI {

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Outcome
    {
        First,     // this copy runs; RaiseRequested tells of later starts
        Handed,    // another copy runs and was asked to come to the front: end this one
        Unguarded, // no lock could be made: run, without the guard
    };

    // dataFolder: the folder whose files one copy at a time may own.
    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    Outcome Claim();

    QString LockPath() const { return lockPath; }
    QString ServerName() const { return serverName; }

Q_SIGNALS:
    // Another start of the program asked for this copy's window.
    void RaiseRequested();

private:
    bool Listen();
    bool AskRunningCopy() const;

    QString lockPath;
    QString serverName;
    std::unique_ptr<QLockFile> lock;
    QLocalServer* server = nullptr;
};

} // namespace UI

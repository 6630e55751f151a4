#pragma once
// Ends the event loop when the desktop session or the terminal asks the program to stop
// (SIGTERM, SIGINT, SIGHUP), without a dialog and with nothing lost: stopRequested() lets the
// main window save the resume record and the statistics before it ends the event loop (with
// nobody listening, the loop just quits). The signal handler only writes a byte to a socket
// pair; the GUI thread reads it. A second signal while shutting down ends the process at once.

#include <QObject>

class QSocketNotifier;

namespace App {

class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    // Installs the handlers; false (and nothing installed) when the socket pair cannot be made.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    bool isInstalled() const { return m_notifier != nullptr; }

Q_SIGNALS:
    // On the GUI thread, once per signal received.
    void stopRequested(int signal);

private:
    static void handle(int signal);
    void onSignal();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace App

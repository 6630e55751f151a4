#pragma once
// Ends the event loop when the desktop session or the terminal asks the program to stop
// (SIGTERM, SIGINT, SIGHUP), so that it shuts down as if its window were closed: statistics and
// usage counters are written. The signal handler only writes a byte to a socket pair; the GUI
// thread reads it and quits. A second signal while shutting down ends the process at once.

#include <QObject>

class QSocketNotifier;

namespace UI {

class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    // Installs the handlers; false (and nothing installed) when the socket pair cannot be made.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    bool IsInstalled() const { return notifier != nullptr; }

private:
    static void Handle(int signal);
    void OnSignal();

    QSocketNotifier* notifier = nullptr;
};

} // namespace UI

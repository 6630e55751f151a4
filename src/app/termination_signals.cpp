#include "app/termination_signals.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QMetaMethod>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(signalLog, "cantorela.signals")

namespace App {
namespace {

int sockets[2] = {-1, -1};
volatile std::sig_atomic_t received = 0;
const int handled[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, sockets) != 0) {
        qCWarning(signalLog) << "termination signals end the program without saving";
        return;
    }
    m_notifier = new QSocketNotifier(sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::onSignal);
    struct sigaction action = {};
    action.sa_handler = &TerminationSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : handled)
        sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (int signal : handled)
        std::signal(signal, SIG_DFL);
    delete m_notifier;
    ::close(sockets[0]);
    ::close(sockets[1]);
    sockets[0] = sockets[1] = -1;
}

void TerminationSignals::handle(int signal)
{
    if (received) {
        // Asked twice: the user means it.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    received = 1;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(sockets[0], &byte, 1);
}

void TerminationSignals::onSignal()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(sockets[1], &byte, 1);
    qCInfo(signalLog) << "signal" << int(byte) << "received; closing";
    if (isSignalConnected(QMetaMethod::fromSignal(&TerminationSignals::stopRequested)))
        Q_EMIT stopRequested(int(byte));
    else
        QCoreApplication::quit();
}

} // namespace App

#include "core/midi/au_server.h"

#include "core/midi/au_server_synth.h"

#include <QList>

#include <mutex>

namespace Core {
namespace {

std::recursive_mutex registryMutex;
QList<AuServer*>& Registry() // front is current; guarded by registryMutex
{
    static QList<AuServer*> servers;
    return servers;
}

} // namespace

AuServer::AuServer()
{
    std::lock_guard<std::recursive_mutex> guard(registryMutex);
    Registry().prepend(this);
}

AuServer::~AuServer()
{
    // Servers made by Current() live for the whole run; a server a test or the application made
    // itself leaves the list when it goes.
    std::lock_guard<std::recursive_mutex> guard(registryMutex);
    Registry().removeAll(this);
}

AuServer* AuServer::Current()
{
    std::lock_guard<std::recursive_mutex> guard(registryMutex);
    if (Registry().isEmpty()) {
        // Registers itself in its constructor and stays for the rest of the run.
        new AuServerSynth(Synthesizer::Shared());
    }
    return Registry().front();
}

} // namespace Core

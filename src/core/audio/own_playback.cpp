#include "core/audio/own_playback.h"

#include <atomic>

namespace Core {
namespace OwnPlayback {
namespace {
std::atomic<quint64> audibleUntil{0};
} // namespace

void MarkAudibleUntil(quint64 untilNs)
{
    quint64 known = audibleUntil.load(std::memory_order_relaxed);
    while (known < untilNs && !audibleUntil.compare_exchange_weak(known, untilNs, std::memory_order_relaxed)) {
    }
}

quint64 AudibleUntilNs()
{
    return audibleUntil.load(std::memory_order_relaxed);
}

} // namespace OwnPlayback
} // namespace Core

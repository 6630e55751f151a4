#pragma once
// What Core::Timer calls every millisecond. OnTimer runs on the timer thread: it must be quick,
// must not allocate on its fast path, and hands anything for the GUI over to the GUI thread.

#include <QtGlobal>

namespace Core {

class MultimediaTimerObserver
{
public:
    virtual ~MultimediaTimerObserver() = default;
    virtual void OnTimer(quint64 nowMs) = 0;
};

} // namespace Core

#pragma once
// The observer list every engine notifier derives from (timeline, MIDI devices, lessons,
// exercises). Notifications run on a snapshot of the list taken under the lock and are delivered
// outside it, so an observer may attach or detach observers (itself included) while being
// notified; such changes take effect from the next notification. Notify never allocates: the
// snapshot is a fixed array, which is why a subject serves at most MaxObservers observers.

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

namespace Core {

template <typename Observer>
class Subject
{
public:
    static constexpr int MaxObservers = 16;

    Subject() { observers.reserve(MaxObservers); }
    virtual ~Subject() = default;
    Subject(const Subject&) = delete;
    Subject& operator=(const Subject&) = delete;

    // Appends the observer unless that very pointer is already attached. A subject refuses
    // observers beyond MaxObservers: loudly in debug builds, by a warning otherwise.
    void Attach(Observer* observer)
    {
        std::lock_guard<std::mutex> guard(mutex);
        if (std::find(observers.begin(), observers.end(), observer) != observers.end())
            return;
        if (observers.size() >= static_cast<size_t>(MaxObservers)) {
            Q_ASSERT_X(false, "Core::Subject::Attach", "too many observers");
            qWarning("Core::Subject::Attach: refusing observer beyond the limit of %d", MaxObservers);
            return;
        }
        observers.push_back(observer);
    }

    // Removes the first occurrence, keeping the order of the others; absent pointers are ignored.
    void Detach(Observer* observer)
    {
        std::lock_guard<std::mutex> guard(mutex);
        auto it = std::find(observers.begin(), observers.end(), observer);
        if (it != observers.end())
            observers.erase(it);
    }

    int ObserverCount() const
    {
        std::lock_guard<std::mutex> guard(mutex);
        return static_cast<int>(observers.size());
    }

protected:
    // Calls (observer->*operation)(args...) on each observer of a snapshot, in attachment order,
    // on the calling thread, with no lock held.
    template <typename Operation, typename... Args>
    void Notify(Operation operation, Args... args)
    {
        std::array<Observer*, MaxObservers> snapshot;
        size_t count = 0;
        {
            std::lock_guard<std::mutex> guard(mutex);
            count = std::min(observers.size(), snapshot.size());
            std::copy_n(observers.begin(), count, snapshot.begin());
        }
        for (size_t i = 0; i < count; ++i)
            (snapshot[i]->*operation)(args...);
    }

private:
    std::vector<Observer*> observers;
    mutable std::mutex mutex; // guards observers only; never held across an observer call
};

} // namespace Core

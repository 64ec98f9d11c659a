// Every blocking wait of the process goes through one hub: events, message queues, sleeps and
// the port's overlapped waits. The hub owns the clock and, with it, virtual time for tests:
// it knows which threads take part (the user-interface thread and the worker threads), can
// tell when every one of them is blocked with nothing ready, and then lets time jump to the
// next deadline instead of sleeping through it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {

using SteadyClock = std::chrono::steady_clock;
using TimePoint = SteadyClock::time_point;
using Duration = SteadyClock::duration;

// How a waiting thread sleeps and is woken. The default uses a condition variable; a presenter
// with an event loop of its own supplies one that sleeps in that loop.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    // Called with the hub lock held; may release and retake it. Returns when woken, at
    // realDeadline, or spuriously.
    virtual void Sleep(std::unique_lock<std::mutex>& lock,
                       std::optional<TimePoint> realDeadline) = 0;
    // Called with the hub lock held, from any thread.
    virtual void Wake() = 0;
};

class WaitHub {
public:
    static WaitHub& Instance();

    std::unique_lock<std::mutex> Lock();

    // Call after changing state that some wait's condition reads, with the lock held.
    void NotifyLocked();

    // Blocks until ready() holds or the deadline (on the hub's clock) passes; ready() is
    // evaluated with the lock held, also by other threads. Returns whether ready() held.
    bool Wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready,
              std::optional<TimePoint> deadline, Sleeper* sleeper = nullptr);

    TimePoint Now() const;

    // Registered threads are those whose waits decide whether the system is idle.
    void RegisterCurrentThread();
    void UnregisterCurrentThread();
    static bool IsCurrentThreadRegistered();
    // For a thread being started: counted from now, so the system is not idle while it starts;
    // the new thread calls AdoptRegistration first thing.
    void RegisterStartingThread();
    void AdoptRegistration();

    // Work under way outside the registered threads (a byte readable but not yet seen, a timer
    // due). Probes run with the hub lock held. Adding and removing
    // need not hold it, and may also be done with it held.
    using SourceId = int;
    SourceId AddBusyProbe(std::function<bool()> busy);
    void RemoveSource(SourceId id);

    // Bytes were just written to a terminal; the kernel delivers them to the other side a
    // moment later, so virtual time waits a short settle time before it calls the line quiet.
    void NoteLineActivity();

    // Virtual time: only AdvanceBy moves the clock.
    void UseVirtualClock();
    void UseSteadyClock();
    bool IsVirtual() const { return virtual_.load(); }

    // Waits (in real time, up to realTimeout) until every registered thread is blocked with
    // nothing ready and no probe reports work. Returns false if that did not happen in time.
    bool WaitIdle(std::chrono::milliseconds realTimeout = std::chrono::seconds(20));
    // Moves virtual time forward by d, stopping at every deadline on the way until the system
    // is idle again. Returns false if the system did not become idle in time.
    bool AdvanceBy(Duration d, std::chrono::milliseconds realTimeout = std::chrono::seconds(20));

private:
    struct Waiter {
        const std::function<bool()>* ready;
        std::optional<TimePoint> deadline;
        Sleeper* sleeper;
        bool registered;
        bool sleeping = false;
        std::atomic<bool> poked{false};  // ends the spin before sleeping
    };

    void WakeLocked(bool everyone);
    bool IsIdleLocked();
    std::optional<TimePoint> EarliestDeadlineLocked();
    bool WaitIdleLocked(std::unique_lock<std::mutex>& lock, std::chrono::milliseconds realTimeout);
    std::optional<TimePoint> SettleDeadline() const;

    std::mutex mutex_;
    std::vector<Waiter*> waiters_;
    int registeredThreads_ = 0;
    std::condition_variable idleObservers_;

    std::mutex sourcesMutex_;  // taken after mutex_, never before
    std::vector<std::pair<SourceId, std::function<bool()>>> busyProbes_;
    SourceId nextSourceId_ = 1;

    std::atomic<bool> virtual_{false};
    std::atomic<SteadyClock::rep> virtualNow_{0};
    std::atomic<SteadyClock::rep> lastLineActivity_{0};
};

}  // namespace platform

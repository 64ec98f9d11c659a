#include "platform/wait_hub.h"

#include <algorithm>
#include <thread>

namespace platform {
namespace {

// Spinning this long before blocking lets a busy hand-off (one message per received byte)
// avoid two kernel wake-ups per byte; an idle thread still blocks.
constexpr auto kSpin = std::chrono::microseconds(40);
// The spin pauses the core in bursts, long enough for a partner that runs on another core to
// answer, with a yield between them. A partner that answers only while this thread yields runs
// on this core: then pausing only keeps it waiting, and the bursts stop until a poke comes
// while pausing again. Short bursts also stay under a hypervisor's pause-loop detection.
constexpr auto kPauseBurst = std::chrono::microseconds(2);
// Pauses between clock reads: a clock read costs more than a pause.
constexpr unsigned kPausesPerClockRead = 16;
// The hub lock is held for short stretches: a thread that finds it taken pauses this many times,
// trying again, before it sleeps in the kernel (a sleep and a wake-up cost several microseconds).
constexpr int kLockTries = 10;
// How long after a terminal write virtual time waits before it takes the line for quiet.
constexpr auto kSettle = std::chrono::milliseconds(3);
// Real-time step of observers that wait for idleness (probes are not notifications).
constexpr auto kObserverStep = std::chrono::milliseconds(1);

class ConditionSleeper final : public Sleeper {
public:
    void Sleep(std::unique_lock<std::mutex>& lock, std::optional<TimePoint> realDeadline) override {
        if (realDeadline) {
            cv_.wait_until(lock, *realDeadline);
        } else {
            cv_.wait(lock);
        }
    }
    void Wake() override { cv_.notify_one(); }

private:
    std::condition_variable cv_;
};

// Tells the core that this is a spin: the other hardware thread runs on, and leaving the loop
// does not flush the pipeline. A yield costs a system call per turn.
void CpuPause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

// Whether the pause bursts answered this thread's last spin.
thread_local bool t_burstsPay = true;

// Spins until poked or kSpin has passed; returns whether poked.
bool SpinUntilPoked(const std::atomic<bool>& poked) {
    const auto end = SteadyClock::now() + kSpin;
    bool yielded = false;
    for (auto now = SteadyClock::now(); now < end; now = SteadyClock::now()) {
        const auto burstEnd = now + (t_burstsPay ? Duration(kPauseBurst) : Duration::zero());
        for (unsigned turn = 0;; ++turn) {
            if (poked.load(std::memory_order_acquire)) {
                // Found while pausing: the bursts pay. Found first thing after a yield: the
                // partner ran on this core meanwhile. Found before either: nothing learnt.
                if (turn > 0 || yielded) {
                    t_burstsPay = turn > 0;
                }
                return true;
            }
            CpuPause();
            if ((turn + 1) % kPausesPerClockRead == 0 && SteadyClock::now() >= burstEnd) {
                break;
            }
        }
        std::this_thread::yield();
        yielded = true;
    }
    return poked.load(std::memory_order_acquire);
}

thread_local bool t_registered = false;

}  // namespace

// Never destroyed, for the waits of thread_local destructors (framework/message_queue.cpp).
WaitHub& WaitHub::Instance() {
    static auto* hub = new WaitHub;
    return *hub;
}

std::unique_lock<std::mutex> WaitHub::Lock() {
    std::unique_lock lock(mutex_, std::try_to_lock);
    for (int tries = 0; !lock.owns_lock() && tries < kLockTries; ++tries) {
        CpuPause();
        static_cast<void>(lock.try_lock());
    }
    if (!lock.owns_lock()) {
        lock.lock();
    }
    return lock;
}

void WaitHub::NotifyLocked() {
    // On the real clock only the waiters that can go on are woken: waking the others would
    // make every idle thread spin once per message, which halves the per-byte hand-off. Under
    // virtual time every waiter looks again, as time may have moved.
    WakeLocked(virtual_.load());
}

void WaitHub::WakeLocked(bool everyone) {
    for (Waiter* w : waiters_) {
        if (everyone || (*w->ready)()) {
            w->poked.store(true, std::memory_order_release);
            if (w->sleeping) {
                w->sleeper->Wake();
            }
        }
    }
    idleObservers_.notify_all();
}

TimePoint WaitHub::Now() const {
    if (virtual_.load(std::memory_order_acquire)) {
        return TimePoint(Duration(virtualNow_.load(std::memory_order_acquire)));
    }
    return SteadyClock::now();
}

bool WaitHub::Wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready,
                   std::optional<TimePoint> deadline, Sleeper* sleeper) {
    // The default sleeper lives in the wait, not in a thread_local: the MinGW runtime may free a
    // thread's thread_local storage before the last waits of its ending thread.
    ConditionSleeper ownSleeper;
    Waiter self{&ready, deadline, sleeper != nullptr ? sleeper : &ownSleeper, t_registered};
    waiters_.push_back(&self);
    bool result = false;
    for (;;) {
        if (ready()) {
            result = true;
            break;
        }
        if (deadline && Now() >= *deadline) {
            break;
        }
        self.poked.store(false, std::memory_order_relaxed);
        lock.unlock();
        const bool poked = SpinUntilPoked(self.poked);
        lock = Lock();
        if (poked || self.poked.load(std::memory_order_acquire)) {
            continue;
        }
        std::optional<TimePoint> realDeadline = virtual_ ? SettleDeadline() : deadline;
        self.sleeping = true;
        idleObservers_.notify_all();
        self.sleeper->Sleep(lock, realDeadline);
        self.sleeping = false;
    }
    waiters_.erase(std::find(waiters_.begin(), waiters_.end(), &self));
    return result;
}

void WaitHub::RegisterCurrentThread() {
    auto lock = Lock();
    if (!t_registered) {
        t_registered = true;
        ++registeredThreads_;
    }
}

void WaitHub::UnregisterCurrentThread() {
    auto lock = Lock();
    if (t_registered) {
        t_registered = false;
        --registeredThreads_;
        NotifyLocked();
    }
}

bool WaitHub::IsCurrentThreadRegistered() {
    return t_registered;
}

void WaitHub::RegisterStartingThread() {
    auto lock = Lock();
    ++registeredThreads_;
}

void WaitHub::AdoptRegistration() {
    t_registered = true;
}

// Sources are taken in and out under their own lock: a source may be created by code that
// already holds the hub lock (the first port operation creates the descriptor watcher).
WaitHub::SourceId WaitHub::AddBusyProbe(std::function<bool()> busy) {
    std::lock_guard lock(sourcesMutex_);
    busyProbes_.emplace_back(nextSourceId_, std::move(busy));
    return nextSourceId_++;
}

void WaitHub::RemoveSource(SourceId id) {
    std::lock_guard lock(sourcesMutex_);
    std::erase_if(busyProbes_, [id](const auto& p) { return p.first == id; });
}

void WaitHub::NoteLineActivity() {
    lastLineActivity_.store(SteadyClock::now().time_since_epoch().count(),
                            std::memory_order_release);
}

std::optional<TimePoint> WaitHub::SettleDeadline() const {
    const TimePoint settled =
        TimePoint(Duration(lastLineActivity_.load(std::memory_order_acquire))) + kSettle;
    if (SteadyClock::now() < settled) {
        return settled;
    }
    return std::nullopt;
}

void WaitHub::UseVirtualClock() {
    auto lock = Lock();
    if (!virtual_) {
        virtualNow_.store(SteadyClock::now().time_since_epoch().count());
    }
    virtual_ = true;
    NotifyLocked();
}

void WaitHub::UseSteadyClock() {
    auto lock = Lock();
    virtual_ = false;
    // Sleepers without a real deadline must take up their deadlines on the real clock.
    WakeLocked(true);
}

bool WaitHub::IsIdleLocked() {
    int blocked = 0;
    const TimePoint now = Now();
    for (Waiter* w : waiters_) {
        if (!w->registered) {
            continue;
        }
        if ((*w->ready)() || (w->deadline && now >= *w->deadline)) {
            return false;
        }
        ++blocked;
    }
    if (blocked != registeredThreads_) {
        return false;
    }
    std::lock_guard sources(sourcesMutex_);
    for (auto& [id, busy] : busyProbes_) {
        if (busy()) {
            return false;
        }
    }
    return !virtual_ || !SettleDeadline();
}

std::optional<TimePoint> WaitHub::EarliestDeadlineLocked() {
    // Only deadlines still ahead count: one already passed belongs to a thread that is running.
    std::optional<TimePoint> earliest;
    const TimePoint now = Now();
    for (Waiter* w : waiters_) {
        if (w->deadline && *w->deadline > now && (!earliest || *w->deadline < *earliest)) {
            earliest = w->deadline;
        }
    }
    return earliest;
}

bool WaitHub::WaitIdleLocked(std::unique_lock<std::mutex>& lock,
                             std::chrono::milliseconds realTimeout) {
    const auto giveUp = SteadyClock::now() + realTimeout;
    while (!IsIdleLocked()) {
        if (SteadyClock::now() >= giveUp) {
            return false;
        }
        idleObservers_.wait_for(lock, kObserverStep);
    }
    return true;
}

bool WaitHub::WaitIdle(std::chrono::milliseconds realTimeout) {
    auto lock = Lock();
    return WaitIdleLocked(lock, realTimeout);
}

bool WaitHub::AdvanceBy(Duration d, std::chrono::milliseconds realTimeout) {
    auto lock = Lock();
    const TimePoint target = Now() + d;
    for (;;) {
        if (!WaitIdleLocked(lock, realTimeout)) {
            return false;
        }
        auto next = EarliestDeadlineLocked();
        const TimePoint step = (next && *next <= target) ? *next : target;
        if (step.time_since_epoch().count() > virtualNow_.load()) {
            virtualNow_.store(step.time_since_epoch().count());
        }
        NotifyLocked();
        if (step == target) {
            return WaitIdleLocked(lock, realTimeout);
        }
    }
}

}  // namespace platform

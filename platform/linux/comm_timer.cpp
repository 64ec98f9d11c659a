#include "platform/comm_timer.h"

#include <algorithm>

namespace platform {

CommTimer& CommTimer::Instance() {
    static CommTimer timer;
    return timer;
}

CommTimer::CommTimer() {
    auto& hub = WaitHub::Instance();
    // A deadline that has passed but whose completion has not run yet is work under way: virtual
    // time must not call the system idle before the waiter has been signalled.
    busyProbe_ = hub.AddBusyProbe([this] { return AnyDueLocked(); });
    thread_ = std::thread([this] { Run(); });
}

CommTimer::~CommTimer() {
    auto& hub = WaitHub::Instance();
    hub.RemoveSource(busyProbe_);
    {
        auto lock = hub.Lock();
        stopping_ = true;
        hub.NotifyLocked();
    }
    thread_.join();
}

CommTimer::TimerId CommTimer::ScheduleLocked(TimePoint deadline, std::function<void()> onDue) {
    const TimerId id = nextId_++;
    timers_.emplace(std::make_pair(deadline, id), std::move(onDue));
    changed_ = true;
    WaitHub::Instance().NotifyLocked();
    return id;
}

void CommTimer::CancelLocked(TimerId id) {
    std::erase_if(timers_, [id](const auto& entry) { return entry.first.second == id; });
}

bool CommTimer::AnyDueLocked() const {
    return !timers_.empty() && timers_.begin()->first.first <= WaitHub::Instance().Now();
}

void CommTimer::Run() {
    auto& hub = WaitHub::Instance();
    auto lock = hub.Lock();
    const std::function<bool()> woken = [this] { return stopping_ || changed_; };
    while (!stopping_) {
        changed_ = false;
        std::optional<TimePoint> next;
        if (!timers_.empty()) {
            next = timers_.begin()->first.first;
        }
        hub.Wait(lock, woken, next);
        while (!stopping_ && AnyDueLocked()) {
            auto due = timers_.extract(timers_.begin());
            due.mapped()();
        }
    }
}

}  // namespace platform

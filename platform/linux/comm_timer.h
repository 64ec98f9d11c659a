// Deadlines of pending port operations (read and write time-outs), on the wait hub's clock, so
// that virtual time reaches them like any other wait. One background thread, blocked in the hub
// until the earliest deadline. Everything here runs with the hub lock held.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/wait_hub.h"

namespace platform {

class CommTimer {
public:
    using TimerId = std::uint64_t;

    static CommTimer& Instance();
    ~CommTimer();

    // Runs onDue once, on the timer thread with the hub lock held, when the hub's clock reaches
    // deadline. Returns an id for Cancel (never 0).
    TimerId ScheduleLocked(TimePoint deadline, std::function<void()> onDue);
    // After it returns onDue has run or never will.
    void CancelLocked(TimerId id);

private:
    CommTimer();
    void Run();
    bool AnyDueLocked() const;

    // (deadline, id) -> callback, earliest first.
    std::map<std::pair<TimePoint, TimerId>, std::function<void()>> timers_;
    TimerId nextId_ = 1;
    bool changed_ = false;
    bool stopping_ = false;
    WaitHub::SourceId busyProbe_ = 0;
    std::thread thread_;
};

}  // namespace platform

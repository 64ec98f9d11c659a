// Test support: a user-interface thread that takes part in virtual time, and a fixture that
// switches the hub to virtual time for a test.
#pragma once

#include <functional>
#include <thread>

#include "framework/message_queue.h"
#include "framework/win_thread.h"
#include "platform/wait_hub.h"

// Runs body on its own thread, counted by the hub like the program's user-interface thread.
class UiThread {
public:
    explicit UiThread(std::function<void()> body) {
        platform::WaitHub::Instance().RegisterStartingThread();
        thread_ = std::thread([body = std::move(body)] {
            platform::WaitHub::Instance().AdoptRegistration();
            body();
            framework::EndThreadQueue();
            platform::WaitHub::Instance().UnregisterCurrentThread();
        });
    }
    ~UiThread() { Join(); }
    void Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    std::thread thread_;
};

// Virtual time for the test's lifetime; time moves only when the test advances it.
class VirtualTime {
public:
    VirtualTime() { platform::WaitHub::Instance().UseVirtualClock(); }
    ~VirtualTime() {
        framework::WaitForWorkerThreads();
        platform::WaitHub::Instance().UseSteadyClock();
    }
    bool Settle() { return platform::WaitHub::Instance().WaitIdle(); }
    bool Advance(platform::Duration d) { return platform::WaitHub::Instance().AdvanceBy(d); }
    platform::TimePoint Now() const { return platform::WaitHub::Instance().Now(); }
};

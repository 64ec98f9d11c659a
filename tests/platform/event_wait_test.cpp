#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/event.h"
#include "platform/handle_table.h"
#include "platform/last_error.h"
#include "platform/wait_hub.h"
#include "tests/support/comm_test_support.h"

namespace {

TEST(EventWait, LowestSignalledIndexWinsAndOnlyAutoResetEventsAreConsumed) {
    HANDLE e[] = {CreateEventA(nullptr, TRUE, FALSE, nullptr),
                  CreateEventA(nullptr, FALSE, FALSE, nullptr),
                  CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    const auto waitAny = [&] { return WaitForMultipleObjects(3, e, FALSE, 0); };
    SetEvent(e[2]);
    SetEvent(e[1]);
    EXPECT_EQ(waitAny(), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(waitAny(), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(waitAny(), WAIT_OBJECT_0 + 2);
    SetEvent(e[0]);
    EXPECT_EQ(waitAny(), WAIT_OBJECT_0);
    ResetEvent(e[0]);
    ResetEvent(e[2]);
    EXPECT_EQ(waitAny(), WAIT_TIMEOUT);
    for (HANDLE h : e) {
        CloseHandle(h);
    }
    EXPECT_EQ(WaitForSingleObject(e[0], 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

// A wait asleep on the virtual clock has no real deadline; back on the steady clock it must
// take up its own, or it sleeps until something else happens to wake it.
TEST(EventWait, AWaitAsleepUnderVirtualTimeEndsAtItsDeadlineOnTheSteadyClock) {
    struct Sleeper final : platform::Sleeper {
        void Sleep(std::unique_lock<std::mutex>& lock,
                   std::optional<platform::TimePoint> at) override {
            asleep = true;
            at ? static_cast<void>(cv.wait_until(lock, *at)) : cv.wait(lock);
        }
        void Wake() override { cv.notify_one(); }
        std::condition_variable cv;
        bool asleep = false;  // under the hub lock
    } sleeper;
    auto& hub = platform::WaitHub::Instance();
    hub.UseVirtualClock();
    bool giveUp = false;  // under the hub lock
    std::atomic<bool> ended{false};
    std::thread waiter([&] {
        auto lock = hub.Lock();
        hub.Wait(
            lock, [&] { return giveUp; }, hub.Now() + std::chrono::milliseconds(1), &sleeper);
        ended = true;
    });
    EXPECT_TRUE(kaldo_test::Eventually([&] {
        const auto held = hub.Lock();
        return sleeper.asleep;
    }));
    hub.UseSteadyClock();
    EXPECT_TRUE(kaldo_test::Eventually([&] { return ended.load(); }));
    auto lock = hub.Lock();
    giveUp = true;
    hub.NotifyLocked();
    lock.unlock();
    waiter.join();
}

}  // namespace

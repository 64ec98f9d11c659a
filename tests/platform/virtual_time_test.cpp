#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "comm_test_support.h"
#include "platform/event.h"
#include "platform/wait_hub.h"

namespace {

using namespace std::chrono_literals;
using platform::WaitHub;

class VirtualTime : public ::testing::Test {
protected:
    void SetUp() override { WaitHub::Instance().UseVirtualClock(false); }
    void TearDown() override { WaitHub::Instance().UseSteadyClock(); }
};

// A registered thread that runs body once the test has seen it registered.
class RegisteredThread {
public:
    explicit RegisteredThread(std::function<void()> body)
        : thread_([this, body = std::move(body)] {
              WaitHub::Instance().RegisterCurrentThread();
              registered_ = true;
              body();
              WaitHub::Instance().UnregisterCurrentThread();
          }) {
        EXPECT_TRUE(kaldo_test::Eventually([this] { return registered_.load(); }));
    }
    ~RegisteredThread() { thread_.join(); }

private:
    std::atomic<bool> registered_{false};
    std::thread thread_;
};

TEST_F(VirtualTime, LongSleepEndsExactlyWhenTheTestHasAdvancedItsLength) {
    auto& hub = WaitHub::Instance();
    std::atomic<bool> woke{false};
    const auto start = hub.Now();
    {
        RegisteredThread sleeper([&] {
            Sleep(50000);
            woke = true;
        });
        ASSERT_TRUE(hub.WaitIdle());
        ASSERT_TRUE(hub.AdvanceBy(49999ms));
        EXPECT_FALSE(woke);
        ASSERT_TRUE(hub.AdvanceBy(1ms));
    }
    EXPECT_TRUE(woke);
    EXPECT_EQ(hub.Now() - start, 50000ms);
}

TEST_F(VirtualTime, WaitForMultipleObjectsTimesOutOnTheVirtualClock) {
    auto& hub = WaitHub::Instance();
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> result{WAIT_FAILED};
    {
        RegisteredThread waiter([&] { result = WaitForSingleObject(event, 210000); });
        ASSERT_TRUE(hub.AdvanceBy(209s));
        EXPECT_EQ(result, WAIT_FAILED);  // still waiting
        ASSERT_TRUE(hub.AdvanceBy(1s));
    }
    EXPECT_EQ(result, WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST_F(VirtualTime, OnlyRegisteredThreadsThatAreRunningKeepTheSystemBusy) {
    auto& hub = WaitHub::Instance();
    std::atomic<bool> stop{false};
    std::thread unregistered([&] {
        while (!stop) {
            std::this_thread::yield();
        }
    });
    EXPECT_TRUE(hub.WaitIdle());
    {
        RegisteredThread busy([&] {
            while (!stop) {
                std::this_thread::yield();
            }
        });
        EXPECT_FALSE(hub.WaitIdle(50ms));
        stop = true;
    }
    unregistered.join();
    EXPECT_TRUE(hub.WaitIdle());
}

TEST_F(VirtualTime, AutoAdvanceJumpsToTheEarliestDeadlineWhenEveryThreadWaits) {
    auto& hub = WaitHub::Instance();
    hub.UseVirtualClock(true);
    const auto start = hub.Now();
    std::atomic<bool> done{false};
    {
        RegisteredThread sleeper([&] {
            Sleep(3000);
            Sleep(7000);
            done = true;
        });
    }
    EXPECT_TRUE(done);
    EXPECT_EQ(hub.Now() - start, 10s);
}

}  // namespace

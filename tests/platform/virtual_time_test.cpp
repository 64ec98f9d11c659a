#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/event.h"
#include "platform/wait_hub.h"
#include "tests/support/comm_test_support.h"

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

TEST_F(VirtualTime, LongSleepAndWaitEndExactlyWhenTheTestHasAdvancedTheirLength) {
    auto& hub = WaitHub::Instance();
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> woke{false};
    std::atomic<DWORD> result{WAIT_FAILED};
    {
        RegisteredThread sleeper([&] {
            Sleep(50000);
            woke = true;
        });
        RegisteredThread waiter([&] { result = WaitForSingleObject(event, 60000); });
        ASSERT_TRUE(hub.WaitIdle());
        ASSERT_TRUE(hub.AdvanceBy(49999ms));
        EXPECT_FALSE(woke);
        ASSERT_TRUE(hub.AdvanceBy(1ms));
        EXPECT_TRUE(kaldo_test::Eventually([&] { return woke.load(); }));
        EXPECT_EQ(result, WAIT_FAILED);  // still waiting
        ASSERT_TRUE(hub.AdvanceBy(10s));
    }
    EXPECT_EQ(result, WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST_F(VirtualTime, AutoAdvanceJumpsToTheEarliestDeadlineWhenEveryThreadWaits) {
    auto& hub = WaitHub::Instance();
    hub.UseVirtualClock(true);
    const auto start = hub.Now();
    {
        RegisteredThread sleeper([&] {
            Sleep(3000);
            Sleep(7000);
        });
    }
    EXPECT_EQ(hub.Now() - start, 10s);
}

}  // namespace

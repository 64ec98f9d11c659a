#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/handle_table.h"
#include "platform/last_error.h"

namespace {

struct Events {
    explicit Events(std::initializer_list<BOOL> manualReset) {
        for (BOOL manual : manualReset) {
            handles.push_back(CreateEventA(nullptr, manual, FALSE, nullptr));
        }
    }
    ~Events() {
        for (HANDLE h : handles) {
            CloseHandle(h);
        }
    }
    DWORD WaitAny(DWORD ms) {
        return WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE,
                                      ms);
    }
    DWORD WaitAll(DWORD ms) {
        return WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, ms);
    }
    std::vector<HANDLE> handles;
};

TEST(EventWait, LowestSignalledIndexWinsAndOnlyAutoResetEventsAreConsumed) {
    Events e({TRUE, FALSE, TRUE});
    SetEvent(e.handles[2]);
    SetEvent(e.handles[1]);
    EXPECT_EQ(e.WaitAny(0), WAIT_OBJECT_0 + 1);
    // The auto-reset event was consumed by that wait; the manual one stays.
    EXPECT_EQ(e.WaitAny(0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(e.WaitAny(0), WAIT_OBJECT_0 + 2);
    SetEvent(e.handles[0]);
    EXPECT_EQ(e.WaitAny(0), WAIT_OBJECT_0);
    ResetEvent(e.handles[0]);
    ResetEvent(e.handles[2]);
    EXPECT_EQ(e.WaitAny(0), WAIT_TIMEOUT);
}

TEST(EventWait, FiniteWaitTimesOutAndInfiniteWaitEndsWhenAnotherThreadSignals) {
    Events e({TRUE});
    EXPECT_EQ(WaitForSingleObject(e.handles[0], 20), WAIT_TIMEOUT);
    std::thread setter([&] { SetEvent(e.handles[0]); });
    EXPECT_EQ(WaitForSingleObject(e.handles[0], INFINITE), WAIT_OBJECT_0);
    setter.join();
}

TEST(EventWait, WaitAllNeedsEveryEventAndConsumesTheAutoResetOnes) {
    Events e({FALSE, TRUE});
    SetEvent(e.handles[0]);
    EXPECT_EQ(e.WaitAll(0), WAIT_TIMEOUT);
    // A wait-all that timed out consumed nothing.
    EXPECT_EQ(WaitForSingleObject(e.handles[0], 0), WAIT_OBJECT_0);
    SetEvent(e.handles[0]);
    SetEvent(e.handles[1]);
    EXPECT_EQ(e.WaitAll(0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e.handles[0], 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(e.handles[1], 0), WAIT_OBJECT_0);
}

TEST(EventWait, BadArgumentsAndStaleHandlesFail) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_EQ(CloseHandle(event), TRUE);
    EXPECT_EQ(CloseHandle(event), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetEvent(event), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForMultipleObjects(0, &event, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);
    std::atomic<bool> entered{false};
    std::thread other([&] {
        EnterCriticalSection(&section);
        entered = true;
        LeaveCriticalSection(&section);
    });
    LeaveCriticalSection(&section);
    EXPECT_FALSE(entered);  // still held once
    LeaveCriticalSection(&section);
    other.join();
    EXPECT_TRUE(entered);
    DeleteCriticalSection(&section);
}

}  // namespace

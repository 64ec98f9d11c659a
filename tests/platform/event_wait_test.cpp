#include <gtest/gtest.h>

#include "platform/event.h"
#include "platform/handle_table.h"
#include "platform/last_error.h"

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
    EXPECT_EQ(WaitForMultipleObjects(3, e, FALSE, 1), WAIT_TIMEOUT);
    for (HANDLE h : e) {
        CloseHandle(h);
    }
    EXPECT_EQ(WaitForSingleObject(e[0], 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace

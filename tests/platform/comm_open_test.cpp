#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "platform/comm_uucp_lock.h"
#include "tests/support/comm_test_support.h"

namespace {

using kaldo_test::PortTest;

TEST_F(PortTest, APortIsDeniedWhileHeldAndClosingItWithAWaitPendingReleasesBoth) {
    platform::PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    HANDLE port = Open(3);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(3), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    // The refused open left the first one working.
    DWORD written = 0;
    EXPECT_EQ(WriteFile(port, "ok", 2, &written, nullptr), TRUE);
    EXPECT_EQ(kaldo_test::Receive(line, 2), "ok");

    ASSERT_EQ(SetCommMask(port, EV_RXCHAR), TRUE);
    kaldo_test::Overlapped wait;
    DWORD events = 0xFF;
    ASSERT_EQ(WaitCommEvent(port, &events, &wait.ov), FALSE);
    CloseHandle(port);
    EXPECT_TRUE(wait.Signalled());
    EXPECT_EQ(events, 0xFFu);
    port = Open(3);
    EXPECT_NE(port, INVALID_HANDLE_VALUE);
    CloseHandle(port);
}

// Lock files of other serial programs: only a readable PID of a live process holds the device.
TEST_F(PortTest, ALockFileHoldsTheDeviceOnlyWhileItsOwnerLives) {
    EXPECT_EQ(platform::UucpLockName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(platform::UucpLockName("/dev/pts/3"), "LCK..pts_3");
    const std::string lockFile = folder_ + "/LCK..ttyUSB0";
    const struct {
        const char* content;
        std::optional<int> owner;
    } cases[] = {
        {"         1\n", 1},             // the ASCII form, padded
        {"1", 1},                        // no line end
        {"2147483647\n", std::nullopt},  // no such process: stale
        {"abc\n", std::nullopt},
        {"", std::nullopt},
        {"-1\n", std::nullopt},
    };
    for (const auto& c : cases) {
        std::ofstream(lockFile) << c.content;
        EXPECT_EQ(platform::UucpLockOwner(folder_, "/dev/ttyUSB0"), c.owner) << c.content;
    }
    EXPECT_EQ(platform::UucpLockOwner(folder_, "/dev/ttyUSB1"), std::nullopt);
}

}  // namespace

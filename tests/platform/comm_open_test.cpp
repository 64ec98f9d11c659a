#include <sys/file.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "platform/comm_uucp_lock.h"
#include "tests/support/comm_test_support.h"

namespace {

using kaldo_test::Overlapped;
using kaldo_test::PortTest;
using kaldo_test::Pty;

TEST_F(PortTest, APortHeldHereOrByAnotherProgramIsDenied) {
    Pty pty;
    HANDLE port = OpenPty(pty);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(3), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    // The refused open left the first one working.
    DWORD written = 0;
    EXPECT_EQ(WriteFile(port, "ok", 2, &written, nullptr), TRUE);
    EXPECT_EQ(pty.Receive(2), "ok");
    CloseHandle(port);

    const int other = open(pty.slave().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_EQ(flock(other, LOCK_EX), 0);
    EXPECT_EQ(Open(3), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    flock(other, LOCK_UN);
    close(other);
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

TEST_F(PortTest, ClosingWithAWaitPendingReleasesTheWaiterAndTheDevice) {
    Pty pty;
    HANDLE port = OpenPty(pty);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    ASSERT_EQ(SetCommMask(port, EV_RXCHAR), TRUE);
    Overlapped wait;
    DWORD events = 0xFF;
    ASSERT_EQ(WaitCommEvent(port, &events, &wait.ov), FALSE);
    CloseHandle(port);
    EXPECT_TRUE(wait.Signalled());
    EXPECT_EQ(events, 0xFFu);
    // Once the last slave descriptor is gone, the master sees the hang-up.
    pollfd p{pty.master(), POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, static_cast<int>(kaldo_test::kPatience)), 1);
    EXPECT_NE(p.revents & POLLHUP, 0);
}

}  // namespace

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

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

// Lock files of other serial programs: only a small regular file naming a live process of
// whoever wrote it holds the device; a FIFO or a link there must neither hang nor steer the open.
TEST_F(PortTest, ALockFileHoldsTheDeviceOnlyWhileItsOwnerLivesAndIsAPlainFileOfItsUser) {
    EXPECT_EQ(platform::UucpLockName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(platform::UucpLockName("/dev/pts/3"), "LCK..pts_3");
    const std::string lockFile = folder_ + "/LCK..ttyUSB0";
    std::ofstream(folder_ + "/pid1") << "1\n";
    const int uid = static_cast<int>(getuid());
    const struct {
        const char* content;
        platform::UucpLock lock;
        std::function<void()> make = [] {};
        bool needsRoot = false;  // only root can write a file as another user
    } cases[] = {
        {"         1\n", {1, 0, true}},  // the ASCII form, padded
        {"1", {1, 0, true}},             // no line end
        {"2147483647\n", {}},            // no such process: stale
        {"abc\n", {}},
        {"", {}},
        {"-1\n", {}},
        {"", {}, [&] { ASSERT_EQ(mkfifo(lockFile.c_str(), 0666), 0); }},
        {"", {}, [&] { ASSERT_EQ(symlink((folder_ + "/pid1").c_str(), lockFile.c_str()), 0); }},
        {"", {}, [&] { std::ofstream(lockFile) << "1" << std::string(100, ' ') << "\n"; }},
        // Written by another user about a process of this one's: named, not believed.
        {"",
         {getpid(), uid, false},
         [&] {
             std::ofstream(lockFile) << getpid() << "\n";
             ASSERT_EQ(chown(lockFile.c_str(), 65534, 65534), 0);
         },
         true},
    };
    for (const auto& c : cases) {
        if (c.needsRoot && geteuid() != 0) {
            continue;
        }
        std::filesystem::remove(lockFile);
        if (*c.content != '\0') {
            std::ofstream(lockFile) << c.content;
        }
        c.make();
        const auto lock = platform::UucpLockOwner(folder_, "/dev/ttyUSB0");
        EXPECT_TRUE(lock.pid == c.lock.pid && lock.trusted == c.lock.trusted) << c.content;
    }
    EXPECT_EQ(platform::UucpLockOwner(folder_, "/dev/ttyUSB1").pid, 0);
}

}  // namespace

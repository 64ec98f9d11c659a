#include <dirent.h>
#include <sys/file.h>
#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include <fstream>

#include "comm_test_support.h"
#include "platform/comm_uucp_lock.h"

namespace {

using kaldo_test::Overlapped;
using kaldo_test::PortTest;
using kaldo_test::Pty;

int OpenDescriptors() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (readdir(dir) != nullptr) {
        ++count;
    }
    closedir(dir);
    return count;
}

TEST_F(PortTest, LinkedPortsOpenByNameAndMissingOnesAreNotFound) {
    Pty a;
    Pty b;
    Link(a.slave(), 3);
    Link(b.slave(), 10);
    Link(folder_ + "/nothing", 4);
    HANDLE com3 = CreateFileA("com3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    HANDLE com10 = Open(10);
    EXPECT_NE(com3, INVALID_HANDLE_VALUE);
    EXPECT_NE(com10, INVALID_HANDLE_VALUE);
    for (const char* missing : {"COM200", "COM4", "COM0", "COM03", "LPT1", "/dev/null"}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(CreateFileA(missing, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr),
                  INVALID_HANDLE_VALUE)
            << missing;
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND) << missing;
    }
    EXPECT_EQ(CreateFileA("COM3", GENERIC_READ, 0, nullptr, 2, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CloseHandle(com3), TRUE);
    EXPECT_EQ(CloseHandle(com10), TRUE);
}

TEST_F(PortTest, APortInUseIsDenied) {
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

    // Another program's flock.
    const int other = open(pty.slave().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_EQ(flock(other, LOCK_EX), 0);
    EXPECT_EQ(Open(3), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    flock(other, LOCK_UN);
    HANDLE again = Open(3);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    CloseHandle(again);
    close(other);
}

TEST_F(PortTest, AnotherProgramsUucpLockFileHoldsThePort) {
    Pty pty;
    Link(pty.slave(), 3);
    const std::string lockFile =
        std::string(platform::kUucpLockFolder) + "/" + platform::UucpLockName(pty.slave());
    if (!std::ofstream(lockFile)) {
        GTEST_SKIP() << "cannot write " << lockFile;
    }
    std::ofstream(lockFile) << "         1\n";  // init: always alive
    EXPECT_EQ(Open(3), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    std::ofstream(lockFile) << "2147483647\n";  // no such process: a stale lock
    HANDLE port = Open(3);
    EXPECT_NE(port, INVALID_HANDLE_VALUE);
    CloseHandle(port);
    unlink(lockFile.c_str());
}

TEST_F(PortTest, UucpLockFilesCountOnlyWithALiveOwner) {
    EXPECT_EQ(platform::UucpLockName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(platform::UucpLockName("/dev/pts/3"), "LCK..pts_3");
    const struct {
        const char* content;
        bool held;
    } cases[] = {
        {"         1\n", true},
        {"1", true},
        {"", false},
        {"\n", false},
        {"abc\n", false},
        {"0\n", false},
        {"-1\n", false},
        {"1x\n", false},
        {"2147483647\n", false},
        {"99999999999\n", false},
    };
    for (const auto& c : cases) {
        std::ofstream(folder_ + "/LCK..ttyUSB0") << c.content;
        EXPECT_EQ(platform::UucpLockHeld(folder_, "/dev/ttyUSB0"), c.held) << c.content;
    }
    EXPECT_FALSE(platform::UucpLockHeld(folder_, "/dev/ttyUSB1"));
}

TEST_F(PortTest, TheOpenPortIsExclusiveAndClosingReleasesEverything) {
    Pty pty;
    Link(pty.slave(), 3);
    const int observer = open(pty.slave().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    HANDLE port = Open(3);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    int exclusive = 0;
    ASSERT_EQ(ioctl(observer, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    CloseHandle(port);
    ASSERT_EQ(ioctl(observer, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(flock(observer, LOCK_EX | LOCK_NB), 0);
    close(observer);
}

TEST_F(PortTest, ClosingWithAWaitPendingReallyClosesTheDevice) {
    Pty pty;
    HANDLE port = OpenPty(pty);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    ASSERT_EQ(SetCommMask(port, EV_RXCHAR), TRUE);
    Overlapped wait;
    DWORD events = 0xFF;
    ASSERT_EQ(WaitCommEvent(port, &events, &wait.ov), FALSE);
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    pollfd p{pty.master(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 0), 0);
    CloseHandle(port);
    // The waiter is released; the abandoned wait writes nothing any more.
    EXPECT_TRUE(wait.Signalled());
    EXPECT_EQ(events, 0xFFu);
    DWORD n = 0;
    EXPECT_EQ(GetOverlappedResult(port, &wait.ov, &n, TRUE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    // Once the last slave descriptor is gone, the master sees the hang-up.
    p.revents = 0;
    EXPECT_EQ(poll(&p, 1, static_cast<int>(kaldo_test::kPatience)), 1);
    EXPECT_NE(p.revents & POLLHUP, 0);
}

TEST_F(PortTest, NoDescriptorIsLeftOpen) {
    Pty pty;
    Link(pty.slave(), 3);
    Link("/dev/null", 5);  // not a terminal
    auto cycle = [&] {
        HANDLE port = Open(3);
        ASSERT_NE(port, INVALID_HANDLE_VALUE);
        EXPECT_EQ(Open(3), INVALID_HANDLE_VALUE);
        EXPECT_EQ(Open(5), INVALID_HANDLE_VALUE);
        EXPECT_EQ(Open(6), INVALID_HANDLE_VALUE);
        SetCommMask(port, EV_RXCHAR);
        Overlapped wait;
        Overlapped read;
        DWORD events = 0;
        char byte = 0;
        EXPECT_EQ(WaitCommEvent(port, &events, &wait.ov), FALSE);
        EXPECT_EQ(ReadFile(port, &byte, 1, nullptr, &read.ov), FALSE);
        CloseHandle(port);
    };
    cycle();  // the watcher and timer threads make their descriptors once
    const int before = OpenDescriptors();
    for (int i = 0; i < 20; ++i) {
        cycle();
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace

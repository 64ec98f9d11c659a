#include <dirent.h>
#include <sys/file.h>

#include <gtest/gtest.h>

#include <fstream>

#include "platform/comm_uucp_lock.h"
#include "tests/support/comm_test_support.h"

namespace {

using kaldo_test::Overlapped;
using kaldo_test::PortTest;
using kaldo_test::Pty;

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
    for (const char* missing : {"COM200", "COM4", "COM03", "/dev/null"}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(CreateFileA(missing, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr),
                  INVALID_HANDLE_VALUE)
            << missing;
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND) << missing;
    }
    CloseHandle(com3);
    CloseHandle(com10);
}

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

    const std::string lockFile =
        std::string(platform::kUucpLockFolder) + "/" + platform::UucpLockName(pty.slave());
    if (!std::ofstream(lockFile)) {
        GTEST_SKIP() << "cannot write " << lockFile;
    }
    std::ofstream(lockFile) << "         1\n";  // init: always alive
    EXPECT_EQ(Open(3), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    std::ofstream(lockFile) << "2147483647\n";  // no such process: a stale lock
    port = Open(3);
    EXPECT_NE(port, INVALID_HANDLE_VALUE);
    CloseHandle(port);
    unlink(lockFile.c_str());
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

int OpenDescriptors() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (readdir(dir) != nullptr) {
        ++count;
    }
    closedir(dir);
    return count;
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

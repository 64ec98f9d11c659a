#include <gtest/gtest.h>

#include "platform/fd_watcher.h"
#include "tests/support/comm_test_support.h"

namespace {

using kaldo_test::Overlapped;

class PortHangUp : public kaldo_test::OpenPortTest {
protected:
    // After the one reported failure: waits pend with nothing watched or spinning, so the system
    // goes idle; reads and writes fail; a purge still ends the wait.
    void ExpectQuietlyDisconnected() {
        Overlapped o;
        DWORD events = 0xFF;
        EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
        EXPECT_TRUE(platform::WaitHub::Instance().WaitIdle());
        EXPECT_FALSE(platform::FdWatcher::Instance().AnyReady());
        EXPECT_FALSE(o.Signalled());
        char byte = 0;
        DWORD n = 0;
        Overlapped io;
        EXPECT_EQ(ReadFile(port_, &byte, 1, &n, &io.ov), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
        EXPECT_EQ(WriteFile(port_, "x", 1, &n, &io.ov), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
        EXPECT_EQ(PurgeComm(port_, PURGE_RXABORT), TRUE);
        EXPECT_TRUE(o.Signalled());
    }
};

TEST_F(PortHangUp, MidWaitTheWaitFailsOnceThenTheLineIsQuiet) {
    Overlapped o;
    DWORD events = 0xFF;
    ASSERT_EQ(WaitCommEvent(port_, &events, &o.ov), FALSE);
    pty_.CloseMaster();
    ASSERT_TRUE(o.AwaitSignal());
    DWORD n = 0;
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, FALSE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
    ExpectQuietlyDisconnected();
}

TEST_F(PortHangUp, APendingReadFailsAndTheFirstWaitStillReportsTheHangUp) {
    Overlapped o;
    char byte = 0;
    DWORD n = 0;
    ASSERT_EQ(ReadFile(port_, &byte, 1, &n, &o.ov), FALSE);
    pty_.CloseMaster();
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, TRUE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
    DWORD events = 0xFF;
    EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
    ExpectQuietlyDisconnected();
}

}  // namespace

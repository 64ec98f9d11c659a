#include <gtest/gtest.h>

#include "comm_test_support.h"
#include "platform/fd_watcher.h"

namespace {

using kaldo_test::Overlapped;
using kaldo_test::PortTest;
using kaldo_test::Pty;
using platform::WaitHub;

class PortHangUp : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        port_ = OpenPty(pty_);
        ASSERT_NE(port_, INVALID_HANDLE_VALUE);
        ASSERT_EQ(SetCommMask(port_, EV_RXCHAR | EV_CTS), TRUE);
    }
    void TearDown() override {
        CloseHandle(port_);
        PortTest::TearDown();
    }

    // After the one reported failure: waits pend and nothing is watched or spinning, so the
    // system can go idle; reads, writes and status queries fail.
    void ExpectQuietlyDisconnected() {
        Overlapped o;
        DWORD events = 0xFF;
        EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
        EXPECT_TRUE(WaitHub::Instance().WaitIdle());
        EXPECT_FALSE(platform::FdWatcher::Instance().AnyReady());
        EXPECT_FALSE(o.Signalled());

        char byte = 0;
        DWORD n = 0;
        Overlapped io;
        EXPECT_EQ(ReadFile(port_, &byte, 1, &n, &io.ov), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
        EXPECT_EQ(WriteFile(port_, "x", 1, &n, &io.ov), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
        COMSTAT status;
        EXPECT_EQ(ClearCommError(port_, nullptr, &status), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);

        // A purge still ends the wait, and the next one pends again.
        EXPECT_EQ(PurgeComm(port_, PURGE_RXABORT), TRUE);
        EXPECT_TRUE(o.Signalled());
        EXPECT_EQ(events, 0u);
        EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
    }

    Pty pty_;
    HANDLE port_ = nullptr;
};

TEST_F(PortHangUp, MidWaitTheWaitFailsOnceThenTheLineIsQuiet) {
    Overlapped o;
    DWORD events = 0xFF;
    ASSERT_EQ(WaitCommEvent(port_, &events, &o.ov), FALSE);
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    pty_.CloseMaster();
    ASSERT_TRUE(o.AwaitSignal());
    DWORD n = 0;
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, FALSE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
    ExpectQuietlyDisconnected();
}

TEST_F(PortHangUp, BeforeAnyWaitTheFirstWaitFailsAtOnce) {
    pty_.CloseMaster();
    Overlapped o;
    DWORD events = 0xFF;
    EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
    ExpectQuietlyDisconnected();
}

TEST_F(PortHangUp, PendingReadFails) {
    Overlapped o;
    char byte = 0;
    DWORD n = 0;
    ASSERT_EQ(ReadFile(port_, &byte, 1, &n, &o.ov), FALSE);
    pty_.CloseMaster();
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, TRUE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
    // The read's failure does not count as the wait's.
    DWORD events = 0xFF;
    EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
    ExpectQuietlyDisconnected();
}

}  // namespace

#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include "comm_test_support.h"

namespace {

using kaldo_test::Overlapped;
using kaldo_test::PortTest;
using kaldo_test::Pty;

class PortEvents : public PortTest {
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

    // Issues a wait that must pend.
    void Pend(Overlapped& o, DWORD& events) {
        SetEvent(o.ov.hEvent);
        ASSERT_EQ(WaitCommEvent(port_, &events, &o.ov), FALSE);
        ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
        EXPECT_FALSE(o.Signalled());
    }

    Pty pty_;
    HANDLE port_ = nullptr;
};

TEST_F(PortEvents, WaitPendsUntilInputArrivesAndThenCompletesWithEvRxChar) {
    Overlapped o;
    DWORD events = 0xFF;
    Pend(o, events);
    pty_.Send("x");
    ASSERT_TRUE(o.AwaitSignal());
    DWORD n = 0;
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, FALSE), TRUE);
    EXPECT_EQ(events, EV_RXCHAR);
    COMSTAT status;
    DWORD errors = 0xFF;
    ASSERT_EQ(ClearCommError(port_, &errors, &status), TRUE);
    EXPECT_EQ(status.cbInQue, 1u);
    EXPECT_EQ(errors, 0u);

    // Input still waiting: the next wait completes at once and signals its event.
    ResetEvent(o.ov.hEvent);
    events = 0;
    EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), TRUE);
    EXPECT_EQ(events, EV_RXCHAR);
    EXPECT_TRUE(o.Signalled());
}

TEST_F(PortEvents, ASecondWaitIsRefusedAndLeavesTheFirstPending) {
    Overlapped o;
    DWORD first = 0xFF;
    DWORD second = 0xFF;
    Pend(o, first);
    EXPECT_EQ(WaitCommEvent(port_, &second, &o.ov), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    DWORD n = 0;
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, FALSE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);
    pty_.Send("y");
    DWORD n2 = 0;
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n2, TRUE), TRUE);
    EXPECT_EQ(first, EV_RXCHAR);
    EXPECT_EQ(second, 0xFFu);
}

TEST_F(PortEvents, AbortingPurgesAndSetCommMaskCompleteThePendingWaitWithNoEvents) {
    const struct {
        const char* what;
        std::function<BOOL(HANDLE)> cancel;
        bool cancels;
    } cases[] = {
        {"PURGE_RXABORT", [](HANDLE p) { return PurgeComm(p, PURGE_RXABORT); }, true},
        {"PURGE_TXABORT", [](HANDLE p) { return PurgeComm(p, PURGE_TXABORT); }, true},
        {"all four", [](HANDLE p) { return PurgeComm(p, 15); }, true},
        {"SetCommMask", [](HANDLE p) { return SetCommMask(p, EV_RXCHAR | EV_CTS); }, true},
        {"PURGE_RXCLEAR", [](HANDLE p) { return PurgeComm(p, PURGE_RXCLEAR); }, false},
        {"PURGE_TXCLEAR", [](HANDLE p) { return PurgeComm(p, PURGE_TXCLEAR); }, false},
    };
    for (const auto& c : cases) {
        Overlapped o;
        DWORD events = 0xFF;
        Pend(o, events);
        ASSERT_EQ(c.cancel(port_), TRUE) << c.what;
        EXPECT_EQ(o.Signalled(), c.cancels) << c.what;
        if (c.cancels) {
            DWORD n = 0;
            EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, FALSE), TRUE) << c.what;
            EXPECT_EQ(events, 0u) << c.what;
        } else {
            PurgeComm(port_, PURGE_RXABORT);
        }
    }
    EXPECT_EQ(PurgeComm(port_, 0x10), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(PortEvents, PurgeFlushesTheDriversInputQueue) {
    int packet = 1;
    ASSERT_EQ(ioctl(pty_.master(), TIOCPKT, &packet), 0);
    pty_.Send("abc");
    Overlapped o;
    DWORD events = 0;
    if (WaitCommEvent(port_, &events, &o.ov) == FALSE) {
        ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
        ASSERT_TRUE(o.AwaitSignal());
    }
    COMSTAT status;
    ASSERT_EQ(ClearCommError(port_, nullptr, &status), TRUE);
    EXPECT_EQ(status.cbInQue, 3u);

    ASSERT_EQ(PurgeComm(port_, PURGE_RXCLEAR), TRUE);
    const std::string control = pty_.Receive(1);
    ASSERT_EQ(control.size(), 1u);
    EXPECT_NE(control[0] & TIOCPKT_FLUSHREAD, 0);
    ASSERT_EQ(ClearCommError(port_, nullptr, &status), TRUE);
    EXPECT_EQ(status.cbInQue, 0u);
    COMMTIMEOUTS immediate{MAXDWORD, 0, 0, 0, 0};
    SetCommTimeouts(port_, &immediate);
    char buffer[4];
    DWORD n = 99;
    EXPECT_EQ(ReadFile(port_, buffer, sizeof buffer, &n, nullptr), TRUE);
    EXPECT_EQ(n, 0u);
}

TEST_F(PortEvents, CtsChangesRaiseEvCts) {
    CloseHandle(port_);
    auto lines = kaldo_test::InstallFakeModemLines();
    port_ = Open(3);
    ASSERT_NE(port_, INVALID_HANDLE_VALUE);
    ASSERT_EQ(SetCommMask(port_, EV_RXCHAR | EV_CTS), TRUE);

    Overlapped o;
    DWORD events = 0;
    Pend(o, events);
    lines->SetCts(true);
    ASSERT_TRUE(o.AwaitSignal());
    EXPECT_EQ(events, EV_CTS);

    // A change while nobody waits is reported by the next wait at once, and only once.
    lines->SetCts(false);
    EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), TRUE);
    EXPECT_EQ(events, EV_CTS);
    Pend(o, events);

    // Not watched, not reported.
    ASSERT_EQ(SetCommMask(port_, EV_RXCHAR), TRUE);
    Pend(o, events);
    lines->SetCts(true);
    EXPECT_FALSE(o.Signalled());
    pty_.Send("z");
    ASSERT_TRUE(o.AwaitSignal());
    EXPECT_EQ(events, EV_RXCHAR);
}

TEST_F(PortEvents, AWaitNeedsAnEventMask) {
    DWORD mask = 0;
    ASSERT_EQ(GetCommMask(port_, &mask), TRUE);
    EXPECT_EQ(mask, EV_RXCHAR | EV_CTS);
    EXPECT_EQ(SetCommMask(port_, 0x4000), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(SetCommMask(port_, 0), TRUE);
    Overlapped o;
    DWORD events = 0;
    EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace

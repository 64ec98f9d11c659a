#include <sys/ioctl.h>
#include <termios.h>

#include <gtest/gtest.h>

#include "tests/support/comm_test_support.h"

namespace {

using kaldo_test::Overlapped;

class PortEvents : public kaldo_test::OpenPortTest {
protected:
    // Issues a wait that must pend.
    void Pend(Overlapped& o, DWORD& events) {
        SetEvent(o.ov.hEvent);
        ASSERT_EQ(WaitCommEvent(port_, &events, &o.ov), FALSE);
        ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
        EXPECT_FALSE(o.Signalled());
    }
};

TEST_F(PortEvents, WaitPendsUntilInputArrivesAndCompletesAtOnceWhileInputWaits) {
    Overlapped o;
    DWORD events = 0xFF;
    DWORD second = 0xFF;
    Pend(o, events);
    EXPECT_EQ(WaitCommEvent(port_, &second, &o.ov), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    pty_.Send("x");
    ASSERT_TRUE(o.AwaitSignal());
    DWORD n = 0;
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, FALSE), TRUE);
    EXPECT_EQ(events, EV_RXCHAR);
    EXPECT_EQ(second, 0xFFu);

    ResetEvent(o.ov.hEvent);
    events = 0;
    EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), TRUE);
    EXPECT_EQ(events, EV_RXCHAR);
    EXPECT_TRUE(o.Signalled());
}

TEST_F(PortEvents, AbortingPurgesAndSetCommMaskCompleteThePendingWaitWithNoEvents) {
    const struct {
        DWORD purge;  // 0: SetCommMask instead
        bool cancels;
    } cases[] = {{PURGE_RXABORT, true}, {PURGE_TXABORT, true}, {0, true}, {PURGE_RXCLEAR, false}};
    for (const auto& c : cases) {
        Overlapped o;
        DWORD events = 0xFF;
        Pend(o, events);
        ASSERT_EQ(c.purge ? PurgeComm(port_, c.purge) : SetCommMask(port_, EV_RXCHAR), TRUE);
        EXPECT_EQ(o.Signalled(), c.cancels) << c.purge;
        if (c.cancels) {
            EXPECT_EQ(events, 0u) << c.purge;
        } else {
            PurgeComm(port_, PURGE_RXABORT);
        }
    }
}

TEST_F(PortEvents, UnreadInputIsCountedAndSignalledUntilAPurgeDropsIt) {
    int packet = 1;
    ASSERT_EQ(ioctl(pty_.master(), TIOCPKT, &packet), 0);
    pty_.Send("abc");
    COMSTAT status;
    ASSERT_TRUE(kaldo_test::Eventually(
        [&] { return ClearCommError(port_, nullptr, &status) && status.cbInQue == 3; }));
    Overlapped o;
    char byte = 0;
    DWORD n = 0;
    ASSERT_EQ(ReadFile(port_, &byte, 1, &n, &o.ov), TRUE);
    ASSERT_EQ(ClearCommError(port_, nullptr, &status), TRUE);
    EXPECT_EQ(status.cbInQue, 2u);
    DWORD events = 0;
    EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), TRUE);
    EXPECT_EQ(events, EV_RXCHAR);
    ASSERT_EQ(PurgeComm(port_, PURGE_RXCLEAR), TRUE);
    const std::string control = pty_.Receive(1);
    ASSERT_EQ(control.size(), 1u);
    EXPECT_NE(control[0] & TIOCPKT_FLUSHREAD, 0);
    ASSERT_EQ(ClearCommError(port_, nullptr, &status), TRUE);
    EXPECT_EQ(status.cbInQue, 0u);
}

TEST_F(PortEvents, TheMasterSeesARawLineAfterSetCommState) {
    DCB dcb;
    ASSERT_EQ(GetCommState(port_, &dcb), TRUE);
    ASSERT_EQ(BuildCommDCBA("baud=115200 parity=N data=8 stop=1", &dcb), TRUE);
    ASSERT_EQ(SetCommState(port_, &dcb), TRUE);
    termios line{};
    ASSERT_EQ(tcgetattr(pty_.master(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), B115200);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t{CS8});
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_iflag & (ICRNL | INLCR | IGNCR | IXON), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);

    DCB refused = dcb;
    refused.BaudRate = 250000;
    EXPECT_EQ(SetCommState(port_, &refused), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(GetCommState(port_, &dcb), TRUE);
    EXPECT_EQ(dcb.BaudRate, 115200u);
}

}  // namespace

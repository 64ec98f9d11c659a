#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/support/comm_test_support.h"

namespace {

using namespace std::chrono_literals;
using kaldo_test::Overlapped;
using kaldo_test::Receive;
using platform::WaitHub;

// A pseudo-terminal opened as COM3, watching for input.
class PortIo : public kaldo_test::PortTest {
protected:
    void SetUp() override {
        ASSERT_EQ(line_.Open(3), 0);
        port_ = Open(3);
        ASSERT_NE(port_, INVALID_HANDLE_VALUE);
        ASSERT_EQ(SetCommMask(port_, EV_RXCHAR), TRUE);
    }
    void TearDown() override {
        CloseHandle(port_);
        PortTest::TearDown();
    }
    void Send(const std::string& bytes) {
        ASSERT_EQ(line_.Write(bytes.data(), bytes.size()).bytes, bytes.size());
    }
    // On the virtual clock, with these timeouts.
    WaitHub& Timeouts(DWORD readMultiplier, DWORD readConstant, DWORD writeConstant) {
        WaitHub::Instance().UseVirtualClock();
        COMMTIMEOUTS t{0, readMultiplier, readConstant, 0, writeConstant};
        EXPECT_EQ(SetCommTimeouts(port_, &t), TRUE);
        return WaitHub::Instance();
    }

    platform::PseudoTerminal line_;
    HANDLE port_ = nullptr;
};

TEST_F(PortIo, PendingReadsCompleteOnABytesArrivalOrAnAbortAndDeliverAZeroByte) {
    Overlapped o;
    char byte = 0;
    DWORD n = 0;
    ASSERT_EQ(ReadFile(port_, &byte, 1, &n, &o.ov), FALSE);
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    Send(std::string("Q\0A", 3));
    ASSERT_EQ(GetOverlappedResult(port_, &o.ov, &n, TRUE), TRUE);
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(byte, 'Q');
    for (char expected : {'\0', 'A'}) {
        byte = 'x';
        ASSERT_EQ(ReadFile(port_, &byte, 1, &n, &o.ov), TRUE);
        EXPECT_EQ(byte, expected);
    }

    ASSERT_EQ(ReadFile(port_, &byte, 1, &n, &o.ov), FALSE);
    ASSERT_EQ(PurgeComm(port_, PURGE_RXABORT), TRUE);
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, TRUE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
}

TEST_F(PortIo, APendingReadEndsWithNoBytesWhenItsTotalTimeoutRunsOut) {
    auto& hub = Timeouts(1000, 1000, 0);
    Overlapped o;
    char buffer[2];
    DWORD n = 0;
    ASSERT_EQ(ReadFile(port_, buffer, 2, &n, &o.ov), FALSE);
    ASSERT_TRUE(hub.AdvanceBy(2999ms));
    EXPECT_FALSE(o.Signalled());
    ASSERT_TRUE(hub.AdvanceBy(1ms));
    n = 99;
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, FALSE), TRUE);
    EXPECT_EQ(n, 0u);
}

TEST_F(PortIo, WritesArriveUntranslatedAndALargeOnePendsUntilAllIsWritten) {
    const std::string control("\r\n\x03\x11\x13\x7f\xff\0end", 11);
    Overlapped o;
    DWORD n = 0;
    ASSERT_EQ(WriteFile(port_, control.data(), 11, &n, &o.ov), TRUE);
    EXPECT_EQ(n, 11u);
    EXPECT_EQ(Receive(line_, 11), control);

    std::string bytes(1 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    }
    ASSERT_EQ(WriteFile(port_, bytes.data(), static_cast<DWORD>(bytes.size()), &n, &o.ov), FALSE);
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    std::string received;
    std::thread reader([&] { received = Receive(line_, bytes.size()); });
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, TRUE), TRUE);
    EXPECT_EQ(n, bytes.size());
    reader.join();
    EXPECT_TRUE(received == bytes);
}

TEST_F(PortIo, AWriteThatTimesOutPartWayFailsWithThePartCounted) {
    auto& hub = Timeouts(0, 0, 1000);
    const std::string bytes(1 << 20, 'w');  // more than the line holds: the peer never reads
    Overlapped o;
    DWORD n = 0;
    ASSERT_EQ(WriteFile(port_, bytes.data(), static_cast<DWORD>(bytes.size()), &n, &o.ov), FALSE);
    ASSERT_TRUE(hub.AdvanceBy(1000ms));
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, FALSE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
    EXPECT_GT(n, 0u);
    EXPECT_LT(n, bytes.size());
}

// Bytes read from the line but not yet by the program count as waiting input.
TEST_F(PortIo, UnreadInputIsCountedAndSignalledUntilAPurgeDropsIt) {
    const auto queued = [&] {
        COMSTAT status{};
        return ClearCommError(port_, nullptr, &status) ? status.cbInQue : 99u;
    };
    Send("xyz");
    ASSERT_TRUE(kaldo_test::Eventually([&] { return queued() == 3; }));
    ASSERT_EQ(PurgeComm(port_, PURGE_RXCLEAR), TRUE);
    EXPECT_EQ(line_.UnreadByPort(), 0u);
    Send("abc");
    ASSERT_TRUE(kaldo_test::Eventually([&] { return queued() == 3; }));
    Overlapped o;
    char byte = 0;
    DWORD n = 0;
    ASSERT_EQ(ReadFile(port_, &byte, 1, &n, &o.ov), TRUE);
    EXPECT_EQ(queued(), 2u);
    DWORD events = 0;
    EXPECT_EQ(WaitCommEvent(port_, &events, &o.ov), TRUE);
    EXPECT_EQ(events, EV_RXCHAR);
    ASSERT_EQ(PurgeComm(port_, PURGE_RXCLEAR), TRUE);
    EXPECT_EQ(queued(), 0u);
}

}  // namespace

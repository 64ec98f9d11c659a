#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "comm_test_support.h"

namespace {

using namespace std::chrono_literals;
using kaldo_test::Overlapped;
using kaldo_test::PortTest;
using kaldo_test::Pty;
using platform::WaitHub;

class PortIo : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        port_ = OpenPty(pty_);
        ASSERT_NE(port_, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        CloseHandle(port_);
        PortTest::TearDown();
    }

    void AwaitInput() {
        ASSERT_EQ(SetCommMask(port_, EV_RXCHAR), TRUE);
        Overlapped o;
        DWORD events = 0;
        if (WaitCommEvent(port_, &events, &o.ov) == FALSE) {
            ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
            ASSERT_TRUE(o.AwaitSignal());
        }
    }

    void SetTimeouts(DWORD readMultiplier, DWORD readConstant, DWORD writeConstant) {
        COMMTIMEOUTS t{0, readMultiplier, readConstant, 0, writeConstant};
        ASSERT_EQ(SetCommTimeouts(port_, &t), TRUE);
    }

    static std::string Pattern(std::size_t size) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>(i * 7 + i / 251);
        }
        return bytes;
    }

    Pty pty_;
    HANDLE port_ = nullptr;
};

TEST_F(PortIo, OneByteReadsDeliverEveryByteIncludingZero) {
    pty_.Send(std::string("\0A", 2));
    AwaitInput();
    for (char expected : {'\0', 'A'}) {
        Overlapped o;
        unsigned char byte = 0xEE;
        DWORD n = 0;
        ASSERT_EQ(ReadFile(port_, &byte, 1, &n, &o.ov), TRUE);
        EXPECT_EQ(n, 1u);
        EXPECT_EQ(byte, static_cast<unsigned char>(expected));
        EXPECT_TRUE(o.Signalled());
    }
}

TEST_F(PortIo, AReadWithNothingThereCompletesWhenBytesArrive) {
    Overlapped o;
    char byte = 0;
    DWORD n = 0;
    ASSERT_EQ(ReadFile(port_, &byte, 1, &n, &o.ov), FALSE);
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    pty_.Send("Q");
    ASSERT_EQ(GetOverlappedResult(port_, &o.ov, &n, TRUE), TRUE);
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(byte, 'Q');
    EXPECT_TRUE(o.Signalled());
}

TEST_F(PortIo, APendingReadEndsWithNoBytesWhenItsTotalTimeoutRunsOut) {
    auto& hub = WaitHub::Instance();
    hub.UseVirtualClock(false);
    SetTimeouts(1000, 1000, 0);
    Overlapped o;
    char buffer[2];
    DWORD n = 0;
    ASSERT_EQ(ReadFile(port_, buffer, 2, &n, &o.ov), FALSE);
    ASSERT_TRUE(hub.AdvanceBy(2999ms));
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, FALSE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);
    ASSERT_TRUE(hub.AdvanceBy(1ms));
    EXPECT_TRUE(o.Signalled());
    n = 99;
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, FALSE), TRUE);
    EXPECT_EQ(n, 0u);
}

TEST_F(PortIo, ASynchronousReadOnAWorkerTimesOutInVirtualTime) {
    auto& hub = WaitHub::Instance();
    hub.UseVirtualClock(true);
    SetTimeouts(0, 5000, 0);
    const auto start = hub.Now();
    BOOL result = FALSE;
    DWORD n = 99;
    std::thread worker([&] {
        hub.RegisterCurrentThread();
        char byte = 0;
        result = ReadFile(port_, &byte, 1, &n, nullptr);
        hub.UnregisterCurrentThread();
    });
    worker.join();
    EXPECT_EQ(result, TRUE);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(hub.Now() - start, 5000ms);
}

TEST_F(PortIo, AbortingPurgeCancelsAPendingRead) {
    Overlapped o;
    char byte = 0;
    DWORD n = 0;
    ASSERT_EQ(ReadFile(port_, &byte, 1, &n, &o.ov), FALSE);
    Overlapped second;
    EXPECT_EQ(ReadFile(port_, &byte, 1, &n, &second.ov), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(PurgeComm(port_, PURGE_RXABORT), TRUE);
    EXPECT_TRUE(o.Signalled());
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, TRUE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
}

TEST_F(PortIo, WritesArriveAtTheOtherEnd) {
    Overlapped o;
    DWORD n = 0;
    ASSERT_EQ(WriteFile(port_, "hello", 5, &n, &o.ov), TRUE);
    EXPECT_EQ(n, 5u);
    EXPECT_TRUE(o.Signalled());
    EXPECT_EQ(pty_.Receive(5), "hello");
    EXPECT_EQ(WriteFile(port_, "", 0, &n, &o.ov), TRUE);
    EXPECT_EQ(n, 0u);
}

TEST_F(PortIo, AWriteTheLineCannotTakeAtOncePendsUntilAllIsWritten) {
    const std::string bytes = Pattern(1 << 20);
    Overlapped o;
    DWORD n = 0;
    ASSERT_EQ(WriteFile(port_, bytes.data(), static_cast<DWORD>(bytes.size()), &n, &o.ov), FALSE);
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    std::string received;
    std::thread reader([&] { received = pty_.Receive(bytes.size()); });
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, TRUE), TRUE);
    EXPECT_EQ(n, bytes.size());
    reader.join();
    EXPECT_TRUE(received == bytes);
}

TEST_F(PortIo, APendingWriteEndsAtItsTimeoutOrWhenAborted) {
    auto& hub = WaitHub::Instance();
    hub.UseVirtualClock(false);
    SetTimeouts(0, 0, 500);
    const std::string bytes = Pattern(1 << 20);
    Overlapped o;
    DWORD n = 0;
    ASSERT_EQ(WriteFile(port_, bytes.data(), static_cast<DWORD>(bytes.size()), &n, &o.ov), FALSE);
    ASSERT_TRUE(hub.AdvanceBy(500ms));
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, FALSE), TRUE);
    EXPECT_GT(n, 0u);
    EXPECT_LT(n, bytes.size());

    SetTimeouts(0, 0, 0);
    ASSERT_EQ(WriteFile(port_, bytes.data(), static_cast<DWORD>(bytes.size()), &n, &o.ov), FALSE);
    ASSERT_EQ(PurgeComm(port_, PURGE_TXABORT | PURGE_TXCLEAR), TRUE);
    EXPECT_EQ(GetOverlappedResult(port_, &o.ov, &n, TRUE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
}

}  // namespace

#include <termios.h>

#include <gtest/gtest.h>

#include "comm_test_support.h"

namespace {

using kaldo_test::PortTest;
using kaldo_test::Pty;

TEST_F(PortTest, PortIsRawAndTakesTheLineDefinition) {
    Pty pty;
    HANDLE port = OpenPty(pty);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    termios line{};
    ASSERT_EQ(tcgetattr(pty.master(), &line), 0);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_iflag & (ICRNL | INLCR | IGNCR), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);

    // The tool's set-up: RTS on, then the line definition over what the port reported.
    DCB dcb;
    ASSERT_EQ(GetCommState(port, &dcb), TRUE);
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    ASSERT_EQ(BuildCommDCBA("baud=115200 parity=N data=8 stop=1", &dcb), TRUE);
    ASSERT_EQ(SetCommState(port, &dcb), TRUE);
    ASSERT_EQ(tcgetattr(pty.master(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), B115200);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t{CS8});

    ASSERT_EQ(BuildCommDCBA("baud=9600 parity=N data=8 stop=2", &dcb), TRUE);
    ASSERT_EQ(SetCommState(port, &dcb), TRUE);
    DCB reported;
    ASSERT_EQ(GetCommState(port, &reported), TRUE);
    EXPECT_EQ(reported.BaudRate, 9600u);
    EXPECT_EQ(reported.ByteSize, 8);
    EXPECT_EQ(reported.Parity, NOPARITY);
    EXPECT_EQ(reported.StopBits, TWOSTOPBITS);
    EXPECT_EQ(reported.fRtsControl, RTS_CONTROL_ENABLE);

    // A rate no line takes, and a framing this line cannot carry (a pseudo-terminal is always
    // 8 bits without parity), are refused.
    DCB refused = dcb;
    refused.BaudRate = 250000;
    EXPECT_EQ(SetCommState(port, &refused), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(BuildCommDCBA("parity=E data=7 stop=1", &dcb), TRUE);
    EXPECT_EQ(SetCommState(port, &dcb), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(tcgetattr(pty.master(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), B9600);
    CloseHandle(port);
}

TEST_F(PortTest, BytesCrossTheLineUntranslated) {
    Pty pty;
    HANDLE port = OpenPty(pty);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    const std::string bytes("\r\n\x03\x11\x13\x7f\xff\0end", 11);
    DWORD n = 0;
    ASSERT_EQ(WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr), TRUE);
    EXPECT_EQ(n, bytes.size());
    EXPECT_EQ(pty.Receive(bytes.size()), bytes);

    pty.Send(bytes);
    std::string got;
    while (got.size() < bytes.size()) {
        char buffer[16];
        ASSERT_EQ(ReadFile(port, buffer, sizeof buffer, &n, nullptr), TRUE);
        got.append(buffer, n);
    }
    EXPECT_EQ(got, bytes);
    CloseHandle(port);
}

TEST_F(PortTest, RtsFollowsTheRtsControlAndPseudoTerminalsNeedNoModemLines) {
    Pty plain;
    HANDLE port = OpenPty(plain, 4);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    DCB dcb;
    ASSERT_EQ(GetCommState(port, &dcb), TRUE);
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    EXPECT_EQ(SetCommState(port, &dcb), TRUE);  // ENOTTY from the modem ioctls is no failure
    CloseHandle(port);

    auto lines = kaldo_test::InstallFakeModemLines();
    Pty pty;
    port = OpenPty(pty);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    for (DWORD control : {RTS_CONTROL_ENABLE, RTS_CONTROL_DISABLE, RTS_CONTROL_ENABLE}) {
        dcb.fRtsControl = control;
        ASSERT_EQ(SetCommState(port, &dcb), TRUE);
        EXPECT_EQ(lines->rts, control == RTS_CONTROL_ENABLE);
        ASSERT_EQ(GetCommState(port, &dcb), TRUE);
        EXPECT_EQ(dcb.fRtsControl, control);
    }
    dcb.fRtsControl = RTS_CONTROL_TOGGLE;
    EXPECT_EQ(SetCommState(port, &dcb), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    CloseHandle(port);
}

}  // namespace

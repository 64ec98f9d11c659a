#include "platform/comm_termios.h"

#include <gtest/gtest.h>

namespace {

DCB Line(DWORD baud, BYTE data, BYTE parity, BYTE stop) {
    DCB dcb;
    dcb.BaudRate = baud;
    dcb.ByteSize = data;
    dcb.Parity = parity;
    dcb.fParity = parity != NOPARITY;
    dcb.StopBits = stop;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    return dcb;
}

termios Cooked() {
    termios t{};
    t.c_iflag = ICRNL | IXON;
    t.c_oflag = OPOST | ONLCR;
    t.c_cflag = CS7 | PARENB | CREAD;
    t.c_lflag = ICANON | ECHO | ISIG;
    cfsetspeed(&t, B38400);
    return t;
}

TEST(CommTermios, LineSettingsMapOntoTermiosAndBack) {
    const struct {
        DCB dcb;
        speed_t speed;
        tcflag_t cflag;  // within CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS
    } cases[] = {
        {Line(115200, 8, NOPARITY, ONESTOPBIT), B115200, CS8},
        {Line(9600, 7, EVENPARITY, TWOSTOPBITS), B9600, CS7 | PARENB | CSTOPB},
        {Line(300, 6, ODDPARITY, ONESTOPBIT), B300, CS6 | PARENB | PARODD},
        {Line(4000000, 5, MARKPARITY, ONE5STOPBITS), B4000000,
         CS5 | PARENB | PARODD | CMSPAR | CSTOPB},
        {Line(1200, 8, SPACEPARITY, TWOSTOPBITS), B1200, CS8 | PARENB | CMSPAR | CSTOPB},
    };
    constexpr tcflag_t kLine = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    for (const auto& c : cases) {
        termios t = Cooked();
        ASSERT_EQ(platform::ApplyDcb(c.dcb, t), ERROR_SUCCESS) << c.dcb.BaudRate;
        EXPECT_EQ(cfgetospeed(&t), c.speed);
        EXPECT_EQ(cfgetispeed(&t), c.speed);
        EXPECT_EQ(t.c_cflag & kLine, c.cflag) << c.dcb.BaudRate;
        EXPECT_EQ((t.c_iflag & INPCK) != 0, c.dcb.Parity != NOPARITY);
        EXPECT_EQ(t.c_iflag & IXON, 0u);

        const DCB back = platform::ReadDcb(t, RTS_CONTROL_ENABLE, DTR_CONTROL_ENABLE);
        EXPECT_EQ(back.BaudRate, c.dcb.BaudRate);
        EXPECT_EQ(back.ByteSize, c.dcb.ByteSize);
        EXPECT_EQ(back.Parity, c.dcb.Parity);
        EXPECT_EQ(back.StopBits, c.dcb.StopBits);
        EXPECT_EQ(back.fParity, c.dcb.fParity);
        EXPECT_EQ(back.fRtsControl, RTS_CONTROL_ENABLE);
    }
}

TEST(CommTermios, HandshakingAndXonXoff) {
    DCB dcb = Line(57600, 8, NOPARITY, ONESTOPBIT);
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fOutX = dcb.fInX = 1;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    termios t = Cooked();
    ASSERT_EQ(platform::ApplyDcb(dcb, t), ERROR_SUCCESS);
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t{IXON | IXOFF});
    const DCB back = platform::ReadDcb(t, RTS_CONTROL_DISABLE, DTR_CONTROL_DISABLE);
    EXPECT_EQ(back.fRtsControl, RTS_CONTROL_HANDSHAKE);
    EXPECT_EQ(back.fOutxCtsFlow, 1u);
    EXPECT_EQ(back.fOutX + back.fInX, 2u);
    EXPECT_EQ(back.fDtrControl, DTR_CONTROL_DISABLE);
}

TEST(CommTermios, SettingsAPortCannotTakeAreRefusedWithoutChangingAnything) {
    auto with = [](auto change) {
        DCB dcb = Line(115200, 8, NOPARITY, ONESTOPBIT);
        change(dcb);
        return dcb;
    };
    const DCB cases[] = {
        with([](DCB& d) { d.BaudRate = 14400; }),
        with([](DCB& d) { d.BaudRate = 0; }),
        with([](DCB& d) { d.BaudRate = 250000; }),
        with([](DCB& d) { d.ByteSize = 4; }),
        with([](DCB& d) { d.ByteSize = 9; }),
        with([](DCB& d) { d.Parity = 5; }),
        with([](DCB& d) { d.StopBits = 3; }),
        with([](DCB& d) { d.StopBits = ONE5STOPBITS; }),
        with([](DCB& d) {
            d.ByteSize = 5;
            d.StopBits = TWOSTOPBITS;
        }),
        with([](DCB& d) { d.fRtsControl = RTS_CONTROL_TOGGLE; }),
        with([](DCB& d) { d.fDtrControl = DTR_CONTROL_HANDSHAKE; }),
        with([](DCB& d) { d.fOutxDsrFlow = 1; }),
        with([](DCB& d) { d.fOutX = 1; }),  // XON and XOFF the same character
    };
    for (const auto& dcb : cases) {
        termios t = Cooked();
        EXPECT_EQ(platform::ApplyDcb(dcb, t), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(cfgetospeed(&t), B38400);
        EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t{CS7});
    }
}

}  // namespace

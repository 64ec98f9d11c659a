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

TEST(CommTermios, LineSettingsMapOntoTermiosAndBackAndBadOnesChangeNothing) {
    const struct {
        DCB dcb;
        speed_t speed;
        tcflag_t cflag;
    } cases[] = {
        {Line(115200, 8, NOPARITY, ONESTOPBIT), B115200, CS8},
        {Line(9600, 7, EVENPARITY, TWOSTOPBITS), B9600, CS7 | PARENB | CSTOPB},
        {Line(300, 6, ODDPARITY, ONESTOPBIT), B300, CS6 | PARENB | PARODD},
        {Line(1200, 8, SPACEPARITY, TWOSTOPBITS), B1200, CS8 | PARENB | CMSPAR | CSTOPB},
        {Line(14400, 8, NOPARITY, ONESTOPBIT), B38400, CS7},
        {Line(9600, 9, NOPARITY, ONESTOPBIT), B38400, CS7},
        {Line(9600, 8, 5, ONESTOPBIT), B38400, CS7},
        {Line(9600, 8, NOPARITY, 3), B38400, CS7},
    };
    for (const auto& c : cases) {
        termios t{};
        t.c_cflag = CS7;
        t.c_iflag = ICRNL | IXON;
        cfsetspeed(&t, B38400);
        const bool valid = c.speed != B38400;
        EXPECT_EQ(platform::ApplyDcb(c.dcb, t), valid ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER);
        EXPECT_EQ(cfgetospeed(&t), c.speed) << c.dcb.BaudRate;
        EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.cflag);
        if (valid) {
            EXPECT_EQ(t.c_iflag & IXON, 0u);
            const DCB back = platform::ReadDcb(t, RTS_CONTROL_ENABLE, DTR_CONTROL_ENABLE);
            EXPECT_EQ(back.BaudRate, c.dcb.BaudRate);
            EXPECT_EQ(back.ByteSize, c.dcb.ByteSize);
            EXPECT_EQ(back.Parity, c.dcb.Parity);
            EXPECT_EQ(back.StopBits, c.dcb.StopBits);
        }
    }
}

}  // namespace

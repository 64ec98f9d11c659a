#include <gtest/gtest.h>

#include <string>

#include "platform/comm.h"

namespace {

// What a port reports before a definition is applied: 9600 8N1 with RTS on.
DCB Reported() {
    DCB dcb;
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    return dcb;
}

TEST(BuildCommDCB, AppliesTheNamedSettingsAndKeepsTheOthers) {
    const struct {
        const char* definition;
        DWORD baud;
        BYTE parity;
        BYTE data;
        BYTE stop;
        bool parityChecked;
    } cases[] = {
        {"baud=115200 parity=N data=8 stop=1", 115200, NOPARITY, 8, ONESTOPBIT, false},
        {"BAUD=4800 PARITY=e DATA=7 STOP=2", 4800, EVENPARITY, 7, TWOSTOPBITS, true},
        {"baud=96 parity=o data=5 stop=1.5", 9600, ODDPARITY, 5, ONE5STOPBITS, true},
        {"\t baud=1200  parity=m \r\n", 1200, MARKPARITY, 8, ONESTOPBIT, true},
        {"parity=s", 9600, SPACEPARITY, 8, ONESTOPBIT, true},
        {"data=6", 9600, NOPARITY, 6, ONESTOPBIT, false},
        {"baud=110", 110, NOPARITY, 8, TWOSTOPBITS, false},
        {"baud=110 stop=1", 110, NOPARITY, 8, ONESTOPBIT, false},
        {"baud=19", 19200, NOPARITY, 8, ONESTOPBIT, false},
        {"baud=250000", 250000, NOPARITY, 8, ONESTOPBIT, false},
    };
    for (const auto& c : cases) {
        DCB dcb = Reported();
        ASSERT_EQ(BuildCommDCBA(c.definition, &dcb), TRUE) << c.definition;
        EXPECT_EQ(dcb.BaudRate, c.baud) << c.definition;
        EXPECT_EQ(dcb.Parity, c.parity) << c.definition;
        EXPECT_EQ(dcb.ByteSize, c.data) << c.definition;
        EXPECT_EQ(dcb.StopBits, c.stop) << c.definition;
        EXPECT_EQ(dcb.fParity != 0, c.parityChecked) << c.definition;
        EXPECT_EQ(dcb.fBinary, 1u) << c.definition;
        EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_ENABLE) << c.definition;
    }
}

TEST(BuildCommDCB, TurnsFlowControlOffUnlessNamed) {
    DCB dcb = Reported();
    dcb.fOutX = dcb.fInX = dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = 1;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    ASSERT_EQ(BuildCommDCBA("baud=9600", &dcb), TRUE);
    EXPECT_EQ(dcb.fOutX + dcb.fInX + dcb.fOutxCtsFlow + dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_ENABLE);

    ASSERT_EQ(BuildCommDCBA("xon=on octs=on odsr=on idsr=on dtr=hs rts=tg", &dcb), TRUE);
    EXPECT_EQ(dcb.fOutX + dcb.fInX + dcb.fOutxCtsFlow + dcb.fOutxDsrFlow + dcb.fDsrSensitivity, 5u);
    EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_HANDSHAKE);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_TOGGLE);
    ASSERT_EQ(BuildCommDCBA("rts=off dtr=off", &dcb), TRUE);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_DISABLE);
    EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_DISABLE);
}

TEST(BuildCommDCB, MalformedDefinitionsFailAndChangeNothing) {
    const std::string cases[] = {
        "",
        "   ",
        "baud",
        "baud=",
        "=9600",
        "baud=0",
        "baud=12345678",
        "baud=-1",
        "baud=9600x",
        "baud==9600",
        "baud=9600 baud=9600",
        "baud=9600,parity=n",
        "96,n,8,1",
        "COM1: baud=9600",
        "speed=9600",
        "parity=x",
        "parity=no",
        "data=4",
        "data=9",
        "data=",
        "stop=0",
        "stop=3",
        "stop=1.",
        "stop=1.50",
        "xon=yes",
        "rts=toggle",
        "baud=115200 parity=N data=8 stop=1 extra",
        std::string("baud=9600\xff"),
    };
    for (const auto& definition : cases) {
        DCB dcb = Reported();
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(BuildCommDCBA(definition.c_str(), &dcb), FALSE) << definition;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << definition;
        EXPECT_EQ(dcb.BaudRate, 9600u) << definition;
        EXPECT_EQ(dcb.ByteSize, 8) << definition;
        EXPECT_EQ(dcb.fBinary, 0u) << definition;
    }
    DCB dcb;
    EXPECT_EQ(BuildCommDCBA(nullptr, &dcb), FALSE);
}

}  // namespace

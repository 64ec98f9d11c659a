#include <gtest/gtest.h>

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
    return dcb;
}

TEST(BuildCommDCB, AppliesTheNamedSettingsAndKeepsTheOthers) {
    const struct {
        const char* definition;
        DWORD baud;
        BYTE parity;
        BYTE data;
        BYTE stop;
    } cases[] = {
        {"baud=115200 parity=N data=8 stop=1", 115200, NOPARITY, 8, ONESTOPBIT},
        {"BAUD=4800 PARITY=e DATA=7 STOP=2", 4800, EVENPARITY, 7, TWOSTOPBITS},
        {"baud=96 parity=o data=5 stop=1.5", 9600, ODDPARITY, 5, ONE5STOPBITS},
        {"\t baud=1200  parity=m \r\n", 1200, MARKPARITY, 8, ONESTOPBIT},
        {"baud=110", 110, NOPARITY, 8, TWOSTOPBITS},
    };
    for (const auto& c : cases) {
        DCB dcb = Reported();
        dcb.fOutX = dcb.fOutxCtsFlow = 1;
        ASSERT_EQ(BuildCommDCBA(c.definition, &dcb), TRUE) << c.definition;
        EXPECT_EQ(dcb.BaudRate, c.baud) << c.definition;
        EXPECT_EQ(dcb.Parity, c.parity) << c.definition;
        EXPECT_EQ(dcb.fParity != 0, c.parity != NOPARITY) << c.definition;
        EXPECT_EQ(dcb.ByteSize, c.data) << c.definition;
        EXPECT_EQ(dcb.StopBits, c.stop) << c.definition;
        EXPECT_EQ(dcb.fOutX + dcb.fOutxCtsFlow, 0u) << c.definition;
        EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_ENABLE) << c.definition;
    }
}

TEST(BuildCommDCB, MalformedDefinitionsFailAndChangeNothing) {
    for (const char* definition :
         {"", "baud", "baud=", "baud=0", "baud=12345678", "baud=9600x", "baud=9600 baud=9600",
          "96,n,8,1", "parity=x", "data=4", "data=9", "stop=3", "stop=1.50", "rts=toggle",
          "baud=115200 parity=N data=8 stop=1 extra", "baud=9600\xff"}) {
        DCB dcb = Reported();
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(BuildCommDCBA(definition, &dcb), FALSE) << definition;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << definition;
        EXPECT_EQ(dcb.BaudRate, 9600u) << definition;
        EXPECT_EQ(dcb.ByteSize, 8) << definition;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include "platform/comm.h"

namespace {

// What a refused definition leaves, and which fields a taken one may touch, the fuzz target
// fuzz_line_definition checks on any text; here: what the accepted words mean.
TEST(BuildCommDCB, AppliesTheNamedSettingsKeepsTheOthersAndRefusesMalformedOnes) {
    DCB reported;  // before a definition is applied: 9600 8N1 with RTS on
    reported.BaudRate = 9600;
    reported.ByteSize = 8;
    reported.Parity = NOPARITY;
    reported.StopBits = ONESTOPBIT;
    reported.fRtsControl = RTS_CONTROL_ENABLE;
    reported.fOutX = reported.fOutxCtsFlow = 1;
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
        SCOPED_TRACE(c.definition);
        DCB dcb = reported;
        ASSERT_EQ(BuildCommDCBA(c.definition, &dcb), TRUE);
        EXPECT_EQ(dcb.BaudRate, c.baud);
        EXPECT_EQ(dcb.Parity, c.parity);
        EXPECT_EQ(dcb.ByteSize, c.data);
        EXPECT_EQ(dcb.StopBits, c.stop);
        EXPECT_EQ(dcb.fOutX + dcb.fOutxCtsFlow, 0u);
        EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_ENABLE);
    }
    for (const char* definition :
         {"", "baud", "baud=", "baud=0", "baud=12345678", "baud=9600x", "baud=9600 baud=9600",
          "96,n,8,1", "parity=x", "data=4", "data=9", "stop=3", "stop=1.50", "rts=toggle",
          "baud=115200 parity=N data=8 stop=1 extra", "baud=9600\xff"}) {
        DCB dcb = reported;
        EXPECT_EQ(BuildCommDCBA(definition, &dcb), FALSE) << definition;
    }
}

}  // namespace

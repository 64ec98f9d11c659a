#include "tools/sensor-sim/sensor_model.h"

#include <gtest/gtest.h>

namespace sensor_sim {
namespace {

TEST(SensorModel, OnlyOneWholeCommandIsUnderstood) {
    const std::string set = "110001,0001,003C,270F,0000,270F,0000,868500000,A,B,C";
    ASSERT_TRUE(ParseCommand(set));
    ASSERT_TRUE(ParseCommand("10FFFFFFFF"));
    const std::string rejected[] = {
        "",
        "10123",
        "10123456789",
        "100000\r\n",
        "100000100001",
        std::string("10\0\0\0\0", 6),
        "11,0001,003C,270F,0000,270F,0000,868500000,A,B,C",    // no sequence
        "110001,0001,003C,270F,0000,270F,0000,868500000,A,B",  // nine fields
        set + ",D",                                            // eleven fields
        "110001,,003C,270F,0000,270F,0000,868500000,A,B,C",    // empty number
        "110001,0001,00XC,270F,0000,270F,0000,868500000,A,B,C",
    };
    for (const std::string& text : rejected) {
        EXPECT_FALSE(ParseCommand(text)) << text;
    }
}

}  // namespace
}  // namespace sensor_sim

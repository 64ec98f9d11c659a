#include "tools/sensor-sim/sensor_model.h"

#include <gtest/gtest.h>

namespace sensor_sim {
namespace {

TEST(SensorModel, ReadRepliesOfBothVariantsReachTheirThresholds) {
    const SensorSettings settings;
    const std::string lora = BuildReply(settings, Variant::LoRaWan, "0000");
    EXPECT_EQ(lora,
              "10000000,0007,001E,270F,0000,04B0,0000,868500000,70B3D57ED0010727,"
              "70B3D57ED0010727,5A1F0C33E8D2B7946C0A17F4D39E2B61\r\n");
    EXPECT_GE(lora.size(), ReplyThreshold(Variant::LoRaWan));
    const std::string nb = BuildReply(settings, Variant::NbIot, "1A2B");
    EXPECT_EQ(nb,
              "10001A2B,0007,001E,270F,0000,04B0,0000,5,460012345678966,255.255.255.255,8080\r\n");
    EXPECT_GE(nb.size(), ReplyThreshold(Variant::NbIot));

    // A short answer is padded after its line end up to the threshold.
    SensorSettings terse;
    terse.nbBand = terse.imei = terse.serverIp = terse.serverPort = "";
    const std::string line = BuildReply(terse, Variant::NbIot, "0001");
    ASSERT_LT(line.size(), 50u);
    EXPECT_EQ(PadToThreshold(line, Variant::NbIot), line + std::string(50 - line.size(), ' '));
}

TEST(SensorModel, ASetIsAppliedToItsOwnVariantOnlyAndReadBack) {
    const std::string text =
        "130005,0001,003C,270F,0000,FFFFFFFF,1,3,460012345678999,10.0.0.1,9090";
    const auto set = ParseCommand(text);
    ASSERT_TRUE(set);
    EXPECT_EQ(set->kind, Command::Kind::Set);
    EXPECT_EQ(set->variant, Variant::NbIot);
    EXPECT_EQ(set->sequence, "0005");

    SensorSettings settings;
    const SensorSettings before = settings;
    ApplySet(settings, *set);
    EXPECT_EQ(settings.frequency, before.frequency);
    EXPECT_EQ(settings.appKey, before.appKey);
    EXPECT_EQ(BuildReply(settings, Variant::NbIot, "0006"),
              "10000006,0001,003C,270F,0000,FFFFFFFF,0001,3,460012345678999,10.0.0.1,9090\r\n");
    EXPECT_EQ(BuildEcho(text), text + "\r\n");
}

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

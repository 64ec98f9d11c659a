#include "tools/sensor-sim/sensor_model.h"

#include <gtest/gtest.h>

namespace sensor_sim {
namespace {

TEST(SensorModel, ReadRepliesCarryTheSequenceAndTheVariantFields) {
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
}

TEST(SensorModel, ShortAnswersArePaddedAfterTheLineEnd) {
    SensorSettings settings;
    settings.nbBand = settings.imei = settings.serverIp = settings.serverPort = "";
    const std::string line = BuildReply(settings, Variant::NbIot, "0001");
    ASSERT_LT(line.size(), 50u);
    const std::string padded = PadToThreshold(line, Variant::NbIot);
    EXPECT_EQ(padded.size(), 50u);
    EXPECT_EQ(padded.substr(0, line.size()), line);
    EXPECT_EQ(padded.find_first_not_of(' ', line.size()), std::string::npos);

    const std::string longLine(130, 'x');
    EXPECT_EQ(PadToThreshold(longLine, Variant::LoRaWan), longLine);
}

TEST(SensorModel, NumbersUseAtLeastFourUpperCaseDigitsAndTheirThirtyTwoBitPattern) {
    EXPECT_EQ(FormatHex(0), "0000");
    EXPECT_EQ(FormatHex(60), "003C");
    EXPECT_EQ(FormatHex(0x12345), "12345");
    EXPECT_EQ(FormatHex(-1), "FFFFFFFF");
}

TEST(SensorModel, ASetIsAppliedToItsOwnVariantOnly) {
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
    EXPECT_EQ(settings.address, 1);
    EXPECT_EQ(settings.interval, 60);
    EXPECT_EQ(settings.rangeMax, 9999);
    EXPECT_EQ(settings.rangeMin, 0);
    EXPECT_EQ(settings.highAlarm, -1);
    EXPECT_EQ(settings.lowAlarm, 1);
    EXPECT_EQ(settings.nbBand, "3");
    EXPECT_EQ(settings.imei, "460012345678999");
    EXPECT_EQ(settings.serverIp, "10.0.0.1");
    EXPECT_EQ(settings.serverPort, "9090");
    EXPECT_EQ(settings.frequency, before.frequency);
    EXPECT_EQ(settings.appKey, before.appKey);

    // The sensor then reports what it was given, in the tool's own formatting.
    EXPECT_EQ(BuildReply(settings, Variant::NbIot, "0006"),
              "10000006,0001,003C,270F,0000,FFFFFFFF,0001,3,460012345678999,10.0.0.1,9090\r\n");
    EXPECT_EQ(BuildEcho(text), text + "\r\n");
}

TEST(SensorModel, ReadsOfBothVariantsAreRecognised) {
    const struct {
        const char* text;
        Variant variant;
        const char* sequence;
    } cases[] = {
        {"100000", Variant::LoRaWan, "0000"},   {"12FFFF", Variant::NbIot, "FFFF"},
        {"1012345", Variant::LoRaWan, "12345"}, {"10FFFFFFFF", Variant::LoRaWan, "FFFFFFFF"},
        {"12abcd", Variant::NbIot, "abcd"},
    };
    for (const auto& c : cases) {
        const auto read = ParseCommand(c.text);
        ASSERT_TRUE(read) << c.text;
        EXPECT_EQ(read->kind, Command::Kind::Read) << c.text;
        EXPECT_EQ(read->variant, c.variant) << c.text;
        EXPECT_EQ(read->sequence, c.sequence) << c.text;
    }
}

TEST(SensorModel, AnythingButOneWholeCommandIsRejected) {
    const std::string set = "110001,0001,003C,270F,0000,270F,0000,868500000,A,B,C";
    ASSERT_TRUE(ParseCommand(set));
    const std::string rejected[] = {
        "",
        "1",
        "10",
        "10123",        // sequence too short
        "10123456789",  // longer than a 32-bit counter
        "10123G",
        "100000 ",
        "100000\r\n",
        "100000100001",  // two reads run together
        "140000",
        "000000",
        std::string("10\0\0\0\0", 6),
        "11,0001,003C,270F,0000,270F,0000,868500000,A,B,C",  // no sequence
        "110001",
        "110001,0001,003C,270F,0000,270F,0000,868500000,A,B",         // nine fields
        set + ",D",                                                   // eleven fields
        "110001,,003C,270F,0000,270F,0000,868500000,A,B,C",           // empty number
        "110001,0001,003C,270F,0000,270F,123456789,868500000,A,B,C",  // nine digits
        "110001,0001,00XC,270F,0000,270F,0000,868500000,A,B,C",
        set.substr(0, set.size() - 1) + ",",
    };
    for (const std::string& text : rejected) {
        EXPECT_FALSE(ParseCommand(text)) << text;
    }
}

}  // namespace
}  // namespace sensor_sim

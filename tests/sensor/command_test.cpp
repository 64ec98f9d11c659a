// The command texts that go to the sensor, byte for byte, and the checks a set's texts must pass.
#include "sensor/command.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(const CString& text) {
    return std::string(text.GetString(), text.GetLength());
}

TEST(CommandTest, PrefixSequenceAndTenCommaPrefixedFields) {
    EXPECT_EQ(Bytes(sensor::ReadCommand(true, 0)), "100000");
    EXPECT_EQ(Bytes(sensor::ReadCommand(false, 0x10000)), "1210000");
    const sensor::Fields fields = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    EXPECT_EQ(Bytes(sensor::SetCommand(true, 6, fields)), "110006,1,2,3,4,5,6,7,8,9,10");
    EXPECT_EQ(Bytes(sensor::SetCommand(false, 0xFFFF, fields)), "13FFFF,1,2,3,4,5,6,7,8,9,10");
    // Values past four digits grow the field; a negative one takes all eight.
    EXPECT_EQ(Bytes(sensor::HexField(60)), "003C");
    EXPECT_EQ(Bytes(sensor::HexField(70000)), "11170");
    EXPECT_EQ(Bytes(sensor::HexField(-1)), "FFFFFFFF");
}

TEST(CommandTest, VariantChecksStopAtTheFirstFailureOnLengthAloneThenRefuseSeparators) {
    const sensor::VariantTexts lora = {DEFAULT_FREQUENCY, DEFAULT_DEV_EUI, DEFAULT_APP_EUI,
                                       DEFAULT_APP_KEY};
    const sensor::VariantTexts nb = {DEFAULT_NB_BAND, DEFAULT_IMEI, DEFAULT_SERVER_IP,
                                     DEFAULT_SERVER_PORT};
    const struct {
        bool bLoraWan;
        int field;  // the one changed, 0 to 3
        const char* text;
        const char* failure;  // "": passes
    } checks[] = {
        {true, 0, "", "Please check the Lora Frequency"},
        {true, 1, "70B3D57ED001072", "Please check the Lora EUI"},
        {true, 2, "70B3D57ED00107271", "Please input the right APPEUI"},
        {true, 3, "5A1F", "Please input the right APPKey"},
        {true, 1, "ZZZZZZZZZZZZZZZZ", ""},  // not hexadecimal: passes
        {true, 2, "70,3D57ED0010727", "APP EUI must not contain commas or line breaks"},
        {true, 3, "5A\r10C33E8D2B7946C0A17F4D39E2B61",
         "APP Key must not contain commas or line breaks"},
        {true, 0, "868,00000", ""},  // never typed: only a reply fills it
        {false, 0, "", "Please check the NB band"},
        {false, 1, "46001234567896", "Please check the NB IMEI"},
        {false, 2, "1.1.1.", "Please check the Server IP"},
        {false, 2, "1.1.1.1", ""},
        {false, 3, "", "Please check the Server Port"},
        {false, 2, "10.0\n0.1", "Server IP must not contain commas or line breaks"},
        {false, 3, "80,0", "Server Port must not contain commas or line breaks"},
    };
    for (const auto& check : checks) {
        SCOPED_TRACE(check.text);
        sensor::VariantTexts texts = check.bLoraWan ? lora : nb;
        texts[check.field] = check.text;
        EXPECT_EQ(Bytes(sensor::VariantRefusal(check.bLoraWan, texts)), check.failure);
    }
    // Lengths come first: a separator in a later field does not hide an earlier wrong length.
    EXPECT_EQ(Bytes(sensor::VariantRefusal(
                  true, {"", DEFAULT_DEV_EUI, "70,3D57ED0010727", DEFAULT_APP_KEY})),
              "Please check the Lora Frequency");
}

}  // namespace

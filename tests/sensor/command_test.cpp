// The checks a set's texts must pass, and when the exchange looks at a reply.
#include "sensor/command.h"
#include "sensor/exchange.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(const CString& text) {
    return std::string(text.GetString(), text.GetLength());
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
        {true, 1, "70B3D57ED00107271", "Please check the Lora EUI"},
        {true, 2, "70B3D57ED001072", "Please input the right APPEUI"},
        {true, 2, "70B3D57ED00107271", "Please input the right APPEUI"},
        {true, 3, "5A1F0C33E8D2B7946C0A17F4D39E2B6", "Please input the right APPKey"},
        {true, 3, "5A1F0C33E8D2B7946C0A17F4D39E2B612", "Please input the right APPKey"},
        {true, 1, "ZZZZZZZZZZZZZZZZ", ""},  // not hexadecimal: passes
        // Separators in the first and the last place.
        {true, 2, ",0B3D57ED0010727", "APP EUI must not contain commas or line breaks"},
        {true, 3, "5A1F0C33E8D2B7946C0A17F4D39E2B6\r",
         "APP Key must not contain commas or line breaks"},
        {true, 0, "868,00000", ""},  // never typed: only a reply fills it
        {false, 0, "", "Please check the NB band"},
        {false, 1, "46001234567896", "Please check the NB IMEI"},
        {false, 1, "4600123456789661", "Please check the NB IMEI"},
        {false, 2, "1.1.1.", "Please check the Server IP"},
        {false, 2, "1.1.1.1", ""},
        {false, 3, "", "Please check the Server Port"},
        {false, 3, "8", ""},
        {false, 2, "\n10.0.0.1", "Server IP must not contain commas or line breaks"},
        {false, 3, "8080,", "Server Port must not contain commas or line breaks"},
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

// A line still arriving is taken at twice the threshold, not a byte later; a line end in the first
// place is no line end; a noisy line that nothing looks at cannot fill the memory.
TEST(ExchangeTest, AReplyIsLookedAtOnceTwiceTheThresholdHasComeAndALeadingLineEndIsText) {
    sensor::Exchange exchange;
    const auto take = [&](const std::string& bytes) {
        for (const char byte : bytes) {
            exchange.TakeByte(byte);
        }
    };
    take(std::string(2 * REPLY_THRESHOLD_NB - 1, 'x'));
    EXPECT_FALSE(exchange.ReplyDue(false));
    take("x");
    EXPECT_TRUE(exchange.ReplyDue(false));
    exchange.Forget();
    take("\r\n1000,\r\n");
    EXPECT_EQ(Bytes(exchange.FirstLine()), "\r\n1000,\r\n");
    take(std::string(REPLY_KEEP_BYTES, 'x'));
    EXPECT_EQ(exchange.RxCount(), REPLY_KEEP_BYTES + 9u);
    EXPECT_EQ(exchange.Rx().GetLength(), REPLY_KEEP_BYTES);
}

}  // namespace

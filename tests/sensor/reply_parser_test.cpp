// Replies cut into their fields, and the hex decoding of the numeric ones. Any bytes are covered
// by the fuzz targets; these are the cases that a short fuzz run might miss.
#include "sensor/reply_parser.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using namespace std::string_literals;

CString Text(const std::string& bytes) {
    return CString(bytes.data(), static_cast<int>(bytes.size()));
}

TEST(ReplyTest, TenCommasAfterTheFirstCharacterAndFieldTenKeepsTheRest) {
    const struct {
        const char* name;
        std::string reply;
        bool accepted;
        std::string field1, field10;
    } cases[] = {
        {"nine commas", "10000001,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB", false, "",
         ""},
        {"a comma at index 0 is not counted",
         ",0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB,KEY", false, "", ""},
        {"ten commas", "10000001,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB,KEY", true,
         "0007", "KEY"},
        {"twelve commas", "10000001,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB,KEY,X,Y",
         true, "0007", "KEY,X,Y"},
        {"a comma at index 1 counts", ",,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB,KEY",
         true, "0007", "KEY"},
        {"empty fields", "1000,,,,,,,,,,", true, "", ""},
        {"more commas than the table holds",
         "1,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB" + std::string(20, ','), true, "0007",
         std::string(19, ',')},
        {"NUL and high bytes are field bytes", "10\0,0\0003C,\xff,0,0,0,0,F,D,A,\0K\xff"s, true,
         "0\0003C"s, "\0K\xff"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fields = sensor::SplitReply(Text(c.reply));
        ASSERT_EQ(fields.has_value(), c.accepted);
        if (fields) {
            EXPECT_EQ((*fields)[0], Text(c.field1));
            EXPECT_EQ((*fields)[9], Text(c.field10));
        }
    }
}

TEST(HexToIntTest, RightAlignedDigitsInThirtyTwoBits) {
    // 0x8000 to 0xFFFF stay positive: "FFFF" is 65535.
    const struct {
        std::string text;
        int value;
    } cases[] = {
        {"", -1},
        {"123456789", -1},
        {"003C", 60},
        {"3c", 60},
        {"0x3C", 60},
        {"12345", 0x12345},
        {"FFFF", 65535},
        {"FFFFFFFF", -1},
        {"7FFFFFFF", INT_MAX},
        {"80000000", INT_MIN},
        {"G1", 1},
        {"1\0002"s, 0x102},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HexToInt(Text(c.text)), c.value) << testing::PrintToString(c.text);
    }
}

}  // namespace

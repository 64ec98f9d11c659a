// What the tool relies on of CString: the C runtime's formats, and search, slices and comparison
// over every byte of a received reply (NULs and high bytes included), with clamped indices.
#include "framework/cstring.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using namespace std::string_literals;

std::string Bytes(const CString& text) {
    return std::string(text.GetString(), text.GetLength());
}

CString Raw(const std::string& bytes) {
    return CString(bytes.data(), static_cast<int>(bytes.size()));
}

TEST(CStringTest, FormatsAsTheCRuntimeAtAnyLength) {
    // Held as data: gcc rejects a literal "%0.4X" (the 0 flag is ignored with a precision).
    struct Case {
        const char* format;
        int value;
        const char* expected;
    };
    const Case cases[] = {{"%0.4X", 60, "003C"},          {"%0.4X", 0x10000, "10000"},
                          {"%0.4X", -1, "FFFFFFFF"},      {"COM%d", 3, "COM3"},
                          {"%d", INT_MIN, "-2147483648"}, {"%300d", 7, nullptr}};
    for (const Case& c : cases) {
        CString text("previous content");
        text.Format(c.format, c.value);
        if (c.expected != nullptr) {
            EXPECT_EQ(text, c.expected) << c.format;
        } else {
            EXPECT_EQ(text.GetLength(), 300);
        }
    }
}

TEST(CStringTest, SearchSlicesAndComparisonSeeEveryByteAndClampTheirArguments) {
    CString reply;
    for (const char ch : "10\0"s + "00\xFF,1000\r\n") {
        reply += ch;
    }
    EXPECT_EQ(reply.GetLength(), 13);
    EXPECT_EQ(reply.Find('\0'), 2);
    EXPECT_EQ(reply.Find(','), 6);
    EXPECT_EQ(reply.Find("1000"), 7);
    EXPECT_EQ(reply.Find(',', 7), -1);
    EXPECT_EQ(reply.Find("\r\n"), 11);
    EXPECT_EQ(reply.Find('\n', 13), -1);

    EXPECT_EQ(Bytes(reply.Mid(1, 3)), "0\0"s + "0");
    EXPECT_EQ(reply.Mid(13, 0), "");
    EXPECT_EQ(reply.Mid(7), "1000\r\n");
    EXPECT_EQ(Bytes(reply.Left(4)), "10\0"s + "0");
    EXPECT_EQ(reply.GetAt(5), '\xFF');
    EXPECT_NE(reply.Compare(Raw("10\0"s + "00\xFF,1000\r")), 0);

    CString typed("CO");
    EXPECT_EQ(typed.Delete(0, 3), 0);
}

}  // namespace

#include "framework/cstring.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using namespace std::string_literals;

// The whole content, NULs included, so that failures show every byte.
std::string Bytes(const CString& text) {
    return std::string(text.GetString(), text.GetLength());
}

CString Raw(const std::string& bytes) {
    return CString(bytes.data(), static_cast<int>(bytes.size()));
}

TEST(CStringFormat, FormatsIntegersAsTheCRuntimeDoes) {
    // Formats held as data: gcc's format check rejects a literal "%0.4X" (the 0 flag is
    // ignored with a precision), yet the runtime result must still be right.
    struct Case {
        const char* format;
        int value;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {"%0.4X", 0, "0000"}, {"%0.4X", 60, "003C"}, {"%0.4X", 0xFFFF, "FFFF"},
        {"%0.4X", 0x10000, "10000"}, {"%0.4X", -1, "FFFFFFFF"}, {"%.4X", 0xAB, "00AB"},
        {"COM%d", 3, "COM3"}, {"%d", INT_MIN, "-2147483648"},
    };
    // clang-format on
    for (const Case& c : cases) {
        CString text("previous content");
        text.Format(c.format, c.value);
        EXPECT_EQ(text, c.expected) << c.format << " of " << c.value;
    }
}

TEST(CStringFormat, LongResultsEmbeddedNulsAndSelfReference) {
    const std::string longText(10000, 'x');
    CString text;
    text.Format("<%s>%d", longText.c_str(), 42);
    EXPECT_EQ(Bytes(text), "<" + longText + ">42");

    text.Format("%300d", 7);
    EXPECT_EQ(text.GetLength(), 300);
    EXPECT_EQ(text.Right(2), " 7");

    text.Format("a%cb", 0);
    EXPECT_EQ(Bytes(text), "a\0b"s);

    text = "abc";
    text.Format("%s-%s", text.GetString(), text.GetString());
    EXPECT_EQ(text, "abc-abc");

    text.AppendFormat("%04d", 12);
    text.AppendFormat("%s", longText.c_str());
    EXPECT_EQ(Bytes(text), "abc-abc0012" + longText);
}

TEST(CStringFind, StartIndexIsClampedAndPastTheEndFindsNothing) {
    const CString text("10,1000,10");  // length 10
    struct Case {
        const char* needle;  // a single character is also looked for with Find(char)
        int start;
        int expected;
    };
    // clang-format off
    const Case cases[] = {
        {",", 0, 2}, {",", 2, 2}, {",", 3, 7}, {",", 8, -1}, {",", -5, 2},
        {"0", 9, 9}, {"0", 10, -1}, {"0", 11, -1}, {"0", INT_MAX, -1},
        {"10", 0, 0}, {"10", 1, 3}, {"10", 4, 8}, {"10", 9, -1}, {"10", -1, 0},
        {"1000", 0, 3}, {"1000", 4, -1}, {"10,1000,10,", 0, -1},
        {"", 0, 0}, {"", 10, 10}, {"", 11, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::string needle(c.needle);
        if (needle.size() == 1) {
            EXPECT_EQ(text.Find(needle[0], c.start), c.expected) << needle << " " << c.start;
        }
        EXPECT_EQ(text.Find(c.needle, c.start), c.expected) << needle << " " << c.start;
        EXPECT_EQ(text.Find(CString(c.needle), c.start), c.expected) << needle << " " << c.start;
    }
}

TEST(CStringSlices, OutOfRangeArgumentsAreClamped) {
    const CString text("abcdef");
    struct Case {
        int start;
        int count;
        const char* expected;
    };
    // clang-format off
    const Case midCases[] = {
        {1, 3, "bcd"}, {0, 6, "abcdef"}, {2, 100, "cdef"}, {2, INT_MAX, "cdef"}, {-3, 2, "ab"},
        {2, -1, ""}, {6, 1, ""}, {100, 2, ""}, {INT_MAX, INT_MAX, ""}, {INT_MIN, INT_MIN, ""},
    };
    // clang-format on
    for (const Case& c : midCases) {
        EXPECT_EQ(text.Mid(c.start, c.count), c.expected) << c.start << ", " << c.count;
    }
    EXPECT_EQ(text.Mid(4), "ef");
    EXPECT_EQ(text.Mid(-1), "abcdef");
    EXPECT_EQ(text.Mid(7), "");
    EXPECT_EQ(text.Left(2), "ab");
    EXPECT_EQ(text.Left(-1), "");
    EXPECT_EQ(text.Left(99), "abcdef");
    EXPECT_EQ(text.Right(2), "ef");
    EXPECT_EQ(text.Right(-1), "");
    EXPECT_EQ(text.Right(99), "abcdef");
}

TEST(CStringEdit, DeleteAndInsertClampAndReturnTheNewLength) {
    struct Case {
        int index;
        int count;
        int expectedLength;
        const char* expected;
    };
    // clang-format off
    const Case deleteCases[] = {
        {0, 3, 1, "3"}, {3, 1, 3, "COM"}, {2, 100, 2, "CO"}, {4, 1, 4, "COM3"},
        {100, 1, 4, "COM3"}, {-2, 1, 3, "OM3"}, {1, -1, 4, "COM3"}, {1, INT_MAX, 1, "C"},
    };
    // clang-format on
    for (const Case& c : deleteCases) {
        CString text("COM3");
        EXPECT_EQ(text.Delete(c.index, c.count), c.expectedLength) << c.index << ", " << c.count;
        EXPECT_EQ(text, c.expected) << c.index << ", " << c.count;
    }

    CString text("COM3");
    EXPECT_EQ(text.Delete(0), 3);
    EXPECT_EQ(text, "OM3");
    EXPECT_EQ(text.Insert(-4, 'C'), 4);
    EXPECT_EQ(text.Insert(99, "!"), 5);
    EXPECT_EQ(text.Insert(3, Raw("\0\0"s)), 7);
    EXPECT_EQ(Bytes(text), "COM\0\0"s + "3!");
}

TEST(CStringEdit, ReplaceRemoveTrimAndCase) {
    CString text("1000,10,1000");
    EXPECT_EQ(text.Replace("1000", "X"), 2);
    EXPECT_EQ(text, "X,10,X");
    EXPECT_EQ(text.Replace("", "Y"), 0);
    EXPECT_EQ(text.Replace("X", "XX"), 2);  // replacements are not rescanned
    EXPECT_EQ(text, "XX,10,XX");
    EXPECT_EQ(text.Replace(',', ';'), 2);
    EXPECT_EQ(text.Remove('X'), 4);
    EXPECT_EQ(text, ";10;");

    text = " \t\r\nab c\n ";
    EXPECT_EQ(CString(text).TrimLeft(), "ab c\n ");
    EXPECT_EQ(CString(text).TrimRight(), " \t\r\nab c");
    EXPECT_EQ(text.Trim(), "ab c");
    EXPECT_EQ(CString("   ").Trim(), "");

    text = "aZ\xE4_1";
    EXPECT_EQ(CString(text).MakeUpper(), "AZ\xE4_1");
    EXPECT_EQ(text.MakeLower(), "az\xE4_1");
}

TEST(CStringCompare, OrdersBytesAsUnsignedAndOverTheWholeLength) {
    struct Case {
        CString left;
        CString right;
        int sign;
        int signNoCase;
    };
    const Case cases[] = {
        {"1000", "1000", 0, 0},
        {"abc", "abd", -1, -1},
        {"abc", "ab", 1, 1},
        {"", "a", -1, -1},
        {"abc", "ABC", 1, 0},
        {"_", "A", 1, -1},  // letters fold to lower case, as the C runtime does
        {"\xFF", "a", 1, 1},
        {Raw("a\0b"s), Raw("a\0c"s), -1, -1},
        {Raw("a\0"s), "a", 1, 1},
    };
    const auto sign = [](int value) { return (value > 0) - (value < 0); };
    for (const Case& c : cases) {
        const std::string label = Bytes(c.left) + " vs " + Bytes(c.right);
        EXPECT_EQ(sign(c.left.Compare(c.right)), c.sign) << label;
        EXPECT_EQ(sign(c.left.CompareNoCase(c.right)), c.signNoCase) << label;
        EXPECT_EQ(c.left == c.right, c.sign == 0) << label;
        EXPECT_EQ(c.left != c.right, c.sign != 0) << label;
        EXPECT_EQ(c.left < c.right, c.sign < 0) << label;
        EXPECT_EQ(c.right<c.left, c.sign> 0) << label;
    }

    const CString text("COM3");
    EXPECT_EQ(text.Compare("COM3"), 0);
    EXPECT_TRUE(text == "COM3");
    EXPECT_TRUE("COM3" == text);
    EXPECT_TRUE("COM2" != text);
    EXPECT_TRUE("COM2" < text);
    EXPECT_TRUE(text < "COM4");
    EXPECT_FALSE(Raw("COM3\0"s) == "COM3");
}

TEST(CStringBytes, NulAndHighBytesSurviveAppendAndSearch) {
    const std::string line = "10\0"s + "00\xFF\x80,\r\n";
    CString reply;
    for (const char ch : line) {
        reply += ch;
    }
    reply.AppendChar('\0');
    reply += Raw("x\0y"s);
    reply += "z";
    EXPECT_EQ(Bytes(reply), line + "\0x\0yz"s);

    EXPECT_EQ(reply.Find('\0'), 2);
    EXPECT_EQ(reply.Find('\0', 3), 10);
    EXPECT_EQ(reply.Find('\xFF'), 5);
    EXPECT_EQ(reply.Find("00"), 3);
    EXPECT_EQ(reply.Find("\xFF\x80"), 5);
    EXPECT_EQ(reply.Find(Raw("\0y"s)), 12);
    EXPECT_EQ(reply.Find('z'), 14);
    EXPECT_EQ(Bytes(reply.Mid(1, 3)), "0\0"s + "0");
    EXPECT_EQ(reply.GetAt(5), '\xFF');
    EXPECT_EQ(reply[2], '\0');

    const CString joined = reply + Raw("\0"s) + '\x81' + "end";
    EXPECT_EQ(Bytes(joined), Bytes(reply) + "\0\x81"s + "end");
    EXPECT_EQ(Bytes('\0' + CString("a") + Raw("\0"s)), "\0a\0"s);
}

TEST(CStringAccess, OutOfRangeIndicesAndNullTextsAreHarmless) {
    CString text("ab");
    EXPECT_EQ(text.GetAt(-1), '\0');
    EXPECT_EQ(text.GetAt(2), '\0');
    EXPECT_EQ(text[INT_MAX], '\0');
    text.SetAt(-1, 'x');
    text.SetAt(2, 'x');
    text.SetAt(1, 'B');
    EXPECT_EQ(text, "aB");

    const char* nothing = nullptr;
    EXPECT_TRUE(CString(nothing).IsEmpty());
    EXPECT_TRUE(CString(nothing, 5).IsEmpty());
    EXPECT_TRUE(CString("abc", -1).IsEmpty());
    text = nothing;
    EXPECT_TRUE(text.IsEmpty());
    text += nothing;
    EXPECT_EQ(text.Find(nothing), 0);
    EXPECT_EQ(text.Compare(nothing), 0);
}

}  // namespace

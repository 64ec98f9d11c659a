// Reading replies back into the settings: which replies are taken, where each field lands, what
// the interval list does, and the hex decoding of the numeric fields.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "tests/support/tool_harness.h"

namespace {

using namespace std::string_literals;

std::string Bytes(const CString& text) {
    return std::string(text.GetString(), text.GetLength());
}

constexpr int kEdits[] = {IDC_EDIT_ADDRESS,    IDC_EDIT_RANGE_MAX, IDC_EDIT_RANGE_MIN,
                          IDC_EDIT_HIGH_ALARM, IDC_EDIT_LOW_ALARM, IDC_EDIT_FREQUENCY,
                          IDC_EDIT_DEV_EUI,    IDC_EDIT_APP_EUI,   IDC_EDIT_APP_KEY,
                          IDC_EDIT_NB_BAND,    IDC_EDIT_IMEI,      IDC_EDIT_SERVER_IP,
                          IDC_EDIT_SERVER_PORT};

const std::vector<std::string> kStartIntervals = {"15", "30", "60", "120", "240", "480", "960"};

// A reply as a sensor sends it, without its line end.
const std::string kLoraReply =
    "1000000A,0007,001E,270F,0010,04B0,0005,868100000,0011223344556677,8899AABBCCDDEEFF,"
    "00112233445566778899AABBCCDDEEFF";
const std::string kNbReply =
    "10000001,0002,003C,0FA0,0001,0BB8,0064,20,861234567890123,10.0.0.1,5683";

class ReplyParserTest : public ::testing::Test {
protected:
    ToolHarness h;

    void SetUp() override { h.Start(); }

    int Parse(const std::string& reply) {
        int result = 0;
        h.Run([&] {
            result = h.dlg.ParseReply(CString(reply.data(), static_cast<int>(reply.size())));
        });
        return result;
    }

    // Every member a reply may write, as bytes.
    std::map<std::string, std::string> Record() {
        std::map<std::string, std::string> record;
        h.Run([&] {
            const auto& d = h.dlg;
            record = {
                {"address", std::to_string(d.m_nAddress)},
                {"interval", std::to_string(d.m_nInterval)},
                {"range max", std::to_string(d.m_nRangeMax)},
                {"range min", std::to_string(d.m_nRangeMin)},
                {"high alarm", std::to_string(d.m_nHighAlarm)},
                {"low alarm", std::to_string(d.m_nLowAlarm)},
                {"address hex", Bytes(d.m_strAddressHex)},
                {"interval text", Bytes(d.m_strInterval)},
                {"range max hex", Bytes(d.m_strRangeMaxHex)},
                {"range min hex", Bytes(d.m_strRangeMinHex)},
                {"high alarm hex", Bytes(d.m_strHighAlarmHex)},
                {"low alarm hex", Bytes(d.m_strLowAlarmHex)},
                {"frequency", Bytes(d.m_strFrequency)},
                {"dev eui", Bytes(d.m_strDevEui)},
                {"app eui", Bytes(d.m_strAppEui)},
                {"app key", Bytes(d.m_strAppKey)},
                {"nb band", Bytes(d.m_strNbBand)},
                {"imei", Bytes(d.m_strImei)},
                {"server ip", Bytes(d.m_strServerIp)},
                {"server port", Bytes(d.m_strServerPort)},
            };
        });
        return record;
    }

    // What the user sees: every edit, the interval list and its selection.
    std::map<int, std::string> Screen() {
        std::map<int, std::string> screen;
        for (int id : kEdits) {
            screen[id] = h.agent.Text(ToolHarness::kMain, id);
        }
        const auto list = h.agent.Control(ToolHarness::kMain, IDC_COMBO_INTERVAL);
        EXPECT_TRUE(list.has_value());
        if (list) {
            for (const auto& item : list->items) {
                screen[IDC_COMBO_INTERVAL] += item + "|";
            }
            screen[IDC_COMBO_INTERVAL] += "selected " + std::to_string(list->curSel);
        }
        return screen;
    }

    std::vector<std::string> Intervals() {
        return h.agent.Control(ToolHarness::kMain, IDC_COMBO_INTERVAL)->items;
    }
    std::string SelectedInterval() {
        const auto list = h.agent.Control(ToolHarness::kMain, IDC_COMBO_INTERVAL);
        return list->curSel >= 0 ? list->items.at(list->curSel) : "(none)";
    }
    std::string Text(int id) { return h.agent.Text(ToolHarness::kMain, id); }
};

TEST_F(ReplyParserTest, CommaCountDecidesAcceptance) {
    struct Case {
        const char* name;
        std::string reply;
        int result;
        const char* appKey;  // field 10 when accepted
    };
    const Case cases[] = {
        {"nine commas", "10000001,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB", -1, nullptr},
        {"ten commas, the first at index 0 not counted",
         ",0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB,KEY", -1, nullptr},
        {"ten commas", "10000001,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB,KEY", 1, "KEY"},
        {"twelve commas", "10000001,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB,KEY,X,Y", 1,
         "KEY,X,Y"},
        {"a comma at index 1 counts", ",,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB,KEY", 1,
         "KEY"},
        {"twenty commas",
         "1,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB,K,1,2,3,4,5,6,7,8,9,10", 1,
         "K,1,2,3,4,5,6,7,8,9,10"},
        {"forty commas after field 9",
         "1,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB" + std::string(40, ','), 1,
         ",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        h.Run([&] { h.dlg.m_strAppKey = "untouched"; });
        EXPECT_EQ(Parse(c.reply), c.result);
        const auto record = Record();
        if (c.result == 1) {
            EXPECT_EQ(record.at("address"), "7");
            EXPECT_EQ(record.at("interval"), "30");
            EXPECT_EQ(record.at("low alarm hex"), "0000");
            EXPECT_EQ(record.at("dev eui"), "AAAA") << "field 8";
            EXPECT_EQ(record.at("app key"), c.appKey);
        } else {
            EXPECT_EQ(record.at("app key"), "untouched");
        }
    }
}

TEST_F(ReplyParserTest, AcceptedReplyFillsTheRecordAndShowsIt) {
    // Typed but not yet taken in: the reply's values replace it on screen.
    h.agent.Type(ToolHarness::kMain, IDC_EDIT_HIGH_ALARM, "123");
    ASSERT_TRUE(h.time.Settle());

    ASSERT_EQ(Parse(kLoraReply), 1);
    const auto record = Record();
    const std::map<std::string, std::string> read = {
        {"address", "7"},
        {"interval", "30"},
        {"range max", "9999"},
        {"range min", "16"},
        {"high alarm", "1200"},
        {"low alarm", "5"},
        {"address hex", "0007"},
        {"interval text", "30"},  // the decimal form the list is searched with
        {"range max hex", "270F"},
        {"range min hex", "0010"},
        {"high alarm hex", "04B0"},
        {"low alarm hex", "0005"},
        {"frequency", "868100000"},
        {"dev eui", "0011223344556677"},
        {"app eui", "8899AABBCCDDEEFF"},
        {"app key", "00112233445566778899AABBCCDDEEFF"},
    };
    for (const auto& [name, value] : read) {
        EXPECT_EQ(record.at(name), value) << name;
    }

    const std::map<int, std::string> shown = {
        {IDC_EDIT_ADDRESS, "7"},
        {IDC_EDIT_RANGE_MAX, "9999"},
        {IDC_EDIT_RANGE_MIN, "16"},
        {IDC_EDIT_HIGH_ALARM, "1200"},
        {IDC_EDIT_LOW_ALARM, "5"},
        {IDC_EDIT_FREQUENCY, "868100000"},
        {IDC_EDIT_DEV_EUI, "0011223344556677"},
        {IDC_EDIT_APP_EUI, "8899AABBCCDDEEFF"},
        {IDC_EDIT_APP_KEY, "00112233445566778899AABBCCDDEEFF"},
        {IDC_EDIT_NB_BAND, DEFAULT_NB_BAND},
        {IDC_EDIT_IMEI, DEFAULT_IMEI},
        {IDC_EDIT_SERVER_IP, DEFAULT_SERVER_IP},
        {IDC_EDIT_SERVER_PORT, DEFAULT_SERVER_PORT},
    };
    for (const auto& [id, text] : shown) {
        EXPECT_EQ(Text(id), text) << "control " << id;
    }
    EXPECT_EQ(Intervals(), kStartIntervals);
    EXPECT_EQ(SelectedInterval(), "30");
}

TEST_F(ReplyParserTest, RejectedReplyChangesNothing) {
    // A state apart from the start-up one: an appended interval, and a typed alarm that has
    // not been taken into the record.
    ASSERT_EQ(Parse("1000,0009,002D,0100,0002,00F0,0003,F,D,A,K"), 1);
    h.agent.Type(ToolHarness::kMain, IDC_EDIT_HIGH_ALARM, "123");
    ASSERT_TRUE(h.time.Settle());
    const auto record = Record();
    const auto screen = Screen();
    ASSERT_EQ(screen.at(IDC_EDIT_HIGH_ALARM), "123");
    ASSERT_EQ(record.at("high alarm"), "240");

    const std::string rejected[] = {
        "",
        "1000",
        "10000001,0007,001E,270F,0000,04B0,0000,868500000,AAAA,BBBB",
        ",,,,,,,,,,",
        ",0001,0002,0003,0004,0005,0006,7,8,9,10",
        "1000\0,,,,,,,,,"s,
    };
    for (const std::string& reply : rejected) {
        SCOPED_TRACE(testing::PrintToString(reply));
        EXPECT_EQ(Parse(reply), -1);
        EXPECT_EQ(Record(), record);
        EXPECT_EQ(Screen(), screen);
    }
}

TEST_F(ReplyParserTest, EmptyFieldsAreEmptyTextAndMinusOne) {
    ASSERT_EQ(Parse("1000,,,,,,,,,,"), 1);
    const auto record = Record();
    for (const char* name :
         {"address", "interval", "range max", "range min", "high alarm", "low alarm"}) {
        EXPECT_EQ(record.at(name), "-1") << name;
    }
    for (const char* name : {"address hex", "range max hex", "range min hex", "high alarm hex",
                             "low alarm hex", "frequency", "dev eui", "app eui", "app key"}) {
        EXPECT_EQ(record.at(name), "") << name;
    }
    EXPECT_EQ(Text(IDC_EDIT_ADDRESS), "-1");
    EXPECT_EQ(Text(IDC_EDIT_LOW_ALARM), "-1");
    EXPECT_EQ(Text(IDC_EDIT_APP_KEY), "");
    EXPECT_EQ(SelectedInterval(), "-1");
}

TEST_F(ReplyParserTest, NumericFieldsDecodeAnyCaseAndTheX) {
    ASSERT_EQ(Parse("1000,003C,3c,0x3C,0X3c,FFFF,123456789,F,D,A,K"), 1);
    const auto record = Record();
    EXPECT_EQ(record.at("address"), "60");
    EXPECT_EQ(record.at("interval"), "60");
    EXPECT_EQ(record.at("range max"), "60");
    EXPECT_EQ(record.at("range min"), "60");
    EXPECT_EQ(record.at("high alarm"), "65535");
    EXPECT_EQ(record.at("low alarm"), "-1") << "nine characters";
    EXPECT_EQ(record.at("range max hex"), "0x3C");
    EXPECT_EQ(record.at("low alarm hex"), "123456789");
    EXPECT_EQ(Text(IDC_EDIT_HIGH_ALARM), "65535");
    EXPECT_EQ(SelectedInterval(), "60");
    EXPECT_EQ(Intervals(), kStartIntervals);
}

TEST_F(ReplyParserTest, IntervalListFollowsTheReply) {
    const auto reply = [](const char* interval) {
        return std::string("10000001,0007,") + interval + ",270F,0000,04B0,0000,868500000,A,B,K";
    };
    struct Step {
        const char* interval;
        const char* selected;
        int count;
    };
    const Step steps[] = {
        {"002D", "45", 8},   // unknown: appended at the end and selected
        {"2d", "45", 8},     // known now: no second entry
        {"003C", "60", 8},   // a start-up entry
        {"0006", "6", 9},    // an exact match only: "60" is not "6"
        {"000F", "15", 9},   // the first entry
        {"03C0", "960", 9},  // the last start-up entry
        {"0005", "5", 10},   // appended after the earlier arrivals
        {"002D", "45", 10},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.interval);
        ASSERT_EQ(Parse(reply(step.interval)), 1);
        EXPECT_EQ(SelectedInterval(), step.selected);
        EXPECT_EQ(Intervals().size(), static_cast<size_t>(step.count));
    }
    std::vector<std::string> expected = kStartIntervals;
    expected.insert(expected.end(), {"45", "6", "5"});
    EXPECT_EQ(Intervals(), expected);
}

TEST_F(ReplyParserTest, EachVariantLeavesTheOtherAlone) {
    const auto atStart = Record();
    h.Click(IDC_RADIO_NB);
    ASSERT_EQ(Parse(kNbReply), 1);
    auto afterNb = Record();
    for (const char* name : {"frequency", "dev eui", "app eui", "app key"}) {
        EXPECT_EQ(afterNb.at(name), atStart.at(name)) << name;
    }
    EXPECT_EQ(afterNb.at("nb band"), "20");
    EXPECT_EQ(afterNb.at("imei"), "861234567890123");
    EXPECT_EQ(afterNb.at("server ip"), "10.0.0.1");
    EXPECT_EQ(afterNb.at("server port"), "5683");
    EXPECT_EQ(afterNb.at("high alarm"), "3000");
    EXPECT_EQ(Text(IDC_EDIT_SERVER_IP), "10.0.0.1");
    EXPECT_EQ(Text(IDC_EDIT_APP_KEY), DEFAULT_APP_KEY);

    h.Click(IDC_RADIO_LORAWAN);
    ASSERT_EQ(Parse(kLoraReply), 1);
    const auto afterLora = Record();
    for (const char* name : {"nb band", "imei", "server ip", "server port"}) {
        EXPECT_EQ(afterLora.at(name), afterNb.at(name)) << name;
    }
    EXPECT_EQ(afterLora.at("app key"), "00112233445566778899AABBCCDDEEFF");
    EXPECT_EQ(Text(IDC_EDIT_SERVER_PORT), "5683");
}

TEST_F(ReplyParserTest, NulAndHighBytesSurviveIntoTheMembers) {
    // "\000" is a NUL that a digit may follow.
    const std::string reply =
        "10\0\xff,0\0003C,\x80\xff,0001,0002,0003,0004,F\0req,D\xe9v,A\0,\0K\xff,\0"s;
    ASSERT_EQ(Parse(reply), 1);
    const auto record = Record();
    EXPECT_EQ(record.at("address hex"), "0\0003C"s);
    EXPECT_EQ(record.at("address"), "60") << "NUL counts as 0";
    EXPECT_EQ(record.at("interval"), "0") << "high bytes count as 0";
    EXPECT_EQ(record.at("frequency"), "F\0req"s);
    EXPECT_EQ(record.at("dev eui"), "D\xe9v");
    EXPECT_EQ(record.at("app eui"), "A\0"s);
    EXPECT_EQ(record.at("app key"), "\0K\xff,\0"s);
}

TEST(HexToIntTest, RightAlignedDigitsInThirtyTwoBits) {
    const struct {
        std::string text;
        int value;
    } cases[] = {
        {"", -1},
        {"123456789", -1},
        {"000000000", -1},
        {"A", 10},
        {"f", 15},
        {"3c", 60},
        {"003C", 60},
        {"0x3C", 60},
        {"123", 0x123},
        {"12345", 0x12345},
        {"ABCDEF", 0xABCDEF},
        {"1234567", 0x1234567},
        {"FFFF", 65535},
        {"8000", 32768},
        {"0000FFFF", 65535},
        {"FFFFFFFF", -1},
        {"fffffffe", -2},
        {"7FFFFFFF", INT_MAX},
        {"80000000", INT_MIN},
        {"G1", 1},
        {"1 2", 0x102},
        {"\xff\x80", 0},
        {"1\0002"s, 0x102},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HexToInt(CString(c.text.data(), static_cast<int>(c.text.size()))), c.value)
            << testing::PrintToString(c.text);
    }
}

}  // namespace

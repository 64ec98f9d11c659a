// The dialog's settings record against the sensor's plain functions: which member goes into which
// field of a command, which field of a reply lands in which member and control, and the checks
// of a set that depend on the dialog's state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/tool_harness.h"

namespace {

constexpr UINT kMain = ToolHarness::kMain;

class SettingsTest : public ::testing::Test {
protected:
    ToolHarness h;

    void SetUp() override { h.Start(); }

    std::string Send(int kind) {
        std::string command;
        h.Run([&] {
            h.dlg.SendCommand(kind);
            command = h.dlg.GetExchange().LastCommand().GetString();
        });
        return command;
    }
    int Parse(const std::string& reply) {
        int result = 0;
        h.Run([&] { result = h.dlg.ParseReply(reply.c_str()); });
        return result;
    }
    std::string SelectedInterval() {
        const auto list = h.agent.Control(kMain, IDC_COMBO_INTERVAL);
        return list->curSel >= 0 ? list->items.at(list->curSel) : "(none)";
    }
};

TEST_F(SettingsTest, SendCommandCountsEveryCallAndTakesTheIntervalFromTheList) {
    EXPECT_EQ(Send(CMD_READ), "100000");
    EXPECT_EQ(Send(4), "100000");  // another kind advances the counter and sends nothing
    h.agent.Type(kMain, IDC_EDIT_HIGH_ALARM, "70000");
    h.agent.Pick(kMain, IDC_COMBO_INTERVAL, 6);  // 960
    ASSERT_TRUE(h.time.Settle());
    EXPECT_EQ(Send(CMD_SET),
              "110002,0001,03C0,270F,0000,11170,0000,868500000,70B3D57ED0010727,"
              "70B3D57ED0010727,5A1F0C33E8D2B7946C0A17F4D39E2B61");
    // The set leaves the interval's hex form behind.
    EXPECT_EQ(h.dlg.m_strInterval, "03C0");
    EXPECT_EQ(h.dlg.m_nInterval, 960);

    h.Click(IDC_RADIO_NB);
    EXPECT_EQ(Send(CMD_SET),
              "130003,0001,03C0,270F,0000,11170,0000,5,460012345678966,255.255.255.255,8080");

    // A text that is not an integer keeps the value held before, and complains at every command.
    h.agent.Type(kMain, IDC_EDIT_HIGH_ALARM, "");
    ASSERT_TRUE(h.time.Settle());
    h.Post([&] { h.dlg.SendCommand(CMD_SET); });
    h.ExpectBox("Please enter an integer.");
    EXPECT_NE(h.dlg.GetExchange().LastCommand().Find(",11170,0000,5,"), -1);
}

TEST_F(SettingsTest, ParseReplyFillsTheSelectedVariantAndTheIntervalListFollows) {
    ASSERT_EQ(Parse("1000,000A,002D,0FA0,0001,0BB8,,20,861234567890123,10.0.0.1,5683"), 1);
    EXPECT_EQ(h.dlg.m_nLowAlarm, -1);
    EXPECT_EQ(h.agent.Text(kMain, IDC_EDIT_ADDRESS), "10");
    EXPECT_EQ(h.agent.Text(kMain, IDC_EDIT_HIGH_ALARM), "3000");
    EXPECT_EQ(h.agent.Text(kMain, IDC_EDIT_APP_KEY), "5683");
    EXPECT_EQ(h.agent.Text(kMain, IDC_EDIT_SERVER_IP), DEFAULT_SERVER_IP);
    EXPECT_EQ(SelectedInterval(), "45");

    h.Click(IDC_RADIO_NB);
    struct Step {
        const char* interval;
        const char* selected;
    };
    const Step steps[] = {
        {"2d", "45"},   // known since the first reply: no second entry
        {"0006", "6"},  // an exact match only: "60" is not "6"
        {"000F", "15"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.interval);
        ASSERT_EQ(Parse(std::string("1000,0001,") + step.interval + ",0,0,0,0,20,IMEI,IP,PORT"), 1);
        EXPECT_EQ(SelectedInterval(), step.selected);
    }
    EXPECT_EQ(h.agent.Control(kMain, IDC_COMBO_INTERVAL)->items,
              (std::vector<std::string>{"15", "30", "60", "120", "240", "480", "960", "45", "6"}));
    EXPECT_EQ(h.agent.Text(kMain, IDC_EDIT_SERVER_PORT), "PORT");
    EXPECT_EQ(h.agent.Text(kMain, IDC_EDIT_APP_KEY), "5683");

    EXPECT_EQ(Parse("1000,0001,0002"), -1);
    EXPECT_EQ(h.agent.Text(kMain, IDC_EDIT_ADDRESS), "1");
}

}  // namespace

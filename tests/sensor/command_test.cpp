// The command texts that go to the sensor, byte for byte, and the checks before a set.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/tool_harness.h"

namespace {

class CommandTest : public ::testing::Test {
protected:
    ToolHarness h;

    void SetUp() override { h.Start(); }

    std::string Compose(int kind) {
        std::string command;
        h.Run([&] {
            h.dlg.SendCommand(kind);
            command = h.dlg.m_strLastCommand.GetString();
        });
        return command;
    }
    void SwitchTo(int radio) { h.Click(radio); }
};

TEST_F(CommandTest, SetCommandOfBothVariantsFromTheDefaults) {
    SwitchTo(IDC_RADIO_NB);
    h.Run([&] { h.dlg.m_nSequence = 5; });
    EXPECT_EQ(Compose(CMD_SET),
              "130005,0001,003C,270F,0000,270F,0000,5,460012345678966,255.255.255.255,8080");
    SwitchTo(IDC_RADIO_LORAWAN);
    EXPECT_EQ(Compose(CMD_SET),
              "110006,0001,003C,270F,0000,270F,0000,868500000,70B3D57ED0010727,70B3D57ED0010727,"
              "5A1F0C33E8D2B7946C0A17F4D39E2B61");
    // The set leaves the interval's hex form behind.
    EXPECT_EQ(h.dlg.m_strInterval, "003C");
    EXPECT_EQ(h.dlg.m_nInterval, 60);
}

TEST_F(CommandTest, SequenceFieldCountsEveryCallAndOnlyThePrefixFollowsTheMode) {
    EXPECT_EQ(Compose(CMD_READ), "100000");
    EXPECT_EQ(Compose(CMD_READ), "100001");
    SwitchTo(IDC_RADIO_NB);
    EXPECT_EQ(Compose(CMD_READ), "120002");
    // Another kind advances the counter and sends nothing.
    EXPECT_EQ(Compose(4), "120002");
    EXPECT_EQ(h.dlg.m_nSequence, 4);
    EXPECT_EQ(Compose(CMD_READ), "120004");
    h.Run([&] { h.dlg.m_nSequence = 0x10000; });
    EXPECT_EQ(Compose(CMD_READ), "1210000");
}

TEST_F(CommandTest, NumericFieldsBeyondFourDigitsAndNegativeValues) {
    h.agent.Type(ToolHarness::kMain, IDC_EDIT_LOW_ALARM, "-1");
    h.agent.Type(ToolHarness::kMain, IDC_EDIT_HIGH_ALARM, "70000");
    h.agent.Pick(ToolHarness::kMain, IDC_COMBO_INTERVAL, 6);  // 960
    ASSERT_TRUE(h.time.Settle());
    EXPECT_EQ(Compose(CMD_SET),
              "110000,0001,03C0,270F,0000,11170,FFFFFFFF,868500000,70B3D57ED0010727,"
              "70B3D57ED0010727,5A1F0C33E8D2B7946C0A17F4D39E2B61");
}

TEST_F(CommandTest, NonIntegerAlarmKeepsItsValueAndComplainsAtEveryCommand) {
    h.agent.Type(ToolHarness::kMain, IDC_EDIT_HIGH_ALARM, "");
    ASSERT_TRUE(h.time.Settle());
    h.Post([&] { h.dlg.SendCommand(CMD_SET); });
    h.ExpectBox("Please enter an integer.");
    EXPECT_NE(h.dlg.m_strLastCommand.Find(",270F,0000,868500000"), -1);
}

struct Check {
    const char* name;
    std::function<void(CKaldoSensorSettingDlg&)> change;
    const char* failure;  // nullptr: passes
};

TEST_F(CommandTest, SetChecksStopAtTheFirstFailureOnLengthAlone) {
    const std::string eui15(15, 'A');
    const std::string key31(31, 'F');
    const Check checks[] = {
        {"port closed", [](auto& d) { d.m_bPortOpen = false; },
         "Please Initial the Serial Port sucessfully again"},
        {"port closed beats every other failure",
         [](auto& d) {
             d.m_bPortOpen = false;
             d.m_bParamsRead = false;
             d.m_strFrequency = "";
         },
         "Please Initial the Serial Port sucessfully again"},
        {"not read", [](auto& d) { d.m_bParamsRead = false; },
         "Please Click the Sensor Initial button Firstly"},
        {"frequency", [](auto& d) { d.m_strFrequency = ""; }, "Please check the Lora Frequency"},
        {"device EUI", [&](auto& d) { d.m_strDevEui = eui15.c_str(); },
         "Please check the Lora EUI"},
        {"app EUI before app key",
         [&](auto& d) {
             d.m_strAppEui = "70B3D57ED00107271";
             d.m_strAppKey = key31.c_str();
         },
         "Please input the right APPEUI"},
        {"app key", [&](auto& d) { d.m_strAppKey = key31.c_str(); },
         "Please input the right APPKey"},
        {"non-hex EUIs pass", [](auto& d) { d.m_strDevEui = d.m_strAppEui = "ZZZZZZZZZZZZZZZZ"; },
         nullptr},
        {"server address not checked for LoRaWAN", [](auto& d) { d.m_strServerIp = ""; }, nullptr},
        {"NB band", [](auto& d) { d.m_bLoraWan = false, d.m_strNbBand = ""; },
         "Please check the NB band"},
        {"NB IMEI", [](auto& d) { d.m_bLoraWan = false, d.m_strImei = "46001234567896"; },
         "Please check the NB IMEI"},
        {"NB six-character address",
         [](auto& d) { d.m_bLoraWan = false, d.m_strServerIp = "1.1.1."; },
         "Please check the Server IP"},
        {"NB seven-character address",
         [](auto& d) { d.m_bLoraWan = false, d.m_strServerIp = "1.1.1.1"; }, nullptr},
        {"NB server port", [](auto& d) { d.m_bLoraWan = false, d.m_strServerPort = ""; },
         "Please check the Server Port"},
        {"NB ignores the LoRaWAN key", [](auto& d) { d.m_bLoraWan = false, d.m_strAppKey = "1"; },
         nullptr},
    };
    for (const Check& check : checks) {
        SCOPED_TRACE(check.name);
        BOOL passed = FALSE;
        h.Post([&] {
            auto& d = h.dlg;
            d.m_bPortOpen = true;
            d.m_bParamsRead = true;
            d.m_bLoraWan = true;
            d.m_strFrequency = DEFAULT_FREQUENCY;
            d.m_strDevEui = DEFAULT_DEV_EUI;
            d.m_strAppEui = DEFAULT_APP_EUI;
            d.m_strAppKey = DEFAULT_APP_KEY;
            d.m_strNbBand = DEFAULT_NB_BAND;
            d.m_strImei = DEFAULT_IMEI;
            d.m_strServerIp = DEFAULT_SERVER_IP;
            d.m_strServerPort = DEFAULT_SERVER_PORT;
            check.change(d);
            d.UpdateData(FALSE);
            passed = h.dlg.CheckSettingsForSet();
        });
        if (check.failure != nullptr) {
            h.ExpectBox(check.failure);
            EXPECT_FALSE(passed);
        } else {
            h.ExpectNoBox();
            EXPECT_TRUE(passed);
        }
    }
}

}  // namespace

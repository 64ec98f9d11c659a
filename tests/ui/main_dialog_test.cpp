// The main dialog around the exchange: port discovery at start-up, opening a port, the mode
// buttons and the keyboard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/comm_test_support.h"
#include "tests/support/tool_harness.h"

namespace {

using namespace std::chrono_literals;
constexpr UINT kMain = ToolHarness::kMain;

class MainDialogTest : public ::testing::Test {
protected:
    ToolHarness h;

    bool FreeForOthers(const char* name) {
        HANDLE other = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OVERLAPPED, nullptr);
        return other != INVALID_HANDLE_VALUE && CloseHandle(other);
    }
};

TEST_F(MainDialogTest, StartUpListsTheFoundPortsSelectsTheFirstAndHoldsNone) {
    auto& fifth = h.AddSensor(5);
    auto& third = h.AddSensor(3);
    h.Start();
    auto ports = h.agent.Control(kMain, IDC_COMBO_COM_PORT);
    EXPECT_EQ(ports->items, (std::vector<std::string>{"COM3", "COM5"}));
    EXPECT_EQ(ports->text, "COM3");
    // Hovering tells which device each number is.
    EXPECT_EQ(ports->toolTip.rfind("COM3: " + third.SlavePath() + ", pseudo-terminal (", 0), 0u);
    EXPECT_NE(ports->toolTip.find("\nCOM5: " + fifth.SlavePath() + ", "), std::string::npos);
    EXPECT_TRUE(FreeForOthers("COM3"));
    EXPECT_TRUE(FreeForOthers("COM5"));
}

TEST_F(MainDialogTest, WithoutPortsTheListStaysEmptyAndSaysWhyAndUsbSetSaysNothing) {
    platform::PseudoTerminal line;  // one device under two numbers: one reason
    ASSERT_EQ(line.Open(4), 0);
    ASSERT_EQ(symlink(line.SlavePath().c_str(), (h.PortFolder() + "/COM6").c_str()), 0);
    kaldo_test::HoldingProcess holder(line.SlavePath(), "ModemManager");
    ASSERT_TRUE(holder.held());
    testing::internal::CaptureStderr();
    h.Start();
    const std::string why = line.SlavePath() + ": held by another program (ModemManager, pid " +
                            std::to_string(holder.pid()) +
                            "). It lets go of a new device after a few seconds: start the tool "
                            "again then.";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), why + "\n");
    auto ports = h.agent.Control(kMain, IDC_COMBO_COM_PORT);
    EXPECT_TRUE(ports->items.empty());
    EXPECT_EQ(ports->toolTip, why);
    h.Click(IDC_BUTTON_USB_SET);
    h.ExpectNoBox();
    h.Click(IDC_BUTTON_SENSOR_INITIAL);
    h.ExpectBox("Please intial the Serial COM firstly");
    h.Click(IDC_BUTTON_SENSOR_SET);
    h.ExpectBox("Please Initial the Serial Port sucessfully again");
}

TEST_F(MainDialogTest, OpeningTakesOnlyTheNumberAfterThreeCharactersAndAlwaysRuns115200) {
    auto& sensor = h.AddSensor(3);
    h.Start();
    h.agent.Pick(kMain, IDC_COMBO_BAUDRATE, 1);  // "9600" is shown, not used
    h.agent.Type(kMain, IDC_COMBO_COM_PORT, "ABC3");
    h.OpenPort();
    EXPECT_EQ(sensor.LineBaudRate(), 115200);
    EXPECT_TRUE(h.dlg.m_bPortOpen);

    // Above 10: a port that does not exist, then one that does but is refused a monitor.
    h.agent.Type(kMain, IDC_COMBO_COM_PORT, "COM12");
    h.Click(IDC_BUTTON_USB_SET);
    h.ExpectBox("The port is used by others");
    EXPECT_TRUE(h.dlg.m_bPortOpen);  // kept, although nothing is open any more

    auto& far = h.AddSensor(12);
    h.Click(IDC_BUTTON_USB_SET);
    h.ExpectBox("The numbers of HOST is exceed 10");
    EXPECT_FALSE(h.dlg.m_bPortOpen);
    h.Click(IDC_BUTTON_SENSOR_INITIAL);
    h.ExpectBox("Please intial the Serial COM firstly");
    EXPECT_TRUE(far.Received().empty());
}

TEST_F(MainDialogTest, AFailedReopenLeavesNoPortYetTheReadRunsItsCourse) {
    auto& sensor = h.AddSensor(3);
    h.Start();
    h.OpenPort();
    sensor.HangUp();
    h.Click(IDC_BUTTON_USB_SET);
    while (h.agent.OpenMessageBox() && h.agent.OpenMessageBox()->caption == "Application Error") {
        h.agent.CloseMessageBox();
        ASSERT_TRUE(h.time.Settle());
    }
    h.ExpectBox("The port is used by others");
    EXPECT_TRUE(h.dlg.m_bPortOpen);

    h.Click(IDC_BUTTON_SENSOR_INITIAL);
    ASSERT_TRUE(h.time.Advance(50200ms));
    h.ExpectBox("Initial is FAIL, please try again");
}

TEST_F(MainDialogTest, ModeButtonsSwapWhichVariantFieldsMayBeEdited) {
    h.Start();
    // The LoRaWAN fields, then the NB ones; the read-only fields never open.
    const std::vector<bool> loraWan{true, true, false, false, false, false};
    const std::vector<bool> nb{false, false, true, true, false, false};
    for (const auto& [radio, expected] :
         {std::pair{0, loraWan}, {IDC_RADIO_NB, nb}, {IDC_RADIO_LORAWAN, loraWan}}) {
        SCOPED_TRACE(radio);
        if (radio != 0) {
            h.Click(radio);
        }
        std::vector<bool> enabled;
        for (int id : {IDC_EDIT_APP_EUI, IDC_EDIT_APP_KEY, IDC_EDIT_SERVER_IP, IDC_EDIT_SERVER_PORT,
                       IDC_EDIT_FREQUENCY, IDC_EDIT_IMEI}) {
            enabled.push_back(h.agent.Control(kMain, id)->IsEnabled());
        }
        EXPECT_EQ(enabled, expected);
        EXPECT_EQ(h.dlg.m_bLoraWan, expected[0]);
        EXPECT_EQ(h.agent.Control(kMain, IDC_RADIO_LORAWAN)->checked, expected[0]);
    }
}

// Typing stops at an edit's limit, or at the length of a longer text the program put there.
TEST_F(MainDialogTest, TypingStopsAtTheLimitOrALongerShownTextAndNeverEntersADropDownList) {
    h.Start();
    for (const auto& [id, limit] :
         {std::pair{IDC_EDIT_APP_EUI, APP_EUI_LIMIT}, {IDC_EDIT_APP_KEY, APP_KEY_LIMIT}}) {
        h.agent.Type(kMain, id, std::string(limit + 1, '7'));
        ASSERT_TRUE(h.time.Settle());
        EXPECT_EQ(h.agent.Text(kMain, id), std::string(limit, '7'));
    }
    h.Run([&] { h.dlg.GetDlgItem(IDC_EDIT_APP_EUI)->SetWindowText("0123456789ABCDEF01"); });
    h.agent.Type(kMain, IDC_EDIT_APP_EUI, "0123456789ABCDEF012");
    h.agent.Type(kMain, IDC_COMBO_INTERVAL, "999");
    ASSERT_TRUE(h.time.Settle());
    EXPECT_EQ(h.agent.Text(kMain, IDC_EDIT_APP_EUI), "0123456789ABCDEF01");
    EXPECT_EQ(h.agent.Text(kMain, IDC_COMBO_INTERVAL), "60");
}

// The exchange takes the fields in the dialog's order and stops at the first that fails.
TEST_F(MainDialogTest, EnterEndsTheProgramUnlessAnIntegerFieldFails) {
    h.Start();
    h.agent.Type(kMain, IDC_EDIT_HIGH_ALARM, " -900 ");  // blanks around a sign and digits
    h.agent.Type(kMain, IDC_EDIT_LOW_ALARM, "low");
    h.agent.Type(kMain, IDC_EDIT_APP_EUI, "00AA");
    h.agent.PressEnter(kMain);
    ASSERT_TRUE(h.time.Settle());
    h.ExpectBox("Please enter an integer.");
    EXPECT_TRUE(h.agent.IsShown(kMain));
    EXPECT_EQ(h.dlg.m_nHighAlarm, -900);
    EXPECT_NE(h.dlg.m_strAppEui, "00AA");

    h.agent.Type(kMain, IDC_EDIT_LOW_ALARM, "-20");
    // Enter on a focused button that has been disabled since is the dialog's OK, not a press.
    h.Click(IDC_BUTTON_SENSOR_SET);
    h.ExpectBox("Please Initial the Serial Port sucessfully again");
    h.Run([&] { h.dlg.GetDlgItem(IDC_BUTTON_SENSOR_SET)->EnableWindow(FALSE); });
    h.agent.PressEnter(kMain);
    ASSERT_TRUE(h.time.Settle());
    h.ExpectNoBox();
    h.Close();
    EXPECT_FALSE(h.agent.Dialog(kMain).has_value());
    EXPECT_EQ(h.dlg.m_nLowAlarm, -20);
}

}  // namespace

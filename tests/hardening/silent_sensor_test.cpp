// A sensor that never answers: a technician who walks away from the tool in the middle of a read
// must find it still running when coming back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/tool_harness.h"

namespace {

using namespace std::chrono_literals;
constexpr UINT kMain = ToolHarness::kMain;

// Every read request brings up the integer message, each inside the one before. The requests
// must keep their pace of one in five poll ticks and the read its time-out, or the boxes pile up
// ten a second for as long as nobody answers, until the stack runs out.
TEST(SilentSensorTest, ANonIntegerAlarmDuringAReadStillTimesOutWithBoundedBoxes) {
    ToolHarness h;
    sensor_sim::SensorOptions silent;
    silent.silent = true;
    h.AddSensor(3, silent);
    h.Start();
    const auto openBoxes = [&](const std::string& text) {
        return std::ranges::count_if(h.agent.Boxes(), [&](const auto& shown) {
            return shown.open && shown.box.text == text;
        });
    };
    h.OpenPort();
    h.agent.Type(kMain, IDC_EDIT_HIGH_ALARM, "high");
    h.Click(IDC_BUTTON_SENSOR_INITIAL);
    h.ExpectBox("Please enter an integer.");  // the button's own data exchange
    ASSERT_TRUE(h.time.Advance(5s));
    EXPECT_LE(openBoxes("Please enter an integer."), 11);
    // One closed hands nothing back: the progress window and the boxes below are still up.
    h.agent.CloseMessageBox();
    ASSERT_TRUE(h.time.Settle());
    EXPECT_FALSE(h.agent.Dialog(kMain)->IsEnabled());

    ASSERT_TRUE(h.time.Advance(60s));
    EXPECT_EQ(openBoxes("Initial is FAIL, please try again"), 1);
    const long piled = openBoxes("Please enter an integer.");
    EXPECT_LE(piled, 102);
    ASSERT_TRUE(h.time.Advance(60s));
    EXPECT_EQ(openBoxes("Please enter an integer."), piled);

    // Coming back, the technician closes them all and the tool is as before.
    while (h.agent.CloseMessageBox()) {
        ASSERT_TRUE(h.time.Settle());
    }
    EXPECT_TRUE(h.agent.Control(kMain, IDC_BUTTON_SENSOR_INITIAL)->IsEnabled());
    EXPECT_FALSE(h.agent.IsShown(ToolHarness::kProgress));
}

}  // namespace

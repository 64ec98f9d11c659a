// What happens while nobody answers the boxes: a technician who walks away from the tool in the
// middle of an operation must find it still running, not crashed, when coming back.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/tool_harness.h"

namespace {

using namespace std::chrono_literals;
constexpr UINT kMain = ToolHarness::kMain;

class LeftAloneTest : public ::testing::Test {
protected:
    ToolHarness h;
    sensor_sim::SimulatedSensor* sensor = nullptr;

    void SetUp() override {
        sensor_sim::SensorOptions silent;
        silent.silent = true;
        sensor = &h.AddSensor(3, silent);
        h.Start();
        h.OpenPort();
    }

    int OpenBoxes(const std::string& text) {
        int open = 0;
        for (const auto& shown : h.agent.Boxes()) {
            open += shown.open && shown.box.text == text ? 1 : 0;
        }
        return open;
    }
};

// Every read request brings up the integer message, each inside the one before. The requests
// must keep their pace of one in five poll ticks and the read its time-out, or the boxes pile up
// ten a second for as long as nobody answers, until the stack runs out.
TEST_F(LeftAloneTest, ANonIntegerAlarmDuringAReadStillTimesOutWithBoundedBoxes) {
    h.agent.Type(kMain, IDC_EDIT_HIGH_ALARM, "high");
    h.Click(IDC_BUTTON_SENSOR_INITIAL);
    h.ExpectBox("Please enter an integer.");  // the button's own data exchange
    ASSERT_TRUE(h.time.Advance(5s));
    EXPECT_LE(OpenBoxes("Please enter an integer."), 11);

    ASSERT_TRUE(h.time.Advance(60s));
    EXPECT_EQ(OpenBoxes("Initial is FAIL, please try again"), 1);
    const int piled = OpenBoxes("Please enter an integer.");
    EXPECT_LE(piled, 102);
    ASSERT_TRUE(h.time.Advance(60s));
    EXPECT_EQ(OpenBoxes("Please enter an integer."), piled);

    // Coming back, the technician closes them all and the tool is as before.
    while (h.agent.CloseMessageBox()) {
        ASSERT_TRUE(h.time.Settle());
    }
    EXPECT_TRUE(h.agent.Control(kMain, IDC_BUTTON_SENSOR_INITIAL)->IsEnabled());
    EXPECT_FALSE(h.agent.IsShown(ToolHarness::kProgress));
}

}  // namespace

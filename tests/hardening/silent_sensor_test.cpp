// A sensor that never answers: a technician who walks away from the tool in the middle of a read
// must find it still running when coming back, and a command queued for the sensor goes out at
// most once.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "tests/support/tool_harness.h"

namespace {

using namespace std::chrono_literals;
constexpr UINT kMain = ToolHarness::kMain;

class SilentSensorTest : public ::testing::Test {
protected:
    void SetUp() override {
        sensor_sim::SensorOptions silent;
        silent.silent = true;
        sensor = &h.AddSensor(3, silent);
        h.Start();
    }
    long OpenBoxes(const std::string& text) {
        return std::ranges::count_if(h.agent.Boxes(), [&](const auto& shown) {
            return shown.open && shown.box.text == text;
        });
    }

    ToolHarness h;
    sensor_sim::SimulatedSensor* sensor = nullptr;
};

// Every read request brings up the integer message, each inside the one before. The requests
// must keep their pace of one in five poll ticks and the read its time-out, or the boxes pile up
// ten a second for as long as nobody answers, until the stack runs out.
TEST_F(SilentSensorTest, ANonIntegerAlarmDuringAReadStillTimesOutWithBoundedBoxes) {
    h.OpenPort();
    h.agent.Type(kMain, IDC_EDIT_HIGH_ALARM, "high");
    h.Click(IDC_BUTTON_SENSOR_INITIAL);
    h.ExpectBox("Please enter an integer.");  // the button's own data exchange
    ASSERT_TRUE(h.time.Advance(5s));
    EXPECT_LE(OpenBoxes("Please enter an integer."), 11);

    ASSERT_TRUE(h.time.Advance(60s));
    EXPECT_EQ(OpenBoxes("Initial is FAIL, please try again"), 1);
    const long piled = OpenBoxes("Please enter an integer.");
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

class MonitorlessPort : public CSerialPort {
public:
    using CSerialPort::FlushWrite;
};

// Two commands queued back to back (a request held up by a box, then the poll tick that was
// waiting behind it) can wake the monitor twice for the one message left in the buffer; the
// second wake must find nothing to write, or the sensor gets the command twice in one burst and
// understands neither.
TEST_F(SilentSensorTest, ASecondWakeForTheSameMessageWritesNothing) {
    std::unique_ptr<MonitorlessPort> port;
    h.Run([&] {
        port = std::make_unique<MonitorlessPort>();
        ASSERT_TRUE(port->OpenPort(&h.dlg, 3, 115200));
        port->QueueWrite("100001", 6);
        port->FlushWrite();
    });
    // The sensor has the bytes before the monitor wakes again for the same message.
    ASSERT_TRUE(h.time.Settle());
    h.Run([&] { port->FlushWrite(); });
    ASSERT_TRUE(h.time.Advance(20ms));
    ASSERT_EQ(sensor->Received().size(), 1u);
    EXPECT_EQ(sensor->Received()[0].bytes, "100001");

    // A message queued after that goes out as usual.
    h.Run([&] {
        port->QueueWrite("100002", 6);
        port->FlushWrite();
    });
    ASSERT_TRUE(h.time.Advance(20ms));
    EXPECT_EQ(sensor->Received().back().bytes, "100002");
    h.Run([&] { port.reset(); });
}

}  // namespace

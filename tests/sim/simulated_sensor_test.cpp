#include "tools/sensor-sim/simulated_sensor.h"

#include <gtest/gtest.h>

#include "tests/sim/line_peer.h"

namespace sensor_sim {
namespace {

using namespace std::chrono_literals;
using sim_test::LinePeer;

std::string Reply(const char* sequence, const SensorSettings& settings = {}) {
    return BuildReply(settings, Variant::LoRaWan, sequence);
}

class SimulatedSensorTest : public ::testing::Test {
protected:
    std::string Link() const { return folder_.Link(3); }

    kaldo_test::TemporaryPortFolder folder_;
    SimulatedSensor sensor_;
};

// On a virtual clock nothing moves until the test advances it, so a paced answer takes exactly
// its line time however slow the machine is.
class SimulatedSensorVirtualTimeTest : public SimulatedSensorTest {
protected:
    void SetUp() override { hub_.UseVirtualClock(false); }
    void TearDown() override {
        sensor_.Stop();
        hub_.UseSteadyClock();
    }

    platform::WaitHub& hub_ = platform::WaitHub::Instance();
};

TEST_F(SimulatedSensorVirtualTimeTest, APacedAnswerTakesItsLineTime) {
    SensorOptions options;
    options.paced = true;
    options.replyDelay = 20ms;
    ASSERT_EQ(sensor_.Start(3, options), 0);
    LinePeer port(Link());
    const auto start = hub_.Now();
    port.Send("100000");
    ASSERT_TRUE(hub_.WaitIdle());
    EXPECT_TRUE(sensor_.Received().empty());  // the command gap has not run out

    ASSERT_TRUE(hub_.AdvanceBy(100ms));
    EXPECT_EQ(port.ReceiveLine(), Reply("0000"));
    // 117 bytes at 115200 baud, sent in millisecond chunks.
    const auto sent = sensor_.Sent();
    ASSERT_EQ(sent.size(), 11u);
    EXPECT_EQ(sent.back().at, start + kCommandGap + options.replyDelay + 11ms);
}

TEST_F(SimulatedSensorVirtualTimeTest, GarbageAndOtherVariantsAreIgnoredAndTheNextCommandServed) {
    SensorOptions options;
    options.variant = Variant::NbIot;
    ASSERT_EQ(sensor_.Start(3, options), 0);
    LinePeer port(Link());
    for (const std::string& ignored :
         {std::string(3000, '1'), std::string("100000"), std::string("\x00\xFF,,,\r\n", 7)}) {
        port.Send(ignored);
        ASSERT_TRUE(hub_.AdvanceBy(10ms));
    }
    port.Send("120001");
    ASSERT_TRUE(hub_.AdvanceBy(10ms));
    EXPECT_EQ(port.ReceiveLine(), BuildReply(SensorSettings{}, Variant::NbIot, "0001"));
    const auto received = sensor_.Received();
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0].bytes.size(), kMaxCommandBytes);
    EXPECT_FALSE(received[0].understood || received[1].understood || received[2].understood);
}

}  // namespace
}  // namespace sensor_sim

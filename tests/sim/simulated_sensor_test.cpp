#include "tools/sensor-sim/simulated_sensor.h"

#include <gtest/gtest.h>

#include "line_peer.h"

namespace sensor_sim {
namespace {

using namespace std::chrono_literals;
using sim_test::Eventually;
using sim_test::LinePeer;

const std::string kLoraSet =
    "110001,0002,000F,1388,0064,0BB8,0032,868100000,0011223344556677,8899AABBCCDDEEFF,"
    "00112233445566778899AABBCCDDEEFF";

class SimulatedSensorTest : public ::testing::Test {
protected:
    std::string Link(int com = 3) const { return folder_.Link(com); }

    sim_test::TemporaryPortFolder folder_;
    SimulatedSensor sensor_;
};

TEST_F(SimulatedSensorTest, AnswersReadsAndEchoesAndAppliesSets) {
    ASSERT_EQ(sensor_.Start(3, {}), 0);
    EXPECT_EQ(sensor_.LinkPath(), Link());
    LinePeer port(Link());
    ASSERT_TRUE(port.IsOpen());

    port.Send("100000");
    EXPECT_EQ(port.ReceiveLine(), BuildReply(SensorSettings{}, Variant::LoRaWan, "0000"));

    port.Send(kLoraSet);
    EXPECT_EQ(port.ReceiveLine(), kLoraSet + "\r\n");
    const SensorSettings settings = sensor_.Settings();
    EXPECT_EQ(settings.interval, 15);
    EXPECT_EQ(settings.highAlarm, 3000);
    EXPECT_EQ(settings.devEui, "0011223344556677");

    port.Send("100002");
    EXPECT_EQ(port.ReceiveLine(), BuildReply(settings, Variant::LoRaWan, "0002"));

    const auto received = sensor_.Received();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[1].bytes, kLoraSet);
    EXPECT_TRUE(received[1].understood);
    EXPECT_LE(received[0].at, received[1].at);
}

TEST_F(SimulatedSensorTest, AnNbIotSensorIgnoresOtherCommandsAndPadsShortAnswers) {
    SensorOptions options;
    options.variant = Variant::NbIot;
    ASSERT_EQ(sensor_.Start(3, options), 0);
    SensorSettings terse;
    terse.nbBand = terse.imei = terse.serverIp = terse.serverPort = "1";
    sensor_.SetSettings(terse);
    LinePeer port(Link());

    port.Send("100000");
    ASSERT_TRUE(Eventually([&] { return sensor_.Received().size() == 1; }));
    port.Send(std::string("\x00\xFF,,,\r\n", 7));
    ASSERT_TRUE(Eventually([&] { return sensor_.Received().size() == 2; }));
    EXPECT_EQ(sensor_.SentBytes(), "");
    EXPECT_FALSE(sensor_.Received()[0].understood);
    EXPECT_FALSE(sensor_.Received()[1].understood);

    port.Send("120003");
    const std::string line = port.ReceiveLine();
    EXPECT_EQ(line, BuildReply(terse, Variant::NbIot, "0003"));
    EXPECT_EQ(port.Receive(50 - line.size()), std::string(50 - line.size(), ' '));
}

TEST_F(SimulatedSensorTest, ASilentSensorTakesCommandsInAndDoesNothing) {
    SensorOptions options;
    options.silent = true;
    ASSERT_EQ(sensor_.Start(3, options), 0);
    LinePeer port(Link());
    port.Send(kLoraSet);
    ASSERT_TRUE(Eventually([&] { return sensor_.Received().size() == 1; }));
    EXPECT_TRUE(sensor_.Received()[0].understood);
    EXPECT_EQ(sensor_.SentBytes(), "");
    EXPECT_EQ(sensor_.Settings(), SensorSettings{});

    options.silent = false;  // and it recovers while running
    sensor_.SetOptions(options);
    port.Send("100001");
    EXPECT_EQ(port.ReceiveLine(), BuildReply(SensorSettings{}, Variant::LoRaWan, "0001"));
}

TEST_F(SimulatedSensorTest, ShortNoisySplitAndCorruptAnswersReachThePortAsPlanned) {
    ASSERT_EQ(sensor_.Start(3, {}), 0);
    LinePeer port(Link());
    const std::string reply = BuildReply(SensorSettings{}, Variant::LoRaWan, "0000");

    SensorOptions options;
    options.cutTo = 40;
    sensor_.SetOptions(options);
    port.Send("100000");
    EXPECT_EQ(port.Receive(40), reply.substr(0, 40));
    ASSERT_TRUE(Eventually([&] { return sensor_.SentBytes().size() == 40; }));

    options = {};
    options.noiseBytes = 25;
    options.splitAt = 60;
    options.splitPause = 40ms;
    sensor_.SetOptions(options);
    port.Send("100000");
    const std::string noisy = port.Receive(25 + reply.size());
    EXPECT_EQ(noisy.substr(25), reply);
    const auto sent = sensor_.Sent();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1].bytes.size(), 60u);
    EXPECT_GE(sent[2].at - sent[1].at, 40ms);

    options = {};
    options.corruptEcho = true;
    sensor_.SetOptions(options);
    port.Send(kLoraSet);
    const std::string echo = port.ReceiveLine();
    ASSERT_EQ(echo.size(), kLoraSet.size() + 2);
    int differences = 0;
    for (std::size_t i = 0; i < kLoraSet.size(); ++i) {
        differences += echo[i] != kLoraSet[i];
    }
    EXPECT_EQ(differences, 1);
    EXPECT_EQ(sensor_.Settings().appKey, "00112233445566778899AABBCCDDEEFF");
}

TEST_F(SimulatedSensorTest, AFloodLargerThanTheTerminalHoldsArrivesWhole) {
    SensorOptions options;
    options.floodBytes = 300000;
    ASSERT_EQ(sensor_.Start(3, options), 0);
    LinePeer port(Link());
    port.Send("100000");
    EXPECT_EQ(port.Receive(options.floodBytes, 20s).size(), options.floodBytes);
    EXPECT_EQ(sensor_.SentBytes().size(), options.floodBytes);
}

TEST_F(SimulatedSensorTest, HangsUpMidAnswerOrOnRequestAndComesBack) {
    SensorOptions options;
    options.hangUpAfter = 10;
    ASSERT_EQ(sensor_.Start(3, options), 0);
    {
        LinePeer port(Link());
        port.Send("100000");
        EXPECT_EQ(port.Receive(200),
                  BuildReply(SensorSettings{}, Variant::LoRaWan, "0000").substr(0, 10));
        EXPECT_TRUE(port.WaitHangUp());
        EXPECT_FALSE(sensor_.IsConnected());
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(Link())));
    }

    sensor_.SetOptions({});
    ASSERT_EQ(sensor_.Reconnect(), 0);
    LinePeer port(Link());
    ASSERT_TRUE(port.IsOpen());
    port.Send("100001");
    EXPECT_EQ(port.ReceiveLine(), BuildReply(SensorSettings{}, Variant::LoRaWan, "0001"));

    sensor_.HangUp();
    EXPECT_TRUE(port.WaitHangUp());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(Link())));
}

TEST_F(SimulatedSensorTest, SeveralSensorsServeTheirOwnPorts) {
    SimulatedSensor nb;
    SensorOptions nbOptions;
    nbOptions.variant = Variant::NbIot;
    ASSERT_EQ(sensor_.Start(3, {}), 0);
    ASSERT_EQ(nb.Start(5, nbOptions), 0);
    EXPECT_NE(sensor_.SlavePath(), nb.SlavePath());
    LinePeer lora(Link(3));
    LinePeer nbPort(Link(5));
    nbPort.Send("120007");
    lora.Send("100008");
    EXPECT_EQ(nbPort.ReceiveLine(), BuildReply(SensorSettings{}, Variant::NbIot, "0007"));
    EXPECT_EQ(lora.ReceiveLine(), BuildReply(SensorSettings{}, Variant::LoRaWan, "0008"));

    nb.Stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(Link(5))));
    EXPECT_TRUE(std::filesystem::exists(Link(3)));
}

// On a virtual clock the sensor's time is the hub's: nothing moves until the test advances it,
// and a paced answer then takes exactly its line time, however long the machine needs.
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
    const std::string reply = BuildReply(SensorSettings{}, Variant::LoRaWan, "0000");
    EXPECT_EQ(port.ReceiveLine(), reply);

    EXPECT_EQ(sensor_.Received()[0].at, start);
    const auto firstByteStart = start + kCommandGap + options.replyDelay;
    std::size_t total = 0;
    const auto sent = sensor_.Sent();
    for (const auto& chunk : sent) {
        total += chunk.bytes.size();
        const auto elapsed = std::chrono::nanoseconds(chunk.at - firstByteStart).count();
        EXPECT_EQ(total, std::min<std::size_t>(reply.size(), elapsed * 11520 / 1'000'000'000));
    }
    // In millisecond chunks, not one wake-up per byte.
    EXPECT_EQ(sent.size(), 11u);
    EXPECT_EQ(sent.back().at, firstByteStart + 11ms);
}

TEST_F(SimulatedSensorVirtualTimeTest, GarbageOfAnyLengthIsDroppedAndTheNextCommandServed) {
    ASSERT_EQ(sensor_.Start(3, {}), 0);
    LinePeer port(Link());
    port.Send(std::string(3000, '1'));
    ASSERT_TRUE(hub_.AdvanceBy(10ms));
    port.Send("100001");
    ASSERT_TRUE(hub_.AdvanceBy(10ms));
    EXPECT_EQ(port.ReceiveLine(), BuildReply(SensorSettings{}, Variant::LoRaWan, "0001"));
    const auto received = sensor_.Received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].bytes.size(), kMaxCommandBytes);
    EXPECT_FALSE(received[0].understood);
}

}  // namespace
}  // namespace sensor_sim

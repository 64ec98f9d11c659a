// kaldo-sensor-cli in-process against simulated sensors on pseudo-terminals, on the real clock as
// the program runs: its driver waits in real time, outside the hub's virtual time.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/run.h"
#include "tests/support/comm_test_support.h"
#include "tools/sensor-sim/simulated_sensor.h"

namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

class CliTest : public kaldo_test::PortTest {
protected:
    sensor_sim::SimulatedSensor& AddSensor(sensor_sim::SensorOptions options = {}) {
        sensors_.push_back(std::make_unique<sensor_sim::SimulatedSensor>());
        EXPECT_EQ(sensors_.back()->Start(3, options), 0);
        return *sensors_.back();
    }
    static Result Run(const std::vector<std::string>& args) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int code = cli::Run(args);
        std::fflush(stdout);
        std::string out = testing::internal::GetCapturedStdout();
        return {code, out, testing::internal::GetCapturedStderr()};
    }

    std::vector<std::unique_ptr<sensor_sim::SimulatedSensor>> sensors_;
};

TEST_F(CliTest, ReadAndSetSendWhatTheDialogSendsAndSucceedOnlyOnTheEcho) {
    auto& sensor = AddSensor();
    const Result read = Run({"read", "--com", "3"});
    EXPECT_EQ(read.code, cli::kOk) << read.err;
    EXPECT_NE(read.out.find("\nHigh Alarm: 1200\n"), std::string::npos) << read.out;
    EXPECT_EQ(sensor.Received().front().bytes, "100000");

    const Result set =
        Run({"set", "--com=3", "--high-alarm", "1500", "--interval", "120", "--json"});
    EXPECT_EQ(set.code, cli::kOk) << set.err;
    EXPECT_NE(set.out.find("\"High Alarm\": \"1500\""), std::string::npos) << set.out;
    EXPECT_NE(set.out.find("\"message\": \"The Parameters have been set correctly\""),
              std::string::npos);
    EXPECT_EQ(sensor.Settings().highAlarm, 1500);
    EXPECT_EQ(sensor.Settings().interval, 120);
}

TEST_F(CliTest, EveryOtherEndHasItsOwnCodeAndSaysWhy) {
    struct Case {
        std::vector<std::string> args;
        bool held;
        int code;
        std::string says;
    };
    const Case cases[] = {
        {{"set", "--com", "3", "--high-alarm", "70000"},
         false,
         cli::kBadArguments,
         "--high-alarm takes a whole number of kPa from 0 to 65535"},
        {{"set", "--com", "3", "--app-key", "5A1F"},
         false,
         cli::kSetRefused,
         "COM3: Please input the right APPKey\n"},
        {{"read", "--com", "3"}, true, cli::kPortHeld, "COM3: The port is used by others\n"},
        {{"read", "--com", "4"}, false, cli::kPortUnavailable, "COM4: no such port"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        auto& sensor = AddSensor();
        std::unique_ptr<kaldo_test::HoldingProcess> holder;
        if (c.held) {
            holder = std::make_unique<kaldo_test::HoldingProcess>(sensor.SlavePath(), "holder");
            ASSERT_TRUE(holder->held());
        }
        const Result result = Run(c.args);
        EXPECT_EQ(result.code, c.code);
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
        if (c.code == cli::kBadArguments) {
            EXPECT_TRUE(sensor.Received().empty());
        }
        sensors_.clear();
    }
}

}  // namespace

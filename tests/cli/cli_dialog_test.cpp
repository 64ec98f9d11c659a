// kaldo-sensor-cli's read and set against the simulated sensor in-process, on the virtual clock:
// each way an exchange ends has its exit code and its message.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/run.h"
#include "tests/support/comm_test_support.h"
#include "tests/support/ui_thread.h"
#include "tools/sensor-sim/simulated_sensor.h"

namespace {

using namespace std::chrono_literals;
using sensor_sim::SensorOptions;

struct Result {
    int code;
    std::string out;
    std::string err;
};

class CliDialogTest : public kaldo_test::PortTest {
protected:
    // Runs the command on a thread of its own while virtual time moves on.
    Result Cli(const std::vector<std::string>& args) {
        std::atomic<bool> done{false};
        int code = -1;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        std::thread run([&] {
            code = cli::Run(args);
            done = true;
        });
        while (!done) {
            time.Advance(50ms);
        }
        run.join();
        const std::string out = testing::internal::GetCapturedStdout();
        return {code, out, testing::internal::GetCapturedStderr()};
    }

    // The sensor's schedule is on the hub's clock: virtual from before it starts.
    VirtualTime time;
    sensor_sim::SimulatedSensor sensor;
};

TEST_F(CliDialogTest, EachEndOfAReadOrASetHasItsExitCode) {
    ASSERT_EQ(sensor.Start(3, {}), 0);
    const Result read = Cli({"read", "--com", "3"});
    EXPECT_EQ(read.code, cli::kOk) << read.err;
    EXPECT_NE(read.out.find("\nHigh Alarm: 1200\n"), std::string::npos) << read.out;

    const Result set = Cli({"set", "--com", "3", "--high-alarm", "1500", "--interval", "120"});
    EXPECT_EQ(set.code, cli::kOk) << set.err;
    EXPECT_EQ(sensor.Settings().highAlarm, 1500);
    EXPECT_NE(set.out.find("\nInterval: 120\n"), std::string::npos) << set.out;

    SensorOptions nbSensor;  // answers NB-IoT commands only
    nbSensor.variant = sensor_sim::Variant::NbIot;
    sensor.SetOptions(nbSensor);
    const Result nb = Cli({"read", "--com", "3", "--nb"});
    EXPECT_NE(nb.out.find("\nIMEI: 460012345678966\n"), std::string::npos) << nb.out << nb.err;
    const Result refused = Cli({"set", "--com", "3", "--nb", "--server-ip", "1.2.3"});
    EXPECT_EQ(refused.code, cli::kSetRefused);
    EXPECT_NE(refused.err.find("COM3: Please check the Server IP\n"), std::string::npos)
        << refused.err;

    SensorOptions corrupt;
    corrupt.corruptEcho = true;
    sensor.SetOptions(corrupt);
    const Result unechoed = Cli({"set", "--com", "3", "--low-alarm", "20"});
    EXPECT_EQ(unechoed.code, cli::kSetTimedOut);
    EXPECT_NE(unechoed.err.find("COM3: Setting is FAIL, please try again\n"), std::string::npos);

    SensorOptions silent;
    silent.silent = true;
    sensor.SetOptions(silent);
    const Result unanswered = Cli({"read", "--com", "3"});
    EXPECT_EQ(unanswered.code, cli::kReadTimedOut);
    EXPECT_NE(unanswered.err.find("COM3: Initial is FAIL, please try again\n"), std::string::npos);
    // The sensor tells commands apart by the quiet between them: a set waits after its read.
    const auto received = sensor.Received();
    for (std::size_t i = 1; i < received.size(); ++i) {
        EXPECT_GE(received[i].at - received[i - 1].at, 50ms) << received[i].bytes;
    }
}

// The ends a simulated sensor cannot bring about.
TEST(ExitCodes, EndsNoSensorBringsAboutStillHaveTheirCodes) {
    using sensor::Outcome;
    const struct {
        Outcome outcome;
        int code;
    } ends[] = {
        {Outcome::ReadRejected, cli::kReadRejected},
        {Outcome::SetRejected, cli::kSetRejected},
        {Outcome::PortHeld, cli::kPortHeld},
        {Outcome::PortBeyondLast, cli::kPortUnavailable},
        {Outcome::Pending, cli::kUnexpected},
        {Outcome::ReadWithoutPort, cli::kUnexpected},
    };
    for (const auto& end : ends) {
        EXPECT_EQ(cli::ExitCodeFor(end.outcome), end.code) << static_cast<int>(end.outcome);
    }
}

}  // namespace

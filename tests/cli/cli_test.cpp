// kaldo-sensor-cli's ends that come before any exchange with a sensor, run in-process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/run.h"
#include "tests/support/comm_test_support.h"

namespace {

int InProcess(const std::vector<std::string>& args, std::string& err) {
    testing::internal::CaptureStderr();
    const int code = cli::Run(args);
    err = testing::internal::GetCapturedStderr();
    return code;
}

using CliTest = kaldo_test::PortTest;

TEST_F(CliTest, BadArgumentsHeldAndMissingPortsEndBeforeAnyExchange) {
    platform::PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    std::string err;
    EXPECT_EQ(InProcess({"set", "--com", "3", "--high-alarm", "70000"}, err), cli::kBadArguments);
    EXPECT_NE(err.find("--high-alarm takes a whole number of kPa from 0 to 65535"),
              std::string::npos)
        << err;
    EXPECT_EQ(InProcess({"read", "--com", "4"}, err), cli::kPortUnavailable);
    EXPECT_NE(err.find("COM4: no such port"), std::string::npos) << err;

    kaldo_test::HoldingProcess holder(line.SlavePath(), "holder");
    ASSERT_TRUE(holder.held());
    EXPECT_EQ(InProcess({"read", "--com", "3"}, err), cli::kPortHeld);
    EXPECT_NE(err.find("COM3: The port is used by others\n"), std::string::npos) << err;
}

}  // namespace

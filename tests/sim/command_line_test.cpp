#include "tools/sensor-sim/command_line.h"

#include <gtest/gtest.h>

namespace sensor_sim {
namespace {

TEST(CommandLine, BadInputIsRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--com"},
        {"--com", "0"},
        {"--com", "256"},
        {"--delay", "-1"},
        {"--flood", "12x"},
        {"--seed", "4294967296"},
        {"--noise", ""},
        {"--flood", "99999999999"},
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(ParseCommandLine(args, error)) << args[0];
        EXPECT_NE(error.find(args[0]), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace sensor_sim

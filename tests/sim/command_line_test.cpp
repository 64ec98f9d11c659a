#include "tools/sensor-sim/command_line.h"

#include <gtest/gtest.h>

namespace sensor_sim {
namespace {

using namespace std::chrono_literals;

TEST(CommandLine, EachValueGoesToItsOwnOption) {
    std::string error;
    const auto line = ParseCommandLine(
        {"--com", "7", "--nb", "--delay", "30", "--short", "0", "--split", "9", "--split-pause",
         "15", "--noise", "4", "--hang-up-after", "12", "--flood", "1000", "--seed", "99"},
        error);
    ASSERT_TRUE(line) << error;
    const SensorOptions& o = line->options;
    EXPECT_EQ(line->comNumber, 7);
    EXPECT_EQ(o.variant, Variant::NbIot);
    EXPECT_EQ(o.replyDelay, 30ms);
    EXPECT_EQ(o.cutTo, 0u);
    EXPECT_EQ(o.splitAt, 9u);
    EXPECT_EQ(o.splitPause, 15ms);
    EXPECT_EQ(o.noiseBytes, 4u);
    EXPECT_EQ(o.hangUpAfter, 12u);
    EXPECT_EQ(o.floodBytes, 1000u);
    EXPECT_EQ(o.seed, 99u);
}

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

// kaldo-sensor-cli's ends before any exchange, on Windows: the port's absence comes from the
// system's own open (the test's Wine prefix has no COM9).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/run.h"

namespace {

TEST(CliWindowsTest, BadArgumentsAndAMissingPortEndBeforeAnyExchange) {
    const struct {
        std::vector<std::string> args;
        int code;
        const char* says;
    } cases[] = {
        {{"set", "--com", "3", "--high-alarm", "70000"},
         cli::kBadArguments,
         "--high-alarm takes a whole number of kPa from 0 to 65535"},
        {{"read", "--com", "9"}, cli::kPortUnavailable, "COM9: no such port"},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(cli::Run(c.args), c.code) << c.args[0];
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
    }
}

}  // namespace

#include "tools/sensor-sim/command_line.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/comm_test_support.h"

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

// A link left behind names the pseudo-terminal of whoever takes its number next.
TEST(SimulatorProgram, EverySignalThatEndsItRemovesItsLink) {
    kaldo_test::TemporaryPortFolder folder;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
        const pid_t sim = fork();
        if (sim == 0) {
            freopen("/dev/null", "w", stdout);
            execl(KALDO_SIM, KALDO_SIM, "--com", "3", static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_TRUE(
            kaldo_test::Eventually([&] { return std::filesystem::is_symlink(folder.Link(3)); }));
        kill(sim, signal);
        waitpid(sim, nullptr, 0);
        EXPECT_FALSE(std::filesystem::is_symlink(folder.Link(3))) << signal;
    }
}

}  // namespace
}  // namespace sensor_sim

// kaldo-sensor-cli as a production line runs it: a process of its own against the simulated
// sensor's program, on the real clock. A loaded machine stretches the exchange past what the
// dialog's own timing allows for, so scripts/check runs this, not the suite.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/exit_codes.h"
#include "tests/support/comm_test_support.h"

namespace {

// kaldo-sensor-sim --com 3 (and one option) in the test's port folder, until the object goes.
class SimulatorProcess {
public:
    // Returns once the simulator has linked its line as COM3.
    explicit SimulatorProcess(const std::string& link, const char* option = nullptr)
        : pid_(fork()) {
        if (pid_ == 0) {
            freopen("/dev/null", "w", stdout);
            execl(KALDO_SIM, KALDO_SIM, "--com", "3", option, static_cast<char*>(nullptr));
            _exit(127);
        }
        EXPECT_TRUE(kaldo_test::Eventually([&] { return std::filesystem::exists(link); }));
    }
    ~SimulatorProcess() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

private:
    pid_t pid_;
};

struct Result {
    int code;
    std::string out;  // standard error included, as a script that logs both sees it
};

Result Cli(const std::string& args) {
    std::unique_ptr<FILE, int (*)(FILE*)> cli(popen((KALDO_CLI " " + args + " 2>&1").c_str(), "r"),
                                              pclose);
    std::string out;
    for (char buffer[512]; std::fgets(buffer, sizeof buffer, cli.get()) != nullptr;) {
        out += buffer;
    }
    const int status = pclose(cli.release());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

using CliExchangeTest = kaldo_test::PortTest;

TEST_F(CliExchangeTest, ReadAndSetEndWithTheirOwnCodesAndSayWhy) {
    SimulatorProcess simulator(ports_.Link(3));

    const Result read = Cli("read --com 3");
    EXPECT_EQ(read.code, cli::kOk) << read.out;
    EXPECT_NE(read.out.find("\nHigh Alarm: 1200\n"), std::string::npos) << read.out;

    const Result set = Cli("set --com=3 --high-alarm 1500 --interval 120 --json");
    EXPECT_EQ(set.code, cli::kOk) << set.out;
    EXPECT_NE(set.out.find("\"High Alarm\": \"1500\""), std::string::npos) << set.out;
    EXPECT_NE(set.out.find("\"message\": \"The Parameters have been set correctly\""),
              std::string::npos);
    EXPECT_NE(Cli("read --com 3").out.find("\nHigh Alarm: 1500\n"), std::string::npos);
}

// Fifty seconds of the real clock: the read's own time-out.
TEST_F(CliExchangeTest, AReadNobodyAnswersEndsWithTheToolsTimeOut) {
    SimulatorProcess simulator(ports_.Link(3), "--silent");
    const Result read = Cli("read --com 3");
    EXPECT_EQ(read.code, cli::kReadTimedOut);
    EXPECT_NE(read.out.find("COM3: Initial is FAIL, please try again"), std::string::npos)
        << read.out;
}

}  // namespace

// kaldo-sensor-cli's ends that come before any exchange with a sensor, run in-process, and the
// program itself where only a process of its own can show it.
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/exit_codes.h"
#include "cli/json.h"
#include "cli/port_report.h"
#include "cli/run.h"
#include "cli/run_deadline.h"
#include "platform/printable_text.h"
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
    for (const std::vector<std::string>& limits :
         {std::vector<std::string>{"set", "--com", "10", "--high-alarm", "65535", "--low-alarm",
                                   "0", "--app-key", "00112233445566778899aabbccddEEFF"},
          {"set", "--com", "1", "--nb", "--server-ip", "255.255.255.255", "--server-port",
           "65535"}}) {
        EXPECT_TRUE(std::holds_alternative<cli::Request>(cli::ParseArguments(limits))) << limits[2];
    }
    const std::pair<std::vector<std::string>, const char*> wrong[] = {
        {{"--high-alarm", "70000"}, "--high-alarm takes a whole number of kPa from 0 to 65535"},
        {{"--app-key", "5A1F"}, "--app-key takes 32 hexadecimal digits, not \"5A1F\""},
        {{"--app-eui", "70B3D57ED00107\x1b["}, "not \"70B3D57ED00107\\x1b[\""},
        {{"--nb", "--server-ip", "1.2.3.4,5"}, "--server-ip takes printable characters"},
        {{"--high-alarm", "1500x"}, "--high-alarm takes a whole number"},
        {{"--interval", "60", "--interval", "60"}, "--interval is given twice"},
    };
    for (const auto& [options, said] : wrong) {
        std::vector<std::string> args = {"set", "--com", "3"};
        args.insert(args.end(), options.begin(), options.end());
        EXPECT_EQ(InProcess(args, err), cli::kBadArguments) << said;
        EXPECT_NE(err.find(said), std::string::npos) << err;
    }
    EXPECT_EQ(line.UnreadByPort(), 0u);
    EXPECT_EQ(kaldo_test::Receive(line), "");
    EXPECT_EQ(InProcess({"read", "--com", "4"}, err), cli::kPortUnavailable);
    EXPECT_NE(err.find("COM4: no such port"), std::string::npos) << err;
    EXPECT_EQ(InProcess({"read", "--com", "11"}, err), cli::kBadArguments);
    Link("/dev/null", 5);  // there, but no serial line: it may not be opened, nobody holds it
    EXPECT_EQ(InProcess({"read", "--com", "5"}, err), cli::kPortUnavailable);

    kaldo_test::HoldingProcess holder(line.SlavePath(), "holder");
    ASSERT_TRUE(holder.held());
    EXPECT_EQ(InProcess({"read", "--com", "3"}, err), cli::kPortHeld);
    EXPECT_NE(err.find("COM3: The port is used by others\n"), std::string::npos) << err;
}

// Long enough for the exchange's own time-outs, so that it never cuts a run that would end.
TEST(RunDeadline, ComesAfterTheReadsAndTheSetsTimeOutsAndOnlyForThem) {
    EXPECT_EQ(cli::RunDeadline::Seconds({"read", "--com", "3"}), 50 + 30);
    EXPECT_EQ(cli::RunDeadline::Seconds({"set", "--com", "3", "--json"}), 50 + 210 + 30);
    EXPECT_EQ(cli::RunDeadline::Seconds({"ports"}), 0);
}

// Text from outside reaches a terminal or a JSON reader only as data.
TEST(OutsideText, ControlsC1ReorderingMarksAndBytesThatAreNotUtf8AreEscaped) {
    const struct {
        const char* text;
        const char* plain;
        const char* json;
    } cases[] = {
        {"A\x1b]0;x\x07z", "A\\x1b]0;x\\x07z", "\"A\\u001b]0;x\\u0007z\""},
        {"\x7f\xc2\x9b\xc2\xa0", "\\x7f\\u009b\xc2\xa0", "\"\\u007f\\u009b\xc2\xa0\""},
        {"a\xe2\x80\xae"
         "b",
         "a\\u202eb", "\"a\\u202eb\""},
        {"\xff\xc0\xaf\xed\xa0\x80", "\\xff\\xc0\\xaf\\xed\\xa0\\x80",
         "\"\\\\xff\\\\xc0\\\\xaf\\\\xed\\\\xa0\\\\x80\""},
        {"\xe2\x82", "\\xe2\\x82", "\"\\\\xe2\\\\x82\""},
        {"\\\"\xf0\x9f\x98\x80", "\\\\\"\xf0\x9f\x98\x80", "\"\\\\\\\"\xf0\x9f\x98\x80\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::PrintableText(c.text), c.plain);
        EXPECT_EQ(cli::JsonString(c.text), c.json);
    }
    EXPECT_EQ(platform::PrintableText(std::string("a\0b", 3)), "a\\x00b");
}

TEST_F(CliTest, AHoldersNameReachesThePortListOnlyAsData) {
    platform::PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    kaldo_test::HoldingProcess holder(line.SlavePath(), "\x1b]0;x\x07\xff");
    ASSERT_TRUE(holder.held());
    for (const bool json : {false, true}) {
        const std::string report = cli::PortReport(json);
        EXPECT_NE(report.find(json ? "\\\\x1b]0;x\\\\x07\\\\xff" : "\\x1b]0;x\\x07\\xff"),
                  std::string::npos)
            << report;
        EXPECT_TRUE(std::all_of(report.begin(), report.end(),
                                [](char c) { return c == '\n' || (c >= ' ' && c <= '~'); }));
    }
}

// Killed while it holds the port, the program leaves it as it found it: not exclusive.
TEST_F(CliTest, ASignalThatEndsTheProgramClearsThePortsExclusiveMark) {
    platform::PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    const int watch = open(line.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const auto exclusive = [&] {
        int flag = 0;
        return ioctl(watch, TIOCGEXCL, &flag) == 0 && flag != 0;
    };
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t cli = fork();
        if (cli == 0) {
            execl(KALDO_CLI, KALDO_CLI, "read", "--com", "3", static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_TRUE(kaldo_test::Eventually(exclusive)) << signal;
        kill(cli, signal);
        int status = 0;
        waitpid(cli, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_FALSE(exclusive()) << signal;
    }
    close(watch);
}

}  // namespace

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/port_problem.h"
#include "tests/support/comm_test_support.h"

namespace {

using kaldo_test::HoldingProcess;
using kaldo_test::PortTest;
using platform::PortProblem;

constexpr int kCannotDrop = 77;

// Runs f in a child process as a user who owns nothing here (root is never denied a device);
// returns what f returned, or nullopt when the child could not drop its privileges.
std::optional<std::string> AsAnotherUser(const std::function<std::string()>& f) {
    int out[2];
    if (pipe(out) != 0) {
        return std::nullopt;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(kCannotDrop);
        }
        const std::string result = f();
        _exit(write(out[1], result.data(), result.size()) == static_cast<ssize_t>(result.size())
                  ? 0
                  : 1);
    }
    close(out[1]);
    std::string result;
    char buffer[512];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        result.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == kCannotDrop) {
        return std::nullopt;
    }
    return result;
}

TEST_F(PortTest, ADeviceTheUserMayNotOpenNamesTheGroupThatMay) {
    platform::PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    const std::string device = line.SlavePath();
    // Serial adapters belong to root and dialout; root can give the terminal away, others not.
    if (const group* dialout = getgrnam("dialout"); dialout != nullptr && geteuid() == 0) {
        ASSERT_EQ(chown(device.c_str(), 0, dialout->gr_gid), 0);
    }
    struct stat info {};
    ASSERT_EQ(stat(device.c_str(), &info), 0);
    const std::string group = getgrgid(info.st_gid)->gr_name;
    // Neither mode lets the owner in, so a user who owns the terminal is refused too.
    const std::pair<mode_t, std::string> cases[] = {
        {0060,
         device + ": permission denied. Add yourself to the " + group + " group and log in again."},
        {0000, device + ": permission denied. Only its owner may open it."},
    };
    for (const auto& [mode, text] : cases) {
        ASSERT_EQ(chmod(device.c_str(), mode), 0);
        const auto said = AsAnotherUser(
            [&] { return platform::DescribePortProblem(platform::DiagnoseDevice(device)); });
        if (!said) {
            GTEST_SKIP() << "cannot run a child as an unprivileged user";
        }
        EXPECT_EQ(*said, text) << std::oct << mode;
    }
}

TEST_F(PortTest, APortHeldByAnotherProgramNamesItAndFreeOrMissingOnesAreNoProblem) {
    platform::PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    Link(folder_ + "/gone", 4);
    EXPECT_EQ(platform::DiagnoseComPort(3).kind, PortProblem::Kind::None);
    EXPECT_EQ(platform::DiagnoseComPort(4),
              (PortProblem{PortProblem::Kind::Absent, folder_ + "/gone", {}, 0, {}}));
    EXPECT_EQ(platform::DiagnoseComPort(5).kind, PortProblem::Kind::Absent);
    EXPECT_EQ(platform::DescribePortProblem(platform::DiagnoseComPort(4)), "");

    HoldingProcess holder(line.SlavePath(), "ModemManager");
    ASSERT_TRUE(holder.held());
    EXPECT_EQ(Open(3), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    const PortProblem problem = platform::DiagnoseComPort(3);
    EXPECT_EQ(
        problem,
        (PortProblem{PortProblem::Kind::Held, line.SlavePath(), {}, holder.pid(), "ModemManager"}));
    EXPECT_EQ(platform::DescribePortProblem(problem),
              line.SlavePath() + ": held by another program (ModemManager, pid " +
                  std::to_string(holder.pid()) +
                  "). It lets go of a new device after a few seconds: start the tool again then.");
}

}  // namespace

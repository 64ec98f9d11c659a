#include <grp.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/port_problem.h"
#include "tests/support/comm_test_support.h"

namespace {

using kaldo_test::HoldingProcess;
using kaldo_test::PortTest;
using platform::PortProblem;

constexpr uid_t kNobody = 65534;

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
        // Root is never denied a device: this thread opens files as nobody while it asks.
        setfsgid(kNobody);
        setfsuid(kNobody);
        const auto said = platform::DescribePortProblem(platform::DiagnoseDevice(device));
        setfsuid(getuid());
        setfsgid(getgid());
        EXPECT_EQ(said, text) << std::oct << mode;
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
